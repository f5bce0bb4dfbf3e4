// The texts the menu composes about items: the description of an item, a kind or the trap or magic circle
// underfoot, the hint scroll's verses, a weapon's or shield's ability page, and the four buyers' offers
// for the items of their selling lists.
#include "game/scenes/menu_scene.h"

#include "game/app/game_resource.h"
#include "game/asset_ids.h"
#include "game/items/item_names.h"
#include "game/ui/message_numbers.h"
#include "game/world/spell_circle_control.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr std::uint16_t kEmptySlot = 0xFFFF;
constexpr std::int32_t kHintScroll = 211;
constexpr std::int32_t kTreasureSpotKind = 382;
constexpr std::int32_t kWarehouseIds = 5000;
constexpr std::int32_t kInventorySlots = 20;

const char* const kUnidentifiedLine = "識別されていないので効果はわからない。\n";

const char* ClassLine(std::int32_t itemClass)
{
    switch (itemClass) {
    case kItemClassPotion:
        return "飲むと特別な効果を発揮する。\n";
    case kItemClassScroll:
        return "読むと特別な効果を発揮する。\n";
    case kItemClassStaff:
        return "振ると魔法球が飛び\n当たると特別な効果を与える。\n";
    case kItemClassPen:
        return "足元に魔法陣を描くと、特別な効果を発揮する。\n";
    case kItemClassMagicStone:
        return "武器や盾に使用すると、特別な効果を発揮する。\n";
    case kItemClassPot:
        return "中にアイテムを入れると、特別な効果を発揮する。\n";
    default:
        return "";
    }
}

const char* ClassBanner(std::int32_t itemClass)
{
    switch (itemClass) {
    case kItemClassWeapon:
        return "【装備すると攻撃力が上がる】\n";
    case kItemClassShield:
        return "【装備すると防御力が上がる】\n";
    case kItemClassArrow:
        return "【撃つと離れた敵に攻撃できる】\n";
    case kItemClassPotion:
        return "【飲むと自分に特別な効果が起こる】\n";
    case kItemClassScroll:
        return "【読むと特別な効果が起こる】\n";
    case kItemClassStaff:
        return "【振ると前方に魔法球が飛ぶ】\n";
    case kItemClassPen:
        return "【床に魔法陣を描くと特別な効果が起こる】\n";
    case kItemClassPot:
        return "【アイテムを入れると特別な効果が起こる】\n";
    case kItemClassTrap:
        return "【踏むと作動する】\n";
    case kItemClassCircle:
        return "【ダンジョンにいる者に特殊な効果が起こる】\n";
    default:
        return "";
    }
}

// The text an item spoilt by ice or water shows instead of its description; null when it is not spoilt.
const char* SpoiltText(const CItemControl::SItem& item)
{
    const bool frozen = (item.flags & CItemControl::kFrozen) != 0;
    const bool wet = (item.flags & CItemControl::kWet) != 0;
    switch (item.itemClass) {
    case kItemClassScroll:
        if (frozen)
            return "凍ってしまった巻物。\nどんな効果かわからず、読むこともできない。\n持ったまま次のフロアへ"
                   "移動すると溶ける。";
        if (wet)
            return "ぬれてしまった巻物。\nどんな効果かわからず、読むこともできない。\n持ったまま次のフロアへ"
                   "移動すると\n乾"
                   "いて再び読めるようになる。";
        return nullptr;
    case kItemClassFood:
        if (frozen)
            return "凍ってしまったおにぎり。\n硬くて食べることができない。\n持ったまま次のフロアへ移動すると"
                   "溶けるが\n"
                   "デロデロになってしまう。";
        if (wet)
            return "ぬれてデロデロになってしまったおにぎり。\n食べると少しだけお腹がふくれる。\n持ったまま次"
                   "のフロアへ"
                   "移動すると\n本格的に痛んでしまう。";
        return nullptr;
    case kItemClassPotion:
        if (frozen)
            return "凍ってしまった水薬。\nどんな効果かわからず、飲むこともできない。\n持ったまま次のフロアへ"
                   "移動すると\n"
                   "溶けて再び飲めるようになる。";
        return nullptr;
    case kItemClassPen:
        if (frozen)
            return "インクが凍ってしまったペン。\nどんな効果かわからず、使うこともできない。\n持ったまま次の"
                   "フロアへ移動"
                   "すると\n溶けて再び使えるようになる。";
        return nullptr;
    default:
        return nullptr;
    }
}

