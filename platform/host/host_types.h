// The few values the host and the services both speak: the handle that names a window, and pixel
// rectangles, points and sizes. They carry the values and layouts the SDK's code and stored data expect.
#pragma once

#include <cstdint>

namespace platform {

// A window of the services. The host never looks inside a handle; it only names the window back with
// it in the events it reports.
struct WindowTag;
using HWND = WindowTag*;

struct RECT
{
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;  // exclusive
    std::int32_t bottom; // exclusive
};

struct POINT
{
    std::int32_t x;
    std::int32_t y;
};

struct SIZE
{
    std::int32_t cx;
    std::int32_t cy;
};

} // namespace platform
