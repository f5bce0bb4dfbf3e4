#pragma once
// Reference model of the add and subtract blits (operations 2 to 9), written from their rules with plain
// arithmetic on fields taken apart by division and remainder: no carry masks, no lookup tables.

#include "blt_reference_model.h"

namespace blt_model {

// The pairs each operation serves, destination first.
inline std::vector<Pair> AddSubPairs(int op)
{
    if (op < 8) return Pairs26();
    return SameTypePairs({T565, T555, BGR888, XRGB8888, XBGR8888, A565, A555, ARGB8888, ABGR8888});
}

inline int Saturate(bool add, int d, int s, int maximum)
{
    return add ? std::min(d + s, maximum) : std::max(d - s, 0);
}

// A field scaled by level / 15 or a byte by factor / 255, fraction dropped.
inline int Level(int field, int level)
{
    return field * level / 15;
}
inline int Factor(int byte, int factor)
{
    return byte * factor / 255;
}

// The level a 16-bit source is scaled at, or -1 when it is not scaled. A 565 colour scaled by its own
// alpha (alone or combined with a rate) takes only even levels; so does a rate under operations 8 and 9
// and towards an A565 destination, while 565 planes of one type under 6 and 7 take rate / 16.
inline int SourceLevel16(int op, int dst, int src, int alphaLevel, int rate)
{
    const bool ownAlpha = (src == A565 || src == A555) && (dst == T565 || dst == T555);
    const int even = Is565(src) ? 2 : 1;
    if (op <= 5) return ownAlpha ? alphaLevel / even * even : -1;
    if (op <= 7) {
        if (ownAlpha) return (rate * alphaLevel * 16 / 255) / 16 / even * even;
        if (dst == src && (dst == A565 || dst == A555)) return -1;
        if (dst == A565) return rate / 32 * 2;
        return rate / 16;
    }
    if (dst == A565 || dst == A555) return -1;
    return dst == T565 ? rate / 32 * 2 : rate / 16;
}

// The factor the colour bytes of a 24- or 32-bit source are scaled by, or -1 when they are not.
inline int SourceFactor(int op, int dst, int src, int alpha, int rate)
{
    const bool ownAlpha = (src == ARGB8888 || src == ABGR8888) && dst != ARGB8888 && dst != ABGR8888;
    if (op <= 5) return ownAlpha ? alpha : -1;
    if (op <= 7) {
        if (ownAlpha) return Factor(alpha, rate);
        if (dst == src && (dst == ARGB8888 || dst == ABGR8888)) return -1;
        return rate;
    }
    return dst == ARGB8888 || dst == ABGR8888 ? -1 : rate;
}

// Operations 2 to 9 on one pixel. Even operations add, odd ones subtract; 4, 5, 8 and 9 skip key pixels.
inline void AddSubPixel(int op, int dst, int src, std::uint8_t* d, const std::uint8_t* s,
                        const Params& params)
{
    const bool add = op % 2 == 0;
    const bool keyed = op == 4 || op == 5 || op == 8 || op == 9;
    if (keyed && SourceBits(src, s) == KeyBits(src, params.colourKey)) return;

    if (Is16(dst)) {
        const int dw = Word16(d), sw = Word16(s);
        Fields16 df = SplitWord(dst, dw), sf = SplitWord(src, sw);
        const int level =
            SourceLevel16(op, dst, src, src == A565 || src == A555 ? s[2] % 16 : 15, params.rate);
        if (level >= 0) sf = {Level(sf.r, level), Level(sf.g, level), Level(sf.b, level)};
        const int gMax = Is565(dst) ? 63 : 31;
        const Fields16 out{Saturate(add, df.r, sf.r, 31), Saturate(add, df.g, sf.g, gMax),
                           Saturate(add, df.b, sf.b, 31)};
        int word = JoinWord(dst, out);
        // The spare bit of a plain 555 destination: the sum or difference of both spare bits when the
        // source goes in unscaled, the destination's own otherwise. Alpha types come out with it clear.
        if (dst == T555) word += (level >= 0 ? dw / 32768 : (dw / 32768 + sw / 32768) % 2) * 32768;
        PutWord16(d, word);
        return;
    }

    // 24- and 32-bit destinations, colour by colour name so that byte order never matters.
    const Colour dc = Read(dst, d), sc = Read(src, s);
    const int factor = SourceFactor(op, dst, src, sc.a, params.rate);
    const auto scaled = [&](int v) { return factor >= 0 ? Factor(v, factor) : v; };
    const Colour out{Saturate(add, dc.r, scaled(sc.r), 255), Saturate(add, dc.g, scaled(sc.g), 255),
                     Saturate(add, dc.b, scaled(sc.b), 255), 255};
    const std::uint8_t spare = d[3 % Bytes(dst)];
    Write(dst, d, out);
    if (dst == XRGB8888 || dst == XBGR8888) {
        // An unscaled source of the same type carries its spare byte in, modulo 256; else it stays.
        d[3] = factor < 0 ? static_cast<std::uint8_t>(add ? spare + s[3] : spare - s[3]) : spare;
    }
}

template <int Op>
void AddSubPixelOf(int dst, int src, std::uint8_t* d, const std::uint8_t* s, const Params& p)
{
    AddSubPixel(Op, dst, src, d, s, p);
}

inline OpModel AddSubModel(int op)
{
    static constexpr PixelModel kPixels[] = {&AddSubPixelOf<2>, &AddSubPixelOf<3>, &AddSubPixelOf<4>,
                                             &AddSubPixelOf<5>, &AddSubPixelOf<6>, &AddSubPixelOf<7>,
                                             &AddSubPixelOf<8>, &AddSubPixelOf<9>};
    return {AddSubPairs(op), kPixels[op - 2]};
}

} // namespace blt_model
