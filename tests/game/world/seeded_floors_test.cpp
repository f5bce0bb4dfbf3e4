// Floors pinned by their seeds: the seed -> floor mapping is this game's own (no outside reference gave
// these values; they were recorded from the generator itself), and suspended games and replays hang on
// it, so any change to a draw, its order or a rule's threshold shows here as a changed record.

#include "game/app/game_resource.h"
#include "game/world/dungeon_gen.h"
#include "sdk/auxiliary/serialize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// The layout a floor's step 1 chose, told from the plan it left.
std::string LayoutOf(DungeonGen& gen)
{
    if (gen.step == 1 || gen.step == 2) return "grid";
    const int columns = gen.columns, rows = gen.rows;
    if (columns == 1 && rows == 1) return "single room";
    if (rows == 1) return columns == 2 ? "two-room house" : "three-room house";
    if (columns == 2 && rows == 2) return "two-by-two house";
    bool allRooms = true, anyLinks = false;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            allRooms = allRooms && gen.Section(c, r).state == DungeonGen::kSectionRoom;
            anyLinks = anyLinks || (gen.Section(c, r).links & 15) != 0;
        }
    if (allRooms && !anyLinks) return gen.shop ? "section maze B" : "room block";
    if (columns == 5) return "central hall";
    if (columns == 6) return rows == 6 ? "six by six" : "block in corridor ring";
    if (anyLinks) return allRooms ? "section maze A" : "spiral";
    bool centreJunctions = true, centreVoid = true;
    for (int c = 1; c <= 2; ++c)
        for (int r = 1; r <= 2; ++r) {
            const int state = gen.Section(c, r).state;
            centreJunctions = centreJunctions && state == DungeonGen::kSectionJunction;
            centreVoid = centreVoid &&
                         (state == DungeonGen::kSectionUnused || state == DungeonGen::kSectionClosedRoom);
        }
    if (centreJunctions && gen.Section(1, 1).connections[1] == DungeonGen::kConnectRight)
        return "ring around junctions";
    if (centreVoid) return "ring around void";
    return "section maze C";
}

// The number of draws that take a generator seeded with `seed` to the state of `now`; -1 past a limit.
long DrawsSince(std::uint32_t seed, const Math::CRand& now)
{
    const auto bytes = [](Math::CRand generator) {
        Auxiliary::CSerialize stream;
        generator.Serialize(stream);
        return stream.GetBuffer();
    };
    const std::vector<std::uint8_t> target = bytes(now);
    const std::size_t n = target.size();
    const std::int32_t index = std::int32_t(target[n - 4] | target[n - 3] << 8 | target[n - 2] << 16 |
                                            std::uint32_t(target[n - 1]) << 24);
    Math::CRand fresh;
    fresh.SetSeed(seed);
    if (bytes(fresh) == target) return 0;
    for (long draws = 1; draws <= 50'000'000; ++draws) {
        fresh.Get();
        // The index runs 1..624 between refills, so the states can match only where the indexes do.
        if ((draws - 1) % Math::CRand::kStateSize + 1 == index && bytes(fresh) == target) return draws;
    }
    return -1;
}

std::uint64_t FieldHash(CMapControl& map)
{
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint32_t y = 0; y < DungeonGen::kWindowHeight; ++y)
        for (std::uint32_t x = 0; x < DungeonGen::kWindowWidth; ++x) {
            const SMapCell& cell = map.GetFieldCell(x, y);
            h = (h ^ cell.terrain) * 1099511628211ull;
            h = (h ^ std::uint8_t(cell.room)) * 1099511628211ull;
        }
    return h;
}

// Each distinct room rectangle, "x,y,w,h" in reading order of the sections.
std::string RoomsOf(DungeonGen& gen)
{
    std::string out;
    std::vector<std::string> seen;
    for (int r = 0; r < gen.rows; ++r)
        for (int c = 0; c < gen.columns; ++c) {
            const int state = gen.Section(c, r).state;
            if (state != DungeonGen::kSectionRoom && state != DungeonGen::kSectionClosedRoom) continue;
            const DungeonGen::SSection& room = gen.Room(c, r);
            const std::string rect = std::to_string(room.x) + "," + std::to_string(room.y) + "," +
                                     std::to_string(room.w) + "," + std::to_string(room.h);
            if (std::find(seen.begin(), seen.end(), rect) != seen.end()) continue;
            seen.push_back(rect);
            out += (out.empty() ? "" : " ") + rect;
        }
    return out;
}

