#include "game/data/action_log.h"

#include "game/support/player_command.h"
#include "game/support/user_home.h"
#include "platform/host/little_endian.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::uint32_t>;
using Bytes = std::vector<std::uint8_t>;

std::string Describe(const SPlayerCommand& c)
{
    return std::to_string(c.kind) + " " + std::to_string(c.arg1) + " " + std::to_string(c.arg2) + " " +
           std::to_string(c.arg3) + " '" + c.text.c_str() + "'";
}

// Every command left in the read buffer.
std::vector<std::string> ReadAll(CActionLog& log)
{
    std::vector<std::string> commands;
    for (SPlayerCommand command; log.ReadCommand(command), command.kind != -1;)
        commands.push_back(Describe(command));
    return commands;
}

void Put(Bytes& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(std::uint8_t(value >> (8 * i)));
}

// An ".act" file with one chunk per entry, each followed by the right running sum.
Bytes ActFile(std::int32_t user, std::int32_t floor, const std::vector<Words>& chunks)
{
    Bytes bytes = {'q', 'r', 'l', 's'};
    Put(bytes, std::uint32_t(user), 4);
    Put(bytes, std::uint32_t(floor), 4);
    std::uint32_t sum = 0;
    for (const Words& chunk : chunks) {
        Put(bytes, std::uint32_t(chunk.size()), 2);
        for (std::uint32_t word : chunk) {
            Put(bytes, word, 4);
            sum = (sum + (word & 0xFF) + (word >> 8 & 0xFF) + (word >> 16 & 0xFF) + (word >> 24)) & 0xFFFF;
        }
        Put(bytes, sum, 2);
    }
    return bytes;
}

TEST(ActionLog, EncodesEachKindAndReadsItBack)
{
    const Words text = {0x33323130, 0x37363534, 0x62613938, 0x66656463}; // "0123456789abcdef"
    const struct
    {
        SPlayerCommand command;
        Words words; // none: not logged
        const char* read;
    } cases[] = {
        {MakeCommand(0), {0}, "0 -1 -1 -1 ''"},
        {MakeCommand(1, 9, 9, 9), {1}, "1 -1 -1 -1 ''"},
        {MakeCommand(15), {15}, "15 -1 -1 -1 ''"},
        {MakeCommand(5, 300), {0x00012C05}, "5 300 -1 -1 ''"},
        {MakeCommand(2, 0x12345), {0x01234502}, "2 9029 -1 -1 ''"}, // arguments come back as 16 bits
        {MakeCommand(4, -1, 7, -1, "ab"),
         {0x00000704, 0x01006261, 0x01010101, 0x01010101, 0x01010101},
         "4 -1 7 -1 'ab'"},
        {MakeCommand(4, -1, 1, -1, "0123456789abcdef"),
         {0x104, text[0], text[1], text[2], text[3]},
         "4 -1 1 -1 '0123456789abcdef'"},
        {MakeCommand(4, -1, 1, -1, "0123456789abcdefg"),
         {0x104, text[0], text[1], text[2], text[3]},
         "4 -1 1 -1 '0123456789abcdef'"}, // 17 bytes: the first 16 without a terminator
        {MakeCommand(4, -1, 1, -1, "0123456789abcdefgh"), {}, ""},
        {MakeCommand(4, -1, 65536, -1, "a"), {}, ""},
        {MakeCommand(8, 3, 0x12345, 0x7F), {0x7F234508, 0x00000308}, "8 3 9029 127 ''"},
        {MakeCommand(10, -1, 40), {0x0000280A}, "10 -1 40 -1 ''"},
        {MakeCommand(11, -1, 2), {0x0000020B}, "11 -1 2 -1 ''"},
        {MakeCommand(12, -1, -1, 1), {0x0000010C}, "12 -1 -1 1 ''"},
        {MakeCommand(13, -1, 300), {0x00012C0D}, "13 -1 300 -1 ''"},
        {MakeCommand(16), {}, ""},
        {MakeCommand(-1), {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Describe(c.command));
        CActionLog log;
        log.WriteCommand(c.command);
        EXPECT_EQ(log.GetWords(), c.words);
        ASSERT_EQ(ReadActionFile(log, 1, 1, ActFile(1, 1, {c.words})), kActionFileRead);
        EXPECT_EQ(ReadAll(log),
                  c.words.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.read});
    }
}

