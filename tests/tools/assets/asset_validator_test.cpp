// The asset validator on the built pictures, on copies broken one way each, and the game's own drawing
// of the built window frame.

#include "tools/assets/validator.h"

#include "support/temp_folder.h"
#include "tools/assets/built_data.h"

#include "game/asset_ids.h"
#include "game/ui/window_look.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
const fs::path kBuilt = MAROVELLIN_BUILD_DIR;

// A 24-bit bottom-up BMP as the build writes it.
struct SBmp
{
    int width = 0, height = 0;
    std::vector<std::uint32_t> rgb; // 0xRRGGBB, top row first
};

std::uint32_t Le32(const std::string& b, std::size_t at)
{
    std::uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

SBmp ReadBmp(const std::string& file)
{
    SBmp bmp;
    bmp.width = static_cast<int>(Le32(file, 18));
    bmp.height = static_cast<int>(Le32(file, 22));
    const std::size_t stride = (static_cast<std::size_t>(bmp.width) * 3 + 3) & ~std::size_t{3};
    const std::size_t offset = Le32(file, 10);
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x) {
            const auto* p = reinterpret_cast<const std::uint8_t*>(file.data() + offset +
                                                                  (bmp.height - 1 - y) * stride + 3 * x);
            bmp.rgb.push_back(std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0]);
        }
    return bmp;
}

std::string WriteBmp(const SBmp& bmp)
{
    const std::size_t stride = (static_cast<std::size_t>(bmp.width) * 3 + 3) & ~std::size_t{3};
    std::string file(54 + stride * bmp.height, '\0');
    const auto put = [&](std::size_t at, std::uint32_t v) { std::memcpy(file.data() + at, &v, 4); };
    file[0] = 'B', file[1] = 'M';
    put(2, static_cast<std::uint32_t>(file.size()));
    put(10, 54), put(14, 40), put(18, bmp.width), put(22, bmp.height), put(26, 1 | 24 << 16);
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x) {
            const std::uint32_t c = bmp.rgb[static_cast<std::size_t>(y) * bmp.width + x];
            char* p = file.data() + 54 + (bmp.height - 1 - y) * stride + 3 * x;
            p[0] = static_cast<char>(c), p[1] = static_cast<char>(c >> 8), p[2] = static_cast<char>(c >> 16);
        }
    return file;
}

class AssetValidatorTest : public TempFolderTest
{
public:
    // A copy of the built data whose pictures link to the built ones; a broken file replaces its link.
    void CopyBuilt()
    {
        for (const char* folder : {"data/image", "data/image2", "data/text"}) {
            fs::create_directories(m_root / folder);
            for (const auto& entry : fs::directory_iterator(kBuilt / folder))
                fs::create_symlink(entry.path(), m_root / folder / entry.path().filename());
        }
    }
    fs::path Picture(const std::string& file) const { return m_root / "data/image" / file; }
    // Rewrites a picture of the copy through `change`.
    void Change(const std::string& file, const std::function<void(SBmp&)>& change)
    {
        SBmp bmp = ReadBmp(GetFile(kBuilt / "data/image" / file));
        change(bmp);
        fs::remove(Picture(file));
        PutFile(Picture(file), WriteBmp(bmp));
    }
    void ChangeList(const std::function<std::string(const std::string&)>& change)
    {
        const std::string list = GetFile(kBuilt / "data/image/list.txt");
        fs::remove(Picture("list.txt"));
        PutFile(Picture("list.txt"), change(list));
    }
    std::vector<std::string> Validate() const { return asset_validator::ValidateImages(m_root.string()); }
};

std::string FileOf(std::int32_t id)
{
    for (const assets::SImage& image : assets::kImages)
        if (image.id == id) return image.file;
    for (const assets::SImage& image : assets::kImages)
        if (image.companion && image.id + 1 == id) {
            const std::string file = image.file, stem = file.substr(0, file.rfind('.'));
            return std::to_string(id) + stem.substr(stem.find('-')) + "-x2" + file.substr(file.rfind('.'));
        }
    return "";
}

TEST_F(AssetValidatorTest, BuiltPicturesPass)
{
    const std::vector<std::string> problems = asset_validator::ValidateImages(kBuilt.string());
    for (const std::string& problem : problems)
        ADD_FAILURE() << problem;
}

