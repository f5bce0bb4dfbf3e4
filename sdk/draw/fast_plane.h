#pragma once
// Planes: the display's primary and back planes, every image loaded from a file and every work buffer.
// A plane wraps a surface of the display driver (display planes and off-screen planes that fit the
// screen) or owns memory in one of the pixel types (planes with alpha, planes larger than the screen,
// planes on an 8-bit display). It remembers the file it came from so that it can be rebuilt when the
// display changes, takes its colour key again after every rebuild, and lends a drawing context.

#include "platform/display.h"
#include "platform/host/plane_memory.h"
#include "sdk/draw/surface.h"
#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <memory>

namespace zelvoranGameSDK3rd::Draw {

class CFastPlane;
class CFastDraw;
using HDC = platform::DeviceContext*;

// What a plane needs of its display device (CFastDraw is the one real device).
class IPlaneOwner
{
public:
    // The primary plane's pixel type; 0 while there is no display.
    virtual std::int32_t GetDisplayPixelType() = 0;
    virtual void AddPlane(CFastPlane* plane) = 0;
    // Removes the first entry equal to `plane`.
    virtual void RemovePlane(CFastPlane* plane) = 0;
    // The display driver; null without one (planes are then memory planes).
    virtual platform::DisplayDriver* GetDirectDraw() { return nullptr; }
    // The primary plane's size: planes larger than it live in memory.
    virtual void GetScreenSize(std::int32_t& width, std::int32_t& height) { width = height = 0; }
    // The size of the display mode.
    virtual void GetDisplaySize(std::int32_t& width, std::int32_t& height) { width = height = 0; }
    virtual ~IPlaneOwner() = default;
};

// The device planes without an owner use: the one set for the calling thread, else the thread's
// display device (null when it has neither).
IPlaneOwner* GetThreadPlaneOwner();
// Sets (or, with null, clears) a device for the calling thread that comes before its display device.
void SetThreadPlaneOwner(IPlaneOwner* owner);

class CFastPlane : public ISurface
{
public:
    // `owner` null: the calling thread's display device, looked up at each use.
    explicit CFastPlane(IPlaneOwner* owner = nullptr);
    ~CFastPlane() override;

    int GetType() override { return 1; }
    // Writes the size; 0 while a surface exists, else 1.
    int GetSize(std::int32_t* width, std::int32_t* height) override;
    // The same size does nothing; otherwise a new opaque surface (the image is lost).
    int Resize(std::int32_t width, std::int32_t height) override;
    int CreateSurfaceOfType(std::int32_t width, std::int32_t height, std::int32_t type) override;
    // Loads an image file into a new surface of `type` (its alpha type for an image with alpha); the
    // results are LoadImageIntoSurface's (kLoadImageOk ...).
    virtual int LoadFile(const ZTL::string& name, std::int32_t type);
    // Releases, then loads the file in the display's format and remembers its name.
    int Load(const ZTL::string& name) override;
    // Frees the pixels and the surface and forgets the file name; always 0.
    int Release() override;
    ZTL::smart_ptr<ISurface> NewPlane() override;

    // A surface of the display's type, or its alpha type; the key comes from pixel (0, 0) again.
    // 0 done, 1 not possible, 2 the driver refused the surface.
    virtual int CreateSurface(std::int32_t width, std::int32_t height, bool alpha);
    virtual int SetOption(std::int32_t, std::int32_t) { return 0; }
    virtual bool HasAlpha() { return m_hasAlpha; }
    // Rebuilds the plane after a display change or a lost surface: 0 done, else the reload's result.
    virtual int OnChangeDisplay();
    // Run after a rebuild; text planes draw their text again.
    virtual int OnRecreate() { return 0; }
    // Loads the file in the display's format: 0 done ("#notdefined#" leaves the plane empty), else the
    // load's result.
    virtual int RestoreFromFile(const ZTL::string& name);
    virtual int InnerCreateSurface(std::int32_t width, std::int32_t height, bool alpha, bool allowPalettised);

    // The display planes, made by the display device.
    int CreatePrimary(bool* flipChain, std::int32_t width, std::int32_t height);
    int CreateSecondary(bool flipChain, CFastPlane* primaryPlane);
    // A plane in memory of `type`: 0 done, 1 for a type without pixels, a side of 0 or less, a size that
    // does not fit in memory, or a drawing section that cannot be made.
    int CreateMemorySurface(std::int32_t width, std::int32_t height, std::int32_t type, bool clear);
    // Reads the driver surface's format and address into the surface info: 0 done, 1 failed.
    int AttachSurfaceInfo();
    // Takes the colour key from its pixel when asked to, and copies it into the surface info.
    int UpdateColorKey();
    // A drawing context over the plane (null when there is none); EndPaint gives it back.
    HDC BeginPaint();
    void EndPaint();

    // The driver surface (null for memory planes).
    platform::DisplaySurface* GetDisplaySurface() const { return m_surface.get(); }
    const ZTL::string& GetFileName() const { return m_fileName; }
    bool IsEmulated555() const { return m_emulated555; }
    bool OwnsMemory() const { return m_ownsMemory; }
    bool IsAllowPalettised() const { return m_allowPalettised; }
    bool IsDisplayPlane() const { return m_displayPlane; }
    IPlaneOwner* GetOwner() const { return m_owner; }
    void SetSystemMemory(bool on) { m_systemMemory = on; }
    void SetWantAlpha(bool on) { m_wantAlpha = on; }
    void SetKeepContents(bool on) { m_keepContents = on; }
    void SetGdiCapable(bool on) { m_gdiCapable = on; }

protected:
    // The device this plane belongs to: its owner, or the calling thread's.
    IPlaneOwner* Device() const;
    // The display's pixel type (0 without a display).
    std::int32_t DisplayType() const;
    // Frees pixels and surfaces and leaves the device's list; the file name stays.
    void FreeSurface();
    // The surface info: these pixels of the plane's size, valid.
    void DescribePixels(std::uint8_t* pixels, std::int32_t pitch, std::int32_t type);
    void Register();
    void ResetKey();

    std::unique_ptr<platform::DisplaySurface> m_surface;
    std::unique_ptr<platform::DibSection> m_dibSection;
    std::unique_ptr<platform::DeviceContext> m_sectionDC;
    // The pixels of a plane that owns its memory.
    platform::PlaneMemory m_memory;
    HDC m_paintDC = nullptr;
    bool m_emulated555 = false;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    ZTL::string m_fileName;
    bool m_systemMemory = true;
    bool m_hasAlpha = false;
    bool m_wantAlpha = false;
    bool m_keepContents = false;
    bool m_ownsMemory = false;
    bool m_allowPalettised = false;
    bool m_gdiCapable = false;
    bool m_displayPlane = false;
    bool m_primary = false;
    IPlaneOwner* m_owner = nullptr;
    bool m_busy = false;

private:
    friend class CFastDraw;
    // The device whose list holds this plane (null when in none).
    IPlaneOwner* m_registeredWith = nullptr;
};

} // namespace zelvoranGameSDK3rd::Draw
