// Cutting the plan into the field: rooms in their sections, merged rooms joined, corridors between the
// sections the plan connects, and floor patches by random walks. Everything here works in window
// coordinates (the 54 x 36 playing field).

#include "game/core/random.h"
#include "game/world/dungeon_gen.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::uint8_t kTerrainWall = 2;
constexpr std::uint8_t kTerrainRoomFloor = 5;
constexpr std::uint8_t kTerrainCorridor = 6;
constexpr std::uint8_t kTerrainPatch = 7;
constexpr std::uint8_t kTerrainWet = 11;
constexpr std::uint8_t kTerrainWetPatch = 13;
constexpr std::int32_t kClosedRoomSize = 3;
constexpr std::int32_t kPatchSteps = 1024;

// Sides of a room, as the link bits name them.
constexpr std::int32_t kSideTop = 1;
constexpr std::int32_t kSideLeft = 2;
constexpr std::int32_t kSideBottom = 4;
constexpr std::int32_t kSideRight = 8;

struct SRect
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;
};

SRect Union(const SRect& a, const SRect& b)
{
    const std::int32_t left = std::min(a.x, b.x);
    const std::int32_t top = std::min(a.y, b.y);
    const std::int32_t right = std::max(a.x + a.w, b.x + b.w);
    const std::int32_t bottom = std::max(a.y + a.h, b.y + b.h);
    return {left, top, right - left, bottom - top};
}

SRect Intersect(const SRect& a, const SRect& b)
{
    const std::int32_t left = std::max(a.x, b.x);
    const std::int32_t top = std::max(a.y, b.y);
    const std::int32_t right = std::min(a.x + a.w, b.x + b.w);
    const std::int32_t bottom = std::min(a.y + a.h, b.y + b.h);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

SRect RectOf(const DungeonGen::SSection& s)
{
    return {s.x, s.y, s.w, s.h};
}

void StoreRect(DungeonGen::SSection& s, const SRect& r)
{
    s.x = r.x;
    s.y = r.y;
    s.w = r.w;
    s.h = r.h;
}

bool IsRoomState(std::int32_t state)
{
    return state == DungeonGen::kSectionRoom || state == DungeonGen::kSectionClosedRoom;
}

// The step of a side outward.
void SideStep(std::int32_t side, std::int32_t& dx, std::int32_t& dy)
{
    dx = side == kSideLeft ? -1 : side == kSideRight ? 1 : 0;
    dy = side == kSideTop ? -1 : side == kSideBottom ? 1 : 0;
}

// One walk of a floor patch. `changes` says whether the walk would change a cell, `turn` changes it. A
// walk ends once no cell inside its bounds is left to change: on a floor already all ice or all
// patched it would otherwise wander its whole 1024 steps, drawing for nothing.
template <typename Changes, typename Turn>
void WalkPatch(CMapControl& map, const std::array<std::int32_t, 4>& bounds, std::int32_t x, std::int32_t y,
               std::int32_t count, Math::CRand& rand, std::int32_t* cellsLeft, Changes changes, Turn turn)
{
    const auto inside = [&](std::int32_t px, std::int32_t py) {
        return px >= bounds[0] && px < bounds[2] && py >= bounds[1] && py < bounds[3];
    };
    if (count <= 0 || !inside(x, y)) return;
    // The cells left to change, counted once for a run of walks in the same bounds (the caller's count
    // starts at -1) or for this walk alone.
    std::int32_t ownCount = -1;
    std::int32_t& left = cellsLeft != nullptr ? *cellsLeft : ownCount;
    if (left < 0) {
        left = 0;
        for (std::int32_t py = std::max(bounds[1], 0); py < std::min(bounds[3], DungeonGen::kWindowHeight);
             ++py)
            for (std::int32_t px = std::max(bounds[0], 0); px < std::min(bounds[2], DungeonGen::kWindowWidth);
                 ++px)
                if (changes(map.GetFieldCell(std::uint32_t(px), std::uint32_t(py)))) ++left;
    }
    static constexpr std::int32_t kDx[4] = {0, -1, 0, 1};
    static constexpr std::int32_t kDy[4] = {-1, 0, 1, 0};
    for (std::int32_t stepCount = 0; stepCount < kPatchSteps; ++stepCount) {
        if (count <= 0 || left <= 0 || !inside(x, y)) return;
        SMapCell& cell = map.GetFieldCell(std::uint32_t(x), std::uint32_t(y));
        if (changes(cell)) {
            turn(cell);
            --count;
            --left;
        }
        const std::int32_t d = static_cast<std::int32_t>(RandomMask(rand, 3));
        bool moved = false;
        for (std::int32_t i = 0; i < 4 && !moved; ++i) {
            const std::int32_t dir = (d + i) & 3;
            if (!inside(x + kDx[dir], y + kDy[dir])) continue;
            x += kDx[dir];
            y += kDy[dir];
            moved = true;
        }
        if (!moved) return;
    }
}

} // namespace