TEST(ActionLog, CompactionKeepsTheLastKind2TheFirstKind3AndTheLastKind10)
{
    CActionLog log;
    for (std::int32_t i = 0; i < 257; ++i) {
        const std::int32_t kind = i == 10 || i == 100 || i == 200 ? 2
                                  : i == 20 || i == 150           ? 3
                                  : i == 30 || i == 250           ? 10
                                                                  : 1;
        log.WriteCommand(MakeCommand(kind, i, i));
    }
    const Words& words = log.GetWords();
    ASSERT_EQ(words.size(), 257u); // the 257th word set it off; the buffer keeps its length
    for (const auto& [at, word] : std::vector<std::pair<std::size_t, std::uint32_t>>{
             {10, 0}, {100, 0}, {200, 200 << 8 | 2}, {20, 3}, {150, 0}, {30, 0}, {250, 250 << 8 | 10}})
        EXPECT_EQ(words[at], word) << at;

    // Later commands go on from there, and text words are never taken for commands.
    log.WriteCommand(MakeCommand(4, -1, 1, -1, "\x02\x03\x0A"));
    log.WriteCommand(MakeCommand(2, 5));
    log.WriteCommand(MakeCommand(3));
    EXPECT_EQ(words[200], 0u);
    EXPECT_EQ(words[258], 0x000A0302u);
    EXPECT_EQ(words[262], std::uint32_t(5 << 8 | 2));
    EXPECT_EQ(words[263], 0u);
}

TEST(ActionLog, ReadingNeverRunsPastTheBuffer)
{
    CActionLog log;
    ASSERT_EQ(ReadActionFile(log, 1, 1, ActFile(1, 1, {{0x00000020, 0x7F234508}})), kActionFileRead);
    // A kind above 15 comes back alone; a kind-8 command cut after its first word has arg1 0.
    EXPECT_EQ(ReadAll(log), (std::vector<std::string>{"32 -1 -1 -1 ''", "8 0 9029 127 ''"}));
    EXPECT_EQ(log.PeekKind(), -1);
    EXPECT_EQ(log.TakeArgument(), 0);
    std::int32_t argument = 7, top = 8;
    log.TakeArgumentAndTopByte(argument, top);
    EXPECT_EQ(argument + top, 15);
    EXPECT_EQ(log.GetReadIndex(), 2);
}

