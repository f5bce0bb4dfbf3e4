#include "game/scenes/graphics_test_scene.h"

#include "game/core/directions.h"
#include "game/data/global_data.h"
#include "game/ui/image_list.h"

#include <algorithm>

namespace {

using Draw::RECT;

constexpr std::uint32_t kPageKey = 1u << 18;

constexpr std::uint32_t Bit(int n)
{
    return 1u << n;
}

// The screen corner of the figure on page 1 and of the sprite on page 0 (the fixed test cell (4, 3)).
constexpr std::int32_t kFigureX = 146;
constexpr std::int32_t kFigureY = 110;
constexpr std::int32_t kSpriteX = 4 * 32 + 16;
constexpr std::int32_t kSpriteY = 3 * 32 + 8;

// Page 2: where grid cell (1, 1) sits in the scene's plane, and the part of the plane the screen shows
// (from (16, 8), 320 x 240), so that cell (c, r) shows at the cursor's place ((c - 1) * 32, (r - 1) * 32).
constexpr std::int32_t kTileLeft = 16;
constexpr std::int32_t kTileTop = 8;
constexpr std::int32_t kTilePlaneWidth = kTileLeft + 11 * 32;
constexpr std::int32_t kTilePlaneHeight = kTileTop + 8 * 32;

// Body and poses.
constexpr std::int32_t kBodyWidth = 28;
constexpr std::int32_t kBodyHeight = 36;
constexpr std::int32_t kWeaponCellWidth = 72;
constexpr std::int32_t kWeaponCellHeight = 128;
constexpr std::int32_t kShieldSize = 24;
constexpr std::int32_t kSwingSize = 64;
// The weapon whose cell runs through the cells of the next three, four drawings each.
constexpr std::int32_t kAnimatedEntry = 27;

// How far the lunge of motion 1 has carried the figure, from motion frame 8 on.
std::int32_t Lunge(std::int32_t frame)
{
    static constexpr std::int32_t kLunge[5] = {11, 17, 21, 23, 24};
    if (frame < 8) return 0;
    return frame - 8 < 5 ? kLunge[frame - 8] : 24;
}

void ShiftToward(std::int32_t direction, std::int32_t distance, std::int32_t& dx, std::int32_t& dy)
{
    std::int32_t sx = 0, sy = 0;
    DirectionToStep(direction, sx, sy);
    dx = sx * distance;
    dy = sy * distance;
}

struct SOffset
{
    std::int32_t x;
    std::int32_t y;
};

// Weapon offsets: standing by direction and walking frame; raised, thrust and motion 2 by direction.
constexpr SOffset kWeaponStanding[8][3] = {
    {{-16, 3}, {-16, 1}, {-15, 3}}, {{-16, 0}, {-15, 1}, {-16, -2}}, {{-12, -2}, {-11, -3}, {-13, -3}},
    {{-8, -3}, {-7, -3}, {-9, -2}}, {{20, 2}, {19, 0}, {20, 0}},     {{19, -1}, {18, -2}, {18, -1}},
    {{16, 3}, {17, 1}, {15, 3}},    {{10, 3}, {10, 2}, {11, 3}},
};
constexpr SOffset kWeaponRaised[8] = {{-8, -12}, {-4, -11}, {2, -12}, {10, -11},
                                      {19, -10}, {14, -5},  {8, -5},  {3, -7}};
constexpr SOffset kWeaponThrust[8] = {{20, 12},  {11, 21}, {8, 22},  {-24, 19},
                                      {-22, 14}, {-18, 9}, {-18, 7}, {21, 7}};
constexpr SOffset kWeaponMotion2[8] = {{-18, 0}, {-16, -1}, {-11, -3}, {-9, -1},
                                       {20, 0},  {20, -1},  {15, 2},   {7, 1}};
constexpr SOffset kWeaponMotion7 = {-5, -21};
// Where the swing picture sits, before the common (-18, -14).
constexpr SOffset kSwing[8] = {{8, 4}, {-2, 2}, {-4, 0}, {-12, -8}, {-6, -8}, {0, -8}, {0, 2}, {12, 2}};

// Shield offsets likewise.
constexpr SOffset kShieldStanding[8][3] = {
    {{10, 11}, {9, 11}, {10, 9}}, {{3, 11}, {3, 10}, {2, 11}},  {{-4, 11}, {-5, 9}, {-3, 11}},
    {{-7, 9}, {-6, 8}, {-6, 9}},  {{-7, 10}, {-7, 8}, {-6, 8}}, {{-1, 8}, {-1, 8}, {0, 7}},
    {{8, 6}, {7, 5}, {9, 5}},     {{13, 8}, {12, 9}, {13, 6}},
};
constexpr SOffset kShieldRaised[8] = {{3, 11}, {-6, 9}, {-7, 6}, {-6, 6}, {1, 4}, {7, 5}, {12, 6}, {10, 8}};
constexpr SOffset kShieldThrust[8] = {{15, 9}, {7, 8}, {2, 13}, {-3, 11}, {-8, 8}, {-6, 6}, {2, 8}, {4, 5}};
constexpr SOffset kShieldMotion2[8] = {{12, 8}, {5, 9}, {-3, 10}, {-8, 9}, {-8, 7}, {1, 9}, {5, 5}, {13, 7}};
constexpr SOffset kShieldMotion8 = {10, -2};

// Layer orders (1 body, 2 weapon, 3 shield; the lowest digit is drawn first) by direction.
constexpr std::int32_t kLayersStanding[8] = {321, 321, 312, 312, 123, 123, 213, 231};
constexpr std::int32_t kLayersRaised[8] = {321, 312, 312, 132, 123, 213, 231, 231};
constexpr std::int32_t kLayersThrust[8] = {213, 231, 231, 321, 312, 132, 132, 132};

// The walking cycle's frames.
constexpr std::int32_t kWalkCycle[4] = {0, 1, 0, 2};
// Page 2: the column of a tile part by its three-bit neighbour code (side, corner, side).
constexpr std::int32_t kPartColumn[8] = {0, 1, 0, 1, 2, 3, 2, 4};

Draw::RECT Rect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    return RECT{x, y, x + width, y + height};
}

