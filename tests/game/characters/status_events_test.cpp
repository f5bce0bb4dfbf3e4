// The status events: the sound and the heroine's lines around each status.
#include "game/characters/status_events.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;

class StatusEventsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        game = MakeTestGame();
        sounds.played.clear();
        game->soundEffects = &sounds;
        AddMonsterKind(*game, 8, "スライム");
        PlaceMonster(*game, 0, 8, 22, 20);
        messages = std::make_unique<MessageRecorder>(*game);
    }

    CCharacterControl::SPlayer& Heroine() { return game->characters.player; }
    CCharacterControl::SMonster& Monster() { return game->characters.monsters[0]; }
    // The one line written, "" for none; its sound in `sound`.
    std::string OnlyLine(std::int32_t* sound = nullptr) const
    {
        const std::vector<std::string> lines = messages->Lines();
        if (lines.empty()) return "";
        EXPECT_EQ(lines.size(), 1u);
        if (sound != nullptr) *sound = game->messageWindow.log.back().soundEffect;
        return lines.back();
    }

    SoundRecorder sounds;
    std::unique_ptr<SGameResource> game;
    std::unique_ptr<MessageRecorder> messages;
};

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

using Event = void (*)(SGameResource&, std::uint16_t, std::int32_t);

struct SHeroineCase
{
    const char* name;
    Event cause;
    std::int32_t sound;
    const char* tookEffect;
    const char* resisted; // when she is guarded against every status
};

TEST_F(StatusEventsTest, HeroineReadsHerLineWithTheSoundOrTheResistedLineWithout)
{
    const SHeroineCase cases[] = {
        {"sleep", CauseSleep, 86, "は　眠ってしまった！", "は　眠らなかった。"},
        {"confusion", CauseConfusion, 83, "は　目が回って 混乱した。", "は　混乱しなかった。"},
        {"hallucination", CauseHallucination, 89, "は　ものが正しく見えなくなった。", "は　平気だった。"},
        {"blindness", CauseBlindness, 79, "は　目が見えなくなった。", "は　平気だった。"},
        {"weakness", CauseWeakness, 60, "は　体が弱くなってしまった。", "は　平気だった。"},
        {"freeze", CauseFreeze, 18, "は　氷漬けになった！", "は　平気だった。"},
        {"seal", CauseItemSeal, 87, "は　アイテムを封印された。", "は　封印されなかった。"},
    };
    for (const SHeroineCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool guarded : {false, true}) {
            SetUp();
            game->statusGuard = guarded ? 1 : 0;
            c.cause(*game, kHeroine, 10);
            std::int32_t sound = -2;
            const std::string line = OnlyLine(&sound);
            EXPECT_TRUE(EndsWith(line, guarded ? c.resisted : c.tookEffect)) << line;
            EXPECT_EQ(sound, guarded ? 0 : c.sound);
            EXPECT_TRUE(sounds.played.empty()) << "her sound rides on the message";
        }
    }
}

TEST_F(StatusEventsTest, HeroineAlreadySufferingWhoResistsReadsNothing)
{
    Heroine().status.sleepTurns = 3;
    CauseSleep(*game, kHeroine, 10);
    EXPECT_EQ(OnlyLine(), "");
    EXPECT_EQ(Heroine().status.sleepTurns, 3);
}

TEST_F(StatusEventsTest, MonsterHearsOnlyTheSoundAndNothingInASilentRerun)
{
    struct SCase
    {
        const char* name;
        Event cause;
        std::int32_t sound;
    };
    const SCase cases[] = {{"sleep", CauseSleep, 86},
                           {"confusion", CauseConfusion, 83},
                           {"blindness", CauseBlindness, 79},
                           {"weakness", CauseWeakness, 60},
                           {"slowness", CauseSlowness, 59},
                           {"haste", CauseHaste, 58},
                           {"strong body", CauseStrongBody, 61},
                           {"seal", CauseItemSeal, 87}};
    for (const SCase& c : cases)
        for (const bool silent : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (silent ? " silent" : ""));
            SetUp();
            game->playMode = silent ? kPlaySilentRerun : kPlayNormal;
            c.cause(*game, 0, 10);
            EXPECT_EQ(OnlyLine(), "");
            EXPECT_EQ(sounds.played,
                      silent ? std::vector<std::int32_t>{} : std::vector<std::int32_t>{c.sound});
        }
}

