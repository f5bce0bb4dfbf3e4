#include "game/turn/turn_phases.h"

#include "game/app/game_resource.h"
#include "game/app/replay.h"
#include "game/app/suspend.h"
#include "game/characters/adventure.h"
#include "game/characters/character_control.h"
#include "game/characters/combat.h"
#include "game/characters/display_name.h"
#include "game/characters/monster_movement.h"
#include "game/characters/room_events.h"
#include "game/core/directions.h"
#include "game/core/play_mode.h"
#include "game/core/random.h"
#include "game/data/error_box.h"
#include "game/data/item_classes.h"
#include "game/items/elemental_states.h"
#include "game/items/item_names.h"
#include "game/items/pots.h"
#include "game/ui/effect_object.h"
#include "game/ui/message_numbers.h"
#include "game/world/spell_circle_control.h"
#include "game/world/trap_actions.h"
#include "game/world/trap_control.h"

#include "game/characters/thrown_items.h"
#include "game/sound/sound_effect_player.h"
#include "game/turn/actions.h"
#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kSoundRevival = 32;
constexpr std::int32_t kSoundHunger = 43;
constexpr std::int32_t kRevivalKind = 158;
constexpr std::int32_t kWaterJarKind = 358;
constexpr std::int32_t kDyingMotion = 13;
constexpr std::int32_t kFallenPortrait = 13002;
constexpr std::int32_t kSoundFire = 17;
constexpr std::int32_t kSoundCollapse = 23;
constexpr std::int32_t kSoundStuck = 51;
constexpr std::int32_t kCauseQuake = 13;
// Circle damage keeps no cause of its own.
constexpr std::int32_t kNoCause = 0xFFFF;
constexpr std::int32_t kCircleHealing = 277;
constexpr std::int32_t kCircleTrapProof = 278;
constexpr std::int32_t kCircleWarp = 285;
constexpr std::int32_t kCircleHalving = 288;
constexpr std::int32_t kCircleFleeting = 289;
constexpr std::uint16_t kSealTrapProof = 45;
constexpr std::int32_t kTrapBinding = 3;
constexpr std::int32_t kTerrainPuddle = 4;
constexpr std::int32_t kTerrainIce = 10;
constexpr std::int32_t kMapWidth = CMapControl::kWidth;
constexpr std::int32_t kMapHeight = CMapControl::kHeight;
constexpr const char* kRerunFailed = "中断データのロードに失敗しました。";

void MarkUnpaidGoods(SGameResource& game);

void Say(SGameResource& game, std::int32_t sound, const ZTL::string& text)
{
    game.messageWindow.AddMessage(sound, kWaitDefault, text);
}

bool IsSilentRerun(const SGameResource& game)
{
    return game.playMode == kPlaySilentRerun;
}
} // namespace

void CSceneGameMain::ResetFloorFields()
{
    moved = 0;
    onShopGoods = 0;
    quakeStage = 0;
    quakeMode = -1;
    quakeFrame = 0;
    hungerWarning = 0;
    spawnCount = 0;
    nextSpawnTime = 0;
    turnsPastLog = 0;
}

bool CSceneGameMain::PhaseStartTurn()
{
    auto& player = game.characters.GetPlayer();
    SMapCell& cell = game.map.GetCell(player.x, player.y);
    if (cell.objectKind == kObjectItem) {
        cell.objectShown = 1;
        cell.redraw = 1;
    }
    game.burntCells.clear();
    game.forcedCommand.Reset();
    moved = 0;
    return true;
}

bool CSceneGameMain::PhasePlayerCommand()
{
    if (phaseStep >= 2) return true;
    if (phaseStep == 1) {
        phaseStep = 2;
        return false;
    }
    CActionQueue& queue = game.commandQueue;
    switch (command.kind) {
    case 7:
        PushActionMove(queue, 0xFFFF);
        break;
    case 8: {
        const auto item = static_cast<std::uint16_t>(command.arg2);
        if (command.arg3 == 3) {
            const bool targeted = item != 0xFFFF && game.items.UseNeedsTargetItem(game.items.GetItem(item));
            PushItemUseAction(queue, game, item,
                              targeted ? static_cast<std::uint16_t>(command.arg1) : 0xFFFF);
        } else if (command.arg3 == 2) {
            // A logged throw without an item throws nothing.
            if (item != 0xFFFF) PushActionThrowOrShoot(queue, game, item, 0xFFFF);
        } else if (command.arg3 == 5) {
            if (item != 0xFFFF && game.items.GetItem(item).kind == kWaterJarKind)
                PushSprinkleWaterAction(queue, item);
        }
        break;
    }
    case 14:
        PushPutInPotAction(groupItems, queue, game);
        groupItems.clear();
        break;
    default:
        return true;
    }
    phaseStep = 1;
    return false;
}

