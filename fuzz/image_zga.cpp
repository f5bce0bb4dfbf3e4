// The SDK's own image files: the loader's header checks and decoding, packed and unpacked, straight into
// an ARGB8888 surface and through conversion into a padded one and a 16-bit surface with alpha.

#include "image_fuzz_support.h"

using namespace image_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    NamedMemoryFile file("fuzz.zga", data, size);
    Draw::CGraphicLoader loader;
    if (loader.LoadZGA(file) != 0) return 0;
    int w = 0, h = 0;
    if (loader.GetSize(w, h) != 0 || static_cast<long long>(w) * h > kMaxPixels) return 0;
    DecodeInto(loader, w, h, Draw::kPixelARGB8888);
    DecodeInto(loader, w, h, Draw::kPixelARGB8888, 4);
    DecodeInto(loader, w, h, Draw::kPixelA565);
    return 0;
}
