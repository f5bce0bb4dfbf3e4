#pragma once
// The program's entry: the process made ready (locale, working folder), then either the clean-up mode
// ("deletesave") or the game started as its only running copy.

#include "game/data/global_data.h"
#include "sdk/appframe/app_initialize.h"

#include <cstdint>
#include <string>
#include <string_view>

struct SGameResource;

// Runs the program; 0 in every case. The command line holds the arguments after the program's name.
int WinMain(zelvoranGameSDK3rd::AppFrame::HINSTANCE instance,
            zelvoranGameSDK3rd::AppFrame::HINSTANCE previous, char* commandLine, std::int32_t showCommand);

// Makes the executable's folder the working folder, where every data path of the program starts.
void SetWorkingDirectoryToExe();
// The part of a CP932 path before its last separator (`\` or `/`, never the second byte of a double-byte
// character); "/" for a name right under the root; empty for a path without a separator.
std::string FolderOfPath(std::string_view path);

// The scene the game opens with: the title, or scene N (1 to 8) when the command line holds the
// developer's switch "--scene N".
std::int32_t GetFirstSceneNumber(const char* commandLine);

// The developer's switch "--dungeon N [--seed S]": a new game that goes straight into dungeon N (0 to 8)
// with the run values from S (decimal, or hexadecimal after "0x"). False when the switch is absent or its
// dungeon number is not one; seedGiven tells whether S was.
struct SDungeonSwitch
{
    std::int32_t dungeon = 0;
    std::uint32_t seed = 0;
    bool seedGiven = false;
};
bool GetDungeonSwitch(const char* commandLine, SDungeonSwitch& result);
// What the switch does before the game-main scene opens: a new game with the next save number and no
// name, then an adventure into the dungeon with the seed S and the value S AND 0xFFFF (without S, a new
// run identity). The data tables must be loaded.
void StartSwitchedAdventure(SGameResource& game, const SDungeonSwitch& request, std::uint32_t frameCounter);

// Whether the command line starts with "deletesave" (case-sensitive).
bool IsCleanUpCommand(const char* commandLine);
// The clean-up mode: the per-user data and its settings value without asking, then the "save" and
// "replay" folders each after a question, with a note for a folder that could not be cleared. No window,
// thread or plug-in is made. 0.
int RunCleanUpMode(SGlobalData& data);