std::int32_t Wrap(std::int32_t value, std::int32_t count)
{
    return count > 0 ? ((value % count) + count) % count : 0;
}

} // namespace

const std::array<CSceneTest::SSpriteSet, CSceneTest::kImageSets>& CSceneTest::SpriteSets()
{
    // Frame size, characters per sheet (blocks of eight direction rows) and the motion-3 pose.
    static constexpr std::array<SSpriteSet, kImageSets> kSets = {{
        {32, 32, 8, true},
        {32, 32, 8, false},
        {24, 24, 4, false},
        {40, 40, 4, true},
        {48, 48, 2, true},
        {32, 32, 4, false},
        {32, 32, 4, false},
        {28, 36, 1, true},
        {24, 24, 8, false},
        {40, 40, 2, false},
        {48, 48, 1, false},
    }};
    return kSets;
}

std::int32_t& CSceneTest::DrawingCounter()
{
    static std::int32_t counter = 0;
    return counter;
}

CSceneTest::CSceneTest(CSceneControl* control) : CSceneSupport(control)
{
    DropSceneParameter();
    m_state.page = 1;
    PreparePage1();
}

CSceneTest::CSceneTest(CSceneControl* control, SGameResource* game) : CSceneSupport(control, game)
{
    DropSceneParameter();
    m_state.page = 1;
    PreparePage1();
}

void CSceneTest::PreparePage0()
{
    m_state.direction = 0;
    m_state.motion = 0;
    m_state.motionFrame = 0;
    m_state.speed = 3;
}

void CSceneTest::PreparePage1()
{
    // The running motion is kept.
    m_state.direction = 0;
    m_state.speed = 3;
    m_state.motionFrame = 0;
    m_state.weapon = 0;
    m_state.shield = 0;
    m_state.weaponMaximum = 32;
    m_state.shieldMaximum = 32;
    m_state.periods = {0, 2, 3, 6, 12, 18};
}

