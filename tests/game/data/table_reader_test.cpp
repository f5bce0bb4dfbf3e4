#include "game/data/table_reader.h"

#include "game/support/table_files.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using table_text::CTableLine;

TEST(TableHeader, MarkerAndCheckNumber)
{
    const struct
    {
        std::string line;
        int result;
        std::int32_t check;
    } cases[] = {
        {"QRZN 150", 0, 150}, {"QRZN\t\t+7", 0, 7}, {"QRZN -3", 0, -3},
        {"QRZN 0", 0, 0},     {"QRZN 12ab", 0, 12}, {"QRZN", -2, 0},
        {"QRZN  x", -2, 0},   {"QRZN +-1", -2, 0},  {"QRZN 2147483648", -2, 0},
        {"qrzn 5", -1, 0},    {" QRZN 5", -1, 0},   {"QRZNX 5", -1, 0},
        {"", -1, 0},
    };
    for (const auto& c : cases) {
        std::int32_t check = -99;
        EXPECT_EQ(table_text::ParseHeader(c.line, check), c.result) << c.line;
        EXPECT_EQ(check, c.check) << c.line;
    }
}

TEST(TableLine, FieldsAreSeparatedByExactlyOneByte)
{
    CTableLine line("a  12\t-7\tx\r\ny");
    EXPECT_EQ(line.Word(), "a");
    EXPECT_EQ(line.Word(), ""); // two spaces: an empty field
    EXPECT_EQ(line.Number(), 12);
    EXPECT_EQ(line.Number(), -7);
    EXPECT_EQ(line.Word(), "x\r"); // a CR belongs to the word, an LF ends it
    EXPECT_EQ(line.Word(), "y");
    EXPECT_TRUE(line.AtEnd());
    EXPECT_FALSE(line.IsBroken());
    EXPECT_EQ(line.Word(), "");
    EXPECT_TRUE(line.IsMissingField());

    // A separator at the end leaves one empty field, not two.
    CTableLine trailing("a\t");
    trailing.Word();
    EXPECT_EQ(trailing.Word(), "");
    EXPECT_FALSE(trailing.IsMissingField());
    trailing.Word();
    EXPECT_TRUE(trailing.IsMissingField());

    // A quote without its closing quote runs to the end of the line.
    CTableLine open("\"runs\tto the end");
    EXPECT_EQ(open.Token(), "runs\tto the end");
    EXPECT_TRUE(open.AtEnd());
}

TEST(TableLine, NumberFields)
{
    const std::pair<std::string, std::int32_t> fitting[] = {
        {"12ab", 12}, {"ab", 0}, {"+5", 0}, {"-", 0}, {"-2147483648", INT32_MIN}, {"2147483647", INT32_MAX}};
    for (const auto& [field, value] : fitting) {
        CTableLine line(field);
        EXPECT_EQ(line.Number(), value) << field;
        EXPECT_FALSE(line.IsOutOfRange()) << field;
    }
    for (const char* field : {"2147483648", "-2147483649", "99999999999999999999"}) {
        CTableLine line(field);
        EXPECT_EQ(line.Number(), 0) << field;
        EXPECT_TRUE(line.IsOutOfRange()) << field;
    }
}

class TableFileTest : public TempFolderTest
{};

TEST_F(TableFileTest, LinesLongerThanTheLimitAreReported)
{
    const std::string longest(255, 'x');
    WriteTable(m_root / "t.txt", {"QRZN 1", longest, longest + "y", "after"});
    CTableFile file;
    ASSERT_EQ(file.Read((m_root / "t.txt").string().c_str()), 0);
    std::int32_t check = 0;
    EXPECT_EQ(file.ReadHeader(check), 0);
    EXPECT_EQ(check, 1);
    std::string_view line;
    EXPECT_EQ(file.NextLine(line), CTableFile::kLine);
    EXPECT_EQ(line.size(), 255u);
    EXPECT_EQ(file.NextLine(line), CTableFile::kTooLong);
    EXPECT_EQ(file.NextLine(line), CTableFile::kLine);
    EXPECT_EQ(line, "after");
    EXPECT_EQ(file.NextLine(line), CTableFile::kEnd);

    // A missing file has no header.
    CTableFile missing;
    EXPECT_NE(missing.Read((m_root / "none.txt").string().c_str()), 0);
    EXPECT_EQ(missing.ReadHeader(check), -1);
}

} // namespace