TEST(ActionLog, ABadFileIsRefusedWithItsCodeAndLeavesTheLog)
{
    const Bytes good =
        ActFile(3, 2, {{0x00012C05, 0x00000001}, {0x704, 0x01006261, 0x01010101, 0x01010101, 0x01010101}});
    // The byte flipped, and the result: magic, user, floor, a count that runs past the end (whole chunks
    // follow it, or its own sum ends the file: damage, not a write cut short), a word, a sum.
    for (const auto& [offset, expected, words] :
         std::vector<std::tuple<std::size_t, int, Words>>{{0, kActionFileBadMagic, {9}},
                                                          {4, kActionFileOtherUser, {9}},
                                                          {8, kActionFileOtherFloor, {9}},
                                                          {12, kActionFileSumWrong, {9}},
                                                          {24, kActionFileSumWrong, {9}},
                                                          {14, kActionFileSumWrong, {9}},
                                                          {22, kActionFileSumWrong, {9}}}) {
        Bytes file = good;
        file[offset] ^= 0x40;
        CActionLog log;
        ASSERT_EQ(ReadActionFile(log, 3, 2, ActFile(3, 2, {{9}})), kActionFileRead);
        EXPECT_EQ(ReadActionFile(log, 3, 2, file), expected) << offset;
        EXPECT_EQ(log.GetReadWords(), words) << offset;
    }
    // A chunk whose count ends inside a kind-4 command's text.
    CActionLog log;
    EXPECT_EQ(ReadActionFile(log, 1, 1, ActFile(1, 1, {{0x104, 0x64636261}})), kActionFileWordMissing);

    // Cut anywhere after the header: the log is the whole chunks before the cut, so a write cut short
    // loses only what it was writing.
    for (std::size_t size = 0; size < good.size(); ++size) {
        const int expected = size < 4    ? kActionFileBadMagic
                             : size < 8  ? kActionFileOtherUser
                             : size < 12 ? kActionFileOtherFloor
                                         : kActionFileRead;
        ASSERT_EQ(ReadActionFile(log, 3, 2, std::span(good.data(), size)), expected) << "size " << size;
        if (expected == kActionFileRead) {
            EXPECT_EQ(log.GetReadWords().size(), size < 24 ? 0u : 2u) << "size " << size;
        }
    }
    // Zeros after the last whole chunk are the bytes of an append a file system lost: cut.
    for (const std::size_t zeros : {1, 4, 8, 40}) {
        Bytes padded = good;
        padded.resize(good.size() + zeros);
        ASSERT_EQ(ReadActionFile(log, 3, 2, padded), kActionFileRead) << zeros << " zeros";
        EXPECT_EQ(log.GetReadWords().size(), 7u) << zeros << " zeros";
    }
    // Zeros from some byte to the end, the file keeping its length, are appends a power loss left
    // unwritten: the chunk they begin in and those after are cut. Damage before them is not.
    const Bytes longer = ActFile(3, 2,
                                 {{0x00012C05, 0x00000001},
                                  {0x704, 0x01006261, 0x01010101, 0x01010101, 0x01010101},
                                  {0x00012C05},
                                  {9, 0x0000280A},
                                  {0x00012C05, 0x0000020B, 1}}); // chunks at 12, 24, 48, 56 and 68 to 84
    const Bytes lowSum = ActFile(3, 2, {{1}, {9, 1}});           // its last sum, 11, ends in a zero byte
    const auto zeroed = [](Bytes file, std::size_t from, std::size_t size, std::size_t flipped = 0) {
        if (flipped != 0) file[flipped] ^= 0x40;
        file.resize(size);
        std::fill(file.begin() + std::ptrdiff_t(from), file.end(), 0);
        return file;
    };
    for (const auto& [what, file, expected, words] :
         std::vector<std::tuple<const char*, Bytes, int, std::size_t>>{
             {"the last byte zeroed", zeroed(longer, 83, 84), kActionFileRead, 10},
             {"the last 2 bytes zeroed", zeroed(longer, 82, 84), kActionFileRead, 10},
             {"the last 5 bytes zeroed", zeroed(longer, 79, 84), kActionFileRead, 10},
             {"the last 17 bytes zeroed", zeroed(longer, 67, 84), kActionFileRead, 8},
             {"the last 40 bytes zeroed", zeroed(longer, 44, 84), kActionFileRead, 2},
             {"the last 64 bytes zeroed", zeroed(longer, 20, 84), kActionFileRead, 0},
             {"a torn last chunk, then zeros past its end", zeroed(longer, 76, 92), kActionFileRead, 10},
             {"a word damaged, then zeros", zeroed(longer, 79, 84, 58), kActionFileSumWrong, 1},
             {"the last chunk's word damaged, its sum's last byte zeroed", zeroed(longer, 83, 84, 70),
              kActionFileSumWrong, 1},
             {"a count damaged, its sum ending the file in a zero byte", zeroed(lowSum, 32, 32, 20),
              kActionFileSumWrong, 1},
         }) {
        ASSERT_EQ(ReadActionFile(log, 3, 2, ActFile(3, 2, {{9}})), kActionFileRead);
        EXPECT_EQ(ReadActionFile(log, 3, 2, file), expected) << what;
        EXPECT_EQ(log.GetReadWords().size(), words) << what;
    }
    // A byte limit ends the read between chunks; one of 12 or less reads the header alone.
    for (const auto& [limit, words] :
         std::vector<std::pair<std::size_t, std::size_t>>{{12, 0}, {13, 2}, {24, 2}, {25, 7}}) {
        ASSERT_EQ(ReadActionFile(log, 3, 2, good, limit), kActionFileRead);
        EXPECT_EQ(log.GetReadWords().size(), words) << "limit " << limit;
    }
}

class ActionLogFileTest : public UserHomeTest
{
protected:
    Bytes ActBytes() const
    {
        const std::string text = GetFile(UserFolder() / "00030007.act");
        return Bytes(text.begin(), text.end());
    }
    // The one box shown since the last call: its text and caption.
    std::string TakeBox()
    {
        const auto boxes = platform::headless::GetShownMessageBoxes();
        platform::headless::ScriptMessageBoxAnswers({});
        return boxes.size() == 1 ? boxes[0].text + " / " + boxes[0].caption
                                 : "boxes: " + std::to_string(boxes.size());
    }
};

