#pragma once
// The stream that decodes compressed sound to PCM: RIFF WAVE files whose format is not PCM (IMA and
// Microsoft ADPCM, µ-law, A-law) and MPEG audio files, whose first frame header it reads itself. The
// whole file is read into memory; each Read converts straight from the image into the caller's buffer.

#include "platform/host/media/sound_codec.h"
#include "sdk/auxiliary/file.h"
#include "sdk/multimedia/sound_stream.h"

#include <memory>

namespace zelvoranGameSDK3rd::Multimedia {

// The format record of MPEG Layer-3 data, 30 bytes as stored.
#pragma pack(push, 2)
struct MPEGLAYER3WAVEFORMAT
{
    WAVEFORMATEX wfx;
    platform::WORD wID;
    platform::DWORD fdwFlags;
    platform::WORD nBlockSize;
    platform::WORD nFramesPerBlock;
    platform::WORD nCodecDelay;
};
#pragma pack(pop)
static_assert(sizeof(MPEGLAYER3WAVEFORMAT) == 30);

class CACMStream : public ISoundStream
{
public:
    CACMStream();
    CACMStream(const CACMStream&) = delete;
    CACMStream& operator=(const CACMStream&) = delete;
    ~CACMStream() override;

    // 0 opened; 1 the file cannot be read; 2 neither a compressed RIFF WAVE nor a usable MPEG audio file;
    // 3 no decoder takes the format; 4 the decoder cannot start; 5 a block of the format gives no output.
    // A failure after the file was read leaves the stream closed.
    int Open(const char* fileName) override;
    int Close() override;
    int GetLength() override { return m_lengthMs; }
    // 0 done; 1 no output format; 2 the time is negative or not before the end; 3 the decoder cannot
    // start again.
    int SetCurrentPos(int milliseconds) override;
    int GetCurrentPos() override;
    // PCM bytes delivered; 0 at the end or after a failed conversion; 0xFFFFFFFF when closed.
    std::uint32_t Read(void* buffer, std::uint32_t size) override;
    WAVEFORMATEX* GetFormat() override { return &m_outputFormat; }

    // What the first MPEG frame header says, for tests.
    const MPEGLAYER3WAVEFORMAT& GetMp3Format() const { return m_mp3Format; }

private:
    // A compressed RIFF WAVE file: 0, 1 no image, 2 not RIFF WAVE, 3 no usable fmt chunk, 4 PCM or no
    // data chunk.
    int InitializeNormal();
    // An MPEG audio file from its first frame header: 0 or 1.
    int InitializeMP3();
    std::unique_ptr<platform::SoundDecoder> MakeDecoder() const;

    ZTL::smart_ptr<Auxiliary::CFile> m_file;
    // The compressed format's record: in the image, or m_mp3Record.
    const std::uint8_t* m_sourceFormat = nullptr;
    std::uint32_t m_sourceFormatBytes = 0;
    WAVEFORMATEX m_outputFormat{};
    MPEGLAYER3WAVEFORMAT m_mp3Format{};
    std::uint8_t m_mp3Record[sizeof(MPEGLAYER3WAVEFORMAT)] = {}; // m_mp3Format as stored
    std::unique_ptr<platform::SoundDecoder> m_decoder;
    std::uint32_t m_dataSize = 0;
    std::uint32_t m_dataOffset = 0;
    std::uint32_t m_sourcePos = 0;
    int m_lengthMs = 0;
    std::uint32_t m_outputPos = 0;
    std::uint32_t m_sourceBlock = 0;
};

} // namespace zelvoranGameSDK3rd::Multimedia
