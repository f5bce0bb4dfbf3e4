#include "platform/host/sdl/sdl_backend.h"

#include "platform/host/sdl/sdl_overlay.h"

#include "platform/host/freetype/freetype_font.h"
#include "platform/host/pixel_type.h"
#include "platform/host/plane_memory.h"
#include "platform/host/settings_store.h"
#include "platform/host/thread.h"

#include <SDL.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform::sdl {

namespace {

// SDL's handles, each released by its own function when its owner goes.
template <class T, void (*Release)(T*)> struct Releaser
{
    void operator()(T* handle) const { Release(handle); }
};
using WindowPtr = std::unique_ptr<SDL_Window, Releaser<SDL_Window, SDL_DestroyWindow>>;
using RendererPtr = std::unique_ptr<SDL_Renderer, Releaser<SDL_Renderer, SDL_DestroyRenderer>>;
using TexturePtr = std::unique_ptr<SDL_Texture, Releaser<SDL_Texture, SDL_DestroyTexture>>;
using JoystickPtr = std::unique_ptr<SDL_Joystick, Releaser<SDL_Joystick, SDL_JoystickClose>>;
using SdlText = std::unique_ptr<char, Releaser<void, SDL_free>>;

// How long the first opening of the display waits for a server that is resetting: 20 tries, 0.1 s apart.
constexpr int kVideoOpenAttempts = 20;
constexpr Uint32 kVideoOpenPauseMs = 100;

// Asks `open` up to `attempts` times, kVideoOpenPauseMs apart; whether it once succeeded.
template <class Open> bool OpenWithRetries(int attempts, Open open)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) SDL_Delay(kVideoOpenPauseMs);
        if (open()) return true;
    }
    return false;
}

// A subsystem this back end opened, closed again when the back end goes.
class Subsystem
{
public:
    explicit Subsystem(Uint32 flag) : m_flag(flag) {}
    Subsystem(const Subsystem&) = delete;
    Subsystem& operator=(const Subsystem&) = delete;
    ~Subsystem()
    {
        if (SDL_WasInit(m_flag)) SDL_QuitSubSystem(m_flag);
    }
    bool IsOpen() const { return SDL_WasInit(m_flag) != 0; }
    bool Open() { return IsOpen() || SDL_InitSubSystem(m_flag) == 0; }

private:
    Uint32 m_flag;
};

// SDL window id -> our handle, for routing events. Only the video thread touches SDL's windows, but
// the map is also read by handle lookups from other threads.
class SdlWindow;

struct Windows
{
    std::mutex mutex;
    std::map<Uint32, SdlWindow*> byId;
    std::map<HWND, SdlWindow*> byHandle;
};

Windows& W()
{
    static Windows* windows = new Windows;
    return *windows;
}

// The texture format that holds a frame's pixel type as it lies in memory.
Uint32 TextureFormatOf(std::int32_t pixelType)
{
    switch (pixelType) {
    case kPixel565:
        return SDL_PIXELFORMAT_RGB565;
    case kPixelRGB888:
        return SDL_PIXELFORMAT_BGR24; // bytes blue, green, red
    default:
        return SDL_PIXELFORMAT_RGB888; // 32-bit 0x00RRGGBB
    }
}

class SdlWindow : public NativeWindow
{
public:
    SdlWindow(HWND handle, WindowPtr window, SIZE client)
        : m_handle(handle), m_window(std::move(window)), m_client(client)
    {
        std::lock_guard lock(W().mutex);
        W().byId[SDL_GetWindowID(m_window.get())] = this;
        W().byHandle[m_handle] = this;
    }
    ~SdlWindow() override
    {
        std::lock_guard lock(W().mutex);
        W().byId.erase(SDL_GetWindowID(m_window.get()));
        W().byHandle.erase(m_handle);
    }

    HWND Handle() const { return m_handle; }
    SDL_Window* Native() const { return m_window.get(); }

