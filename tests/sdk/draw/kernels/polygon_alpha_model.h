#pragma once
// Reference for the polygon blend by the source's alpha, written from the rules with plain arithmetic
// (products and floor division instead of the kernels' tables).

#include "blt_reference_model.h"

#include <cstdint>

namespace polygon_model {

using namespace blt_model;

inline int Blend(int a, int s, int d)
{
    return a * s / 255 + (255 - a) * d / 255;
}

// Fields of a 16-bit word: {shift, bits} of red, green, blue.
struct Fields
{
    int shift[3];
    int bits[3];
};
inline constexpr Fields k565{{11, 5, 0}, {5, 6, 5}};
inline constexpr Fields k555{{10, 5, 0}, {5, 5, 5}};

inline int Field(int w, const Fields& f, int i)
{
    return (w >> f.shift[i]) % (1 << f.bits[i]);
}

inline void AlphaPixel(int dst, int src, std::uint8_t* d, const std::uint8_t* s)
{
    const bool is565 = dst == T565 || dst == A565;
    const Fields& f = is565 ? k565 : k555;
    if ((dst == T565 && src == A565) || (dst == T555 && src == A555)) {
        // Level blend: every field weighed by the level out of 15, each product truncated.
        const int level = s[2] % 16, dw = Word16(d), sw = Word16(s);
        int w = 0;
        for (int i = 0; i < 3; ++i)
            w += (Field(dw, f, i) * (15 - level) / 15 + Field(sw, f, i) * level / 15) << f.shift[i];
        PutWord16(d, w);
    } else if ((src == T565 || src == T555) && (dst == T565 || dst == T555 || dst == A565 || dst == A555)) {
        PutWord16(d, src == T555 ? Word16(s) % 32768 : Word16(s)); // opaque: the source's colour word
    } else if (dst == src && (dst == A565 || dst == A555)) {
        // Alpha level times 16 over fields widened with zero low bits, narrowed by truncation.
        const int a = (s[2] % 16) * 16, dw = Word16(d), sw = Word16(s);
        int w = 0;
        for (int i = 0; i < 3; ++i) {
            const int widen = 8 - f.bits[i];
            const int c = Blend(a, Field(sw, f, i) << widen, Field(dw, f, i) << widen);
            w += (c >> widen) << f.shift[i];
        }
        PutWord16(d, w);
    } else if (src == ARGB8888 || src == ABGR8888) {
        // Byte blend; both sides keep their channels in the same byte order.
        if (d[0] == s[0] && d[1] == s[1] && d[2] == s[2]) return;
        for (int i = 0; i < 3; ++i)
            d[i] = static_cast<std::uint8_t>(Blend(s[3], s[i], d[i]));
        if (dst == XRGB8888 || dst == XBGR8888) d[3] = 0;
        if (dst == ARGB8888 || dst == ABGR8888) d[3] = 255;
    } else {
        // Opaque 24- and 32-bit sources: the colour replaces the destination's unless it is the same.
        const Colour c = Read(src, s), old = Read(dst, d);
        if (c.r == old.r && c.g == old.g && c.b == old.b) return;
        Write(dst, d, Colour{c.r, c.g, c.b, 255});
    }
}

} // namespace polygon_model
