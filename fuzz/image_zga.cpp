// The SDK's own image files: the loader's header checks and decoding, packed and unpacked, straight into
// an ARGB8888 surface and through conversion into a 16-bit surface with alpha.

#include "sdk/auxiliary/file.h"
#include "sdk/draw/graphic_loader.h"

#include <cstdint>
#include <vector>

namespace Aux = zelvoranGameSDK3rd::Auxiliary;
namespace Draw = zelvoranGameSDK3rd::Draw;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

namespace {

class NamedMemoryFile : public Aux::CFile
{
public:
    explicit NamedMemoryFile(const char* name) : name_(name) {}
    ZTL::string GetName() override { return name_; }
    ZTL::string GetNameSuffix() override { return Aux::CFile::GetSuffix(name_); }

private:
    ZTL::string name_;
};

constexpr long long kMaxPixels = 1 << 20;

void DecodeInto(Draw::IGraphicLoader& loader, int w, int h, std::int32_t type, int extraPitch)
{
    const int bytes = Draw::BytesPerPixel(type);
    const int pitch = w * bytes + extraPitch;
    std::vector<std::uint8_t> memory(static_cast<std::size_t>(pitch) * h);
    Draw::CSurfaceInfo info;
    info.pixels = memory.data();
    info.pitch = pitch;
    info.width = w;
    info.height = h;
    info.type = type;
    info.valid = true;
    loader.DecodeInto(info);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    NamedMemoryFile file("fuzz.zga");
    file.ReadFromMemory(data, static_cast<std::uint32_t>(size));
    Draw::CGraphicLoader loader;
    if (loader.LoadZGA(file) != 0) return 0;
    int w = 0, h = 0;
    if (loader.GetSize(w, h) != 0 || static_cast<long long>(w) * h > kMaxPixels) return 0;
    DecodeInto(loader, w, h, Draw::kPixelARGB8888, 0);
    DecodeInto(loader, w, h, Draw::kPixelARGB8888, 4);
    DecodeInto(loader, w, h, Draw::kPixelA565, 0);
    return 0;
}
