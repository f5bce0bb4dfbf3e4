// The shop and the monster house reacting to the heroine, and the failed theft.
#include "game/characters/room_events.h"

#include "game/app/game_resource.h"
#include "game/characters/display_name.h"
#include "game/characters/level_changes.h"
#include "game/core/money.h"
#include "game/core/random.h"
#include "gamebase/music.h"

#include <vector>

namespace {

constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kWaterJar = 358;
constexpr std::int32_t kDormant = 5;

enum : std::int32_t
{
    kMusicShop = 10,
    kMusicThief = 11,
    kMusicHouse = 12,
    kMusicVariantHouse = 13,
};

void StopMusic()
{
    QuorlithGameBase::CMusic::GetInstance()->FadeOut(1);
}

void Say(SGameResource& game, const ZTL::string& text)
{
    game.messageWindow.AddMessage(-1, kWaitDefault, text);
}

void CheckShop(SGameResource& game, const CCharacterControl::SPlayer& heroine)
{
    const bool inShop = game.map.IsInSpecialRoom(heroine.x, heroine.y);
    if (inShop && game.shopInside == 0) {
        Say(game, "「イラッシャイマセ」");
        game.musicRequest = kMusicShop;
        game.shopInside = 1;
        IdentifyInventory(game);
    } else if (!inShop && game.shopInside != 0) {
        game.shopInside = 0;
        // The bill is what the goods left in the room must still be worth: less means she took some.
        if (SumShopGoodsPrice(game) < game.shopBill) {
            Say(game, "「泥棒！」");
            game.musicRequest = kMusicThief;
            StopMusic();
            game.shopTheftDone = 1;
            game.characters.AlarmShopkeepers();
        } else {
            game.musicRequest = game.houseState == 0  ? kMusicHouse
                                : game.houseState > 0 ? kMusicVariantHouse
                                                      : game.floorClass;
        }
    }
}

void CheckHouse(SGameResource& game, const CCharacterControl::SPlayer& heroine)
{
    const std::int32_t type = game.map.GetMarkedRoomValue(heroine.x, heroine.y);
    if (game.map.markedRoom == -1 || type == -1) return;
    game.houseState = type;
    static const char* const kVariants[] = {"#rドールハウス#だ！", "#rビーストハウス#だ！",
                                            "#rフライングハウス#だ！", "#rドレインハウス#だ！",
                                            "#rゾンビハウス#だ！"};
    StopMusic();
    if (type == 0) {
        game.musicRequest = kMusicHouse;
        Say(game, "モンスターハウスだ！");
    } else if (type >= 1 && type <= 5) {
        game.musicRequest = kMusicVariantHouse;
        Say(game, kVariants[type - 1]);
    }
    game.houseDiscovered = 1;
    if (game.wakeLock == 0)
        for (CCharacterControl::SMonster& monster : game.characters.monsters)
            if (monster.sleepState == kDormant) monster.sleepState = 0;
    std::int64_t bonus = std::int64_t(game.floor) * 1000 + (type != 0 ? 100000 : 0);
    if (game.houseBonusSwitch == 0) bonus *= 5;
    game.pendingFloorBonus = std::int32_t(
        std::clamp<std::int64_t>(std::int64_t(game.pendingFloorBonus) + bonus, INT32_MIN, INT32_MAX));
}

bool HoldsUnpaidGoods(SGameResource& game, const CItemControl::SItem& pot)
{
    if (pot.itemClass != kItemClassPot || pot.kind == kWaterJar) return false;
    const std::int32_t size = std::clamp<std::int32_t>(pot.value, 0, std::int32_t(pot.slots.size()));
    for (std::int32_t i = 0; i < size; ++i) {
        const std::uint16_t inside = pot.slots[std::size_t(i)];
        if (inside != CItemControl::kNone &&
            (game.items.GetItem(inside).flags & CItemControl::kShopGoods) != 0)
            return true;
    }
    return false;
}

} // namespace

void CheckRoomEvents(SGameResource& game)
{
    AddExperience(game, 0);
    CCharacterControl::SPlayer& heroine = game.characters.GetPlayer();
    heroine.moved = 0;
    if (heroine.invisibleTurns > 0 || heroine.inPotTurns > 0) return;
    if (game.shopTheftDone == 0) CheckShop(game, heroine);
    if (game.houseState == -1) CheckHouse(game, heroine);
}

void ApplyFailedTheftPenalty(SGameResource& game)
{
    game.gold = 0;
    std::vector<std::uint16_t> lost;
    for (const std::uint16_t index : game.inventory) {
        if (index == CItemControl::kNone) continue;
        const CItemControl::SItem& item = game.items.GetItem(index);
        bool chosen = (item.flags & CItemControl::kShopGoods) != 0 || HoldsUnpaidGoods(game, item);
        if (!chosen && index != game.equippedWeapon && index != game.equippedShield)
            chosen = RandomBelow(game.random, 3) == 0;
        if (chosen) lost.push_back(index);
    }
    for (const std::uint16_t index : lost)
        for (std::uint32_t slot = 0; slot < game.inventory.size(); ++slot)
            if (game.inventory[slot] == index) {
                game.items.RemoveFromInventory(game, slot, true);
                break;
            }
    AddGoldCounter(game.goldCounter, -game.floor * 1000);
}

void SetLastEngagedCharacter(SGameResource& game, std::uint16_t index)
{
    if (index >= game.characters.monsters.size()) return;
    if (game.characters.monsters[index].IsCharacterInvisible(game)) return;
    game.lastEngaged = index;
}

ZTL::string GetCharacterNameByIndex(SGameResource& game, std::uint16_t index)
{
    if (index == 0xFFFF) return "";
    return GetDisplayName(game, index);
}

ZTL::string GetSpellCircleDisplayName(SGameResource& game, std::int32_t circleKind)
{
    const bool known = circleKind >= 0 && std::size_t(circleKind) < game.items.kindState.size() &&
                       game.items.kindState[std::size_t(circleKind)] == 2;
    return ZTL::string(known ? "#5" : "#y") + game.items.GetMagicCircleName(circleKind) + "#";
}

void IdentifyItemKind(SGameResource& game, std::uint16_t index)
{
    const CItemControl::SItem& item = game.items.GetItem(index);
    if (IsEquipmentClass(item.itemClass) && (item.flags & CItemControl::kShopGoods) != 0) return;
    game.items.MarkKindSeen(item.kind);
}
