#include "platform/sdl/sdl_backend.h"

#include "platform/thread.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace platform::sdl {

namespace {

// SDL window id -> our handle, for routing events. Only the video thread touches SDL's windows, but
// the map is also read by handle lookups from other threads.
class SdlWindow;

struct Windows
{
    std::mutex mutex;
    std::map<Uint32, HWND> byId;
    std::map<HWND, SdlWindow*> byHandle;
};

Windows& W()
{
    static Windows* windows = new Windows;
    return *windows;
}

HWND HandleOf(Uint32 id)
{
    std::lock_guard lock(W().mutex);
    auto it = W().byId.find(id);
    return it == W().byId.end() ? nullptr : it->second;
}

// The texture format that holds a frame's pixel type as it lies in memory.
Uint32 TextureFormatOf(std::int32_t pixelType)
{
    switch (pixelType) {
    case 3:
        return SDL_PIXELFORMAT_RGB565;
    case 5:
        return SDL_PIXELFORMAT_BGR24; // bytes blue, green, red
    default:
        return SDL_PIXELFORMAT_RGB888; // 32-bit 0x00RRGGBB
    }
}

class SdlWindow : public NativeWindow
{
public:
    SdlWindow(HWND handle, SDL_Window* window) : m_handle(handle), m_window(window)
    {
        std::lock_guard lock(W().mutex);
        W().byId[SDL_GetWindowID(m_window)] = m_handle;
        W().byHandle[m_handle] = this;
    }
    ~SdlWindow() override
    {
        {
            std::lock_guard lock(W().mutex);
            W().byId.erase(SDL_GetWindowID(m_window));
            W().byHandle.erase(m_handle);
        }
        CloseDisplay();
        if (m_renderer != nullptr) SDL_DestroyRenderer(m_renderer);
        SDL_DestroyWindow(m_window);
    }

    // ---- The display: the frame in memory, shown through a texture of its own format.
    bool SetDisplayMode(std::int32_t width, std::int32_t height, std::int32_t type, std::int32_t bytes)
    {
        if (m_renderer == nullptr) m_renderer = SDL_CreateRenderer(m_window, -1, 0);
        if (m_renderer == nullptr) return false;
        CloseDisplay();
        m_texture =
            SDL_CreateTexture(m_renderer, TextureFormatOf(type), SDL_TEXTUREACCESS_STREAMING, width, height);
        if (m_texture == nullptr) return false;
        m_frame.assign(std::size_t(width) * std::size_t(height) * std::size_t(bytes), 0);
        static std::uint32_t generation = 0;
        m_frameInfo = FrameMemory{m_frame.data(), width * bytes, width, height, type, ++generation};
        return true;
    }
    FrameMemory GetFrame() const { return m_frameInfo; }
    bool Present()
    {
        if (!Render()) return false;
        SDL_RenderPresent(m_renderer);
        m_presented = true;
        return true;
    }
    // Draws the last frame again and reads the whole client area, bars included.
    bool ReadBack(std::vector<std::uint32_t>& pixels, SIZE& size)
    {
        if (!m_presented || !Render()) return false;
        int w = 0, h = 0;
        SDL_GetRendererOutputSize(m_renderer, &w, &h);
        pixels.assign(std::size_t(w) * std::size_t(h), 0);
        const bool ok =
            SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(), w * 4) == 0;
        size = SIZE{w, h};
        return ok;
    }
    void CloseDisplay()
    {
        if (m_texture != nullptr) SDL_DestroyTexture(m_texture);
        m_texture = nullptr;
        m_frame.clear();
        m_frame.shrink_to_fit();
        m_frameInfo = FrameMemory{};
    }
    bool CursorPosition(POINT& client)
    {
        if (SDL_GetMouseFocus() != m_window) return false;
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        client = POINT{x, y};
        return true;
    }
    void SetCaption(const std::string& utf8) override { SDL_SetWindowTitle(m_window, utf8.c_str()); }
    void SetVisible(bool visible) override
    {
        if (visible)
            SDL_ShowWindow(m_window);
        else
            SDL_HideWindow(m_window);
    }
    void SetPlacement(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                      bool fullScreen) override
    {
        if (fullScreen) {
            SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN_DESKTOP);
            return;
        }
        if (SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN_DESKTOP)
            SDL_SetWindowFullscreen(m_window, 0);
        if (width > 0 && height > 0) SDL_SetWindowSize(m_window, width, height);
        SDL_SetWindowPosition(m_window, x, y);
    }
    void Minimize() override { SDL_MinimizeWindow(m_window); }
    void RequestFocus() override
    {
        SDL_RaiseWindow(m_window);
        SDL_SetWindowInputFocus(m_window);
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
        SDL_GetWindowSize(m_window, &w, &h);
        return SIZE{w, h};
    }

