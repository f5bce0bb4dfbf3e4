#include "platform/host/little_endian.h"
#include "sdk/auxiliary/serialize.h"
#include "sdk/math/rand.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace Aux = zelvoranGameSDK3rd::Auxiliary;
namespace Math = zelvoranGameSDK3rd::Math;
namespace ZTL = zelvoranGameSDK3rd::ZTL;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The record of the worked example: a signed 32-bit value, a string and a bool.
struct SExample : Aux::IArchive
{
    std::int32_t number = 0;
    ZTL::string text;
    bool flag = false;
    void Serialize(Aux::ISerialize& s) override { s.Serialize(number).Serialize(text).Serialize(flag); }
};

// One of every typed operation.
struct SEverything : Aux::IArchive
{
    std::vector<std::uint32_t> u32s{1, 0xFFFFFFFF};
    std::vector<std::uint16_t> u16s{0x1234};
    std::vector<ZTL::string> texts{"a", "", "bc"};
    std::vector<std::uint8_t> bytes{9, 8};
    std::vector<bool> bools{true, false, true};
    std::vector<std::int32_t> ints{-1};
    std::int64_t i64 = -2;
    std::uint32_t u32 = 0xDEADBEEF;
    std::uint16_t u16 = 0xBEEF;
    ZTL::string text = "xyz";
    char c = 'q';
    bool b = true;
    std::int16_t i16 = -3;
    std::uint8_t u8 = 200;
    std::int32_t i32 = -258;
    void Serialize(Aux::ISerialize& s) override
    {
        s.Serialize(u32s).Serialize(u16s).Serialize(texts).Serialize(bytes).Serialize(bools).Serialize(ints);
        s.Serialize(i64).Serialize(u32).Serialize(u16).Serialize(text).Serialize(c).Serialize(b);
        s.Serialize(i16).Serialize(u8).Serialize(i32);
    }
    void Zero()
    {
        *this = SEverything();
        u32s.clear(), u16s.clear(), texts.clear(), bytes.clear(), bools.clear(), ints.clear();
        i64 = u32 = u16 = 0, text = ZTL::string(), c = 0, b = false, i16 = 0, u8 = 0, i32 = 0;
    }
};

Bytes Store(Aux::IArchive& object)
{
    Aux::CSerialize s;
    s.Serialize(object);
    return s.GetBuffer();
}

// Loads `object` from `bytes`; tells whether the load failed.
bool LoadFailed(const Bytes& bytes, Aux::IArchive& object)
{
    Aux::CSerialize s;
    s.GetBuffer() = bytes;
    s.SetStoring(false);
    s.Serialize(object);
    return s.HasLoadFailed();
}

SExample Example()
{
    SExample e;
    e.number = 258;
    e.text = "ab";
    e.flag = true;
    return e;
}

TEST(Serialize, WorkedExampleStoresAndLoads)
{
    Aux::CSerialize s;
    EXPECT_TRUE(s.IsStoring());
    EXPECT_TRUE(s.GetBuffer().empty());
    SExample e = Example();
    s.Serialize(e);
    EXPECT_EQ(s.GetBuffer(), (Bytes{0x02, 0x01, 0x00, 0x00, 0x61, 0x62, 0x00, 0x01}));

    s.SetStoring(false); // keeps the bytes, reads from the start
    SExample back;
    s.Serialize(back);
    EXPECT_EQ(back.number, 258);
    EXPECT_EQ(back.text, "ab");
    EXPECT_TRUE(back.flag);
    EXPECT_FALSE(s.HasLoadFailed());
    EXPECT_EQ(s.ReadPosition(), 8u);

    s.SetStoring(true);
    EXPECT_TRUE(s.GetBuffer().empty());
}

