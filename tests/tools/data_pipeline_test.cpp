// The data build: UTF-8 sources to CP932 tables with CR LF line ends and their check numbers, and the
// validator's rules, each stopping a broken copy of the game's own data set by file and line.

#include "tools/data/data_pipeline.h"
#include "tools/data/validator.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <utility>

namespace {

using namespace data_pipeline;
using Files = std::vector<std::pair<std::string, std::string>>; // name, UTF-8 content

const std::filesystem::path kSources = std::filesystem::path(MAROVELLIN_SOURCE_DIR) / "data" / "src";

SDataSet DataSet(const Files& files, Diagnostics& diagnostics)
{
    SDataSet dataSet;
    for (const auto& [name, content] : files)
        dataSet.sources.push_back(ReadSource("src/" + name, name, content, diagnostics));
    return dataSet;
}

std::vector<std::string> Places(const Diagnostics& diagnostics)
{
    std::vector<std::string> places;
    for (const SDiagnostic& d : diagnostics)
        places.push_back(d.file + ":" + std::to_string(d.line));
    return places;
}

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
    const std::string monster = "\t10\t5\t3\t2\t1\t10\t普通\t0\tなし\tm\t通常\tなし\t0\n";
    Diagnostics diagnostics;
    std::string experience = "QRZN\n";
    for (int value = 1; value <= 120; ++value)
        experience += std::to_string(value) + "\n";
    const SDataSet dataSet =
        DataSet({{"武器の重さ.txt", "QRZN\n//\n木刀\t2\t204\n\n釘\t7\t206\n"},
                 {"モンスター.txt", "QRZN\n甲" + monster + "乙\t32" + monster.substr(3) + "\n"},
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

// The game's own sources, as files and as read once.
const std::map<std::string, std::string>& GameSourceTexts()
{
    static const std::map<std::string, std::string> texts = [] {
        std::map<std::string, std::string> read;
        for (const auto& entry : std::filesystem::directory_iterator(kSources / "text")) {
            std::ifstream in(entry.path(), std::ios::binary);
            read[entry.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
        }
        return read;
    }();
    return texts;
}

const SDataSet& GameDataSet()
{
    static const SDataSet dataSet = [] {
        Diagnostics diagnostics;
        Files files(GameSourceTexts().begin(), GameSourceTexts().end());
        SDataSet read = DataSet(files, diagnostics);
        EXPECT_TRUE(diagnostics.empty());
        return read;
    }();
    return dataSet;
}

TEST(DataPipeline, TheGameDataSetPassesEveryRule)
{
    EXPECT_EQ(Places(Validate(GameDataSet())), std::vector<std::string>{});
}

// One rule broken in a copy of the game's data set: the edits replace the first occurrence of a text
// in a file. The rule must report exactly the places expected: "@" is the line of the first edit,
// "@text" the line that holds text in that file, "file:N" a line given.
struct SEdit
{
    const char* file;
    std::string find;
    std::string replace;
};
struct SBreakCase
{
    const char* rule;
    std::vector<SEdit> edits;
    std::vector<std::string> places = {"@"};
    const char* removedFile = nullptr;
};

std::int32_t LineOf(const std::string& text, std::size_t at)
{
    return std::int32_t(std::count(text.begin(), text.begin() + std::ptrdiff_t(at), '\n')) + 1;
}

// One word for one thing across the tables, the scenario and the manual: the words the status panel
// and the item descriptions use, never a synonym that would make a player look for a second thing.
TEST(DataPipeline, TheDataSetUsesOneWordForEachThing)
{
    struct SRetired
    {
        const char* word;
        const char* instead;
    };
    const SRetired retired[] = {
        {"魔法の弾", "魔法球"},   {"暗闇の", "目つぶしの"}, {"目くらまし", "目つぶし"},
        {"目を奪", "目をつぶす"}, {"幻覚", "幻惑"},         {"封じの石", "封印の石"},
        {"地雷", "埋め火"},
    };
    std::map<std::string, std::string> texts = GameSourceTexts();
    std::ifstream manual(kSources / "manual.html", std::ios::binary);
    texts["manual.html"] = std::string(std::istreambuf_iterator<char>(manual), {});
    for (const auto& [name, text] : texts)
        for (const SRetired& r : retired)
            for (std::size_t at = text.find(r.word); at != std::string::npos; at = text.find(r.word, at + 1))
                ADD_FAILURE() << name << ":" << LineOf(text, at) << " says " << r.word
                              << "; the data set says " << r.instead;
}

TEST(DataPipeline, EachRuleStopsABrokenCopyOfTheDataSetByFileAndLine)
{
    const std::string over255 = std::string(90, 'x') +
                                "ああああああああああああああああああああああああああああああああああああああ"
                                "あああああああああああああああああ";
    const SBreakCase cases[] = {
        {"header line", {{"能力.txt", "QRZN\n", "QRZN 5\n"}}},
        {"line length", {{"アイテム.txt", "木を削って作った刀。", over255}}},
        {"fields and numbers",
         {{"能力.txt", "守り刀\t1\t500\t200\t武器に付けると防御力が７上がる", "守り刀\t1\t500"}}},
        {"check numbers", {{"exp.txt", "25304900", "2147483647"}}, {"src/exp.txt:1"}},
        {"item classes", {{"アイテム.txt", "<罠\n// 未使用", "<罠\n<予備"}}, {"src/アイテム.txt:363"}},
        {"item classes", {{"アイテム.txt", "<罠", "// 罠"}}, {"@<壺"}},
        {"class blocks",
         {{"アイテム.txt",
           "// 未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// "
           "未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// "
           "未使用\n// 未使用\n// 未使用\n// 未使用\n<巻物",
           "159\t霧の薬\t0\t0\t0\t-\t100\t40\t1\t10\t\"霧の立ちこめる薬。\"\tきりのくすり\t霧色の水薬\n// "
           "未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// "
           "未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// 未使用\n// "
           "未使用\n// 未使用\n// 未使用\n<巻物"}}},
        {"class blocks", {{"アイテム.txt", "青い水薬", "赤い水薬"}}},
        {"class blocks", {{"アイテム.txt", "\tぼくとう", "\tぼくとう\t白木"}}},
        {"item words", {{"アイテム.txt", "\tぼくとう", "\tbokutou"}}},
        {"built-in seals", {{"アイテム.txt", "つるはし\t5\t99\t2\tつるはし", "つるはし\t5\t99\t2\tなし"}}},
        {"class numbers", {{"アイテム.txt", "倉庫の壺\t3\t5", "倉庫の壺\t3\t9"}}},
        {"class names", {{"アイテム.txt", "赤いインクのペン", "赤い絵の具"}}},
        {"seal table", {{"能力.txt", "生命の石\t1", "生命の石\t2"}}},
        {"description window",
         {{"アイテム.txt", "傷をいやす貴重な薬。", "傷をいやす薬。\\n昔から\\n伝わる\\n貴重な\\n薬。"}}},
        {"weapon weights", {{"武器の重さ.txt", "木刀\t2\t204", "木刀\t2\t207"}}},
        {"reachable equipment", {{"アイテム.txt", "\t大太刀\t", "\t野太刀\t"}}},
        {"monster species", {{"モンスター.txt", "ヤマダヌキ\t63", "// 途中\nヤマダヌキ\t63"}}},
        {"monster species",
         {{"モンスター.txt", "バケダヌキ\t245", "コダヌキ\t9\nバケダヌキ\t245"}},
         {"@バケダヌキ\t245"}},
        {"ability column",
         {{"モンスター.txt", "ランダム\ts\t通常\tなし\t0\nヤマダヌキ",
           "ランダム\ts\t通常\t\t0\nヤマダヌキ"}}},
        {"monster words",
         {{"モンスター.txt", "マメダヌキ\t13\t4\t0\t1\t1\t3\t獣", "マメダヌキ\t13\t4\t0\t1\t1\t3\tけもの"}}},
        {"monster ranks",
         {{"モンスター.txt", "ヤマダヌキ\t63\t10\t4\t1\t1\t19", "ヤマダヌキ\t63\t10\t4\t1\t1\t3"}}},
        {"fixed kinds",
         {{"モンスター.txt", "ウリボウ\t22\t5\t1\t1\t1\t6\t獣\t16\tランダム\tm\t通常\tなし\t40",
           "ウリボウ\t22\t5\t1\t1\t1\t6\t獣\t16\tランダム\tm\t通常\tなし\t0"}}},
        {"monster drops",
         {{"モンスター.txt", "子サソリ\t47\t9\t4\t1\t1\t18\t獣\t16\t毒消しの薬",
           "子サソリ\t47\t9\t4\t1\t1\t18\t獣\t16\t毒けしの薬"}}},
        {"monster houses",
         {{"モンスター.txt", "薄影\t105\t11\t5\t1\t1\t74\t死・吸", "薄影\t105\t11\t5\t1\t1\t74\t死"},
          {"モンスター.txt", "沼ヒル\t64\t10\t3\t1\t1\t23\t吸", "沼ヒル\t64\t10\t3\t1\t1\t23\t普通"}},
         {"@ヤブ蚊\t"}},
        {"unique names", {{"モンスター.txt", "ヤマダヌキ\t63", "マメダヌキ\t63"}}},
        {"fixed kinds", {{"アイテム.txt", "142\tいやしの薬", "142\tいやしの水"}}},
        {"fixed kinds",
         {{"モンスター.txt", "倉庫番\t500\t1\t99\t1\t1\t1\t普通\t0\tなし\tp",
           "倉庫番\t500\t1\t99\t1\t1\t1\t普通\t0\tなし\tm"}}},
        {"fixed kinds", {{"能力.txt", "炎の石\t1", "炎の玉\t1"}}, {"src/アイテム.txt:319"}},
        {"fixed kinds", {{"アイテム.txt", "盗みよけの盾\t5\t99\t4", "盗みよけの盾\t5\t99\t3"}}},
        {"appearance tables", {{"モンスター出現1.txt", "マメダヌキ\t2\t1\t2", "マメタヌキ\t2\t1\t2"}}},
        {"appearance files", {}, {"src/アイテム出現3.txt:0"}, "アイテム出現3.txt"},
        {"dungeon floors", {{"モンスター出現1.txt", "トビザル\t2\t20\t20", "トビザル\t2\t21\t21"}}},
        {"dungeon floors", {{"モンスター出現1.txt", "マメダヌキ\t2\t1\t2", "用心棒\t2\t1\t2"}}},
        {"dungeon floors", {{"モンスター出現2.txt", "小雪だるま\t4\t19\t22", "爆ぜ玉\t4\t19\t22"}}},
        {"experience table", {{"exp.txt", "QRZN\n0\n21\n", "QRZN\n0\n56\n"}}, {"src/exp.txt:4"}},
        {"scenario scripts",
         {{"シナリオ.txt", "大事に使ってあげて\nend", "大事に使ってあげて\nend\nend"}},
         {"src/シナリオ.txt:544"}},
        {"scenario scripts",
         {{"シナリオ.txt", "榎戸「ダンジョンでは、階段を", "宗真「ダンジョンでは、階段を"}}},
        {"scenario scripts",
         {{"シナリオ.txt", "倉庫番「いらっしゃい、霞野。ここがあたしの倉庫だよ", "left ルゥナ"}}},
        {"scenario scripts", {{"シナリオ.txt", "歩くのは初めて？", "歩くのは初めてだね"}}},
        {"scenario lines", {{"シナリオ.txt", "left 霞野通常", "left 霞野ふつう"}}},
        {"scenario lines", {{"シナリオ.txt", "#7山あいの霧谷", "#8山あいの霧谷"}}},
        {"scenario lines", {{"シナリオ.txt", "霧で真っ白だね", "霧で真っ白だね」"}}},
    };

    std::set<std::string> rulesBroken;
    for (const SBreakCase& c : cases) {
        rulesBroken.insert(c.rule);
        std::map<std::string, std::string> texts = GameSourceTexts();
        std::string changedFile = c.removedFile != nullptr ? c.removedFile : "";
        std::int32_t changedLine = 0;
        for (const SEdit& edit : c.edits) {
            std::string& text = texts.at(edit.file);
            const std::size_t at = text.find(edit.find);
            ASSERT_NE(at, std::string::npos) << c.rule << ": " << edit.find;
            if (changedLine == 0) {
                changedFile = edit.file;
                changedLine = LineOf(text, at);
            }
            text.replace(at, edit.find.size(), edit.replace);
        }
        SDataSet dataSet = GameDataSet();
        std::erase_if(dataSet.sources, [&](const SSource& s) {
            return texts.contains(s.name) && texts.at(s.name) != GameSourceTexts().at(s.name);
        });
        if (c.removedFile != nullptr)
            std::erase_if(dataSet.sources, [&](const SSource& s) { return s.name == c.removedFile; });
        Diagnostics diagnostics;
        for (const auto& [name, text] : texts)
            if (text != GameSourceTexts().at(name))
                dataSet.sources.push_back(ReadSource("src/" + name, name, text, diagnostics));
        ASSERT_EQ(Places(diagnostics), std::vector<std::string>{}) << c.rule;

        std::vector<std::string> expected;
        for (const std::string& place : c.places) {
            if (place == "@")
                expected.push_back("src/" + changedFile + ":" + std::to_string(changedLine));
            else if (place.starts_with("@")) {
                const std::string& text = texts.at(changedFile);
                expected.push_back("src/" + changedFile + ":" +
                                   std::to_string(LineOf(text, text.find(place.substr(1)))));
            } else
                expected.push_back(place);
        }
        Diagnostics found;
        const auto rule = std::find_if(Rules().begin(), Rules().end(),
                                       [&](const SRule& r) { return c.rule == std::string(r.name); });
        ASSERT_NE(rule, Rules().end()) << c.rule;
        rule->check(dataSet, found);
        EXPECT_EQ(Places(found), expected) << c.rule << (found.empty() ? "" : ": " + found[0].message);
    }
    for (const SRule& rule : Rules())
        EXPECT_TRUE(rulesBroken.contains(rule.name)) << "no case breaks the rule " << rule.name;
}

// The game's own sources build; one broken line stops the build, naming it, and nothing is written.
class DataSourcesTest : public TempFolderTest
{};

TEST_F(DataSourcesTest, TheDataSetBuildsAndABrokenCopyDoesNot)
{
    const SBuildResult built = BuildDataSet(kSources);
    ASSERT_TRUE(built.diagnostics.empty()) << FormatDiagnostic(built.diagnostics[0]);
    EXPECT_TRUE(built.files.contains("manual.html"));
    EXPECT_TRUE(built.files.at(std::filesystem::path("data/text/アイテム.txt")).starts_with("QRZN "));

    std::filesystem::copy(kSources, m_root / "src", std::filesystem::copy_options::recursive);
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
