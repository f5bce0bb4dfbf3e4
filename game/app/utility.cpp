#include "game/app/utility.h"

#include "game/app/random.h"
#include "platform/host/clock.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

void DirectionToStep(std::int32_t direction, std::int32_t& dx, std::int32_t& dy)
{
    static constexpr std::int32_t kDx[8] = {0, -1, -1, -1, 0, 1, 1, 1};
    static constexpr std::int32_t kDy[8] = {1, 1, 0, -1, -1, -1, 0, 1};
    const bool known = direction >= 0 && direction < 8;
    dx = known ? kDx[direction] : 0;
    dy = known ? kDy[direction] : 0;
}

std::int32_t GetTileDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    return std::max(std::abs(x1 - x2), std::abs(y1 - y2));
}

FixedSineTable MakeFixedSineTable()
{
    FixedSineTable table{};
    for (int i = 0; i < 64; ++i)
        table[i] = static_cast<std::int32_t>(std::sin(i * 3.14 * 0.5 * 0.015625) * 65536.0);
    return table;
}

namespace {

std::int32_t Scale(std::int32_t entry, std::int32_t magnitude, bool negative)
{
    const std::uint32_t product = static_cast<std::uint32_t>(entry) * static_cast<std::uint32_t>(magnitude);
    const auto value = static_cast<std::int32_t>(product >> 16);
    return negative ? -value : value;
}

// sin of angle (0 to 255): the quarter, the table index and the sign.
std::int32_t SineAt(std::int32_t angle, std::int32_t magnitude)
{
    static const FixedSineTable table = MakeFixedSineTable();
    const std::int32_t a = angle & 255;
    const std::int32_t within = a & 63;
    const bool rising = (a & 64) == 0; // quarters 0 and 2 read the table forward
    return Scale(table[rising ? within : 63 - within], magnitude, a >= 128);
}

} // namespace

std::int32_t FixedSin(std::int32_t angle, std::int32_t magnitude)
{
    return SineAt(angle, magnitude);
}

std::int32_t FixedCos(std::int32_t angle, std::int32_t magnitude)
{
    // cos(a) = sin(a + a quarter turn) on this table.
    return SineAt(angle + 64, magnitude);
}

std::int32_t ClampGold(std::uint32_t& gold)
{
    if (gold <= kGoldLimit) return 0;
    gold = kGoldLimit;
    return 2;
}

void AddGoldCounter(SGoldCounter& counter, std::int32_t amount)
{
    constexpr std::uint32_t kUnit = 100000000;
    const std::int32_t limit = static_cast<std::int32_t>(kUnit);
    amount = std::clamp(amount, -limit, limit);
    if (amount >= 0) {
        counter.low += static_cast<std::uint32_t>(amount);
        if (counter.low >= kUnit) {
            counter.low -= kUnit;
            counter.high += 1;
        }
        return;
    }
    const auto d = static_cast<std::uint32_t>(-amount);
    if (counter.low >= d) {
        counter.low -= d;
    } else if (counter.high > 0) {
        counter.high -= 1;
        counter.low = counter.low - d + kUnit;
    } else {
        counter.low = 0;
    }
}

void MakeRunId(std::uint32_t& id32, std::uint16_t& id16, bool noRandom, std::uint32_t frameCounter)
{
    const platform::SLocalTime now = platform::GetLocalTime();
    const std::uint32_t t = platform::GetMilliseconds();
    id32 = (t << 16) + now.second + now.minute + now.hour + now.day + now.month + now.year;
    id16 = static_cast<std::uint16_t>(t + 99u * frameCounter);
    Math::CRand local;
    local.SetSeed(platform::GetMilliseconds());
    local.noRandom = noRandom;
    id32 += RandomDraw(local);
    id16 = static_cast<std::uint16_t>(id16 + RandomBelow(local, 0xFFFF));
}

std::int32_t ClassifyFloor(std::int32_t dungeon, std::int32_t floor, std::int32_t lastFloor,
                           std::uint32_t runSeed, FloorTypeChooser chooseFloorType)
{
    if (floor > lastFloor) return 3;
    const std::uint32_t floorSeed = (static_cast<std::uint32_t>(floor) - 1u) * 0x3FF0000u + runSeed;
    switch (chooseFloorType(dungeon, floor, floorSeed)) {
    case 1:
        return 1;
    case 2:
    case 3:
    case 4:
    case 6:
        return 2;
    case 5:
    case 20:
    case 21:
        return 3;
    case 22:
        return 4;
    default:
        return -1;
    }
}

std::int32_t PlaySoundEffect(std::int32_t playMode, ISoundEffectPlayer& effects, std::int32_t number)
{
    return playMode == kPlaySilentRerun ? 0 : effects.Play(number);
}

void RequestReturnToCamp(std::uint8_t& returnToCamp, std::int32_t& playMode, ICampServices& services)
{
    returnToCamp = 1;
    playMode = kPlayNormal;
    services.RecoverOwnEquipment();
}

void PrepareCamp(std::int32_t& dungeon, std::int32_t& floor, ICampServices& services)
{
    constexpr std::uint16_t kIdentifiedAndExamined = 0x01 | 0x02;
    services.ClearMessageSkip();
    dungeon = 0;
    floor = 1;
    services.ResetIdentification(0);
    services.SetFlagsOfAllItems(kIdentifiedAndExamined);
}

void ClearSectionLinks(SSectionSearch& search)
{
    std::memset(search.reached, 0, sizeof search.reached);
}

void InitMazeGrid(SMazeGrid& grid, std::int32_t width, std::int32_t height)
{
    grid.width = std::clamp(width, 0, SMazeGrid::kSide);
    grid.height = std::clamp(height, 0, SMazeGrid::kSide);
    for (std::int32_t x = 0; x < grid.width; ++x)
        std::memset(grid.cells + x * SMazeGrid::kSide, 0, static_cast<std::size_t>(grid.height));
}
