#pragma once
// What the image fuzz targets share: file content in memory under a file name, and surfaces of plain
// memory to decode into.

#include "sdk/auxiliary/file.h"
#include "sdk/draw/graphic_loader.h"

#include <cstdint>
#include <vector>

namespace image_fuzz {

namespace Aux = zelvoranGameSDK3rd::Auxiliary;
namespace Draw = zelvoranGameSDK3rd::Draw;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

// Pictures larger than this are not decoded, only measured, to keep each run short.
constexpr long long kMaxPixels = 1 << 20;

// Content in memory under a file name, as the loader sees a file read from disk.
class NamedMemoryFile : public Aux::CFile
{
public:
    NamedMemoryFile(const char* name, const std::uint8_t* data, std::size_t size) : m_name(name)
    {
        ReadFromMemory(data, static_cast<std::uint32_t>(size));
    }
    ZTL::string GetName() override { return m_name; }
    ZTL::string GetNameSuffix() override { return Aux::CFile::GetSuffix(m_name); }

private:
    ZTL::string m_name;
};

// Decodes into a surface of `type` whose rows lie `extraPitch` bytes further apart than they need.
inline void DecodeInto(Draw::IGraphicLoader& loader, int w, int h, std::int32_t type, int extraPitch = 0)
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

} // namespace image_fuzz
