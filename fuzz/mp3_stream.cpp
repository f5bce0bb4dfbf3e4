// MPEG audio files of any shape: the compressed stream's tag and frame-header parsing, its length and
// position arithmetic, and decoding from the second frame on.

#include "sound_stream_fuzz.h"

#include "sdk/multimedia/acm_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = sound_fuzz::PutFile("fuzz.mp3", data, size);
    sound_fuzz::mm::CACMStream stream;
    if (stream.Open(path.c_str()) == 0)
        sound_fuzz::Drive(stream, {0, 1, stream.GetLength() / 3, stream.GetLength() - 1, -1});
    return 0;
}
