// The count of the statuses once per turn of a character.
#include "game/app/game_resource.h"
#include "game/characters/character_control.h"
#include "game/characters/character_names.h"
#include "game/items/item_names.h"
#include "game/ui/effect_object.h"

namespace {

constexpr std::uint8_t kPermanent = 255;
constexpr std::uint8_t kNoCell = 0xFF;
constexpr std::int32_t kTerrainHolding = 10; // a floor that holds a binding
constexpr std::uint16_t kTrapBinding = 3;

// Whether a monster can keep a binding up: nothing stops it acting.
bool CanAct(CCharacterControl::SMonster& monster, SGameResource& game)
{
    const SCharacterStatus& s = monster.status;
    return s.confusionTurns == 0 && s.blindTurns == 0 && s.hallucinationTurns == 0 && s.decoyTurns == 0 &&
           s.sleepTurns == 0 && s.frozenTurns == 0 && s.paralysisTurns == 0 && monster.inPotTurns == 0 &&
           !monster.IsAbilitySealed(game);
}

// The permanent binding holds while its monster stands beside the bound character able to act.
bool PermanentBindingHolds(CCharacterControl::SCharacter& character, SGameResource& game)
{
    const std::uint16_t binder = character.status.boundX;
    for (std::int32_t dy = -1; dy <= 1; ++dy)
        for (std::int32_t dx = -1; dx <= 1; ++dx) {
            if (game.characters.FindMonsterIndexAt(character.x + dx, character.y + dy) != binder) continue;
            if (CanAct(game.characters.monsters[binder], game)) return true;
        }
    return false;
}

void Unbind(SCharacterStatus& status)
{
    status.boundTurns = 0;
    status.boundX = status.boundY = kNoCell;
}

// One turn off a timed status byte: true when it ran out now.
bool CountDown(std::uint8_t& turns)
{
    if (turns == 0 || turns == kPermanent) return false;
    return --turns == 0;
}

} // namespace

std::int32_t RecoverStatuses(CCharacterControl::SCharacter& character, SGameResource& game)
{
    const bool isPlayer = character.GetType() == kCharacterPlayer;
    // Only the heroine's recoveries are told, so only she needs her name.
    const ZTL::string name = isPlayer ? GetPlayerDisplayName(game.heroineNameFlag != 0) : ZTL::string();
    std::int32_t messages = 0;
    const auto tell = [&](const ZTL::string& text) {
        if (!isPlayer) return;
        game.messageWindow.AddMessage(-1, 1, text);
        ++messages;
    };
    SCharacterStatus& s = character.status;

    if (CountDown(s.confusionTurns)) tell(name + "の混乱が治った。");
    if (CountDown(s.sleepTurns)) tell(name + "は目を覚ました。");
    if (CountDown(s.sealTurns)) tell(name + "の封印が解けた。");
    if (CountDown(s.paralysisTurns)) tell(name + "の金縛りが解けた。");
    if (CountDown(s.blindTurns)) tell(name + "は目が見えるようになった。");
    if (CountDown(s.hallucinationTurns)) tell(name + "はものが正しく見えるようになった。");
    if (CountDown(s.frozenTurns)) tell(name + "の氷が溶けた。");

    if (s.boundTurns == kPermanent) {
        if (!PermanentBindingHolds(character, game)) Unbind(s);
    } else if (s.boundTurns != 0) {
        if (--s.boundTurns == 0) {
            s.boundX = s.boundY = kNoCell;
            tell(GetColoredTrapName(game.items, kTrapBinding) + "から抜け出した。");
        }
        const SMapCell& cell = game.map.GetCell(std::uint32_t(character.x), std::uint32_t(character.y));
        const bool onBoundCell = character.x == s.boundX && character.y == s.boundY;
        const bool holding = cell.terrain == kTerrainHolding ||
                             (cell.objectKind == kObjectTrap && cell.objectId == kTrapBinding);
        if (!(onBoundCell && holding)) Unbind(s);
    }

    if (CountDown(s.decoyTurns)) tell(name + "の身代わりが解けた。");
    auto* const player = isPlayer ? dynamic_cast<CCharacterControl::SPlayer*>(&character) : nullptr;
    // The game-main scene skips every other command of a slowed heroine by this toggle.
    if (player != nullptr && s.slowTurns != 0) player->slowToggle = (player->slowToggle - 1) & 1;
    if (CountDown(s.slowTurns)) {
        s.slowLevel = 0;
        if (player != nullptr) player->slowToggle = 0;
        tell(name + "の速さが元に戻った。");
    }
    if (CountDown(s.weakBodyTurns)) tell(name + "は普通の体に戻った。");
    if (CountDown(character.hasteTurns)) {
        character.hasteLevel = 0;
        tell(name + "の速さが元に戻った。");
    }
    if (CountDown(character.invisibleTurns)) tell(name + "の姿が見えるようになった。");
    if (CountDown(character.strongBodyTurns)) tell(name + "は普通の体に戻った。");
    if (CountDown(character.inPotTurns)) {
        SEffectObject puff;
        puff.StartKind36(game, character.x, character.y);
        game.effects.push_back(puff);
        tell(name + "は壺から出た。");
    }
    return messages;
}
