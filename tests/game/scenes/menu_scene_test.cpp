#include "game/scenes/menu_scene.h"
#include "game/support/menu_fixture.h"

#include "game/app/ranking_table.h"
#include "game/app/replay.h"
#include "game/data/action_log.h"
#include "game/data/password.h"
#include "game/items/item_names.h"
#include "platform/host/file.h"
#include "sdk/auxiliary/file.h"

#include <gmock/gmock.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kDecide = 1u << 0, kCancel = 1u << 1, kUp = 1u << 8, kLeft = 1u << 9,
                        kRight = 1u << 11;

// The scene below the menu: it counts its resumes.
class CBelowScene : public QuorlithGameBase::IScene
{
public:
    explicit CBelowScene(int& resumes) : m_resumes(resumes) {}
    void OnMove(const std::uint32_t*) override {}
    void OnDraw(Draw::ISurface*) override {}
    void OnResume() override { ++m_resumes; }

private:
    int& m_resumes;
};

// Scene 3 is the scene below; scene 5 the menu over the test's game.
class CTestFactory : public QuorlithGameBase::ISceneFactory
{
public:
    CTestFactory(SGameResource& game, int& resumes) : m_game(game), m_resumes(resumes) {}
    void CreateScene(ZTL::smart_ptr<QuorlithGameBase::IScene>& scene, std::int32_t number,
                     CSceneControl* control) override
    {
        if (number == kSceneMenu) {
            scene = ZTL::smart_ptr<QuorlithGameBase::IScene>(new CSceneMenu(control, &m_game));
        } else {
            scene = ZTL::smart_ptr<QuorlithGameBase::IScene>(new CBelowScene(m_resumes));
        }
    }

private:
    SGameResource& m_game;
    int& m_resumes;
};

class MenuSceneTest : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        New(5);
    }
    CSceneMenu& Open(std::int32_t request)
    {
        OpenMenu(request);
        menu->SetRankingTable(&ranking);
        return *menu;
    }
    // The settings submenu over the game menu, its cursor on `entry`.
    void OpenSettings(std::int32_t entry)
    {
        Open(0);
        game->selectWindow.SetCursor(5);
        Press(kDecide);
        ASSERT_EQ(menu->GetState(), 13);
        game->selectWindow.SetCursor(entry);
    }
    std::string TopText()
    {
        std::string text;
        for (const CSelectWindow::SItem& item : game->selectWindow.windows.back().items)
            text += Str(item.text) + "|";
        return text;
    }

    CRankingTable ranking;
};

TEST_F(MenuSceneTest, OpeningRequestsPickTheFirstStateAndBackground)
{
    struct Case
    {
        std::int32_t request;
        std::int32_t state;
        CSceneMenu::EBackground background;
        bool statusBar;
        std::size_t stack;
    };
    for (const Case& c : {Case{-2, 81, CSceneMenu::kBackgroundTitle, true, 1},
                          Case{-1, 43, CSceneMenu::kBackgroundImage, true, 1},
                          Case{-3, 23, CSceneMenu::kBackgroundImage, false, 1},
                          Case{0, 1, CSceneMenu::kBackgroundWorld, true, 0},
                          Case{1, 10, CSceneMenu::kBackgroundWorld, true, 1},
                          Case{10, 57, CSceneMenu::kBackgroundImage, true, 1},
                          Case{12, 62, CSceneMenu::kBackgroundImage, true, 2},
                          Case{9, 29, CSceneMenu::kBackgroundWorld, true, 1},
                          Case{21, 0, CSceneMenu::kBackgroundWorld, true, 1}}) {
        SCOPED_TRACE(c.request);
        Open(c.request);
        EXPECT_EQ(menu->GetState(), c.state);
        EXPECT_EQ(menu->GetBackground(), c.background);
        EXPECT_EQ(menu->HasStatusBar(), c.statusBar);
        EXPECT_EQ(menu->GetStateStack().size(), c.stack);
    }
    Open(1);
    EXPECT_FALSE(menu->IsWorldStill()) << "the stairs prompt keeps the world moving";
}

