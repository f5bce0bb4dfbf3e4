#pragma once
// Font engines a text benchmark runs with: the headless fixed metrics, and the real rasteriser when this
// build and machine have it.

#include "platform/font.h"

#ifdef MAROVELLIN_HAVE_FREETYPE
#include "platform/host/freetype/freetype_font.h"
#endif

#include <benchmark/benchmark.h>

namespace bench_fonts {

enum Engine
{
    kHeadless = 0,
    kReal = 1,
};

// Makes the engine current; false, with the benchmark skipped, when the real one is not here.
inline bool UseEngine(benchmark::State& state, int engine)
{
    if (engine == kHeadless) {
        platform::SetFontEngine(platform::CreateHeadlessFontEngine());
        return true;
    }
#ifdef MAROVELLIN_HAVE_FREETYPE
    if (auto real = platform::CreateFreeTypeFontEngine()) {
        platform::SetFontEngine(real);
        return true;
    }
#endif
    state.SkipWithError("no real rasteriser here");
    return false;
}

} // namespace bench_fonts
