#include "game/app/replay.h"

#include "game/app/save_game.h"
#include "game/characters/adventure.h"
#include "game/data/action_log.h"
#include "game/data/appending_file.h"
#include "game/data/check_value.h"
#include "game/data/config.h"
#include "game/data/error_box.h"
#include "game/data/password.h"
#include "platform/host/little_endian.h"
#include "sdk/auxiliary/file.h"
#include "sdk/auxiliary/serialize.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <set>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kMagic[4] = {'r', 'p', 'l', 'y'};
constexpr std::size_t kPairBytes = 8;

// A replay file read piece by piece: nothing is read, and nothing allocated, beyond its end.
class CReplayReader
{
public:
    // 0 opened, 1 cannot be opened, 2 its size cannot be measured.
    int Open(const ZTL::string& name)
    {
        if (m_file.Open(name, "rb") != 0) return 1;
        std::FILE* stream = m_file.GetStream();
        const long size = std::fseek(stream, 0, SEEK_END) == 0 ? std::ftell(stream) : -1;
        if (size < 0 || std::fseek(stream, 0, SEEK_SET) != 0) return 2;
        m_size = std::uint64_t(size);
        return 0;
    }
    std::uint64_t GetSize() const { return m_size; }
    // False when the position lies beyond the end.
    bool Seek(std::int64_t position)
    {
        if (position < 0 || std::uint64_t(position) > m_size) return false;
        if (std::fseek(m_file.GetStream(), long(position), SEEK_SET) != 0) return false;
        m_position = std::uint64_t(position);
        return true;
    }
    // False, with nothing read or allocated, when fewer bytes are left or more are asked for than any
    // whole-file read takes: a sparse file may claim gigabytes it never stored.
    bool Read(Bytes& bytes, std::uint64_t size)
    {
        if (size > Auxiliary::CFile::kMaxReadSize || size > m_size - m_position) return false;
        bytes.resize(std::size_t(size));
        if (size != 0 && std::fread(bytes.data(), 1, bytes.size(), m_file.GetStream()) != bytes.size())
            return false;
        m_position += size;
        return true;
    }
    bool ReadU32(std::uint32_t& value)
    {
        Bytes bytes;
        if (!Read(bytes, 4)) return false;
        value = platform::ReadU32(bytes.data());
        return true;
    }

private:
    Auxiliary::CFile m_file;
    std::uint64_t m_size = 0;
    std::uint64_t m_position = 0;
};

void PutU32(Bytes& bytes, std::uint32_t value)
{
    std::uint8_t little[4];
    platform::WriteU32(little, value);
    bytes.insert(bytes.end(), little, little + 4);
}

ZTL::string WorkFileBase(const SRankingData& record)
{
    return MakeSlotFilePath(record.recordNumber, record.runNumber);
}

// What a replay's header holds that the viewer takes.
struct SReplayHeader
{
    std::int32_t saveKind = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> floors; // (floor, offset in the body)
    SRankingData record;
};

// The header (check value taken off) in its stored order; false when it is not a replay's or does not
// read whole.
bool ParseHeader(Bytes& bytes, SReplayHeader& header)
{
    Auxiliary::CSerialize stream;
    stream.GetBuffer().swap(bytes);
    stream.SetStoring(false);
    std::uint32_t first = 0, second = 0, count = 0;
    std::uint8_t magic[4] = {};
    stream.Serialize(first).Serialize(second);
    for (std::uint8_t& byte : magic)
        stream.Serialize(byte);
    stream.Serialize(header.saveKind).Serialize(count);
    const std::size_t size = stream.GetBuffer().size();
    const std::size_t left = size - std::min<std::size_t>(stream.ReadPosition(), size);
    bool whole = !stream.HasLoadFailed() && std::memcmp(magic, kMagic, 4) == 0 && count <= left / kPairBytes;
    for (std::uint32_t i = 0; whole && i < count; ++i) {
        std::uint32_t floor = 0, offset = 0;
        stream.Serialize(floor).Serialize(offset);
        header.floors.emplace_back(floor, offset);
        // Floors count from 1; the viewer takes them as positive ints.
        whole = floor >= 1 && floor <= std::uint32_t(std::numeric_limits<std::int32_t>::max());
    }
    if (whole) stream.Serialize(header.record);
    // The record's name names the replay file the record would be written to again.
    whole = whole && !stream.HasLoadFailed() && IsSafeSaveName(header.record.name);
    stream.GetBuffer().swap(bytes);
    return whole;
}

} // namespace