TEST_F(MenuSceneTest, TheInventoryOpensOnThePageAndRowOfTheItemToShow)
{
    game->inventory.fill(kNone);
    game->inventory[13] = 40;
    game->itemToShow = 40;
    Open(6);
    EXPECT_EQ(menu->GetState(), 2);
    EXPECT_EQ(menu->itemList.page, 1);
    EXPECT_EQ(menu->itemList.row, 3);
    game->itemToShow = 41;
    Open(6);
    EXPECT_EQ(menu->GetState(), 0) << "an item not carried ends the menu";
}

TEST_F(MenuSceneTest, RetryWindowNamesTheTrainingPasswordOnATrainingRun)
{
    game->trainingRun = true;
    Open(8);
    EXPECT_EQ(menu->GetState(), 80);
    EXPECT_EQ(TopText(), "　同じパスワードで再び特訓する|　拠点に戻る|");
}

TEST_F(MenuSceneTest, ARequestOutsideTheTableReturnsOnTheFirstUpdate)
{
    Open(21);
    Frame(0);
    EXPECT_EQ(control->GetCommand(), CSceneControl::kCommandReturn);
}

TEST_F(MenuSceneTest, ADecideKeyHeldAtOpeningActsOnlyAfterItsRelease)
{
    Open(0);
    Frame(kDecide);
    Frame(kDecide);
    EXPECT_EQ(menu->GetState(), 1);
    Frame(0);
    Frame(kDecide);
    EXPECT_EQ(menu->GetState(), 2) << "the inventory entry is chosen";
}

TEST_F(MenuSceneTest, KeysLeftReportingEveryFrameByTheFloorReportOncePerPressInTheMenu)
{
    CKeyThread& keys = *control->GetKeyObject();
    keys.SetAllKeyStates(128);
    for (int key = 0; key <= 15; ++key)
        keys.SetRepeatValue(key, key == 6 ? 128 : 0);
    Open(0);
    for (int key = 0; key <= 15; ++key)
        EXPECT_EQ(keys.GetRepeatValue(key), 128) << key;
}

TEST_F(MenuSceneTest, ADirectionHeldAtOpeningMovesNothingWhileTheWorldGoesOn)
{
    constexpr std::uint32_t kDown = 1u << 10;
    Open(3);
    auto plane = std::make_unique<Draw::CFastPlane>();
    plane->CreateSurfaceOfType(320, 240, Draw::kPixelXRGB8888);
    for (int i = 0; i < 2; ++i) {
        Frame(kDown);
        menu->OnDraw(plane.get());
    }
    EXPECT_EQ(game->selectWindow.GetCursor(), -1);
    Press(kDown);
    EXPECT_GE(game->selectWindow.GetCursor(), 0);
    EXPECT_EQ(menu->GetState(), 23);
}

TEST_F(MenuSceneTest, PoppingTheFirstScreenResumesTheSceneBelow)
{
    int resumes = 0;
    control->SetFactory(ZTL::smart_ptr<QuorlithGameBase::ISceneFactory>(new CTestFactory(*game, resumes)));
    control->RequestJump(kSceneGameMain);
    control->ApplyRequest();
    control->GetFactory()->SetSceneParameter(-3);
    control->RequestCall(kSceneMenu);
    control->ApplyRequest();
    std::uint32_t mask = 0;
    control->GetCurrentScene()->OnMove(&mask);
    mask = kCancel;
    control->GetCurrentScene()->OnMove(&mask);
    mask = 0;
    control->GetCurrentScene()->OnMove(&mask);
    EXPECT_EQ(control->GetCommand(), CSceneControl::kCommandReturn);
    control->ApplyRequest();
    EXPECT_EQ(resumes, 1);
    EXPECT_EQ(control->GetCurrentNumber(), kSceneGameMain);
}

TEST_F(MenuSceneTest, DroppedFilesAreTakenOnlyInThePasswordFileAndReplayListStates)
{
    Open(-1);
    menu->PushState(47);
    EXPECT_TRUE(menu->AcceptsDroppedFiles());
    menu->PushState(52);
    EXPECT_FALSE(menu->AcceptsDroppedFiles());
    menu->PopState();
    EXPECT_TRUE(menu->AcceptsDroppedFiles()) << "again on the return to state 47";
    menu->PushState(46);
    EXPECT_FALSE(menu->AcceptsDroppedFiles());
    menu->PopState();
    menu->PopState();
    EXPECT_FALSE(menu->AcceptsDroppedFiles());
    menu->PushState(94);
    EXPECT_TRUE(menu->AcceptsDroppedFiles());
}