// The identified kind's page 0, for an item of `itemClass` (12 and 13 the trap and circle underfoot).
ZTL::string DescribeKnownKind(SGameResource& game, std::int32_t kindId, std::int32_t itemClass)
{
    const CItemControl& items = game.items;
    const SItemKind& kind = items.GetItemKind(kindId);
    ZTL::string text;
    if (itemClass != kItemClassGold) {
        ZTL::string reading = kind.token;
        if (itemClass == kItemClassCircle) reading.replace("ぺん", "まほうじん");
        text += ZTL::string("[") + reading + "]\n";
    }
    const bool equipment = IsEquipmentClass(itemClass);
    if (equipment) {
        text += "　\n";
        text += itemClass == kItemClassWeapon ? "#y基本攻撃力：" : "#y基本防御力：";
        text += FormatFullWidthNumber(kind.base) + "\n";
    } else if (itemClass == kItemClassPen || itemClass == kItemClassCircle) {
        text += ZTL::string("#y効果範囲：") + CSpellCircleControl::GetRangeName(kind.sealCode) + "\n";
    }
    text += ClassBanner(itemClass);
    ZTL::string description = kind.description;
    // The first adventures' potion heals 200, and its text says so.
    if (game.rulesVersion == 0 && kind.name == ZTL::string("いやしの薬"))
        description.replace("４００", "２００");
    text += description;
    if (equipment && kind.sealCode != kEmptySlot) {
        const std::int32_t size = items.GetSealKind(kind.sealCode).size;
        if (size >= 2)
            text += ZTL::string("\n#gこの能力を合成するためには\n#g能力の空きが") +
                    FormatFullWidthNumber(size) + "必要となる。\n";
    }
    if (itemClass == kItemClassMagicStone && kind.sealCode != kEmptySlot)
        text += "\n剣や盾に使用すると、特殊な能力が付く。\n";
    return text;
}

struct SBuyer
{
    std::int32_t listState;
    std::int32_t confirmState;
    const char* countPhrase;
    const char* closing;
};

constexpr std::array<SBuyer, 4> kBuyers = {{
    {24, 25, "個ノアイテムデ", "Ｇニナリマスガ\nヨロシイデスカ？"},
    {35, 36, "個のアイテムで", "Ｇになるけど\n売ってもいいの？"},
    {60, 61, "個のアイテムで", "Ｇになるけど\nいいかい？"},
    {66, 67, "個のアイテムで", "Ｇになるが\nいいのか？"},
}};

const SBuyer* FindBuyer(std::int32_t state)
{
    for (const SBuyer& buyer : kBuyers)
        if (buyer.listState == state || buyer.confirmState == state) return &buyer;
    return nullptr;
}

bool IsWarehouseSale(std::int32_t state)
{
    return state == 35 || state == 36;
}

// The record of an offered id: the warehouse's in its list (ids of 5000 and above the empty item).
CItemControl::SItem& OfferedRecord(CItemControl& items, std::uint16_t id, bool warehouse)
{
    if (!warehouse) return items.GetItem(id);
    return id < kWarehouseIds ? items.GetWarehouseItem(id) : items.GetEmptyItem();
}

} // namespace

ZTL::string BuildRecordLineText(const CItemControl& items, const CItemControl::SItem& record)
{
    if ((record.flags & CItemControl::kShopGoods) != 0)
        return ZTL::string("#n") + items.GetDisplayName(record);
    const SItemMarkFacts facts{.itemClass = record.itemClass,
                               .flags = record.flags,
                               .plus = record.value,
                               .firstSeal = record.slots[0],
                               .identified = items.IsIdentified(record),
                               .kindMaxPlus = items.GetItemKind(record.kind).maximum};
    return ZTL::string(GetItemColorMark(facts)) + items.GetDisplayName(record);
}

