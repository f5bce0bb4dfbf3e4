#include "game/scenes/menu_scene.h"
#include "game/support/menu_fixture.h"

#include "game/app/app_dialogs.h"
#include "game/app/save_game.h"
#include "game/data/password.h"
#include "platform/dialog.h"
#include "platform/host/file.h"
#include "platform/host/headless/headless.h"
#include "sdk/appframe/app_manager.h"
#include "support/app_runner.h"
#include "support/wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::uint32_t kDecide = 1u << 0, kCancel = 1u << 1, kCycle = 1u << 5, kToDecide = 1u << 7,
                        kUp = 1u << 8, kLeft = 1u << 9, kDown = 1u << 10;

// Cells of the hiragana set, by their index in the table.
enum ECell : std::int32_t
{
    kA = 0,
    kI = 1,
    kU = 2,
    kE = 3,
    kO = 4,
    kHa = 5,
    kKa = 10,
    kDakuten = 48,
    kHandakuten = 49,
};

class TextEntryTest : public MenuTest
{
protected:
    // An entry of the state over the game menu.
    CSceneMenu& Enter(std::int32_t state)
    {
        OpenMenu(0);
        menu->PushState(state);
        menu->OpenTextEntry();
        return *menu;
    }
    void Type(std::int32_t cell)
    {
        menu->tableRow = cell / 10 + 1;
        menu->tableColumn = cell % 10;
        menu->ChooseTextEntryCell();
    }
    void Type(std::initializer_list<std::int32_t> cells)
    {
        for (const std::int32_t cell : cells)
            Type(cell);
    }
    void Command(std::int32_t column)
    {
        menu->tableRow = 0;
        menu->tableColumn = column;
        menu->ChooseTextEntryCell();
    }
    std::string Text(bool noGroups = false)
    {
        ZTL::string text;
        menu->ComposeEntryText(text, noGroups);
        return Str(text);
    }
    // The top window's first text, its colour codes taken.
    std::string TopText() { return Str(game->selectWindow.windows.back().items.front().text); }
};

TEST_F(TextEntryTest, VoicingMarksToggleAndCycleThroughTheFormsAKanaHas)
{
    struct Case
    {
        std::vector<std::int32_t> cells; // a cell of 100 presses the cycle key
        std::string text;
    };
    const Case cases[] = {
        {{kHa, 100}, "ば"},
        {{kHa, 100, 100}, "ぱ"},
        {{kHa, 100, 100, 100}, "は"},
        {{kKa, 100, 100}, "か"},
        {{kKa, kDakuten}, "が"},
        {{kKa, kDakuten, kDakuten}, "か"},
        {{kU, kDakuten}, "う"},
        {{kHa, kHandakuten, kDakuten}, "ぱ"},
        {{kHa, kHandakuten, kHandakuten}, "は"},
        {{kDakuten}, ""},
    };
    for (const Case& c : cases) {
        Enter(6);
        for (const std::int32_t cell : c.cells) {
            if (cell == 100) {
                Press(kCycle);
            } else {
                Type(cell);
            }
        }
        EXPECT_EQ(Text(), c.text) << c.cells.size();
        EXPECT_EQ(TopText(), c.text.empty() ? std::string("　") : c.text);
    }
}

TEST_F(TextEntryTest, CancelDeletesTheCharacterUnderTheCursorOrEmptiesTheSlotBefore)
{
    Enter(93);
    Type({kA, kI, kU});
    menu->EntryCursorBack();
    menu->EntryCursorBack();
    Press(kCancel);
    EXPECT_EQ(Text(), "あう");
    EXPECT_EQ(menu->entryCursor, 1);

    CKeyThread& keys = *control->GetKeyObject();
    keys.SetAllKeyStates(128);
    Enter(93);
    EXPECT_EQ(keys.GetRepeatValue(8), 24);
    Type({kA, kI});
    Press(kCancel);
    EXPECT_EQ(Text(), "あ");
    EXPECT_EQ(menu->entryCursor, 1);
    Press(kCancel);
    Press(kCancel);
    EXPECT_EQ(menu->GetState(), 1); // at slot 0 the entry is left
    EXPECT_EQ(keys.GetRepeatValue(8), 128);
}

