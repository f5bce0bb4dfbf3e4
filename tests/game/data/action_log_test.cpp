#include "game/data/action_log.h"

#include "game/support/user_home.h"
#include "platform/host/little_endian.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::uint32_t>;
using Bytes = std::vector<std::uint8_t>;

SPlayerCommand Command(std::int32_t kind, std::int32_t arg1 = -1, std::int32_t arg2 = -1,
                       std::int32_t arg3 = -1, const char* text = "")
{
    SPlayerCommand command;
    command.kind = kind;
    command.arg1 = arg1;
    command.arg2 = arg2;
    command.arg3 = arg3;
    command.text = text;
    return command;
}

void ExpectSameCommand(const SPlayerCommand& got, const SPlayerCommand& want)
{
    EXPECT_EQ(got.kind, want.kind);
    EXPECT_EQ(got.arg1, want.arg1);
    EXPECT_EQ(got.arg2, want.arg2);
    EXPECT_EQ(got.arg3, want.arg3);
    EXPECT_STREQ(got.text.c_str(), want.text.c_str());
}

void Put32(Bytes& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(std::uint8_t(value >> (8 * i)));
}

void Put16(Bytes& bytes, std::uint32_t value)
{
    bytes.push_back(std::uint8_t(value));
    bytes.push_back(std::uint8_t(value >> 8));
}

// An ".act" file with one chunk per entry, each followed by the right running sum.
Bytes ActFile(std::int32_t user, std::int32_t floor, const std::vector<Words>& chunks)
{
    Bytes bytes = {'q', 'r', 'l', 's'};
    Put32(bytes, std::uint32_t(user));
    Put32(bytes, std::uint32_t(floor));
    std::uint32_t sum = 0;
    for (const Words& chunk : chunks) {
        Put16(bytes, std::uint32_t(chunk.size()));
        for (std::uint32_t word : chunk) {
            Put32(bytes, word);
            sum = (sum + (word & 0xFF) + (word >> 8 & 0xFF) + (word >> 16 & 0xFF) + (word >> 24)) & 0xFFFF;
        }
        Put16(bytes, sum);
    }
    return bytes;
}

// Every command the read buffer holds.
std::vector<SPlayerCommand> ReadAll(CActionLog& log)
{
    std::vector<SPlayerCommand> commands;
    for (;;) {
        SPlayerCommand command;
        log.ReadCommand(command);
        if (command.kind == -1) return commands;
        commands.push_back(command);
    }
}

TEST(ActionLog, EncodesEachKindAndReadsItBack)
{
    struct Case
    {
        SPlayerCommand command;
        Words words;
        SPlayerCommand read; // what comes back
    };
    const Case cases[] = {
        {Command(0), {0x00000000}, Command(0)},
        {Command(1, 9, 9, 9), {0x00000001}, Command(1)},
        {Command(15), {0x0000000F}, Command(15)},
        {Command(5, 300), {0x00012C05}, Command(5, 300)},
        {Command(2, 0x12345), {0x01234502}, Command(2, 0x2345)}, // arguments read back from 16 bits
        {Command(4, -1, 7, -1, "ab"),
         {0x00000704, 0x01006261, 0x01010101, 0x01010101, 0x01010101},
         Command(4, -1, 7, -1, "ab")},
        {Command(4, -1, 1, -1, "0123456789abcdef"),
         {0x00000104, 0x33323130, 0x37363534, 0x62613938, 0x66656463},
         Command(4, -1, 1, -1, "0123456789abcdef")},
        {Command(4, -1, 1, -1, "0123456789abcdefg"), // 17 bytes: the first 16, no terminator
         {0x00000104, 0x33323130, 0x37363534, 0x62613938, 0x66656463},
         Command(4, -1, 1, -1, "0123456789abcdef")},
        {Command(8, 3, 0x12345, 0x7F), {0x7F234508, 0x00000308}, Command(8, 3, 0x2345, 0x7F)},
        {Command(10, -1, 40), {0x0000280A}, Command(10, -1, 40)},
        {Command(11, -1, 2), {0x0000020B}, Command(11, -1, 2)},
        {Command(12, -1, -1, 1), {0x0000010C}, Command(12, -1, -1, 1)},
        {Command(13, -1, 300), {0x00012C0D}, Command(13, -1, 300)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.command.kind << " text " << c.command.text.c_str());
        CActionLog log;
        log.SetFileName(1, 1);
        log.WriteCommand(c.command);
        EXPECT_EQ(log.GetWords(), c.words);

        Bytes file = ActFile(1, 1, {c.words});
        ASSERT_EQ(ReadActionFile(log, 1, 1, file), kActionFileRead);
        const auto read = ReadAll(log);
        ASSERT_EQ(read.size(), 1u);
        ExpectSameCommand(read[0], c.read);
    }
}

