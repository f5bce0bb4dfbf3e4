// Pictures in the common compressed formats (JPEG and GIF): the platform decoder, drawing the decoded
// picture scaled and placed anywhere, and the graphic loader's picture path (size, drawing through a
// bitmap). Pictures beyond the decoded-size limit are refused before anything is allocated for them.

#include "image_fuzz_support.h"
#include "platform/dib.h"
#include "platform/host/media/picture.h"
#include "sdk/draw/dib_bitmap.h"

#include <climits>
#include <cstdlib>

using namespace image_fuzz;

namespace {

struct SPlace
{
    int x, y, width, height;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto picture = platform::Picture::Decode(data, size)) {
        if (picture->Width() > platform::kMaxPictureSide || picture->Height() > platform::kMaxPictureSide ||
            static_cast<long long>(picture->Width()) * picture->Height() > platform::kMaxPicturePixels) {
            std::abort();
        }
        auto section = platform::DibSection::Create(24, 24, 32);
        platform::DeviceContext dc;
        dc.SelectBitmap(section.get());
        for (const SPlace& p : {SPlace{0, 0, picture->Width(), picture->Height()}, SPlace{-3, -5, 40, 7},
                                SPlace{INT_MIN, 0, INT_MAX, 30}, SPlace{10, INT_MAX, 5, INT_MAX},
                                SPlace{INT_MAX, INT_MIN, 1, 1}}) {
            platform::DrawPicture(dc, *picture, p.x, p.y, p.width, p.height);
        }
    }

    NamedMemoryFile file("fuzz.jpg", data, size);
    Draw::CGraphicLoader loader;
    if (loader.LoadOLE(file) != 0) return 0;
    int w = 0, h = 0;
    if (loader.GetSize(w, h) != 0 || w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxPixels) return 0;
    Draw::CDIBitmap bitmap;
    if (bitmap.CreateDIB(w, h, 24, false) == 0) loader.Render(bitmap.GetDC());
    return 0;
}