ZTL::string MakeReplayPath(const SRankingData& record)
{
    // A name that could leave the replay folder (or has no file-name form) gives no path at all.
    if (!IsSafeSaveName(record.name)) return ZTL::string();
    char user[16], run[16];
    std::snprintf(user, sizeof user, "%04d", record.recordNumber);
    std::snprintf(run, sizeof run, "%04d", record.runNumber);
    return ZTL::string("replay\\") + user + record.name + run + ".rpl";
}

int AppendFloorSnapshot(SGameResource& game)
{
    const ZTL::string base = MakeSlotFilePath(game.userNumber, game.runNumber);

    // The snapshot carries no warehouse: replays never show it, and it would make every record large.
    CItemControl& items = game.items;
    const std::int32_t listLength = items.warehouseCount;
    const std::int32_t slotMark = items.warehouseMark;
    items.warehouseCount = items.warehouseMark = 0;
    const Bytes body = BuildSaveBody(game);
    items.warehouseCount = listLength;
    items.warehouseMark = slotMark;

    // The record as one write, so that a kill leaves it whole or not there at all.
    Bytes record;
    record.reserve(12 + body.size());
    PutU32(record, std::uint32_t(body.size()));
    record.insert(record.end(), body.begin(), body.end());
    PutU32(record, std::uint32_t(listLength));
    PutU32(record, std::uint32_t(slotMark));
    const std::uint32_t floor = std::uint32_t(game.floor);
    switch (AppendWorkRecord(base, record, &floor)) {
    case kWorkRecordAppended:
        return kSnapshotAppended;
    case kWorkRecordCannotOpen:
        return kSnapshotCannotOpen;
    case kWorkRecordShort:
        return kSnapshotShort;
    case kWorkIndexCannotOpen:
        return kSnapshotIndexCannotOpen;
    default:
        return kSnapshotIndexFailed;
    }
}

