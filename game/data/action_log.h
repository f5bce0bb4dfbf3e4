#pragma once
// The action log: every command the player gives during an adventure, as 32-bit words, kept per floor
// in the run's ".act" file in the user's folder. With the adventure's save set it is the suspend data
// ("中断データ"): a resumed game re-runs the logged commands silently from the stored seed, and replays
// read the same words.
//
// A command word holds the kind (0 to 15) in bits 0-7 and the arguments above it:
//   kinds 0, 1, 3, 9, 14, 15   the kind alone
//   kinds 2, 5, 6, 7           arg1 << 8
//   kind 4                     arg2 << 8, then four words of text (16 bytes, first byte lowest)
//   kind 8                     arg3 << 24 | (arg2 & 0xFFFF) << 8, then arg1 << 8 | 8
//   kinds 10, 11, 13           arg2 << 8
//   kind 12                    arg3 << 8
// Arguments read back from bits 8-23 (and arg3 of kind 8 from bits 24-31).
//
// The ".act" file, little-endian: "qrls", the user number and the floor (4 bytes each), then one chunk
// per append: a 16-bit word count, the words, and the running sum after them (16 bits). The running
// sum adds the four bytes of every word written to or read from the file, modulo 65536.

#include "game/data/player_command.h"
#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

// The per-run work file base: the user's folder + "\%04d%04d" with the user number and the run number.
// The ".act", ".rpl" and ".rpi" files of the run add their extension to it.
ZTL::string MakeSlotFilePath(std::int32_t userNumber, std::int32_t runNumber);

// Where compaction stands on a word buffer that only grows between its runs: how far it has walked
// (a command boundary) and the commands of kinds 2, 3 and 10 it keeps (-1 none yet).
struct SCompaction
{
    std::size_t walked = 0;
    std::ptrdiff_t lastKind2 = -1;
    std::ptrdiff_t firstKind3 = -1;
    std::ptrdiff_t lastKind10 = -1;
};
// Keeps only the last kind-2, the first kind-3 and the last kind-10 command of the buffer and turns
// every other one into the word 0 (a kind-0 command); the buffer keeps its length. A fresh state walks
// the whole buffer; a state kept from the last run walks only the words added since.
void CompactActionLog(std::vector<std::uint32_t>& words, SCompaction& state);

class CActionLog
{
public:
    // Results of AppendToFile.
    enum AppendResult : int
    {
        kAppended = 0,
        kAppendNoFileName = 1,
        kAppendNothingBuffered = 2,
        kAppendCannotOpen = 3,
        kAppendHeld = 4, // the log is held off the disk: the words join its copy in memory
    };
    // Results of AppendFloorLog.
    enum FloorLogResult : int
    {
        kFloorLogAppended = 0,
        kFloorLogNoFileName = 1,
        kFloorLogCannotOpen = 2, // the run's ".rpl" or ".rpi" work file
        kFloorLogShort = 4,      // writing the record
    };
    // The most words one chunk counts.
    static constexpr std::size_t kMaxChunkWords = 0xFFFF;

    // Log off, both names and buffers empty (their storage released), sum and read index 0.
    void Reset();
    // Empties the word buffer and nothing else.
    void ClearWordBuffer();

    // Encodes the command into the word buffer; a kind outside 0..15 writes nothing, nor does a kind-4
    // command whose arg2 is above 65535 or whose text is longer than 17 bytes. More than 256 words
    // buffered are compacted.
    void WriteCommand(const SPlayerCommand& command);
    // Compacts the buffer and appends it to the write file as chunks of at most kMaxChunkWords words,
    // never splitting a command, then empties it. The chunks are written in place at the end of the
    // file while it is as this log left it; otherwise (after a resume or a failed write) the file is
    // rewritten through a temporary file with its torn tail cut off. A failed append leaves the buffer
    // and the running sum as they were, and the file readable up to what was there before; the first of
    // a row of failed appends shows the error box "セーブデータの保存に失敗しました。".
    int AppendToFile();

    // At the end of a floor: appends the write file as it stands on disk to the run's ".rpl" work file
    // (the write file's name ending in ".rpl" in place of ".act") as its length (u32) and its bytes, the
    // floor's log that replays read after the floor's snapshot (AppendWorkRecord: what a kill left cut
    // short after the snapshot is cut off first). An ".act" file that cannot be read goes in with length
    // 0; a floor held off the disk goes in with the log kept in memory. A FloorLogResult.
    int AppendFloorLog() const;
    // That record: the length (u32) and the bytes of the floor's log as AppendFloorLog would append it.
    std::vector<std::uint8_t> MakeFloorLogRecord() const;

    // Starts a new ".act" file for the adventure and turns the log on: its header and, when given, a
    // first command, in one write, so that no floor's log lacks the command it opens with. 0, or 1 after
    // the error box "セーブデータに保存できません" (the new log then held in memory, off the disk).
    int SaveSuspendData(std::int32_t userNumber, std::int32_t runNumber, std::int32_t floor,
                        const SPlayerCommand* first = nullptr);
    // Begins the floor's new log as SaveSuspendData does, but in memory alone: the floor's save failed,
    // so the ".act" file on the disk stays the whole log of the floor before, which a resume needs.
    void HoldNewLog(std::int32_t userNumber, std::int32_t runNumber, std::int32_t floor,
                    const SPlayerCommand* first = nullptr);
    // Holds the log as the disk has it: appends from here on join the copy in memory, not the file
    // (whose guard still names it as it is).
    void Hold();
    // While held, the log's appends gather in memory, as the file they would have made; WriteHeldLog
    // writes that file whole (0, the log then on the disk again; 1 when the write fails, still held).
    bool IsHeld() const { return m_held; }
    int WriteHeldLog();
    // Writes what is buffered, held or not, with no box, and asks the disk to hold the file before a
    // guard is made from it: true when the disk (or, held, the copy in memory) has every command given.
    bool Flush();
    // Reads the run's whole ".act" file into the read buffer and turns the log on, the running sum
    // continuing from the file's: 0, or 1 after the error box "中断データが読み込めませんでした" (the
    // read buffer then empty and the log off).
    int LoadSuspendData(std::int32_t userNumber, std::int32_t runNumber, std::int32_t floor);

