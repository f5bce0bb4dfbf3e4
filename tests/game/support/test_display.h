#pragma once
// A display of a chosen pixel type for the planes the game makes, without a window behind it.

#include "gamebase/sdk_names.h"
#include "sdk/draw/fast_plane.h"

#include <cstdint>

class CTestDisplay : public Draw::IPlaneOwner
{
public:
    std::int32_t GetDisplayPixelType() override { return type; }
    void AddPlane(Draw::CFastPlane*) override {}
    void RemovePlane(Draw::CFastPlane*) override {}
    std::int32_t type = Draw::kPixelXRGB8888;
};
