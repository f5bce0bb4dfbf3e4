#pragma once
// The menu scene: every in-game and camp menu runs inside it as a numbered state (1 to 100). The scene
// is always started over the game-main or the camp scene, which stays alive underneath; the opener
// passes a request number (-3 to 20) through the scene factory's parameter, which picks the first state
// and what is shown behind the windows. Each state's handler opens select windows, reacts to the keys and
// pushes further states or pops back; when state 0 is reached the scene asks for the return to the scene
// below.
//
// Behind the windows lies the live game world, a still picture of it kept in the background plane, or
// one of two full-screen pictures; while it stands still only the dirty rectangles are redrawn.
#include "game/app/scene_control.h"
#include "game/data/config.h"
#include "game/items/item_control.h"
#include "game/ui/blt_support.h"
#include "gamebase/scene.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/dirty_rect.h"
#include "sdk/ztl/ztl_string.h"

#include <array>
#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct SGameResource;
class CItemControl;
class CKeyThread;
class CRankingTable;
struct SRankingData;

class CSceneMenu : public QuorlithGameBase::IScene, public CBltSupport, public CSceneSupport
{
public:
    // Handles a state's frame with the filtered key mask; true when it consumed the input.
    using StateHandler = bool (*)(CSceneMenu& menu, std::uint32_t keyMask);

    static constexpr std::int32_t kStateCount = 100;
    static constexpr std::uint16_t kNoItem = 0xFFFF;
    // The only states that take dropped files: passwords from a file and the replay list.
    static constexpr std::int32_t kPasswordFileState = 47;
    static constexpr std::int32_t kReplayListState = 94;

    // Reads the opening request from the factory's parameter and opens its first screen. `game` null:
    // the application's game state.
    explicit CSceneMenu(CSceneControl* control, SGameResource* game = nullptr);
    ~CSceneMenu() override;
    CSceneMenu(const CSceneMenu&) = delete;
    CSceneMenu& operator=(const CSceneMenu&) = delete;

    void OnMove(const std::uint32_t* keyMask) override;
    void OnDraw(Draw::ISurface* plane) override;
    void OnResume() override {}

    // ---- The state stack.
    // The current state goes on the stack and `state` becomes current.
    void PushState(std::int32_t state);
    // The state below becomes current again (0 when none); the selected items reset.
    void PopState();
    // Replaces the current state without touching the stack.
    void SetState(std::int32_t state) { m_state = state; }
    std::int32_t GetState() const { return m_state; }
    const std::list<std::int32_t>& GetStateStack() const { return m_stack; }
    // Runs the state's handler; state 0 or one above 100 asks for the return to the scene below.
    bool Dispatch(std::int32_t state, std::uint32_t keyMask);
    // The handler of a state (1 to 100), for the dispatch and its tests.
    static StateHandler GetStateHandler(std::int32_t state);

    // ---- What the handlers use of the scene.
    SGameResource& Game() const { return *m_game; }
    // The decide (or menu) key on an enabled line under the select window's cursor.
    bool DecidesOnEnabledLine(std::uint32_t keyMask) const;
    // The key object of the scene control, or the scene's own when the control has none.
    CKeyThread& Keys();
    // The ranking table the end of an adventure enters its run into: the application's unless set.
    CRankingTable* GetRankingTable() const { return m_ranking; }
    void SetRankingTable(CRankingTable* ranking) { m_ranking = ranking; }
    // Plays a menu sound effect unless the game is in its silent re-run.
    void PlaySound(std::int32_t number);
    // Hands an integer to the scene below through the factory's parameter.
    void SetSceneParameter(std::int32_t value);
    Draw::CDirtyRect& GetDirtyRects() { return m_dirty; }
    // Closes the top window, or the top group, with the dirty rectangles, and redraws what they uncovered.
    void CloseTopWindow();
    void CloseWindowGroup();
    // The select windows painted again where they changed.
    void RedrawWindows();
    void RequestFullRebuild() { m_rebuildRequest = true; }
    bool IsFullRebuildRequested() const { return m_rebuildRequest; }
    void SetConfigurationChanged() { m_configChanged = true; }
    // Whether the window takes dropped files now.
    bool AcceptsDroppedFiles() const { return m_acceptsFiles; }

