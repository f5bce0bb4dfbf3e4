#include "game/scenes/menu_browser.h"

#include "game/app/app.h"
#include "game/app/replay.h"
#include "game/app/save_game.h"
#include "game/asset_ids.h"
#include "game/characters/adventure.h"
#include "game/data/action_log.h"
#include "game/data/error_box.h"
#include "game/data/global_data.h"
#include "game/scenes/menu_keys.h"
#include "game/scenes/menu_scene.h"
#include "game/ui/message_numbers.h"
#include "platform/host/file.h"
#include "sdk/auxiliary/file.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

using namespace MenuKeys;

constexpr std::uint32_t kAnyKey = 0xFFFF;
constexpr std::int32_t kSoundPage = 1;
constexpr std::int32_t kSoundDecide = 2;
constexpr std::int32_t kSoundCancel = 3;
constexpr std::int32_t kSavesPerPage = 3;
constexpr std::int32_t kReplaysPerPage = 10;
constexpr std::int32_t kSaveListRows = 9;
constexpr std::int32_t kReplayListRows = 10;
constexpr std::int32_t kSaveListWidth = 272;
constexpr std::int32_t kReplayListWidth = 256;
constexpr std::int32_t kListTop = 36;
constexpr std::int32_t kSaveMarkerX = 304;
constexpr std::int32_t kReplayMarkerX = 288;
// The best floor beyond which a dungeon's record earns the second icon, by dungeon.
constexpr std::array<std::int32_t, 8> kRecordThresholds = {99, 20, 99, 70, 70, 50, 50, 99};
constexpr std::int32_t kCompletedFloor = 1000;

constexpr const char* kUnreadableFile = "ファイルが読み込めませんでした。";
constexpr const char* kCopied = "ファイルをコピーしました。";
constexpr const char* kNotCopied = "ファイルがコピーできませんでした。";
constexpr const char* kDeleted = "ファイルを削除しました。";
constexpr const char* kNotDeleted = "ファイルが削除できませんでした。";
constexpr const char* kNotLoaded = "データがロードできませんでした";

bool IsSaveListState(std::int32_t state)
{
    return state == 82 || state == 85 || state == 87 || state == 89 || state == 95 || state == 97;
}

std::string_view View(const ZTL::string& path)
{
    return std::string_view(path.c_str(), path.size());
}

ZTL::string Resolve(const ZTL::string& path)
{
    return Auxiliary::CFile::ResolvePath(path);
}

// Whether a CP932 file name ends in the extension, ignoring ASCII case (an extension is ASCII).
bool HasExtension(const std::string& name, std::string_view extension)
{
    if (name.size() <= extension.size()) return false;
    const std::string_view tail = std::string_view(name).substr(name.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    });
}

// The files (no folders) of a folder, in the order the listing gives them; with `keep`, only the names it
// wants, the disk asked only about those.
std::vector<std::string> ListFiles(const ZTL::string& folder, const platform::FolderNameFilter& keep = {})
{
    std::vector<platform::FolderEntry> entries;
    std::vector<std::string> names;
    if (!platform::ListFolder(View(Resolve(folder)), entries, keep)) return names;
    for (const platform::FolderEntry& entry : entries)
        if (!entry.isFolder) names.push_back(entry.name);
    return names;
}

bool ReadDigits(std::string_view text, std::int32_t& value)
{
    if (text.size() < 4) return false;
    value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// Deletes the run files of the user's folder that the test picks, given the save and run numbers of
// the name (the run number -1 when the name has no second four digits).
template <typename Pick> void DeleteRunFiles(Pick pick)
{
    const ZTL::string folder = GetUserFolder(g_globalData, false);
    // The folder holds every run's files: only the names picked are worth a look at the disk.
    const auto picked = [&pick](std::string_view name) {
        std::int32_t number = 0, run = -1;
        if (!ReadDigits(name, number)) return false;
        if (!ReadDigits(name.substr(4), run)) run = -1;
        return pick(number, run);
    };
    for (const std::string& name : ListFiles(folder, picked))
        platform::DeleteFile(View(folder + "\\" + name.c_str()));
}

ZTL::string ReplaceExtension(const ZTL::string& path, const char* extension)
{
    const std::string text(path.c_str(), path.size());
    const std::size_t dot = text.rfind('.');
    return ZTL::string((dot == std::string::npos ? text : text.substr(0, dot)).c_str()) + extension;
}

} // namespace