TEST_F(StatusEventsTest, InvisibilityStopsAt254AndTellsOnlyOfTheHeroine)
{
    Heroine().invisibleTurns = 250;
    CauseInvisibility(*game, kHeroine);
    EXPECT_EQ(Heroine().invisibleTurns, 254);
    std::int32_t sound = 0;
    EXPECT_TRUE(EndsWith(OnlyLine(&sound), "の姿が消えた！"));
    EXPECT_EQ(sound, 90);

    SetUp();
    Monster().type = kCharacterIcePillar;
    CauseInvisibility(*game, 0);
    EXPECT_EQ(Monster().invisibleTurns, 0) << "an ice pillar is skipped";
    Monster().type = kCharacterHostile;
    CauseInvisibility(*game, 0);
    EXPECT_EQ(Monster().invisibleTurns, 15);
    EXPECT_EQ(OnlyLine(), "");
    EXPECT_TRUE(sounds.played.empty());
}

TEST_F(StatusEventsTest, SpeedLinesFollowHerSpeedLevel)
{
    struct SCase
    {
        const char* name;
        Event cause;
        std::uint8_t slowTurns, hasteTurns, hasteLevel;
        const char* line; // "" for none
    };
    const SCase cases[] = {
        {"haste that only ends slowness", CauseHaste, 5, 0, 0, ""},
        {"haste from normal", CauseHaste, 0, 0, 0, "は　足が速くなった！"},
        {"slowness from normal", CauseSlowness, 0, 0, 0, "は　足が遅くなった。"},
        {"slowness that only ends haste", CauseSlowness, 0, 5, 1, ""},
        {"slowness while slow", CauseSlowness, 5, 0, 0, ""},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Heroine().status.slowTurns = c.slowTurns;
        Heroine().status.slowLevel = c.slowTurns != 0 ? 0xFF : 0;
        Heroine().hasteTurns = c.hasteTurns;
        Heroine().hasteLevel = c.hasteLevel;
        c.cause(*game, kHeroine, 10);
        const std::string line = OnlyLine();
        EXPECT_TRUE(*c.line == '\0' ? line.empty() : EndsWith(line, c.line)) << line;
    }

    SetUp();
    game->statusGuard = 1;
    Heroine().hasteTurns = 0;
    Heroine().status.slowTurns = 5;
    Heroine().status.slowLevel = 0xFF;
    CauseSlowness(*game, kHeroine, 10);
    EXPECT_EQ(OnlyLine(), "") << "already slow, she is not told she shrugged it off";
}

TEST_F(StatusEventsTest, HallucinationMakesAMonsterForgetItsGoal)
{
    Monster().goalX = 7;
    CauseHallucination(*game, 0, 10);
    EXPECT_EQ(Monster().goalX, -1);
}

TEST_F(StatusEventsTest, SealedMonsterIsRelocatedOnceAndTheCircleHidesHerResistedLine)
{
    CauseItemSeal(*game, 0, 10);
    EXPECT_EQ(game->reactionQueue.pending.size(), 1u) << "the empty test floor has no cell: a warp";
    EXPECT_EQ(Monster().status.sealTurns, 255);

    SetUp();
    PlaceCircle(*game, 271, CSpellCircleControl::kRangeCell, 20, 20);
    CauseItemSeal(*game, kHeroine, 10);
    EXPECT_EQ(OnlyLine(), "");
}

} // namespace
