// Motions: the game moves a character to its new cell at once and the sprite catches up over a motion's
// frames. The per-frame update runs every character's motion and decides which monsters the heroine
// sees.
#include "game/app/game_resource.h"
#include "game/characters/character_control.h"
#include "game/core/directions.h"
#include "game/core/random.h"

#include <array>
#include <cstdlib>

namespace {

constexpr std::int32_t kTile = 32;
constexpr std::int32_t kLastMotion = 41;
constexpr std::int32_t kMotionFinished = 41;
constexpr std::int32_t kTerrainWater = 4;
constexpr std::int32_t kSpeciesWaterSerpent = 40; // surfaces to strike at a cell out of the water

// How a motion code starts.
enum class EStart : std::uint8_t
{
    kIgnored,  // code and length stay
    kLength,   // the table's length
    kStep,     // a slide from the previous cell over the length
    kLift,     // the length, lift 1
    kHide,     // the length, sprite hidden
    kDying,    // the length, unless the character already finished dying
    kCodeOnly, // the code alone; the length stays unless the caller gives one
};

struct SMotionStart
{
    EStart start = EStart::kIgnored;
    std::int32_t length = 0;
};

using MotionTable = std::array<SMotionStart, kLastMotion + 1>;

constexpr SMotionStart Ignored{EStart::kIgnored, 0};
constexpr SMotionStart CodeOnly{EStart::kCodeOnly, 0};
constexpr SMotionStart Length(std::int32_t n)
{
    return {EStart::kLength, n};
}
constexpr SMotionStart Step(std::int32_t n)
{
    return {EStart::kStep, n};
}

constexpr MotionTable kMonsterMotions = {
    Length(0),
    Step(16),
    Ignored,
    Step(16),
    {EStart::kLift, 8},
    {EStart::kLift, 16}, // 0-5
    CodeOnly,
    Ignored,
    Ignored,
    Ignored,
    Length(16),
    CodeOnly, // 6-11
    CodeOnly,
    {EStart::kDying, 16},
    {EStart::kHide, 30},
    Length(56),
    Step(16),
    Step(60), // 12-17
    Length(8),
    Length(12),
    Ignored,
    Ignored,
    Ignored,
    Length(16), // 18-23
    Ignored,
    Step(4),
    Ignored,
    Ignored,
    Ignored,
    Ignored, // 24-29
    Ignored,
    Ignored,
    Ignored,
    Length(16),
    Length(60),
    Length(31), // 30-35
    Step(16),
    Step(16),
    Length(181),
    Ignored,
    Ignored,
    CodeOnly, // 36-41
};

constexpr MotionTable kPlayerMotions = {
    Length(0),
    Step(16),
    Length(2),
    Step(16),
    Length(4),
    Length(10), // 0-5
    Length(10),
    Length(4),
    Length(10),
    Length(10),
    Length(16),
    Ignored, // 6-11
    Ignored,
    {EStart::kDying, 32},
    {EStart::kHide, 30},
    Length(56),
    Step(16),
    Step(48), // 12-17
    Length(8),
    Length(12),
    Length(48),
    Length(16),
    Length(16),
    Length(9), // 18-23
    Length(15),
    Step(4),
    Length(60),
    Length(60),
    Length(60),
    Length(60), // 24-29
    Length(60),
    Length(60),
    Length(60),
    Length(16),
    Length(60),
    Ignored, // 30-35
    Step(16),
    Step(16),
    Length(181),
    Ignored,
    Length(60),
    CodeOnly, // 36-41
};

// Division rounding toward minus infinity, for pixel positions left of or above the map.
std::int32_t FloorDiv(std::int32_t a, std::int32_t b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The cell under the sprite's centre.
SCellPosition SpriteCell(const CCharacterControl::SCharacter& character)
{
    return {FloorDiv(character.x * kTile + character.offsetX + kTile / 2, kTile),
            FloorDiv(character.y * kTile + character.offsetY + kTile / 2, kTile)};
}

// What the heroine sees of the cell by the rooms: in a room, the cells whose 3 x 3 block touches it; in
// a corridor, the cells beside her.
bool IsSeenByRoom(CMapControl& map, const CCharacterControl::SPlayer& player, std::int32_t x, std::int32_t y)
{
    const std::int32_t room = map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y)).room;
    if (room < 0) return std::abs(x - player.x) <= 1 && std::abs(y - player.y) <= 1;
    for (std::int32_t dy = -1; dy <= 1; ++dy)
        for (std::int32_t dx = -1; dx <= 1; ++dx)
            if (map.GetCell(std::uint32_t(x + dx), std::uint32_t(y + dy)).room == room) return true;
    return false;
}

} // namespace