    // The size change SDL reports, unless it is the size the services already gave the window.
    bool TakeNewClientSize(std::int32_t width, std::int32_t height)
    {
        if (m_client.cx == width && m_client.cy == height) return false;
        m_client = SIZE{width, height};
        return true;
    }

    // ---- The display: the frame in memory, shown through a texture of its own format.
    bool SetDisplayMode(std::int32_t width, std::int32_t height, std::int32_t type, std::int32_t bytes)
    {
        if (!m_renderer) m_renderer.reset(SDL_CreateRenderer(m_window.get(), -1, 0));
        if (!m_renderer) return false;
        CloseDisplay();
        m_texture.reset(SDL_CreateTexture(m_renderer.get(), TextureFormatOf(type),
                                          SDL_TEXTUREACCESS_STREAMING, width, height));
        if (!m_texture) return false;
        // Plane memory, so that the present's copy of the back plane does not meet it at a bad offset.
        m_frame = AllocatePlaneMemory(std::size_t(width) * std::size_t(height) * std::size_t(bytes), true);
        if (!m_frame) {
            m_texture.reset();
            return false;
        }
        static std::uint32_t generation = 0;
        m_frameInfo = FrameMemory{m_frame.get(), width * bytes, width, height, type, ++generation};
        return true;
    }
    FrameMemory GetFrame() const { return m_frameInfo; }
    bool Present()
    {
        if (!Render()) return false;
        SDL_RenderPresent(m_renderer.get());
        m_presented = true;
        m_lastPresent = SDL_GetTicks();
        return true;
    }

