// The SDL2 back end: real windows, keyboard and game pads. This header is free of SDL's own.
#pragma once

#include "platform/host/backend.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform::sdl {

// The back end, reporting to `sink`; null when no display can be opened here.
std::unique_ptr<Backend> CreateBackend(EventSink& sink);

// The keyboard scan code of an SDL scan code (by number or by SDL's key name, such as "Up" or
// "Keypad 8"); 0 for keys without one.
std::uint8_t ScanCodeFromSdl(int sdlScancode);
std::uint8_t ScanCodeFromSdlName(const char* name);

// The video drivers to try, in order, when the user names none (SDL_VIDEODRIVER): the desktop's own
// displays (X, then Wayland) as the environment names them; empty to leave the choice to SDL.
std::string PreferredVideoDrivers(const char* xDisplay, const char* waylandDisplay);

} // namespace platform::sdl
