#pragma once
// What the structured fuzz targets share: reading values from the input.

#include <cstddef>
#include <cstdint>

namespace fuzz_input {

// Reads little-endian values from the input, 0 once it runs out.
struct Reader
{
    const std::uint8_t* data;
    std::size_t size;
    std::uint32_t Take(int bytes)
    {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            const std::uint32_t b = size > 0 ? *data : 0;
            if (size > 0) ++data, --size;
            v |= b << (8 * i);
        }
        return v;
    }
    // Mostly near zero (-16 to 47), sometimes anywhere in the 32-bit range.
    std::int32_t Coordinate()
    {
        const std::uint32_t v = Take(2);
        return (v & 0x8000) != 0 ? static_cast<std::int32_t>(Take(4))
                                 : static_cast<std::int32_t>(v % 64) - 16;
    }
};

} // namespace fuzz_input
