#include "sdk/draw/graphic_loader.h"

#include "sdk/auxiliary/lzss.h"
#include "sdk/draw/dib_bitmap.h"
#include "sdk/draw/kernels/operation_codes.h"
#include "sdk/draw/kernels/row_convert.h"
#include "sdk/draw/surface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace zelvoranGameSDK3rd::Draw {
namespace {

// The file header and the 40-byte information header that every accepted and every written BMP has.
constexpr std::uint32_t kBmpHeadersSize = platform::kBmpFileHeaderSize + platform::kBmpInfoHeaderSize;
constexpr std::uint32_t kPluginHeadSize = 2048;
constexpr char kZgaMagic[4] = {'z', 'g', 'a', '\0'};
// The fields of the image file's header after its magic, little-endian 32-bit each.
constexpr std::size_t kZgaWidthField = 4;
constexpr std::size_t kZgaHeightField = 8;
constexpr std::size_t kZgaPackedField = 12;  // 1 when the pixels are packed
constexpr std::size_t kZgaRawSizeField = 16; // the unpacked pixels' size
constexpr std::size_t kZgaStoredSizeField = 20;

// The palette of an 8-bit display: the first and the last ten entries are the system's static colours;
// the 236 between them take the picture's colours.
constexpr int kStaticColors = 10;
constexpr int kPictureColors = 256 - 2 * kStaticColors;
constexpr int kUpperStaticColors = kStaticColors + kPictureColors; // 246

using platform::ReadI32;
using platform::ReadU16;
using platform::ReadU32;
using platform::WriteU16;
using platform::WriteU32;

// A surface type whose rows the converter can read: its source format, or -1.
std::int32_t ReadableRowFormat(std::int32_t type)
{
    const std::int32_t format = RowFormatOf(type);
    return format >= 0 && format < kRowFormatCount && type != kPixelUnused9 ? format : -1;
}

struct SZgaHeader
{
    std::int32_t width;
    std::int32_t height;
    std::uint32_t packed;
    std::uint32_t rawSize;
};

// Within the one limit every decoded picture keeps.
bool WithinImageLimit(long long width, long long height)
{
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

SZgaHeader ReadZgaHeader(const std::uint8_t* p)
{
    return {ReadI32(p + kZgaWidthField), ReadI32(p + kZgaHeightField), ReadU32(p + kZgaPackedField),
            ReadU32(p + kZgaRawSizeField)};
}

// What a writer writes of a surface: the rectangle cut to the surface, its size, and how its rows read.
struct SWriteArea
{
    RECT rect;
    long long width;
    long long height;
    std::int32_t format; // the rows' source format for the row converter; -1 when no converter reads them
    int bytes;           // per pixel

    const std::uint8_t* Row(const CSurfaceInfo& info, long long y) const
    {
        return info.pixels + (rect.top + y) * info.pitch + static_cast<long long>(rect.left) * bytes;
    }
};

// False when the cut rectangle is empty or the surface has no pixels.
bool AreaToWrite(const CSurfaceInfo& info, const RECT* rect, SWriteArea& area)
{
    info.ClipRect(rect, &area.rect);
    area.width = static_cast<long long>(area.rect.right) - area.rect.left;
    area.height = static_cast<long long>(area.rect.bottom) - area.rect.top;
    area.format = ReadableRowFormat(info.type);
    area.bytes = info.GetBytesPerPixel();
    return area.width > 0 && area.height > 0 && info.valid && info.pixels;
}

} // namespace

ZTL::smart_ptr<ZTL::factory_base> GraphicLoaderFactory(new ZTL::factory_i2<IGraphicLoader, CGraphicLoader>);
ZTL::string SpiFolder = "SPI";

ZTL::smart_ptr<IGraphicLoader> CreateGraphicLoader()
{
    ZTL::smart_ptr<IGraphicLoader> loader;
    if (GraphicLoaderFactory) {
        if (auto* made = static_cast<IGraphicLoader*>(GraphicLoaderFactory->create())) loader.add(made);
    }
    return loader;
}

int CGraphicLoader::Load(Auxiliary::IFile& source)
{
    Release();
    m_file = &source;
    if (LoadBMP(source) == 0 || LoadZGA(source) == 0 || LoadOLE(source) == 0 || LoadSPI(source) == 0)
        return 0;
    return 1;
}

int CGraphicLoader::LoadBMP(Auxiliary::IFile& source)
{
    m_file = &source;
    const auto* memory = static_cast<const std::uint8_t*>(source.GetMemory());
    const std::uint32_t size = source.GetSize();
    if (!memory || size < kBmpHeadersSize || memory[0] != 'B' || memory[1] != 'M') return 1;
    m_bmpFile = memory;
    m_bmpInfo = memory + platform::kBmpFileHeaderSize;
    // The offset is only recorded here; every use checks it against the file's length.
    m_bmpBits = memory + std::min<std::uint32_t>(ReadU32(memory + platform::kBmpBitsOffsetField), size);
    return 0;
}

int CGraphicLoader::LoadZGA(Auxiliary::IFile& source)
{
    m_file = &source;
    ZTL::string suffix = Auxiliary::CFile::GetSuffix(source.GetName());
    Auxiliary::StringToLower(suffix);
    if (suffix.compare("zga") != 0) return 1;
    const auto* memory = static_cast<const std::uint8_t*>(source.GetMemory());
    const std::uint32_t size = source.GetSize();
    if (!memory || size < kZgaHeaderSize || std::memcmp(memory, kZgaMagic, 4) != 0) return 2;
    // The header must describe a picture that can be had, and the file must hold what it claims.
    const SZgaHeader header = ReadZgaHeader(memory);
    if (!WithinImageLimit(header.width, header.height)) return 2;
    const std::uint64_t raw = static_cast<std::uint64_t>(header.width) * header.height * 4;
    const std::uint64_t stored = size - kZgaHeaderSize;
    if (header.packed) {
        // A raw size beyond what an LZSS stream of the bytes at hand can give cannot come out of them.
        if (header.rawSize != raw || raw > stored * Auxiliary::CLZSS::kMaxExpansion) return 2;
    } else if (stored < raw) {
        return 2;
    }
    m_zgaWidth = header.width;
    m_zgaHeight = header.height;
    m_zga = true;
    return 0;
}

int CGraphicLoader::LoadOLE(Auxiliary::IFile& source)
{
    m_picture = platform::Picture::Decode(source.GetMemory(), source.GetSize());
    if (!m_picture) {
        Release();
        return 2;
    }
    return 0;
}

int CGraphicLoader::LoadSPI(Auxiliary::IFile& source)
{
    ZTL::string path = SpiFolder;
    path += "/if";
    path += source.GetNameSuffix();
    path += ".spi";
    path = Auxiliary::CFile::ResolvePath(path);
    // Plug-ins are shared libraries here: the ".spi" name is looked for as ".so".
    std::string host(path.c_str(), path.size());
    host.replace(host.size() - 4, 4, ".so");
    // A refused picture decoder has forgotten the file; the plug-in reads it again later.
    m_file = &source;
    m_plugin = platform::LoadLibrary(host);
    if (!m_plugin) return 1;
    m_isSupported =
        reinterpret_cast<ImagePluginIsSupported>(platform::GetLibrarySymbol(m_plugin, "IsSupported"));
    m_getPictureInfo =
        reinterpret_cast<ImagePluginGetPictureInfo>(platform::GetLibrarySymbol(m_plugin, "GetPictureInfo"));
    m_getPicture =
        reinterpret_cast<ImagePluginGetPicture>(platform::GetLibrarySymbol(m_plugin, "GetPicture"));
    if (source.GetSize() < kPluginHeadSize) return 1;
    // A library without the three exports cannot decode anything.
    if (!m_isSupported || !m_getPictureInfo || !m_getPicture ||
        m_isSupported(nullptr, source.GetMemory()) == 0) {
        Release();
        return 1;
    }
    return 0;
}

bool CGraphicLoader::ViewBMP(platform::BitmapView& view) const
{
    return m_bmpFile && m_file && platform::ReadBitmapFile(m_bmpFile, m_file->GetSize(), view);
}

int CGraphicLoader::GetSize(int& w, int& h)
{
    if (m_bmpFile) {
        platform::BitmapView view;
        if (!ViewBMP(view)) return 1;
        w = view.width;
        h = view.height; // a top-down picture stores its height negated
        return 0;
    }
    if (m_zga) {
        w = m_zgaWidth;
        h = m_zgaHeight;
        return 0;
    }
    if (m_picture) {
        w = platform::MulDiv(m_picture->WidthHimetric(), platform::ScreenPixelsPerInchX(), 2540);
        h = platform::MulDiv(m_picture->HeightHimetric(), platform::ScreenPixelsPerInchY(), 2540);
        return 0;
    }
    if (m_plugin && m_getPictureInfo && m_file) {
        SImagePluginInfo info{};
        m_getPictureInfo(static_cast<const char*>(m_file->GetMemory()), m_file->GetSize(), 1, &info);
        w = info.width;
        h = info.height;
        // A plug-in reports what the file claims: held to the same limit as the built-in decoders.
        return WithinImageLimit(w, h) ? 0 : 1;
    }
    return 1;
}

int CGraphicLoader::DecodeInto(CSurfaceInfo& info)
{
    if (m_bmpFile) return DecodeBMP(info);
    if (m_zga) return DecodeZGA(info);
    return -1;
}

int CGraphicLoader::DecodeBMP(CSurfaceInfo& info)
{
    // The compression field lies inside the 54 bytes every accepted BMP has.
    if (ReadU32(m_bmpInfo + platform::kBmpInfoCompression) != platform::kBitmapRgb) return 2;
    platform::BitmapView view;
    if (!ViewBMP(view)) return 3;
    if (view.bitCount != 16 && view.bitCount != 24) return 3;
    if (!info.pixels) return 3;
    const std::int32_t format = RowFormatOf(view.bitCount == 16 ? kPixel555 : kPixelRGB888);
    const int columns = std::min(view.width, info.width), rows = std::min(view.height, info.height);
    for (int y = 0; y < rows; ++y) {
        const int stored = view.topDown ? y : view.height - 1 - y;
        ConvertPixelRow(info.type, info.pixels + static_cast<std::ptrdiff_t>(y) * info.pitch, columns,
                        view.bits + view.stride * stored, format);
    }
    return 0;
}

int CGraphicLoader::DecodeZGA(CSurfaceInfo& info)
{
    int w = 0, h = 0;
    if (GetSize(w, h) != 0 || !m_file) return -1;
    if (!info.pixels) return 3;
    const auto* memory = static_cast<const std::uint8_t*>(m_file->GetMemory());
    const std::uint32_t size = m_file->GetSize();
    const SZgaHeader header = ReadZgaHeader(memory);
    const std::uint8_t* data = memory + kZgaHeaderSize;
    const std::uint32_t stored = size - kZgaHeaderSize;
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
    auto convert = [&](const std::uint8_t* pixels) {
        const int columns = std::min(w, info.width), rows = std::min(h, info.height);
        for (int y = 0; y < rows; ++y) {
            ConvertPixelRow(info.type, info.pixels + static_cast<std::ptrdiff_t>(y) * info.pitch, columns,
                            pixels + rowBytes * y, RowFormatOf(kPixelARGB8888));
        }
    };
    if (!header.packed) {
        convert(data);
        return 0;
    }
    auto coder = std::make_unique<Auxiliary::CLZSS>();
    if (info.type == kPixelARGB8888 && info.pitch == w * 4 && info.width == w && info.height == h) {
        // The surface has the file's own layout: unpack straight into it.
        std::uint8_t* target = info.pixels;
        return coder->Decode(data, stored, target, header.rawSize, false) == 0 ? 0 : 3;
    }
    std::uint8_t* unpacked = nullptr;
    if (coder->Decode(data, stored, unpacked, header.rawSize, true) != 0) return 3;
    convert(unpacked);
    delete[] unpacked;
    return 0;
}

int CGraphicLoader::Render(HDC dc)
{
    if (!dc) return 1;
    if (m_bmpFile) {
        platform::BitmapView view;
        if (!ViewBMP(view)) return 1;
        return platform::DrawBitmap(*dc, 0, 0, view) > 0 ? 0 : 1;
    }
    int w = 0, h = 0;
    if (m_picture) {
        if (GetSize(w, h) != 0) return 1;
        return platform::DrawPicture(*dc, *m_picture, 0, 0, w, h) ? 0 : 1;
    }
    if (m_plugin && m_getPicture && m_file) {
        FreeSPIMemory();
        if (m_getPicture(static_cast<const char*>(m_file->GetMemory()), m_file->GetSize(), 1, &m_pluginInfo,
                         &m_pluginBits, nullptr, 0) != 0) {
            Release();
            return 1;
        }
        GetSize(w, h);
        platform::BitmapView view;
        int drawn = 0;
        if (platform::ReadBitmapBlocks(m_pluginInfo, m_pluginBits, view))
            drawn = platform::DrawBitmap(*dc, 0, 0, view);
        FreeSPIMemory();
        if (drawn == 0) {
            Release();
            return 1;
        }
        return 0;
    }
    return 1;
}

int CGraphicLoader::GetPalette(PALETTEENTRY palette[256])
{
    if (!m_bmpFile || !m_file) return 1;
    const std::uint32_t bitCount = ReadU16(m_bmpInfo + platform::kBmpInfoBitCount);
    if (bitCount > 8) return 2;
    for (int i = 0; i < kStaticColors; ++i) {
        palette[i] = {static_cast<std::uint8_t>(i), 0, 0, PC_EXPLICIT};
        palette[kUpperStaticColors + i] = {static_cast<std::uint8_t>(kUpperStaticColors + i), 0, 0,
                                           PC_EXPLICIT};
    }
    int colors = 0;
    switch (bitCount) {
    case 1:
        colors = 2;
        break;
    case 2:
        colors = 4;
        break;
    case 4:
        colors = 16;
        break;
    case 8:
        colors = kPictureColors;
        break;
    default:
        break;
    }
    // The colour table follows the 40-byte header; entries past the end of the file are not read.
    const std::uint8_t* table = m_bmpInfo + platform::kBmpInfoHeaderSize;
    const std::uint32_t available = (m_file->GetSize() - kBmpHeadersSize) / 4;
    for (int i = 0; i < kPictureColors; ++i) {
        PALETTEENTRY& entry = palette[kStaticColors + i];
        if (i < colors && static_cast<std::uint32_t>(i) < available) {
            const std::uint8_t* quad = table + 4 * i;
            entry = {quad[2], quad[1], quad[0], PC_RESERVED | PC_NOCOLLAPSE};
        } else {
            entry = {0, 0, 0, 0};
        }
    }
    return 0;
}

void CGraphicLoader::FreeSPIMemory()
{
    std::free(m_pluginBits);
    std::free(m_pluginInfo);
    m_pluginBits = nullptr;
    m_pluginInfo = nullptr;
}

int CGraphicLoader::Release()
{
    m_bmpFile = nullptr;
    m_bmpInfo = nullptr;
    m_bmpBits = nullptr;
    if (m_picture) {
        m_picture.reset();
        return 0;
    }
    if (m_plugin) platform::FreeLibrary(m_plugin);
    m_plugin = nullptr;
    m_isSupported = nullptr;
    m_getPictureInfo = nullptr;
    m_getPicture = nullptr;
    FreeSPIMemory();
    m_zga = false;
    m_zgaWidth = 0;
    m_zgaHeight = 0;
    m_file = nullptr;
    return 0;
}

int CSurfaceInfo::SaveBMP(const ZTL::string& name, const RECT* rect)
{
    SWriteArea area;
    if (!AreaToWrite(*this, rect, area)) return -1;
    const long long w = area.width, h = area.height;
    const std::uint64_t stride = (static_cast<std::uint64_t>(w) * 3 + 3) & ~std::uint64_t{3};
    const std::uint64_t total = kBmpHeadersSize + stride * static_cast<std::uint64_t>(h);
    if (total > 0xFFFFFFFFu) return 2;
    std::vector<std::uint8_t> image(total, 0);
    std::uint8_t* p = image.data();
    p[0] = 'B';
    p[1] = 'M';
    WriteU32(p + platform::kBmpFileSizeField, static_cast<std::uint32_t>(total));
    WriteU32(p + platform::kBmpBitsOffsetField, kBmpHeadersSize);
    std::uint8_t* header = p + platform::kBmpFileHeaderSize;
    WriteU32(header, platform::kBmpInfoHeaderSize);
    WriteU32(header + platform::kBmpInfoWidth, static_cast<std::uint32_t>(w));
    WriteU32(header + platform::kBmpInfoHeight, static_cast<std::uint32_t>(h));
    WriteU16(header + platform::kBmpInfoPlanes, 1);
    WriteU16(header + platform::kBmpInfoBitCount, 24);
    WriteU32(header + platform::kBmpInfoXPixelsPerMeter, platform::kBmpScreenPixelsPerMeter);
    WriteU32(header + platform::kBmpInfoYPixelsPerMeter, platform::kBmpScreenPixelsPerMeter);
    for (long long i = 0; i < h && area.format >= 0; ++i) {
        // The file's rows run bottom-up.
        ConvertPixelRow(kPixelRGB888, p + kBmpHeadersSize + stride * i, static_cast<std::int32_t>(w),
                        area.Row(*this, h - 1 - i), area.format);
    }
    Auxiliary::CFile writer;
    return writer.Write(name, image.data(), static_cast<std::uint32_t>(total));
}

int CSurfaceInfo::SaveZGA(const ZTL::string& name, const RECT* rect, bool pack)
{
    std::vector<std::uint8_t> image;
    const int encoded = EncodeZGA(image, rect, pack);
    if (encoded != 0) return encoded;
    Auxiliary::CFile writer;
    return writer.Write(name, image.data(), static_cast<std::uint32_t>(image.size()));
}

int CSurfaceInfo::EncodeZGA(std::vector<std::uint8_t>& image, const RECT* rect, bool pack)
{
    SWriteArea area;
    if (!AreaToWrite(*this, rect, area)) return -1;
    const long long w = area.width, h = area.height;
    const std::uint64_t rawSize = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) * 4;
    if (rawSize + kZgaHeaderSize > 0xFFFFFFFFu) return 2;