TEST(ActionLog, LeavesOutWhatItCannotStore)
{
    for (const SPlayerCommand& command : {Command(16), Command(-1), Command(4, -1, 65536, -1, "a"),
                                          Command(4, -1, 1, -1, "0123456789abcdefgh")}) {
        CActionLog log;
        log.WriteCommand(command);
        EXPECT_TRUE(log.GetWords().empty()) << "kind " << command.kind;
    }
}

TEST(ActionLog, CompactionKeepsTheLastKind2TheFirstKind3AndTheLastKind10)
{
    CActionLog log;
    for (int i = 0; i < 257; ++i) {
        const std::int32_t kind = i == 10 || i == 100 || i == 200 ? 2
                                  : i == 20 || i == 150           ? 3
                                  : i == 30 || i == 250           ? 10
                                                                  : 1;
        log.WriteCommand(Command(kind, i, i));
    }
    const Words& words = log.GetWords();
    ASSERT_EQ(words.size(), 257u); // the 257th word set compaction off; it never shrinks the buffer
    EXPECT_EQ(words[10], 0u);
    EXPECT_EQ(words[100], 0u);
    EXPECT_EQ(words[200], std::uint32_t(200 << 8 | 2));
    EXPECT_EQ(words[20], std::uint32_t(3));
    EXPECT_EQ(words[150], 0u);
    EXPECT_EQ(words[30], 0u);
    EXPECT_EQ(words[250], std::uint32_t(250 << 8 | 10));

    // Later commands go on from there; text words are never taken for commands.
    log.WriteCommand(Command(4, -1, 1, -1, "\x02\x03\x0A"));
    log.WriteCommand(Command(2, 5));
    log.WriteCommand(Command(3));
    EXPECT_EQ(words[200], 0u);
    EXPECT_EQ(words[258], 0x000A0302u);
    EXPECT_EQ(words[262], std::uint32_t(5 << 8 | 2));
    EXPECT_EQ(words[263], 0u);
}

TEST(ActionLog, TheReadPrimitivesStopAtTheEnd)
{
    CActionLog log;
    ASSERT_EQ(ReadActionFile(log, 1, 1, ActFile(1, 1, {{0x00000020, 0x7F234508}})), kActionFileRead);
    SPlayerCommand command;
    log.ReadCommand(command); // a kind above 15 comes back alone
    EXPECT_EQ(command.kind, 0x20);
    EXPECT_EQ(log.GetReadIndex(), 1);
    log.ReadCommand(command); // a kind-8 command cut after its first word
    ExpectSameCommand(command, Command(8, 0, 0x2345, 0x7F));
    EXPECT_EQ(log.GetReadIndex(), 2);

    EXPECT_EQ(log.PeekKind(), -1);
    EXPECT_EQ(log.TakeArgument(), 0);
    std::int32_t argument = 7, top = 8;
    log.TakeArgumentAndTopByte(argument, top);
    EXPECT_EQ(argument, 7);
    EXPECT_EQ(top, 8);
    EXPECT_EQ(log.GetReadIndex(), 2);
    log.ReadCommand(command);
    ExpectSameCommand(command, Command(-1));

    // A file whose chunk ends inside a kind-4 command's text is refused.
    EXPECT_EQ(ReadActionFile(log, 1, 1, ActFile(1, 1, {{0x00000104, 0x64636261}})), kActionFileWordMissing);
}

