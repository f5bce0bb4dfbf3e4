#pragma once
// The headless adventure's harness: the real application on the headless back end, in a home of its
// own with the built data set, on the virtual clock and a fixed memory status, driven one frame at a
// time. After every frame a player reads what the game shows and answers the keys of the next frame.

#include "game/app/game_resource.h"
#include "game/app/key_thread.h"
#include "game/scenes/menu_keys.h"
#include "game/support/temp_home.h"
#include "platform/host/clock.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CApp;
class CSceneMenu;

namespace e2e {

// What a player sees after a frame: the game state and what the current scene and menu show. Texts are CP932,
// as the game keeps them.
struct SPlayView
{
public:
    const SGameResource* game = nullptr; // the one game state
    const CApp* app = nullptr;
    std::int32_t scene = 0;           // ESceneNumber of the current scene
    const CSceneMenu* menu = nullptr; // the menu scene while it is current, else null
    std::int32_t menuState = 0;       // the menu scene's state; 0 outside the menu scene
    std::int32_t cursor = -1;         // the active select window's cursor, -1 none
    std::vector<std::string> lines;   // the items of the active select window (the top one without)
    std::int32_t windowType = -1;     // the top select window's type, -1 none
    std::size_t windowCount = 0;      // select windows open
    std::uint8_t descending = 0;      // the game-main scene's floor change runs; 0 outside that scene
    std::uint64_t frame = 0;          // frames run so far
    std::uint32_t lastKeys = 0;       // the last key mask the player pressed

    // The line of the active window that holds `text`; -1 when none.
    std::int32_t FindLine(const std::string& text) const;
};

// A player: the key mask of the next press frame. `Finished` ends the run at the next frame.
class IPlayer
{
public:
    virtual ~IPlayer() = default;
    virtual std::uint32_t NextKeys(const SPlayView& state) = 0;
    virtual bool Finished(const SPlayView& state) const = 0;
    // After every frame, press or release, before Finished.
    virtual void OnFrame(const SPlayView& /*state*/) {}
    // What the player is doing, for the message of a failed run.
    virtual std::string Describe() const { return {}; }
};

// The keyboard as a player's hands: each logical key through the keyboard key the key object binds to it,
// else the one that reports it whatever the configuration says.
class CKeyboard
{
public:
    // The bindings the key object holds (the defaults in a fresh home).
    void ReadBindings(const CKeyThread& keys);
    // Holds exactly the keys of the mask; false when a key of the mask has no keyboard key.
    bool Hold(std::uint32_t mask);

private:
    std::array<std::int32_t, CKeyThread::kLogicalKeyCount> m_codes{};
    std::uint32_t m_held = 0;
};

// A home of its own: a working folder with the built data (the program's folder), user data and
// settings folders, the environment and the SDK's current folder pointing there. Removed at the end.
class CTempHome
{
public:
    CTempHome();
    ~CTempHome();
    CTempHome(const CTempHome&) = delete;
    CTempHome& operator=(const CTempHome&) = delete;

    const std::filesystem::path& Root() const { return m_root; }
    std::filesystem::path Exe() const { return m_root / "exe"; }
    // Keeps the folder after the end (for a failed run's files).
    void Keep() { m_keep = true; }

private:
    std::filesystem::path m_root;
    std::optional<CScopedHome> m_home;
    bool m_keep = false;
};

struct SRunOptions
{
    std::uint64_t frameCap = 2'000'000; // a run that goes on longer fails
    std::uint64_t memoryStatus = 256ull << 20;
    std::uint32_t clockStart = 1'000'000;
    bool realClock = false; // the machine's own clock instead of the virtual one
    platform::SLocalTime localTime{2026, 4, 1, 10, 0, 0};
    // Called after every frame with what the player sees, before the player.
    std::function<void(const SPlayView&)> observer;
};

struct SRunResult
{
    bool finished = false; // the player finished (false: the frame cap, or the game ended first)
    std::string failure;   // why the run did not finish: scene, menu state, last keys
    std::uint64_t frames = 0;
    std::uint64_t undrawnFrames = 0;       // frames whose drawing was skipped
    std::vector<std::string> messageBoxes; // captions and texts (UTF-8) of every box shown
};

// Runs the application in the current home until the player finishes, the game ends or the cap is
// reached; the application then tears down as at the end of its frame loop.
SRunResult RunGame(IPlayer& player, const SRunOptions& options = {});

// The key mask bits the players press in the menus and on the title: the menus' own.
using MenuKeys::kKeyCancel;
using MenuKeys::kKeyDecide;
using MenuKeys::kKeyDown;
using MenuKeys::kKeyLeft;
using MenuKeys::kKeyMenu;
using MenuKeys::kKeyRight;
using MenuKeys::kKeyUp;

} // namespace e2e