namespace {
// The monster generation's base period by dungeon, in turns.
std::int32_t SpawnBasePeriod(std::int32_t dungeon)
{
    if (dungeon == 0) return 65535;
    if (dungeon <= 4) return 64;
    if (dungeon <= 7) return 48;
    return 0;
}

bool IsHelpless(const CCharacterControl::SCharacter& c)
{
    return c.status.blindTurns != 0 || c.status.sleepTurns != 0 || c.status.paralysisTurns != 0 ||
           c.status.frozenTurns != 0;
}
} // namespace

bool CSceneGameMain::PhaseEndTurn()
{
    if (game.leaveFloor != 0) return true;
    auto& player = game.characters.GetPlayer();
    if (phaseStep == 1) return FinishFall();
    if (phaseStep > 1) return true;

    SoakItemsLyingInWater(game);
    game.traps.RemoveMarkedTraps(game);
    if (RecoverStatuses(player, game) != 0) command.Reset();

    if (player.inPotTurns == 0 && game.dungeon != 0) {
        const std::int32_t speed = player.GetCharacterSpeed(game);
        game.floorTime += speed > 0 ? 6 / (speed + 1) : 6;
    }

    if (player.hp > 0 && TriggerQuake()) return false;

    if (player.hp > 0) {
        RegenerateHp(player, game);
        if (player.hp > 0 && game.dungeon != 0) DigestFullness(player, game);
        for (std::uint16_t i = 0; i < game.characters.monsterCount; ++i) {
            auto& monster = game.characters.monsters[i];
            if (monster.type == kCharacterIcePillar || monster.kindId != 0xFFFF)
                RecoverStatuses(monster, game);
        }
        game.map.TickFires();
    }
    // The fall looks at what the whole turn left her, starving included: she is never asked for another
    // command at 0 HP.
    if (player.hp <= 0 && !StartFall()) return false;

    GiveHungerMessages();

    for (const std::int32_t kind : metKinds) {
        const std::int32_t itemClass = game.items.GetItemKind(kind).classId;
        const bool equipment = itemClass == kItemClassWeapon || itemClass == kItemClassShield;
        const bool identified = kind >= 0 && static_cast<std::size_t>(kind) < game.items.kindState.size() &&
                                game.items.kindState[static_cast<std::size_t>(kind)] == 2;
        if (equipment || identified) game.items.MarkKindSeen(kind);
    }
    metKinds.clear();

    for (auto it = game.circles.circles.begin(); it != game.circles.circles.end();) {
        const auto next = std::next(it);
        if (it->id == kCircleFleeting && (it->x != player.x || it->y != player.y))
            game.circles.RemoveAt(it->x, it->y, game);
        it = next;
    }

    TurnTowardOpponent();
    SpawnMonsters();
    return true;
}

bool CSceneGameMain::TriggerQuake()
{
    const std::int32_t turns = game.floorTime / 6;
    if (quakeStage == 0 && turns >= 1500) {
        quakeStage = 1;
        quakeMode = 0;
    } else if (quakeStage == 1 && turns >= 1800) {
        quakeStage = 2;
        quakeMode = 1;
    } else if (quakeStage == 2 && turns >= 2000) {
        // The collapse is the last trigger: a silent re-run must have caught up with the live run by now.
        const int rerun = EndSilentRerun(game);
        if (rerun != kRerunDone) {
            ShowErrorBox(kRerunFailed);
            game.abortRun = 1;
        } else {
            quakeMode = 2;
        }
    } else {
        return false;
    }
    quakeFrame = 0;
    Say(game, -1, "地震だ！");
    game.refreshRequest = 1;
    command.Reset();
    return true;
}

void CSceneGameMain::GiveHungerMessages()
{
    const std::int32_t fullness = game.characters.GetPlayer().fullness;
    if (fullness == 0) {
        if (hungerWarning <= 2) Say(game, kSoundHunger, "お腹が減って倒れそうだ！");
        hungerWarning = 3;
        command.Reset();
    } else if (fullness < 10000) {
        if (hungerWarning <= 1) {
            Say(game, kSoundHunger, "かなりお腹が減ってきた。");
            command.Reset();
        }
        hungerWarning = 2;
    } else if (fullness < 20000) {
        if (hungerWarning == 0) {
            Say(game, kSoundHunger, "少し、お腹が減ってきた。");
            command.Reset();
        }
        hungerWarning = 1;
    } else {
        hungerWarning = 0;
    }
}

