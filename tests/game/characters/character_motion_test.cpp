#include "game/characters/character_control.h"

#include "game/characters/room_events.h"
#include "game/core/play_mode.h"

#include "game/support/draw_counter.h"
#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/support/seed_search.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CharacterMotionTest : public ::testing::Test
{
protected:
    CCharacterControl::SPlayer& Player() { return game->characters.player; }
    CCharacterControl::SMonster& Monster(std::int32_t x = 20, std::int32_t y = 21)
    {
        return PlaceMonster(*game, 0, 4, x, y);
    }
    // Runs the character's motion up to frame `frame`.
    static void RunTo(CCharacterControl::SCharacter& character, SGameResource& game, std::int32_t frame)
    {
        while (character.motionFrame < frame)
            character.UpdateMotion(game);
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
};

TEST_F(CharacterMotionTest, MotionLengthsFollowTheHeroinesAndTheMonstersTables)
{
    const struct
    {
        bool player;
        std::int32_t code, length, motion, motionLength, lift;
    } cases[] = {
        {false, 4, -1, 4, 8, 1},    {true, 4, -1, 4, 4, 0},     {false, 17, -1, 17, 60, 0},
        {true, 17, -1, 17, 48, 0},  {false, 5, -1, 5, 16, 1},   {true, 13, -1, 13, 32, 0},
        {false, 13, -1, 13, 16, 0}, {false, 35, -1, 35, 31, 0}, {true, 35, -1, 3, 7, 0},  // ignored
        {false, 2, -1, 3, 7, 0},    {false, 6, -1, 6, 7, 0},    {false, 6, 12, 6, 12, 0}, // code only
        {true, 10, 5, 10, 5, 0},    {true, 42, 9, 3, 7, 0},     {true, -1, 9, 3, 7, 0},
        {false, 41, -1, 41, 7, 0},  {true, 0, -1, 0, 0, 0},
    };
    for (const auto& c : cases) {
        CCharacterControl::SCharacter& character =
            c.player ? static_cast<CCharacterControl::SCharacter&>(Player()) : Monster();
        character.motion = 3;
        character.motionLength = 7;
        character.motionFrame = 5;
        character.lift = 0;
        character.SetMotion(c.code, c.length);
        EXPECT_EQ(character.motion, c.motion) << c.player << " " << c.code;
        EXPECT_EQ(character.motionLength, c.motionLength) << c.player << " " << c.code;
        EXPECT_EQ(character.lift, c.lift) << c.player << " " << c.code;
        EXPECT_EQ(character.motionFrame, 0);
    }
    CCharacterControl::SMonster& dead = Monster();
    dead.motion = 41;
    dead.SetMotion(13, -1);
    EXPECT_EQ(dead.motion, 41) << "a finished death does not start again";
    dead.SetMotion(14, -1);
    EXPECT_EQ(dead.shown, 0);
}

TEST_F(CharacterMotionTest, SlidesHopsAndArcsOffsetTheSpriteFrameByFrame)
{
    const struct
    {
        bool player;
        std::int32_t fromX, fromY, code, frame, offsetX, offsetY, lift;
    } cases[] = {
        {true, 19, 20, 1, 1, -30, 0, 0},                                            // a step one cell right
        {true, 19, 20, 1, 8, -16, 0, 0},           {true, 20, 19, 3, 4, 0, -24, 0}, // one cell down
        {true, 20, 20, 16, 8, 0, -24, 0xFFFF},                                      // a hop on the spot
        {false, 19, 21, 17, 30, -16, -60, 0xFFFF}, // a monster's long sideways arc
        {true, 19, 20, 17, 24, -16, -60, 0xFFFF},  {true, 20, 20, 36, 5, 0, -5, 0xFFFF},
        {false, 21, 21, 37, 8, 16, -32, 0xFFFF},
    };
    for (const auto& c : cases) {
        CCharacterControl::SCharacter& character =
            c.player ? static_cast<CCharacterControl::SCharacter&>(Player()) : Monster();
        character.prevX = c.fromX;
        character.prevY = c.fromY;
        character.SetMotion(c.code, -1);
        RunTo(character, *game, c.frame);
        EXPECT_EQ(character.offsetX, c.offsetX) << c.code << " frame " << c.frame;
        EXPECT_EQ(character.offsetY, c.offsetY) << c.code << " frame " << c.frame;
        EXPECT_EQ(character.lift, c.lift) << c.code;
    }
}

TEST_F(CharacterMotionTest, MotionsEndOnTheirLastFrame)
{
    const struct
    {
        std::int32_t code, x, endMotion, endLength;
        bool silent;
        std::int32_t calls;
        bool died;
    } cases[] = {
        {1, 20, 0, 0, false, 17, false},
        {25, 20, 25, 0, false, 5, false},
        {13, 20, 41, 0, false, 17, true},
        {34, 20, 41, 0, false, 61, true},
        {23, 20, 23, 0, false, 17, false},
        {1, 27, 0, 0, false, 1, false}, // more than 6 columns from the heroine
        {15, 20, 0, 0, true, 1, false}, // a silent re-run
    };
    for (const auto& c : cases) {
        game->playMode = c.silent ? kPlaySilentRerun : kPlayNormal;
        CCharacterControl::SMonster& monster = Monster(c.x, 21);
        monster.prevX = c.x - 1;
        monster.prevY = 21;
        monster.SetMotion(c.code, -1);
        bool died = false;
        std::int32_t calls = 0;
        while (monster.motionLength != 0 && calls < 100) {
            died = monster.UpdateMotion(*game) || died;
            ++calls;
        }
        EXPECT_EQ(calls, c.calls) << c.code;
        EXPECT_EQ(monster.motion, c.endMotion) << c.code;
        EXPECT_EQ(died, c.died) << c.code;
        EXPECT_EQ(monster.offsetX, 0) << c.code;
        EXPECT_EQ(monster.shown, 1);
    }
}

TEST_F(CharacterMotionTest, QueuedStepsRunOneAfterAnother)
{
    CCharacterControl::SMonster& monster = Monster(20, 21);
    monster.queuedSteps.push_back({1, 2, 21, 21, 6});
    monster.queuedSteps.push_back({1, 2, 22, 21, -1});
    monster.UpdateMotion(*game);
    EXPECT_EQ(monster.x, 21);
    EXPECT_EQ(monster.direction, 6);
    EXPECT_EQ(monster.offsetX, -16);
    monster.UpdateMotion(*game);
    monster.UpdateMotion(*game);
    monster.UpdateMotion(*game);
    EXPECT_EQ(monster.x, 22);
    EXPECT_EQ(monster.prevX, 21);
    EXPECT_TRUE(monster.queuedSteps.empty());
}

TEST_F(CharacterMotionTest, ARandomDirectionTakesOneDrawEvenWhenItStays)
{
    const auto drawIs = [](std::uint32_t wanted) {
        return [wanted](Math::CRand& generator) { return generator.Get() % 12 == wanted; };
    };
    const struct
    {
        bool fixed;
        std::uint32_t draw;
        std::int32_t direction, draws;
    } cases[] = {{true, 0, 0, 0}, {false, 9, 5, 1}, {false, 11, 5, 1}, {false, 3, 3, 1}};
    for (const auto& c : cases) {
        const std::optional<std::uint32_t> seed = FindSeed(drawIs(c.draw));
        ASSERT_TRUE(seed.has_value());
        game->random.SetSeed(*seed);
        game->random.noRandom = c.fixed;
        CCharacterControl::SMonster& monster = Monster();
        monster.direction = 5;
        const DrawCounter draws(game->random);
        monster.PickRandomDirection(*game);
        EXPECT_EQ(monster.direction, c.direction) << c.draw;
        EXPECT_EQ(draws.Since(game->random), c.draws) << c.draw;
    }
}

TEST_F(CharacterMotionTest, TheHeroineSeesMonstersByHerRoomOrBesideHer)
{
    AddMonsterKind(*game, 4);
    AddMonsterKind(*game, 8).abilities = kAbilityInvisible;
    // Room 1 with the heroine, a corridor leaving it to the right.
    DrawFloorArt(*game, 16, 18, {"#######   ", "#11111#   ", "#11111....", "#11111#   ", "#######   "});
    const struct
    {
        std::int32_t playerX, kindId, x, y;
        bool blind;
        std::uint8_t seen;
    } cases[] = {
        {18, 4, 21, 20, false, 1},                            // on the room's doorway cell
        {18, 4, 22, 20, false, 1},                            // in the corridor, touching the room
        {18, 4, 23, 20, false, 0}, {18, 4, 16, 18, false, 1}, // the wall ring touches the room
        {18, 8, 19, 20, false, 0},                            // invisible
        {18, 4, 19, 20, true, 0},                             // the heroine is blind
        {24, 4, 25, 20, false, 1},                            // the heroine in the corridor: beside her
        {24, 4, 26, 20, false, 0}, {24, 4, 22, 20, false, 0},
    };
    for (const auto& c : cases) {
        Player().x = c.playerX;
        Player().y = 20;
        Player().status.blindTurns = c.blind ? 5 : 0;
        CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, c.kindId, c.x, c.y);
        game->characters.UpdateAnimation(*game);
        EXPECT_EQ(monster.viewFlags[1], c.seen) << c.playerX << " sees (" << c.x << ", " << c.y << ")";
    }
}

