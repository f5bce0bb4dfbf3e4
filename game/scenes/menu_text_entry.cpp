#include "game/app/app_dialogs.h"
#include "game/app/game_resource.h"
#include "game/app/key_thread.h"
#include "game/app/save_game.h"
#include "game/asset_ids.h"
#include "game/data/error_box.h"
#include "game/data/global_data.h"
#include "game/data/password.h"
#include "game/scenes/menu_scene.h"
#include "platform/dialog.h"
#include "platform/host/file.h"
#include "sdk/appframe/app_manager.h"
#include "sdk/auxiliary/file.h"
#include "sdk/ztl/sjis.h"

#include <cstring>
#include <iterator>
#include <string_view>

namespace {

constexpr std::int32_t kRows = 8; // the command row and seven rows of characters
constexpr std::int32_t kColumns = 10;
constexpr std::int32_t kCommands = 5;
constexpr std::int32_t kCommandSwitch = 0;
constexpr std::int32_t kCommandDirect = 1;
constexpr std::int32_t kCommandThird = 2;
constexpr std::int32_t kCommandBack = 3;
constexpr std::int32_t kCommandDecide = 4;
constexpr std::int32_t kEntryKeyRepeat = 24;
constexpr const char* kEmptyCell = "　";
constexpr const char* kWrongPassword = "パスワードが間違っています";
constexpr const char* kUnusableName = "その名前は使えません";
constexpr const char* kUnreadableFile = "ファイルが読み込めませんでした。";
constexpr std::int32_t kWrongPasswordState = 52;
constexpr std::int32_t kUnusableNameState = 46;

// Seven rows of ten, as the table window shows them.
constexpr std::string_view kSets[] = {
    "あいうえおはひふへほかきくけこまみむめもさしすせそや　ゆ　よたちつてとらりるれろなにぬねのわをん゛゜"
    "ぁぃぅぇぉゃゅょっー０１２３４５６７８９",
    "アイウエオハヒフヘホカキクケコマミムメモサシスセソヤ　ユ　ヨタチツテトラリルレロナニヌネノワヲン゛゜"
    "ァィゥェォャュョッー０１２３４５６７８９",
    "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ＋－！？ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔ"
    "ｕｖｗｘｙｚ　　　　０１２３４５６７８９",
};

// Character i of a string of double-byte characters.
std::string CharacterAt(std::string_view text, std::size_t i)
{
    return std::string(text.substr(i * 2, 2));
}

std::map<std::string, std::string> PairUp(std::string_view plain, std::string_view voiced)
{
    std::map<std::string, std::string> table;
    for (std::size_t i = 0; i * 2 < plain.size(); ++i)
        table[CharacterAt(plain, i)] = CharacterAt(voiced, i);
    return table;
}

std::string Std(const ZTL::string& text)
{
    return std::string(text.c_str(), text.size());
}

// A save name the browser can list: it reads a name up to its first "." and every file named after it
// must stay in the save folder.
bool IsUsableSaveName(const ZTL::string& name)
{
    const std::string text = Std(name);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (lead) {
            ++i; // the second byte of a double-byte character is never a separator
            continue;
        }
        if (c == '.' || c == '/' || c == '\\') return false;
    }
    return IsSafeSaveName(name);
}

std::string_view HostView(const ZTL::string& path)
{
    return std::string_view(path.c_str(), path.size());
}

