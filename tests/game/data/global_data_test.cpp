#include "game/data/global_data.h"

#include "game/data/check_value.h"
#include "game/support/temp_home.h"
#include "platform/host/file.h"
#include "platform/settings.h"
#include "support/held_to_permissions.h"

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Answer = platform::Backend::MessageBoxAnswer;

// The file the default record writes: version, the 13 settings, no entries, the registry flag, the
// check value high byte first.
const Bytes kDefaultFile = {
    0x00, 0x00, 0x00, 0x00,                         // version
    0x01, 0x00,                                     // double size, full screen
    0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, // user number -1, file counter 0
    0xFF, 0xFF, 0xFF, 0xFF,                         // last save number -1
    0x00, 0x00, 0x00, 0x00,                         // local folder, music while inactive, music off, SE off
    0xA0, 0x00, 0x00, 0x00, 0xA0, 0x00, 0x00, 0x00, // volumes 160, 160
    0x03, 0x00, 0x00, 0x00, 0x01,                   // CPU load 3, free idle sounds
    0x00, 0x00, 0x00, 0x00, 0x00,                   // no entries, registry flag
    0x2A, 0x11, 0x53, 0xEE,                         // check value
};

class GlobalDataTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        fs::create_directories(Exe() / "save");
        data.fileName = kGlobalDataFileName;
    }

    static Bytes FileBytes()
    {
        const std::string text = GetFile("save/main.cfg");
        return Bytes(text.begin(), text.end());
    }
    static void PutBytes(Bytes bytes, bool appendCheck)
    {
        if (appendCheck) AppendCheckValue(bytes);
        PutFile("save/main.cfg", std::string(bytes.begin(), bytes.end()));
    }
    // The stored value of a user, or nothing.
    static std::optional<platform::DWORD> StoredSum(const char* user)
    {
        platform::DWORD value = 0;
        if (!platform::ReadSettingDword(kProductSettingsKey, user, value)) return std::nullopt;
        return value;
    }

    SGlobalData data;
};

TEST_F(GlobalDataTest, TheDefaultsWriteTheGoldenFileAndLoadBack)
{
    ASSERT_EQ(SaveGlobalData(data), 0);
    EXPECT_EQ(FileBytes(), kDefaultFile);

    SGlobalData loaded;
    loaded.userNumber = 12;
    loaded.doubleSize = false;
    ASSERT_EQ(LoadGlobalData(loaded), kGlobalDataLoaded);
    EXPECT_STREQ(loaded.fileName.c_str(), "save\\main.cfg");
    EXPECT_EQ(loaded.userNumber, -1);
    EXPECT_TRUE(loaded.doubleSize);
    ASSERT_EQ(SaveGlobalData(loaded), 0);
    EXPECT_EQ(FileBytes(), kDefaultFile);
}

TEST_F(GlobalDataTest, ADamagedFileIsRefusedAndTheRecordKeptAsItWas)
{
    Bytes body(kDefaultFile.begin(), kDefaultFile.end() - 4);
    Bytes flipped = kDefaultFile;
    flipped[20] ^= 0x01;
    Bytes version1 = body;
    version1[0] = 1;
    Bytes countBeyond = body;
    countBeyond[35] = 1; // one entry announced, none follows
    Bytes negativeCount = body;
    negativeCount[35] = negativeCount[36] = negativeCount[37] = negativeCount[38] = 0xFF;
    const struct
    {
        const char* name;
        std::optional<Bytes> file;
        bool appendCheck;
        int result;
    } cases[] = {
        {"missing", std::nullopt, false, kGlobalDataUnreadable},
        {"one byte changed", flipped, false, kGlobalDataBadCheck},
        {"shorter than its check value", Bytes{1, 2, 3}, false, kGlobalDataBadCheck},
        {"version 1", version1, true, kGlobalDataBadFormat},
        {"shorter than the settings", Bytes(body.begin(), body.begin() + 20), true, kGlobalDataBadFormat},
        {"no registry flag", Bytes(body.begin(), body.end() - 1), true, kGlobalDataBadFormat},
        {"a count beyond the bytes", countBeyond, true, kGlobalDataBadFormat},
        {"a negative count", negativeCount, true, kGlobalDataBadFormat},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove("save/main.cfg");
        if (c.file) PutBytes(*c.file, c.appendCheck);
        SGlobalData record;
        record.userNumber = 7;
        record.cpuLoad = 9;
        record.saveEntries[7] = {true, 5};
        EXPECT_EQ(LoadGlobalData(record), c.result);
        EXPECT_STREQ(record.fileName.c_str(), "save\\main.cfg");
        EXPECT_EQ(record.userNumber, 7);
        EXPECT_EQ(record.cpuLoad, 9);
        EXPECT_EQ(record.saveEntries.size(), 1u);
    }
}

