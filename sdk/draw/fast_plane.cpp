#include "sdk/draw/fast_plane.h"

#include <new>

namespace zelvoranGameSDK3rd::Draw {
namespace {

thread_local IPlaneOwner* threadPlaneOwner = nullptr;

// The largest plane memory handed out in one piece.
constexpr std::uint64_t kMaxPlaneBytes = std::uint64_t{1} << 31;

} // namespace

IPlaneOwner* GetThreadPlaneOwner()
{
    return threadPlaneOwner;
}
void SetThreadPlaneOwner(IPlaneOwner* owner)
{
    threadPlaneOwner = owner;
}

CFastPlane::CFastPlane(IPlaneOwner* planeOwner) : owner(planeOwner)
{
    // By default the colour of the top-left pixel is transparent.
    keyFromPixel_ = true;
}

CFastPlane::~CFastPlane()
{
    CFastPlane::Release();
}

int CFastPlane::GetSize(std::int32_t* w, std::int32_t* h)
{
    *w = width;
    *h = height;
    return GetSurfaceInfo()->valid ? 0 : 1;
}

int CFastPlane::Resize(std::int32_t w, std::int32_t h)
{
    std::int32_t oldW = 0, oldH = 0;
    GetSize(&oldW, &oldH);
    if (oldW == w && oldH == h) return 0;
    return CreateSurface(w, h, false);
}

int CFastPlane::CreateSurfaceOfType(std::int32_t w, std::int32_t h, std::int32_t type)
{
    return CreateMemorySurface(w, h, type, false);
}

ZTL::smart_ptr<ISurface> CFastPlane::NewPlane()
{
    ZTL::smart_ptr<ISurface> plane;
    plane.add(new CFastPlane(Owner()));
    return plane;
}

int CFastPlane::CreateSurface(std::int32_t w, std::int32_t h, bool alpha)
{
    keyFromPixel_ = true;
    keyPixelX_ = 0;
    keyPixelY_ = 0;
    colorKey_ = 0;
    const int result = InnerCreateSurface(w, h, alpha || wantAlpha, false);
    if (result != 0) return result;
    UpdateColorKey();
    return 0;
}

int CFastPlane::InnerCreateSurface(std::int32_t w, std::int32_t h, bool alpha, bool palettised)
{
    Release();
    if (w <= 0 || h <= 0) return 1;
    IPlaneOwner* display = Owner();
    const std::int32_t displayType = display ? display->GetDisplayPixelType() : kPixelNone;
    if (alpha) {
        const std::int32_t type = ToAlphaPixelType(displayType);
        if (type >= kPixelA565) return CreateMemorySurface(w, h, type, true);
        // No display yet: nothing to allocate.
        Clear(nullptr);
        hasAlpha = true;
        Register();
        return 0;
    }
    if (displayType == kPixelP8) {
        if (!palettised) return CreateMemorySurface(w, h, kPixel555, true);
        allowPalettised = true;
    } else if (palettised) {
        allowPalettised = true;
    }
    // Off-screen planes are memory planes of the display's type.
    if (displayType >= kPixel565 && displayType <= kPixelXBGR8888)
        return CreateMemorySurface(w, h, displayType, true);
    return 1;
}

int CFastPlane::CreateMemorySurface(std::int32_t w, std::int32_t h, std::int32_t type, bool clear)
{
    Release();
    const int bytes = BytesPerPixel(type);
    if (w <= 0 || h <= 0 || bytes == 0 || type == kPixelP8) return 1;
    const std::uint64_t size = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) * bytes;
    if (size > kMaxPlaneBytes) return 1;
    auto* pixels = new (std::nothrow) std::uint8_t[size];
    if (!pixels) return 1;
    width = w;
    height = h;
    CSurfaceInfo* info = GetSurfaceInfo();
    info->pixels = pixels;
    info->pitch = w * bytes;
    info->width = w;
    info->height = h;
    info->valid = true;
    info->type = type;
    hasAlpha = type > kPixelUnused9;
    ownsMemory = true;
    if (clear) Clear(nullptr);
    Register();
    return 0;
}

void CFastPlane::Register()
{
    if (busy || registeredWith) return;
    registeredWith = Owner();
    if (registeredWith) registeredWith->AddPlane(this);
}

int CFastPlane::Release()
{
    CSurfaceInfo* info = GetSurfaceInfo();
    if (ownsMemory) {
        delete[] info->pixels;
        info->pixels = nullptr;
        ownsMemory = false;
    }
    width = 0;
    height = 0;
    info->valid = false;
    if (!busy && registeredWith) {
        registeredWith->RemovePlane(this);
        registeredWith = nullptr;
    }
    return 0;
}

int CFastPlane::UpdateColorKey()
{
    int result = 0;
    if (keyFromPixel_) result = GetSurfaceInfo()->ReadPixel(keyPixelX_, keyPixelY_, &colorKey_);
    GetSurfaceInfo()->colorKey = GetColorKey();
    return result;
}

} // namespace zelvoranGameSDK3rd::Draw
