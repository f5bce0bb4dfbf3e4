// The saturating add and subtract operators field by field, and pinned values of the add and subtract
// blits (operations 2 to 9) where the levels, spare bits and alpha bytes are easy to get wrong.

#include "small_plane.h"

#include "sdk/draw/kernels/add_sub_rules.h"
#include "sdk/draw/kernels/blend_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>

namespace {

using namespace zelvoranGameSDK3rd::Draw;
using namespace zelvoranGameSDK3rd::Draw::Kernels;

class AddSubTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildBlendTables(); }
};

// ---- 16-bit operators, every value of one field against every value, neighbours at 0 and at maximum ----

struct Field
{
    int shift, bits;
};

using WordOp = std::function<std::uint32_t(std::uint32_t, std::uint32_t)>;

// Checks op on words whose field f runs through all value pairs while the other fields hold 0 or their
// maximum on either side; every field of the result must be the clamped sum or difference.
void CheckFields(const std::vector<Field>& fields, bool add, const WordOp& op, const std::string& name)
{
    const auto expect = [&](std::uint32_t d, std::uint32_t s) {
        std::uint32_t out = 0;
        for (const Field& f : fields) {
            const int max = (1 << f.bits) - 1;
            const int df = static_cast<int>(d >> f.shift) & max, sf = static_cast<int>(s >> f.shift) & max;
            out |= static_cast<std::uint32_t>(add ? std::min(df + sf, max) : std::max(df - sf, 0)) << f.shift;
        }
        return out;
    };
    for (std::size_t fi = 0; fi < fields.size(); ++fi) {
        const int max = (1 << fields[fi].bits) - 1;
        for (int around = 0; around < 4; ++around) {
            std::uint32_t dRest = 0, sRest = 0;
            for (std::size_t o = 0; o < fields.size(); ++o) {
                if (o == fi) continue;
                const std::uint32_t full = static_cast<std::uint32_t>((1 << fields[o].bits) - 1)
                                           << fields[o].shift;
                if (around & 1) dRest |= full;
                if (around & 2) sRest |= full;
            }
            for (int dv = 0; dv <= max; ++dv) {
                for (int sv = 0; sv <= max; ++sv) {
                    const std::uint32_t d = dRest | (static_cast<std::uint32_t>(dv) << fields[fi].shift);
                    const std::uint32_t s = sRest | (static_cast<std::uint32_t>(sv) << fields[fi].shift);
                    ASSERT_EQ(op(d, s), expect(d, s)) << name << " d " << std::hex << d << " s " << s;
                }
            }
        }
    }
}

const std::vector<Field> k565 = {{11, 5}, {5, 6}, {0, 5}};
const std::vector<Field> k555 = {{10, 5}, {5, 5}, {0, 5}};
const std::vector<Field> k888 = {{16, 8}, {8, 8}, {0, 8}};

// The two-pixel forms: the same pair in the low half, and the other order in the high half.
WordOp Paired(std::uint32_t (*op2)(std::uint32_t, std::uint32_t),
              std::uint32_t (*op1)(std::uint32_t, std::uint32_t))
{
    return [op2, op1](std::uint32_t d, std::uint32_t s) {
        const std::uint32_t both = op2(d | (s << 16), s | (d << 16));
        EXPECT_EQ(both >> 16, op1(s, d)) << "high half";
        return both & 0xFFFF;
    };
}