    // ---- Backgrounds.
    enum EBackground : std::int32_t
    {
        kBackgroundWorld = 0,
        kBackgroundImage = 1, // the camp picture, with the status bar unless left out
        kBackgroundTitle = 2,
    };
    EBackground GetBackground() const;
    bool HasStatusBar() const { return !m_noStatusBar; }
    // Draws the background (title, picture or world) onto the target.
    void DrawBackground(Draw::ISurface& target);
    // The background plane made anew (released while the background moves).
    void RefreshBackgroundPlane();
    // The live-world flag: clear while states 9, 10 and 23 keep the world moving behind them.
    bool IsWorldStill() const { return m_liveWorld; }

    // ---- The item lists' working data (the lists and item commands fill it).
    struct SItemListData
    {
        std::array<std::uint16_t, 2> selected = {kNoItem, kNoItem};
        std::int32_t carriedCount = 0;
        std::vector<std::int32_t> chosenSlots;
        std::int32_t page = 0;
        std::int32_t row = 0;
        std::uint16_t openPot = kNoItem;
    };
    SItemListData itemList;

    // ---- Working data of the game menu's states.
    std::int32_t descriptionPage = 0;
    std::int32_t lastDescriptionPage = 0;
    std::int32_t scrollStart = 0;         // states 11 and 14
    std::vector<ZTL::string> circleLines; // the magic-circle list, title first
    // The options as they were when the settings submenu was chosen; the option screens compare with it.
    SConfig configCopy;
    bool fullScreenCopy = false;
    bool doubleSizeCopy = false;
    // The pad or keyboard binding of each of the first 10 logical keys, for the key screens.
    std::array<std::int32_t, 10> keyTable{};

    // ---- Item descriptions and sell offers (menu_item_texts.cpp).
    // The item the description shows (kNoItem: the trap or magic circle under the heroine), and in state
    // 42 the kind it shows instead.
    std::uint16_t describedItem = kNoItem;
    std::int32_t describedKind = -1;
    // The second list's page and cursor (the target list and the warehouse lists).
    std::int32_t secondPage = 0;
    std::int32_t secondRow = 0;
    // The warehouse list as the class filter left it; empty: the whole warehouse list.
    std::vector<std::uint16_t> warehouseFilter;

