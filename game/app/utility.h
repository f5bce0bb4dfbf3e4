#pragma once
// Small rules the whole game shares: map directions and distances, fixed-point sine and cosine, the
// money counters, a new run's identity, the floor class, the return to the camp, the sound-effect
// wrapper that keeps a silent re-run silent, and the set-up of two work grids of the floor generator.
//
// What these need of parts of the game state that are built later comes in as parameters or through
// the small interfaces below.

#include "game/sound/sound_effect_player.h"

#include <array>
#include <cstdint>

// ---- Directions and distances ----

// Steps of the eight directions (dx to the right, dy downward): 0 down, then clockwise through left
// (2), up (4) and right (6). Any other direction gives (0, 0).
void DirectionToStep(std::int32_t direction, std::int32_t& dx, std::int32_t& dy);
// The number of king's moves between two cells.
std::int32_t GetTileDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

// ---- Fixed-point sine and cosine ----

// A quarter sine wave in 16.16 fixed point: entry i = sin(i * 3.14 * 0.5 / 64) * 65536, truncated. The
// rules were tuned with 3.14 for pi, so the table never reaches 65536.
using FixedSineTable = std::array<std::int32_t, 64>;
FixedSineTable MakeFixedSineTable();
// Angles run 0 to 255 a turn (only the low 8 bits count); the result is magnitude times the sine or
// cosine, as the 32-bit product with the table entry shifted right 16 bits without sign.
std::int32_t FixedSin(std::int32_t angle, std::int32_t magnitude);
std::int32_t FixedCos(std::int32_t angle, std::int32_t magnitude);

// ---- Money ----

inline constexpr std::uint32_t kGoldLimit = 1000000000;
// Caps the gold at kGoldLimit: 2 when it capped, else 0.
std::int32_t ClampGold(std::uint32_t& gold);

// A running money total in two parts: low stays below 100000000 and high counts the hundred-millions.
struct SGoldCounter
{
    std::uint32_t low = 0;
    std::uint32_t high = 0;
};
// Adds an amount clamped to +-100000000; a subtraction that would go below zero stops at zero.
void AddGoldCounter(SGoldCounter& counter, std::int32_t amount);

// ---- A new run ----

// The identity of a new run, from the local date and time, the millisecond clock and the application's
// frame counter, mixed with two draws of a generator seeded from the clock unless noRandom is set.
void MakeRunId(std::uint32_t& id32, std::uint16_t& id16, bool noRandom, std::uint32_t frameCounter);

// The floor type (1 to 22) the floor generator chooses for a dungeon's floor from the floor's seed
// (the generator's ChooseFloorType, issue 41).
using FloorTypeChooser = std::int32_t (*)(std::int32_t dungeon, std::int32_t floor, std::uint32_t floorSeed);
// The class of the current floor, used as its music number: 3 past the dungeon's last floor; otherwise
// by the floor's type (seed (floor - 1) * 0x3FF0000 + the run's seed): 1 for type 1; 2 for 2, 3, 4 and
// 6; 3 for 5, 20 and 21; 4 for 22; -1 for the others.
std::int32_t ClassifyFloor(std::int32_t dungeon, std::int32_t floor, std::int32_t lastFloor,
                           std::uint32_t runSeed, FloorTypeChooser chooseFloorType);

// ---- Play modes and sound effects ----

enum PlayMode : std::int32_t
{
    kPlayNormal = 0,
    kPlaySilentRerun = 1, // a resumed run re-playing its logged commands
    kPlayReplay = 2,
};

// Plays a sound effect, except during a silent re-run, which neither plays nor loads it and gives 0.
std::int32_t PlaySoundEffect(std::int32_t playMode, ISoundEffectPlayer& effects, std::int32_t number);

// ---- The camp ----

// What the return to the camp and the arrival there ask of the item control (issues 39 and 44) and the
// message window (issue 30); the game state implements it.
class ICampServices
{
public:
    // Gives the heroine her own equipment back.
    virtual void RecoverOwnEquipment() = 0;
    // Resets the item kinds' identification states for a dungeon.
    virtual void ResetIdentification(std::int32_t dungeon) = 0;
    // Sets these flag bits on every item of the item table that has a kind.
    virtual void SetFlagsOfAllItems(std::uint16_t flags) = 0;
    // Clears the message window's skip flag.
    virtual void ClearMessageSkip() = 0;

protected:
    ~ICampServices() = default;
};

// Raises the return-to-camp flag, goes back to normal play and recovers the heroine's own equipment.
void RequestReturnToCamp(std::uint8_t& returnToCamp, std::int32_t& playMode, ICampServices& services);
// The game state on arrival at the camp: message skip cleared, dungeon 0, floor 1, identification reset
// for dungeon 0, and every item identified and examined.
void PrepareCamp(std::int32_t& dungeon, std::int32_t& floor, ICampServices& services);

// ---- Work grids of the floor generator ----

// Per section of the generator's section grid (6 columns by 4 rows at most; the section in column c and
// row r is entry c * 6 + r): its group number and whether a search along the links reached it.
struct SSectionSearch
{
    std::int32_t group[36] = {};
    std::uint8_t reached[36] = {};
};
// Clears the reached marks; the generator numbers the groups itself.
void ClearSectionLinks(SSectionSearch& search);

// A maze of up to 100 by 100 cells (1 a wall, 0 open), stored column by column: cell (x, y) is
// x * 100 + y.
struct SMazeGrid
{
    static constexpr std::int32_t kSide = 100;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t cells[kSide * kSide] = {};
};
// Sets the size, each side clamped to 0 to 100, and opens every cell inside it; the cells outside keep
// their values.
void InitMazeGrid(SMazeGrid& grid, std::int32_t width, std::int32_t height);