void CSceneTest::PreparePage2()
{
    for (std::int32_t c = 0; c < kGridColumns; ++c)
        for (std::int32_t r = 0; r < kGridRows; ++r)
            m_state.grid[std::size_t(c)][std::size_t(r)] =
                c == 0 || r == 0 || c == kGridColumns - 1 || r == kGridRows - 1 ? 1 : 0;
    m_state.palette = {1, 2, 4, 8, 16, 32, 64};
    m_state.selection = 2;
    m_state.selectionCount = 3;
    m_state.cursorColumn = 1;
    m_state.cursorRow = 1;
    m_state.dirty = 1;
}

// ---- Update.

void CSceneTest::OnMove(const std::uint32_t* keyMask)
{
    const std::uint32_t keys = keyMask != nullptr ? *keyMask : 0;
    if ((keys & kPageKey) != 0) {
        m_state.page = (m_state.page + 1) % kPages;
        if (m_state.page == 0) PreparePage0();
        if (m_state.page == 1) PreparePage1();
        if (m_state.page == 2) PreparePage2();
    }
    switch (m_state.page) {
    case 0:
        UpdatePage0(keys);
        break;
    case 1:
        UpdatePage1(keys);
        break;
    case 2:
        UpdatePage2(keys);
        break;
    default:
        break;
    }
    m_lastKeys = keys;
}

std::int32_t CSceneTest::ReadDirection(std::uint32_t keys, bool diagonalsOnly) const
{
    const bool up = (keys & Bit(8)) != 0, left = (keys & Bit(9)) != 0;
    const bool down = (keys & Bit(10)) != 0, right = (keys & Bit(11)) != 0;
    if (up && left) return 3;
    if (up && right) return 5;
    if (down && left) return 1;
    if (down && right) return 7;
    if (diagonalsOnly) return -1;
    if (up) return 4;
    if (left) return 2;
    if (down) return 0;
    if (right) return 6;
    return -1;
}

void CSceneTest::StartMotion(std::int32_t motion)
{
    m_state.motion = motion;
    m_state.motionFrame = 0;
}

void CSceneTest::UpdatePage0(std::uint32_t keys)
{
    SState& s = m_state;
    if ((keys & Bit(4)) == 0) {
        if ((keys & Bit(0)) != 0) StartMotion(1);
        if ((keys & Bit(1)) != 0) StartMotion(2);
        if ((keys & Bit(3)) != 0) StartMotion(3);
        if ((keys & Bit(2)) != 0) StartMotion(4);
    } else {
        if ((keys & Bit(0)) != 0) s.speed = s.speed >= 5 ? 1 : s.speed + 1;
        if ((keys & Bit(1)) != 0) s.speed = s.speed <= 1 ? 5 : s.speed - 1;
    }
    const std::uint32_t pressed = keys & ~m_lastKeys;
    if ((pressed & Bit(6)) != 0) {
        s.imageSet = Wrap(s.imageSet + 1, kImageSets);
        s.imageFrame = 0;
    }
    if ((pressed & Bit(7)) != 0)
        s.imageFrame = Wrap(s.imageFrame + 1, SpriteSets()[std::size_t(Wrap(s.imageSet, kImageSets))].frames);
    if (s.motion == 0) {
        const std::int32_t direction = ReadDirection(keys, (keys & Bit(5)) != 0);
        if (direction >= 0) s.direction = direction;
    }

    s.motionFrame = (s.motionFrame + 2) % 65536;
    if (s.motion == 2 && s.motionFrame > 30) StartMotion(0);
    if (s.motion == 4 && s.motionFrame > 30) StartMotion(13);
    if ((s.motion == 1 || s.motion == 3) && s.motionFrame > 60) StartMotion(0);
}

