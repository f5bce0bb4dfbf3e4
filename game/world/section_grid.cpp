// The plan of a floor on its section grid: the grid itself, which sections hold rooms, which rooms merge
// into bigger ones, which room a water channel splits, and which neighbours corridors join.

#include "game/core/random.h"
#include "game/world/dungeon_gen.h"

#include <algorithm>
#include <vector>

namespace {

std::size_t IndexOf(std::int32_t column, std::int32_t row)
{
    return std::size_t(column * 6 + row);
}

// A draw AND 255 below `chance`; the draw is made whatever the chance.
bool Draw8Below(Math::CRand& rand, std::int32_t chance)
{
    return static_cast<std::int32_t>(RandomMask(rand, 255)) < chance;
}

// The channel (0 or 1) whose room is section (column, row), or -1.
std::int32_t ChannelOf(const DungeonGen& gen, std::int32_t column, std::int32_t row)
{
    for (std::int32_t i = 0; i < 2; ++i) {
        const DungeonGen::SChannel& channel = gen.channels[std::size_t(i)];
        if (channel.flag != 0 && channel.column == column && channel.row == row) return i;
    }
    return -1;
}

// Whether a room section is wide enough for a channel: a vertical one needs 7 columns, a horizontal
// one 7 rows.
bool FitsChannel(const DungeonGen::SSection& section, std::int32_t orientation)
{
    return orientation != 0 ? section.w >= 7 : section.h >= 7;
}

// The four neighbours by link bit, in the order the merging tries them.
struct SNeighbour
{
    std::uint8_t link;
    std::uint8_t opposite;
    std::int32_t dx;
    std::int32_t dy;
};
constexpr SNeighbour kNeighbours[] = {{DungeonGen::kLinkUp, DungeonGen::kLinkDown, 0, -1},
                                      {DungeonGen::kLinkLeft, DungeonGen::kLinkRight, -1, 0},
                                      {DungeonGen::kLinkDown, DungeonGen::kLinkUp, 0, 1},
                                      {DungeonGen::kLinkRight, DungeonGen::kLinkLeft, 1, 0}};

// Calls visit(column, row) once for every section merged with (column, row), itself first, following
// the link bytes; the reached marks of `search` record the walk.
template <typename Visit>
void WalkGroup(DungeonGen& gen, SSectionSearch& search, std::int32_t column, std::int32_t row, Visit visit)
{
    ClearSectionLinks(search);
    if (!gen.InGrid(column, row)) return;
    std::vector<std::pair<std::int32_t, std::int32_t>> pending = {{column, row}};
    search.reached[IndexOf(column, row)] = 1;
    while (!pending.empty()) {
        const auto [c, r] = pending.back();
        pending.pop_back();
        visit(c, r);
        for (const SNeighbour& n : kNeighbours) {
            const std::int32_t nc = c + n.dx;
            const std::int32_t nr = r + n.dy;
            if ((gen.Section(c, r).links & n.link) == 0 || !gen.InGrid(nc, nr)) continue;
            if (search.reached[IndexOf(nc, nr)] != 0) continue;
            search.reached[IndexOf(nc, nr)] = 1;
            pending.emplace_back(nc, nr);
        }
    }
}

// The sides of a section, and the corridors that cross them.
enum ESide : std::int32_t
{
    kSideTop,
    kSideLeft,
    kSideBottom,
    kSideRight,
};

} // namespace

bool DungeonGen::InGrid(std::int32_t column, std::int32_t row) const
{
    return column >= 0 && row >= 0 && column < std::min(columns, kMaxColumns) &&
           row < std::min(rows, kMaxRows);
}

void DungeonGen::SetRoomGrid(std::int32_t width, std::int32_t height, std::int32_t columnCount,
                             std::int32_t rowCount)
{
    if (columnCount < 1 || columnCount > kMaxColumns) columnCount = 4;
    if (rowCount < 1 || rowCount > 4) rowCount = 3;
    if (width < 1 || width > kWindowWidth) width = kWindowWidth;
    if (height < 1 || height > kWindowHeight) height = kWindowHeight;
    const std::int32_t sectionWidth = width / columnCount;
    const std::int32_t sectionHeight = height / rowCount;
    const std::int32_t x0 = (kWindowWidth - width) / 2;
    const std::int32_t y0 = (kWindowHeight - height) / 2;
    for (std::int32_t c = 0; c < columnCount; ++c) {
        for (std::int32_t r = 0; r < rowCount; ++r) {
            SSection& section = Section(c, r);
            section.state = kSectionFree;
            section.x = x0 + c * sectionWidth;
            section.y = y0 + r * sectionHeight;
            section.w = sectionWidth;
            section.h = sectionHeight;
        }
    }
    columns = columnCount;
    rows = rowCount;
}

