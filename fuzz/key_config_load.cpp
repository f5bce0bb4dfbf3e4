// "save\key.cfg" of any content: the reader reads nothing past the bytes it is given, keeps the bindings
// it had when the header or the records are missing, and what it takes it stores again byte for byte.

#include "game/data/key_config.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::vector<SKeyConfigData> before = {{1, 0, 0x2D}};
    std::vector<SKeyConfigData> bindings = before;
    switch (DecodeKeyConfig(bytes, bindings)) {
    case kKeyConfigLoaded: {
        if (4 + 12 * bindings.size() > size) std::abort();
        const std::vector<std::uint8_t> stored = EncodeKeyConfig(bindings);
        if (!bindings.empty() && !std::equal(stored.begin(), stored.end(), bytes.begin())) std::abort();
        break;
    }
    case kKeyConfigNoHeader:
    case kKeyConfigTruncated:
    case kKeyConfigNoRecords:
        if (bindings != before) std::abort();
        break;
    case kKeyConfigBadCheck:
        if (!bindings.empty()) std::abort();
        break;
    default:
        std::abort();
    }
    return 0;
}
