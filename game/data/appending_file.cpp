#include "game/data/appending_file.h"

#include "game/data/action_log.h"
#include "game/data/check_value.h"
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

// The largest record a work file holds: a floor's log or snapshot body is at most one whole-file read.
constexpr std::uint64_t kMaxRecordBytes = 4 + Auxiliary::CFile::kMaxReadSize + kSnapshotExtra;

// The stream's `count` bytes at `offset`, when the file holds them whole and they are no more than one
// record's worth.
bool ReadAt(std::FILE* stream, std::uint64_t size, std::uint64_t offset, std::uint64_t count, Bytes& bytes)
{
    if (offset > size || size - offset < count || count > kMaxRecordBytes ||
        std::fseek(stream, long(offset), SEEK_SET) != 0)
        return false;
    bytes.resize(std::size_t(count));
    return count == 0 || std::fread(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

// Where the snapshot record at `offset` ends, when the file holds it whole by its length: a body no longer
// than a whole read, and the warehouse's counts after it.
bool SnapshotEndAt(std::FILE* stream, std::uint64_t size, std::uint64_t offset, std::uint64_t& end)
{
    std::uint32_t length = 0;
    if (!ReadU32At(stream, size, offset, length) || length > Auxiliary::CFile::kMaxReadSize ||
        size - offset - 4 < std::uint64_t(length) + kSnapshotExtra)
        return false;
    end = offset + 4 + length + kSnapshotExtra;
    return true;
}

// Whether the body of the snapshot record from `offset` to `end` (whole by its length) has its check
// value right.
bool HasRightCheckValue(std::FILE* stream, std::uint64_t size, std::uint64_t offset, std::uint64_t end)
{
    Bytes body;
    return ReadAt(stream, size, offset + 4, end - offset - 4 - kSnapshotExtra, body) &&
           IsWholeSnapshotBody(body);
}

// Whether the record from `begin` to `end`, the one after the last whole snapshot, is torn: what a power
// loss leaves of an append whose length the file system kept but whose bytes it lost, zeros from some
// point of it to the end of the file. A floor's log begins with a header that is never zero. A tail longer
// than one record is no torn append, and is not read.
bool IsTornRecord(std::FILE* stream, std::uint64_t size, std::uint64_t begin, std::uint64_t end)
{
    Bytes bytes;
    if (end - begin < 8 || !ReadAt(stream, size, begin + 4, 4, bytes) ||
        std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte == 0; }))
        return true;
    if (size - begin > kMaxRecordBytes || !ReadAt(stream, size, begin, size - begin, bytes)) return false;
    const auto nonZero =
        std::find_if(bytes.rbegin(), bytes.rend(), [](std::uint8_t byte) { return byte != 0; });
    const std::uint64_t zerosFrom = begin + std::uint64_t(bytes.rend() - nonZero);
    if (zerosFrom >= end) return false;
    // A whole log's running sum, its last two bytes, may end in a zero of its own; zeros from further
    // inside are torn whatever the log's chunks say, as zero words after a zero sum would read whole.
    return zerosFrom + 2 < end ||
           !IsWholeActionFile(std::span<const std::uint8_t>(bytes).subspan(4, std::size_t(end - begin - 4)));
}