bool DungeonGen::TryRoomGridWithRemainder(std::int32_t columnCount, std::int32_t rowCount, std::int32_t width,
                                          std::int32_t height)
{
    // Counts and sizes the grid cannot hold are refused rather than divided by.
    if (columnCount < 1 || columnCount > kMaxColumns || rowCount < 1 || rowCount > kMaxRows) return false;
    if (width < 1 || width > kWindowWidth || height < 1 || height > kWindowHeight) return false;
    const std::int32_t x0 = (kWindowWidth - width) / 2;
    const std::int32_t y0 = (kWindowHeight - height) / 2;
    // Every column but the last is the right edge over the count wide; the last takes what is left.
    const std::int32_t columnWidth = (x0 + width) / columnCount;
    const std::int32_t rowHeight = (y0 + height) / rowCount;
    const std::int32_t lastWidth = x0 + width - (x0 + (columnCount - 1) * columnWidth);
    const std::int32_t lastHeight = y0 + height - (y0 + (rowCount - 1) * rowHeight);
    if (lastWidth < 6 || lastHeight < 6) return false;
    for (std::int32_t c = 0; c < columnCount; ++c) {
        for (std::int32_t r = 0; r < rowCount; ++r) {
            SSection& section = Section(c, r);
            section.state = kSectionFree;
            section.x = x0 + c * columnWidth;
            section.y = y0 + r * rowHeight;
            section.w = c == columnCount - 1 ? lastWidth : columnWidth;
            section.h = r == rowCount - 1 ? lastHeight : rowHeight;
        }
    }
    columns = columnCount;
    rows = rowCount;
    return true;
}

void DungeonGen::SetDefaultRoomGrid(std::int32_t floor, std::int32_t dungeon, Math::CRand& rand)
{
    const std::int32_t depth = GetDepthValue(floor, dungeon);

    // Weights of the column counts 2 to 6 and of the row counts 2 to 4; the column count is drawn first.
    std::vector<std::int32_t> columnWeights;
    std::vector<std::int32_t> rowWeights;
    if (dungeon == 6) {
        columnWeights = {1, 1, 1, 1, 1};
        rowWeights = {1, 1, 1};
    } else if (dungeon == 1) {
        columnWeights = {0, 64, 131, 33, 0};
        rowWeights = {0, 64, 1};
    } else if (dungeon >= 5) {
        columnWeights = {depth, 32, 131, 33, depth};
        rowWeights = {depth, 32, 1};
    } else {
        columnWeights = {depth / 2, 16, 131, 33, depth / 2};
        rowWeights = {depth / 2, 32, 1};
    }
    const std::int32_t columnPick = PickWeightedIndex(columnWeights, rand);
    const std::int32_t rowPick = PickWeightedIndex(rowWeights, rand);
    const std::int32_t columnCount = columnPick < 0 ? 4 : columnPick + 2;
    const std::int32_t rowCount = rowPick < 0 ? 3 : rowPick + 2;

    std::int32_t width = kWindowWidth;
    std::int32_t height = kWindowHeight;
    if (dungeon == 1) {
        width = kWindowWidth - (RandomBelow(rand, 12) + 12);
        height = kWindowHeight - (RandomBelow(rand, 6) + 6);
    } else if (dungeon < 5) {
        width = kWindowWidth - RandomBelow(rand, std::max(0, 24 - depth / 4));
        height = kWindowHeight - RandomBelow(rand, std::max(0, 12 - depth / 5));
    }
    if (!TryRoomGridWithRemainder(columnCount, rowCount, width, height))
        SetRoomGrid(width, height, columnCount, rowCount);
}

