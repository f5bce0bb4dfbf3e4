#pragma once
// The chunk structure of RIFF files, read from a memory image or from a stdio stream. Every chunk is cut
// at the end of the file: a size that claims more bytes than the file holds counts only the bytes there,
// so nothing read through a chunk lies outside the file.

#include <cstdint>
#include <cstdio>

namespace zelvoranGameSDK3rd::Multimedia {

constexpr std::uint32_t MakeFourCC(char a, char b, char c, char d)
{
    return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 |
           std::uint32_t(std::uint8_t(c)) << 16 | std::uint32_t(std::uint8_t(d)) << 24;
}

struct SRiffChunk
{
    std::uint32_t id = 0;
    std::uint32_t size = 0;      // bytes of content, cut at the end of the file
    std::uint32_t formType = 0;  // of a RIFF chunk
    std::uint32_t dataStart = 0; // offset of the content (of a RIFF chunk: of its form type)
    std::uint32_t End() const { return dataStart + size; }
};

class CRiffReader
{
public:
    // Over `size` bytes that the caller keeps alive.
    CRiffReader(const std::uint8_t* data, std::uint32_t size) : m_data(data), m_size(size) {}
    // Over an open stdio stream, whose position the reader moves.
    explicit CRiffReader(std::FILE* stream);

    // The first RIFF chunk of the form type among the chunks at the top of the file.
    bool FindRiff(std::uint32_t formType, SRiffChunk& riff);
    // The first chunk of the id among the chunks inside `parent` from `from` (a chunk's start) on; the
    // search goes no further than the parent's end.
    bool FindChunk(std::uint32_t id, const SRiffChunk& parent, std::uint32_t from, SRiffChunk& chunk);
    // Where the chunks inside a RIFF chunk begin, and where the chunk after a chunk begins (past the
    // pad byte of an odd size).
    static std::uint32_t FirstInside(const SRiffChunk& riff) { return riff.dataStart + 4; }
    static std::uint64_t After(const SRiffChunk& chunk)
    {
        return std::uint64_t(chunk.dataStart) + chunk.size + (chunk.size & 1);
    }

    // Copies up to `count` bytes from the offset: the bytes copied (fewer at the end of the file).
    std::uint32_t ReadAt(std::uint32_t offset, void* destination, std::uint32_t count);
    std::uint32_t GetFileSize() const { return m_size; }

private:
    // The chunk header at the offset when it lies within `end`.
    bool ReadHeader(std::uint32_t at, std::uint32_t end, SRiffChunk& chunk);

    const std::uint8_t* m_data = nullptr;
    std::FILE* m_stream = nullptr;
    std::uint32_t m_size = 0;
};

} // namespace zelvoranGameSDK3rd::Multimedia
