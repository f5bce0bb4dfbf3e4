#include "game/scenes/camp_scene.h"

#include "game/app/app.h"
#include "game/app/game_camp_services.h"
#include "game/app/game_resource.h"
#include "game/app/key_thread.h"
#include "game/app/run_transitions.h"
#include "game/asset_ids.h"
#include "game/characters/adventure.h"
#include "game/core/play_mode.h"
#include "game/data/error_box.h"
#include "game/data/global_data.h"
#include "game/data/password.h"
#include "game/scenes/portraits.h"
#include "gamebase/music.h"

#include <algorithm>
#include <vector>

namespace {
constexpr std::int32_t kCommandGroupEnd = 0;
constexpr std::int32_t kCommandItem = 8;
constexpr std::int32_t kCommandGroup = 14;
constexpr std::int32_t kItemDiscard = 12;
constexpr std::uint16_t kNone = CItemControl::kNone;

constexpr std::int32_t kScreenWidth = 320;
constexpr std::int32_t kScreenHeight = 240;
constexpr std::uint32_t kAnyGameKey = 0xFFFF;
constexpr std::uint32_t kKeySkip = 1u << 7;
constexpr std::int32_t kCampMessageLines = 3;
constexpr std::int32_t kReloadFrames = 240;
constexpr std::int32_t kReloadEvery = 30;
constexpr std::int32_t kSilenceFade = 32;
constexpr std::int32_t kMenuSilenceFade = 16;
// The item the opening gives when she accepts the keeper's offer.
constexpr std::int32_t kOpeningGiftKind = 4;
constexpr std::int32_t kPortraitShopkeeper = 14102;
constexpr std::int32_t kPortraitCollector = 14100;
constexpr std::int32_t kCentreSlot = 1;
// The dungeon after whose defeats no retry is offered.
constexpr std::int32_t kNoRetryDungeon = 6;

using Slot = SGameResource::SDungeonSlot;

Slot& Record(SGameResource& game, std::int32_t dungeon)
{
    return game.dungeonSlots[std::size_t(dungeon)];
}
std::int32_t Attempts(SGameResource& game, std::int32_t dungeon)
{
    return Record(game, dungeon).values[Slot::kStarts];
}
std::int32_t Clears(SGameResource& game, std::int32_t dungeon)
{
    return Record(game, dungeon).values[Slot::kClears];
}
std::int32_t Deepest(SGameResource& game, std::int32_t dungeon)
{
    return Record(game, dungeon).values[Slot::kBestFloor];
}
bool IsOpen(SGameResource& game, std::int32_t dungeon)
{
    return Record(game, dungeon).open != 0;
}

// The message window shown, with its full 300 frames before the box hides.
void ShowMessageWindow(SGameResource& game)
{
    game.messageWindow.visible = 1;
    game.messageWindow.idleCounter = 0;
}

bool IsCursedEquipment(const SGameResource& game, std::uint16_t index, const CItemControl::SItem& item)
{
    if ((item.flags & CItemControl::kCursed) == 0) return false;
    return (index == game.equippedWeapon && item.itemClass == kItemClassWeapon) ||
           (index == game.equippedShield && item.itemClass == kItemClassShield);
}
} // namespace

CSceneCamp::CSceneCamp(CSceneControl* control, SGameResource* game) : CSceneSupport(control)
{
    if (game != nullptr) m_game = game;
    std::int32_t stale = 0;
    if (control != nullptr) control->GetFactory()->TakeSceneParameter(&stale);
    m_lastDoubleSize = g_globalData.doubleSize;
    if (m_game == nullptr) return;
    SGameResource& g = *m_game;
    g.messageWindow.SetVisibleLines(kCampMessageLines);
    ShowMessageWindow(g);
    LoadBackground();

    QuorlithGameBase::CMusic& music = *QuorlithGameBase::CMusic::GetInstance();
    if (g.characters.player.hp <= 0 && !g.trainingRun) {
        m_OfferRetry = true;
        music.FadeOut(kSilenceFade);
        bool progressed = false;
        for (std::int32_t d = 0; d < std::int32_t(SGameResource::kDungeonSlots); ++d)
            if (Clears(g, d) > 0 || Deepest(g, d) > 10) progressed = true;
        if (!progressed) m_TalkEvent = 2;
    }
    g.characters.player.Reset();
    g.playMode = kPlayNormal;

    if (const std::int32_t story = ChooseStoryEvent(g); story != 0) m_TalkEvent = story;
    if (m_TalkEvent != 0) {
        m_OfferRetry = false;
        // A piece waiting for a fade to end starts at once; one playing fades out.
        if (music.GetCurrent() < 0) {
            if (music.GetQueued() >= 0) music.PlayNow(music.GetQueued());
        } else if (music.GetCurrent() > 0) {
            music.FadeOut(kSilenceFade);
        }
    }
}