struct SFloorRecord
{
    int dungeon;
    int floor;
    std::uint32_t seedA;
    std::uint32_t seedB;
    std::string layout;
    int floorType;
    std::uint64_t fieldHash;
    std::string rooms;
    int stairsX, stairsY;
    int heroineX, heroineY;
    int attempts;
    long layoutDraws;  // from seedA to step 10 of the attempt that stood
    long contentDraws; // from step 10's second seed to the end
    std::uint32_t nextDraw;

    bool operator==(const SFloorRecord&) const = default;
    std::string Row() const
    {
        char text[1024];
        std::snprintf(text, sizeof text,
                      "{%d, %d, 0x%08Xu, 0x%08Xu, \"%s\", %d, 0x%016llXull, \"%s\", %d, %d, %d, "
                      "%d, %d, %ld, %ld, 0x%08Xu},",
                      dungeon, floor, seedA, seedB, layout.c_str(), floorType, (unsigned long long)fieldHash,
                      rooms.c_str(), stairsX, stairsY, heroineX, heroineY, attempts, layoutDraws,
                      contentDraws, nextDraw);
        return text;
    }
};

class SeededFloorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Shops need their keepers' kind.
        game->characters.monsterKinds.resize(1);
        game->characters.monsterKinds[0].name = "店主";
        game->characters.kindCount = 1;
    }

    // Builds the floor as the game does, then once more through the same steps to see where its
    // layout ended, and records both.
    SFloorRecord Build(int dungeon, int floor, std::uint32_t a, std::uint32_t b)
    {
        game->dungeon = dungeon;
        game->floor = floor;
        gen->Reset();
        SFloorRecord record{dungeon, floor, a, b};
        if (gen->Generate(*game, a, b) != 0) return record;
        record.floorType = game->map.floorType;
        record.fieldHash = FieldHash(game->map);
        record.rooms = RoomsOf(*gen);
        record.stairsX = gen->stairs.x;
        record.stairsY = gen->stairs.y;
        record.heroineX = game->characters.GetPlayer().x - CMapControl::kFieldLeft;
        record.heroineY = game->characters.GetPlayer().y - CMapControl::kFieldTop;
        record.attempts = 1;
        for (const std::int32_t n : gen->restartCauses)
            record.attempts += n;
        record.contentDraws = DrawsSince((a & 0xFFFF0000u) | (b & 0xFFFFu), game->random);
        record.nextDraw = Math::CRand(game->random).Get();

        Math::CRand atStep10;
        std::string layout;
        game->random.SetSeed(a);
        gen->Reset();
        gen->RunSteps(*game, a, b, [&](DungeonGen& g, SGameResource& s, std::uint32_t sa, std::uint32_t sb) {
            const std::int32_t step = g.step;
            if (step == 10) atStep10 = s.random;
            g.RunStep(s, sa, sb);
            if (step == 1) layout = LayoutOf(g);
        });
        record.layoutDraws = DrawsSince(a, atStep10);
        record.layout = layout;
        return record;
    }

    std::unique_ptr<SGameResource> game = std::make_unique<SGameResource>();
    std::unique_ptr<DungeonGen> gen = std::make_unique<DungeonGen>();
};

