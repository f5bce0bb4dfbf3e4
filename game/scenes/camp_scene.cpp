#include "game/scenes/camp_scene.h"

#include "game/app/game_resource.h"

#include <vector>

namespace {
constexpr std::int32_t kCommandGroupEnd = 0;
constexpr std::int32_t kCommandItem = 8;
constexpr std::int32_t kCommandGroup = 14;
constexpr std::int32_t kItemDiscard = 12;
constexpr std::uint16_t kNone = CItemControl::kNone;

bool IsCursedEquipment(const SGameResource& game, std::uint16_t index, const CItemControl::SItem& item)
{
    if ((item.flags & CItemControl::kCursed) == 0) return false;
    return (index == game.equippedWeapon && item.itemClass == kItemClassWeapon) ||
           (index == game.equippedShield && item.itemClass == kItemClassShield);
}
} // namespace

void CSceneCamp::ApplyQueuedItemCommands()
{
    std::deque<SPlayerCommand>& commands = m_game.playerCommands;
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
        m_game.items.KeepOnlyCarriedItems(m_game);
        return;
    }

    const SPlayerCommand command = commands.front();
    if (command.kind == kCommandItem && command.arg3 == kItemDiscard) CampDiscardItem(*this, command);
    commands.pop_front();
    m_game.items.KeepOnlyCarriedItems(m_game);
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