    // A whole ARGB8888 surface whose rows lie back to back is the file's pixel data as it stands.
    const std::uint8_t* raw = pixels;
    std::vector<std::uint8_t> converted;
    const RECT& r = area.rect;
    const bool whole = r.left == 0 && r.top == 0 && r.right == width && r.bottom == height;
    if (!(whole && type == kPixelARGB8888 && pitch == w * 4)) {
        converted.assign(rawSize, 0);
        for (long long y = 0; y < h && area.format >= 0; ++y) {
            ConvertPixelRow(kPixelARGB8888, converted.data() + y * w * 4, static_cast<std::int32_t>(w),
                            area.Row(*this, y), area.format);
        }
        raw = converted.data();
    }

    std::uint8_t* packed = nullptr;
    std::uint32_t packedSize = 0;
    if (pack) {
        auto coder = std::make_unique<Auxiliary::CLZSS>();
        if (coder->Encode(raw, packed, static_cast<std::uint32_t>(rawSize), packedSize, true) != 0) {
            delete[] packed;
            packed = nullptr;
        }
    }
    const std::uint32_t storedSize = packed ? packedSize : static_cast<std::uint32_t>(rawSize);
    image.assign(kZgaHeaderSize + storedSize, 0);
    std::memcpy(image.data(), kZgaMagic, 4);
    WriteU32(image.data() + kZgaWidthField, static_cast<std::uint32_t>(w));
    WriteU32(image.data() + kZgaHeightField, static_cast<std::uint32_t>(h));
    WriteU32(image.data() + kZgaPackedField, packed ? 1 : 0);
    WriteU32(image.data() + kZgaRawSizeField, static_cast<std::uint32_t>(rawSize));
    WriteU32(image.data() + kZgaStoredSizeField, storedSize);
    std::memcpy(image.data() + kZgaHeaderSize, packed ? packed : raw, storedSize);
    delete[] packed;
    return 0;
}