TEST_F(AssetValidatorTest, EachBrokenCopyFailsNamingWhatBroke)
{
    constexpr std::uint32_t kMagenta = 0xFF00FF;
    struct Case
    {
        const char* what;
        std::function<void(AssetValidatorTest&)> breakIt;
        const char* named; // every problem names this
    };
    const Case cases[] = {
        {"image 10's list line removed",
         [](AssetValidatorTest& t) {
             t.ChangeList([](const std::string& list) {
                 const std::size_t at = list.find(FileOf(kImageCommon) + ",");
                 return list.substr(0, at) + list.substr(list.find('\n', at) + 1);
             });
         },
         "image 10:"},
        {"companion 11105 one pixel narrow",
         [](AssetValidatorTest& t) {
             t.Change(FileOf(kImageSmallExplosion + 1), [](SBmp& bmp) {
                 std::vector<std::uint32_t> narrow;
                 for (int y = 0; y < bmp.height; ++y)
                     for (int x = 0; x + 1 < bmp.width; ++x)
                         narrow.push_back(bmp.rgb[static_cast<std::size_t>(y) * bmp.width + x]);
                 bmp.rgb = narrow, bmp.width -= 1;
             });
         },
         "image 11105:"},
        {"a magenta pixel in 11104",
         [](AssetValidatorTest& t) {
             t.Change(FileOf(kImageSmallExplosion), [](SBmp& bmp) { bmp.rgb[5] = kMagenta; });
         },
         "image 11104"},
        {"the colour (250, 2, 250) in image 11",
         [](AssetValidatorTest& t) {
             t.Change(FileOf(kImageTraps), [](SBmp& bmp) { bmp.rgb[200 * 256 / 2 + 7] = 0xFA02FA; });
         },
         "image 11: a near-magenta colour"},
        {"an empty class-icon cell",
         [](AssetValidatorTest& t) {
             t.Change(FileOf(kImageCommon), [](SBmp& bmp) {
                 for (int y = 192; y < 208; ++y)
                     for (int x = 112; x < 128; ++x)
                         bmp.rgb[static_cast<std::size_t>(y) * bmp.width + x] = kMagenta;
             });
         },
         "image 10 cell class-icon[3] at (112,192): no ink"},
        {"a magenta pixel in tile 301",
         [](AssetValidatorTest& t) {
             t.Change(FileOf(kImageTerrainMossCave), [](SBmp& bmp) { bmp.rgb[160 * 40 + 40] = kMagenta; });
         },
         "image 301"},
        {"an s kind (504) drawn with 32 x 32 frames",
         [](AssetValidatorTest& t) {
             // The sheet of kind 8, whose frames are 32 x 32, in place of kind 4's 24 x 24 one.
             fs::remove(t.Picture(FileOf(kImageMonsterBase + 4)));
             fs::copy_file(kBuilt / "data/image" / FileOf(kImageMonsterBase + 8),
                           t.Picture(FileOf(kImageMonsterBase + 4)));
         },
         "image 504:"},
        {"list.txt with LF line ends",
         [](AssetValidatorTest& t) {
             t.ChangeList([](std::string list) {
                 for (std::size_t at; (at = list.find('\r')) != std::string::npos;)
                     list.erase(at, 1);
                 return list;
             });
         },
         "data/image/list.txt: line 1 does not end with CR LF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(m_root / "data");
        CopyBuilt();
        c.breakIt(*this);
        const std::vector<std::string> problems = Validate();
        EXPECT_FALSE(problems.empty());
        for (const std::string& problem : problems)
            EXPECT_NE(problem.find(c.named), std::string::npos) << problem;
    }
}

// The window look draws its frame from the built interface sheet: ink along the border, nothing inside.
using BuiltWindowFrame = BuiltDataTest;

TEST_F(BuiltWindowFrame, FramesA100By60WindowLeavingItsInsideAlone)
{
    constexpr std::uint32_t kGround = 0x123456;
    Draw::CFastPlane plane;
    ASSERT_EQ(plane.CreateSurfaceOfType(120, 80, Draw::kPixelXRGB8888), 0);
    Draw::CSurfaceInfo* info = plane.GetSurfaceInfo();
    const auto at = [&](int x, int y) -> std::uint32_t& {
        return reinterpret_cast<std::uint32_t*>(info->pixels + std::ptrdiff_t(y) * info->pitch)[x];
    };
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            at(x, y) = kGround;
    EXPECT_EQ(DrawWindowFrame(plane, 10, 10, 100, 60, kFrameNormal, false), 0);

    int borderInk = 0, borderPlaces = 0;
    // Rows and columns 2 and 3 in from the window's edges, between its rounded corners.
    for (int k = 16; k < 104; ++k)
        for (int y : {12, 13, 66, 67})
            ++borderPlaces, borderInk += (at(k, y) & 0xFFFFFF) != kGround;
    for (int k = 16; k < 64; ++k)
        for (int x : {12, 13, 106, 107})
            ++borderPlaces, borderInk += (at(x, k) & 0xFFFFFF) != kGround;
    EXPECT_EQ(borderInk, borderPlaces);
    for (int y = 18; y < 62; ++y)
        for (int x = 18; x < 102; ++x)
            ASSERT_EQ(at(x, y) & 0xFFFFFF, kGround) << "inside at " << x << "," << y;
    for (int x = 0; x < 120; ++x)
        EXPECT_EQ(at(x, 5) & 0xFFFFFF, kGround) << "outside at " << x;
}

} // namespace
