#include "sdk/draw/fast_draw.h"

#include "platform/host/clock.h"
#include "sdk/appframe/com_support.h"
#include "sdk/auxiliary/text_output_stream.h"
#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/plane_copy.h"
#include "sdk/draw/plane_factory.h"

#include <algorithm>

namespace zelvoranGameSDK3rd::Draw {
namespace {

void Log(const char* text)
{
    Auxiliary::GetErrorStream().Out(ZTL::string(text));
}

RECT Moved(RECT r, std::int32_t dx, std::int32_t dy)
{
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// A change into or out of full screen gives the screen another mode and the window another form. The
// pause lets the window system finish switching the screen before the window is re-formed and sized for
// the new mode; a window placed by a screen still switching lands by its old size.
constexpr std::uint32_t kStyleChangeSettleMilliseconds = 500;

// The window's display has no palette here: the palette-index table keeps what it holds.
void CaptureTheSystemPalette()
{
    CaptureSystemPalette(nullptr, 0);
}

} // namespace

// ---- The driver object.

CDirectDraw::CDirectDraw()
{
    if (AppFrame::ComInitCounter::Enter() != 0) {
        m_status = kNotCreated;
        return;
    }
    m_comEntered = true;
    m_driver = platform::CreateDisplayDriver();
    if (!m_driver) {
        Log("CDirectDraw::CDirectDrawでDirectDrawInterfaceが得られない");
        m_status = kNoInterface;
        return;
    }
    if (m_driver->Initialize(true) == platform::kDisplayOk) {
        m_status = kEmulationOnly;
        return;
    }
    Log("CDirectDraw::CDirectDrawでEmulationOnlyに出来なかった");
    if (m_driver->Initialize(false) == platform::kDisplayOk) {
        m_status = kHardware;
        return;
    }
    Log("CDirectDraw::CDirectDrawでHAL初期化に失敗");
    m_driver.reset();
    m_status = kNeither;
}

CDirectDraw::~CDirectDraw()
{
    m_driver.reset();
    if (m_comEntered) AppFrame::ComInitCounter::Leave();
}

// ---- The clipper.

int CDirectDrawClipper::Clip(platform::DisplayDriver* driver, platform::DisplaySurface* surface, HWND hwnd)
{
    Release();
    if (driver == nullptr || surface == nullptr) return 1;
    if (driver->CreateClipper(&m_clipper) != platform::kDisplayOk || !m_clipper) {
        m_clipper.reset();
        Log("CDirectDrawClipper::ClipでClipper構築失敗");
        return 2;
    }
    if (m_clipper->SetWindow(hwnd) != platform::kDisplayOk) {
        Log("CDirectDrawClipper::ClipでhWNDをセットできない");
        return 3;
    }
    if (surface->SetClipper(m_clipper.get()) != platform::kDisplayOk) {
        Log("CDirectDrawClipper::ClipでSetClipperに失敗");
        return 4;
    }
    return 0;
}

void CDirectDrawClipper::Release()
{
    m_clipper.reset();
}

// ---- The pixel type of a driver surface.

std::int32_t CDirectDrawSurfaceManager::GetSurfaceType(platform::DisplaySurface* surface)
{
    platform::DisplayPixelFormat f{};
    if (surface == nullptr || surface->GetPixelFormat(&f) != platform::kDisplayOk) {
        Log("CDirectDrawSurfaceManager::GetSurfaceTypeでGetSurfaceDescに失敗");
        return kPixelNone;
    }
    const auto is = [&f](std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        return f.redMask == r && f.greenMask == g && f.blueMask == b;
    };
    auto& err = Auxiliary::GetErrorStream();
    switch (f.bitCount) {
    case 8:
        return kPixelP8;
    case 16:
        if (is(0xF800, 0x07E0, 0x001F)) return kPixel565;
        if (is(0x7C00, 0x03E0, 0x001F)) return kPixel555;
        Log("CDirectDrawSurfaceManager::16bppの不明ピクセルフォーマット検出");
        break;
    case 24:
        if (is(0xFF0000, 0x00FF00, 0x0000FF)) return kPixelRGB888;
        if (is(0x0000FF, 0x00FF00, 0xFF0000)) return kPixelBGR888;
        Log("CDirectDrawSurfaceManager::24bppの不明ピクセルフォーマット検出");
        break;
    case 32:
        if (is(0xFF0000, 0x00FF00, 0x0000FF)) return kPixelXRGB8888;
        if (is(0x0000FF, 0x00FF00, 0xFF0000)) return kPixelXBGR8888;
        Log("CDirectDrawSurfaceManager::32bppの不明ピクセルフォーマット検出");
        break;
    default:
        Log("CDirectDrawSurfaceManager::bpp不明のピクセルフォーマット検出");
        err.Out("nBpp=%d BMask=0x%x BMask=0x%x BMask=0x%x", int(f.bitCount), f.redMask, f.greenMask,
                f.blueMask);
        return kPixelUnknown;
    }
    err.Out("BMask=0x%x BMask=0x%x BMask=0x%x", f.redMask, f.greenMask, f.blueMask);
    return kPixelUnknown;
}

// ---- The display device.

CFastDraw::CFastDraw() : m_primaryPlane(this), m_palettisedPlane(this), m_backPlane(this)
{
    m_primaryPlane.SetSystemMemory(false);
    m_backPlane.SetKeepContents(true);
    SetThreadFastDraw(this);
    if (Window::IWindow* window = AppFrame::CAppManager::GetCurrentWindow()) {
        m_displayWidth = window->GetOption()->width;
        m_displayHeight = window->GetOption()->height;
    }
    m_displayBpp = 16;
    m_fullScreen = false;
    // What a menu bar adds to a framed window's height.
    RECT withMenu{0, 0, 0, 0}, without{0, 0, 0, 0};
    platform::AdjustWindowRect(&withMenu, platform::WS_CAPTION | platform::WS_SYSMENU, true);
    platform::AdjustWindowRect(&without, platform::WS_CAPTION, false);
    m_menuBarHeight = (withMenu.bottom - withMenu.top) - (without.bottom - without.top);
    m_brightness = 256;
    m_offsetX = m_offsetY = 0;
    AppFrame::CAppManager* manager = AppFrame::CAppManager::GetInstance();
    m_hwnd = manager->GetCurrentWindowHandle();
    manager->Add(static_cast<AppFrame::IAppDraw*>(this));
    manager->AddHook(this);
    BuildBlendTables();
}

CFastDraw::~CFastDraw()
{
    AppFrame::CAppManager* manager = AppFrame::CAppManager::GetInstance();
    manager->RemoveHook(this);
    manager->Remove(static_cast<AppFrame::IAppDraw*>(this));
    m_clipper.Release();
    // Planes that outlive the device must not reach it any more.
    for (CFastPlane* plane : m_planes) {
        plane->m_registeredWith = nullptr;
        if (plane->m_owner == static_cast<IPlaneOwner*>(this)) plane->m_owner = nullptr;
    }
    m_planes.clear();
    if (GetThreadFastDraw() == this) {
        EraseThreadFastDraw();
        if (m_installedFactory != nullptr && GetThreadPlaneFactory().get() == m_installedFactory)
            EraseThreadPlaneFactory();
    }
}

ZTL::smart_ptr<CFastDraw> CFastDraw::CreateForThread()
{
    ZTL::smart_ptr<CFastDraw> device(new CFastDraw);
    ZTL::smart_ptr<IPlaneFactory> factory(new CPlaneFactoryFastPlane(device.get()));
    SetThreadPlaneFactory(factory);
    device->m_installedFactory = factory.get();
    return device;
}

void CFastDraw::RemovePlane(CFastPlane* plane)
{
    auto it = std::find(m_planes.begin(), m_planes.end(), plane);
    if (it != m_planes.end()) m_planes.erase(it);
}

LRESULT CFastDraw::OnMessage(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == platform::WM_ACTIVATEAPP && wParam != 0) m_activated = true;
    if (message == platform::WM_PALETTECHANGED) CaptureTheSystemPalette();
    return 0;
}

int CFastDraw::ChangeDisplay(bool wantFullScreen)
{
    if (GetDirectDraw() == nullptr) return 1;
    BeginChangeDisplay();
    if (wantFullScreen) TestDisplayMode(m_displayWidth, m_displayHeight, true, m_displayBpp);
    // Does nothing when full screen was accepted: a failed full-screen attempt falls back to a window.
    TestDisplayMode(m_displayWidth, m_displayHeight, false, 0);
    return EndChangeDisplay() == 0 ? 0 : 2;
}

int CFastDraw::BeginChangeDisplay()
{
    m_lock.Enter();
    m_changing = true;
    m_styleChanged = false;
    platform::DisplayDriver* driver = GetDirectDraw();
    if (driver != nullptr) {
        m_palettisedPlane.Release();
        m_clipper.Release();
        m_primaryPlane.Release();
        if (m_fullScreen) {
            if (driver->SetCooperativeLevel(m_hwnd, false) != platform::kDisplayOk)
                Log("CFastDraw::BeginChangeDisplayでSetCooperativeLevelに失敗..");
            if (driver->RestoreDisplayMode() != platform::kDisplayOk)
                Log("CFastDraw::BeginChangeDisplayでRestoreDisplayModeに失敗..");
        }
    }
    return 0;
}

int CFastDraw::TestDisplayMode(std::int32_t w, std::int32_t h, bool wantFullScreen, std::int32_t bpp)
{
    platform::DisplayDriver* driver = GetDirectDraw();
    if (!m_changing || driver == nullptr) return 0;
    m_styleChanged = m_styleChanged || m_fullScreen || wantFullScreen;
    Window::IWindow* window = AppFrame::CAppManager::GetCurrentWindow();
    if (m_styleChanged && window != nullptr) window->RequestApply(true);
    m_fullScreen = wantFullScreen;
    if (!m_fullScreen) {
        if (driver->SetCooperativeLevel(m_hwnd, false) != platform::kDisplayOk) {
            Log("CFastDraw::TestDisplayModeのSetCooperativeLevelにDDSC_NORMALで失敗");
            return 0;
        }
    } else {
        if (driver->SetCooperativeLevel(m_hwnd, true) != platform::kDisplayOk) {
            Log("CFastDraw::TestDisplayModeのSetCooperativeLevelにDDSC_EXCLUSIVEで失敗");
            return 0;
        }
        if (driver->SetDisplayMode(w, h, bpp) != platform::kDisplayOk) {
            Log("CFastDraw::TestDisplayModeのSetDisplayModeに失敗");
            return 0;
        }
    }
    bool flipChain = false;
    if (m_primaryPlane.CreatePrimary(&flipChain, w, h) != 0) {
        Log("CFastDraw::TestDisplayModeでCreatePrimaryに失敗");
        return 0;
    }
    m_clipper.Release();
    if (!m_fullScreen && m_clipper.Clip(driver, m_primaryPlane.GetDisplaySurface(), m_hwnd) != 0) {
        Log("CFastDraw::TestDisplayModeでClipに失敗");
        return 0;
    }
    const bool palettised = m_primaryPlane.GetPixelType() == kPixelP8;
    if (palettised) m_backPlane.SetGdiCapable(true);
    if (m_backPlane.CreateSecondary(flipChain, &m_primaryPlane) != 0) {
        Log("CFastDraw::TestDisplayModeでCreateSecondaryに失敗");
        return 0;
    }
    if (palettised) m_palettisedPlane.InnerCreateSurface(w, h, false, true);
    if (window != nullptr) {
        window->SetFullScreen(m_fullScreen);
        window->ApplyScreenMode();
    }
    m_changing = false;
    m_displayBpp = bpp;
    m_displayWidth = w;
    m_displayHeight = h;
    return 0;
}

int CFastDraw::EndChangeDisplay()
{
    if (GetDirectDraw() == nullptr) {
        m_lock.Leave();
        return 1;
    }
    if (m_changing) {
        Log("CFastDraw::BeginChangeDisplay～EndChangeDisplayに失敗");
        m_lock.Leave();
        return 1;
    }
    if (m_styleChanged) platform::SleepMilliseconds(kStyleChangeSettleMilliseconds);
    if (Window::IWindow* window = AppFrame::CAppManager::GetCurrentWindow()) {
        window->ShowCursor(!m_fullScreen);
        window->SetSizeLater(m_displayWidth, m_displayHeight);
        window->SetFullScreen(m_fullScreen);
        window->ApplyScreenMode();
    }
    // By index: a rebuild may add and remove a temporary plane while the list is walked.
    for (std::size_t i = 0; i < m_planes.size(); ++i)
        m_planes[i]->OnChangeDisplay();
    CaptureTheSystemPalette();
    m_lock.Leave();
    return 0;
}

void CFastDraw::OnDraw(const RECT* source, bool drawLayers)
{
    Window::IWindow* window = AppFrame::CAppManager::GetCurrentWindow();
    if (window != nullptr && window->IsMinimized()) return;

    // In full screen, the menu bar that the cursor opened keeps its rows this frame.
    std::int32_t topLimit = 0;
    if (m_fullScreen) {
        POINT cursor{};
        if (platform::GetFocus() == m_hwnd && platform::GetCursorClientPosition(m_hwnd, cursor) &&
            cursor.y < m_menuBarHeight && platform::GetMenu(m_hwnd) != nullptr)
            topLimit = m_menuBarHeight;
    }

    if (m_activated) {
        AppFrame::IAppBase* app = AppFrame::CAppManager::GetInstance()->FindAppOfCurrentThread();
        if (app == nullptr || !app->IsThreadValid()) return;
        platform::DisplaySurface* front = m_primaryPlane.GetDisplaySurface();
        if (front != nullptr && front->IsLost()) ChangeDisplay(m_fullScreen);
        m_activated = false;
        return;
    }

    if (m_primaryPlane.GetDisplaySurface() == nullptr) return;

    if (drawLayers) {
        m_layersBefore.OnDraw(&m_backPlane);
        if (!m_layersGdi.IsEmpty()) {
            if (HDC dc = m_backPlane.BeginPaint()) {
                m_layersGdi.OnDraw(dc);
                m_backPlane.EndPaint();
            }
        }
        m_layersAfter.OnDraw(&m_backPlane);
        if (m_brightness != 256) m_backPlane.FadeEffect(m_brightness, nullptr);
    }

    CFastPlane* plane = &m_backPlane;
    if (m_primaryPlane.GetPixelType() == kPixelP8) {
        BltCopy(0, 0, &m_backPlane, &m_palettisedPlane, nullptr, nullptr);
        plane = &m_palettisedPlane;
    }
    if (plane->GetDisplaySurface() == nullptr) return;
    Present(plane, source, topLimit);
}

void CFastDraw::Present(CFastPlane* plane, const RECT* source, std::int32_t topLimit)
{
    platform::DisplaySurface* front = m_primaryPlane.GetDisplaySurface();
    platform::DisplaySurface* image = plane->GetDisplaySurface();
    const RECT whole{0, 0, m_displayWidth, m_displayHeight};
    // The primary is the window's own frame: client coordinates are its coordinates.
    const POINT origin{0, 0};

    if (m_offsetX == 0 && m_offsetY == 0) {
        RECT s = source != nullptr ? *source : whole;
        if (m_fullScreen) {
            if (s.top < topLimit) s.top = topLimit;
            front->BltFast(s.left, s.top, image, s);
        } else {
            front->Blt(Moved(s, origin.x, origin.y), image, s);
        }
    } else if (source == nullptr) {
        // The picture moves by the offset; the strips it uncovers take the fill colour.
        RECT s = whole, d = whole;
        // Along one axis: the part of the picture that stays in the frame (s) and where it lands (d).
        const auto shift = [](std::int32_t offset, std::int32_t& sLow, std::int32_t& sHigh,
                              std::int32_t& dLow, std::int32_t& dHigh) {
            if (offset > 0) {
                sHigh -= offset;
                dLow += offset;
            } else {
                sLow -= offset;
                dHigh += offset;
            }
        };
        shift(m_offsetX, s.left, s.right, d.left, d.right);
        shift(m_offsetY, s.top, s.bottom, d.top, d.bottom);
        const std::uint32_t fill = plane->GetFillColor() & 0x00FFFFFF;
        const std::int32_t top = m_fullScreen ? topLimit : 0;
        const std::int32_t dx = m_fullScreen ? 0 : origin.x, dy = m_fullScreen ? 0 : origin.y;
        front->ColorFill(Moved(RECT{0, top, m_displayWidth, d.top}, dx, dy), fill);
        if (m_fullScreen)
            front->BltFast(d.left, d.top, image, s);
        else
            front->Blt(Moved(d, dx, dy), image, s);
        front->ColorFill(Moved(RECT{0, d.top, d.left, d.bottom}, dx, dy), fill);
        front->ColorFill(Moved(RECT{d.right, d.top, m_displayWidth, d.bottom}, dx, dy), fill);
        front->ColorFill(Moved(RECT{0, d.bottom, m_displayWidth, m_displayHeight}, dx, dy), fill);
    } else {
        RECT s = *source;
        RECT d = Moved(s, m_offsetX, m_offsetY);
        if (m_fullScreen) {
            const bool outside = d.right <= whole.left || d.left >= whole.right || d.bottom <= whole.top ||
                                 d.top >= whole.bottom;
            if (!outside) {
                if (d.left < 0) {
                    s.left -= d.left;
                    d.left = 0;
                }
                if (d.top < 0) {
                    s.top -= d.top;
                    d.top = 0;
                }
                if (d.right > whole.right) s.right -= d.right - whole.right;
                if (d.bottom > whole.bottom) s.bottom -= d.bottom - whole.bottom;
                if (s.left < s.right && s.top < s.bottom) front->BltFast(d.left, d.top, image, s);
            }
        } else {
            front->Blt(Moved(d, origin.x, origin.y), image, s);
        }
    }
    front->Present();
}

} // namespace zelvoranGameSDK3rd::Draw
