// The data build: UTF-8 sources to CP932 tables with CR LF line ends and their check numbers, and the
// validator's rules, each stopping a broken source by file and line.

#include "tools/data/data_pipeline.h"
#include "tools/data/validator.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

using namespace data_pipeline;
using Files = std::vector<std::pair<std::string, std::string>>; // name, UTF-8 content

SDataSet DataSet(const Files& files, Diagnostics& diagnostics)
{
    SDataSet dataSet;
    for (const auto& [name, content] : files)
        dataSet.sources.push_back(ReadSource("src/" + name, name, content, diagnostics));
    return dataSet;
}

Diagnostics RunRule(const std::string& name, const Files& files)
{
    Diagnostics diagnostics;
    const SDataSet dataSet = DataSet(files, diagnostics);
    EXPECT_TRUE(diagnostics.empty()) << FormatDiagnostic(diagnostics[0]);
    const auto rules = Rules();
    const auto rule =
        std::find_if(rules.begin(), rules.end(), [&](const SRule& r) { return r.name == name; });
    EXPECT_NE(rule, rules.end()) << name;
    if (rule != rules.end()) rule->check(dataSet, diagnostics);
    return diagnostics;
}

std::vector<std::string> Places(const Diagnostics& diagnostics)
{
    std::vector<std::string> places;
    for (const SDiagnostic& d : diagnostics)
        places.push_back(d.file + ":" + std::to_string(d.line));
    return places;
}

std::string Repeat(const std::string& text, int times)
{
    std::string repeated;
    while (times-- > 0)
        repeated += text;
    return repeated;
}

const std::string kMonster = "\t10\t5\t3\t2\t1\t10\t普通\t0\tなし\tm\t通常\tなし\t0\n";

TEST(DataPipeline, BuildsCp932TablesWithCrLfAndTheirCheckNumbers)
{
    Diagnostics diagnostics;
    const SDataSet dataSet =
        DataSet({{"能力.txt", "QRZN\n守り刀\t1\t100\t40\t説明\n// x\n矢羽\t1\t50\t20\t飛ぶ\n"},
                 {"アイテム.txt", "QRZN\n<\n3\t刀\t1\t1\t1\t刀\t1\t1\t7\t1\t\"一行目\\n二行目\"\tよみ\\n\n"},
                 {"シナリオ.txt", "QRZN\nend"}},
                diagnostics);
    ASSERT_TRUE(diagnostics.empty());
    EXPECT_EQ(BuildTable(dataSet, dataSet.sources[0]),
              "QRZN 150\r\n\x8e\xe7\x82\xe8\x93\x81\t1\t100\t40\t\x90\xe0\x96\xbe\r\n// x\r\n"
              "\x96\xee\x89\x48\t1\t50\t20\t\x94\xf2\x82\xd4\r\n");
    // "\n" in a description is an LF byte; elsewhere it stays as written.
    EXPECT_EQ(BuildTable(dataSet, dataSet.sources[1]),
              "QRZN 7\r\n<\r\n3\t\x93\x81\t1\t1\t1\t\x93\x81\t1\t1\t7\t1\t\"\x88\xea\x8d\x73\x96\xda\n"
              "\x93\xf1\x8d\x73\x96\xda\"\t\x82\xe6\x82\xdd\\n\r\n");
    // A table without a header keeps its first line, and a source without a last LF ends without CR LF.
    EXPECT_EQ(BuildTable(dataSet, dataSet.sources[2]), "QRZN\r\nend");
}