// Whether two save names differ at most in the letter case of single-byte characters: the host finds
// such names as the same files.
bool SameNameIgnoringCase(const ZTL::string& a, const ZTL::string& b)
{
    if (a.size() != b.size()) return false;
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : int(c); };
    for (std::size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (ZTL::IsSjisLeadByte(x)) {
            if (x != y || i + 1 >= a.size() || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        if (lower(x) != lower(y)) return false;
    }
    return true;
}

// Writes the loaded set under the new name with its options, then removes the old files, so that one
// save number keeps one name. False when the new set cannot be written whole: the old set and the game
// state's name stay as they were, and nothing of the new set is left.
bool RenameSaveSet(SGameResource& game, const ZTL::string& name)
{
    const auto resolve = [](const ZTL::string& path) { return Auxiliary::CFile::ResolvePath(path); };
    const ZTL::string oldPaths[] = {resolve(MakeSavePath(game)), resolve(MakeSaveHeadPath(game)),
                                    resolve(MakeSaveOptionsPath(game))};
    const bool sameFiles = SameNameIgnoringCase(game.saveName, name);
    std::vector<unsigned char> options;
    const bool hasOptions = platform::ReadWholeFile(HostView(oldPaths[2]), options);
    const ZTL::string oldName = game.saveName;
    game.saveName = name;
    if (WriteSaveGame(game) != 0) {
        game.saveName = oldName;
        return false;
    }
    if (sameFiles) {
        // The new names find the old files, so the set was just written over itself: the files take
        // the new letter case and nothing is deleted.
        const std::size_t folder = std::strlen("save\\");
        const ZTL::string newNames[] = {MakeSavePath(game).substr(folder),
                                        MakeSaveHeadPath(game).substr(folder),
                                        MakeSaveOptionsPath(game).substr(folder)};
        for (std::size_t i = 0; i < std::size(oldPaths); ++i)
            if (platform::FileExists(HostView(oldPaths[i])))
                platform::RenameFileInPlace(HostView(oldPaths[i]), HostView(newNames[i]));
        return true;
    }
    if (hasOptions) {
        const ZTL::string newOptions = resolve(MakeSaveOptionsPath(game));
        if (platform::WriteWholeFile(HostView(newOptions), options.data(), options.size()) !=
            platform::WriteResult::Ok) {
            for (const ZTL::string& path : {resolve(MakeSavePath(game)), resolve(MakeSaveHeadPath(game))})
                platform::DeleteFile(HostView(path));
            game.saveName = oldName;
            ShowErrorBox(kSaveFailedMessage);
            return false;
        }
    }
    for (const ZTL::string& path : oldPaths)
        platform::DeleteFile(HostView(path));
    return true;
}

} // namespace

const std::map<std::string, std::string>& CSceneMenu::DakutenTable()
{
    static const std::map<std::string, std::string> table =
        PairUp("かきくけこさしすせそたちつてとはひふへほカキクケコサシスセソタチツテトハヒフヘホ",
               "がぎぐげござじずぜぞだぢづでどばびぶべぼガギグゲゴザジズゼゾダヂヅデドバビブベボ");
    return table;
}

const std::map<std::string, std::string>& CSceneMenu::HandakutenTable()
{
    static const std::map<std::string, std::string> table =
        PairUp("はひふへほハヒフヘホ", "ぱぴぷぺぽパピプペポ");
    return table;
}

void CSceneMenu::ResetTextEntry(std::int32_t limit)
{
    entryLimit = limit;
    entryCursor = 0;
    tableColumn = 0;
    tableRow = 0;
    tableSet = 0;
    for (std::int32_t i = 0; i < kEntrySlots; ++i) {
        entryCharacters[std::size_t(i)] = kEmptyCell;
        entryMarks[std::size_t(i)] = -1;
    }
    completionIndex = -1;
    completionList.clear();
}

void CSceneMenu::OpenTextEntry()
{
    ResetTextEntry(m_state == kPasswordEntryState ? 9 : 8);
    Game().selectWindow.OpenCharacterTable(tableSet, m_state == kNamingEntryState);
    RedrawWindows();
    RefreshEntryLine(false);
    // A held key repeats while the entry is open, so that a direction key walks the table; the keys'
    // repeat goes back to what it was when the entry ends.
    entryKeyRepeatBefore = Keys().GetRepeatValue(0);
    Keys().SetAllKeyStates(kEntryKeyRepeat);
}

void CSceneMenu::ReopenCharacterTable(bool closeFirst, bool naming)
{
    if (closeFirst) CloseWindowGroup();
    Game().selectWindow.OpenCharacterTable(tableSet, naming);
    RedrawWindows();
    RefreshEntryLine(false);
}