// The bytes of ".rpl" and ".rpi" to keep: up to the last snapshot that a whole pair names and that is
// whole itself, and the record after it when that is whole and not torn. A pair of zeros past the first
// is torn too (only the first snapshot begins at 0). A snapshot is judged by its check value too, as long
// as the snapshots judged so far come to no more than one record's worth; past that it is taken by its
// length (a power loss tears the last appends, and one that would not load is left out when the replay is
// written). So no more than one record's worth of snapshots and one of the tail after the last is read,
// whatever the files claim. False, when a file cannot be read, or ".rpl" is missing: nothing is cut then.
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
    std::uint64_t judged = 0; // the snapshot bytes read to judge them
    for (std::size_t pair = index.size() / kPairBytes; pair > 0; --pair) {
        const std::uint8_t* named = index.data() + kPairBytes * (pair - 1);
        if (pair > 1 && std::all_of(named, named + kPairBytes, [](std::uint8_t byte) { return byte == 0; }))
            continue;
        const std::uint64_t offset = platform::ReadU32(named + 4);
        std::uint64_t end = 0;
        if (!SnapshotEndAt(stream, std::uint64_t(size), offset, end)) continue;
        if (judged + (end - offset) <= kMaxRecordBytes) {
            judged += end - offset;
            if (!HasRightCheckValue(stream, std::uint64_t(size), offset, end)) continue;
        }
        pairs = kPairBytes * pair;
        records = end;
        if (lastFloor != nullptr) *lastFloor = platform::ReadU32(named);
        std::uint32_t length = 0;
        if (ReadU32At(stream, std::uint64_t(size), records, length) &&
            records + 4 + length <= std::uint64_t(size) &&
            !IsTornRecord(stream, std::uint64_t(size), records, records + 4 + length))
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

// Where the work file's name ends in a backup's name "<work file>.rpl.bkNN"; npos for another name.
std::size_t WorkFileNameEnd(std::string_view name)
{
    constexpr std::string_view kWork = ".rpl.bk";
    if (name.size() < kWork.size() + 2 || name.substr(name.size() - kWork.size() - 2, kWork.size()) != kWork)
        return std::string_view::npos;
    return name.size() - 5; // without ".bkNN"
}

// Whether the work file holds the backup's `size` bytes and one whole record after them, and nothing
// else: the one record a replay of the older program added.
bool IsBackupAndOneRecord(platform::FileReader& backup, std::uint64_t size, platform::FileReader& work,
                          std::uint64_t workSize)
{
    std::uint8_t length[4];
    if (workSize < size + 4 || !work.Seek(size) || !work.Read(length, 4) ||
        platform::ReadU32(length) != workSize - size - 4 || !backup.Seek(0) || !work.Seek(0))
        return false;
    Bytes kept(std::size_t(std::min<std::uint64_t>(size, 1 << 16))), live(kept.size());
    for (std::uint64_t left = size; left > 0;) {
        const std::size_t count = std::size_t(std::min<std::uint64_t>(left, kept.size()));
        if (!backup.Read(kept.data(), count) || !work.Read(live.data(), count) ||
            !std::equal(kept.begin(), kept.begin() + std::ptrdiff_t(count), live.begin()))
            return false;
        left -= count;
    }
    return true;
}

} // namespace

bool IsWholeSnapshotBody(std::span<const std::uint8_t> body)
{
    return body.size() > 4 && ComputeCheckValue(body.first(body.size() - 4)) == StoredCheckValue(body);
}

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
    // The folder holds every run's files: only the backups' names are worth a look at the disk.
    if (!platform::ListFolder(view(resolved), entries, [](std::string_view name) {
            return WorkFileNameEnd(name) != std::string_view::npos;
        }))
        return;
    for (const platform::FolderEntry& entry : entries) {
        if (entry.isFolder) continue;
        const std::string& name = entry.name;
        const std::string_view workName(name.data(), WorkFileNameEnd(name));
        const ZTL::string backup = resolved + "\\" + name.c_str();
        const ZTL::string work = resolved + "\\" + std::string(workName).c_str();
        platform::FileReader kept, live;
        std::uint64_t workSize = 0;
        const bool hasLive = live.Open(view(work)) && live.GetSize(workSize);
        // The backup's work file with one more record after it is the replay's own addition, never
        // taken back; a work file that went on from there, or the backup itself, needs no backup. The
        // sizes tell which pair can be that one before any byte is read. A work file was read whole to
        // make a replay, so a backup larger than any whole read was never one: it goes unread. A backup
        // whose work file is gone is put back by its name alone, unread; one that cannot be read beside
        // its work file cannot be told apart, and stays.
        const bool small = entry.size <= Auxiliary::CFile::kMaxReadSize;
        bool restore = small && !hasLive;
        if (small && hasLive) {
            if (!kept.Open(view(backup))) continue;
            restore = IsBackupAndOneRecord(kept, entry.size, live, workSize);
        }
        kept.Close();
        live.Close();
        if (restore)
            platform::RenameFileInPlace(view(backup), workName);
        else
            platform::DeleteFile(view(backup));
    }
}
