#pragma once
// The real glyph rasteriser: TrueType faces through FreeType. The two Japanese system faces that the
// game names are served by IPA Gothic (fixed pitch) and IPA P Gothic (proportional).

#include "platform/host/glyphs.h"

#include <memory>
#include <string>

namespace platform {

// Null when neither face file can be opened.
std::shared_ptr<FontEngine> CreateFreeTypeFontEngine();

// The face file that a CP932 face name (with or without a leading "@") is drawn with; empty when the
// file is not installed.
std::string FreeTypeFaceFile(const std::string& cp932Face);

} // namespace platform
