// The Ogg Vorbis stream plug-in. Its stream reads the whole file into memory, from disk or from a pack
// archive as every SDK file is read, and decodes it piece by piece.

#include "platform/host/media/sound_codec.h"
#include "sdk/appframe/object_creater.h"
#include "sdk/auxiliary/file.h"
#include "sdk/multimedia/sound_stream.h"

#include <memory>

namespace {

namespace sdk = zelvoranGameSDK3rd;
namespace mm = zelvoranGameSDK3rd::Multimedia;

class CVorbisStream : public mm::ISoundStream
{
public:
    ~CVorbisStream() override { Close(); }

    // 0 opened; 1 the file cannot be read; 2 not an Ogg Vorbis stream of 1 or 2 channels.
    int Open(const char* fileName) override
    {
        Close();
        if (m_file.Read(fileName != nullptr ? fileName : "") != 0) return 1;
        m_decoder = platform::OggVorbisDecoder::Open(m_file.GetMemory(), m_file.GetSize());
        if (!m_decoder) {
            Close();
            return 2;
        }
        const platform::PcmShape pcm = m_decoder->Output();
        m_format.wFormatTag = platform::WAVE_FORMAT_PCM;
        m_format.nChannels = pcm.channels;
        m_format.nSamplesPerSec = pcm.samplesPerSecond;
        m_format.wBitsPerSample = 16;
        m_format.nBlockAlign = platform::WORD(2 * pcm.channels);
        m_format.nAvgBytesPerSec = pcm.samplesPerSecond * m_format.nBlockAlign;
        return 0;
    }

    int Close() override
    {
        m_decoder.reset();
        m_file.Close();
        m_format = mm::WAVEFORMATEX{};
        return 0;
    }

    int GetLength() override
    {
        if (!m_decoder) return -1;
        return FramesToMilliseconds(m_decoder->TotalFrames());
    }

    // 0 done; 1 nothing open; 2 the time is negative or not before the end (0 always goes back to the
    // start); 3 the stream cannot be sought.
    int SetCurrentPos(int milliseconds) override
    {
        if (!m_decoder) return 1;
        if (milliseconds < 0 || (milliseconds != 0 && milliseconds >= GetLength())) return 2;
        const std::uint64_t frame = std::uint64_t(milliseconds) * m_format.nSamplesPerSec / 1000;
        return m_decoder->Seek(frame) ? 0 : 3;
    }

    int GetCurrentPos() override
    {
        if (!m_decoder) return -1;
        return FramesToMilliseconds(m_decoder->Position());
    }

    std::uint32_t Read(void* buffer, std::uint32_t size) override
    {
        if (!m_decoder) return 0;
        return m_decoder->Read(static_cast<std::uint8_t*>(buffer), size);
    }

    mm::WAVEFORMATEX* GetFormat() override { return m_decoder ? &m_format : nullptr; }

private:
    int FramesToMilliseconds(std::uint64_t frames) const
    {
        return int(std::uint32_t(frames * 1000 / m_format.nSamplesPerSec));
    }

    sdk::Auxiliary::CFile m_file;
    std::unique_ptr<platform::OggVorbisDecoder> m_decoder;
    mm::WAVEFORMATEX m_format{};
};

} // namespace

extern "C" __attribute__((visibility("default"))) void
ZelvDllInitializer(sdk::AppFrame::IObjectCreater* creater)
{
    creater->RegisterObject("CVorbisStream", new sdk::ZTL::factory_i2<mm::ISoundStream, CVorbisStream>);
}