TEST(AddSubOperators, FieldByField)
{
    CheckFields(k565, true, AddSat565, "add565");
    CheckFields(k565, false, SubSat565, "sub565");
    CheckFields(k565, true, Paired(AddSat565x2, AddSat565), "add565x2");
    CheckFields(k565, false, Paired(SubSat565x2, SubSat565), "sub565x2");
    CheckFields(k555, true, AddSat555, "add555");
    CheckFields(k555, false, SubSat555, "sub555");
    CheckFields(k555, true, Paired(AddSat555x2, AddSat555), "add555x2");
    CheckFields(k555, false, Paired(SubSat555x2, SubSat555), "sub555x2");
    // The per-field forms, and bytes of 32-bit words.
    CheckFields(k565, true, FieldSat565<EArith::kAdd>, "field add565");
    CheckFields(k565, false, FieldSat565<EArith::kSub>, "field sub565");
    CheckFields(k555, true, FieldSat555<EArith::kAdd>, "field add555");
    CheckFields(k555, false, FieldSat555<EArith::kSub>, "field sub555");
    CheckFields(
        k888, true, [](std::uint32_t d, std::uint32_t s) { return AddSat888(d, s); }, "add888");
    CheckFields(
        k888, false, [](std::uint32_t d, std::uint32_t s) { return SubSat888(d, s); }, "sub888");
}

TEST(AddSubOperators, SpareBits)
{
    // 555: the packed forms give d15 XOR s15, in both halves of a word; the per-field forms clear it.
    EXPECT_EQ(AddSat555(0x8000, 0x0000), 0x8000u);
    EXPECT_EQ(AddSat555(0x8000, 0x8000), 0x0000u);
    EXPECT_EQ(SubSat555(0x8001, 0x0001), 0x8000u);
    EXPECT_EQ(AddSat555x2(0x80008000, 0x80000000), 0x00008000u);
    EXPECT_EQ(AddSat555x2(0x7FFF8000, 0x80008001), 0xFFFF0001u); // no carry into the high pixel
    EXPECT_EQ(SubSat555x2(0x00008000, 0x00018000), 0x00000000u);
    EXPECT_EQ(FieldSat555<EArith::kAdd>(0x8000, 0x8001), 0x0001u);
    // 32-bit words: byte 3 adds and subtracts modulo 256.
    EXPECT_EQ(AddSat888(0x80000000, 0x90000000), 0x10000000u);
    EXPECT_EQ(SubSat888(0x00000000, 0x01000000), 0xFF000000u);
    EXPECT_EQ(AddSat888(0x80000000, 0x80000001), 0x00000001u);
}