// A few floors of every layout pattern and every floor type. A failing case prints its record as built
// today, in this table's form.
TEST_F(SeededFloorTest, FloorsFollowFromTheirSeeds)
{
    const SFloorRecord records[] = {
        {1, 1, 0x012349BBu, 0x0000BEEEu, "grid", 1, 0x2C9D44C7D80B6241ull,
         "7,5,13,6 25,15,10,7 7,25,13,6 25,25,9,3", 17, 26, 16, 10, 1, 86, 322, 0x832F5103u},
        {1, 12, 0x012373B6u, 0x0000BEE3u, "grid", 21, 0x5B94F2D1D5B9062Eull,
         "9,4,12,8 8,15,11,7 40,15,3,7 8,27,13,3 39,25,7,5", 43, 29, 12, 18, 1, 95, 343, 0x0AA48F70u},
        {1, 12, 0x0246B91Du, 0x0000A014u, "grid", 22, 0x06470D98F0FA1C12ull,
         "17,5,3,6 29,5,3,6 11,14,3,5 17,14,3,5 10,22,3,6 17,22,3,7 29,22,3,7 35,22,5,7", 19, 5, 19, 25, 1,
         105, 256, 0x3CDD01A4u},
        {1, 12, 0x048D43EBu, 0x0000E236u, "grid", 4, 0xC39784AC99BC0E48ull,
         "18,4,6,7 27,4,4,7 8,14,7,6 18,14,6,6 8,23,7,8 19,23,5,8 27,23,6,8", 10, 18, 10, 14, 1, 112, 372,
         0x009E1719u},
        {1, 12, 0x05B08952u, 0x0000C527u, "grid", 5, 0xD6F64D6C244E98B1ull,
         "11,4,8,5 22,4,7,7 32,14,6,6 11,23,4,8 32,23,9,8", 34, 16, 38, 28, 1, 77, 301, 0xA89841ACu},
        {1, 12, 0x06D3CEB9u, 0x00002458u, "grid", 2, 0x1A3A0B969C1CA66Eull,
         "9,5,5,5 9,14,5,5 24,14,4,5 31,14,4,5 9,22,5,7 17,22,4,5 24,22,4,5 31,22,4,7 38,22,6,7", 32, 24, 40,
         22, 1, 131, 321, 0xE22D8382u},
        {1, 17, 0x036A1199u, 0x00008300u, "grid", 20, 0x730C13A5D9AEFD8Cull,
         "13,5,3,6 27,5,5,6 35,5,7,6 10,14,6,5 27,22,5,6 35,22,7,7", 28, 27, 14, 10, 1, 101, 274,
         0x73A7EF69u},
        {1, 17, 0x048D5700u, 0x0000E231u, "grid", 6, 0xC1CCD6B697C4ED2Full,
         "21,5,8,6 21,15,8,4 21,22,8,5 32,22,6,7", 23, 7, 21, 25, 1, 70, 231, 0x21160F91u},
        {1, 20, 0x048D6273u, 0x0000E20Eu, "grid", 3, 0x25CE2842C1C1AD78ull,
         "8,6,13,6 39,4,4,8 24,15,12,6 8,25,13,6 25,25,10,6", 42, 7, 20, 26, 1, 74, 384, 0x991EDE03u},
        {2, 1, 0x01234A3Eu, 0x0000BEEEu, "section maze B", 1, 0x1EC2315E588BC40Dull,
         "9,7,6,3 19,6,4,4 26,7,5,3 34,6,6,4 9,13,6,3 19,13,3,3 26,13,5,3 34,13,7,3 9,19,6,3 19,19,4,3 "
         "28,19,3,3 34,19,5,3 10,25,5,4 18,25,5,4 26,25,5,5 36,25,3,5",
         29, 29, 37, 13, 1, 161, 660, 0xCD0A09DFu},
        {2, 3, 0x02469747u, 0x0000A01Du, "block in corridor ring", 1, 0x726B4F713B98B6C2ull,
         "12,11,5,4 20,11,3,4 28,11,3,4 36,12,5,3 12,18,5,4 20,18,5,4 28,18,4,4 36,18,5,4", 28, 12, 20, 14, 1,
         144, 679, 0xE83DA087u},
        {2, 9, 0x0246AE2Du, 0x0000A017u, "room block", 4, 0xEBBF26EDDBA425A1ull,
         "9,1,5,6 17,1,3,6 25,1,3,6 31,1,4,6 38,3,6,4 9,10,5,5 17,10,3,5 24,10,4,5 31,10,4,5 38,10,4,5 "
         "11,18,3,5 17,18,4,5 24,18,4,5 31,18,4,5 38,18,6,5 9,26,4,4 18,26,3,4 24,26,3,7 31,26,4,7 39,26,3,7",
         38, 20, 26, 4, 2, 269, 1052, 0xB70818D8u},
        {2, 9, 0x048D38FBu, 0x0000E239u, "section maze A", 4, 0x97EBEE9A2067C7BFull, "9,6,35,24", 31, 27, 10,
         25, 1, 139, 1236, 0xB4F6CD26u},
        {2, 30, 0x0123B8EBu, 0x0000BEF1u, "ring around void", 22, 0xB7CA5948CEB6C2C2ull,
         "4,3,7,5 15,3,10,5 28,4,10,3 41,4,12,3 1,11,11,4 41,12,12,3 2,18,10,4 32,19,3,3 41,18,12,4 "
         "1,26,11,4 15,27,10,3 28,25,9,6 41,27,12,3",
         48, 4, 9, 12, 1, 162, 1184, 0xFC9A0AAFu},
        {2, 40, 0x06D43A18u, 0x0000243Cu, "spiral", 22, 0xFDB3AD2D1421B7E7ull, "7,4,36,28", 9, 16, 36, 20, 1,
         79, 1475, 0xD652799Bu},
        {2, 60, 0x01242B69u, 0x0000BED3u, "central hall", 6, 0xD8C026379F6E1312ull,
         "16,4,5,5 24,4,4,5 32,4,5,5 7,12,6,4 16,12,21,10 40,12,7,4 7,19,6,4 40,19,7,4 17,26,4,4 33,26,4,6",
         17, 26, 36, 17, 1, 164, 979, 0xFDF70856u},
        {2, 60, 0x036AB637u, 0x000080F5u, "three-room house", 5, 0x67AEBABFA0FBCABBull,
         "10,7,9,22 22,7,8,22 33,7,8,22", 10, 16, 38, 8, 1, 44, 1099, 0x65C2FEB8u},
        {2, 60, 0x06D4866Cu, 0x00002408u, "single room", 22, 0xE2969BE6F68B79B4ull, "0,0,52,34", 43, 1, 17, 5,
         1, 22, 3555, 0x45E4AB18u},
        {2, 99, 0x06D51B43u, 0x000025E1u, "two-room house", 3, 0xDF027B02EAEE3324ull, "14,8,11,19 28,7,12,21",
         19, 22, 35, 8, 1, 93, 769, 0x61685DB6u},
        {3, 99, 0x06D51BC6u, 0x000025E1u, "section maze C", 3, 0x97DE6C2E5467E69Dull,
         "3,3,9,5 17,3,7,5 27,3,9,5 2,11,7,4 27,11,9,4 4,19,8,3 18,18,6,4 27,18,9,4 43,18,6,4 2,25,9,3 "
         "15,26,9,4 27,25,9,6",
         17, 5, 22, 7, 1, 215, 1093, 0x803C35F9u},
        {4, 30, 0x036A44BFu, 0x00008313u, "six by six", 3, 0x9E275BC1E4F84775ull,
         "21,3,9,8 8,13,10,8 33,13,11,8 21,23,9,10", 29, 27, 29, 25, 1, 153, 908, 0x4A588835u},
        {4, 99, 0x05B1D6E2u, 0x0000C2F0u, "ring around junctions", 5, 0x55DC18D84DBFAFA9ull,
         "9,5,6,4 18,5,5,4 26,5,5,4 34,5,6,3 12,12,3,3 34,12,5,3 9,18,6,3 34,18,4,3 10,24,4,3 19,24,4,5 "
         "26,24,5,4 34,24,7,4",
         9, 20, 35, 14, 1, 129, 652, 0xB0D7B292u},
        {5, 3, 0x024698D0u, 0x0000A01Du, "two-by-two house", 5, 0x219721E56AD908F1ull,
         "13,8,11,7 27,8,12,5 14,18,9,8 27,18,12,8", 20, 19, 34, 24, 1, 82, 580, 0x869AA82Fu},
        {4, 1, 0x024690ABu, 0x0000A01Fu, "grid", 1, 0xF82853F311223530ull,
         "5,5,10,6 43,3,4,8 18,14,9,7 42,14,3,7 5,24,10,8 18,24,9,8 30,24,7,8 42,24,4,7", 43, 3, 24, 24, 2,
         419, 990, 0x59F16CD4u},
        {4, 9, 0x012369CCu, 0x0000BEE6u, "grid", 21, 0x377E7080937CD3D2ull,
         "9,4,6,7 18,6,3,5 38,4,5,7 39,14,4,6 18,24,5,5 28,23,3,6", 18, 8, 39, 8, 2, 211, 491, 0x71041A1Cu},
        {5, 17, 0x036A13A5u, 0x00008300u, "grid", 21, 0x165964843B738797ull,
         "14,0,22,16 40,0,14,16 27,19,9,15 40,19,14,17", 44, 4, 46, 0, 1, 104, 1996, 0x00E2A39Fu},
        {5, 20, 0x036A1F18u, 0x0000831Du, "grid", 2, 0x9BD076EF0779F635ull,
         "0,0,8,10 41,0,13,8 0,13,8,9 12,13,5,9 31,13,7,9 1,25,7,11 12,26,4,8 21,25,7,11", 4, 7, 2, 25, 2,
         489, 1254, 0x2D7D6FE2u},
        {5, 60, 0x05B1428Eu, 0x0000C517u, "grid", 21, 0xF5336D4DF1B42F0Dull,
         "0,1,24,9 40,0,12,10 14,13,10,8 27,13,10,9 2,25,9,10 14,25,10,9", 13, 3, 40, 9, 1, 401, 1758,
         0xFC04225Bu},
        {7, 9, 0x06D3C658u, 0x0000245Bu, "grid", 5, 0xCBEE748EF9C28A8Aull,
         "0,0,11,22 14,0,10,10 28,0,26,10 0,25,10,11 17,25,7,11 27,25,8,9", 6, 1, 31, 1, 1, 173, 2079,
         0xEC0D2555u},
    };
    for (const SFloorRecord& expected : records) {
        const SFloorRecord built = Build(expected.dungeon, expected.floor, expected.seedA, expected.seedB);
        EXPECT_EQ(built, expected) << "built:\n" << built.Row();
    }
}

} // namespace
