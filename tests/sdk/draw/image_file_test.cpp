// The graphic loader (BMP, zga, pictures, plug-ins), loading into planes, and the BMP and zga writers.
#include "memory_surface.h"

#include "sdk/draw/dib_bitmap.h"
#include "sdk/draw/graphic_loader.h"
#include "sdk/draw/surface.h"

#include "support/image_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace Draw = zelvoranGameSDK3rd::Draw;
namespace Auxiliary = zelvoranGameSDK3rd::Auxiliary;
namespace ZTL = zelvoranGameSDK3rd::ZTL;
using test_support::Bytes;
using test_support::Get32;
using test_support::MakeBmp;
using test_support::Put16;
using test_support::Put32;

Bytes Palette(std::initializer_list<std::uint32_t> colors)
{
    return test_support::PaletteOfPacked(colors, false);
}

Bytes MakeZga(std::int32_t w, std::int32_t h, std::uint32_t packed, std::uint32_t rawSize, const Bytes& data,
              const char* magic = "zga")
{
    Bytes file(24);
    std::memcpy(file.data(), magic, 4);
    Put32(file, 4, static_cast<std::uint32_t>(w));
    Put32(file, 8, static_cast<std::uint32_t>(h));
    Put32(file, 12, packed);
    Put32(file, 16, rawSize);
    Put32(file, 20, static_cast<std::uint32_t>(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

using MemorySurface = draw_test::CMemorySurface;
using draw_test::ExpectWords;
using draw_test::Word;

class ImageFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_ =
            std::filesystem::path(::testing::TempDir()) /
            ("image_file_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    ZTL::string Path(const std::string& name) const { return (folder_ / name).string().c_str(); }
    ZTL::string Write(const std::string& name, const Bytes& bytes) const
    {
        std::ofstream(folder_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return Path(name);
    }
    // Writes the file and hands it to the test's loader: the loader's answer.
    int Load(const std::string& name, const Bytes& bytes)
    {
        EXPECT_EQ(file_.Read(Write(name, bytes)), 0) << name;
        return loader_.Load(file_);
    }
    // Writes the file and loads it into the plane as XRGB8888.
    int LoadInto(Draw::ISurface& plane, const std::string& name, const Bytes& bytes)
    {
        return Draw::LoadImageIntoSurface(plane, Write(name, bytes), Draw::kPixelXRGB8888);
    }
    Bytes ReadBack(const std::string& name) const
    {
        std::ifstream in(folder_ / name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path folder_;
    Auxiliary::CFile file_;
    Draw::CGraphicLoader loader_;
};

// A plane of that size and type whose pixel (x, y) is f(x, y).
template <class F> void Paint(MemorySurface& plane, int w, int h, int type, F f)
{
    ASSERT_EQ(plane.CreateSurfaceOfType(w, h, type), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            plane.SetWord(x, y, f(x, y));
}

// The little-endian words of `file` at the given offsets.
void ExpectWords(const Bytes& file, std::initializer_list<std::pair<std::size_t, std::uint32_t>> words)
{
    for (auto [at, value] : words)
        EXPECT_EQ(Get32(file, at), value) << "at " << at;
}

TEST_F(ImageFileTest, SaveBmpWritesTheBottomRowFirst)
{
    MemorySurface plane;
    Paint(plane, 5, 2, Draw::kPixelXRGB8888, [](int x, int y) { return 0x00102030u + (y << 16) + x; });
    Draw::CSurfaceInfo* info = plane.GetSurfaceInfo();
    ASSERT_EQ(info->SaveBMP(Path("out.bmp"), nullptr), 0);
    const Bytes file = ReadBack("out.bmp");
    ASSERT_EQ(file.size(), 86u);
    EXPECT_EQ(file[0] | file[1] << 8, 'B' | 'M' << 8);
    ExpectWords(file, {{2, 86}, {10, 54}, {14, 40}, {18, 5}, {22, 2}, {38, 3780}, {42, 3780}});
    EXPECT_EQ(file[28], 24);
    // Row 1 of the plane (red 0x11) first, then row 0 (red 0x10); stride 16.
    EXPECT_EQ(file[54 + 0], 0x30); // blue of (0, 1)
    EXPECT_EQ(file[54 + 2], 0x11);
    EXPECT_EQ(file[54 + 12], 0x34); // blue of (4, 1)
    EXPECT_EQ(file[70 + 2], 0x10);

    // The surface's own writer is the whole surface's.
    ASSERT_EQ(plane.SaveBMP(Path("whole.bmp")), 0);
    EXPECT_EQ(ReadBack("whole.bmp"), file);

    const Draw::RECT empty{3, 0, 3, 2};
    EXPECT_EQ(info->SaveBMP(Path("none.bmp"), &empty), -1);
    const Draw::RECT beyond{1, -5, 100, 1}; // clipped to 4 × 1
    ASSERT_EQ(info->SaveBMP(Path("part.bmp"), &beyond), 0);
    const Bytes part = ReadBack("part.bmp");
    EXPECT_EQ(part.size(), 54u + 12u);
    EXPECT_EQ(part[54], 0x31);

    plane.Release();
    EXPECT_EQ(info->SaveBMP(Path("gone.bmp"), nullptr), -1);
}

TEST_F(ImageFileTest, SmallZgaIsWrittenUnpackedEvenWhenPackingIsAsked)
{
    const std::uint32_t pixels[4] = {0x80FF0000, 0x0000FF00, 0xFF0000FF, 0x12345678};
    MemorySurface plane;
    Paint(plane, 2, 2, Draw::kPixelARGB8888, [&](int x, int y) { return pixels[y * 2 + x]; });
    for (bool pack : {false, true}) {
        ASSERT_EQ(plane.GetSurfaceInfo()->SaveZGA(Path("small.zga"), nullptr, pack), 0);
        const Bytes file = ReadBack("small.zga");
        ASSERT_EQ(file.size(), 40u);
        EXPECT_EQ(std::memcmp(file.data(), "zga", 4), 0);
        ExpectWords(file, {{4, 2}, {8, 2}, {12, 0}, {16, 16}, {20, 16}});
        EXPECT_EQ(std::memcmp(file.data() + 24, pixels, 16), 0);
    }
    // Read back into a plane: the requested opaque type becomes its alpha counterpart.
    MemorySurface back;
    ASSERT_EQ(Draw::LoadImageIntoSurface(back, Path("small.zga"), Draw::kPixelXRGB8888), 0);
    EXPECT_EQ(back.GetPixelType(), Draw::kPixelARGB8888);
    EXPECT_EQ(std::memcmp(back.memory.data(), pixels, 16), 0);
}

TEST_F(ImageFileTest, PackedZgaRoundTripsStraightAndThroughConversion)
{
    MemorySurface plane;
    Paint(plane, 16, 12, Draw::kPixelARGB8888,
          [](int x, int y) { return (x < 8 ? 0xFF000000u : 0x40000000u) | (y << 4) | (x / 4); });
    ASSERT_EQ(plane.GetSurfaceInfo()->SaveZGA(Path("packed.zga"), nullptr, true), 0);
    const Bytes file = ReadBack("packed.zga");
    ExpectWords(file, {{12, 1}, {16, 16u * 12 * 4}, {20, std::uint32_t(file.size() - 24)}});
    EXPECT_LT(file.size(), 24u + 16 * 12 * 4);

    MemorySurface straight; // type 12 with pitch w × 4: unpacked into the plane's own memory
    ASSERT_EQ(Draw::LoadImageIntoSurface(straight, Path("packed.zga"), Draw::kPixelXRGB8888), 0);
    EXPECT_EQ(straight.memory, plane.memory);

    MemorySurface converted; // A565: unpacked into a buffer and converted row by row
    ASSERT_EQ(Draw::LoadImageIntoSurface(converted, Path("packed.zga"), Draw::kPixel565), 0);
    EXPECT_EQ(converted.GetPixelType(), Draw::kPixelA565);
    EXPECT_EQ(Word(converted, 9, 3) & 0xFFFFFF,
              0x040000u | (0x32 >> 3)); // alpha 0x40 >> 4; blue 0x32, no red or green

    // A rectangle of an opaque plane is converted to ARGB8888 with opaque alpha.
    MemorySurface opaque(3, 3, Draw::kPixelRGB888, 0x22);
    const Draw::RECT corner{1, 1, 3, 3};
    ASSERT_EQ(opaque.GetSurfaceInfo()->SaveZGA(Path("corner.zga"), &corner, false), 0);
    const Bytes cornerFile = ReadBack("corner.zga");
    ASSERT_EQ(cornerFile.size(), 24u + 16);
    EXPECT_EQ(Get32(cornerFile, 24), 0xFF222222u);
}

TEST_F(ImageFileTest, ZgaReaderRefusesHeadersThatDoNotFitTheFile)
{
    const Bytes pixels(16, 0x55);
    struct Case
    {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {
        {"wrong magic", MakeZga(2, 2, 0, 16, pixels, "Zga")},
        {"packed raw size not w*h*4", MakeZga(2, 2, 1, 1 << 30, pixels)},
        {"packed raw size more than the stream can hold", MakeZga(100, 100, 1, 40000, Bytes{0xFF, 1, 2})},
        {"unpacked shorter than the header says", MakeZga(2, 3, 0, 24, pixels)},
        {"zero width", MakeZga(0, 2, 0, 0, pixels)},
        {"negative height", MakeZga(2, -2, 0, 16, pixels)},
        {"too large", MakeZga(0x10000, 0x10000, 1, 0, pixels)},
        {"short header", Bytes{'z', 'g', 'a', 0, 2, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(file_.Read(Write("bad.zga", c.bytes)), 0) << c.what;
        EXPECT_EQ(loader_.LoadZGA(file_), 2) << c.what;
        EXPECT_EQ(loader_.Load(file_), 1) << c.what;
    }
    EXPECT_EQ(Load("good.ZGA", MakeZga(2, 2, 0, 16, pixels)), 0);
    EXPECT_TRUE(loader_.IsZGA());
    int w = 0, h = 0;
    EXPECT_EQ(loader_.GetSize(w, h), 0);
    EXPECT_EQ(std::pair(w, h), std::pair(2, 2));
    // The same bytes under another suffix are not a zga file.
    ASSERT_EQ(file_.Read(Write("good.bin", MakeZga(2, 2, 0, 16, pixels))), 0);
    EXPECT_EQ(loader_.LoadZGA(file_), 1);
    EXPECT_EQ(loader_.Load(file_), 1);
    // A packed stream that does not unpack to the raw size.
    ASSERT_EQ(Load("broken.zga", MakeZga(2, 2, 1, 16, Bytes{0xFF, 1, 2})), 0);
    MemorySurface plane(2, 2, Draw::kPixelARGB8888);
    EXPECT_EQ(loader_.DecodeInto(plane.Info()), 3);
}

TEST_F(ImageFileTest, BmpAcceptanceByLength)
{
    Bytes bm = {'B', 'M'};
    bm.resize(53);
    ASSERT_EQ(file_.Read(Write("short.bmp", bm)), 0);
    EXPECT_EQ(loader_.LoadBMP(file_), 1);
    bm.push_back(0);
    ASSERT_EQ(file_.Read(Write("short.bmp", bm)), 0);
    EXPECT_EQ(loader_.LoadBMP(file_), 0);
    // Accepted, but it describes no picture: no size, nothing decoded or drawn.
    int w = 0, h = 0;
    EXPECT_EQ(loader_.GetSize(w, h), 1);
    Draw::CDIBitmap bitmap;
    ASSERT_EQ(bitmap.CreateDIB(2, 2, 24, false), 0);
    EXPECT_EQ(loader_.Render(bitmap.GetDC()), 1);
    EXPECT_EQ(loader_.DecodeInto(*bitmap.GetSurfaceInfo()), 3);
    EXPECT_EQ(bitmap.Load(Path("short.bmp"), 24), 2); // loaded, but no size
    MemorySurface plane;
    EXPECT_EQ(Draw::LoadImageIntoSurface(plane, Path("short.bmp"), Draw::kPixelXRGB8888), -3);
    EXPECT_EQ(Draw::LoadImageIntoSurface(plane, Path("missing.bmp"), Draw::kPixelXRGB8888), -1);
    EXPECT_EQ(Draw::LoadImageIntoSurface(plane, "//x", Draw::kPixelXRGB8888), -1); // a network name, no share
}

TEST_F(ImageFileTest, UncompressedSixteenAndTwentyFourBitBmpsDecodeStraightIn)
{
    // 3 × 2 at 24 bits: rows of 9 bytes padded to 12, bottom row first.
    Bytes bits24(24, 0);
    for (int i = 0; i < 9; ++i) {
        bits24[i] = std::uint8_t(0x10 + i);      // bottom row
        bits24[12 + i] = std::uint8_t(0x40 + i); // top row
    }
    ASSERT_EQ(Load("a.bmp", MakeBmp(3, 2, 24, 0, {}, bits24)), 0);
    MemorySurface plane(3, 2, Draw::kPixelXRGB8888);
    ASSERT_EQ(loader_.DecodeInto(*plane.GetSurfaceInfo()), 0);
    ExpectWords(plane, {{0, 0, 0x00424140}, {2, 0, 0x00484746}, {2, 1, 0x00181716}});

    // 3 × 2 at 16 bits (5-5-5): rows of 6 bytes padded to 8; a negative height runs top-down.
    Bytes bits16(16, 0);
    Put16(bits16, 0, 0x7C00);  // top-left red
    Put16(bits16, 12, 0x001F); // bottom-right blue
    ASSERT_EQ(Load("b.bmp", MakeBmp(3, -2, 16, 0, {}, bits16)), 0);
    int w = 0, h = 0;
    ASSERT_EQ(loader_.GetSize(w, h), 0);
    EXPECT_EQ(h, 2);
    ASSERT_EQ(loader_.DecodeInto(plane.Info()), 0);
    ExpectWords(plane, {{0, 0, 0x00F80000}, {2, 1, 0x000000F8}});
}

TEST_F(ImageFileTest, PalettisedAndRunLengthBmpsGoThroughTheBitmap)
{
    MemorySurface plane(4, 1, Draw::kPixelXRGB8888);
    const Bytes eight = MakeBmp(4, 1, 8, 0, Palette({0x000000, 0xFF0000, 0x00FF00}), {1, 2, 0, 1}, 3);
    ASSERT_EQ(Load("p8.bmp", eight), 0);
    EXPECT_EQ(loader_.DecodeInto(*plane.GetSurfaceInfo()), 3);
    const Bytes rle = MakeBmp(4, 1, 8, 1, Palette({0x000000, 0xFF0000, 0x00FF00}), {2, 1, 2, 2, 0, 1}, 3);
    ASSERT_EQ(Load("rle.bmp", rle), 0);
    EXPECT_EQ(loader_.DecodeInto(*plane.GetSurfaceInfo()), 2);

    struct Case
    {
        const char* name;
        Bytes bytes;
        std::uint32_t expected[4];
    };
    const Case cases[] = {
        {"p1.bmp",
         MakeBmp(4, 1, 1, 0, Palette({0x0000FF, 0xFFFFFF}), {0b01100000, 0, 0, 0}, 2),
         {0x0000FF, 0xFFFFFF, 0xFFFFFF, 0x0000FF}},
        {"p4.bmp",
         MakeBmp(4, 1, 4, 0, Palette({0, 0xFF0000, 0x00FF00, 0x0000FF}), {0x12, 0x30, 0, 0}, 4),
         {0xFF0000, 0x00FF00, 0x0000FF, 0}},
        {"p8.bmp", eight, {0xFF0000, 0x00FF00, 0, 0xFF0000}},
        {"rle.bmp", rle, {0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00}},
    };
    for (const Case& c : cases) {
        MemorySurface loaded;
        ASSERT_EQ(LoadInto(loaded, c.name, c.bytes), 0) << c.name;
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Word(loaded, x, 0) & 0xFFFFFF, c.expected[x]) << c.name << " " << x;
    }
    // The bitmap path also serves Load of a DIB bitmap.
    Draw::CDIBitmap bitmap;
    EXPECT_EQ(bitmap.Load(Path("p4.bmp"), 24), 0);
    EXPECT_EQ(bitmap.Load(Path("missing.bmp"), 24), 1);
}

TEST_F(ImageFileTest, PaletteForAnEightBitDisplay)
{
    Draw::PALETTEENTRY palette[256];
    EXPECT_EQ(loader_.GetPalette(palette), 1);
    ASSERT_EQ(Load("p4.bmp", MakeBmp(2, 1, 4, 0, Palette({0x112233, 0x445566}), {0x01, 0, 0, 0}, 2)), 0);
    ASSERT_EQ(loader_.GetPalette(palette), 0);
    EXPECT_EQ(palette[3].peRed, 3);
    EXPECT_EQ(palette[3].peFlags, Draw::PC_EXPLICIT);
    EXPECT_EQ(palette[250].peRed, 250);
    EXPECT_EQ(palette[10].peRed << 16 | palette[10].peGreen << 8 | palette[10].peBlue, 0x112233);
    EXPECT_EQ(palette[10].peFlags, Draw::PC_RESERVED | Draw::PC_NOCOLLAPSE);
    EXPECT_EQ(palette[11].peRed, 0x44);
    // 16 entries are read for 4 bits; this file ends after the pixels, so what lies past it stays black.
    EXPECT_EQ(palette[30].peFlags, 0);
    EXPECT_EQ(palette[245].peRed, 0);

    ASSERT_EQ(Load("t.bmp", MakeBmp(1, 1, 24, 0, {}, {1, 2, 3, 0})), 0);
    EXPECT_EQ(loader_.GetPalette(palette), 2);
}

TEST_F(ImageFileTest, JpegAndGifPicturesLoadThroughTheBitmap)
{
    MemorySurface jpeg;
    ASSERT_EQ(LoadInto(jpeg, "p.jpg", test_support::MakeJpeg(24, 16, {0, 255, 0}, {0, 255, 0})), 0);
    EXPECT_EQ(draw_test::SizeOf(jpeg), std::pair(24, 16));
    const std::uint32_t c = Word(jpeg, 12, 8);
    EXPECT_GT((c >> 8) & 0xFF, 0xF0u);
    EXPECT_LT((c >> 16) & 0xFF, 0x10u);

    MemorySurface gif;
    ASSERT_EQ(
        LoadInto(gif, "p.gif", test_support::MakeGif({2, 1, 0, 0, 2, 1, {{255, 0, 0}, {0, 0, 255}}, {0, 1}})),
        0);
    ExpectWords(gif, {{0, 0, 0xFF0000}, {1, 0, 0x0000FF}}, 0xFFFFFF);

    ASSERT_EQ(file_.Read(Path("p.gif")), 0);
    ASSERT_EQ(loader_.Load(file_), 0);
    EXPECT_FALSE(loader_.IsZGA());
    MemorySurface plane(2, 1, Draw::kPixelXRGB8888);
    EXPECT_EQ(loader_.DecodeInto(plane.Info()), -1);
    EXPECT_EQ(loader_.Release(), 0);
    int w = 0, h = 0;
    EXPECT_EQ(loader_.GetSize(w, h), 1);
}

// Bytes written as hexadecimal pairs separated by spaces.
Bytes FromHex(const char* text)
{
    Bytes bytes;
    for (const char* p = text; *p != '\0'; p += p[2] == ' ' ? 3 : 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(std::string(p, 2), nullptr, 16)));
    return bytes;
}

// A JPEG whose frame header claims `width` × `height`; nothing after the header needs to fit.
Bytes JpegClaiming(int width, int height)
{
    Bytes jpeg = test_support::MakeJpeg(8, 8, {0, 0, 0}, {0, 0, 0});
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) { // start of frame: length, precision, height, width
            jpeg[i + 5] = std::uint8_t(height >> 8), jpeg[i + 6] = std::uint8_t(height);
            jpeg[i + 7] = std::uint8_t(width >> 8), jpeg[i + 8] = std::uint8_t(width);
            break;
        }
    }
    return jpeg;
}

TEST_F(ImageFileTest, PicturesClaimingMoreThanTheLimitAreRefusedBeforeAnyPlaneIsMade)
{
    // A handful of bytes each, claiming 16384 × 16384 pixels.
    const Bytes rle8 =
        FromHex("42 4d 40 00 00 00 00 00 00 00 3e 00 00 00 28 00 00 00 00 40 00 00 00 40 00 00 01 00 "
                "08 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                "00 00 ff ff ff 00 00 01");
    const Bytes gif =
        FromHex("47 49 46 38 39 61 00 40 00 40 80 00 00 ff ff ff 00 00 00 2c 00 00 00 00 01 00 01 00 "
                "00 02 02 44 01 00 3b");
    const struct
    {
        const char* name;
        Bytes bytes;
    } cases[] = {{"bomb.bmp", rle8},
                 {"bomb.gif", gif},
                 {"bomb.jpg", JpegClaiming(16384, 16384)},
                 {"wide.jpg", JpegClaiming(Draw::kMaxImageSide + 1, 1)},
                 {"many.jpg", JpegClaiming(4097, 4096)},
                 {"bomb.zga", MakeZga(8193, 1, 0, 8193 * 4, Bytes(8193 * 4))}};
    for (const auto& c : cases) {
        MemorySurface plane;
        EXPECT_LT(LoadInto(plane, c.name, c.bytes), 0) << c.name;
        EXPECT_EQ(draw_test::SizeOf(plane), std::pair(-1, -1)) << c.name;
    }
}

class PluginTest : public ImageFileTest
{
protected:
    void SetUp() override
    {
        ImageFileTest::SetUp();
        saved_ = Draw::SpiFolder;
        Draw::SpiFolder = TEST_IMAGE_PLUGIN_FOLDER;
    }
    void TearDown() override
    {
        Draw::SpiFolder = saved_;
        ImageFileTest::TearDown();
    }
    static Bytes MakeTst(int w, int h, std::size_t padTo)
    {
        Bytes b = {'T', 'S', 'T', 'I', 'M', 'A', 'G', 'E', std::uint8_t(w), std::uint8_t(h)};
        for (int i = 0; i < w * h; ++i) {
            b.push_back(static_cast<std::uint8_t>(i * 40));
            b.push_back(0x80);
            b.push_back(static_cast<std::uint8_t>(255 - i));
        }
        if (b.size() < padTo) b.resize(padTo, 0);
        return b;
    }
    ZTL::string saved_;
};

TEST_F(PluginTest, PluginNamedAfterTheSuffixDecodesTheImageOrRefusesIt)
{
    MemorySurface plane;
    ASSERT_EQ(LoadInto(plane, "a.tst", MakeTst(3, 2, 2048)), 0);
    EXPECT_EQ(draw_test::SizeOf(plane), std::pair(3, 2));
    ExpectWords(plane, {{0, 0, 0x000080FF}, {2, 1, 0xC880FA}}, 0xFFFFFF);
    ASSERT_EQ(file_.Read(Write("short.tst", MakeTst(3, 2, 2047))), 0);
    EXPECT_EQ(loader_.LoadSPI(file_), 1); // too short: IsSupported is not asked
    loader_.Release();
    Bytes notOurs = MakeTst(3, 2, 2048);
    notOurs[0] = 'X';
    ASSERT_EQ(file_.Read(Write("other.tst", notOurs)), 0);
    EXPECT_EQ(loader_.LoadSPI(file_), 1);
    ASSERT_EQ(file_.Read(Write("a.nothing", MakeTst(3, 2, 2048))), 0);
    EXPECT_EQ(loader_.LoadSPI(file_), 1);
    EXPECT_EQ(loader_.Load(file_), 1);
}

} // namespace