ZTL::string GetHintScrollText(std::int32_t number)
{
    struct SVerse
    {
        std::int32_t number;
        std::array<const char*, 6> lines;
    };
    static constexpr std::array<SVerse, 17> kVerses = {{
        {-3,
         {"☆信じられません！☆", "すべてのダンジョンを１０００階まで制覇するとは", "製作者もびっくりです。",
          "ここまでは想定していないので", "例によって何もご褒美などはありませんが", "ここに称します。"}},
        {-2,
         {"☆ありがとうございました！☆", "すべてのダンジョンの深層まで制覇したことを", "ここに称します。",
          "クリアキャンペーンなどはありませんが", "ここまでプレイしていただいたことに感謝します。"}},
        {-1, {"☆おめでとうございます！☆", "すべてのダンジョンをクリアしたことを", "ここに称します。"}},
        {21, {"三の力を極めたとき、八の力を手にするという"}},
        {22, {"もろく壊れる力でも", "合わされば銀の輝きを放つだろう"}},
        {23, {"月と太陽が合わさるとき", "神秘に触れることができるだろう"}},
        {24, {"ひとつの魔法を極めたとき、剣は磨き上げられる"}},
        {25, {"あらゆる敵を打ち砕く剣は", "ひとつとなりてその力を発揮する"}},
        {27, {"何事をも恐れぬ真の勇気を手にしたとき", "その太刀筋はあらゆる敵を切り伏せるだろう"}},
        {35, {"真の剣姫にふさわしき者は", "真の強さを扱うことが出来るだろう"}},
        {68, {"炎の石がひとつとなり、冷気を防ぐ盾となる"}},
        {69, {"凍てつく氷がひとつとなり、炎を退く盾となる"}},
        {70, {"氷河の地に溶岩が流れ", "後にはひとつの虹が残る"}},
        {71, {"魔法の石で満ち溢れたとき", "原石は真の輝きを得る"}},
        {72, {"その身を守ると望むのならば", "その身を守る石を集めよ"}},
        {73, {"あらゆる力を防ぐ盾は", "ひとつとなりてその守りを発揮する"}},
        {74, {"あらゆる知識を得たものは", "あらゆる罠を退ける力を得る"}},
    }};
    static constexpr SVerse kDeepest = {82, {"深き地の底には", "真の剣姫を守る力が眠るという"}};
    const auto compose = [](const SVerse& verse) {
        ZTL::string text = "この巻物には、こう書かれている。\n　\n";
        for (const char* line : verse.lines)
            if (line != nullptr) text += ZTL::string("#g") + line + "\n";
        return text;
    };
    if (number == kDeepest.number) return compose(kDeepest);
    for (const SVerse& verse : kVerses)
        if (verse.number == number) return compose(verse);
    return "この巻物には、何も書かれていない";
}

ZTL::string BuildAbilityPageText(const CItemControl& items, const std::array<std::uint16_t, 10>& slots)
{
    ZTL::string text;
    for (const std::uint16_t code : slots) {
        if (code == kEmptySlot) continue;
        if (code == 0) {
            text += "#n　\n";
        } else {
            text += ZTL::string("　　") + items.GetSealKind(code).name + "\n";
        }
    }
    return text.empty() ? ZTL::string("能力はついていない") : text;
}

