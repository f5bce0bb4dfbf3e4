#include "game/scenes/menu_browser.h"

#include "game/app/replay.h"
#include "game/app/save_game.h"
#include "game/data/action_log.h"
#include "game/scenes/menu_scene.h"
#include "game/scenes/title_scene.h"
#include "game/support/menu_fixture.h"
#include "game/ui/image_list.h"
#include "platform/host/file.h"
#include "platform/host/headless/headless.h"
#include "support/app_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kDecide = 1u << 0, kCancel = 1u << 1, kLeft = 1u << 9, kRight = 1u << 11;
// Entries of the data menu with saves, and of the replay menu.
constexpr std::int32_t kLoad = 0, kCopy = 2, kDelete = 3, kReplay = 5, kReplayWithoutSaves = 1;
constexpr std::int32_t kFromSave = 0, kFromFile = 1, kFromSuspend = 2;

class BrowserTest : public MenuTest
{
protected:
    // A save set of the test game with its head fields; the game state is left as it was.
    void MakeSave(std::int32_t number, const char* name, std::int32_t runNumber = 1, std::int32_t dungeon = 0,
                  std::int32_t floor = 1)
    {
        game->userNumber = number;
        game->saveName = name;
        game->runNumber = runNumber;
        game->dungeon = dungeon;
        game->floor = floor;
        ASSERT_EQ(WriteSaveGame(*game), 0);
        game->ResetForNewGame();
    }
    // The browser over the title, as the title opens it.
    void OpenBrowser()
    {
        OpenMenu(-2).droppedFiles = &dropped;
        platform::headless::ScriptMessageBoxAnswers({});
    }
    // The entry of the active window chosen.
    void Choose(std::int32_t cursor)
    {
        auto& windows = game->selectWindow.windows;
        for (auto it = windows.rbegin(); it != windows.rend(); ++it)
            if (it->cursor >= 0 || it->type == CSelectWindow::kTypeYesNo) {
                it->cursor = cursor;
                break;
            }
        Press(kDecide);
    }
    const CSelectWindow::SWindow* SaveList() const
    {
        for (const auto& w : game->selectWindow.windows)
            if (w.type == CSelectWindow::kTypeSaveDataList) return &w;
        return nullptr;
    }
    static std::vector<std::string> Lines(const CSelectWindow::SWindow& window)
    {
        std::vector<std::string> lines;
        for (const auto& item : window.items)
            lines.push_back(Str(item.text));
        return lines;
    }
    std::vector<std::string> TopLines() const { return Lines(game->selectWindow.windows.back()); }
    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> texts;
        for (const auto& box : platform::headless::GetShownMessageBoxes())
            texts.push_back(box.text);
        return texts;
    }
    void Touch(const fs::path& path, const std::string& content = "x") { std::ofstream(path) << content; }
    static std::string Read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path Save(const std::string& name) const { return Exe() / "save" / name; }

    std::vector<ZTL::string> dropped;
};

TEST_F(BrowserTest, TheSaveListKeepsTheFirstNameOfANumberAndRaisesTheNextNumber)
{
    Touch(Save("0012abc.head"));
    Touch(Save("0003dup.head"));
    Touch(Save("0003xyz.head"));
    Touch(Save("0005abc.main"));
    Touch(Save("note.head"));
    g_globalData.fileCounter = 5;
    OpenBrowser();
    EXPECT_EQ(menu->saveList, (std::map<std::int32_t, ZTL::string>{{3, "dup"}, {12, "abc"}}));
    EXPECT_EQ(g_globalData.fileCounter, 13);
    g_globalData.fileCounter = 12;
    menu->BuildSaveList();
    EXPECT_EQ(g_globalData.fileCounter, 13) << "the highest number itself is taken";
}

TEST_F(BrowserTest, RunFilesOfMissingSavesAndOfEarlierRunsAreDeleted)
{
    MakeSave(12, "abc", 3);
    for (const char* name : {"00990001.act", "00120002.act", "00120003.act", "00120003.rpl"})
        Touch(UserFolder() / name);
    OpenBrowser();
    EXPECT_FALSE(fs::exists(UserFolder() / "00990001.act"));
    EXPECT_TRUE(fs::exists(UserFolder() / "00120002.act")) << "only the save list reads the play count";
    Choose(kLoad);
    EXPECT_EQ(menu->GetState(), 82);
    EXPECT_FALSE(fs::exists(UserFolder() / "00120002.act"));
    EXPECT_TRUE(fs::exists(UserFolder() / "00120003.act"));
    EXPECT_TRUE(fs::exists(UserFolder() / "00120003.rpl"));
}