void FillFieldRect(CMapControl& map, std::int32_t left, std::int32_t top, std::int32_t width,
                   std::int32_t height, std::uint8_t terrain, bool overwrite, std::int32_t room)
{
    for (std::int32_t y = top; y < top + height; ++y) {
        for (std::int32_t x = left; x < left + width; ++x) {
            SMapCell& cell = map.GetFieldCell(std::uint32_t(x), std::uint32_t(y));
            if (!overwrite && cell.terrain != kTerrainWall) continue;
            cell.terrain = terrain;
            if (room >= 0) cell.room = static_cast<std::int8_t>(room);
        }
    }
}

namespace {

// The bent line shared by corridors and the generator's walls and waterways: the first leg runs along
// the first axis from the start, the cross piece joins the two lines on the bend's line, the last leg
// runs on to the end. k is 2 on runs under 4 (a run of exactly 4 leaves no room to draw in), else 2 + a
// draw modulo (run - 4). `bendBack` puts the cross piece on the k-th cell of the first leg rather than
// one cell past it.
void LayBent(CMapControl& map, bool verticalFirst, std::int32_t x1, std::int32_t y1, std::int32_t x2,
             std::int32_t y2, std::uint8_t terrain, bool overwrite, bool bendBack, Math::CRand& rand)
{
    const std::int32_t from = verticalFirst ? y1 : x1;
    const std::int32_t to = verticalFirst ? y2 : x2;
    const std::int32_t run = std::abs(to - from);
    const std::int32_t k = run >= 4 ? 2 + RandomBelow(rand, run - 4) : 2;
    const std::int32_t offset = bendBack ? k - 1 : k;
    const std::int32_t bend = to >= from ? from + offset : from - offset;

    const auto line = [&](std::int32_t ax, std::int32_t ay, std::int32_t bx, std::int32_t by) {
        FillFieldRect(map, std::min(ax, bx), std::min(ay, by), std::abs(bx - ax) + 1, std::abs(by - ay) + 1,
                      terrain, overwrite, -1);
    };
    if (verticalFirst) {
        line(x1, y1, x1, bend);
        line(x1, bend, x2, bend);
        line(x2, bend, x2, y2);
    } else {
        line(x1, y1, bend, y1);
        line(bend, y1, bend, y2);
        line(bend, y2, x2, y2);
    }
}

} // namespace

void LayBentCorridor(CMapControl& map, std::uint8_t flags, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                     std::int32_t y2, std::uint8_t terrain, bool overwrite, Math::CRand& rand)
{
    // A corridor bends k cells from its start.
    LayBent(map, (flags & DungeonGen::kConnectDown) != 0, x1, y1, x2, y2, terrain, overwrite, false, rand);
}