TEST_F(MenuSceneTest, PoppingResetsTheSelectedItems)
{
    Open(-1);
    menu->PushState(52);
    menu->itemList.selected = {3, 4};
    menu->PopState();
    EXPECT_EQ(menu->itemList.selected[0], CSceneMenu::kNoItem);
    EXPECT_EQ(menu->itemList.selected[1], CSceneMenu::kNoItem);
}

TEST_F(MenuSceneTest, AChangeOfDoubleSizeRebuildsTheBackgroundAndDirtiesTheScreen)
{
    Open(-3);
    Frame(0);
    auto plane = std::make_unique<Draw::CFastPlane>();
    plane->CreateSurfaceOfType(320, 240, Draw::kPixelXRGB8888);
    menu->OnDraw(plane.get());
    ASSERT_EQ(menu->GetDirtyRects().GetCount(), 0);
    g_globalData.doubleSize = true;
    Frame(0);
    std::int32_t w = 0, h = 0;
    menu->GetPlane().GetSize(&w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    Draw::CDirtyRect& dirty = menu->GetDirtyRects();
    dirty.Optimize();
    ASSERT_GE(dirty.GetCount(), 1);
    const Draw::RECT r = dirty.GetRects()[0];
    EXPECT_EQ(std::vector<int>({r.left, r.top, r.right, r.bottom}), std::vector<int>({0, 0, 320, 240}));
}

TEST_F(MenuSceneTest, AClosedWindowLeavesTheStillBackgroundBehind)
{
    // The camp picture in one colour (0x336699), as the image list finds it.
    const int stride = 320 * 3;
    test_support::Bytes bits(std::size_t(stride) * 240);
    for (std::size_t i = 0; i < bits.size(); i += 3)
        bits[i] = 0x99, bits[i + 1] = 0x66, bits[i + 2] = 0x33;
    const test_support::Bytes bmp = test_support::MakeBmp(320, 240, 24, 0, {}, bits);
    PutFile(Exe() / "data" / "image" / "camp.bmp", std::string(bmp.begin(), bmp.end()));
    PutFile(Exe() / "data" / "image" / "list.txt", "camp.bmp,12002\r\n");
    AccessImageList(kImageListDestroy, 0);

    Open(-3);
    auto plane = std::make_unique<Draw::CFastPlane>();
    plane->CreateSurfaceOfType(320, 240, Draw::kPixelXRGB8888);
    Frame(0);
    menu->OnDraw(plane.get());
    // The empty select surface shades the whole picture a little.
    const std::uint32_t shaded = Word(*plane, 300, 220) & 0xFFFFFF;
    EXPECT_EQ(shaded, 0x264C73u);
    SetWord(*plane, 40, 120, 0x00FF00); // inside the Yes/No window
    Press(kCancel);
    EXPECT_EQ(menu->GetState(), 0);
    menu->SetState(23); // drawn once more, as the frame of the cancel would be
    menu->OnDraw(plane.get());
    EXPECT_EQ(Word(*plane, 40, 120) & 0xFFFFFF, shaded);
    AccessImageList(kImageListDestroy, 0);
}

TEST_F(MenuSceneTest, NoHandlerRunsWhileTheKeyObjectCaptures)
{
    Open(0);
    control->GetKeyObject()->BeginKeyCapture(0, false);
    Press(kCancel);
    EXPECT_EQ(menu->GetState(), 1);
}

TEST_F(MenuSceneTest, SettingsTextEndsByTheWayTheGameIsPlayed)
{
    game->messageWindow.log.clear();
    game->dungeon = 1;
    std::string text = Str(BuildSettingsMenuText(*game));
    EXPECT_THAT(text, testing::StartsWith("#n  メッセージ履歴表示\n"));
    EXPECT_THAT(text, testing::EndsWith("#g  冒険を諦める\n#g  中断"));
    game->dungeon = 0;
    EXPECT_THAT(Str(BuildSettingsMenuText(*game)), testing::EndsWith("  メッセージ速度設定\n"));

    game->playMode = kPlayReplay;
    game->replayFromList = 1;
    game->floor = 4;
    game->runStartValues = {{3, 0}, {4, 100}};
    game->replayHasScore = 0;
    text = Str(BuildSettingsMenuText(*game));
    EXPECT_THAT(text, testing::HasSubstr("#n  次のフロアを再生する\n"));
    EXPECT_THAT(text, testing::HasSubstr("#g  前のフロアを再生する\n"));
    // Floors the replay lacks between: the next and previous it holds; none after, where the run went
    // deeper: the next ends the replay.
    game->runStartValues = {{2, 0}, {4, 100}};
    game->runRecord.floor = 6;
    text = Str(BuildSettingsMenuText(*game));
    EXPECT_THAT(text, testing::HasSubstr("#g  次のフロアを再生する\n"));
    EXPECT_THAT(text, testing::HasSubstr("#g  前のフロアを再生する\n"));
    game->runStartValues = {{4, 100}};
    game->runRecord.floor = 4;
    text = Str(BuildSettingsMenuText(*game));
    EXPECT_THAT(text, testing::HasSubstr("#n  次のフロアを再生する\n"));
    EXPECT_THAT(text, testing::HasSubstr("#n  前のフロアを再生する\n"));
    EXPECT_THAT(text, testing::HasSubstr("#n  スコアを表示する\n"));
    EXPECT_THAT(text, testing::HasSubstr("#n  自動振り向き設定\n"));
    game->replayFromList = 0;
    EXPECT_THAT(Str(BuildSettingsMenuText(*game)), testing::EndsWith("#g  リプレイを終了する\n"));
}

TEST_F(MenuSceneTest, GivingUpEndsTheAdventureAndNoKeepsTheSubmenuCursor)
{
    game->dungeon = 2;
    game->floor = 5;
    OpenSettings(6);
    Press(kDecide);
    ASSERT_EQ(menu->GetState(), 20);
    game->selectWindow.SetCursor(1);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 13);
    EXPECT_EQ(game->selectWindow.GetCursor(), 6);

    Press(kDecide);
    game->selectWindow.SetCursor(0);
    Press(kDecide);
    EXPECT_EQ(game->characters.player.hp, 0);
    EXPECT_EQ(game->deathCause, 2);
    EXPECT_EQ(game->endOfRunRequest.requested, 1) << "the adventure has ended";
    EXPECT_EQ(menu->GetState(), 0);
}