    // ---- Item lists and item commands (menu_item_lists.cpp).
    static constexpr std::int32_t kFloorSlot = 20;
    std::vector<std::int32_t> commandCodes;    // the open command window's codes, in window order
    std::uint16_t secondItem = kNoItem;        // the item chosen first when a command needs two
    bool secondFromFloor = false;              // the swap of the floor item
    bool lookAndDiscard = false;               // restricts the commands to looking and discarding
    bool sortedThisVisit = false;              // the inventory sorts once per visit of the menu
    std::vector<std::int32_t> toggledThisHold; // slots marked or unmarked while multi-select is held
    std::int32_t potRow = 0;                   // the line of the open pot's contents
    std::int32_t priceMode = 0;                // 0 to 2: which price the list panels show
    std::array<std::int32_t, 10> prices = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}; // -1 none
    std::array<std::int32_t, 10> priceColours{};

    // The class of the object on the heroine's cell: the item's, 12 for a trap, 13 for a magic circle.
    std::int32_t GetFloorClass();
    // Whether uses and take-outs are refused now.
    bool IsSealed();
    // The item id of a slot (0..19 carried, 20 underfoot), kNoItem when empty.
    std::uint16_t SlotItem(std::int32_t slot);
    // The item the command window acts on: inside an open pot the content under the pot's cursor, else
    // the item of the list cursor's slot.
    std::uint16_t CommandItem();
    // The command codes of the single-item window for the slot (or the open pot's content).
    std::vector<std::int32_t> BuildItemCommandCodes(std::int32_t slot);
    std::vector<std::int32_t> BuildBulkCommandCodes() const;
    void OpenItemList(std::uint16_t openPot);
    // The price column for the price mode: nothing (0), the selling (1) or the buying price (2) of each
    // carried item on the shown page.
    void FillPriceColumn();
    void OpenItemCommandMenu();
    void OpenBulkCommandMenu();
    // The command window opened anew after the list's cursor or marks changed.
    void RefreshItemCommandMenu();
    // The inventory list (state 2) or the pot view (state 3) opened again without its command windows,
    // so that what changed under it shows; any other state keeps its windows.
    void ReopenItemList();
    void OpenEquipmentComparison(std::uint16_t item);
    ZTL::string BuildEquipmentComparison(std::uint16_t item);
    void ExecuteItemCommand();
    void QueueItemCommand(std::int32_t code, std::uint16_t openPot);
    void QueueUseWithCommand(std::uint16_t second);
    void ChooseTarget(std::int32_t cursor);
    void ConfirmDestroy();
    void ConfirmDestroyChosen();
    void OpenStairsPrompt();
    void OpenFootItem();
    void OpenTargetList();
    void OpenPotView();
    // The list cursor's slot: page x 10 + row (the second pair in state 7).
    std::int32_t CursorSlot() const;
    // The lines of the shown list holding chosen slots, as logical rectangles to brighten.
    std::vector<Draw::RECT> HighlightRects() const;
    // The highlights, the price column and the marks of the shown list.
    void DrawItemListDecorations(Draw::ISurface& plane, bool doubled);
    // "a/b" in the small digits, starting 12 pixels left of x; nothing when b is 0 or 1.
    static void DrawSmallNumbers(Draw::ISurface& plane, std::int32_t first, std::int32_t second,
                                 std::int32_t x, std::int32_t y);
    // One ability slot's icon of a weapon or shield (the dimmed form 48 pixels further right).
    static void DrawAbilitySlotIcon(Draw::ISurface& plane, const std::array<std::uint16_t, 10>& slots,
                                    std::int32_t slot, std::int32_t x, std::int32_t y, bool dimmed);
    // "Yes" still uses up the scroll whose target choice is cancelled.
    void ConfirmScrollCancel();
    // The removal of an ability, its icon in the text.
    void ConfirmAbilityRemoval(std::uint16_t ability);
    // The previous and next arrows of a list of more than one page.
    static void DrawPageArrows(Draw::ISurface& plane, std::int32_t x, std::int32_t y, std::int32_t page,
                               std::int32_t pages);
    // The equipped, worn, flag-3 and flag-2 marks of an item's line at (x, y).
    void DrawItemMarks(Draw::ISurface& plane, std::uint16_t item, std::int32_t x, std::int32_t y);

    // The description of the described item, kind or floor object (page 0), or a weapon's or shield's
    // abilities (any other page), in a new window group.
    void ComposeItemDescription();
    // The abilities of a weapon or shield at (15, 40).
    void OpenAbilityPage(const ZTL::string& text);
    // The ability lines of an item with their slots' icons; cursor -1: none.
    void OpenAbilitySlots(std::uint16_t item, const ZTL::string& text, std::int32_t cursor, bool newGroup);
    // State 26: the abilities of the item the seal removal names, one of which the player picks; an item
    // that is not there ends the menu with no choice.
    void OpenAbilityList();
    std::uint16_t abilityItem = kNoItem; // the item whose abilities state 26 lists
    // The buyer's offer for the offered items of the selling list (states 24, 35, 60, 66) with its Yes/No,
    // in the list's confirmation state; any other state gives the text alone and opens nothing.
    ZTL::string OpenSellOffer();
    // The sale of the offered items as player commands; shop goods are passed over.
    void QueueSellCommands();

    // ---- The text entry of states 6 (naming a kind), 51 (a password), 86 and 93 (save names)
    // (menu_text_entry.cpp). Each slot holds one double-byte character; its mark picks the typed form
    // (0), its dakuten form (1) or its handakuten form (2), -1 for an empty slot.
    static constexpr std::int32_t kEntrySlots = 10;
    static constexpr std::int32_t kPasswordEntryState = 51;
    static constexpr std::int32_t kNamingEntryState = 6;
    std::array<ZTL::string, kEntrySlots> entryCharacters;
    std::array<std::int32_t, kEntrySlots> entryMarks{};
    std::int32_t entryCursor = 0;
    std::int32_t entryLimit = 8;
    std::uint16_t namedItem = kNoItem; // the item whose kind state 6 names
    std::int32_t tableColumn = 0;
    std::int32_t tableRow = 0; // 0 the command row, 1 to 7 the characters
    std::int32_t tableSet = 0; // 0 hiragana, 1 katakana, 2 letters and digits
    std::int32_t completionIndex = -1;
    std::vector<std::int32_t> completionList;
    std::int32_t entryKeyRepeatBefore = 128; // the keys' repeat before the entry opened

    // Starts an entry for the current state: the table, the entry line and the key repeat.
    void OpenTextEntry();
    void ResetTextEntry(std::int32_t limit);
    // The decide key on the table.
    void ChooseTextEntryCell();
    // -1: the last character's marks cycle through its forms; 1 or 2: that mark toggles.
    void CycleEntryMark(std::int32_t mark);
    // The text the slots spell; a password has " " after every third character unless `noGroups`.
    void ComposeEntryText(ZTL::string& text, bool noGroups = false) const;
    void RefreshEntryLine(bool closeFirst);
    void ReopenCharacterTable(bool closeFirst, bool naming);
    void CompleteEntryName();
    void EraseEntryCharacter();
    void EntryCursorBack();
    void EntryCursorForward();
    void MoveTableRow(bool up);
    void MoveTableColumn(bool left);
    // Acts on the finished text as the current state asks.
    void FinishTextEntry(const ZTL::string& text);
    // The cancel key at cursor 0 without a suggestion: the entry's windows close and its state goes.
    void LeaveTextEntry();
    // The keys' repeat as it was before the entry.
    void EndTextEntryKeys();
    // Where the entry cursor and the table cursor stand on the screen.
    Draw::POINT GetEntryCursorPosition() const;
    Draw::POINT GetTableCursorPosition() const;
    void DrawTextEntryCursors(Draw::ISurface& plane);
    // The plain kana with a dakuten or handakuten form, mapped to it.
    static const std::map<std::string, std::string>& DakutenTable();
    static const std::map<std::string, std::string>& HandakutenTable();

    // ---- Option and key-configuration screens and the suspend (menu_options.cpp).
    std::int32_t captureTarget = -1; // the logical key a key screen captures; -1 none
    std::int32_t capturePause = 0;   // frames the key screen still ignores input
    // Each opener builds its window over the current ones; the caller pushes the state.
    void OpenMessageSpeedList();
    void OpenAutoTurnList();
    // `topOnly`: only the new window is painted, else every dirty window.
    void OpenGraphicOptionList(bool topOnly);
    void OpenKeyboardConfigList(bool topOnly);
    void OpenPadConfigList(bool topOnly);
    // The message history (state 14) or the menu's own list (state 11) from the scroll start on.
    void OpenScrollTextList(bool topOnly);
    // Pushes state 16 (pad) or 17 (keyboard) and opens its screen, with the bindings it starts from: the
    // way into the key screens from every menu.
    void BeginKeyConfigScreen(bool pad);
    // Ends the adventure for later: the message, the end-of-play flag and the suspend guard.
    void SuspendToTitle();
    static void AppendOnOffLabel(ZTL::string& text, bool on);
    // Starts capturing a logical key (0 to 11) with its prompt window.
    void StartKeyCapture(std::int32_t target, bool pad);

    // ---- Ranking view and end of run (menu_ranking.cpp).
    std::vector<std::int32_t> rankingCategories; // the dungeons with records, in list order
    std::int32_t rankingCategory = 0;
    std::int32_t rankingPage = 0;
    void OpenRankingCategoryList();
    // `refresh`: the shown list is replaced, its cursor kept.
    void OpenRankingList(bool refresh);
    // The game state's run record with its place; without the place in state 100.
    void OpenRankingRecord();
    void OpenPasswordCopyPrompt();
    // The page marker of the ranking list.
    void DrawRankingDecorations(Draw::ISurface& plane);
    // ---- The camp menu, the dungeon choice, the training screens and the number entries (menu_camp.cpp).
    std::int32_t listPosition = 0;  // the dungeon list's line, the password history's entry
    std::int32_t enteredNumber = 0; // the number entry's number
    std::int32_t digitPosition = 0; // the digit the number entry changes: 0 ones, 1 tens, 2 hundreds
    // Dropped file names the training screen reads when the scene runs without an application.
    std::vector<ZTL::string> ownDroppedFiles;

    // State 43's window: the camp's nine choices.
    void OpenCampMenu();
    // The dungeon list (unless `redrawOnly`) and the information window of the dungeon under its cursor.
    void OpenDungeonList(bool redrawOnly);
    // A dungeon chosen from the list, or a training run with the registered password: a refusal, or the
    // confirmation of state 45 (normal) or 56 (training).
    void DecideDungeon(std::int32_t dungeon, bool training);
    // The training screen's list (unless `redrawOnly`) and its information window.
    void OpenTrainingScreen(bool redrawOnly);
    // State 50's list of the open dungeons a new password is made for.
    void OpenPasswordDungeonList();
    // The page of the password history holding the list position; entries that no longer decode leave
    // the history first. A page change closes the list and opens it again.
    void OpenPasswordHistory();
    // The number entry of states 48 and 99; `redrawOnly` rewrites the open window's number.
    void OpenNumberEntry(bool redrawOnly);
    // The lowest and highest number the current number entry takes.
    void GetNumberEntryBounds(std::int32_t& low, std::int32_t& high);
    // The underline under the digit the number entry changes.
    void DrawDigitCursor(Draw::ISurface& plane);
    // The history's page and page count beside its list.
    void DrawHistoryPages(Draw::ISurface& plane);
    // The dropped file names: the application's list, or the scene's own without an application.
    std::vector<ZTL::string>& DroppedFiles();

    // ---- The camp shop of the two keepers (menu_camp_shop.cpp) and the warehouse keeper
    // (menu_warehouse.cpp). They share the list position and the digit position above: the buy list's and
    // the catalogue's row, the money entry's digit (0 the ones up to 9).
    std::int32_t listPage = 0;            // the collector's buy list's page, the catalogue's page
    std::vector<std::int32_t> shopSlots;  // the stock slots the buy list offers, in list order
    std::vector<std::int32_t> shopPrices; // their prices
    std::uint32_t amount = 0;             // the money entry's amount
    std::uint32_t maximumAmount = 0;
    std::deque<std::uint16_t> depositQueue; // the items still to be deposited, in list order

    void OpenShopMenu();
    void OpenShopTopics();
    // The buy list of the current state (58 or 64); `redraw` only rebuilds the list window.
    void OpenBuyList(bool redraw);
    // The collector's page arrows over a buy list of two pages.
    void DrawBuyListArrows(Draw::ISurface& plane);
    void OpenBuyConfirmation();
    // "Yes" in the buy confirmation: the item is made and carried first, then paid for.
    void BuyChosenItem();
    void OpenShopSellPrompt();

    void OpenWarehouseMenu();
    // The money window of state 37 (deposit) or 38 (withdrawal); `redraw` only the amount line.
    void OpenMoneyWindow(bool redraw);
    // Stores the queued items until the queue is empty, the warehouse is full or a pot asks its question.
    void ContinueDeposit();
    // The pot question's answer: its contents one by one (`distribute`) or the pot whole.
    void AnswerPotQuestion(bool distribute);
    void DepositChosenItems();
    void WithdrawChosenItems();
    void RegisterChosenItem();
    // The catalogue of weapons (state 40) or shields (41); `redraw` closes the old page first.
    void OpenCatalogue(bool redraw);
    // The kinds the catalogue of the state lists, and whether each was found.
    std::vector<std::pair<std::int32_t, bool>> CatalogueKinds();
    // The keeper's answer in the message window; the menu ends.
    void EndWithKeeperLine(const ZTL::string& text);

    // ---- The save and replay browser of states 81 to 97 (menu_browser.cpp).
    std::map<std::int32_t, ZTL::string> saveList; // save number -> save name, one name a number
    std::vector<ZTL::string> replayList;          // "replay\" + file name, in the folder's order
    std::int32_t browserPage = 0;
    std::int32_t browserCursor = 0;
    // The save numbers the open save list shows, row by row: a page skips the saves it cannot read, so a
    // row's choices act on the save of this list, never on the page's place in the save list.
    std::vector<std::int32_t> browserRows;
    // The names dropped on the window, when set (tests hand in their own): before the application's.
    std::vector<ZTL::string>* droppedFiles = nullptr;

    // The save list read from the save folder; the run files of saves that no longer exist go, and the
    // next save number rises above every listed one.
    void BuildSaveList();
    // The save list, then the data menu's window.
    void OpenDataMenu();
    // The current state's page of saves, three to a page; `refresh` keeps the page and cursor and
    // replaces the open list. A page that shows nothing ends the menu.
    void OpenSaveDataList(bool refresh);
    void OpenReplayMenu();
    // The replay files, ten to a page; without `refresh` the folder is read again.
    void OpenReplayFileList(bool refresh);
    // 0 when the list holds an entry at the index (its number and name go into the game state as the
    // chosen save), 1 when the index lies beyond the end, 2 when it is the end.
    std::int32_t SelectSaveEntry(std::int32_t index);
    // The index in the save list of the save that the row of the open save list shows; beyond the list's
    // end when the row shows none.
    std::int32_t ShownSaveIndex(std::int32_t row) const;
    // The save under the browser's cursor, loaded whole: true when it loaded.
    bool LoadBrowserSave();
    // The name prompt over the text entry of a new save's name.
    void BeginNewDataName();
    bool UpdateDataBrowser(std::uint32_t keyMask);
    // The page marker of an open save or replay list.
    void DrawBrowserPageMarker(Draw::ISurface& plane);

