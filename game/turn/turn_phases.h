#pragma once
// The game-main scene's turn: six phases run in order by its turn machine (start of turn, the player's
// command, the player's step with the monsters' decisions, the monsters' actions, magic circles and
// relocation, end of turn). Each phase answers true when it is finished (the next one runs in the same
// frame) and false to be called again once both action queues are idle and the wait has run out.
//
// The scene itself (scene 3) drives the whole game on a floor once a frame: the fades, the earthquake,
// the message window, the two action queues, the turn machine over the phases and, while it waits for a
// command, the player's input or the next logged command; and it draws the floor, the characters, the
// windows, the status bar and the fade over them.

#include "game/app/scene_control.h"
#include "game/characters/cell_actions.h"
#include "game/data/player_command.h"
#include "game/turn/action_queue.h"
#include "game/world/dungeon_gen.h"
#include "gamebase/scene.h"
#include "gamebase/sdk_names.h"
#include "sdk/math/rand.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct SGameResource;
class CRankingTable;
class IGameMainDrawing;

Math::CRand ConstructSeededRand();

// A rock of the collapse: the frames until it lands, and its cell as (row << 16) + column.
struct SFallingRock
{
    std::int32_t timer = 40;
    std::int32_t cell = 0;
};

class CSceneGameMain : public QuorlithGameBase::IScene, public CSceneSupport, public IYesNoQuestion
{
public:
    // The scene on its own (tests): nothing is started and no key object is configured.
    explicit CSceneGameMain(SGameResource& game, CSceneControl* control = nullptr);
    // The scene the factory makes: started by the factory's parameter (1 and 3 resume a suspended game
    // through a silent re-run, 3 also ending the adventure after it; 2 views a replay; anything else
    // starts a new adventure).
    CSceneGameMain(CSceneControl* control, SGameResource& game);
    ~CSceneGameMain() override;
    CSceneGameMain(const CSceneGameMain&) = delete;
    CSceneGameMain& operator=(const CSceneGameMain&) = delete;

    void OnMove(const std::uint32_t* keyMask) override;
    void OnDraw(Draw::ISurface* plane) override;
    void OnResume() override;

    bool PhaseStartTurn();
    bool PhasePlayerCommand();
    bool PhasePlayerStep();
    bool PhaseMonstersAct();
    bool PhaseCircles();
    bool PhaseEndTurn();

    // The heroine's walk or run of one cell (commands 5 and 6). A character that must change places with
    // her goes to swapIndex (0xFFFF none) with the direction it steps in.
    void ExecutePlayerWalk(std::uint16_t& swapIndex, std::int32_t& swapDirection);
    // Whether the run (command 6) ends before the next step.
    bool ShouldStopRunning();
    // What lies on the heroine's cell after a step.
    void ReportCellUnderPlayer();
    // The monsters' decisions for the turn; `swapIndex` is moved in `direction` first.
    void PrepareMonsterTurns(std::uint16_t swapIndex, std::int32_t direction, bool running);

    // End-of-turn pieces: a quake warning given (true), the hunger messages, the automatic turn, the
    // monster generation, and the two steps of the heroine's fall.
    bool TriggerQuake();
    void GiveHungerMessages();
    void TurnTowardOpponent();
    void SpawnMonsters();
    bool StartFall();
    bool FinishFall();
    // Circles 277, 285 and 288 act on whoever stands on them.
    void ApplyCircles();
    // Shopkeepers wait for payment (type 4, still peaceful: the keeper asks for the bill when spoken to)
    // while the goods left in the heroine's room are worth less than the bill, and are plain keepers
    // (type 3) otherwise.
    void UpdateShopkeeperMood();

    // The per-floor fields back to 0 (the floor start sets hungerWarning afterwards).
    void ResetFloorFields();