void CSceneTest::UpdatePage1(std::uint32_t keys)
{
    SState& s = m_state;
    const bool b0 = (keys & Bit(0)) != 0, b1 = (keys & Bit(1)) != 0;
    const bool b4 = (keys & Bit(4)) != 0, b5 = (keys & Bit(5)) != 0;
    // Below 0 the value becomes the maximum (none shown); above the maximum it starts over at 0.
    const auto step = [b0, b1](std::int32_t& value, std::int32_t maximum) {
        if (b0) ++value;
        if (b1) --value;
        if (value < 0) value = maximum;
        if (value > maximum) value = 0;
    };
    if ((keys & Bit(6)) != 0) {
        step(s.weapon, s.weaponMaximum);
    } else if ((keys & Bit(7)) != 0) {
        step(s.shield, s.shieldMaximum);
    } else if ((keys & Bit(3)) != 0) {
        if (b4) StartMotion(7);
        if (b5) StartMotion(8);
        if (b0) StartMotion(6);
    } else if ((keys & Bit(2)) != 0) {
        if (b4) StartMotion(9);
        if (b5) StartMotion(10);
        if (b0) StartMotion(11);
        if (b1) StartMotion(12);
    } else if (b0) {
        StartMotion(1);
    } else if (b1) {
        StartMotion(2);
    } else if (b4) {
        StartMotion(5);
    }
    if (s.motion == 0) {
        const std::int32_t direction = ReadDirection(keys, (keys & Bit(5)) != 0);
        if (direction >= 0) s.direction = direction;
    }

    s.motionFrame = (s.motionFrame + 2) % 65536;
    if ((s.motion == 1 || s.motion == 2) && s.motionFrame > 30) StartMotion(0);
    if (s.motion == 4 && s.motionFrame > 30) StartMotion(13);
    if ((s.motion == 5 || s.motion == 6) && s.motionFrame > 60) StartMotion(0);
}

void CSceneTest::UpdatePage2(std::uint32_t keys)
{
    SState& s = m_state;
    s.frameCounter = (s.frameCounter + 1) % 256;
    if ((keys & Bit(6)) != 0) {
        s.selection = Wrap(s.selection + 1, s.selectionCount);
        // The tiles come from the selected picture, so every cell is drawn again.
        s.dirty = 1;
    }
    if ((keys & Bit(8)) != 0) --s.cursorRow;
    if ((keys & Bit(10)) != 0) ++s.cursorRow;
    if ((keys & Bit(9)) != 0) --s.cursorColumn;
    if ((keys & Bit(11)) != 0) ++s.cursorColumn;
    s.cursorRow = 1 + Wrap(s.cursorRow - 1, kGridRows - 2);
    s.cursorColumn = 1 + Wrap(s.cursorColumn - 1, kGridColumns - 2);

    std::int32_t& cell = s.grid[std::size_t(s.cursorColumn)][std::size_t(s.cursorRow)];
    const auto write = [&](std::int32_t value) {
        cell = value;
        s.dirty = 1;
    };
    if ((keys & Bit(0)) != 0) write(1);
    if ((keys & Bit(1)) != 0) write(3);
    if ((keys & Bit(3)) != 0) write(5);
    if ((keys & Bit(2)) != 0) write(2);
    if ((keys & Bit(4)) != 0) write(4);
    if ((keys & Bit(5)) != 0) write(cell == 6 ? 0 : 6);
}

// ---- The rules the pages draw by.

std::int32_t CSceneTest::GetWalkingFrame() const
{
    const std::int32_t speed = std::clamp(m_state.speed, 1, 5);
    const std::int32_t period = 3 * m_state.periods[std::size_t(6 - speed)];
    if (period <= 0) return 0;
    return kWalkCycle[(m_state.motionFrame / period) % 4];
}

