#pragma once
// Reference for the rectangle effects, written from the rules with plain arithmetic: colour fields taken
// apart with division and remainder, scaling as products with floor division, no tables.

#include "blt_reference_model.h"

#include <cstdint>

namespace effect_model {

using blt_model::A555;
using blt_model::A565;
using blt_model::ABGR8888;
using blt_model::ARGB8888;
using blt_model::BGR888;
using blt_model::RGB888;
using blt_model::T555;
using blt_model::T565;
using blt_model::XBGR8888;
using blt_model::XRGB8888;

inline int Bytes(int type)
{
    return blt_model::Bytes(type);
}

// The colour fields of a 16-bit word, red first, and their maxima.
struct Fields16
{
    int f[3];
};
inline bool Is565(int type)
{
    return type == T565 || type == A565;
}
inline Fields16 Split(int type, int w)
{
    if (Is565(type)) return {{w / 2048 % 32, w / 32 % 64, w % 32}};
    return {{w / 1024 % 32, w / 32 % 32, w % 32}};
}
inline int Join(int type, Fields16 v)
{
    return Is565(type) ? v.f[0] * 2048 + v.f[1] * 32 + v.f[2] : v.f[0] * 1024 + v.f[1] * 32 + v.f[2];
}
inline int Max(int type, int i)
{
    return Is565(type) && i == 1 ? 63 : 31;
}

// Red, green and blue of a colour 0xAARRGGBB in a 24/32-bit type's byte order.
inline void ColourBytes(int type, std::uint32_t colour, int out[3])
{
    const int r = colour >> 16 & 0xFF, g = colour >> 8 & 0xFF, b = colour & 0xFF;
    const bool redFirst = type == BGR888 || type == XBGR8888 || type == ABGR8888;
    out[0] = redFirst ? r : b;
    out[1] = g;
    out[2] = redFirst ? b : r;
}
inline int Packed16(int type, std::uint32_t colour)
{
    const int r = colour >> 16 & 0xFF, g = colour >> 8 & 0xFF, b = colour & 0xFF;
    return Is565(type) ? (r / 8) * 2048 + (g / 4) * 32 + b / 8 : (r / 8) * 1024 + (g / 8) * 32 + b / 8;
}
inline bool Is16(int type)
{
    return type == T565 || type == T555 || type == A565 || type == A555;
}

inline void Fill(int type, std::uint8_t* p, std::uint32_t colour)
{
    if (Is16(type)) {
        blt_model::PutWord16(p, Packed16(type, colour));
        if (type == A565 || type == A555) p[2] = static_cast<std::uint8_t>((colour >> 24) / 16);
        return;
    }
    int c[3];
    ColourBytes(type, colour, c);
    for (int i = 0; i < 3; ++i)
        p[i] = static_cast<std::uint8_t>(c[i]);
    if (type == XRGB8888 || type == XBGR8888) p[3] = 0;
    if (type == ARGB8888 || type == ABGR8888) p[3] = static_cast<std::uint8_t>(colour >> 24);
}

inline void Fade(int type, std::uint8_t* p, int rate)
{
    switch (type) {
    case T565:
    case T555: {
        const int level = type == T565 ? 2 * (rate / 32) : rate / 16;
        Fields16 v = Split(type, blt_model::Word16(p));
        for (int& f : v.f)
            f = f * level / 15;
        blt_model::PutWord16(p, Join(type, v)); // bit 15 of RGB555 comes out 0
        break;
    }
    case A565:
    case A555:
        p[2] = static_cast<std::uint8_t>((p[2] * 16 % 256) * rate / 255 / 16);
        break;
    case ARGB8888:
    case ABGR8888:
        p[3] = static_cast<std::uint8_t>(p[3] * rate / 255);
        break;
    default:
        for (int i = 0; i < 3; ++i)
            p[i] = static_cast<std::uint8_t>(p[i] * rate / 255);
        if (type == XRGB8888 || type == XBGR8888) p[3] = 0;
        break;
    }
}

// Add (sign 1) or subtract (sign -1) a colour with saturation per field.
inline void AddSub(int type, std::uint8_t* p, std::uint32_t colour, int sign)
{
    const auto sat = [sign](int d, int c, int max) {
        const int v = d + sign * c;
        return v < 0 ? 0 : v > max ? max : v;
    };
    if (Is16(type)) {
        const int w = blt_model::Word16(p);
        Fields16 d = Split(type, w);
        const Fields16 c = Split(type, Packed16(type, colour));
        for (int i = 0; i < 3; ++i)
            d.f[i] = sat(d.f[i], c.f[i], Max(type, i));
        // RGB555 keeps its spare bit 15; the 16-bit type with alpha clears it.
        blt_model::PutWord16(p, Join(type, d) + (type == T555 ? w / 32768 * 32768 : 0));
        return;
    }
    int c[3];
    ColourBytes(type, colour, c);
    for (int i = 0; i < 3; ++i)
        p[i] = static_cast<std::uint8_t>(sat(p[i], c[i], 255));
    if (type == ARGB8888 || type == ABGR8888) p[3] = 255;
}

inline void Invert(int type, std::uint8_t* p)
{
    if (Is16(type)) {
        const int w = blt_model::Word16(p);
        blt_model::PutWord16(p, type == T555 ? (w / 32768) * 32768 + (32767 - w % 32768) : 65535 - w);
        if (type == A565 || type == A555) p[2] = 15;
        return;
    }
    for (int i = 0; i < 3; ++i)
        p[i] = static_cast<std::uint8_t>(255 - p[i]);
    if (type == ARGB8888 || type == ABGR8888) p[3] = 0;
}

// Effects 0 to 4 on one pixel; the parameter is the colour (0, 2, 3) or the rate (1).
inline void Apply(int effect, int type, std::uint8_t* p, std::uint32_t param)
{
    switch (effect) {
    case 0:
        Fill(type, p, param);
        break;
    case 1:
        Fade(type, p, static_cast<int>(param & 0xFF));
        break;
    case 2:
        AddSub(type, p, param, 1);
        break;
    case 3:
        AddSub(type, p, param, -1);
        break;
    case 4:
        Invert(type, p);
        break;
    default:
        break;
    }
}

// Bytes of a pixel that mosaic copies: the colour and an A565/A555 alpha byte, never such a pixel's byte 3.
inline int MosaicBytes(int type)
{
    return type == A565 || type == A555 ? 3 : Bytes(type);
}

} // namespace effect_model
