#pragma once
// Replays: a finished adventure watched floor by floor.
//
// While a run goes on, two work files beside its ".act" file (MakeSlotFilePath + ".rpl" and ".rpi")
// collect each floor. All numbers little-endian.
//   ".rpl"  records in time order: at a floor's start its snapshot, the length (u32) of the save-set
//           body with its check value (BuildSaveBody, stored with an empty warehouse), the body, then
//           the warehouse list's length and the warehouse slot mark (u32 each); at its end the floor's
//           log, the length (u32) and the bytes of its ".act" file (CActionLog::AppendFloorLog).
//   ".rpi"  one pair (floor, offset) (u32 each) per snapshot: where in ".rpl" its record begins.
//
// At the end of the run they become one file "replay\%04d%s%04d.rpl" (the run record's user number,
// name and run number): the header's length L (u32), the header, the body start 4 + L (u32), then the
// whole ".rpl" work file. The header holds the run's password pair (u32 each), the bytes "rply", the
// save-kind value (int), the number of floors (u32) and the ".rpi" pairs, the run record, and the check
// value of all that (high byte first).
//
// At each floor start of normal play the game-main scene appends the last floor's log, then the new
// floor's snapshot; the end of an adventure appends the last log. The menus write the replay when the
// player keeps it, and open replays from the replay folder or dropped on the window, which the
// game-main scene then shows floor by floor in play mode 2.
//
// Replay files come from anywhere, so the readers check every length and offset in them against the
// file's size.

#include "game/app/game_resource.h"
#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <vector>

// Results of AppendFloorSnapshot.
enum FloorSnapshotResult : int
{
    kSnapshotAppended = 0,
    kSnapshotCannotOpen = 10, // the ".rpl" work file
    kSnapshotShort = 21,
    kSnapshotIndexCannotOpen = 30, // the ".rpi" work file
    kSnapshotIndexFailed = 31,
};

// Results of WriteReplay.
enum WriteReplayResult : int
{
    kReplayWritten = 0,
    kReplayNoIndex = 1,    // the ".rpi" work file cannot be read, or a pair in it is cut off
    kReplayNoWorkFile = 2, // the ".rpl" work file cannot be read
    kReplayNotWritten = 3, // the replay file cannot be written (nothing of it is left), or the record's
                           // name is one IsSafeSaveName refuses
    kReplayNoFloor = 4,    // no floor of the work files would load, or no floor's record was ever kept
                           // (no ".rpi" work file)
};

// Results of OpenReplay.
enum OpenReplayResult : int
{
    kReplayOpened = 0,
    kReplayCannotOpen = 10,
    kReplayHeaderLengthMissing = 11,
    kReplayHeaderShort = 12,
    kReplayBadCheck = 13,
    kReplayNotAReplay = 21, // no "rply", a header that does not read whole, or a record name
                            // IsSafeSaveName refuses
    kReplayBodyStartMissing = 40,
};

// Results of LoadReplayFloor.
enum ReplayFloorResult : int
{
    kReplayFloorLoaded = 0,
    kReplayFloorAbsent = 1,
    kReplayFloorCannotOpen = 2,
    kReplayFloorSizeUnknown = 3,
    kReplayFloorSeekFailed = 4, // the floor's offset lies outside the file
    kReplayFloorLengthMissing = 40,
    kReplayFloorShort = 50,
    kReplayFloorUnreadable = 60, // the snapshot's check value is wrong, it does not read whole, or (at a
                                 // floor's start) it is not of a dungeon the game has
    kReplayFloorWarehouseCountMissing = 61,
    kReplayFloorWarehouseMarkMissing = 62,
    kReplayFloorLogUnreadable = 70,
};

// "replay\%04d%s%04d.rpl" for the record's user number, name and run number; empty for a name
// IsSafeSaveName refuses.
ZTL::string MakeReplayPath(const SRankingData& record);

