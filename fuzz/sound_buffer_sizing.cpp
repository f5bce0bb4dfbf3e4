// The wave sounds' buffer sizing, driven by streams whose header fields are crafted: whatever format
// and length a stream claims, a static sound's buffer holds no more than the stream delivered and
// never more than its cap, and a streamed sound's ring never passes three seconds at the fastest rate.
// The input gives the format fields, the claimed length and the data the stream delivers.

#include "fuzz_reader.h"

#include "sdk/multimedia/wave_static_sound.h"
#include "sdk/multimedia/wave_stream_sound.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

namespace sdk = zelvoranGameSDK3rd;
namespace mm = zelvoranGameSDK3rd::Multimedia;

// What the last input's stream claims and holds.
struct SClaim
{
    mm::WAVEFORMATEX format{};
    int length = 0;
    std::vector<std::uint8_t> data;
};
SClaim g_claim;
std::uint64_t g_delivered = 0; // bytes the streams of this input delivered
std::uint64_t g_largest = 0;   // the largest buffer made for this input

class ClaimStream : public mm::ISoundStream
{
public:
    ClaimStream() : m_format(g_claim.format) {}
    int Open(const char*) override { return 0; }
    int Close() override { return 0; }
    int GetLength() override { return g_claim.length; }
    int SetCurrentPos(int milliseconds) override
    {
        m_position = std::min<std::size_t>(std::size_t(std::max(milliseconds, 0)), g_claim.data.size());
        return 0;
    }
    int GetCurrentPos() override { return int(m_position); }
    std::uint32_t Read(void* buffer, std::uint32_t size) override
    {
        const std::size_t n = std::min<std::size_t>(size, g_claim.data.size() - m_position);
        if (n != 0) std::memcpy(buffer, g_claim.data.data() + m_position, n);
        m_position += n;
        g_delivered += n;
        return std::uint32_t(n);
    }
    mm::WAVEFORMATEX* GetFormat() override { return &m_format; }

private:
    mm::WAVEFORMATEX m_format;
    std::size_t m_position = 0;
};

class ClaimFactory : public mm::ISoundStreamFactory
{
public:
    sdk::ZTL::smart_ptr<mm::ISoundStream> Open(const sdk::ZTL::string&) override
    {
        return sdk::ZTL::smart_ptr<mm::ISoundStream>(new ClaimStream);
    }
};

// A buffer in memory that takes any format, so that only the sounds' own sizing is tried; it never
// plays, so a streamed sound stops before its refill thread starts.
class MemoryBuffer : public mm::CNullSoundBuffer
{
public:
    int GetType() override { return 1; }
    int Create(const mm::WAVEFORMATEX* format, std::uint32_t size, bool, mm::CSoundParameter*) override
    {
        if (format == nullptr || size == 0) return 1;
        g_largest = std::max<std::uint64_t>(g_largest, size);
        // Past the caps of either sound: the sizing let a header through.
        if (size > std::max<std::uint64_t>(mm::CWaveStaticSound::kMaxBytes,
                                           3ull * mm::CWaveStreamSound::kMaxBytesPerSecond))
            std::abort();
        m_format = *format;
        m_bytes.assign(size, 0);
        return 0;
    }
    int GetStatus() override { return kStatusStopped; }
    int GetFormat(mm::WAVEFORMATEX* format) override
    {
        *format = m_format;
        return 0;
    }
    int SetCurrentPosition(std::uint32_t) override { return 0; }
    int GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) override
    {
        if (play != nullptr) *play = 0;
        if (write != nullptr) *write = 0;
        return 0;
    }
    int Lock(std::uint32_t offset, std::uint32_t bytes, void** part1, std::uint32_t* size1, void** part2,
             std::uint32_t* size2) override
    {
        if (offset > m_bytes.size() || bytes > m_bytes.size() - offset) return 2;
        *part1 = m_bytes.data() + offset;
        *size1 = bytes;
        if (part2 != nullptr) *part2 = nullptr;
        if (size2 != nullptr) *size2 = 0;
        return 0;
    }
    int Unlock(void*, std::uint32_t, void*, std::uint32_t) override { return 0; }
    int Play(bool) override { return 3; }
    int Stop() override { return 0; }

private:
    mm::WAVEFORMATEX m_format{};
    std::vector<std::uint8_t> m_bytes;
};

class MemoryOutput : public mm::IWaveOutput
{
public:
    MemoryOutput()
    {
        GetSoundParameter()->SetStreamFactory(sdk::ZTL::smart_ptr<mm::ISoundStreamFactory>(new ClaimFactory));
    }
    int GetType() override { return 1; }
    sdk::ZTL::smart_ptr<mm::ISoundBuffer> CreateBuffer() override
    {
        return sdk::ZTL::smart_ptr<mm::ISoundBuffer>(new MemoryBuffer);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static MemoryOutput output;
    fuzz_input::Reader in{data, size};
    g_claim.format = mm::WAVEFORMATEX{};
    g_claim.format.wFormatTag = std::uint16_t(in.Take(1) & 1 ? 1 : in.Take(2));
    g_claim.format.nChannels = std::uint16_t(in.Take(2));
    g_claim.format.nSamplesPerSec = in.Take(4);
    g_claim.format.nAvgBytesPerSec = in.Take(4);
    g_claim.format.nBlockAlign = std::uint16_t(in.Take(2));
    g_claim.format.wBitsPerSample = std::uint16_t(in.Take(2));
    g_claim.length = std::int32_t(in.Take(4));
    // The data there is: the rest of the input, repeated as many times as a byte says.
    const std::uint32_t repeats = in.Take(1) + 1;
    g_claim.data.clear();
    for (std::uint32_t i = 0; i < repeats; ++i)
        g_claim.data.insert(g_claim.data.end(), in.data, in.data + in.size);

    g_delivered = g_largest = 0;
    {
        mm::CWaveStaticSound sound(&output);
        if (sound.Open("claim.wav") == 0 &&
            (g_largest > g_delivered || g_largest > mm::CWaveStaticSound::kMaxBytes))
            std::abort();
    }
    g_largest = 0;
    {
        mm::CWaveStreamSound sound(&output);
        sound.Open("claim.wav");
        sound.Play(); // makes the ring, then stops: the buffer does not play
        if (g_largest > 3ull * mm::CWaveStreamSound::kMaxBytesPerSecond) std::abort();
        sound.Close();
    }
    return 0;
}
