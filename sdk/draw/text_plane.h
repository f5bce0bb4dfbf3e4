#pragma once
// A plane that owns a font and turns its text into its own pixels: plainly on an opaque plane (kind 1),
// or antialiased with an alpha channel by 2 × 2 (kind 2) or 4 × 4 (kind 3) supersampling.

#include "sdk/draw/fast_plane.h"
#include "sdk/draw/font.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

class CTextFastPlane : public CFastPlane
{
public:
    // A plane of the calling thread's display device with a default font.
    CTextFastPlane() = default;

    // Each makes the plane anew at the text's size (turned when vertical) and fills it: 0 done, 1 the
    // plane cannot be made (also for an empty text).
    int RenderTextKind1();
    int RenderTextKind2() { return RenderAntialiased(2); }
    int RenderTextKind3() { return RenderAntialiased(3); }
    // Renders again in the kind last used; 0 when never rendered.
    int OnRecreate() override;

    CFont font;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    std::uint8_t vertical = 0;
    std::int32_t kind = 0;

private:
    int RenderAntialiased(std::int32_t renderKind);
    int CreateForText(bool alpha);
};

} // namespace zelvoranGameSDK3rd::Draw