    // ---- The scene's frame, turn machine, fades and questions (scene_game_main.cpp).
    // The scene's fields back to their starting values, the key object configured first.
    void ResetScene();
    // The game screen's key repeat: keys 0 to 7 at 128 while viewing a replay, otherwise 0 except key 6;
    // keys 8 to 15 at 0.
    void ConfigureKeys();
    // Starts a fade of `length` frames; a fade already running only restarts its count with the new
    // length when it runs the other way.
    void StartFade(std::int32_t length, bool out, bool white);
    // Runs the phase of turnState; true while it made progress or waits inside a phase, false when idle.
    bool RunTurnMachine();
    // Runs one phase (1 to 6); true when it finished. Tests replace it to record the calls.
    virtual bool RunPhase(std::int32_t phase);
    // The log of a silent re-run or a replay is used up: the replay ends, or the re-run ends and normal
    // play resumes (the adventure ends instead when the guard refuses the re-run or finishAfterRerun is
    // set).
    void EndLoggedPlay();
    // The chest's question: the yes/no menu opens over the scene at the next idle moment, and its answer
    // becomes the chest's when the scene is current again.
    void AskYesNo(SGameResource& state) override;
    // Leaving the floor (after a pit, the collapse or a failed theft): the leave-floor flag cleared and
    // the floor change begun.
    void ExitFloor();
    // The key object of the scene control (null without one).
    CKeyThread* GetKeys() const;

    // ---- The player's input, the command dispatcher and the item commands (player_input.cpp,
    // player_item_commands.cpp).
    // Turns this frame's keys (inputKeys) into player commands; true when it asked for a scene change
    // that uses the frame.
    bool UpdatePlayerInput();
    // Takes the next player command, logs it in normal play and applies it; a command that takes a turn
    // starts one (unless the floor is being left). False when no command was waiting.
    bool DispatchCommand();
    // An item command (kind 8) by its operation; true when it takes the turn.
    bool RunItemCommand(const SPlayerCommand& itemCommand);
    // A group (kind 14): the commands after it up to one of kind 0; true when it takes the turn.
    bool RunGroupCommand();
    // Picks up what lies on the heroine's cell (also when she walks onto an item); true when it takes
    // the turn.
    bool PickUpItem(const SPlayerCommand& itemCommand);
    bool SwapWithFloorItem(const SPlayerCommand& itemCommand);
    // The use of nothing: the stairs under her. False when the command is dropped without a turn.
    bool TakeStairs();
    // Opens the menu scene over this one; `request` -1 hands no start parameter.
    void OpenMenuScene(std::int32_t request);

    std::uint32_t inputKeys = 0;        // the key mask the input reads
    std::int32_t attackRepeatCount = 0; // frames key 0 has been held
    std::int32_t mapCursorDelay = 0;    // frames before the map cursor moves again
    // Where confusion picks the heroine's step: apart from the game's generator, whose draws a re-run
    // must repeat without the keys; the step chosen is logged with the command.
    Math::CRand confusionRandom = ConstructSeededRand();

    // The floor start, the floor change and the earthquake.
    // Leaving the floor: a 30-frame fade-out, after which the scene adds the floor bonus, goes one floor
    // down and starts the dungeon; the music fades when the next floor's class is another. A replay from a
    // file that holds no floor below ends there instead.
    void BeginDescend();
    // Puts the game on the game state's floor: the warehouse's items stored and the camp asked for when
    // the warehouse floor is left; otherwise the floor built (the goal floor, the warehouse floor or a
    // generated one, saving first in normal play), items, gold, records and monsters brought to the
    // floor's start and the fade-in begun. False when the floor could not be built and the adventure is
    // to end. A replay from a file shows the floor from its own snapshot (the next floor it holds when it
    // lacks this one), and goes to the title when the snapshot cannot be shown: false then too.
    bool StartDungeon();
    // A replay that cannot go on goes to the title: after the box that says it cannot be read, or (its
    // floor start failed in a resume's silent start) at once.
    void LeaveUnreadableReplay();
    void LeaveReplayForTitle();
    // One frame of the earthquake: the view shakes, rocks fall in the collapse, and each stage ends with
    // its message or, after the collapse, the collapse action on the reaction queue.
    void UpdateQuake();
    // Builds a dungeon floor from the two seeds: 0 when it stands (floorGenerator when set, else the
    // floor generator).
    std::int32_t GenerateFloor(std::uint32_t seedA, std::uint32_t seedB);
    // Failures in a row after which the floor start gives up.
    static constexpr std::int32_t kMaxGeneratorFailures = 65535;
    // The floor generator's work area, made at the first floor start.
    std::unique_ptr<DungeonGen> dungeonGen;
    // A stand-in for the floor generator a test hands in; empty uses the generator.
    std::function<std::int32_t(std::uint32_t seedA, std::uint32_t seedB)> floorGenerator;