void CSceneGameMain::TurnTowardOpponent()
{
    auto& player = game.characters.GetPlayer();
    if (IsHelpless(player) || game.forcedCommand.kind != -1) {
        game.lastEngaged = 0xFFFF;
        return;
    }
    if (game.lastEngaged == 0xFFFF) return;
    bool turn = false;
    if (game.autoTurn == 1) {
        std::int32_t dx = 0, dy = 0;
        DirectionToStep(player.direction, dx, dy);
        turn = game.characters.FindMonsterIndexAt(player.x + dx, player.y + dy) == CCharacterControl::kNoSlot;
    } else if (game.autoTurn == 2) {
        std::int32_t around = 0;
        for (std::int32_t d = 0; d < 8; ++d) {
            std::int32_t dx = 0, dy = 0;
            DirectionToStep(d, dx, dy);
            if (game.characters.FindMonsterIndexAt(player.x + dx, player.y + dy) !=
                CCharacterControl::kNoSlot)
                ++around;
        }
        turn = around <= 1;
    }
    if (turn) {
        auto& opponent = game.characters.GetCharacter(game.lastEngaged);
        if (opponent.kindId != 0xFFFF && opponent.type != kCharacterEmpty)
            player.FaceToward(opponent.x, opponent.y);
        else
            game.characters.TurnToNextAdjacentMonster(game, false);
    }
    game.lastEngaged = 0xFFFF;
}

void CSceneGameMain::SpawnMonsters()
{
    const std::int32_t base = SpawnBasePeriod(game.dungeon);
    if (nextSpawnTime == 0) nextSpawnTime = base;
    const std::int32_t interval = game.frequentSpawn != 0 ? 2 : base + 4 * spawnCount;
    if (game.floorTime / 6 <= nextSpawnTime + interval) return;
    const auto& points = game.map.candidateCells;
    // The goal floor has no spawn points: then nothing is drawn and nobody comes.
    if (points.empty()) return;
    const auto& player = game.characters.GetPlayer();
    const std::int32_t playerRoom = game.map.GetCell(player.x, player.y).room;
    for (std::int32_t attempt = 0; attempt < 16; ++attempt) {
        const auto count = static_cast<std::int32_t>(points.size());
        const SCellPosition point = points[static_cast<std::size_t>(RandomBelow(game.random, count))];
        const std::int32_t room = game.map.GetCell(point.x, point.y).room;
        if (room < 0) continue;
        if (attempt < 9 && room == playerRoom) continue;
        if (std::abs(point.x - player.x) <= 8 && std::abs(point.y - player.y) <= 6) continue;
        SpawnRandomMonster(game.characters, game, point.x, point.y, game.frequentSpawn == 0, 1);
        ++spawnCount;
        nextSpawnTime += interval;
        return;
    }
}

bool CSceneGameMain::StartFall()
{
    auto& player = game.characters.GetPlayer();
    player.hasteTurns = 0;
    player.hasteLevel = 0;
    player.invisibleTurns = 0;
    player.strongBodyTurns = 0;
    player.inPotTurns = 0;
    player.status = SCharacterStatus{};
    const ZTL::string name = GetDisplayName(game, 0xFFFF);

    for (std::size_t slot = 0; slot < game.inventory.size(); ++slot) {
        const std::uint16_t item = game.inventory[slot];
        if (item == 0xFFFF || game.items.GetItem(item).kind != kRevivalKind) continue;
        Say(game, -1, name + "は 力尽きた。");
        player.hp = std::max(player.maxHp / 4, 1);
        Say(game, kSoundRevival,
            "しかし　" + GetColoredItemNameByIndex(game.items, item) + "のおかげで\nなんとか持ちこたえた！");
        game.items.RemoveFromInventory(game, static_cast<std::uint32_t>(slot), true);
        player.SetMotion(0, -1);
        break;
    }
    if (player.hp <= 0 && game.dungeon == 0) {
        Say(game, -1, name + "は 力尽きた。");
        player.hp = 1;
        Say(game, -1, "しかし　不思議な力で持ちこたえた。");
        player.SetMotion(0, -1);
    }
    if (player.hp > 0) return true;

    if (game.thief != 0) {
        ApplyFailedTheftPenalty(game);
        Say(game, -1, name + "は 泥棒に失敗した。");
    } else {
        Say(game, -1, name + "は 力尽きた。");
        auto& centre = game.portraits[1];
        centre.previousPicture = centre.picture;
        centre.previousLevel = -255;
        centre.picture = kFallenPortrait;
        centre.level = 1;
    }
    game.refreshRequest = 1;
    player.SetMotion(kDyingMotion, -1);
    phaseStep = 1;
    return false;
}

