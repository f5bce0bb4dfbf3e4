#include "game/scenes/menu_scene.h"

#include "game/scenes/menu_keys.h"

#include "game/app/app.h"
#include "game/app/game_resource.h"
#include "game/app/key_thread.h"
#include "game/asset_ids.h"
#include "game/characters/adventure.h"
#include "game/characters/character_drawing.h"
#include "game/characters/room_events.h"
#include "game/data/global_data.h"
#include "game/scenes/menu_browser.h"
#include "game/scenes/portraits.h"
#include "game/scenes/screen_panels.h"
#include "platform/window.h"

#include <algorithm>

namespace {

using namespace MenuKeys;

// The keys of the four latches, in the latches' order.
constexpr std::array<std::uint32_t, 4> kLatchKeys = {kKeyDecide, kKeyCancel, kKeyMenu, kKeyDirections};

constexpr std::int32_t kScreenWidth = 320;
constexpr std::int32_t kScreenHeight = 240;

// The double-size flag of the previous frame, shared by every menu opened: a change made while no menu
// was open rebuilds the next menu's background too.
bool g_lastDoubleSize = false;
bool g_lastDoubleSizeKnown = false;

// Every state has its handler below; this default only guards the table, and ends the menu.
bool HandleUnbuiltState(CSceneMenu& menu, std::uint32_t)
{
    menu.PushState(0);
    return true;
}

constexpr std::array<CSceneMenu::StateHandler, CSceneMenu::kStateCount> BuildStateTable()
{
    std::array<CSceneMenu::StateHandler, CSceneMenu::kStateCount> table{};
    for (auto& handler : table)
        handler = HandleUnbuiltState;
    const auto set = [&table](std::initializer_list<std::int32_t> states, CSceneMenu::StateHandler handler) {
        for (std::int32_t state : states)
            table[std::size_t(state - 1)] = handler;
    };
    set({1}, HandleGameMenuRoot);
    set({4, 8, 9, 10, 13, 20, 23, 25, 26, 27, 28, 36, 50, 61, 67, 69, 70, 78, 80}, HandleChoice);
    set({2, 3, 7, 24, 30, 33, 35, 39, 60, 66}, HandleItemList);
    set({5}, HandleDescriptionPages);
    set({6, 51, 86, 93}, HandleTextEntry);
    set({29}, HandleWarehouseMenu);
    set({31}, HandlePotQuestion);
    set({32, 34}, HandleWarehouseClassFilter);
    set({37, 38}, HandleMoneyAmount);
    set({40, 41}, HandleCatalogue);
    set({57, 63}, HandleShopMenu);
    set({58, 64}, HandleShopBuyList);
    set({59, 65}, HandleShopBuyConfirmation);
    set({62, 68}, HandleShopTopics);
    set({12, 22, 42, 46, 49, 52, 54, 55, 71, 72, 79, 98, 100}, HandleMessage);
    set({11, 14}, HandleScrollTextList);
    set({15}, HandleGraphicOptions);
    set({16, 17}, HandleKeyConfig);
    set({18}, HandleAutoTurn);
    set({19}, HandleMessageSpeed);
    set({21}, HandleCloseOnCancel);
    set({73, 74, 75, 76, 77}, HandleRanking);
    set({43}, HandleCampMenu);
    set({44}, HandleDungeonList);
    set({45, 56}, HandleDungeonConfirm);
    set({47}, HandleTrainingScreen);
    set({48, 99}, HandleNumberEntry);
    set({53}, HandlePasswordHistory);
    set({81, 82, 83, 84, 85, 87, 88, 89, 90, 91, 92, 94, 95, 96, 97}, HandleDataBrowser);
    return table;
}

constexpr std::array<CSceneMenu::StateHandler, CSceneMenu::kStateCount> kStateTable = BuildStateTable();

bool IsLiveWorldState(std::int32_t state)
{
    return state == 9 || state == 10 || state == 23;
}

bool IsAcceptingState(std::int32_t state)
{
    return state == CSceneMenu::kPasswordFileState || state == CSceneMenu::kReplayListState;
}

// A logical rectangle in the plane's pixels.
Draw::RECT Scaled(const Draw::RECT& r, bool doubled)
{
    const std::int32_t s = doubled ? 2 : 1;
    return Draw::RECT{r.left * s, r.top * s, r.right * s, r.bottom * s};
}

} // namespace