// A save whose head was lost is not listed, but its body still holds a run: the run's files stay.
TEST_F(BrowserTest, RunFilesOfASaveWhoseHeadIsMissingAreKept)
{
    MakeSave(12, "abc", 3, 1, 2);
    fs::remove(Save("0012abc.head"));
    Touch(UserFolder() / "00120003.act");
    Touch(UserFolder() / "00120003.rpl");
    OpenBrowser();
    EXPECT_TRUE(menu->saveList.empty());
    EXPECT_TRUE(fs::exists(UserFolder() / "00120003.act"));
    EXPECT_TRUE(fs::exists(UserFolder() / "00120003.rpl"));
}

TEST_F(BrowserTest, WithoutSavesTheDataMenuStartsAtNewData)
{
    OpenBrowser();
    EXPECT_EQ(TopLines(),
              (std::vector<std::string>{"　新しくデータを作る", "　リプレイ", "　ランキング", "　パッド設定",
                                        "　キーボード設定", "　アプリケーションを終了する"}));
    Choose(0);
    EXPECT_EQ(menu->GetState(), 92);
    EXPECT_EQ(TopLines(), std::vector<std::string>{"ファイル名を入力してください"});
    Press(kCancel);
    EXPECT_EQ(menu->GetState(), 93) << "any key leaves the prompt for the text entry";

    OpenBrowser();
    Choose(5);
    EXPECT_EQ(control->GetCommand(), CSceneControl::kCommandExit);
}

TEST_F(BrowserTest, ASaveRowShowsNumberNamePlayCountPlaceAndRecords)
{
    game->dungeonSlots[1] = {1, {0, 0, 21}};
    game->dungeonSlots[3] = {1, {0, 0, 1000}};
    MakeSave(12, "abc", 4, 1, 3);
    OpenBrowser();
    Choose(kLoad);
    ASSERT_NE(SaveList(), nullptr);
    EXPECT_EQ(Lines(*SaveList()),
              (std::vector<std::string>{"　No.12       abc    4回目", "    初心の道　３階", "　"}));
    // The new-game reset opens dungeons 0 and 1; the record of dungeon 3 is its own.
    std::vector<std::array<std::int32_t, 3>> icons;
    for (const auto& image : SaveList()->images) {
        EXPECT_EQ(image.left, 208);
        icons.push_back({image.x, image.y, image.top});
    }
    EXPECT_EQ(icons, (std::vector<std::array<std::int32_t, 3>>{
                         {40, 76, 14 * 16}, {56, 76, 15 * 16}, {88, 76, 16 * 16}}));
}

TEST_F(BrowserTest, RecordIconsFollowTheDungeonsThresholds)
{
    struct Case
    {
        std::int32_t dungeon;
        std::uint8_t open;
        std::int32_t best;
        std::int32_t kind;
    };
    for (const Case& c : {Case{1, 1, 20, 1}, Case{1, 1, 21, 2}, Case{1, 1, 1000, 3}, Case{1, 0, 1000, -1},
                          Case{3, 1, 70, 1}, Case{3, 1, 71, 2}, Case{0, 1, 999, 2}}) {
        SCOPED_TRACE(c.dungeon * 10000 + c.best);
        EXPECT_EQ(RecordIconKind(c.dungeon, {c.open, {0, 0, c.best}}), c.kind);
    }
}

TEST_F(BrowserTest, TheReplayListGreysSavesAtTheCamp)
{
    MakeSave(3, "camp", 1, 0);
    MakeSave(4, "deep", 2, 2, 5);
    OpenBrowser();
    Choose(kReplay);
    ASSERT_EQ(menu->GetState(), 94);
    EXPECT_TRUE(menu->AcceptsDroppedFiles());
    Choose(kFromSave);
    ASSERT_EQ(menu->GetState(), 95);
    EXPECT_FALSE(menu->AcceptsDroppedFiles());
    ASSERT_NE(SaveList(), nullptr);
    EXPECT_EQ(SaveList()->items[0].enabled, 0);
    EXPECT_EQ(SaveList()->items[3].enabled, 1);
    Choose(1);
    EXPECT_EQ(menu->GetState(), 0);
    EXPECT_EQ(game->chosenDataNumber, 4);
    EXPECT_EQ(game->playMode, kPlayReplay);
}

