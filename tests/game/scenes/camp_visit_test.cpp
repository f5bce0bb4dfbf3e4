#include "game/scenes/camp_scene.h"

#include "game/app/game_resource.h"
#include "game/data/password.h"
#include "game/support/menu_fixture.h"
#include "platform/host/clock.h"
#include "platform/host/memory.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kSkip = 1u << 7;
constexpr std::int32_t kNoRequest = -100;
constexpr std::int32_t kJumped = -200;
constexpr std::int32_t kScenarios = 60;

class CampVisitTest : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        platform::FixAvailablePhysicalMemory(0x12345678);
        platform::UseVirtualClock(4321);
        WriteScripts();
        // A returning player by default: the opening was seen.
        game->flag.words[kFlagWordOpeningSeen] = 1;
        game->characters.player.hp = 10;
    }
    void TearDown() override
    {
        camp.reset();
        control.reset();
        game.reset();
        platform::UseRealClock();
        platform::UnfixAvailablePhysicalMemory();
        MenuTest::TearDown();
    }
    // Every scenario shows nothing and ends on its second frame; `missing` scenarios are left out.
    void WriteScripts(std::initializer_list<std::int32_t> missing = {})
    {
        game->scenarioLines.clear();
        game->scriptStarts.clear();
        for (std::int32_t s = 0; s < kScenarios; ++s) {
            game->scriptStarts.push_back(std::int32_t(game->scenarioLines.size()));
            if (std::find(missing.begin(), missing.end(), s) != missing.end()) {
                // Points past the text: the scene cannot be read.
                game->scriptStarts.back() = 1 << 20;
                continue;
            }
            game->scenarioLines.push_back("update");
            game->scenarioLines.push_back("end");
        }
    }
    CSceneCamp& Enter()
    {
        camp = std::make_unique<CSceneCamp>(control.get(), game.get());
        return *camp;
    }
    void Frame(std::uint32_t mask = 0)
    {
        camp->OnMove(&mask);
        if (camp->GetScenario() >= 0 && (played.empty() || played.back() != camp->GetScenario()))
            played.push_back(camp->GetScenario());
    }
    // Runs frames, a skip key on every other one, until the camp asks for the menu (its request) or for
    // another scene (kJumped).
    std::int32_t RunUntilMenu(std::int32_t frames = 300)
    {
        for (std::int32_t i = 0; i < frames; ++i) {
            Frame(i % 2 == 1 ? kSkip : 0);
            if (control->GetCommand() == CSceneControl::kCommandCall) {
                std::int32_t request = 0;
                control->GetFactory()->TakeSceneParameter(&request);
                control->ApplyRequest();
                return request;
            }
            if (control->GetCommand() == CSceneControl::kCommandJump) return kJumped;
        }
        return kNoRequest;
    }
    // The menu comes back, with a result unless it is kNoRequest.
    void Return(std::int32_t result = kNoRequest)
    {
        if (result != kNoRequest) control->GetFactory()->SetSceneParameter(result);
        camp->OnResume();
    }
    // The camp shows its menu, which answers with the result.
    void Choose(std::int32_t result)
    {
        ASSERT_EQ(RunUntilMenu(), CSceneCamp::kRequestCampMenu);
        Return(result);
    }
    std::vector<std::string> LoggedLines()
    {
        std::vector<std::string> lines;
        for (const CMessageWindow::SLine& line : game->messageWindow.log)
            lines.push_back(Str(line.text));
        return lines;
    }
    SGameResource::SDungeonSlot& Record(std::int32_t d) { return game->dungeonSlots[std::size_t(d)]; }

    std::unique_ptr<CSceneCamp> camp;
    std::vector<std::int32_t> played;
};