namespace {

// The u32 at `at` and where the bytes it counts end, when the work file holds them whole.
bool WholeRecordAt(const Bytes& work, std::uint64_t at, std::uint64_t extra, std::uint64_t& end)
{
    if (at > work.size() || work.size() - at < 4) return false;
    end = at + 4 + platform::ReadU32(work.data() + at) + extra;
    return end <= work.size();
}

// A snapshot record the index names, whole by its length: its floor, where it begins and ends.
struct SNamedSnapshot
{
    std::uint32_t floor = 0;
    std::uint64_t begin = 0, end = 0;
};

// The snapshots the index names, in time order. Each lies after the one before it: a pair that names
// bytes an earlier snapshot holds names no floor of its own, so no byte of the work file is judged twice,
// whatever the index claims.
std::vector<SNamedSnapshot> NamedSnapshots(const Bytes& index, const Bytes& work)
{
    std::vector<SNamedSnapshot> snapshots;
    std::uint64_t next = 0;
    for (std::size_t i = 0; i + kPairBytes <= index.size(); i += kPairBytes) {
        SNamedSnapshot snapshot{platform::ReadU32(index.data() + i), platform::ReadU32(index.data() + i + 4)};
        if (snapshot.begin < next || !WholeRecordAt(work, snapshot.begin, kSnapshotExtra, snapshot.end))
            continue;
        next = snapshot.end;
        snapshots.push_back(snapshot);
    }
    return snapshots;
}

// Whether the snapshot's body has its check value right.
bool HasRightCheckValue(const Bytes& work, const SNamedSnapshot& snapshot)
{
    return IsWholeSnapshotBody(std::span<const std::uint8_t>(work).subspan(
        std::size_t(snapshot.begin + 4), std::size_t(snapshot.end - snapshot.begin - 4 - kSnapshotExtra)));
}

// The floors a replay made of the work files can show: a floor is kept when its snapshot is whole (its
// check value right) and the log after it, before the next snapshot named, reads as that floor's, or,
// being the goal floor, when it has no log at all. Floors that cannot load are left out of the index;
// their bytes stay in the body, unnamed.
std::vector<std::pair<std::uint32_t, std::uint32_t>> LoadableFloors(const SGameResource& game,
                                                                    const Bytes& index, const Bytes& work)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> floors;
    const std::vector<SNamedSnapshot> snapshots = NamedSnapshots(index, work);
    for (std::size_t i = 0; i < snapshots.size(); ++i) {
        const SNamedSnapshot& snapshot = snapshots[i];
        // No run has a floor that a replay's header may not name.
        if (snapshot.floor < 1 || snapshot.floor > std::uint32_t(std::numeric_limits<std::int32_t>::max()) ||
            !HasRightCheckValue(work, snapshot))
            continue;
        const std::uint64_t next = i + 1 < snapshots.size() ? snapshots[i + 1].begin : work.size();
        std::uint64_t logEnd = 0;
        bool loads = false;
        if (WholeRecordAt(work, snapshot.end, 0, logEnd) && logEnd <= next) {
            CActionLog scratch;
            const std::span<const std::uint8_t> log(work.data() + snapshot.end + 4,
                                                    logEnd - snapshot.end - 4);
            loads = ReadActionFile(scratch, game.runRecord.recordNumber, std::int32_t(snapshot.floor), log,
                                   log.size()) == kActionFileRead;
        } else {
            loads = snapshot.end == work.size() && std::int64_t(snapshot.floor) > game.lastFloor;
        }
        if (loads) floors.emplace_back(snapshot.floor, std::uint32_t(snapshot.begin));
    }
    return floors;
}

} // namespace

int WriteReplay(SGameResource& game, ZTL::string& fileName, std::int32_t* floorsLeftOut, const Bytes* lastLog)
{
    if (!IsSafeSaveName(game.runRecord.name)) return kReplayNotWritten;
    const ZTL::string base = WorkFileBase(game.runRecord);
    Auxiliary::CFile file;
    Bytes index, work;
    const int indexRead = file.ReadToVector(base + ".rpi", index);
    if (indexRead == Auxiliary::CFile::kReadNotFound) return kReplayNoFloor;
    if (indexRead != Auxiliary::CFile::kReadOk) return kReplayNoIndex;
    // A fragment shorter than a floor number is where the index ends; one that holds the floor without
    // its offset is a pair cut off.
    if (index.size() % kPairBytes >= 4) return kReplayNoIndex;
    if (file.ReadToVector(base + ".rpl", work) != Auxiliary::CFile::kReadOk) return kReplayNoWorkFile;
    if (lastLog != nullptr) {
        // The current floor's log follows its snapshot, the last one named, in this copy alone.
        // A snapshot that would not load keeps its place, so that the log before it stays its floor's.
        const std::vector<SNamedSnapshot> snapshots = NamedSnapshots(index, work);
        if (!snapshots.empty()) work.resize(std::size_t(snapshots.back().end));
        work.insert(work.end(), lastLog->begin(), lastLog->end());
    }

    SRankingData& record = game.runRecord;
    const auto floors = LoadableFloors(game, index, work);
    if (floors.empty()) return kReplayNoFloor;
    // Every floor from the first to the last the run reached has its place; those not kept are missing.
    std::int64_t last = std::max<std::int64_t>(record.floor, game.floor);
    for (std::size_t i = 0; i + kPairBytes <= index.size(); i += kPairBytes)
        last = std::max<std::int64_t>(last, platform::ReadU32(index.data() + i));
    std::set<std::uint32_t> kept;
    for (const auto& pair : floors)
        kept.insert(pair.first);
    if (floorsLeftOut != nullptr)
        *floorsLeftOut = std::int32_t(std::max<std::int64_t>(0, last - std::int64_t(kept.size())));

    Auxiliary::CSerialize header;
    PasswordPair password = PackPasswordValues(record.seed, record.category, record.passwordValue);
    std::uint32_t count = std::uint32_t(floors.size());
    header.Serialize(password.first).Serialize(password.second);
    for (std::uint8_t byte : kMagic)
        header.Serialize(byte);
    header.Serialize(game.saveKind).Serialize(count);
    for (auto [floor, offset] : floors)
        header.Serialize(floor).Serialize(offset);
    header.Serialize(record);
    AppendCheckValue(header.GetBuffer());

    const Bytes& head = header.GetBuffer();
    Bytes replay;
    replay.reserve(8 + head.size() + work.size());
    PutU32(replay, std::uint32_t(head.size()));
    replay.insert(replay.end(), head.begin(), head.end());
    PutU32(replay, std::uint32_t(replay.size())); // the body start: where this value stands
    replay.insert(replay.end(), work.begin(), work.end());

    fileName = MakeReplayPath(record);
    if (replay.size() > std::numeric_limits<std::uint32_t>::max() ||
        file.Write(fileName, replay.data(), std::uint32_t(replay.size())) != 0)
        return kReplayNotWritten;
    return kReplayWritten;
}