// A file the stored sums do not vouch for (an old file put back, a store that lost its values) loses the
// guards of suspended adventures, whose values a resume compares, and keeps the others.
TEST_F(GlobalDataTest, TheEntriesSumIsKeptInTheStoreAndAMismatchDropsTheSuspendedGuards)
{
    data.userNumber = 3;
    data.saveEntries[5] = {true, 10};
    data.saveEntries[9] = {false, 0xFFFFFFF0u};
    ASSERT_EQ(SaveGlobalData(data), 0);
    EXPECT_EQ(StoredSum("0003"), 0xFFFFFFFAu); // the sum wraps
    EXPECT_FALSE(data.registryFailed);
    const Bytes before = FileBytes();

    SGlobalData loaded;
    ASSERT_EQ(LoadGlobalData(loaded), kGlobalDataLoaded);
    ASSERT_EQ(loaded.saveEntries.size(), 2u);
    EXPECT_TRUE(loaded.saveEntries[5].flag);
    EXPECT_EQ(loaded.saveEntries[9].value, 0xFFFFFFF0u);

    const std::function<void()> mismatches[] = {
        [&] {
            data.saveEntries[5].value = 11;
            ASSERT_EQ(SaveGlobalData(data), 0);
            PutBytes(before, false);
        },
        [&] { platform::headless::ResetSettings(); },
    };
    for (const auto& mismatch : mismatches) {
        ASSERT_EQ(SaveGlobalData(data), 0);
        mismatch();
        loaded = SGlobalData();
        EXPECT_EQ(LoadGlobalData(loaded), kGlobalDataLoaded);
        EXPECT_EQ(loaded.saveEntries.size(), 1u);
        EXPECT_EQ(loaded.saveEntries.count(9), 1u);
    }
}

// A save of the record cut short before any of its changes on the disk (the store's values, the file)
// leaves a record whose entries all load, each as it was or as it became.
TEST_F(GlobalDataTest, AWriteCutShortAnywhereKeepsEveryEntry)
{
    struct SCut
    {
        int at = 0;
        int seen = 0;
    };
    static SCut cut;
    const auto stop = [](const std::string&) {
        if (cut.seen++ == cut.at) throw cut.at;
    };
    data.userNumber = 3;
    data.saveEntries[5] = {true, 10};
    data.saveEntries[9] = {true, 20};
    bool finished = false;
    for (cut.at = 0; !finished; ++cut.at) {
        SCOPED_TRACE(cut.at);
        data.saveEntries[9].value = 20;
        ASSERT_EQ(SaveGlobalData(data), 0);
        data.saveEntries[9].value = 21;
        cut.seen = 0;
        platform::SetFileChangeObserver(stop);
        try {
            SaveGlobalData(data);
            finished = true;
        } catch (int) {
        }
        platform::SetFileChangeObserver(nullptr);
        SGlobalData loaded;
        ASSERT_EQ(LoadGlobalData(loaded), kGlobalDataLoaded);
        ASSERT_EQ(loaded.saveEntries.size(), 2u);
        EXPECT_EQ(loaded.saveEntries[5].value, 10u);
        EXPECT_TRUE(loaded.saveEntries[9].value == 20u || loaded.saveEntries[9].value == 21u);
    }
    EXPECT_GE(cut.at, 3);
}

TEST_F(GlobalDataTest, WithoutEntriesTheStoreIsLeftAlone)
{
    data.userNumber = 3;
    data.registryFailed = true;
    ASSERT_EQ(SaveGlobalData(data), 0);
    platform::DWORD subKeys = 0, values = 0;
    EXPECT_FALSE(platform::CountSettings(kMakerSettingsKey, subKeys, values));
    EXPECT_TRUE(data.registryFailed); // keeps its value
}

