#include "sdk/draw/surface_info.h"

#include "sdk/draw/kernels/blt_table.h"
#include "sdk/draw/kernels/pixel_traits.h"
#include "sdk/ztl/exception.h"

#include <cstring>

namespace zelvoranGameSDK3rd::Draw {

CSurfaceInfo::CSurfaceInfo() : locker(new INullSurfaceLocker)
{}

int CSurfaceInfo::Lock()
{
    if (!valid) return -1;
    if (locked) throw ZTL::CRuntimeException("２重Lock(CSurfaceInfo::Lock)");
    locked = true;
    ZTL::smart_ptr<ISurfaceLocker> l = locker;
    return l->Lock();
}

int CSurfaceInfo::Unlock()
{
    if (!valid) return -1;
    if (!locked) throw ZTL::CRuntimeException("２重UnlockCSurfaceInfo::Unlock");
    locked = false;
    ZTL::smart_ptr<ISurfaceLocker> l = locker;
    return l->Unlock();
}

RECT* CSurfaceInfo::ClipRect(const RECT* in, RECT* out) const
{
    *out = Draw::ClipRect(*this, in);
    return out;
}

int CSurfaceInfo::ReadPixel(std::int32_t x, std::int32_t y, std::uint32_t* out)
{
    CSurfaceLockGuard lock(this);
    // A surface whose memory cannot be reached reports it, so a key taken from it is not mistaken for
    // a read one.
    if (lock.Failed()) return -3;
    if (x < 0 || y < 0 || x >= width || y >= height) return -1;
    if (type < kPixelP8 || type > kPixelABGR8888 || type == kPixelUnused9) {
        *out = 0;
        return -2;
    }
    if (type == kPixelP8) {
        *out = 0; // palettised pixels give no colour
        return 0;
    }
    const std::uint8_t* p = pixels + Kernels::PixelOffset(*this, x, y, BytesPerPixel(type));
    Kernels::WithPixelTraits(type, [&]<class T>() {
        Kernels::SRgba c = T::Decode(T::Load(p));
        if constexpr (T::kAlpha == Kernels::EAlpha::kNone) c.a = 0;
        *out = (c.a << 24) | (c.r << 16) | (c.g << 8) | c.b;
    });
    return 0;
}

int CSurfaceInfo::BltDispatch(CSurfaceInfo* dst, const CSurfaceInfo* src, const SBltInfo* info,
                              std::int32_t op, const void* param)
{
    const SBltOpTable* table = GetBltOpTable(op);
    if (table == nullptr || table->unserved == EBltUnserved::kRefused) return 1;
    if (dst == nullptr || src == nullptr || info == nullptr) return 1;
    if (table->param != EBltParam::kNone && param == nullptr) return 1;

    // Locking a source only marks it; its pixels are only read.
    auto* source = const_cast<CSurfaceInfo*>(src);
    CSurfaceLockGuard dstLock(dst);
    if (dstLock.Failed()) return 1;
    CSurfaceLockGuard srcLock(source);
    if (srcLock.Failed()) return 1;

    const BltKernel kernel = table->Find(dst->type, src->type);
    if (kernel == nullptr) return table->UnservedResult(dst->type, src->type);

    SBltParam p;
    if (table->keyed) p.key = PrepareColorKey(dst->type, src->type, src->colorKey);
    const auto* bytes = static_cast<const std::uint8_t*>(param);
    if (table->param == EBltParam::kRate) {
        p.rate = bytes[0];
    } else if (table->param == EBltParam::kFactors) {
        std::int32_t factors[2];
        std::memcpy(factors, bytes, sizeof factors);
        p.factor1 = static_cast<std::uint8_t>(factors[0]);
        p.factor2 = static_cast<std::uint8_t>(factors[1]);
    }
    kernel(dst, src, info, p);
    return 0;
}

} // namespace zelvoranGameSDK3rd::Draw