void LayBentLine(CMapControl& map, bool vertical, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                 std::int32_t y2, std::uint8_t terrain, bool overwrite, Math::CRand& rand)
{
    // Walls and waterways fill k cells of the first line, the last of them on the bend. A line that runs
    // backwards (a river towards the top or the left edge) mirrors the same shape from its start.
    LayBent(map, vertical, x1, y1, x2, y2, terrain, overwrite, true, rand);
}

void PaintFloorPatch(CMapControl& map, const std::array<std::int32_t, 4>& bounds, std::int32_t x,
                     std::int32_t y, std::int32_t count, Math::CRand& rand, std::int32_t* cellsLeft)
{
    WalkPatch(
        map, bounds, x, y, count, rand, cellsLeft,
        [](const SMapCell& cell) { return cell.terrain == kTerrainRoomFloor || cell.terrain == kTerrainWet; },
        [](SMapCell& cell) {
            cell.terrain = cell.terrain == kTerrainRoomFloor ? kTerrainPatch : kTerrainWetPatch;
        });
}

void PaintFloorPatchWith(CMapControl& map, const std::array<std::int32_t, 4>& bounds, std::int32_t x,
                         std::int32_t y, std::int32_t count, std::uint8_t terrain, Math::CRand& rand,
                         std::int32_t* cellsLeft)
{
    WalkPatch(
        map, bounds, x, y, count, rand, cellsLeft,
        [](const SMapCell& cell) { return cell.terrain == kTerrainRoomFloor; },
        [terrain](SMapCell& cell) { cell.terrain = terrain; });
}

std::int32_t DungeonGen::GetChannelIndex(std::int32_t column, std::int32_t row)
{
    if (!InGrid(column, row) || Section(column, row).state != kSectionRoom) return -1;
    if (channels[1].flag != 0 && channels[1].column == column && channels[1].row == row) return 1;
    if (channels[0].flag != 0 && channels[0].column == column && channels[0].row == row) return 0;
    return -1;
}

bool DungeonGen::IsChannelRoom(std::int32_t column, std::int32_t row)
{
    return GetChannelIndex(column, row) >= 0;
}