TEST_F(BrowserTest, SaveListPagesWrapAndTheLoadListOpensOnTheLastSave)
{
    for (std::int32_t n = 1; n <= 7; ++n)
        MakeSave(n, "s");
    OpenBrowser();
    Choose(kLoad);
    EXPECT_EQ(menu->browserPage, 0);
    Press(kLeft);
    EXPECT_EQ(menu->browserPage, 2);
    EXPECT_EQ(Lines(*SaveList()).size(), 3u) << "the last page shows save 7 alone";
    Press(kRight);
    EXPECT_EQ(menu->browserPage, 0);

    g_globalData.lastSaveNumber = 5;
    OpenBrowser();
    Choose(kLoad);
    EXPECT_EQ(menu->browserPage, 1);
    EXPECT_EQ(SaveList()->cursor, 1);
    Choose(1);
    EXPECT_EQ(menu->GetState(), 0) << "a save at the camp loads at once";
    EXPECT_EQ(game->chosenDataNumber, 5);

    // With save 4 left out of its page, save 5 stands on the page's first row.
    Touch(Save("0004s.head"), "damaged");
    OpenBrowser();
    Choose(kLoad);
    EXPECT_EQ(menu->browserPage, 1);
    EXPECT_EQ(SaveList()->cursor, 0);
}

TEST_F(BrowserTest, ReturningToTheCampHandsTheValueOneToTheTitle)
{
    MakeSave(12, "abc", 1, 1, 3);
    OpenBrowser();
    Choose(kLoad);
    Choose(0);
    ASSERT_EQ(menu->GetState(), 83);
    Choose(1);
    ASSERT_EQ(menu->GetState(), 84);
    Choose(1);
    EXPECT_EQ(menu->GetState(), 83) << "いいえ goes back";
    Choose(1);
    Choose(0);
    EXPECT_EQ(menu->GetState(), 0);
    std::int32_t parameter = 0;
    EXPECT_TRUE(control->GetFactory()->TakeSceneParameter(&parameter));
    EXPECT_EQ(parameter, 1);
}

TEST_F(BrowserTest, RenamingActsOnTheSaveUnderTheListsCursor)
{
    MakeSave(3, "abc");
    MakeSave(4, "def");
    OpenBrowser();
    Choose(1);
    ASSERT_EQ(menu->GetState(), 85);
    Choose(1);
    ASSERT_EQ(menu->GetState(), 86);
    menu->FinishTextEntry("xyz");
    EXPECT_EQ(menu->GetState(), 0);
    EXPECT_TRUE(fs::exists(Save("0004xyz.head")));
    EXPECT_FALSE(fs::exists(Save("0004def.head")));
    EXPECT_TRUE(fs::exists(Save("0003abc.head")));
    EXPECT_EQ(menu->saveList, (std::map<std::int32_t, ZTL::string>{{3, "abc"}, {4, "xyz"}}));
}

