// A replay file of any content, as one dropped on the window: opening it and showing each of the floors
// its header names, as the game-main scene's floor start does (EnterReplayFloor), reads nothing past the
// file, allocates nothing the file does not hold and answers with the readers' own codes, and never turns
// the state into play: the play mode stays the replay's, and a floor shown is one of a dungeon, never the
// warehouse floor whose start leaves for the camp. The first input byte chooses how the rest is taken:
// odd values have the target put right the check values of the header and of every snapshot the header
// points to, so that the content behind them is reached; even values take the rest as it is.

#include "replay_floor_codes.h"

#include "game/app/replay.h"
#include "game/data/check_value.h"
#include "platform/host/little_endian.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* kFileName = "fuzz.rpl";

std::uint64_t U32At(const Bytes& bytes, std::uint64_t at)
{
    return at + 4 <= bytes.size() ? platform::ReadU32(bytes.data() + at) : 0;
}

// Recomputes the check value at the end of the `length` bytes that start at `at`, when they are there.
void PutRightCheckValue(Bytes& bytes, std::uint64_t at, std::uint64_t length)
{
    if (length < 4 || at > bytes.size() || length > bytes.size() - at) return;
    const std::uint32_t check = ComputeCheckValue(std::span(bytes.data() + at, length - 4));
    for (int i = 0; i < 4; ++i)
        bytes[at + length - 4 + std::uint64_t(i)] = std::uint8_t(check >> (24 - 8 * i));
}

// The header first (its check value covers the floor index), then each snapshot it points to.
void PutRight(Bytes& file)
{
    const std::uint64_t headerLength = U32At(file, 0);
    PutRightCheckValue(file, 4, headerLength);
    const std::uint64_t bodyStart = U32At(file, 4 + headerLength);
    const std::uint64_t floors = U32At(file, 4 + 16);
    for (std::uint64_t i = 0; i < floors && 4 + 24 + 8 * i + 4 <= file.size(); ++i) {
        const std::uint64_t record = U32At(file, 4 + 24 + 8 * i) + bodyStart + 4;
        PutRightCheckValue(file, record + 4, U32At(file, record));
    }
    PutRightCheckValue(file, 4, headerLength);
}

bool WriteFile(const Bytes& bytes)
{
    std::FILE* file = std::fopen(kFileName, "wb");
    if (file == nullptr) return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto game = [] {
        auto made = std::make_unique<SGameResource>();
        made->items.kindCount = 6; // the identification state's length in the seeds
        return made;
    }();
    if (size == 0) return 0;
    Bytes file(data + 1, data + size);
    if ((data[0] & 1) != 0) PutRight(file);
    if (!WriteFile(file)) return 0;

    static const std::set<int> opened = {kReplayOpened,      kReplayHeaderLengthMissing,
                                         kReplayHeaderShort, kReplayBadCheck,
                                         kReplayNotAReplay,  kReplayBodyStartMissing};
    const int result = OpenReplay(*game, kFileName);
    if (opened.count(result) == 0) std::abort();
    if (result != kReplayOpened) {
        if (!game->runStartValues.empty()) std::abort();
        return 0;
    }
    const auto named = game->runStartValues;
    for (const auto& [floor, offset] : named) {
        game->passwordHistory.clear();
        game->playMode = kPlayReplay;
        std::int32_t shown = floor;
        const int floorResult = EnterReplayFloor(*game, shown);
        if (!fuzz_input::IsReplayFloorCode(floorResult) || shown != floor) std::abort();
        if (game->playMode != kPlayReplay) std::abort();
        if (floorResult != kReplayFloorLoaded) continue;
        // Every word of the floor's log came from the file.
        if (game->actionLog.GetReadWords().size() * 4 > file.size()) std::abort();
        if (game->dungeon < 1) std::abort();
    }
    return 0;
}
