#include "game/app/app.h"
#include "game/app/game_camp_services.h"
#include "game/app/game_resource.h"
#include "game/app/key_thread.h"
#include "game/app/replay.h"
#include "game/app/run_transitions.h"
#include "game/app/save_game.h"
#include "game/app/suspend.h"
#include "game/characters/adventure.h"
#include "game/characters/character_control.h"
#include "game/characters/character_drawing.h"
#include "game/characters/display_name.h"
#include "game/characters/level_changes.h"
#include "game/characters/room_events.h"
#include "game/core/play_mode.h"
#include "game/data/error_box.h"
#include "game/scenes/portraits.h"
#include "game/scenes/screen_panels.h"
#include "game/turn/game_main_drawing.h"
#include "game/turn/turn_phases.h"
#include "game/ui/message_numbers.h"
#include "game/world/minimap.h"
#include "platform/host/clock.h"
#include "platform/input.h"

#include <algorithm>
#include <utility>

namespace {
constexpr std::uint32_t kKeyMenu = 1u << 3;
constexpr std::uint32_t kKeyPrevFloor = 1u << 4;
constexpr std::uint32_t kKeyNextFloor = 1u << 5;
constexpr std::uint32_t kKeyReplayMenu = 1u << 6;
constexpr std::uint32_t kKeyRestartFloor = 1u << 7;
constexpr std::uint32_t kKeysFloorJump = kKeyPrevFloor | kKeyNextFloor | kKeyReplayMenu | kKeyRestartFloor;
constexpr std::uint32_t kLowKeys = 0xFFFF;
constexpr std::uint8_t kScanF3 = 0x3D;

constexpr std::int32_t kSoundDecide = 2;
constexpr std::int32_t kMenuYesNo = 3;
constexpr std::int32_t kMenuStairs = 1;
constexpr std::int32_t kMenuFootItem = 2;
constexpr std::int32_t kMenuReplayFloors = 20;
constexpr std::int32_t kObjectKindStairs = 12;
constexpr std::int32_t kObjectKindItem = 8;
constexpr std::int32_t kCommandWait = 1;
constexpr std::int32_t kCommandRepeat = 6;
constexpr std::int32_t kCommandGroupStart = 14;
constexpr std::int32_t kReplayEndFade = 30;
constexpr std::int32_t kMessageTimerAfterMenu = 300;
// A silent re-run keeps running turns within one frame until this many milliseconds have passed.
constexpr std::uint32_t kRerunSliceMs = 12;
constexpr std::int32_t kHoldGuardFrames = 4;
constexpr const char* kRerunFailed = "中断データのロードに失敗しました。";
constexpr const char* kLogUnreadable = "中断データが読み込めませんでした";
// The most turns a silent re-run may go on once its log is used up. A log always ends where the heroine
// was asked for a command, so the turns past it are only those she lost (asleep, frozen, held) or ran on
// after her last command, and no floor's clock lasts longer than this many turns at the highest pace. A
// re-run that goes on longer was fed a log that is not the save's: it ends as a log that cannot be read.
constexpr std::int32_t kMostTurnsPastLog = 12000;

// Kept for the program, not for one scene: F3 is read from the whole keyboard, whichever scene runs, so
// its latch follows the key rather than the scene.
bool g_f3Held = false;

bool F3WentDown()
{
    std::uint8_t state[256] = {};
    platform::ReadKeyboardInBackground(state);
    const bool held = (state[kScanF3] & 0x80) != 0;
    const bool pressed = held && !g_f3Held;
    g_f3Held = held;
    return pressed;
}

bool PortraitFadeRuns(const SGameResource& game)
{
    for (const auto& layer : game.portraits)
        if (layer.picture != -1 && layer.level != 0 && layer.level != 255) return true;
    return false;
}

// Hands a pending menu start parameter to the factory.
void HandMenuParameter(SGameResource& game, CSceneControl* control)
{
    if (game.endOfRunRequest.fade == 0) return;
    game.endOfRunRequest.fade = 0;
    if (control != nullptr) control->GetFactory()->SetSceneParameter(game.endOfRunRequest.mode);
}
} // namespace

CSceneGameMain::CSceneGameMain(SGameResource& gameState, CSceneControl* control)
    : CSceneSupport(control, &gameState), game(gameState)
{
    game.yesNoQuestion = this;
}