TEST(DataPipeline, CheckNumbersOfEveryTable)
{
    Diagnostics diagnostics;
    std::string experience = "QRZN\n";
    for (int value = 1; value <= 120; ++value)
        experience += std::to_string(value) + "\n";
    const SDataSet dataSet =
        DataSet({{"武器の重さ.txt", "QRZN\n//\n木刀\t2\t204\n\n釘\t7\t206\n"},
                 {"モンスター.txt", "QRZN\n甲" + kMonster + "乙\t32" + kMonster.substr(3) + "\n"},
                 {"モンスター出現3.txt", "QRZN\n/ x\n甲\t4\t1\t3\n乙\t6\t2\t0\n丙\t50\t1\t0\n"},
                 {"アイテム出現3.txt", "QRZN\nゴールド\t1\t0\t0\n刀\t0\t1\t1\n謎\t1\t1\t1\n"},
                 {"exp.txt", experience}},
                diagnostics);
    const std::int64_t expected[] = {9, 42, 10, 1, 4950}; // unknown names count nothing
    for (std::size_t i = 0; i < dataSet.sources.size(); ++i)
        EXPECT_EQ(ComputeCheckSum(dataSet, dataSet.sources[i]), expected[i]) << dataSet.sources[i].name;
}

TEST(DataPipeline, TextTheTablesCannotHoldIsNamedByLine)
{
    Diagnostics diagnostics;
    DataSet({{"シナリオ.txt", "end\n#7caf\xc3\xa9\nend\r\n\xff\n"}}, diagnostics);
    EXPECT_EQ(Places(diagnostics),
              (std::vector<std::string>{"src/シナリオ.txt:2", "src/シナリオ.txt:3", "src/シナリオ.txt:4"}));
    EXPECT_EQ(diagnostics[0].message, "the character é (U+00E9) at byte 6 has no form in CP932");
    EXPECT_NE(diagnostics[1].message.find("CR"), std::string::npos);
    EXPECT_EQ(diagnostics[2].message, "byte 1 does not belong to a UTF-8 character");
}

