#include "sdk/multimedia/acm_stream.h"

#include "platform/host/little_endian.h"
#include "sdk/multimedia/riff_reader.h"
#include "sdk/multimedia/wave_stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zelvoranGameSDK3rd::Multimedia {

namespace {

// Kilobits a second of MPEG-1 frames by layer (I, II, III) and bit-rate index; 0 for the free format
// (index 0) and the forbidden index 15.
constexpr std::uint16_t kMpeg1BitRates[3][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
};
constexpr std::uint32_t kMpeg1SampleRates[4] = {44100, 48000, 32000, 0};

constexpr std::uint16_t kWaveFormatMpegLayer3 = 0x55;
constexpr std::uint16_t kMpegLayer3IdMpeg = 1;
constexpr std::uint32_t kMpegLayer3FlagPaddingOff = 2;

// A conversion from fewer source bytes than this goes through a zero-padded buffer of twice the size,
// so that a decoder that waits for more data still gives out the last frame.
constexpr std::uint32_t kShortTail = 500;

} // namespace

CACMStream::CACMStream() : m_file(new Auxiliary::CFile)
{
    Close();
}

CACMStream::~CACMStream()
{
    Close();
}

int CACMStream::Open(const char* fileName)
{
    Close();
    const ZTL::string name(fileName != nullptr ? fileName : "");
    int r = m_file->Read(name);
    if (r != 0)
        return ReportStreamFailure(1, "CACMStream::Open ファイル読み込みに失敗(ret=%d) - %s", r,
                                   name.c_str());
    r = InitializeNormal();
    if (r == 2) r = InitializeMP3();
    if (r != 0) {
        ReportStreamFailure(0, "CACMStream::Open オープンに失敗(ret=%d) - %s", r, name.c_str());
        Close();
        return 2;
    }
    platform::PcmShape pcm;
    if (!platform::SoundDecoder::SuggestPcm(m_sourceFormat, m_sourceFormatBytes, pcm)) {
        ReportStreamFailure(0, "CACMStream::Open acmFormatSuggest()に失敗");
        Close();
        return 3;
    }
    m_outputFormat.wFormatTag = platform::WAVE_FORMAT_PCM;
    m_outputFormat.nChannels = pcm.channels;
    m_outputFormat.nSamplesPerSec = pcm.samplesPerSecond;
    m_outputFormat.wBitsPerSample = 16;
    m_outputFormat.nBlockAlign = platform::WORD(2 * pcm.channels);
    m_outputFormat.nAvgBytesPerSec = pcm.samplesPerSecond * 2 * pcm.channels;
    m_outputFormat.cbSize = 0;
    m_decoder = MakeDecoder();
    if (!m_decoder) {
        ReportStreamFailure(0, "CACMStream::Open acmStreamOpen()に失敗");
        Close();
        return 4;
    }
    std::uint32_t blockOutput = 0;
    if (!m_decoder->OutputBytesFor(m_sourceBlock, blockOutput)) {
        ReportStreamFailure(0, "CACMStream::Open acmStreamSize()に失敗");
        Close();
        return 5;
    }
    if (!RateAgreesWithBlocks(blockOutput)) {
        ReportStreamFailure(0, "CACMStream::Open 平均データ転送速度がフォーマットと食い違う");
        Close();
        return 6;
    }
    return 0;
}

bool CACMStream::RateAgreesWithBlocks(std::uint32_t blockOutput) const
{
    // The source bytes a second that the output rate implies: a block of m_sourceBlock bytes gives
    // blockOutput bytes of PCM. Encoders round their rates, and the first MPEG frame stands for a whole
    // file; a sixteenth either way allows for both, while a rate far off would give lengths, and buffers
    // sized by them, that the data cannot fill.
    const std::uint64_t implied = std::uint64_t(m_outputFormat.nAvgBytesPerSec) * m_sourceBlock / blockOutput;
    const std::uint64_t claimed = ReadWaveFormat(m_sourceFormat).nAvgBytesPerSec;
    const std::uint64_t difference = claimed > implied ? claimed - implied : implied - claimed;
    return difference <= implied / 16 + 1;
}

std::unique_ptr<platform::SoundDecoder> CACMStream::MakeDecoder() const
{
    return platform::SoundDecoder::Create(m_sourceFormat, m_sourceFormatBytes);
}

