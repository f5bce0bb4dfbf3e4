#pragma once
// The graphics viewer: a developer's scene for looking at sprites, motions and map tiles without
// playing. Enter (key-mask bit 18) turns its three pages over:
//   page 0, the sprite viewer: one sprite set of the image list (entries 11 to 21) in its motions;
//   page 1, the equipment viewer: the figure of image 50 with a weapon (images 51, 52 and the swings
//           from 400) and a shield (images 53, 54) layered over it, over the background image 201;
//   page 2, the tile editor: a grid of tile values drawn with the tiles of image 100 + the selection,
//           each tile joined to its neighbours of the same value.
// It shows whatever the game's pictures hold at those numbers.

#include "game/app/scene_control.h"
#include "game/ui/blt_support.h"
#include "gamebase/scene.h"
#include "gamebase/sdk_names.h"

#include <array>
#include <cstdint>

class CSceneTest : public QuorlithGameBase::IScene, public CBltSupport, public CSceneSupport
{
public:
    static constexpr std::int32_t kPages = 3;
    static constexpr std::int32_t kImageSets = 11;
    static constexpr std::int32_t kGridColumns = 13;
    static constexpr std::int32_t kGridRows = 10;
    static constexpr std::int32_t kPaletteSize = 7;

    // The figure's picture numbers on page 1.
    static constexpr std::int32_t kBodyImage = 50;
    static constexpr std::int32_t kWeaponImage = 51;
    static constexpr std::int32_t kShieldImage = 53;
    static constexpr std::int32_t kBackgroundImage = 201;
    static constexpr std::int32_t kSwingImage = 400;
    // Page 2: the cursor and the first tile picture.
    static constexpr std::int32_t kCursorImage = 99;
    static constexpr std::int32_t kTileImage = 100;
    // The first sprite set's picture on page 0.
    static constexpr std::int32_t kFirstSetImage = 11;

    // What the pages show and edit, in the order the pages use it.
    struct SState
    {
        std::int32_t page = 1;
        std::int32_t imageSet = 0;
        std::int32_t imageFrame = 0;
        std::int32_t speed = 3; // 1 (slowest) to 5
        // The period of speed s is entry 6 - s.
        std::array<std::int32_t, 6> periods = {0, 2, 3, 6, 12, 18};
        std::int32_t direction = 0;
        std::int32_t motion = 0;
        std::int32_t motionFrame = 0;
        std::int32_t weapon = 0; // equal to its maximum: none shown
        std::int32_t shield = 0;
        std::int32_t weaponMaximum = 32;
        std::int32_t shieldMaximum = 32;
        std::array<std::array<std::int32_t, kGridRows>, kGridColumns> grid{}; // [column][row]
        std::array<std::int32_t, kPaletteSize> palette = {1, 2, 4, 8, 16, 32, 64};
        std::int32_t selection = 2;
        std::int32_t selectionCount = 3;
        std::int32_t cursorColumn = 1; // 1 to 11
        std::int32_t cursorRow = 1;    // 1 to 8
        std::uint8_t dirty = 1;
        std::int32_t frameCounter = 0; // 0 to 255
    };

    // A page 0 sprite set: its frame size, how many frames (characters) it holds and whether it has
    // the pose of motion 3.
    struct SSpriteSet
    {
        std::int32_t width;
        std::int32_t height;
        std::int32_t frames;
        bool hasMotion3;
    };
    static const std::array<SSpriteSet, kImageSets>& SpriteSets();

    // Page 1 prepared, on the application's game state (or the one given).
    explicit CSceneTest(CSceneControl* control);
    CSceneTest(CSceneControl* control, SGameResource* game);

    void OnMove(const std::uint32_t* keyMask) override;
    void OnDraw(Draw::ISurface* plane) override;
    void OnResume() override {}

    SState& State() { return m_state; }
    // Page 1's drawing counter (0 to 15), one for the whole program.
    static std::int32_t& DrawingCounter();

    void PreparePage0();
    void PreparePage1();
    void PreparePage2();

    // ---- The rules the pages draw by.
    // The body's source rectangle and the figure's shift for a motion on page 1.
    struct SBodyFrame
    {
        Draw::RECT rect{};
        std::int32_t dx = 0;
        std::int32_t dy = 0;
    };
    SBodyFrame GetBodyFrame() const;
    // The layers from the bottom as a number read from its lowest digit: 1 body, 2 weapon, 3 shield.
    std::int32_t GetLayerOrder() const;
    // The walking cycle's frame (0, 1 or 2) at the motion frame and speed.
    std::int32_t GetWalkingFrame() const;
    // The source column (0 to 4) of each part of a tile on page 2 (top-left, bottom-left, bottom-right,
    // top-right) for the grid cell.
    std::array<std::int32_t, 4> GetTileColumns(std::int32_t column, std::int32_t row) const;
    // The source row of a value's tiles, in tiles (value 5 runs through rows by the frame counter).
    std::int32_t GetTileRow(std::int32_t value) const;

private:
    void UpdatePage0(std::uint32_t keys);
    void UpdatePage1(std::uint32_t keys);
    void UpdatePage2(std::uint32_t keys);
    // The direction keys as a direction; -1 when they give none.
    std::int32_t ReadDirection(std::uint32_t keys, bool diagonalsOnly) const;
    void StartMotion(std::int32_t motion);

    void DrawPage0(Draw::ISurface& plane);
    void DrawPage1(Draw::ISurface& plane);
    void DrawPage2(Draw::ISurface& plane);
    void DrawWeapon(Draw::ISurface& plane, std::int32_t x, std::int32_t y);
    void DrawShield(Draw::ISurface& plane, std::int32_t x, std::int32_t y);
    // One grid cell into the scene's own plane.
    void RenderTile(std::int32_t column, std::int32_t row);

    SState m_state;
    std::uint32_t m_lastKeys = 0; // for the edge presses of page 0
};
