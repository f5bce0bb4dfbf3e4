// The status events: the status primitive with the sound and the heroine's message around it.
#include "game/characters/status_events.h"
#include "game/app/game_resource.h"
#include "game/characters/display_name.h"

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kTypeChest = 6;
constexpr std::int32_t kTypeIcePillar = 7;
constexpr std::int32_t kCircleSealing = 271;

using Primitive = bool (CCharacterControl::SCharacter::*)(SGameResource&, std::int32_t);

// One member of the family: its primitive, sound, the heroine's two lines and the status it reads to
// tell whether she was already in that state (none for the events without a resisted line).
struct SStatusEvent
{
    Primitive apply;
    std::int32_t sound;
    const char* tookEffect;
    const char* resisted;
    std::uint8_t SCharacterStatus::*already;
};

void Say(SGameResource& game, std::int32_t sound, const char* line)
{
    game.messageWindow.AddMessage(sound, kWaitDefault, GetDisplayName(game, kHeroine) + line);
}

// Sleep, confusion, hallucination, blindness, weakness and freezing: a table character hears the sound,
// the heroine reads one of two lines (or none while she already suffers it).
void Cause(SGameResource& game, std::uint16_t index, std::int32_t turns, const SStatusEvent& event)
{
    CCharacterControl::SCharacter& character = game.characters.GetCharacterOrPlayer(index);
    if (index != kHeroine) {
        PlaySoundEffect(game, event.sound);
        (character.*event.apply)(game, turns);
        return;
    }
    if ((character.*event.apply)(game, turns))
        Say(game, event.sound, event.tookEffect);
    else if (character.status.*event.already == 0)
        Say(game, 0, event.resisted);
}

} // namespace

void CauseSlowness(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    CCharacterControl::SCharacter& character = game.characters.GetCharacterOrPlayer(index);
    if (character.GetType() == kTypeIcePillar) return;
    if (index != kHeroine) {
        PlaySoundEffect(game, 59);
        character.ApplySlowStatus(game, turns);
        return;
    }
    // Her lines follow her speed level, since a slowness may only cancel a haste.
    const std::int32_t before = character.GetCharacterSpeed(game);
    const bool took = character.ApplySlowStatus(game, turns);
    const std::int32_t after = character.GetCharacterSpeed(game);
    if (after < 0 && after != before)
        Say(game, 59, "は　足が遅くなった。");
    else if (!took && after >= 0)
        Say(game, 0, "は　平気だった。");
}

void CauseHaste(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    CCharacterControl::SCharacter& character = game.characters.GetCharacterOrPlayer(index);
    if (character.GetType() == kTypeIcePillar) return;
    if (index != kHeroine) {
        PlaySoundEffect(game, 58);
        character.ApplyHasteStatus(game, turns);
        return;
    }
    const std::int32_t before = character.GetCharacterSpeed(game);
    character.ApplyHasteStatus(game, turns);
    const std::int32_t after = character.GetCharacterSpeed(game);
    if (after > 0 && after != before) Say(game, 58, "は　足が速くなった！");
}

void CauseStrongBody(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    CCharacterControl::SCharacter& character = game.characters.GetCharacterOrPlayer(index);
    if (character.GetType() == kTypeIcePillar) return;
    if (index != kHeroine) {
        PlaySoundEffect(game, 61);
        character.ApplyStrongBodyStatus(game, turns);
        return;
    }
    if (character.ApplyStrongBodyStatus(game, turns)) Say(game, 61, "は　体が強くなった！");
}

void CauseInvisibility(SGameResource& game, std::uint16_t index)
{
    CCharacterControl::SCharacter& character = game.characters.GetCharacterOrPlayer(index);
    const std::int32_t type = character.GetType();
    if (type == kTypeIcePillar || type == kTypeChest) return;
    character.ApplyInvisibleStatus(game);
    if (index == kHeroine) Say(game, 90, "の姿が消えた！");
}

void CauseWeakness(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    Cause(game, index, turns,
          {&CCharacterControl::SCharacter::ApplyWeakBodyStatus, 60, "は　体が弱くなってしまった。",
           "は　平気だった。", &SCharacterStatus::weakBodyTurns});
}

void CauseFreeze(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    Cause(game, index, turns,
          {&CCharacterControl::SCharacter::ApplyFrozenStatus, 18, "は　氷漬けになった！", "は　平気だった。",
           &SCharacterStatus::frozenTurns});
}

void CauseHallucination(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    Cause(game, index, turns,
          {&CCharacterControl::SCharacter::ApplyHallucinationStatus, 89, "は　ものが正しく見えなくなった。",
           "は　平気だった。", &SCharacterStatus::hallucinationTurns});
    // A hallucinating monster forgets where it was heading.
    if (index < game.characters.monsters.size()) game.characters.monsters[index].goalX = -1;
}

void CauseBlindness(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    Cause(game, index, turns,
          {&CCharacterControl::SCharacter::ApplyBlindStatus, 79, "は　目が見えなくなった。",
           "は　平気だった。", &SCharacterStatus::blindTurns});
}

void CauseSleep(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    Cause(game, index, turns,
          {&CCharacterControl::SCharacter::ApplySleepStatus, 86, "は　眠ってしまった！", "は　眠らなかった。",
           &SCharacterStatus::sleepTurns});
}

void CauseConfusion(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    Cause(game, index, turns,
          {&CCharacterControl::SCharacter::ApplyConfusionStatus, 83, "は　目が回って 混乱した。",
           "は　混乱しなかった。", &SCharacterStatus::confusionTurns});
}

void CauseItemSeal(SGameResource& game, std::uint16_t index, std::int32_t turns)
{
    CCharacterControl::SCharacter& character = game.characters.GetCharacterOrPlayer(index);
    const bool took = character.ApplySealStatus(game, turns);
    if (index != kHeroine) {
        // A sealed character may lose the ability that let it stand where it is.
        if (took) {
            PlaySoundEffect(game, 87);
            RelocateCharacter(game, index, 0, false);
        }
        return;
    }
    if (took)
        Say(game, 87, "は　アイテムを封印された。");
    else if (character.status.sealTurns == 0 && character.CountCircles(game, kCircleSealing) == 0)
        Say(game, 0, "は　封印されなかった。");
}
