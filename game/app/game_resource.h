#pragma once
// The one game-state object: the random generator, the floor map, the characters, the items, traps and
// magic circles, the windows, the two action queues, the options, the action log and the records of the
// running adventure. The application makes one at start-up and every scene reaches it.
//
// Its members are built in the order they are declared here and destroyed in the reverse order. The
// member classes are completed in their own folders, and the fields that later rules give a role come
// with those rules.

#include "game/app/ranking_data.h"
#include "game/characters/character_control.h"
#include "game/core/fixed_sine.h"
#include "game/core/money.h"
#include "game/core/play_mode.h"
#include "game/data/action_log.h"
#include "game/data/config.h"
#include "game/data/password.h"
#include "game/data/player_command.h"
#include "game/items/item_control.h"
#include "game/sound/sound_effect_player.h"
#include "game/turn/action_queue.h"
#include "game/ui/blt_support.h"
#include "game/ui/effect_object.h"
#include "game/ui/message_window.h"
#include "game/ui/object_base.h"
#include "game/ui/select_window.h"
#include "game/world/map_control.h"
#include "game/world/spell_circle_control.h"
#include "game/world/trap_control.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/math/rand.h"
#include "sdk/ztl/archive.h"
#include "sdk/ztl/ztl_string.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <utility>
#include <vector>

class IYesNoQuestion;

// A generator seeded from the platform's available memory (shifted left 16 bits) OR the low 16 bits of
// the millisecond clock, with that seed kept in it; noRandom clear.
Math::CRand ConstructSeededRand();

// A save set's two files as bytes: the ".main" body and the ".head", and the body's check value; whose
// set it is: the save's number and name.
struct SSaveSet
{
    std::vector<std::uint8_t> body;
    std::vector<std::uint8_t> head;
    std::uint32_t checkValue = 0;
    std::int32_t userNumber = -1;
    ZTL::string saveName;
};

struct SGameResource : public CBltSupport, public Auxiliary::IArchive
{
    // The progress record: four flag words and thirty values that count floors up or down.
    struct SFlag : public Auxiliary::IArchive
    {
        // All 34 zero, then the values of a new adventure.
        void ResetForNewGame();
        // Once per floor: values 0 to 9 below 100 grow by 1, values 10 to 29 above 0 shrink by 1.
        void OnNewFloor();
        void Serialize(Auxiliary::ISerialize& stream) override;

        std::array<std::uint32_t, 4> words{};
        std::array<std::int32_t, 30> values{};
    };

    // The item in flight: an object of kind 8 with the item it carries.
    struct SThrowItem : public SObjectBase
    {
        std::int32_t GetObjectKind() const override { return 8; }

        std::uint16_t itemIndex = 0xFFFF;
    };

    // A dungeon's record: open (the camp lists it and takes training passwords for it) or not, and
    // its three counts, indexed by kStarts, kClears and kBestFloor.
    struct SDungeonSlot
    {
        static constexpr std::size_t kStarts = 0;    // adventures started into it
        static constexpr std::size_t kClears = 1;    // times the heroine went beyond its last floor
        static constexpr std::size_t kBestFloor = 2; // the deepest floor reached
        std::uint8_t open = 0;
        std::array<std::int32_t, 3> values{};

        // The open flag (bool), then the three counts (int each).
        void Serialize(Auxiliary::ISerialize& stream);
    };

    // An object vanishing from a cell (a removed circle or trap): its record kind, the picture's part
    // and the frames left.
    struct SVanishingObject
    {
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t kind = 0;
        std::int32_t left = 0;
        std::int32_t top = 0;
        std::int32_t right = 0;
        std::int32_t bottom = 0;
        std::int32_t life = 0;
    };

    // Six values the new-adventure reset sets at the end of the object: three -1, three 0.
    struct SEndRecord
    {
        std::array<std::int32_t, 3> marks = {-1, -1, -1};
        std::array<std::int32_t, 3> values = {0, 0, 0};
    };