CSceneGameMain::CSceneGameMain(CSceneControl* control, SGameResource& gameState)
    : CSceneSupport(control, &gameState), game(gameState)
{
    command.Reset();
    // A dance in the turn that ended the last run must not move the heroine of this one.
    game.forcedCommand.Reset();
    fallingRocks.clear();
    game.yesNoQuestion = this;
    if (g_app != nullptr) ranking = &g_app->GetRankingTable();
    std::int32_t parameter = 0;
    if (control != nullptr && control->GetFactory().get() != nullptr)
        control->GetFactory()->TakeSceneParameter(&parameter);
    ResetScene();
    if (parameter == 1 || parameter == 3) {
        const std::int32_t mode = game.playMode;
        game.playMode = kPlaySilentRerun;
        // Nothing of a silent re-run is shown, so none of its messages may wait for a key: they go to
        // the log alone until the re-run ends.
        game.messageWindow.logOnly = 1;
        RestartRunFromSeed(game);
        // Only a resume mends the run's files (a lost snapshot, a log of the floor above): a save watched
        // as a replay writes nothing.
        resumingSave = mode != kPlayReplay ? 1 : 0;
        StartDungeon();
        resumingSave = 0;
        game.playMode = mode;
        if (mode != kPlaySilentRerun) game.messageWindow.logOnly = 0;
        if (mode == kPlayReplay) game.rerunStarted = 0;
        if (parameter == 3) {
            finishAfterRerun = 1;
            const std::int32_t dungeon = game.dungeon;
            game.dungeon = -1;
            // The guard follows only a save in place; the failure of either is told.
            if (WriteSaveGame(game) == 0 && UpdateGlobalDataEntry(game, true) == kGuardNotSaved)
                ShowErrorBox(kSaveFailedMessage);
            game.dungeon = dungeon;
        }
    } else if (parameter == 2) {
        game.playMode = kPlayReplay;
        StartDungeon();
    } else {
        StartDungeon();
    }
    ConfigureKeys();
}

CSceneGameMain::~CSceneGameMain()
{
    if (game.yesNoQuestion == this) game.yesNoQuestion = nullptr;
}

CKeyThread* CSceneGameMain::GetKeys() const
{
    return m_sceneControl != nullptr ? m_sceneControl->GetKeyObject().get() : nullptr;
}

CKeyThread& CSceneGameMain::Keys()
{
    if (CKeyThread* keys = GetKeys()) return *keys;
    if (m_ownKeys == nullptr) m_ownKeys = std::make_unique<CKeyThread>();
    return *m_ownKeys;
}

void CSceneGameMain::ConfigureKeys()
{
    CKeyThread* keys = GetKeys();
    if (keys == nullptr) return;
    // Keys not set below report once per press: Escape asks to quit and F1 switches the size, and
    // repeating they would ask again or switch back within one long press.
    keys->SetAllKeyStates(128);
    for (int key = 8; key <= 15; ++key)
        keys->SetRepeatValue(key, 0);
    const bool replay = game.playMode == kPlayReplay;
    for (int key = 0; key <= 7; ++key)
        keys->SetRepeatValue(key, replay || key == 6 ? 128 : 0);
}

void CSceneGameMain::ResetScene()
{
    ConfigureKeys();
    turnState = 0;
    phaseStep = 0;
    attackCooldown = 0;
    lastDirectionKey = -1;
    directionWait = 0;
    turnKeyLatch = 0;
    guideStepCount = 0;
    mapViewOpen = 0;
    mapViewDiagonal = 0;
    descending = 0;
    stairsPrompt = 0;
    hungerWarning = 0;
    quakeStage = 0;
    fadeLength = 0;
    fadeCount = 0;
    fadeOut = 0;
    fadedOut = 0;
    fadeWhite = 0;
    quakeMode = -1;
    quakeFrame = 0;
    fallingRocks.clear();
    showDirectionArrow = 0;
    showDiagonalGuide = 0;
    weaponSwapLatch = 0;
    shieldSwapLatch = 0;
    returnToTitle = 0;
    replayMenuRequest = 0;
    finishAfterRerun = 0;
    holdKeyGuard = 1;
    holdGuardCount = 0;
    ResetFloorFields();
}