private:
    // The frame scaled to the client area with the aspect kept (bars where it does not fill it). The
    // viewport is set anew each time, so a window that changed its size is filled at once.
    bool Render()
    {
        if (m_texture == nullptr) return false;
        if (SDL_UpdateTexture(m_texture, nullptr, m_frame.data(), m_frameInfo.pitch) != 0) return false;
        int w = 0, h = 0;
        if (SDL_GetRendererOutputSize(m_renderer, &w, &h) != 0 || w <= 0 || h <= 0) return false;
        SDL_RenderSetViewport(m_renderer, nullptr);
        SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_renderer);
        const double scale = std::min(double(w) / m_frameInfo.width, double(h) / m_frameInfo.height);
        const int dw = int(m_frameInfo.width * scale + 0.5), dh = int(m_frameInfo.height * scale + 0.5);
        const SDL_Rect target{(w - dw) / 2, (h - dh) / 2, dw, dh};
        return SDL_RenderCopy(m_renderer, m_texture, nullptr, &target) == 0;
    }

    HWND m_handle;
    SDL_Window* m_window;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    std::vector<std::uint8_t> m_frame;
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

class SdlBackend : public Backend
{
public:
    ~SdlBackend() override
    {
        for (auto& pad : m_pads)
            if (pad.second != nullptr) SDL_JoystickClose(pad.second);
        if (SDL_WasInit(SDL_INIT_JOYSTICK)) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

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
        SDL_Window* native = SDL_CreateWindow(info.captionUtf8.c_str(), info.x, info.y, width, height, flags);
        if (native == nullptr) return nullptr;
        return std::make_unique<SdlWindow>(window, native);
    }

    void PumpEvents() override
    {
        if (!SDL_WasInit(SDL_INIT_VIDEO) || CurrentThreadId() != m_videoThread) return;
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            switch (e.type) {
            case SDL_WINDOWEVENT:
                WindowEvent(e.window);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (HWND h = HandleOf(e.key.windowID)) {
                    const std::uint8_t code = ScanCodeFromSdl(e.key.keysym.scancode);
                    if (code != 0) events::Key(h, code, e.type == SDL_KEYDOWN);
                }
                break;
            case SDL_DROPFILE:
                if (e.drop.file != nullptr) {
                    m_dropped.emplace_back(e.drop.file);
                    SDL_free(e.drop.file);
                }
                m_dropWindow = e.drop.windowID;
                break;
            case SDL_DROPCOMPLETE:
                if (HWND h = HandleOf(e.drop.windowID != 0 ? e.drop.windowID : m_dropWindow))
                    events::DropFiles(h, m_dropped);
                m_dropped.clear();
                break;
            default:
                break;
            }
        }
    }

    void SetCursorVisible(bool visible) override
    {
        if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    }

    void ReadKeyboard(std::uint8_t state[256]) override
    {
        std::memset(state, 0, 256);
        if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
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
        if (!EnsureJoysticks()) return 0;
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
    bool GetCursorPosition(HWND window, POINT& client) override
    {
        SdlWindow* w = WindowOf(window);
        return w != nullptr && w->CursorPosition(client);
    }

private:
    bool EnsureVideo()
    {
        if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        m_videoThread = CurrentThreadId();
        return true;
    }

    bool EnsureJoysticks()
    {
        if (SDL_WasInit(SDL_INIT_JOYSTICK)) return true;
        return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    }

    SDL_Joystick* Open(std::uint32_t id)
    {
        if (!EnsureJoysticks() || id >= GetJoystickCount()) return nullptr;
        auto it = m_pads.find(id);
        if (it != m_pads.end() && it->second != nullptr && SDL_JoystickGetAttached(it->second))
            return it->second;
        if (it != m_pads.end() && it->second != nullptr) SDL_JoystickClose(it->second);
        SDL_Joystick* pad = SDL_JoystickOpen(int(id));
        m_pads[id] = pad;
        return pad;
    }

    void WindowEvent(const SDL_WindowEvent& e)
    {
        HWND h = HandleOf(e.windowID);
        if (h == nullptr) return;
        switch (e.event) {
        case SDL_WINDOWEVENT_CLOSE:
            events::Close(h);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            events::Focus(h, true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            events::Focus(h, false);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            RECT client{};
            GetClientRect(h, &client);
            if (client.right != e.data1 || client.bottom != e.data2) events::Resized(h, e.data1, e.data2);
            break;
        }
        case SDL_WINDOWEVENT_MINIMIZED:
            events::Minimized(h);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            events::Maximized(h);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            events::Restored(h);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            events::Exposed(h);
            break;
        default:
            break;
        }
    }

    ThreadId m_videoThread = kNoThreadId;
    std::map<std::uint32_t, SDL_Joystick*> m_pads;
    std::vector<std::string> m_dropped;
    Uint32 m_dropWindow = 0;
};

} // namespace

std::unique_ptr<Backend> CreateBackend()
{
    SDL_SetMainReady();
    // A display must be reachable; the subsystem is opened again by the thread that makes the first window.
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return std::make_unique<SdlBackend>();
}

} // namespace platform::sdl
