#pragma once
// The display device of one application thread: the display driver, the primary plane that is the
// window's frame, the back plane the game draws on each frame, three layer lists and the list of every
// plane made on the device. It switches between windowed and full-screen modes (falling back to a window
// when a full-screen mode cannot be set), rebuilds every plane after a change or after the application
// comes back with lost surfaces, and presents the back plane once a frame.

#include "platform/display.h"
#include "sdk/appframe/app_manager.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/draw/layer_list.h"
#include "sdk/thread/critical_section.h"
#include "sdk/window/win_hook.h"
#include "sdk/ztl/smart_ptr.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zelvoranGameSDK3rd::Draw {

class IPlaneFactory;
using Window::HWND;
using Window::LPARAM;
using Window::LRESULT;
using Window::UINT;
using Window::WPARAM;

// The display driver object: made software-only first, the default driver only as the fallback.
class CDirectDraw
{
public:
    // 0 software only, 1 the driver could not be made, 2 no interface, 3 the default driver, 4 neither.
    enum EStatus : std::int32_t
    {
        kEmulationOnly = 0,
        kNotCreated = 1,
        kNoInterface = 2,
        kHardware = 3,
        kNeither = 4,
    };

    CDirectDraw();
    ~CDirectDraw();
    CDirectDraw(const CDirectDraw&) = delete;
    CDirectDraw& operator=(const CDirectDraw&) = delete;

    // Null when there is no driver.
    platform::DisplayDriver* Get() const { return driver.get(); }
    std::int32_t GetStatus() const { return status; }

private:
    std::unique_ptr<platform::DisplayDriver> driver;
    std::int32_t status = kNotCreated;
    bool comEntered = false;
};

// Keeps the primary's blits within the window.
class CDirectDrawClipper
{
public:
    // 0 done; 1 no driver or surface; 2 no clipper; 3 the window cannot be set; 4 the surface refused it.
    int Clip(platform::DisplayDriver* driver, platform::DisplaySurface* surface, HWND hwnd);
    void Release();
    bool IsHeld() const { return clipper != nullptr; }

private:
    std::unique_ptr<platform::DisplayClipper> clipper;
};

class CDirectDrawSurfaceManager
{
public:
    // The pixel type of a driver surface from its bit count and channel masks: 2 to 8, 1 for a format
    // not known, 0 when the format cannot be read.
    static std::int32_t GetSurfaceType(platform::DisplaySurface* surface);
};

class CFastDraw : public Window::IWinHook, public AppFrame::IAppDraw, public IPlaneOwner
{
public:
    // Records itself as the calling thread's display device and joins the application manager and the
    // window's hooks; takes the display size from the current window (640 × 480 without one).
    CFastDraw();
    ~CFastDraw() override;
    CFastDraw(const CFastDraw&) = delete;
    CFastDraw& operator=(const CFastDraw&) = delete;

    // A new device for the calling thread, with its plane factory installed as the thread's.
    static ZTL::smart_ptr<CFastDraw> CreateForThread();

    // WM_ACTIVATEAPP (gaining) marks the next frame for the lost-surface check; always 0.
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    int IsDisplayDevice() override { return 1; }

    // Presents one frame of the back plane (the `source` part of it, or all).
    virtual void OnDraw(const RECT* source, bool drawLayers);

    // 0 done, 1 no driver, 2 no mode could be set.
    int ChangeDisplay(bool fullScreen);
    // The three steps of a change; the lock is held from the first to the last.
    int BeginChangeDisplay();
    int TestDisplayMode(std::int32_t width, std::int32_t height, bool fullScreen, std::int32_t bpp);
    int EndChangeDisplay();

    // ---- What planes need of their device.
    platform::DisplayDriver* GetDirectDraw() override { return directDraw.Get(); }
    // The display's pixel type: the primary plane's.
    std::int32_t GetDisplayPixelType() override { return primaryPlane.GetPixelType(); }
    void AddPlane(CFastPlane* plane) override { planes.push_back(plane); }
    void RemovePlane(CFastPlane* plane) override;
    void GetScreenSize(std::int32_t& width, std::int32_t& height) override
    {
        primaryPlane.GetSize(&width, &height);
    }
    void GetDisplaySize(std::int32_t& width, std::int32_t& height) override
    {
        width = displayWidth;
        height = displayHeight;
    }
    const std::vector<CFastPlane*>& GetPlanes() const { return planes; }

    CFastPlane* GetPrimary() { return &primaryPlane; }
    CFastPlane* GetSecondary() { return &backPlane; }
    CFastPlane* GetPalettisedPlane() { return &palettisedPlane; }
    CLayerList* GetLayersBefore() { return &layersBefore; }
    CLayerList* GetLayersAfter() { return &layersAfter; }
    CLayerList* GetLayersGdi() { return &layersGdi; }

    bool IsFullScreen() const { return fullScreen; }
    std::int32_t GetDisplayWidth() const { return displayWidth; }
    std::int32_t GetDisplayHeight() const { return displayHeight; }
    std::int32_t GetDisplayBpp() const { return displayBpp; }
    void SetDisplayBpp(std::int32_t bpp) { displayBpp = bpp; }
    void SetDisplaySize(std::int32_t width, std::int32_t height)
    {
        displayWidth = width;
        displayHeight = height;
    }
    bool IsChanging() const { return changing; }
    bool IsStyleChanged() const { return styleChanged; }
    std::int32_t GetBrightness() const { return brightness; }
    void SetBrightness(std::int32_t level) { brightness = level; }
    void SetOffset(std::int32_t x, std::int32_t y)
    {
        offsetX = x;
        offsetY = y;
    }
    std::int32_t GetMenuBarHeight() const { return menuBarHeight; }
    bool IsActivated() const { return activated; }
    HWND GetHWnd() const { return hwnd; }

private:
    void Present(CFastPlane* plane, const RECT* source, std::int32_t topLimit);

    CDirectDraw directDraw;
    bool fullScreen = false;
    std::int32_t displayWidth = 640;
    std::int32_t displayHeight = 480;
    std::int32_t displayBpp = 16;
    bool changing = false;
    bool styleChanged = false;
    std::int32_t brightness = 256;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    HWND hwnd = nullptr;
    std::int32_t menuBarHeight = 0;
    CLayerList layersBefore;
    CLayerList layersAfter;
    CLayerList layersGdi;
    bool activated = false;
    std::vector<CFastPlane*> planes;
    CFastPlane primaryPlane;
    CFastPlane palettisedPlane;
    CFastPlane backPlane;
    CDirectDrawClipper clipper;
    Thread::CCriticalSection lock;
    // The factory CreateForThread installed for this device.
    IPlaneFactory* installedFactory = nullptr;
};

} // namespace zelvoranGameSDK3rd::Draw