CSceneMenu::StateHandler CSceneMenu::GetStateHandler(std::int32_t state)
{
    if (state < 1 || state > kStateCount) return nullptr;
    return kStateTable[std::size_t(state - 1)];
}

CSceneMenu::CSceneMenu(CSceneControl* control, SGameResource* game) : CSceneSupport(control)
{
    m_game = game != nullptr ? game : CSceneSupport::m_game;
    CSceneSupport::m_game = m_game;
    if (g_app != nullptr) m_ranking = &g_app->GetRankingTable();

    std::int32_t request = 0;
    if (control != nullptr) control->GetFactory()->TakeSceneParameter(&request);
    // The game-main scene leaves its keys reporting every frame while held; in a menu one press must
    // decide once, or a single press runs on through the windows it opens.
    Keys().SetAllKeyStates(128);
    Keys().ClearKeyTables();
    // Without a game state there is nothing to show: the first update leaves.
    if (m_game == nullptr) return;

    SGameResource& g = Game();
    g.menuAnswer = 0;
    itemList = SItemListData{};
    itemList.carriedCount = std::int32_t(std::count_if(g.inventory.begin(), g.inventory.end(),
                                                       [](std::uint16_t slot) { return slot != kNoItem; }));
    g.selectWindow.Reset();
    // The message window keeps its lines and its history; only its surface is made again.
    g.messageWindow.redrawRequest = 1;
    Open(request);
}

bool CSceneMenu::DecidesOnEnabledLine(std::uint32_t keyMask) const
{
    const CSelectWindow& window = Game().selectWindow;
    return (keyMask & (kKeyDecide | kKeyMenu)) != 0 && window.GetCursor() >= 0 && window.IsSelectionEnabled();
}

CSceneMenu::~CSceneMenu()
{
    if (m_acceptsFiles) SetDropAccept(false);
    delete m_ownKeys;
}

void CSceneMenu::Open(std::int32_t request)
{
    SGameResource& g = Game();
    const auto image = [this](bool statusBar) {
        m_imageBackground = true;
        m_noStatusBar = !statusBar;
    };
    switch (request) {
    case -3:
        image(false);
        m_latches[3] = true;
        PushState(23);
        g.selectWindow.OpenYesNo(16, 100, false);
        break;
    case -2:
        m_titleBackground = true;
        PushState(81);
        OpenDataMenu();
        break;
    case -1:
        image(true);
        PushState(43);
        OpenCampMenu();
        break;
    case 0:
        m_state = 1;
        OpenGameMenu(*this);
        break;
    case 1:
        m_liveWorld = false;
        m_latches[3] = true;
        PushState(10);
        OpenStairsPrompt();
        break;
    case 2:
        m_liveWorld = false;
        m_latches[3] = true;
        PushState(9);
        OpenFootItem();
        break;
    case 3:
        m_liveWorld = false;
        m_latches[3] = true;
        PushState(23);
        g.selectWindow.OpenYesNo(16, 128, false);
        break;
    case 4:
        PushState(24);
        itemList.page = 0;
        itemList.row = 0;
        g.selectWindow.Open(16, 16, true, -1, -1, -1, false, "「ドレヲ売リマスカ？」");
        OpenItemList(kNoItem);
        break;
    case 5:
        PushState(26);
        OpenAbilityList();
        break;
    case 6: {
        const auto at = std::find(g.inventory.begin(), g.inventory.end(), g.itemToShow);
        if (g.itemToShow == kNoItem || at == g.inventory.end()) {
            PushState(0);
            break;
        }
        const std::int32_t slot = std::int32_t(at - g.inventory.begin());
        itemList.page = slot / 10;
        itemList.row = slot % 10;
        PushState(2);
        OpenItemList(kNoItem);
        break;
    }
    case 7:
        PushState(76);
        OpenRankingRecord();
        break;
    case 8:
        image(true);
        PushState(80);
        g.selectWindow.Open(-1, -1, false, -1, -1, 0, false,
                            g.trainingRun ? "　同じパスワードで再び特訓する\n　拠点に戻る"
                                          : "　再び挑戦する\n　拠点に戻る");
        break;
    case 9:
        PushState(29);
        OpenWarehouseMenu();
        break;
    case 10:
    case 11:
    case 12:
    case 13:
        image(true);
        PushState(request == 10 || request == 12 ? 57 : 63);
        OpenShopMenu();
        // The camp reopens the shop on its topics after a topic's scenario.
        if (request >= 12) OpenShopTopics();
        break;
    case 20:
        enteredNumber = g.floor;
        digitPosition = 0;
        PushState(99);
        OpenNumberEntry(false);
        break;
    default:
        PushState(0);
        break;
    }
}