bool HandleDataBrowser(CSceneMenu& menu, std::uint32_t keyMask)
{
    return menu.UpdateDataBrowser(keyMask);
}

bool ParseSaveFileName(const ZTL::string& fileName, std::int32_t& number, ZTL::string& name)
{
    // The save number is written with four digits, so a name that itself starts with a digit still
    // reads back as it was written.
    const std::string text(fileName.c_str(), fileName.size());
    if (!ReadDigits(text, number)) return false;
    const std::size_t dot = text.find('.', 4);
    name = text.substr(4, dot == std::string::npos ? std::string::npos : dot - 4).c_str();
    return true;
}

std::int32_t RecordIconKind(std::int32_t dungeon, const SGameResource::SDungeonSlot& slot)
{
    if (slot.open == 0 || dungeon < 0 || dungeon >= std::int32_t(kRecordThresholds.size())) return -1;
    const std::int32_t best = slot.values[SGameResource::SDungeonSlot::kBestFloor];
    if (best >= kCompletedFloor) return 3;
    return best > kRecordThresholds[std::size_t(dungeon)] ? 2 : 1;
}

ZTL::string BuildSaveRowText(const SGameResource& game, std::int32_t number, const ZTL::string& name,
                             bool greyAtCamp)
{
    char line[160];
    std::snprintf(line, sizeof line, "　No.%2d  %8s %4d回目\n", number, name.c_str(), game.runNumber);
    ZTL::string text = greyAtCamp && game.dungeon == 0 ? "#n" : "";
    text += line;
    if (game.dungeon > 0) {
        text += "    ";
        if (game.dungeon < std::int32_t(kSaveRowDungeonNames.size()))
            text += kSaveRowDungeonNames[std::size_t(game.dungeon)];
        text += "　";
        text += FormatFullWidthNumber(game.floor);
        text += "階";
    } else {
        text += "　";
    }
    text += "\n　\n";
    return text;
}

std::int32_t DeleteSaveFileSet(const ZTL::string& headPath)
{
    std::int32_t result = 0;
    for (const ZTL::string& path :
         {headPath, ReplaceExtension(headPath, ".main"), ReplaceExtension(headPath, ".cfg")}) {
        platform::DeleteFile(View(path));
        if (platform::FileExists(View(path))) result = 1;
    }
    return result;
}

void DeleteSaveActionLogs(std::int32_t number)
{
    DeleteRunFiles([number](std::int32_t save, std::int32_t) { return save == number; });
}

void DeleteStaleActionLogs(std::int32_t number, std::int32_t playCount)
{
    DeleteRunFiles(
        [=](std::int32_t save, std::int32_t run) { return save == number && run >= 0 && run < playCount; });
}

void DeleteOrphanActionLogs(const std::set<std::int32_t>& numbers)
{
    DeleteRunFiles([&numbers](std::int32_t save, std::int32_t) { return numbers.count(save) == 0; });
}

// ---- The scene's side.

void CSceneMenu::BuildSaveList()
{
    saveList.clear();
    for (const std::string& file : ListFiles("save")) {
        std::int32_t number = 0;
        ZTL::string name;
        if (!HasExtension(file, ".head") || !ParseSaveFileName(file.c_str(), number, name)) continue;
        saveList.emplace(number, name);
    }
    // A body without its head is not listed, but its run is still on the disk: its run files stay.
    std::set<std::int32_t> numbers;
    for (const std::string& file : ListFiles("save")) {
        std::int32_t number = 0;
        ZTL::string name;
        if ((HasExtension(file, ".head") || HasExtension(file, ".main")) &&
            ParseSaveFileName(file.c_str(), number, name))
            numbers.insert(number);
    }
    DeleteOrphanActionLogs(numbers);
    // A new save takes the next number, which must be one no listed save has.
    if (!saveList.empty() && g_globalData.fileCounter <= saveList.rbegin()->first)
        g_globalData.fileCounter = saveList.rbegin()->first + 1;
}

void CSceneMenu::OpenDataMenu()
{
    BuildSaveList();
    ZTL::string text;
    if (!saveList.empty())
        text += "　冒険の続きから\n　データの名前を変える\n　データをコピーする\n　データを削除する\n";
    text += "　新しくデータを作る\n　リプレイ\n　ランキング\n　パッド設定\n　キーボード設定\n"
            "　アプリケーションを終了する\n";
    Game().selectWindow.Open(16, 16, true, -1, -1, 0, true, text);
}

