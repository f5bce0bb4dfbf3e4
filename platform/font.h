#pragma once
// Fonts for the drawing context: made by an engine a test installs, or else by the glyph engine of the
// active back end (a real rasteriser on the windowed back end where the machine has the faces, fixed
// metrics otherwise).

#include "platform/host/glyphs.h"

#include <memory>

namespace platform {

// Installs an engine (null: follow the back end again) and returns the one installed before (null when
// none was).
std::shared_ptr<FontEngine> SetFontEngine(std::shared_ptr<FontEngine> engine);
std::unique_ptr<Font> CreateFont(const FontDescription& description);

} // namespace platform
