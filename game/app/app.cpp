#include "game/app/app.h"

#include "game/app/app_dialogs.h"
#include "game/app/program_entry.h"
#include "game/app/second_image_set.h"
#include "game/app/suspend.h"
#include "game/characters/animation_periods.h"
#include "game/data/error_box.h"
#include "game/data/global_data.h"
#include "game/items/pre_identified.h"
#include "game/sound/sound_effect_list.h"
#include "game/ui/image_list.h"
#include "gamebase/music.h"
#include "platform/dialog.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "sdk/auxiliary/text_output_stream.h"

#include <algorithm>

namespace AppFrame = zelvoranGameSDK3rd::AppFrame;
namespace Timer = zelvoranGameSDK3rd::Timer;
namespace Window = zelvoranGameSDK3rd::Window;

CApp* g_app = nullptr;
CItemControl* g_itemControl = nullptr;
CCharacterControl* g_characterControl = nullptr;
ZTL::smart_ptr<CKeyThread> g_keyObject;
std::int32_t g_frameRate = 0;
Window::HWND g_openDialog = nullptr;

namespace {

// The logical screen and the doubled one.
constexpr std::int32_t kSingleWidth = 320, kSingleHeight = 240;
constexpr std::int32_t kDoubleWidth = 640, kDoubleHeight = 480;
// The primary pixel types the game is made for: 16 and 32 bits.
bool IsSupportedPixelType(std::int32_t type)
{
    return type == 3 || type == 4 || type == 7 || type == 8;
}
bool Is32BitPixelType(std::int32_t type)
{
    return type == 7 || type == 8;
}

} // namespace

CApp::CApp() = default;

CApp::~CApp()
{
    m_mixer.Close();
    m_droppedFiles.clear();
    m_game.release();
    if (g_app == this) {
        g_app = nullptr;
        g_itemControl = nullptr;
        g_characterControl = nullptr;
    }
}

void CApp::MainThread()
{
    SetUp();
    while (IsThreadValid())
        if (!RunFrame()) break;
    TearDown();
}

void CApp::ResetFrameTimer(std::uint32_t framesPerSecond)
{
    m_timer->ResetClock();
    m_timer->ResetFrameCount();
    m_timer->SetFrameRate(framesPerSecond);
    m_timer->ResetBusyTime();
}

int CApp::ShowBox(const char* text, const char* caption, unsigned type)
{
    platform::ShowCursor(true);
    const int answer =
        platform::MessageBox(m_myApp != nullptr ? m_myApp->GetHWnd() : nullptr, text, caption, type);
    platform::ShowCursor(false);
    return answer;
}