    // Decodes the next command of the read buffer into the block (reset first); kind -1 when the buffer
    // is used up. A word of a kind above 15 comes back alone with that kind.
    void ReadCommand(SPlayerCommand& command);
    // The read primitives; none reads past the end of the read buffer.
    // The kind of the word at the read index, or -1 at the end; the index stays.
    std::int32_t PeekKind() const;
    // Bits 8-23 of the word at the read index, which then advances; 0 and no advance at the end.
    std::int32_t TakeArgument();
    // Bits 8-23 and 24-31 of the word at the read index, which then advances; at the end neither is
    // written and the index stays.
    void TakeArgumentAndTopByte(std::int32_t& argument, std::int32_t& topByte);

    // The floor that a run's ".act" file names, when the file reads whole as the user's log of that floor;
    // -1 otherwise. The file is only read.
    static std::int32_t ReadLoggedFloor(std::int32_t userNumber, std::int32_t runNumber);

    // The write file name: the run's slot file base + ".act"; the read file name likewise.
    void SetFileName(std::int32_t userNumber, std::int32_t runNumber);
    void SetReadFileName(std::int32_t userNumber, std::int32_t runNumber);
    // Deletes the write file and forgets its name: 0, or 1 when no file is named.
    int DeleteFile();

    bool IsOff() const { return m_logging == 0; }
    // The running sum while the log is on, else 0: what the suspend guard adds to the check value.
    std::uint32_t GetRunningSum() const { return m_logging != 0 ? m_sum : 0; }
    const ZTL::string& GetFileName() const { return m_writeFileName; }
    const ZTL::string& GetReadFileName() const { return m_readFileName; }
    const std::vector<std::uint32_t>& GetWords() const { return m_words; }
    const std::vector<std::uint32_t>& GetReadWords() const { return m_readWords; }
    std::int32_t GetReadIndex() const { return m_readIndex; }

private:
    // AppendToFile's writing.
    int WriteBufferedWords();
    // The buffer (compacted) as chunks after the running sum `sum`, which then follows them.
    std::vector<std::uint8_t> EncodeChunks(std::uint32_t& sum);
    // A new log's bytes: the header and the first command's chunk; the log on with its sum.
    std::vector<std::uint8_t> BeginLog(std::int32_t userNumber, std::int32_t runNumber, std::int32_t floor,
                                       const SPlayerCommand* first);
    friend int ReadActionFile(CActionLog& log, std::int32_t userNumber, std::int32_t floor,
                              std::span<const std::uint8_t> file, std::size_t byteLimit);

    std::uint8_t m_logging = 0; // 1 while a log file is active
    ZTL::string m_writeFileName;
    std::vector<std::uint32_t> m_words; // commands not yet appended
    std::uint32_t m_sum = 0;            // the running 16-bit sum of the current file
    ZTL::string m_readFileName;
    std::vector<std::uint32_t> m_readWords; // the commands to re-run or replay
    std::int32_t m_readIndex = 0;
    SCompaction m_compaction; // of m_words
    // The write file's length as this log last left it; -1 when not known (a new name, a resume).
    std::int64_t m_fileLength = -1;
    bool m_held = false;
    std::vector<std::uint8_t> m_heldFile; // while held: the ".act" file the log would have made
    bool m_failureShown = false; // the box of a failed append was shown since the last append that worked
};

// Results of ReadActionFile.
enum ActionFileResult : int
{
    kActionFileRead = 0,
    kActionFileBadMagic = 2,
    kActionFileOtherUser = 3,
    kActionFileOtherFloor = 4,
    kActionFileWordMissing = 10, // a kind-4 command's text runs past its chunk
    kActionFileSumWrong = 12,    // a chunk does not check: its words, its sum or its count damaged
};
inline constexpr std::size_t kNoByteLimit = std::numeric_limits<std::size_t>::max();

// Reads an ".act" file (or one embedded in a larger file) from its bytes: the header must name the
// user and the floor; chunks are read while fewer than byteLimit bytes have been taken (a limit below
// 13 reads the header alone) and until the bytes end. What follows the last whole chunk is a torn tail
// and left out when it is shorter than the chunk it would start (a write cut short) or when zeros begin
// in that chunk and last to the end of the file (a file system that lost appends' bytes but kept their
// length); a damaged chunk followed by bytes that are not all zero refuses the file, also one whose
// count runs past the end of the file while its own sum or whole chunks follow it. On success the log's read
// buffer holds the words, its running sum the sum read and its read index 0; the log-on flag stays.
// On failure the log is unchanged. An ActionFileResult.
int ReadActionFile(CActionLog& log, std::int32_t userNumber, std::int32_t floor,
                   std::span<const std::uint8_t> file, std::size_t byteLimit = kNoByteLimit);
// Whether the bytes are an ".act" file whose header and chunks all read whole to its last byte, with no
// torn tail: zeros at its end are then its own.
bool IsWholeActionFile(std::span<const std::uint8_t> file);
