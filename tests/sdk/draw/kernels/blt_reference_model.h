#pragma once
// An independent reference for the blit kernels, written from the rules with plain arithmetic: pixels are
// taken apart into fields with division and remainder, every mapping is a closed formula, and nothing
// here uses the kernels' traits, tables or walk. Extend it per operation: a served-pair list and a
// per-pixel model function in OpModel().

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <utility>
#include <vector>

namespace blt_model {

enum Type : int
{
    P8 = 2,
    T565,
    T555,
    RGB888,
    BGR888,
    XRGB8888,
    XBGR8888,
    T9,
    A565,
    A555,
    ARGB8888,
    ABGR8888
};

inline int Bytes(int type)
{
    return type == P8 ? 1 : type == T565 || type == T555 ? 2 : type == RGB888 || type == BGR888 ? 3 : 4;
}

inline bool Is565(int type)
{
    return type == T565 || type == A565;
}

inline bool Is16(int type)
{
    return type == T565 || type == T555 || type == A565 || type == A555;
}

inline int Word16(const std::uint8_t* p)
{
    return p[0] + 256 * p[1];
}

inline void PutWord16(std::uint8_t* p, int w)
{
    p[0] = static_cast<std::uint8_t>(w % 256);
    p[1] = static_cast<std::uint8_t>(w / 256);
}

// The red, green and blue fields of a 16-bit colour word (bit 15 of a 555 word dropped), and back.
struct Fields16
{
    int r, g, b;
};

inline Fields16 SplitWord(int type, int w)
{
    if (Is565(type)) return {w / 2048 % 32, w / 32 % 64, w % 32};
    return {w / 1024 % 32, w / 32 % 32, w % 32};
}

inline int JoinWord(int type, Fields16 f)
{
    return Is565(type) ? f.r * 2048 + f.g * 32 + f.b : f.r * 1024 + f.g * 32 + f.b;
}

// Red, green, blue and alpha on the 8-bit scale as the copy rules define them: a 5-bit field times 8,
// a 6-bit field times 4, a 4-bit alpha times 16, 255 for a type without alpha.
struct Colour
{
    int r, g, b, a;
};

inline Colour Read(int type, const std::uint8_t* p)
{
    if (Is16(type)) {
        const Fields16 f = SplitWord(type, Word16(p));
        const int a = type == A565 || type == A555 ? (p[2] % 16) * 16 : 255;
        return {f.r * 8, f.g * (Is565(type) ? 4 : 8), f.b * 8, a};
    }
    const int a = type == ARGB8888 || type == ABGR8888 ? p[3] : 255;
    if (type == RGB888 || type == XRGB8888 || type == ARGB8888) return {p[2], p[1], p[0], a};
    if (type == BGR888 || type == XBGR8888 || type == ABGR8888) return {p[0], p[1], p[2], a};
    return {0, 0, 0, 0};
}

// Writes a colour; a 4-bit alpha type leaves its byte 3 alone.
inline void Write(int type, std::uint8_t* p, Colour c)
{
    if (Is16(type)) {
        PutWord16(p, JoinWord(type, {c.r / 8, c.g / (Is565(type) ? 4 : 8), c.b / 8}));
        if (type == A565 || type == A555) p[2] = static_cast<std::uint8_t>(c.a / 16);
        return;
    }
    if (type < RGB888 || type == T9 || type > ABGR8888) return;
    const bool redFirst = type == BGR888 || type == XBGR8888 || type == ABGR8888;
    p[0] = static_cast<std::uint8_t>(redFirst ? c.r : c.b), p[1] = static_cast<std::uint8_t>(c.g);
    p[2] = static_cast<std::uint8_t>(redFirst ? c.b : c.r);
    if (type == XRGB8888 || type == XBGR8888) p[3] = 0;
    if (type == ARGB8888 || type == ABGR8888) p[3] = static_cast<std::uint8_t>(c.a);
}

// What a kernel gets besides the two pixels.
struct Params
{
    std::uint32_t colourKey = 0; // the source surface's packed 0xAARRGGBB key
    int rate = 0;
    int factor1 = 0;
    int factor2 = 0;
    const std::vector<Colour>* palette = nullptr; // the system palette behind P8 destinations
};

// Nearest palette entry by the sum of absolute differences, the lower index on a tie.
inline int NearestPaletteIndex(const std::vector<Colour>& palette, int r, int g, int b)
{
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
        const auto diff = [](int x, int y) { return x > y ? x - y : y - x; };
        const int d = diff(r, palette[i].r) + diff(g, palette[i].g) + diff(b, palette[i].b);
        if (d < bestDistance) bestDistance = d, best = i;
    }
    return best;
}