void DungeonGen::DigRooms(CMapControl& map, Math::CRand& rand)
{
    for (std::int32_t r = 0; r < rows; ++r) {
        for (std::int32_t c = 0; c < columns; ++c) {
            if (!InGrid(c, r)) continue;
            SSection& section = Section(c, r);
            if (!IsRoomState(section.state)) continue;

            std::int32_t w = section.w - 6 + RandomBelow(rand, 9);
            std::int32_t h = section.h - 4 + RandomBelow(rand, 7);
            const std::int32_t leftMargin = c == 0 ? 0 : 1;
            const std::int32_t topMargin = r == 0 ? 0 : 1;
            const std::int32_t rightMargin = c == columns - 1 ? 0 : 2;
            const std::int32_t bottomMargin = r == rows - 1 ? 0 : 2;
            w = std::max(std::min(w, section.w - leftMargin - rightMargin), 3);
            h = std::max(std::min(h, section.h - topMargin - bottomMargin), 3);
            const std::int32_t channel = GetChannelIndex(c, r);
            if (channel >= 0) {
                if (channels[std::size_t(channel)].orientation != 0)
                    w = std::max(w, 4);
                else
                    h = std::max(h, 4);
            }
            if (section.state == kSectionClosedRoom) w = h = kClosedRoomSize;

            // A room that fills its section has no room to move: no draw, offset 0.
            std::int32_t ox = RandomBelow(rand, section.w - w);
            std::int32_t oy = RandomBelow(rand, section.h - h);
            ox = std::max(ox, leftMargin);
            oy = std::max(oy, topMargin);
            ox = std::max(std::min(ox, section.w - rightMargin - w), 0);
            oy = std::max(std::min(oy, section.h - bottomMargin - h), 0);

            SSection& room = Room(c, r);
            room.RoomNumber() = room.RoomNumber() == -1 ? 0 : r * columns + c;
            StoreRect(room, {section.x + ox, section.y + oy, w, h});
            FillFieldRect(map, room.x, room.y, w, h, kTerrainRoomFloor, true, room.RoomNumber());

            if (section.state == kSectionClosedRoom) {
                closedRoom = 1;
                treasureSpot = {room.x, room.y};
            }
        }
    }

    // Merged rooms: each pair is joined by the union of the two rooms as cut; the four rooms of a 2 x 2
    // block also by a 3 x 3 block of floor around their common corner. The group then takes one number
    // (that of its first room in reading order) and one rectangle (the box of its floor).
    std::array<SRect, kSections> own{};
    for (std::int32_t c = 0; c < columns; ++c)
        for (std::int32_t r = 0; r < rows; ++r)
            if (InGrid(c, r)) own[std::size_t(c * 6 + r)] = RectOf(Room(c, r));

    std::array<std::int32_t, kSections> group{};
    group.fill(-1);
    for (std::int32_t r = 0; r < rows; ++r) {
        for (std::int32_t c = 0; c < columns; ++c) {
            if (!InGrid(c, r) || !IsRoomState(Section(c, r).state)) continue;
            const SSection& section = Section(c, r);
            const std::int32_t number = Room(c, r).RoomNumber();
            const bool down =
                (section.links & kLinkDown) != 0 && InGrid(c, r + 1) && IsRoomState(Section(c, r + 1).state);
            const bool right =
                (section.links & kLinkRight) != 0 && InGrid(c + 1, r) && IsRoomState(Section(c + 1, r).state);
            if ((section.links & kLinkBlock) != 0 && down && right)
                FillFieldRect(map, section.x + section.w - 2, section.y + section.h - 2, 3, 3,
                              kTerrainRoomFloor, true, number);
            if (down) {
                const SRect u = Union(own[std::size_t(c * 6 + r)], own[std::size_t(c * 6 + r + 1)]);
                FillFieldRect(map, u.x, u.y, u.w, u.h, kTerrainRoomFloor, true, number);
            }
            if (right) {
                const SRect u = Union(own[std::size_t(c * 6 + r)], own[std::size_t((c + 1) * 6 + r)]);
                FillFieldRect(map, u.x, u.y, u.w, u.h, kTerrainRoomFloor, true, number);
            }
        }
    }

    // The groups, by the merge links of room sections.
    for (std::int32_t r = 0; r < rows; ++r) {
        for (std::int32_t c = 0; c < columns; ++c) {
            if (!InGrid(c, r) || !IsRoomState(Section(c, r).state) || group[std::size_t(c * 6 + r)] >= 0)
                continue;
            std::vector<std::pair<std::int32_t, std::int32_t>> members;
            std::vector<std::pair<std::int32_t, std::int32_t>> pending = {{c, r}};
            group[std::size_t(c * 6 + r)] = c * 6 + r;
            while (!pending.empty()) {
                const auto [pc, pr] = pending.back();
                pending.pop_back();
                members.emplace_back(pc, pr);
                static constexpr std::uint8_t kBits[4] = {kLinkUp, kLinkLeft, kLinkDown, kLinkRight};
                static constexpr std::int32_t kDx[4] = {0, -1, 0, 1};
                static constexpr std::int32_t kDy[4] = {-1, 0, 1, 0};
                for (std::int32_t i = 0; i < 4; ++i) {
                    const std::int32_t nc = pc + kDx[i];
                    const std::int32_t nr = pr + kDy[i];
                    if ((Section(pc, pr).links & kBits[i]) == 0 || !InGrid(nc, nr)) continue;
                    if (!IsRoomState(Section(nc, nr).state) || group[std::size_t(nc * 6 + nr)] >= 0) continue;
                    group[std::size_t(nc * 6 + nr)] = c * 6 + r;
                    pending.emplace_back(nc, nr);
                }
            }
            if (members.size() < 2) continue;
            const std::int32_t number = Room(c, r).RoomNumber();
            SRect box = RectOf(Room(c, r));
            std::vector<std::int32_t> numbers;
            for (const auto& [mc, mr] : members) {
                box = Union(box, RectOf(Room(mc, mr)));
                numbers.push_back(Room(mc, mr).RoomNumber());
            }
            for (std::int32_t y = box.y; y < box.y + box.h; ++y) {
                for (std::int32_t x = box.x; x < box.x + box.w; ++x) {
                    SMapCell& cell = map.GetFieldCell(std::uint32_t(x), std::uint32_t(y));
                    if (cell.terrain == kTerrainRoomFloor &&
                        std::find(numbers.begin(), numbers.end(), cell.room) != numbers.end())
                        cell.room = static_cast<std::int8_t>(number);
                }
            }
            for (const auto& [mc, mr] : members) {
                Room(mc, mr).RoomNumber() = number;
                StoreRect(Room(mc, mr), box);
            }
        }
    }
}

