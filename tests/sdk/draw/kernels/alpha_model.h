#pragma once
// Reference of the blending operations (10 by source alpha, 14 by alpha times a rate, 16 by two factors,
// 15 and 17 their colour-keyed forms), in plain arithmetic: every product is computed with a division,
// 16-bit colours are taken apart into fields, and nothing here uses the kernels' tables or traits.

#include "blt_reference_model.h"

#include <cstdint>

namespace blt_model {

// floor(f * x / 255)
inline int Prod(int f, int x)
{
    return f * x / 255;
}

inline bool IsWord16(int t)
{
    return t == T565 || t == T555;
}
inline bool IsAlpha16(int t)
{
    return t == A565 || t == A555;
}

// A 16-bit colour word with each field scaled by level / 15, truncated; bit 15 of a 555 word is dropped.
inline int ScaleWord(int type, int word, int level)
{
    const Fields16 f = SplitWord(type, word);
    return JoinWord(type, {f.r * level / 15, f.g * level / 15, f.b * level / 15});
}

// Writes only the two colour bytes of a 16-bit colour (the alpha byte of A565/A555 stays).
inline void WriteColourWord(int type, std::uint8_t* d, Colour c)
{
    Write(Is565(type) ? T565 : T555, d, c);
}

// Operation 14.
inline void AlphaRatePixel(int dst, int src, std::uint8_t* d, const std::uint8_t* s, const Params& params)
{
    const int rate = params.rate % 256;
    if (IsWord16(dst)) {
        const int sw = Word16(s), dw = Word16(d);
        int level;
        if (IsAlpha16(src)) {
            level = Prod(rate, (s[2] % 16) * 16) / 16;
        } else {
            if (sw == dw) return;
            level = rate / 16;
        }
        PutWord16(d, ScaleWord(dst, sw, level) + ScaleWord(dst, dw, 15 - level));
        return;
    }
    const Colour sc = Read(src, s), dc = Read(dst, d);
    const int f = Prod(sc.a, rate);
    const auto mix = [f](int sv, int dv) { return Prod(f, sv) + Prod(255 - f, dv); };
    const Colour out{mix(sc.r, dc.r), mix(sc.g, dc.g), mix(sc.b, dc.b), 255};
    if (IsAlpha16(dst)) {
        WriteColourWord(dst, d, out);
        return;
    }
    // 24 and 32 bits: a pixel whose colour equals the source's, compared colour by colour, stays.
    if (sc.r == dc.r && sc.g == dc.g && sc.b == dc.b) return;
    Write(dst, d, out);
}

// Operation 14 as the dispatcher serves it: XRGB8888 onto XRGB8888 runs the packed kernel, whose every
// colour byte is floor(s * rate / 256) + floor(d * (255 - rate) / 256), with the spare byte 0 and no test
// for an equal colour; every other pair runs the blend above.
inline void AlphaRateServedPixel(int dst, int src, std::uint8_t* d, const std::uint8_t* s,
                                 const Params& params)
{
    if (dst != XRGB8888 || src != XRGB8888) return AlphaRatePixel(dst, src, d, s, params);
    const int rate = params.rate % 256;
    for (int i = 0; i < 3; ++i)
        d[i] = static_cast<std::uint8_t>(s[i] * rate / 256 + d[i] * (255 - rate) / 256);
    d[3] = 0;
}

// Operation 10.
inline void AlphaPixel(int dst, int src, std::uint8_t* d, const std::uint8_t* s, const Params&)
{
    (void)src;
    if (IsWord16(dst)) {
        const int level = s[2] % 16;
        PutWord16(d, ScaleWord(dst, Word16(s), level) + ScaleWord(dst, Word16(d), 15 - level));
    } else if (IsAlpha16(dst)) {
        const int sa = (s[2] % 16) * 16, da = (d[2] % 16) * 16;
        const int k = Prod(da, 240 - sa), sum = sa + k;
        d[2] = static_cast<std::uint8_t>(sum / 16);
        if (sum == 0) return;
        PutWord16(d, ScaleWord(dst, Word16(s), 15 * sa / sum) + ScaleWord(dst, Word16(d), 15 * k / sum));
    } else if (dst == ARGB8888 || dst == ABGR8888) {
        const int sa = s[3], k = Prod(d[3], 255 - sa), sum = sa + k;
        if (sum == 0) return;
        const int ws = sa * 255 / sum, wd = k * 255 / sum;
        for (int i = 0; i < 3; ++i)
            d[i] = static_cast<std::uint8_t>((Prod(ws, s[i]) + Prod(wd, d[i])) % 256);
        d[3] = 255;
    } else {
        if (d[0] == s[0] && d[1] == s[1] && d[2] == s[2]) return;
        for (int i = 0; i < 3; ++i)
            d[i] = static_cast<std::uint8_t>(Prod(s[3], s[i]) + Prod(255 - s[3], d[i]));
        if (dst == XRGB8888 || dst == XBGR8888) d[3] = 0;
    }
}

// Operation 16.
inline void Blend2Pixel(int dst, int src, std::uint8_t* d, const std::uint8_t* s, const Params& params)
{
    const int fs = params.factor1 % 256, fd = params.factor2 % 256;
    if (IsWord16(dst)) {
        int ls = fs / 16, ld = fd / 16;
        if (IsAlpha16(src)) {
            ls = Prod(fs, (s[2] % 16) * 16) / 16;
            ld = Prod(fd, 240) / 16;
        }
        PutWord16(d, (ScaleWord(dst, Word16(s), ls) + ScaleWord(dst, Word16(d), ld)) % 65536);
        return;
    }
    const Colour sc = Read(src, s), dc = Read(dst, d);
    const int fsa = Prod(sc.a, fs), fda = Prod(dc.a, fd);
    const auto mix = [&](int sv, int dv) { return (Prod(fsa, sv) + Prod(fda, dv)) % 256; };
    const Colour out{mix(sc.r, dc.r), mix(sc.g, dc.g), mix(sc.b, dc.b), 255};
    if (IsAlpha16(dst)) {
        WriteColourWord(dst, d, out);
    } else {
        Write(dst, d, out);
    }
}

// The blending operations: their served pairs and pixel models.
inline OpModel BlendModel(int op)
{
    if (op == 10)
        return {{{T565, A565},
                 {T555, A555},
                 {RGB888, ARGB8888},
                 {BGR888, ABGR8888},
                 {XRGB8888, ARGB8888},
                 {XBGR8888, ABGR8888},
                 {A565, A565},
                 {A555, A555},
                 {ARGB8888, ARGB8888},
                 {ABGR8888, ABGR8888}},
                &AlphaPixel};
    // XRGB8888 onto XRGB8888 runs the packed kernel, which divides by 256 and takes the pixel first.
    if (op == 14) return {Pairs26(), &AlphaRateServedPixel, {{XRGB8888, XRGB8888}}};
    if (op == 15) return {Pairs26(), &KeyedPixel<&AlphaRatePixel>};
    if (op == 16) return {Pairs26(), &Blend2Pixel};
    if (op == 17) return {Pairs26(), &KeyedPixel<&Blend2Pixel>};
    return {};
}

} // namespace blt_model
