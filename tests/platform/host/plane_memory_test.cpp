// The row copy against memcpy and memmove at every short length and the long ones, from every alignment of
// either side to the vector width and with the destination just past the source modulo 4 KiB; and where
// plane memory starts.
#include "platform/host/plane_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <vector>

namespace {

using CopyFn = void (*)(void*, const void*, std::size_t);

// Copies `length` bytes between two buffers at the given offsets and checks every byte of the destination
// buffer: the copied ones equal the source, the others stay.
void ExpectCopies(CopyFn copy, std::size_t length, std::size_t srcOffset, std::size_t dstOffset,
                  std::mt19937& rng)
{
    std::vector<std::uint8_t> src(length + srcOffset + 64), dst(length + dstOffset + 64);
    for (auto& b : src)
        b = static_cast<std::uint8_t>(rng());
    for (auto& b : dst)
        b = static_cast<std::uint8_t>(rng());
    std::vector<std::uint8_t> want = dst;
    std::memcpy(want.data() + dstOffset, src.data() + srcOffset, length);
    copy(dst.data() + dstOffset, src.data() + srcOffset, length);
    ASSERT_EQ(dst, want) << "length " << length << " from +" << srcOffset << " to +" << dstOffset;
}

std::vector<CopyFn> Forms()
{
    std::vector<CopyFn> forms{&platform::CopyRow, &platform::CopyRowSse2, &platform::MoveRow};
    if (platform::HasAvx2()) forms.push_back(&platform::CopyRowAvx2);
    return forms;
}

TEST(RowCopy, EveryLengthFromEveryAlignment)
{
    std::mt19937 rng(1);
    for (CopyFn copy : Forms()) {
        for (std::size_t length = 0; length <= 300; ++length)
            for (std::size_t srcOffset : {0, 1, 7, 16, 31})
                for (std::size_t dstOffset : {0, 3, 8, 17, 32})
                    ExpectCopies(copy, length, srcOffset, dstOffset, rng);
        for (std::size_t length : {2111, 2112, 2560, 4096, 4097, 8191})
            for (std::size_t offset = 0; offset < 33; ++offset)
                ExpectCopies(copy, length, offset % 5, offset, rng);
        if (HasFatalFailure()) return;
    }
}

// Rows of a plane whose destination starts a few bytes after its source modulo 4 KiB, as on the layouts
// where the C library's copy falls off a cliff.
TEST(RowCopy, DestinationJustPastTheSourceModulo4KiB)
{
    std::mt19937 rng(2);
    std::vector<std::uint8_t> block(3 * 4096 + 2560 + 64);
    for (auto& b : block)
        b = static_cast<std::uint8_t>(rng());
    for (std::size_t past : {1, 4, 16, 63}) {
        std::vector<std::uint8_t> copy = block;
        std::uint8_t* src = copy.data();
        std::uint8_t* dst = copy.data() + 2 * 4096 + past;
        std::vector<std::uint8_t> want = copy;
        std::memcpy(want.data() + 2 * 4096 + past, want.data(), 2560);
        platform::CopyRow(dst, src, 2560);
        EXPECT_EQ(copy, want) << past;
    }
}

TEST(RowCopy, MoveRowTakesOverlappingRangesAsMemmove)
{
    std::mt19937 rng(3);
    for (std::size_t length : {5, 64, 300, 2560})
        for (int shift : {-33, -4, -1, 1, 4, 33}) {
            std::vector<std::uint8_t> buffer(length + 80);
            for (auto& b : buffer)
                b = static_cast<std::uint8_t>(rng());
            std::vector<std::uint8_t> want = buffer;
            std::memmove(want.data() + 40 + shift, want.data() + 40, length);
            platform::MoveRow(buffer.data() + 40 + shift, buffer.data() + 40, length);
            EXPECT_EQ(buffer, want) << length << " by " << shift;
        }
}

TEST(PlaneMemory, AlignedZeroedAndLargeBlocksStaggered)
{
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{100}, std::size_t{4000}}) {
        platform::PlaneMemory small = platform::AllocatePlaneMemory(size, true);
        ASSERT_TRUE(small);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(small.get()) % 64, 0u);
        for (std::size_t i = 0; i < size; ++i)
            ASSERT_EQ(small[i], 0) << size;
    }
    // Four large planes in a row start at four different quarter pages.
    std::vector<platform::PlaneMemory> planes;
    std::set<std::uintptr_t> quarters;
    for (int i = 0; i < 4; ++i) {
        planes.push_back(platform::AllocatePlaneMemory(640 * 480 * 4, false));
        ASSERT_TRUE(planes.back());
        const auto start = reinterpret_cast<std::uintptr_t>(planes.back().get());
        EXPECT_EQ(start % 1024, 0u);
        quarters.insert(start % 4096);
        planes.back()[640 * 480 * 4 - 1] = 1; // the whole size is there
    }
    EXPECT_EQ(quarters.size(), 4u);
}

} // namespace