TEST_F(CharacterMotionTest, FishSinkInWaterAndDyingMonstersLeaveTheTable)
{
    AddMonsterKind(*game, 4).abilities = kAbilityFish;
    DrawFloorArt(*game, 18, 18, {"~~~~~", "~~~~~", "~~@~~"});
    CCharacterControl::SMonster& fish = PlaceMonster(*game, 0, 4, 19, 19);
    game->characters.UpdateAnimation(*game);
    EXPECT_EQ(fish.viewFlags[3], 1);
    EXPECT_EQ(fish.lift, -8);
    fish.SetMotion(4, -1);
    game->characters.UpdateAnimation(*game);
    EXPECT_EQ(fish.lift, 0) << "submerged, lifted by its strike";

    CCharacterControl::SMonster& dying = PlaceMonster(*game, 1, 4, 21, 19);
    dying.SetMotion(13, -1);
    for (std::int32_t frame = 0; frame < 16; ++frame)
        game->characters.UpdateAnimation(*game);
    EXPECT_EQ(dying.type, kCharacterHostile);
    game->characters.UpdateAnimation(*game);
    EXPECT_EQ(dying.type, kCharacterEmpty);
    EXPECT_EQ(game->characters.monsterCount, 1);
}

// A silent re-run passes over monsters at rest without looking at each of them. A motion or a step
// started after a pass that found every one at rest still holds the world and runs on the next pass.
TEST_F(CharacterMotionTest, ASilentReRunRunsWhatStartsAfterAPassThatFoundEveryoneAtRest)
{
    const struct
    {
        const char* name;
        void (*start)(CCharacterControl::SMonster&);
        bool holds;     // the world waits for it before the next pass
        std::int32_t x; // where the monster stands after the next pass, when it stays
        std::int32_t typeAfter;
    } cases[] = {
        {"a queued step",
         [](CCharacterControl::SMonster& m) {
             m.QueueStep({1, 2, 21, 21, 6});
         },
         false, 21, kCharacterHostile},
        {"a step motion", [](CCharacterControl::SMonster& m) { m.SetMotion(1, -1); }, true, 20,
         kCharacterHostile},
        {"dying", [](CCharacterControl::SMonster& m) { m.SetMotion(13, -1); }, true, 20, kCharacterEmpty},
        {"a waiting motion", [](CCharacterControl::SMonster& m) { m.SetMotion(41, -1); }, false, 20,
         kCharacterHostile},
    };
    for (const auto& c : cases) {
        game = MakeTestGame();
        game->playMode = kPlaySilentRerun;
        CCharacterControl::SMonster& monster = Monster(20, 21);
        game->characters.UpdateAnimation(*game);
        ASSERT_TRUE(game->characters.AreMonstersAtRest()) << c.name;
        c.start(monster);
        EXPECT_FALSE(game->characters.AreMonstersAtRest()) << c.name;
        EXPECT_EQ(IsWorldAnimating(*game), c.holds) << c.name;
        game->characters.UpdateAnimation(*game);
        EXPECT_EQ(monster.type, c.typeAfter) << c.name;
        if (c.typeAfter != kCharacterEmpty) EXPECT_EQ(monster.x, c.x) << c.name;
        EXPECT_TRUE(monster.IsAtRest()) << c.name;
        EXPECT_FALSE(IsWorldAnimating(*game)) << c.name;
    }
}

