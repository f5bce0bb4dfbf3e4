// RIFF WAVE files of any shape: the PCM stream reading from disk, and the compressed stream parsing the
// memory image and decoding whatever data the format record announces.

#include "sound_stream_fuzz.h"

#include "sdk/multimedia/acm_stream.h"
#include "sdk/multimedia/wave_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = sound_fuzz::PutFile("fuzz.wav", data, size);
    sound_fuzz::mm::CWaveStream wave;
    if (wave.Open(path.c_str()) == 0) sound_fuzz::Drive(wave, {0, 1, wave.GetLength() - 1, -1, 0x7FFFFFFF});
    sound_fuzz::mm::CACMStream compressed;
    if (compressed.Open(path.c_str()) == 0)
        sound_fuzz::Drive(compressed, {0, compressed.GetLength() / 2, compressed.GetLength() - 1, -1});
    return 0;
}