namespace {

// On the line through (x, y) across side `side` of the room of section (column, row): the room's
// outermost floor cell within the room's part of its own section (a joined room may end short of its
// box there), or (-1, -1).
SCellPosition OutermostFloor(DungeonGen& gen, CMapControl& map, std::int32_t column, std::int32_t row,
                             std::int32_t x, std::int32_t y, std::int32_t side)
{
    const DungeonGen::SSection& room = gen.Room(column, row);
    const SRect area = Intersect(RectOf(room), RectOf(gen.Section(column, row)));
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    SideStep(side, dx, dy);
    if (side == kSideTop || side == kSideBottom) {
        if (x < area.x || x >= area.x + area.w) return {-1, -1};
        y = side == kSideTop ? area.y : area.y + area.h - 1;
    } else {
        if (y < area.y || y >= area.y + area.h) return {-1, -1};
        x = side == kSideLeft ? area.x : area.x + area.w - 1;
    }
    for (; x >= area.x && x < area.x + area.w && y >= area.y && y < area.y + area.h; x -= dx, y -= dy) {
        const SMapCell& cell = map.GetFieldCell(std::uint32_t(x), std::uint32_t(y));
        if (cell.terrain == kTerrainRoomFloor && cell.room == room.RoomNumber()) return {x, y};
    }
    return {-1, -1};
}

} // namespace

SCellPosition DungeonGen::FindConnectionPoint(CMapControl& map, std::int32_t column, std::int32_t row,
                                              std::int32_t x, std::int32_t y, std::int32_t side)
{
    const SSection& room = Room(column, row);
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    SideStep(side, dx, dy);
    const bool alongX = side == kSideTop || side == kSideBottom;
    for (std::int32_t i = 0; i < 16; ++i) {
        const std::int32_t offset = (i / 2 + 1) * (i % 2 == 0 ? 1 : -1);
        const SCellPosition found =
            OutermostFloor(*this, map, column, row, alongX ? x + offset : x, alongX ? y : y + offset, side);
        if (found.x < 0) continue;
        const SCellPosition outer = {found.x + dx, found.y + dy};
        if (std::find(room.points.begin(), room.points.end(), outer) != room.points.end()) continue;
        return found;
    }
    return {-1, y};
}