CKeyThread& CSceneMenu::Keys()
{
    CSceneControl* control = GetSceneControl();
    if (control != nullptr && control->GetKeyObject().get() != nullptr) return *control->GetKeyObject();
    if (m_ownKeys == nullptr) m_ownKeys = new CKeyThread;
    return *m_ownKeys;
}

void CSceneMenu::PlaySound(std::int32_t number)
{
    PlaySoundEffect(Game(), number);
}

void CSceneMenu::SetSceneParameter(std::int32_t value)
{
    CSceneControl* control = GetSceneControl();
    if (control != nullptr) control->GetFactory()->SetSceneParameter(value);
}

void CSceneMenu::SetDropAccept(bool accept)
{
    m_acceptsFiles = accept;
    if (g_app != nullptr && g_app->GetWindowHandle() != nullptr)
        platform::DragAcceptFiles(g_app->GetWindowHandle(), accept);
}

void CSceneMenu::PushState(std::int32_t state)
{
    m_stack.push_back(m_state);
    m_state = state;
    SetDropAccept(IsAcceptingState(state));
}

void CSceneMenu::PopState()
{
    if (IsAcceptingState(m_state)) SetDropAccept(false);
    if (m_stack.empty()) {
        m_state = 0;
    } else {
        m_state = m_stack.back();
        m_stack.pop_back();
    }
    if (IsAcceptingState(m_state)) SetDropAccept(true);
    itemList.selected = {kNoItem, kNoItem};
}

bool CSceneMenu::Dispatch(std::int32_t state, std::uint32_t keyMask)
{
    StateHandler handler = GetStateHandler(state);
    if (handler == nullptr) {
        if (CSceneControl* control = GetSceneControl(); control != nullptr) control->RequestReturn();
        return true;
    }
    return handler(*this, keyMask);
}

void CSceneMenu::CloseTopWindow()
{
    Game().selectWindow.CloseTop(true, &m_dirty);
    RedrawWindows();
}

void CSceneMenu::CloseWindowGroup()
{
    Game().selectWindow.CloseGroup(&m_dirty);
    RedrawWindows();
}

void CSceneMenu::RedrawWindows()
{
    Game().selectWindow.DrawDirty(Game(), &m_dirty);
}

bool CSceneMenu::IsDoubleSize() const
{
    return g_globalData.doubleSize;
}

CSceneMenu::EBackground CSceneMenu::GetBackground() const
{
    if (m_titleBackground) return kBackgroundTitle;
    return m_imageBackground ? kBackgroundImage : kBackgroundWorld;
}