TEST_F(ActionLogFileTest, AppendsChunksAndLoadsThemBackAsSuspendData)
{
    CActionLog log;
    log.WriteCommand(MakeCommand(5, 300));
    EXPECT_EQ(log.AppendToFile(), CActionLog::kAppendNoFileName);
    log.ClearWordBuffer();
    ASSERT_EQ(log.SaveSuspendData(3, 7, 2), 0);
    EXPECT_EQ(log.AppendToFile(), CActionLog::kAppendNothingBuffered);
    EXPECT_EQ(ActBytes(), ActFile(3, 2, {}));

    log.WriteCommand(MakeCommand(5, 300));
    ASSERT_EQ(log.AppendToFile(), CActionLog::kAppended);
    EXPECT_EQ(ActBytes(), (Bytes{'q', 'r', 'l', 's', 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 5, 0x2C, 1, 0, 0x32, 0}));
    log.WriteCommand(MakeCommand(4, -1, 7, -1, "ab"));
    log.WriteCommand(MakeCommand(8, 3, 4, 5));
    ASSERT_EQ(log.AppendToFile(), CActionLog::kAppended);
    EXPECT_TRUE(log.GetWords().empty());

    CActionLog resumed;
    ASSERT_EQ(resumed.LoadSuspendData(3, 7, 2), 0);
    EXPECT_FALSE(resumed.IsOff());
    EXPECT_EQ(resumed.GetRunningSum(), log.GetRunningSum());
    EXPECT_EQ(ReadAll(resumed), (std::vector<std::string>{"5 300 -1 -1 ''", "4 -1 7 -1 'ab'", "8 3 4 5 ''"}));

    // A file that ends right after its header loads as an empty log.
    ASSERT_EQ(log.SaveSuspendData(3, 7, 2), 0);
    ASSERT_EQ(resumed.LoadSuspendData(3, 7, 2), 0);
    EXPECT_TRUE(resumed.GetReadWords().empty());
    EXPECT_EQ(TakeBox(), "boxes: 0");

    EXPECT_EQ(log.DeleteFile(), 0);
    EXPECT_FALSE(fs::exists(UserFolder() / "00030007.act"));
    EXPECT_EQ(log.DeleteFile(), 1);
}

TEST_F(ActionLogFileTest, AFailedAppendKeepsTheFileTheBufferAndTheSum)
{
    CActionLog log;
    ASSERT_EQ(log.SaveSuspendData(3, 7, 2), 0);
    log.WriteCommand(MakeCommand(5, 300));
    fs::permissions(UserFolder(), fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(UserFolder().c_str(), W_OK) != 0) { // root ignores permissions
        EXPECT_EQ(log.AppendToFile(), CActionLog::kAppendCannotOpen);
        EXPECT_EQ(log.GetWords(), Words{0x00012C05});
        EXPECT_EQ(log.GetRunningSum(), 0u);
        EXPECT_EQ(ActBytes(), ActFile(3, 2, {}));
    }
    fs::permissions(UserFolder(), fs::perms::owner_all);
    ASSERT_EQ(log.AppendToFile(), CActionLog::kAppended);
    EXPECT_EQ(ActBytes(), ActFile(3, 2, {{0x00012C05}}));
}

TEST_F(ActionLogFileTest, SplitsALongBufferIntoChunksOfWholeCommands)
{
    CActionLog log;
    ASSERT_EQ(log.SaveSuspendData(3, 7, 2), 0);
    for (int i = 0; i < 65533; ++i)
        log.WriteCommand(MakeCommand(1));
    log.WriteCommand(MakeCommand(4, -1, 1, -1, "x")); // words 65534 to 65538 stay together
    for (int i = 0; i < 10; ++i)
        log.WriteCommand(MakeCommand(9));
    ASSERT_EQ(log.AppendToFile(), CActionLog::kAppended);

    const Bytes bytes = ActBytes();
    EXPECT_EQ(platform::ReadU16(bytes.data() + 12), 65533);
    EXPECT_EQ(platform::ReadU16(bytes.data() + 12 + 2 + 65533 * 4 + 2), 15);
    CActionLog resumed;
    ASSERT_EQ(resumed.LoadSuspendData(3, 7, 2), 0);
    const auto read = ReadAll(resumed);
    ASSERT_EQ(read.size(), 65533u + 1 + 10);
    EXPECT_EQ(read[65533], "4 -1 1 -1 'x'");
}

// A log that cannot be read is off; one that cannot be begun is held in memory, gathering the commands
// given, until it can be written whole.
TEST_F(ActionLogFileTest, FailuresShowTheirBoxesAndALogNotBegunIsHeld)
{
    CActionLog log;
    ASSERT_EQ(log.SaveSuspendData(3, 7, 2), 0);
    ASSERT_EQ(log.LoadSuspendData(3, 7, 2), 0);
    for (const auto& [run, floor] : {std::pair{7, 3}, std::pair{8, 2}}) { // another floor's log, no log
        EXPECT_EQ(log.LoadSuspendData(3, run, floor), 1);
        EXPECT_EQ(TakeBox(), Utf8("中断データが読み込めませんでした / エラー"));
        EXPECT_TRUE(log.IsOff());
        EXPECT_EQ(log.GetRunningSum(), 0u);
    }
    fs::remove_all(UserFolder());
    EXPECT_EQ(log.SaveSuspendData(3, 7, 2), 1);
    EXPECT_EQ(TakeBox(), Utf8("セーブデータに保存できません / エラー"));
    EXPECT_TRUE(log.IsHeld());
    log.WriteCommand(MakePlayerCommand(5, 9));
    EXPECT_EQ(log.AppendToFile(), CActionLog::kAppendHeld);
    EXPECT_EQ(log.WriteHeldLog(), 1);
    fs::create_directories(UserFolder());
    ASSERT_EQ(log.WriteHeldLog(), 0);
    EXPECT_FALSE(log.IsHeld());
    ASSERT_EQ(log.LoadSuspendData(3, 7, 2), 0);
    EXPECT_EQ(ReadAll(log), std::vector<std::string>{"5 9 -1 -1 ''"});
}

