#include "game/app/game_resource.h"
#include "game/core/play_mode.h"
#include "game/core/random.h"
#include "game/turn/actions.h"
#include "game/turn/turn_phases.h"
#include "game/ui/effect_object.h"

#include <array>

namespace {
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kSoundFirstTremor = 76;
constexpr std::int32_t kSoundSecondTremor = 77;
constexpr std::int32_t kSoundCollapse = 78;
// The last frame number n of each stage: the stage runs n + 2 calls, its closing call included.
constexpr std::int32_t kFirstTremorEnd = 150;
constexpr std::int32_t kSecondTremorEnd = 210;
constexpr std::int32_t kCollapseEnd = 400;
constexpr std::int32_t kRockTimer = 40;
constexpr std::array<std::int32_t, 4> kPieceAngles = {24, 66, 148, 222};

constexpr std::array<std::int32_t, 4> kShakeA = {-1, 0, 1, 0};
constexpr std::array<std::int32_t, 8> kShakeB8 = {0, 1, 2, 1, 0, -1, -2, -1};
constexpr std::array<std::int32_t, 13> kShakeB13 = {0, 1, 2, 3, 2, 1, 0, -1, -2, -3, -2, -1, 0};

template <std::size_t N> std::int32_t Shake(const std::array<std::int32_t, N>& table, std::int32_t value)
{
    const std::int32_t size = static_cast<std::int32_t>(N);
    return table[static_cast<std::size_t>(((value % size) + size) % size)];
}

std::int32_t FirstTremorShake(std::int32_t f)
{
    return f >= 30 && f < 90 ? Shake(kShakeA, f / 3) : Shake(kShakeA, f / 4);
}

std::int32_t SecondTremorShake(std::int32_t f)
{
    if (f < 30) return Shake(kShakeA, f / 3);
    if (f < 60) return Shake(kShakeA, f / 2);
    if (f < 120) return Shake(kShakeB8, f);
    if (f < 180) return Shake(kShakeA, f / 2);
    return Shake(kShakeA, f / 4);
}

std::int32_t CollapseShake(std::int32_t f)
{
    if (f < 30) return Shake(kShakeA, f / 3);
    if (f < 90) return Shake(kShakeA, f / 2);
    return Shake(kShakeB13, 2 * f);
}

// The rock's look: ice on an icy floor, else by the column's parity.
std::int32_t RockLook(const SGameResource& game, std::int32_t column)
{
    if (game.map.floorFlag != 0) return kEffectFallingIce;
    return column % 2 == 0 ? kEffectFallingRock : kEffectFallingBoulder;
}

std::int32_t LandingSound(std::int32_t look)
{
    if (look == kEffectFallingRock) return 47;
    if (look == kEffectFallingIce) return 18;
    return 48;
}
} // namespace

void CSceneGameMain::UpdateQuake()
{
    auto& player = game.characters.GetPlayer();
    const bool silent = game.playMode == kPlaySilentRerun;
    const std::int32_t n = quakeFrame;
    quakeFrame = n + 1;
    const std::int32_t f = n + 1;

    switch (quakeMode) {
    case 0:
        if (n == 0 && !silent) PlaySoundEffect(game, kSoundFirstTremor);
        if (n > kFirstTremorEnd) {
            quakeMode = -1;
            player.SetViewOffset(0, 0);
            game.messageWindow.AddMessage(-1, kWaitDefault, "揺れは収まった。");
            return;
        }
        player.SetViewOffset(FirstTremorShake(f), 0);
        return;
    case 1:
        if (n == 0 && !silent) PlaySoundEffect(game, kSoundSecondTremor);
        if (n > kSecondTremorEnd) {
            quakeMode = -1;
            player.SetViewOffset(0, 0);
            game.messageWindow.AddMessage(-1, kWaitDefault, "このフロアは　もう長くは持ちそうにない。");
            return;
        }
        player.SetViewOffset(SecondTremorShake(f), 0);
        return;
    case 2:
        break;
    default:
        quakeMode = -1;
        return;
    }

    if (n == 0) PlaySoundEffect(game, kSoundCollapse);
    if (n > kCollapseEnd) {
        quakeMode = -1;
        player.SetViewOffset(0, 0);
        PushActionQuakeDamage(game.reactionQueue);
        return;
    }
    player.SetViewOffset(CollapseShake(f), f % 32 < 4 ? Shake(kShakeA, f % 32) : 0);

    if (f > 30 && f < kCollapseEnd && f % 16 == 0) {
        const std::int32_t column = player.x - 5 + RandomBelow(game.random, 11);
        const std::int32_t row = player.y - 4 + RandomBelow(game.random, 9);
        SEffectObject rock;
        rock.Start(game, column, row, RockLook(game, column));
        game.effects.push_back(rock);
        fallingRocks.push_back({kRockTimer, (row << 16) + column});
    }

    for (SFallingRock& rock : fallingRocks)
        --rock.timer;
    for (auto it = fallingRocks.begin(); it != fallingRocks.end(); ++it) {
        if (it->timer > 0) continue;
        const std::int32_t column = it->cell & 0xFFFF;
        const std::int32_t row = it->cell >> 16;
        const std::int32_t look = RockLook(game, column);
        for (const std::int32_t angle : kPieceAngles) {
            SEffectObject piece;
            piece.StartKind18(game, look, false, angle, column, row);
            game.effects.push_back(piece);
        }
        fallingRocks.erase(it);
        if (!silent) PlaySoundEffect(game, LandingSound(look));
        break;
    }
}