    // ---- The menu bar and the dialogs drawn over the frame.
    void SetMenuBar(const std::vector<MenuEntry>& entries) override
    {
        m_menu = entries;
        if (m_overlay) m_overlay->SetMenu(m_menu);
    }
    void ShowDialogs(const std::vector<DialogView>& dialogs) override
    {
        m_dialogs = dialogs;
        if (m_overlay) m_overlay->SetDialogs(m_dialogs);
    }
    bool HasOverlay() const { return !m_menu.empty() || !m_dialogs.empty() || m_boxOpen; }
    void OverlayEvent(const SDL_Event& e)
    {
        if (m_overlay) m_overlay->ProcessEvent(e);
    }
    std::vector<Overlay::Action> TakeOverlayActions()
    {
        return m_overlay ? m_overlay->TakeActions() : std::vector<Overlay::Action>{};
    }
    // While dialogs are open the frame may not be presented by the program (a modal dialog runs, or full
    // screen draws nothing): the overlay is then shown again here, so it goes on answering.
    void KeepOverlayAlive()
    {
        if (m_dialogs.empty() || !m_texture || SDL_GetTicks() - m_lastPresent < 30) return;
        Present();
    }
    // A message box drawn over the frame, in the overlay's Japanese face (the desktop's own boxes may have
    // none). False when there is no frame to draw it over or no overlay can be had.
    bool OpenMessageBox(Overlay::MessageBoxView box)
    {
        if (!m_texture) return false;
        m_boxOpen = true;
        if (!Render() || !m_overlay) {
            m_boxOpen = false;
            return false;
        }
        m_overlay->SetMessageBox(std::move(box));
        return true;
    }
    int TakeMessageBoxAnswer() { return m_overlay ? m_overlay->TakeMessageBoxAnswer() : -1; }
    void CloseMessageBox()
    {
        m_boxOpen = false;
        if (m_overlay) m_overlay->SetMessageBox(std::nullopt);
        if (m_texture) Present();
    }
    // Draws the last frame again and reads the whole client area, bars included.
    bool ReadBack(std::vector<std::uint32_t>& pixels, SIZE& size)
    {
        if (!m_presented || !Render()) return false;
        int w = 0, h = 0;
        SDL_GetRendererOutputSize(m_renderer.get(), &w, &h);
        pixels.assign(std::size_t(w) * std::size_t(h), 0);
        const bool ok = SDL_RenderReadPixels(m_renderer.get(), nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(),
                                             w * 4) == 0;
        size = SIZE{w, h};
        return ok;
    }
    void CloseDisplay()
    {
        m_texture.reset();
        m_frame.reset();
        m_frameInfo = FrameMemory{};
    }
    bool CursorPosition(POINT& client)
    {
        if (SDL_GetMouseFocus() != m_window.get()) return false;
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        client = POINT{x, y};
        return true;
    }
    void SetCaption(const std::string& utf8) override { SDL_SetWindowTitle(m_window.get(), utf8.c_str()); }
    void SetVisible(bool visible) override
    {
        if (visible)
            SDL_ShowWindow(m_window.get());
        else
            SDL_HideWindow(m_window.get());
    }
    void SetPlacement(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                      bool fullScreen) override
    {
        m_client = SIZE{width, height};
        if (fullScreen) {
            SDL_SetWindowFullscreen(m_window.get(), SDL_WINDOW_FULLSCREEN_DESKTOP);
            return;
        }
        if (SDL_GetWindowFlags(m_window.get()) & SDL_WINDOW_FULLSCREEN_DESKTOP)
            SDL_SetWindowFullscreen(m_window.get(), 0);
        if (width > 0 && height > 0) SDL_SetWindowSize(m_window.get(), width, height);
        SDL_SetWindowPosition(m_window.get(), x, y);
    }
    void Minimize() override { SDL_MinimizeWindow(m_window.get()); }
    void RequestFocus() override
    {
        SDL_RaiseWindow(m_window.get());
        SDL_SetWindowInputFocus(m_window.get());
    }
    void EnableTextInput(bool enable) override
    {
        if (enable)
            SDL_StartTextInput();
        else
            SDL_StopTextInput();
    }
    SIZE GetNativeClientSize() override
    {
        int w = 0, h = 0;
        SDL_GetWindowSize(m_window.get(), &w, &h);
        return SIZE{w, h};
    }

private:
    // The frame scaled to the client area with the aspect kept (bars where it does not fill it). The
    // viewport is set anew each time, so a window that changed its size is filled at once.
    bool Render()
    {
        if (!m_texture) return false;
        if (SDL_UpdateTexture(m_texture.get(), nullptr, m_frame.get(), m_frameInfo.pitch) != 0) return false;
        int w = 0, h = 0;
        if (SDL_GetRendererOutputSize(m_renderer.get(), &w, &h) != 0 || w <= 0 || h <= 0) return false;
        SDL_RenderSetViewport(m_renderer.get(), nullptr);
        SDL_SetRenderDrawColor(m_renderer.get(), 0, 0, 0, 255);
        SDL_RenderClear(m_renderer.get());
        const double scale = std::min(double(w) / m_frameInfo.width, double(h) / m_frameInfo.height);
        const int dw = int(m_frameInfo.width * scale + 0.5), dh = int(m_frameInfo.height * scale + 0.5);
        const SDL_Rect target{(w - dw) / 2, (h - dh) / 2, dw, dh};
        if (SDL_RenderCopy(m_renderer.get(), m_texture.get(), nullptr, &target) != 0) return false;
        if (HasOverlay() && !m_overlay && !m_overlayRefused) {
            m_overlay = Overlay::Create(m_window.get(), m_renderer.get());
            m_overlayRefused = !m_overlay;
            if (m_overlay) {
                m_overlay->SetMenu(m_menu);
                m_overlay->SetDialogs(m_dialogs);
            }
        }
        if (m_overlay && HasOverlay()) m_overlay->Draw();
        return true;
    }

    HWND m_handle;
    // Released in the reverse order: the overlay and the texture, then their renderer, then the window.
    WindowPtr m_window;
    RendererPtr m_renderer;
    TexturePtr m_texture;
    std::unique_ptr<Overlay> m_overlay;
    bool m_overlayRefused = false;
    std::vector<MenuEntry> m_menu;
    std::vector<DialogView> m_dialogs;
    bool m_boxOpen = false;
    Uint32 m_lastPresent = 0;
    SIZE m_client; // the client size the services know the window by
    PlaneMemory m_frame;
    FrameMemory m_frameInfo{};
    bool m_presented = false;
};