void CSceneMenu::ComposeEntryText(ZTL::string& text, bool noGroups) const
{
    std::string out;
    const bool password = m_state == kPasswordEntryState && !noGroups;
    for (std::int32_t i = 0; i < kEntrySlots && entryMarks[std::size_t(i)] >= 0; ++i) {
        const std::string typed = Std(entryCharacters[std::size_t(i)]);
        const std::int32_t mark = entryMarks[std::size_t(i)];
        const std::map<std::string, std::string>* table = mark == 1   ? &DakutenTable()
                                                          : mark == 2 ? &HandakutenTable()
                                                                      : nullptr;
        const auto voiced = table != nullptr ? table->find(typed) : DakutenTable().end();
        out += table != nullptr && voiced != table->end() ? voiced->second : typed;
        if (password && (i + 1) % 3 == 0) out += " ";
    }
    text = out.c_str();
}

void CSceneMenu::RefreshEntryLine(bool closeFirst)
{
    if (closeFirst) Game().selectWindow.CloseTop(true, &m_dirty);
    ZTL::string shown;
    if (completionIndex >= 0 && std::size_t(completionIndex) < completionList.size()) {
        shown = Game().items.GetKindShortName(completionList[std::size_t(completionIndex)]);
    } else {
        ComposeEntryText(shown);
    }
    if (shown.size() == 0) shown = kEmptyCell;
    const std::int32_t width = 16 * entryLimit + (m_state == kPasswordEntryState ? 16 : 0);
    ZTL::string text = "#y";
    text += shown;
    Game().selectWindow.Open((320 - width) / 2, 40, false, width, -1, -1, true, text);
    // Every character one cell wide, so that the entry cursor stands under the character it edits.
    Game().selectWindow.UseMonospaceFont();
    RedrawWindows();
}

void CSceneMenu::MoveTableRow(bool up)
{
    const std::int32_t row = up ? (tableRow + kRows - 1) % kRows : (tableRow + 1) % kRows;
    if (tableRow == 0 && row != 0) {
        constexpr std::int32_t kToCharacter[kCommands] = {0, 1, 4, 6, 8};
        tableColumn = kToCharacter[tableColumn];
    } else if (tableRow != 0 && row == 0) {
        constexpr std::int32_t kToCommand[kColumns] = {0, 1, 1, 1, 2, 2, 3, 3, 4, 4};
        tableColumn = kToCommand[tableColumn];
    }
    tableRow = row;
}

void CSceneMenu::MoveTableColumn(bool left)
{
    const std::int32_t count = tableRow == 0 ? kCommands : kColumns;
    tableColumn = left ? (tableColumn + count - 1) % count : (tableColumn + 1) % count;
}

void CSceneMenu::EntryCursorBack()
{
    if (entryCursor > 0) --entryCursor;
}

void CSceneMenu::EntryCursorForward()
{
    if (entryCursor < entryLimit - 1) ++entryCursor;
}

void CSceneMenu::CycleEntryMark(std::int32_t mark)
{
    // The mark goes on the character under the cursor, or on the one before an empty slot.
    std::int32_t slot = entryCursor;
    if (entryMarks[std::size_t(slot)] < 0 && slot > 0) --slot;
    std::int32_t& current = entryMarks[std::size_t(slot)];
    if (current < 0) return;
    if (mark < 0) {
        const std::string typed = Std(entryCharacters[std::size_t(slot)]);
        const std::int32_t forms =
            1 + std::int32_t(DakutenTable().count(typed)) + std::int32_t(HandakutenTable().count(typed));
        current = (current + 1) % forms;
        return;
    }
    if (current == 0) {
        current = mark;
    } else if (current == mark) {
        current = 0;
    }
}