// Each turn's chunks go on the end of the file in place, so a turn costs the same at any length of log;
// a tail that is not what the log last wrote (a write cut short by a kill or a full disk, read back by
// a resume) is cut off at the next append instead of being built on.
TEST_F(ActionLogFileTest, AppendsInPlaceAndCutsATornTailBeforeBuildingOnIt)
{
    const auto inode = [&] {
        struct stat info
        {};
        return ::stat((UserFolder() / "00030007.act").c_str(), &info) == 0 ? info.st_ino : 0;
    };
    const auto tear = [&](Bytes tail) {
        Bytes bytes = ActBytes();
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        PutFile(UserFolder() / "00030007.act", std::string(bytes.begin(), bytes.end()));
    };
    CActionLog log;
    ASSERT_EQ(log.SaveSuspendData(3, 7, 2), 0);
    log.WriteCommand(MakeCommand(5, 300));
    ASSERT_EQ(log.AppendToFile(), CActionLog::kAppended);
    const auto first = inode();
    log.WriteCommand(MakeCommand(9));
    ASSERT_EQ(log.AppendToFile(), CActionLog::kAppended);
    EXPECT_EQ(inode(), first) << "an append rewrote the file instead of adding to it";
    EXPECT_EQ(ActBytes(), ActFile(3, 2, {{0x00012C05}, {9}}));

    // The writer's own file cut short: its next append drops the torn bytes.
    tear({3, 0, 7, 0});
    log.WriteCommand(MakeCommand(1));
    ASSERT_EQ(log.AppendToFile(), CActionLog::kAppended);
    EXPECT_EQ(ActBytes(), ActFile(3, 2, {{0x00012C05}, {9}, {1}}));

    // A resume: the torn chunk is not read, and the resumed writer cuts it before its first append.
    tear({2, 0, 5, 0, 0, 0});
    CActionLog resumed;
    ASSERT_EQ(resumed.LoadSuspendData(3, 7, 2), 0);
    EXPECT_EQ(resumed.GetReadWords(), (Words{0x00012C05, 9, 1}));
    EXPECT_EQ(resumed.GetRunningSum(), log.GetRunningSum());
    resumed.SetFileName(3, 7);
    resumed.WriteCommand(MakeCommand(15));
    ASSERT_EQ(resumed.AppendToFile(), CActionLog::kAppended);
    EXPECT_EQ(ActBytes(), ActFile(3, 2, {{0x00012C05}, {9}, {1}, {15}}));

    // Zeros where a lost append was: cut the same way.
    tear(Bytes(12, 0));
    ASSERT_EQ(resumed.LoadSuspendData(3, 7, 2), 0);
    resumed.SetFileName(3, 7);
    resumed.WriteCommand(MakeCommand(14));
    ASSERT_EQ(resumed.AppendToFile(), CActionLog::kAppended);
    EXPECT_EQ(ActBytes(), ActFile(3, 2, {{0x00012C05}, {9}, {1}, {15}, {14}}));

    // Zeros in place of the last append's bytes, the length kept: that append is cut the same way.
    Bytes lost = ActBytes();
    std::fill(lost.end() - 3, lost.end(), 0);
    PutFile(UserFolder() / "00030007.act", std::string(lost.begin(), lost.end()));
    ASSERT_EQ(resumed.LoadSuspendData(3, 7, 2), 0);
    EXPECT_EQ(resumed.GetReadWords(), (Words{0x00012C05, 9, 1, 15}));
    resumed.SetFileName(3, 7);
    resumed.WriteCommand(MakeCommand(3));
    ASSERT_EQ(resumed.AppendToFile(), CActionLog::kAppended);
    EXPECT_EQ(ActBytes(), ActFile(3, 2, {{0x00012C05}, {9}, {1}, {15}, {3}}));
}

} // namespace
