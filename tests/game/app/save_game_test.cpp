#include "game/app/save_game.h"

#include "game/data/check_value.h"
#include "game/support/adventure.h"
#include "game/support/archive_bytes.h"
#include "game/support/full_disk.h"
#include "game/support/temp_home.h"
#include "platform/host/file.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
// Dungeon 8's record at the end of a body: its open flag and three ints.
constexpr std::size_t kHiddenSlotBytes = 13;

// What a save set keeps of the game state, with the check value last written or read.
Bytes Fingerprint(SGameResource& game)
{
    const std::uint32_t check = game.checkValue;
    Bytes bytes = BuildSaveBody(game);
    game.checkValue = check;
    for (int i = 0; i < 4; ++i)
        bytes.push_back(std::uint8_t(check >> (8 * i)));
    return bytes;
}

// A fresh game state named for the save of FillAdventure, with its kind table's size.
std::unique_ptr<SGameResource> Reader()
{
    auto game = std::make_unique<SGameResource>();
    game->userNumber = 12;
    game->saveName = "abc";
    game->items.kindCount = 6;
    return game;
}

class SaveGameTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        fs::create_directories(Exe() / "save");
        FillAdventure(*game);
    }
    Bytes FileBytes(const char* name) const
    {
        const std::string text = GetFile(Exe() / "save" / name);
        return Bytes(text.begin(), text.end());
    }
    void PutBytes(const char* name, const Bytes& bytes) const
    {
        PutFile(Exe() / "save" / name, std::string(bytes.begin(), bytes.end()));
    }
    // The files of user 12's save "abc", body and head with right check values, that store `stored` as
    // the save's name; the test's game keeps that name.
    void PutSaveStoringName(const ZTL::string& stored)
    {
        game->saveName = stored;
        PutBytes("0012abc.main", BuildSaveBody(*game));
        Auxiliary::CSerialize head;
        head.Serialize(game->saveKind).Serialize(*game);
        AppendCheckValue(head.GetBuffer());
        PutBytes("0012abc.head", head.GetBuffer());
    }

    std::unique_ptr<SGameResource> game = std::make_unique<SGameResource>();
};

TEST_F(SaveGameTest, ASaveSetLoadsBackByteIdentical)
{
    EXPECT_STREQ(MakeSavePath(*game).c_str(), "save\\0012abc.main");
    EXPECT_STREQ(MakeSaveHeadPath(*game).c_str(), "save\\0012abc.head");
    EXPECT_STREQ(MakeSaveOptionsPath(*game).c_str(), "save\\0012abc.cfg");
    ASSERT_EQ(WriteSaveGame(*game), 0);
    const Bytes main = FileBytes("0012abc.main");
    const Bytes head = FileBytes("0012abc.head");
    EXPECT_EQ(game->checkValue, ComputeCheckValue(std::span(main.data(), main.size() - 4)));
    EXPECT_FALSE(fs::exists(Exe() / "save" / "0012abc.cfg")); // the options are saved on their own

    auto loaded = Reader();
    loaded->items.appearanceOrder[0] = {3, 1, 4, 0, 2}; // the table's names, in some earlier order
    ASSERT_EQ(LoadSaveGame(*loaded), kSaveDone);
    EXPECT_EQ(loaded->checkValue, game->checkValue);
    EXPECT_EQ(loaded->passwordHistory, (PasswordHistory{{1, 2}, {3, 4}, {5, 6}}));
    ASSERT_EQ(WriteSaveGame(*loaded), 0);
    EXPECT_EQ(FileBytes("0012abc.main"), main);
    EXPECT_EQ(FileBytes("0012abc.head"), head);

    // The generator is re-seeded from the loaded seed and the names shuffled with it.
    Math::CRand seeded;
    seeded.SetSeed(0x12345678);
    auto expected = std::make_unique<CItemControl>();
    expected->appearanceOrder[0] = {0, 1, 2, 3, 4};
    expected->ShuffleUnidentifiedNames(seeded);
    EXPECT_EQ(loaded->random.seed, 0x12345678u);
    EXPECT_EQ(loaded->items.appearanceOrder[0], expected->appearanceOrder[0]);
    EXPECT_EQ(loaded->random.Get(), seeded.Get());

    // An empty history appends nothing.
    game->passwordHistory.clear();
    ASSERT_EQ(WriteSaveGame(*game), 0);
    auto fresh = Reader();
    ASSERT_EQ(LoadSaveGame(*fresh), kSaveDone);
    EXPECT_TRUE(fresh->passwordHistory.empty());
}