bool CSceneGameMain::FinishFall()
{
    if (IsSilentRerun(game)) {
        if (game.actionLog.PeekKind() != -1) {
            ShowErrorBox(kRerunFailed);
            game.portraits = {};
            game.characters.GetPlayer().hp = 1;
            FinishAdventureAndSave(game);
            campRequest = 1;
            return true;
        }
        EndSilentRerun(game);
    }
    if (EndReplay(game)) return true;
    if (game.thief != 0) {
        ExitFloor();
    } else if (ranking != nullptr) {
        EndAdventure(game, *ranking);
    }
    return true;
}

bool CSceneGameMain::PhaseCircles()
{
    if (game.leaveFloor != 0) return true;
    auto& player = game.characters.GetPlayer();
    if (phaseStep == 0) {
        phaseStep = 1;
        if (command.kind == 6 && ShouldStopRunning()) command.Reset();
        game.stopRunning = 0;
        ApplyCircles();
        return false;
    }
    if (phaseStep == 1) {
        phaseStep = 2;
        RelocateAllCharacters(game);
        return false;
    }
    if (command.kind == 9) {
        player.SetMotion(2, player.fullness == 0 ? 16 : -1);
        command.Reset();
        return false;
    }
    return true;
}

void CSceneGameMain::ApplyCircles()
{
    std::vector<SCellPosition> vanishing;
    for (const auto& circle : game.circles.circles) {
        if (circle.id != kCircleHealing && circle.id != kCircleWarp && circle.id != kCircleHalving) continue;
        CCharacterControl::SCharacter* standing = game.characters.FindCharacterAt(circle.x, circle.y);
        if (standing == nullptr || standing->HasAbility(game, kAbilityMagicProof)) continue;
        std::uint16_t index = 0xFFFF;
        if (standing != &game.characters.GetPlayer())
            index = static_cast<std::uint16_t>(static_cast<CCharacterControl::SMonster*>(standing) -
                                               game.characters.monsters.data());
        bool vanish = false;
        if (circle.id == kCircleHealing) {
            if (standing->HasKindFlag(game, kKindUndead))
                DealDamage(game, index, ComputeFixedDamage(game, index, 10, false), -1, kNoCause, false,
                           false);
            else if (standing->hp > 0) // a fallen character is not lifted back up
                standing->AddHp(10);
        } else if (circle.id == kCircleWarp) {
            PushWarpAction(game.reactionQueue, index);
            vanish = RandomMask(game.random, 15) == 0;
        } else {
            const std::int32_t half = standing->hp / 2;
            if (half > 0)
                DealDamage(game, index, ComputeFixedDamage(game, index, half, false), -1, kNoCause, false,
                           false);
            vanish = RandomMask(game.random, 15) == 0;
        }
        if (vanish) vanishing.push_back({circle.x, circle.y});
    }
    for (const auto& cell : vanishing)
        game.circles.RemoveAt(cell.x, cell.y, game);
}

