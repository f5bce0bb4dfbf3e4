#pragma once
// The framework part of the game's application: the display of the application thread, the two sound
// factories (music, sound effects), and the display mode last asked for, which changes only through the
// mode operations here.

#include "gamebase/sdk_names.h"
#include "sdk/appframe/app_base.h"
#include "sdk/appframe/app_manager.h"
#include "sdk/draw/fast_draw.h"
#include "sdk/multimedia/sound_factory.h"
#include "sdk/ztl/smart_ptr.h"

#include <cstdint>

namespace QuorlithGameBase {

class CAppFrameBase : public zelvoranGameSDK3rd::AppFrame::IAppFrame
{
public:
    using IAppBase = zelvoranGameSDK3rd::AppFrame::IAppBase;

    // Joins the application manager for the calling thread and makes that thread's display (which
    // installs the thread's plane factory).
    CAppFrameBase();
    ~CAppFrameBase() override;
    CAppFrameBase(const CAppFrameBase&) = delete;
    CAppFrameBase& operator=(const CAppFrameBase&) = delete;

    // Takes the calling thread's application as its own, then runs MainThread.
    virtual void Start();
    // Sleeps in 10 ms steps until that many milliseconds have passed or the application should stop.
    virtual void Wait(std::uint32_t milliseconds);
    // Closes the application (its window gets the close message and the thread is asked to stop).
    virtual void Close();
    virtual IAppBase* GetMyApp() { return m_myApp; }
    // Pumps the window's messages; false once the application should stop.
    virtual bool IsThreadValid();
    virtual void MainThread() = 0;
    // The application's flag pair (whether its end stops the whole program).
    virtual bool GetAppFlag();
    virtual void SetAppFlag(bool flag);

    // ---- Display modes. 0 for a width or height means 640 or 480.
    // Sets the mode and changes the display to it: the display's result (0 done).
    int ChangeDisplayMode(std::int32_t width, std::int32_t height, bool fullScreen, std::int32_t bpp);
    // The other of window and full screen at that size and depth (0: the stored value), a failure at 32
    // bits tried once more at 16: 0 when changed, else the failure code with the stored mode kept.
    int ToggleFullScreen(std::int32_t width, std::int32_t height, std::int32_t bpp);
    // A window of that size at the current depth (leaving full screen first); a failure keeps the mode.
    void ResizeDisplay(std::int32_t width, std::int32_t height);
    // Before each drawn frame: the display-changed flag is set for the frame on which the primary's
    // pixel type or the full-screen state changed.
    void DetectDisplayChange();
    // The size of the mode last asked for; 0.
    int GetDisplaySize(std::int32_t* width, std::int32_t* height) const;

    Draw::CFastDraw* GetDraw() { return m_draw.get(); }
    Multimedia::CSoundFactory& GetMusicSoundFactory() { return m_musicSoundFactory; }
    Multimedia::CSoundFactory& GetSoundEffectSoundFactory() { return m_soundEffectSoundFactory; }
    bool IsFullScreen() const { return m_fullScreen; }
    bool IsModeSet() const { return m_modeSet; }
    std::int32_t GetBpp() const { return m_bpp; }
    bool IsDisplayChanged() const { return m_displayChanged; }
    // The window hook marks a change too (lost activation in full screen).
    void SetDisplayChanged(bool changed) { m_displayChanged = changed; }
    std::int32_t GetResizeCount() const { return m_resizeCount; }
    zelvoranGameSDK3rd::Window::HWND GetWindowHandle() const { return m_hwnd; }

protected:
    IAppBase* m_myApp = nullptr;
    ZTL::smart_ptr<Draw::CFastDraw> m_draw;
    Multimedia::CSoundFactory m_musicSoundFactory;
    Multimedia::CSoundFactory m_soundEffectSoundFactory;
    bool m_fullScreen = false;
    bool m_modeSet = false;
    std::int32_t m_width = 640;
    std::int32_t m_height = 480;
    std::int32_t m_bpp = 32;
    bool m_displayChanged = false;
    zelvoranGameSDK3rd::Window::HWND m_hwnd = nullptr;
    std::int32_t m_resizeCount = 0;

private:
    // One display change to that mode: the display's result (0 done).
    int TryDisplayMode(std::int32_t width, std::int32_t height, bool fullScreen, std::int32_t bpp);

    // What DetectDisplayChange saw last.
    bool m_detectStarted = false;
    std::int32_t m_seenPixelType = 0;
    bool m_seenFullScreen = false;
};

} // namespace QuorlithGameBase
