// Ogg Vorbis files of any content through the stream plug-in's stream: opening reads the file whole
// within the read cap, and reading and seeking never deliver more than asked. The plug-in's source is
// compiled in, so that its stream class is reached without loading the library.

#include "sound_stream_fuzz.h"

#include "sdk/multimedia/zelvogg/vorbis_stream.cpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = sound_fuzz::PutFile("fuzz.ogg", data, size);
    CVorbisStream stream;
    if (stream.Open(path.c_str()) == 0) {
        const sound_fuzz::mm::WAVEFORMATEX* format = stream.GetFormat();
        if (format == nullptr || format->nChannels < 1 || format->nChannels > 2) std::abort();
        sound_fuzz::Drive(stream, {0, 1, stream.GetLength() / 2, stream.GetLength() - 1, -1});
    }
    return 0;
}
