#include "platform/backend_chooser.h"

#include "platform/program.h"
#include "platform/window_internal.h"

#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

struct Choice
{
    std::mutex mutex;
    std::unique_ptr<Backend> backend;
    // The back end made on first use when the environment names none.
    const char* preferred = nullptr;
};

Choice& C()
{
    static Choice* choice = new Choice; // outlives threads that end during process exit
    return *choice;
}

const BackendFactory* FactoryOf(std::string_view name)
{
    for (const BackendFactory& factory : BackendFactories())
        if (name == factory.name) return &factory;
    return nullptr;
}

std::unique_ptr<Backend> Make(std::string_view name)
{
    const BackendFactory* factory = FactoryOf(name);
    return factory != nullptr ? factory->create(WindowEventSink()) : nullptr;
}

} // namespace

Backend& GetBackend()
{
    std::lock_guard lock(C().mutex);
    if (!C().backend) {
        const char* wanted = std::getenv("MAROVELLIN_BACKEND");
        if (wanted != nullptr) C().backend = Make(wanted);
        if (!C().backend && C().preferred != nullptr) C().backend = Make(C().preferred);
        if (!C().backend) C().backend = Make("headless");
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

void UseInteractiveBackend()
{
    if (std::getenv("MAROVELLIN_BACKEND") != nullptr || !HasBackend("sdl")) return;
    {
        // Made when first used, so that a run that never needs it (a second copy that ends at once) leaves
        // the desktop libraries and their threads unstarted.
        std::lock_guard lock(C().mutex);
        if (!C().backend) {
            C().preferred = "sdl";
            return;
        }
    }
    SelectBackend("sdl");
}

bool HasBackend(std::string_view name)
{
    return FactoryOf(name) != nullptr;
}

} // namespace platform
