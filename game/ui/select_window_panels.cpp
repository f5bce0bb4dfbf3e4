// The fixed windows whose contents the select-window stack builds itself from the game state.

#include "game/app/game_resource.h"
#include "game/ui/select_window.h"
#include "game/ui/window_look.h"

#include <cstdio>

namespace {

using SItem = CSelectWindow::SItem;

constexpr std::uint32_t kGrey = 0xA0A0A0;
constexpr std::uint32_t kRed = 0x8080FF;
constexpr std::uint32_t kPaleRed = 0xC0C0FF;  // states that help
constexpr std::uint32_t kPaleBlue = 0xFFC0C0; // states that hinder
constexpr std::uint32_t kYellow = 0x80FFFF;

// The circle that seals the abilities of whom it covers.
constexpr std::int32_t kSealingCircle = 271;
// The ability of a kind invisible by nature.
constexpr std::uint16_t kAbilityInvisible = 0x10;
// Bound to its cell without end.
constexpr std::uint8_t kBoundForever = 255;

SItem Item(const char* text, std::uint32_t colour, bool enabled = true)
{
    return SItem{text, colour, static_cast<std::uint8_t>(enabled ? 1 : 0)};
}

// A line of a panel, formatted into at most 40 bytes.
template <class... Args> ZTL::string Line(const char* format, Args... args)
{
    char text[40];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// Thousandths shown as whole units, a part rounded up.
std::int32_t ThousandthsRoundedUp(std::int32_t value)
{
    return value / 1000 + (value % 1000 > 0 ? 1 : 0);
}

// The heroine's timed states, those that help first.
std::vector<SItem> StatusLines(SGameResource& game, IPanelRules& rules)
{
    const CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    const SCharacterStatus& status = player.status;
    std::vector<SItem> lines;
    const auto add = [&lines](const ZTL::string& text, std::uint32_t colour) {
        lines.push_back(SItem{text, colour, 0});
    };

    if (player.hasteTurns != 0) {
        // A speed level outside 1 to 3 has no words.
        static constexpr const char* kHaste[] = {"   倍速  残り%dターン", " ３倍速  残り%dターン",
                                                 " ４倍速  残り%dターン"};
        if (player.hasteLevel >= 1 && player.hasteLevel <= 3)
            add(Line(kHaste[player.hasteLevel - 1], player.hasteTurns), kPaleRed);
    }
    if (rules.HasAbility(game, kAbilityInvisible) || player.invisibleTurns != 0)
        add(Line("   透明  残り%dターン", player.invisibleTurns), kPaleRed);
    if (player.strongBodyTurns != 0) add(Line("   強健  残り%dターン", player.strongBodyTurns), kPaleRed);
    if (player.inPotTurns != 0) add(Line("やり過ごし 残り%dターン", player.inPotTurns), kPaleRed);

    if (status.slowTurns != 0) add(Line("   鈍足  残り%dターン", status.slowTurns), kPaleBlue);
    if (status.confusionTurns != 0) add(Line("   混乱  残り%dターン", status.confusionTurns), kPaleBlue);
    if (status.sealTurns != 0) {
        add(Line("   封印  残り%dターン", status.sealTurns), kPaleBlue);
    } else if (rules.CountCirclesAffecting(game, kSealingCircle) > 0) {
        add("   封印", kPaleBlue);
    }
    if (status.blindTurns != 0) add(Line(" 目潰し  残り%dターン", status.blindTurns), kPaleBlue);
    if (status.hallucinationTurns != 0)
        add(Line("   幻惑  残り%dターン", status.hallucinationTurns), kPaleBlue);
    if (status.boundTurns == kBoundForever) {
        add("移動不可", kPaleBlue);
    } else if (status.boundTurns != 0 && player.x == status.boundX && player.y == status.boundY) {
        add(Line("移動不可 残り%dターン", status.boundTurns), kPaleBlue);
    }
    if (status.weakBodyTurns != 0) add(Line("   虚弱  残り%dターン", status.weakBodyTurns), kPaleBlue);
    return lines;
}

// The text-entry sets, seven rows of ten ("　" an empty cell).
constexpr const char* kCharacterSets[] = {
    "あいうえおはひふへほかきくけこまみむめもさしすせそや　ゆ　よたちつてとらりるれろなにぬねのわをん゛゜ぁぃ"
    "ぅぇぉゃゅょっー"
    "０１２３４５６７８９",
    "アイウエオハヒフヘホカキクケコマミムメモサシスセソヤ　ユ　ヨタチツテトラリルレロナニヌネノワヲン゛゜ァィ"
    "ゥェォャュョッー"
    "０１２３４５６７８９",
    "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ＋－！？ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖ"
    "ｗｘｙｚ　　　　"
    "０１２３４５６７８９",
};

} // namespace

int CSelectWindow::OpenCommandMenu(bool itemsAvailable, std::int32_t underfootKind, bool circlesAvailable,
                                   bool statusAvailable, bool hiding)
{
    std::vector<SItem> items;
    if (!itemsAvailable) {
        items.push_back(Item(" 持ち物", kGrey, false));
    } else if (hiding) {
        items.push_back(Item(" 持ち物", kRed, false));
    } else {
        items.push_back(Item(" 持ち物", kTextWhite));
    }

    SItem underfoot = Item(" 足元", kGrey, false);
    if (underfootKind == kObjectItem || underfootKind == kObjectCircle) {
        underfoot = Item(" 足元", kTextWhite);
    } else if (underfootKind == kObjectTrap || underfootKind == kObjectTreasureSpot) {
        underfoot = Item(" 罠", kTextWhite);
    } else if (underfootKind == kObjectStairs) {
        underfoot = Item(" 階段", kTextWhite);
    }
    if (hiding) underfoot.colour = kRed, underfoot.enabled = 0;
    items.push_back(underfoot);

    items.push_back(circlesAvailable ? Item(" 魔法陣", kTextWhite) : Item(" 魔法陣", kGrey, false));
    items.push_back(Item(" マップ", kTextWhite));
    items.push_back(statusAvailable ? Item(" 状態", kTextWhite) : Item(" 状態", kGrey, false));
    items.push_back(Item(" 設定", kTextWhite));
    PushWindow(kTypeCommandMenu, 16, 32, 128, 66, false, 0, std::move(items));
    return 0;
}

int CSelectWindow::OpenStatusTurns(SGameResource& game, IPanelRules& rules)
{
    std::vector<SItem> lines = StatusLines(game, rules);
    if (lines.empty()) return 0;
    const std::int32_t height = static_cast<std::int32_t>(lines.size()) * 18 + 12;
    PushWindow(kTypePanel, (320 - 176) / 2, (240 - height) / 2, 176, height, true, -1, std::move(lines));
    return 0;
}

int CSelectWindow::OpenParameters(SGameResource& game, IPanelRules& rules)
{
    const CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    std::vector<SItem> lines;
    lines.push_back(
        SItem{Line(" 攻撃力 %4d  満腹度  %3d/%3d", rules.GetAttackPower(game),
                   ThousandthsRoundedUp(player.fullness), ThousandthsRoundedUp(player.maxFullness)),
              kTextWhite, 0});
    lines.push_back(SItem{Line(" 防御力 %4d  ちから  %3d/%3d", rules.GetDefensePower(game),
                               rules.GetStrengthWithBonus(game), rules.GetMaxStrengthWithBonus(game)),
                          kTextWhite, 0});
    lines.push_back(
        SItem{Line("  %4dターン  経験値 %8d", game.floorTime / 6, player.experience), kTextWhite, 0});
    PushWindow(kTypePanel, 48, 168, 224, 66, false, -1, std::move(lines));
    return 0;
}

int CSelectWindow::OpenWarehouseClassFilter(CItemControl& items)
{
    static constexpr const char* kClasses[] = {"　すべて", "　武器",   "　盾",   "　矢",
                                               "　食料　", "　水薬",   "　巻物", "　杖",
                                               "　ペン",   "　魔法石", "　壺",   "　その他"};
    std::uint32_t present = 0;
    items.GetWarehouseClassesPresent(present);
    if ((present & 1u) == 0) return 1;
    std::vector<SItem> entries;
    for (std::uint32_t i = 0; i < std::size(kClasses); ++i) {
        const bool held = (present >> i & 1u) != 0;
        entries.push_back(Item(kClasses[i], held ? kTextWhite : kGrey, held));
    }
    PushWindow(kTypeClassFilter, 24, 24, 208, 84, true, 0, std::move(entries));
    return 0;
}

int CSelectWindow::OpenCharacterTable(std::int32_t characterSet, bool supplement)
{
    if (characterSet < 0 || characterSet > 2) return 1;
    const ZTL::string commands =
        supplement ? "　切替　直接入力　おぎなう　戻る　決定\n" : "　切替　直接入力　　　進む　戻る　決定\n";
    // Every character (two bytes) behind a full-width space, a line feed after every tenth.
    ZTL::string grid;
    const char* set = kCharacterSets[characterSet];
    for (std::size_t i = 0; set[i] != '\0'; i += 2) {
        grid += "　";
        grid.append(set + i, 2);
        if ((i / 2 + 1) % 10 == 0) grid += "\n";
    }
    // One row of height for every line feed of the two items.
    std::int32_t rows = 0;
    for (const ZTL::string& text : {commands, grid})
        for (std::uint32_t i = 0; i < text.size(); ++i)
            rows += text[i] == '\n' ? 1 : 0;
    PushWindow(kTypeCharacterTable, 8, 64, 300, rows * 18 + 24, true, -1,
               {SItem{commands, kYellow, 1}, SItem{grid, kTextWhite, 1}});
    return 0;
}
