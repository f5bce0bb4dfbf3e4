// The heroine's level by her experience, and a monster's level and rank.
#include "game/characters/level_changes.h"

#include "game/app/game_resource.h"
#include "game/characters/display_name.h"
#include "game/ui/message_numbers.h"

#include <algorithm>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kCircleFixedLevel = 275;
constexpr std::int32_t kGrowingWeapon = 34;
constexpr std::int32_t kGrowingShield = 81;
constexpr std::int32_t kMaxExperience = 999999999;
constexpr std::int32_t kMaxLevel = 99;
constexpr std::int32_t kHpPerLevel = 5;
constexpr std::int32_t kFullnessPerLevel = 3;

enum : std::int32_t
{
    kSoundLevelUp = 14,
    kSoundLevelDown = 15,
    kSoundRankUp = 66,
};

// E[level], the least experience of the level (1 .. 99).
std::int32_t LeastExperience(const SGameResource& game, std::int32_t level)
{
    return game.experienceTable[std::size_t(std::clamp(level, 1, kMaxLevel) - 1)];
}

// The equipped item in the slot when it is of that kind, else null.
CItemControl::SItem* Equipped(SGameResource& game, std::int32_t slot, std::int32_t kind)
{
    if (slot == 0xFFFF) return nullptr;
    CItemControl::SItem& item = game.items.GetItem(std::uint32_t(slot));
    return item.kind == kind ? &item : nullptr;
}

bool LevelFixed(SGameResource& game, std::uint16_t index)
{
    return game.characters.GetCharacterOrPlayer(index).CountCircles(game, kCircleFixedLevel) > 0;
}

void Say(SGameResource& game, std::int32_t sound, const ZTL::string& text)
{
    game.messageWindow.AddMessage(sound, kWaitDefault, text);
}

} // namespace

void AddExperience(SGameResource& game, std::int32_t amount)
{
    CCharacterControl::SPlayer& heroine = game.characters.GetPlayer();
    heroine.experience =
        std::int32_t(std::clamp<std::int64_t>(std::int64_t(heroine.experience) + amount, 0, kMaxExperience));
    if (LevelFixed(game, kHeroine)) return;

    std::int32_t level = 1;
    while (level < kMaxLevel && heroine.experience >= LeastExperience(game, level + 1))
        ++level;
    const std::int32_t k = level - heroine.level;
    CItemControl::SItem* weapon = Equipped(game, game.equippedWeapon, kGrowingWeapon);
    CItemControl::SItem* shield = Equipped(game, game.equippedShield, kGrowingShield);
    if (k > 0) {
        Say(game, kSoundLevelUp,
            GetDisplayName(game, kHeroine) + "は レベル" + FormatColoredNumber(level) + "に上がった！");
        if (shield != nullptr) {
            game.items.AddValue(*shield, k);
            heroine.AddMaxFullness(-kFullnessPerLevel * k);
        }
        // The growing weapon takes the levels' strength in place of her body.
        if (weapon != nullptr)
            game.items.AddValue(*weapon, k);
        else
            heroine.AddMaxHp(kHpPerLevel * k);
    } else if (k < 0) {
        Say(game, kSoundLevelDown,
            GetDisplayName(game, kHeroine) + "は レベル" + FormatColoredNumber(level) + "に下がった。");
        heroine.AddMaxHp(kHpPerLevel * k);
        if (weapon != nullptr) game.items.AddValue(*weapon, k);
        if (shield != nullptr) game.items.AddValue(*shield, k);
    }
    heroine.hp = std::min(heroine.hp, heroine.maxHp);
    heroine.level = level;
}

void ShiftPlayerLevel(SGameResource& game, std::int32_t d)
{
    // No shift is no change: she keeps the experience she has within her level.
    if (d == 0 || LevelFixed(game, kHeroine)) return;
    CCharacterControl::SPlayer& heroine = game.characters.GetPlayer();
    const std::int32_t level = std::clamp(heroine.level + d, 1, kMaxLevel);
    if (d >= 0) {
        AddExperience(game, LeastExperience(game, level) - heroine.experience);
        return;
    }
    // At level 99 there is no next level: her most experience there is the top of the scale.
    const std::int64_t most =
        level >= kMaxLevel ? kMaxExperience : std::int64_t(LeastExperience(game, level + 1)) - 1;
    AddExperience(game, std::int32_t(most - heroine.experience));
}

void ChangeCharacterRank(SGameResource& game, std::uint16_t index, std::int32_t delta)
{
    if (index == kHeroine || index >= game.characters.monsters.size() || delta == 0) return;
    if (LevelFixed(game, index)) return;
    CCharacterControl::SMonster& monster = game.characters.monsters[index];
    const ZTL::string before = GetDisplayName(game, index);
    if (delta > 0) {
        const std::int32_t kind = monster.kindId;
        monster.SetLevel(
            std::int32_t(std::min<std::int64_t>(std::int64_t(monster.level) + delta, 0x7FFFFFFF)), game);
        if (monster.kindId != kind)
            Say(game, kSoundRankUp, "ランクが上がって\n" + GetDisplayName(game, index) + "になった。");
        else
            Say(game, kSoundRankUp, before + "は\nレベルが上がった。");
    } else if (monster.level >= 2) {
        monster.SetLevel(std::int32_t(std::max<std::int64_t>(std::int64_t(monster.level) + delta, 1)), game);
        Say(game, kSoundLevelDown, before + "は\nレベルが下がった。");
    } else if (game.characters.DemoteMonster(monster, game) == 0) {
        Say(game, kSoundLevelDown, "ランクが下がって\n" + GetDisplayName(game, index) + "になった。");
    }
}