TEST_F(CharacterMotionTest, AFireLitAfterAScanFoundNoneIsStillShownByRoomAndBurnsDown)
{
    // The heroine's room holds column 11 to 13 of row 11; the other cells are plain floor out of sight.
    const struct
    {
        const char* name;
        std::int32_t firstX, firstY; // an earlier fire, -1 none
        std::int32_t x, y;
        std::uint8_t shown;
    } cases[] = {
        {"out of sight, no fire before", -1, -1, 50, 30, 0},
        {"in her room, no fire before", -1, -1, 13, 11, 1},
        {"beyond an earlier fire", 3, 3, 63, 43, 0},
        {"before an earlier fire", 40, 30, 0, 0, 0},
    };
    for (const auto& c : cases) {
        game = MakeTestGame();
        DrawFloorArt(*game, 10, 10, {"#####", "#0@0#", "#####"});
        const auto floor = [&](std::int32_t x, std::int32_t y) { game->map.GetCell(x, y).terrain = 5; };
        game->characters.UpdateAnimation(*game); // finds no fire
        if (c.firstX >= 0) {
            floor(c.firstX, c.firstY);
            ASSERT_EQ(game->map.PlaceFire(c.firstX, c.firstY, 0), 0) << c.name;
            game->characters.UpdateAnimation(*game);
        }
        floor(c.x, c.y);
        ASSERT_EQ(game->map.PlaceFire(c.x, c.y, 0), 0) << c.name;
        SMapCell& fire = game->map.GetCell(c.x, c.y);
        fire.objectShown = 1 - c.shown;
        game->characters.UpdateAnimation(*game);
        EXPECT_EQ(fire.objectShown, c.shown) << c.name;
        const std::uint16_t turns = fire.objectId;
        game->map.TickFires();
        EXPECT_EQ(fire.objectId, turns - 1) << c.name;
    }
}

} // namespace