CSceneCamp::~CSceneCamp()
{
    delete m_ownKeys;
}

std::int32_t CSceneCamp::ChooseStoryEvent(SGameResource& g)
{
    if (g.flag.words[kFlagWordOpeningSeen] == 0) return 1;
    if (!IsOpen(g, 5) && Clears(g, 2) > 0) return 6;
    if (!IsOpen(g, 2) && Clears(g, 1) > 0) return 3;
    if (!IsOpen(g, 3) && Attempts(g, 2) > 9) return 4;
    if (!IsOpen(g, 4) && Attempts(g, 2) > 29) return 5;
    return 0;
}

std::int32_t CSceneCamp::AdviceScenario(SGameResource& g)
{
    const std::int64_t effort = std::int64_t(Attempts(g, 1)) + std::max(0, Deepest(g, 1) - 1) +
                                std::int64_t(Attempts(g, 2)) + std::max(0, Deepest(g, 2) - 1);
    return 7 + std::int32_t(std::clamp<std::int64_t>(effort, 0, 11));
}

CKeyThread& CSceneCamp::Keys()
{
    CSceneControl* control = GetSceneControl();
    if (control != nullptr && control->GetKeyObject().get() != nullptr) return *control->GetKeyObject();
    if (m_ownKeys == nullptr) m_ownKeys = new CKeyThread;
    return *m_ownKeys;
}

void CSceneCamp::MarkWholeScreen()
{
    m_dirty.AddRect(0, 0, kScreenWidth, kScreenHeight);
}

void CSceneCamp::LoadBackground()
{
    const std::int32_t s = g_globalData.doubleSize ? 2 : 1;
    std::int32_t w = 0, h = 0;
    if (m_background.GetSize(&w, &h) != 0 || w != kScreenWidth * s || h != kScreenHeight * s)
        m_background.CreateSurface(kScreenWidth * s, kScreenHeight * s, false);
    RedrawBackground();
}

void CSceneCamp::RedrawBackground()
{
    if (m_game == nullptr) return;
    BltImageCopy(m_background, kImageCamp, 0, 0);
    FinishPortraitFades(*m_game);
    DrawPortraits(*m_game, m_background, true);
}

void CSceneCamp::PushMenu(std::int32_t request)
{
    if (m_sceneControl == nullptr) return;
    m_sceneControl->GetFactory()->SetSceneParameter(request);
    m_sceneControl->RequestCall(kSceneMenu);
}

void CSceneCamp::Say(const char* text)
{
    m_game->messageWindow.AddWrappedMessage(-1, text);
    ShowMessageWindow(*m_game);
}