int CACMStream::InitializeNormal()
{
    auto* image = static_cast<std::uint8_t*>(m_file->GetMemory());
    const std::uint32_t size = m_file->GetSize();
    if (image == nullptr) return ReportStreamFailure(1, "CACMStream::InitializeNormal mmioOpenに失敗");
    CRiffReader reader(image, size);
    SRiffChunk riff, fmt, data;
    if (!reader.FindRiff(MakeFourCC('W', 'A', 'V', 'E'), riff))
        return ReportStreamFailure(2, "CACMStream::InitializeNormal Waveファイルでない");
    // The record is used where it lies, so all its 18 bytes must be in the image.
    if (!reader.FindChunk(MakeFourCC('f', 'm', 't', ' '), riff, CRiffReader::FirstInside(riff), fmt) ||
        std::uint64_t(fmt.dataStart) + sizeof(WAVEFORMATEX) > size)
        return ReportStreamFailure(3, "CACMStream::InitializeNormal fmtチャンクが指定できない");
    std::uint8_t* record = image + fmt.dataStart;
    m_sourceFormat = record;
    m_sourceFormatBytes = fmt.size;
    const WAVEFORMATEX format = ReadWaveFormat(record);
    // Only a size field inside the chunk is set: a 16-byte chunk's would be the next chunk's bytes.
    if (format.cbSize == 0 && fmt.size >= sizeof(WAVEFORMATEX)) platform::WriteU16(record + 16, 18);
    if (format.wFormatTag == platform::WAVE_FORMAT_PCM)
        return ReportStreamFailure(4, "CACMStream::InitializeNormal ACMを使うまでもない");
    const std::uint64_t afterFmt = CRiffReader::After(fmt);
    if (afterFmt >= riff.End() ||
        !reader.FindChunk(MakeFourCC('d', 'a', 't', 'a'), riff, std::uint32_t(afterFmt), data))
        return ReportStreamFailure(4, "CACMStream::InitializeNormal データチャンクに行けない");
    // The length divides by the rate: a record without one describes nothing that plays.
    if (format.nAvgBytesPerSec == 0)
        return ReportStreamFailure(3, "CACMStream::InitializeNormal 平均データ転送速度が0");
    m_dataSize = data.size;
    m_dataOffset = data.dataStart;
    m_sourceBlock = format.nBlockAlign;
    m_lengthMs = int(std::uint32_t(std::uint64_t(m_dataSize) * 1000 / format.nAvgBytesPerSec));
    SetCurrentPos(0);
    return 0;
}

int CACMStream::InitializeMP3()
{
    const std::uint32_t fileSize = m_file->GetSize();
    const auto* image = static_cast<const std::uint8_t*>(m_file->GetMemory());
    if (image == nullptr || fileSize <= 128)
        return ReportStreamFailure(1, "CACMStream::InitializeMP3 ファイルサイズが異常(dwFileSize=%d)",
                                   int(fileSize));
    std::uint32_t tagSize = 0;
    std::uint32_t available = fileSize;
    if (image[0] == 'I' && image[1] == 'D' && image[2] == '3') {
        tagSize = ((std::uint32_t(image[6]) * 128 + image[7]) * 128 + image[8]) * 128 + image[9];
        tagSize += image[3] >= 4 && (image[5] & 0x10) != 0 ? 20 : 10;
        if (fileSize <= tagSize + 128)
            return ReportStreamFailure(
                1, "CACMStream::InitializeMP3 ID3ヘッダ長が異常(availSize=%d, dwID3Size=%d)", int(fileSize),
                int(tagSize));
        available = fileSize - tagSize;
    }
    const std::uint8_t* header = image + tagSize;
    if (header[0] != 0xFF)
        return ReportStreamFailure(1, "CACMStream::InitializeMP3 MP3チェックphase1に失敗(src[0]=0x%X)",
                                   unsigned(header[0]));
    if ((header[1] & 0xF8) != 0xF8)
        return ReportStreamFailure(1, "CACMStream::InitializeMP3 MP3チェックphase2に失敗(src[1]=0x%X)",
                                   unsigned(header[1]));
    const int layer = 4 - ((header[1] >> 1) & 3);
    if (layer == 4) return ReportStreamFailure(1, "CACMStream::InitializeMP3 MP3が無効なレイヤ");
    const std::uint32_t bitRate = kMpeg1BitRates[layer - 1][header[2] >> 4];
    const std::uint32_t sampleRate = kMpeg1SampleRates[(header[2] >> 2) & 3];
    // The block size and the length divide by these: the free format, the forbidden bit rate and the
    // reserved sample rate describe nothing this stream can measure.
    if (bitRate == 0 || sampleRate == 0)
        return ReportStreamFailure(
            1, "CACMStream::InitializeMP3 MP3のビットレートかサンプリングレートが無効(src[2]=0x%X)",
            unsigned(header[2]));
    const platform::WORD channels = (header[3] & 0xC0) == 0xC0 ? 1 : 2;

    m_mp3Format = MPEGLAYER3WAVEFORMAT{};
    m_mp3Format.wfx.wFormatTag = kWaveFormatMpegLayer3;
    m_mp3Format.wfx.nChannels = channels;
    m_mp3Format.wfx.nSamplesPerSec = sampleRate;
    m_mp3Format.wfx.nAvgBytesPerSec = bitRate * 125;
    m_mp3Format.wfx.nBlockAlign = 1;
    m_mp3Format.wfx.wBitsPerSample = 0;
    m_mp3Format.wfx.cbSize = 12;
    m_mp3Format.wID = kMpegLayer3IdMpeg;
    m_mp3Format.fdwFlags = kMpegLayer3FlagPaddingOff;
    m_mp3Format.nBlockSize = platform::WORD(144000 * bitRate / sampleRate);
    m_mp3Format.nFramesPerBlock = 1;
    m_mp3Format.nCodecDelay = 1393;
    std::uint8_t* r = m_mp3Record;
    platform::WriteU16(r, m_mp3Format.wfx.wFormatTag);
    platform::WriteU16(r + 2, m_mp3Format.wfx.nChannels);
    platform::WriteU32(r + 4, m_mp3Format.wfx.nSamplesPerSec);
    platform::WriteU32(r + 8, m_mp3Format.wfx.nAvgBytesPerSec);
    platform::WriteU16(r + 12, m_mp3Format.wfx.nBlockAlign);
    platform::WriteU16(r + 14, m_mp3Format.wfx.wBitsPerSample);
    platform::WriteU16(r + 16, m_mp3Format.wfx.cbSize);
    platform::WriteU16(r + 18, m_mp3Format.wID);
    platform::WriteU32(r + 20, m_mp3Format.fdwFlags);
    platform::WriteU16(r + 24, m_mp3Format.nBlockSize);
    platform::WriteU16(r + 26, m_mp3Format.nFramesPerBlock);
    platform::WriteU16(r + 28, m_mp3Format.nCodecDelay);

    // A trailing ID3v1 tag is not sound.
    if (std::memcmp(image + fileSize - 128, "TAG", 3) == 0) available -= 128;
    if (available < 4)
        return ReportStreamFailure(1, "CACMStream::InitializeMP3 データ長が異常(availSize=%d)",
                                   int(available));
    // The decoder gets the data after the first frame header's four bytes.
    m_dataSize = available - 4;
    m_dataOffset = tagSize + 4;
    m_sourceBlock = m_mp3Format.nBlockSize;
    m_sourceFormat = m_mp3Record;
    m_sourceFormatBytes = sizeof m_mp3Record;
    // The first frame's bit rate stands for the whole file.
    m_lengthMs = int(std::uint32_t(m_dataSize * 8) / bitRate);
    SetCurrentPos(0);
    return 0;
}