private:
    // The browser's confirm key on an enabled entry of the current state.
    void ChooseBrowserEntry();
    void CopySaveUnderCursor();
    void DeleteSaveUnderCursor();
    void MakeReplayFromSuspendData();

    // The first state and background of the opening request.
    void Open(std::int32_t request);
    void SetDropAccept(bool accept);
    // The world's per-frame motion behind the menu.
    void AnimateWorld(bool fullStep);
    bool IsDoubleSize() const;

    SGameResource* m_game = nullptr;
    CRankingTable* m_ranking = nullptr;
    bool m_imageBackground = false;
    bool m_noStatusBar = false;
    bool m_titleBackground = false;
    bool m_liveWorld = true;
    std::int32_t m_state = 0;
    std::list<std::int32_t> m_stack;
    bool m_rebuildRequest = true;
    bool m_configChanged = false;
    Draw::CDirtyRect m_dirty;
    // Latches of the decide, cancel, menu and direction keys: a key held from before hides until released.
    std::array<bool, 4> m_latches = {true, true, true, false};
    bool m_acceptsFiles = false;
    CKeyThread* m_ownKeys = nullptr;
};

// ---- The handlers of this file's states (menu_game_states.cpp).

// State 1: the game menu over the dungeon.
bool HandleGameMenuRoot(CSceneMenu& menu, std::uint32_t keyMask);
// Every choice window: item commands, foot menu, stairs, settings, give-up, Yes/No, sales, saves.
bool HandleChoice(CSceneMenu& menu, std::uint32_t keyMask);
// A message shown until a key.
bool HandleMessage(CSceneMenu& menu, std::uint32_t keyMask);
// States 2, 3, 7, 24, 30, 33, 35, 39, 60 and 66: the item lists.
bool HandleItemList(CSceneMenu& menu, std::uint32_t keyMask);
// The item pages a list may turn to in a state: bit 0 page 0, bit 1 page 1, bit 2 page 2.
std::uint32_t EnabledItemPages(CSceneMenu& menu, std::int32_t state);
// Two numbers "a/b" in the small digits; nothing when b is 0 or 1. The sprites' x positions.
std::vector<std::int32_t> SmallNumberSprites(std::int32_t first, std::int32_t second, std::int32_t x);
// The sheet cell of an ability slot's icon: empty frame, continuation (of the ability before it) or seal;
// codes above 59 on the second row.
Draw::RECT AbilitySlotIconSource(const std::array<std::uint16_t, 10>& slots, std::int32_t slot, bool dimmed);
// The x of the previous and next page arrows; none for a single page.
std::vector<std::int32_t> PageArrowPositions(std::int32_t x, std::int32_t page, std::int32_t pages);
// The digits of a price on a line of the price column: (x, y, digit), last digit first.
struct SPriceDigit
{
    std::int32_t x, y, digit;
};
std::vector<SPriceDigit> PriceDigits(std::int32_t price, std::int32_t line, std::int32_t state);
// State 5: the item description's pages.
bool HandleDescriptionPages(CSceneMenu& menu, std::uint32_t keyMask);
// States 6, 51, 86 and 93: the text entry.
bool HandleTextEntry(CSceneMenu& menu, std::uint32_t keyMask);

