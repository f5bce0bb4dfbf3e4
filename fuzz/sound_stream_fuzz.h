#pragma once
// What the sound stream fuzz targets share: the input as a file on disk, and a stream driven through
// every operation.

#include "sdk/multimedia/sound_stream.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace sound_fuzz {

namespace mm = zelvoranGameSDK3rd::Multimedia;

// Writes the input to a file of that name in the working folder; its full path.
inline std::string PutFile(const char* name, const std::uint8_t* data, std::size_t size)
{
    const std::string path = (std::filesystem::current_path() / name).string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size != 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

// Reads the stream to its end in pieces of the given sizes in turn, after seeking to each position;
// a read may never deliver more than asked.
inline void Drive(mm::ISoundStream& stream, const std::vector<int>& positions)
{
    static const std::uint32_t pieces[] = {4093, 1, 8192, 65536};
    std::vector<std::uint8_t> buffer(65536);
    stream.GetLength();
    stream.GetFormat();
    for (int position : positions) {
        stream.SetCurrentPos(position);
        stream.GetCurrentPos();
        // Until every size of piece has found the end (a piece can be too small for one block).
        for (int i = 0, empty = 0; i < 4096 && empty < 4; ++i) {
            const std::uint32_t piece = pieces[i % 4];
            const std::uint32_t n = stream.Read(buffer.data(), piece);
            if (n == 0xFFFFFFFFu) break;
            if (n > piece) std::abort();
            empty = n == 0 ? empty + 1 : 0;
        }
    }
}

} // namespace sound_fuzz