// Only the window's owner thread calls these, and it is also the one that destroys the window.
SdlWindow* WindowOf(HWND handle)
{
    std::lock_guard lock(W().mutex);
    auto it = W().byHandle.find(handle);
    return it == W().byHandle.end() ? nullptr : it->second;
}

SdlWindow* WindowOfId(Uint32 id)
{
    std::lock_guard lock(W().mutex);
    auto it = W().byId.find(id);
    return it == W().byId.end() ? nullptr : it->second;
}

HWND HandleOf(Uint32 id)
{
    SdlWindow* w = WindowOfId(id);
    return w != nullptr ? w->Handle() : nullptr;
}

class SdlBackend : public Backend
{
public:
    explicit SdlBackend(EventSink& sink) : m_sink(sink) {}

    const char* GetName() const override { return "sdl"; }

    SIZE GetScreenSize() override
    {
        SDL_DisplayMode mode{};
        if (!EnsureVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return SIZE{640, 480};
        return SIZE{mode.w, mode.h};
    }

    // The window manager draws frames outside the client area.
    FrameMetrics GetFrameMetrics() override { return FrameMetrics{0, 0, 0}; }

    std::unique_ptr<NativeWindow> CreateNativeWindow(HWND window, const NativeWindowInfo& info) override
    {
        if (!EnsureVideo()) return nullptr;
        // Events are read by the thread that makes the windows (the application thread), whichever
        // thread first opened the display.
        m_videoThread = CurrentThreadId();
        Uint32 flags = info.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
        if (info.fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        const int width = info.clientWidth > 0 ? info.clientWidth : 1;
        const int height = info.clientHeight > 0 ? info.clientHeight : 1;
        WindowPtr native(SDL_CreateWindow(info.captionUtf8.c_str(), info.x, info.y, width, height, flags));
        if (!native) return nullptr;
        return std::make_unique<SdlWindow>(window, std::move(native),
                                           SIZE{info.clientWidth, info.clientHeight});
    }

    void PumpEvents() override
    {
        if (!m_video.IsOpen() || CurrentThreadId() != m_videoThread) return;
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            ForEachWindow([&](SdlWindow& w) { w.OverlayEvent(e); });
            switch (e.type) {
            case SDL_WINDOWEVENT:
                WindowEvent(e.window);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (HWND h = HandleOf(e.key.windowID)) {
                    const std::uint8_t code = ScanCodeFromSdl(e.key.keysym.scancode);
                    if (code != 0) m_sink.Key(h, code, e.type == SDL_KEYDOWN);
                }
                break;
            case SDL_DROPFILE: {
                const SdlText file(e.drop.file);
                if (file) m_dropped.emplace_back(file.get());
                m_dropWindow = e.drop.windowID;
                break;
            }
            case SDL_QUIT:
                // SDL turns an interrupt or terminate signal into this: the program is asked to end as
                // when its windows' close boxes are clicked. (Closing the last window does not send it:
                // see CreateBackend.)
                ForEachWindow([&](SdlWindow& w) { m_sink.Close(w.Handle()); });
                break;
            case SDL_DROPCOMPLETE:
                if (HWND h = HandleOf(e.drop.windowID != 0 ? e.drop.windowID : m_dropWindow))
                    m_sink.DropFiles(h, m_dropped);
                m_dropped.clear();
                break;
            default:
                break;
            }
        }
        ForEachWindow([&](SdlWindow& w) {
            for (const Overlay::Action& a : w.TakeOverlayActions())
                Report(w.Handle(), a);
            w.KeepOverlayAlive();
        });
    }

    void SetCursorVisible(bool visible) override
    {
        if (m_video.IsOpen()) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    }

    bool GetCursorPosition(HWND window, POINT& client) override
    {
        SdlWindow* w = WindowOf(window);
        return w != nullptr && w->CursorPosition(client);
    }

    bool MakeFrame(HWND window, std::int32_t width, std::int32_t height, std::int32_t type,
                   std::int32_t bytes) override
    {
        SdlWindow* w = WindowOf(window);
        return w != nullptr && w->SetDisplayMode(width, height, type, bytes);
    }
    FrameMemory GetFrame(HWND window) override
    {
        SdlWindow* w = WindowOf(window);
        return w == nullptr ? FrameMemory{} : w->GetFrame();
    }
    bool PresentFrame(HWND window) override
    {
        SdlWindow* w = WindowOf(window);
        return w != nullptr && w->Present();
    }
    bool ReadPresentedFrame(HWND window, std::vector<std::uint32_t>& pixels, SIZE& size) override
    {
        SdlWindow* w = WindowOf(window);
        return w != nullptr && w->ReadBack(pixels, size);
    }
    void CloseDisplay(HWND window) override
    {
        if (SdlWindow* w = WindowOf(window)) w->CloseDisplay();
    }

    void ReadKeyboard(std::uint8_t state[256]) override
    {
        std::memset(state, 0, 256);
        if (!m_video.IsOpen()) return;
        int count = 0;
        const Uint8* keys = SDL_GetKeyboardState(&count);
        for (int i = 0; i < count; ++i) {
            if (keys[i] == 0) continue;
            const std::uint8_t code = ScanCodeFromSdl(i);
            if (code != 0) state[code] = 0x80;
        }
    }

    std::uint32_t GetJoystickCount() override
    {
        if (!m_joysticks.Open()) return 0;
        const int n = SDL_NumJoysticks();
        return n > 0 ? std::uint32_t(n) : 0;
    }

    // Axes as the multimedia joystick functions give them: 0 to 65535.
    bool GetJoystickCaps(std::uint32_t id, JoystickCaps& caps) override
    {
        SDL_Joystick* pad = Open(id);
        if (pad == nullptr) return false;
        caps = JoystickCaps{0, 65535, 0, 65535, std::uint32_t(std::max(SDL_JoystickNumButtons(pad), 0))};
        return true;
    }

    bool ReadJoystick(std::uint32_t id, JoystickPosition& position) override
    {
        SDL_Joystick* pad = Open(id);
        if (pad == nullptr) return false;
        SDL_JoystickUpdate();
        if (!SDL_JoystickGetAttached(pad)) return false;
        position.x = std::uint32_t(int(SDL_JoystickGetAxis(pad, 0)) + 32768);
        position.y = std::uint32_t(int(SDL_JoystickGetAxis(pad, 1)) + 32768);
        position.buttons = 0;
        const int buttons = std::min(SDL_JoystickNumButtons(pad), 32);
        for (int b = 0; b < buttons; ++b)
            if (SDL_JoystickGetButton(pad, b)) position.buttons |= 1u << b;
        return true;
    }

    // The real rasteriser when the faces are installed, else fixed metrics; made once.
    std::shared_ptr<FontEngine> GetGlyphEngine() override
    {
        std::call_once(m_glyphsMade, [this] {
            m_glyphs = CreateFreeTypeFontEngine();
            if (!m_glyphs) m_glyphs = CreateHeadlessFontEngine();
        });
        return m_glyphs;
    }

    // One audio device for the program, opened in the mix's own format: SDL converts it to whatever the
    // hardware takes. Its callback mixes every playing buffer; the device closes with the mixer.
    std::shared_ptr<SoundMixer> OpenSoundOutput() override
    {
        std::lock_guard lock(m_audioMutex);
        if (std::shared_ptr<SoundMixer> mixer = m_mixer.lock()) return mixer;
        if (!m_audio.Open()) return nullptr;
        auto owned = std::make_unique<SoundMixer>(kMixRate);
        SDL_AudioSpec wanted{};
        wanted.freq = int(kMixRate);
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 2;
        wanted.samples = 1024;
        wanted.callback = &MixInto;
        wanted.userdata = owned.get();
        const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        if (device == 0) return nullptr;
        std::shared_ptr<SoundMixer> mixer(owned.release(), [device](SoundMixer* m) {
            SDL_CloseAudioDevice(device); // the callback has returned for good after this
            delete m;
        });
        m_mixer = mixer;
        SDL_PauseAudioDevice(device, 0);
        return mixer;
    }

    // The desktop's opener, left to run by itself; a thread of its own reaps it.
    bool OpenDocument(const std::string& target) override
    {
        std::string program = "xdg-open";
        char* argv[] = {program.data(), const_cast<char*>(target.c_str()), nullptr};
        pid_t child = 0;
        if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
        std::thread([child] {
            int status = 0;
            waitpid(child, &status, 0);
        }).detach();
        return true;
    }

    bool SetClipboardText(const std::string& utf8) override
    {
        return EnsureVideo() && SDL_SetClipboardText(utf8.c_str()) == 0;
    }
    bool GetClipboardText(std::string& utf8) override
    {
        if (!EnsureVideo() || !SDL_HasClipboardText()) return false;
        const SdlText text(SDL_GetClipboardText());
        if (!text) return false;
        utf8 = text.get();
        return true;
    }

    MessageBoxAnswer ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                                    MessageBoxButtons buttons, MessageBoxIcon icon,
                                    int defaultButton) override
    {
        using A = MessageBoxAnswer;
        struct Choice
        {
            const char* label;
            A answer;
        };
        // The labels are UTF-8 whatever the narrow literals are compiled to.
        const auto utf8 = [](const char8_t* text) { return reinterpret_cast<const char*>(text); };
        std::vector<Choice> choices;
        switch (buttons) {
        case MessageBoxButtons::OkCancel:
            choices = {{"OK", A::Ok}, {utf8(u8"キャンセル"), A::Cancel}};
            break;
        case MessageBoxButtons::YesNo:
            choices = {{utf8(u8"はい"), A::Yes}, {utf8(u8"いいえ"), A::No}};
            break;
        case MessageBoxButtons::YesNoCancel:
            choices = {
                {utf8(u8"はい"), A::Yes}, {utf8(u8"いいえ"), A::No}, {utf8(u8"キャンセル"), A::Cancel}};
            break;
        default:
            choices = {{"OK", A::Ok}};
            break;
        }
        // Escape gives the last button (No, Cancel or OK), as closing such a box does.
        std::vector<SDL_MessageBoxButtonData> data;
        for (std::size_t i = 0; i < choices.size(); ++i) {
            Uint32 flags = 0;
            if (int(i) == defaultButton) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
            if (i + 1 == choices.size()) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
            data.push_back(SDL_MessageBoxButtonData{flags, int(i), choices[i].label});
        }
        Uint32 flags = 0;
        if (icon == MessageBoxIcon::Error) flags = SDL_MESSAGEBOX_ERROR;
        if (icon == MessageBoxIcon::Warning) flags = SDL_MESSAGEBOX_WARNING;
        if (icon == MessageBoxIcon::Information || icon == MessageBoxIcon::Question)
            flags = SDL_MESSAGEBOX_INFORMATION;
        SdlWindow* parent = WindowOf(owner);
        if (parent != nullptr && CurrentThreadId() == m_videoThread) {
            Overlay::MessageBoxView view{caption, text, {}};
            for (const Choice& choice : choices)
                view.labelsUtf8.emplace_back(choice.label);
            if (parent->OpenMessageBox(std::move(view))) {
                const int pressed = RunMessageBox(*parent, defaultButton, int(choices.size()));
                return choices[std::size_t(pressed)].answer;
            }
        }
        const SDL_MessageBoxData box{flags,
                                     parent != nullptr ? parent->Native() : nullptr,
                                     caption.c_str(),
                                     text.c_str(),
                                     int(data.size()),
                                     data.data(),
                                     nullptr};
        int pressed = -1;
        if (SDL_ShowMessageBox(&box, &pressed) != 0) return A::NotAvailable;
        if (pressed < 0 || pressed >= int(choices.size())) return choices.back().answer;
        return choices[std::size_t(pressed)].answer;
    }