    SGameResource& game;
    // Where a fall that ends the adventure enters its record; null keeps no record.
    CRankingTable* ranking = nullptr;

    std::int32_t turnState = 0; // 0 idle, 1..6 the phase to run next
    std::int32_t phaseStep = 0;
    SPlayerCommand command;
    // The items of a grouped use command: the used item, then the targets (a command 14 puts them into
    // a pot); emptied by the player's command phase.
    std::vector<std::uint16_t> groupItems;
    std::int32_t guideStepCount = 0;    // presses of the turn-in-place key
    std::int32_t lastDirectionKey = -1; // the dash's direction; -1 once the held direction changes
    std::int32_t directionWait = 0;     // the direction keys' debounce, 0 to 7
    std::uint8_t turnKeyLatch = 0;
    std::uint8_t mapViewOpen = 0;     // the full map replaces the field
    std::uint8_t mapViewDiagonal = 0; // the full map's guide lines are diagonals
    std::uint8_t descending = 0;      // a floor change runs
    std::int32_t fadeLength = 0;      // frames of the running fade, 0 none
    std::int32_t fadeCount = 0;
    std::uint8_t fadeOut = 0;  // towards the colour
    std::uint8_t fadedOut = 0; // a fade-out completed: nothing is drawn
    std::uint8_t fadeWhite = 0;
    std::int32_t hungerWarning = 0;
    std::int32_t quakeStage = 0;
    std::int32_t quakeMode = -1; // -1 none; 0, 1 the tremors; 2 the collapse
    std::int32_t quakeFrame = 0;
    std::vector<SFallingRock> fallingRocks;
    std::int32_t attackCooldown = 0; // frames before the attack key repeats
    std::uint8_t showDirectionArrow = 0;
    std::uint8_t showDiagonalGuide = 0;
    std::uint8_t weaponSwapLatch = 0;
    std::uint8_t shieldSwapLatch = 0;
    std::uint8_t returnToTitle = 0;    // to the title once the fade-out has finished
    std::uint8_t resumingSave = 0;     // the floor start of a resume, from the loaded save
    std::uint8_t finishAfterRerun = 0; // the adventure ends when the silent re-run has
    // Turns a silent re-run of this floor has begun with its log used up, the heroine never asked for a
    // command (asleep, frozen, held or running on).
    std::int32_t turnsPastLog = 0;
    std::uint8_t replayMenuRequest = 0; // the menu opens at the next idle moment (replay viewing)
    std::uint8_t holdKeyGuard = 0;      // the menu key counts only once released
    std::int32_t holdGuardCount = 0;    // frames without the menu key since the guard was raised
    std::uint8_t replayKeyLatch = 0;    // a replay's floor key acts once per press
    std::uint8_t stairsPrompt = 0;      // she has just stepped onto stairs or an item
    std::uint8_t moved = 0;
    std::uint8_t onShopGoods = 0;
    std::int32_t spawnCount = 0;
    std::int32_t nextSpawnTime = 0;
    // Frames the game-main scene holds the heroine's item under her shown; counted down once a frame.
    std::int32_t itemShowFrames = 0;
    // The item kinds met this turn, entered in the record of kinds met at its end.
    std::vector<std::int32_t> metKinds;
    // The scene asks the camp scene with this command (-1 none).
    std::int32_t campRequest = -1;
    // The chest's question waits for the yes/no menu's answer.
    std::uint8_t yesNoPending = 0;
    // Where the layers are drawn; null: the game's own drawing.
    IGameMainDrawing* drawing = nullptr;

private:
    // The message window's key object when the scene control has none (a scene tried out on its own).
    CKeyThread& Keys();
    std::unique_ptr<CKeyThread> m_ownKeys;
};

// Kind 52: the floor collapses under the heroine at the end of the earthquake.
std::int32_t HandleQuakeCollapse(CActionQueue& queue, SGameResource& game);
// Kind 53: fire on a cell (p1 the source, 0xFFFF the heroine; p3 p4 the cell).
std::int32_t HandleSetFire(CActionQueue& queue, SGameResource& game);
