// BMP files of any shape: the checked reader and drawing of the platform layer (at places near the
// target and at the ends of the coordinate range), and the graphic loader's BMP paths (size, straight
// decoding into 32- and 16-bit surfaces, drawing through a bitmap, palette).

#include "image_fuzz_support.h"
#include "platform/bmp.h"
#include "sdk/draw/dib_bitmap.h"

#include <climits>
#include <utility>

using namespace image_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::BitmapView view;
    if (platform::ReadBitmapFile(data, size, view)) {
        auto section = platform::DibSection::Create(24, 24, 32);
        platform::DeviceContext dc;
        dc.SelectBitmap(section.get());
        for (const auto& [x, y] :
             {std::pair{-3, -5}, std::pair{20, 20}, std::pair{INT_MIN, 0}, std::pair{0, INT_MIN},
              std::pair{INT_MAX, 0}, std::pair{0, INT_MAX}, std::pair{INT_MIN + 1, INT_MAX - 1},
              std::pair{-view.width + 1, -view.height + 1}}) {
            platform::DrawBitmap(dc, x, y, view);
        }
    }
    if (size > 14) platform::ReadBitmapInfo(data + 14, size - 14, data, size, view);

    NamedMemoryFile file("fuzz.bmp", data, size);
    Draw::CGraphicLoader loader;
    if (loader.LoadBMP(file) != 0) return 0;
    Draw::PALETTEENTRY palette[256];
    loader.GetPalette(palette);
    int w = 0, h = 0;
    if (loader.GetSize(w, h) != 0) return 0;
    if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxPixels) return 0;
    DecodeInto(loader, w, h, Draw::kPixelXRGB8888);
    DecodeInto(loader, w, h, Draw::kPixel565);
    Draw::CDIBitmap bitmap;
    if (bitmap.CreateDIB(w, h, 24, false) == 0) loader.Render(bitmap.GetDC());
    return 0;
}
