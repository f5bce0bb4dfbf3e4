#pragma once
// Planes: surfaces whose pixels live in memory, in the display's pixel type or its alpha counterpart.
// This holds the memory planes that text and image loading need; the display device registers planes
// and answers the display's pixel type through IPlaneOwner.

#include "sdk/draw/surface.h"
#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

class CFastPlane;

// What a plane needs of its display device.
class IPlaneOwner
{
public:
    // The pixel type of the primary plane; 0 while there is no display.
    virtual std::int32_t GetDisplayPixelType() = 0;
    virtual void AddPlane(CFastPlane* plane) = 0;
    // Removes the first entry equal to `plane`.
    virtual void RemovePlane(CFastPlane* plane) = 0;
    virtual ~IPlaneOwner() = default;
};

// The calling thread's display device, for planes made without an owner; null when there is none.
IPlaneOwner* GetThreadPlaneOwner();
void SetThreadPlaneOwner(IPlaneOwner* owner);

class CFastPlane : public ISurface
{
public:
    explicit CFastPlane(IPlaneOwner* owner = nullptr);
    ~CFastPlane() override;

    int GetType() override { return 1; }
    // 0 with the size while a surface exists, else 1 (the size is written either way).
    int GetSize(std::int32_t* width, std::int32_t* height) override;
    // The same size does nothing; otherwise a new opaque surface (the image is lost).
    int Resize(std::int32_t width, std::int32_t height) override;
    int CreateSurfaceOfType(std::int32_t width, std::int32_t height, std::int32_t type) override;
    int Release() override;
    ZTL::smart_ptr<ISurface> NewPlane() override;

    // A surface of the display's type, or its alpha type when `alpha` is set; the colour key comes from
    // pixel (0, 0) again. 0 done, 1 not possible.
    virtual int CreateSurface(std::int32_t width, std::int32_t height, bool alpha);
    virtual bool HasAlpha() { return hasAlpha; }
    // Run after the plane was rebuilt; 0 here.
    virtual int OnRecreate() { return 0; }
    virtual int InnerCreateSurface(std::int32_t width, std::int32_t height, bool alpha, bool allowPalettised);

    // A plane in memory of the given type: 0 done, 1 for a type without pixels, a side of 0 or less, or a
    // size that does not fit in memory.
    int CreateMemorySurface(std::int32_t width, std::int32_t height, std::int32_t type, bool clear);
    // Takes the colour key from its pixel when asked to, and copies it into the surface info.
    int UpdateColorKey();

protected:
    IPlaneOwner* Owner() const { return owner ? owner : GetThreadPlaneOwner(); }
    void Register();

    std::int32_t width = 0;
    std::int32_t height = 0;
    bool hasAlpha = false;
    bool wantAlpha = false;
    bool ownsMemory = false;
    bool allowPalettised = false;
    bool busy = false;
    IPlaneOwner* owner = nullptr;
    IPlaneOwner* registeredWith = nullptr;
};

} // namespace zelvoranGameSDK3rd::Draw
