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
        status = kNotCreated;
        return;
    }
    comEntered = true;
    driver = platform::CreateDisplayDriver();
    if (!driver) {
        Log("CDirectDraw::CDirectDrawでDirectDrawInterfaceが得られない");
        status = kNoInterface;
        return;
    }
    if (driver->Initialize(true) == platform::kDisplayOk) {
        status = kEmulationOnly;
        return;
    }
    Log("CDirectDraw::CDirectDrawでEmulationOnlyに出来なかった");
    if (driver->Initialize(false) == platform::kDisplayOk) {
        status = kHardware;
        return;
    }
    Log("CDirectDraw::CDirectDrawでHAL初期化に失敗");
    driver.reset();
    status = kNeither;
}

CDirectDraw::~CDirectDraw()
{
    driver.reset();
    if (comEntered) AppFrame::ComInitCounter::Leave();
}

// ---- The clipper.

int CDirectDrawClipper::Clip(platform::DisplayDriver* driver, platform::DisplaySurface* surface, HWND hwnd)
{
    Release();
    if (driver == nullptr || surface == nullptr) return 1;
    if (driver->CreateClipper(&clipper) != platform::kDisplayOk || !clipper) {
        clipper.reset();
        Log("CDirectDrawClipper::ClipでClipper構築失敗");
        return 2;
    }
    if (clipper->SetWindow(hwnd) != platform::kDisplayOk) {
        Log("CDirectDrawClipper::ClipでhWNDをセットできない");
        return 3;
    }
    if (surface->SetClipper(clipper.get()) != platform::kDisplayOk) {
        Log("CDirectDrawClipper::ClipでSetClipperに失敗");
        return 4;
    }
    return 0;
}

void CDirectDrawClipper::Release()
{
    clipper.reset();
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

CFastDraw::CFastDraw() : primaryPlane(this), palettisedPlane(this), backPlane(this)
{
    primaryPlane.SetSystemMemory(false);
    backPlane.SetKeepContents(true);
    SetThreadFastDraw(this);
    if (Window::IWindow* window = AppFrame::CAppManager::GetCurrentWindow()) {
        displayWidth = window->GetOption()->width;
        displayHeight = window->GetOption()->height;
    }
    displayBpp = 16;
    fullScreen = false;
    // What a menu bar adds to a framed window's height.
    RECT withMenu{0, 0, 0, 0}, without{0, 0, 0, 0};
    platform::AdjustWindowRect(&withMenu, platform::WS_CAPTION | platform::WS_SYSMENU, true);
    platform::AdjustWindowRect(&without, platform::WS_CAPTION, false);
    menuBarHeight = (withMenu.bottom - withMenu.top) - (without.bottom - without.top);
    brightness = 256;
    offsetX = offsetY = 0;
    AppFrame::CAppManager* manager = AppFrame::CAppManager::GetInstance();
    hwnd = manager->GetCurrentWindowHandle();
    manager->Add(static_cast<AppFrame::IAppDraw*>(this));
    manager->AddHook(this);
    BuildBlendTables();
}

CFastDraw::~CFastDraw()
{
    AppFrame::CAppManager* manager = AppFrame::CAppManager::GetInstance();
    manager->RemoveHook(this);
    manager->Remove(static_cast<AppFrame::IAppDraw*>(this));
    clipper.Release();
    // Planes that outlive the device must not reach it any more.
    for (CFastPlane* plane : planes) {
        plane->registeredWith = nullptr;
        if (plane->owner == static_cast<IPlaneOwner*>(this)) plane->owner = nullptr;
    }
    planes.clear();
    if (GetThreadFastDraw() == this) {
        EraseThreadFastDraw();
        if (installedFactory != nullptr && GetThreadPlaneFactory().get() == installedFactory)
            EraseThreadPlaneFactory();
    }
}

ZTL::smart_ptr<CFastDraw> CFastDraw::CreateForThread()
{
    ZTL::smart_ptr<CFastDraw> device(new CFastDraw);
    ZTL::smart_ptr<IPlaneFactory> factory(new CPlaneFactoryFastPlane(device.get()));
    SetThreadPlaneFactory(factory);
    device->installedFactory = factory.get();
    return device;
}

void CFastDraw::RemovePlane(CFastPlane* plane)
{
    auto it = std::find(planes.begin(), planes.end(), plane);
    if (it != planes.end()) planes.erase(it);
}

LRESULT CFastDraw::OnMessage(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == platform::WM_ACTIVATEAPP && wParam != 0) activated = true;
    if (message == platform::WM_PALETTECHANGED) CaptureTheSystemPalette();
    return 0;
}