ZTL::string ReplaySaveMessage(int result, const ZTL::string& fileName, std::int32_t floorsLeftOut)
{
    if (result == kReplayNoFloor) return "リプレイに残せたフロアがありませんでした。";
    if (result != kReplayWritten) return "ファイルの保存に失敗しました。";
    ZTL::string message = fileName + "に\n保存しました。";
    if (floorsLeftOut > 0) {
        char missing[64];
        std::snprintf(missing, sizeof missing, "\n%dフロア分の記録は欠けています。", floorsLeftOut);
        message += missing;
    }
    return message;
}

void TellReplayGap(SGameResource& game, bool floorBefore, bool thisFloor)
{
    const std::pair run(game.userNumber, game.runNumber);
    if ((!floorBefore && !thisFloor) || game.replayGapRun == run) return;
    game.replayGapRun = run;
    ShowErrorBox(!floorBefore ? kReplayGapMessage
                 : thisFloor  ? kReplayGapBothMessage
                              : kReplayGapBeforeMessage);
}

void DeleteReplayFiles(const SGameResource& game)
{
    const ZTL::string base = WorkFileBase(game.runRecord);
    Auxiliary::CFile file;
    file.Delete(base + ".rpl");
    file.Delete(base + ".rpi");
}

int OpenReplay(SGameResource& game, const ZTL::string& fileName)
{
    game.runStartValues.clear();
    CReplayReader reader;
    if (reader.Open(fileName) != 0) return kReplayCannotOpen;
    game.runStartFileName = fileName;

    std::uint32_t length = 0;
    Bytes bytes;
    if (!reader.ReadU32(length)) return kReplayHeaderLengthMissing;
    if (!reader.Read(bytes, length)) return kReplayHeaderShort;
    if (!VerifyCheckValue(bytes)) return kReplayBadCheck;
    SReplayHeader header;
    // A replay that names no floor has nothing to show: every floor start would stand on no snapshot.
    if (!ParseHeader(bytes, header) || header.floors.empty()) return kReplayNotAReplay;
    std::uint32_t bodyStart = 0;
    if (!reader.ReadU32(bodyStart)) return kReplayBodyStartMissing;

    game.saveKind = header.saveKind;
    game.runRecord = header.record;
    for (const auto& [floor, offset] : header.floors) {
        // Past the body start comes the ".rpl" work file the offsets count in. An offset no file of this
        // size holds is kept as -1, which no floor load can seek to.
        const std::uint64_t absolute = std::uint64_t(offset) + bodyStart + 4;
        game.runStartValues[std::int32_t(floor)] =
            absolute <= std::uint64_t(std::numeric_limits<std::int32_t>::max()) ? std::int32_t(absolute) : -1;
    }

    game.config.name = kReplayConfigFileName;
    LoadOptions(game.config);
    ApplyOptions(game);
    return kReplayOpened;
}

