// The SDL2 back end: real windows, keyboard and game pads. This header is free of SDL's own.
#pragma once

#include "platform/host/backend.h"

#include <cstdint>
#include <memory>

namespace platform::sdl {

// The back end, reporting to `sink`; null when no display can be opened here.
std::unique_ptr<Backend> CreateBackend(EventSink& sink);

// The keyboard scan code of an SDL scan code (by number or by SDL's key name, such as "Up" or
// "Keypad 8"); 0 for keys without one.
std::uint8_t ScanCodeFromSdl(int sdlScancode);
std::uint8_t ScanCodeFromSdlName(const char* name);

} // namespace platform::sdl
