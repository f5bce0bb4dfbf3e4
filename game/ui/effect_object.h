#pragma once
// A visual effect of the dungeon (explosions, sparkles, falling and flying pieces, bolts and bullets,
// arrows, thrown, dropped and hopping items). Game code fills a record through a starter, which runs its
// first frame, and appends it to one of the game state's two lists by value: the main list, which holds
// the turn engine while it is not empty, and the overlay list, which never does. Every game frame the
// world update advances each listed effect and drops the finished ones; the character drawing draws them.
//
// An effect that cannot be seen costs no waiting: while its frame routine reports it off screen its
// frames are run through within the same update. Durations and animations count game frames.

#include "game/ui/object_base.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/surface.h"

#include <cstdint>
#include <vector>

struct SGameResource;

// The effect kinds.
enum EEffectKind : std::int32_t
{
    kEffectNone = 0,
    kEffectMagicBolt = 14,   // four flame pieces trailing a head between two cells
    kEffectComet = 15,       // four additive sprites between two cells
    kEffectStrike = 16,      // a column of light striking down on a cell
    kEffectFallingRock = 17, // falling pieces that drop onto their cell
    kEffectRockPiece = 18,   // pieces flying off at an angle and falling
    kEffectFallingIce = 19,
    kEffectIcePiece = 20,
    kEffectFallingBoulder = 21,
    kEffectBoulderPiece = 22,
    kEffectSmallExplosion = 23,
    kEffectLargeExplosion = 24,
    kEffectSleepGas = 25,
    kEffectHallucinationGas = 26,
    kEffectPoisonGas = 27,
    kEffectSealGas = 28,
    kEffectTrailBolt = 29, // a comet of eight sprites whose trail runs out after the flight
    kEffectWallArrow = 30, // an arrow shot out of the wall back to a cell
    kEffectBouncingPiece = 31,
    kEffectBurning = 32,
    kEffectPour = 33, // water or mist poured onto a cell, by variant
    kEffectSplash = 34,
    kEffectSilentWait = 35, // draws nothing; only its sound and its frames
    kEffectPuff = 36,
    kEffectLob = 37, // an object thrown in an arc
    kEffectSparkles = 38,
    kEffectStaffBullet = 39,
    kEffectReadingGlow = 40,
    kEffectBindingSnap = 41, // hides the cell's object while it plays
    kEffectScales = 42,
    kEffectDroppedItem = 43, // kinds from here on carry an item and sort with the characters
    kEffectThrownItem = 44,
    kEffectSlidingItem = 45,
    kEffectHoppingItem = 46,
    kEffectItemFlyingAway = 47,
    kEffectScatterSweep = 48, // sweeps across the whole screen
};

// Effects of this kind and above are drawn among the characters in depth order; the others over them.
inline constexpr std::int32_t kFirstSortedEffectKind = kEffectDroppedItem;
// Where the heroine's cell appears on the 320 x 240 logical screen.
inline constexpr std::int32_t kViewPlayerX = 144;
inline constexpr std::int32_t kViewPlayerY = 104;

// The fields of the object base as an effect uses them: x, y the cell it starts at; prevX, prevY the
// cell a moving effect goes to, or work values of a kind; offsetX, offsetY where it is drawn relative to
// the cell, rewritten by the frame routine; spriteMode 0 for effects sorted with the characters, else a
// work value; animPhase the frame from 0; phaseModulus the duration (0 ends it at once).
struct SEffectObject : public SObjectBase
{
    std::int32_t GetObjectKind() const override { return kind; }

    // Draws the effect at its current frame with the view's top left corner at (viewX, viewY) in map
    // pixels. The blit's result for the kinds drawn as one picture; 0 for the others and while there is
    // no picture; 1 for a kind outside 14 to 48.
    std::int32_t Draw(Draw::ISurface& target, std::int32_t viewX, std::int32_t viewY) override;

    // Advances one game frame: true when the effect has ended. A finished effect (its frames wrapped, or
    // any effect during a silent re-run) runs its frame routine once more at frame = duration.
    bool Update(SGameResource& game);