TEST_F(SaveGameTest, TheRunsRecordsAndMoneySurviveASaveAndALoad)
{
    using Slot = SGameResource::SDungeonSlot;
    struct Case
    {
        const char* name;
        void (*set)(SGameResource&);
        bool (*kept)(const SGameResource&);
    };
    const Case cases[] = {
        {"banked gold", [](SGameResource& g) { g.bankedGold = 123456789; },
         [](const SGameResource& g) { return g.bankedGold == 123456789; }},
        {"starts", [](SGameResource& g) { g.dungeonSlots[3].values[Slot::kStarts] = 17; },
         [](const SGameResource& g) { return g.dungeonSlots[3].values[Slot::kStarts] == 17; }},
        {"clears", [](SGameResource& g) { g.dungeonSlots[7].values[Slot::kClears] = 2; },
         [](const SGameResource& g) { return g.dungeonSlots[7].values[Slot::kClears] == 2; }},
        {"best floor", [](SGameResource& g) { g.dungeonSlots[1].values[Slot::kBestFloor] = 20; },
         [](const SGameResource& g) { return g.dungeonSlots[1].values[Slot::kBestFloor] == 20; }},
        {"dungeon 8",
         [](SGameResource& g) {
             g.hiddenDungeonSlot = {1, {4, 1, 130}};
         },
         [](const SGameResource& g) {
             return g.hiddenDungeonSlot.open == 1 && g.hiddenDungeonSlot.values == std::array{4, 1, 130};
         }},
        {"start lock", [](SGameResource& g) { g.trainingRun = true; },
         [](const SGameResource& g) { return g.trainingRun; }},
        {"last floor", [](SGameResource& g) { g.lastFloor = 143; },
         [](const SGameResource& g) { return g.lastFloor == 143; }},
        {"training target", [](SGameResource& g) { g.trainingTargetFloor = 40; },
         [](const SGameResource& g) { return g.trainingTargetFloor == 40; }},
        {"adventure counter", [](SGameResource& g) { g.runNumber = 57; },
         [](const SGameResource& g) { return g.runNumber == 57; }},
        {"start value", [](SGameResource& g) { g.carriedValue = 1300; },
         [](const SGameResource& g) { return g.carriedValue == 1300; }},
    };
    for (const Case& c : cases) {
        auto saved = std::make_unique<SGameResource>();
        FillAdventure(*saved);
        c.set(*saved);
        ASSERT_EQ(WriteSaveGame(*saved), 0) << c.name;
        auto loaded = Reader();
        ASSERT_EQ(LoadSaveGame(*loaded), kSaveDone) << c.name;
        EXPECT_TRUE(c.kept(*loaded)) << c.name;
    }
}

TEST_F(SaveGameTest, ASaveFromBeforeDungeon8sRecordLoadsWithAnEmptyOne)
{
    game->hiddenDungeonSlot = {1, {4, 1, 130}};
    Bytes body = BuildSaveBody(*game);
    body.resize(body.size() - 4 - kHiddenSlotBytes);
    AppendCheckValue(body);
    auto loaded = Reader();
    loaded->hiddenDungeonSlot = {1, {9, 9, 9}};
    ASSERT_EQ(ReadSaveBody(*loaded, body), kSaveDone);
    EXPECT_EQ(loaded->hiddenDungeonSlot.open, 0);
    EXPECT_EQ(loaded->hiddenDungeonSlot.values, (std::array{0, 0, 0}));
    EXPECT_EQ(loaded->passwordHistory, (PasswordHistory{{1, 2}, {3, 4}, {5, 6}}));
}