void CSceneMenu::OpenSaveDataList(bool refresh)
{
    SGameResource& game = Game();
    if (!refresh) {
        browserPage = 0;
        browserCursor = 0;
        const char* heading = "";
        switch (m_state) {
        case 82:
            heading = "ロードするデータを選んでください";
            break;
        case 85:
            heading = "名前を変更するデータを選んでください";
            break;
        case 87:
            heading = "コピーするデータを選んでください";
            break;
        case 89:
            heading = "削除するデータを選んでください";
            break;
        case 95:
            heading = "リプレイを再生するデータを選んでください";
            break;
        case 97:
            heading = "リプレイを作成するデータを選んでください";
            break;
        default:
            break;
        }
        game.selectWindow.Open(24, 8, true, kSaveListWidth, -1, -1, false, heading);
        if (m_state == 82) {
            const auto last = saveList.find(g_globalData.lastSaveNumber);
            if (last != saveList.end())
                browserPage = std::int32_t(std::distance(saveList.begin(), last)) / kSavesPerPage;
        }
    } else {
        CloseTopWindow();
    }

    ZTL::string text;
    std::vector<std::pair<std::int32_t, std::int32_t>> icons; // (row, kind) by dungeon in order
    std::vector<std::int32_t> iconDungeons;
    std::int32_t shown = 0;
    browserRows.clear();
    auto entry = saveList.begin();
    std::advance(entry, std::min<std::size_t>(saveList.size(), std::size_t(browserPage) * kSavesPerPage));
    for (std::int32_t i = 0; i < kSavesPerPage && entry != saveList.end(); ++i, ++entry) {
        const auto& [number, name] = *entry;
        if (ReadSaveHead(game, number, name) != kSaveDone) continue;
        DeleteStaleActionLogs(number, game.runNumber);
        text += BuildSaveRowText(game, number, name, m_state == 95);
        for (std::int32_t d = 0; d < std::int32_t(kSaveRowDungeonNames.size()); ++d) {
            const std::int32_t kind = RecordIconKind(d, game.dungeonSlots[std::size_t(d)]);
            if (kind < 0) continue;
            icons.emplace_back(shown, kind);
            iconDungeons.push_back(d);
        }
        browserRows.push_back(number);
        ++shown;
    }
    game.ResetForNewGame();
    if (!refresh && m_state == 82) {
        const auto last = std::find(browserRows.begin(), browserRows.end(), g_globalData.lastSaveNumber);
        if (last != browserRows.end()) browserCursor = std::int32_t(last - browserRows.begin());
    }

    if (shown == 0) {
        PushState(0);
        return;
    }
    browserCursor = std::clamp(browserCursor, 0, shown - 1);
    game.selectWindow.OpenSaveDataList(kSaveListWidth, kSaveListRows, browserCursor, text);
    for (std::size_t i = 0; i < icons.size(); ++i) {
        const auto [row, kind] = icons[i];
        const Draw::RECT source = {208, (13 + kind) * 16, 224, (14 + kind) * 16};
        game.selectWindow.AddImage(kImageCommon, 40 + 16 * iconDungeons[i], 76 + 54 * row, source);
    }
    RedrawWindows();
}

void CSceneMenu::OpenReplayMenu()
{
    SGameResource& game = Game();
    ZTL::string text = saveList.empty() ? "#n" : "";
    text += "　データから再生\n　ファイルから再生\n　中断データからリプレイファイルを作成";
    game.selectWindow.Open(-1, -1, true, -1, -1, 0, true, text);
    game.selectWindow.Open(-1, 152, false, 288, -1, -1, false,
                           "(リプレイデータをドラッグ＆ドロップすると\n再生します)");
    RedrawWindows();
}

void CSceneMenu::OpenReplayFileList(bool refresh)
{
    SGameResource& game = Game();
    if (!refresh) {
        browserPage = 0;
        browserCursor = 0;
        replayList.clear();
        for (const std::string& file : ListFiles("replay"))
            if (HasExtension(file, ".rpl")) replayList.push_back(ZTL::string("replay\\") + file.c_str());
        if (!replayList.empty())
            game.selectWindow.Open(24, 8, true, kSaveListWidth, -1, -1, false,
                                   "再生するリプレイファイルを選んでください");
    } else {
        CloseTopWindow();
    }
    ZTL::string text;
    std::int32_t shown = 0;
    for (std::int32_t i = browserPage * kReplaysPerPage;
         i < (browserPage + 1) * kReplaysPerPage && i < std::int32_t(replayList.size()); ++i, ++shown)
        text += ZTL::string("　") + replayList[std::size_t(i)] + "\n";
    if (shown == 0) {
        game.selectWindow.Open(-1, -1, true, -1, -1, -1, false, "リプレイファイルがありません");
    } else {
        browserCursor = std::clamp(browserCursor, 0, shown - 1);
        game.selectWindow.Open(32, kListTop, false, kReplayListWidth, kReplayListRows, browserCursor, false,
                               text);
    }
    RedrawWindows();
}