void CSceneCamp::OnMove(const std::uint32_t* keyMaskIn)
{
    if (m_game == nullptr) return;
    SGameResource& g = *m_game;
    const std::uint32_t keyMask = keyMaskIn != nullptr ? *keyMaskIn : 0;
    const bool displayChanged = g_app != nullptr && g_app->IsDisplayChanged();
    const bool doubled = g_globalData.doubleSize;

    // A display change during a talk leaves the background at the old size for a while: it is made
    // again every 30 frames until the display has settled.
    if (IsTalking() && (doubled != m_lastDoubleSize || displayChanged)) m_reloadCountdown = kReloadFrames;
    m_lastDoubleSize = doubled;
    if (m_reloadCountdown > 0) {
        --m_reloadCountdown;
        if (m_reloadCountdown % kReloadEvery == 0) {
            m_background.Release();
            LoadBackground();
            MarkWholeScreen();
        }
    }

    if (m_FadeIn > 0) {
        m_FadeIn = (keyMask & kAnyGameKey) != 0 ? 0 : m_FadeIn - 1;
        MarkWholeScreen();
        return;
    }

    if (IsPortraitFading(g)) {
        if ((keyMask & kKeySkip) != 0) {
            FinishPortraitFades(g);
            MarkWholeScreen();
        }
        UpdatePortraitFades(g);
        if (IsPortraitFading(g)) {
            AddPortraitDirtyRects(g, m_dirty);
            return;
        }
        RedrawBackground();
    }

    m_dirty.AddRect(0, 160, kScreenWidth, kScreenHeight);

    if (IsTalking() && g.messageWindow.Update(keyMask, g, Keys(), displayChanged) != 0) return;

    if (m_Scenario >= 0) {
        for (;;) {
            const std::int32_t result = RunScenario(m_Scenario, g, m_ScenarioLine);
            // A failure ends the scene as its "end" would: a missing scene, or one without "end", would
            // otherwise be read on for ever.
            if (result == 9 || result < 0) {
                m_Scenario = -1;
                m_ScenarioLine = 0;
                return;
            }
            if (result == 5) {
                RedrawBackground();
                MarkWholeScreen();
            }
            ++m_ScenarioLine;
            if (result == 1 || result == 6) return;
        }
    }

    if (m_TalkEvent != 0) {
        const std::int32_t event = m_TalkEvent;
        RunTalkEvent();
        if (m_TalkEvent != 0) {
            ++m_TalkStep;
            return;
        }
        if (event >= 101 && event <= 132 && event != 102 && event != 118) {
            // The event opened a menu; its last words stay up under it.
            ShowMessageWindow(g);
            return;
        }
        for (SGameResource::SPortraitLayer& layer : g.portraits) {
            if (layer.picture == kPortraitNone) continue;
            if (layer.level < 0) {
                layer.picture = kPortraitNone;
                layer.level = 0;
                continue;
            }
            layer.level = -255;
        }
        RedrawBackground();
        MarkWholeScreen();
        ShowMessageWindow(g);
        return;
    }

    if (m_OfferRetry) {
        m_OfferRetry = false;
        if (g.runRecord.category != kNoRetryDungeon) PushMenu(kRequestRetry);
        return;
    }

    std::int32_t result = 0;
    if (m_sceneControl == nullptr || !m_sceneControl->GetFactory()->TakeSceneParameter(&result)) {
        ResetPortraitLayers(g);
        RedrawBackground();
        QuorlithGameBase::CMusic::GetInstance()->FadeOut(kMenuSilenceFade);
        PushMenu(kRequestCampMenu);
        return;
    }
    ActOnResult(result);
}

void CSceneCamp::EndTalkEvent()
{
    m_TalkEvent = 0;
    m_TalkStep = 0;
}