void CSceneMenu::AnimateWorld(bool fullStep)
{
    SGameResource& g = Game();
    UpdatePortraitFades(g);
    UpdateDungeonFrame(g);
    g.map.AdvanceAnimation();
    if (fullStep) {
        // The figures keep their animation while the menu lets the world move.
        const auto step = [](CCharacterControl::SCharacter& c) {
            if (c.phaseModulus > 0) c.animPhase = (c.animPhase + 1) % c.phaseModulus;
        };
        step(g.characters.player);
        for (std::uint16_t i = 0; i < g.characters.monsterCount; ++i)
            if (g.characters.monsters[i].kindId != 0xFFFF) step(g.characters.monsters[i]);
    }
    g.characters.UpdateAnimation(g);
    g.map.UpdateMinimapMarks(g);
}

void CSceneMenu::OnMove(const std::uint32_t* keyMaskIn)
{
    if (m_game == nullptr) {
        Dispatch(0, 0);
        return;
    }
    SGameResource& g = Game();
    const std::uint32_t rawMask = keyMaskIn != nullptr ? *keyMaskIn : 0;
    const bool displayChanged = g_app != nullptr && g_app->IsDisplayChanged();
    const bool doubled = IsDoubleSize();
    if (!g_lastDoubleSizeKnown) {
        g_lastDoubleSize = doubled;
        g_lastDoubleSizeKnown = true;
    }

    if (m_rebuildRequest || displayChanged || doubled != g_lastDoubleSize) {
        m_rebuildRequest = false;
        g_lastDoubleSize = doubled;
        if (!m_titleBackground) {
            if (!m_imageBackground) AnimateWorld(false);
            g.messageWindow.Update(0, g, Keys(), displayChanged);
        }
        RefreshBackgroundPlane();
        m_dirty.AddRect(0, 0, kScreenWidth, kScreenHeight);
        // The list's price column is filled again for the items it shows now.
        FillPriceColumn();
        g.selectWindow.Update(0, g, displayChanged);
        g.selectWindow.DrawAll(g);
        g.messageWindow.redrawRequest = 1;
    }

    if (m_configChanged) {
        m_configChanged = false;
        g.selectWindow.translucent = g.config.translucentWindows ? 1 : 0;
        g.selectWindow.textAlpha = g.config.smoothFont ? 1 : 0;
        g.messageWindow.translucent = g.config.translucentWindows ? 1 : 0;
        g.messageWindow.textAlpha = g.config.smoothFont ? 1 : 0;
        g.selectWindow.SetAlphaSurface(g.config.translucentWindows);
        g.selectWindow.SetTextAlphaMode(g.config.smoothFont);
        g.messageWindow.SetAlphaSurface(g.config.translucentWindows);
        g.messageWindow.SetTextAlphaMode(g.config.smoothFont);
        g.selectWindow.DrawAll(g);
        m_dirty.AddRect(0, 0, kScreenWidth, kScreenHeight);
    }

    if (!m_titleBackground) {
        if (m_imageBackground) {
            g.messageWindow.Update(rawMask, g, Keys(), displayChanged);
        } else if ((IsLiveWorldState(m_state) && !m_liveWorld) || g.config.menuBackgroundMoves) {
            AnimateWorld(true);
            g.messageWindow.Update(rawMask, g, Keys(), displayChanged);
        }
    }

    std::uint32_t keyMask = rawMask;
    for (std::size_t i = 0; i < m_latches.size(); ++i) {
        if (!m_latches[i]) continue;
        if ((rawMask & kLatchKeys[i]) != 0) {
            keyMask = 0;
        } else {
            m_latches[i] = false;
        }
    }

    if (Keys().IsCapturing()) return;
    if (!Dispatch(m_state, keyMask)) {
        // After the window surface was rebuilt the command window opens anew for the list's cursor and
        // marks. Only state 4 has it on top; in state 8 the destroy confirmation stands above it.
        if (g.selectWindow.Update(keyMask, g, displayChanged) && m_state == 4) RefreshItemCommandMenu();
    }
    // Windows opened or uncovered this frame are painted onto the select surface.
    const auto& windows = g.selectWindow.windows;
    if (std::any_of(windows.begin(), windows.end(),
                    [](const CSelectWindow::SWindow& w) { return w.dirty != 0; }))
        RedrawWindows();
}

