// Decoding a minute of sound through the streams the stream factory opens: PCM WAVE, IMA ADPCM WAVE,
// MPEG audio at 128 kbit/s and Ogg Vorbis through the plug-in, all 44100 Hz stereo, read in pieces of
// 64 KiB as a streamed sound reads them. "x_realtime" is how many times faster than the sound plays.
#include "tests/support/sound_encoders.h"

#include "sdk/appframe/object_creater.h"
#include "sdk/multimedia/sound_stream.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace {

namespace sdk = zelvoranGameSDK3rd;
namespace mm = zelvoranGameSDK3rd::Multimedia;
using namespace sound_files;

constexpr std::uint32_t kRate = 44100;
constexpr std::uint32_t kSeconds = 60;

// The minute of sound in each kind, made once into a folder of the benchmark's own.
const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = [] {
        const auto path = std::filesystem::temp_directory_path() /
                          ("marovellin_bench_" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path);
        const Samples minute = Sine(kRate, 2, kRate * kSeconds);
        Bytes pcm{'R', 'I', 'F', 'F', 0,  0, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
                  ' ', 16,  0,   0,   0,  1, 0,   2,   0,   0x44, 0xAC, 0,   0,   0x10, 0xB1,
                  2,   0,   4,   0,   16, 0, 'd', 'a', 't', 'a',  0,    0,   0,   0};
        const std::uint32_t dataBytes = std::uint32_t(minute.size() * 2);
        for (int i = 0; i < 4; ++i) {
            pcm[40 + i] = std::uint8_t(dataBytes >> (8 * i));
            pcm[4 + i] = std::uint8_t((dataBytes + 36) >> (8 * i));
        }
        for (std::int16_t s : minute) {
            pcm.push_back(std::uint8_t(s));
            pcm.push_back(std::uint8_t(std::uint16_t(s) >> 8));
        }
        WriteFile(path / "pcm.wav", pcm);
        if (EncodeWave(path / "ima.wav", SF_FORMAT_IMA_ADPCM, kRate, 2, minute).empty()) std::abort();
        WriteFile(path / "minute.mp3", EncodeMp3(kRate, 2, 128, minute));
        WriteFile(path / "minute.ogg", EncodeOgg(kRate, 2, minute));
        std::atexit([] { std::filesystem::remove_all(Folder()); });
        return path;
    }();
    return folder;
}

void DecodeMinute(benchmark::State& state, const char* name)
{
    static const bool plugIn =
        sdk::AppFrame::CObjectCreater::GetInstance()->LoadPlugIn(MAROVELLIN_OGG_PLUGIN) == 0;
    (void)plugIn;
    mm::CSoundStreamFactory factory;
    factory.extensionMap->Write("ogg", "CVorbisStream");
    const std::string path = (Folder() / name).string();
    std::vector<std::uint8_t> buffer(1 << 16);
    for (auto _ : state) {
        const sdk::ZTL::smart_ptr<mm::ISoundStream> stream = factory.Open(path.c_str());
        std::uint64_t bytes = 0;
        while (const std::uint32_t n = stream->Read(buffer.data(), std::uint32_t(buffer.size()))) {
            if (n > buffer.size()) break;
            bytes += n;
        }
        // Short of a second, the kind did not decode.
        if (bytes < std::uint64_t(kSeconds - 1) * kRate * 4) state.SkipWithError("the minute did not decode");
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["x_realtime"] =
        benchmark::Counter(double(state.iterations()) * kSeconds, benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(DecodeMinute, PcmWave, "pcm.wav")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeMinute, ImaAdpcmWave, "ima.wav")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeMinute, Mp3, "minute.mp3")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeMinute, OggVorbis, "minute.ogg")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