TEST_F(GlobalDataTest, AFailedStoreWriteIsRecordedAndTheNextLoadSkipsTheComparison)
{
    data.userNumber = 4;
    data.saveEntries[4] = {true, 77};
    platform::headless::SetSettingsReadOnly(true);
    ASSERT_EQ(SaveGlobalData(data), 0);
    platform::headless::SetSettingsReadOnly(false);
    EXPECT_TRUE(data.registryFailed);
    EXPECT_FALSE(StoredSum("0004"));

    SGlobalData loaded;
    ASSERT_EQ(LoadGlobalData(loaded), kGlobalDataLoaded);
    EXPECT_TRUE(loaded.registryFailed);
    EXPECT_EQ(loaded.saveEntries.size(), 1u);
}

TEST_F(GlobalDataTest, AWriteReplacesTheFileWholeOrLeavesItAsItWas)
{
    ASSERT_EQ(SaveGlobalData(data), 0);
    // The old file stays reachable through a second name: the new one must be a new file, not the old
    // one rewritten in place.
    ASSERT_EQ(::link("save/main.cfg", "save/old.cfg"), 0);
    data.cpuLoad = 20;
    ASSERT_EQ(SaveGlobalData(data), 0);
    const std::string old = GetFile("save/old.cfg");
    EXPECT_EQ(Bytes(old.begin(), old.end()), kDefaultFile);
    EXPECT_NE(FileBytes(), kDefaultFile);
    EXPECT_EQ(fs::directory_iterator("save")->path().filename().string().find(".tmp"), std::string::npos);

    fs::remove_all("save");
    EXPECT_EQ(SaveGlobalData(data), 1); // nowhere to write
}

class UserFoldersTest : public GlobalDataTest
{};

