#pragma once
// The plain copy of one plane onto another, as the sprite-drawing code does it.

#include "sdk/draw/surface.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

// Copies `rect` of `source` (null: all of it) onto `target` at (x, y), scaled to `size` when given, with
// blit operation 0: 0 copied, non-zero when the dispatcher refused (an unserved pair of pixel types, a
// failed lock).
int BltCopy(std::int32_t x, std::int32_t y, ISurface* source, ISurface* target, const SIZE* size,
            const RECT* rect);

} // namespace zelvoranGameSDK3rd::Draw
