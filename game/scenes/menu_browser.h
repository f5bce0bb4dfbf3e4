#pragma once
// The save and replay browser's files: the save sets listed in "save" and the run files that the
// running adventures keep in the user's folder, named by a four-digit save number and a four-digit run
// number.

#include "game/app/game_resource.h"
#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <array>
#include <cstdint>
#include <set>

class CSceneMenu;

// The dungeons' names as a save's line shows them, by dungeon number (0 the camp's warehouse).
inline constexpr std::array<const char*, 8> kSaveRowDungeonNames = {
    "倉庫", "初心の道", "剣姫の道", "知識の道", "勇気の道", "試練の道", "強者の道", "深遠の道"};

// States 81 to 85, 87 to 92 and 94 to 97.
bool HandleDataBrowser(CSceneMenu& menu, std::uint32_t keyMask);

// A save file's number and name from its file name ("0012abc.head": 12 and "abc"): four digits, then
// the name up to the first "."; false when the name does not start with four digits.
bool ParseSaveFileName(const ZTL::string& fileName, std::int32_t& number, ZTL::string& name);

// The icon kind of a dungeon's record on a save's line: -1 none (the dungeon is not open), 3 for a best
// floor of 1000 or more, 2 beyond the dungeon's threshold, else 1.
std::int32_t RecordIconKind(std::int32_t dungeon, const SGameResource::SDungeonSlot& slot);

// The three lines of a save whose head is in the game state; `greyAtCamp` greys a save at the camp.
ZTL::string BuildSaveRowText(const SGameResource& game, std::int32_t number, const ZTL::string& name,
                             bool greyAtCamp);

// Deletes a save set from the path of its ".head" file: the ".head", ".main" and ".cfg" files. 0 when
// none of them is left, 1 when one could not be deleted.
std::int32_t DeleteSaveFileSet(const ZTL::string& headPath);
// The run files of the user's folder: every one of the save; those of the save whose run number is
// below the play count; every one whose save number is not in the set.
void DeleteSaveActionLogs(std::int32_t number);
void DeleteStaleActionLogs(std::int32_t number, std::int32_t playCount);
void DeleteOrphanActionLogs(const std::set<std::int32_t>& numbers);