void CSceneGameMain::OnResume()
{
    if (yesNoPending != 0) {
        yesNoPending = 0;
        game.chestAnswer = game.menuAnswer;
    }
    CKeyThread* keys = GetKeys();
    if (keys != nullptr && (game.endOfPlay != 0 || game.rerunStarted != 0)) keys->SetBlockMask(0xFFFFFFFFu);
    ConfigureKeys();
    holdKeyGuard = 1;
    holdGuardCount = 0;
}

void CSceneGameMain::AskYesNo(SGameResource& state)
{
    yesNoPending = 1;
    state.chestAnswer = 0;
    state.endOfRunRequest = {1, 1, kMenuYesNo};
}

void CSceneGameMain::ExitFloor()
{
    game.leaveFloor = 0;
    BeginDescend();
}

void CSceneGameMain::StartFade(std::int32_t length, bool out, bool white)
{
    if (!out) fadedOut = 0;
    if (fadeLength > 0) {
        if ((fadeOut != 0) != out) {
            fadeLength = length;
            fadeCount = 0;
        }
        return;
    }
    fadeOut = out ? 1 : 0;
    fadeLength = length;
    fadeCount = 0;
    fadeWhite = white ? 1 : 0;
}

bool CSceneGameMain::RunPhase(std::int32_t phase)
{
    switch (phase) {
    case 1:
        return PhaseStartTurn();
    case 2:
        return PhasePlayerCommand();
    case 3:
        return PhasePlayerStep();
    case 4:
        return PhaseMonstersAct();
    case 5:
        return PhaseCircles();
    default:
        return PhaseEndTurn();
    }
}

bool CSceneGameMain::RunTurnMachine()
{
    CheckRoomEvents(game);
    auto& player = game.characters.GetPlayer();
    if (player.hp < 1) {
        game.pendingHealing = 0;
    } else if (game.pendingHealing != 0) {
        player.hp = std::clamp(player.hp + game.pendingHealing, 0, player.maxHp);
        game.pendingHealing = 0;
    }
    if (turnState < 1 || turnState > 6) {
        turnState = 0;
        phaseStep = 0;
        return false;
    }
    while (RunPhase(turnState)) {
        if (turnState == 6) {
            turnState = 0;
            if (command.kind != kCommandRepeat) command.Reset();
            return true;
        }
        ++turnState;
        phaseStep = 0;
        if (game.pendingExperience != 0) {
            game.messageWindow.AddMessage(-1, 1,
                                          FormatColoredNumber(game.pendingExperience) + "の経験値を得た。");
            AddExperience(game, game.pendingExperience);
            game.pendingExperience = 0;
        }
        game.refreshRequest = 1;
    }
    return true;
}

void CSceneGameMain::EndLoggedPlay()
{
    if (descending == 0 && EndReplay(game)) return;
    const bool rerun = game.playMode == kPlaySilentRerun;
    fadedOut = 1;
    if (EndSilentRerun(game) != kRerunDone) {
        ShowErrorBox(kRerunFailed);
        game.abortRun = 1;
    } else if (finishAfterRerun != 0) {
        finishAfterRerun = 0;
        game.abortRun = 1;
    } else if (rerun) {
        // The resumed floor comes into view as a floor start shows it; without the fade-in nothing would
        // be drawn until the next floor.
        StartFade(kReplayEndFade, false, false);
    }
}

