#include "game/scenes/menu_scene.h"

#include "game/app/app.h"
#include "game/data/global_data.h"
#include "game/data/key_config.h"
#include "game/support/menu_fixture.h"
#include "platform/host/file.h"
#include "platform/host/headless/headless.h"
#include "platform/input.h"
#include "support/app_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kDecide = 1u << 0, kCancel = 1u << 1, kUp = 1u << 8, kLeft = 1u << 9,
                        kDown = 1u << 10, kRight = 1u << 11;

class MenuOptionsTest : public MenuTest
{
protected:
    void Open(std::int32_t request) { OpenMenu(request); }
    // The settings submenu's entry chosen.
    void OpenSetting(std::int32_t entry)
    {
        Open(0);
        game->selectWindow.SetCursor(5);
        Press(kDecide);
        ASSERT_EQ(menu->GetState(), 13);
        game->selectWindow.SetCursor(entry);
        Press(kDecide);
    }
    const CSelectWindow::SWindow& Top() { return game->selectWindow.windows.back(); }
    std::string CursorText() { return Str(Top().items.at(std::size_t(Top().cursor)).text); }
    CKeyThread& Keys() { return menu->Keys(); }
};

TEST_F(MenuOptionsTest, TheSpeedListOpensOnTheCurrentSpeed)
{
    struct Case
    {
        std::int32_t speed;
        const char* entry;
    };
    for (const Case& c :
         {Case{7, "  入力待ち"}, Case{30, "  遅い"}, Case{-1, "  入力待ち"}, Case{6, "  最速"}}) {
        SCOPED_TRACE(c.speed);
        game->config.messageSpeed = c.speed;
        OpenSetting(5);
        ASSERT_EQ(menu->GetState(), 19);
        EXPECT_EQ(CursorText(), c.entry);
    }
}

TEST_F(MenuOptionsTest, AChosenSpeedIsStoredWrittenAndGivenToTheMessageWindow)
{
    game->config.messageSpeed = 30;
    OpenSetting(5);
    Press(kCancel);
    EXPECT_EQ(menu->GetState(), 13);
    EXPECT_EQ(game->config.messageSpeed, 30);
    EXPECT_FALSE(fs::exists(Exe() / "save" / "replay.cfg"));

    game->selectWindow.SetCursor(5);
    Press(kDecide);
    game->selectWindow.SetCursor(3);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 13);
    EXPECT_EQ(game->config.messageSpeed, 12);
    EXPECT_TRUE(fs::exists(Exe() / "save" / "replay.cfg"));
    EXPECT_EQ(game->messageWindow.defaultWait, 12);
}

TEST_F(MenuOptionsTest, AutoTurnIsStoredAndLoggedForReplays)
{
    OpenSetting(4);
    ASSERT_EQ(menu->GetState(), 18);
    game->selectWindow.SetCursor(1);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 13);
    EXPECT_EQ(game->autoTurn, 1);
    ASSERT_FALSE(game->actionLog.GetWords().empty());
    EXPECT_EQ(game->actionLog.GetWords().back(), 10u | 1u << 8);
}

TEST_F(MenuOptionsTest, GraphicSwitchesChangeOnlyTheCopiesUntilDecided)
{
    CApp app;
    g_app = &app;
    app.SetDoubleSizeCopy(false);
    const SConfig before = game->config;

    OpenSetting(1);
    ASSERT_EQ(menu->GetState(), 15);
    game->selectWindow.SetCursor(6);
    Press(kLeft);
    EXPECT_EQ(menu->GetState(), 15) << "left on \"決定\" does nothing";
    EXPECT_FALSE(app.GetDoubleSizeCopy());

    game->selectWindow.SetCursor(4);
    Press(kRight);
    EXPECT_TRUE(menu->doubleSizeCopy);
    EXPECT_EQ(Top().cursor, 4) << "the rebuilt list keeps its cursor";
    EXPECT_EQ(Str(Top().items.at(12).text), " オン");
    game->selectWindow.SetCursor(7);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 13);
    EXPECT_FALSE(app.GetDoubleSizeCopy()) << "\"キャンセル\" changes nothing";
    EXPECT_EQ(game->config.translucentWindows, before.translucentWindows);

    game->selectWindow.SetCursor(1);
    Press(kDecide);
    for (const std::int32_t row : {1, 2, 4}) {
        game->selectWindow.SetCursor(row);
        Press(kDecide);
    }
    game->selectWindow.SetCursor(6);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 13);
    EXPECT_TRUE(app.GetDoubleSizeCopy());
    EXPECT_TRUE(menu->IsFullRebuildRequested());
    EXPECT_NE(game->config.translucentWindows, before.translucentWindows);
    EXPECT_FALSE(game->config.darknessFades);
    EXPECT_EQ(game->map.displayFlag, 1);
    EXPECT_TRUE(fs::exists(Exe() / "save" / "replay.cfg"));

    // Turning the fade back on takes effect at once as well.
    game->selectWindow.SetCursor(1);
    Press(kDecide);
    for (const std::int32_t row : {2, 6}) {
        game->selectWindow.SetCursor(row);
        Press(kDecide);
    }
    EXPECT_EQ(game->map.displayFlag, 0);
    menu.reset();
    g_app = nullptr;
}

