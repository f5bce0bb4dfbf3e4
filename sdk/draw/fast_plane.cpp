#include "sdk/draw/fast_plane.h"

#include "sdk/auxiliary/text_output_stream.h"
#include "sdk/draw/fast_draw.h"
#include "sdk/draw/graphic_loader.h"
#include "sdk/draw/plane_copy.h"
#include "sdk/draw/plane_factory.h"
#include "sdk/ztl/scope_guard.h"

namespace zelvoranGameSDK3rd::Draw {
namespace {

// The largest plane memory handed out in one piece.
constexpr std::uint64_t kMaxPlaneBytes = std::uint64_t{1} << 31;

bool IsFreeableType(std::int32_t type)
{
    return type >= kPixel565 && type <= kPixelABGR8888 && type != kPixelUnused9;
}

thread_local IPlaneOwner* threadPlaneOwner = nullptr;

} // namespace

IPlaneOwner* GetThreadPlaneOwner()
{
    if (threadPlaneOwner != nullptr) return threadPlaneOwner;
    return GetThreadFastDraw();
}

void SetThreadPlaneOwner(IPlaneOwner* planeOwner)
{
    threadPlaneOwner = planeOwner;
}

CFastPlane::CFastPlane(IPlaneOwner* planeOwner) : m_owner(planeOwner)
{
    // By default the colour of the top-left pixel is transparent.
    ResetKey();
}

CFastPlane::~CFastPlane()
{
    CFastPlane::Release();
}

IPlaneOwner* CFastPlane::Device() const
{
    return m_owner != nullptr ? m_owner : GetThreadPlaneOwner();
}

std::int32_t CFastPlane::DisplayType() const
{
    IPlaneOwner* device = Device();
    return device != nullptr ? device->GetDisplayPixelType() : kPixelNone;
}

void CFastPlane::ResetKey()
{
    m_keyFromPixel = true;
    m_keyPixelX = 0;
    m_keyPixelY = 0;
    m_colorKey = 0;
}

int CFastPlane::GetSize(std::int32_t* w, std::int32_t* h)
{
    *w = m_width;
    *h = m_height;
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

int CFastPlane::LoadFile(const ZTL::string& name, std::int32_t type)
{
    return LoadImageIntoSurface(*this, name, type);
}

int CFastPlane::Load(const ZTL::string& name)
{
    const ZTL::string wanted = name;
    Release();
    ResetKey();
    const int result = RestoreFromFile(wanted);
    m_fileName = wanted;
    return result;
}

ZTL::smart_ptr<ISurface> CFastPlane::NewPlane()
{
    ZTL::smart_ptr<ISurface> plane;
    plane.add(new CFastPlane(Device()));
    return plane;
}

int CFastPlane::CreateSurface(std::int32_t w, std::int32_t h, bool alpha)
{
    ResetKey();
    const int result = InnerCreateSurface(w, h, alpha || m_wantAlpha, false);
    if (result != 0) return result;
    UpdateColorKey();
    return 0;
}

int CFastPlane::InnerCreateSurface(std::int32_t w, std::int32_t h, bool alpha, bool palettised)
{
    Release();
    if (w <= 0 || h <= 0) return 1;
    const std::int32_t display = DisplayType();
    if (alpha) {
        const std::int32_t type = ToAlphaPixelType(display);
        if (type >= kPixelA565) return CreateMemorySurface(w, h, type, true);
        // No display yet: nothing to allocate.
        Clear(nullptr);
        m_hasAlpha = alpha;
        Register();
        return 0;
    }
    if (display == kPixelP8) {
        if (!palettised) return CreateMemorySurface(w, h, kPixel555, true);
        m_allowPalettised = true;
    } else if (palettised) {
        m_allowPalettised = true;
    }
    IPlaneOwner* device = Device();
    std::int32_t screenW = 0, screenH = 0;
    if (device != nullptr) device->GetScreenSize(screenW, screenH);
    if (screenW < w || screenH < h) return CreateMemorySurface(w, h, display, true);

    platform::DisplayDriver* driver = device->GetDirectDraw();
    if (driver == nullptr) return 1;
    // 24-bit surfaces are asked for with an even width.
    const std::int32_t askedWidth = ColorDepthOf(display) == 24 && (w & 1) != 0 ? w + 1 : w;
    if (driver->CreateSurface(askedWidth, h, m_systemMemory, &m_surface) != platform::kDisplayOk) {
        m_surface.reset();
        Auxiliary::GetErrorStream().Out("CFastPlane::InnerCreateSurfaceのCreateSurfaceに失敗");
        return 2;
    }
    m_width = w;
    m_height = h;
    AttachSurfaceInfo();
    Clear(nullptr);
    m_hasAlpha = false;
    Register();
    return 0;
}

int CFastPlane::CreateMemorySurface(std::int32_t w, std::int32_t h, std::int32_t type, bool clear)
{
    // Making a surface replaces the old one (the file name stays for rebuilding).
    if (GetSurfaceInfo()->valid || m_ownsMemory || m_surface || m_dibSection) FreeSurface();
    // Every pixel type but the palettised one (display surfaces only) and those without pixels.
    const int bytes = type == kPixelP8 ? 0 : BytesPerPixel(type);
    if (bytes == 0) return 1;
    if (w <= 0 || h <= 0) return 1;
    const std::uint64_t size = std::uint64_t(w) * std::uint64_t(h) * std::uint64_t(bytes);
    if (size > kMaxPlaneBytes) return 1;

    std::uint8_t* pixels = nullptr;
    std::int32_t pitch = w * bytes;
    if (type == kPixel555 && m_gdiCapable) {
        m_dibSection = platform::DibSection::Create(w, h, 16);
        if (!m_dibSection) return 1;
        m_sectionDC = std::make_unique<platform::DeviceContext>();
        m_sectionDC->SelectBitmap(m_dibSection.get());
        pixels = static_cast<std::uint8_t*>(m_dibSection->Bits());
        pitch = m_dibSection->Pitch();
    } else {
        // 64-byte aligned, and large planes at staggered page offsets (see plane_memory.h).
        m_memory = platform::AllocatePlaneMemory(static_cast<std::size_t>(size), false);
        if (!m_memory) return 1;
        pixels = m_memory.get();
        m_ownsMemory = true;
    }
    m_width = w;
    m_height = h;
    DescribePixels(pixels, pitch, type);
    m_hasAlpha = type > kPixelUnused9;
    if (clear) Clear(nullptr);
    Register();
    return 0;
}

int CFastPlane::AttachSurfaceInfo()
{
    const std::int32_t type = m_surface ? CDirectDrawSurfaceManager::GetSurfaceType(m_surface.get()) : -1;
    std::uint8_t* pixels = nullptr;
    std::int32_t pitch = 0;
    platform::DisplayResult result = platform::kDisplayFailed;
    if (m_surface) {
        do {
            result = m_surface->Lock(&pixels, &pitch);
        } while (result == platform::kDisplayStillDrawing);
    }
    CSurfaceInfo* info = GetSurfaceInfo();
    if (result == platform::kDisplayOk) {
        // The address stays valid after the unlock; the info's locks cost nothing.
        DescribePixels(pixels, pitch, type);
        info->locker.add(new INullSurfaceLocker);
        m_surface->Unlock();
        return 0;
    }
    if (!m_primary) {
        info->valid = false;
        return 1;
    }
    // A primary whose memory cannot be reached is still presented, but every pixel operation refuses.
    DescribePixels(nullptr, 0, type);
    info->locker.add(new IDisableSurfaceLocker);
    return 1;
}

int CFastPlane::CreatePrimary(bool* flipChain, std::int32_t w, std::int32_t h)
{
    m_primary = true;
    Release();
    ResetKey();
    IPlaneOwner* device = Device();
    platform::DisplayDriver* driver = device != nullptr ? device->GetDirectDraw() : nullptr;
    if (driver == nullptr) return 1;
    *flipChain = false;
    if (w == 0 || h == 0) device->GetDisplaySize(w, h);
    if (driver->CreatePrimarySurface(w, h, &m_surface) != platform::kDisplayOk) {
        m_surface.reset();
        Auxiliary::GetErrorStream().Out("CFastPlane::CreatePrimaryに失敗");
        return 1;
    }
    m_width = w;
    m_height = h;
    AttachSurfaceInfo();
    if (GetPixelType() == kPixelP8) m_allowPalettised = true;
    UpdateColorKey();
    m_displayPlane = true;
    return 0;
}

int CFastPlane::CreateSecondary(bool, CFastPlane* primaryPlane)
{
    Release();
    ResetKey();
    IPlaneOwner* device = Device();
    if (device == nullptr || device->GetDirectDraw() == nullptr) return 1;
    std::int32_t w = 0, h = 0;
    primaryPlane->GetSize(&w, &h);
    if (InnerCreateSurface(w, h, false, false) != 0) {
        Auxiliary::GetErrorStream().Out("CFastPlane::CreateSecondaryに失敗");
        return 1;
    }
    UpdateColorKey();
    m_displayPlane = true;
    return 0;
}

void CFastPlane::DescribePixels(std::uint8_t* pixels, std::int32_t pitch, std::int32_t type)
{
    CSurfaceInfo* info = GetSurfaceInfo();
    info->pixels = pixels;
    info->pitch = pitch;
    info->width = m_width;
    info->height = m_height;
    info->valid = true;
    info->type = type;
}

void CFastPlane::FreeSurface()
{
    CSurfaceInfo* info = GetSurfaceInfo();
    if (m_dibSection) {
        // The section owns its bits.
        m_ownsMemory = false;
        m_sectionDC.reset();
        m_dibSection.reset();
        info->pixels = nullptr;
    }
    if (m_ownsMemory) {
        if (IsFreeableType(info->type)) {
            m_memory.reset();
            info->pixels = nullptr;
        } else {
            // Left allocated, as a surface of an unknown type always was.
            m_memory.release();
            Auxiliary::GetErrorStream().Out("CFastPlane::Releaseで不明サーフェースのリリース");
        }
        m_ownsMemory = false;
    }
    m_paintDC = nullptr;
    if (m_surface) info->pixels = nullptr;
    m_surface.reset();
    m_width = 0;
    m_height = 0;
    m_emulated555 = false;
    info->valid = false;
    if (!m_busy && m_registeredWith != nullptr) {
        m_registeredWith->RemovePlane(this);
        m_registeredWith = nullptr;
    }
}

int CFastPlane::Release()
{
    FreeSurface();
    m_fileName = ZTL::string();
    return 0;
}

void CFastPlane::Register()
{
    if (m_busy || m_registeredWith != nullptr) return;
    m_registeredWith = Device();
    if (m_registeredWith != nullptr) m_registeredWith->AddPlane(this);
}

int CFastPlane::RestoreFromFile(const ZTL::string& name)
{
    const ZTL::string wanted = name; // may be our own name, which Release forgets
    const ZTL::string keptName = m_fileName;
    const bool keptFromPixel = m_keyFromPixel;
    const std::int32_t keptX = m_keyPixelX, keptY = m_keyPixelY;
    const std::uint32_t keptKey = m_colorKey;
    Release();
    m_fileName = keptName;
    m_keyFromPixel = keptFromPixel;
    m_keyPixelX = keptX;
    m_keyPixelY = keptY;
    m_colorKey = keptKey;

    if (wanted == "#notdefined#") return 0;
    const std::int32_t display = DisplayType();
    m_emulated555 = false;
    std::int32_t type = display;
    if (m_wantAlpha) {
        type = ToAlphaPixelType(display);
    } else if (display == kPixelP8) {
        type = kPixel555;
        m_emulated555 = true;
    }
    const int result = LoadFile(wanted, type);
    if (result != 0) return result;
    UpdateColorKey();
    return 0;
}

int CFastPlane::OnChangeDisplay()
{
    // Planes that change now neither register nor unregister themselves with their device.
    m_busy = true;
    const ZTL::scope_guard notBusy([this] { m_busy = false; });
    const std::int32_t p = GetPixelType();
    if (p == kPixelNone) return 0;
    bool rebuild = false;
    if (m_surface && m_surface->IsLost()) {
        rebuild = true;
    } else {
        const std::int32_t d = DisplayType();
        switch (d) {
        case kPixelP8:
            rebuild = !(p == kPixel555 || p == kPixelA555 || (p == kPixelP8 && m_allowPalettised));
            break;
        case kPixel565:
            rebuild = !(p == kPixel565 || p == kPixelA565);
            break;
        case kPixel555:
            rebuild = !(p == kPixel555 || p == kPixelA555) || (m_emulated555 && !m_fileName.empty());
            break;
        case kPixelRGB888:
        case kPixelBGR888:
        case kPixelXRGB8888:
        case kPixelXBGR8888:
            // An alpha plane is kept in the alpha type the display gives.
            rebuild = !(p == d || p == ToAlphaPixelType(d));
            break;
        default:
            break;
        }
    }
    if (!rebuild) return 0;

    if (m_keepContents) {
        if (m_width == 0 || m_height == 0) {
            UpdateColorKey();
            return 0;
        }
        bool kept = false;
        {
            CFastPlane temporary(nullptr);
            const std::int32_t w = m_width, h = m_height;
            if (temporary.CreateSurface(w, h, HasAlpha()) == 0 &&
                BltCopy(0, 0, this, &temporary, nullptr, nullptr) == 0) {
                InnerCreateSurface(w, h, m_hasAlpha, m_allowPalettised);
                kept = BltCopy(0, 0, &temporary, this, nullptr, nullptr) == 0;
            }
        }
        if (kept) {
            UpdateColorKey();
            return 0;
        }
    }

    int result = 0;
    if (m_fileName.empty()) {
        const std::int32_t w = m_width, h = m_height;
        if (w != 0 && h != 0) InnerCreateSurface(w, h, m_hasAlpha, m_allowPalettised);
    } else {
        result = RestoreFromFile(m_fileName);
    }
    UpdateColorKey();
    result |= OnRecreate();
    return result;
}

int CFastPlane::UpdateColorKey()
{
    int result = 0;
    if (m_keyFromPixel) result = GetSurfaceInfo()->ReadPixel(m_keyPixelX, m_keyPixelY, &m_colorKey);
    GetSurfaceInfo()->colorKey = GetColorKey();
    return result;
}

HDC CFastPlane::BeginPaint()
{
    if (m_sectionDC) return m_sectionDC.get();
    if (m_paintDC != nullptr) {
        Auxiliary::GetErrorStream().Out(
            "CFastPlane::EndPaintが呼び出されていないのにBeginPaintが呼び出された");
        return nullptr;
    }
    if (!m_surface) return nullptr;
    HDC dc = nullptr;
    if (m_surface->GetDC(&dc) != platform::kDisplayOk) return nullptr;
    m_paintDC = dc;
    return dc;
}

void CFastPlane::EndPaint()
{
    if (m_sectionDC) return;
    if (m_paintDC == nullptr) {
        Auxiliary::GetErrorStream().Out(
            "CFastPlane::BeginPaintが呼び出されていないのにEndPaintが呼び出された");
        return;
    }
    if (m_surface && m_surface->ReleaseDC(m_paintDC) == platform::kDisplayOk) m_paintDC = nullptr;
}

} // namespace zelvoranGameSDK3rd::Draw