void DungeonGen::ChooseRoomSections(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    const std::int32_t count = std::clamp(columns, 0, kMaxColumns) * std::clamp(rows, 0, kMaxRows);
    std::int32_t k = count / 2 + RandomBelow(rand, count / 4);
    k = std::min(std::max(k, count / 3), count);
    if (count < 4) {
        k = count;
    } else if (k < 4) {
        k = 3;
    }
    if (k < 5) shop = 0; // a shop needs at least five rooms

    const auto anyFree = [this] {
        for (std::int32_t c = 0; c < columns; ++c)
            for (std::int32_t r = 0; r < rows; ++r)
                if (InGrid(c, r) && Section(c, r).state == kSectionFree) return true;
        return false;
    };
    std::int32_t chosen = 0;
    const auto chooseRooms = [&] {
        // The draws stop once no free section is left (a pattern may leave sections out of use), and
        // without draws after the first miss: every draw hits the same section.
        while (k > 0 && anyFree()) {
            const std::int32_t c = RandomBelow(rand, columns);
            const std::int32_t r = RandomBelow(rand, rows);
            if (!InGrid(c, r) || Section(c, r).state != kSectionFree) {
                if (rand.noRandom) break;
                continue;
            }
            SSection& section = Section(c, r);
            section.state = kSectionRoom;
            --k;
            if (chosen++ == 0) {
                stairs = {c, r};
                continue;
            }
            SChannel& first = channels[0];
            SChannel& second = channels[1];
            if (first.flag != 0 && first.column < 0) {
                if (FitsChannel(section, first.orientation)) {
                    first.column = c;
                    first.row = r;
                }
            } else if (second.flag != 0 && second.column < 0) {
                // The second channel's room is measured by the first channel's orientation, and never
                // lies beside the first channel's room.
                const bool besideFirst = (c == first.column && (r == first.row - 1 || r == first.row + 1)) ||
                                         (r == first.row && (c == first.column - 1 || c == first.column + 1));
                if (FitsChannel(section, first.orientation) && !besideFirst) {
                    second.column = c;
                    second.row = r;
                }
            }
        }
    };
    chooseRooms();
    if (chosen == 0) {
        k = 1;
        chooseRooms();
    }
    for (SChannel& channel : channels)
        if (channel.flag != 0 && channel.column < 0) channel.flag = 0;

    if (dungeon == 1) return;
    MergeRoomSections(GetDepthValue(floor, dungeon), rand);
}

void DungeonGen::MergeRoomSections(std::int32_t depthValue, Math::CRand& rand)
{
    const std::int32_t largest = depthValue < 64 ? 2 : depthValue < 128 ? 3 : 4;
    const std::int32_t chance = depthValue / 2 + 32;

    SSectionSearch search;
    for (const SChannel& channel : channels)
        if (channel.flag != 0 && InGrid(channel.column, channel.row))
            search.group[IndexOf(channel.column, channel.row)] = kNeverMerges;

    for (std::int32_t r = 0; r < rows; ++r) {
        for (std::int32_t c = 0; c < columns; ++c) {
            if (!InGrid(c, r) || Section(c, r).state != kSectionRoom) continue;
            const std::int32_t size = search.group[IndexOf(c, r)];
            if (size >= largest) continue;
            // One attempt, towards the first neighbour (up, left, down, right) that is a room and whose
            // group still fits beside this one.
            for (const SNeighbour& n : kNeighbours) {
                const std::int32_t nc = c + n.dx;
                const std::int32_t nr = r + n.dy;
                if (!InGrid(nc, nr) || Section(nc, nr).state != kSectionRoom) continue;
                if (size + search.group[IndexOf(nc, nr)] >= largest) continue;
                if (Draw8Below(rand, chance)) {
                    Section(c, r).links |= n.link;
                    Section(nc, nr).links |= n.opposite;
                    MarkSectionGroup(search, c, r, CountSectionGroup(search, c, r));
                }
                break;
            }
        }
    }

    // Four rooms merged into a square make one room whose corner the cutting fills.
    for (std::int32_t r = 0; r + 1 < rows; ++r) {
        for (std::int32_t c = 0; c + 1 < columns; ++c) {
            if (!InGrid(c + 1, r + 1)) continue;
            SSection& topLeft = Section(c, r);
            SSection& topRight = Section(c + 1, r);
            if (topLeft.state != kSectionRoom || (topLeft.links & kLinkBlock) != 0) continue;
            if ((topLeft.links & kLinkDown) == 0 || (topLeft.links & kLinkRight) == 0) continue;
            if ((topRight.links & kLinkDown) == 0) continue;
            topLeft.links |= kLinkBlock;
            topRight.links |= kLinkBlock;
            Section(c, r + 1).links |= kLinkBlock;
            Section(c + 1, r + 1).links |= kLinkBlock;
        }
    }
}

std::int32_t DungeonGen::CountSectionGroup(SSectionSearch& search, std::int32_t column, std::int32_t row)
{
    std::int32_t count = 0;
    WalkGroup(*this, search, column, row, [&](std::int32_t, std::int32_t) { ++count; });
    return count;
}

