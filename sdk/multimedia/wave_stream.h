#pragma once
// The stream of uncompressed PCM RIFF WAVE files: the bytes of the data chunk, unchanged. A file on disk
// is read through a stdio stream; one that only a pack archive or a search folder provides is read
// whole into memory first and parsed there.

#include "sdk/auxiliary/file.h"
#include "sdk/multimedia/sound_stream.h"

namespace zelvoranGameSDK3rd::Multimedia {

class CWaveStream : public ISoundStream
{
public:
    CWaveStream();
    CWaveStream(const CWaveStream&) = delete;
    CWaveStream& operator=(const CWaveStream&) = delete;
    ~CWaveStream() override;

    // 0 opened; 1 the file cannot be read; 2 not a PCM RIFF WAVE file, or one whose frame size or bytes a
    // second (when not 0) disagree with its channels, sample size and rate. A failure leaves it closed.
    int Open(const char* fileName) override;
    int Close() override;
    // -1 while the format has no average bytes per second (closed).
    int GetLength() override;
    // 0 done; 1 no format to convert by; 2 the time is negative or not before the end (nothing moves).
    int SetCurrentPos(int milliseconds) override;
    int GetCurrentPos() override;
    std::uint32_t Read(void* buffer, std::uint32_t size) override;
    // Never null: all zero while closed.
    WAVEFORMATEX* GetFormat() override { return &m_format; }

private:
    // 0, or the failure of parsing: 2 not RIFF WAVE, 3 no fmt chunk, 4 not PCM, 5 no data chunk, 6 a
    // format whose values disagree.
    int Initialize();

    ZTL::smart_ptr<Auxiliary::CFile> m_file;
    bool m_inMemory = false;
    WAVEFORMATEX m_format{};
    std::uint32_t m_dataStart = 0;
    std::uint32_t m_dataSize = 0;
    std::uint32_t m_position = 0;
};

// The 18 bytes of a WAVE format record as stored in a file.
WAVEFORMATEX ReadWaveFormat(const std::uint8_t* bytes);

} // namespace zelvoranGameSDK3rd::Multimedia
