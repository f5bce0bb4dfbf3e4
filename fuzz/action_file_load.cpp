// An ".act" file of any content: the reader reads nothing past the bytes it is given, takes the words
// only when it could read the whole file, leaves the log as it was otherwise, and the commands it took
// read back without running past the buffer. The first byte picks the byte limit and whether the rest
// is the whole file or the chunks behind a right header.

#include "game/data/action_log.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::int32_t kUser = 3;
constexpr std::int32_t kFloor = 2;

std::vector<std::uint8_t> Header()
{
    return {'q', 'r', 'l', 's', kUser, 0, 0, 0, kFloor, 0, 0, 0};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    std::vector<std::uint8_t> file = (mode & 1) != 0 ? std::vector<std::uint8_t>() : Header();
    file.insert(file.end(), data + 1, data + size);
    const std::size_t limit = (mode >> 1) == 0x7F ? kNoByteLimit : std::size_t(mode >> 1) * 4;

    // The log holds one word read before.
    CActionLog log;
    std::vector<std::uint8_t> earlier = Header();
    earlier.insert(earlier.end(), {1, 0, 9, 0, 0, 0, 9, 0});
    if (ReadActionFile(log, kUser, kFloor, earlier) != kActionFileRead) std::abort();

    const int result = ReadActionFile(log, kUser, kFloor, file, limit);
    switch (result) {
    case kActionFileRead:
        break;
    case kActionFileBadMagic:
    case kActionFileOtherUser:
    case kActionFileOtherFloor:
    case kActionFileWordMissing:
    case kActionFileSumWrong:
        if (log.GetReadWords() != std::vector<std::uint32_t>{9}) std::abort();
        return 0;
    default:
        std::abort();
    }
    if (log.GetReadWords().size() * 4 + 12 > file.size()) std::abort();
    std::size_t commands = 0;
    for (SPlayerCommand command; log.ReadCommand(command), command.kind != -1;)
        if (++commands > log.GetReadWords().size()) std::abort();
    if (std::size_t(log.GetReadIndex()) != log.GetReadWords().size()) std::abort();
    return 0;
}