TEST_F(TextEntryTest, PasswordsFillNineSlotsInGroupsOfThree)
{
    Enter(51);
    EXPECT_EQ(menu->entryLimit, 9);
    Type({kA, kI, kU, kE, kO, kA, kI, kU});
    EXPECT_EQ(menu->tableRow, 1);
    Type(kE);
    EXPECT_EQ(menu->entryCursor, 8);
    EXPECT_EQ(menu->tableRow, 0);
    EXPECT_EQ(menu->tableColumn, 4);
    EXPECT_EQ(Text(), "あいう えおあ いうえ ");
    EXPECT_EQ(TopText(), "あいう えおあ いうえ ");
    EXPECT_EQ(Text(true), "あいうえおあいうえ");
    Type(kO); // the last slot is written again
    EXPECT_EQ(Text(true), "あいうえおあいうお");
}

TEST_F(TextEntryTest, CursorsStandWhereTheTableAndLineShowThem)
{
    struct Case
    {
        std::int32_t state, cursor, row, column, entryX, tableX, tableY;
    };
    const Case cases[] = {
        {6, 3, 0, 2, 144, 132, 72},  {51, 3, 1, 0, 137, 20, 90},   {51, 8, 3, 5, 214, 160, 121},
        {93, 0, 0, 2, 102, 160, 72}, {93, 7, 7, 9, 200, 272, 187},
    };
    for (const Case& c : cases) {
        Enter(c.state);
        menu->entryCursor = c.cursor;
        menu->tableRow = c.row;
        menu->tableColumn = c.column;
        EXPECT_EQ(menu->GetEntryCursorPosition().x, c.entryX) << c.state << " " << c.cursor;
        EXPECT_EQ(menu->GetEntryCursorPosition().y, 56);
        EXPECT_EQ(menu->GetTableCursorPosition().x, c.tableX) << c.row << " " << c.column;
        EXPECT_EQ(menu->GetTableCursorPosition().y, c.tableY) << c.row;
    }
}

TEST_F(TextEntryTest, TableMovesWrapAndMapColumnsBetweenTheRows)
{
    struct Case
    {
        std::int32_t row, column;
        std::uint32_t key;
        std::int32_t rowAfter, columnAfter;
    };
    const Case cases[] = {
        {0, 0, kUp, 7, 0}, {0, 2, kDown, 1, 4}, {1, 5, kUp, 0, 2},   {7, 9, kDown, 0, 4},
        {0, 3, kUp, 7, 6}, {0, 0, kLeft, 0, 4}, {3, 0, kLeft, 3, 9}, {2, 9, 1u << 11, 2, 0},
    };
    Enter(51);
    for (const Case& c : cases) {
        menu->tableRow = c.row;
        menu->tableColumn = c.column;
        Press(c.key);
        EXPECT_EQ(menu->tableRow, c.rowAfter) << c.row << " " << c.column << " " << c.key;
        EXPECT_EQ(menu->tableColumn, c.columnAfter) << c.row << " " << c.column << " " << c.key;
    }
    Press(kToDecide);
    EXPECT_EQ(menu->tableRow, 0);
    EXPECT_EQ(menu->tableColumn, 4);
}

TEST_F(TextEntryTest, AWrongPasswordIsShownAndTheTextKept)
{
    Enter(51);
    Type({kA, kI, kU});
    Command(4);
    EXPECT_EQ(menu->GetState(), 52);
    const CSelectWindow::SWindow& window = game->selectWindow.windows.back();
    EXPECT_EQ(window.x, 48);
    EXPECT_EQ(window.y, 100);
    EXPECT_EQ(TopText(), "パスワードが間違っています");
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 51);
    EXPECT_EQ(Text(true), "あいう");
}