std::int32_t HandleQuakeCollapse(CActionQueue& queue, SGameResource& game)
{
    auto& player = game.characters.GetPlayer();
    if (queue.step == 0) {
        player.SetMotion(34, -1);
        for (std::uint16_t i = 0; i < game.characters.monsterCount; ++i) {
            auto& monster = game.characters.monsters[i];
            if (monster.type == kCharacterChest || monster.type == kCharacterIcePillar)
                game.characters.RemoveMonster(i, &game.items);
            else if (monster.kindId != 0xFFFF && !monster.HasKindFlag(game, kKindFlying) &&
                     !monster.HasAbility(game, kAbilityWallPass))
                monster.SetMotion(34, -1);
        }
        for (std::int32_t y = player.y - 4; y <= player.y + 4; ++y)
            for (std::int32_t x = player.x - 5; x <= player.x + 5; ++x) {
                if (x < 0 || y < 0 || x >= kMapWidth || y >= kMapHeight) continue;
                SMapCell& cell = game.map.GetCell(x, y);
                cell.objectKind = 0;
                cell.objectId = 0;
                cell.objectShown = 0;
                cell.redraw = 1;
            }
        game.map.RefreshViewRecords();
        PlaySoundEffect(IsSilentRerun(game), game.soundEffects, kSoundCollapse);
        return 1;
    }
    if (queue.step == 1) {
        if (EndSilentRerun(game) != kRerunDone) {
            ShowErrorBox(kRerunFailed);
            game.abortRun = 1;
            return 0;
        }
        game.deathCause = kCauseQuake;
        const std::int32_t amount = 3 * player.maxHp / 4;
        player.TakeDamage(amount, -1, game);
        Say(game, -1, FormatColoredNumber(amount) + "のダメージを受けた。");
        if (player.hp > 0) {
            game.leaveFloor = 1;
            MarkUnpaidGoods(game);
        }
        return 1;
    }
    return 0;
}

std::int32_t HandleSetFire(CActionQueue& queue, SGameResource& game)
{
    if (queue.step != 0) return 0;
    const SActionRecord& record = queue.current;
    const std::int32_t x = record.param3;
    const std::int32_t y = record.param4;
    if (x < 0 || y < 0 || x >= kMapWidth || y >= kMapHeight) return 0;
    SMapCell& cell = game.map.GetCell(x, y);
    const bool burnable = (cell.terrain >= 5 && cell.terrain <= 10) || cell.terrain == 17;
    const bool holdsFire = cell.objectKind == 0 || cell.objectKind == kObjectItem ||
                           cell.objectKind == kObjectCircle || cell.objectKind == kObjectFire;
    if (!burnable || !holdsFire) return 0;
    if (cell.objectKind == kObjectItem) {
        Say(game, -1, GetColoredItemNameByIndex(game.items, cell.objectId) + "は燃え尽きた！");
        DestroyItemOnCell(game, x, y, record.param1);
    } else if (cell.objectKind == kObjectCircle) {
        Say(game, -1, GetSpellCircleDisplayName(game, cell.objectId) + "は消えてしまった。");
        game.circles.RemoveAt(x, y, game);
    }
    game.map.PlaceFire(x, y, record.param1);
    game.burntCells.insert(static_cast<std::uint32_t>(x + y * 65536));
    PlaySoundEffect(IsSilentRerun(game), game.soundEffects, kSoundFire);
    ApplyCellFire(game, x, y, false);
    return 1;
}

bool CSceneGameMain::PhasePlayerStep()
{
    auto& player = game.characters.GetPlayer();
    if (phaseStep == 0) {
        std::uint16_t swapIndex = 0xFFFF;
        std::int32_t swapDirection = 0;
        if (command.kind == 5 || command.kind == 6) ExecutePlayerWalk(swapIndex, swapDirection);
        UpdateShopkeeperMood();
        PrepareMonsterTurns(swapIndex, swapDirection, command.kind == 6);
        phaseStep = 1;
        return false;
    }
    if (phaseStep > 1) return true;
    if (moved != 0) {
        if (player.inPotTurns == 0) ReportCellUnderPlayer();
        moved = 0;
        return false;
    }
    for (std::uint16_t i = 0; i < game.characters.monsterCount; ++i) {
        auto& monster = game.characters.monsters[i];
        if (monster.type == kCharacterIcePillar || monster.kindId != 0xFFFF)
            ApplyCellFire(game, monster.x, monster.y, false);
    }
    ApplyCellFire(game, player.x, player.y, false);
    return true;
}

void CSceneGameMain::UpdateShopkeeperMood()
{
    // The tally of the goods is read by the shopkeepers alone: a floor without one skips it.
    bool shopkeeper = false;
    for (std::uint16_t i = 0; i < game.characters.monsterCount && !shopkeeper; ++i) {
        const std::int32_t type = game.characters.monsters[i].type;
        shopkeeper = type == kCharacterShopkeeper || type == kCharacterShopkeeper2;
    }
    if (!shopkeeper) return;
    const auto& player = game.characters.GetPlayer();
    const std::int32_t room = game.map.GetCell(player.x, player.y).room;
    std::int32_t goods = 0;
    // Cell by cell as they lie in memory: the sum does not depend on the order.
    if (room >= 0)
        for (const SMapCell& cell : game.map.cells) {
            if (cell.room != room || cell.objectKind != kObjectItem) continue;
            auto& item = game.items.GetItem(cell.objectId);
            if ((item.flags & CItemControl::kShopGoods) != 0) goods += game.items.GetItemPrice(item, 1, 0);
        }
    for (std::uint16_t i = 0; i < game.characters.monsterCount; ++i) {
        auto& monster = game.characters.monsters[i];
        if (monster.type == kCharacterShopkeeper || monster.type == kCharacterShopkeeper2)
            monster.type = goods < game.shopBill ? kCharacterShopkeeper2 : kCharacterShopkeeper;
    }
}