// Operation 0.
inline void CopyPixel(int dst, int src, std::uint8_t* d, const std::uint8_t* s, const Params& params)
{
    if (dst == src) {
        // Spare bits and bytes carried over; the byte 3 of a 16-bit pixel with alpha is not touched.
        std::memcpy(d, s, dst == A565 || dst == A555 ? 3 : Bytes(dst));
    } else if ((dst == A565 && src == T565) || (dst == A555 && src == T555)) {
        std::memcpy(d, s, 2);
        d[2] = 0x0F;
    } else if (dst == P8) {
        const Colour c = Read(T555, s);
        d[0] = static_cast<std::uint8_t>(NearestPaletteIndex(*params.palette, c.r, c.g, c.b));
    } else {
        Write(dst, d, Read(src, s));
    }
}

// The key in the source's layout as the dispatcher prepares it, and the bits compared with it.
inline std::uint32_t SourceBits(int src, const std::uint8_t* s)
{
    if (Is16(src)) return static_cast<std::uint32_t>(Word16(s));
    const std::uint32_t colour = s[0] + 256u * s[1] + 65536u * s[2];
    return src == XRGB8888 || src == XBGR8888 ? colour + 16777216u * s[3] : colour;
}

inline std::uint32_t KeyBits(int src, std::uint32_t key)
{
    const int r = static_cast<int>(key / 65536 % 256), g = static_cast<int>(key / 256 % 256),
              b = static_cast<int>(key % 256);
    std::uint8_t bytes[4] = {};
    Write(src, bytes, Colour{r, g, b, 255});
    return SourceBits(src, bytes);
}

using PixelModel = void (*)(int dst, int src, std::uint8_t* d, const std::uint8_t* s, const Params& params);

// The colour-keyed form of an operation: a source pixel whose compared bits equal the key is not drawn.
template <PixelModel Inner>
void KeyedPixel(int dst, int src, std::uint8_t* d, const std::uint8_t* s, const Params& params)
{
    if (SourceBits(src, s) != KeyBits(src, params.colourKey)) Inner(dst, src, d, s, params);
}

// Operation 1.
inline constexpr PixelModel CopyKeyPixel = &KeyedPixel<&CopyPixel>;

using Pair = std::pair<int, int>; // destination, source

inline std::vector<Pair> SameTypePairs(std::initializer_list<int> types)
{
    std::vector<Pair> pairs;
    for (int t : types)
        pairs.emplace_back(t, t);
    return pairs;
}

inline std::vector<Pair> Pairs26()
{
    std::vector<Pair> pairs =
        SameTypePairs({T565, T555, RGB888, BGR888, XRGB8888, XBGR8888, A565, A555, ARGB8888, ABGR8888});
    const Pair more[] = {
        {T565, A565},         {T555, A555},         {RGB888, ARGB8888},   {BGR888, ABGR8888},
        {XRGB8888, ARGB8888}, {XBGR8888, ABGR8888}, {A565, T565},         {A555, T555},
        {ARGB8888, RGB888},   {ARGB8888, BGR888},   {ARGB8888, XRGB8888}, {ARGB8888, XBGR8888},
        {ABGR8888, RGB888},   {ABGR8888, BGR888},   {ABGR8888, XRGB8888}, {ABGR8888, XBGR8888}};
    pairs.insert(pairs.end(), std::begin(more), std::end(more));
    return pairs;
}

inline std::vector<Pair> CopyPairs()
{
    std::vector<Pair> pairs = {{P8, T555}};
    for (int d : {T565, T555, RGB888, BGR888, XRGB8888, XBGR8888})
        for (int s : {T565, T555, RGB888, BGR888, XRGB8888, XBGR8888, A565, A555, ARGB8888, ABGR8888})
            pairs.emplace_back(d, s);
    for (int s : {T565, A565, A555, ARGB8888, ABGR8888})
        pairs.emplace_back(A565, s);
    for (int s : {T555, A565, A555, ARGB8888, ABGR8888})
        pairs.emplace_back(A555, s);
    for (int s : {RGB888, BGR888, XRGB8888, XBGR8888, A565, A555, ARGB8888, ABGR8888})
        pairs.emplace_back(ARGB8888, s);
    for (int s : {BGR888, XBGR8888, A565, A555, ARGB8888, ABGR8888})
        pairs.emplace_back(ABGR8888, s);
    return pairs;
}

// One operation: the pairs it serves and the model of one pixel.
struct OpModel
{
    std::vector<Pair> served;
    PixelModel pixel = nullptr;
    // Served pairs whose stretched walk takes each pixel before stepping its error terms (PixelFirstIndex).
    std::vector<Pair> pixelFirstWalk = {};
};

// Operations modelled in headers of their own, included at the end.
inline OpModel AddSubModel(int op);
inline OpModel BlendModel(int op);