CSceneTest::SBodyFrame CSceneTest::GetBodyFrame() const
{
    const std::int32_t direction = Wrap(m_state.direction, 8);
    const std::int32_t frame = m_state.motionFrame;
    SBodyFrame body;
    std::int32_t x = kBodyWidth * GetWalkingFrame();
    std::int32_t y = direction * kBodyHeight;
    std::int32_t width = kBodyWidth;
    // The motions after an 11 first hold, then swing between two poses.
    const auto held = [frame](std::int32_t first) { return (frame % 64) < 32 ? first : first + 28; };
    switch (m_state.motion) {
    case 1:
        x = frame < 6 ? 112 : 140;
        if (frame >= 6) ShiftToward(direction, Lunge(frame), body.dx, body.dy);
        break;
    case 2:
        x = 84;
        body.dy = 2;
        break;
    case 5:
        x = frame < 16 ? 168 : 196;
        break;
    case 6:
        x = 308;
        width = 40;
        ShiftToward(direction, 8, body.dx, body.dy);
        break;
    case 7:
        x = 224;
        y = 0;
        break;
    case 8:
        x = 224;
        y = 36;
        break;
    case 12:
        x = held(224);
        y = 72;
        break;
    case 9:
    case 10:
    case 11:
        x = frame < 30 ? 224 : held(252);
        y = m_state.motion == 11 ? 108 : m_state.motion == 9 ? 144 : 180;
        break;
    default:
        // Idle, and the motions of page 0 that page 1 has no pose for (3 and 4), stand.
        break;
    }
    body.rect = Rect(x, y, width, kBodyHeight);
    return body;
}

std::int32_t CSceneTest::GetLayerOrder() const
{
    const std::size_t direction = std::size_t(Wrap(m_state.direction, 8));
    switch (m_state.motion) {
    case 0:
    case 2:
        return kLayersStanding[direction];
    case 1:
        return m_state.motionFrame < 6 ? kLayersRaised[direction] : kLayersThrust[direction];
    case 7:
        return 21;
    case 8:
        return 31;
    default:
        return 1;
    }
}

std::int32_t CSceneTest::GetTileRow(std::int32_t value) const
{
    return value == 5 ? 5 + m_state.frameCounter / 16 : value;
}

std::array<std::int32_t, 4> CSceneTest::GetTileColumns(std::int32_t column, std::int32_t row) const
{
    const auto paletteBit = [this](std::int32_t c, std::int32_t r) -> std::int32_t {
        if (c < 0 || r < 0 || c >= kGridColumns || r >= kGridRows) return 0;
        const std::int32_t value = m_state.grid[std::size_t(c)][std::size_t(r)];
        return value >= 0 && value < kPaletteSize ? m_state.palette[std::size_t(value)] : 0;
    };
    const std::int32_t own = paletteBit(column, row);
    // Bit 0 up, then counter-clockwise: up-left, left, down-left, down, down-right, right, up-right.
    static constexpr std::int32_t kNeighbours[8][2] = {{0, -1}, {-1, -1}, {-1, 0}, {-1, 1},
                                                       {0, 1},  {1, 1},   {1, 0},  {1, -1}};
    std::uint32_t mask = 0;
    for (std::uint32_t bit = 0; bit < 8; ++bit)
        if ((paletteBit(column + kNeighbours[bit][0], row + kNeighbours[bit][1]) & own) != 0)
            mask |= 1u << bit;
    const std::uint32_t rotated = ((mask << 2) | (mask >> 6)) & 0xFF;
    return {kPartColumn[mask & 7], kPartColumn[(mask >> 2) & 7], kPartColumn[(mask >> 4) & 7],
            kPartColumn[rotated & 7]};
}

// ---- Drawing.

void CSceneTest::OnDraw(Draw::ISurface* plane)
{
    if (plane == nullptr) return;
    plane->SetFillColor(0);
    plane->Clear(nullptr);
    switch (m_state.page) {
    case 0:
        DrawPage0(*plane);
        break;
    case 1:
        DrawPage1(*plane);
        break;
    case 2:
        DrawPage2(*plane);
        break;
    default:
        break;
    }
}