void CSceneGameMain::ExecutePlayerWalk(std::uint16_t& swapIndex, std::int32_t& swapDirection)
{
    auto& player = game.characters.GetPlayer();
    const bool running = command.kind == 6;
    player.direction = command.arg1;
    if (!CanStepInDirection(player, player.direction, game, true)) return;
    const auto& status = player.status;
    if (status.boundTurns != 0 &&
        (status.boundTurns == 255 || (status.boundX == player.x && status.boundY == player.y))) {
        SMapCell& cell = game.map.GetCell(player.x, player.y);
        if (cell.objectKind == kObjectTrap && cell.objectId == kTrapBinding) {
            SEffectObject effect;
            effect.Start(game, player.x, player.y, kEffectBindingSnap);
            AddEffectNearPlayer(game, effect);
            cell.objectShown = 0;
            Say(game, kSoundStuck, GetColoredTrapName(game.items, kTrapBinding) + "が 外れない。");
        } else {
            Say(game, kSoundStuck, "引き寄せられていて　動けない。");
        }
        command.kind = 5;
        return;
    }
    if (game.swapPartner != 0xFFFF) {
        swapIndex = game.swapPartner;
        swapDirection = (player.direction + 4) & 7;
        command.kind = 5;
    }
    player.StepForward(running);
    game.map.MarkExplored(player.x, player.y);
    moved = 1;
    SMapCell& cell = game.map.GetCell(player.x, player.y);
    if (cell.terrain == kTerrainIce && cell.objectKind == 0 &&
        CanStepInDirection(player, player.direction, game, false)) {
        player.SetMotion(3, -1);
        cell.mark = 1;
        player.AdvanceInDirection();
        game.map.MarkExplored(player.x, player.y);
        command.kind = 5;
    }
}

void CSceneGameMain::ReportCellUnderPlayer()
{
    auto& player = game.characters.GetPlayer();
    SMapCell& cell = game.map.GetCell(player.x, player.y);
    cell.mark = 1;
    switch (cell.objectKind) {
    case kObjectItem: {
        const std::uint16_t index = cell.objectId;
        auto& item = game.items.GetItem(index);
        metKinds.push_back(item.kind);
        if ((item.flags & CItemControl::kShopGoods) != 0) {
            onShopGoods = 1;
            command.Reset();
        } else if (command.kind == 6) {
            Say(game, -1, GetColoredItemNameByIndex(game.items, index) + "の上に乗った。");
            command.Reset();
        } else {
            PickUpItem(command);
            // An item picked up splashes by itself; one left lying splashes as she steps in beside it.
            if (cell.terrain == kTerrainPuddle && cell.objectKind == kObjectItem) {
                SEffectObject effect;
                effect.Start(game, player.x, player.y, kEffectSplash);
                AddEffectNearPlayer(game, effect);
            }
        }
        itemShowFrames = 8;
        break;
    }
    case kObjectTreasureSpot:
        command.Reset();
        cell.objectShown = 1;
        game.traps.Trigger(player.x, player.y, game);
        break;
    case kObjectTrap:
        command.Reset();
        if (CountShieldSeal(game, kSealTrapProof) != 0 || cell.objectShown != 0 ||
            player.CountCircles(game, kCircleTrapProof) != 0) {
            Say(game, -1, GetColoredTrapName(game.items, cell.objectId) + "の上に乗った。");
            break;
        }
        cell.objectShown = 1;
        if (RandomBelow(game.random, 6) != 0)
            game.traps.Trigger(player.x, player.y, game);
        else
            game.traps.ReportNotTriggered(player.x, player.y, game);
        break;
    case kObjectCircle:
        Say(game, -1, GetSpellCircleDisplayName(game, cell.objectId) + "の上に乗った。");
        itemShowFrames = 8;
        command.Reset();
        break;
    case kObjectFire:
    case kObjectStairs:
        command.Reset();
        break;
    default:
        break;
    }
    // Stairs, or an item she did not pick up, offer their menu once she waits for a command again.
    // Unpaid goods are the shopkeeper's to speak of.
    if (cell.objectKind == kObjectStairs || (cell.objectKind == kObjectItem && onShopGoods == 0))
        stairsPrompt = 1;
}