    // A portrait slot (left, centre, right): its picture and level, and the picture it replaces, fading
    // out. Levels: 0 empty, 1 to 254 fading in, 255 shown, -255 to -1 fading out.
    struct SPortraitLayer
    {
        std::int32_t picture = -1; // image number, -1 none
        std::int32_t level = 0;
        std::int32_t previousPicture = -1;
        std::int32_t previousLevel = 0;
    };

    static constexpr std::size_t kDungeonSlots = 8;
    static constexpr std::size_t kInventorySize = 20;

    // Builds the members in order, resets for a new adventure and fills the sine table.
    SGameResource();
    SGameResource(const SGameResource&) = delete;
    SGameResource& operator=(const SGameResource&) = delete;

    // Everything back for a new adventure.
    void ResetForNewGame();
    // The per-adventure fields back (a new adventure, a loaded save, a replayed floor).
    void ResetAdventureState();
    // The adventure's stored fields, in the save sets' order (the controls, windows, queues and the log
    // are stored apart).
    void Serialize(Auxiliary::ISerialize& stream) override;

    // Loads every data table once at start-up: seals, items, weapon weights, monsters, the experience
    // table, the scenario and item appearance table 7. Goes on after a failure so that every table that
    // can be read is read; 0 when all loaded, 1 after showing the one error box.
    std::int32_t LoadDataTables();
    // A copy of every item-kind record, in kind order.
    std::vector<SItemKind> CopyRecordTable() const;

    // ---- The members, in the order they are built.
    Math::CRand random = ConstructSeededRand();
    CMapControl map;
    CCharacterControl characters;
    CItemControl items;
    CTrapControl traps;
    CSpellCircleControl circles;
    CMessageWindow messageWindow;
    CSelectWindow selectWindow;
    CActionQueue reactionQueue; // consequences that play out before the next action goes on
    CActionQueue commandQueue;  // the actions a turn phase starts; runs while the reaction queue is idle
    SConfig config;
    std::vector<SEffectObject> effects;        // holds the turn engine while not empty
    std::vector<SEffectObject> overlayEffects; // never holds it
    std::array<SDungeonSlot, kDungeonSlots> dungeonSlots;
    SFlag flag;
    SRankingData runRecord;
    PasswordHistory passwordHistory;
    std::set<std::uint32_t> burntCells; // cells (x + y * 65536) set on fire this turn
    SThrowItem throwItem;
    std::int32_t userNumber =
        -1; // the four-digit number of the save and work files; -1 after a new adventure
    ZTL::string saveName;
    // The adventure counter: 1 after a new adventure and one more after every run into a dungeon other
    // than 0 (the "回目" the saves and rankings show); it names the run's work and replay files.
    std::int32_t runNumber = 1;
    CActionLog actionLog;
    ZTL::string runStartFileName;
    std::map<std::int32_t, std::int32_t> runStartValues;
    std::uint8_t endOfPlay = 0;
    Draw::CFastPlane workPlane;
    FixedSineTable sineTable{};
    std::vector<SVanishingObject> vanishingObjects;
    std::uint32_t checkValue = 0; // of the last save-set body written or loaded
    // A floor start whose save could not be written keeps it here (saveOwed set), with the floor's log
    // held in memory (actionLog), so that a suspend or the program's end can write them both again.
    SSaveSet owedSave;
    bool saveOwed = false;
    // The run (user number, run number) whose player was told that floors are missing from its replay:
    // she is told once a run, its resumes in this session included, so a new game keeps it.
    std::pair<std::int32_t, std::int32_t> replayGapRun{-1, -1};
    std::int32_t playMode = kPlayNormal;
    // Where the rules' sound effects go: null for the game's sound-effect list (made on the first
    // effect played), or a player a test hands in.
    ISoundEffectPlayer* soundEffects = nullptr;