// At a floor's start: appends the game state's snapshot to the run's ".rpl" work file (keeping its check
// value in checkValue, as a save does) and its floor and offset to ".rpi", each as one write, after
// cutting off what a kill left cut short (AppendWorkRecord). A FloorSnapshotResult.
int AppendFloorSnapshot(SGameResource& game);
// At the end of the run: joins the work files named by the run record into its replay file, written
// whole through a temporary file, and gives the file's name. Only floors that would load are named in
// it (a snapshot whole, with its floor's log after it; the goal floor has none); `floorsLeftOut` receives
// how many of the floors from the first to the last the run reached it lacks. `lastLog`, when given, is
// a log record (CActionLog::MakeFloorLogRecord) that follows the last snapshot in the replay alone: the
// work files are only read. A WriteReplayResult.
int WriteReplay(SGameResource& game, ZTL::string& fileName, std::int32_t* floorsLeftOut = nullptr,
                const std::vector<std::uint8_t>* lastLog = nullptr);
// What the player reads of WriteReplay's result: the replay's name and the floors it lacks, that no floor
// of the run could be kept, or that the file could not be saved.
ZTL::string ReplaySaveMessage(int result, const ZTL::string& fileName, std::int32_t floorsLeftOut);
// Tells the player, once a run (its resumes in this session included), that floors are missing from its
// replay: the floor before (its log refused at this floor's start), this floor (its snapshot, or at the
// run's end its log), or both. Nothing when neither is lost.
void TellReplayGap(SGameResource& game, bool floorBefore, bool thisFloor);
// Deletes the ".rpl" and ".rpi" work files named by the run record.
void DeleteReplayFiles(const SGameResource& game);

// Opens a replay to view: keeps its name in runStartFileName, reads its header into the save-kind value,
// the run record and runStartValues (floor -> the absolute offset of the floor's snapshot), then loads
// and applies the options of "save\replay.cfg". A file that fails leaves runStartValues empty and the
// other fields as they were. An OpenReplayResult.
int OpenReplay(SGameResource& game, const ZTL::string& fileName);
// At a floor's start while a replay is viewed (the game-main scene resets the adventure state first):
// loads the floor's snapshot as a save set's body is loaded (nothing reset, no options, the generator
// not seeded), reserves the warehouse slots it had in use, and reads the floor's log into the action
// log's read buffer (its log-on flag unchanged). A ReplayFloorResult.
int LoadReplayFloor(SGameResource& game, std::int32_t floor);
// The floors a viewed replay holds, as runStartValues names them: the first held after `floor`, the last
// held before it, and the held floor nearest to it (of two as near, the later). -1 when there is none.
std::int32_t NextReplayFloor(const SGameResource& game, std::int32_t floor);
std::int32_t PreviousReplayFloor(const SGameResource& game, std::int32_t floor);
std::int32_t NearestReplayFloor(const SGameResource& game, std::int32_t floor);
// Where a viewed replay's "next floor" goes from the floor shown: the next floor it holds; past the last
// one, when the run went below it (the run record's floor), the floor after, which the replay lacks and
// which ends it as a descent there does; -1 when the run ended on this floor.
std::int32_t NextReplayFloorOrEnd(const SGameResource& game);
// At a floor's start while a replay from a file is viewed: the floor shown is `floor` or, when the
// replay lacks it, the next floor it holds, which `floor` then names. The adventure state is reset (the
// play mode stays 2) and that floor loaded. kReplayFloorAbsent when the replay holds no floor from
// `floor` on (nothing is reset then); kReplayFloorUnreadable also for a snapshot that is not of a
// dungeon the game has, which no floor of play could stand on. Whatever it returns, the play mode is
// still 2: a state that failed to load is never taken for play. A ReplayFloorResult.
int EnterReplayFloor(SGameResource& game, std::int32_t& floor);
// Ends replay viewing: in play mode 2 the options go back to their defaults, "リプレイを終了します。" waits
// for a key in the message window, normal play resumes and the end-of-play flag is raised; true. In any
// other mode nothing changes; false. The action log goes with the replay, so that nothing of the state
// left on the screen reaches the player's files: no command of it is written and no guard made from it.
bool EndReplay(SGameResource& game);
