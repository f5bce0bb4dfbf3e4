// An option file of any content: the reader answers with its own codes, changes nothing when it fails,
// and what it takes it stores again byte for byte. When the first input byte is odd the target puts
// the byte sum at the end right, so that the content behind it is reached.

#include "game/data/check_value.h"
#include "game/data/config.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr const char* kFileName = "fuzz.cfg";

std::vector<std::uint8_t> ReadBack()
{
    std::vector<std::uint8_t> bytes;
    std::FILE* file = std::fopen(kFileName, "rb");
    if (file == nullptr) return bytes;
    for (int c; (c = std::fgetc(file)) != EOF;)
        bytes.push_back(std::uint8_t(c));
    std::fclose(file);
    return bytes;
}

bool Same(const SConfig& a, const SConfig& b)
{
    return a.menuBackgroundMoves == b.menuBackgroundMoves && a.translucentWindows == b.translucentWindows &&
           a.darknessFades == b.darknessFades && a.smoothFont == b.smoothFont && a.showMap == b.showMap &&
           a.messageSpeed == b.messageSpeed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    if ((data[0] & 1) != 0) AppendByteSum(bytes);
    std::FILE* file = std::fopen(kFileName, "wb");
    if (file == nullptr) return 0;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) return 0;

    SConfig config;
    config.name = kFileName;
    config.messageSpeed = 77;
    const SConfig before = config;
    switch (LoadOptions(config)) {
    case kOptionsDone: {
        // Saved again, the options read back the same.
        SConfig loaded = config;
        if (SaveOptions(loaded) != 0) std::abort();
        SConfig again;
        again.name = kFileName;
        if (LoadOptions(again) != kOptionsDone || !Same(again, loaded)) std::abort();
        if (ReadBack().size() > bytes.size()) std::abort();
        break;
    }
    case kOptionsUnreadable:
    case kOptionsBadSum:
    case kOptionsBadFormat:
        if (!Same(config, before)) std::abort();
        break;
    default:
        std::abort();
    }
    return 0;
}
