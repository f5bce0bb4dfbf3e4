// Pack archives and the line, quoted-text and byte readers over untrusted bytes.

#include "sdk/auxiliary/pack_archive.h"
#include "sdk/auxiliary/file.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace Aux = zelvoranGameSDK3rd::Auxiliary;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

namespace {

// The names the archive's own entries carry (as far as the bytes hold them), so that the fuzzer
// reaches the member checks without guessing names.
std::vector<ZTL::string> EntryNames(const std::uint8_t* data, std::size_t size)
{
    std::vector<ZTL::string> names{"a.txt", "se\\foo.wav"};
    if (size < 12) return names;
    std::size_t entrySize = 0, nameSize = 0;
    if (std::memcmp(data, "zelvpack", 8) == 0) entrySize = 40, nameSize = 32;
    if (std::memcmp(data, "zelvpkEx", 8) == 0) entrySize = 44, nameSize = 32;
    if (std::memcmp(data, "zelvpkDx", 8) == 0 || std::memcmp(data, "packQrlt", 8) == 0)
        entrySize = 268, nameSize = 256;
    for (std::size_t at = 12; entrySize != 0 && at + nameSize <= size && names.size() < 6; at += entrySize) {
        const void* nul = std::memchr(data + at, 0, nameSize);
        std::size_t length = nul ? static_cast<const std::uint8_t*>(nul) - (data + at) : nameSize;
        names.emplace_back(reinterpret_cast<const char*>(data + at), static_cast<std::uint32_t>(length));
    }
    return names;
}

void ReadAllWays(Aux::CFile& file)
{
    char line[64];
    for (int result = 0; result == 0 || result == 2;)
        result = file.ReadLine(line, sizeof line);
    file.Rewind();
    ZTL::string text;
    while (file.ReadLineString(text) == 0) {
    }
    file.Rewind();
    char quoted[300];
    for (int i = 0; i < 64 && file.ReadQuotedText(quoted, sizeof quoted) != 1; ++i) {
    }
    file.Rewind();
    std::uint8_t bytes[7];
    while (file.ReadBytes(bytes, sizeof bytes) == 0) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Aux::CMemoryPackSource source(data, size);
    for (const ZTL::string& name : EntryNames(data, size)) {
        Aux::SPackMember member;
        if (Aux::FindPackMember(source, name, member) != Aux::PackLookup::Found) continue;
        // A found member fits its archive, so its content is small enough to allocate.
        if (member.size > 64u * size + 64) std::abort();
        std::unique_ptr<std::uint8_t[]> content(new std::uint8_t[std::size_t{member.size} + 1]);
        if (Aux::LoadPackMember(source, member, content.get()) && member.size != 0) {
            Aux::CFile file;
            file.ReadFromMemory(content.get(), member.size);
            ReadAllWays(file);
        }
    }

    Aux::CFile file;
    file.ReadFromMemory(data, static_cast<std::uint32_t>(size));
    ReadAllWays(file);
    return 0;
}