TEST_F(TextEntryTest, ARightPasswordJoinsTheHistoryAndEndsTheEntry)
{
    const std::string password = Str(MakePasswordText(1234567, 3, 4321));
    Enter(51);
    const std::size_t windows = game->selectWindow.windows.size();
    for (std::size_t i = 0; i < 9; ++i) {
        menu->entryCharacters[i] = password.substr(i * 2, 2).c_str();
        menu->entryMarks[i] = 0;
    }
    menu->entryCursor = 8;
    Command(4);
    ASSERT_FALSE(game->passwordHistory.empty());
    EXPECT_EQ(game->passwordHistory.front(), PackPasswordValues(1234567, 3, 4321));
    EXPECT_EQ(menu->GetState(), 1);
    EXPECT_EQ(game->selectWindow.windows.size(), windows - 2); // the table and the entry line
}

TEST_F(TextEntryTest, ANewSaveTakesTheSaveCounterAndIsWritten)
{
    g_globalData.fileCounter = 5;
    Enter(93);
    Type({kA, kI});
    Command(4);
    EXPECT_EQ(game->userNumber, 5);
    EXPECT_EQ(game->chosenDataNumber, 5); // the title then opens the camp with it
    EXPECT_EQ(g_globalData.fileCounter, 6);
    EXPECT_EQ(Str(game->saveName), "あい");
    EXPECT_TRUE(std::filesystem::exists(Exe() / "save" / Utf8("0005あい.main")));
    EXPECT_EQ(menu->GetState(), 0);
}

// A new save whose number cannot be counted on the disk, or whose set cannot be put in place, is not made:
// the game keeps the save it had, and a number the disk never counted is given again.
TEST_F(TextEntryTest, ANewSaveThatCannotBeWrittenKeepsTheSaveTheGameHad)
{
    const struct
    {
        bool counterRefused; // else a folder holds the name of the new save's body
        std::int32_t counter;
    } cases[] = {{false, 6}, {true, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.counterRefused);
        g_globalData.fileCounter = 5;
        game->chosenDataNumber = 12;
        game->userNumber = 12;
        game->saveName = "abc";
        std::filesystem::remove_all(Exe() / "save" / Utf8("0005あい.main"));
        if (!c.counterRefused) std::filesystem::create_directories(Exe() / "save" / Utf8("0005あい.main"));
        const std::size_t shown = platform::headless::GetShownMessageBoxes().size();
        platform::SetFileWriteRefusal(
            c.counterRefused ? +[](const std::string& what) { return what.ends_with("main.cfg"); } : nullptr);
        Enter(93);
        Type({kA, kI});
        Command(4);
        platform::SetFileWriteRefusal(nullptr);
        const auto boxes = platform::headless::GetShownMessageBoxes();
        ASSERT_EQ(boxes.size(), shown + 1);
        EXPECT_EQ(boxes.back().text, Utf8("セーブデータの保存に失敗しました。"));
        EXPECT_EQ(g_globalData.fileCounter, c.counter);
        EXPECT_EQ(game->userNumber, 12);
        EXPECT_EQ(game->chosenDataNumber, 12);
        EXPECT_EQ(Str(game->saveName), "abc");
        // The entry stays open with its text, for another name or for leaving.
        EXPECT_EQ(menu->GetState(), 93);
        EXPECT_EQ(Text(), "あい");
        EXPECT_FALSE(std::filesystem::exists(Exe() / "save" / Utf8("0005あい.head")));
    }
}

TEST_F(TextEntryTest, SaveNamesTheBrowserCannotListAreRefused)
{
    for (const char* name : {"a.b", "a/b", "a\\b"}) {
        g_globalData.fileCounter = 5;
        Enter(93);
        Type(kA);
        menu->FinishTextEntry(name);
        EXPECT_EQ(TopText(), "その名前は使えません") << name;
        EXPECT_EQ(g_globalData.fileCounter, 5);
        Press(kDecide);
        EXPECT_EQ(menu->GetState(), 93) << name;
        EXPECT_EQ(Text(), "あ");
    }
    Enter(93);
    menu->FinishTextEntry("表"); // a second byte of 0x5C is no separator
    EXPECT_EQ(menu->GetState(), 0);
}

