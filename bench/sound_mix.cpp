// The work of the sound device's callback: mixing every playing buffer into one 16-bit stereo block.
// Sixteen looped buffers of 16-bit stereo, half at 22050 Hz (interpolated) and half at 44100 Hz, mixed
// in blocks of 1024 frames as the real back end's device asks for them. "cpu_s_per_sound_s" is the share of
// one core that mixing takes in real time (CPU seconds per second of sound).
#include "platform/host/sound_mixer.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

void BM_MixSixteenBuffers(benchmark::State& state)
{
    constexpr std::uint32_t kBlock = 1024;
    auto mixer = std::make_shared<platform::SoundMixer>(platform::kMixRate);
    std::vector<std::unique_ptr<platform::SoundVoice>> voices;
    for (int i = 0; i < 16; ++i) {
        const platform::PcmFormat format{i % 2 == 0 ? 22050u : 44100u, 2, 16};
        const std::uint32_t bytes = format.samplesPerSecond * format.BlockAlign(); // one second
        auto voice = mixer->CreateVoice(format, bytes, true);
        std::vector<std::uint8_t> noise(bytes);
        for (std::uint32_t k = 0; k < bytes; ++k)
            noise[k] = std::uint8_t(k * 2654435761u >> 24);
        voice->Write(0, noise.data(), bytes);
        voice->SetVolume(-600 - 100 * i);
        voice->Play(true);
        voices.push_back(std::move(voice));
    }
    std::vector<std::int16_t> out(2 * kBlock);
    for (auto _ : state) {
        mixer->Mix(out.data(), kBlock);
        benchmark::DoNotOptimize(out.data());
    }
    const double soundSeconds = double(state.iterations()) * kBlock / platform::kMixRate;
    state.counters["cpu_s_per_sound_s"] =
        benchmark::Counter(soundSeconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MixSixteenBuffers);

} // namespace

BENCHMARK_MAIN();