void CCharacterControl::SCharacter::SetMotion(std::int32_t code, std::int32_t length)
{
    NoteMotionStart();
    motionFrame = 0;
    if (code < 0 || code > kLastMotion) return;
    const MotionTable& table = GetType() == kCharacterPlayer ? kPlayerMotions : kMonsterMotions;
    const SMotionStart& entry = table[std::size_t(code)];
    std::int32_t tableLength = motionLength;
    switch (entry.start) {
    case EStart::kIgnored:
        return;
    case EStart::kDying:
        if (motion == kMotionFinished) return;
        tableLength = entry.length;
        break;
    case EStart::kStep:
        offsetX = (prevX - x) * kTile;
        offsetY = (prevY - y) * kTile;
        tableLength = entry.length;
        break;
    case EStart::kLift:
        lift = 1;
        tableLength = entry.length;
        break;
    case EStart::kHide:
        shown = 0;
        tableLength = entry.length;
        break;
    case EStart::kLength:
        tableLength = entry.length;
        break;
    case EStart::kCodeOnly:
        break;
    }
    motion = code;
    motionLength = length >= 0 ? length : tableLength;
}

void CCharacterControl::SCharacter::StepForward(bool noMotion)
{
    prevX = x;
    prevY = y;
    AdvanceInDirection();
    if (!noMotion) SetMotion(1, -1);
}

void CCharacterControl::SCharacter::AdvanceInDirection()
{
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(direction, dx, dy);
    x += dx;
    y += dy;
}

void CCharacterControl::SCharacter::PickRandomDirection(SGameResource& game)
{
    const std::int32_t r = RandomBelow(game.random, 12);
    if (r < 8) direction = r;
}

bool CCharacterControl::SCharacter::UpdateMotion(SGameResource& game)
{
    if (motion == 0 && !queuedSteps.empty()) {
        const SQueuedStep step = queuedSteps.front();
        prevX = x;
        prevY = y;
        x = step.targetX;
        y = step.targetY;
        SetMotion(step.motion, step.length);
        if (step.direction != -1) direction = step.direction;
        queuedSteps.pop_front();
    }
    if (motionLength <= 0) return false;

    ++motionFrame;
    // Far from the heroine nobody watches: the motion ends at once.
    const SPlayer& player = game.characters.player;
    if (std::abs(x - player.x) > 6 || std::abs(y - player.y) > 5) motionFrame = motionLength + 1;
    const std::int32_t f = motionFrame;
    const std::int32_t n = motionLength;
    const auto slide = [&](std::int32_t from, std::int32_t to) { return (from - to) * (n - f) * kTile / n; };
    switch (motion) {
    case 1:
    case 3:
    case 25:
        offsetX = slide(prevX, x);
        offsetY = slide(prevY, y);
        break;
    case 16: // a hop
        offsetX = slide(prevX, x);
        offsetY = slide(prevY, y) + (f - 16) * f * 3 / 8;
        lift = 0xFFFF;
        break;
    case 17: // a long arc
        offsetX = slide(prevX, x);
        offsetY = slide(prevY, y) + (f - n) * f * 240 / (n * n);
        lift = 0xFFFF;
        break;
    case 36: // rising
        offsetX = slide(prevX, x);
        offsetY = slide(prevY, y) - f;
        lift = 0xFFFF;
        break;
    case 37: // an arc
        offsetX = slide(prevX, x);
        offsetY = slide(prevY, y) + (f - n) * f * 128 / (n * n);
        lift = 0xFFFF;
        break;
    case 2:
        animPhase = phaseModulus > 0 ? (animPhase + 7) % phaseModulus : 0;
        break;
    default:
        break;
    }
    // A silent re-run shows nothing: every motion takes one frame.
    if (f <= n && game.playMode != kPlaySilentRerun) return false;

    switch (motion) {
    case 1:
    case 3:
    case 16:
    case 17:
    case 25:
    case 36:
    case 37:
        offsetX = offsetY = 0;
        prevX = x;
        prevY = y;
        lift = 0;
        break;
    case 4:
    case 5:
        lift = 0;
        break;
    default:
        break;
    }
    if (motion == 23 || motion == 25) {
        motionLength = 0;
        shown = 1;
        return false;
    }
    const bool died = motion == 13 || motion == 34;
    motion = died || motion == 40 ? kMotionFinished : 0;
    motionFrame = motionLength = 0;
    shown = 1;
    return died;
}

void CCharacterControl::SPlayer::GetScreenPosition(std::int32_t& screenX, std::int32_t& screenY) const
{
    screenX = x * kTile + offsetX + viewOffsetX - 144;
    screenY = y * kTile + offsetY + viewOffsetY - 104;
}

