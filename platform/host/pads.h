// Game pads as the multimedia joystick functions describe them: axes from min to max, buttons as bits.
#pragma once

#include <cstdint>

namespace platform {

struct JoystickCaps
{
    std::uint32_t xMin;
    std::uint32_t xMax;
    std::uint32_t yMin;
    std::uint32_t yMax;
    std::uint32_t buttonCount;
};

struct JoystickPosition
{
    std::uint32_t x;
    std::uint32_t y;
    std::uint32_t buttons; // bit n: button n held
};

} // namespace platform