std::uint32_t CACMStream::Read(void* buffer, std::uint32_t size)
{
    const auto* image = static_cast<const std::uint8_t*>(m_file->GetMemory());
    if (image == nullptr || !m_decoder) return 0xFFFFFFFF;
    if (m_sourcePos >= m_dataSize) return 0;
    const std::uint8_t* source = image + m_dataOffset + m_sourcePos;
    std::uint32_t sourceBytes = m_dataSize - m_sourcePos;
    std::vector<std::uint8_t> tail;
    if (sourceBytes < kShortTail) {
        // Padded with what decodes to silence, so the padding adds no noise to the end.
        tail.assign(2 * kShortTail, m_decoder->SilenceByte());
        std::copy_n(source, sourceBytes, tail.begin());
        source = tail.data();
        sourceBytes = 2 * kShortTail;
    }
    std::uint32_t used = 0, delivered = 0;
    if (!m_decoder->Convert(source, sourceBytes, static_cast<std::uint8_t*>(buffer), size, used, delivered)) {
        ReportStreamFailure(0, "CACMStream::Read acmStreamConvert()に失敗");
        return 0;
    }
    if (delivered != 0)
        m_sourcePos = std::uint32_t(std::min<std::uint64_t>(std::uint64_t(m_sourcePos) + used, m_dataSize));
    m_outputPos += delivered;
    return delivered;
}

int CACMStream::SetCurrentPos(int milliseconds)
{
    if (m_outputFormat.nAvgBytesPerSec == 0) return 1;
    if (milliseconds < 0 || milliseconds >= m_lengthMs) return 2;
    const std::uint32_t bytes = StreamBytesForMilliseconds(&m_outputFormat, milliseconds);
    if (m_decoder) {
        // A new decoder forgets what the old one had buffered.
        m_decoder.reset();
        m_decoder = MakeDecoder();
        if (!m_decoder) return ReportStreamFailure(3, "CACMStream::SetCurrentPos acmStreamOpen()に失敗");
    }
    std::uint32_t source = 0;
    if (!m_decoder || !m_decoder->SourceBytesFor(bytes, source)) source = 0;
    m_outputPos = bytes;
    // An estimate past the data (a rate in the record that the data does not keep) ends the stream.
    m_sourcePos = std::min(source, m_dataSize);
    return 0;
}

int CACMStream::GetCurrentPos()
{
    return StreamMillisecondsForBytes(&m_outputFormat, m_outputPos);
}

int CACMStream::Close()
{
    m_file->Close();
    m_sourceFormat = nullptr;
    m_sourceFormatBytes = 0;
    m_mp3Format = MPEGLAYER3WAVEFORMAT{};
    std::fill(std::begin(m_mp3Record), std::end(m_mp3Record), std::uint8_t(0));
    m_outputFormat = WAVEFORMATEX{};
    m_dataSize = m_dataOffset = m_sourcePos = m_outputPos = m_sourceBlock = 0;
    m_lengthMs = 0;
    m_decoder.reset();
    return 0;
}

} // namespace zelvoranGameSDK3rd::Multimedia