// A page leaves out the save whose head cannot be read, so its second row shows the third save: every
// choice on that row acts on the save it shows, never on the one left out.
TEST_F(BrowserTest, EachRowActsOnTheSaveItShowsWhenThePageLeavesOneOut)
{
    constexpr std::int32_t kRename = 1;
    const auto exists = [&](const char* name) { return fs::exists(Save(name)); };
    struct Case
    {
        const char* what;
        std::int32_t entry; // of the data menu
        std::function<void()> actAndCheck;
    };
    const Case cases[] = {
        {"load", kLoad,
         [&] {
             EXPECT_EQ(menu->GetState(), 83);
             EXPECT_EQ(game->chosenDataNumber, 3);
         }},
        {"rename", kRename,
         [&] {
             ASSERT_EQ(menu->GetState(), 86);
             menu->FinishTextEntry("zzz");
             EXPECT_TRUE(exists("0003zzz.main"));
             EXPECT_FALSE(exists("0003ccc.main"));
         }},
        {"copy", kCopy,
         [&] {
             EXPECT_EQ(TopLines(), std::vector<std::string>{"ファイルをコピーしました。"});
             EXPECT_TRUE(exists("0004ccc.main"));
             EXPECT_FALSE(exists("0004bbb.main"));
         }},
        {"delete", kDelete,
         [&] {
             ASSERT_EQ(menu->GetState(), 90);
             EXPECT_EQ(Lines(*std::prev(game->selectWindow.windows.end(), 2)),
                       (std::vector<std::string>{"No.3 cccを", "削除してもよろしいですか？"}));
             Choose(0);
             EXPECT_FALSE(exists("0003ccc.main"));
         }},
        {"replay", kReplay,
         [&] {
             EXPECT_EQ(menu->GetState(), 0);
             EXPECT_EQ(game->chosenDataNumber, 3);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(Exe() / "save");
        fs::create_directories(Exe() / "save");
        MakeSave(1, "aaa", 1, 1, 2);
        MakeSave(2, "bbb", 1, 1, 2);
        MakeSave(3, "ccc", 1, 1, 2);
        Touch(Save("0002bbb.head"), "damaged");
        g_globalData.fileCounter = 4;
        OpenBrowser();
        Choose(c.entry);
        if (c.entry == kReplay) Choose(kFromSave);
        ASSERT_NE(SaveList(), nullptr);
        EXPECT_EQ(Lines(*SaveList())[3], "　No. 3       ccc    1回目");
        Choose(1);
        c.actAndCheck();
        EXPECT_TRUE(exists("0002bbb.main")) << "the save left out is left alone";
        EXPECT_TRUE(exists("0001aaa.head"));
    }
}

TEST_F(BrowserTest, ACopyTakesTheNextNumberOnlyOnceItExists)
{
    MakeSave(3, "abc");
    MakeSave(12, "def");
    OpenBrowser();
    Choose(kCopy);
    Choose(0);
    EXPECT_EQ(menu->GetState(), 88);
    EXPECT_EQ(TopLines(), std::vector<std::string>{"ファイルをコピーしました。"});
    for (const char* name : {"0013abc.main", "0013abc.head", "0013abc.cfg"})
        EXPECT_TRUE(fs::exists(Save(name))) << name;
    EXPECT_EQ(g_globalData.fileCounter, 14);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 0);

    // A save folder that takes no new file: the copy fails and uses up no number.
    const std::int32_t counter = g_globalData.fileCounter;
    fs::create_directories(Save("0014abc.main"));
    fs::permissions(Exe() / "save", fs::perms::owner_read | fs::perms::owner_exec);
    OpenBrowser();
    Choose(kCopy);
    Choose(0);
    fs::permissions(Exe() / "save", fs::perms::owner_all);
    EXPECT_EQ(TopLines(), std::vector<std::string>{"ファイルがコピーできませんでした。"});
    EXPECT_EQ(g_globalData.fileCounter, counter);
    EXPECT_FALSE(fs::exists(Save("0014abc.head")));
    EXPECT_FALSE(fs::exists(Save("0014abc.cfg")));
}

// The decide key held for a few frames over the copy's message, read through the key object as the frame
// loop reads it: the message closes, the title opens the data menu again, and the press is not taken a
// second time there.
TEST_F(BrowserTest, OnePressOnTheCopysMessageClosesItAndActsNoFurther)
{
    MakeSave(3, "abc");
    for (const std::int32_t heldFrames : {1, 4, 9}) {
        std::int32_t stateAfter = -1;
        ASSERT_TRUE(test_support::RunInApplication([&](test_support::BodyApp&) {
            Draw::SetThreadPlaneOwner(&m_display);
            // The keyboard belongs to the application's window: the key object is made on its thread.
            control->SetKeyObject(ZTL::smart_ptr<CKeyThread>(new CKeyThread));
            CKeyThread& keys = *control->GetKeyObject();
            keys.Setup();
            OpenBrowser();
            Choose(kCopy);
            Choose(0);
            ASSERT_EQ(menu->GetState(), 88);
            const std::uint8_t decideKey = std::uint8_t(keys.FindBinding(0, false));
            // Frames as the frame loop runs them: the key mask first, then the scene. A menu that has
            // ended returns on its next frame, the title asks for the browser on the one after, and the
            // new menu is made and updated on the third.
            std::int32_t framesEnded = 0;
            const auto frame = [&] {
                std::uint32_t mask = 0;
                keys.BuildKeyMask(mask);
                if (menu->GetState() == 0 && ++framesEnded < 3) return;
                if (menu->GetState() == 0) {
                    OpenBrowser();
                    framesEnded = 0;
                }
                menu->OnMove(&mask);
            };
            frame(); // released: the key object's start-up block lets go
            platform::headless::SetKey(decideKey, true);
            for (std::int32_t i = 0; i < heldFrames; ++i)
                frame();
            platform::headless::SetKey(decideKey, false);
            for (std::int32_t i = 0; i < 3; ++i)
                frame();
            stateAfter = menu->GetState();
            menu.reset();
            Draw::SetThreadPlaneOwner(nullptr);
        }));
        platform::headless::ReleaseAllKeys();
        EXPECT_EQ(stateAfter, 81) << "held " << heldFrames << " frames";
        for (const auto& entry : fs::directory_iterator(Exe() / "save"))
            if (entry.path().filename().string().rfind("0003", 0) != 0) fs::remove(entry.path());
    }
}

// A replay that ends in the heroine's fall leaves the fall's picture in the portrait layers; back on the
// title the browser shows the title picture alone.
TEST_F(BrowserTest, AfterAReplaysFallTheBrowserShowsTheTitlePictureAlone)
{
    const auto picture = [](std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        test_support::Bytes bits(std::size_t(320) * 3 * 240);
        for (std::size_t i = 0; i < bits.size(); i += 3)
            bits[i] = b, bits[i + 1] = g, bits[i + 2] = r;
        const test_support::Bytes bmp = test_support::MakeBmp(320, 240, 24, 0, {}, bits);
        return std::string(bmp.begin(), bmp.end());
    };
    PutFile(Exe() / "data" / "image" / "title.bmp", picture(0x20, 0x40, 0x80));
    PutFile(Exe() / "data" / "image" / "fall.bmp", picture(0xC0, 0x10, 0x10));
    PutFile(Exe() / "data" / "image" / "list.txt", "title.bmp,12000\r\nfall.bmp,13002\r\n");
    AccessImageList(kImageListDestroy, 0);
    const auto screen = [&] {
        OpenBrowser();
        Frame(0);
        auto plane = std::make_unique<Draw::CFastPlane>();
        plane->CreateSurfaceOfType(320, 240, Draw::kPixelXRGB8888);
        menu->OnDraw(plane.get());
        return Word(*plane, 300, 220) & 0xFFFFFF;
    };
    const std::uint32_t titleAlone = screen();

    // The fall's picture at full strength in the centre layer, as the replay's end leaves it.
    game->portraits[1].picture = 13002;
    game->portraits[1].level = 255;
    control->GetFactory()->SetSceneParameter(0);
    CSceneTitle title(control.get(), game.get());
    EXPECT_EQ(screen(), titleAlone);
    AccessImageList(kImageListDestroy, 0);
}

TEST_F(BrowserTest, DeletingASaveRemovesItsFilesAndRunFiles)
{
    MakeSave(3, "abc", 2);
    Touch(Save("0003abc.cfg"));
    MakeSave(4, "keep");
    for (const char* name : {"00030001.act", "00030002.act", "00030002.rpl", "00040001.act"})
        Touch(UserFolder() / name);
    OpenBrowser();
    Choose(kDelete);
    Choose(0);
    ASSERT_EQ(menu->GetState(), 90);
    const auto& windows = game->selectWindow.windows;
    EXPECT_EQ(Lines(*std::prev(windows.end(), 2)),
              (std::vector<std::string>{"No.3 abcを", "削除してもよろしいですか？"}));
    Choose(0);
    EXPECT_EQ(menu->GetState(), 88);
    EXPECT_EQ(TopLines(), std::vector<std::string>{"ファイルを削除しました。"});
    for (const char* name : {"0003abc.main", "0003abc.head", "0003abc.cfg"})
        EXPECT_FALSE(fs::exists(Save(name))) << name;
    for (const char* name : {"00030001.act", "00030002.act", "00030002.rpl"})
        EXPECT_FALSE(fs::exists(UserFolder() / name)) << name;
    EXPECT_TRUE(fs::exists(UserFolder() / "00040001.act"));
    EXPECT_TRUE(fs::exists(Save("0004keep.head")));
}

TEST_F(BrowserTest, DroppedFilesPlayOnlyOneReadableReplay)
{
    Touch(Exe() / "bad.rpl", "not a replay");
    struct Case
    {
        std::vector<ZTL::string> files;
        std::string box;
    };
    for (const Case& c : {Case{{"a.rpl", "b.rpl"}, "複数のファイルは読み込めません"},
                          Case{{(Exe() / "bad.rpl").c_str()}, "リプレイファイルが読み込めませんでした"}}) {
        OpenBrowser();
        Choose(kReplayWithoutSaves);
        dropped = c.files;
        Press(0);
        EXPECT_EQ(Boxes(), std::vector<std::string>{Utf8(c.box)});
        EXPECT_TRUE(dropped.empty());
        EXPECT_EQ(menu->GetState(), 94);
        EXPECT_EQ(game->replayStart, 0);
    }
}

TEST_F(BrowserTest, TwelveReplayFilesMakeTwoPages)
{
    for (int i = 0; i < 12; ++i)
        Touch(Exe() / "replay" / ("r" + std::to_string(10 + i) + ".rpl"));
    Touch(Exe() / "replay" / "note.txt");
    OpenBrowser();
    Choose(kReplayWithoutSaves);
    Choose(kFromFile);
    ASSERT_EQ(menu->GetState(), 96);
    EXPECT_EQ(TopLines().size(), 10u);
    EXPECT_EQ(TopLines()[0], "　replay\\r10.rpl");
    Press(kLeft);
    EXPECT_EQ(TopLines(), (std::vector<std::string>{"　replay\\r20.rpl", "　replay\\r21.rpl"}));
    Choose(1);
    EXPECT_EQ(Boxes(), std::vector<std::string>{Utf8("リプレイファイルが読み込めませんでした")});
    EXPECT_EQ(menu->GetState(), 96);
}

class ReplayFromSuspendTest : public BrowserTest
{
protected:
    // Save 3 "abc" suspended on floor 3 of its fourth run, with the run's work files.
    void SetUp() override
    {
        BrowserTest::SetUp();
        game->userNumber = 3;
        game->saveName = "abc";
        game->runNumber = 4;
        game->dungeon = 1;
        game->floor = 3;
        ASSERT_EQ(game->actionLog.SaveSuspendData(3, 4, 3), 0);
        ASSERT_EQ(AppendFloorSnapshot(*game), kSnapshotAppended);
        ASSERT_EQ(WriteSaveGame(*game), 0);
        SPlayerCommand command;
        command.kind = 5;
        command.arg1 = 7;
        game->actionLog.WriteCommand(command);
        ASSERT_EQ(game->actionLog.AppendToFile(), CActionLog::kAppended);
        game->ResetForNewGame();
        // A stale copy of an earlier backup beside the log.
        Touch(UserFolder() / "00030004", "stale");
        work = Read(UserFolder() / "00030004.rpl");
    }
    void MakeReplay()
    {
        OpenBrowser();
        Choose(kReplay);
        Choose(kFromSuspend);
        ASSERT_EQ(menu->GetState(), 97);
        Choose(0);
        ASSERT_EQ(menu->GetState(), 98);
    }
    void ExpectWorkFileKept()
    {
        EXPECT_EQ(Read(UserFolder() / "00030004.rpl"), work);
        EXPECT_EQ(Read(UserFolder() / "00030004"), "stale");
        for (const auto& entry : fs::directory_iterator(UserFolder()))
            EXPECT_EQ(entry.path().filename().string().find(".bk"), std::string::npos) << entry.path();
    }
    std::string work;
};

TEST_F(ReplayFromSuspendTest, TheReplayIsWrittenAndTheSavesLogLeftAsItWas)
{
    // Nothing of the run's own files changes on the way, so a kill anywhere leaves them as they were.
    static std::vector<std::string> changed;
    changed.clear();
    platform::SetFileChangeObserver([](const std::string& what) {
        if (what.find("/replay/") == std::string::npos) changed.push_back(what);
    });
    MakeReplay();
    platform::SetFileChangeObserver(nullptr);
    EXPECT_EQ(changed, std::vector<std::string>{});
    // The run's work files hold floor 3 alone.
    EXPECT_EQ(TopLines(), (std::vector<std::string>{"replay\\0003abc0004.rplに", "保存しました。",
                                                    "2フロア分の記録は欠けています。"}));
    EXPECT_TRUE(fs::exists(Exe() / "replay" / "0003abc0004.rpl"));
    ExpectWorkFileKept();
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 0);
}

TEST_F(ReplayFromSuspendTest, AFailedWriteStillRestoresTheSavesLog)
{
    // No floor's record kept: there is nothing to write.
    fs::remove(UserFolder() / "00030004.rpi");
    MakeReplay();
    EXPECT_EQ(TopLines(), std::vector<std::string>{"リプレイに残せたフロアがありませんでした。"});
    EXPECT_FALSE(fs::exists(Exe() / "replay" / "0003abc0004.rpl"));
    ExpectWorkFileKept();
}

} // namespace