std::int32_t CSceneMenu::SelectSaveEntry(std::int32_t index)
{
    const std::int32_t count = std::int32_t(saveList.size());
    if (index == count) return 2;
    if (index < 0 || index > count) return 1;
    auto entry = saveList.begin();
    std::advance(entry, index);
    SGameResource& game = Game();
    game.userNumber = entry->first;
    game.saveName = entry->second;
    game.chosenDataNumber = entry->first;
    return 0;
}

std::int32_t CSceneMenu::ShownSaveIndex(std::int32_t row) const
{
    const std::int32_t beyond = std::int32_t(saveList.size()) + 1;
    if (row < 0 || row >= std::int32_t(browserRows.size())) return beyond;
    const auto entry = saveList.find(browserRows[std::size_t(row)]);
    return entry == saveList.end() ? beyond : std::int32_t(std::distance(saveList.begin(), entry));
}

bool CSceneMenu::LoadBrowserSave()
{
    return SelectSaveEntry(ShownSaveIndex(browserCursor)) == 0 && LoadSaveGame(Game()) == kSaveDone;
}

void CSceneMenu::BeginNewDataName()
{
    PushState(93);
    OpenTextEntry();
    PushState(92);
    Game().selectWindow.Open(-1, -1, true, -1, -1, -1, false, "ファイル名を入力してください");
    RedrawWindows();
}

void CSceneMenu::DrawBrowserPageMarker(Draw::ISurface& plane)
{
    const auto& windows = Game().selectWindow.windows;
    std::int32_t x = 0, pages = 0;
    if (std::any_of(windows.begin(), windows.end(), [](const CSelectWindow::SWindow& w) {
            return w.type == CSelectWindow::kTypeSaveDataList;
        })) {
        x = kSaveMarkerX;
        pages = (std::int32_t(saveList.size()) + kSavesPerPage - 1) / kSavesPerPage;
    } else if (m_state == 96) {
        x = kReplayMarkerX;
        pages = (std::int32_t(replayList.size()) + kReplaysPerPage - 1) / kReplaysPerPage;
    }
    const std::vector<std::int32_t> xs = SmallNumberSprites(browserPage + 1, pages, x);
    if (xs.empty()) return;
    DrawSmallNumbers(plane, browserPage + 1, pages, x, kListTop);
    // The marker stands outside the list's window: its place is restored on the next frame.
    m_dirty.AddRect(xs.front(), kListTop, xs.back() + 5, kListTop + 9);
}

bool CSceneMenu::UpdateDataBrowser(std::uint32_t keyMask)
{
    SGameResource& game = Game();
    if (m_state == 92) {
        if ((keyMask & kAnyKey) == 0) return false;
        CloseTopWindow();
        PopState();
        RedrawWindows();
        return true;
    }
    if (m_state == 88 || m_state == 91) {
        if ((keyMask & kAnyKey) == 0) return false;
        // The title opens the data menu anew, whose new key tables would take the key still held as a
        // second press: it acts again only once released.
        Keys().SetBlockMask(Keys().GetBlockMask() | kAnyKey);
        game.ResetForNewGame();
        PushState(0);
        return true;
    }
    if (m_state == kReplayListState && !DroppedFiles().empty()) {
        std::vector<ZTL::string>& files = DroppedFiles();
        const ZTL::string path = files.front();
        const bool several = files.size() > 1;
        files.clear();
        if (several) {
            ShowErrorBox("複数のファイルは読み込めません");
        } else if (OpenReplay(game, path) == kReplayOpened) {
            game.replayStart = 1;
            game.replayFromList = 1;
            PushState(0);
        } else {
            ShowErrorBox(kReplayUnreadableMessage);
        }
        return true;
    }
    if ((keyMask & (kKeyLeft | kKeyRight)) != 0 && (IsSaveListState(m_state) || m_state == 96)) {
        const std::int32_t perPage = m_state == 96 ? kReplaysPerPage : kSavesPerPage;
        const std::int32_t count =
            m_state == 96 ? std::int32_t(replayList.size()) : std::int32_t(saveList.size());
        const std::int32_t pages = (count + perPage - 1) / perPage;
        if (pages > 0) {
            const std::int32_t page =
                (keyMask & kKeyLeft) != 0 ? (browserPage + pages - 1) % pages : (browserPage + 1) % pages;
            if (page != browserPage) {
                const std::int32_t cursor = game.selectWindow.GetCursor();
                if (cursor >= 0) browserCursor = cursor;
                browserPage = page;
                PlaySound(kSoundPage);
                if (m_state == 96)
                    OpenReplayFileList(true);
                else
                    OpenSaveDataList(true);
            }
        }
        return true;
    }
    if ((keyMask & kKeyCancel) != 0 && m_state != 81) {
        PlaySound(kSoundCancel);
        if (m_state == 82 || m_state == 85 || m_state == 87 || m_state == 89 || m_state == 95)
            game.ResetForNewGame();
        CloseWindowGroup();
        PopState();
        RedrawWindows();
        return true;
    }
    if ((keyMask & (kKeyDecide | kKeyMenu)) != 0 && game.selectWindow.IsSelectionEnabled()) {
        PlaySound(kSoundDecide);
        ChooseBrowserEntry();
        return true;
    }
    return false;
}