bool DungeonGen::DigSectionPath(CMapControl& map, std::int32_t column, std::int32_t row, std::uint8_t entry,
                                SSectionPath& out)
{
    const bool right = (entry & kConnectRight) != 0;
    const std::int32_t nc = right ? column + 1 : column;
    const std::int32_t nr = right ? row : row + 1;
    if (!InGrid(nc, nr)) return false;
    const bool far = (entry & kConnectFarBank) != 0;

    // The end in section (c, r) facing `side`: a junction's cell, or the door outside a room's side,
    // searched from the middle of that side (of the bank a channel room's corridor reaches).
    const auto endPoint = [&](std::int32_t c, std::int32_t r, std::int32_t side, SCellPosition& point) {
        const SSection& section = Section(c, r);
        SSection& room = Room(c, r);
        if (section.state == kSectionJunction) {
            point = {room.x, room.y};
            return true;
        }
        if (section.state != kSectionRoom) return false;
        const SRect area = Intersect(RectOf(room), RectOf(section));
        if (area.w <= 0 || area.h <= 0) return false;
        const bool alongX = side == kSideTop || side == kSideBottom;
        std::int32_t x = area.x + area.w / 2;
        std::int32_t y = area.y + area.h / 2;
        const std::int32_t channel = GetChannelIndex(c, r);
        if (channel >= 0) {
            // On a side both banks share, the corridor keeps to its bank's half.
            const bool vertical = channels[std::size_t(channel)].orientation != 0;
            if (vertical && alongX) x = far ? area.x + area.w * 3 / 4 : area.x + area.w / 4;
            if (!vertical && !alongX) y = far ? area.y + area.h * 3 / 4 : area.y + area.h / 4;
        }
        std::int32_t dx = 0;
        std::int32_t dy = 0;
        SideStep(side, dx, dy);
        const auto taken = [&](const SCellPosition& p) {
            return std::find(room.points.begin(), room.points.end(), SCellPosition{p.x + dx, p.y + dy}) !=
                   room.points.end();
        };
        // The middle itself first, then the positions beside it; when every door there is taken, a door
        // is shared rather than the corridor left unjoined.
        SCellPosition found = OutermostFloor(*this, map, c, r, x, y, side);
        if (found.x < 0 || taken(found)) found = FindConnectionPoint(map, c, r, x, y, side);
        const std::int32_t span = alongX ? area.w : area.h;
        for (std::int32_t i = 0; found.x < 0 && i < span; ++i)
            found = OutermostFloor(*this, map, c, r, alongX ? area.x + i : x, alongX ? y : area.y + i, side);
        if (found.x < 0) return false;
        point = {found.x + dx, found.y + dy};
        const auto slot = std::find(room.points.begin(), room.points.end(), SCellPosition{-1, -1});
        if (slot != room.points.end() && !taken(found)) *slot = point;
        return true;
    };
    return endPoint(column, row, right ? kSideRight : kSideBottom, out.from) &&
           endPoint(nc, nr, right ? kSideLeft : kSideTop, out.to);
}

void DungeonGen::ConnectSections(CMapControl& map, Math::CRand& rand)
{
    // 1. Each junction's single cell; a draw that would leave the inner part of the section (sections
    // 5 cells or less across give no room to draw in) takes the middle.
    for (std::int32_t r = 0; r < rows; ++r) {
        for (std::int32_t c = 0; c < columns; ++c) {
            if (!InGrid(c, r) || Section(c, r).state != kSectionJunction) continue;
            const SSection& section = Section(c, r);
            std::int32_t ox = 2 + RandomBelow(rand, section.w - 5);
            std::int32_t oy = 2 + RandomBelow(rand, section.h - 5);
            if (ox > section.w - 3) ox = section.w / 2;
            if (oy > section.h - 3) oy = section.h / 2;
            SSection& room = Room(c, r);
            StoreRect(room, {section.x + ox, section.y + oy, 1, 1});
            FillFieldRect(map, room.x, room.y, 1, 1, kTerrainCorridor, true, -1);
        }
    }

    // 2. The corridors.
    for (std::int32_t r = 0; r < rows; ++r) {
        for (std::int32_t c = 0; c < columns; ++c) {
            if (!InGrid(c, r)) continue;
            const std::int32_t state = Section(c, r).state;
            if (state != kSectionRoom && state != kSectionJunction) continue;
            for (const std::uint8_t entry : Section(c, r).connections) {
                if ((entry & (kConnectRight | kConnectDown)) == 0) continue;
                SSectionPath path;
                if (!DigSectionPath(map, c, r, entry, path)) continue;
                LayBentCorridor(map, entry & (kConnectRight | kConnectDown), path.from.x, path.from.y,
                                path.to.x, path.to.y, kTerrainCorridor, true, rand);
            }
        }
    }
}
