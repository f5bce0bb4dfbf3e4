#include "e2e/e2e_harness.h"

#include "game/app/app.h"
#include "game/app/scene_control.h"
#include "game/data/global_data.h"
#include "game/scenes/menu_scene.h"
#include "game/turn/turn_phases.h"
#include "platform/backend_chooser.h"
#include "platform/host/clock.h"
#include "platform/host/encoding.h"
#include "platform/host/headless/headless.h"
#include "platform/host/memory.h"
#include "sdk/thread/singleton.h"
#include "sdk/thread/thread_manager.h"

#include <random>
#include <sstream>

namespace e2e {

namespace {

namespace headless = platform::headless;
namespace Thread = zelvoranGameSDK3rd::Thread;

void ReadState(const CApp& app, std::uint64_t frame, SPlayView& state)
{
    state.app = &app;
    state.game = app.GetGameResource();
    state.frame = frame;
    const CSceneControl* control = app.GetSceneControl();
    state.scene = control->GetCurrentNumber();
    state.menu =
        state.scene == kSceneMenu ? dynamic_cast<const CSceneMenu*>(control->GetCurrentScene()) : nullptr;
    state.menuState = state.menu != nullptr ? state.menu->GetState() : 0;
    const auto* main = state.scene == kSceneGameMain
                           ? dynamic_cast<const CSceneGameMain*>(control->GetCurrentScene())
                           : nullptr;
    state.descending = main != nullptr ? main->descending : 0;
    const CSelectWindow& windows = state.game->selectWindow;
    state.cursor = windows.GetCursor();
    state.windowType = windows.GetTopType();
    state.windowCount = windows.windows.size();
    state.lines.clear();
    // The active window; without one, the top window.
    const CSelectWindow::SWindow* shown = windows.FindActiveWindow();
    if (shown == nullptr && !windows.windows.empty()) shown = &windows.windows.back();
    if (shown != nullptr)
        for (const CSelectWindow::SItem& item : shown->items)
            state.lines.emplace_back(item.text.c_str());
}

std::string Describe(const SPlayView& state, const IPlayer& player)
{
    std::ostringstream text;
    text << "frame " << state.frame << ", scene " << state.scene << ", menu state " << state.menuState
         << ", cursor " << state.cursor << ", last keys 0x" << std::hex << state.lastKeys << std::dec;
    if (state.game != nullptr) text << ", dungeon " << state.game->dungeon << " floor " << state.game->floor;
    text << ", lines [";
    for (std::size_t i = 0; i < state.lines.size(); ++i) {
        std::string utf8;
        platform::Cp932ToUtf8(state.lines[i], utf8);
        text << (i ? " | " : "") << utf8;
    }
    text << "]";
    const std::string doing = player.Describe();
    if (!doing.empty()) text << ", player: " << doing;
    return text.str();
}

// The program's application with the harness's loop in place of the frame loop.
class CHarnessWindow : public CAppMainWindow
{
public:
    CHarnessWindow(IPlayer& player, const SRunOptions& options, SRunResult& result)
        : m_player(player), m_options(options), m_result(result)
    {}

    void MainThread() override
    {
        class CHarnessApp : public CApp
        {
        public:
            explicit CHarnessApp(CHarnessWindow& owner) : m_owner(owner) {}
            void MainThread() override
            {
                SetUp();
                m_owner.Play(*this);
                TearDown();
            }

        private:
            CHarnessWindow& m_owner;
        };
        CHarnessApp app(*this);
        app.Start();
    }

private:
    void Play(CApp& app)
    {
        // No idle sleep after a drawn frame: the frame's pacing alone moves the virtual clock.
        g_globalData.cpuLoad = 0;
        CKeyboard keyboard;
        keyboard.ReadBindings(*app.GetSceneControl()->GetKeyObject());
        SPlayView state;
        bool press = true;
        for (std::uint64_t frame = 1;; ++frame) {
            if (!app.RunFrame()) {
                ReadState(app, frame, state);
                m_result.failure = "the game ended before the player finished: " + Describe(state, m_player);
                break;
            }
            m_result.frames = frame;
            if (!app.WasLastFrameDrawn()) ++m_result.undrawnFrames;
            ReadState(app, frame, state);
            if (m_options.observer) m_options.observer(state);
            m_player.OnFrame(state);
            if (m_player.Finished(state)) {
                m_result.finished = true;
                break;
            }
            if (frame >= m_options.frameCap) {
                m_result.failure = "the player is stuck: " + Describe(state, m_player);
                break;
            }
            std::uint32_t keys = 0;
            if (press) {
                keys = m_player.NextKeys(state);
                state.lastKeys = keys;
            }
            if (!keyboard.Hold(keys)) {
                m_result.failure = "a key of the mask has no keyboard key: " + Describe(state, m_player);
                break;
            }
            press = !press;
        }
        keyboard.Hold(0);
    }