// The field command menu of state 1 with the flags the game state gives.
void OpenGameMenu(CSceneMenu& menu);

// States 11 and 14: the scrolling text lists.
bool HandleScrollTextList(CSceneMenu& menu, std::uint32_t keyMask);
// State 15: the graphic settings.
bool HandleGraphicOptions(CSceneMenu& menu, std::uint32_t keyMask);
// States 16 and 17: the pad and keyboard settings.
bool HandleKeyConfig(CSceneMenu& menu, std::uint32_t keyMask);
// State 18: auto-turn.
bool HandleAutoTurn(CSceneMenu& menu, std::uint32_t keyMask);
// State 19: message speed.
bool HandleMessageSpeed(CSceneMenu& menu, std::uint32_t keyMask);
// State 21: a shown window that only cancel closes.
bool HandleCloseOnCancel(CSceneMenu& menu, std::uint32_t keyMask);
// States 73 to 77: the ranking screens and the end-of-run record.
bool HandleRanking(CSceneMenu& menu, std::uint32_t keyMask);

// ---- Texts of the ranking screens.

// A score of two parts: the high part counts units of 10 000 000. Full-width digits; the low part
// takes seven digits behind a high part that is not 0.
ZTL::string FormatScore(std::uint32_t high, std::uint32_t low);
// The names of the dungeons 0 to 7; empty for any other number.
ZTL::string GetDungeonName(std::int32_t dungeon);
// How a run ended, by its cause (0 to 13); empty for any other cause. Cause 3 names the monster kind
// with its level, or "モンスター" for a kind the game does not know.
ZTL::string GetEndCauseText(const SGameResource& game, std::int32_t cause, std::uint16_t kind,
                            std::uint16_t level);