    bool ReadSetting(std::string_view key, std::string_view name, std::vector<std::uint8_t>& value) override
    {
        return m_settings.Read(key, name, value);
    }
    bool WriteSetting(std::string_view key, std::string_view name,
                      const std::vector<std::uint8_t>& value) override
    {
        return m_settings.Write(key, name, value);
    }
    bool DeleteSetting(std::string_view key, std::string_view name) override
    {
        return m_settings.Delete(key, name);
    }
    bool CreateSettingsKey(std::string_view key) override { return m_settings.CreateKey(key); }
    bool DeleteSettingsKey(std::string_view key) override { return m_settings.DeleteKey(key); }
    bool CountSettings(std::string_view key, std::uint32_t& subKeys, std::uint32_t& values) override
    {
        return m_settings.Count(key, subKeys, values);
    }

private:
    static void SDLCALL MixInto(void* mixer, Uint8* stream, int length)
    {
        static_cast<SoundMixer*>(mixer)->Mix(reinterpret_cast<std::int16_t*>(stream),
                                             std::uint32_t(length) / 4);
    }

    // The message box over the window until a button is clicked, Enter (the default button) or Escape (the
    // last one, as closing such a box does) is pressed, or the program is asked to end or the window to
    // close (the last button too; that request is put back for the program once the box has gone). Key
    // releases and the window's other events still reach the services, so that their state stays true.
    int RunMessageBox(SdlWindow& window, int defaultButton, int count)
    {
        int answer = -1;
        std::vector<SDL_Event> later;
        while (answer < 0) {
            SDL_Event e;
            while (SDL_PollEvent(&e)) {
                window.OverlayEvent(e);
                if (e.type == SDL_KEYDOWN && e.key.repeat == 0) {
                    const SDL_Scancode key = e.key.keysym.scancode;
                    if (key == SDL_SCANCODE_RETURN || key == SDL_SCANCODE_KP_ENTER) answer = defaultButton;
                    if (key == SDL_SCANCODE_ESCAPE) answer = count - 1;
                } else if (e.type == SDL_KEYUP) {
                    const std::uint8_t code = ScanCodeFromSdl(e.key.keysym.scancode);
                    if (HWND h = HandleOf(e.key.windowID); h != nullptr && code != 0)
                        m_sink.Key(h, code, false);
                } else if (e.type == SDL_QUIT ||
                           (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE)) {
                    answer = count - 1;
                    later.push_back(e);
                } else if (e.type == SDL_WINDOWEVENT) {
                    WindowEvent(e.window);
                }
            }
            if (answer < 0) answer = window.TakeMessageBoxAnswer();
            if (answer < 0) {
                window.Present();
                SDL_Delay(10);
            }
        }
        window.CloseMessageBox();
        for (SDL_Event& e : later)
            SDL_PushEvent(&e);
        return answer;
    }

