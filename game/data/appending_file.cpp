#include "game/data/appending_file.h"

#include "platform/host/file.h"
#include "platform/host/little_endian.h"

#include <algorithm>
#include <cstdio>
#include <vector>

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

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kPairBytes = 8;
constexpr std::uint64_t kNoCut = ~std::uint64_t(0);

// The u32 at `offset` of the stream, when the file holds it whole.
bool ReadU32At(std::FILE* stream, std::uint64_t size, std::uint64_t offset, std::uint32_t& value)
{
    std::uint8_t bytes[4];
    if (offset > size || size - offset < 4 || std::fseek(stream, long(offset), SEEK_SET) != 0 ||
        std::fread(bytes, 1, 4, stream) != 4)
        return false;
    value = platform::ReadU32(bytes);
    return true;
}

// The bytes of ".rpl" and ".rpi" to keep: up to the last snapshot that a whole pair names and that is
// whole itself, and the record after it when that is whole too. False, when a file cannot be read, or
// ".rpl" is missing: nothing is cut then.
bool FindWholeRecords(const ZTL::string& base, std::uint64_t& records, std::uint64_t& pairs,
                      std::uint64_t& indexSize, std::int64_t* lastFloor = nullptr)
{
    Auxiliary::CFile file;
    Bytes index;
    const int read = file.ReadToVector(base + ".rpi", index);
    if (read != Auxiliary::CFile::kReadOk && read != Auxiliary::CFile::kReadNotFound) return false;
    if (read != Auxiliary::CFile::kReadOk) index.clear();
    indexSize = index.size();

    Auxiliary::CFile work;
    if (work.Open(base + ".rpl", "rb") != 0) return false;
    std::FILE* stream = work.GetStream();
    const long size = std::fseek(stream, 0, SEEK_END) == 0 ? std::ftell(stream) : -1;
    if (size < 0) return false;
    records = pairs = 0;
    for (std::size_t pair = index.size() / kPairBytes; pair > 0; --pair) {
        const std::uint64_t offset = platform::ReadU32(index.data() + kPairBytes * (pair - 1) + 4);
        std::uint32_t length = 0;
        if (!ReadU32At(stream, std::uint64_t(size), offset, length) ||
            offset + 4 + length + kSnapshotExtra > std::uint64_t(size))
            continue;
        pairs = kPairBytes * pair;
        records = offset + 4 + length + kSnapshotExtra;
        if (lastFloor != nullptr) *lastFloor = platform::ReadU32(index.data() + kPairBytes * (pair - 1));
        if (ReadU32At(stream, std::uint64_t(size), records, length) &&
            records + 4 + length <= std::uint64_t(size))
            records += 4 + length;
        break;
    }
    return true;
}

// Appends the bytes to the file with one write, creating it when missing; a file longer than `keep` is
// first cut to it in place, so that a disk without room for a second copy still takes the record. `at`
// receives where the bytes begin. 0, 1 when the file cannot be opened or cut, 2 when the write fails.
int AppendAfter(const ZTL::string& name, std::uint64_t keep, std::span<const std::uint8_t> bytes,
                std::uint64_t& at)
{
    {
        CAppendingFile appending;
        if (!appending.Open(name)) return 1;
        at = appending.GetInitialLength();
        if (at <= keep) return appending.Write(bytes.data(), bytes.size()) ? 0 : 2;
    }
    const ZTL::string host = Auxiliary::CFile::ResolvePath(name);
    if (!platform::TruncateFile(std::string_view(host.c_str(), host.size()), keep)) return 1;
    at = keep;
    if (bytes.empty()) return 0;
    CAppendingFile appending;
    if (!appending.Open(name) || appending.GetInitialLength() != keep) return 1;
    return appending.Write(bytes.data(), bytes.size()) ? 0 : 2;
}

} // namespace

int AppendWorkRecord(const ZTL::string& base, std::span<const std::uint8_t> record,
                     const std::uint32_t* floor)
{
    std::uint64_t keepRecords = kNoCut, keepPairs = kNoCut, indexSize = 0, at = 0;
    if (!FindWholeRecords(base, keepRecords, keepPairs, indexSize)) keepRecords = keepPairs = kNoCut;
    // Pairs past the whole ones go first, so that none names the bytes the new record takes.
    if (keepPairs < indexSize && AppendAfter(base + ".rpi", keepPairs, {}, at) != 0) return kWorkIndexFailed;

    std::uint64_t offset = 0;
    switch (AppendAfter(base + ".rpl", keepRecords, record, offset)) {
    case 0:
        break;
    case 1:
        return kWorkRecordCannotOpen;
    default:
        return kWorkRecordShort;
    }
    if (floor == nullptr) return kWorkRecordAppended;
    std::uint8_t pair[kPairBytes];
    platform::WriteU32(pair, *floor);
    platform::WriteU32(pair + 4, std::uint32_t(offset));
    switch (AppendAfter(base + ".rpi", keepPairs, pair, at)) {
    case 0:
        return kWorkRecordAppended;
    case 1:
        return kWorkIndexCannotOpen;
    default:
        return kWorkIndexFailed;
    }
}

std::int64_t LastWholeSnapshotFloor(const ZTL::string& base)
{
    std::uint64_t records = 0, pairs = 0, indexSize = 0;
    std::int64_t floor = -1;
    if (!FindWholeRecords(base, records, pairs, indexSize, &floor)) return -1;
    return floor;
}

void SettleWorkFileBackups(const ZTL::string& folder)
{
    const ZTL::string resolved = Auxiliary::CFile::ResolvePath(folder);
    const auto view = [](const ZTL::string& path) { return std::string_view(path.c_str(), path.size()); };
    std::vector<platform::FolderEntry> entries;
    if (!platform::ListFolder(view(resolved), entries)) return;
    for (const platform::FolderEntry& entry : entries) {
        // "<work file>.rpl.bkNN"
        const std::string& name = entry.name;
        constexpr std::string_view kWork = ".rpl.bk";
        const std::size_t at =
            name.size() >= kWork.size() + 2 ? name.size() - kWork.size() - 2 : std::string::npos;
        if (entry.isFolder || at == std::string::npos || name.compare(at, kWork.size(), kWork) != 0) continue;
        const ZTL::string backup = resolved + "\\" + name.c_str();
        const ZTL::string work = resolved + "\\" + name.substr(0, at + 4).c_str();
        Bytes kept, live;
        const bool hasLive = platform::ReadWholeFile(view(work), live);
        if (!platform::ReadWholeFile(view(backup), kept)) continue;
        // The backup's work file with one more record after it is the replay's own addition, never
        // taken back; a work file that went on from there, or the backup itself, needs no backup.
        bool restore = !hasLive;
        if (hasLive && live.size() >= kept.size() + 4 && std::equal(kept.begin(), kept.end(), live.begin()))
            restore = platform::ReadU32(live.data() + kept.size()) + 4 == live.size() - kept.size();
        const std::string_view workName(name.data(), at + 4);
        if (restore)
            platform::RenameFileInPlace(view(backup), workName);
        else
            platform::DeleteFile(view(backup));
    }
}
