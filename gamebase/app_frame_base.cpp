#include "gamebase/app_frame_base.h"

#include "sdk/timer/timer.h"

namespace QuorlithGameBase {

namespace AppFrame = zelvoranGameSDK3rd::AppFrame;

CAppFrameBase::CAppFrameBase() : m_draw(Draw::CFastDraw::CreateForThread())
{
    AppFrame::CAppManager::GetInstance()->Add(static_cast<AppFrame::IAppFrame*>(this));
}

CAppFrameBase::~CAppFrameBase()
{
    AppFrame::CAppManager::GetInstance()->Remove(static_cast<AppFrame::IAppFrame*>(this));
}

void CAppFrameBase::Start()
{
    m_myApp = AppFrame::CAppManager::GetInstance()->FindAppOfCurrentThread();
    MainThread();
}

void CAppFrameBase::Wait(std::uint32_t milliseconds)
{
    zelvoranGameSDK3rd::Timer::CTimer timer;
    timer.Reset();
    while (IsThreadValid() && timer.Get() < milliseconds) {
        if (m_myApp != nullptr) m_myApp->GetThread()->InterruptibleSleep(10);
    }
}

void CAppFrameBase::Close()
{
    if (m_myApp != nullptr) m_myApp->Close();
}

bool CAppFrameBase::IsThreadValid()
{
    return m_myApp != nullptr && m_myApp->IsThreadValid();
}

bool CAppFrameBase::GetAppFlag()
{
    return m_myApp != nullptr && m_myApp->IsQuitOnDestroy();
}

void CAppFrameBase::SetAppFlag(bool flag)
{
    if (m_myApp != nullptr) m_myApp->SetQuitOnDestroy(flag);
}

int CAppFrameBase::ChangeDisplayMode(std::int32_t width, std::int32_t height, bool fullScreen,
                                     std::int32_t bpp)
{
    m_resizeCount = 0;
    m_fullScreen = fullScreen;
    m_modeSet = false;
    m_width = width != 0 ? width : 640;
    m_height = height != 0 ? height : 480;
    m_bpp = bpp;
    m_hwnd = m_myApp != nullptr ? m_myApp->GetHWnd() : nullptr;
    m_draw->SetDisplaySize(m_width, m_height);
    m_draw->SetDisplayBpp(bpp != 0 ? bpp : 16);
    return m_draw->ChangeDisplay(fullScreen);
}

int CAppFrameBase::TryDisplayMode(std::int32_t width, std::int32_t height, bool fullScreen, std::int32_t bpp)
{
    m_draw->BeginChangeDisplay();
    m_draw->TestDisplayMode(width, height, fullScreen, bpp);
    return m_draw->EndChangeDisplay();
}

int CAppFrameBase::ToggleFullScreen(std::int32_t width, std::int32_t height, std::int32_t bpp)
{
    if (width == 0) width = m_width;
    if (height == 0) height = m_height;
    if (bpp == 0) bpp = m_bpp;
    int result = TryDisplayMode(width, height, !m_fullScreen, bpp);
    if (result != 0 && bpp == 32) {
        bpp = 16;
        result = TryDisplayMode(width, height, !m_fullScreen, bpp);
    }
    if (result != 0) return result;
    m_fullScreen = !m_fullScreen;
    m_width = width;
    m_height = height;
    m_bpp = bpp;
    m_modeSet = true;
    m_resizeCount = 0;
    return 0;
}

void CAppFrameBase::ResizeDisplay(std::int32_t width, std::int32_t height)
{
    // After many resizes the display is made again from scratch by a switch there and back.
    constexpr std::int32_t kResizesBeforeRebuild = 17;
    if (m_resizeCount++ >= kResizesBeforeRebuild) {
        ToggleFullScreen(0, 0, 0);
        ToggleFullScreen(0, 0, 0);
        m_resizeCount = 0;
    } else if (m_fullScreen) {
        ToggleFullScreen(0, 0, 0);
    }
    if (TryDisplayMode(width, height, m_fullScreen, m_bpp) != 0) return;
    m_width = width;
    m_height = height;
    m_modeSet = true;
}

void CAppFrameBase::DetectDisplayChange()
{
    const std::int32_t pixelType = m_draw->GetPrimary()->GetPixelType();
    if (!m_detectStarted) {
        m_detectStarted = true;
        m_seenPixelType = pixelType;
        m_seenFullScreen = m_fullScreen;
    }
    bool changed = false;
    if (pixelType != m_seenPixelType) {
        m_seenPixelType = pixelType;
        changed = true;
    }
    if (m_fullScreen != m_seenFullScreen) {
        m_seenFullScreen = m_fullScreen;
        changed = true;
    }
    m_displayChanged = changed;
}

int CAppFrameBase::GetDisplaySize(std::int32_t* width, std::int32_t* height) const
{
    *width = m_width;
    *height = m_height;
    return 0;
}

} // namespace QuorlithGameBase
