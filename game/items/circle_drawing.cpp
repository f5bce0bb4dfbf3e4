// Drawing magic circles with pens, and the table entries of the use actions.
#include "game/app/game_resource.h"
#include "game/characters/display_name.h"
#include "game/characters/room_events.h"
#include "game/items/scrolls.h"
#include "game/items/use_actions.h"
#include "game/turn/actions.h"

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kNoSound = -1;
constexpr std::int32_t kSoundRefused = 16;
constexpr std::int32_t kSoundDraw = 55;
constexpr std::int32_t kMotionDraw = 31;
// Pen kinds whose ink never makes a circle.
constexpr std::int32_t kPenDud = 290;
constexpr std::int32_t kPenDud2 = 292;
// The circle that seals abilities: a wall-passing or swimming monster may no longer stay where it is.
constexpr std::int32_t kCircleSealing = 271;

void Say(SGameResource& game, std::int32_t sound, const ZTL::string& text)
{
    game.messageWindow.AddMessage(sound, kWaitDefault, text);
}

// Floor (5 to 10) or terrain 17, with nothing lying on it.
bool IsDrawable(SGameResource& game, std::int32_t x, std::int32_t y)
{
    if (x < 0 || y < 0) return false;
    const SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
    const bool floor = (cell.terrain >= 5 && cell.terrain <= 10) || cell.terrain == 17;
    return floor && cell.objectKind == 0;
}

bool IsDud(std::int32_t kind)
{
    return kind == kPenDud || kind == kPenDud2;
}

std::int32_t StartDrawing(SGameResource& game, std::uint16_t index)
{
    const CItemControl::SItem& pen = game.items.GetItem(index);
    if ((pen.flags & CItemControl::kCursed) != 0) {
        PlaySoundEffect(game, kSoundRefused);
        Say(game, kNoSound,
            GetColoredItemNameByIndex(game.items, index) + "は\n呪われていて　使えなかった。");
        // A carried pen stays where it is; one taken up from under her for the use would otherwise be
        // lost, so it goes back through the use's end.
        FinishItemUse(index, game);
        return 0;
    }
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    player.SetMotion(kMotionDraw, -1);
    // Only the words are chosen here; the drawing itself tests everything again.
    if (pen.value > 0 && IsDrawable(game, player.x, player.y) && !IsDud(pen.kind))
        Say(game, kSoundDraw, GetSpellCircleDisplayName(game, pen.kind) + "を描いた。");
    else
        Say(game, kSoundDraw, GetDisplayName(game, kHeroine) + "は　魔法陣を描こうとした。");
    return 1;
}

std::int32_t FinishDrawing(SGameResource& game, std::uint16_t index)
{
    CItemControl::SItem& pen = game.items.GetItem(index);
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    if (pen.value <= 0 || (pen.flags & CItemControl::kFrozen) != 0 || IsDud(pen.kind)) {
        Say(game, kNoSound, "しかし　インクが出なかった。");
    } else if (!IsDrawable(game, player.x, player.y)) {
        Say(game, kNoSound, "しかし　ここには描けなかった。");
    } else {
        game.circles.Place(pen.kind, player.x, player.y, game);
        pen.AddValue(-1);
        pen.extra[0] = std::uint8_t(pen.extra[0] - 1);
        if (pen.kind == kCircleSealing) RelocateAllCharacters(game);
    }
    FinishItemUse(index, game);
    return 0;
}

} // namespace

std::int32_t HandleDrawCircle(CActionQueue& queue, SGameResource& game)
{
    const auto pen = static_cast<std::uint16_t>(queue.current.param1);
    if (queue.step == 0) return StartDrawing(game, pen);
    return FinishDrawing(game, pen);
}

void RegisterItemUseHandlers()
{
    RegisterActionHandler(kActionEat, HandleEat);
    RegisterActionHandler(kActionDrink, HandleDrink);
    RegisterActionHandler(kActionDrawCircle, HandleDrawCircle);
    RegisterActionHandler(kActionUseOn, HandleUseOn);
    RegisterScrollHandlers();
}
