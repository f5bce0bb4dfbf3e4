// The per-floor reset, the per-frame upkeep of the floor and the test whether it still moves.
#include "game/app/game_resource.h"
#include "game/characters/room_events.h"
#include "game/core/play_mode.h"
#include "gamebase/music.h"

#include <algorithm>

namespace {

constexpr std::int32_t kStopMusic = 0xFFFF;
constexpr std::int32_t kFadeFrames = 60;
constexpr std::int32_t kShortFadeFrames = 16;

// Motions that loop while a character waits: they never hold the turn.
bool HeroineMotionHolds(std::int32_t motion)
{
    return motion != 8 && motion != 9 && motion != 19 && motion != 33;
}

bool MonsterMotionHolds(std::int32_t motion)
{
    return motion != 12 && motion != 19 && motion != 33 && motion != 41;
}

} // namespace

void ResetFloorState(SGameResource& game)
{
    game.shopInside = 0;
    game.shopTheftDone = 0;
    game.shopBill = 0;
    game.houseState = -1;
    game.speciesZeroDefeat = 0;
    game.houseBonusSwitch = 0;
    game.wakeLock = 0;
    game.houseDiscovered = 0;
    // The table is made anew for the floor: an index kept from the last one would name a stranger.
    game.lastEngaged = 0xFFFF;
    game.characters.ResetForNewFloor();
    game.map.Clear();
    // What lies on the floor left behind goes; unpaid goods taken along become stolen goods.
    game.items.MarkStolenGoods(game);
    game.circles.Clear();
    game.effects.clear();
    game.overlayEffects.clear();
    CCharacterControl::SPlayer& heroine = game.characters.GetPlayer();
    heroine.hp = std::max(heroine.hp, 1);
    heroine.motion = 0;
    heroine.motionFrame = 0;
    heroine.motionLength = 0;
    // The floor opens with the box at two lines and hidden until its first message.
    game.messageWindow.SetVisibleLines(2);
    game.messageWindow.HideNow();
    game.vanishingObjects.clear();
}

void UpdateDungeonFrame(SGameResource& game)
{
    const bool silent = game.playMode == kPlaySilentRerun;
    if (!silent && game.musicRequest != -1) {
        QuorlithGameBase::CMusic* music = QuorlithGameBase::CMusic::GetInstance();
        if (game.musicRequest == kStopMusic) {
            music->FadeOut(kFadeFrames);
        } else {
            const bool quick = game.musicRequest >= 11 && game.musicRequest <= 13;
            music->Play(game.musicRequest, quick ? kShortFadeFrames : kFadeFrames);
        }
        game.musicRequest = -1;
    }

    const SCharacterStatus& sight = game.characters.GetPlayer().status;
    if (sight.blindTurns != game.lastBlind || sight.hallucinationTurns != game.lastHallucinating) {
        game.lastBlind = sight.blindTurns;
        game.lastHallucinating = sight.hallucinationTurns;
        game.map.InvalidateViewCache();
    }

    game.frameCounter64 = (game.frameCounter64 + 1) % 64;
    game.frameCounter16 = (game.frameCounter16 + 1) % 16;

    auto& timed = game.vanishingObjects;
    for (SGameResource::SVanishingObject& entry : timed)
        entry.life = silent ? 0 : entry.life - 1;
    timed.erase(std::remove_if(timed.begin(), timed.end(), [](const auto& e) { return e.life <= 0; }),
                timed.end());

    UpdateEffectLists(game);
}

bool IsWorldAnimating(SGameResource& game)
{
    const CCharacterControl::SPlayer& heroine = game.characters.GetPlayer();
    if (heroine.motionLength > 0 && HeroineMotionHolds(heroine.motion)) return true;
    const auto& characters = game.characters;
    // Every slot past the count is empty; none moves while all were last seen at rest.
    const std::uint16_t count =
        characters.AreMonstersAtRest()
            ? 0
            : std::min<std::uint16_t>(characters.monsterCount, CCharacterControl::kSlots);
    for (std::uint16_t i = 0; i < count; ++i) {
        const CCharacterControl::SMonster& monster = characters.monsters[i];
        if (monster.motionLength > 0 && monster.type != 0 && MonsterMotionHolds(monster.motion)) return true;
    }
    // An overlay effect (a strike on an empty cell, a splash) is drawn but never waited for.
    return !game.effects.empty();
}