bool CSceneGameMain::ShouldStopRunning()
{
    auto& player = game.characters.GetPlayer();
    if (game.stopRunning != 0) {
        game.stopRunning = 0;
        return true;
    }
    const std::int32_t d = player.direction;
    if (!CanStepInDirection(player, d, game, true)) return true;
    if (player.status.confusionTurns != 0) return true;
    auto cellAt = [&](std::int32_t direction, std::int32_t distance, std::int32_t& x, std::int32_t& y) {
        std::int32_t dx = 0, dy = 0;
        DirectionToStep(direction & 7, dx, dy);
        x = player.x + dx * distance;
        y = player.y + dy * distance;
        return x >= 0 && y >= 0 && x < CMapControl::kWidth && y < CMapControl::kHeight;
    };
    for (std::int32_t k = -2; k <= 2; ++k) {
        std::int32_t x = 0, y = 0;
        if (!cellAt(d + k, 1, x, y)) continue;
        const SMapCell& cell = game.map.GetCell(x, y);
        if ((cell.objectKind != 0 && cell.objectShown != 0) ||
            game.characters.FindCharacterAt(x, y) != nullptr)
            return true;
    }
    auto classOf = [&](std::int32_t x, std::int32_t y) {
        if (x < 0 || y < 0 || x >= CMapControl::kWidth || y >= CMapControl::kHeight) return 0;
        const std::int32_t terrain = game.map.GetCell(x, y).terrain;
        if (terrain <= 2) return 2;
        if (terrain <= 4) return 1;
        return 0;
    };
    for (const std::int32_t side : {1, -1}) {
        std::int32_t classes[3];
        for (std::int32_t i = 0; i < 3; ++i) {
            std::int32_t x = 0, y = 0;
            cellAt(d + side * (i + 1), 1, x, y);
            classes[i] = classOf(x, y);
        }
        const std::int32_t a = classes[0], b = classes[1], c = classes[2];
        if (a + b + c == 0) continue;
        if ((a == 0 && b == 1) || (a == 0 && b == 0 && c == 2) || (a > 0 && b == 0)) return true;
    }
    std::int32_t aheadX = 0, aheadY = 0;
    cellAt(d, 1, aheadX, aheadY);
    const std::int32_t here = game.map.GetCell(player.x, player.y).room;
    const std::int32_t ahead = game.map.GetCell(aheadX, aheadY).room;
    if (here >= 0 && ahead != here) return true;
    if (here < 0 && ahead >= 0) return true;
    return player.fullness == 0;
}

void CSceneGameMain::PrepareMonsterTurns(std::uint16_t swapIndex, std::int32_t direction, bool running)
{
    auto& control = game.characters;
    if (swapIndex < CCharacterControl::kSlots && control.monsters[swapIndex].kindId != 0xFFFF)
        StepAndQueue(direction, control.monsters[swapIndex]);
    for (std::uint16_t i = 0; i < control.monsterCount; ++i)
        if (i != swapIndex && control.monsters[i].kindId != 0xFFFF)
            ThinkMonster(control.monsters[i], game, running);
    for (std::uint16_t i = 0; i < control.monsterCount; ++i)
        if (control.monsters[i].kindId != 0xFFFF) SpreadQueuedSteps(control.monsters[i]);
}

namespace {
bool CannotAct(const CCharacterControl::SMonster& monster)
{
    const auto& s = monster.status;
    return monster.sleepState > 0 || s.paralysisTurns != 0 || s.frozenTurns != 0 || s.sleepTurns != 0 ||
           monster.inPotTurns != 0;
}

// Kind 123, species 24, 7 and 5 notice a target they can see when a special is pending; kind 139 and
// species 39 always.
void NoticeForSpecial(CCharacterControl::SMonster& monster, bool canSee)
{
    const std::int32_t species = monster.kindId / 4;
    if (monster.kindId == 139 || species == 39)
        monster.viewFlags[0] = 1;
    else if (canSee && (monster.kindId == 123 || species == 24 || species == 7 || species == 5))
        monster.viewFlags[0] = 1;
}
} // namespace