inline OpModel ModelOf(int op)
{
    if (op == 0) return {CopyPairs(), &CopyPixel};
    if (op == 1) return {Pairs26(), CopyKeyPixel};
    if (op >= 2 && op <= 9) return AddSubModel(op);
    return BlendModel(op);
}

// What a blit answers for a pair its operation does not serve.
inline int UnservedResult(int op, int dst, int src)
{
    if (op < 0 || op > 17 || (op >= 11 && op <= 13)) return 1;
    if (op == 0) return (src < 3 || src > 13 || src == 9) ? 0 : 2;
    if (op == 10) return 2;
    return dst == src ? 0 : 2;
}

// Closed form of the stretched walk: the source offset shown at destination offset k when an extent of
// `from` pixels is drawn over `to` pixels.
inline long long StretchIndex(long long k, long long from, long long to)
{
    const long long q = from / to, r = from % to;
    return r == 0 ? k * q : k * q + ((k + 1) * r + to - 1) / to - 1;
}

// The same for a walk that takes each pixel before it steps, when the clip lets it start at offset
// `first`: the first pixel is the one the clip's cut lands on, floor(first * from / to), and every later
// one lags one error step behind the common walk (unclipped, 2 -> 4 reads offsets 0, 0, 0, 1).
inline long long PixelFirstIndex(long long k, long long first, long long from, long long to)
{
    return k == first ? first * from / to : StretchIndex(k - 1, from, to) + from / to;
}

struct Rect
{
    long long left, top, right, bottom;
};

// Where each destination pixel of a blit comes from, without clipping arithmetic: the whole unclipped
// destination rectangle with its source mapping, then only the pixels inside the clip and the surface.
struct Mapping
{
    bool draws = false;
    bool oneToOne = false;
    Rect src{}; // after bounding by the source surface
    Rect dst{}; // unclipped
    Rect visible{};
    long long sw = 0, sh = 0, dw = 0, dh = 0;
    bool pixelFirst = false; // the kernel's walk (OpModel::pixelFirstWalk)

    long long Index(long long k, long long first, long long from, long long to) const
    {
        return oneToOne ? k : pixelFirst ? PixelFirstIndex(k, first, from, to) : StretchIndex(k, from, to);
    }
    long long SourceX(long long x) const
    {
        return src.left + Index(x - dst.left, visible.left - dst.left, sw, dw);
    }
    long long SourceY(long long y) const
    {
        return src.top + Index(y - dst.top, visible.top - dst.top, sh, dh);
    }
};

// The blit-info block of one test blit, in plain numbers.
struct BlitCase
{
    bool hasPoint = false;
    long long x = 0, y = 0;
    bool hasSize = false;
    long long cx = 0, cy = 0;
    bool hasSrcRect = false;
    Rect srcRect{};
    bool hasClip = false;
    Rect clip{};
    int basePoint = 0;
};

inline Mapping MapBlit(const BlitCase& b, long long srcW, long long srcH, long long dstW, long long dstH)
{
    Mapping m;
    Rect s{0, 0, srcW, srcH};
    if (b.hasSrcRect) {
        s = {std::max(b.srcRect.left, 0LL), std::max(b.srcRect.top, 0LL), std::min(b.srcRect.right, srcW),
             std::min(b.srcRect.bottom, srcH)};
        if (s.left >= s.right || s.top >= s.bottom) return m;
    }
    m.src = s;
    m.sw = s.right - s.left, m.sh = s.bottom - s.top;
    m.dw = b.hasSize ? b.cx : m.sw;
    m.dh = b.hasSize ? b.cy : m.sh;
    if (m.dw <= 0 || m.dh <= 0) return m;
    m.oneToOne = m.dw == m.sw && m.dh == m.sh;
    long long x = b.hasPoint ? b.x : 0, y = b.hasPoint ? b.y : 0;
    const int bp = b.basePoint >= 0 && b.basePoint <= 8 ? b.basePoint : 0;
    const auto half = [](long long v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); };
    if (bp % 3 == 1) x -= half(m.dw);
    if (bp % 3 == 2) x -= m.dw;
    if (bp / 3 == 1) y -= half(m.dh);
    if (bp / 3 == 2) y -= m.dh;
    m.dst = {x, y, x + m.dw, y + m.dh};
    Rect k{0, 0, dstW, dstH};
    if (b.hasClip) k = b.clip;
    k = {std::max(k.left, 0LL), std::max(k.top, 0LL), std::min(k.right, dstW), std::min(k.bottom, dstH)};
    m.visible = {std::max(k.left, m.dst.left), std::max(k.top, m.dst.top), std::min(k.right, m.dst.right),
                 std::min(k.bottom, m.dst.bottom)};
    m.draws = m.visible.left < m.visible.right && m.visible.top < m.visible.bottom;
    return m;
}

} // namespace blt_model

#include "add_sub_model.h"
#include "alpha_model.h"