TEST_F(UserFoldersTest, ANewUserTakesOneAboveTheLargestFolderNumber)
{
    const struct
    {
        std::vector<const char*> folders;
        std::vector<const char*> files;
        std::int32_t expected;
    } cases[] = {
        {{}, {}, 1},
        {{"0003", "abc"}, {}, 4},
        {{"0003"}, {"0009"}, 4}, // only folders count
        {{" 12x", "-20"}, {}, 13},
        {{"0001"}, {}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        fs::remove_all(Data());
        for (const char* folder : c.folders)
            fs::create_directories(GameData() / folder);
        for (const char* file : c.files)
            PutFile(GameData() / file, "x");
        SGlobalData record;
        record.fileName = kGlobalDataFileName;
        CreateUserFolders(record);
        EXPECT_EQ(record.userNumber, c.expected);
        char name[8];
        std::snprintf(name, sizeof name, "%04d", c.expected);
        EXPECT_TRUE(fs::is_directory(GameData() / name));
        EXPECT_TRUE(fs::is_directory("save") && fs::is_directory("replay"));
        SGlobalData saved;
        ASSERT_EQ(LoadGlobalData(saved), kGlobalDataLoaded);
        EXPECT_EQ(saved.userNumber, c.expected);
    }
}

TEST_F(UserFoldersTest, AUserKeepsANumberWhoseFolderExists)
{
    fs::create_directories(GameData() / "0000");
    fs::create_directories(GameData() / "0008");
    data.userNumber = 0;
    CreateUserFolders(data);
    EXPECT_EQ(data.userNumber, 0);
    data.userNumber = 5; // its folder is gone
    CreateUserFolders(data);
    EXPECT_EQ(data.userNumber, 9);
}

// A write that a kill cut short leaves its temporary file; the next start removes it, but never the file
// of a writer that still runs, nor a file that only looks alike.
TEST_F(UserFoldersTest, TheStartRemovesTheLeftoversOfWritesCutShort)
{
    const std::string live = std::to_string(::getpid());
    const struct
    {
        const char* name;
        bool removed;
    } cases[] = {
        {".0003abc.main.999999999.4.tmp", true},
        {".main.cfg.999999999.0.tmp", true},
        {"0003abc.main", false},
        {"0003abc.tmp", false},
        {".0003abc.main.x9.4.tmp", false},
    };
    fs::create_directories(GameData() / "0003");
    data.userNumber = 3;
    const fs::path folders[] = {Exe() / "save", Exe() / "replay", GameData() / "0003"};
    for (const fs::path& folder : folders) {
        fs::create_directories(folder);
        for (const auto& c : cases)
            PutFile(folder / c.name, "x");
        PutFile(folder / (".0003abc.head." + live + ".1.tmp"), "x");
    }
    CreateUserFolders(data);
    for (const fs::path& folder : folders) {
        for (const auto& c : cases)
            EXPECT_EQ(fs::exists(folder / c.name), !c.removed) << folder / c.name;
        EXPECT_TRUE(fs::exists(folder / (".0003abc.head." + live + ".1.tmp"))) << folder;
    }
}

// An older program backed a run's replay work file up while it made a replay from the browser; a kill
// left the backup. The next start puts the work file back when the kill left the replay's extra record
// on it (or took the file), and otherwise drops the backup, which the work file no longer needs. A file
// far larger than any whole-file read takes (sparse here) was never such a backup, nor its work file:
// it is settled unread, and the start goes on.
TEST_F(UserFoldersTest, TheStartSettlesTheBackupsOfAReplayCutShort)
{
    const std::string work = "0000000100020003", record = std::string("\x02\0\0\0", 4) + "xy";
    // Longer than one piece of the compare, and not a whole number of pieces.
    std::string longWork(65536 + 100, 'w'), longOther = longWork;
    longOther.back() = 'z';
    constexpr std::uintmax_t kHuge = std::uintmax_t(1) << 41;
    const struct
    {
        const char* what;
        bool hasLive;
        std::string live;
        std::string settled; // the work file after the start
        std::uintmax_t hugeBackup = 0, hugeLive = 0;
        std::string backup = "0000000100020003";
        bool unreadable = false; // the backup
    } cases[] = {
        {"a long backup, the extra record", true, longWork + record, longWork, 0, 0, longWork},
        {"a long backup, its last piece another", true, longOther + record, longOther + record, 0, 0,
         longWork},
        {"an unreadable backup, the work file taken", false, "", work, 0, 0, work, true},
        {"the extra record on the work file", true, work + record, work},
        {"the work file taken", false, "", work},
        {"the work file as it was", true, work, work},
        {"the work file gone on", true, work + record + record, work + record + record},
        {"another work file", true, "other", "other"},
        {"a huge backup", true, work + record, work + record, kHuge},
        {"a huge backup, the work file taken", false, "", "", kHuge},
        {"a huge work file", true, work + record, "", 0, kHuge},
    };
    fs::create_directories(GameData() / "0003");
    data.userNumber = 3;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path live = GameData() / "0003" / "00030001.rpl", backup = live.string() + ".bk00";
        fs::remove(live);
        if (c.hasLive) PutFile(live, c.live);
        if (c.hugeLive != 0) fs::resize_file(live, c.hugeLive);
        PutFile(backup, c.backup);
        if (c.hugeBackup != 0) fs::resize_file(backup, c.hugeBackup);
        if (c.unreadable) fs::permissions(backup, fs::perms::owner_write);
        {
            const CHeldToPermissions held;
            CreateUserFolders(data);
        }
        if (fs::exists(live)) fs::permissions(live, fs::perms::owner_read | fs::perms::owner_write);
        const std::uintmax_t size = fs::exists(live) ? fs::file_size(live) : 0;
        EXPECT_EQ(size, c.hugeLive != 0 ? c.hugeLive : c.settled.size());
        if (c.hugeLive == 0 && size == c.settled.size()) {
            EXPECT_EQ(GetFile(live), c.settled);
        }
        EXPECT_FALSE(fs::exists(backup));
    }
}

TEST_F(UserFoldersTest, AParentThatCannotBeMadeMovesTheUserFolderUnderTemp)
{
    fs::create_directories(Data());
    PutFile(GameData(), "a file where the folder should be");
    CreateUserFolders(data);
    EXPECT_EQ(data.userNumber, 0); // nothing could be listed
    EXPECT_TRUE(data.useLocalFolder);
    EXPECT_TRUE(fs::is_directory(Exe() / "temp" / "0000"));
    EXPECT_STREQ(GetUserFolder(data, false).c_str(), "temp\\0000");
    EXPECT_STREQ(GetUserFolder(data, true).c_str(), "temp");
    SGlobalData saved;
    ASSERT_EQ(LoadGlobalData(saved), kGlobalDataLoaded);
    EXPECT_TRUE(saved.useLocalFolder);
}

