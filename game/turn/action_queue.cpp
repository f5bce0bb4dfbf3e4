#include "game/turn/action_queue.h"

#include "game/app/game_resource.h"
#include "game/characters/cell_actions.h"
#include "game/characters/monster_special_actions.h"
#include "game/characters/shopkeepers.h"
#include "game/characters/thrown_items.h"
#include "game/items/pots.h"
#include "game/items/staff_actions.h"
#include "game/items/use_actions.h"
#include "game/turn/actions.h"
#include "game/world/trap_actions.h"

#include <mutex>

namespace {

std::array<ActionHandler, kActionKinds>& HandlerTable()
{
    static std::array<ActionHandler, kActionKinds> table{};
    return table;
}

bool IsHandledKind(std::int32_t kind)
{
    return kind >= 1 && kind < kActionKinds;
}

} // namespace

ActionHandler RegisterActionHandler(std::int32_t kind, ActionHandler handler)
{
    if (!IsHandledKind(kind)) return nullptr;
    ActionHandler& entry = HandlerTable()[std::size_t(kind)];
    const ActionHandler previous = entry;
    entry = handler;
    return previous;
}

ActionHandler GetActionHandler(std::int32_t kind)
{
    if (!IsHandledKind(kind)) return nullptr;
    return HandlerTable()[std::size_t(kind)];
}

void RegisterActionHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterTurnActionHandlers();
        RegisterTrapEffectHandlers();
        RegisterMovementActionHandlers();
        RegisterPotActionHandlers();
        RegisterItemUseHandlers();
        RegisterStaffActionHandlers();
        RegisterCellActionHandlers();
        RegisterThrownItemHandlers();
        RegisterMonsterSpecialActionHandler();
        RegisterShopkeeperHandlers();
    });
}

std::int32_t CActionQueue::Run(SGameResource& game)
{
    for (;;) {
        if (current.kind != 0) {
            if (IsHandledKind(current.kind)) {
                const ActionHandler handler = GetActionHandler(current.kind);
                if (handler != nullptr && handler(*this, game) != 0) {
                    ++step;
                    return 1;
                }
            }
            current.Reset();
            step = 0;
            game.actionFinished = 1;
        }
        if (pending.empty()) return 0;
        current = std::move(pending.back());
        pending.pop_back();
    }
}

void CActionQueue::AbortCurrent()
{
    current.Reset();
    step = 0;
}

std::int32_t CActionQueue::Push(const SActionRecord& record)
{
    pending.push_back(record);
    return 0;
}

std::int32_t RunActionQueues(SGameResource& game)
{
    if (game.reactionQueue.Run(game) != 0) return 1;
    return game.commandQueue.Run(game);
}
