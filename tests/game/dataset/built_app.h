#pragma once
// The application on the built data set with a test's body in place of its frame loop: set-up, the body,
// tear-down. The fixture starts it headless in single size on the virtual clock, with the global data as
// the window's options read it.

#include "game/app/app.h"
#include "game/data/global_data.h"
#include "game/dataset/built_data.h"
#include "platform/host/clock.h"
#include "platform/host/headless/headless.h"

#include <cstdint>
#include <functional>
#include <utility>

class CBodyApp : public CApp
{
public:
    explicit CBodyApp(std::function<void(CBodyApp&)> body) : m_body(std::move(body)) {}
    void MainThread() override
    {
        SetUp();
        m_body(*this);
        TearDown();
    }
    platform::HWND Window() { return GetMyApp()->GetHWnd(); }
    std::uint32_t Presents() { return platform::headless::GetPresentCount(Window()); }

private:
    std::function<void(CBodyApp&)> m_body;
};

class BuiltAppTest : public BuiltDataTest
{
protected:
    void SetUp() override
    {
        BuiltDataTest::SetUp();
        g_globalData = SGlobalData();
        LoadGlobalData(g_globalData); // as the window's options do: no file yet, its name set
        g_globalData.doubleSize = false;
        platform::UseVirtualClock(1000);
    }
    void TearDown() override
    {
        platform::headless::ReleaseAllKeys();
        platform::UseRealClock();
        BuiltDataTest::TearDown();
    }
};