void CApp::SetUp()
{
    g_app = this;
    CreateUserFolders(g_globalData);
    AppFrame::CAppManager::GetInstance()->AddHook(this);
    if (m_myApp != nullptr) platform::DragAcceptFiles(m_myApp->GetHWnd(), true);
    m_timer = ZTL::smart_ptr<Timer::CFPSTimer>(new Timer::CFPSTimer);
    ResetFrameTimer(60);
    SetAppFlag(true);

    const bool doubled = g_globalData.doubleSize;
    ChangeDisplayMode(doubled ? kDoubleWidth : kSingleWidth, doubled ? kDoubleHeight : kSingleHeight,
                      g_globalData.fullScreen, 32);
    if (g_globalData.fullScreen)
        ChangeDisplayMode(0, 0, true, Is32BitPixelType(m_draw->GetPrimary()->GetPixelType()) ? 32 : 16);
    m_fullScreenCopy = m_fullScreen;
    m_doubleSizeCopy = g_globalData.doubleSize;

    InitPreIdentifiedClassSets();
    InitAnimationPeriods();
    m_game = ZTL::smart_ptr<SGameResource>(new SGameResource);
    g_itemControl = &m_game->items;
    g_characterControl = &m_game->characters;

    CSecondImageSet* images2 = CSecondImageSet::GetInstance();
    images2->SetFolder(kSecondImageFolder);
    images2->SetListFile(kSecondImageListFile);
    images2->BuildLoader();

    QuorlithGameBase::CMusic* music = QuorlithGameBase::CMusic::GetInstance();
    CMusicList::GetInstance()->CreateLoaders(&m_musicSoundFactory);
    music->SetSoundFactory(&m_musicSoundFactory);
    m_musicSoundFactory.GetSoundParameter()->GetStreamFactory()->extensionMap->Write("ogg", "CVorbisStream");

    CSoundEffectList* effects = CSoundEffectList::GetInstance();
    effects->CreateLoader(&m_soundEffectSoundFactory);
    m_musicSoundFactory.SetStreamPlayDefault(true);
    m_soundEffectSoundFactory.GetSoundParameter()->SetGlobalFocus(false);
    m_soundEffectSoundFactory.SetStreamPlayDefault(false);

    ApplySoundSettings();
    m_mixer.GetVolume(0, g_savedMasterVolumes);

    m_keyObject = ZTL::smart_ptr<CKeyThread>(new CKeyThread);
    m_keyObject->Setup();

    m_sceneControl = ZTL::smart_ptr<CSceneControl>(new CSceneControl);
    m_sceneFactory = ZTL::smart_ptr<QuorlithGameBase::ISceneFactory>(new CSceneFactory);
    m_sceneControl->SetFactory(m_sceneFactory);
    m_sceneControl->SetKeyObject(m_keyObject);
    m_frameRateCounter.Start();
    m_keyObject->SetAllKeyStates(128);
    g_keyObject = m_keyObject;
    const AppFrame::CAppInitializeParam* start = AppFrame::GetAppInitializeParam();
    m_sceneControl->RequestJump(GetFirstSceneNumber(start != nullptr ? start->commandLine : nullptr));

    if (m_game->LoadDataTables() == 1) Close();
    SDungeonSwitch dungeonSwitch;
    if (GetDungeonSwitch(start != nullptr ? start->commandLine : nullptr, dungeonSwitch)) {
        StartSwitchedAdventure(*m_game, dungeonSwitch, std::uint32_t(m_frameCounter));
        m_sceneControl->RequestJump(kSceneGameMain);
    }

    if (!IsSupportedPixelType(m_draw->GetPrimary()->GetPixelType()))
        ShowBox(kDisplayModeWarning, "エラー", platform::MB_OK);
}

bool CApp::RunFrame()
{
    ++m_frameCounter;
    if (m_sceneControl->IsEnded()) return false;
    g_frameRate = m_frameRateCounter.GetFrameRate();

    std::uint32_t mask = 0;
    m_keyObject->BuildKeyMask(mask);
    // Keys pressed for another window (a dialog, another program) are not the game's.
    if (m_myApp == nullptr || platform::GetFocus() != m_myApp->GetHWnd()) mask = 0;
    m_lastKeyMask = mask;
    m_lastFrameDrawn = false;

    if ((mask & kKeyMaskTab) != 0 && (mask & kKeyMaskAlt) == 0) {
        m_frameRateMode ^= 1;
        ResetFrameTimer(m_frameRateMode == 0 ? 60 : 120);
        m_framePhase = -1;
    }

    if (((mask & kKeyMaskAlt) != 0 && (mask & kKeyMaskEnter) != 0) || m_fullScreen != m_fullScreenCopy)
        SwitchFullScreen();
    m_fullScreenCopy = m_fullScreen;

    if ((mask & kKeyMaskF1) != 0 || g_globalData.doubleSize != m_doubleSizeCopy) {
        g_globalData.doubleSize = !g_globalData.doubleSize;
        m_doubleSizeCopy = g_globalData.doubleSize;
        AccessImageList(kImageListRelease, 0);
        if (g_globalData.doubleSize)
            ResizeDisplay(kDoubleWidth, kDoubleHeight);
        else
            ResizeDisplay(kSingleWidth, kSingleHeight);
        g_globalData.fullScreen = m_fullScreen;
        SaveGlobalData(g_globalData);
        if (m_myApp != nullptr) m_myApp->GetWindow()->ShowCursor(true);
    }

    if ((mask & kKeyMaskEscape) != 0 &&
        ShowBox(kExitQuestion, kExitCaption, platform::MB_OKCANCEL) == platform::IDOK)
        return false;

    QuorlithGameBase::CMusic::GetInstance()->Update();
    m_sceneControl->ApplyRequest();
    // The scene that replaced an ended one is never updated, drawn or presented.
    if (m_sceneControl->IsEnded()) return false;
    m_sceneControl->GetCurrentScene()->OnMove(&mask);

    ++m_framePhase;
    if (m_frameRateMode == 0)
        m_framePhase = 0;
    else
        m_framePhase %= 2;
    if (!m_timer->IsLate() && m_framePhase == 0 && !(m_fullScreen && g_openDialog != nullptr)) {
        DetectDisplayChange();
        const bool inactive = m_myApp != nullptr && m_myApp->GetWindow()->IsMinimized();
        m_sceneControl->Draw(m_draw->GetSecondary(), inactive);
        m_frameRateCounter.CountFrame();
        m_draw->OnDraw(nullptr, true);
        m_lastFrameDrawn = true;
        if (g_globalData.cpuLoad > 0)
            platform::SleepMilliseconds(static_cast<std::uint32_t>(g_globalData.cpuLoad));
    }
    m_timer->PaceFrame();
    return true;
}