// Yes at the end of a run says what the disk holds: no replay, or the replay and the floors it lacks.
TEST_F(MenuSceneTest, ReplaySaveReportsWhatWasWrittenAndNoDeletesTheSlotsFiles)
{
    game->runRecord.recordNumber = 12;
    game->runRecord.runNumber = 3;
    const struct
    {
        std::int32_t workFiles; // floor 3's alone, of the three floors the run reached: 2 its snapshot and
                                // log, 1 its snapshot (its log refused), 0 nothing kept
        bool refused;           // the replay file's write
        const char* shown;
    } cases[] = {
        {0, false, "リプレイに残せたフロアがありませんでした。|"},
        {1, false, "リプレイに残せたフロアがありませんでした。|"},
        {2, true, "ファイルの保存に失敗しました。|"},
        {2, false, "replay\\0012abc0003.rplに|保存しました。|2フロア分の記録は欠けています。|"},
    };
    for (const auto& c : cases) {
        if (c.workFiles != 0) {
            CreateUserFolders(g_globalData);
            game->userNumber = 12;
            game->runNumber = 3;
            game->floor = game->runRecord.floor = 3;
            game->runRecord.name = "abc";
            DeleteReplayFiles(*game);
            ASSERT_EQ(game->actionLog.SaveSuspendData(12, 3, 3), 0);
            ASSERT_EQ(AppendFloorSnapshot(*game), kSnapshotAppended);
            if (c.workFiles == 2) ASSERT_EQ(game->actionLog.AppendFloorLog(), CActionLog::kFloorLogAppended);
        }
        platform::SetFileWriteRefusal(
            c.refused ? [](const std::string& what) { return what.find("/replay/") != std::string::npos; }
                      : platform::FileWriteRefusal(nullptr));
        Open(-1);
        game->selectWindow.Open(0, 0, true, -1, -1, 0, false, "a");
        game->selectWindow.Open(0, 40, false, -1, -1, 0, false, "はい\nいいえ");
        menu->PushState(78);
        Press(kDecide);
        platform::SetFileWriteRefusal(nullptr);
        EXPECT_EQ(menu->GetState(), 79);
        EXPECT_EQ(TopText(), c.shown);
    }

    const ZTL::string base = MakeSlotFilePath(12, 3);
    Auxiliary::CFile file;
    ASSERT_EQ(file.Write(base + ".rpl", "x", 1), 0);
    menu->PopState();
    game->selectWindow.Open(0, 40, false, -1, -1, 1, false, "はい\nいいえ");
    Press(kDecide);
    EXPECT_NE(Auxiliary::CFile().Open(base + ".rpl", "rb"), 0) << "the work file is gone";
    EXPECT_EQ(game->returnCode, 32);
    EXPECT_EQ(game->returnToCamp, 1);
    EXPECT_EQ(menu->GetState(), 0);
}