void CSceneMenu::EraseEntryCharacter()
{
    if (entryCursor <= 0) return;
    if (completionIndex >= 0) {
        completionIndex = -1;
        completionList.clear();
        return;
    }
    if (entryMarks[std::size_t(entryCursor)] < 0) {
        --entryCursor;
        entryCharacters[std::size_t(entryCursor)] = kEmptyCell;
        entryMarks[std::size_t(entryCursor)] = -1;
        return;
    }
    for (std::int32_t i = entryCursor; i + 1 < kEntrySlots; ++i) {
        entryCharacters[std::size_t(i)] = entryCharacters[std::size_t(i + 1)];
        entryMarks[std::size_t(i)] = entryMarks[std::size_t(i + 1)];
    }
    entryCharacters[kEntrySlots - 1] = kEmptyCell;
    entryMarks[kEntrySlots - 1] = -1;
}

void CSceneMenu::CompleteEntryName()
{
    if (!completionList.empty()) {
        completionIndex = (completionIndex + 1) % std::int32_t(completionList.size());
        return;
    }
    if (namedItem == kNoItem) return;
    ZTL::string text;
    ComposeEntryText(text);
    Game().items.ListKindsOfClassMatching(text, completionList, Game().items.GetItem(namedItem).itemClass);
    if (!completionList.empty()) completionIndex = 0;
}

void CSceneMenu::ChooseTextEntryCell()
{
    const bool naming = m_state == kNamingEntryState;
    const bool password = m_state == kPasswordEntryState;
    if (tableRow > 0) {
        const std::string cell =
            CharacterAt(kSets[tableSet], std::size_t((tableRow - 1) * kColumns + tableColumn));
        if (cell == "゛" || cell == "゜") {
            CycleEntryMark(cell == "゛" ? 1 : 2);
        } else {
            entryCharacters[std::size_t(entryCursor)] = cell.c_str();
            entryMarks[std::size_t(entryCursor)] = 0;
            completionIndex = -1;
            completionList.clear();
            if (entryCursor < entryLimit - 1) {
                ++entryCursor;
            } else {
                tableColumn = kCommandDecide;
                tableRow = 0;
            }
        }
        RefreshEntryLine(true);
        return;
    }
    switch (tableColumn) {
    case kCommandSwitch:
        tableSet = (tableSet + 1) % 3;
        ReopenCharacterTable(true, naming);
        break;
    case kCommandDirect: {
        if (naming) g_textEntryLimit = entryLimit;
        if (password) g_textEntryLimit = entryLimit + 2;
        g_textEntryResult = "";
        platform::DialogBox(platform::MakeIntResource(kDialogTextEntry),
                            zelvoranGameSDK3rd::AppFrame::CAppManager::GetCurrentHWnd(), TextEntryDialogProc,
                            0);
        if (g_textEntryResult.size() != 0) {
            // The spaces a player types between the groups, half or full width, are not part of the
            // password.
            FinishTextEntry(password ? PreparePasswordText(g_textEntryResult) : g_textEntryResult);
        }
        RequestFullRebuild();
        break;
    }
    case kCommandThird:
        if (naming) {
            CompleteEntryName();
            RefreshEntryLine(true);
        } else if (password) {
            EntryCursorForward();
        }
        break;
    case kCommandBack:
        EntryCursorBack();
        break;
    default: {
        ZTL::string text;
        if (completionIndex >= 0 && std::size_t(completionIndex) < completionList.size()) {
            text = Game().items.GetKindShortName(completionList[std::size_t(completionIndex)]);
        } else {
            ComposeEntryText(text, true);
        }
        FinishTextEntry(text);
        break;
    }
    }
}

void CSceneMenu::EndTextEntryKeys()
{
    Keys().SetAllKeyStates(entryKeyRepeatBefore);
}

void CSceneMenu::LeaveTextEntry()
{
    EndTextEntryKeys();
    CloseWindowGroup();
    PopState();
    namedItem = kNoItem;
}