    bool EnsureVideo()
    {
        if (m_video.IsOpen()) return true;
        // An X server without a window manager resets when its last client leaves, and refuses
        // connections until it is back: the check made at start-up may have been that client. The
        // first opening waits it out; once the display has failed that long, later ones try once.
        if (!OpenWithRetries(m_videoGivenUp ? 1 : kVideoOpenAttempts, [this] { return m_video.Open(); })) {
            m_videoGivenUp = true;
            return false;
        }
        m_videoThread = CurrentThreadId();
        return true;
    }

    SDL_Joystick* Open(std::uint32_t id)
    {
        if (!m_joysticks.Open() || id >= GetJoystickCount()) return nullptr;
        JoystickPtr& pad = m_pads[id];
        if (pad && SDL_JoystickGetAttached(pad.get())) return pad.get();
        pad.reset(); // an unplugged pad is closed before it is opened again
        pad.reset(SDL_JoystickOpen(int(id)));
        return pad.get();
    }

    // Runs f on every window of the back end; the windows are those of the calling (owner) thread.
    template <class F> void ForEachWindow(F&& f)
    {
        std::vector<SdlWindow*> windows;
        {
            std::lock_guard lock(W().mutex);
            for (const auto& [id, w] : W().byId)
                windows.push_back(w);
        }
        for (SdlWindow* w : windows)
            f(*w);
    }