void CSceneMenu::ChooseBrowserEntry()
{
    SGameResource& game = Game();
    const std::int32_t cursor = game.selectWindow.GetCursor();
    const std::int32_t saveIndex = ShownSaveIndex(cursor);
    switch (m_state) {
    case 81: {
        const std::int32_t entry = saveList.empty() ? cursor + 4 : cursor;
        constexpr std::int32_t kListStates[] = {82, 85, 87, 89};
        if (entry >= 0 && entry < 4) {
            PushState(kListStates[entry]);
            OpenSaveDataList(false);
            return;
        }
        switch (entry) {
        case 4:
            BeginNewDataName();
            break;
        case 5:
            PushState(kReplayListState);
            OpenReplayMenu();
            break;
        case 6:
            PushState(73);
            OpenRankingCategoryList();
            break;
        case 7:
            BeginKeyConfigScreen(true);
            break;
        case 8:
            BeginKeyConfigScreen(false);
            break;
        case 9:
            if (CSceneControl* control = GetSceneControl(); control != nullptr) control->RequestExit();
            break;
        default:
            break;
        }
        return;
    }
    case 82:
        if (SelectSaveEntry(saveIndex) != 0 ||
            ReadSaveHead(game, game.userNumber, game.saveName) != kSaveDone) {
            ShowErrorBox(kUnreadableFile);
            return;
        }
        if (game.dungeon > 0) {
            PushState(83);
            game.selectWindow.Open(-1, -1, true, -1, -1, 0, false, "　ダンジョンの続きから\n　拠点に戻る");
            RedrawWindows();
        } else {
            PushState(0);
        }
        return;
    case 83:
        if (cursor == 0) {
            PushState(0);
            return;
        }
        PushState(84);
        game.selectWindow.Open(
            32, 64, true, -1, -1, -1, false,
            "拠点に戻ると倒された扱いとなり\n持ち物やお金はなくなりますが\nよろしいですか？");
        game.selectWindow.OpenYesNo(32, 128, false);
        RedrawWindows();
        return;
    case 84:
    case 90:
        if (cursor != 0) {
            CloseWindowGroup();
            PopState();
            RedrawWindows();
        } else if (m_state == 84) {
            PushState(0);
            SetSceneParameter(1);
        } else {
            DeleteSaveUnderCursor();
        }
        return;
    case 85:
        browserCursor = cursor;
        PushState(86);
        OpenTextEntry();
        return;
    case 87:
        browserCursor = cursor;
        CopySaveUnderCursor();
        return;
    case 89: {
        browserCursor = cursor;
        if (SelectSaveEntry(saveIndex) != 0) {
            ShowErrorBox(kUnreadableFile);
            return;
        }
        char line[96];
        std::snprintf(line, sizeof line, "No.%d %s", game.userNumber, game.saveName.c_str());
        PushState(90);
        game.selectWindow.Open(64, 64, true, -1, -1, -1, false,
                               ZTL::string(line) + "を\n削除してもよろしいですか？");
        game.selectWindow.OpenYesNo(64, 114, false);
        RedrawWindows();
        return;
    }
    case kReplayListState: {
        constexpr std::int32_t kNext[] = {95, 96, 97};
        if (cursor < 0 || cursor > 2) return;
        PushState(kNext[cursor]);
        if (m_state == 96)
            OpenReplayFileList(false);
        else
            OpenSaveDataList(false);
        return;
    }
    case 95:
        if (SelectSaveEntry(saveIndex) != 0) {
            ShowErrorBox("データが読み込めませんでした");
            return;
        }
        game.playMode = kPlayReplay;
        game.replayFromList = 0;
        PushState(0);
        return;
    case 96: {
        const std::int32_t index = browserPage * kReplaysPerPage + cursor;
        if (index < 0 || index >= std::int32_t(replayList.size())) return;
        if (OpenReplay(game, replayList[std::size_t(index)]) != kReplayOpened) {
            ShowErrorBox(kReplayUnreadableMessage);
            return;
        }
        game.replayStart = 1;
        game.replayFromList = 1;
        PushState(0);
        return;
    }
    case 97:
        browserCursor = cursor;
        MakeReplayFromSuspendData();
        return;
    default:
        return;
    }
}

