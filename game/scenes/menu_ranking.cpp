// The ranking screens of the menu (the dungeons with records, one dungeon's places page by page, one
// record in detail and its training password for the clipboard) and the record shown when a run ends,
// which leads to the question whether its replay is kept.
#include "game/scenes/menu_scene.h"

#include "game/scenes/menu_keys.h"

#include "game/app/game_resource.h"
#include "game/app/ranking_table.h"
#include "game/asset_ids.h"
#include "game/data/error_box.h"
#include "game/data/password.h"
#include "game/ui/message_numbers.h"
#include "platform/clipboard.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace {

using namespace MenuKeys;

constexpr std::int32_t kSoundCursor = 1;
constexpr std::int32_t kSoundDecide = 2;
constexpr std::int32_t kSoundCancel = 3;

constexpr std::int32_t kCategoryState = 73;
constexpr std::int32_t kListState = 74;
constexpr std::int32_t kRecordState = 75;
constexpr std::int32_t kEndOfRunState = 76;
constexpr std::int32_t kPasswordState = 77;
constexpr std::int32_t kReplayQuestionState = 78;
constexpr std::int32_t kScoreState = 100;

constexpr std::int32_t kPlacesPerPage = 10;
constexpr std::int32_t kItemSheet = 10;
// Where the record window stands and the line of each of its two items.
constexpr std::int32_t kRecordX = 16;
constexpr std::int32_t kRecordY = 16;
constexpr std::int32_t kRecordRows = 12;
constexpr std::int32_t kWeaponLine = 7;
constexpr std::int32_t kShieldLine = 9;
constexpr std::int32_t kRowPitch = 18;

constexpr std::array<const char*, 8> kDungeonNames = {"倉庫",     "初心の道", "剣姫の道", "知識の道",
                                                      "勇気の道", "試練の道", "強者の道", "深遠の道"};

constexpr std::array<const char*, 14> kEndCauses = {
    "最深階へ到達した！",
    "脱出の巻物で戻ってきた。",
    "冒険を諦めた。",
    "", // named after the monster
    "石が落ちてきて倒れた。",
    "ツララが落ちてきて倒れた",
    "巨大な岩が落ちてきて倒れた。",
    "落とし穴に落ちて倒れた。",
    "爆風に巻き込まれて倒れた。",
    "トラバサミにはさまれた。",
    "お腹が減って倒れた。",
    "炎で焼かれた。",
    "ふっとんで倒れた。",
    "地割れに飲み込まれた。",
};

ZTL::string Digits(std::uint32_t value)
{
    return FormatFullWidthUnsigned(value);
}

std::int32_t PageCount(const CRankingTable& ranking, std::int32_t category)
{
    return (std::min(ranking.Count(category), CRankingTable::kPlaces) + kPlacesPerPage - 1) / kPlacesPerPage;
}

// The lines the page shows, as the text builds them.
std::int32_t PageLines(const CRankingTable& ranking, std::int32_t category, std::int32_t page)
{
    std::int32_t lines = 0;
    for (std::int32_t place = page * kPlacesPerPage;
         place < (page + 1) * kPlacesPerPage && place < ranking.Count(category) &&
         place < CRankingTable::kPlaces;
         ++place) {
        if (ranking.Get(category, place).recordNumber == -1) break;
        ++lines;
    }
    return lines;
}

// An item of the record with its marks and, for weapons and shields, its ability slots on the line below.
void AddRecordItemImages(CSelectWindow& windows, const CItemControl& items, const CItemControl::SItem& item,
                         std::int32_t line)
{
    if (item.kind == CItemControl::kNone) return;
    const std::int32_t x = kRecordX + 8;
    const std::int32_t y = kRecordY + 8 + kRowPitch * line;
    const std::int32_t sx = (item.flags & 8) != 0 ? 96 : 112;
    const std::int32_t sy = 128 + 16 * item.itemClass;
    windows.AddImage(kItemSheet, x, y, Draw::RECT{sx, sy, sx + 16, sy + 16});
    // Both items were worn when the run ended.
    windows.AddImage(kImageInterface, x, y, Draw::RECT{112, 128, 120, 136});
    if ((item.flags & 8) != 0) windows.AddImage(kImageInterface, x, y, Draw::RECT{112, 136, 120, 144});
    const bool equipment = item.itemClass == 1 || item.itemClass == 2;
    if ((item.flags & 4) != 0 &&
        (!equipment || ((item.flags & 1) != 0 && !items.IsKindUnidentified(item.kind))))
        windows.AddImage(kImageInterface, x, y, Draw::RECT{120, 136, 128, 144});
    if (!equipment) return;
    for (std::int32_t slot = 0; slot < 10; ++slot)
        windows.AddImage(kImageAbilitySlots, x + 16 + 16 * slot, y + kRowPitch,
                         AbilitySlotIconSource(item.slots, slot, false));
}

// Leaves a ranking screen: its windows go and the state below comes back.
void LeaveRankingState(CSceneMenu& menu)
{
    SGameResource& game = menu.Game();
    const std::int32_t state = menu.GetState();
    if (state == kCategoryState) {
        game.runRecord.Clear();
        game.rankingPlace = -1;
    }
    if (state == kPasswordState) {
        menu.CloseTopWindow();
        menu.CloseTopWindow();
    } else {
        menu.CloseWindowGroup();
    }
    menu.PopState();
    menu.RedrawWindows();
}