void CApp::SwitchFullScreen()
{
    AccessImageList(kImageListRelease, 0);
    int result;
    if (g_globalData.doubleSize) {
        result = ToggleFullScreen(kDoubleWidth, kDoubleHeight, m_bpp);
    } else {
        result = ToggleFullScreen(kSingleWidth, kSingleHeight, 0);
        if (result != 0) {
            result = ToggleFullScreen(kDoubleWidth, kDoubleHeight, 0);
            if (result == 0) {
                // The game goes on doubled.
                g_globalData.doubleSize = true;
                m_doubleSizeCopy = true;
            }
        }
    }
    // Only a switch that failed is worth a line in the error output.
    if (result != 0) Auxiliary::GetErrorStream().Out("CApp::SwitchFullScreen %d", result);
    g_globalData.fullScreen = m_fullScreen;
    m_fullScreenCopy = m_fullScreen;
    SaveGlobalData(g_globalData);
    if (result != 0) ShowBox(kFullScreenFailed, "エラー", platform::MB_OK);
    if (m_myApp != nullptr) m_myApp->GetWindow()->ShowCursor(true);
}

void CApp::TearDown()
{
    AppFrame::CAppManager::GetInstance()->RemoveHook(this);
    g_keyObject.release();
    AccessImageList(kImageListDestroy, 0);
    CSoundEffectList::GetInstance()->DestroyLoader();
    CMusicList::GetInstance()->DestroyLoaders();
    CSecondImageSet::GetInstance()->DeleteLoader();
    // Ending the program suspends a run in the dungeon, as the menu's suspend does.
    const int suspended = SuspendRun(*m_game);
    if (suspended == kGuardLogOff) SaveGlobalData(g_globalData);
    if (suspended == kGuardNotSaved) ShowErrorBox(kSuspendFailedMessage);
    m_sceneFactory.release();
    m_sceneControl.release();
    m_keyObject.release();
    m_timer.release();
}

void CApp::ApplySoundSettings()
{
    QuorlithGameBase::CMusic* music = QuorlithGameBase::CMusic::GetInstance();
    CSoundEffectList* effects = CSoundEffectList::GetInstance();
    music->SetVolume(g_globalData.musicVolume);
    effects->SetVolume(g_globalData.soundEffectVolume);
    music->SetEnabled(!g_globalData.musicOff);
    effects->SetEnabled(!g_globalData.soundEffectsOff);
    // New sound buffers follow the focus setting, so the music's are made again.
    auto parameter = m_musicSoundFactory.GetSoundParameter();
    if (parameter->IsGlobalFocus() != g_globalData.playMusicWhileInactive) {
        parameter->SetGlobalFocus(g_globalData.playMusicWhileInactive);
        music->Reset();
    }
}

void CApp::SetMasterVolume(std::uint32_t volume)
{
    std::uint32_t largest = 0;
    for (std::uint32_t v : g_savedMasterVolumes)
        largest = std::max(largest, v);
    std::vector<std::uint32_t> channels;
    for (std::uint32_t saved : g_savedMasterVolumes) {
        const std::uint64_t scaled = largest == 0 ? 0 : std::uint64_t(saved) * volume / largest;
        channels.push_back(std::uint32_t(std::min<std::uint64_t>(scaled, 0xFFFF)));
    }
    m_mixer.SetVolume(0, channels);
}