class DeleteDataFolderTest : public GlobalDataTest
{};

TEST_F(DeleteDataFolderTest, DeletesTheFilesAndTheFolderAfterAYes)
{
    PutFile("save/0001abc.main", "m");
    PutFile("save/0001abc.head", "h");
    platform::headless::ScriptMessageBoxAnswers({Answer::Yes});
    EXPECT_EQ(DeleteDataFolder("save", true), 0);
    EXPECT_FALSE(fs::exists("save"));
    const auto boxes = platform::headless::GetShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Utf8("セーブデータを削除しますか？"));
    EXPECT_EQ(boxes[0].caption, Utf8("確認"));
    EXPECT_EQ(boxes[0].buttons, platform::Backend::MessageBoxButtons::YesNo);
    EXPECT_EQ(boxes[0].defaultButton, 1); // No
    EXPECT_EQ(boxes[0].owner, nullptr);
}

TEST_F(DeleteDataFolderTest, KeepsTheFolderUnlessTheAnswerIsYes)
{
    PutFile("replay/a.rpl", "r");
    for (bool unavailable : {false, true}) {
        platform::headless::SetMessageBoxesUnavailable(unavailable);
        platform::headless::ScriptMessageBoxAnswers({Answer::No});
        EXPECT_EQ(DeleteDataFolder("replay", true), 0);
        EXPECT_TRUE(fs::exists("replay/a.rpl"));
        const auto boxes = platform::headless::GetShownMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, Utf8("リプレイデータを削除しますか？"));
    }
}

TEST_F(DeleteDataFolderTest, CountsSubfoldersAndAFolderLeftAsFailures)
{
    PutFile("save/a.main", "a");
    fs::create_directories("save/inner");
    PutFile("save/inner/b", "b");
    EXPECT_EQ(DeleteDataFolder("save", false), 2); // the subfolder, then the folder itself
    EXPECT_FALSE(fs::exists("save/a.main"));
    EXPECT_TRUE(fs::exists("save/inner/b"));
    EXPECT_TRUE(platform::headless::GetShownMessageBoxes().empty());
    // Other folders are never asked about, and a missing folder is no failure.
    PutFile("other/c", "c");
    EXPECT_EQ(DeleteDataFolder("other", true), 0);
    EXPECT_FALSE(fs::exists("other"));
    EXPECT_EQ(DeleteDataFolder("missing", true), 0);
    EXPECT_TRUE(platform::headless::GetShownMessageBoxes().empty());
}

TEST_F(GlobalDataTest, DeleteRegistryDataRemovesTheUsersDataAndTheKeysLeftEmpty)
{
    SGlobalData record;
    EXPECT_EQ(DeleteRegistryData(record), 1); // no file
    ASSERT_EQ(SaveGlobalData(data), 0);
    EXPECT_EQ(DeleteRegistryData(record), 2); // no user

    data.userNumber = 2;
    data.saveEntries[2] = {true, 40};
    ASSERT_EQ(SaveGlobalData(data), 0);
    PutFile(GameData() / "0002" / "00020001.act", "log");
    ASSERT_TRUE(platform::WriteSettingDword(kProductSettingsKey, "0005", 1)); // another user's value
    EXPECT_EQ(DeleteRegistryData(record), 0);
    EXPECT_FALSE(fs::exists(GameData()));
    EXPECT_FALSE(StoredSum("0002"));
    EXPECT_TRUE(StoredSum("0005")); // the key still holds a value, so it stays

    ASSERT_TRUE(platform::DeleteSetting(kProductSettingsKey, "0005"));
    ASSERT_TRUE(platform::WriteSettingDword(kProductSettingsKey, "0002", 40));
    ASSERT_TRUE(platform::CreateSettingsKey("Software\\Quorlith\\other"));
    fs::create_directories(GameData() / "0007");
    EXPECT_EQ(DeleteRegistryData(record), 0);
    platform::DWORD subKeys = 0, values = 0;
    EXPECT_FALSE(platform::CountSettings(kProductSettingsKey, subKeys, values));
    EXPECT_TRUE(platform::CountSettings(kMakerSettingsKey, subKeys, values)); // it still has "other"
    EXPECT_TRUE(fs::exists(GameData() / "0007"));
}

} // namespace