void CSceneTest::DrawPage0(Draw::ISurface& plane)
{
    const std::int32_t setIndex = Wrap(m_state.imageSet, kImageSets);
    const SSpriteSet& set = SpriteSets()[std::size_t(setIndex)];
    const std::int32_t direction = Wrap(m_state.direction, 8);
    const std::int32_t frame = m_state.motionFrame;
    std::int32_t column = GetWalkingFrame();
    std::int32_t dx = 0, dy = 0;
    switch (m_state.motion) {
    case 1:
        column = frame < 16 ? 4 : 5;
        if (frame >= 16) ShiftToward(direction, std::min(frame - 16, set.width / 4), dx, dy);
        break;
    case 2:
        column = 3;
        break;
    case 3:
        if (!set.hasMotion3) return;
        column = 6;
        break;
    case 4:
        if ((frame / 4) % 2 == 0) return;
        column = 3;
        break;
    case 13:
        return;
    default:
        break;
    }
    const std::int32_t character = Wrap(m_state.imageFrame, set.frames);
    const RECT rect =
        Rect(column * set.width, (character * 8 + direction) * set.height, set.width, set.height);
    BltImage(plane, kFirstSetImage + setIndex, kSpriteX + dx, kSpriteY + dy, &rect);
}

void CSceneTest::DrawPage1(Draw::ISurface& plane)
{
    if (m_state.motion == 13) return;
    std::int32_t& counter = DrawingCounter();
    counter = (counter + 1) % 16;
    const bool doubled = g_globalData.doubleSize;

    {
        Draw::CFastPlane& background = AccessImageList(kImageListGet, kBackgroundImage);
        if (doubled)
            BltCopyDouble(plane, background, 0, 0);
        else
            BltCopy(plane, background, 0, 0);
    }

    const SBodyFrame body = GetBodyFrame();
    const std::int32_t x = kFigureX + body.dx;
    const std::int32_t y = kFigureY + body.dy;
    for (std::int32_t order = GetLayerOrder(); order > 0; order /= 10) {
        switch (order % 10) {
        case 1: {
            Draw::CFastPlane& image = AccessImageList(kImageListGet, kBodyImage);
            if (doubled)
                BltColorKeyDouble(plane, image, x, y, &body.rect);
            else
                BltColorKey(plane, image, x, y, nullptr, &body.rect);
            break;
        }
        case 2:
            DrawWeapon(plane, x, y);
            break;
        case 3:
            DrawShield(plane, x, y);
            break;
        default:
            break;
        }
    }
}

void CSceneTest::DrawWeapon(Draw::ISurface& plane, std::int32_t x, std::int32_t y)
{
    const std::int32_t weapon = m_state.weapon;
    if (weapon < 0 || weapon >= m_state.weaponMaximum) return;
    const std::int32_t direction = Wrap(m_state.direction, 8);
    const std::int32_t frame = m_state.motionFrame;
    const std::int32_t image = kWeaponImage + weapon / 16;
    std::int32_t cellX = kWeaponCellWidth * (weapon % 8);
    const std::int32_t cellY = kWeaponCellHeight * ((weapon / 8) % 2);
    if (weapon == kAnimatedEntry) cellX += kWeaponCellWidth * (DrawingCounter() / 4);

    const RECT standing = Rect(cellX, cellY + 24 * (direction / 2), 24, 24);
    const RECT raised = Rect(cellX + 24, cellY + 32 * (direction / 2), 16, 32);
    const RECT thrust = Rect(cellX + 40, cellY + 16 * direction, 32, 16);
    RECT rect{};
    SOffset offset{};
    switch (m_state.motion) {
    case 0:
        rect = standing;
        offset = kWeaponStanding[direction][GetWalkingFrame()];
        break;
    case 1:
        if (frame >= 7 && frame <= 23) {
            // The swing picture takes the weapon's place, added onto the screen.
            const std::int32_t stage = frame <= 15 ? 0 : 1;
            const RECT swing = Rect(stage * kSwingSize, direction * kSwingSize, kSwingSize, kSwingSize);
            BltImageAdd(plane, kSwingImage + weapon, x + kSwing[direction].x - 18,
                        y + kSwing[direction].y - 14, &swing);
            return;
        }
        rect = frame < 6 ? raised : thrust;
        offset = frame < 6 ? kWeaponRaised[direction] : kWeaponThrust[direction];
        break;
    case 2:
        rect = standing;
        offset = kWeaponMotion2[direction];
        break;
    case 7:
        rect = Rect(cellX + 24, cellY, 16, 32);
        offset = kWeaponMotion7;
        break;
    default:
        return;
    }
    BltImage(plane, image, x + offset.x, y + offset.y, &rect);
}

