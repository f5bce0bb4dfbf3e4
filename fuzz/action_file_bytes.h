#pragma once
// What the targets over the run's ".act" file share: a file whose header and chunk sums are right
// around words taken from the input, so that the commands themselves are reached.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzz_input {

inline void PutLittle(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}

// The header for the user and floor, then the input's whole words in chunks of at most `chunkWords`
// words, each followed by the running sum of the bytes of every word so far.
inline std::vector<std::uint8_t> MakeActionFile(std::int32_t user, std::int32_t floor,
                                                const std::uint8_t* data, std::size_t size,
                                                std::size_t chunkWords)
{
    std::vector<std::uint8_t> file = {'q', 'r', 'l', 's'};
    PutLittle(file, std::uint32_t(user), 4);
    PutLittle(file, std::uint32_t(floor), 4);
    const std::size_t words = size / 4;
    std::uint32_t sum = 0;
    for (std::size_t first = 0; first < words; first += chunkWords) {
        const std::size_t count = words - first < chunkWords ? words - first : chunkWords;
        PutLittle(file, std::uint32_t(count), 2);
        for (std::size_t i = 0; i < 4 * count; ++i) {
            file.push_back(data[4 * first + i]);
            sum += data[4 * first + i];
        }
        PutLittle(file, sum & 0xFFFF, 2);
    }
    return file;
}

} // namespace fuzz_input