    void Report(HWND window, const Overlay::Action& a)
    {
        switch (a.kind) {
        case Overlay::Action::MenuCommand:
            m_sink.MenuCommand(window, std::uint32_t(a.id));
            break;
        case Overlay::Action::Button:
            m_sink.DialogButton(a.dialog, a.id);
            break;
        case Overlay::Action::Text:
            m_sink.DialogText(a.dialog, a.id, a.textUtf8);
            break;
        case Overlay::Action::Track:
            m_sink.DialogTrack(a.dialog, a.id, a.position, a.released);
            break;
        case Overlay::Action::Close:
            m_sink.Close(a.dialog);
            break;
        }
    }

    void WindowEvent(const SDL_WindowEvent& e)
    {
        SdlWindow* w = WindowOfId(e.windowID);
        if (w == nullptr) return;
        const HWND h = w->Handle();
        switch (e.event) {
        case SDL_WINDOWEVENT_CLOSE:
            m_sink.Close(h);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            m_sink.Focus(h, true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            m_sink.Focus(h, false);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (w->TakeNewClientSize(e.data1, e.data2)) m_sink.Resized(h, e.data1, e.data2);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            m_sink.Minimized(h);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            m_sink.Maximized(h);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            m_sink.Restored(h);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            m_sink.Exposed(h);
            break;
        default:
            break;
        }
    }

    EventSink& m_sink;
    // Declared before what they serve, so that pads close before their subsystem does.
    Subsystem m_video{SDL_INIT_VIDEO};
    bool m_videoGivenUp = false;
    Subsystem m_joysticks{SDL_INIT_JOYSTICK};
    Subsystem m_audio{SDL_INIT_AUDIO};
    std::mutex m_audioMutex;
    std::weak_ptr<SoundMixer> m_mixer;
    ThreadId m_videoThread = kNoThreadId;
    std::map<std::uint32_t, JoystickPtr> m_pads;
    std::vector<std::string> m_dropped;
    Uint32 m_dropWindow = 0;
    std::once_flag m_glyphsMade;
    std::shared_ptr<FontEngine> m_glyphs;
    SettingsFile m_settings{SettingsFile::DefaultPath()};
};

} // namespace