int LoadReplayFloor(SGameResource& game, std::int32_t floor)
{
    const auto found = game.runStartValues.find(floor);
    if (found == game.runStartValues.end()) return kReplayFloorAbsent;
    CReplayReader reader;
    switch (reader.Open(game.runStartFileName)) {
    case 0:
        break;
    case 1:
        return kReplayFloorCannotOpen;
    default:
        return kReplayFloorSizeUnknown;
    }
    if (!reader.Seek(found->second)) return kReplayFloorSeekFailed;

    std::uint32_t length = 0;
    Bytes bytes;
    if (!reader.ReadU32(length)) return kReplayFloorLengthMissing;
    if (!reader.Read(bytes, length)) return kReplayFloorShort;
    if (ReadSaveBody(game, std::move(bytes)) != kSaveDone) return kReplayFloorUnreadable;

    std::uint32_t listLength = 0, slotMark = 0;
    if (!reader.ReadU32(listLength)) return kReplayFloorWarehouseCountMissing;
    if (!reader.ReadU32(slotMark)) return kReplayFloorWarehouseMarkMissing;
    // The warehouse's slots stay taken, so that nothing made on the floor lands in them; the counts stay
    // 0, as the snapshot left them.
    game.items.ReserveWarehouseEntries(std::int32_t(slotMark), std::int32_t(listLength));

    Bytes log;
    if (!reader.ReadU32(length) || !reader.Read(log, length) ||
        ReadActionFile(game.actionLog, game.userNumber, game.floor, log, log.size()) != kActionFileRead)
        return kReplayFloorLogUnreadable;
    return kReplayFloorLoaded;
}

std::int32_t NextReplayFloor(const SGameResource& game, std::int32_t floor)
{
    const auto next = game.runStartValues.upper_bound(floor);
    return next != game.runStartValues.end() ? next->first : -1;
}

std::int32_t PreviousReplayFloor(const SGameResource& game, std::int32_t floor)
{
    const auto at = game.runStartValues.lower_bound(floor);
    return at != game.runStartValues.begin() ? std::prev(at)->first : -1;
}

std::int32_t NearestReplayFloor(const SGameResource& game, std::int32_t floor)
{
    if (game.runStartValues.count(floor) != 0) return floor;
    const std::int32_t before = PreviousReplayFloor(game, floor);
    const std::int32_t after = NextReplayFloor(game, floor);
    if (before == -1 || after == -1) return std::max(before, after);
    return std::int64_t(after) - floor <= std::int64_t(floor) - before ? after : before;
}

std::int32_t NextReplayFloorOrEnd(const SGameResource& game)
{
    const std::int32_t next = NextReplayFloor(game, game.floor);
    if (next != -1) return next;
    return game.runRecord.floor > game.floor ? game.floor + 1 : -1;
}

int EnterReplayFloor(SGameResource& game, std::int32_t& floor)
{
    const std::int32_t shown = game.runStartValues.count(floor) != 0 ? floor : NextReplayFloor(game, floor);
    if (shown == -1) return kReplayFloorAbsent;
    floor = shown;
    game.ResetAdventureState();
    game.floor = shown;
    game.playMode = kPlayReplay;
    int result = LoadReplayFloor(game, shown);
    // The reset state's dungeon 0 is the warehouse's, whose floor start leaves for the camp.
    if (result == kReplayFloorLoaded &&
        (game.dungeon < 1 || game.dungeon >= std::int32_t(kLastFloorUncleared.size())))
        result = kReplayFloorUnreadable;
    return result;
}

bool EndReplay(SGameResource& game)
{
    if (game.playMode != kPlayReplay) return false;
    game.actionLog.Reset();
    game.config.Reset();
    game.messageWindow.AddMessage(-1, -1, "リプレイを終了します。");
    game.playMode = kPlayNormal;
    game.endOfPlay = 1;
    return true;
}