TEST_F(TextEntryTest, NamingQueuesTheCommandAndGivesTheKindItsNickname)
{
    const std::uint16_t item = New(60);
    ASSERT_NE(item, CItemControl::kNone);
    menu.reset();
    control->GetFactory()->SetSceneParameter(0);
    menu = std::make_unique<CSceneMenu>(control.get(), game.get());
    menu->PushState(2);
    menu->PushState(6);
    menu->namedItem = item;
    menu->OpenTextEntry();
    Type({kA, kI});
    Command(4);
    ASSERT_FALSE(game->playerCommands.empty());
    const SPlayerCommand& command = game->playerCommands.back();
    EXPECT_EQ(command.kind, 4);
    EXPECT_EQ(command.arg1, -1);
    EXPECT_EQ(command.arg2, item);
    EXPECT_EQ(command.arg3, -1);
    EXPECT_EQ(Str(command.text), "あい");
    EXPECT_EQ(Str(game->items.nicknames[60]), "あい");
    EXPECT_EQ(menu->GetState(), 1);
}

TEST_F(TextEntryTest, SuggestionsStepThroughTheMatchingKinds)
{
    const std::uint16_t item = New(60);
    for (const std::int32_t kind : {60, 61, 62})
        game->items.MarkKindSeen(kind);
    Enter(6);
    menu->namedItem = item;
    std::vector<std::int32_t> expected;
    game->items.ListKindsOfClassMatching("", expected, game->items.GetItem(item).itemClass);
    Command(2);
    ASSERT_EQ(menu->completionList, expected);
    ASSERT_GE(expected.size(), 2u);
    EXPECT_EQ(menu->completionIndex, 0);
    Command(2);
    EXPECT_EQ(menu->completionIndex, 1);
    Command(4);
    EXPECT_EQ(Str(game->playerCommands.back().text), Str(game->items.GetKindShortName(expected[1])));
}

TEST_F(TextEntryTest, ARenamedSaveLeavesNoFilesUnderItsOldName)
{
    // A set that cannot be written under the new name (a folder holds one of its names) keeps the old.
    const struct
    {
        const char* blocked;
        std::vector<std::string> names;
        std::int32_t state;
    } cases[] = {
        {nullptr, {"0003xyz.cfg", "0003xyz.head", "0003xyz.main"}, 0},
        {"0003xyz.main", {"0003abc.cfg", "0003abc.head", "0003abc.main", "0003xyz.main"}, 86},
        {"0003xyz.cfg", {"0003abc.cfg", "0003abc.head", "0003abc.main", "0003xyz.cfg"}, 86},
        // The body goes in place before its head: it does not stay there without it.
        {"0003xyz.head", {"0003abc.cfg", "0003abc.head", "0003abc.main", "0003xyz.head"}, 86},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(Exe() / "save");
        std::filesystem::create_directories(Exe() / "save");
        if (c.blocked != nullptr) std::filesystem::create_directories(Exe() / "save" / c.blocked);
        game->userNumber = 3;
        game->saveName = "abc";
        ASSERT_EQ(WriteSaveGame(*game), 0);
        std::ofstream(Exe() / "save" / "0003abc.cfg") << "options";
        Enter(86);
        menu->BuildSaveList();
        menu->browserRows = {3}; // the list showed the save on its first row
        menu->FinishTextEntry("xyz");
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Exe() / "save"))
            if (entry.path().filename().string().rfind("0003", 0) == 0)
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.names) << (c.blocked != nullptr ? c.blocked : "");
        EXPECT_EQ(menu->GetState(), c.state);
        if (c.blocked == nullptr) continue;
        EXPECT_EQ(Str(game->saveName), "abc") << c.blocked;
        EXPECT_EQ(platform::headless::GetShownMessageBoxes().back().text,
                  Utf8("セーブデータの保存に失敗しました。"));
    }
}