int CFastDraw::ChangeDisplay(bool wantFullScreen)
{
    if (GetDirectDraw() == nullptr) return 1;
    BeginChangeDisplay();
    if (wantFullScreen) TestDisplayMode(displayWidth, displayHeight, true, displayBpp);
    // Does nothing when full screen was accepted: a failed full-screen attempt falls back to a window.
    TestDisplayMode(displayWidth, displayHeight, false, 0);
    return EndChangeDisplay() == 0 ? 0 : 2;
}

int CFastDraw::BeginChangeDisplay()
{
    lock.Enter();
    changing = true;
    styleChanged = false;
    platform::DisplayDriver* driver = GetDirectDraw();
    if (driver != nullptr) {
        palettisedPlane.Release();
        clipper.Release();
        primaryPlane.Release();
        if (fullScreen) {
            if (driver->SetCooperativeLevel(hwnd, false) != platform::kDisplayOk)
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
    if (!changing || driver == nullptr) return 0;
    styleChanged = styleChanged || fullScreen || wantFullScreen;
    Window::IWindow* window = AppFrame::CAppManager::GetCurrentWindow();
    if (styleChanged && window != nullptr) window->RequestApply(true);
    fullScreen = wantFullScreen;
    if (!fullScreen) {
        if (driver->SetCooperativeLevel(hwnd, false) != platform::kDisplayOk) {
            Log("CFastDraw::TestDisplayModeのSetCooperativeLevelにDDSC_NORMALで失敗");
            return 0;
        }
    } else {
        if (driver->SetCooperativeLevel(hwnd, true) != platform::kDisplayOk) {
            Log("CFastDraw::TestDisplayModeのSetCooperativeLevelにDDSC_EXCLUSIVEで失敗");
            return 0;
        }
        if (driver->SetDisplayMode(w, h, bpp) != platform::kDisplayOk) {
            Log("CFastDraw::TestDisplayModeのSetDisplayModeに失敗");
            return 0;
        }
    }
    bool flipChain = false;
    if (primaryPlane.CreatePrimary(&flipChain, w, h) != 0) {
        Log("CFastDraw::TestDisplayModeでCreatePrimaryに失敗");
        return 0;
    }
    clipper.Release();
    if (!fullScreen && clipper.Clip(driver, primaryPlane.GetDisplaySurface(), hwnd) != 0) {
        Log("CFastDraw::TestDisplayModeでClipに失敗");
        return 0;
    }
    const bool palettised = primaryPlane.GetPixelType() == kPixelP8;
    if (palettised) backPlane.SetGdiCapable(true);
    if (backPlane.CreateSecondary(flipChain, &primaryPlane) != 0) {
        Log("CFastDraw::TestDisplayModeでCreateSecondaryに失敗");
        return 0;
    }
    if (palettised) palettisedPlane.InnerCreateSurface(w, h, false, true);
    if (window != nullptr) {
        window->SetFullScreen(fullScreen);
        window->ApplyScreenMode();
    }
    changing = false;
    displayBpp = bpp;
    displayWidth = w;
    displayHeight = h;
    return 0;
}

int CFastDraw::EndChangeDisplay()
{
    if (GetDirectDraw() == nullptr) {
        lock.Leave();
        return 1;
    }
    if (changing) {
        Log("CFastDraw::BeginChangeDisplay～EndChangeDisplayに失敗");
        lock.Leave();
        return 1;
    }
    if (styleChanged) platform::SleepMilliseconds(kStyleChangeSettleMilliseconds);
    if (Window::IWindow* window = AppFrame::CAppManager::GetCurrentWindow()) {
        window->ShowCursor(!fullScreen);
        window->SetSizeLater(displayWidth, displayHeight);
        window->SetFullScreen(fullScreen);
        window->ApplyScreenMode();
    }
    // By index: a rebuild may add and remove a temporary plane while the list is walked.
    for (std::size_t i = 0; i < planes.size(); ++i)
        planes[i]->OnChangeDisplay();
    CaptureTheSystemPalette();
    lock.Leave();
    return 0;
}

void CFastDraw::OnDraw(const RECT* source, bool drawLayers)
{
    Window::IWindow* window = AppFrame::CAppManager::GetCurrentWindow();
    if (window != nullptr && window->IsMinimized()) return;

    // In full screen, the menu bar that the cursor opened keeps its rows this frame.
    std::int32_t topLimit = 0;
    if (fullScreen) {
        POINT cursor{};
        if (platform::GetFocus() == hwnd && platform::GetCursorClientPosition(hwnd, cursor) &&
            cursor.y < menuBarHeight && platform::GetMenu(hwnd) != nullptr)
            topLimit = menuBarHeight;
    }

    if (activated) {
        AppFrame::IAppBase* app = AppFrame::CAppManager::GetInstance()->FindAppOfCurrentThread();
        if (app == nullptr || !app->IsThreadValid()) return;
        platform::DisplaySurface* front = primaryPlane.GetDisplaySurface();
        if (front != nullptr && front->IsLost()) ChangeDisplay(fullScreen);
        activated = false;
        return;
    }

    if (primaryPlane.GetDisplaySurface() == nullptr) return;

    if (drawLayers) {
        layersBefore.OnDraw(&backPlane);
        if (!layersGdi.IsEmpty()) {
            if (HDC dc = backPlane.BeginPaint()) {
                layersGdi.OnDraw(dc);
                backPlane.EndPaint();
            }
        }
        layersAfter.OnDraw(&backPlane);
        if (brightness != 256) backPlane.FadeEffect(brightness, nullptr);
    }

    CFastPlane* plane = &backPlane;
    if (primaryPlane.GetPixelType() == kPixelP8) {
        BltCopy(0, 0, &backPlane, &palettisedPlane, nullptr, nullptr);
        plane = &palettisedPlane;
    }
    if (plane->GetDisplaySurface() == nullptr) return;
    Present(plane, source, topLimit);
}

void CFastDraw::Present(CFastPlane* plane, const RECT* source, std::int32_t topLimit)
{
    platform::DisplaySurface* front = primaryPlane.GetDisplaySurface();
    platform::DisplaySurface* image = plane->GetDisplaySurface();
    const RECT whole{0, 0, displayWidth, displayHeight};
    // The primary is the window's own frame: client coordinates are its coordinates.
    const POINT origin{0, 0};

    if (offsetX == 0 && offsetY == 0) {
        RECT s = source != nullptr ? *source : whole;
        if (fullScreen) {
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
        shift(offsetX, s.left, s.right, d.left, d.right);
        shift(offsetY, s.top, s.bottom, d.top, d.bottom);
        const std::uint32_t fill = plane->GetFillColor() & 0x00FFFFFF;
        const std::int32_t top = fullScreen ? topLimit : 0;
        const std::int32_t dx = fullScreen ? 0 : origin.x, dy = fullScreen ? 0 : origin.y;
        front->ColorFill(Moved(RECT{0, top, displayWidth, d.top}, dx, dy), fill);
        if (fullScreen)
            front->BltFast(d.left, d.top, image, s);
        else
            front->Blt(Moved(d, dx, dy), image, s);
        front->ColorFill(Moved(RECT{0, d.top, d.left, d.bottom}, dx, dy), fill);
        front->ColorFill(Moved(RECT{d.right, d.top, displayWidth, d.bottom}, dx, dy), fill);
        front->ColorFill(Moved(RECT{0, d.bottom, displayWidth, displayHeight}, dx, dy), fill);
    } else {
        RECT s = *source;
        RECT d = Moved(s, offsetX, offsetY);
        if (fullScreen) {
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
