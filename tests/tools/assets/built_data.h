#pragma once
// What the tests of the built pictures share: a 32-bit display for the calling thread, the build folder
// (which holds data/) as the SDK's current folder, a fresh image list and single size; all put back
// afterwards.

#include "game/data/global_data.h"
#include "game/ui/image_list.h"
#include "sdk/auxiliary/file.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/draw/kernels/blend_tables.h"

#include <gtest/gtest.h>

#include <cstdint>

class BuiltDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Draw::BuildBlendTables();
        Draw::SetThreadPlaneOwner(&m_display);
        m_folder = Auxiliary::CFile::GetCurrentFolder();
        Auxiliary::CFile::SetCurrentFolder(MAROVELLIN_BUILD_DIR);
        AccessImageList(kImageListDestroy, 0);
        m_doubleSize = g_globalData.doubleSize;
        g_globalData.doubleSize = false;
    }
    void TearDown() override
    {
        g_globalData.doubleSize = m_doubleSize;
        AccessImageList(kImageListDestroy, 0);
        Auxiliary::CFile::SetCurrentFolder(m_folder);
        Draw::SetThreadPlaneOwner(nullptr);
    }

private:
    class CDisplay : public Draw::IPlaneOwner
    {
    public:
        std::int32_t GetDisplayPixelType() override { return Draw::kPixelXRGB8888; }
        void AddPlane(Draw::CFastPlane*) override {}
        void RemovePlane(Draw::CFastPlane*) override {}
    };
    CDisplay m_display;
    ZTL::string m_folder;
    bool m_doubleSize = false;
};
