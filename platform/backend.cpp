#include "platform/backend.h"

#include "platform/headless/headless.h"
#ifdef MAROVELLIN_HAVE_SDL
#include "platform/sdl/sdl_backend.h"
#endif

#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

struct Choice
{
    std::mutex mutex;
    std::unique_ptr<Backend> backend;
};

Choice& C()
{
    static Choice* choice = new Choice; // outlives threads that end during process exit
    return *choice;
}

std::unique_ptr<Backend> Make(std::string_view name)
{
    if (name == "headless") return headless::CreateBackend();
#ifdef MAROVELLIN_HAVE_SDL
    if (name == "sdl") return sdl::CreateBackend();
#endif
    return nullptr;
}

} // namespace

namespace {

// The frame a display mode gives: windowed XRGB8888; full screen 16, 24 or 32 bits RGB565, RGB888 or
// XRGB8888. False for another depth or a side of 0 or less (or above 16384).
bool FrameFormatOf(bool fullScreen, std::int32_t width, std::int32_t height, std::int32_t bits,
                   std::int32_t& pixelType, std::int32_t& bytesPerPixel)
{
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
    if (!fullScreen || bits == 32) {
        pixelType = 7;
        bytesPerPixel = 4;
    } else if (bits == 16) {
        pixelType = 3;
        bytesPerPixel = 2;
    } else if (bits == 24) {
        pixelType = 5;
        bytesPerPixel = 3;
    } else {
        return false;
    }
    return true;
}

} // namespace

bool Backend::SetDisplayMode(HWND window, bool fullScreen, std::int32_t width, std::int32_t height,
                             std::int32_t bits, std::int32_t* pixelType)
{
    std::int32_t type = 0, bytes = 0;
    if (!FrameFormatOf(fullScreen, width, height, bits, type, bytes)) return false;
    if (!MakeFrame(window, width, height, type, bytes)) return false;
    *pixelType = type;
    return true;
}

Backend& GetBackend()
{
    std::lock_guard lock(C().mutex);
    if (!C().backend) {
        const char* wanted = std::getenv("MAROVELLIN_BACKEND");
        if (wanted != nullptr) C().backend = Make(wanted);
        if (!C().backend) C().backend = headless::CreateBackend();
    }
    return *C().backend;
}

bool SelectBackend(std::string_view name)
{
    std::lock_guard lock(C().mutex);
    if (C().backend && name == C().backend->GetName()) return true;
    if (C().backend && CountWindows() != 0) return false;
    auto made = Make(name);
    if (!made) return false;
    C().backend = std::move(made);
    return true;
}

bool HasBackend(std::string_view name)
{
#ifdef MAROVELLIN_HAVE_SDL
    if (name == "sdl") return true;
#endif
    return name == "headless";
}

} // namespace platform
