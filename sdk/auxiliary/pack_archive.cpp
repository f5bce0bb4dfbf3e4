#include "sdk/auxiliary/pack_archive.h"

#include "sdk/auxiliary/file.h"
#include "sdk/auxiliary/lzss.h"

#include <cstring>
#include <memory>
#include <new>

namespace zelvoranGameSDK3rd::Auxiliary {
namespace {

struct SPackKind
{
    const char* magic;
    std::uint32_t entrySize;
    std::uint32_t nameSize;
    bool hasStoredSize;
    std::uint32_t dataBias; // how far before the stored offset the data starts
};

constexpr SPackKind kKinds[] = {
    {"zelvpack", 40, 32, false, 0},
    {"zelvpkEx", 44, 32, true, 0},
    {"zelvpkDx", 268, 256, true, 0},
    {"packQrlt", 268, 256, true, 4},
};

std::uint32_t LoadU32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

} // namespace

bool CMemoryPackSource::Seek(std::uint64_t position)
{
    if (position > m_length) return false;
    m_position = position;
    return true;
}

bool CMemoryPackSource::Read(void* destination, std::uint32_t count)
{
    if (count > m_length - m_position) return false;
    if (count != 0) std::memcpy(destination, m_data + m_position, count);
    m_position += count;
    return true;
}

PackLookup FindPackMember(IPackSource& source, const ZTL::string& member, SPackMember& found)
{
    std::uint8_t header[12];
    if (!source.Seek(0) || !source.Read(header, sizeof header)) return PackLookup::NotFound;
    int kindIndex = -1;
    for (int k = 0; k < 4; ++k) {
        if (std::memcmp(header, kKinds[k].magic, 8) == 0) kindIndex = k;
    }
    if (kindIndex < 0) return PackLookup::NotFound;
    const SPackKind& kind = kKinds[kindIndex];
    const auto count = static_cast<std::int32_t>(LoadU32(header + 8));
    if (count <= 0) return PackLookup::NotFound;

    ZTL::string wanted = member;
    StringToLower(wanted);
    std::uint8_t entry[268];
    for (std::int32_t i = 0; i < count; ++i) {
        if (!source.Read(entry, kind.entrySize)) return PackLookup::NotFound;
        const void* nul = std::memchr(entry, 0, kind.nameSize);
        if (nul == nullptr) continue;
        ZTL::string name(reinterpret_cast<const char*>(entry),
                         static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(nul) - entry));
        StringToLower(name);
        if (!(name == wanted)) continue;

        const std::uint8_t* fields = entry + kind.nameSize;
        const std::uint32_t offset = LoadU32(fields);
        found.kind = kindIndex + 1;
        found.size = LoadU32(fields + 4);
        found.storedSize = kind.hasStoredSize ? LoadU32(fields + 8) : found.size;
        if (offset < kind.dataBias) return PackLookup::BadMember;
        found.dataPosition = offset - kind.dataBias;
        const std::uint64_t length = source.GetLength();
        if (found.dataPosition > length || found.storedSize > length - found.dataPosition)
            return PackLookup::BadMember;
        if (found.size == 0xFFFFFFFFu) return PackLookup::BadMember; // the content and its NUL must fit
        if (found.IsPacked() &&
            (found.storedSize == 0 || found.size > std::uint64_t{found.storedSize} * CLZSS::kMaxExpansion))
            return PackLookup::BadMember;
        return PackLookup::Found;
    }
    return PackLookup::NotFound;
}

bool LoadPackMember(IPackSource& source, const SPackMember& member, std::uint8_t* content)
{
    if (!source.Seek(member.dataPosition)) return false;
    if (!member.IsPacked()) return source.Read(content, member.size);
    if (member.size == 0) return true;
    std::unique_ptr<std::uint8_t[]> packed(new (std::nothrow) std::uint8_t[member.storedSize]);
    if (!packed || !source.Read(packed.get(), member.storedSize)) return false;
    auto coder = std::make_unique<CLZSS>();
    std::uint8_t* destination = content;
    return coder->Decode(packed.get(), member.storedSize, destination, member.size, false) == CLZSS::kOk;
}

} // namespace zelvoranGameSDK3rd::Auxiliary