void CSceneCamp::RunTalkEvent()
{
    SGameResource& g = *m_game;
    const std::int32_t event = m_TalkEvent;
    const std::int32_t step = m_TalkStep;
    if (step == 0) ShowMessageWindow(g);
    // A keeper's greeting: the first meeting plays its scene, later ones show the keeper and a line.
    const auto greet = [&](std::size_t metFlag, std::int32_t meetingScenario, std::int32_t portrait,
                           const char* greeting) {
        if (g.flag.words[metFlag] == 0) {
            g.flag.words[metFlag] = 1;
            m_Scenario = meetingScenario;
        } else {
            SetPortrait(g, kCentreSlot, portrait);
            Say(greeting);
        }
    };
    const auto pushAndEnd = [&](std::int32_t request) {
        PushMenu(request);
        EndTalkEvent();
    };
    const auto sayThenPush = [&](const char* text, std::int32_t request) {
        if (step == 0)
            Say(text);
        else
            pushAndEnd(request);
    };
    const auto sayThenEnd = [&](const char* text) {
        if (step == 0)
            Say(text);
        else
            EndTalkEvent();
    };
    const auto scenarioThenUnlock = [&](std::int32_t scenario, std::int32_t first, std::int32_t last) {
        if (step == 0) {
            m_Scenario = scenario;
            return;
        }
        for (std::int32_t d = first; d <= last; ++d)
            Record(g, d).open = 1;
        EndTalkEvent();
    };
    const auto topic = [&](std::int32_t scenario, const char* more, std::int32_t request) {
        if (step == 0)
            m_Scenario = scenario;
        else if (step == 1)
            Say(more);
        else
            pushAndEnd(request);
    };

    switch (event) {
    case 1:
        switch (step) {
        case 0:
            m_Scenario = 1;
            break;
        case 1:
            PushMenu(kRequestOpeningQuestion);
            break;
        case 2:
            // The next frame goes on at step 3 (yes) or 4 (no).
            m_TalkStep = g.menuAnswer != 0 ? 2 : 3;
            break;
        case 3: {
            m_Scenario = 2;
            Math::CRand generator = ConstructSeededRand();
            const std::uint16_t gift = g.items.CreateItem(kOpeningGiftKind, generator, g.dungeon);
            if (gift != kNone) {
                if (g.items.AddToInventory(g, gift) == 0)
                    g.itemToShow = gift;
                else
                    g.items.DeleteItem(gift);
            }
            m_TalkStep = 4;
            break;
        }
        case 4:
            m_Scenario = 3;
            Record(g, 2).open = 1;
            break;
        case 5:
            m_Scenario = 4;
            break;
        default:
            g.flag.words[kFlagWordOpeningSeen] = 1;
            EndTalkEvent();
            break;
        }
        return;
    case 2:
        m_Scenario = AdviceScenario(g);
        EndTalkEvent();
        return;
    case 3:
        scenarioThenUnlock(47, 2, 2);
        return;
    case 4:
        scenarioThenUnlock(48, 3, 3);
        return;
    case 5:
        scenarioThenUnlock(49, 4, 4);
        return;
    case 6:
        scenarioThenUnlock(50, 2, 7);
        return;
    case 101:
        if (step == 0)
            greet(kFlagWordMetShopkeeper, 7, kPortraitShopkeeper,
                  "榎戸「やあ霞野さん。何かお役に立てることはあるかい？」");
        else
            pushAndEnd(kRequestShopkeeper);
        return;
    case 102:
        sayThenEnd("榎戸「また何かあったら、いつでも気軽に尋ねてよ」");
        return;
    case 103:
        sayThenPush("榎戸「毎度あり！」", kRequestShopkeeper);
        return;
    case 104:
        sayThenPush("榎戸「持ち物がいっぱいだから、買ったアイテムが持てないよ」", kRequestShopkeeper);
        return;
    case 105:
        sayThenPush("榎戸「どうもありがとう」", kRequestShopkeeper);
        return;
    case 117:
        if (step == 0)
            greet(kFlagWordMetCollector, 6, kPortraitCollector,
                  "宗真「よく来たな霞野。オレのコレクションでも見ていくか？」");
        else
            pushAndEnd(kRequestCollector);
        return;
    case 118:
        sayThenEnd("宗真「もう行くのか。真の剣姫を目指してがんばるんだぞ」");
        return;
    case 119:
        sayThenPush("宗真「貴重なアイテムだ。大切に使ってくれよ」", kRequestCollector);
        return;
    case 120:
        sayThenPush(
            "宗真「おっと、持ち物がいっぱいみたいだな。どこかで売るか捨てるかしてからまた来てくれよ」",
            kRequestCollector);
        return;
    case 121:
        sayThenPush("宗真「確かに、買い取ったぞ」", kRequestCollector);
        return;
    default:
        break;
    }
    if (event >= 106 && event <= 116) {
        topic(event - 77, "榎戸「他に訊きたいことはあるかい？」", kRequestShopkeeperTopics);
        return;
    }
    if (event >= 122 && event <= 132) {
        topic(event - 103, "宗真「他に何か教えて欲しいことはあるか？」", kRequestCollectorTopics);
        return;
    }
    EndTalkEvent();
}