TEST_F(MenuOptionsTest, DefaultsKeepTheKeyScreenAndDecideWritesTheFile)
{
    OpenSetting(3);
    ASSERT_EQ(menu->GetState(), 17);
    EXPECT_EQ(Top().type, CSelectWindow::kTypeSettingsList);
    const std::size_t windows = game->selectWindow.windows.size();
    game->selectWindow.SetCursor(9);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 17);
    EXPECT_EQ(game->selectWindow.windows.size(), windows);
    EXPECT_EQ(Top().cursor, 9);
    fs::remove(Exe() / "save" / "key.cfg");
    game->selectWindow.SetCursor(10);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 13);
    EXPECT_TRUE(fs::exists(Exe() / "save" / "key.cfg"));
}

TEST_F(MenuOptionsTest, TheCancelKeyKeepsTheEditsUntilTheFileIsReadAgain)
{
    const std::vector<SKeyConfigData> stored = {{0, CKeyThread::kKeyboard, platform::DIK_Q}};
    const std::vector<std::uint8_t> bytes = EncodeKeyConfig(stored);
    std::ofstream(Exe() / "save" / "key.cfg", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    OpenSetting(3);
    ASSERT_EQ(Keys().FindBinding(0, false), platform::DIK_Q);
    EXPECT_EQ(menu->keyTable[0], platform::DIK_Q);
    game->selectWindow.SetCursor(9);
    Press(kDecide);
    EXPECT_EQ(Keys().FindBinding(0, false), platform::DIK_Z);
    Press(kCancel);
    EXPECT_EQ(menu->GetState(), 13);
    EXPECT_EQ(Keys().FindBinding(0, false), platform::DIK_Z) << "the edits stay in force";

    Press(kDecide);
    ASSERT_EQ(menu->GetState(), 17);
    game->selectWindow.SetCursor(11);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 13);
    EXPECT_EQ(Keys().FindBinding(0, false), platform::DIK_Q) << "\"キャンセル\" reads the file again";
}