TEST_F(CampVisitTest, TheOpeningAsksItsQuestionAndTheAnswerPicksTheScene)
{
    for (const bool yes : {true, false}) {
        Fresh();
        WriteScripts();
        played.clear();
        Enter();
        EXPECT_EQ(camp->GetTalkEvent(), 1);
        ASSERT_EQ(RunUntilMenu(), CSceneCamp::kRequestOpeningQuestion);
        game->menuAnswer = yes ? 1 : 0;
        Return();
        ASSERT_EQ(RunUntilMenu(), CSceneCamp::kRequestCampMenu) << yes;
        EXPECT_EQ(played, (std::vector<std::int32_t>{1, yes ? 2 : 3, 4}));
        EXPECT_EQ(game->flag.words[kFlagWordOpeningSeen], 1u);
        EXPECT_EQ(Record(2).open, yes ? 0 : 1);
        const bool gift = std::any_of(game->inventory.begin(), game->inventory.end(),
                                      [&](std::uint16_t i) { return i != kNone && Item(i).kind == 4; });
        EXPECT_EQ(gift, yes);
        if (yes) {
            EXPECT_EQ(Item(game->itemToShow).kind, 4);
        }
    }
}

TEST_F(CampVisitTest, TheRecordsPickTheFirstStoryEventThatApplies)
{
    struct Case
    {
        std::int32_t clears1, clears2, attempts2;
        std::vector<std::int32_t> closed;
        std::int32_t event;
        std::int32_t scenario;
        std::vector<std::int32_t> openAfter;
    };
    const Case cases[] = {
        {1, 1, 0, {2, 3, 4, 5, 6, 7}, 6, 50, {2, 3, 4, 5, 6, 7}},
        {1, 0, 0, {2, 3, 4, 5, 6, 7}, 3, 47, {2}},
        {0, 0, 10, {3, 4, 5}, 4, 48, {3}},
        {0, 0, 30, {4, 5}, 5, 49, {4}},
        {0, 0, 9, {3, 4, 5}, 0, -1, {}},
        {0, 1, 0, {}, 0, -1, {}},
    };
    for (const Case& c : cases) {
        Fresh();
        WriteScripts();
        game->flag.words[kFlagWordOpeningSeen] = 1;
        game->characters.player.hp = 10;
        for (std::int32_t d = 2; d <= 7; ++d)
            Record(d).open = std::find(c.closed.begin(), c.closed.end(), d) == c.closed.end();
        Record(1).values[SGameResource::SDungeonSlot::kClears] = c.clears1;
        Record(2).values[SGameResource::SDungeonSlot::kClears] = c.clears2;
        Record(2).values[SGameResource::SDungeonSlot::kStarts] = c.attempts2;
        played.clear();
        Enter();
        EXPECT_EQ(camp->GetTalkEvent(), c.event) << c.event;
        ASSERT_EQ(RunUntilMenu(), CSceneCamp::kRequestCampMenu);
        EXPECT_EQ(played,
                  c.scenario < 0 ? std::vector<std::int32_t>{} : std::vector<std::int32_t>{c.scenario});
        for (const std::int32_t d : c.openAfter)
            EXPECT_EQ(Record(d).open, 1) << c.event << " " << d;
    }
}

TEST_F(CampVisitTest, ADefeatOutsideTrainingOffersARetryFirstExceptAfterDungeonSix)
{
    struct Case
    {
        std::int32_t dungeon;
        bool training;
        std::int32_t request;
    };
    for (const Case c :
         {Case{2, false, CSceneCamp::kRequestRetry}, Case{6, false, CSceneCamp::kRequestCampMenu},
          Case{2, true, CSceneCamp::kRequestCampMenu}}) {
        Fresh();
        WriteScripts();
        game->flag.words[kFlagWordOpeningSeen] = 1;
        // Far enough along that no advice is given.
        Record(1).values[SGameResource::SDungeonSlot::kClears] = 1;
        Record(2).open = 1;
        game->characters.player.hp = 0;
        game->trainingRun = c.training;
        game->runRecord.category = std::uint8_t(c.dungeon);
        Enter();
        EXPECT_EQ(RunUntilMenu(), c.request) << c.dungeon << " " << c.training;
        EXPECT_GT(game->characters.player.hp, 0); // the heroine is made whole again
    }
}