TEST_F(MenuSceneTest, RetryHandsTheOpenerTheDungeonOrTheTrainingMark)
{
    for (const bool training : {false, true}) {
        game->trainingRun = training;
        // The run has ended: the game state is back at the camp and the run's record names the dungeon.
        game->dungeon = 0;
        game->runRecord.category = 3;
        Open(8);
        Press(kDecide);
        std::int32_t parameter = 0;
        ASSERT_TRUE(control->GetFactory()->TakeSceneParameter(&parameter));
        EXPECT_EQ(parameter, training ? 10 : 3);
        EXPECT_EQ(menu->GetState(), 0);
    }
}

TEST_F(MenuSceneTest, MessageStatesCloseOnTheirKeysOnly)
{
    Open(-1);
    game->selectWindow.Open(0, 0, true, -1, -1, -1, false, "msg");
    menu->PushState(12);
    Press(kLeft);
    EXPECT_EQ(menu->GetState(), 12) << "the arrows of bit 9 are not taken";
    Press(kUp);
    EXPECT_EQ(menu->GetState(), 43);
    EXPECT_EQ(game->selectWindow.windows.size(), 1u) << "only the camp menu stays";

    menu->PushState(72);
    Press(kDecide);
    std::int32_t parameter = 0;
    ASSERT_TRUE(control->GetFactory()->TakeSceneParameter(&parameter));
    EXPECT_EQ(parameter, -1);
    EXPECT_EQ(menu->GetState(), 0);
}

TEST_F(MenuSceneTest, DescriptionPagesWrapAndDecideLeavesAfterTheLast)
{
    Open(-1);
    menu->PushState(5);
    menu->lastDescriptionPage = 2;
    menu->descriptionPage = 2;
    Press(kRight);
    EXPECT_EQ(menu->descriptionPage, 0);
    Press(kLeft);
    EXPECT_EQ(menu->descriptionPage, 2);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 43) << "decide past the last page acts as cancel";
}

TEST_F(MenuSceneTest, MagicCircleListMarksCirclesOverTheHeroine)
{
    game->characters.player.x = 20;
    game->characters.player.y = 20;
    for (const std::int32_t kind : {300, 302}) {
        game->items.kinds[std::size_t(kind)].name = "守りのペン";
        game->items.kindState[std::size_t(kind)] = 2;
    }
    PlaceCircle(*game, 300, CSpellCircleControl::kRangeRoom, 21, 20);
    PlaceCircle(*game, 301, CSpellCircleControl::kRangeCell, 4, 4);
    PlaceCircle(*game, 302, CSpellCircleControl::kRangeRoom, 30, 30);
    const std::vector<ZTL::string> lines = BuildCircleList(*game);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(Str(lines[0]), "現存する魔法陣のリスト");
    EXPECT_EQ(Str(lines[1]), "#2守りの魔法陣 [部屋]");
    EXPECT_EQ(Str(lines[2]), "#y" + Str(game->items.GetMagicCircleName(301)) + " [上]");
    EXPECT_EQ(Str(lines[3]), "#n守りの魔法陣 [部屋]") << "identified, but out of reach";
    game->circles.circles.clear();
    EXPECT_TRUE(BuildCircleList(*game).empty());
}