// The lines of the ranking list for one page of a category; empty when it has no record there.
ZTL::string BuildRankingPageText(const CRankingTable& ranking, std::int32_t category, std::int32_t page);
// The record window's text; `withRank` false leaves the place out.
ZTL::string BuildRankingRecordText(const SGameResource& game, const SRankingData& record, std::int32_t rank,
                                   bool withRank);
// ---- The camp's states (menu_camp.cpp).
bool HandleCampMenu(CSceneMenu& menu, std::uint32_t keyMask);        // 43
bool HandleDungeonList(CSceneMenu& menu, std::uint32_t keyMask);     // 44
bool HandleDungeonConfirm(CSceneMenu& menu, std::uint32_t keyMask);  // 45 and 56
bool HandleTrainingScreen(CSceneMenu& menu, std::uint32_t keyMask);  // 47
bool HandleNumberEntry(CSceneMenu& menu, std::uint32_t keyMask);     // 48 and 99
bool HandlePasswordHistory(CSceneMenu& menu, std::uint32_t keyMask); // 53

// The name of dungeon 1 to 7 ("倉庫" for the camp area, empty for any other number).
const char* CampDungeonName(std::int32_t dungeon);
// The most items the heroine may carry into dungeon 1 to 7 (0: none); 0 for any other number.
std::int32_t CampCarryLimit(std::int32_t dungeon);
// The camp menu's entries, the keepers' named after their first meeting.
ZTL::string BuildCampMenuText(const SGameResource& game);
// The clear rate as the dungeon information shows it: "0", "100", "33.33", "50", " 1".
ZTL::string FormatClearRate(std::int32_t clears, std::int32_t attempts);
// The dungeon information window's text: carry-in limit, attempts and clears, clear rate.
ZTL::string BuildDungeonInfoText(SGameResource& game, std::int32_t dungeon);
// The digit position after left (`left`) or right, for an upper bound of the entry.
std::int32_t MoveDigitPosition(std::int32_t position, std::int32_t upper, bool left);