void CSceneMenu::RefreshBackgroundPlane()
{
    Draw::CFastPlane& plane = GetPlane();
    if (Game().config.menuBackgroundMoves) {
        plane.Release();
        return;
    }
    const std::int32_t s = IsDoubleSize() ? 2 : 1;
    std::int32_t w = 0, h = 0;
    if (plane.GetSize(&w, &h) != 0 || w != kScreenWidth * s || h != kScreenHeight * s)
        plane.CreateSurface(kScreenWidth * s, kScreenHeight * s, false);
    DrawBackground(plane);
}

void CSceneMenu::DrawBackground(Draw::ISurface& target)
{
    SGameResource& g = Game();
    switch (GetBackground()) {
    case kBackgroundTitle:
        BltImageCopy(target, kImageTitle, 0, 0);
        DrawPortraits(g, target, true);
        break;
    case kBackgroundImage:
        BltImageCopy(target, kImageCamp, 0, 0);
        DrawPortraits(g, target, true);
        if (!m_noStatusBar) DrawStatusBar(target, g);
        break;
    case kBackgroundWorld:
        g.map.DrawMap(g, target);
        DrawVanishingObjects(target, g);
        DrawAllCharacters(g.characters, target, g, false);
        DrawStatusBar(target, g);
        DrawPortraits(g, target, true);
        break;
    }
}

void CSceneMenu::OnDraw(Draw::ISurface* planePointer)
{
    if (m_state == 0 || planePointer == nullptr) return;
    Draw::ISurface& plane = *planePointer;
    SGameResource& g = Game();
    const bool doubled = IsDoubleSize();
    Draw::CFastPlane& windows = g.selectWindow.GetSurface();
    const bool alphaWindows = windows.GetPixelType() >= Draw::kPixelA565;
    // The part of the select surface under a logical rectangle onto the plane.
    const auto copyWindows = [&](const Draw::RECT& logical, bool keyed) {
        const Draw::RECT r = Scaled(logical, doubled);
        if (alphaWindows) {
            BltBlend(plane, windows, r.left, r.top, 255, nullptr, &r);
        } else if (keyed) {
            windows.SetColorKey(0);
            BltColorKey(plane, windows, r.left, r.top, nullptr, &r);
        } else {
            BltCopy(plane, windows, r.left, r.top, nullptr, &r);
        }
    };

    if (IsLiveWorldState(m_state) && !m_liveWorld) {
        DrawBackground(plane);
        Draw::CDirtyRect rects = g.selectWindow.GetWindowRects();
        for (int i = 0; i < rects.GetCount(); ++i)
            copyWindows(rects.GetRects()[i], false);
        g.selectWindow.DrawCursors(plane);
        g.messageWindow.Draw(plane);
    } else if (!g.config.menuBackgroundMoves) {
        m_dirty.Optimize();
        for (int i = 0; i < m_dirty.GetCount(); ++i) {
            const Draw::RECT r = Scaled(m_dirty.GetRects()[i], doubled);
            BltCopy(plane, GetPlane(), r.left, r.top, nullptr, &r);
            copyWindows(m_dirty.GetRects()[i], true);
        }
        m_dirty.Clear();
        // The arrows report where they stand, so that the next frame restores what they cover.
        g.selectWindow.DrawCursors(plane, &m_dirty);
    } else {
        DrawBackground(plane);
        g.selectWindow.Draw(plane);
        g.selectWindow.DrawCursors(plane);
        m_dirty.Clear();
    }
    if (m_state == kNamingEntryState || m_state == kPasswordEntryState || m_state == 86 || m_state == 93)
        DrawTextEntryCursors(plane);
    DrawRankingDecorations(plane);
    DrawItemListDecorations(plane, doubled);
    if (m_state == 37 || m_state == 38 || m_state == 48) DrawDigitCursor(plane);
    if (m_state == 53) DrawHistoryPages(plane);
    DrawBuyListArrows(plane);
    DrawBrowserPageMarker(plane);
}
