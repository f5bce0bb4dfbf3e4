#include "game/data/appending_file.h"

#include "platform/host/little_endian.h"

#include <cstdio>

bool CAppendingFile::Open(const ZTL::string& name)
{
    if (m_file.Open(name, "ab") != 0) return false;
    std::FILE* stream = m_file.GetStream();
    // Unbuffered, so that a write that fails says so itself rather than at the close.
    std::setvbuf(stream, nullptr, _IONBF, 0);
    if (std::fseek(stream, 0, SEEK_END) != 0) return false;
    const long length = std::ftell(stream);
    if (length < 0) return false;
    m_initialLength = std::uint64_t(length);
    return true;
}

bool CAppendingFile::Write(const void* data, std::size_t size)
{
    std::FILE* stream = m_file.GetStream();
    if (size == 0) return stream != nullptr;
    return stream != nullptr && std::fwrite(data, 1, size, stream) == size;
}

bool CAppendingFile::WriteU32(std::uint32_t value)
{
    std::uint8_t bytes[4];
    platform::WriteU32(bytes, value);
    return Write(bytes, sizeof bytes);
}
