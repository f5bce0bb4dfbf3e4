#include "e2e/floor_player.h"

#include "game/app/app.h"
#include "game/app/scene_control.h"
#include "game/core/directions.h"
#include "game/data/item_classes.h"
#include "game/scenes/menu_keys.h"
#include "game/scenes/menu_scene.h"
#include "game/turn/turn_phases.h"

#include <array>
#include <deque>
#include <string_view>

namespace e2e {
namespace {

using SMonster = CCharacterControl::SMonster;
using SWindow = CSelectWindow::SWindow;

constexpr std::uint32_t Bit(std::int32_t key)
{
    return 1u << key;
}

// The key of each direction (0 down, then clockwise).
constexpr std::array<std::int32_t, 8> kDirectionKeys = {
    DungeonKeys::kKeyDown, DungeonKeys::kKeyDownLeft, DungeonKeys::kKeyLeft,  DungeonKeys::kKeyUpLeft,
    DungeonKeys::kKeyUp,   DungeonKeys::kKeyUpRight,  DungeonKeys::kKeyRight, DungeonKeys::kKeyDownRight};
// The order the search tries the directions in: straight steps before diagonal ones, so that of two
// equally short ways the straighter is taken.
constexpr std::array<std::int32_t, 8> kSearchOrder = {0, 2, 4, 6, 1, 3, 5, 7};

// The heroine walks onto terrain above 4; a diagonal step or blow needs both side cells above 2 (her
// limits outside the circles that change them).
constexpr std::int32_t kWalkLimit = 4;
constexpr std::int32_t kCornerLimit = 2;
// Idle presses without a turn passing after which the player waits a turn instead.
constexpr std::int32_t kPressesBeforeWait = 16;
// Blows that leave the same monster's HP as it was before it counts as one she cannot hurt.
constexpr std::int32_t kHarmlessBlows = 20;
// Presses in one menu visit after which the player only backs out.
constexpr std::int32_t kMenuPressLimit = 200;

// The menu states the player acts in.
enum : std::int32_t
{
    kMenuGameRoot = 1,
    kMenuItemList = 2,
    kMenuItemCommands = 4,
    kMenuTargetList = 7,
    kMenuStairsPrompt = 10,
    kMenuSettings = 13,
    kMenuGiveUpQuestion = 20,
    kMenuChestQuestion = 23,
};
// The game menu's entries.
constexpr std::int32_t kRootItems = 0;
constexpr std::int32_t kRootUnderfoot = 1;
constexpr std::int32_t kRootSettings = 5;

bool OnMap(std::int32_t x, std::int32_t y)
{
    return CMapControl::IsOnMap(x, y);
}

// The cell one step from (x, y) in the direction.
SCellPosition Neighbour(std::int32_t x, std::int32_t y, std::int32_t direction)
{
    std::int32_t dx = 0, dy = 0;
    DirectionToStep(direction, dx, dy);
    return {x + dx, y + dy};
}

std::int32_t Index(std::int32_t x, std::int32_t y)
{
    return x * CMapControl::kHeight + y;
}

const SMapCell& Cell(const CGameState& state, std::int32_t x, std::int32_t y)
{
    return state.map.cells[std::size_t(Index(x, y))];
}

std::int32_t Terrain(const CGameState& state, std::int32_t x, std::int32_t y)
{
    return OnMap(x, y) ? Cell(state, x, y).terrain : 0;
}

bool CornersOpen(const CGameState& state, std::int32_t x, std::int32_t y, std::int32_t d)
{
    std::int32_t dx = 0, dy = 0;
    DirectionToStep(d, dx, dy);
    if (dx == 0 || dy == 0) return true;
    return Terrain(state, x + dx, y) > kCornerLimit && Terrain(state, x, y + dy) > kCornerLimit;
}

// The item record, read only: the control's lookup is not const but changes nothing for a valid index.
const CItemControl::SItem& Item(const CGameState& state, std::uint16_t index)
{
    return const_cast<CGameState&>(state).items.GetItem(index);
}

const SMonster* MonsterAt(const CGameState& state, std::int32_t x, std::int32_t y)
{
    const auto& control = state.characters;
    for (std::uint16_t i = 0; i < control.monsterCount && i < CCharacterControl::kSlots; ++i) {
        const SMonster& m = control.monsters[i];
        if (m.type != kCharacterEmpty && m.x == x && m.y == y && m.hp > 0) return &m;
    }
    return nullptr;
}

// Out of reach of her blows: under water or inside a wall. The character's tests are not const but change
// nothing.
bool OutOfReach(const CGameState& state, const SMonster& monster)
{
    auto& game = const_cast<CGameState&>(state);
    auto& m = const_cast<SMonster&>(monster);
    return m.IsSubmerged(game) || m.IsInsideWall(game);
}

// ---- Select windows.

// A line's text without its leading blanks (single-byte spaces and the double-byte one).
std::string_view Label(const CSelectWindow::SItem& item)
{
    std::string_view text(item.text.c_str(), item.text.size());
    for (;;) {
        if (text.starts_with(' ')) {
            text.remove_prefix(1);
        } else if (text.starts_with("\x81\x40")) {
            text.remove_prefix(2);
        } else {
            return text;
        }
    }
}

std::int32_t FindLine(const SWindow& window, std::string_view label)
{
    for (std::size_t i = 0; i < window.items.size(); ++i)
        if (Label(window.items[i]) == label) return std::int32_t(i);
    return -1;
}

// The key that brings the cursor to the line, or chooses it once there (cancel for a line that cannot be
// chosen).
std::uint32_t ChooseLine(const SWindow* window, std::int32_t line)
{
    if (window == nullptr || line < 0) return MenuKeys::kKeyCancel;
    const auto n = std::int32_t(window->items.size());
    if (line >= n) return MenuKeys::kKeyCancel;
    const std::int32_t cursor = window->cursor;
    // Nothing chosen yet (a fresh Yes/No): down selects the first line.
    if (cursor >= n) return MenuKeys::kKeyDown;
    if (cursor == line)
        return window->items[std::size_t(line)].enabled != 0 ? MenuKeys::kKeyDecide : MenuKeys::kKeyCancel;
    if (window->type == CSelectWindow::kTypeCommandMenu) {
        const std::int32_t rows = (n + 1) / 2;
        if (cursor / rows != line / rows) return MenuKeys::kKeyRight;
    }
    return MenuKeys::kKeyDown;
}

// The first carried scroll that can be read (neither wet nor frozen); -1 for none.
std::int32_t FirstScrollSlot(const CGameState& state)
{
    for (std::size_t slot = 0; slot < state.inventory.size(); ++slot) {
        const std::uint16_t id = state.inventory[slot];
        if (id == CItemControl::kNone) continue;
        const auto& item = Item(state, id);
        if (item.itemClass != kItemClassScroll) continue;
        if ((item.flags & (CItemControl::kWet | CItemControl::kFrozen)) != 0) continue;
        return std::int32_t(slot);
    }
    return -1;
}

bool BagFull(const CGameState& state)
{
    for (const std::uint16_t id : state.inventory)
        if (id == CItemControl::kNone) return false;
    return true;
}

// ---- The breadth-first search over the floor.

struct SSearch
{
    // The first step from the heroine's cell towards each cell reached, -1 where none was.
    std::array<std::int8_t, CMapControl::kWidth * CMapControl::kHeight> firstStep{};
    std::vector<std::int32_t> order; // cells (x * 44 + y) in the order reached, the start first
};

} // namespace

std::int32_t CFloorPlayer::GetTurns(const CGameState& state) const
{
    return m_turnsBefore + state.floorTime / 6;
}

void CFloorPlayer::OnNewFloor()
{
    m_scrollRead = false;
    m_readSlot = -1;
    m_skippedItemCells.clear();
    m_unhurtable.clear();
    m_lastTarget = CCharacterControl::kNoSlot;
    m_blowsWithoutHarm = 0;
    m_pressesWithoutTurn = 0;
    m_lastFloorTime = -1;
}

void CFloorPlayer::TrackFloor(const CGameState& state)
{
    const std::int32_t key = state.dungeon * 1000 + state.floor;
    if (key != m_floorKey) {
        if (m_floorKey != -1 && m_lastFloorTime > 0) m_turnsBefore += m_lastFloorTime / 6;
        m_floorKey = key;
        OnNewFloor();
    }
    if (state.floorTime != m_lastFloorTime) {
        m_lastFloorTime = state.floorTime;
        m_pressesWithoutTurn = 0;
    }
}

std::uint32_t CFloorPlayer::NextKeys(const CGameState& state)
{
    const CSceneControl* control = m_sceneControl;
    if (control == nullptr && g_app != nullptr) control = g_app->GetSceneControl();
    if (control == nullptr || control->GetCommand() != CSceneControl::kCommandNone) return 0;
    QuorlithGameBase::IScene* scene = control->GetCurrentScene();
    if (const auto* menu = dynamic_cast<const CSceneMenu*>(scene)) return MenuKeys(*menu, state);
    if (const auto* floor = dynamic_cast<const CSceneGameMain*>(scene)) return FloorKeys(*floor, state);
    return 0;
}

std::uint32_t CFloorPlayer::NextKeys(const SPlayView& view)
{
    if (view.app == nullptr || view.game == nullptr) return 0;
    m_sceneControl = view.app->GetSceneControl();
    return NextKeys(*view.game);
}

std::uint32_t CFloorPlayer::MenuKeys(const CSceneMenu& menu, const CGameState& state)
{
    if (++m_menuPresses > kMenuPressLimit) return MenuKeys::kKeyCancel;
    const SWindow* window = state.selectWindow.FindActiveWindow();
    const std::int32_t menuState = menu.GetState();
    if (m_goal == kGoalRead) m_scrollRead = true;
    switch (menuState) {
    case kMenuGameRoot:
        switch (m_goal) {
        case kGoalDescend:
            return ChooseLine(window, kRootUnderfoot);
        case kGoalRead:
            return ChooseLine(window, kRootItems);
        case kGoalGiveUp:
            return ChooseLine(window, kRootSettings);
        default:
            return MenuKeys::kKeyCancel;
        }
    case kMenuStairsPrompt:
        // The first line goes on: down the stairs, or out of the dungeon beyond its last floor.
        return ChooseLine(window, 0);
    case kMenuItemList:
        if (m_goal != kGoalRead || m_readSlot < 0) return MenuKeys::kKeyCancel;
        if (menu.itemList.page != m_readSlot / 10) return MenuKeys::kKeyRight;
        return ChooseLine(window, m_readSlot % 10);
    case kMenuItemCommands:
        if (m_goal != kGoalRead || window == nullptr) return MenuKeys::kKeyCancel;
        return ChooseLine(window, FindLine(*window, "読む"));
    case kMenuTargetList:
        // A scroll that works on another item takes the first one listed.
        return ChooseLine(window, 0);
    case kMenuSettings:
        if (m_goal != kGoalGiveUp || window == nullptr) return MenuKeys::kKeyCancel;
        return ChooseLine(window, FindLine(*window, "冒険を諦める"));
    case kMenuGiveUpQuestion:
        if (m_goal != kGoalGiveUp) return MenuKeys::kKeyCancel;
        if (window != nullptr && window->cursor == 0) m_gaveUp = true;
        return ChooseLine(window, 0);
    case kMenuChestQuestion:
        return ChooseLine(window, 0);
    default:
        // Anything else (a shopkeeper's offer, a message, a description) is backed out of.
        return MenuKeys::kKeyCancel;
    }
}

std::uint32_t CFloorPlayer::FloorKeys(const CSceneGameMain& scene, const CGameState& state)
{
    m_menuPresses = 0;
    m_goal = kGoalNone;
    TrackFloor(state);
    const auto& messages = state.messageWindow;
    const bool messageBusy = !messages.pending.empty() || messages.waitCounter != 0 ||
                             messages.scrollCounter != 0 || !messages.currentRevealWidths.empty() ||
                             messages.takeNext != 0;
    if (state.waitForKey != 0 || messageBusy) return Bit(kKeySkip);
    if (scene.turnState != 0 || !state.playerCommands.empty() || scene.descending != 0 ||
        scene.fadeLength > 0 || state.messageHold > 0 || state.playMode != kPlayNormal)
        return 0;
    const auto& player = state.characters.player;
    if (player.hp <= 0) return 0;

    if (GetTurns(state) >= kGiveUpTurns && !m_gaveUp) {
        m_goal = kGoalGiveUp;
        return Bit(kKeyMenu);
    }
    // Presses that pass no turn (a blocked step, a turn on the spot) end in a turn waited where she
    // stands, so that a floor never stands still.
    if (++m_pressesWithoutTurn > kPressesBeforeWait) {
        m_pressesWithoutTurn = 0;
        return Bit(kKeyAct) | Bit(kKeyCancel);
    }

    std::uint16_t slot = CCharacterControl::kNoSlot;
    const std::int32_t direction = FindAdjacentTarget(state, slot);
    if (direction >= 0) {
        if (player.direction != direction) return Bit(kDirectionKeys[std::size_t(direction)]);
        const std::int32_t hp = state.characters.monsters[slot].hp;
        if (slot == m_lastTarget && hp >= m_lastTargetHp) {
            if (++m_blowsWithoutHarm >= kHarmlessBlows) m_unhurtable.insert(slot);
        } else {
            m_blowsWithoutHarm = 0;
        }
        m_lastTarget = slot;
        m_lastTargetHp = hp;
        return Bit(kKeyAct);
    }

    if (!m_scrollRead) {
        m_readSlot = FirstScrollSlot(state);
        if (m_readSlot >= 0) {
            m_goal = kGoalRead;
            return Bit(kKeyMenu);
        }
    }

    // An item still under her after a step was not taken (her bag is full, or she ran onto it).
    const SMapCell& here = Cell(state, player.x, player.y);
    if (here.objectKind == kObjectItem) m_skippedItemCells.insert(Index(player.x, player.y));
    const bool stairsOpen = state.floor != m_holdFloor || state.floorTime / 6 >= m_holdTurns;
    if (here.objectKind == kObjectStairs && stairsOpen) {
        m_goal = kGoalDescend;
        return Bit(kKeyMenu);
    }
    if (const std::uint32_t keys = StepKeys(state, stairsOpen); keys != 0) return keys;
    return Bit(kKeyAct) | Bit(kKeyCancel);
}

std::int32_t CFloorPlayer::FindAdjacentTarget(const CGameState& state, std::uint16_t& slot) const
{
    const auto& player = state.characters.player;
    const auto& control = state.characters;
    for (std::int32_t d = 0; d < 8; ++d) {
        const auto [x, y] = Neighbour(player.x, player.y, d);
        if (!OnMap(x, y) || Terrain(state, x, y) <= kCornerLimit ||
            !CornersOpen(state, player.x, player.y, d))
            continue;
        for (std::uint16_t i = 0; i < control.monsterCount && i < CCharacterControl::kSlots; ++i) {
            const SMonster& m = control.monsters[i];
            if (m.x != x || m.y != y || m.IsGone()) continue;
            if (m.type != kCharacterHostile || m_unhurtable.count(i) != 0 || OutOfReach(state, m)) continue;
            slot = i;
            return d;
        }
    }
    return -1;
}

std::uint32_t CFloorPlayer::StepKeys(const CGameState& state, bool stairsOpen)
{
    const auto& player = state.characters.player;
    const auto blocked = [&](std::int32_t x, std::int32_t y) {
        const SMonster* m = MonsterAt(state, x, y);
        if (m == nullptr) return false;
        // Shopkeepers and peaceful characters change places with her while awake.
        const bool swaps = (m->type == kCharacterShopkeeper || m->type == kCharacterPeaceful) &&
                           m->sleepState == 0 && m->status.sleepTurns == 0 && m->status.paralysisTurns == 0 &&
                           m->status.frozenTurns == 0;
        if (swaps) return false;
        // A hostile monster is fought when it stands beside her; one she cannot hurt is walked around.
        if (m->type == kCharacterHostile)
            for (std::uint16_t i = 0; i < CCharacterControl::kSlots; ++i)
                if (&state.characters.monsters[i] == m) return m_unhurtable.count(i) != 0;
        return true;
    };
    const auto knownTrap = [&](const SMapCell& cell) {
        return cell.objectShown != 0 &&
               (cell.objectKind == kObjectTrap || cell.objectKind == kObjectTreasureSpot);
    };

    SSearch search;
    search.firstStep.fill(-1);
    std::deque<std::int32_t> queue;
    const std::int32_t start = Index(player.x, player.y);
    search.firstStep[std::size_t(start)] = 8;
    queue.push_back(start);
    // The nearest unexplored cell she could walk onto, reached from explored ground.
    std::int32_t frontier = -1;
    while (!queue.empty()) {
        const std::int32_t at = queue.front();
        queue.pop_front();
        search.order.push_back(at);
        const std::int32_t x = at / CMapControl::kHeight, y = at % CMapControl::kHeight;
        for (const std::int32_t d : kSearchOrder) {
            const auto [nx, ny] = Neighbour(x, y, d);
            if (!OnMap(nx, ny)) continue;
            const std::int32_t next = Index(nx, ny);
            if (search.firstStep[std::size_t(next)] != -1) continue;
            if (Terrain(state, nx, ny) <= kWalkLimit || !CornersOpen(state, x, y, d) || blocked(nx, ny))
                continue;
            const SMapCell& cell = Cell(state, nx, ny);
            const std::int8_t step = at == start ? std::int8_t(d) : search.firstStep[std::size_t(at)];
            if (cell.explored == 0) {
                if (frontier < 0) {
                    frontier = next;
                    search.firstStep[std::size_t(next)] = step;
                }
                continue;
            }
            if (knownTrap(cell)) continue;
            search.firstStep[std::size_t(next)] = step;
            queue.push_back(next);
        }
    }

    const auto stepTo = [&](std::int32_t cell) {
        return Bit(kDirectionKeys[std::size_t(search.firstStep[std::size_t(cell)])]);
    };
    const bool bagFull = BagFull(state);
    for (const std::int32_t at : search.order) {
        if (at == start) continue;
        const std::int32_t x = at / CMapControl::kHeight, y = at % CMapControl::kHeight;
        const SMapCell& cell = Cell(state, x, y);
        if (cell.objectKind != kObjectItem || cell.objectShown == 0 || m_skippedItemCells.count(at) != 0)
            continue;
        const auto& item = Item(state, cell.objectId);
        if ((item.flags & CItemControl::kShopGoods) != 0) continue;
        if (bagFull && item.itemClass != kItemClassGold) continue;
        return stepTo(at);
    }
    if (stairsOpen && state.map.stairsKnown != 0 && OnMap(state.map.stairsX, state.map.stairsY)) {
        const std::int32_t stairs = Index(state.map.stairsX, state.map.stairsY);
        if (stairs != start && search.firstStep[std::size_t(stairs)] >= 0 &&
            search.firstStep[std::size_t(stairs)] < 8)
            return stepTo(stairs);
    }
    if (frontier >= 0) return stepTo(frontier);
    return 0;
}

} // namespace e2e
