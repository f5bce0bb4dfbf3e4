#include "sdk/multimedia/riff_reader.h"

#include "platform/host/little_endian.h"

#include <algorithm>
#include <cstring>

namespace zelvoranGameSDK3rd::Multimedia {

namespace {

constexpr std::uint32_t kRiff = MakeFourCC('R', 'I', 'F', 'F');

} // namespace

CRiffReader::CRiffReader(std::FILE* stream) : m_stream(stream)
{
    if (stream == nullptr || std::fseek(stream, 0, SEEK_END) != 0) return;
    const long size = std::ftell(stream);
    // Offsets are 32-bit: a larger file is read as far as they reach.
    if (size > 0)
        m_size = std::uint32_t(std::min<unsigned long>(static_cast<unsigned long>(size), 0xFFFFFFFFul));
}

std::uint32_t CRiffReader::ReadAt(std::uint32_t offset, void* destination, std::uint32_t count)
{
    if (offset >= m_size) return 0;
    const std::uint32_t n = std::min(count, m_size - offset);
    if (m_data != nullptr) {
        std::memcpy(destination, m_data + offset, n);
        return n;
    }
    if (m_stream == nullptr || std::fseek(m_stream, long(offset), SEEK_SET) != 0) return 0;
    return std::uint32_t(std::fread(destination, 1, n, m_stream));
}

bool CRiffReader::ReadHeader(std::uint32_t at, std::uint32_t end, SRiffChunk& chunk)
{
    std::uint8_t header[8];
    if (std::uint64_t(at) + 8 > end || ReadAt(at, header, 8) != 8) return false;
    chunk.id = platform::ReadU32(header);
    chunk.dataStart = at + 8;
    chunk.size = std::min(platform::ReadU32(header + 4), m_size - chunk.dataStart);
    chunk.formType = 0;
    return true;
}

bool CRiffReader::FindRiff(std::uint32_t formType, SRiffChunk& riff)
{
    for (std::uint64_t at = 0; at < m_size; at = After(riff)) {
        if (!ReadHeader(std::uint32_t(at), m_size, riff)) return false;
        if (riff.id != kRiff || riff.size < 4) continue;
        std::uint8_t type[4];
        if (ReadAt(riff.dataStart, type, 4) != 4) return false;
        riff.formType = platform::ReadU32(type);
        if (riff.formType == formType) return true;
    }
    return false;
}

bool CRiffReader::FindChunk(std::uint32_t id, const SRiffChunk& parent, std::uint32_t from, SRiffChunk& chunk)
{
    for (std::uint64_t at = from; at < parent.End(); at = After(chunk)) {
        if (!ReadHeader(std::uint32_t(at), parent.End(), chunk)) return false;
        if (chunk.id == id) return true;
    }
    return false;
}

} // namespace zelvoranGameSDK3rd::Multimedia