TEST_F(SaveGameTest, ADamagedBodyFailsAndLoadsNothingOfIt)
{
    ASSERT_EQ(WriteSaveGame(*game), 0);
    const Bytes main = FileBytes("0012abc.main");
    const Bytes reset = Fingerprint(*Reader());

    Bytes flipped = main;
    flipped[main.size() - 1] ^= 1;
    for (const Bytes& bytes : {flipped, Bytes{1, 2, 3}}) {
        PutBytes("0012abc.main", bytes);
        auto loaded = Reader();
        loaded->floor = 9; // the load resets the adventure first
        EXPECT_EQ(LoadSaveGame(*loaded), kSaveBadCheck);
        EXPECT_EQ(Fingerprint(*loaded), reset);
    }
    fs::remove(Exe() / "save" / "0012abc.main");
    EXPECT_EQ(LoadSaveGame(*Reader()), kSaveUnreadable);

    // Content cut anywhere, under a right check value: refused, and nothing of it taken.
    const Bytes body(main.begin(), main.end() - 4);
    auto loaded = Reader();
    loaded->passwordHistory = {{7, 8}};
    loaded->dungeon = 5;
    const Bytes before = Fingerprint(*loaded);
    for (std::size_t size = 0; size < body.size(); ++size) {
        if (size == body.size() - kHiddenSlotBytes) continue; // a save from before dungeon 8's record
        Bytes cut(body.begin(), body.begin() + std::ptrdiff_t(size));
        AppendCheckValue(cut);
        ASSERT_EQ(ReadSaveBody(*loaded, cut), kSaveBadCheck) << "size " << size;
        ASSERT_EQ(Fingerprint(*loaded), before) << "size " << size;
    }
    Bytes hugeCount = body;
    hugeCount[body.size() - kHiddenSlotBytes - 3 * 8 - 1] = 0x7F; // the history's count
    AppendCheckValue(hugeCount);
    EXPECT_EQ(ReadSaveBody(*loaded, hugeCount), kSaveBadCheck);
    EXPECT_EQ(Fingerprint(*loaded), before);
}

TEST_F(SaveGameTest, LoadingASaveLoadsAndAppliesItsOptions)
{
    ASSERT_EQ(WriteSaveGame(*game), 0);
    SConfig options;
    options.name = "save\\0012abc.cfg";
    options.translucentWindows = false;
    options.smoothFont = true;
    options.darknessFades = false;
    options.messageSpeed = -7;
    ASSERT_EQ(SaveOptions(options), 0);

    auto loaded = Reader();
    loaded->selectWindow.windows.emplace_back().dirty = 0;
    ASSERT_EQ(LoadSaveGame(*loaded), kSaveDone);
    EXPECT_STREQ(loaded->config.name.c_str(), "save\\0012abc.cfg");
    EXPECT_EQ(loaded->selectWindow.translucent + loaded->messageWindow.translucent, 0);
    EXPECT_EQ(loaded->selectWindow.textAlpha + loaded->messageWindow.textAlpha, 2);
    EXPECT_EQ(loaded->selectWindow.windows.back().dirty, 1);
    EXPECT_EQ(loaded->map.displayFlag, 1);
    EXPECT_EQ(loaded->messageWindow.defaultWait, -1); // -7 is raised to -1

    // A damaged option file keeps the options the game had, and they are applied.
    PutBytes("0012abc.cfg", {0, 1, 2});
    auto other = Reader();
    other->config.messageSpeed = 30;
    ASSERT_EQ(LoadSaveGame(*other), kSaveDone);
    EXPECT_EQ(other->messageWindow.defaultWait, 30);
    EXPECT_EQ(other->map.displayFlag, 0);
}

TEST_F(SaveGameTest, AHeadGivesTheAdventureFieldsAlone)
{
    ASSERT_EQ(WriteSaveGame(*game), 0);
    auto browser = std::make_unique<SGameResource>();
    ASSERT_EQ(ReadSaveHead(*browser, 12, "abc"), kSaveDone);
    EXPECT_EQ(StoreBytes(*browser), StoreBytes(*game));
    EXPECT_EQ(browser->saveKind, 4);
    EXPECT_EQ(browser->characters.player.hp, 20); // the body is not read
    EXPECT_EQ(browser->checkValue, 0u);
    EXPECT_EQ(ReadSaveHead(*browser, 12, "none"), kSaveUnreadable);

    const Bytes head = FileBytes("0012abc.head");
    Bytes flipped = head;
    flipped[10] ^= 1;
    Bytes cut(head.begin(), head.begin() + 40);
    AppendCheckValue(cut);
    for (const Bytes& bytes : {flipped, cut}) {
        PutBytes("0012abc.head", bytes);
        auto reader = std::make_unique<SGameResource>();
        const Bytes before = StoreBytes(*reader);
        EXPECT_EQ(ReadSaveHead(*reader, 12, "abc"), kSaveBadCheck);
        reader->userNumber = -1;
        reader->saveName = "";
        EXPECT_EQ(StoreBytes(*reader), before);
        EXPECT_EQ(reader->saveKind, 2);
    }
}