void CSceneTest::DrawShield(Draw::ISurface& plane, std::int32_t x, std::int32_t y)
{
    const std::int32_t shield = m_state.shield;
    if (shield < 0 || shield >= m_state.shieldMaximum) return;
    const std::int32_t direction = Wrap(m_state.direction, 8);
    const std::int32_t frame = m_state.motionFrame;
    std::int32_t rowY = kShieldSize * (shield % 16);
    if (shield == kAnimatedEntry) rowY += kShieldSize * (DrawingCounter() / 4);

    std::int32_t column = direction;
    SOffset offset{};
    switch (m_state.motion) {
    case 0:
        offset = kShieldStanding[direction][GetWalkingFrame()];
        break;
    case 1:
        column = (direction + (frame < 6 ? 1 : 2)) % 4;
        offset = frame < 6 ? kShieldRaised[direction] : kShieldThrust[direction];
        break;
    case 2:
        offset = kShieldMotion2[direction];
        break;
    case 8:
        column = 0;
        offset = kShieldMotion8;
        break;
    default:
        return;
    }
    const RECT rect = Rect(kShieldSize * column, rowY, kShieldSize, kShieldSize);
    BltImage(plane, kShieldImage + shield / 16, x + offset.x, y + offset.y, &rect);
}

void CSceneTest::RenderTile(std::int32_t column, std::int32_t row)
{
    Draw::CFastPlane& target = GetPlane();
    const std::int32_t value = m_state.grid[std::size_t(column)][std::size_t(row)];
    const std::int32_t image = kTileImage + m_state.selection;
    const std::int32_t x = kTileLeft + (column - 1) * 32;
    const std::int32_t y = kTileTop + (row - 1) * 32;
    if (value < 1 || value > 5) {
        const RECT rect = value == 6 ? Rect(32, 0, 32, 32) : Rect(0, 0, 32, 32);
        BltImageCopy(target, image, x, y, &rect);
        return;
    }
    const std::array<std::int32_t, 4> columns = GetTileColumns(column, row);
    const std::int32_t top = GetTileRow(value) * 32;
    // Top-left, bottom-left, bottom-right, top-right: the right-hand parts from the right half of their
    // column, the lower parts from the lower half of the row.
    static constexpr std::int32_t kPartX[4] = {0, 0, 16, 16};
    static constexpr std::int32_t kPartY[4] = {0, 16, 16, 0};
    for (std::size_t part = 0; part < 4; ++part) {
        const RECT rect = Rect(columns[part] * 32 + kPartX[part], top + kPartY[part], 16, 16);
        BltImageCopy(target, image, x + kPartX[part], y + kPartY[part], &rect);
    }
}

void CSceneTest::DrawPage2(Draw::ISurface& plane)
{
    const std::int32_t scale = g_globalData.doubleSize ? 2 : 1;
    Draw::CFastPlane& own = GetPlane();
    std::int32_t width = 0, height = 0;
    if (own.GetSize(&width, &height) != 0 || width != kTilePlaneWidth * scale ||
        height != kTilePlaneHeight * scale) {
        own.CreateSurface(kTilePlaneWidth * scale, kTilePlaneHeight * scale, false);
        own.SetFillColor(0);
        own.Clear(nullptr);
        m_state.dirty = 1;
    }
    for (std::int32_t column = 1; column < kGridColumns - 1; ++column)
        for (std::int32_t row = 1; row < kGridRows - 1; ++row)
            if (m_state.dirty != 0 || m_state.grid[std::size_t(column)][std::size_t(row)] == 5)
                RenderTile(column, row);
    m_state.dirty = 0;

    const RECT shown = {kTileLeft * scale, kTileTop * scale, (kTileLeft + 320) * scale,
                        (kTileTop + 240) * scale};
    BltCopy(plane, own, 0, 0, nullptr, &shown);
    BltImage(plane, kCursorImage, (m_state.cursorColumn - 1) * 32, (m_state.cursorRow - 1) * 32);
}