TEST(ActionLog, RefusesABadFileWithItsCodeAndKeepsWhatItHeld)
{
    const Bytes good = ActFile(
        3, 2, {{0x00012C05, 0x00000001}, {0x00000704, 0x01006261, 0x01010101, 0x01010101, 0x01010101}});
    struct Case
    {
        const char* name;
        std::size_t offset; // the byte changed
        int expected;
    };
    const Case cases[] = {
        {"magic", 0, kActionFileBadMagic},   {"user", 4, kActionFileOtherUser},
        {"floor", 8, kActionFileOtherFloor}, {"a word", 14, kActionFileSumWrong},
        {"a sum", 22, kActionFileSumWrong},  {"a count", 12, kActionFileWordMissing},
    };
    for (const Case& c : cases) {
        Bytes file = good;
        file[c.offset] ^= 0x40;
        CActionLog log;
        ASSERT_EQ(ReadActionFile(log, 3, 2, ActFile(3, 2, {{0x00000009}})), kActionFileRead);
        EXPECT_EQ(ReadActionFile(log, 3, 2, file), c.expected) << c.name;
        EXPECT_EQ(log.GetReadWords(), Words{9}) << c.name;
    }

    // Cut anywhere: a cut between two chunks reads what came before it; any other is refused.
    for (std::size_t size = 0; size < good.size(); ++size) {
        CActionLog log;
        const int result = ReadActionFile(log, 3, 2, std::span(good.data(), size));
        const int expected = size < 4                                               ? kActionFileBadMagic
                             : size < 8                                             ? kActionFileOtherUser
                             : size < 12                                            ? kActionFileOtherFloor
                             : size == 12 || size == 13 || size == 24 || size == 25 ? kActionFileRead
                             : size == 22 || size == 23 || size >= 46               ? kActionFileSumMissing
                                                                                    : kActionFileWordMissing;
        EXPECT_EQ(result, expected) << "size " << size;
        EXPECT_EQ(log.GetReadWords().size(), size >= 24 && result == kActionFileRead ? 2u : 0u) << size;
    }
}

TEST(ActionLog, AByteLimitEndsTheReadBetweenChunks)
{
    const Bytes file = ActFile(1, 1, {{0x00000001}, {0x00000002}});
    for (const auto& [limit, words] : std::vector<std::pair<std::size_t, std::size_t>>{
             {0, 0}, {12, 0}, {13, 1}, {20, 1}, {21, 2}, {kNoByteLimit, 2}}) {
        CActionLog log;
        ASSERT_EQ(ReadActionFile(log, 1, 1, file, limit), kActionFileRead);
        EXPECT_EQ(log.GetReadWords().size(), words) << "limit " << limit;
    }
}

class ActionLogFileTest : public UserHomeTest
{
protected:
    fs::path ActPath() const { return UserFolder() / "00030007.act"; }
    Bytes ActBytes() const
    {
        const std::string text = GetFile(ActPath());
        return Bytes(text.begin(), text.end());
    }
};

TEST_F(ActionLogFileTest, AppendsChunksAndLoadsThemBackAsSuspendData)
{
    CActionLog log;
    ASSERT_EQ(log.SaveSuspendData(3, 7, 2), 0);
    EXPECT_FALSE(log.IsOff());
    EXPECT_EQ(ActBytes(), ActFile(3, 2, {}));

    log.WriteCommand(Command(5, 300));
    ASSERT_EQ(log.AppendToFile(), CActionLog::kAppended);
    EXPECT_EQ(ActBytes(),
              (Bytes{'q', 'r', 'l', 's', 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0x05, 0x2C, 0x01, 0x00, 0x32, 0}));
    const std::vector<SPlayerCommand> commands = {Command(5, 300), Command(4, -1, 7, -1, "ab"),
                                                  Command(8, 3, 4, 5), Command(12, -1, -1, 1)};
    for (std::size_t i = 1; i < commands.size(); ++i)
        log.WriteCommand(commands[i]);
    ASSERT_EQ(log.AppendToFile(), CActionLog::kAppended);
    EXPECT_TRUE(log.GetWords().empty());

    CActionLog resumed;
    ASSERT_EQ(resumed.LoadSuspendData(3, 7, 2), 0);
    EXPECT_FALSE(resumed.IsOff());
    EXPECT_EQ(resumed.GetRunningSum(), log.GetRunningSum());
    const auto read = ReadAll(resumed);
    ASSERT_EQ(read.size(), commands.size());
    for (std::size_t i = 0; i < read.size(); ++i)
        ExpectSameCommand(read[i], commands[i]);
    EXPECT_TRUE(platform::headless::GetShownMessageBoxes().empty());

    // A file that ends right after its header loads as an empty log.
    ASSERT_EQ(log.SaveSuspendData(3, 7, 2), 0);
    ASSERT_EQ(resumed.LoadSuspendData(3, 7, 2), 0);
    EXPECT_TRUE(resumed.GetReadWords().empty());
    EXPECT_EQ(resumed.GetRunningSum(), 0u);
}