std::string PreferredVideoDrivers(const char* xDisplay, const char* waylandDisplay)
{
    std::string drivers;
    if (xDisplay != nullptr && *xDisplay != '\0') drivers = "x11";
    if (waylandDisplay != nullptr && *waylandDisplay != '\0')
        drivers += drivers.empty() ? "wayland" : ",wayland";
    return drivers;
}

std::unique_ptr<Backend> CreateBackend(EventSink& sink)
{
    SDL_SetMainReady();
    // Left to itself, SDL may pass over a busy X server and fall back to a window drawn off screen: the
    // game would run where nobody can see it. A desktop's display is taken, or none.
    if (const char* chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER); chosen == nullptr || *chosen == '\0') {
        const std::string drivers =
            PreferredVideoDrivers(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
        if (!drivers.empty())
            SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, drivers.c_str(), SDL_HINT_OVERRIDE);
    }
    // A close box already reports its own window's closing; the quit event is left to the signals.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A display must be reachable; the subsystem is opened again by the thread that makes the first window.
    // An X server that has just said it is ready may still refuse the first connection for a moment on a
    // busy machine: a named display is asked again, as the first window's opening does.
    const bool named = SDL_GetHint(SDL_HINT_VIDEODRIVER) != nullptr;
    if (!OpenWithRetries(named ? kVideoOpenAttempts : 1,
                         [] { return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0; }))
        return nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return std::make_unique<SdlBackend>(sink);
}

} // namespace platform::sdl