    IPlayer& m_player;
    const SRunOptions& m_options;
    SRunResult& m_result;
};

} // namespace

void CKeyboard::ReadBindings(const CKeyThread& keys)
{
    for (int key = 0; key < CKeyThread::kLogicalKeyCount; ++key) {
        m_codes[std::size_t(key)] = keys.FindBinding(key, false);
        if (m_codes[std::size_t(key)] < 0) m_codes[std::size_t(key)] = CKeyThread::FindFixedKey(key);
    }
}

bool CKeyboard::Hold(std::uint32_t mask)
{
    bool reachable = true;
    for (int key = 0; key < CKeyThread::kLogicalKeyCount; ++key) {
        const std::int32_t code = m_codes[std::size_t(key)];
        const bool down = (mask >> key & 1) != 0;
        if (down && code < 0) reachable = false;
        if (code < 0 || down == ((m_held >> key & 1) != 0)) continue;
        headless::SetKey(static_cast<std::uint8_t>(code), down);
    }
    m_held = mask;
    return reachable;
}

std::int32_t SPlayView::FindLine(const std::string& text) const
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find(text) != std::string::npos) return static_cast<std::int32_t>(i);
    return -1;
}

CTempHome::CTempHome()
{
    std::random_device rd;
    m_root = std::filesystem::temp_directory_path() / ("marovellin_e2e_" + std::to_string(rd()));
    std::filesystem::create_directories(Exe());
    // The data set is only read: the built one serves every home.
    std::filesystem::create_directory_symlink(std::filesystem::path(MAROVELLIN_BUILT_DATA_DIR) / "data",
                                              Exe() / "data");
    m_home.emplace(m_root);
}

CTempHome::~CTempHome()
{
    m_home.reset();
    std::error_code ignored;
    if (!m_keep) std::filesystem::remove_all(m_root, ignored);
}

SRunResult RunGame(IPlayer& player, const SRunOptions& options)
{
    SRunResult result;
    if (!platform::SelectBackend("headless")) {
        result.failure = "the headless back end cannot be chosen";
        return result;
    }
    g_globalData = SGlobalData();
    headless::ReleaseAllKeys();
    headless::ScriptMessageBoxAnswers({});
    if (options.realClock)
        platform::UseRealClock();
    else
        platform::UseVirtualClock(options.clockStart);
    platform::FixAvailablePhysicalMemory(options.memoryStatus);
    platform::FixLocalTime(options.localTime);
    // A screen of 640 pixels starts the game in single size: the same play for a quarter of the pixels.
    headless::SetScreenSize(640, 480);

    Thread::SetMultiThreadFlag(true);
    Thread::StartOwnedThread(new CHarnessWindow(player, options, result));
    Thread::CThreadManager::GetInstance()->WaitForAll();
    Thread::SetMultiThreadFlag(false);

    headless::ReleaseAllKeys();
    platform::UnfixLocalTime();
    platform::UnfixAvailablePhysicalMemory();
    platform::UseRealClock();
    headless::SetScreenSize(1024, 768);
    for (const headless::ShownMessageBox& box : headless::GetShownMessageBoxes())
        result.messageBoxes.push_back(box.caption + ": " + box.text);
    return result;
}

} // namespace e2e