void CCharacterControl::SPlayer::SetViewOffset(std::int32_t offsetX, std::int32_t offsetY)
{
    viewOffsetX = offsetX;
    viewOffsetY = offsetY;
}

bool IsRectOverlap(const Draw::RECT& a, const Draw::RECT& b)
{
    return a.top < b.bottom && b.top < a.bottom && b.left < a.right && a.left < b.right;
}

void CCharacterControl::UpdateAnimation(SGameResource& game)
{
    CMapControl& map = game.map;
    player.UpdateMotion(game);
    RefreshEquipmentSprites(player, game);
    player.animSpeed = player.GetCharacterSpeed(game) + 1;
    if (player.x != player.lastX || player.y != player.lastY) {
        player.moved = 1;
        player.lastX = player.x;
        player.lastY = player.y;
    }
    const SCellPosition playerSprite = SpriteCell(player);
    player.tileShown = map.IsViewTileShown(playerSprite.x, playerSprite.y) ? 1 : 0;

    const bool revealed = map.revealed != 0 || map.revealedWithoutDarkness != 0;
    const bool playerInRoom = map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y)).room >= 0;
    // A silent re-run draws nothing: what only the drawing reads (the walking pace included) is brought
    // up to date by the first pass after it, before anything is drawn. So while every monster rests,
    // its passes have nothing to do here; most passes of a turn are such.
    const bool silent = game.playMode == kPlaySilentRerun;
    if (silent && AreMonstersAtRest()) {
        UpdateFireVisibility(game);
        return;
    }
    const std::uint64_t stamp = s_motionStarts.load(std::memory_order_relaxed);
    bool allAtRest = true;
    for (std::uint16_t i = 0; i < monsterCount; ++i) {
        SMonster& monster = monsters[i];
        if (monster.type == kCharacterEmpty) continue;
        // Standing still with no step queued, the motion update changes nothing; most monsters stand
        // still on most passes.
        const bool still = monster.motionLength <= 0 && (monster.motion != 0 || monster.queuedSteps.empty());
        if (!still && monster.UpdateMotion(game)) {
            RemoveMonster(i, nullptr);
            continue;
        }
        allAtRest = allAtRest && monster.IsAtRest();
        if (silent) continue;
        monster.animSpeed = monster.GetCharacterSpeed(game) + 1;

        const SCellPosition sprite = SpriteCell(monster);
        monster.viewFlags[2] = map.GetViewTileState(sprite.x, sprite.y);
        monster.viewFlags[1] = monster.viewFlags[3] = 0;
        monster.lift = 0;

        if (monster.IsSubmerged(game)) {
            bool submerged = true;
            if (monster.kindId / 4 == kSpeciesWaterSerpent) {
                std::int32_t dx = 0;
                std::int32_t dy = 0;
                DirectionToStep(monster.direction, dx, dy);
                const bool waterAhead =
                    map.GetCell(std::uint32_t(monster.x + dx), std::uint32_t(monster.y + dy)).terrain ==
                    kTerrainWater;
                submerged = waterAhead || (monster.motion != 4 && monster.motion != 5);
            }
            if (submerged) {
                monster.viewFlags[3] = 1;
                monster.lift = -8;
            }
        }
        if (monster.motion == 4 || monster.motion == 5 || monster.motion == 11 || monster.motion == 12)
            monster.lift += 8;

        if (!monster.IsCharacterInvisible(game) && player.status.blindTurns == 0) {
            bool seen = revealed || IsSeenByRoom(map, player, sprite.x, sprite.y);
            if (playerInRoom && (monster.motion == 17 || monster.motion == 37)) seen = true;
            monster.viewFlags[1] = seen ? 1 : 0;
        }
        monster.tileShown = map.IsViewTileShown(sprite.x, sprite.y) ? 1 : 0;
    }
    // A motion started during the scan leaves the stamp behind, and the next pass looks again.
    restKnown = allAtRest;
    restStamp = stamp;
    UpdateFireVisibility(game);
}

void CCharacterControl::UpdateFireVisibility(SGameResource& game)
{
    // Fires show by the rule monsters do. Only the box that may hold fires is looked at, and it shrinks
    // to the fires found.
    CMapControl& map = game.map;
    const std::array<std::int32_t, 4> box = map.fireBox;
    map.fireBox = {1, 1, 0, 0};
    for (std::int32_t x = box[0]; x <= box[2]; ++x)
        for (std::int32_t y = box[1]; y <= box[3]; ++y) {
            SMapCell& cell = map.cells[std::size_t(x * CMapControl::kHeight + y)];
            if (cell.objectKind != kObjectFire) continue;
            map.NoteFireAt(x, y);
            cell.objectShown = IsSeenByRoom(map, player, x, y) ? 1 : 0;
        }
}