TEST_F(MenuSceneTest, ItemAndFootLinesGreyOutWhatCannotBeChosen)
{
    const std::uint16_t sword = New(10), potion = New(150);
    Item(sword).flags = 0x20;
    EXPECT_EQ(Str(BuildItemLineText(*game, sword, true, 2)), "#n" + Str(game->items.GetDisplayName(sword)));
    EXPECT_EQ(Str(BuildItemLineText(*game, potion, false, 39)),
              "#n" + Str(game->items.GetDisplayName(potion)));
    EXPECT_EQ(Str(BuildItemLineText(*game, potion, false, 2)),
              std::string(GetItemColorMark(game->items.GetMarkFacts(potion))) +
                  Str(game->items.GetDisplayName(potion)));
    EXPECT_EQ(Str(BuildFootLineText(*game)), "何も落ちていない");
    SMapCell& cell = game->map.GetCell(20, 20);
    cell.objectKind = kObjectItem;
    cell.objectId = potion;
    EXPECT_EQ(Str(BuildFootLineText(*game)), Str(game->items.GetDisplayName(potion)));
}

TEST_F(MenuSceneTest, TheFeetEntryOpensTheStairsPromptOnlyOnStairs)
{
    struct Case
    {
        std::uint8_t object;
        std::int32_t playMode;
        std::int32_t state;
    };
    for (const Case& c : {Case{kObjectStairs, kPlayNormal, 10}, Case{kObjectItem, kPlayNormal, 9},
                          Case{kObjectStairs, kPlayReplay, 1}}) {
        SCOPED_TRACE(c.state);
        game->playMode = c.playMode;
        SMapCell& cell = game->map.GetCell(20, 20);
        cell.objectKind = c.object;
        cell.objectId = c.object == kObjectItem ? New(150, false) : 0;
        Open(0);
        game->selectWindow.SetCursor(1);
        Press(kDecide);
        EXPECT_EQ(menu->GetState(), c.state);
    }
}

TEST_F(MenuSceneTest, ReplayEntriesSetTheFloorToGoOnAt)
{
    // The next and previous floors are those the replay holds; past the last one, where the run went
    // deeper, the floor after it, which ends the replay.
    struct Case
    {
        std::int32_t entry;
        std::int32_t target;
        std::map<std::int32_t, std::int32_t> floors = {{3, 0}, {4, 10}, {5, 20}};
        std::uint16_t runFloor = 5;
    };
    for (const Case& c : {Case{7, 4}, Case{8, 5}, Case{9, 3}, Case{8, 7, {{2, 0}, {4, 1}, {7, 2}}},
                          Case{9, 2, {{2, 0}, {4, 1}, {7, 2}}}, Case{8, 5, {{4, 0}}, 6}}) {
        game->playMode = kPlayReplay;
        game->replayFromList = 1;
        game->floor = 4;
        game->runStartValues = c.floors;
        game->runRecord.floor = c.runFloor;
        game->replayTargetFloor = -1;
        OpenSettings(c.entry);
        Press(kDecide);
        EXPECT_EQ(game->replayTargetFloor, c.target);
        EXPECT_EQ(menu->GetState(), 0);
    }
    OpenSettings(11);
    Press(kDecide);
    EXPECT_EQ(game->playMode, kPlayNormal) << "the replay has ended";
}