void DungeonGen::MarkSectionGroup(SSectionSearch& search, std::int32_t column, std::int32_t row,
                                  std::int32_t value)
{
    WalkGroup(*this, search, column, row,
              [&](std::int32_t c, std::int32_t r) { search.group[IndexOf(c, r)] = value; });
}

void DungeonGen::AddSectionConnections(std::int32_t floor, std::int32_t dungeon, Math::CRand& rand)
{
    const std::int32_t chance = std::max(0, 160 - GetDepthValue(floor, dungeon));

    for (std::int32_t r = 0; r < rows; ++r) {
        for (std::int32_t c = 0; c < columns; ++c) {
            if (!InGrid(c, r)) continue;
            SSection& section = Section(c, r);
            if (section.state == kSectionUnused) continue;

            // The entries up to the first empty slot, by side, and whether each side's last entry lies
            // on the near bank.
            std::size_t slot = 0;
            std::int32_t rightCount = 0;
            std::int32_t downCount = 0;
            bool rightNear = false;
            bool downNear = false;
            for (; slot < section.connections.size() && section.connections[slot] != 0; ++slot) {
                const std::uint8_t entry = section.connections[slot];
                if ((entry & kConnectRight) != 0) {
                    ++rightCount;
                    rightNear = (entry & kConnectFarBank) == 0;
                }
                if ((entry & kConnectDown) != 0) {
                    ++downCount;
                    downNear = (entry & kConnectFarBank) == 0;
                }
            }
            if (slot == section.connections.size()) continue;

            // One corridor to each side; a channel room takes two on the side both its banks share.
            const std::int32_t channel = ChannelOf(*this, c, r);
            const bool vertical = channel >= 0 && channels[std::size_t(channel)].orientation != 0;
            const std::int32_t rightLimit = channel >= 0 && !vertical ? 2 : 1;
            const std::int32_t downLimit = vertical ? 2 : 1;
            const std::int32_t sectionChance = section.state == kSectionJunction ? chance / 2 : chance;

            // Adds the entry towards neighbour (nc, nr) on a side that holds `count` entries.
            const auto add = [&](std::uint8_t entry, std::int32_t nc, std::int32_t nr, std::int32_t count,
                                 bool lastNear) {
                SSection& neighbour = Section(nc, nr);
                if (section.state == kSectionFree) section.state = kSectionJunction;
                if (neighbour.state == kSectionFree) neighbour.state = kSectionJunction;
                if (channel >= 0 || ChannelOf(*this, nc, nr) >= 0) {
                    // The other bank than the side's last corridor; else the far bank, or the near one
                    // when a draw is odd.
                    const bool far = count > 0 ? lastNear : RandomMask(rand, 1) == 0;
                    if (far) entry |= kConnectFarBank;
                }
                section.connections[slot] = entry;
            };
            if (InGrid(c + 1, r) && Section(c + 1, r).state >= kSectionFree &&
                (section.links & kLinkRight) == 0 && rightCount < rightLimit &&
                Draw8Below(rand, sectionChance)) {
                add(kConnectRight, c + 1, r, rightCount, rightNear);
            } else if (InGrid(c, r + 1) && Section(c, r + 1).state >= kSectionFree &&
                       (section.links & kLinkDown) == 0 && downCount < downLimit &&
                       Draw8Below(rand, sectionChance)) {
                add(kConnectDown, c, r + 1, downCount, downNear);
            }
        }
    }
}

