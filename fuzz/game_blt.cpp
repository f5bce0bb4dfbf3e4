// The game's own drawing over small planes of every pixel type: the software kernels, darkening and the
// window look with any positions and rectangles, at either size. Nothing is read or written outside the
// planes (the sanitizer watches the first byte past each one).

#include "fuzz_reader.h"
#include "game/data/global_data.h"
#include "game/ui/blt_support.h"
#include "game/ui/window_look.h"
#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/surface_info.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

using fuzz_input::Reader;

constexpr std::int32_t kTypes[] = {Draw::kPixel565,      Draw::kPixel555,      Draw::kPixelRGB888,
                                   Draw::kPixelXRGB8888, Draw::kPixelXBGR8888, Draw::kPixelA565,
                                   Draw::kPixelA555,     Draw::kPixelARGB8888, Draw::kPixelABGR8888};

// The scratch planes of darkening take the display's type.
class CDisplay : public Draw::IPlaneOwner
{
public:
    std::int32_t GetDisplayPixelType() override { return Draw::kPixelRGB888; }
    void AddPlane(Draw::CFastPlane*) override {}
    void RemovePlane(Draw::CFastPlane*) override {}
};

std::unique_ptr<Draw::CFastPlane> Plane(Reader& in)
{
    auto plane = std::make_unique<Draw::CFastPlane>();
    const std::int32_t type = kTypes[in.Take(1) % std::size(kTypes)];
    const int width = 1 + static_cast<int>(in.Take(1) % 40), height = 1 + static_cast<int>(in.Take(1) % 40);
    if (plane->CreateSurfaceOfType(width, height, type) != 0) return plane;
    Draw::CSurfaceInfo* info = plane->GetSurfaceInfo();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * info->GetBytesPerPixel(); ++x)
            info->pixels[std::ptrdiff_t(y) * info->pitch + x] = static_cast<std::uint8_t>(in.Take(1));
    return plane;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool once = (Draw::BuildBlendTables(), true);
    (void)once;
    static CDisplay display;
    Draw::SetThreadPlaneOwner(&display);
    Reader in{data, size};
    auto target = Plane(in);
    auto source = Plane(in);
    CBltSupport scratch;
    while (in.size > 0) {
        g_globalData.doubleSize = (in.Take(1) & 1) != 0;
        const std::uint32_t what = in.Take(1);
        const std::int32_t x = in.Coordinate(), y = in.Coordinate();
        const Draw::RECT rect{in.Coordinate(), in.Coordinate(), in.Coordinate(), in.Coordinate()};
        const Draw::RECT* part = (what & 0x80) != 0 ? &rect : nullptr;
        switch (what % 13) {
        case 0:
            CBltSupport::BltCopyHalfBright(*target, *source, x, y, part);
            break;
        case 1:
            CBltSupport::BltColorKeyHalfBright(*target, *source, x, y, part);
            break;
        case 2:
            CBltSupport::BltColorKeyHalfBrightDouble(*target, *source, x, y, part);
            break;
        case 3:
            CBltSupport::BltCopyDouble(*target, *source, x, y, part);
            break;
        case 4:
            CBltSupport::BltColorKeyDouble(*target, *source, x, y, part);
            break;
        case 5:
            CBltSupport::BltBlendDouble(*target, *source, x, y, part);
            break;
        case 6:
            CBltSupport::BltBlendColorKeyDouble(*target, *source, x, y, part);
            break;
        case 7:
            CBltSupport::BltAlphaOntoAlpha(*target, *source, x, y, part);
            break;
        case 8:
            CBltSupport::DarkenRect(*target, x, y, rect.right, rect.bottom, scratch);
            break;
        case 9:
            DrawWindowBackground(*target, x, y, rect.right, rect.bottom, (what & 0x40) != 0);
            break;
        case 10:
            ClearToTranslucent(*target, x, y, rect.right, rect.bottom);
            break;
        case 11:
            DrawWindowFrame(*target, x, y, rect.right % 512, rect.bottom % 512, rect.left & 3,
                            (what & 0x40) != 0);
            break;
        default:
            CBltSupport::BltBlendColorKeyZoom(*target, *source, x, y, rect.left, part);
            break;
        }
    }
    Draw::SetThreadPlaneOwner(nullptr);
    return 0;
}
