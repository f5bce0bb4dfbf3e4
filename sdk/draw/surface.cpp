#include "sdk/draw/surface.h"

#include "sdk/draw/kernels/operation_codes.h"

namespace zelvoranGameSDK3rd::Draw {

ISurface::ISurface() : m_info(new CSurfaceInfo)
{}

ISurface::~ISurface()
{
    m_attached.release();
    m_info.release();
}

int ISurface::Blt(std::int32_t op, const CSurfaceInfo* source, const SBltInfo* info, const void* param)
{
    if (static_cast<std::uint32_t>(op) >= kBltOperationCount) return 1;
    return CSurfaceInfo::BltDispatch(GetSurfaceInfo(), source, info, op, param);
}

int ISurface::Effect(std::uint32_t op, const RECT* rect, const void* param)
{
    return CSurfaceInfo::EffectDispatch(op, rect, param, GetSurfaceInfo());
}

int ISurface::FadeEffect(std::int32_t level, const RECT* rect)
{
    const std::uint32_t rate = static_cast<std::uint32_t>(level) & 0xFF;
    return Effect(kEffectFade, rect, &rate);
}

int ISurface::AddColorEffect(std::uint32_t color, const RECT* rect)
{
    return Effect(kEffectAddColor, rect, &color);
}

int ISurface::SubColorEffect(std::uint32_t color, const RECT* rect)
{
    return Effect(kEffectSubColor, rect, &color);
}

int ISurface::MosaicEffect(std::int32_t size, const RECT* rect)
{
    return Effect(kEffectMosaic, rect, &size);
}

int ISurface::InvertEffect(const RECT* rect)
{
    return Effect(kEffectInvert, rect, nullptr);
}

int ISurface::SetColorKey(std::uint32_t color)
{
    m_keyFromPixel = false;
    m_colorKey = color;
    GetSurfaceInfo()->colorKey = GetColorKey();
    return 0;
}

std::uint32_t ISurface::GetColorKey()
{
    return m_colorKey;
}

int ISurface::SetColorKeyFromPixel(std::int32_t x, std::int32_t y)
{
    m_keyFromPixel = true;
    m_keyPixelX = x;
    m_keyPixelY = y;
    const int result = GetSurfaceInfo()->ReadPixel(x, y, &m_colorKey);
    GetSurfaceInfo()->colorKey = m_colorKey;
    return result;
}

int ISurface::SetColorKey(std::int32_t r, std::int32_t g, std::int32_t b)
{
    return SetColorKey((static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
                       static_cast<std::uint32_t>(b));
}

std::int32_t ISurface::GetPixelType()
{
    return GetSurfaceInfo()->type;
}

int ISurface::Clear(const RECT* rect)
{
    return Effect(kEffectFill, rect, nullptr);
}

void ISurface::SetFillColor(std::uint32_t color)
{
    GetSurfaceInfo()->fillColor = color;
}

std::uint32_t ISurface::GetFillColor()
{
    return GetSurfaceInfo()->fillColor;
}

int ISurface::Load(const ZTL::basic_string&)
{
    return 0;
}

int ISurface::Release()
{
    return 0;
}

const CSurfaceInfo* ISurface::GetSurfaceInfo() const
{
    return &*m_info;
}

CSurfaceInfo* ISurface::GetSurfaceInfo()
{
    return &*m_info;
}

} // namespace zelvoranGameSDK3rd::Draw