    // ---- The adventure's fields that save sets store (in Serialize's order where it stores them).
    std::int32_t saveKind = 2; // stored first by the save sets
    std::int32_t dungeon = 0;
    std::int32_t floor = 1;
    std::uint32_t seed = 0;          // the run's seed
    std::uint16_t passwordValue = 0; // the run's 16-bit password value
    std::uint32_t counter8 = 0;
    std::int32_t excludedKind = 0xFFFF;   // the monster kind exterminated for the run: no more are made
    std::uint32_t gold = 0;               // at most 1000000000
    std::uint32_t bankedGold = 0;         // the warehouse money, at most 1000000000 like the purse
    std::int32_t equippedWeapon = 0xFFFF; // item indices, 0xFFFF none
    std::int32_t equippedShield = 0xFFFF;
    std::int32_t equippedArrows = 0xFFFF;
    SGoldCounter goldCounter; // the run's score; a start zeroes it with value17
    std::uint32_t value17 = 0;
    // The value of the items the heroine took along on this adventure (buying price + 500 each): the
    // end of the run takes it off the gold counter, and the goal floor's scenes read it.
    std::int32_t carriedValue = 0;
    // Started from a training password. It also locks the start: a training run counts no start and
    // keeps the last floor the camp set from the training target floor.
    bool trainingRun = false;
    std::int32_t trainingTargetFloor = 5; // the floor a training run is to reach, 5 or more
    std::int32_t lastFloor = 5;           // this run's last floor: beyond it lies the goal floor
    std::int32_t value22 = 1;
    std::array<std::uint16_t, kInventorySize> inventory{}; // item indices, 0xFFFF empty

    // ---- Per-adventure fields that save sets do not store.
    std::int32_t spareWeapon = 0xFFFF;
    std::int32_t spareShield = 0xFFFF;
    std::array<std::uint16_t, 5> adventureIds{};     // 0xFFFF after the adventure reset
    std::array<std::int32_t, 2> adventureMarks{};    // -1 after it
    std::array<std::int32_t, 2> adventureCounters{}; // 1 after it

    // ---- Fields of the turn engine.
    std::int32_t floorTime = 0; // sixths of a turn spent on this floor (the turn phases count it)
    std::deque<SPlayerCommand> playerCommands; // the player's commands waiting to run
    std::uint8_t actionFinished = 0;           // raised whenever a queued action finishes or is dropped
    std::int32_t waitCounter = 0; // frames the next turn phase waits, counted down by the game-main scene
    // What a monster's dance makes the heroine do next (kind -1 none): her next turn carries it out before
    // any input. Normal play logs it as any other command, so a re-run or a replay takes it from the log.
    // While it waits, the end of the turn does not turn her towards her opponent; a turn's start clears it.
    SPlayerCommand forcedCommand;
    // A press of key 3 (the menu key) that ended a message's key wait: the game-main scene takes it as a
    // press of that key and clears it.
    std::uint8_t menuKeyPressed = 0;
    // A per-adventure counter, the companion the end of a silent re-run copies it into, and the value
    // that end sets to 64 (the turn phases and the game-main scene give them roles).
    std::int32_t rerunCounter = 0;
    std::int32_t rerunCounterCopy = 0;
    std::int32_t rerunEndValue = 0;
    // What a hit leaves for the turn's next step: HP the heroine regains (dropped when she has none
    // left) and experience announced and granted, each cleared once used; and that she fell to a monster
    // of species 0, which sends her to the next floor instead of ending the adventure.
    std::int32_t pendingHealing = 0;
    std::int32_t pendingExperience = 0;
    std::uint8_t speciesZeroDefeat = 0;
    // The heroine leaves the floor at the end of this turn (a fall through a pit), and the adventure is
    // abandoned because its resumed log did not match (both read by the game-main scene).
    std::uint8_t leaveFloor = 0;
    std::uint8_t abortRun = 0;
    // The item whose menu opens again after an item command (a pot just filled); 0xFFFF none.
    std::uint16_t itemAwaitingMenu = 0xFFFF;
    // A blow at the heroine stops her run at the next step.
    std::uint8_t stopRunning = 0;
    // The chest's yes/no question: who asks it in normal play (the game-main scene; null asks nobody
    // and the answer stays as it is) and the answer, non-zero for yes.
    IYesNoQuestion* yesNoQuestion = nullptr;
    std::uint8_t chestAnswer = 0;
    // A command started a turn (the dispatcher raises it).
    std::uint8_t turnStarted = 0;
    // The talking character: 0 before the first talk, 1 talked, 2 its gift given.
    std::int32_t talkState = 0;

