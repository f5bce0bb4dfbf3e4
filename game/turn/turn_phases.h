#pragma once
// The game-main scene's turn: six phases run in order by its turn machine (start of turn, the player's
// command, the player's step with the monsters' decisions, the monsters' actions, magic circles and
// relocation, end of turn). Each phase answers true when it is finished (the next one runs in the same
// frame) and false to be called again once both action queues are idle and the wait has run out.
//
// The scene's other members (drawing, keys, floor start, the quake animation) join this class around
// the phases.

#include "game/data/player_command.h"
#include "game/turn/action_queue.h"
#include "game/world/dungeon_gen.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct SGameResource;
class CRankingTable;

class CSceneGameMain
{
public:
    explicit CSceneGameMain(SGameResource& game);

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
    // Shopkeepers turn hostile (type 4) while the goods left in the heroine's room are worth less than
    // the bill.
    void UpdateShopkeeperMood();

    // The per-floor fields back to 0 (the floor start sets hungerWarning afterwards).
    void ResetFloorFields();

    // The scene's own calls into the floor start, the earthquake and the player's input.
    // True when the player's input used the frame.
    bool UpdatePlayerInput();
    // The command dispatcher; its result decides the turn loop.
    bool DispatchCommand();

    // The floor start, the floor change and the earthquake.
    // Leaving the floor: a 30-frame fade-out, after which the scene adds the floor bonus, goes one floor
    // down and starts the dungeon; the music fades when the next floor's class is another.
    void BeginDescend();
    // Puts the game on the game state's floor: the warehouse's items stored and the camp asked for when
    // the warehouse floor is left; otherwise the floor built (the goal floor, the warehouse floor or a
    // generated one, saving first in normal play), items, gold, records and monsters brought to the
    // floor's start and the fade-in begun. False when the floor could not be built and the adventure is
    // to end.
    bool StartDungeon();
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

    // Stand-in: the game-main scene's own fade start, reset and fields replace this block once the scene
    // is built.
    struct SFallingRock
    {
        std::int32_t timer = 0; // frames until it lands
        std::uint32_t cell = 0; // (row << 16) + column
    };
    void StartFade(std::int32_t length, bool out, bool white);
    void ResetScene();
    std::uint8_t descending = 0;
    std::int32_t fadeLength = 0;
    std::int32_t fadeCount = 0;
    std::uint8_t fadeOut = 0;
    std::uint8_t fadedOut = 0;
    std::uint8_t fadeWhite = 0;
    std::uint8_t finishAfterRerun = 0;
    std::vector<SFallingRock> fallingRocks;

    SGameResource& game;
    // Where a fall that ends the adventure enters its record; null keeps no record.
    CRankingTable* ranking = nullptr;

    std::int32_t turnState = 0; // 0 idle, 1..6 the phase to run next
    std::int32_t phaseStep = 0;
    SPlayerCommand command;
    std::vector<std::uint16_t> commandItems; // the items a command 14 puts into a pot
    std::uint8_t moved = 0;
    std::uint8_t onShopGoods = 0;
    std::int32_t quakeStage = 0;
    std::int32_t quakeMode = -1; // -1 none; 0, 1 the tremors; 2 the collapse
    std::int32_t quakeFrame = 0;
    std::int32_t hungerWarning = 0;
    std::int32_t spawnCount = 0;
    std::int32_t nextSpawnTime = 0;
    // Frames the game-main scene holds the heroine's item under her shown; counted down once a frame.
    std::int32_t itemShowFrames = 0;
    // The item kinds met this turn, entered in the record of kinds met at its end.
    std::vector<std::int32_t> metKinds;
    // The command the action log holds for this turn (kind -1 none).
    SPlayerCommand loggedCommand;
    // The scene asks the camp scene with this command (-1 none).
    std::int32_t campRequest = -1;
};

// Kind 52: the floor collapses under the heroine at the end of the earthquake.
std::int32_t HandleQuakeCollapse(CActionQueue& queue, SGameResource& game);
// Kind 53: fire on a cell (p1 the source, 0xFFFF the heroine; p3 p4 the cell).
std::int32_t HandleSetFire(CActionQueue& queue, SGameResource& game);