// ---- Texts of the game menu.

// The settings submenu, one entry a line.
ZTL::string BuildSettingsMenuText(const SGameResource& game);
// The magic circles of the floor as list lines, title first; empty when there is none.
std::vector<ZTL::string> BuildCircleList(SGameResource& game);
// An item's line in the item lists: its colour mark (grey when asked and the item is flagged 0x20, or in
// state 39 for anything but weapons and shields) and its display name.
ZTL::string BuildItemLineText(SGameResource& game, std::uint16_t item, bool greyWhenFlagged,
                              std::int32_t state);
// What lies under the heroine.
ZTL::string BuildFootLineText(SGameResource& game);

// ---- Item descriptions and sell offers.

// The verse of the hint scroll of that number, or the blank-scroll line.
ZTL::string GetHintScrollText(std::int32_t number);
// What the description shows. `shown` false: nothing is described (no trap or circle underfoot).
struct SItemDescription
{
    bool shown = false;
    bool abilityPage = false;
    bool hasAbilityPage = false; // page 0 of a weapon or shield, whose abilities follow on page 1
    ZTL::string text;
    ZTL::string title; // the title window's line; empty in state 42
};
// The description of an item (kNoItem: the floor object under the heroine), or of `kind` when it is
// not negative; `page` non-zero asks for a weapon's or shield's ability page.
SItemDescription BuildItemDescription(SGameResource& game, std::uint16_t item, std::int32_t kind,
                                      std::int32_t page);