TEST(SaveName, ASaveNameIsOnePathComponent)
{
    // "ソ" ends in the separator's byte, inside its character; "\x83" is a double-byte character cut short.
    for (const char* name : {"", "abc", "霧谷", "ソ", "a.b"})
        EXPECT_TRUE(IsSafeSaveName(name)) << name;
    for (const char* name : {"..", "a..b", "\\..\\..\\..\\escaped", "a/b", "a\\b", "C:x", "a\tb", "\x83"})
        EXPECT_FALSE(IsSafeSaveName(name)) << name;
}

TEST_F(SaveGameTest, AStoredNameNoFileNameCanSpellIsRefusedWhenLoaded)
{
    // Byte pairs that are no CP932 character: a lead byte before a space, a byte no character uses.
    for (const char* stored : {"\x81\x20\xFD", "a\x81\x20", "\xFD"}) {
        PutSaveStoringName(stored);
        auto loaded = Reader();
        EXPECT_EQ(LoadSaveGame(*loaded), kSaveBadCheck) << stored;
        EXPECT_EQ(ReadSaveHead(*loaded, 12, "abc"), kSaveBadCheck) << stored;
        EXPECT_STREQ(loaded->saveName.c_str(), "abc") << stored;
    }
}

TEST_F(SaveGameTest, AStoredNameOutsideTheSaveFolderIsRefusedAndNeverWrittenTo)
{
    fs::create_directories(Exe() / "save" / "0003");
    const ZTL::string escaping = "\\..\\..\\..\\escaped";
    const auto escaped = [&] {
        for (const auto& entry : fs::recursive_directory_iterator(m_root))
            if (entry.path().filename().string().find("escaped") != std::string::npos) return true;
        return false;
    };

    // A body and a head that store the name: neither is taken.
    PutSaveStoringName(escaping);
    auto loaded = Reader();
    EXPECT_EQ(LoadSaveGame(*loaded), kSaveBadCheck);
    EXPECT_STREQ(loaded->saveName.c_str(), "abc");
    EXPECT_EQ(ReadSaveHead(*loaded, 12, "abc"), kSaveBadCheck);
    EXPECT_STREQ(loaded->saveName.c_str(), "abc");
    EXPECT_EQ(ReadSaveHead(*loaded, 3, escaping), kSaveUnreadable);

    // No write goes through such a name.
    EXPECT_EQ(WriteSaveGame(*game), 1);
    EXPECT_EQ(WriteSaveHead(*game), 1);
    game->userNumber = 3;
    EXPECT_EQ(WriteSaveGame(*game), 1);
    EXPECT_FALSE(escaped());
}

TEST_F(SaveGameTest, AWriteThatFailsKeepsTheOldSetWhole)
{
    ASSERT_EQ(WriteSaveGame(*game), 0);
    const Bytes main = FileBytes("0012abc.main");
    const Bytes head = FileBytes("0012abc.head");
    game->floor = 8;

    // The body cannot be written whole.
    const int result = WithFullDisk(64, [&] { return WriteSaveGame(*game); });

    EXPECT_EQ(result, 1);
    EXPECT_EQ(FileBytes("0012abc.main"), main);
    EXPECT_EQ(FileBytes("0012abc.head"), head);
    for (const auto& entry : fs::directory_iterator(Exe() / "save"))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    const auto boxes = platform::headless::GetShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Utf8("セーブデータの保存に失敗しました。"));
    EXPECT_EQ(boxes[0].caption, Utf8("エラー"));

    fs::remove_all(Exe() / "save");
    EXPECT_EQ(WriteSaveGame(*game), 1);
}

} // namespace

