#include "game/ui/image_list.h"

#include "game/ui/drawing_fixture.h"
#include "support/error_capture.h"

#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Str(const ZTL::string& s)
{
    return std::string(s.c_str(), s.size());
}

std::map<std::int32_t, std::string> ReadListOf(const std::string& text)
{
    Auxiliary::CFile file;
    EXPECT_EQ(file.ReadFromMemory(text.data(), static_cast<std::uint32_t>(text.size())),
              Auxiliary::CFile::kReadOk);
    std::map<std::int32_t, ZTL::string> names;
    CImageLoader::ReadList(file, names);
    std::map<std::int32_t, std::string> out;
    for (const auto& [n, name] : names)
        out[n] = Str(name);
    return out;
}

TEST(ImageListFile, LinesAreFileCommaNumber)
{
    struct Case
    {
        std::string text;
        std::map<std::int32_t, std::string> names;
    };
    const Case cases[] = {
        {"title.bmp,100\r\n", {{100, "title.bmp"}}},
        {"a.bmp, 7\r\nb.bmp,\t+8\r\nc.bmp,-3", {{7, "a.bmp"}, {8, "b.bmp"}, {-3, "c.bmp"}}},
        // Anything after the number is ignored; the name runs to the first comma.
        {"a.bmp,12abc\r\nx,y.bmp,5\r\n", {{12, "a.bmp"}}},
        // No number, no comma, no name, comments and empty lines are skipped.
        {"a.bmp,x\r\na.bmp7\r\n,5\r\n//c.bmp,9\r\n\r\n+\r\n", {}},
        // The first of two lines with one number keeps it.
        {"a.bmp,1\r\nb.bmp,1\r\n", {{1, "a.bmp"}}},
        // Lines end at CR LF only: a lone LF leaves the rest of the line after the number.
        {"e.bmp,13\nf.bmp,14\r\ng.bmp,15", {{13, "e.bmp"}, {15, "g.bmp"}}},
        // A number beyond 32 bits stops at the bound.
        {"big.bmp,99999999999\r\nsmall.bmp,-99999999999\r\n", {{INT_MAX, "big.bmp"}, {INT_MIN, "small.bmp"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadListOf(c.text), c.names) << c.text;
}

class ImageListTest : public DrawingTest
{
protected:
    // Pictures 1 to n, each a 2 x 2 picture of its own colour, named in the list.
    void PutNumberedImages(int n)
    {
        std::vector<std::string> lines;
        std::string text;
        for (int i = 1; i <= n; ++i) {
            const std::string name = "p" + std::to_string(i) + ".bmp";
            PutImage(name, 2, 2, [i](int, int) { return std::uint32_t(i); });
            text += name + "," + std::to_string(i) + "\r\n";
        }
        PutFile(Exe() / "data" / "image" / "list.txt", text);
    }
    static Draw::CFastPlane* Get(std::int32_t id) { return &AccessImageList(kImageListGet, id); }
    static std::uint32_t Colour(Draw::CFastPlane* plane) { return Word(*plane, 0, 0) & 0xFFFFFF; }
};

TEST_F(ImageListTest, TheLeastRecentlyUsedImageGivesWayToTheFortyNinth)
{
    PutNumberedImages(50);
    std::vector<Draw::CFastPlane*> planes(50);
    for (int i = 1; i <= 49; ++i)
        planes[i] = Get(i);
    // The 49th took the first one's place; the first comes back in the place of the second.
    EXPECT_EQ(planes[49], planes[1]);
    EXPECT_EQ(Colour(planes[49]), 49u);
    Draw::CFastPlane* again = Get(1);
    EXPECT_EQ(again, planes[2]);
    EXPECT_EQ(Colour(again), 1u);
    EXPECT_EQ(again->GetColorKey(), 0xFF00FFu);
    EXPECT_EQ(Str(again->GetFileName()), "data\\image\\p1.bmp");
}

TEST_F(ImageListTest, AnImageUsedAgainIsKeptLonger)
{
    PutNumberedImages(50);
    Draw::CFastPlane* one = Get(1);
    Draw::CFastPlane* two = Get(2);
    EXPECT_EQ(Get(1), one);
    for (int i = 3; i <= 48; ++i)
        Get(i);
    EXPECT_EQ(Get(49), two);
    EXPECT_EQ(Get(50), one);
}

TEST_F(ImageListTest, UnnamedNumbersTakeNoPlaceAndUnloadableFilesKeepTheirs)
{
    PutNumberedImages(48);
    Draw::CFastPlane* one = Get(1);
    // A number the list does not name gives the one empty plane, every time, and takes no place.
    Draw::CFastPlane* empty = Get(999);
    EXPECT_FALSE(empty->GetSurfaceInfo()->valid);
    EXPECT_EQ(Get(1000), empty);
    EXPECT_EQ(&AccessImageList(kImageListRelease, 0), empty);
    one = Get(1);
    Get(999);
    for (int i = 2; i <= 48; ++i)
        Get(i);
    EXPECT_EQ(Get(1), one);
    EXPECT_EQ(Colour(one), 1u);

    // A file that does not load leaves its plane empty but keeps its place, and says so once.
    PutList({"missing.bmp,60"});
    AccessImageList(kImageListDestroy, 0);
    test_support::ErrorCapture errors;
    Draw::CFastPlane* missing = Get(60);
    EXPECT_NE(missing, Get(999));
    EXPECT_FALSE(missing->GetSurfaceInfo()->valid);
    EXPECT_EQ(Get(60), missing);
    EXPECT_TRUE(errors.Has("data\\image\\missing.bmp"));
    EXPECT_EQ(errors.Text().find("missing.bmp"), errors.Text().rfind("missing.bmp"));
}

TEST_F(ImageListTest, ReleasingReloadsOnUseAndDestroyingRereadsTheListFile)
{
    PutImage("a.bmp", 2, 2, [](int, int) { return 0x0000AAu; });
    PutImage("b.bmp", 2, 2, [](int, int) { return 0x0000BBu; });
    // Without a list file every number is empty.
    EXPECT_FALSE(Get(5)->GetSurfaceInfo()->valid);
    AccessImageList(kImageListDestroy, 0);
    PutList({"a.bmp,5"});
    Draw::CFastPlane* plane = Get(5);
    EXPECT_EQ(Colour(plane), 0xAAu);

    AccessImageList(kImageListRelease, 0);
    EXPECT_FALSE(plane->GetSurfaceInfo()->valid);
    EXPECT_EQ(Colour(Get(5)), 0xAAu);

    // The list file is read once per list.
    PutList({"b.bmp,5"});
    EXPECT_EQ(Colour(Get(5)), 0xAAu);
    AccessImageList(kImageListDestroy, 0);
    EXPECT_EQ(Colour(Get(5)), 0xBBu);
}

} // namespace