TEST(Serialize, ItemSizesAndByteOrder)
{
    Aux::CSerialize s;
    ZTL::string five = "abcde", empty;
    std::vector<std::int32_t> noInts;
    std::vector<bool> threeBools{true, false, true};
    s.Serialize(five);
    EXPECT_EQ(s.GetBuffer().size(), 6u);
    s.Clear();
    s.Serialize(empty);
    EXPECT_EQ(s.GetBuffer(), Bytes{0});
    s.Clear();
    s.Serialize(noInts);
    EXPECT_EQ(s.GetBuffer(), (Bytes{0, 0, 0, 0}));
    s.Clear();
    s.Serialize(threeBools);
    EXPECT_EQ(s.GetBuffer(), (Bytes{3, 0, 0, 0, 1, 0, 1}));

    s.Clear();
    std::uint16_t u16 = 0x1234;
    std::int64_t i64 = 0x0102030405060708;
    std::int16_t i16 = -2;
    s.Serialize(u16).Serialize(i64).Serialize(i16);
    EXPECT_EQ(s.GetBuffer(), (Bytes{0x34, 0x12, 8, 7, 6, 5, 4, 3, 2, 1, 0xFE, 0xFF}));

    // A nested object adds nothing of its own.
    SExample e;
    EXPECT_EQ(Store(e).size(), 4u + 1u + 1u);
}

TEST(Serialize, EveryOperationRoundTrips)
{
    SEverything all;
    const Bytes stored = Store(all);
    SEverything back;
    back.Zero();
    ASSERT_FALSE(LoadFailed(stored, back));
    EXPECT_EQ(Store(back), stored); // every field came back, in its place
    ASSERT_EQ(back.texts.size(), 3u);
    EXPECT_EQ(back.texts[2], "bc");
    EXPECT_EQ(back.i64, -2);
    EXPECT_EQ(back.i32, -258);
}

TEST(Serialize, NestedStreamAndAssign)
{
    Aux::CSerialize inner;
    std::int32_t v = 7;
    inner.Serialize(v);
    inner.SetStoringFlag(false);
    inner.ReadPosition() = 2;

    Aux::CSerialize outer;
    outer.Serialize(static_cast<Aux::ISerialize&>(inner));
    EXPECT_EQ(outer.GetBuffer(), (Bytes{4, 0, 0, 0, 7, 0, 0, 0, 0, 2, 0, 0, 0}));

    Aux::CSerialize copy;
    outer.SetStoring(false);
    outer.Serialize(static_cast<Aux::ISerialize&>(copy));
    EXPECT_EQ(copy.GetBuffer(), (Bytes{7, 0, 0, 0}));
    EXPECT_FALSE(copy.IsStoring());
    EXPECT_EQ(copy.ReadPosition(), 2u);

    Aux::CSerialize assigned;
    assigned.Assign(outer);
    EXPECT_EQ(assigned.GetBuffer(), outer.GetBuffer());
    EXPECT_FALSE(assigned.IsStoring());
    EXPECT_EQ(assigned.ReadPosition(), outer.ReadPosition());
}

TEST(Serialize, TruncatedAndDamagedStreamsFailWithZeroedValues)
{
    SEverything all;
    const Bytes full = Store(all);
    // Every cut of a valid stream loads without a crash and reports the failure.
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        SEverything back;
        EXPECT_TRUE(LoadFailed(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut)), back))
            << cut;
        EXPECT_EQ(back.i32, 0) << cut; // the last field never arrives
    }

    Aux::CSerialize s;
    s.GetBuffer() = {'a', 'b'}; // a string without its NUL
    s.SetStoring(false);
    ZTL::string text = "old";
    s.Serialize(text);
    EXPECT_TRUE(s.HasLoadFailed());
    EXPECT_TRUE(text.empty());
    std::uint32_t after = 5;
    s.Serialize(after); // every load after a failure gives zero
    EXPECT_EQ(after, 0u);

    struct SValues : Aux::IArchive
    {
        std::vector<std::uint32_t> values{1, 2, 3};
        void Serialize(Aux::ISerialize& s) override { s.Serialize(values); }
    };
    // A negative count, a huge count, two u32 with four bytes left.
    for (const Bytes& damaged : {Bytes{0xFF, 0xFF, 0xFF, 0xFF, 1}, Bytes{0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3},
                                 Bytes{2, 0, 0, 0, 1, 2, 3, 4}}) {
        SValues v;
        EXPECT_TRUE(LoadFailed(damaged, v));
        EXPECT_TRUE(v.values.empty());
    }

    Aux::CSerialize b; // a bool byte other than 0 or 1 loads as true
    b.GetBuffer() = {2, 0};
    b.SetStoring(false);
    bool yes = false, no = true;
    b.Serialize(yes).Serialize(no);
    EXPECT_TRUE(yes);
    EXPECT_FALSE(no);
    Aux::CSerialize again;
    again.Serialize(yes);
    EXPECT_EQ(again.GetBuffer(), Bytes{1});

    Aux::CSerialize cleared; // SetStoring clears the failure
    cleared.SetStoring(false);
    cleared.Serialize(after);
    EXPECT_TRUE(cleared.HasLoadFailed());
    cleared.SetStoring(false);
    EXPECT_FALSE(cleared.HasLoadFailed());
}