    // ---- How the run ended, which the run record copies: the cause of the heroine's last damage and the
    // monster behind a cause 3 (dealing damage sets them), and whether she took items along (the
    // adventure's start and end, which also reset all four).
    std::int32_t deathCause = 0xFFFF;
    std::uint16_t killerKind = 0xFFFF;
    std::uint16_t killerLevel = 0xFFFF;
    std::uint8_t startedWithItems = 0;

    // ---- Flags the rules of characters and statuses read.
    std::uint8_t statusGuard = 0;      // every status is refused to the heroine
    std::uint8_t noHunger = 0;         // the heroine's fullness does not fall
    std::uint8_t quietSteps = 0;       // the heroine's steps wake no monster
    std::uint8_t seeInvisible = 0;     // invisible monsters are seen
    std::uint8_t heroineNameFlag = 0;  // messages call the heroine 紗雪 instead of 霞野 (toggled by F3)
    std::uint8_t thief = 0;            // the heroine stole from a shop: pursuers come first
    std::uint8_t excludeFireKinds = 0; // no species 38 and no fire kind is made on this floor
    std::int32_t shopBill = 0;         // the price of the unpaid shop goods taken
    // The slot the heroine's next step changes places with (the step test sets it; 0xFFFF none).
    std::uint16_t swapPartner = 0xFFFF;
    // The cell the floor's shopkeeper keeps to and the shop's door cell, where the shop room has them
    // ((-1, -1) none); the shop room is the map's special room.
    SCellPosition shopGuardCell{-1, -1};
    SCellPosition shopDoorCell{-1, -1};

    // ---- The floor's room events and the per-frame upkeep (the per-floor reset clears them).
    std::uint8_t shopInside = 0;        // the heroine stands in the shop room
    std::uint8_t shopTheftDone = 0;     // she left with stolen goods: no more shop events on this floor
    std::int32_t houseState = -1;       // -1 while the monster house is undiscovered, else its type
    std::uint8_t houseDiscovered = 0;   // a house was announced
    std::uint8_t houseBonusSwitch = 0;  // while 0, the house bonus counts five times
    std::uint8_t wakeLock = 0;          // a discovered house leaves its monsters asleep
    std::int32_t pendingFloorBonus = 0; // what the next floor start adds to the gold counter
    std::int32_t floorClass = 0;        // the floor's music
    std::int32_t musicRequest = -1;     // the music the upkeep starts next frame: -1 none, 0xFFFF stop
    std::uint16_t lastEngaged = 0xFFFF; // the character the heroine last dealt with
    // The two flash counters a monster's flash sets to 16 while the heroine can see; their readers count
    // them down.
    std::array<std::int32_t, 2> screenFlash{};
    std::uint8_t monsterUsedSpecial = 0; // a monster used its special since the flag was last cleared
    // The automatic turn towards the last opponent at the end of a turn: 0 off, 1 when nobody stands
    // in front of her, 2 when at most one monster stands beside her.
    std::int32_t autoTurn = 0;
    // Monsters are generated every other turn, awake.
    std::uint8_t frequentSpawn = 0;
    std::int32_t frameCounter64 = 0;
    std::int32_t frameCounter16 = 0;
    std::uint8_t lastBlind = 0; // the heroine's sight bytes of the last frame
    std::uint8_t lastHallucinating = 0;
    // The rules the adventure plays by: 2 for every new one; older ones merge arrows and price shop
    // pots their own way, and keep the rust guard of circle 280 for after the seals.
    std::int32_t rulesVersion = 2;
    std::uint8_t refreshRequest = 0; // the scene redraws its screen