bool DungeonGen::CheckConnections(bool force)
{
    // The walk's places: a section, and for a channel room one of its two banks (0 near: left of a
    // vertical channel, above a horizontal one; 1 far). A corridor that meets a channel room on a side
    // only one bank has reaches that bank; on a side both banks share, its far-bank bit chooses.
    SSectionSearch search; // reached: the near bank, or the whole section
    std::array<std::uint8_t, 2> farReached{};

    const auto sideBank = [this](std::int32_t channel, ESide side, std::uint8_t entry) {
        const bool vertical = channels[std::size_t(channel)].orientation != 0;
        const ESide nearSide = vertical ? kSideLeft : kSideTop;
        const ESide farSide = vertical ? kSideRight : kSideBottom;
        if (side == nearSide) return 0;
        if (side == farSide) return 1;
        return (entry & kConnectFarBank) != 0 ? 1 : 0;
    };

    std::vector<std::array<std::int32_t, 3>> pending; // column, row, bank
    const auto arrive = [&](std::int32_t c, std::int32_t r, ESide side, std::uint8_t entry) {
        if (!InGrid(c, r) || Section(c, r).state < kSectionRoom) return; // free sections are never entered
        const std::int32_t channel = ChannelOf(*this, c, r);
        const std::int32_t bank = channel >= 0 ? sideBank(channel, side, entry) : 0;
        std::uint8_t& mark = bank == 0 ? search.reached[IndexOf(c, r)] : farReached[std::size_t(channel)];
        if (mark != 0) return;
        mark = 1;
        pending.push_back({c, r, bank});
    };
    arrive(stairs.x, stairs.y, kSideTop, 0);

    while (!pending.empty()) {
        const auto [c, r, bank] = pending.back();
        pending.pop_back();
        const std::int32_t channel = ChannelOf(*this, c, r);
        // From inside a bank the walk leaves only across that bank's sides; it never crosses the channel.
        const auto mayLeave = [&, bank = bank](ESide side, std::uint8_t entry) {
            return channel < 0 || sideBank(channel, side, entry) == bank;
        };
        const SSection& section = Section(c, r);
        if ((section.links & kLinkUp) != 0 && mayLeave(kSideTop, 0)) arrive(c, r - 1, kSideBottom, 0);
        if ((section.links & kLinkLeft) != 0 && mayLeave(kSideLeft, 0)) arrive(c - 1, r, kSideRight, 0);
        if ((section.links & kLinkDown) != 0 && mayLeave(kSideBottom, 0)) arrive(c, r + 1, kSideTop, 0);
        if ((section.links & kLinkRight) != 0 && mayLeave(kSideRight, 0)) arrive(c + 1, r, kSideLeft, 0);
        for (std::uint8_t entry : section.connections) {
            if ((entry & kConnectRight) != 0 && mayLeave(kSideRight, entry))
                arrive(c + 1, r, kSideLeft, entry);
            if ((entry & kConnectDown) != 0 && mayLeave(kSideBottom, entry))
                arrive(c, r + 1, kSideTop, entry);
        }
        // The corridors of the left and upper neighbours that end here.
        if (InGrid(c - 1, r))
            for (std::uint8_t entry : Section(c - 1, r).connections)
                if ((entry & kConnectRight) != 0 && mayLeave(kSideLeft, entry))
                    arrive(c - 1, r, kSideRight, entry);
        if (InGrid(c, r - 1))
            for (std::uint8_t entry : Section(c, r - 1).connections)
                if ((entry & kConnectDown) != 0 && mayLeave(kSideTop, entry))
                    arrive(c, r - 1, kSideBottom, entry);
    }

    // Both banks of every channel room must be reached.
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const SChannel& channel = channels[i];
        if (channel.flag == 0 || !InGrid(channel.column, channel.row)) continue;
        if (search.reached[IndexOf(channel.column, channel.row)] == 0 || farReached[i] == 0) return false;
    }

    // Every room, but one when the floor wants a moat island.
    std::int32_t roomCount = 0;
    std::int32_t reachedCount = 0;
    bool junctionLeft = false;
    for (std::int32_t c = 0; c < columns; ++c) {
        for (std::int32_t r = 0; r < rows; ++r) {
            if (!InGrid(c, r)) continue;
            const std::int32_t state = Section(c, r).state;
            const bool reached = search.reached[IndexOf(c, r)] != 0;
            if (state == kSectionRoom) {
                ++roomCount;
                if (reached) ++reachedCount;
            }
            if (state == kSectionJunction && !reached) junctionLeft = true;
        }
    }
    if (reachedCount < roomCount - (moat != 0 ? 1 : 0)) return false;

    // Junctions no corridor reaches: forcing frees them, else the plan fails.
    if (junctionLeft) {
        if (!force) return false;
        for (std::int32_t c = 0; c < columns; ++c) {
            for (std::int32_t r = 0; r < rows; ++r) {
                if (!InGrid(c, r)) continue;
                SSection& section = Section(c, r);
                if (section.state != kSectionJunction || search.reached[IndexOf(c, r)] != 0) continue;
                section.state = kSectionFree;
                section.connections.fill(0);
            }
        }
    }

    // The first unreached room of each row is closed.
    for (std::int32_t r = 0; r < rows; ++r) {
        for (std::int32_t c = 0; c < columns; ++c) {
            if (!InGrid(c, r)) continue;
            SSection& section = Section(c, r);
            if (section.state == kSectionRoom && search.reached[IndexOf(c, r)] == 0) {
                section.state = kSectionClosedRoom;
                break;
            }
        }
    }
    return true;
}
