#pragma once
// An independent reference for the game's sprite operations, written from the rules with plain
// arithmetic: words taken apart into fields with division and remainder, nothing from the kernels' traits,
// tables or walk.

#include <cstdint>

namespace sprite_model {

enum Type : int
{
    T565 = 3,
    T555 = 4,
    XRGB8888 = 7,
    XBGR8888 = 8,
    A565 = 10,
    A555 = 11,
    ARGB8888 = 12,
    ABGR8888 = 13,
};

inline bool Is16(int type)
{
    return type == T565 || type == T555;
}
inline bool Is32(int type)
{
    return type == XRGB8888 || type == XBGR8888 || type == ARGB8888 || type == ABGR8888;
}
inline bool HasAlphaByte(int type)
{
    return type == ARGB8888 || type == ABGR8888;
}

// The operations, numbered as ESpriteOp.
enum Op : int
{
    kCopy,
    kCopyKey,
    kHalfBright,
    kHalfBrightKey,
    kHalfBlend,
    kHalfBlendKey,
    kAlphaOntoAlpha,
    kOpCount
};

inline bool Served(int op, int target, int source)
{
    if (op == kAlphaOntoAlpha)
        return (target == source && (target == A565 || target == A555)) ||
               (HasAlphaByte(target) && HasAlphaByte(source));
    return (Is16(target) && Is16(source)) || (Is32(target) && Is32(source));
}

inline std::uint32_t Word(const std::uint8_t* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v * 256 + p[i];
    return v;
}
inline void PutWord(std::uint8_t* p, int bytes, std::uint32_t v)
{
    for (int i = 0; i < bytes; ++i, v /= 256)
        p[i] = static_cast<std::uint8_t>(v % 256);
}

// Magenta in the target's layout; a 32-bit word matches it only with a top byte of 0.
inline std::uint32_t Key(int target)
{
    return target == T565 ? 0xF81F : target == T555 ? 0x7C1F : 0xFF00FF;
}

// Every channel of a 16-bit word (taken in the target's layout) halved, rounding down; a 555 word's spare
// bit 15 is dropped.
inline std::uint32_t Halve16(int target, std::uint32_t w)
{
    if (target == T565) return (w / 2048 % 32 / 2) * 2048 + (w / 32 % 64 / 2) * 32 + w % 32 / 2;
    return (w / 1024 % 32 / 2) * 1024 + (w / 32 % 32 / 2) * 32 + w % 32 / 2;
}

// One source pixel over one target pixel.
inline void Pixel(int op, int target, int source, std::uint8_t* d, const std::uint8_t* s)
{
    const int bytes = Is16(target) ? 2 : 4;
    const std::uint32_t sv = Word(s, bytes), dv = Word(d, bytes);
    if (op == kAlphaOntoAlpha) {
        if (bytes == 4 && target != A565 && target != A555) {
            const int a = s[3], da = d[3];
            for (int i = 0; i < 3; ++i)
                d[i] = static_cast<std::uint8_t>((s[i] * a + d[i] * (255 - a)) / 256);
            d[3] = static_cast<std::uint8_t>(a + da * (255 - a) / 256);
            return;
        }
        // 16-bit colour in bytes 0 and 1, alpha in the low nibble of byte 2; byte 3 comes out 0.
        const int a = s[2] % 16, da = d[2] % 16;
        const int sw = s[0] + 256 * s[1], dw = d[0] + 256 * d[1];
        const int mix = [&] {
            const auto f = [&](int unit, int range) {
                return (sw / unit % range * a + dw / unit % range * (15 - a)) / 15 * unit;
            };
            return target == A565 ? f(2048, 32) + f(32, 64) + f(1, 32) : f(1024, 32) + f(32, 32) + f(1, 32);
        }();
        PutWord(d, 4,
                static_cast<std::uint32_t>(mix) +
                    65536u * static_cast<std::uint32_t>(a + da * (15 - a) / 15));
        return;
    }
    const bool keyed =
        op == kCopyKey || op == kHalfBrightKey || op == kHalfBlendKey || (op == kHalfBlend && bytes == 2);
    if (keyed && sv == Key(target)) return;
    if (bytes == 2) {
        std::uint32_t out = sv;
        if (op == kHalfBright || op == kHalfBrightKey) out = Halve16(target, sv);
        if (op == kHalfBlend || op == kHalfBlendKey) out = Halve16(target, sv) + Halve16(target, dv);
        PutWord(d, 2, out);
        return;
    }
    if (op == kCopy || op == kCopyKey) {
        PutWord(d, 4, sv);
        return;
    }
    std::uint8_t out[4] = {0, 0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        if (op == kHalfBright || op == kHalfBrightKey) {
            out[i] = static_cast<std::uint8_t>(s[i] / 2);
        } else if (HasAlphaByte(source)) {
            const int a = s[3] / 2; // half the source's alpha
            out[i] = static_cast<std::uint8_t>(s[i] * a / 256 + d[i] * (255 - a) / 256);
        } else {
            out[i] = static_cast<std::uint8_t>(s[i] / 2 + d[i] / 2);
        }
    }
    for (int i = 0; i < 4; ++i)
        d[i] = out[i];
}

// Darkening: every channel halved in place, the top byte of a 32-bit pixel cleared.
inline void Darken(int type, std::uint8_t* p)
{
    if (Is16(type)) {
        PutWord(p, 2, Halve16(type, Word(p, 2)));
        return;
    }
    for (int i = 0; i < 3; ++i)
        p[i] = static_cast<std::uint8_t>(p[i] / 2);
    p[3] = 0;
}

} // namespace sprite_model
