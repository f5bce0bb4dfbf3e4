// The monster sets of the scrolls and the follow-up actions on monsters and seals.
#include "game/app/game_resource.h"
#include "game/characters/combat.h"
#include "game/items/scrolls.h"
#include "game/turn/action_queue.h"
#include "game/ui/effect_object.h"

#include <cstdlib>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::uint16_t kNoChoice = 0xFFFF;
constexpr std::int32_t kNoSound = -1;
constexpr std::int32_t kSoundStrike = 19;
constexpr std::int32_t kSoundBoulderBreaks = 48;
constexpr std::int32_t kStrikeDamage = 35;
constexpr std::int32_t kBoltDamage = 30;
constexpr std::int32_t kCauseItem = 3;
constexpr std::int32_t kBoulderSelector = 21;
constexpr std::uint8_t kTerrainWater = 4;
constexpr std::int32_t kCommandSealChoice = 11;
// The game menu's start parameter that opens the ability list of the chosen-slot field's item.
constexpr std::int32_t kMenuSealChoice = 5;

// A character the scrolls may act on: occupied, not a chest or ice pillar, not proof against magic.
bool IsScrollTarget(SGameResource& game, CCharacterControl::SMonster& monster)
{
    if (monster.kindId == 0xFFFF) return false;
    const std::int32_t type = monster.GetType();
    if (type == 0 || type == 6 || type == 7) return false;
    return !monster.HasAbility(game, kAbilityMagicProof);
}

// The listed monsters that still occupy their slots.
template <typename Action> void ForEachListed(SGameResource& game, const SActionRecord& record, Action action)
{
    for (const std::int32_t index : record.values) {
        if (index < 0 || index >= CCharacterControl::kSlots) continue;
        CCharacterControl::SMonster& monster = game.characters.monsters[std::size_t(index)];
        if (monster.GetType() == 0) continue;
        action(std::uint16_t(index), monster);
    }
}

std::int32_t PushMonsterList(CActionQueue& queue, std::int32_t kind, const MonsterSet& monsters)
{
    SActionRecord record;
    record.kind = kind;
    record.values.assign(monsters.begin(), monsters.end());
    return queue.Push(record);
}

} // namespace

void CollectMonstersInPlayersRoom(SGameResource& game, MonsterSet& set)
{
    const CCharacterControl::SPlayer& player = game.characters.player;
    const std::int8_t room = game.map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y)).room;
    if (room < 0) return;
    for (std::uint16_t i = 0; i < game.characters.monsterCount && i < CCharacterControl::kSlots; ++i) {
        CCharacterControl::SMonster& monster = game.characters.monsters[i];
        if (!IsScrollTarget(game, monster)) continue;
        if (game.map.GetCell(std::uint32_t(monster.x), std::uint32_t(monster.y)).room == room) set.insert(i);
    }
}

void CollectMonstersAroundPlayer(SGameResource& game, MonsterSet& set)
{
    const CCharacterControl::SPlayer& player = game.characters.player;
    for (std::uint16_t i = 0; i < game.characters.monsterCount && i < CCharacterControl::kSlots; ++i) {
        CCharacterControl::SMonster& monster = game.characters.monsters[i];
        if (!IsScrollTarget(game, monster)) continue;
        if (std::abs(monster.x - player.x) <= 1 && std::abs(monster.y - player.y) <= 1) set.insert(i);
    }
}

std::int32_t PushScrollStrikeAction(CActionQueue& queue, const MonsterSet& monsters)
{
    return PushMonsterList(queue, kActionScrollStrike, monsters);
}

std::int32_t PushScrollBoltAction(CActionQueue& queue, const MonsterSet& monsters)
{
    return PushMonsterList(queue, kActionScrollBolt, monsters);
}

std::int32_t PushEraseSealAction(CActionQueue& queue, std::uint16_t scroll, std::uint16_t target)
{
    SActionRecord record;
    record.kind = kActionEraseSeal;
    record.param1 = scroll;
    record.param2 = target;
    return queue.Push(record);
}