TEST(Serialize, RandomGeneratorStateIs2500BytesAndContinues)
{
    Math::CRand r;
    r.SetSeed(12345);
    for (int i = 0; i < 700; ++i)
        r.Get();
    const Bytes saved = Store(r);
    ASSERT_EQ(saved.size(), 2500u);
    EXPECT_EQ(saved[2496], 700 - 624);

    Math::CRand restored;
    ASSERT_FALSE(LoadFailed(saved, restored));
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(restored.Get(), r.Get()) << i;

    // The never-seeded state survives too, and then seeds with 4357.
    Math::CRand fresh;
    const Bytes unseeded = Store(fresh);
    EXPECT_EQ((Bytes(unseeded.end() - 4, unseeded.end())), (Bytes{0x71, 0x02, 0, 0}));
    Math::CRand fromUnseeded;
    fromUnseeded.SetSeed(1);
    LoadFailed(unseeded, fromUnseeded);
    EXPECT_EQ(fromUnseeded.Get(), 0xAAE64AC3u);

    // A damaged index (negative or past the end) regenerates the words like a used-up state.
    for (std::int32_t index : {-1, 700, 624}) {
        Math::CRand damaged;
        damaged.SetSeed(9);
        Bytes state = Store(damaged);
        platform::WriteLittleEndian(state.data() + 2496, index);
        LoadFailed(state, damaged);
        Math::CRand reference;
        reference.SetSeed(9);
        EXPECT_EQ(damaged.Get(), reference.Get()) << index;
    }

    Math::CRootCounter counter;
    counter.m_start = 1;
    counter.m_end = 9;
    counter.m_step = -3;
    counter.SetValue(4);
    const Bytes c = Store(counter);
    EXPECT_EQ(c, (Bytes{4, 0, 0, 0, 1, 0, 0, 0, 9, 0, 0, 0, 0xFD, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
}

class SerializeFileTest : public TempFolderTest
{
protected:
    ZTL::string Path(const char* name) const { return ZTL::string((m_root / name).c_str()); }
};

TEST_F(SerializeFileTest, SavesExactlyTheBytesAndLoadsThemBack)
{
    Aux::CSerialize s;
    SExample e = Example();
    s.Serialize(e);
    ASSERT_EQ(s.SaveToFile(Path("ex.sav")), 0);
    EXPECT_EQ(fs::file_size(m_root / "ex.sav"), 8u);
    EXPECT_TRUE(s.IsStoring()); // saving changes neither the direction nor the position

    Aux::CSerialize l;
    ASSERT_EQ(l.LoadFromFile(Path("ex.sav")), 0);
    EXPECT_TRUE(l.IsStoring()); // loading leaves the direction to the caller
    l.SetStoring(false);
    SExample back;
    l.Serialize(back);
    EXPECT_EQ(back.number, 258);
    EXPECT_EQ(back.text, "ab");

    Bytes before = l.GetBuffer();
    EXPECT_NE(l.LoadFromFile(Path("missing.sav")), 0);
    EXPECT_EQ(l.GetBuffer(), before);
    // Network names without a share are unreadable, not a reason to end the program.
    for (const char* name : {"//x", "\\\\x", "//", "\\\\"}) {
        EXPECT_EQ(l.LoadFromFile(name), 1) << name;
        EXPECT_EQ(l.GetBuffer(), before) << name;
    }

    std::ofstream(m_root / "empty.sav").close();
    EXPECT_EQ(l.LoadFromFile(Path("empty.sav")), 0);
    EXPECT_TRUE(l.GetBuffer().empty());
    EXPECT_NE(s.SaveToFile(Path("no/such/folder.sav")), 0);
}

} // namespace
