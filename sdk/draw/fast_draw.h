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
    platform::DisplayDriver* Get() const { return m_driver.get(); }
    std::int32_t GetStatus() const { return m_status; }

private:
    std::unique_ptr<platform::DisplayDriver> m_driver;
    std::int32_t m_status = kNotCreated;
    bool m_comEntered = false;
};

// Keeps the primary's blits within the window.
class CDirectDrawClipper
{
public:
    // 0 done; 1 no driver or surface; 2 no clipper; 3 the window cannot be set; 4 the surface refused it.
    int Clip(platform::DisplayDriver* driver, platform::DisplaySurface* surface, HWND hwnd);
    void Release();
    bool IsHeld() const { return m_clipper != nullptr; }

private:
    std::unique_ptr<platform::DisplayClipper> m_clipper;
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
    platform::DisplayDriver* GetDirectDraw() override { return m_directDraw.Get(); }
    // The display's pixel type: the primary plane's.
    std::int32_t GetDisplayPixelType() override { return m_primaryPlane.GetPixelType(); }
    void AddPlane(CFastPlane* plane) override { m_planes.push_back(plane); }
    void RemovePlane(CFastPlane* plane) override;
    void GetScreenSize(std::int32_t& width, std::int32_t& height) override
    {
        m_primaryPlane.GetSize(&width, &height);
    }
    void GetDisplaySize(std::int32_t& width, std::int32_t& height) override
    {
        width = m_displayWidth;
        height = m_displayHeight;
    }
    const std::vector<CFastPlane*>& GetPlanes() const { return m_planes; }

    CFastPlane* GetPrimary() { return &m_primaryPlane; }
    CFastPlane* GetSecondary() { return &m_backPlane; }
    CFastPlane* GetPalettisedPlane() { return &m_palettisedPlane; }
    CLayerList* GetLayersBefore() { return &m_layersBefore; }
    CLayerList* GetLayersAfter() { return &m_layersAfter; }
    CLayerList* GetLayersGdi() { return &m_layersGdi; }

    bool IsFullScreen() const { return m_fullScreen; }
    std::int32_t GetDisplayWidth() const { return m_displayWidth; }
    std::int32_t GetDisplayHeight() const { return m_displayHeight; }
    std::int32_t GetDisplayBpp() const { return m_displayBpp; }
    void SetDisplayBpp(std::int32_t bpp) { m_displayBpp = bpp; }
    void SetDisplaySize(std::int32_t width, std::int32_t height)
    {
        m_displayWidth = width;
        m_displayHeight = height;
    }
    bool IsChanging() const { return m_changing; }
    bool IsStyleChanged() const { return m_styleChanged; }
    std::int32_t GetBrightness() const { return m_brightness; }
    void SetBrightness(std::int32_t level) { m_brightness = level; }
    void SetOffset(std::int32_t x, std::int32_t y)
    {
        m_offsetX = x;
        m_offsetY = y;
    }
    std::int32_t GetMenuBarHeight() const { return m_menuBarHeight; }
    bool IsActivated() const { return m_activated; }
    HWND GetHWnd() const { return m_hwnd; }

private:
    void Present(CFastPlane* plane, const RECT* source, std::int32_t topLimit);

    CDirectDraw m_directDraw;
    bool m_fullScreen = false;
    std::int32_t m_displayWidth = 640;
    std::int32_t m_displayHeight = 480;
    std::int32_t m_displayBpp = 16;
    bool m_changing = false;
    bool m_styleChanged = false;
    std::int32_t m_brightness = 256;
    std::int32_t m_offsetX = 0;
    std::int32_t m_offsetY = 0;
    HWND m_hwnd = nullptr;
    std::int32_t m_menuBarHeight = 0;
    CLayerList m_layersBefore;
    CLayerList m_layersAfter;
    CLayerList m_layersGdi;
    bool m_activated = false;
    std::vector<CFastPlane*> m_planes;
    CFastPlane m_primaryPlane;
    CFastPlane m_palettisedPlane;
    CFastPlane m_backPlane;
    CDirectDrawClipper m_clipper;
    Thread::CCriticalSection m_lock;
    // The factory CreateForThread installed for this device.
    IPlaneFactory* m_installedFactory = nullptr;
};

} // namespace zelvoranGameSDK3rd::Draw
