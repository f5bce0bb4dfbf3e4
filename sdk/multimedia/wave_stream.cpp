#include "sdk/multimedia/wave_stream.h"

#include "platform/host/little_endian.h"
#include "sdk/multimedia/riff_reader.h"

#include <algorithm>

namespace zelvoranGameSDK3rd::Multimedia {

WAVEFORMATEX ReadWaveFormat(const std::uint8_t* bytes)
{
    WAVEFORMATEX format{};
    format.wFormatTag = platform::ReadU16(bytes);
    format.nChannels = platform::ReadU16(bytes + 2);
    format.nSamplesPerSec = platform::ReadU32(bytes + 4);
    format.nAvgBytesPerSec = platform::ReadU32(bytes + 8);
    format.nBlockAlign = platform::ReadU16(bytes + 12);
    format.wBitsPerSample = platform::ReadU16(bytes + 14);
    format.cbSize = platform::ReadU16(bytes + 16);
    return format;
}

CWaveStream::CWaveStream() : m_file(new Auxiliary::CFile)
{
    Close();
}

CWaveStream::~CWaveStream()
{
    Close();
}

int CWaveStream::Open(const char* fileName)
{
    Close();
    m_inMemory = false;
    const ZTL::string name(fileName != nullptr ? fileName : "");
    if (m_file->Open(name, "rb") != 0) {
        m_inMemory = true;
        if (m_file->Read(name) != 0) {
            Close();
            return ReportStreamFailure(1, "CWaveStream::Load %sのファイル読み込み時のエラー", name.c_str());
        }
    }
    if (Initialize() != 0) {
        Close();
        return 2;
    }
    return 0;
}

int CWaveStream::Initialize()
{
    std::FILE* stream = m_file->GetFilePointer();
    const auto* image = static_cast<const std::uint8_t*>(m_file->GetMemory());
    if (m_inMemory ? image == nullptr : stream == nullptr)
        return ReportStreamFailure(1, "CWaveStream::Initialize mmioOpenに失敗");
    CRiffReader reader = m_inMemory ? CRiffReader(image, m_file->GetSize()) : CRiffReader(stream);

    SRiffChunk riff, fmt, data;
    if (!reader.FindRiff(MakeFourCC('W', 'A', 'V', 'E'), riff))
        return ReportStreamFailure(2, "CWaveStream::Initialize Waveファイルでない");
    if (!reader.FindChunk(MakeFourCC('f', 'm', 't', ' '), riff, CRiffReader::FirstInside(riff), fmt))
        return ReportStreamFailure(3, "CWaveStream::Initialize fmtチャンクが指定できない");
    // The whole record, also from a 16-byte chunk: its size field then holds the two bytes after the
    // chunk, which nothing reads.
    std::uint8_t record[18] = {};
    reader.ReadAt(fmt.dataStart, record, sizeof record);
    m_format = ReadWaveFormat(record);
    if (m_format.wFormatTag != platform::WAVE_FORMAT_PCM)
        return ReportStreamFailure(4, "CWaveStream::Initialize WAVE_FORMAT_PCMじゃない");
    // The frame size follows from the channels and the sample size, and the bytes a second (when there
    // is a rate at all) from the frame size: a header that claims otherwise would size buffers by a
    // rate its data does not have.
    const std::uint32_t frame = std::uint32_t(m_format.nChannels) * ((m_format.wBitsPerSample + 7u) / 8);
    if (frame == 0 || m_format.nBlockAlign != frame ||
        (m_format.nAvgBytesPerSec != 0 &&
         m_format.nAvgBytesPerSec != std::uint64_t(m_format.nSamplesPerSec) * frame))
        return ReportStreamFailure(6, "CWaveStream::Initialize フォーマットの値が食い違う");
    const std::uint64_t afterFmt = CRiffReader::After(fmt);
    if (afterFmt >= riff.End() ||
        !reader.FindChunk(MakeFourCC('d', 'a', 't', 'a'), riff, std::uint32_t(afterFmt), data))
        return ReportStreamFailure(5, "CWaveStream::Initialize データチャンクに行けない");
    m_dataSize = data.size;
    m_dataStart = data.dataStart;
    // Reading starts at the data also when the format gives no rate to move the position by.
    if (!m_inMemory) std::fseek(stream, long(m_dataStart), SEEK_SET);
    SetCurrentPos(0);
    return 0;
}

int CWaveStream::Close()
{
    m_file->Close();
    m_inMemory = false;
    m_format = WAVEFORMATEX{};
    m_dataStart = m_dataSize = m_position = 0;
    return 0;
}

int CWaveStream::GetLength()
{
    return StreamMillisecondsForBytes(&m_format, m_dataSize);
}

int CWaveStream::SetCurrentPos(int milliseconds)
{
    if (m_format.nAvgBytesPerSec == 0) return 1;
    if (milliseconds < 0 || milliseconds >= GetLength()) return 2;
    const std::uint32_t bytes = StreamBytesForMilliseconds(&m_format, milliseconds);
    m_position = bytes;
    if (!m_inMemory) std::fseek(m_file->GetFilePointer(), long(m_dataStart + bytes), SEEK_SET);
    return 0;
}

int CWaveStream::GetCurrentPos()
{
    return StreamMillisecondsForBytes(&m_format, m_position);
}

std::uint32_t CWaveStream::Read(void* buffer, std::uint32_t size)
{
    if (m_position >= m_dataSize) return 0;
    std::uint32_t n = std::min(size, m_dataSize - m_position);
    if (m_inMemory) {
        const auto* image = static_cast<const std::uint8_t*>(m_file->GetMemory());
        if (image == nullptr) return 0;
        std::copy_n(image + m_dataStart + m_position, n, static_cast<std::uint8_t*>(buffer));
    } else {
        std::FILE* stream = m_file->GetFilePointer();
        n = stream == nullptr ? 0 : std::uint32_t(std::fread(buffer, 1, n, stream));
    }
    m_position += n;
    return n;
}

} // namespace zelvoranGameSDK3rd::Multimedia