TEST_F(ActionLogFileTest, AppendsOnlyWhatItCanAndLeavesTheFileWhenItCannot)
{
    CActionLog log;
    log.WriteCommand(Command(1));
    EXPECT_EQ(log.AppendToFile(), CActionLog::kAppendNoFileName);
    ASSERT_EQ(log.SaveSuspendData(3, 7, 2), 0);
    EXPECT_EQ(log.AppendToFile(), CActionLog::kAppendNothingBuffered);
    EXPECT_EQ(ActBytes(), ActFile(3, 2, {}));

    // The folder cannot take the file: the buffer, the sum and the old file stay.
    log.WriteCommand(Command(5, 300));
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

    EXPECT_EQ(log.DeleteFile(), 0);
    EXPECT_FALSE(fs::exists(ActPath()));
    EXPECT_EQ(log.DeleteFile(), 1);
}

TEST_F(ActionLogFileTest, SplitsALongBufferIntoChunksOfWholeCommands)
{
    CActionLog log;
    ASSERT_EQ(log.SaveSuspendData(3, 7, 2), 0);
    for (int i = 0; i < 65533; ++i)
        log.WriteCommand(Command(1));
    log.WriteCommand(Command(4, -1, 1, -1, "x")); // words 65534 to 65538 stay together
    for (int i = 0; i < 10; ++i)
        log.WriteCommand(Command(9));
    ASSERT_EQ(log.AppendToFile(), CActionLog::kAppended);

    const Bytes bytes = ActBytes();
    EXPECT_EQ(platform::ReadU16(bytes.data() + 12), 65533);
    const std::size_t second = 12 + 2 + 65533 * 4 + 2;
    EXPECT_EQ(platform::ReadU16(bytes.data() + second), 15);
    CActionLog resumed;
    ASSERT_EQ(resumed.LoadSuspendData(3, 7, 2), 0);
    const auto read = ReadAll(resumed);
    ASSERT_EQ(read.size(), 65533u + 1 + 10);
    ExpectSameCommand(read[65533], Command(4, -1, 1, -1, "x"));
}

TEST_F(ActionLogFileTest, FailuresShowTheirBoxesAndTurnTheLogOff)
{
    const bool cursorShown = platform::IsCursorVisible();
    const auto expectBox = [&](const char* text) {
        const auto boxes = platform::headless::GetShownMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, Utf8(text));
        EXPECT_EQ(boxes[0].caption, Utf8("エラー"));
        EXPECT_EQ(boxes[0].buttons, platform::Backend::MessageBoxButtons::Ok);
        EXPECT_EQ(platform::IsCursorVisible(), cursorShown);
        platform::headless::ScriptMessageBoxAnswers({});
    };

    CActionLog log;
    ASSERT_EQ(log.SaveSuspendData(3, 7, 2), 0);
    log.WriteCommand(Command(1));
    ASSERT_EQ(log.AppendToFile(), CActionLog::kAppended);
    ASSERT_EQ(log.LoadSuspendData(3, 7, 2), 0);
    EXPECT_EQ(log.LoadSuspendData(3, 7, 3), 1); // another floor's log
    expectBox("中断データが読み込めませんでした");
    EXPECT_TRUE(log.IsOff());
    EXPECT_TRUE(log.GetReadWords().empty());
    EXPECT_EQ(log.GetRunningSum(), 0u);
    EXPECT_EQ(log.LoadSuspendData(3, 8, 2), 1); // no file
    expectBox("中断データが読み込めませんでした");

    fs::remove_all(UserFolder());
    EXPECT_EQ(log.SaveSuspendData(3, 7, 2), 1);
    expectBox("セーブデータに保存できません");
    EXPECT_TRUE(log.IsOff());
}

} // namespace