void CSceneGameMain::OnMove(const std::uint32_t* keyMaskIn)
{
    const std::uint32_t keyMask = keyMaskIn != nullptr ? *keyMaskIn : 0;
    inputKeys = keyMask;
    CSceneControl* control = m_sceneControl;
    auto& player = game.characters.GetPlayer();

    // 1. The heroine's name.
    if (F3WentDown()) game.heroineNameFlag = game.heroineNameFlag != 0 ? 0 : 1;
    // 2.
    UpdatePortraitFades(game);
    // 3. The menu key held from before opens nothing until it is released.
    bool noTurn = false;
    bool fading = false;
    if (holdKeyGuard != 0) {
        if ((keyMask & kKeyMenu) != 0) {
            noTurn = true;
        } else if (++holdGuardCount > kHoldGuardFrames) {
            holdKeyGuard = 0;
            holdGuardCount = 0;
        }
    }
    // 4.
    if (quakeMode >= 0 && game.playMode != kPlaySilentRerun) UpdateQuake();
    // 5. and 6. The running fade, then the fade requests.
    bool skipToCounters = false;
    if (fadeLength > 0) {
        ++fadeCount;
        if (fadeCount < fadeLength) {
            fading = true;
            noTurn = true;
            skipToCounters = true;
        } else {
            if (fadeOut != 0) fadedOut = 1;
            fadeLength = 0;
            fadeCount = 0;
        }
    }
    if (!skipToCounters) {
        const bool honoured = game.playMode != kPlaySilentRerun;
        const auto take = [&](std::int32_t& request, bool out, bool white) {
            if (request > 0 && honoured) StartFade(request, out, white);
            request = 0;
        };
        take(game.fadeInFromWhite, false, true);
        take(game.fadeOutToWhite, true, true);
        take(game.fadeInFromBlack, false, false);
        take(game.fadeOutToBlack, true, false);
        // 7.
        if (returnToTitle != 0) {
            if (control != nullptr) control->RequestCall(kSceneTitle);
            return;
        }
        // 8.
        if (descending != 0) {
            game.pendingFloorBonus += ((12000 - game.floorTime) * game.floor) / 6;
            ++game.floor;
            // A replay that could not show the floor turns no turn of the state it left.
            if (!StartDungeon() && returnToTitle != 0) return;
        } else if (game.returnToCamp != 0) {
            game.returnToCamp = 0;
            if (control != nullptr) control->RequestCall(kSceneCamp);
            return;
        }
    }

    // 9. The per-frame counters.
    showDirectionArrow = 0;
    showDiagonalGuide = 0;
    if (attackCooldown > 0) --attackCooldown;
    const std::uint32_t frameStart = platform::GetMilliseconds();
    const auto advance = [](CCharacterControl::SCharacter& c) {
        if (c.phaseModulus != 0) c.animPhase = (c.animPhase + 1) % c.phaseModulus;
    };
    advance(player);
    for (std::uint16_t i = 0; i < game.characters.monsterCount; ++i)
        advance(game.characters.monsters[i]);
    game.map.AdvanceAnimation();
    if (game.messageHold > 0) --game.messageHold;

    // 10.
    if (game.waitForKey != 0) {
        if ((keyMask & kLowKeys) != 0) game.waitForKey = 0;
        if (game.waitForKey != 0) return;
    }
    // 11.
    if (PortraitFadeRuns(game)) return;

    // 12. Replay viewing's keys.
    if (game.playMode == kPlayReplay) {
        if ((keyMask & kKeyMenu) != 0) {
            replayMenuRequest = 1;
        } else if (!game.runStartValues.empty()) {
            if ((keyMask & kKeysFloorJump) == 0) {
                replayKeyLatch = 0;
            } else if (replayKeyLatch == 0) {
                replayKeyLatch = 1;
                if ((keyMask & kKeyReplayMenu) != 0) {
                    replayMenuRequest = 1;
                    game.endOfRunRequest.mode = kMenuReplayFloors;
                    game.endOfRunRequest.fade = 1;
                    return;
                }
                std::int32_t target = -1;
                if ((keyMask & kKeyPrevFloor) != 0) target = PreviousReplayFloor(game, game.floor);
                if ((keyMask & kKeyNextFloor) != 0) target = NextReplayFloorOrEnd(game);
                if ((keyMask & kKeyRestartFloor) != 0) target = game.floor;
                if (target != -1) {
                    if (game.replayTargetFloor == -1) game.replayTargetFloor = target;
                    game.endOfPlay = 0;
                    ResetPortraitLayers(game);
                }
            }
        }
    }

    // 13. The turn loop.
    const bool displayChanged = g_app != nullptr && g_app->IsDisplayChanged();
    while (game.abortRun == 0) {
        bool goOn = false;
        const bool silent = game.playMode == kPlaySilentRerun;
        if (silent) {
            game.fadeInFromWhite = 0;
            game.fadeOutToWhite = 0;
            quakeMode = -1;
        }
        game.menuKeyPressed = 0;
        const bool windowBusy = game.messageWindow.Update(keyMask, game, Keys(), displayChanged) != 0;
        if (!windowBusy) {
            if (game.endOfPlay != 0) {
                game.endOfPlay = 0;
                returnToTitle = 1;
                StartFade(kReplayEndFade, true, false);
                return;
            }
            if (game.endOfRunRequest.requested != 0) {
                HandMenuParameter(game, control);
                if (control != nullptr) control->RequestCall(kSceneMenu);
                game.endOfRunRequest.requested = 0;
                return;
            }
        }
        UpdateDungeonFrame(game);
        game.characters.UpdateAnimation(game);
        if (!silent) game.map.UpdateMinimapMarks(game);

        const bool held =
            noTurn || windowBusy || IsWorldAnimating(game) || RunActionQueues(game) != 0 || quakeMode >= 0;
        if (!held) {
            bool dispatch = false;
            if (turnState != 0) {
                goOn = RunTurnMachine();
                // A fall whose re-run log did not fit has closed the adventure: straight to the camp.
                if (campRequest != -1) {
                    if (control != nullptr) control->RequestJump(kSceneCamp);
                    campRequest = -1;
                    return;
                }
            } else if (game.playMode == kPlaySilentRerun && game.actionLog.PeekKind() == -1 &&
                       ++turnsPastLog > kMostTurnsPastLog) {
                ShowErrorBox(kLogUnreadable);
                finishAfterRerun = 1;
                EndLoggedPlay();
                return;
            } else {
                const auto& status = player.status;
                const bool asleep = status.sleepTurns != 0;
                const bool frozen = status.frozenTurns != 0;
                // Nothing else leaves the floor after a pit or the collapse: every phase stands still
                // while the flag is up.
                if (game.leaveFloor != 0) {
                    ExitFloor();
                    return;
                }
                if (game.descendRequest != 0) {
                    game.descendRequest = 0;
                    BeginDescend();
                    return;
                }
                if (asleep || frozen || status.paralysisTurns != 0 ||
                    (player.GetCharacterSpeed(game) == -1 && player.slowToggle != 0)) {
                    command.Reset();
                    command.kind = kCommandWait;
                    turnState = 1;
                    if (asleep) game.messageWindow.AddMessage(-1, 1, "眠くて　行動できない……。");
                    if (frozen) game.messageWindow.AddMessage(-1, 1, "体が凍り付いて　動けない。");
                    game.forcedCommand.Reset();
                    if (asleep || frozen) player.SetMotion(0, 16);
                    dispatch = true;
                } else if (game.forcedCommand.kind != -1) {
                    // Normal play runs the forced command through the dispatcher, which logs it; a re-run
                    // or a replay reads that logged command on its next pass instead.
                    if (game.playMode == kPlayNormal) game.playerCommands.push_back(game.forcedCommand);
                    game.forcedCommand.Reset();
                    command.Reset();
                    game.messageWindow.AddMessage(-1, 1, GetDisplayName(game, 0xFFFF) + "は　操られている！");
                    dispatch = true;
                } else if (command.kind == kCommandRepeat) {
                    turnState = 1;
                    dispatch = true;
                } else if (!game.playerCommands.empty()) {
                    dispatch = true;
                } else if (fading) {
                    return;
                } else if (replayMenuRequest != 0) {
                    replayMenuRequest = 0;
                    PlaySoundEffect(game, kSoundDecide);
                    HandMenuParameter(game, control);
                    game.endOfRunRequest.mode = -1;
                    if (control != nullptr) control->RequestCall(kSceneMenu);
                    game.actionTimer = kMessageTimerAfterMenu;
                    return;
                } else if (game.replayTargetFloor != -1) {
                    const std::int32_t target = std::exchange(game.replayTargetFloor, -1);
                    // Past the last floor the replay holds it ends where it stands, as at a descent there.
                    if (NextReplayFloor(game, target - 1) == -1) {
                        EndReplay(game);
                        return;
                    }
                    game.floor = target;
                    StartDungeon();
                    return;
                } else if (game.playMode == kPlaySilentRerun || game.playMode == kPlayReplay) {
                    SPlayerCommand logged;
                    game.actionLog.ReadCommand(logged);
                    if (logged.kind == -1) {
                        EndLoggedPlay();
                        return;
                    }
                    game.playerCommands.push_back(logged);
                    if (logged.kind == kCommandGroupStart) {
                        for (;;) {
                            SPlayerCommand member;
                            game.actionLog.ReadCommand(member);
                            if (member.kind == -1) break;
                            game.playerCommands.push_back(member);
                            if (member.kind == 0) break;
                        }
                    }
                    game.itemAwaitingMenu = 0xFFFF;
                    stairsPrompt = 0;
                    dispatch = true;
                } else if (stairsPrompt != 0) {
                    stairsPrompt = 0;
                    PlaySoundEffect(game, kSoundDecide);
                    const SMapCell& cell = game.map.GetCell(player.x, player.y);
                    if (cell.objectKind == kObjectKindStairs || cell.objectKind == kObjectKindItem) {
                        if (control != nullptr) {
                            control->GetFactory()->SetSceneParameter(
                                cell.objectKind == kObjectKindStairs ? kMenuStairs : kMenuFootItem);
                            control->RequestCall(kSceneMenu);
                        }
                        return;
                    }
                    dispatch = true;
                } else {
                    if (UpdatePlayerInput()) return;
                    dispatch = true;
                }
            }
            if (dispatch) goOn = DispatchCommand();
        }
        if (goOn) continue;
        if (game.playMode == kPlaySilentRerun && platform::GetMilliseconds() - frameStart < kRerunSliceMs)
            continue;
        return;
    }

    // 14. The adventure is over. A replay's state never ends one, which would save it: a save watched as a
    // replay whose floor could not be built (the box was shown) goes to the title.
    game.abortRun = 0;
    if (game.playMode == kPlayReplay) {
        LeaveReplayForTitle();
        return;
    }
    game.messageWindow.logOnly = 0;
    game.fadeInFromBlack = 0;
    player.hp = 0;
    FinishAdventureAndSave(game);
    player.hp = 1;
    CGameCampServices services(game);
    RequestReturnToCamp(game.returnToCamp, game.playMode, services);
    game.returnToCamp = 0;
    if (control != nullptr) control->RequestCall(kSceneCamp);
}

