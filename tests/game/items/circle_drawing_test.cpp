// Drawing magic circles with pens.
#include "game/items/use_actions_fixture.h"

#include "game/characters/display_name.h"
#include "game/characters/room_events.h"

#include <gtest/gtest.h>

namespace {

class CircleDrawingTest : public UseActionsTest
{
protected:
    void SetUp() override
    {
        UseActionsTest::SetUp();
        game->items.kinds[275].sealCode = CSpellCircleControl::kRangeCell;
        game->items.kinds[271].sealCode = CSpellCircleControl::kRangeFloor;
        game->items.kinds[290].sealCode = CSpellCircleControl::kRangeCell;
    }
    std::uint16_t Pen(std::int32_t kind, std::int16_t ink, std::uint16_t flags = 0)
    {
        const std::uint16_t pen = New(kind, ink, flags);
        Carry(*game, pen);
        return pen;
    }
    // The attempt's line (phase 0) and the outcome's lines (phase 1).
    std::pair<std::string, std::vector<std::string>> Draw(std::uint16_t pen)
    {
        Start(kActionDrawCircle, pen);
        EXPECT_EQ(Phase(HandleDrawCircle, 0), 1);
        const std::vector<Line> attempt = Lines();
        EXPECT_EQ(attempt.size(), 1u);
        EXPECT_EQ(attempt.empty() ? 0 : attempt[0].second, 55);
        Mark();
        EXPECT_EQ(Phase(HandleDrawCircle, 1), 0);
        return {attempt.empty() ? "" : attempt[0].first, Texts()};
    }
    std::string Drew(std::int32_t kind)
    {
        return std::string(GetSpellCircleDisplayName(*game, kind).c_str()) + "を描いた。";
    }
    std::string Tried()
    {
        return std::string(GetDisplayName(*game, 0xFFFF).c_str()) + "は　魔法陣を描こうとした。";
    }
    const SMapCell& HerCell()
    {
        return game->map.GetCell(std::uint32_t(Heroine().x), std::uint32_t(Heroine().y));
    }
};

TEST_F(CircleDrawingTest, DrawsTheCircleOfThePenKindAndSpendsOneCharge)
{
    const std::uint16_t pen = Pen(275, 3);
    const auto [attempt, outcome] = Draw(pen);
    EXPECT_EQ(attempt, Drew(275));
    EXPECT_TRUE(outcome.empty());
    EXPECT_EQ(Heroine().motion, 31);
    EXPECT_EQ(HerCell().objectKind, kObjectCircle);
    EXPECT_EQ(HerCell().objectId, 275);
    ASSERT_EQ(game->circles.circles.size(), 1u);
    EXPECT_EQ(game->circles.circles.front().range, CSpellCircleControl::kRangeCell);
    EXPECT_EQ(Item(pen).value, 2);
    EXPECT_EQ(Item(pen).extra[0], 255); // the signed counter went below 0
    EXPECT_EQ(game->inventory[0], pen);
}

TEST_F(CircleDrawingTest, RefusalsKeepTheInkAndSayWhy)
{
    constexpr const char* kNoInk = "しかし　インクが出なかった。";
    constexpr const char* kNotHere = "しかし　ここには描けなかった。";
    struct SCase
    {
        const char* name;
        std::int32_t kind;
        std::int16_t ink;
        std::uint16_t flags;
        std::uint8_t terrain, objectKind;
        bool namesTheCircle;
        const char* outcome;
    };
    const SCase cases[] = {
        {"frozen with ink", 275, 3, CItemControl::kFrozen, 5, 0, true, kNoInk},
        {"empty", 275, 0, 0, 5, 0, false, kNoInk},
        {"kind 290", 290, 3, 0, 5, 0, false, kNoInk},
        {"kind 292", 292, 3, 0, 5, 0, false, kNoInk},
        {"water", 275, 3, 0, 4, 0, false, kNotHere},
        {"wet floor", 275, 3, 0, 12, 0, false, kNotHere},
        {"terrain 16", 275, 3, 0, 16, 0, false, kNotHere},
        {"a trap", 275, 3, 0, 5, kObjectTrap, false, kNotHere},
        {"terrain 17 draws", 275, 3, 0, 17, 0, true, nullptr},
        {"terrain 10 draws", 275, 3, 0, 10, 0, true, nullptr},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        Floor(Heroine().x, Heroine().y, c.terrain);
        game->map.GetCell(std::uint32_t(Heroine().x), std::uint32_t(Heroine().y)).objectKind = c.objectKind;
        const std::uint16_t pen = Pen(c.kind, c.ink, c.flags);
        const auto [attempt, outcome] = Draw(pen);
        EXPECT_EQ(attempt, c.namesTheCircle ? Drew(c.kind) : Tried());
        EXPECT_EQ(outcome, c.outcome ? std::vector<std::string>{c.outcome} : std::vector<std::string>{});
        const bool drawn = c.outcome == nullptr;
        EXPECT_EQ(Item(pen).value, drawn ? c.ink - 1 : c.ink);
        EXPECT_EQ(game->circles.circles.size(), drawn ? 1u : 0u);
    }
}

TEST_F(CircleDrawingTest, TheLastChargeLeavesAnEmptyPen)
{
    const std::uint16_t pen = Pen(275, 1);
    EXPECT_TRUE(Draw(pen).second.empty());
    EXPECT_EQ(Item(pen).value, 0);

    // On a fresh cell it still has no ink.
    game->circles.circles.clear();
    Heroine().x = 21;
    Floor(21, 20);
    const auto [attempt, outcome] = Draw(pen);
    EXPECT_EQ(attempt, Tried());
    EXPECT_EQ(outcome, std::vector<std::string>{"しかし　インクが出なかった。"});
    EXPECT_EQ(Item(pen).value, 0);
}

TEST_F(CircleDrawingTest, ACursedPenEndsAtOnceAndIsNeverLost)
{
    // Carried: it stays in her pack, ink and all, after the refusal alone.
    const std::uint16_t pen = Pen(275, 3, CItemControl::kCursed);
    Start(kActionDrawCircle, pen);
    EXPECT_EQ(Phase(HandleDrawCircle, 0), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{Name(pen) + "は", "呪われていて　使えなかった。"}));
    EXPECT_EQ(sounds.played, std::vector<std::int32_t>{16});
    EXPECT_EQ(game->inventory[0], pen);
    EXPECT_EQ(Item(pen).value, 3);
    EXPECT_NE(Heroine().motion, 31);