SItemDescription BuildItemDescription(SGameResource& game, std::uint16_t item, std::int32_t kind,
                                      std::int32_t page)
{
    CItemControl& items = game.items;
    SItemDescription result;
    if (kind >= 0) {
        result.shown = true;
        const std::int32_t itemClass = items.GetItemKind(kind).classId;
        if (items.IsKindUnidentified(kind)) {
            result.text = ZTL::string(kUnidentifiedLine) + ClassLine(itemClass);
        } else {
            result.text = DescribeKnownKind(game, kind, itemClass);
        }
        return result;
    }

    if (item == CSceneMenu::kNoItem) {
        const CCharacterControl::SPlayer& player = game.characters.player;
        if (player.x < 0 || player.y < 0 || player.x >= CMapControl::kWidth ||
            player.y >= CMapControl::kHeight)
            return result;
        const SMapCell& cell = game.map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y));
        std::int32_t floorKind = 0;
        std::int32_t floorClass = kItemClassTrap;
        if (cell.objectKind == kObjectTreasureSpot) {
            floorKind = kTreasureSpotKind;
        } else if (cell.objectKind == kObjectTrap) {
            floorKind = GetTrapDescriptionKind(cell.objectId);
        } else if (cell.objectKind == kObjectCircle) {
            floorKind = cell.objectId;
            floorClass = kItemClassCircle;
        } else {
            return result;
        }
        result.shown = true;
        if (floorClass == kItemClassTrap) {
            result.title = cell.objectKind == kObjectTreasureSpot
                               ? ZTL::string("#6") + items.GetKindName(kTreasureSpotKind) + "#"
                               : GetColoredTrapName(items, cell.objectId);
            result.text = DescribeKnownKind(game, floorKind, floorClass);
            return result;
        }
        if (items.IsKindIdentified(floorKind, false)) {
            result.title = items.GetKindName(floorKind);
            result.text = DescribeKnownKind(game, floorKind, floorClass);
        } else {
            result.title = ZTL::string("#y") + items.GetMagicCircleName(floorKind);
            result.text = ZTL::string(kUnidentifiedLine) + "#y効果範囲：" +
                          CSpellCircleControl::GetRangeName(items.GetItemKind(floorKind).sealCode);
        }
        return result;
    }

    const CItemControl::SItem& record = items.GetItem(item);
    if (record.kind == kEmptySlot) return result;
    result.shown = true;
    result.title = BuildItemLineText(game, item, false, 0);
    if (const char* spoilt = SpoiltText(record)) {
        result.text = spoilt;
    } else if (record.itemClass == kItemClassScroll && record.kind == kHintScroll) {
        result.text = GetHintScrollText(std::int8_t(record.extra[0]));
    } else if (items.IsKindUnidentified(record.kind)) {
        result.text = ZTL::string(kUnidentifiedLine) + ClassLine(record.itemClass);
    } else if (page != 0 && IsEquipmentClass(record.itemClass)) {
        result.abilityPage = true;
        result.text = BuildAbilityPageText(items, record.slots);
    } else {
        result.hasAbilityPage = IsEquipmentClass(record.itemClass);
        result.text = DescribeKnownKind(game, record.kind, record.itemClass);
    }
    return result;
}

void CSceneMenu::ComposeItemDescription()
{
    SGameResource& game = Game();
    const bool kindPage = GetState() == 42;
    const SItemDescription description =
        BuildItemDescription(game, describedItem, kindPage ? describedKind : -1, descriptionPage);
    if (!description.shown) return;
    // A weapon's or shield's description has its abilities for a second page.
    if (!kindPage && descriptionPage == 0) lastDescriptionPage = description.hasAbilityPage ? 1 : 0;
    if (description.abilityPage) {
        OpenAbilityPage(description.text);
    } else {
        game.selectWindow.Open(15, 40, true, 300, 9, -1, true, description.text);
    }
    if (!kindPage) game.selectWindow.Open(60, 16, false, 200, -1, -1, true, description.title);
    RedrawWindows();
}

void CSceneMenu::OpenAbilityPage(const ZTL::string& text)
{
    OpenAbilitySlots(describedItem, text, -1, true);
}

void CSceneMenu::OpenAbilitySlots(std::uint16_t item, const ZTL::string& text, std::int32_t cursor,
                                  bool newGroup)
{
    SGameResource& game = Game();
    game.selectWindow.OpenIconList(15, 40, newGroup, 300, 10, cursor, text);
    if (item == kNoItem) return;
    const std::array<std::uint16_t, 10>& slots = game.items.GetItem(item).slots;
    for (std::int32_t slot = 0; slot < 10; ++slot)
        if (slots[std::size_t(slot)] != kNoItem)
            game.selectWindow.AddImage(kImageAbilitySlots, 39, 48 + 18 * slot,
                                       AbilitySlotIconSource(slots, slot, false));
}

