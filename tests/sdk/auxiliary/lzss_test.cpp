#include "sdk/auxiliary/lzss.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace Aux = zelvoranGameSDK3rd::Auxiliary;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

namespace {

std::vector<std::uint8_t> Decode(const std::vector<std::uint8_t>& stream, std::uint32_t size, int* result)
{
    auto coder = std::make_unique<Aux::CLZSS>();
    std::vector<std::uint8_t> out(size, 0xCC);
    std::uint8_t* destination = out.data();
    *result =
        coder->Decode(stream.data(), static_cast<std::uint32_t>(stream.size()), destination, size, false);
    return out;
}

// Text-like data with repeats at every distance, runs, and noise: every kind of match and literal.
std::vector<std::uint8_t> MixedData(std::size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> data;
    const std::string words[] = {"dungeon ", "\x83\x5C\x81\x5B",   "floor ", "\r\n",
                                 "sword",    "0000000000000000000"};
    while (data.size() < size) {
        switch (rng() % 4) {
        case 0: {
            const std::string& w = words[rng() % 6];
            data.insert(data.end(), w.begin(), w.end());
            break;
        }
        case 1:
            data.insert(data.end(), 1 + rng() % 40, static_cast<std::uint8_t>(rng()));
            break;
        case 2:
            if (data.size() > 20) {
                std::size_t from = data.size() - 1 - rng() % std::min<std::size_t>(data.size() - 1, 5000);
                std::size_t n = 1 + rng() % 30;
                for (std::size_t i = 0; i < n; ++i)
                    data.push_back(data[from + i]);
            }
            break;
        default:
            data.push_back(static_cast<std::uint8_t>(rng()));
        }
    }
    data.resize(size);
    return data;
}

TEST(Lzss, DecodesLiteralsAndOverlappingMatchesAndRefusesAShortStream)
{
    using Stream = std::vector<std::uint8_t>;
    struct Case
    {
        Stream stream;
        std::uint32_t size;
        int result;
        std::string decoded;
    };
    const Case cases[] = {
        {{0x03, 0x61, 0x62, 0xEE, 0xF3}, 8, 0, "abababab"},
        {{0x00, 0x00, 0x0F}, 18, 0, std::string(18, '\0')}, // the zero-filled window serves the first zeros
        {{0xFF, '1', '2', '3', '4', '5', '6', '7', '8'}, 8, 0, "12345678"}, // eight literals under 0xFF
        {{0x00, 0x00, 0x0F}, 5, 0, std::string(5, '\0')}, // stops at the decoded size inside a match
        {{0x03, 0x61, 0x62, 0xEE}, 8, Aux::CLZSS::kSourceTooShort, ""}, // the match's second byte is missing
        {{0x03, 0x61}, 8, Aux::CLZSS::kSourceTooShort, ""},
        {{}, 1, Aux::CLZSS::kSourceTooShort, ""},
    };
    for (const Case& c : cases) {
        int result = -1;
        const auto out = Decode(c.stream, c.size, &result);
        EXPECT_EQ(result, c.result) << c.decoded;
        if (c.result == 0) {
            EXPECT_EQ(std::string(out.begin(), out.end()), c.decoded);
        }
    }

    auto coder = std::make_unique<Aux::CLZSS>();
    std::uint8_t block[4] = {9, 9, 9, 9};
    std::uint8_t* destination = block;
    const std::uint8_t stream[] = {0x03, 0x61, 0x62, 0xEE, 0xF3};
    EXPECT_EQ(coder->Decode(stream, 5, destination, 0, false), Aux::CLZSS::kNothingToDo);
    EXPECT_EQ(block[0], 9);
    std::uint8_t* allocated = block;
    EXPECT_EQ(coder->Decode(stream, 3, allocated, 8, true), Aux::CLZSS::kSourceTooShort);
    EXPECT_EQ(allocated, nullptr); // the block made for it is freed again
    allocated = block;
    EXPECT_EQ(coder->Decode(stream, 5, allocated, 0xFFFFFFFFu, true), Aux::CLZSS::kSourceTooShort);
    EXPECT_EQ(allocated, nullptr); // refused before any block is made for the claim
}

TEST(Lzss, SmartPointerFormsAllocateOrUseTheGivenBlock)
{
    auto coder = std::make_unique<Aux::CLZSS>();
    const std::uint8_t stream[] = {0x03, 0x61, 0x62, 0xEE, 0xF3};
    ZTL::smart_ptr<std::uint8_t> out;
    ASSERT_EQ(coder->Decode(stream, 5, out, 8), 0);
    ASSERT_EQ(out.getElementCount(), 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.get()), 8), "abababab");

    ZTL::smart_ptr<std::uint8_t> small;
    small.resetArray(4);
    EXPECT_EQ(coder->Decode(stream, 5, small, 8), Aux::CLZSS::kDestinationSmall);
    ZTL::smart_ptr<std::uint8_t> offset;
    offset.resetArray(10);
    offset.setIndex(4); // six elements left from the designated one
    EXPECT_EQ(coder->Decode(stream, 5, offset, 8), Aux::CLZSS::kDestinationSmall);
    offset.setIndex(2);
    ASSERT_EQ(coder->Decode(stream, 5, offset, 8), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(offset.get()), 8), "abababab");
    offset.setIndex(20);
    EXPECT_EQ(coder->Decode(stream, 5, offset, 8), Aux::CLZSS::kDestinationSmall);

    std::vector<std::uint8_t> data = MixedData(5000, 1);
    ZTL::smart_ptr<std::uint8_t> packed;
    std::uint32_t packedSize = 0;
    ASSERT_EQ(coder->Encode(data.data(), packed, 5000, packedSize), 0);
    EXPECT_EQ(packed.getElementCount(), packedSize);
    std::uint32_t countedSize = 0;
    EXPECT_EQ(coder->Encode(data.data(), packed, 5000, countedSize), 0); // a given block: count only
    EXPECT_EQ(countedSize, packedSize);
    ZTL::smart_ptr<std::uint8_t> back;
    ASSERT_EQ(coder->Decode(packed.get(), packedSize, back, 5000), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(back.get(), back.get() + 5000), data);
}