bool CSceneGameMain::PhaseMonstersAct()
{
    auto& control = game.characters;
    auto& player = control.GetPlayer();
    if (game.leaveFloor != 0 || player.hp == 0) return true;
    if (phaseStep == 0) {
        std::uint16_t decoy = 0xFFFF;
        for (std::uint16_t i = 0; i < control.monsterCount && decoy == 0xFFFF; ++i) {
            auto& m = control.monsters[i];
            if (m.status.decoyTurns != 0 && !m.IsCharacterInvisible(game) && m.inPotTurns == 0) decoy = i;
        }
        std::int32_t ax = -1, ay = -1;
        control.GetAttentionPoint(game, ax, ay);
        for (std::uint16_t i = 0; i < control.monsterCount; ++i) {
            auto& m = control.monsters[i];
            if (m.kindId == 0xFFFF) continue;
            const auto& s = m.status;
            if (m.viewFlags[0] != 0 && m.sleepState == 0 && s.frozenTurns == 0 && s.paralysisTurns == 0 &&
                s.sleepTurns == 0 && m.inPotTurns == 0 && s.confusionTurns == 0 && s.blindTurns == 0 &&
                s.hallucinationTurns == 0)
                m.FaceToward(ax, ay);
            const std::int32_t allowed =
                control.GetMonsterKind(m.kindId).interval + std::max<std::int32_t>(m.hasteLevel, 0);
            m.actionCounter = std::min(m.actionCounter, allowed);
            const bool targetsPillar =
                m.link < CCharacterControl::kSlots && control.monsters[m.link].type == kCharacterIcePillar;
            if (!targetsPillar && decoy != 0xFFFF && m.type == kCharacterHostile && i != decoy && m.link != i)
                m.link = decoy;
        }
        phaseStep = 1;
    }
    const std::int32_t index = phaseStep - 1;
    if (index >= control.monsterCount) return true;
    auto& monster = control.monsters[static_cast<std::size_t>(index)];
    auto& target = control.GetCharacterOrPlayer(monster.link);

    if (monster.goalReached != 0 && monster.kindId != 0xFFFF) {
        const bool invisible = monster.link == 0xFFFF ? (target.HasAbility(game, kAbilityInvisible) ||
                                                         target.invisibleTurns != 0)
                                                      : target.IsCharacterInvisible(game);
        NoticeForSpecial(monster, !invisible && target.inPotTurns == 0);
    }
    const auto skip = [&] {
        ++phaseStep;
        game.refreshRequest = 1;
        return false;
    };
    const bool unaware =
        monster.viewFlags[0] == 0 && monster.status.blindTurns == 0 && monster.status.confusionTurns == 0;
    if (monster.kindId == 0xFFFF || monster.actionCounter <= 0 || unaware || CannotAct(monster))
        return skip();
    --monster.actionCounter;
    const bool targetIsPillar = target.type == kCharacterIcePillar;
    if (target.IsGone() && !targetIsPillar) return skip();
    const std::int32_t tx = target.x;
    const std::int32_t ty = target.y;
    if (monster.goalReached == 0 && monster.acted == 0 && WantsToUseSpecial(monster, game, tx, ty))
        monster.goalReached = 1;
    if (monster.goalReached != 0) {
        monster.viewFlags[0] = CanSeeTarget(game, monster, tx, ty) ? 1 : 0;
        if (CanUseSpecial(tx, ty, monster, game)) {
            PushMonsterSpecialAction(game.commandQueue, index);
            monster.goalReached = 0;
            return false;
        }
    }
    PushActionMove(game.commandQueue, index);
    monster.acted = 0;
    return false;
}

namespace {
// After the collapse the heroine leaves the floor: what she carries unpaid, loose or in a pot (the
// water jar holds only water), is marked as taken.
void MarkUnpaidGoods(SGameResource& game)
{
    for (const std::uint16_t index : game.inventory) {
        if (index == 0xFFFF) continue;
        auto& item = game.items.GetItem(index);
        if ((item.flags & CItemControl::kShopGoods) != 0) item.flags |= CItemControl::kUnpaid;
        if (item.itemClass != kItemClassPot || item.kind == kWaterJarKind) continue;
        for (const std::uint16_t inner : item.slots) {
            if (inner == 0xFFFF) continue;
            auto& content = game.items.GetItem(inner);
            if ((content.flags & CItemControl::kShopGoods) != 0) content.flags |= CItemControl::kUnpaid;
        }
    }
}
} // namespace
