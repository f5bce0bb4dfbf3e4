// The active back end, chosen at run time from the build's table of back-end factories before the first
// window: SelectBackend, or the MAROVELLIN_BACKEND environment variable, else headless. The services
// make it with their event sink. The SDK does not include this header; it reaches the back end only
// through the services.
#pragma once

#include "platform/host/backend.h"

#include <span>
#include <string_view>

namespace platform {

// The active back end (chosen on first use when none was selected).
Backend& GetBackend();
// Switches to the named back end ("headless" or "sdl"). False when the name is unknown, that back end
// cannot start here, or windows exist.
bool SelectBackend(std::string_view name);
// Whether this build has the named back end.
bool HasBackend(std::string_view name);

// The back ends of this build, one factory each (a table the build makes from its back-end folders).
std::span<const BackendFactory> BackendFactories();

} // namespace platform