TEST(Lzss, RefusesShortAndIncompressibleInput)
{
    auto coder = std::make_unique<Aux::CLZSS>();
    std::vector<std::uint8_t> zeros(16, 0);
    std::uint8_t* destination = nullptr;
    std::uint32_t size = 77;
    EXPECT_EQ(coder->Encode(zeros.data(), destination, 16, size, true), 1);
    EXPECT_EQ(destination, nullptr);

    std::mt19937 rng(5);
    std::vector<std::uint8_t> noise(1000);
    for (auto& b : noise)
        b = static_cast<std::uint8_t>(rng());
    EXPECT_EQ(coder->Encode(noise.data(), destination, 1000, size, true), 1);
    EXPECT_EQ(destination, nullptr);
    EXPECT_EQ(coder->Encode(noise.data(), destination, 1000, size, false), 1);

    // 17 zero bytes pack into one group: the flag and one match of 17 into the initial zeros, at the
    // position inserted last before the first byte (4060).
    zeros.assign(17, 0);
    ASSERT_EQ(coder->Encode(zeros.data(), destination, 17, size, true), 0);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(std::vector<std::uint8_t>(destination, destination + 3),
              (std::vector<std::uint8_t>{0x00, 0xDC, 0xFE}));
    delete[] destination;
}

TEST(Lzss, RoundTripsFrom17BytesTo1Megabyte)
{
    auto coder = std::make_unique<Aux::CLZSS>();
    for (std::size_t size : {17u, 18u, 19u, 100u, 4095u, 4096u, 4097u, 4113u, 65536u, 1u << 20}) {
        std::vector<std::uint8_t> data = MixedData(size, static_cast<unsigned>(size));
        if (size < 64) data.assign(size, 'z');
        std::uint8_t* packed = nullptr;
        std::uint32_t packedSize = 0;
        ASSERT_EQ(coder->Encode(data.data(), packed, static_cast<std::uint32_t>(size), packedSize, true), 0)
            << size;
        EXPECT_LT(packedSize, size - 8);
        std::uint32_t countedSize = 0;
        std::uint8_t* none = nullptr;
        ASSERT_EQ(coder->Encode(data.data(), none, static_cast<std::uint32_t>(size), countedSize, false), 0);
        EXPECT_EQ(countedSize, packedSize);
        EXPECT_EQ(none, nullptr);

        std::uint8_t* back = nullptr;
        ASSERT_EQ(coder->Decode(packed, packedSize, back, static_cast<std::uint32_t>(size), true), 0) << size;
        EXPECT_EQ(std::vector<std::uint8_t>(back, back + size), data) << size;
        // Every byte of the stream is needed.
        std::uint8_t* cut = nullptr;
        EXPECT_EQ(coder->Decode(packed, packedSize - 1, cut, static_cast<std::uint32_t>(size), true),
                  Aux::CLZSS::kSourceTooShort);
        delete[] packed;
        delete[] back;
    }
}

} // namespace
