#pragma once
// The one interface through which the game and the SDK draw on and from a surface.

#include "sdk/draw/surface_info.h"
#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

class ISurface
{
public:
    ISurface();
    virtual ~ISurface();
    ISurface(const ISurface&) = delete;
    ISurface& operator=(const ISurface&) = delete;

    // Kind of surface (1 for planes).
    virtual int GetType() = 0;

    // Blit operation `op` (0 to 17) of `source` onto this surface; any other code answers 1 at once.
    virtual int Blt(std::int32_t op, const CSurfaceInfo* source, const SBltInfo* info, const void* param);

    // Rectangle effects (null rectangle: the whole surface).
    virtual int Effect(std::uint32_t op, const RECT* rect, const void* param);
    virtual int FadeEffect(std::int32_t level, const RECT* rect);
    virtual int AddColorEffect(std::uint32_t color, const RECT* rect);
    virtual int SubColorEffect(std::uint32_t color, const RECT* rect);
    virtual int MosaicEffect(std::int32_t size, const RECT* rect);
    virtual int InvertEffect(const RECT* rect);

    // Maps `source` onto a convex polygon of this surface (operation 0 copy, 1 colour-keyed copy, 10 blend
    // by the source's alpha); the last argument is not used.
    virtual int PolygonBlt(std::int32_t op, const CSurfaceInfo* source, const PolygonBltInfo* info,
                           const void* unused);

    // Colour key, packed 0xAARRGGBB, kept equal in the surface info.
    virtual int SetColorKey(std::uint32_t color);
    virtual std::uint32_t GetColorKey();
    // Takes the key from a pixel of the image, now and after every (re)creation; returns the read's result.
    virtual int SetColorKeyFromPixel(std::int32_t x, std::int32_t y);
    virtual int SetColorKey(std::int32_t r, std::int32_t g, std::int32_t b);

    virtual int GetSize(std::int32_t* width, std::int32_t* height) = 0;
    virtual int Resize(std::int32_t width, std::int32_t height) = 0;
    virtual std::int32_t GetPixelType();
    virtual int CreateSurfaceOfType(std::int32_t width, std::int32_t height, std::int32_t type) = 0;

    // Fills the rectangle (null: the whole surface) with the fill colour.
    virtual int Clear(const RECT* rect);
    virtual void SetFillColor(std::uint32_t color);
    virtual std::uint32_t GetFillColor();

    virtual int Load(const ZTL::basic_string& name);
    // The whole surface as a 24-bit BMP file or an unpacked zga file: the surface info's writers.
    virtual int SaveBMP(const ZTL::basic_string& name);
    virtual int SaveZGA(const ZTL::basic_string& name);
    virtual int Release();

    // The surface info; an empty handle raises.
    virtual const CSurfaceInfo* GetSurfaceInfo() const;
    virtual CSurfaceInfo* GetSurfaceInfo();

    // A new, empty surface of the same class and owner.
    virtual ZTL::smart_ptr<ISurface> NewPlane() = 0;

protected:
    ZTL::smart_ptr<CSurfaceInfo> m_info;
    // A second counted handle that the surface only releases.
    ZTL::smart_ptr<CSurfaceInfo> m_attached;
    bool m_keyFromPixel = false;
    std::int32_t m_keyPixelX = 0;
    std::int32_t m_keyPixelY = 0;
    std::uint32_t m_colorKey = 0;
};

} // namespace zelvoranGameSDK3rd::Draw