    // Taken up from under her for the use: back under her.
    const std::uint16_t loose = New(275, 3, CItemControl::kCursed);
    Start(kActionDrawCircle, loose);
    EXPECT_EQ(Phase(HandleDrawCircle, 0), 0);
    EXPECT_TRUE(LiesUnderHeroine(loose));
}

TEST_F(CircleDrawingTest, TheSealingCircleMovesAWallPasserOutOfItsWall)
{
    AddMonsterKind(*game, 8, "カベヌケ").abilities = kAbilityWallPass;
    for (std::int32_t x = 18; x <= 30; ++x)
        for (std::int32_t y = 18; y <= 22; ++y)
            Floor(x, y);
    Floor(25, 20, 2);
    CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, 8, 25, 20);
    monster.hp = 20;
    Draw(Pen(271, 2));
    ASSERT_EQ(game->circles.circles.size(), 1u);
    EXPECT_NE(monster.x * 100 + monster.y, 2520);
    EXPECT_GE(game->map.GetCell(std::uint32_t(monster.x), std::uint32_t(monster.y)).terrain, 5);

    // Any other circle leaves it in its wall.
    Fresh();
    AddMonsterKind(*game, 8, "カベヌケ").abilities = kAbilityWallPass;
    Floor(25, 20, 2);
    CCharacterControl::SMonster& stays = PlaceMonster(*game, 0, 8, 25, 20);
    stays.hp = 20;
    Draw(Pen(275, 2));
    EXPECT_EQ(stays.x * 100 + stays.y, 2520);
}

} // namespace