    // ---- Starters. Each sets what it names, leaves the other fields as they were and runs frame 0 of
    // the kind's routine; the result is that routine's (1 not visible, 0 visible).

    // Kinds 16, 17, 19, 21, 23 to 28, 32, 34, 35, 40, 41, 42 and 48 at cell (x, y), the duration by kind.
    // Kinds 34, 35 and 48 play their sound instead of running a frame; a kind not listed becomes 0 (29,
    // 37, 38 and 39 keep their kind with a duration of 1, but have starters of their own).
    std::int32_t Start(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t effectKind);
    // A flying piece: kind 22 for selector 21, 20 for 19, else 18; `angle` 0 to 255 (else 0); `raised`
    // starts it 8 pixels above the cell's middle instead of 8 below.
    std::int32_t StartKind18(SGameResource& game, std::int32_t selector, bool raised, std::int32_t angle,
                             std::int32_t x, std::int32_t y);
    // A piece bouncing off in direction 0 to 7; plays its sound.
    std::int32_t StartKind31(SGameResource& game, std::int32_t direction, std::int32_t x, std::int32_t y);
    std::int32_t StartKind33(SGameResource& game, std::int32_t variant, std::int32_t x, std::int32_t y);
    // Twelve sparkles of colour `variant` (0 to 2) spread `spread` pixels wide from (baseX, baseY) within
    // the cell.
    std::int32_t StartKind38(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t variant,
                             std::int32_t spread, std::int32_t baseX, std::int32_t baseY);
    // A puff over the cell; plays its sound and runs no frame (0).
    std::int32_t StartKind36(SGameResource& game, std::int32_t x, std::int32_t y);

    // Flights from (x0, y0) to (x1, y1), 8 pixels a frame unless said.
    std::int32_t StartKind14(SGameResource& game, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                             std::int32_t y1);
    std::int32_t StartKind15(SGameResource& game, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                             std::int32_t y1);
    // The flight plus 32 frames for the trail to run out.
    std::int32_t StartKind29(SGameResource& game, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                             std::int32_t y1);
    // An arrow shot from the first wall (or the map's border) in `direction` from (x, y) back to (x, y). A
    // direction outside 0 to 7 gives an effect that draws nothing and ends at once.
    std::int32_t StartKind30(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t direction);
    // An arc of 32 frames.
    std::int32_t StartKind37(SGameResource& game, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                             std::int32_t y1);
    std::int32_t StartKind39(SGameResource& game, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                             std::int32_t y1, std::int32_t variant);
    // An item falling to its cell in 16 frames (rising first), or only falling in 8 when `shortDrop`.
    std::int32_t StartKind43(SGameResource& game, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                             std::int32_t y1, std::uint16_t item, bool shortDrop);
    // A thrown or shot item, 3 frames a cell, from `startFrame` when the flight is longer than that; an
    // arrow (class 3) is drawn pointing in `direction`.
    std::int32_t StartKind44(SGameResource& game, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                             std::int32_t y1, std::uint16_t item, std::int32_t direction,
                             std::int32_t startFrame);
    std::int32_t StartKind45(SGameResource& game, std::uint16_t item, std::int32_t x0, std::int32_t y0,
                             std::int32_t x1, std::int32_t y1);
    std::int32_t StartKind46(SGameResource& game, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                             std::int32_t y1, std::uint16_t item);
    // An item flying off the screen to the upper right in at most 180 frames.
    std::int32_t StartKind47(SGameResource& game, std::int32_t x, std::int32_t y, std::uint16_t item);