// The record's training password onto the clipboard; a clipboard that refuses it is reported.
void CopyPassword(const SRankingData& record)
{
    const ZTL::string text = MakePasswordText(record.seed, record.category, record.passwordValue);
    if (!platform::SetClipboardText(std::string_view(text.c_str(), text.size())))
        ShowErrorBox("クリップボードにコピーできませんでした");
}

} // namespace

ZTL::string FormatScore(std::uint32_t high, std::uint32_t low)
{
    if (high == 0) return Digits(low);
    // Seven digits: those of low + 10 000 000 without the leading one.
    const std::string padded = std::to_string(std::uint64_t(low) + 10000000u).substr(1);
    ZTL::string text = Digits(high);
    for (const char c : padded)
        text += Digits(std::uint32_t(c - '0'));
    return text;
}

ZTL::string GetDungeonName(std::int32_t dungeon)
{
    if (dungeon < 0 || dungeon >= std::int32_t(kDungeonNames.size())) return ZTL::string();
    return kDungeonNames[std::size_t(dungeon)];
}

ZTL::string GetEndCauseText(const SGameResource& game, std::int32_t cause, std::uint16_t kind,
                            std::uint16_t level)
{
    if (cause < 0 || cause >= std::int32_t(kEndCauses.size())) return ZTL::string();
    if (cause != 3) return kEndCauses[std::size_t(cause)];
    const auto& kinds = game.characters.monsterKinds;
    if (kind == 0xFFFF || kind >= kinds.size() || kinds[kind].name.size() == 0)
        return ZTL::string("モンスター") + "に倒された。";
    return kinds[kind].name + "Lv" + Digits(level) + "に倒された。";
}

ZTL::string BuildRankingPageText(const CRankingTable& ranking, std::int32_t category, std::int32_t page)
{
    ZTL::string text;
    const std::int32_t first = page * kPlacesPerPage;
    for (std::int32_t i = 0; i < PageLines(ranking, category, page); ++i) {
        const std::int32_t place = first + i;
        const SRankingData& record = ranking.Get(category, place);
        text += "　";
        // Places 1 to 9 take one more space, so that their digit stands under the last digit of 10.
        if (place < 9) text += "　";
        text += Digits(std::uint32_t(place + 1));
        text += "位　";
        char name[64];
        std::snprintf(name, sizeof name, "%16s", record.name.c_str());
        text += name;
        text += "　　";
        text += FormatScore(record.goldHigh, record.goldLow);
        text += "\n";
    }
    return text;
}

ZTL::string BuildRankingRecordText(const SGameResource& game, const SRankingData& record, std::int32_t rank,
                                   bool withRank)
{
    ZTL::string text;
    if (withRank) text = rank < 0 ? ZTL::string("順位外") : "第" + Digits(std::uint32_t(rank + 1)) + "位";
    text += "　" + record.name + "　スコア　" + FormatScore(record.goldHigh, record.goldLow) + "\n";

    text += Digits(std::uint32_t(record.runNumber)) + "回目　" + GetDungeonName(record.category);
    if (record.trainingRun) text += "[特訓]";
    text += "　" + Digits(record.floor) + "階";
    if (record.broughtItems == 1) text += "[持込]";
    text += "\n";

    // An empty line would end the window's text, and with it the lines below.
    const ZTL::string cause = GetEndCauseText(game, record.endCause, record.killerKind, record.killerLevel);
    text += cause.size() != 0 ? cause : ZTL::string(" ");
    text += "\n \n";

    text += "Lv " + Digits(record.level) + "　　最大ＨＰ　" + Digits(record.maxHp) + "　　" +
            Digits(std::uint32_t(record.gold)) + "Ｇ\n";
    text += "ちから　" + Digits(record.strength) + "／" + Digits(record.maxStrength) + "　最大満腹度　" +
            Digits(record.maxFullness) + "\n";
    text += "経験値　" + Digits(std::uint32_t(record.experience)) + "\n";

    const auto itemLine = [&game](const CItemControl::SItem& item) {
        ZTL::string line = "　　";
        if (item.kind != CItemControl::kNone) line += game.items.GetDisplayName(item);
        return line + "\n \n";
    };
    text += itemLine(record.firstItem);
    text += itemLine(record.secondItem);
    return text;
}

void CSceneMenu::OpenRankingCategoryList()
{
    SGameResource& game = Game();
    rankingCategories.clear();
    ZTL::string text;
    for (std::int32_t dungeon = 0; dungeon < CRankingTable::kCategories; ++dungeon) {
        if (m_ranking == nullptr || m_ranking->Get(dungeon, 0).recordNumber == -1) continue;
        text += "　" + GetDungeonName(dungeon) + "\n";
        rankingCategories.push_back(dungeon);
    }
    if (rankingCategories.empty()) {
        game.selectWindow.Open(64, 64, true, -1, -1, -1, false, "記録がありません");
    } else {
        game.selectWindow.Open(64, 64, true, -1, -1, 0, false, text);
    }
    RedrawWindows();
}