void CSceneMenu::OpenAbilityList()
{
    SGameResource& game = Game();
    // The seal removal hands over its target item in the field the choice is written back to.
    abilityItem = game.chosenAbility;
    if (abilityItem == kNoItem || game.items.GetItem(abilityItem).kind == kEmptySlot) {
        game.chosenAbility = kNoItem;
        PushState(0);
        return;
    }
    const std::array<std::uint16_t, 10>& slots = game.items.GetItem(abilityItem).slots;
    const bool any =
        std::any_of(slots.begin(), slots.end(), [](std::uint16_t code) { return code != kEmptySlot; });
    // The lines stand in slot order, so a line's index is the slot the removal takes; a continuation line
    // and the line of an item without abilities cannot be chosen.
    ZTL::string text = BuildAbilityPageText(game.items, slots);
    if (!any) text = ZTL::string("#n") + text;
    game.selectWindow.Open(60, 16, true, 200, -1, -1, true, BuildItemLineText(game, abilityItem, false, 26));
    OpenAbilitySlots(abilityItem, text, 0, false);
    RedrawWindows();
}

std::vector<std::uint16_t> GetOfferedIds(const CSceneMenu& menu, std::int32_t listState)
{
    const bool warehouse = IsWarehouseSale(listState);
    std::vector<std::int32_t> slots = menu.itemList.chosenSlots;
    if (slots.size() <= 1) {
        slots = {warehouse ? menu.secondPage * 10 + menu.secondRow
                           : menu.itemList.page * 10 + menu.itemList.row};
    }
    const SGameResource& game = menu.Game();
    std::vector<std::uint16_t> ids;
    ids.reserve(slots.size());
    for (const std::int32_t slot : slots) {
        std::uint16_t id = kEmptySlot;
        if (warehouse) {
            if (!menu.warehouseFilter.empty()) {
                if (slot >= 0 && std::size_t(slot) < menu.warehouseFilter.size())
                    id = menu.warehouseFilter[std::size_t(slot)];
            } else if (slot >= 0 && slot < kWarehouseIds) {
                id = game.items.warehouseList[std::size_t(slot)];
            }
        } else if (slot >= 0 && slot < kInventorySlots) {
            id = game.inventory[std::size_t(slot)];
        }
        ids.push_back(id);
    }
    return ids;
}

ZTL::string CSceneMenu::OpenSellOffer()
{
    SGameResource& game = Game();
    const std::int32_t state = GetState();
    const bool warehouse = IsWarehouseSale(state);
    const SBuyer* buyer = FindBuyer(state);
    const std::vector<std::uint16_t> ids = GetOfferedIds(*this, state);

    ZTL::string text;
    if (ids.size() == 1) {
        text = warehouse ? BuildRecordLineText(game.items, OfferedRecord(game.items, ids[0], true))
                         : BuildItemLineText(game, ids[0], true, state);
    } else {
        text = FormatFullWidthNumber(std::int32_t(ids.size())) + (buyer != nullptr ? buyer->countPhrase : "");
    }
    std::int64_t price = 0;
    for (const std::uint16_t id : ids)
        price += game.items.GetItemPrice(OfferedRecord(game.items, id, warehouse), 0, warehouse ? 1 : 0);
    text += ZTL::string("\n") + FormatFullWidthNumber(std::int32_t(price)) +
            (buyer != nullptr ? buyer->closing : "");

    // Only a selling list has a confirmation to answer the offer.
    if (buyer == nullptr || buyer->listState != state) return text;
    PushState(buyer->confirmState);
    game.selectWindow.Open(32, 78, true, -1, -1, -1, true, text);
    game.selectWindow.OpenYesNo(32, 144, false);
    RedrawWindows();
    return text;
}

void CSceneMenu::QueueSellCommands()
{
    SGameResource& game = Game();
    const bool warehouse = IsWarehouseSale(GetState());
    const std::vector<std::uint16_t> ids = GetOfferedIds(*this, GetState());
    const auto command = [](std::int32_t kind, std::int32_t id) {
        SPlayerCommand c;
        c.kind = kind;
        if (kind == 13) c.arg1 = c.arg2 = id;
        return c;
    };
    const auto sellable = [&](std::uint16_t id) {
        return (OfferedRecord(game.items, id, warehouse).flags & CItemControl::kShopGoods) == 0;
    };
    if (ids.size() == 1) {
        if (sellable(ids[0])) game.playerCommands.push_back(command(13, ids[0]));
        return;
    }
    game.playerCommands.push_back(command(14, -1));
    for (const std::uint16_t id : ids)
        if (sellable(id)) game.playerCommands.push_back(command(13, id));
    game.playerCommands.push_back(command(0, -1));
}
