// The LZSS decoder over untrusted streams, and the coder's round trip on what it decodes.

#include "sdk/auxiliary/lzss.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace Aux = zelvoranGameSDK3rd::Auxiliary;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    // The first two bytes give the decoded size, as a pack entry would beside the stream; with the top
    // bit set the rest is scaled up, so that claims of up to 4 GiB are made of short streams too.
    const std::uint32_t claim = data[0] | (std::uint32_t{data[1]} << 8);
    const std::uint32_t decodedSize = (claim & 0x8000) != 0 ? (claim & 0x7FFF) << 17 | 0x1FFFF : claim;
    const std::uint8_t* stream = data + 2;
    const auto streamSize = static_cast<std::uint32_t>(size - 2);

    auto coder = std::make_unique<Aux::CLZSS>();
    std::uint8_t* decoded = nullptr;
    const int result = coder->Decode(stream, streamSize, decoded, decodedSize, true);
    if (result != Aux::CLZSS::kOk) {
        if (decoded != nullptr) std::abort(); // a failed decode keeps no block
        return 0;
    }

    std::uint8_t* packed = nullptr;
    std::uint32_t packedSize = 0;
    if (coder->Encode(decoded, packed, decodedSize, packedSize, true) == Aux::CLZSS::kOk) {
        if (packedSize + 8 >= decodedSize) std::abort();
        std::uint8_t* again = nullptr;
        if (coder->Decode(packed, packedSize, again, decodedSize, true) != Aux::CLZSS::kOk ||
            std::memcmp(again, decoded, decodedSize) != 0)
            std::abort();
        delete[] again;
        delete[] packed;
    } else if (packed != nullptr) {
        std::abort();
    }
    delete[] decoded;
    return 0;
}
