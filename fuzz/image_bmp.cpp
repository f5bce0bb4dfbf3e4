// BMP files of any shape: the checked reader and drawing of the platform layer, and the graphic loader's
// BMP paths (size, straight decoding into 32- and 16-bit surfaces, drawing through a bitmap, palette).

#include "platform/bmp.h"
#include "sdk/auxiliary/file.h"
#include "sdk/draw/dib_bitmap.h"
#include "sdk/draw/graphic_loader.h"

#include <cstdint>
#include <vector>

namespace Aux = zelvoranGameSDK3rd::Auxiliary;
namespace Draw = zelvoranGameSDK3rd::Draw;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

namespace {

// Content in memory under a file name, as the loader sees a file read from disk.
class NamedMemoryFile : public Aux::CFile
{
public:
    explicit NamedMemoryFile(const char* name) : name_(name) {}
    ZTL::string GetName() override { return name_; }
    ZTL::string GetNameSuffix() override { return Aux::CFile::GetSuffix(name_); }

private:
    ZTL::string name_;
};

// Pictures larger than this are not decoded here, only measured, to keep each run short.
constexpr long long kMaxPixels = 1 << 20;

void DecodeInto(Draw::IGraphicLoader& loader, int w, int h, std::int32_t type)
{
    const int bytes = Draw::BytesPerPixel(type);
    std::vector<std::uint8_t> memory(static_cast<std::size_t>(w) * h * bytes);
    Draw::CSurfaceInfo info;
    info.pixels = memory.data();
    info.pitch = w * bytes;
    info.width = w;
    info.height = h;
    info.type = type;
    info.valid = true;
    loader.DecodeInto(info);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::BitmapView view;
    if (platform::ReadBitmapFile(data, size, view)) {
        auto section = platform::DibSection::Create(24, 24, 32);
        platform::DeviceContext dc;
        dc.SelectBitmap(section.get());
        platform::DrawBitmap(dc, -3, -5, view);
        platform::DrawBitmap(dc, 20, 20, view);
    }
    if (size > 14) platform::ReadBitmapInfo(data + 14, size - 14, data, size, view);

    NamedMemoryFile file("fuzz.bmp");
    file.ReadFromMemory(data, static_cast<std::uint32_t>(size));
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