// A weapon's or shield's ability lines, or "能力はついていない".
ZTL::string BuildAbilityPageText(const CItemControl& items, const std::array<std::uint16_t, 10>& slots);
// The ids a selling list offers: the marked slots when more than one, else the slot under the cursor;
// warehouse ids in state 35 (or its confirmation 36), item ids otherwise.
std::vector<std::uint16_t> GetOfferedIds(const CSceneMenu& menu, std::int32_t listState);

// ---- Passwords of the camp screens.

// The typed text without white space and without full-width spaces.
ZTL::string PreparePasswordText(const ZTL::string& text);
// Reads the password pair stored in a file (its second and third 32-bit words) and adds it to the
// password history: true when it names a dungeon 1 to 7 and the history took it.
bool ReadPasswordFromFile(SGameResource& game, const ZTL::string& fileName);

// ---- The keys of the text entry and what each asks of it.
enum ETextEntryKey : std::int32_t
{
    kEntryNone = 0,
    kEntryChoose,      // decide or menu: the cell under the table cursor
    kEntryComplete,    // bit 4, naming only: the suggested name
    kEntryCycleMark,   // bit 5
    kEntryNextSet,     // bit 6
    kEntryCursorToEnd, // bit 7: the cursor onto "決定"
    kEntryCancel,      // cancel
    kEntryMoveRow,     // up or down
    kEntryMoveColumn,  // left or right
};
// The key of the mask the entry acts on, and the sound it plays (-1 none). The first key in the order
// above wins.
ETextEntryKey RouteTextEntryKey(std::uint32_t keyMask, std::int32_t state, std::int32_t& sound);

// ---- The camp shop's stock and prices.
struct SShopStockSlot
{
    std::uint16_t kind; // 0xFFFF: an empty slot
    std::int32_t
        factor; // the counter an own-goods slot needs and a purchase takes; the collector's price factor
};
inline constexpr std::int32_t kShopStockSlots = 30;
inline constexpr std::int32_t kCollectorFirstSlot = 10;
const std::array<SShopStockSlot, kShopStockSlots>& GetShopStock();
// The slots the shop of the keeper offers now: the own goods (slots 0 to 9) whose counter has reached
// their factor, or the collector's pieces (10 to 29) whose counter is below 1.
std::vector<std::int32_t> OfferedShopSlots(const SGameResource& game, bool collector);
// A slot's price: the kind's buy price times 2 (own goods) or the factor (the collector's), doubled for a
// pot.
std::int32_t GetShopPrice(const CItemControl& items, std::int32_t slot);
// The amount line of the money entry: a full-width space for each power of ten above the amount, the
// amount in full-width digits and "Ｇ".
ZTL::string BuildAmountLine(std::uint32_t amount);
// An item's list line for a warehouse record, as BuildItemLineText makes it for the table's items.
ZTL::string BuildRecordLineText(const CItemControl& items, const CItemControl::SItem& record);

// States 57 and 63: the shop menu.
bool HandleShopMenu(CSceneMenu& menu, std::uint32_t keyMask);
// States 58 and 64: the buy list.
bool HandleShopBuyList(CSceneMenu& menu, std::uint32_t keyMask);
// States 59 and 65: the buy confirmation.
bool HandleShopBuyConfirmation(CSceneMenu& menu, std::uint32_t keyMask);
// States 62 and 68: the topics.
bool HandleShopTopics(CSceneMenu& menu, std::uint32_t keyMask);
// State 29: the warehouse keeper's menu.
bool HandleWarehouseMenu(CSceneMenu& menu, std::uint32_t keyMask);
// State 31: whether a pot's contents are stored one by one.
bool HandlePotQuestion(CSceneMenu& menu, std::uint32_t keyMask);
// States 32 and 34: the class filter before withdrawing or selling.
bool HandleWarehouseClassFilter(CSceneMenu& menu, std::uint32_t keyMask);
// States 37 and 38: the money amount.
bool HandleMoneyAmount(CSceneMenu& menu, std::uint32_t keyMask);
// States 40 and 41: the catalogues of weapons and shields.
bool HandleCatalogue(CSceneMenu& menu, std::uint32_t keyMask);