void CSceneGameMain::OnDraw(Draw::ISurface* plane)
{
    if (plane == nullptr || game.playMode == kPlaySilentRerun || fadedOut != 0) return;
    IGameMainDrawing& draw = drawing != nullptr ? *drawing : GetGameMainDrawing();
    auto& player = game.characters.GetPlayer();
    const bool blind = player.status.blindTurns != 0;
    const bool skipStairs = blind || player.status.hallucinationTurns != 0;
    if (mapViewOpen != 0) {
        draw.Clear(*plane, game);
        draw.MinimapCells(*plane, game, true);
        draw.Minimap(*plane, game, skipStairs);
        if (game.guideMode == 1 || game.guideMode == 2)
            draw.GuideLines(*plane, game, mapViewDiagonal != 0, game.guideMode == 2);
    } else {
        draw.Map(*plane, game);
        if (!blind) {
            draw.VanishingObjects(*plane, game);
            draw.FlyingItem(*plane, game);
            const bool darknessBelow = game.map.revealedWithoutDarkness != 0 || game.map.playerInRoom != 0;
            if (darknessBelow) draw.Darkness(*plane, game);
            draw.Characters(*plane, game, game.map.wholeField != 0);
            if (!darknessBelow) draw.Darkness(*plane, game);
        } else {
            draw.Characters(*plane, game, game.map.wholeField != 0);
        }
        if (game.config.showMap) {
            draw.MinimapCells(*plane, game, false);
            draw.Minimap(*plane, game, skipStairs);
        }
        draw.Portraits(*plane, game);
        draw.MessageWindow(*plane, game);
    }
    draw.StatusBar(*plane, game);
    if (turnState == 0) {
        if (showDiagonalGuide != 0) draw.DiagonalGuide(*plane, game);
        if (showDirectionArrow != 0) draw.DirectionArrow(*plane, game);
    }
    if (fadeLength != 0) {
        const std::int32_t done = fadeOut != 0 ? fadeCount : fadeLength - fadeCount;
        draw.Fade(*plane, done * 255 / fadeLength, fadeWhite != 0);
    }
}