void CSceneMenu::OpenRankingList(bool refresh)
{
    SGameResource& game = Game();
    std::int32_t cursor = 0;
    if (refresh) {
        cursor = std::max(0, game.selectWindow.GetCursor());
        CloseTopWindow();
    }
    const ZTL::string text =
        m_ranking != nullptr ? BuildRankingPageText(*m_ranking, rankingCategory, rankingPage) : ZTL::string();
    const std::int32_t lines = m_ranking != nullptr ? PageLines(*m_ranking, rankingCategory, rankingPage) : 0;
    if (lines == 0) {
        game.selectWindow.Open(24, 24, true, 280, 10, -1, false, "登録されていません");
    } else {
        game.selectWindow.Open(24, 24, true, 280, 10, std::min(cursor, lines - 1), false, text);
    }
    RedrawWindows();
}

void CSceneMenu::OpenRankingRecord()
{
    SGameResource& game = Game();
    const bool withRank = m_state != kScoreState;
    game.selectWindow.Open(kRecordX, kRecordY, true, 288, kRecordRows, -1, false,
                           BuildRankingRecordText(game, game.runRecord, game.rankingPlace, withRank));
    AddRecordItemImages(game.selectWindow, game.items, game.runRecord.firstItem, kWeaponLine);
    AddRecordItemImages(game.selectWindow, game.items, game.runRecord.secondItem, kShieldLine);
    RedrawWindows();
}

void CSceneMenu::OpenPasswordCopyPrompt()
{
    SGameResource& game = Game();
    const SRankingData& record = game.runRecord;
    game.selectWindow.Open(128, 110, true, -1, -1, -1, true,
                           "特訓パスワード：\n#g" +
                               MakePasswordText(record.seed, record.category, record.passwordValue) +
                               "\nパスワードをクリップボードに\nコピーしますか？");
    game.selectWindow.OpenYesNo(128, 190, false);
    RedrawWindows();
}

void CSceneMenu::DrawRankingDecorations(Draw::ISurface& plane)
{
    if (m_state != kListState || m_ranking == nullptr) return;
    const std::int32_t pages = PageCount(*m_ranking, rankingCategory);
    if (pages <= 1) return;
    DrawSmallNumbers(plane, rankingPage + 1, pages, 304, 24);
    // The marker is drawn over the background each frame: the next frame restores what it covers.
    m_dirty.AddRect(280, 24, 320, 34);
}

bool HandleRanking(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    const std::int32_t state = menu.GetState();
    if (state == kEndOfRunState) {
        if ((keyMask & 0xFFFF) == 0) return false;
        menu.PushState(kReplayQuestionState);
        game.selectWindow.Open(144, 128, true, -1, -1, -1, false, "今回のリプレイデータを\n保存しますか？");
        game.selectWindow.OpenYesNo(144, 172, false);
        menu.RedrawWindows();
        return true;
    }
    if (state == kRecordState && (keyMask & (kKeyDecide | kKeyMenu)) != 0) {
        menu.PlaySound(kSoundDecide);
        menu.PushState(kPasswordState);
        menu.OpenPasswordCopyPrompt();
        return true;
    }
    // Every screen of the stack goes back one level on cancel, the record among them.
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        LeaveRankingState(menu);
        return true;
    }
    const CRankingTable* ranking = menu.GetRankingTable();
    if (state == kListState && (keyMask & (kKeyLeft | kKeyRight)) != 0 && ranking != nullptr) {
        const std::int32_t pages = PageCount(*ranking, menu.rankingCategory);
        if (pages > 1) {
            if ((keyMask & kKeyLeft) != 0) menu.rankingPage = (menu.rankingPage + pages - 1) % pages;
            if ((keyMask & kKeyRight) != 0) menu.rankingPage = (menu.rankingPage + 1) % pages;
            menu.PlaySound(kSoundCursor);
            menu.OpenRankingList(true);
            return true;
        }
    }
    if ((keyMask & (kKeyDecide | kKeyMenu)) == 0 || !game.selectWindow.IsSelectionEnabled()) return false;
    const std::int32_t cursor = game.selectWindow.GetCursor();
    menu.PlaySound(kSoundDecide);
    switch (state) {
    case kCategoryState:
        if (cursor >= std::int32_t(menu.rankingCategories.size())) return true;
        menu.rankingCategory = menu.rankingCategories[std::size_t(cursor)];
        menu.rankingPage = 0;
        menu.PushState(kListState);
        menu.OpenRankingList(false);
        return true;
    case kListState: {
        const std::int32_t place = menu.rankingPage * kPlacesPerPage + cursor;
        game.runRecord = ranking != nullptr ? ranking->Get(menu.rankingCategory, place) : SRankingData();
        game.rankingPlace = place;
        menu.PushState(kRecordState);
        menu.OpenRankingRecord();
        return true;
    }
    case kPasswordState:
        if (cursor == 0) CopyPassword(game.runRecord);
        LeaveRankingState(menu);
        return true;
    default:
        return true;
    }
}