TEST_F(CampVisitTest, AdviceAfterADefeatGrowsWithEffortAndStopsAtEighteen)
{
    struct Case
    {
        std::int32_t attempts1, attempts2, deepest1, deepest2, clears1;
        std::int32_t scenario; // -1: no advice
    };
    const Case cases[] = {
        {2, 0, 4, 0, 0, 12}, {0, 0, 0, 0, 0, 7},   {40, 40, 9, 9, 0, 18},
        {2, 0, 4, 0, 1, -1}, {2, 0, 11, 0, 0, -1}, {0, 5, 0, 10, 0, 18},
    };
    using Slot = SGameResource::SDungeonSlot;
    for (const Case& c : cases) {
        Fresh();
        WriteScripts();
        game->flag.words[kFlagWordOpeningSeen] = 1;
        for (std::int32_t d = 2; d <= 7; ++d)
            Record(d).open = 1;
        Record(1).values = {c.attempts1, c.clears1, c.deepest1};
        Record(2).values[Slot::kStarts] = c.attempts2;
        Record(2).values[Slot::kBestFloor] = c.deepest2;
        game->characters.player.hp = 0;
        game->runRecord.category = 1;
        played.clear();
        Enter();
        EXPECT_EQ(camp->GetTalkEvent(), c.scenario < 0 ? 0 : 2);
        // The advice replaces the retry offer.
        EXPECT_EQ(RunUntilMenu(), c.scenario < 0 ? CSceneCamp::kRequestRetry : CSceneCamp::kRequestCampMenu);
        EXPECT_EQ(played,
                  c.scenario < 0 ? std::vector<std::int32_t>{} : std::vector<std::int32_t>{c.scenario})
            << c.attempts1 << " " << c.deepest1;
    }
}

TEST_F(CampVisitTest, AKeyEndsTheOpeningFadeAtOnce)
{
    Enter();
    EXPECT_EQ(camp->GetFadeIn(), CSceneCamp::kFadeFrames);
    Frame();
    EXPECT_EQ(camp->GetFadeIn(), CSceneCamp::kFadeFrames - 1);
    Frame(1u << 4);
    EXPECT_EQ(camp->GetFadeIn(), 0);
    EXPECT_EQ(control->GetCommand(), CSceneControl::kCommandNone);
    Frame();
    EXPECT_EQ(control->GetCommand(), CSceneControl::kCommandCall);
}

TEST_F(CampVisitTest, AKeepersFirstChoicePlaysTheMeetingThenLaterOnesGreetWithThePortrait)
{
    Enter();
    Choose(101);
    ASSERT_EQ(RunUntilMenu(), CSceneCamp::kRequestShopkeeper);
    EXPECT_EQ(played, std::vector<std::int32_t>{7});
    EXPECT_EQ(game->flag.words[kFlagWordMetShopkeeper], 1u);

    Return(102); // leaving the shop
    played.clear();
    Choose(101);
    Frame();
    Frame();
    EXPECT_EQ(game->portraits[1].picture, 14102);
    ASSERT_EQ(RunUntilMenu(), CSceneCamp::kRequestShopkeeper);
    EXPECT_TRUE(played.empty());
    // The greeting, wrapped over lines that go on indented.
    std::string said;
    for (const std::string& line : LoggedLines())
        said += said.empty() || line.rfind(Str("　"), 0) != 0 ? line : line.substr(2);
    EXPECT_NE(said.find(Str("榎戸「やあ霞野さん。何かお役に立てることはあるかい？」")), std::string::npos);
}

TEST_F(CampVisitTest, TopicsPlayTheirScenesAndReopenTheTopicMenu)
{
    struct Case
    {
        std::int32_t topic, scenario, request;
    };
    Enter();
    for (const Case c : {Case{106, 29, CSceneCamp::kRequestShopkeeperTopics},
                         Case{122, 19, CSceneCamp::kRequestCollectorTopics}}) {
        played.clear();
        Choose(c.topic);
        EXPECT_EQ(RunUntilMenu(), c.request) << c.topic;
        EXPECT_EQ(played, std::vector<std::int32_t>{c.scenario});
        Return(c.topic == 106 ? 102 : 118);
    }
}