int ISurface::SaveBMP(const ZTL::string& name)
{
    return GetSurfaceInfo()->SaveBMP(name, nullptr);
}

int ISurface::SaveZGA(const ZTL::string& name)
{
    return GetSurfaceInfo()->SaveZGA(name, nullptr, false);
}

int LoadImageIntoSurface(ISurface& surface, const ZTL::string& name, std::int32_t type)
{
    Auxiliary::CFile file;
    if (file.Read(name) != Auxiliary::CFile::kReadOk) return kLoadImageUnreadable;
    ZTL::smart_ptr<IGraphicLoader> loader = CreateGraphicLoader();
    if (!loader || loader->Load(file) != 0) return kLoadImageNoDecoder;
    if (loader->IsZGA()) type = ToAlphaPixelType(type);
    int w = 0, h = 0;
    if (loader->GetSize(w, h) != 0 || surface.CreateSurfaceOfType(w, h, type) != 0)
        return kLoadImageNoSurface;
    CSurfaceInfo* info = surface.GetSurfaceInfo();
    int decoded;
    {
        CSurfaceLockGuard lock(info);
        decoded = lock.Failed() ? -1 : loader->DecodeInto(*info);
    }
    if (decoded == 0) return kLoadImageOk;
    CDIBitmap bitmap;
    if (bitmap.CreateDIB(w, h, 24, false) != 0) return kLoadImageNoBitmap;
    if (loader->Render(bitmap.GetDC()) != 0) {
        surface.Clear(nullptr);
        return kLoadImageDrawFailed;
    }
    SBltInfo whole;
    return surface.Blt(kBltCopy, bitmap.GetSurfaceInfo(), &whole, nullptr);
}

} // namespace zelvoranGameSDK3rd::Draw