TEST(DataPipeline, EachRuleNamesTheFileAndLine)
{
    std::string twelveSections = "QRZN\n";
    for (int i = 0; i < 12; ++i)
        twelveSections += "<\n";
    const struct
    {
        const char* rule;
        Files files;
        std::vector<std::string> places;
    } cases[] = {
        {"header line",
         {{"能力.txt", "QRZN 5\n"}, {"メモ.txt", "QRZN\n"}, {"シナリオ.txt", "end\n"}},
         {"src/能力.txt:1", "src/メモ.txt:1"}},
        // The limit counts CP932 bytes: line 2 is longer in UTF-8 only.
        {"line length",
         {{"能力.txt",
           "QRZN\n" + std::string(200, 'x') + Repeat("あ", 27) + "\n" + std::string(254, 'x') + "あ\n"}},
         {"src/能力.txt:3"}},
        {"fields and numbers",
         {{"能力.txt", "QRZN\n刀\t1\t100\t40\n"},
          {"アイテム.txt", "QRZN\n<\n3\t刀\t9999999999\t1\t1\t-\t1\t1\t1\t1\tx\tよみ\n"}},
         {"src/能力.txt:2", "src/アイテム.txt:3"}},
        {"check numbers", {{"exp.txt", "QRZN\n2000000000\n2000000000\n"}}, {"src/exp.txt:1"}},
        {"item classes", {{"アイテム.txt", twelveSections}}, {"src/アイテム.txt:13"}},
        {"monster species",
         {{"モンスター.txt", "QRZN\nA" + kMonster + "B" + kMonster + "// 途中\nC" + kMonster + "D" +
                                 kMonster + "E" + kMonster + "F" + kMonster + "G" + kMonster}},
         {"src/モンスター.txt:9", "src/モンスター.txt:4"}},
        {"ability column",
         {{"モンスター.txt", "QRZN\nA" + kMonster + "B\t10\t5\t3\t2\t1\t10\t普通\t0\tなし\tm\t通常\t\t0\n"}},
         {"src/モンスター.txt:3"}},
        {"unique names",
         {{"能力.txt", "QRZN\n刀\t1\t1\t1\tx\n刀\t1\t1\t1\tx\n"},
          {"アイテム.txt", "QRZN\n<\n3\tゴールド\t1\t1\t1\t-\t1\t1\t1\t1\tx\tよみ\n"},
          {"モンスター.txt", "QRZN\nA" + kMonster + "\nA" + kMonster}},
         {"src/能力.txt:3", "src/アイテム.txt:3", "src/モンスター.txt:4"}},
        {"appearance tables",
         {{"モンスター.txt", "QRZN\n甲" + kMonster},
          {"モンスター出現1.txt", "QRZN\n甲\t1\t1\t0\n乙\t1\t1\t0\n甲\t1\t1\t5\t2\t6\t0\n"},
          {"アイテム出現1.txt", "QRZN\nゴールド\t1\t0\t0\n甲\t1\t0\t0\n"}},
         {"src/モンスター出現1.txt:3", "src/モンスター出現1.txt:4", "src/アイテム出現1.txt:3"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> places = Places(RunRule(c.rule, c.files));
        EXPECT_EQ(places, c.places) << c.rule;
    }
}

TEST(DataPipeline, FixedKindsMustStandOnTheirLinesInTheirClasses)
{
    // Line 3 a section line, kind 4 in the second class; monster kind 164 (species 41) missing.
    const Diagnostics diagnostics =
        RunRule("fixed kinds", {{"アイテム.txt", "QRZN\n<\n<\n4\t刀\t1\t1\t1\t-\t1\t1\t1\t1\tx\tよみ\n"},
                                {"モンスター.txt", "QRZN\n甲" + kMonster}});
    auto has = [&](const std::string& text) {
        return std::any_of(diagnostics.begin(), diagnostics.end(),
                           [&](const SDiagnostic& d) { return FormatDiagnostic(d).starts_with(text); });
    };
    EXPECT_TRUE(
        has("src/アイテム.txt:3: item kind 3 (a weapon the rules name) must be an item line on line 3"));
    EXPECT_TRUE(has(
        "src/アイテム.txt:4: item kind 4 (a weapon the rules name) is in class 2; it must be in class 1"));
    EXPECT_TRUE(has(
        "src/モンスター.txt: monster kind 164 (the warehouse keeper) must be a line: species 41, rank 0"));
    EXPECT_FALSE(has("src/モンスター.txt: monster kind 0 "));
}

// The game's own sources build; one broken line stops the build, naming it, and nothing is written.
class DataSourcesTest : public TempFolderTest
{};

TEST_F(DataSourcesTest, TheDataSetBuildsAndABrokenCopyDoesNot)
{
    const std::filesystem::path sources = std::filesystem::path(MAROVELLIN_SOURCE_DIR) / "data" / "src";
    const SBuildResult built = BuildDataSet(sources);
    ASSERT_TRUE(built.diagnostics.empty()) << FormatDiagnostic(built.diagnostics[0]);
    EXPECT_TRUE(built.files.contains("manual.html"));
    EXPECT_TRUE(built.files.at(std::filesystem::path("data/text/アイテム.txt")).starts_with("QRZN "));

    std::filesystem::copy(sources, m_root / "src", std::filesystem::copy_options::recursive);
    const std::filesystem::path monsters = m_root / "src" / "text" / "モンスター.txt";
    std::string text = GetFile(monsters);
    const std::size_t firstMonster = text.find("\n店主\t") + 1;
    ASSERT_NE(firstMonster, 0u);
    text.insert(text.find('\n', firstMonster) + 1, "// 途中\n"); // a comment inside the first species
    PutFile(monsters, text);
    const int line = int(std::count(text.begin(), text.begin() + std::ptrdiff_t(firstMonster), '\n')) + 2;
    const SBuildResult broken = BuildDataSet(m_root / "src");
    EXPECT_TRUE(broken.files.empty());
    ASSERT_FALSE(broken.diagnostics.empty()); // the ids after it shift too
    EXPECT_EQ(broken.diagnostics[0].file, (m_root / "src" / "text" / "モンスター.txt").generic_string());
    EXPECT_EQ(broken.diagnostics[0].line, line);
}

} // namespace
