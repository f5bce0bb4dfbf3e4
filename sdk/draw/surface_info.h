#pragma once
// The locked description of a surface's pixel memory, its lock protocol, and the entries through which
// blits and rectangle effects reach the pixel kernels.

#include "sdk/draw/kernels/blt_clip.h"
#include "sdk/draw/kernels/pixel_types.h"
#include "sdk/draw/kernels/polygon_info.h"
#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <vector>

namespace zelvoranGameSDK3rd::Draw {

// Does the real locking of a surface's memory. Lock and Unlock return 0 when done.
class ISurfaceLocker
{
public:
    virtual int Lock() = 0;
    virtual int Unlock() = 0;
    virtual ~ISurfaceLocker() = default;
};

// Memory that is always reachable: nothing to do.
class INullSurfaceLocker : public ISurfaceLocker
{
public:
    int Lock() override { return 0; }
    int Unlock() override { return 0; }
};

// Memory that cannot be reached: every pixel operation on the surface refuses.
class IDisableSurfaceLocker : public ISurfaceLocker
{
public:
    int Lock() override { return 1; }
    int Unlock() override { return 1; }
};

class CSurfaceInfo : public ISurfaceLocker, public SSurfaceDesc
{
public:
    CSurfaceInfo();
    ~CSurfaceInfo() override = default;

    // -1 on an invalid info; raises when already locked; else marks the info locked and returns the
    // locker's result (which may refuse: the info is still marked, and the caller unlocks).
    int Lock() override;
    // -1 on an invalid info; raises when not locked; else clears the mark and returns the locker's result.
    int Unlock() override;
    // Write the surface, or the rectangle of it (null: all; cut to the surface), as a 24-bit BMP file or a
    // zga file (LZSS-packed when `pack` is set and packing gains): -1 when the rectangle is empty or the
    // surface has no pixels, else the file writer's result (0 written, 1 cannot create, 2 write failed,
    // 3 close failed).
    virtual int SaveBMP(const ZTL::basic_string& name, const RECT* rect);
    virtual int SaveZGA(const ZTL::basic_string& name, const RECT* rect, bool pack);
    // The bytes of SaveZGA's file, for a caller that writes them itself: 0, -1 as SaveZGA, 2 when the
    // pixels are too many for the file's size fields.
    int EncodeZGA(std::vector<std::uint8_t>& image, const RECT* rect, bool pack);

    // Bounds `in` (null: the whole surface) by the surface into `out` and returns `out`; the result
    // may be empty or inverted.
    RECT* ClipRect(const RECT* in, RECT* out) const;

    // Reads pixel (x, y) as a packed colour 0xAARRGGBB (low bits the type cannot hold are 0; the 4-bit
    // alpha of A565/A555 as alpha << 4; opaque types alpha 0). 0 when read; -1 outside the surface;
    // -2 for a type without colours (out = 0); -3 when the surface cannot be locked (out unchanged).
    int ReadPixel(std::int32_t x, std::int32_t y, std::uint32_t* out);

    int GetBytesPerPixel() const { return BytesPerPixel(type); }

    // The blit dispatcher: locks both descriptions, picks the kernel of (operation, destination type,
    // source type), prepares the key and the parameters, runs the kernel and unlocks. 0 done (or nothing
    // to draw); 1 not done (operation 11 to 13 or outside 0 to 17, a lock failed, a null source, blit
    // info or required parameter block); 2 the operation does not serve this pair of pixel types.
    static int BltDispatch(CSurfaceInfo* dst, const CSurfaceInfo* src, const SBltInfo* info, std::int32_t op,
                           const void* param);

    // The rectangle-effect entry: 0 fill with the fill colour, 1 fade (low byte of *param), 2 add and
    // 3 subtract the colour *param, 4 invert, 5 mosaic (block size *param). 0 done, or nothing to do for
    // the pixel type; 1 for an effect above 5, a failed lock, or a null parameter the effect needs.
    static int EffectDispatch(std::uint32_t effect, const RECT* rect, const void* param,
                              CSurfaceInfo* surface);
    // The entries of fade (rate 0 to 255), invert and mosaic (block size; below 1 draws nothing): each
    // locks the surface, runs the kernel of its pixel type and unlocks. 0 done, or nothing to do for the
    // pixel type or the rectangle; 1 when the lock fails.
    static int FadeDispatch(CSurfaceInfo* surface, const RECT* rect, std::uint8_t rate);
    static int InvertDispatch(CSurfaceInfo* surface, const RECT* rect);
    static int MosaicDispatch(CSurfaceInfo* surface, const RECT* rect, std::int32_t size);

    // The polygon blit: maps the source onto a convex polygon of the destination with operation 0 (copy),
    // 1 (colour-keyed copy) or 10 (blend by the source's alpha). Locks the destination, then the source,
    // runs the kernel of the pair and unlocks. 0 done (also when nothing was visible, when the info is
    // null or the polygon is refused, and for two equal types without pixels); 1 for any other operation
    // or a failed lock; 2 when the operation does not serve the pair of pixel types.
    static int PolygonBltDispatch(CSurfaceInfo* dst, std::int32_t op, const CSurfaceInfo* src,
                                  const PolygonBltInfo* info);

    ZTL::smart_ptr<ISurfaceLocker> locker;
};

// Unlocks on every way out of a scope that called Lock, whatever Lock answered: an info marked locked
// by a refusing locker is cleared again, and Unlock on an invalid info changes nothing.
class CSurfaceLockGuard
{
public:
    explicit CSurfaceLockGuard(CSurfaceInfo* info) : m_info(info), m_result(info->Lock()) {}
    ~CSurfaceLockGuard() { m_info->Unlock(); }
    CSurfaceLockGuard(const CSurfaceLockGuard&) = delete;
    CSurfaceLockGuard& operator=(const CSurfaceLockGuard&) = delete;
    bool Failed() const { return m_result != 0; }

private:
    CSurfaceInfo* m_info;
    int m_result;
};

} // namespace zelvoranGameSDK3rd::Draw
