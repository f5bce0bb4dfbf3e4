#pragma once
// Reading members of pack archives: an 8-byte magic, a signed 32-bit entry count and fixed-size
// entries of name, offset, size and stored size. Every entry is checked against the archive's length
// before anything is read at its offset or allocated for its size.

#include "sdk/ztl/ztl_string.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Auxiliary {

// The bytes of an archive, read at positions.
class IPackSource
{
public:
    virtual std::uint64_t GetLength() = 0;
    virtual bool Seek(std::uint64_t position) = 0;
    // Exactly `count` bytes from the current position, or false.
    virtual bool Read(void* destination, std::uint32_t count) = 0;
    virtual ~IPackSource() = default;
};

// An archive held in memory.
class CMemoryPackSource : public IPackSource
{
public:
    CMemoryPackSource(const void* data, std::uint64_t length)
        : m_data(static_cast<const std::uint8_t*>(data)), m_length(length)
    {}
    std::uint64_t GetLength() override { return m_length; }
    bool Seek(std::uint64_t position) override;
    bool Read(void* destination, std::uint32_t count) override;

private:
    const std::uint8_t* m_data;
    std::uint64_t m_length;
    std::uint64_t m_position = 0;
};

struct SPackMember
{
    int kind = 0;                 // 1 "zelvpack", 2 "zelvpkEx", 3 "zelvpkDx", 4 "packQrlt"
    std::uint32_t size = 0;       // content bytes
    std::uint32_t storedSize = 0; // bytes in the archive; LZSS-packed when it differs from size
    std::uint64_t dataPosition = 0;
    bool IsPacked() const { return kind >= 2 && storedSize != size; }
};

enum class PackLookup
{
    Found,
    NotFound,  // no such member, or not a readable archive: the search goes on elsewhere
    BadMember, // the member is there but its entry points outside the archive or cannot be decoded
};

// Looks for `member` (a path relative to the archive's folder, `\` separated) ignoring the case of
// single-byte letters; the first matching entry wins. Entries whose name field lacks its NUL match
// nothing.
PackLookup FindPackMember(IPackSource& source, const ZTL::string& member, SPackMember& found);

// Reads a found member's content (decoding a packed one) into `content`, which holds member.size
// bytes. False when the bytes cannot be read or do not decode to exactly that size.
bool LoadPackMember(IPackSource& source, const SPackMember& member, std::uint8_t* content);

} // namespace zelvoranGameSDK3rd::Auxiliary