TEST(AddSubOperators, PinnedValues)
{
    EXPECT_EQ(AddSat565(0xF800, 0x0800), 0xF800u);
    EXPECT_EQ(AddSat565(0x7BEF, 0x0821), 0x8410u);
    EXPECT_EQ(AddSat565(0x1234, 0x4321), 0x5555u);
    EXPECT_EQ(AddSat565(0x8410, 0x8410), 0xFFFFu);
    EXPECT_EQ(SubSat565(0x0000, 0x0821), 0x0000u);
    EXPECT_EQ(SubSat565(0xF81F, 0x0800), 0xF01Fu);
    EXPECT_EQ(SubSat565(0xFFFF, 0x0821), 0xF7DEu);
    EXPECT_EQ(SubSat565(0x1234, 0x4321), 0x0013u);
    EXPECT_EQ(AddSat555(0x7C00, 0x0400), 0x7C00u);
    EXPECT_EQ(AddSat888(0x80FF01, 0x8001FE) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(SubSat888(0x800080, 0x0000FF) & 0xFFFFFF, 0x800000u);
}

// ---- Kernels ---------------------------------------------------------------------------------------------

std::uint32_t One(int op, int dstType, int srcType, std::uint32_t srcValue, std::uint32_t dstValue,
                  int rate = 0)
{
    return blt_test::BlitOne(op, dstType, srcType, dstValue, srcValue, blt_test::Rate(rate));
}

TEST_F(AddSubTest, AlphaSourcesAreScaledByTheirOwnAlphaOnlyTowardsPlainTypes)
{
    // A565 at alpha 15 adds and subtracts at level 14; at alpha 1 not at all. A555 takes all levels.
    EXPECT_EQ(One(2, kPixel565, kPixelA565, 0x0FFFFF, 0x0000), 0xE75Cu);
    EXPECT_EQ(One(2, kPixel565, kPixelA565, 0x01FFFF, 0x1234), 0x1234u);
    EXPECT_EQ(One(3, kPixel565, kPixelA565, 0x0FFFFF, 0xFFFF), 0x18A3u);
    EXPECT_EQ(One(2, kPixel555, kPixelA555, 0x0F7FFF, 0x0000), 0x7FFFu);
    EXPECT_EQ(One(3, kPixel555, kPixelA555, 0x017FFF, 0xFFFF), 0xF7BDu); // bit 15 of the destination kept
    // ARGB8888 at alpha 0 adds nothing to plain types, but its full colour to its own type.
    EXPECT_EQ(One(2, kPixelXRGB8888, kPixelARGB8888, 0x000A141E, 0xAB010203), 0xAB010203u);
    EXPECT_EQ(One(2, kPixelRGB888, kPixelARGB8888, 0xFF0A141E, 0x010203), 0x0B1621u);
    EXPECT_EQ(One(2, kPixelARGB8888, kPixelARGB8888, 0x000A141E, 0x00010203), 0xFF0B1621u);
    // An A565 destination keeps its alpha byte and byte 3, whatever the source's alpha.
    EXPECT_EQ(One(2, kPixelA565, kPixelA565, 0x000821, 0xCD0B7BEF), 0xCD0B8410u);
    EXPECT_EQ(One(3, kPixelA555, kPixel555, 0x8001, 0x00058421), 0x00050420u);
}

TEST_F(AddSubTest, AlphaDestinationsBecomeOpaqueAndTakeColoursByName)
{
    // Black added still writes alpha 255.
    EXPECT_EQ(One(2, kPixelARGB8888, kPixelXRGB8888, 0x00000000, 0x12345678), 0xFF345678u);
    EXPECT_EQ(One(3, kPixelABGR8888, kPixelXBGR8888, 0xFF000000, 0x12345678), 0xFF345678u);
    // ABGR8888 from RGB888: the source's red (byte 2) goes to the destination's red (byte 0).
    EXPECT_EQ(One(2, kPixelABGR8888, kPixelRGB888, 0x100000, 0x00000005), 0xFF000015u);
    // ARGB8888 from BGR888 (red 0x10, green 0x20, blue 0x30) subtracts blue from byte 0, red from byte 2.
    EXPECT_EQ(One(5, kPixelARGB8888, kPixelBGR888, 0x302010, 0x00404040), 0xFF302010u);
}

TEST_F(AddSubTest, SameTypeSpareBytes)
{
    EXPECT_EQ(One(2, kPixelXRGB8888, kPixelXRGB8888, 0x80000001, 0x80000000), 0x00000001u);
    EXPECT_EQ(One(2, kPixelXRGB8888, kPixelXRGB8888, 0x01000000, 0xFF000000), 0x00000000u);
    EXPECT_EQ(One(3, kPixelXBGR8888, kPixelXBGR8888, 0x01000000, 0x00000000), 0xFF000000u);
    EXPECT_EQ(One(2, kPixelRGB888, kPixelRGB888, 0x80FF10, 0x80FF10), 0xFFFF20u);
    // Scaled sources have no spare byte: rate-scaled blits keep the destination's.
    EXPECT_EQ(One(6, kPixelXRGB8888, kPixelXRGB8888, 0xFF646464, 0x7F000000, 255), 0x7F646464u);
    EXPECT_EQ(One(7, kPixel555, kPixel555, 0x7FFF, 0xFFFF, 16), 0xF7BDu);
}

TEST_F(AddSubTest, RateLevels)
{
    // Operations 6 and 7 on 565 planes of one type: rate / 16, as on 555 planes, for every pixel.
    EXPECT_EQ(One(6, kPixel565, kPixel565, 0xFFFF, 0x0000, 128), 0x8430u);
    EXPECT_EQ(One(6, kPixel565, kPixel565, 0xFFFF, 0x0000, 255), 0xFFFFu);
    EXPECT_EQ(One(6, kPixel565, kPixel565, 0xFFFF, 0x0000, 31), 0x1082u);
    EXPECT_EQ(One(7, kPixel565, kPixel565, 0xFFFF, 0xFFFF, 128), 0x7BCFu);
    EXPECT_EQ(One(6, kPixel555, kPixel555, 0x7FFF, 0x0000, 16), 0x0842u);
    EXPECT_EQ(One(6, kPixel555, kPixel555, 0x7FFF, 0x8000, 16), 0x8842u);
    EXPECT_EQ(One(6, kPixel555, kPixel555, 0x4210, 0x4210, 255), 0x7FFFu);
    // Towards A565 and under 8 and 9, a 565 colour takes only the even levels of the top three bits.
    EXPECT_EQ(One(6, kPixelA565, kPixel565, 0xFFFF, 0x000F0000, 255), 0x000FE75Cu);
    EXPECT_EQ(One(7, kPixelA565, kPixel565, 0xFFFF, 0x000FFFFF, 255), 0x000F18A3u);
    EXPECT_EQ(One(7, kPixelA555, kPixel555, 0x7FFF, 0x000F7FFF, 255), 0x000F0000u);
    EXPECT_EQ(One(8, kPixel565, kPixel565, 0xFFFF, 0x0000, 255), 0xE75Cu);
    EXPECT_EQ(One(8, kPixel565, kPixel565, 0xFFFF, 0x0000, 31), 0x0000u);
    EXPECT_EQ(One(9, kPixel565, kPixel565, 0xFFFF, 0xFFFF, 255), 0x18A3u);
    EXPECT_EQ(One(9, kPixel555, kPixel555, 0x7FFF, 0x7FFF, 128), 0x3DEFu);
    EXPECT_EQ(One(8, kPixel555, kPixel555, 0x7FFF, 0x0000, 31), 0x0842u);
    // A source alpha combined with the rate: the alpha level widened by 16.
    EXPECT_EQ(One(6, kPixel555, kPixelA555, 0x0F7FFF, 0x0000, 128), 0x39CEu);
    EXPECT_EQ(One(6, kPixel555, kPixelA555, 0x0F7FFF, 0x0000, 16), 0x0000u);
    EXPECT_EQ(One(6, kPixel555, kPixelA555, 0x0F7FFF, 0x0000, 17), 0x0842u);
    EXPECT_EQ(One(7, kPixel565, kPixelA565, 0x0FFFFF, 0xFFFF, 255), 0x18A3u);
    EXPECT_EQ(One(6, kPixelRGB888, kPixelARGB8888, 0xFFC8C8C8, 0x96C832, 128), 0xFAFF96u);
    EXPECT_EQ(One(6, kPixelRGB888, kPixelARGB8888, 0x80FFFFFF, 0x000000, 255), 0x808080u);
    EXPECT_EQ(One(9, kPixelBGR888, kPixelBGR888, 0x0AFFC8, 0xC08040, 128), 0xBB0000u);
    // Same-type pairs with alpha ignore the rate.
    EXPECT_EQ(One(6, kPixelARGB8888, kPixelARGB8888, 0x00102030, 0x00010101, 0), 0xFF112131u);
    EXPECT_EQ(One(7, kPixelA565, kPixelA565, 0x00FFFF, 0x0BFFFF, 0), 0x0B0000u);
}

// Each pixel of a row gets the single-pixel value, whether the 1:1 walk takes it alone or in a word with
// its neighbour; rate 0xB7 has bit 4 set, where the two 565 level rules would differ.
TEST_F(AddSubTest, PairedRowsMatchSinglePixels)
{
    std::mt19937 rng(2);
    for (int op : {2, 3, 6, 7})
        for (int type : {kPixel565, kPixel555})
            for (int w = 1; w <= 11; ++w)
                for (int x0 = 0; x0 < 2; ++x0)
                    blt_test::ExpectRowMatchesSinglePixels(op, type, type, blt_test::Rate(0xB7), w, x0, rng);
}

} // namespace
