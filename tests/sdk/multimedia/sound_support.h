#pragma once
// What the sound tests share: streams of a known pattern that a test describes, a stream factory that
// opens them by name, an application with a sound factory to run the sounds in, and the headless sound
// clock with a wait for the refill thread.

#include "support/app_runner.h"
#include "support/wait.h"

#include "platform/host/headless/headless.h"
#include "platform/sound.h"
#include "sdk/multimedia/sound_factory.h"
#include "sdk/multimedia/wave_sound.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sound_test {

namespace sdk = zelvoranGameSDK3rd;
namespace mm = zelvoranGameSDK3rd::Multimedia;
using SoundPtr = sdk::ZTL::smart_ptr<mm::ISound>;

// Sample i (16-bit samples counted from the start) of every test stream.
inline std::int16_t SampleAt(std::uint64_t i)
{
    return std::int16_t(std::int64_t((i * 37) % 30011) - 15000);
}

// The format and length of a test stream, whose samples follow SampleAt.
struct TestStreamFormat
{
    std::uint32_t rate = 44100;
    std::uint16_t channels = 2;
    std::uint32_t milliseconds = 1000;
    bool noRate = false; // a format whose bytes a second are 0
};

// What the streams of one name were asked, from whatever thread.
struct StreamLog
{
    std::vector<std::uint32_t> Reads()
    {
        std::lock_guard lock(mutex);
        return reads;
    }
    std::mutex mutex;
    std::vector<std::uint32_t> reads;
    int opens = 0;
};

// 16-bit PCM of the pattern.
class TestStream : public mm::ISoundStream
{
public:
    TestStream(const TestStreamFormat& spec, std::shared_ptr<StreamLog> log) : m_log(std::move(log))
    {
        m_format.wFormatTag = platform::WAVE_FORMAT_PCM;
        m_format.nChannels = spec.channels;
        m_format.nSamplesPerSec = spec.rate;
        m_format.wBitsPerSample = 16;
        m_format.nBlockAlign = platform::WORD(2 * spec.channels);
        m_format.nAvgBytesPerSec = spec.noRate ? 0 : spec.rate * m_format.nBlockAlign;
        // As a file's data chunk may be, not necessarily whole frames.
        m_size = std::uint32_t(std::uint64_t(spec.milliseconds) * spec.rate * m_format.nBlockAlign / 1000);
    }
    int Open(const char*) override { return 0; }
    int Close() override { return 0; }
    int GetLength() override
    {
        return m_format.nAvgBytesPerSec == 0 ? -1
                                             : int(std::uint64_t(m_size) * 1000 / m_format.nAvgBytesPerSec);
    }
    int SetCurrentPos(int milliseconds) override
    {
        if (m_format.nAvgBytesPerSec == 0) return 1;
        if (milliseconds < 0 || milliseconds >= GetLength()) return 2;
        m_position = std::uint32_t(std::uint64_t(milliseconds) * m_format.nAvgBytesPerSec / 1000);
        return 0;
    }
    int GetCurrentPos() override
    {
        return m_format.nAvgBytesPerSec == 0
                   ? -1
                   : int(std::uint64_t(m_position) * 1000 / m_format.nAvgBytesPerSec);
    }
    std::uint32_t Read(void* buffer, std::uint32_t size) override
    {
        {
            std::lock_guard lock(m_log->mutex);
            m_log->reads.push_back(size);
        }
        const std::uint32_t n = std::min(size, m_size - m_position);
        auto* out = static_cast<std::uint8_t*>(buffer);
        for (std::uint32_t k = 0; k < n; ++k) {
            const std::uint32_t at = m_position + k;
            const auto sample = std::uint16_t(SampleAt(at / 2));
            out[k] = std::uint8_t(at % 2 == 0 ? sample : sample >> 8);
        }
        m_position += n;
        return n;
    }
    mm::WAVEFORMATEX* GetFormat() override { return &m_format; }

private:
    std::shared_ptr<StreamLog> m_log;
    mm::WAVEFORMATEX m_format{};
    std::uint32_t m_size = 0;
    std::uint32_t m_position = 0;
};