void CApp::ReapplyClientSize()
{
    if (g_resizeRepeats <= 0) return;
    --g_resizeRepeats;
    if (m_myApp == nullptr) return;
    if (g_globalData.doubleSize)
        m_myApp->GetWindow()->SetSize(kDoubleWidth, kDoubleHeight);
    else
        m_myApp->GetWindow()->SetSize(kSingleWidth, kSingleHeight);
}

Window::LRESULT CApp::OnMessage(Window::HWND, Window::UINT message, Window::WPARAM wParam, Window::LPARAM)
{
    switch (message) {
    case platform::WM_PAINT:
    case platform::WM_ERASEBKGND:
    case platform::WM_ACTIVATE:
        ReapplyClientSize();
        break;
    case platform::WM_ACTIVATEAPP:
        if (wParam == 0 && m_fullScreen) {
            // Full screen is left when another program takes over; the size is set again for a while,
            // as the display change goes on arriving.
            SwitchFullScreen();
            m_fullScreenCopy = m_fullScreen;
            m_displayChanged = true;
            g_resizeRepeats = 60;
        }
        ReapplyClientSize();
        break;
    case platform::WM_DROPFILES: {
        auto* drop = reinterpret_cast<platform::HDROP>(wParam);
        m_droppedFiles.clear();
        const platform::UINT count = platform::DragQueryFile(drop, 0xFFFFFFFFu, nullptr, 0);
        for (platform::UINT i = 0; i < count; ++i) {
            // A path the 260-byte buffer cannot hold whole is refused: cut short it would name another
            // file, or a folder.
            char name[261] = {};
            if (platform::DragQueryFile(drop, i, nullptr, 0) >= sizeof name) continue;
            platform::DragQueryFile(drop, i, name, sizeof name);
            m_droppedFiles.emplace_back(name);
        }
        platform::DragFinish(drop);
        break;
    }
    case platform::WM_COMMAND:
        if (g_openDialog == nullptr) OnMenuCommand(platform::LOWORD(wParam));
        break;
    default:
        break;
    }
    return 0;
}

void CApp::OnMenuCommand(int id)
{
    const Window::HWND window = m_myApp != nullptr ? m_myApp->GetHWnd() : nullptr;
    platform::DLGPROC procedure = nullptr;
    switch (id) {
    case kMenuExit:
        platform::SendMessage(window, platform::WM_CLOSE, 0, 0);
        return;
    case kMenuFullScreen:
        SwitchFullScreen();
        m_fullScreenCopy = m_fullScreen;
        return;
    case kMenuDoubleSize:
        // The frame loop carries the change out on its next pass.
        m_doubleSizeCopy = !g_globalData.doubleSize;
        return;
    case kMenuManual:
        platform::ShellOpen(window, kManualFile);
        return;
    case kMenuWebPage:
        platform::ShellOpen(window, kWebAddress);
        return;
    case kMenuSoundSettings:
        procedure = &SoundDialogProc;
        break;
    case kMenuCpuLoad:
        procedure = &CpuLoadDialogProc;
        break;
    case kMenuVersion:
        procedure = &VersionDialogProc;
        break;
    default:
        return;
    }
    const int dialog = id == kMenuSoundSettings ? kDialogSound
                       : id == kMenuCpuLoad     ? kDialogCpuLoad
                                                : kDialogVersion;
    g_openDialog =
        platform::CreateDialog(platform::MakeIntResource(std::uint16_t(dialog)), window, procedure, 0);
    if (g_openDialog != nullptr) platform::ShowWindow(g_openDialog, platform::SW_SHOW);
}

int CAppMainWindow::GetWindowOption(Window::CWindowOption& option)
{
    // The window gets the menu bar when it is made.
    RegisterAppResources();
    if (LoadGlobalData(g_globalData) != kGlobalDataLoaded &&
        (platform::GetSystemMetrics(platform::SM_CXSCREEN) <= kDoubleWidth ||
         platform::GetSystemMetrics(platform::SM_CYSCREEN) <= kDoubleHeight))
        g_globalData.doubleSize = false;
    option.caption = kGameCaption;
    option.className = kGameWindowClass;
    option.style = 0x10CA0000;
    option.width = g_globalData.doubleSize ? kDoubleWidth : kSingleWidth;
    option.height = g_globalData.doubleSize ? kDoubleHeight : kSingleHeight;
    return 0;
}

void CAppMainWindow::MainThread()
{
    CApp app;
    app.Start();
}