// A rename writes the set under the new name and nothing under the old one; a new name that differs only
// in letter case names the same files, which are renamed, never deleted.
TEST_F(TextEntryTest, ARenamedSaveLeavesItsFilesUnderTheNewNameAlone)
{
    const struct
    {
        const char* from;
        const char* to;
    } cases[] = {{"abc", "xyz"}, {"ABC", "abc"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        std::filesystem::remove_all(Exe() / "save");
        std::filesystem::create_directories(Exe() / "save");
        game->userNumber = 3;
        game->saveName = c.from;
        ASSERT_EQ(WriteSaveGame(*game), 0);
        std::ofstream(Exe() / "save" / ("0003" + std::string(c.from) + ".cfg")) << "options";
        Enter(86);
        menu->BuildSaveList();
        menu->browserRows = {3}; // the list showed the save on its first row
        menu->FinishTextEntry(c.to);
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Exe() / "save"))
            if (entry.path().filename().string().rfind("0003", 0) == 0)
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        const std::string stem = "0003" + std::string(c.to);
        EXPECT_EQ(names, (std::vector<std::string>{stem + ".cfg", stem + ".head", stem + ".main"}));
        EXPECT_EQ(menu->GetState(), 0);
        std::ifstream options(Exe() / "save" / (stem + ".cfg"));
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(options), {}), "options");
    }
}

TEST_F(TextEntryTest, DirectInputHandsTheTypedTextOnWithinTheEntrysLimit)
{
    RegisterAppResources();
    const std::string password = Str(MakePasswordText(1234567, 3, 4321));
    // The password typed with a full-width space after each group, as the entry line shows it.
    const std::string spaced =
        password.substr(0, 6) + "　" + password.substr(6, 6) + "　" + password.substr(12, 6);
    const struct
    {
        std::int32_t state;
        std::string typed;
        int button;
        std::int32_t limit; // characters
    } cases[] = {
        {6, "あいうえおかきくけ", kButtonOk, 8},
        {6, "あい", kButtonCancel, 8},
        {51, spaced, kButtonOk, 11},
        {51, password.substr(0, 6) + " " + password.substr(6, 6) + " " + password.substr(12, 6), kButtonOk,
         11},
        // A save name keeps the limit the last entry set.
        {93, "ｘｙｚ", kButtonOk, 11},
    };
    for (const auto& c : cases) {
        game->playerCommands.clear();
        game->passwordHistory.clear();
        ASSERT_TRUE(test_support::RunInApplication([&](test_support::BodyApp&) {
            Draw::SetThreadPlaneOwner(&m_display);
            const platform::HWND window = zelvoranGameSDK3rd::AppFrame::CAppManager::GetCurrentHWnd();
            Enter(c.state);
            menu->namedItem = New(60);
            // A person types into the dialog once it shows over the window, and presses a button.
            std::thread person([&] {
                platform::headless::Events().Focus(window, true);
                platform::HWND dialog = nullptr;
                const bool shown = test_support::WaitUntil(
                    [&] {
                        dialog = platform::GetFocus();
                        return dialog != nullptr && dialog != window;
                    },
                    "the direct-input dialog");
                if (!shown) return;
                platform::EditDialogText(dialog, kTextEntryEdit, c.typed);
                platform::ClickDialogButton(dialog, c.button);
            });
            Command(1);
            person.join();
            Draw::SetThreadPlaneOwner(nullptr);
        }));
        EXPECT_EQ(g_textEntryLimit, c.limit) << c.state;
        if (c.button == kButtonCancel) {
            EXPECT_TRUE(game->playerCommands.empty());
            EXPECT_EQ(menu->GetState(), c.state);
        } else if (c.state == 51) {
            ASSERT_FALSE(game->passwordHistory.empty());
            EXPECT_EQ(game->passwordHistory.front(), PackPasswordValues(1234567, 3, 4321));
        } else if (c.state == 93) {
            EXPECT_EQ(Str(game->saveName), c.typed);
        } else {
            ASSERT_FALSE(game->playerCommands.empty());
            EXPECT_EQ(Str(game->playerCommands.back().text), "あいうえおかきく");
        }
    }
}

} // namespace
