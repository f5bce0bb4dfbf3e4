#pragma once
// A file that grows by appends: the run's ".rpl" and ".rpi" work files. Every write goes to the disk at
// once, so each reports its own failure.

#include "gamebase/sdk_names.h"
#include "sdk/auxiliary/file.h"
#include "sdk/ztl/ztl_string.h"

#include <cstddef>
#include <cstdint>
#include <span>

class CAppendingFile
{
public:
    // Opens the file for appending, creating it when missing; false when it cannot be opened.
    bool Open(const ZTL::string& name);
    // Its length when it was opened.
    std::uint64_t GetInitialLength() const { return m_initialLength; }
    // False when not every byte was written.
    bool Write(const void* data, std::size_t size);
    // A little-endian u32.
    bool WriteU32(std::uint32_t value);

private:
    Auxiliary::CFile m_file;
    std::uint64_t m_initialLength = 0;
};

// The bytes a floor's snapshot record has after its body: the warehouse's two counts.
inline constexpr std::uint64_t kSnapshotExtra = 8;

// Whether a floor's snapshot body (a save set's body with its check value) is whole: its check value is
// right, and something precedes it.
bool IsWholeSnapshotBody(std::span<const std::uint8_t> body);

// Results of AppendWorkRecord.
enum WorkRecordResult : int
{
    kWorkRecordAppended = 0,
    kWorkRecordCannotOpen = 1, // the ".rpl" work file
    kWorkRecordShort = 2,
    kWorkIndexCannotOpen = 3, // the ".rpi" work file
    kWorkIndexFailed = 4,
};

// The run's replay work files beside its ".act" file (`base` + ".rpl" and ".rpi"): ".rpl" holds records
// in time order, each a length (u32) and that many bytes, a floor's snapshot eight bytes more; ".rpi" a
// pair (floor, offset) (u32 each) per snapshot, where in ".rpl" it begins.
// Appends one record (`record`: its length and bytes, as one write) to ".rpl", and for a floor's snapshot
// (`floor` given) its pair to ".rpi". A kill, a power loss or a full disk may have left a record or a
// pair cut short or zeroed, or a record no pair names, after the last whole snapshot (its check value
// right) that ".rpi" names and the one whole record after it (not torn: no zeros from inside it to the end
// of the file, unless they are a whole log's own); those bytes are cut off first, so that a floor's log
// always follows its snapshot. A WorkRecordResult.
int AppendWorkRecord(const ZTL::string& base, std::span<const std::uint8_t> record,
                     const std::uint32_t* floor);
// The floor of the last whole snapshot of the work files (the one AppendWorkRecord keeps last); -1 when
// there is none or the files cannot be read.
std::int64_t LastWholeSnapshotFloor(const ZTL::string& base);
// Settles the backups "<work file>.rpl.bkNN" that an older program made of a work file while it wrote a
// replay, and that a kill left in the folder: the work file it stood for is put back, and a backup the
// work file no longer needs goes, as does a file too large to have been such a backup, unread. Only the
// names of backups are looked at on the disk.
void SettleWorkFileBackups(const ZTL::string& folder);