TEST_F(CampVisitTest, AMissingOrEndlessScenarioEndsAndTheCampMenuReturns)
{
    for (const bool missing : {true, false}) {
        Fresh();
        WriteScripts({29});
        if (!missing) {
            // Scenario 29 lines run out of the text without an "end".
            game->scriptStarts[29] = std::int32_t(game->scenarioLines.size());
            game->scenarioLines.push_back("update");
        }
        game->flag.words[kFlagWordOpeningSeen] = 1;
        game->characters.player.hp = 10;
        Enter();
        Choose(106);
        EXPECT_EQ(RunUntilMenu(), CSceneCamp::kRequestShopkeeperTopics);
        Return(102);
        EXPECT_EQ(RunUntilMenu(), CSceneCamp::kRequestCampMenu);
    }
}

TEST_F(CampVisitTest, TheCampAreaAndAdventuresReplaceTheCampWithTheGameScene)
{
    Enter();
    Choose(0);
    Frame();
    EXPECT_EQ(control->GetCommand(), CSceneControl::kCommandJump);
    EXPECT_EQ(control->GetRequestedNumber(), kSceneGameMain);
    EXPECT_EQ(game->dungeon, 0);
    EXPECT_EQ(game->floor, 1);
    EXPECT_EQ(game->saveKind, 2);

    Fresh();
    WriteScripts();
    game->flag.words[kFlagWordOpeningSeen] = 1;
    game->characters.player.hp = 10;
    control = std::make_unique<CSceneControl>();
    Enter();
    Choose(1);
    Frame();
    EXPECT_EQ(control->GetRequestedNumber(), kSceneGameMain);
    EXPECT_EQ(game->dungeon, 1);
    EXPECT_FALSE(game->trainingRun);
    EXPECT_EQ(Record(1).values[SGameResource::SDungeonSlot::kStarts], 1);
}

TEST_F(CampVisitTest, EachMenuReturnAppliesOneQueuedCommandAndNoneIsLeftForTheFloor)
{
    for (std::int32_t i = 0; i < 3; ++i)
        New(120 + i);
    Enter();
    ASSERT_EQ(RunUntilMenu(), CSceneCamp::kRequestCampMenu);
    for (std::int32_t i = 0; i < 3; ++i)
        game->playerCommands.push_back(MakePlayerCommand(8, -1, 0, 12)); // discard the first carried item
    Return();
    EXPECT_EQ(game->playerCommands.size(), 2u);
    EXPECT_EQ(CountKind(120), 0);
    EXPECT_EQ(CountKind(121), 1);

    ASSERT_EQ(RunUntilMenu(), CSceneCamp::kRequestCampMenu);
    Return(1);
    EXPECT_EQ(CountKind(121), 0);
    ASSERT_EQ(game->playerCommands.size(), 1u);
    Frame();
    EXPECT_EQ(control->GetRequestedNumber(), kSceneGameMain);
    EXPECT_TRUE(game->playerCommands.empty()) << "the floor would carry it out as her first command";
}

TEST_F(CampVisitTest, ATrainingRunStartsFromTheRegisteredPasswordOrStaysWhenItNoLongerDecodes)
{
    // A pair whose check bits are wrong no longer decodes.
    game->passwordHistory.push_back(PasswordPair{5, 0x2});
    platform::headless::ScriptMessageBoxAnswers({});
    Enter();
    Choose(CSceneCamp::kResultTraining);
    Frame();
    const auto boxes = platform::headless::GetShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Utf8(CSceneCamp::kUnreadablePassword));
    EXPECT_NE(control->GetCommand(), CSceneControl::kCommandJump);
    EXPECT_EQ(RunUntilMenu(), CSceneCamp::kRequestCampMenu);

    game->passwordHistory.push_front(PackPasswordValues(777, 2, 99));
    Return(CSceneCamp::kResultTraining);
    Frame();
    EXPECT_EQ(control->GetRequestedNumber(), kSceneGameMain);
    EXPECT_EQ(game->dungeon, 2);
    EXPECT_EQ(game->seed, 777u);
    EXPECT_EQ(game->passwordValue, 99);
    EXPECT_TRUE(game->trainingRun);
}

} // namespace