void CSceneMenu::FinishTextEntry(const ZTL::string& text)
{
    SGameResource& game = Game();
    switch (m_state) {
    case kPasswordEntryState: {
        std::uint32_t a = 0, b = 0;
        std::uint16_t c = 0;
        if (DecodePassword(text, a, b, c) != kPasswordValid) {
            PushState(kWrongPasswordState);
            SetDropAccept(false);
            game.selectWindow.Open(48, 100, true, -1, -1, -1, false, kWrongPassword);
            RedrawWindows();
            return;
        }
        AddPasswordTextToHistory(game.passwordHistory, text);
        EndTextEntryKeys();
        // The entry line lies in the table's group and goes with it.
        CloseWindowGroup();
        PopState();
        // The training screen's information shows the newly registered password.
        CloseTopWindow();
        OpenTrainingScreen(true);
        return;
    }
    case 86:
    case 93:
        if (!IsUsableSaveName(text)) {
            PushState(kUnusableNameState);
            game.selectWindow.Open(-1, -1, true, -1, -1, -1, false, kUnusableName);
            RedrawWindows();
            return;
        }
        if (m_state == 86) {
            if (!LoadBrowserSave()) {
                ShowErrorBox(kUnreadableFile);
                return;
            }
            if (Std(text) != Std(game.saveName)) {
                if (!RenameSaveSet(game, text)) return;
                BuildSaveList();
            }
            game.ResetForNewGame();
        } else {
            const std::int32_t oldNumber = game.userNumber, oldChosen = game.chosenDataNumber;
            const ZTL::string oldName = game.saveName;
            const std::int32_t counter = g_globalData.fileCounter;
            game.userNumber = counter;
            // The title starts the chosen save when the menu ends: a new save is chosen as it is made.
            game.chosenDataNumber = game.userNumber;
            AdvanceFileCounter(g_globalData);
            // The number is used up on the disk before a save takes it, so that no later save is given
            // it again.
            const bool counted = SaveGlobalData(g_globalData) == 0;
            if (!counted) {
                g_globalData.fileCounter = counter;
                ShowErrorBox(kSaveFailedMessage);
            }
            game.saveName = text;
            if (!counted || WriteSaveGame(game) != 0) {
                // The write has told the player; the game keeps the save it had, and the entry its
                // text, so that another name can be tried or the entry left.
                game.userNumber = oldNumber;
                game.chosenDataNumber = oldChosen;
                game.saveName = oldName;
                return;
            }
        }
        EndTextEntryKeys();
        PushState(0);
        SetDropAccept(false);
        return;
    default: {
        EndTextEntryKeys();
        SPlayerCommand command;
        command.kind = 4;
        command.arg2 = namedItem;
        command.text = text;
        game.playerCommands.push_back(command);
        if (namedItem != kNoItem) game.items.SetKindNickname(game.items.GetItem(namedItem).kind, text);
        CloseWindowGroup();
        PopState();
        PopState();
        RedrawWindows();
        ReopenItemList();
        return;
    }
    }
}

Draw::POINT CSceneMenu::GetEntryCursorPosition() const
{
    const std::int32_t x = m_state == kPasswordEntryState ? 7 * (2 * entryCursor + entryCursor / 3) + 88
                                                          : 14 * entryCursor + 102;
    return Draw::POINT{x, 56};
}

Draw::POINT CSceneMenu::GetTableCursorPosition() const
{
    std::int32_t unit = 2 * tableColumn;
    if (tableRow == 0) {
        const std::int32_t units[kCommands] = {0, 3, m_state == kNamingEntryState ? 8 : 10, 13, 16};
        unit = units[tableColumn];
    }
    return Draw::POINT{14 * unit + 20, 16 * tableRow + tableRow / 2 + 72 + (tableRow == 1 ? 2 : 0)};
}

void CSceneMenu::DrawTextEntryCursors(Draw::ISurface& plane)
{
    const Draw::POINT entry = GetEntryCursorPosition();
    if (completionIndex < 0) {
        const Draw::RECT underline{112, 40, 128, 48};
        BltImage(plane, kImageInterface, entry.x, entry.y, &underline);
    }
    const Draw::RECT area{entry.x, entry.y, entry.x + 16, entry.y + 8};
    m_dirty.AddRect(area);
    const Draw::POINT table = GetTableCursorPosition();
    Game().selectWindow.DrawCursorAt(table.x, table.y, plane, &m_dirty);
}