    // ---- Requests to the game-main scene: the four screen fades (lengths in frames, 0 none), and the
    // bytes a run ended by the escape scroll leaves: escaped, the run over, a failed load of the suspend
    // data.
    std::int32_t fadeInFromWhite = 0;
    std::int32_t fadeOutToWhite = 0;
    std::int32_t fadeInFromBlack = 0;
    std::int32_t fadeOutToBlack = 0;
    std::uint8_t escapeMark = 0;
    std::uint8_t runEnded = 0;
    std::uint8_t loadFailed = 0;
    // The floor start ran in a silent re-run; the player asked to go down the stairs (the scene begins
    // the floor change when it next waits for a command); a key press is awaited before the next turn;
    // frames the player's input waits for the messages (counted down once a frame); the full map's
    // guide lines: 0 none, 1 short, 2 full length.
    std::uint8_t rerunStarted = 0;
    std::uint8_t descendRequest = 0;
    std::uint8_t waitForKey = 0;
    std::int32_t messageHold = 0;
    std::int32_t guideMode = 0;
    // A special floor plays the floor class 11.
    std::uint8_t specialFloor = 0;

    // ---- Story scenes: the portrait layers, the scenario's two flags that "check" tests, and the skip
    // byte of the goal floor's scenes (which also read the dungeon records, runNumber and carriedValue).
    std::array<SPortraitLayer, 3> portraits{};
    std::array<std::uint8_t, 2> scenarioFlags{};
    std::uint8_t scenarioSkip = 0;

    // ---- What the end of a run leaves for the scenes that show it, in this program run only (the
    // adventure reset clears both): the place the run's record took in the ranking (-1 none) and the
    // request to show the end (two flags and the menu's mode number).
    struct SEndOfRunRequest
    {
        std::uint8_t requested = 0;
        std::uint8_t fade = 0;
        std::int32_t mode = 0;
    };
    std::int32_t rankingPlace = -1;
    SEndOfRunRequest endOfRunRequest;
    // Dungeon 8, which the camp does not list, keeps its record here; the save sets store it after the
    // password history.
    SDungeonSlot hiddenDungeonSlot;
    // The record of dungeon 0 to 8; null for any other number.
    SDungeonSlot* FindDungeonSlot(std::int32_t dungeon);

    // ---- The data tables LoadDataTables fills besides the controls'.
    std::array<std::int32_t, 99> experienceTable{}; // the least experience of levels 1 to 99
    std::vector<ZTL::string> scenarioLines;         // the scenario's kept lines
    std::vector<std::int32_t> scriptStarts;         // 0, then the line after each "end"

    // ---- What the menu scene and the scene that opened it hand each other: the item the inventory opens
    // on, the Yes/No answer, the ability chosen for erasing (0xFFFF none), the floor a viewed replay goes
    // on at (-1 none), the return code of the menu's last choice and the request to go back to the camp;
    // and of a viewed replay, whether it was started from the replay list and has a score to show.
    std::uint16_t itemToShow = 0xFFFF;
    std::uint8_t menuAnswer = 0;
    std::uint16_t chosenAbility = 0xFFFF;
    std::int32_t replayTargetFloor = -1;
    std::int32_t returnCode = 0;
    std::uint8_t returnToCamp = 0;
    std::uint8_t replayFromList = 0;
    std::uint8_t replayHasScore = 0;
    // What the file browser chose over the title: the save or suspended adventure (-1 none; its number
    // and name are set in userNumber and saveName) or the start of a replay.
    std::int32_t chosenDataNumber = -1;
    std::uint8_t replayStart = 0;
    // The action timer: an item command chosen in a menu sets it to 300.
    std::int32_t actionTimer = 0;

    // ---- Fields only the new-adventure reset sets.
    std::array<SEndRecord, 2> endRecords;
    std::uint8_t endFlag = 0;
    std::int32_t newGameValue = 0;
    std::uint8_t newGameFlag = 0;
    std::int32_t newGameMark = -1;
    std::array<std::uint8_t, 2> newGameFlags{}; // with endOfPlay, the three flags the reset clears
};

// Plays a sound effect through the game's sound-effect list (or the player handed in): silent during a
// silent re-run. The sound's result, 0 when silent.
std::int32_t PlaySoundEffect(SGameResource& game, std::int32_t number);