namespace {

// A head that cannot be put in place once the body is: the player is told, and no body stands without its
// head. A new set leaves no body; an old set is left as it was.
TEST_F(SaveGameTest, AHeadThatCannotBePutInPlaceIsReportedAsAFailedSave)
{
    fs::create_directories(Exe() / "save" / "0012abc.head");
    EXPECT_EQ(WriteSaveGame(*game), 1);
    EXPECT_FALSE(fs::exists(Exe() / "save" / "0012abc.main"));
    fs::remove(Exe() / "save" / "0012abc.head");

    ASSERT_EQ(WriteSaveGame(*game), 0);
    const Bytes main = FileBytes("0012abc.main");
    const Bytes head = FileBytes("0012abc.head");
    const std::uint32_t check = game->checkValue;
    // The staged head vanishes as it is about to be renamed into place.
    static fs::path folder;
    folder = Exe() / "save";
    platform::SetFileChangeObserver([](const std::string& what) {
        if (what.size() < 5 || what.compare(what.size() - 5, 5, ".head") != 0) return;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().rfind(".0012abc.head.", 0) == 0) fs::remove(entry.path());
    });
    game->floor = 8;
    const int written = WriteSaveGame(*game);
    platform::SetFileChangeObserver(nullptr);

    EXPECT_EQ(written, 1);
    EXPECT_EQ(FileBytes("0012abc.main"), main);
    EXPECT_EQ(FileBytes("0012abc.head"), head);
    EXPECT_EQ(game->checkValue, check) << "the check value is not the old body's";
    const auto boxes = platform::headless::GetShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, Utf8("セーブデータの保存に失敗しました。"));
    for (const auto& entry : fs::directory_iterator(Exe() / "save"))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

// The body replaces its old version only once its head is written too: a head that cannot be written
// (the disk full after the body) leaves the old set whole, and the player is told.
TEST_F(SaveGameTest, AHeadThatCannotBeWrittenLeavesTheOldSetInPlace)
{
    // A head is written beside its target as ".0012abc.head.<process>.<count>.tmp", the count going up by
    // one a file: the names the next head would take are all taken, so that its write fails.
    static fs::path folder;
    static std::string lastHead;
    folder = Exe() / "save";
    lastHead.clear();
    platform::SetFileChangeObserver([](const std::string&) {
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().find(".head.") != std::string::npos)
                lastHead = entry.path().filename().string();
    });
    const int written = WriteSaveGame(*game);
    platform::SetFileChangeObserver(nullptr);
    ASSERT_EQ(written, 0);
    const std::string prefix = ".0012abc.head." + std::to_string(::getpid()) + ".";
    ASSERT_EQ(lastHead.rfind(prefix, 0), 0u) << lastHead;
    const unsigned long count = std::stoul(lastHead.substr(prefix.size()));
    for (unsigned long n = count + 1; n <= count + 300; ++n)
        PutFile(folder / (prefix + std::to_string(n) + ".tmp"), "");
    const Bytes main = FileBytes("0012abc.main");
    const Bytes head = FileBytes("0012abc.head");

    game->floor = 8;
    EXPECT_EQ(WriteSaveGame(*game), 1);

    EXPECT_EQ(FileBytes("0012abc.main"), main);
    EXPECT_EQ(FileBytes("0012abc.head"), head);
    const auto boxes = platform::headless::GetShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Utf8("セーブデータの保存に失敗しました。"));
}

// The file's own number and name hold over what a body copied in under them stores: the next save goes
// to the copy, never over the slot it came from.
TEST_F(SaveGameTest, ABodyCopiedUnderAnotherNumberAndNameLoadsAsTheFileItLiesIn)
{
    ASSERT_EQ(WriteSaveGame(*game), 0);
    const Bytes original = FileBytes("0012abc.main");
    PutBytes("0005xyz.main", original);

    auto copy = Reader();
    copy->userNumber = 5;
    copy->saveName = "xyz";
    ASSERT_EQ(LoadSaveGame(*copy), kSaveDone);
    EXPECT_EQ(copy->userNumber, 5);
    EXPECT_STREQ(copy->saveName.c_str(), "xyz");

    copy->floor = 9;
    ASSERT_EQ(WriteSaveGame(*copy), 0);
    EXPECT_EQ(FileBytes("0012abc.main"), original);
    EXPECT_NE(FileBytes("0005xyz.main"), original);
}

} // namespace
