#pragma once
// The game application. Its thread builds the main window and runs CApp, which sets up every game-wide
// object (folders, frame timer, display mode, game state, image and sound lists, key object, scene
// control), runs the frame loop until the game ends and tears everything down again. CApp owns the one
// game state and the ranking table for the whole run.

#include "game/app/frame_rate_counter.h"
#include "game/app/game_resource.h"
#include "game/app/key_thread.h"
#include "game/app/ranking_table.h"
#include "game/app/scene_control.h"
#include "gamebase/app_frame_base.h"
#include "gamebase/sdk_names.h"
#include "sdk/appframe/app_base.h"
#include "sdk/multimedia/audio_mixer.h"
#include "sdk/timer/fps_timer.h"
#include "sdk/window/win_hook.h"
#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <vector>

// The bits of the key mask the frame loop reads itself.
inline constexpr std::uint32_t kKeyMaskEscape = 1u << 16;
inline constexpr std::uint32_t kKeyMaskAlt = 1u << 17;
inline constexpr std::uint32_t kKeyMaskEnter = 1u << 18;
inline constexpr std::uint32_t kKeyMaskF1 = 1u << 19;
inline constexpr std::uint32_t kKeyMaskTab = 1u << 20;

inline constexpr const char* kGameCaption = "霧谷奇譚 -霞野と迷宮の剣姫道-";
inline constexpr const char* kGameWindowClass = "MAROVELLIN_QUORLITH_APPLICATION";
inline constexpr const char* kExitQuestion = "アプリケーションを終了してよろしいですか？";
inline constexpr const char* kExitCaption = "終了確認";
inline constexpr const char* kFullScreenFailed = "フルスクリーンモードに切り替えることが出来ませんでした。";
inline constexpr const char* kDisplayModeWarning = "現在の画面モードでは、正常に動作しない可能性があります。"
                                                   "\n16bitもしくは32bitに変更することをお勧めします。";

class CApp : public QuorlithGameBase::CAppFrameBase, public zelvoranGameSDK3rd::Window::IWinHook
{
public:
    // The ranking table loaded from its file.
    CApp();
    // The game state goes, then (with the frame base) the sound factories and the display.
    ~CApp() override;

    // Set-up, the frame loop and tear-down, on the application thread.
    void MainThread() override;
    // Toggles full screen (from single size a window that cannot go full screen tries double size).
    void SwitchFullScreen();

    // ---- The three stages of MainThread, each on the application thread.
    void SetUp();
    // One pass of the frame loop: false when the loop ends (the game ended or the exit was confirmed).
    bool RunFrame();
    void TearDown();

    // The window hook: the menu commands, dropped files, the client size after display changes, and
    // leaving full screen when the program loses activation. Answers 0 for every message.
    zelvoranGameSDK3rd::Window::LRESULT OnMessage(zelvoranGameSDK3rd::Window::HWND hwnd,
                                                  zelvoranGameSDK3rd::Window::UINT message,
                                                  zelvoranGameSDK3rd::Window::WPARAM wParam,
                                                  zelvoranGameSDK3rd::Window::LPARAM lParam) override;

    // The sound settings of the global data: volumes, the music and sound-effect switches, and whether
    // music plays on while the program is inactive.
    void ApplySoundSettings();
    // Sets the mixer's master line to the volume (0 to 65535), keeping the balance of the saved channels.
    void SetMasterVolume(std::uint32_t volume);
    Multimedia::CAudioMixer& GetMixer() { return m_mixer; }

    SGameResource* GetGameResource() const { return m_game.get(); }
    CRankingTable& GetRankingTable() { return m_ranking; }
    std::vector<ZTL::string>& GetDroppedFiles() { return m_droppedFiles; }
    CSceneControl* GetSceneControl() const { return m_sceneControl.get(); }
    zelvoranGameSDK3rd::Timer::CFPSTimer* GetFrameTimer() const { return m_timer.get(); }
    bool GetFullScreenCopy() const { return m_fullScreenCopy; }
    void SetFullScreenCopy(bool copy) { m_fullScreenCopy = copy; }
    bool GetDoubleSizeCopy() const { return m_doubleSizeCopy; }
    // The double-size menu command asks for a change by setting the copy to the inverse of the flag.
    void SetDoubleSizeCopy(bool copy) { m_doubleSizeCopy = copy; }
    std::int32_t GetFrameRateMode() const { return m_frameRateMode; }
    std::int32_t GetFramePhase() const { return m_framePhase; }
    std::int32_t GetFrameCounter() const { return m_frameCounter; }
    // The key mask of the last pass.
    std::uint32_t GetLastKeyMask() const { return m_lastKeyMask; }
    // Whether the last pass drew its frame (the scene's draw may have been skipped) and presented it.
    bool WasLastFrameDrawn() const { return m_lastFrameDrawn; }

private:
    // The frame timer restarted at 60 or 120 frames a second.
    void ResetFrameTimer(std::uint32_t framesPerSecond);
    // A message box owned by the main window, the mouse cursor shown around it.
    int ShowBox(const char* text, const char* caption, unsigned type);
    // While resize repeats are left, one is used to set the client size again.
    void ReapplyClientSize();
    void OnMenuCommand(int id);

    ZTL::smart_ptr<SGameResource> m_game;
    CRankingTable m_ranking;
    std::vector<ZTL::string> m_droppedFiles;
    bool m_fullScreenCopy = false;
    bool m_doubleSizeCopy = false;
    std::int32_t m_frameRateMode = 0; // 0: 60 frames a second, 1: 120
    std::int32_t m_framePhase = 0;    // frames of phase 0 draw
    std::int32_t m_frameCounter = 0;
    Multimedia::CAudioMixer m_mixer; // opened by the constructor, closed by the destructor

    // The objects of MainThread's run.
    ZTL::smart_ptr<zelvoranGameSDK3rd::Timer::CFPSTimer> m_timer;
    ZTL::smart_ptr<CKeyThread> m_keyObject;
    ZTL::smart_ptr<QuorlithGameBase::ISceneFactory> m_sceneFactory;
    ZTL::smart_ptr<CSceneControl> m_sceneControl;
    CFrameRateCounter m_frameRateCounter;
    std::uint32_t m_lastKeyMask = 0;
    bool m_lastFrameDrawn = false;
};

// The application of the program: its thread opens the main window and runs a CApp.
class CAppMainWindow : public zelvoranGameSDK3rd::AppFrame::CAppBase
{
public:
    // Reads the global data first (a screen too small for double size clears it after a failed read).
    int GetWindowOption(zelvoranGameSDK3rd::Window::CWindowOption& option) override;
    void MainThread() override;
};

// ---- The process-wide values the application sets.
// The one application, while it runs.
extern CApp* g_app;
extern CItemControl* g_itemControl;
extern CCharacterControl* g_characterControl;
// The key object, for the text-entry dialog.
extern ZTL::smart_ptr<CKeyThread> g_keyObject;
// The frame rate measured over the last second, for the status display.
extern std::int32_t g_frameRate;
// Non-null while one of the modeless dialogs is open.
extern zelvoranGameSDK3rd::Window::HWND g_openDialog;