    // ---- Frame routines: set the offsets, picture and rectangle of the current frame; 1 when the effect
    // cannot be seen at this frame, 0 when it can or has reached its duration.
    std::int32_t RunFrameRoutine(SGameResource& game); // the kind's routine; 0 for a kind without one
    std::int32_t UpdateKind14(SGameResource& game);
    std::int32_t UpdateKind15(SGameResource& game);
    std::int32_t UpdateKind16(SGameResource& game);
    std::int32_t UpdateKind17(SGameResource& game); // kinds 17, 19, 21
    std::int32_t UpdateKind18(SGameResource& game); // kinds 18, 20, 22
    std::int32_t UpdateKind23(SGameResource& game); // kinds 23, 24
    std::int32_t UpdateKind25(SGameResource& game); // kinds 25 to 28, 32
    std::int32_t UpdateKind29(SGameResource& game);
    std::int32_t UpdateKind30(SGameResource& game);
    std::int32_t UpdateKind31(SGameResource& game);
    std::int32_t UpdateKind33(SGameResource& game);
    std::int32_t UpdateKind34(SGameResource& game); // kinds 34, 35, 36: only whether it can be seen
    std::int32_t UpdateKind37(SGameResource& game);
    std::int32_t UpdateKind38(SGameResource& game);
    std::int32_t UpdateKind39(SGameResource& game);
    std::int32_t UpdateKind40(SGameResource& game);
    std::int32_t UpdateKind41(SGameResource& game);
    std::int32_t UpdateKind42(SGameResource& game);
    std::int32_t UpdateKind43(SGameResource& game); // kinds 43 to 47

    // Whether the source rectangle, drawn at the effect's screen position, overlaps the screen.
    bool IsRectOnScreen(std::int32_t viewX, std::int32_t viewY) const;
    // The effect's position on the logical screen.
    std::int32_t ScreenX(std::int32_t viewX) const { return x * 32 + offsetX - viewX; }
    std::int32_t ScreenY(std::int32_t viewY) const { return y * 32 + offsetY - viewY; }
    // The position along the flight at time t of `length` frames, in pixels from the start cell.
    void LinePosition(std::int32_t t, std::int32_t length, std::int32_t& lineX, std::int32_t& lineY) const;
    // The spread of sparkles, kept signed in the item field.
    std::int32_t SparkleSpread() const { return static_cast<std::int16_t>(itemId); }

    std::int32_t kind = kEffectNone;
    std::int32_t parameter = 0; // by kind: direction, angle, item class, flight length, image variant
    std::uint16_t itemId = 0xFFFF;
    std::int32_t imageId = -1; // -1 draws nothing
    // The part of the image drawn: left, top, right, bottom.
    std::int32_t sourceLeft = 0;
    std::int32_t sourceTop = 0;
    std::int32_t sourceRight = 0;
    std::int32_t sourceBottom = 0;

private:
    void SetSource(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    // The common part of the flights' starters.
    void SetFlight(std::int32_t effectKind, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                   std::int32_t y1);
    // The common part of the item-carrying starters: the item, its class, size class 0.
    void SetItem(SGameResource& game, std::uint16_t item);
    std::int32_t DrawGeneric(Draw::ISurface& target, std::int32_t viewX, std::int32_t viewY, bool additive);
    std::int32_t DrawItem(Draw::ISurface& target, std::int32_t viewX, std::int32_t viewY);
};

// Frames of a flight between two cells, 4 a cell (8 pixels a frame), at least 1.
std::int32_t FlightLength(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);
// The view's top left corner in map pixels, from the heroine's cell, step offset and shake: her cell is
// drawn at (kViewPlayerX, kViewPlayerY).
void GetViewOrigin(const SGameResource& game, std::int32_t& viewX, std::int32_t& viewY);

// The world update's step of the effects: the main list and then the overlay list are walked in order,
// and an effect whose update reports its end is erased.
void UpdateEffectLists(SGameResource& game);
// Draws the effects of kinds below kFirstSortedEffectKind, the main list's and then the overlay list's,
// in list order (over the characters, after the sorted drawing).
void DrawEffectsOverCharacters(SGameResource& game, Draw::ISurface& target, std::int32_t viewX,
                               std::int32_t viewY);
// Appends a copy of the effect to the main list when its cell lies within 5 columns and 4 rows of the
// heroine's cell; drops it otherwise.
void AddEffectNearPlayer(SGameResource& game, const SEffectObject& effect);