TEST_F(MenuOptionsTest, APadCodeNoNameCanStandForShowsAsUnknown)
{
    // A damaged file's pad code at the top of the int range.
    const std::vector<SKeyConfigData> stored = {{0, CKeyThread::kPad, 0x7FFFFFFF}};
    const std::vector<std::uint8_t> bytes = EncodeKeyConfig(stored);
    std::ofstream(Exe() / "save" / "key.cfg", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    OpenSetting(2);
    ASSERT_EQ(Keys().FindBinding(0, true), 0x7FFFFFFF);
    std::vector<std::string> texts;
    for (const auto& item : Top().items)
        texts.push_back(Str(item.text));
    EXPECT_NE(std::find(texts.begin(), texts.end(), "＞ 不明"), texts.end());
}

TEST_F(MenuOptionsTest, TheDirectionChainCapturesUpLeftDownRightWithPauses)
{
    std::vector<std::string> prompts;
    std::vector<std::int32_t> bindings;
    bool ignoredDuringPause = false;
    test_support::RunInApplication([&](test_support::BodyApp&) {
        Draw::SetThreadPlaneOwner(&m_display);
        CKeyThread* keys = new CKeyThread;
        control->SetKeyObject(ZTL::smart_ptr<CKeyThread>(keys));
        keys->Setup();
        OpenSetting(3);
        game->selectWindow.SetCursor(8);
        Press(kDecide);
        const auto step = [&] {
            std::uint32_t mask = 0;
            keys->BuildKeyMask(mask);
            menu->OnMove(&mask);
        };
        for (const std::uint8_t key : {platform::DIK_I, platform::DIK_J, platform::DIK_K, platform::DIK_L}) {
            prompts.push_back(Str(game->selectWindow.windows.back().items.front().text));
            platform::headless::SetKey(key, true);
            step();
            platform::headless::SetKey(key, false);
            // The pause of 15 frames, then the next prompt.
            for (int frame = 0; frame < 16 && !keys->IsCapturing(); ++frame)
                step();
        }
        for (int key = 8; key <= 11; ++key)
            bindings.push_back(keys->FindBinding(key, false));
        // Right after the last capture the screen still pauses.
        ignoredDuringPause = menu->captureTarget == -1 && menu->capturePause > 0;
        menu.reset();
        platform::headless::ReleaseAllKeys();
        Draw::SetThreadPlaneOwner(nullptr);
    });
    EXPECT_EQ(prompts,
              (std::vector<std::string>{"方向キー：上", "方向キー：左", "方向キー：下", "方向キー：右"}));
    EXPECT_EQ(bindings, (std::vector<std::int32_t>{platform::DIK_I, platform::DIK_J, platform::DIK_K,
                                                   platform::DIK_L}));
    EXPECT_TRUE(ignoredDuringPause);
}

TEST_F(MenuOptionsTest, TheHistoryScrollsWithArrowsTrackAndThumb)
{
    for (int i = 0; i < 25; ++i) {
        CMessageWindow::SLine line;
        line.text = ZTL::string(("行" + std::to_string(i)).c_str());
        game->messageWindow.log.push_back(line);
    }
    Open(0);
    menu->PushState(14);
    menu->scrollStart = 5;
    menu->OpenScrollTextList(false);
    const auto find = [this](std::int32_t left) {
        for (const CSelectWindow::SImage& image : Top().images)
            if (image.left == left) return image;
        return CSelectWindow::SImage{-1};
    };
    EXPECT_EQ(Top().items.size(), 10u);
    EXPECT_EQ(find(136).y, 66) << "the thumb";
    EXPECT_EQ(find(136).bottom - find(136).top, 72);
    EXPECT_EQ(find(128).y, 22) << "the up arrow";
    EXPECT_EQ(find(112).x, 153);
    EXPECT_EQ(find(112).y, 208) << "the down arrow";
    for (int i = 0; i < 20; ++i)
        Press(kDown);
    EXPECT_EQ(menu->scrollStart, 15);
    EXPECT_EQ(find(112).imageId, -1) << "no line below: no down arrow";
    Press(kUp);
    EXPECT_EQ(menu->scrollStart, 14);
    Press(kCancel);
    EXPECT_EQ(menu->GetState(), 1);

    game->messageWindow.log.clear();
    menu->PushState(14);
    menu->scrollStart = 0;
    menu->OpenScrollTextList(false);
    ASSERT_EQ(Top().items.size(), 1u);
    EXPECT_EQ(Str(Top().items[0].text), "　") << "an empty history";
    EXPECT_TRUE(Top().images.empty());
}

// The suspend promises a resume from here only once the disk holds the run as it stands; a disk that
// takes nothing gets the box that says where a resume will start instead.
TEST_F(MenuOptionsTest, SuspendWaitsForAKeyEndsThePlayAndGuardsTheSave)
{
    // (the end of the paths refused: none, every one, the guard's settings file alone)
    static std::string refusal;
    for (const char* refusing : {"", "/", "main.cfg"}) {
        SCOPED_TRACE(refusing);
        refusal = refusing;
        const bool refused = !refusal.empty();
        game->dungeon = 1;
        ASSERT_EQ(game->actionLog.SaveSuspendData(game->userNumber, game->runNumber, game->floor), 0);
        game->actionLog.WriteCommand(MakePlayerCommand(5, 1));
        g_globalData.saveEntries.clear();
        game->messageWindow.pending.clear();
        const std::size_t boxes = platform::headless::GetShownMessageBoxes().size();
        platform::SetFileWriteRefusal([](const std::string& what) {
            return !refusal.empty() && (refusal == "/" || what.ends_with(refusal));
        });
        Open(0);
        menu->SuspendToTitle();
        platform::SetFileWriteRefusal(nullptr);
        std::vector<std::string> lines;
        for (const CMessageWindow::SLine& line : game->messageWindow.pending)
            lines.push_back(Str(line.text));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(game->messageWindow.pending.back().wait, -1);
        EXPECT_EQ(game->endOfPlay, 1);
        const auto shown = platform::headless::GetShownMessageBoxes();
        if (refused) {
            EXPECT_EQ(lines.back(), "冒険を中断して、タイトル画面に戻ります。");
            ASSERT_EQ(shown.size(), boxes + 1);
            EXPECT_EQ(
                shown.back().text,
                Utf8("セーブデータの保存に失敗しました。\n次回は最後に保存できたところから始まります。"));
            continue;
        }
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[lines.size() - 2], "冒険を中断して、タイトル画面に戻ります。");
        EXPECT_EQ(lines.back(), "次回はこの続きから始められます。");
        EXPECT_EQ(shown.size(), boxes);
        ASSERT_EQ(g_globalData.saveEntries.count(game->userNumber), 1u);
        EXPECT_TRUE(g_globalData.saveEntries[game->userNumber].flag);
        // The command given before the suspend is on the disk with it.
        ASSERT_EQ(game->actionLog.LoadSuspendData(game->userNumber, game->runNumber, game->floor), 0);
        SPlayerCommand command;
        game->actionLog.ReadCommand(command);
        EXPECT_EQ(command.kind, 5);
        // The guard on the disk names that log: one made before the command went in would not resume.
        SGlobalData stored;
        ASSERT_EQ(LoadGlobalData(stored), kGlobalDataLoaded);
        EXPECT_EQ(stored.saveEntries.at(game->userNumber).value,
                  game->checkValue + game->actionLog.GetRunningSum());
    }
}

} // namespace
