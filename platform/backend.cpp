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