std::int32_t HandleScrollStrike(CActionQueue& queue, SGameResource& game)
{
    if (queue.step == 0) {
        ForEachListed(game, queue.current, [&](std::uint16_t, CCharacterControl::SMonster& monster) {
            SEffectObject strike;
            strike.Start(game, monster.x, monster.y, kEffectStrike);
            AddEffectNearPlayer(game, strike);
        });
        PlaySoundEffect(game, kSoundStrike);
        return 1;
    }
    ForEachListed(game, queue.current, [&](std::uint16_t index, CCharacterControl::SMonster&) {
        DealDamage(game, index, ComputeSeal37ResistedDamage(game, kStrikeDamage, true, index), kHeroine,
                   kCauseItem, false, true);
    });
    return 0;
}

std::int32_t HandleScrollBolt(CActionQueue& queue, SGameResource& game)
{
    if (queue.step == 0) {
        ForEachListed(game, queue.current, [&](std::uint16_t, CCharacterControl::SMonster& monster) {
            SEffectObject boulder;
            boulder.Start(game, monster.x, monster.y, kEffectFallingBoulder);
            AddEffectNearPlayer(game, boulder);
        });
        return 1;
    }
    if (queue.step == 1) {
        bool onLand = false;
        ForEachListed(game, queue.current, [&](std::uint16_t, CCharacterControl::SMonster& monster) {
            if (game.map.GetCell(std::uint32_t(monster.x), std::uint32_t(monster.y)).terrain ==
                kTerrainWater) {
                // The splash plays its own sound.
                SEffectObject splash;
                splash.Start(game, monster.x, monster.y, kEffectSplash);
                game.overlayEffects.push_back(splash);
                return;
            }
            onLand = true;
            for (std::int32_t i = 0; i < 4; ++i) {
                SEffectObject piece;
                piece.StartKind18(game, kBoulderSelector, i % 2 == 0, i * 64 + 32, monster.x, monster.y);
                AddEffectNearPlayer(game, piece);
            }
        });
        if (onLand) PlaySoundEffect(game, kSoundBoulderBreaks);
        return 1;
    }
    ForEachListed(game, queue.current, [&](std::uint16_t index, CCharacterControl::SMonster&) {
        DealDamage(game, index, ComputeFixedDamage(game, index, kBoltDamage, true), kHeroine, kCauseItem,
                   false, true);
    });
    return 0;
}

std::int32_t HandleEraseSeal(CActionQueue& queue, SGameResource& game)
{
    if (queue.step == 0) {
        if (game.playMode == kPlayNormal) {
            // The menu's ability list shows this item and writes the choice back into the same field.
            game.chosenAbility = std::uint16_t(queue.current.param2);
            game.endOfRunRequest = {1, 1, kMenuSealChoice};
            return 1;
        }
        SPlayerCommand command;
        game.actionLog.ReadCommand(command);
        if (command.kind != kCommandSealChoice) return 0;
        game.chosenAbility = std::uint16_t(command.arg2);
        return 1;
    }
    const std::uint16_t choice = game.chosenAbility;
    const std::uint16_t target = std::uint16_t(queue.current.param2);
    CItemControl::SItem& item = game.items.GetItem(target);
    if (choice != kNoChoice && item.kind != CItemControl::kNone && choice < item.sealCount) {
        game.items.RemoveSeal(item, choice);
        game.messageWindow.AddMessage(
            kNoSound, 1, GetColoredItemNameByIndex(game.items, target) + "の\n能力をひとつ消した。");
    }
    // Every choice is logged, a cancel and a slot the item does not have among them: a re-run or a replay
    // reads one command here whatever was chosen, and must not take the next command in its place.
    if (game.playMode == kPlayNormal && game.dungeon != 0) {
        SPlayerCommand command;
        command.kind = kCommandSealChoice;
        command.arg2 = choice;
        game.actionLog.WriteCommand(command);
        game.actionLog.AppendToFile();
    }
    game.chosenAbility = kNoChoice;
    return 0;
}