// Opens the streams a test described by name; any other name opens as the null stream.
class TestStreamFactory : public mm::ISoundStreamFactory
{
public:
    void Add(const std::string& name, const TestStreamFormat& spec)
    {
        m_specs[name] = spec;
        m_logs[name] = std::make_shared<StreamLog>();
    }
    StreamLog& Log(const std::string& name) { return *m_logs.at(name); }
    // The names opened, in order.
    std::vector<std::string> opened;
    sdk::ZTL::smart_ptr<mm::ISoundStream> Open(const sdk::ZTL::string& fileName) override
    {
        auto it = m_specs.find(fileName.c_str());
        if (it == m_specs.end()) return sdk::ZTL::smart_ptr<mm::ISoundStream>(new mm::CNullSoundStream);
        ++m_logs[it->first]->opens;
        opened.push_back(it->first);
        return sdk::ZTL::smart_ptr<mm::ISoundStream>(new TestStream(it->second, m_logs[it->first]));
    }

private:
    std::map<std::string, TestStreamFormat> m_specs;
    std::map<std::string, std::shared_ptr<StreamLog>> m_logs;
};

// A sound factory of the application thread whose wave sounds open the test's streams.
struct SoundApp
{
    explicit SoundApp(test_support::BodyApp& app) : app(app), streams(new TestStreamFactory)
    {
        factory.GetSoundParameter()->SetStreamFactory(sdk::ZTL::smart_ptr<mm::ISoundStreamFactory>(streams));
    }
    test_support::BodyApp& app;
    mm::CSoundFactory factory;
    TestStreamFactory* streams; // owned by the factory's sound parameter
};

// Runs the body in a headless application with a window that has the focus; sounds the body makes must
// be gone when it returns.
inline void RunWithSounds(const std::function<void(SoundApp&)>& body)
{
    platform::headless::TakeSoundCapture();
    EXPECT_TRUE(test_support::RunInApplication([&](test_support::BodyApp& app) {
        SoundApp sounds(app);
        body(sounds);
    }));
}

// Moves the sound clock on and waits until the refill threads have looked at the cursors again: enough
// looks for a fill, a fill after rewinding and a look that finds nothing to do.
inline void Advance(std::uint32_t milliseconds)
{
    const std::uint64_t reads = platform::headless::GetSoundCursorReads();
    platform::headless::AdvanceSound(milliseconds);
    test_support::WaitUntil([&] { return platform::headless::GetSoundCursorReads() >= reads + 6; },
                            "the refill thread to look at the cursors again");
}

// Whether the left samples of the mix from frame `from` on follow the pattern from stream frame `start`
// (of a stereo stream of `frames` frames, looped), for `count` frames; reports the first difference.
inline ::testing::AssertionResult FollowsPattern(const std::vector<std::int16_t>& mix, std::size_t from,
                                                 std::size_t count, std::uint64_t start, std::uint64_t frames)
{
    if (mix.size() < 2 * (from + count))
        return ::testing::AssertionFailure() << "only " << mix.size() / 2 << " frames";
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t frame = (start + i) % frames;
        if (mix[2 * (from + i)] != SampleAt(2 * frame) || mix[2 * (from + i) + 1] != SampleAt(2 * frame + 1))
            return ::testing::AssertionFailure()
                   << "mix frame " << from + i << " is not stream frame " << frame;
    }
    return ::testing::AssertionSuccess();
}

inline bool IsSilent(const std::vector<std::int16_t>& mix, std::size_t from)
{
    return std::all_of(mix.begin() + std::ptrdiff_t(2 * from), mix.end(),
                       [](std::int16_t s) { return s == 0; });
}

} // namespace sound_test