void CSceneCamp::ActOnResult(std::int32_t result)
{
    SGameResource& g = *m_game;
    if (result == -1) {
        if (m_sceneControl != nullptr) m_sceneControl->RequestJump(kSceneTitle);
        return;
    }
    if (result > 100) {
        m_TalkEvent = result;
        m_TalkStep = 0;
        return;
    }
    if (result < 0) return;

    g.reactionQueue.AbortCurrent();
    g.commandQueue.AbortCurrent();
    ResetPortraitLayers(g);
    std::int32_t dungeon = result;
    std::uint32_t seed = 0;
    std::uint16_t value = 0;
    if (result == kResultTraining) {
        std::uint32_t decodedDungeon = 0;
        const bool decoded =
            !g.passwordHistory.empty() && DecodePassword(EncodePassword(g.passwordHistory.front()), seed,
                                                         decodedDungeon, value) == kPasswordValid;
        if (!decoded) {
            ShowErrorBox(kUnreadablePassword);
            return;
        }
        dungeon = std::int32_t(decodedDungeon);
        g.trainingRun = true;
    } else {
        MakeRunId(seed, value, g.random.noRandom,
                  g_app != nullptr ? std::uint32_t(g_app->GetFrameCounter()) : 0u);
        g.trainingRun = false;
    }
    g.items.RecoverOwnEquipment();
    // A camp command the menus left behind must not be carried out on the floor as a command of hers.
    g.playerCommands.clear();
    g.playMode = kPlayNormal;
    g.saveKind = 2;
    if (dungeon == 0) {
        CGameCampServices services(g);
        PrepareCamp(g.dungeon, g.floor, services);
        if (m_sceneControl != nullptr) m_sceneControl->RequestJump(kSceneGameMain);
        return;
    }
    if (dungeon >= 1 && dungeon <= 7) {
        QuorlithGameBase::CMusic::GetInstance()->Reset();
        StartAdventure(g, dungeon, seed, value);
        if (m_sceneControl != nullptr) m_sceneControl->RequestJump(kSceneGameMain);
    }
}

void CSceneCamp::OnResume()
{
    if (m_game == nullptr) return;
    ApplyQueuedItemCommands();
    MarkWholeScreen();
}

void CSceneCamp::OnDraw(Draw::ISurface* plane)
{
    if (plane == nullptr || m_game == nullptr) return;
    SGameResource& g = *m_game;
    if (m_FadeIn != 0) {
        plane->SetFillColor(0);
        plane->Clear(nullptr);
        BltImageBlend(*plane, kImageCamp, 0, 0, 255 - 8 * m_FadeIn);
        return;
    }
    const std::int32_t s = g_globalData.doubleSize ? 2 : 1;
    m_dirty.Optimize();
    for (int i = 0; i < m_dirty.GetCount(); ++i) {
        const Draw::RECT& r = m_dirty.GetRects()[i];
        const Draw::RECT scaled{r.left * s, r.top * s, r.right * s, r.bottom * s};
        BltCopy(*plane, m_background, scaled.left, scaled.top, nullptr, &scaled);
    }
    m_dirty.Clear();
    if (IsPortraitFading(g)) DrawPortraits(g, *plane, true);
    if (IsTalking()) g.messageWindow.Draw(*plane);
}

void CSceneCamp::ApplyQueuedItemCommands()
{
    std::deque<SPlayerCommand>& commands = m_game->playerCommands;
    if (commands.empty()) return;

    if (commands.front().kind == kCommandGroup) {
        // The opening command only marks the group; what follows it up to the kind-0 end is the group.
        commands.pop_front();
        std::vector<SPlayerCommand> group;
        while (!commands.empty()) {
            SPlayerCommand command = commands.front();
            commands.pop_front();
            if (command.kind == kCommandGroupEnd) break;
            group.push_back(command);
        }
        if (group.empty()) return;
        for (const SPlayerCommand& command : group)
            if (command.arg3 == kItemDiscard) CampDiscardItem(*this, command);
        m_game->items.KeepOnlyCarriedItems(*m_game);
        return;
    }

    const SPlayerCommand command = commands.front();
    if (command.kind == kCommandItem && command.arg3 == kItemDiscard) CampDiscardItem(*this, command);
    commands.pop_front();
    m_game->items.KeepOnlyCarriedItems(*m_game);
}

void CampDiscardItem(CSceneCamp& camp, const SPlayerCommand& command)
{
    SGameResource& game = camp.GetGame();
    // A command names an item by its table index; anything else names no item.
    if (command.arg2 < 0 || command.arg2 >= CItemControl::kItemCount) return;
    const std::uint16_t index = std::uint16_t(command.arg2);
    if (IsCursedEquipment(game, index, game.items.GetItem(index))) return;

    std::uint16_t slot = kNone;
    std::uint16_t pot = kNone;
    game.items.FindInInventory(game, index, slot, pot, false);
    if (slot == kNone) return;
    if (pot == kNone)
        game.items.RemoveFromInventory(game, slot, true);
    else
        game.items.RemoveFromPot(game, pot, slot, true);
}
