#pragma once
// Turning the bytes of an image file into pixels. Four kinds are tried in order: a BMP, the SDK's own
// 32-bit image file ("zga"), a picture in a common compressed format (JPEG, GIF), and whatever an image
// plug-in library accepts. Uncompressed 16- and 24-bit BMPs and zga files decode straight into a locked
// surface; everything else is drawn into a bitmap through a drawing context. Also the two writers of a
// surface: 24-bit BMP files and zga files (optionally LZSS-packed).

#include "platform/bmp.h"
#include "platform/host/library.h"
#include "platform/host/media/picture.h"
#include "sdk/auxiliary/file.h"
#include "sdk/draw/font.h"
#include "sdk/draw/image_plugin.h"
#include "sdk/draw/surface_info.h"
#include "sdk/ztl/factory.h"
#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <memory>

namespace zelvoranGameSDK3rd::Draw {

class ISurface;

// One entry of a logical palette: red, green, blue and flags.
struct PALETTEENTRY
{
    std::uint8_t peRed;
    std::uint8_t peGreen;
    std::uint8_t peBlue;
    std::uint8_t peFlags;
};
inline constexpr std::uint8_t PC_RESERVED = 0x01;
inline constexpr std::uint8_t PC_EXPLICIT = 0x02;
inline constexpr std::uint8_t PC_NOCOLLAPSE = 0x04;

// The SDK image file: a 24-byte header and width × height ARGB8888 pixels, rows top to bottom.
inline constexpr std::uint32_t kZgaHeaderSize = 24;
// The largest picture decoded, whatever its kind: a side, and all its pixels (a plug-in's size too).
inline constexpr std::int32_t kMaxImageSide = platform::kMaxBitmapSide;
inline constexpr long long kMaxImagePixels = platform::kMaxBitmapPixels;

class IGraphicLoader
{
public:
    // 0 when one of the decoders accepted the file, 1 when none did. The file must stay alive and
    // unchanged while the loader holds its image.
    virtual int Load(Auxiliary::IFile& file) = 0;
    // 0 and the size in pixels; 1 when nothing (usable) is loaded.
    virtual int GetSize(int& width, int& height) = 0;
    // True when the loaded image is a zga file (its pixels carry alpha).
    virtual bool IsZGA() = 0;
    // Draws the image at (0, 0) at its own size: 0 done, 1 failed.
    virtual int Render(HDC dc) = 0;
    // Decodes a BMP or zga into a locked surface: 0 done, -1 another kind of image, 2 compressed BMP,
    // 3 unsupported bit count, broken data or unpacking failure.
    virtual int DecodeInto(CSurfaceInfo& info) = 0;
    virtual int Release() = 0;
    // A palette for an 8-bit display from a palettised BMP: 0 done, 1 no BMP, 2 more than 8 bits.
    virtual int GetPalette(PALETTEENTRY palette[256]) = 0;
    virtual ~IGraphicLoader() = default;
};

class CGraphicLoader : public IGraphicLoader
{
public:
    CGraphicLoader() = default;
    ~CGraphicLoader() override { Release(); }
    CGraphicLoader(const CGraphicLoader&) = delete;
    CGraphicLoader& operator=(const CGraphicLoader&) = delete;

    int Load(Auxiliary::IFile& file) override;
    int GetSize(int& width, int& height) override;
    bool IsZGA() override { return m_zga; }
    int Render(HDC dc) override;
    int DecodeInto(CSurfaceInfo& info) override;
    int Release() override;
    int GetPalette(PALETTEENTRY palette[256]) override;

    // Each returns 0 when it accepts the file.
    virtual int LoadBMP(Auxiliary::IFile& file);
    // 1 the name's suffix is not "zga"; 2 not a zga file (magic), or its header does not fit the file.
    virtual int LoadZGA(Auxiliary::IFile& file);
    // 2 the bytes are no picture.
    virtual int LoadOLE(Auxiliary::IFile& file);
    // 1 no plug-in library, a file shorter than 2048 bytes, or the plug-in does not support it.
    virtual int LoadSPI(Auxiliary::IFile& file);
    virtual int DecodeBMP(CSurfaceInfo& info);
    virtual int DecodeZGA(CSurfaceInfo& info);
    virtual void FreeSPIMemory();

private:
    // The checked view of the held BMP; false when its headers, palette or pixels do not fit the file.
    bool ViewBMP(platform::BitmapView& view) const;

    const std::uint8_t* m_bmpFile = nullptr;
    const std::uint8_t* m_bmpInfo = nullptr;
    const std::uint8_t* m_bmpBits = nullptr;
    bool m_zga = false;
    std::int32_t m_zgaWidth = 0;
    std::int32_t m_zgaHeight = 0;
    std::unique_ptr<platform::Picture> m_picture;
    platform::LibraryHandle m_plugin = nullptr;
    ImagePluginIsSupported m_isSupported = nullptr;
    ImagePluginGetPictureInfo m_getPictureInfo = nullptr;
    ImagePluginGetPicture m_getPicture = nullptr;
    Auxiliary::IFile* m_file = nullptr;
    void* m_pluginBits = nullptr;
    void* m_pluginInfo = nullptr;
};

// Makes graphic loaders; the installed factory decides which class every new loader has. Its creation
// slot returns an IGraphicLoader.
extern ZTL::smart_ptr<ZTL::factory_base> GraphicLoaderFactory;
// The folder of the image plug-in libraries, relative to the current folder.
extern ZTL::string SpiFolder;

// A new loader from the installed factory; empty when it makes none.
ZTL::smart_ptr<IGraphicLoader> CreateGraphicLoader();

// Results of LoadImageIntoSurface; a load that copies through a bitmap may also answer the copy's result.
inline constexpr int kLoadImageOk = 0;
inline constexpr int kLoadImageUnreadable = -1; // the file cannot be read
inline constexpr int kLoadImageNoDecoder = -2;  // no decoder accepts it
inline constexpr int kLoadImageNoSurface = -3;  // the surface cannot be made
inline constexpr int kLoadImageNoBitmap = -4;   // the bitmap cannot be made
inline constexpr int kLoadImageDrawFailed = -5; // drawing failed (the surface is cleared)

// Loads an image file into a surface: read, decode straight in, or draw through a 24-bit bitmap and copy
// with conversion.
int LoadImageIntoSurface(ISurface& surface, const ZTL::string& name, std::int32_t type);

} // namespace zelvoranGameSDK3rd::Draw
