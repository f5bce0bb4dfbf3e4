#include "game/app/replay.h"

#include "game/app/save_game.h"
#include "game/data/check_value.h"
#include "game/data/password.h"
#include "game/support/adventure.h"
#include "game/support/archive_bytes.h"
#include "game/support/full_disk.h"
#include "game/support/user_home.h"
#include "platform/host/file.h"
#include "platform/host/little_endian.h"
#include "sdk/auxiliary/file.h"
#include "support/fifo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Words = std::vector<std::uint32_t>;

std::uint32_t U32At(const Bytes& bytes, std::size_t at)
{
    return platform::ReadU32(bytes.data() + at);
}

void PutU32(Bytes& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(std::uint8_t(value >> (8 * i)));
}

SPlayerCommand Command(std::int32_t kind, std::int32_t arg1)
{
    SPlayerCommand command;
    command.kind = kind;
    command.arg1 = arg1;
    return command;
}

// A fresh game state that can read the adventure of FillAdventure.
std::unique_ptr<SGameResource> Viewer()
{
    auto game = std::make_unique<SGameResource>();
    game->items.kindCount = 6;
    return game;
}

// A replay file around a header's content (its check value appended) and a body.
Bytes ReplayFile(Bytes header, const Bytes& body)
{
    AppendCheckValue(header);
    Bytes file;
    PutU32(file, std::uint32_t(header.size()));
    file.insert(file.end(), header.begin(), header.end());
    PutU32(file, std::uint32_t(file.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// A header's content: the magic, and `count` floors of which the pairs given are written.
Bytes HeaderContent(const char* magic, std::uint32_t count,
                    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs)
{
    Bytes header;
    PutU32(header, 1);
    PutU32(header, 2);
    header.insert(header.end(), magic, magic + 4);
    PutU32(header, 2); // save kind
    PutU32(header, count);
    for (const auto& [floor, offset] : pairs) {
        PutU32(header, floor);
        PutU32(header, offset);
    }
    SRankingData record;
    const Bytes stored = StoreBytes(record);
    header.insert(header.end(), stored.begin(), stored.end());
    return header;
}

class ReplayTest : public UserHomeTest
{
protected:
    void SetUp() override
    {
        UserHomeTest::SetUp();
        FillAdventure(*game);
        SRankingData& record = game->runRecord;
        record.recordNumber = 12;
        record.name = "abc";
        record.runNumber = 3;
        record.category = 2;
        record.seed = 0x12345678;
        record.passwordValue = 0xBEEF;
    }

    // Floors 7, 8 and 9: each starts with its log and snapshot, logs two commands in two appends and
    // ends by copying its log into the work file. Then the replay is written and read back.
    Bytes PlayThreeFloors()
    {
        for (std::int32_t floor = 7; floor <= 9; ++floor) {
            game->floor = floor;
            game->gold = std::uint32_t(floor * 100);
            EXPECT_EQ(game->actionLog.SaveSuspendData(game->userNumber, game->runNumber, floor), 0);
            EXPECT_EQ(AppendFloorSnapshot(*game), kSnapshotAppended);
            bodies.push_back(Snapshot(*game));
            for (std::int32_t i = 0; i < 2; ++i) {
                game->actionLog.WriteCommand(Command(5, floor * 10 + i));
                EXPECT_EQ(game->actionLog.AppendToFile(), CActionLog::kAppended);
            }
            EXPECT_EQ(game->actionLog.AppendFloorLog(), CActionLog::kFloorLogAppended);
        }
        ZTL::string name;
        EXPECT_EQ(WriteReplay(*game, name), kReplayWritten);
        EXPECT_STREQ(name.c_str(), "replay\\0012abc0003.rpl");
        return Read(ReplayPath());
    }
    // The snapshot body of the game state, as a replay holds it: without the warehouse.
    static Bytes Snapshot(SGameResource& state)
    {
        const std::uint32_t check = state.checkValue;
        const std::int32_t count = state.items.warehouseCount, mark = state.items.warehouseMark;
        state.items.warehouseCount = state.items.warehouseMark = 0;
        Bytes body = BuildSaveBody(state);
        state.items.warehouseCount = count;
        state.items.warehouseMark = mark;
        state.checkValue = check;
        return body;
    }
    fs::path Work(const char* extension) const
    {
        return UserFolder() / (std::string("00120003") + extension);
    }
    fs::path ReplayPath() const { return Exe() / "replay" / "0012abc0003.rpl"; }
    Bytes Read(const fs::path& path) const
    {
        const std::string text = GetFile(path);
        return Bytes(text.begin(), text.end());
    }
    void Write(const fs::path& path, const Bytes& bytes) const
    {
        PutFile(path, std::string(bytes.begin(), bytes.end()));
    }

    std::unique_ptr<SGameResource> game = std::make_unique<SGameResource>();
    std::vector<Bytes> bodies;
};

TEST_F(ReplayTest, ThreeFloorsMakeOneReplayThatLoadsBackFloorByFloor)
{
    const Bytes replay = PlayThreeFloors();
    EXPECT_EQ(game->items.warehouseMark, 1); // the snapshot leaves the warehouse as it was
    // The work files: each floor's snapshot (with the warehouse's two counts) and log, and the index.
    const Bytes work = Read(Work(".rpl"));
    const Bytes index = Read(Work(".rpi"));
    ASSERT_EQ(index.size(), 24u);
    std::uint32_t at = 0;
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(U32At(index, 8 * i), 7 + i);
        ASSERT_EQ(U32At(index, 8 * i + 4), at);
        const std::uint32_t length = U32At(work, at);
        EXPECT_EQ(Bytes(work.begin() + at + 4, work.begin() + at + 4 + length), bodies[i]);
        EXPECT_EQ(U32At(work, at + 4 + length) + U32At(work, at + 8 + length), 2u);
        at += 12 + length;
        at += 4 + U32At(work, at);
    }
    EXPECT_EQ(at, work.size());

    // The replay: its header (password pair, magic, floors) and the work file unchanged after it.
    const std::uint32_t bodyStart = 4 + U32At(replay, 0);
    EXPECT_EQ(U32At(replay, bodyStart), bodyStart);
    EXPECT_EQ(Bytes(replay.begin() + bodyStart + 4, replay.end()), work);
    EXPECT_EQ(U32At(replay, 8), PackPasswordValues(0x12345678, 2, 0xBEEF).second);
    EXPECT_EQ(Bytes(replay.begin() + 12, replay.begin() + 16), (Bytes{'r', 'p', 'l', 'y'}));
    EXPECT_EQ(Bytes(replay.begin() + 24, replay.begin() + 48), index);

    SConfig options;
    options.name = "save\\0012abc.cfg";
    options.messageSpeed = 40;
    ASSERT_EQ(SaveOptions(options), 0); // also the replay configuration
    auto viewer = Viewer();
    ASSERT_EQ(OpenReplay(*viewer, "replay\\0012abc0003.rpl"), kReplayOpened);
    EXPECT_EQ(viewer->saveKind, 4);
    EXPECT_EQ(StoreBytes(viewer->runRecord), StoreBytes(game->runRecord));
    EXPECT_STREQ(viewer->config.name.c_str(), "save\\replay.cfg");
    EXPECT_EQ(viewer->messageWindow.defaultWait, 40);
    std::map<std::int32_t, std::int32_t> starts;
    for (std::uint32_t i = 0; i < 3; ++i)
        starts[std::int32_t(7 + i)] = std::int32_t(U32At(index, 8 * i + 4) + bodyStart + 4);
    EXPECT_EQ(viewer->runStartValues, starts);

    for (std::int32_t floor = 7; floor <= 9; ++floor) {
        const Bytes& body = bodies[std::size_t(floor - 7)];
        viewer->ResetAdventureState();
        viewer->passwordHistory.clear(); // a floor's pairs join the history as they are
        ASSERT_EQ(LoadReplayFloor(*viewer, floor), kReplayFloorLoaded) << floor;
        EXPECT_EQ(Snapshot(*viewer), body);
        EXPECT_EQ(viewer->checkValue, ComputeCheckValue(std::span(body).first(body.size() - 4)));
        // The warehouse's slots stay taken; its counts stay 0.
        EXPECT_EQ(viewer->items.warehouse[0].kind + viewer->items.warehouseList[0], 0);
        EXPECT_EQ(viewer->items.warehouseMark, 0);
        const Words words = {std::uint32_t(floor * 10) << 8 | 5, std::uint32_t(floor * 10 + 1) << 8 | 5};
        EXPECT_EQ(viewer->actionLog.GetReadWords(), words);
        EXPECT_EQ(viewer->actionLog.GetReadIndex(), 0);
        EXPECT_TRUE(viewer->actionLog.IsOff());
    }
    EXPECT_EQ(LoadReplayFloor(*viewer, 10), kReplayFloorAbsent);

    ZTL::string name;
    ASSERT_EQ(WriteReplay(*game, name), kReplayWritten);
    EXPECT_EQ(Read(ReplayPath()), replay);
    DeleteReplayFiles(*game);
    EXPECT_FALSE(fs::exists(Work(".rpl")) || fs::exists(Work(".rpi")));
}

TEST_F(ReplayTest, ADamagedReplayIsRefusedWithItsCode)
{
    const Bytes replay = PlayThreeFloors();
    const std::uint32_t bodyStart = 4 + U32At(replay, 0);
    Bytes flipped = replay;
    flipped[20] ^= 1;
    const Bytes empty = HeaderContent("rply", 0, {});
    // The run's own header naming none of its three floors.
    Bytes none(replay.begin() + 4, replay.begin() + 20);
    PutU32(none, 0);
    none.insert(none.end(), replay.begin() + 48, replay.begin() + bodyStart - 4);
    // Its first floor named 0, and beyond the floors an int counts.
    const auto firstFloor = [&](std::uint32_t floor) {
        Bytes header(replay.begin() + 4, replay.begin() + bodyStart - 4);
        platform::WriteU32(header.data() + 20, floor);
        return ReplayFile(header, {});
    };
    const struct
    {
        const char* what;
        Bytes file;
        int result;
    } cases[] = {
        {"length cut", {9, 0, 0}, kReplayHeaderLengthMissing},
        {"header beyond the file", Bytes(replay.begin(), replay.begin() + 40), kReplayHeaderShort},
        {"header length near 4 GiB", {0xFF, 0xFF, 0xFF, 0xFF, 1, 2}, kReplayHeaderShort},
        {"header shorter than a check value", {2, 0, 0, 0, 1, 2}, kReplayBadCheck},
        {"header byte changed", flipped, kReplayBadCheck},
        {"not a replay", ReplayFile(HeaderContent("rplz", 0, {}), {}), kReplayNotAReplay},
        {"more floors than the header holds", ReplayFile(HeaderContent("rply", 0x20000000, {{1, 0}}), {}),
         kReplayNotAReplay},
        {"run record cut", ReplayFile(Bytes(empty.begin(), empty.end() - 3), {}), kReplayNotAReplay},
        {"no floor named", ReplayFile(none, {}), kReplayNotAReplay},
        {"floor 0 named", firstFloor(0), kReplayNotAReplay},
        {"floor 2^31 named", firstFloor(0x80000000u), kReplayNotAReplay},
        {"body start missing", Bytes(replay.begin(), replay.begin() + bodyStart + 3),
         kReplayBodyStartMissing},
    };
    for (const auto& c : cases) {
        Write(ReplayPath(), c.file);
        auto viewer = Viewer();
        viewer->runStartValues[1] = 5;
        viewer->saveKind = 9;
        EXPECT_EQ(OpenReplay(*viewer, "replay\\0012abc0003.rpl"), c.result) << c.what;
        EXPECT_TRUE(viewer->runStartValues.empty()) << c.what;
        EXPECT_EQ(viewer->saveKind + viewer->runRecord.recordNumber, 8) << c.what; // as they were
    }
    EXPECT_EQ(OpenReplay(*Viewer(), "replay\\none.rpl"), kReplayCannotOpen);
}

TEST_F(ReplayTest, AFloorThatTheFileDoesNotHoldWholeIsRefusedWithItsCode)
{
    const Bytes replay = PlayThreeFloors();
    const std::size_t record = 4 + U32At(replay, 0) + 4; // floor 7's snapshot
    const std::size_t length = U32At(replay, record);
    const std::size_t log = record + 12 + length;
    const std::size_t logLength = U32At(replay, log);
    const auto cut = [&](std::size_t size) {
        return Bytes(replay.begin(), replay.begin() + std::ptrdiff_t(size));
    };
    const auto with = [&](std::size_t at, std::uint32_t value) {
        Bytes bytes = replay;
        platform::WriteU32(bytes.data() + at, value);
        return bytes;
    };
    // Floor 7's snapshot whole, of another dungeon: the warehouse's, whose floor start leaves for the
    // camp, or one the game does not have.
    const auto ofDungeon = [&](std::int32_t dungeon) {
        const std::int32_t kept = game->dungeon;
        game->floor = 7;
        game->gold = 700;
        game->dungeon = dungeon;
        const Bytes body = Snapshot(*game);
        game->dungeon = kept;
        Bytes bytes = replay;
        EXPECT_EQ(body.size(), length);
        std::copy(body.begin(), body.end(), bytes.begin() + std::ptrdiff_t(record) + 4);
        return bytes;
    };
    // Floor 9's offset moved far beyond the end of any file.
    Bytes header(replay.begin() + 4, replay.begin() + std::ptrdiff_t(record) - 8); // no check value
    platform::WriteU32(header.data() + 20 + 2 * 8 + 4, 0xFFFFFF00);
    const Bytes farOffset = ReplayFile(header, Bytes(replay.begin() + std::ptrdiff_t(record), replay.end()));
    const struct
    {
        const char* what;
        Bytes file;
        std::int32_t floor;
        int result;
    } cases[] = {
        {"nothing after the body start", cut(record), 7, kReplayFloorLengthMissing},
        {"floor 8 beyond the end", cut(log + 4 + logLength - 1), 8, kReplayFloorSeekFailed},
        {"floor 9 far beyond", farOffset, 9, kReplayFloorSeekFailed},
        {"the snapshot cut", cut(record + 4 + length - 1), 7, kReplayFloorShort},
        {"a snapshot longer than the file", with(record, 0xFFFFFFF0), 7, kReplayFloorShort},
        {"the snapshot damaged", with(record + 30, 0), 7, kReplayFloorUnreadable},
        {"no warehouse slot mark", cut(record + 8 + length + 2), 7, kReplayFloorWarehouseMarkMissing},
        {"the log cut", cut(log + 4 + logLength - 1), 7, kReplayFloorLogUnreadable},
        {"a log longer than the file", with(log, 0x7FFFFFFF), 7, kReplayFloorLogUnreadable},
        {"the log damaged", with(log + 4, 0), 7, kReplayFloorLogUnreadable},
        {"the warehouse's snapshot", ofDungeon(0), 7, kReplayFloorUnreadable},
        {"a dungeon the game lacks", ofDungeon(9), 7, kReplayFloorUnreadable},
        {"as written", replay, 7, kReplayFloorLoaded},
    };
    // As the floor start shows a floor.
    for (const auto& c : cases) {
        Write(ReplayPath(), c.file);
        auto viewer = Viewer();
        ASSERT_EQ(OpenReplay(*viewer, "replay\\0012abc0003.rpl"), kReplayOpened) << c.what;
        std::int32_t floor = c.floor;
        EXPECT_EQ(EnterReplayFloor(*viewer, floor), c.result) << c.what;
        EXPECT_EQ(viewer->playMode, kPlayReplay) << c.what;
    }
    fs::remove(ReplayPath());
    auto viewer = Viewer();
    viewer->runStartFileName = "replay\\0012abc0003.rpl";
    viewer->runStartValues[7] = 0;
    EXPECT_EQ(LoadReplayFloor(*viewer, 7), kReplayFloorCannotOpen);
}

// A kill inside a work record leaves bytes that the resumed run's next record would follow: they are cut
// off first, so that every floor's log follows its snapshot and the index holds whole pairs. So are the
// zeros a power loss leaves where a file system kept the length of an append but lost its bytes.
TEST_F(ReplayTest, WhatAKillLeftOfAWorkRecordIsCutBeforeTheNextOne)
{
    PlayThreeFloors();
    const Bytes work = Read(Work(".rpl")), index = Read(Work(".rpi")), log = Read(Work(".act"));
    Bytes pairOfACutSnapshot = {10, 0, 0, 0}, lengthPastAnyRead;
    PutU32(pairOfACutSnapshot, std::uint32_t(work.size()));
    PutU32(lengthPastAnyRead, Auxiliary::CFile::kMaxReadSize + 1);
    Bytes lengthAndZeros = {200, 0, 0, 0}, logZeroedInside = {std::uint8_t(log.size()), 0, 0, 0};
    lengthAndZeros.resize(204);
    logZeroedInside.insert(logZeroedInside.end(), log.begin(), log.begin() + 14);
    logZeroedInside.resize(4 + log.size());
    const struct
    {
        const char* what;
        Bytes workTail, indexTail;
        bool beforeTheLastLog = false; // the tail follows floor 9's snapshot, its log not yet there
        std::uintmax_t zeros = 0;      // then as many zeros, sparse
    } cases[] = {
        {"a log's length, then zeros", lengthAndZeros, {}, true},
        {"a log zeroed from inside it", logZeroedInside, {}, true},
        {"a tail longer than any record", {}, {}, false, 4 + Auxiliary::CFile::kMaxReadSize + 64},
        {"a log's length, then zeros past any record",
         {200, 0, 0, 0},
         {},
         true,
         2 * Auxiliary::CFile::kMaxReadSize},
        {"a log's length alone", {0x40, 0, 0, 0}, {}},
        {"half a snapshot", {0x40, 0, 0, 0, 1, 2, 3}, {}},
        {"a floor without its offset", {}, {10, 0, 0, 0}},
        {"a pair whose snapshot was cut", {0x40, 0, 0, 0, 1}, pairOfACutSnapshot},
        {"a snapshot longer than any read", lengthPastAnyRead, pairOfACutSnapshot, false,
         Auxiliary::CFile::kMaxReadSize + 64},
        {"zeros after the last snapshot", Bytes(64, 0), {}, true},
        {"a zeroed pair", {}, Bytes(8, 0)},
    };
    for (const auto& c : cases) {
        Bytes torn(work.begin(), work.end() - std::ptrdiff_t(c.beforeTheLastLog ? 4 + log.size() : 0)),
            tornIndex = index;
        torn.insert(torn.end(), c.workTail.begin(), c.workTail.end());
        tornIndex.insert(tornIndex.end(), c.indexTail.begin(), c.indexTail.end());
        Write(Work(".rpl"), torn);
        if (c.zeros != 0) fs::resize_file(Work(".rpl"), torn.size() + c.zeros);
        Write(Work(".rpi"), tornIndex);
        Write(Work(".act"), log);
        // The resumed floor 9 ends again, then floor 10 is played. The cut is made in place: a disk without
        // room for a second copy of the work file still takes it.
        static bool copied;
        static fs::path folder;
        copied = false;
        folder = UserFolder();
        platform::SetFileChangeObserver([](const std::string&) {
            for (const auto& entry : fs::directory_iterator(folder))
                copied = copied || entry.path().extension() == ".tmp";
        });
        game->floor = 9;
        const int appended = game->actionLog.AppendFloorLog();
        platform::SetFileChangeObserver(nullptr);
        ASSERT_EQ(appended, CActionLog::kFloorLogAppended) << c.what;
        EXPECT_FALSE(copied) << c.what;
        game->floor = 10;
        ASSERT_EQ(game->actionLog.SaveSuspendData(game->userNumber, game->runNumber, 10), 0);
        ASSERT_EQ(AppendFloorSnapshot(*game), kSnapshotAppended) << c.what;
        game->actionLog.WriteCommand(Command(5, 100));
        ASSERT_EQ(game->actionLog.AppendToFile(), CActionLog::kAppended);
        ASSERT_EQ(game->actionLog.AppendFloorLog(), CActionLog::kFloorLogAppended) << c.what;
        ZTL::string name;
        ASSERT_EQ(WriteReplay(*game, name), kReplayWritten) << c.what;

        auto viewer = Viewer();
        ASSERT_EQ(OpenReplay(*viewer, name), kReplayOpened) << c.what;
        for (std::int32_t floor = 7; floor <= 10; ++floor) {
            viewer->ResetAdventureState();
            ASSERT_EQ(LoadReplayFloor(*viewer, floor), kReplayFloorLoaded) << c.what << ", floor " << floor;
            const Words words = floor == 10 ? Words{100 << 8 | 5}
                                            : Words{std::uint32_t(floor * 10) << 8 | 5,
                                                    std::uint32_t(floor * 10 + 1) << 8 | 5};
            EXPECT_EQ(viewer->actionLog.GetReadWords(), words) << c.what << ", floor " << floor;
        }
    }
}

// A floor whose log record the disk refused would not load: the replay names only the floors that do
// (the goal floor has no log), says how many of the floors from the first to the last it lacks, and is
// not written at all when no floor loads.
TEST_F(ReplayTest, AReplayNamesOnlyTheFloorsThatLoadAndCountsTheOthers)
{
    const struct
    {
        std::int32_t refused; // the floor whose log is refused; 10 every floor's
        std::int32_t lastFloor;
        int result;
        std::vector<std::int32_t> floors;
        std::int32_t lacked;
        std::int32_t damaged = 0; // the floor whose snapshot has 64 zeros inside it
        std::int32_t first = 7;   // of the three floors played
        bool suspended = false;   // on the last, whose log the replay alone takes
    } cases[] = {
        {0, 20, kReplayWritten, {7, 9}, 7, 8},
        {0, 20, kReplayWritten, {7, 8}, 7, 9},
        {0, 20, kReplayWritten, {7, 8}, 7, 9, 7, true},
        {-1, 20, kReplayWritten, {1, 2}, 0, 0, 0}, // floor 0 is no floor of a run
        {0, 20, kReplayWritten, {7, 8, 9}, 6},
        {8, 20, kReplayWritten, {7, 9}, 7},
        {9, 20, kReplayWritten, {7, 8}, 7},
        {9, 8, kReplayWritten, {7, 8, 9}, 6},
        {9, 9, kReplayWritten, {7, 8}, 7}, // the last floor, not the goal: its log is missing
        {10, 20, kReplayNoFloor, {}, 0},
    };
    static bool refusing = false;
    platform::SetFileWriteRefusal([](const std::string& what) { return refusing && what.ends_with(".rpl"); });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        fs::remove(Work(".rpl"));
        fs::remove(Work(".rpi"));
        fs::remove(ReplayPath());
        game->lastFloor = c.lastFloor;
        std::uintmax_t damagedAt = 0;
        for (std::int32_t floor = c.first; floor <= c.first + 2; ++floor) {
            game->floor = floor;
            ASSERT_EQ(game->actionLog.SaveSuspendData(game->userNumber, game->runNumber, floor), 0);
            if (c.damaged != 0 && floor == c.damaged) damagedAt = fs::file_size(Work(".rpl")) + 100;
            ASSERT_EQ(AppendFloorSnapshot(*game), kSnapshotAppended);
            game->actionLog.WriteCommand(Command(5, floor));
            ASSERT_EQ(game->actionLog.AppendToFile(), CActionLog::kAppended);
            refusing = floor == c.refused || c.refused == 10;
            if (!c.suspended || floor < c.first + 2) game->actionLog.AppendFloorLog();
            refusing = false;
        }
        if (c.damaged != 0) {
            Bytes work = Read(Work(".rpl"));
            std::fill_n(work.begin() + std::ptrdiff_t(damagedAt), 64, 0);
            Write(Work(".rpl"), work);
        }
        ZTL::string name;
        std::int32_t lacked = -1;
        const Bytes lastLog = game->actionLog.MakeFloorLogRecord();
        ASSERT_EQ(WriteReplay(*game, name, &lacked, c.suspended ? &lastLog : nullptr), c.result);
        if (c.result != kReplayWritten) {
            EXPECT_FALSE(fs::exists(ReplayPath()));
            continue;
        }
        EXPECT_EQ(lacked, c.lacked);
        auto viewer = Viewer();
        ASSERT_EQ(OpenReplay(*viewer, name), kReplayOpened);
        std::vector<std::int32_t> floors;
        for (const auto& [floor, offset] : viewer->runStartValues) {
            floors.push_back(floor);
            viewer->ResetAdventureState();
            if (floor <= c.lastFloor) EXPECT_EQ(LoadReplayFloor(*viewer, floor), kReplayFloorLoaded) << floor;
        }
        EXPECT_EQ(floors, c.floors);
    }
    platform::SetFileWriteRefusal(nullptr);
}

TEST_F(ReplayTest, ALengthBeyondAnyWholeReadIsRefusedBeforeItIsRead)
{
    // Sparse files as large as they claim: a length the file holds, but far more than any piece of a
    // replay, is refused as one the file does not hold, without allocating or reading it.
    constexpr std::uint32_t kHuge = Auxiliary::CFile::kMaxReadSize + 1;
    const Bytes replay = PlayThreeFloors();
    const std::size_t record = 4 + U32At(replay, 0) + 4; // floor 7's snapshot
    Bytes header;
    PutU32(header, kHuge);
    Bytes snapshot = replay;
    platform::WriteU32(snapshot.data() + record, kHuge);
    const struct
    {
        const char* what;
        Bytes file;
        int opened;
        int floor;
    } cases[] = {
        {"header", header, kReplayHeaderShort, 0},
        {"snapshot", snapshot, kReplayOpened, kReplayFloorShort},
    };
    for (const auto& c : cases) {
        Write(ReplayPath(), c.file);
        fs::resize_file(ReplayPath(), c.file.size() + kHuge + 64);
        auto viewer = Viewer();
        ASSERT_EQ(OpenReplay(*viewer, "replay\\0012abc0003.rpl"), c.opened) << c.what;
        if (c.opened == kReplayOpened) {
            EXPECT_EQ(LoadReplayFloor(*viewer, 7), c.floor) << c.what;
        }
    }
}

TEST_F(ReplayTest, ANamedPipeIsRefusedWithoutWaitingForAWriter)
{
    const fs::path pipe = Exe() / "replay" / "0001pipe0001.rpl";
    ASSERT_TRUE(test_support::MakeFifo(pipe));
    int result = -1;
    test_support::ReturnsWithoutWaitingOn(
        pipe, [&] { result = OpenReplay(*Viewer(), "replay\\0001pipe0001.rpl"); }, "OpenReplay");
    EXPECT_EQ(result, kReplayCannotOpen);
}

TEST_F(ReplayTest, AReplayThatCannotBeWrittenLeavesNoFile)
{
    PlayThreeFloors();
    fs::remove(ReplayPath());
    ZTL::string name;
    EXPECT_EQ(WithFullDisk(64, [&] { return WriteReplay(*game, name); }), kReplayNotWritten);
    EXPECT_TRUE(fs::is_empty(Exe() / "replay"));

    // The index holds whole pairs: a fragment of a floor number ends it, a floor without its offset
    // spoils it.
    const Bytes index = Read(Work(".rpi"));
    Write(Work(".rpi"), Bytes(index.begin(), index.end() - 1));
    EXPECT_EQ(WriteReplay(*game, name), kReplayNoIndex);
    Write(Work(".rpi"), Bytes(index.begin(), index.end() - 5));
    ASSERT_EQ(WriteReplay(*game, name), kReplayWritten);
    EXPECT_EQ(U32At(Read(ReplayPath()), 20), 2u); // two floors
    // A pair that names an earlier snapshot's bytes again names no floor of its own.
    Bytes again = index;
    again.insert(again.end(), index.begin(), index.begin() + 8);
    Write(Work(".rpi"), again);
    ASSERT_EQ(WriteReplay(*game, name), kReplayWritten);
    const Bytes named = Read(ReplayPath());
    EXPECT_EQ(std::tuple(U32At(named, 20), U32At(named, 40)), std::tuple(3u, 9u)); // floors 7, 8, 9
    // A floor no run has is not named, even as the goal floor, whose snapshot ends the work files: the
    // replay would not open.
    Bytes beyond = index;
    platform::WriteU32(beyond.data() + 16, 0xFFFFFFFFu);
    Write(Work(".rpi"), beyond);
    const Bytes work = Read(Work(".rpl"));
    const std::size_t last = U32At(index, 20);
    Write(Work(".rpl"), Bytes(work.begin(), work.begin() + std::ptrdiff_t(last + 12 + U32At(work, last))));
    ASSERT_EQ(WriteReplay(*game, name), kReplayWritten);
    EXPECT_EQ(U32At(Read(ReplayPath()), 20), 2u);
    EXPECT_EQ(OpenReplay(*Viewer(), name), kReplayOpened);
    // A log that runs over the next snapshot named is no record of its floor: floor 7's, over floor 8's
    // length and zeros, which would read as its torn tail.
    const std::size_t log7 = 12 + U32At(work, 0);
    Bytes over(work.begin(), work.begin() + std::ptrdiff_t(log7 + 4 + U32At(work, log7)));
    platform::WriteU32(over.data() + log7, U32At(work, log7) + 12);
    over.resize(over.size() + 12);
    Bytes pairs(index.begin(), index.begin() + 8);
    PutU32(pairs, 8);
    PutU32(pairs, std::uint32_t(over.size() - 12));
    Write(Work(".rpl"), over);
    Write(Work(".rpi"), pairs);
    EXPECT_EQ(WriteReplay(*game, name), kReplayNoFloor);
    fs::remove(ReplayPath());
    fs::remove(Work(".rpl"));
    EXPECT_EQ(WriteReplay(*game, name), kReplayNoWorkFile);
    EXPECT_TRUE(fs::is_empty(Exe() / "replay"));
}

TEST_F(ReplayTest, ARecordNameOutsideTheReplayFolderIsNeitherReadNorWritten)
{
    PlayThreeFloors();
    fs::remove(ReplayPath());
    game->runRecord.name = "\\..\\..\\escaped";
    ZTL::string name;
    // The path itself never leaves the folder, whatever its caller checked.
    for (const char* stored : {"\\..\\..\\escaped", "..", "a/../b", "x:y", "\x81\x20\xFD"}) {
        SRankingData named = game->runRecord;
        named.name = stored;
        EXPECT_TRUE(MakeReplayPath(named).empty()) << stored;
    }
    EXPECT_EQ(WriteReplay(*game, name), kReplayNotWritten);
    EXPECT_TRUE(fs::is_empty(Exe() / "replay"));
    EXPECT_FALSE(fs::exists(m_root / "escaped0003.rpl"));

    // A replay whose record stores such a name.
    Bytes header = HeaderContent("rply", 0, {});
    SRankingData record;
    header.resize(header.size() - StoreBytes(record).size());
    const Bytes stored = StoreBytes(game->runRecord);
    header.insert(header.end(), stored.begin(), stored.end());
    Write(ReplayPath(), ReplayFile(header, {}));
    EXPECT_EQ(OpenReplay(*Viewer(), "replay\\0012abc0003.rpl"), kReplayNotAReplay);
}

TEST_F(ReplayTest, EndingAReplayGoesBackToNormalPlay)
{
    game->config.messageSpeed = 3;
    EXPECT_FALSE(EndReplay(*game));
    EXPECT_EQ(game->config.messageSpeed + game->endOfPlay, 3);
    EXPECT_TRUE(game->messageWindow.pending.empty());

    game->playMode = kPlayReplay;
    EXPECT_TRUE(EndReplay(*game));
    EXPECT_EQ(game->playMode, kPlayNormal);
    EXPECT_EQ(game->endOfPlay, 1);
    EXPECT_EQ(game->config.messageSpeed, 18);
    ASSERT_EQ(game->messageWindow.pending.size(), 1u);
    const CMessageWindow::SLine& line = game->messageWindow.pending.front();
    EXPECT_STREQ(line.text.c_str(), "リプレイを終了します。");
    EXPECT_EQ(line.soundEffect + line.wait, -2);
}

} // namespace