TEST_F(MenuSceneTest, TheMapEntryTogglesTheOptionAndWritesTheReplayConfiguration)
{
    std::filesystem::create_directories(Exe() / "save");
    game->config.name = "";
    game->config.showMap = true;
    Open(0);
    game->selectWindow.SetCursor(3);
    Press(kDecide);
    EXPECT_FALSE(game->config.showMap);
    EXPECT_TRUE(std::filesystem::exists(Exe() / "save" / "replay.cfg"));
    ASSERT_FALSE(game->messageWindow.pending.empty());
    EXPECT_EQ(Str(game->messageWindow.pending.back().text), "マップを表示しない設定に変更しました。");
    EXPECT_EQ(menu->GetState(), 0);
}

TEST_F(MenuSceneTest, PasswordsFromAFileTakeTheSecondAndThirdWords)
{
    const PasswordPair valid = PackPasswordValues(0x12345678, 3, 0xBEEF);
    const PasswordPair camp = PackPasswordValues(0x12345678, 0, 0xBEEF);
    const auto write = [this](const std::vector<std::uint32_t>& words, std::size_t bytes) {
        std::string data;
        for (std::uint32_t w : words)
            for (int i = 0; i < 4; ++i)
                data += char((w >> (8 * i)) & 0xFF);
        std::ofstream(Exe() / "pw.bin", std::ios::binary) << data.substr(0, bytes);
    };
    struct Case
    {
        std::vector<std::uint32_t> words;
        std::size_t bytes;
        bool taken;
    };
    for (const Case& c :
         {Case{{7, valid.first, valid.second}, 12, true}, Case{{7, valid.first, valid.second}, 8, false},
          Case{{7, camp.first, camp.second}, 12, false}}) {
        game->passwordHistory.clear();
        write(c.words, c.bytes);
        EXPECT_EQ(ReadPasswordFromFile(*game, "pw.bin"), c.taken);
        ASSERT_EQ(game->passwordHistory.size(), c.taken ? 1u : 0u);
        if (c.taken) {
            EXPECT_EQ(game->passwordHistory.front(), valid);
        }
    }
    EXPECT_FALSE(ReadPasswordFromFile(*game, "missing.bin"));
}

TEST_F(MenuSceneTest, PasswordTextLosesEverySpace)
{
    EXPECT_EQ(Str(PreparePasswordText("あい う　え\tお")), "あいうえお");
    EXPECT_EQ(Str(PreparePasswordText("  \r\n")), "");
}

TEST_F(MenuSceneTest, AFailedSaveIsReportedAndNeverGoesOnToTheTitle)
{
    for (const std::int32_t state : {69, 70}) {
        SCOPED_TRACE(state);
        game->saveName = "..";
        Open(-1);
        game->selectWindow.Open(0, 0, true, -1, -1, 0, false, "はい\nいいえ");
        menu->PushState(state);
        Press(kDecide);
        EXPECT_EQ(menu->GetState(), 71);
        EXPECT_EQ(TopText(), "ファイルの保存に失敗しました。|");
    }
    game->saveName = "abc";
    Open(-1);
    game->selectWindow.Open(0, 0, true, -1, -1, 0, false, "はい\nいいえ");
    menu->PushState(70);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 72);
    EXPECT_EQ(TopText(), "セーブしました。|");
}

TEST_F(MenuSceneTest, TextEntryKeysRouteToTheirOperations)
{
    struct Case
    {
        std::uint32_t mask;
        std::int32_t state;
        ETextEntryKey key;
        std::int32_t sound;
    };
    for (const Case& c : {Case{kDecide, 51, kEntryChoose, 2}, Case{1u << 3, 6, kEntryChoose, 2},
                          Case{1u << 4, 6, kEntryComplete, 2}, Case{1u << 4, 51, kEntryNone, -1},
                          Case{1u << 5, 51, kEntryCycleMark, 2}, Case{1u << 6, 86, kEntryNextSet, 2},
                          Case{1u << 7, 93, kEntryCursorToEnd, 2}, Case{kCancel, 51, kEntryCancel, 3},
                          Case{kUp, 51, kEntryMoveRow, 1}, Case{kRight, 51, kEntryMoveColumn, 1}}) {
        SCOPED_TRACE(c.mask);
        std::int32_t sound = 0;
        EXPECT_EQ(RouteTextEntryKey(c.mask, c.state, sound), c.key);
        EXPECT_EQ(sound, c.sound);
    }
}

} // namespace
