#pragma once
// Reference for the rectangle effects, written from the rules with plain arithmetic: colour fields taken
// apart with division and remainder, scaling as products with floor division, no tables.

#include "blt_reference_model.h"

#include <cstdint>

namespace effect_model {

using namespace blt_model;

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
    return JoinWord(type, {r / 8, g / (Is565(type) ? 4 : 8), b / 8});
}

inline void Fill(int type, std::uint8_t* p, std::uint32_t colour)
{
    const auto byte = [colour](int shift) { return static_cast<int>(colour >> shift & 0xFF); };
    Write(type, p, Colour{byte(16), byte(8), byte(0), byte(24)});
}

inline void Fade(int type, std::uint8_t* p, int rate)
{
    switch (type) {
    case T565:
    case T555: {
        const int level = type == T565 ? 2 * (rate / 32) : rate / 16;
        const Fields16 v = SplitWord(type, Word16(p));
        PutWord16(p,
                  JoinWord(type, {v.r * level / 15, v.g * level / 15, v.b * level / 15})); // bit 15 cleared
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
        const int w = Word16(p);
        const Fields16 d = SplitWord(type, w), c = SplitWord(type, Packed16(type, colour));
        const Fields16 out{sat(d.r, c.r, 31), sat(d.g, c.g, Is565(type) ? 63 : 31), sat(d.b, c.b, 31)};
        // RGB555 keeps its spare bit 15; the 16-bit type with alpha clears it.
        PutWord16(p, JoinWord(type, out) + (type == T555 ? w / 32768 * 32768 : 0));
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
        const int w = Word16(p);
        PutWord16(p, type == T555 ? (w / 32768) * 32768 + (32767 - w % 32768) : 65535 - w);
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
    if (effect == 0) Fill(type, p, param);
    if (effect == 1) Fade(type, p, static_cast<int>(param & 0xFF));
    if (effect == 2 || effect == 3) AddSub(type, p, param, effect == 2 ? 1 : -1);
    if (effect == 4) Invert(type, p);
}

// Bytes of a pixel that mosaic copies: the colour and an A565/A555 alpha byte, never such a pixel's byte 3.
inline int MosaicBytes(int type)
{
    return type == A565 || type == A555 ? 3 : Bytes(type);
}

} // namespace effect_model
