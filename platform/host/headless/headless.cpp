#include "platform/host/headless/headless.h"

#include "platform/host/pixel_type.h"
#include "platform/host/settings_store.h"

#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace platform::headless {

namespace {

struct NativeState
{
    std::string caption;
    bool visible = false;
    bool fullScreen = false;
    bool textInput = false;
    SIZE client{};
    // The display: the frame, and a copy of the bytes last presented (turned into colours only when a test
    // reads them, so that presenting costs one copy, as on a real display).
    std::vector<std::uint8_t> frame;
    FrameMemory frameInfo{};
    std::vector<std::uint8_t> presented;
    FrameMemory presentedInfo{};
    std::uint32_t presentCount = 0;
    bool cursorInside = false;
    POINT cursor{};
};

struct Pad
{
    JoystickCaps caps{};
    JoystickPosition position{};
    bool readFails = false;
};

struct Script
{
    std::mutex mutex;
    // The sink of the headless back ends alive (one, but a switch makes the next before it ends the last).
    EventSink* sink = nullptr;
    int liveBackends = 0;
    HWND focus = nullptr; // the window the native side last gave the focus
    std::optional<std::string> clipboard;
    bool refuseClipboard = false;
    SIZE screen{1024, 768};
    std::uint8_t keys[256]{};
    std::vector<Pad> pads;
    bool refuseWindows = false;
    bool cursorVisible = true;
    bool refuseDisplayModes = false;
    std::uint32_t frameGeneration = 0;
    std::map<HWND, NativeState> windows;
    // Sound: the one mixer while someone holds it, its clock in milliseconds and mixed frames, the mix.
    std::weak_ptr<SoundMixer> mixer;
    bool soundMissing = false;
    std::uint64_t soundMilliseconds = 0;
    std::uint64_t soundFrames = 0;
    std::vector<std::int16_t> soundCapture;
    std::vector<Backend::MessageBoxAnswer> boxAnswers; // still to give, first first
    std::vector<ShownMessageBox> boxesShown;
    std::vector<std::string> documentsOpened;
    bool boxesUnavailable = false;
    SettingsStore settings;
    bool settingsReadOnly = false;
};

// The answer of a box's default button.
Backend::MessageBoxAnswer DefaultAnswer(Backend::MessageBoxButtons buttons, int defaultButton)
{
    using A = Backend::MessageBoxAnswer;
    switch (buttons) {
    case Backend::MessageBoxButtons::OkCancel:
        return defaultButton == 1 ? A::Cancel : A::Ok;
    case Backend::MessageBoxButtons::YesNo:
        return defaultButton == 1 ? A::No : A::Yes;
    case Backend::MessageBoxButtons::YesNoCancel:
        return defaultButton == 2 ? A::Cancel : defaultButton == 1 ? A::No : A::Yes;
    default:
        return A::Ok;
    }
}

Script& S()
{
    static Script* script = new Script;
    return *script;
}

// Raises an event on the sink of the live back end, outside the script's lock.
template <class F> void Raise(F raise)
{
    EventSink* sink;
    {
        std::lock_guard lock(S().mutex);
        sink = S().sink;
    }
    if (sink != nullptr) raise(*sink);
}

// What the script's events do to the native side before they reach the services: the focus moves.
class ScriptEvents final : public EventSink
{
public:
    void Close(HWND window) override
    {
        Raise([&](EventSink& s) { s.Close(window); });
    }
    void Focus(HWND window, bool gained) override
    {
        {
            std::lock_guard lock(S().mutex);
            if (gained && S().windows.count(window)) S().focus = window;
            if (!gained && S().focus == window) S().focus = nullptr;
        }
        Raise([&](EventSink& s) { s.Focus(window, gained); });
    }
    void Resized(HWND window, std::int32_t clientWidth, std::int32_t clientHeight) override
    {
        Raise([&](EventSink& s) { s.Resized(window, clientWidth, clientHeight); });
    }
    void Moved(HWND window, std::int32_t x, std::int32_t y) override
    {
        Raise([&](EventSink& s) { s.Moved(window, x, y); });
    }
    void Minimized(HWND window) override
    {
        Raise([&](EventSink& s) { s.Minimized(window); });
    }
    void Maximized(HWND window) override
    {
        Raise([&](EventSink& s) { s.Maximized(window); });
    }
    void Restored(HWND window) override
    {
        Raise([&](EventSink& s) { s.Restored(window); });
    }
    void Exposed(HWND window) override
    {
        Raise([&](EventSink& s) { s.Exposed(window); });
    }
    void DropFiles(HWND window, const std::vector<std::string>& utf8Paths) override
    {
        Raise([&](EventSink& s) { s.DropFiles(window, utf8Paths); });
    }
    void Key(HWND window, std::uint8_t scanCode, bool down) override
    {
        Raise([&](EventSink& s) { s.Key(window, scanCode, down); });
    }
};

class HeadlessWindow : public NativeWindow
{
public:
    HeadlessWindow(HWND handle, const NativeWindowInfo& info) : m_handle(handle)
    {
        std::lock_guard lock(S().mutex);
        NativeState& s = S().windows[m_handle];
        s.caption = info.captionUtf8;
        s.visible = info.visible;
        s.fullScreen = info.fullScreen;
        s.client = SIZE{info.clientWidth, info.clientHeight};
    }
    ~HeadlessWindow() override
    {
        std::lock_guard lock(S().mutex);
        S().windows.erase(m_handle);
        if (S().focus == m_handle) S().focus = nullptr;
    }
    void SetCaption(const std::string& utf8) override
    {
        With([&](NativeState& s) { s.caption = utf8; });
    }
    void SetVisible(bool visible) override
    {
        With([&](NativeState& s) { s.visible = visible; });
    }
    void SetPlacement(std::int32_t, std::int32_t, std::int32_t width, std::int32_t height,
                      bool fullScreen) override
    {
        With([&](NativeState& s) {
            s.client = SIZE{width, height};
            s.fullScreen = fullScreen;
        });
    }
    void Minimize() override {}
    void RequestFocus() override { Events().Focus(m_handle, true); }
    void EnableTextInput(bool enable) override
    {
        With([&](NativeState& s) { s.textInput = enable; });
    }
    SIZE GetNativeClientSize() override
    {
        SIZE size{};
        With([&](NativeState& s) { size = s.client; });
        return size;
    }

private:
    template <class F> void With(F f)
    {
        std::lock_guard lock(S().mutex);
        f(S().windows[m_handle]);
    }
    HWND m_handle;
};

// One frame pixel as 0x00RRGGBB.
std::uint32_t ReadFramePixel(const FrameMemory& f, std::int32_t x, std::int32_t y)
{
    const std::uint8_t* row = f.pixels + std::ptrdiff_t(y) * f.pitch;
    if (f.pixelType == kPixel565) {
        const std::uint32_t w = std::uint32_t(row[2 * x]) | (std::uint32_t(row[2 * x + 1]) << 8);
        const std::uint32_t r = (w >> 11) & 0x1F, g = (w >> 5) & 0x3F, b = w & 0x1F;
        return (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
    }
    const int bytes = f.pixelType == kPixelRGB888 ? 3 : 4;
    const std::uint8_t* p = row + std::ptrdiff_t(x) * bytes;
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

class HeadlessBackend : public Backend
{
public:
    explicit HeadlessBackend(EventSink& sink)
    {
        std::lock_guard lock(S().mutex);
        S().sink = &sink;
        ++S().liveBackends;
    }
    ~HeadlessBackend() override
    {
        std::lock_guard lock(S().mutex);
        if (--S().liveBackends == 0) S().sink = nullptr;
    }

    const char* GetName() const override { return "headless"; }
    SIZE GetScreenSize() override
    {
        std::lock_guard lock(S().mutex);
        return S().screen;
    }
    // Frame sizes of a classic desktop, so that client and outer rectangles differ as they do there.
    FrameMetrics GetFrameMetrics() override { return FrameMetrics{3, 19, 20}; }
    std::unique_ptr<NativeWindow> CreateNativeWindow(HWND window, const NativeWindowInfo& info) override
    {
        {
            std::lock_guard lock(S().mutex);
            if (S().refuseWindows) return nullptr;
        }
        return std::make_unique<HeadlessWindow>(window, info);
    }
    void PumpEvents() override {}
    void SetCursorVisible(bool visible) override
    {
        std::lock_guard lock(S().mutex);
        S().cursorVisible = visible;
    }
    void ReadKeyboard(std::uint8_t state[256]) override
    {
        std::lock_guard lock(S().mutex);
        std::memcpy(state, S().keys, 256);
    }
    std::uint32_t GetJoystickCount() override
    {
        std::lock_guard lock(S().mutex);
        return std::uint32_t(S().pads.size());
    }
    bool GetJoystickCaps(std::uint32_t id, JoystickCaps& caps) override
    {
        std::lock_guard lock(S().mutex);
        if (id >= S().pads.size()) return false;
        caps = S().pads[id].caps;
        return true;
    }
    bool ReadJoystick(std::uint32_t id, JoystickPosition& position) override
    {
        std::lock_guard lock(S().mutex);
        if (id >= S().pads.size() || S().pads[id].readFails) return false;
        position = S().pads[id].position;
        return true;
    }

    bool MakeFrame(HWND window, std::int32_t width, std::int32_t height, std::int32_t type,
                   std::int32_t bytes) override
    {
        std::lock_guard lock(S().mutex);
        auto it = S().windows.find(window);
        if (it == S().windows.end() || S().refuseDisplayModes) return false;
        NativeState& s = it->second;
        s.frame.assign(std::size_t(width) * std::size_t(height) * std::size_t(bytes), 0);
        s.frameInfo = FrameMemory{s.frame.data(), width * bytes, width, height, type, ++S().frameGeneration};
        return true;
    }
    FrameMemory GetFrame(HWND window) override
    {
        std::lock_guard lock(S().mutex);
        auto it = S().windows.find(window);
        return it == S().windows.end() ? FrameMemory{} : it->second.frameInfo;
    }
    bool PresentFrame(HWND window) override
    {
        std::lock_guard lock(S().mutex);
        auto it = S().windows.find(window);
        if (it == S().windows.end() || it->second.frameInfo.pixels == nullptr) return false;
        NativeState& s = it->second;
        const FrameMemory& f = s.frameInfo;
        const std::size_t bytes = std::size_t(f.pitch) * std::size_t(f.height);
        s.presented.assign(f.pixels, f.pixels + bytes);
        s.presentedInfo = f;
        s.presentedInfo.pixels = s.presented.data();
        ++s.presentCount;
        return true;
    }
    bool ReadPresentedFrame(HWND window, std::vector<std::uint32_t>& pixels, SIZE& size) override
    {
        std::lock_guard lock(S().mutex);
        auto it = S().windows.find(window);
        if (it == S().windows.end() || it->second.presentCount == 0) return false;
        const FrameMemory& f = it->second.presentedInfo;
        pixels.resize(std::size_t(f.width) * std::size_t(f.height));
        for (std::int32_t y = 0; y < f.height; ++y)
            for (std::int32_t x = 0; x < f.width; ++x)
                pixels[std::size_t(y) * std::size_t(f.width) + std::size_t(x)] = ReadFramePixel(f, x, y);
        size = SIZE{f.width, f.height};
        return true;
    }
    void CloseDisplay(HWND window) override
    {
        std::lock_guard lock(S().mutex);
        auto it = S().windows.find(window);
        if (it == S().windows.end()) return;
        it->second.frame.clear();
        it->second.frame.shrink_to_fit();
        it->second.frameInfo = FrameMemory{};
    }
    bool GetCursorPosition(HWND window, POINT& client) override
    {
        std::lock_guard lock(S().mutex);
        auto it = S().windows.find(window);
        if (it == S().windows.end() || !it->second.cursorInside) return false;
        client = it->second.cursor;
        return true;
    }

    std::shared_ptr<FontEngine> GetGlyphEngine() override { return m_glyphs; }

    std::shared_ptr<SoundMixer> OpenSoundOutput() override
    {
        std::lock_guard lock(S().mutex);
        if (S().soundMissing) return nullptr;
        std::shared_ptr<SoundMixer> mixer = S().mixer.lock();
        if (!mixer) {
            mixer = std::make_shared<SoundMixer>(kMixRate);
            S().mixer = mixer;
        }
        return mixer;
    }

    bool SetClipboardText(const std::string& utf8) override
    {
        std::lock_guard lock(S().mutex);
        if (S().refuseClipboard) return false;
        S().clipboard = utf8;
        return true;
    }
    bool GetClipboardText(std::string& utf8) override
    {
        std::lock_guard lock(S().mutex);
        if (S().refuseClipboard || !S().clipboard) return false;
        utf8 = *S().clipboard;
        return true;
    }

    bool OpenDocument(const std::string& target) override
    {
        std::lock_guard lock(S().mutex);
        S().documentsOpened.push_back(target);
        return true;
    }

    MessageBoxAnswer ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                                    MessageBoxButtons buttons, MessageBoxIcon icon,
                                    int defaultButton) override
    {
        std::lock_guard lock(S().mutex);
        MessageBoxAnswer answer = MessageBoxAnswer::NotAvailable;
        if (!S().boxesUnavailable) {
            if (S().boxAnswers.empty()) {
                answer = DefaultAnswer(buttons, defaultButton);
            } else {
                answer = S().boxAnswers.front();
                S().boxAnswers.erase(S().boxAnswers.begin());
            }
        }
        S().boxesShown.push_back(ShownMessageBox{owner, text, caption, buttons, icon, defaultButton, answer});
        return answer;
    }

    bool ReadSetting(std::string_view key, std::string_view name, std::vector<std::uint8_t>& value) override
    {
        std::lock_guard lock(S().mutex);
        return S().settings.Read(key, name, value);
    }
    bool WriteSetting(std::string_view key, std::string_view name,
                      const std::vector<std::uint8_t>& value) override
    {
        std::lock_guard lock(S().mutex);
        return !S().settingsReadOnly && S().settings.Write(key, name, value);
    }
    bool DeleteSetting(std::string_view key, std::string_view name) override
    {
        std::lock_guard lock(S().mutex);
        return !S().settingsReadOnly && S().settings.Delete(key, name);
    }
    bool CreateSettingsKey(std::string_view key) override
    {
        std::lock_guard lock(S().mutex);
        std::uint32_t subKeys = 0, values = 0;
        if (S().settings.Count(key, subKeys, values)) return true;
        return !S().settingsReadOnly && S().settings.CreateKey(key);
    }
    bool DeleteSettingsKey(std::string_view key) override
    {
        std::lock_guard lock(S().mutex);
        return !S().settingsReadOnly && S().settings.DeleteKey(key);
    }
    bool CountSettings(std::string_view key, std::uint32_t& subKeys, std::uint32_t& values) override
    {
        std::lock_guard lock(S().mutex);
        return S().settings.Count(key, subKeys, values);
    }

private:
    const std::shared_ptr<FontEngine> m_glyphs = CreateHeadlessFontEngine();
};

} // namespace

std::unique_ptr<Backend> CreateBackend(EventSink& sink)
{
    return std::make_unique<HeadlessBackend>(sink);
}

EventSink& Events()
{
    static ScriptEvents* events = new ScriptEvents;
    return *events;
}

void SetScreenSize(std::int32_t width, std::int32_t height)
{
    std::lock_guard lock(S().mutex);
    S().screen = SIZE{width, height};
}

void SetKey(std::uint8_t scanCode, bool down)
{
    HWND focus = nullptr;
    bool changed;
    {
        std::lock_guard lock(S().mutex);
        const std::uint8_t value = down ? 0x80 : 0x00;
        changed = S().keys[scanCode] != value;
        S().keys[scanCode] = value;
        focus = S().focus;
    }
    if (changed && focus != nullptr) Events().Key(focus, scanCode, down);
}

void ReleaseAllKeys()
{
    for (int key = 0; key < 256; ++key)
        SetKey(std::uint8_t(key), false);
}

void AddJoystick(const JoystickCaps& caps)
{
    std::lock_guard lock(S().mutex);
    Pad pad;
    pad.caps = caps;
    pad.position = JoystickPosition{(caps.xMin + caps.xMax) / 2, (caps.yMin + caps.yMax) / 2, 0};
    S().pads.push_back(pad);
}

void SetJoystickPosition(std::uint32_t id, const JoystickPosition& position)
{
    std::lock_guard lock(S().mutex);
    if (id < S().pads.size()) S().pads[id].position = position;
}

void SetJoystickReadFails(std::uint32_t id, bool fails)
{
    std::lock_guard lock(S().mutex);
    if (id < S().pads.size()) S().pads[id].readFails = fails;
}

void RemoveAllJoysticks()
{
    std::lock_guard lock(S().mutex);
    S().pads.clear();
}

void SetRefuseWindows(bool refuse)
{
    std::lock_guard lock(S().mutex);
    S().refuseWindows = refuse;
}

void SetRefuseDisplayModes(bool refuse)
{
    std::lock_guard lock(S().mutex);
    S().refuseDisplayModes = refuse;
}

void SetClipboardRefused(bool refuse)
{
    std::lock_guard lock(S().mutex);
    S().refuseClipboard = refuse;
}

std::optional<std::string> GetClipboardContents()
{
    std::lock_guard lock(S().mutex);
    return S().clipboard;
}

void ClearClipboard()
{
    std::lock_guard lock(S().mutex);
    S().clipboard.reset();
}

void SetCursorPosition(HWND window, bool inside, POINT client)
{
    std::lock_guard lock(S().mutex);
    auto it = S().windows.find(window);
    if (it == S().windows.end()) return;
    it->second.cursorInside = inside;
    it->second.cursor = client;
}

void ScriptMessageBoxAnswers(const std::vector<Backend::MessageBoxAnswer>& answers)
{
    std::lock_guard lock(S().mutex);
    S().boxAnswers = answers;
    S().boxesShown.clear();
}

std::vector<std::string> TakeOpenedDocuments()
{
    std::lock_guard lock(S().mutex);
    return std::exchange(S().documentsOpened, {});
}

std::vector<ShownMessageBox> GetShownMessageBoxes()
{
    std::lock_guard lock(S().mutex);
    return S().boxesShown;
}

void SetMessageBoxesUnavailable(bool unavailable)
{
    std::lock_guard lock(S().mutex);
    S().boxesUnavailable = unavailable;
}

void ResetSettings()
{
    std::lock_guard lock(S().mutex);
    S().settings = SettingsStore();
}

void SetSettingsReadOnly(bool readOnly)
{
    std::lock_guard lock(S().mutex);
    S().settingsReadOnly = readOnly;
}

bool IsNativeCursorVisible()
{
    std::lock_guard lock(S().mutex);
    return S().cursorVisible;
}

namespace {
template <class T, class F> T Query(HWND window, F f)
{
    std::lock_guard lock(S().mutex);
    auto it = S().windows.find(window);
    return it == S().windows.end() ? T{} : f(it->second);
}
} // namespace

std::string GetNativeCaption(HWND window)
{
    return Query<std::string>(window, [](NativeState& s) { return s.caption; });
}
bool IsNativeVisible(HWND window)
{
    return Query<bool>(window, [](NativeState& s) { return s.visible; });
}
bool IsNativeFullScreen(HWND window)
{
    return Query<bool>(window, [](NativeState& s) { return s.fullScreen; });
}
bool IsNativeTextInputEnabled(HWND window)
{
    return Query<bool>(window, [](NativeState& s) { return s.textInput; });
}
std::uint32_t GetPresentCount(HWND window)
{
    return Query<std::uint32_t>(window, [](NativeState& s) { return s.presentCount; });
}

void AdvanceSound(std::uint32_t milliseconds)
{
    std::shared_ptr<SoundMixer> mixer;
    std::uint32_t frames;
    {
        std::lock_guard lock(S().mutex);
        S().soundMilliseconds += milliseconds;
        const std::uint64_t due = S().soundMilliseconds * kMixRate / 1000;
        frames = std::uint32_t(due - S().soundFrames);
        S().soundFrames = due;
        mixer = S().mixer.lock();
    }
    if (!mixer || frames == 0) return;
    // Mixed outside the script's lock: the mixer takes its own.
    std::vector<std::int16_t> mix(std::size_t(frames) * 2);
    mixer->Mix(mix.data(), frames);
    std::lock_guard lock(S().mutex);
    S().soundCapture.insert(S().soundCapture.end(), mix.begin(), mix.end());
}

std::vector<std::int16_t> TakeSoundCapture()
{
    std::lock_guard lock(S().mutex);
    return std::exchange(S().soundCapture, {});
}

std::uint64_t GetSoundCursorReads()
{
    std::shared_ptr<SoundMixer> mixer;
    {
        std::lock_guard lock(S().mutex);
        mixer = S().mixer.lock();
    }
    return mixer ? mixer->GetCursorReads() : 0;
}

void LoseSoundBuffers()
{
    std::shared_ptr<SoundMixer> mixer;
    {
        std::lock_guard lock(S().mutex);
        mixer = S().mixer.lock();
    }
    if (mixer) mixer->LoseVoices();
}

void SetSoundOutputMissing(bool missing)
{
    std::lock_guard lock(S().mutex);
    S().soundMissing = missing;
}

} // namespace platform::headless