void CSceneMenu::CopySaveUnderCursor()
{
    SGameResource& game = Game();
    // Every step is checked: the copy is reported, and the next save number used up, only once the copy
    // stands complete in the save folder.
    bool copied = SelectSaveEntry(ShownSaveIndex(browserCursor)) == 0 && LoadSaveGame(game) == kSaveDone;
    if (copied) {
        game.userNumber = g_globalData.fileCounter;
        game.runEnded = 0;
        FinishAdventureAndSave(game);
        game.characters.player.Reset();
        copied = WriteSaveGame(game) == 0;
        if (copied) {
            game.config.name = Resolve(MakeSaveOptionsPath(game));
            SaveOptions(game.config);
            copied = platform::FileExists(View(game.config.name));
        }
        if (copied) {
            AdvanceFileCounter(g_globalData);
            SaveGlobalData(g_globalData);
        } else {
            DeleteSaveFileSet(Resolve(MakeSaveHeadPath(game)));
        }
    }
    game.ResetForNewGame();
    PushState(copied ? 88 : 91);
    game.selectWindow.Open(-1, -1, true, -1, -1, -1, false, copied ? kCopied : kNotCopied);
    RedrawWindows();
}

void CSceneMenu::DeleteSaveUnderCursor()
{
    SGameResource& game = Game();
    bool deleted = SelectSaveEntry(ShownSaveIndex(browserCursor)) == 0;
    if (deleted) {
        DeleteSaveActionLogs(game.userNumber);
        deleted = DeleteSaveFileSet(Resolve(MakeSaveHeadPath(game))) == 0;
    }
    game.ResetForNewGame();
    PushState(deleted ? 88 : 91);
    game.selectWindow.Open(-1, -1, true, -1, -1, -1, false, deleted ? kDeleted : kNotDeleted);
    RedrawWindows();
}

void CSceneMenu::MakeReplayFromSuspendData()
{
    SGameResource& game = Game();
    if (SelectSaveEntry(ShownSaveIndex(browserCursor)) != 0) {
        ShowErrorBox(kNotLoaded);
        return;
    }
    if (LoadSaveGame(game) != kSaveDone) {
        ShowErrorBox(kNotLoaded);
        game.ResetForNewGame();
        return;
    }
    SRankingData& record = game.runRecord;
    record.recordNumber = game.userNumber;
    record.runNumber = game.runNumber;
    record.name = game.saveName;
    record.category = std::uint8_t(game.dungeon);
    record.seed = game.seed;
    record.passwordValue = game.passwordValue;
    record.endCause = -1;
    game.actionLog.SetFileName(game.userNumber, game.runNumber);
    if (game.actionLog.LoadSuspendData(game.userNumber, game.runNumber, game.floor) != 0) {
        ShowErrorBox("中断データがロードできませんでした");
        game.ResetForNewGame();
        return;
    }

    // The suspended floor's log joins the replay alone: the run's work files are only read, so that a
    // kill here leaves them as the run needs them.
    const std::vector<std::uint8_t> lastLog = game.actionLog.MakeFloorLogRecord();
    ZTL::string fileName;
    std::int32_t missing = 0;
    const int written = WriteReplay(game, fileName, &missing, &lastLog);
    const ZTL::string message = ReplaySaveMessage(written, fileName, missing);

    game.ResetForNewGame();
    CloseTopWindow();
    CloseTopWindow();
    PushState(98);
    game.selectWindow.Open(48, 100, true, -1, -1, -1, false, message);
    RedrawWindows();
}
