#include "game/app/game_resource.h"

#include "game/sound/sound_effect_player.h"
#include "platform/host/clock.h"
#include "platform/host/memory.h"

Math::CRand ConstructSeededRand()
{
    Math::CRand generator; // unseeded, noRandom clear
    const std::uint32_t memory = std::uint32_t(platform::AvailablePhysicalMemory());
    const std::uint32_t seed = (memory << 16) | (platform::GetMilliseconds() & 0xFFFF);
    generator.SetSeed(seed);
    generator.seed = seed;
    return generator;
}

void SGameResource::SFlag::ResetForNewGame()
{
    words.fill(0);
    values.fill(0);
    values[0] = 5;
    values[2] = values[3] = values[4] = 1;
    values[5] = 5;
    values[8] = values[9] = -50;
    values[13] = 50;
    values[14] = 100;
    values[15] = 500;
    values[19] = 300;
    values[20] = 1000;
    values[21] = 200;
    values[22] = 2000;
    values[23] = 25;
    values[24] = 400;
    values[25] = 800;
}

void SGameResource::SFlag::OnNewFloor()
{
    for (std::size_t i = 0; i < 10; ++i)
        if (values[i] < 100) ++values[i];
    for (std::size_t i = 10; i < values.size(); ++i)
        if (values[i] > 0) --values[i];
}

void SGameResource::SFlag::Serialize(Auxiliary::ISerialize& stream)
{
    for (std::uint32_t& word : words)
        stream.Serialize(word);
    for (std::int32_t& value : values)
        stream.Serialize(value);
}

void SGameResource::SDungeonSlot::Serialize(Auxiliary::ISerialize& stream)
{
    bool flag = open != 0;
    stream.Serialize(flag);
    open = flag ? 1 : 0;
    for (std::int32_t& value : values)
        stream.Serialize(value);
}

SGameResource::SGameResource()
{
    RegisterActionHandlers();
    ResetForNewGame();
    ResetAdventureState();
    sineTable = MakeFixedSineTable();
}

void SGameResource::ResetForNewGame()
{
    checkValue = 0;
    owedSave = SSaveSet();
    saveOwed = false;
    saveKind = 2;
    actionLog.Reset();
    messageWindow.Reset();
    // A new adventure keeps the player's message speed rather than going on without waits.
    messageWindow.SetDefaultWait(config.messageSpeed);
    endRecords = {SEndRecord(), SEndRecord()};
    endFlag = 0;
    value22 = 1;
    userNumber = -1;
    chosenDataNumber = -1;
    replayStart = 0;
    runNumber = 1;
    newGameValue = 0;
    runRecord.Clear();
    newGameFlag = 0;
    // A replay file's floors go with its name: a save watched after it has none.
    runStartFileName = "";
    runStartValues.clear();
    newGameMark = -1;
    passwordHistory.clear();
    trainingTargetFloor = lastFloor = 5;
    trainingRun = false;
    endOfPlay = 0;
    newGameFlags.fill(0);
    rulesVersion = 2;
    items.Reset();
    characters.Reset();
    map.Clear();
    for (std::size_t i = 0; i < dungeonSlots.size(); ++i)
        dungeonSlots[i] = SDungeonSlot{std::uint8_t(i < 2 ? 1 : 0), {0, 0, 0}};
    flag.ResetForNewGame();
    goldCounter = SGoldCounter();
    value17 = 0;
    carriedValue = 0;
    hiddenDungeonSlot = SDungeonSlot();
    ResetAdventureState();
}

void SGameResource::ResetAdventureState()
{
    dungeon = 0;
    floor = 1;
    seed = 0;
    passwordValue = 0;
    counter8 = 0;
    excludedKind = 0xFFFF;
    gold = 0;
    bankedGold = 0;
    equippedWeapon = equippedShield = equippedArrows = 0xFFFF;
    goldCounter = SGoldCounter();
    value17 = 0;
    carriedValue = 0;
    inventory.fill(0xFFFF);
    playMode = kPlayNormal;
    spareWeapon = spareShield = 0xFFFF;
    adventureIds.fill(0xFFFF);
    adventureMarks.fill(-1);
    adventureCounters.fill(1);
    rerunCounter = rerunCounterCopy = rerunEndValue = 0;
    pendingHealing = pendingExperience = 0;
    speciesZeroDefeat = 0;
    leaveFloor = abortRun = 0;
    itemAwaitingMenu = 0xFFFF;
    stopRunning = 0;
    chestAnswer = 0;
    thief = excludeFireKinds = 0;
    rankingPlace = -1;
    endOfRunRequest = SEndOfRunRequest();
}

SGameResource::SDungeonSlot* SGameResource::FindDungeonSlot(std::int32_t dungeon)
{
    if (dungeon >= 0 && dungeon < std::int32_t(kDungeonSlots)) return &dungeonSlots[std::size_t(dungeon)];
    return dungeon == std::int32_t(kDungeonSlots) ? &hiddenDungeonSlot : nullptr;
}

void SGameResource::Serialize(Auxiliary::ISerialize& stream)
{
    stream.Serialize(userNumber)
        .Serialize(runNumber)
        .Serialize(saveName)
        .Serialize(dungeon)
        .Serialize(floor)
        .Serialize(seed)
        .Serialize(passwordValue)
        .Serialize(counter8)
        .Serialize(excludedKind)
        .Serialize(gold)
        .Serialize(bankedGold)
        .Serialize(equippedWeapon)
        .Serialize(equippedShield)
        .Serialize(equippedArrows)
        .Serialize(goldCounter.low)
        .Serialize(goldCounter.high)
        .Serialize(value17)
        .Serialize(carriedValue)
        .Serialize(trainingRun)
        .Serialize(trainingTargetFloor)
        .Serialize(lastFloor)
        .Serialize(value22);
    for (std::uint16_t& id : inventory)
        stream.Serialize(id);
    for (SDungeonSlot& slot : dungeonSlots)
        slot.Serialize(stream);
    stream.Serialize(flag);
}

std::int32_t PlaySoundEffect(SGameResource& game, std::int32_t number)
{
    return PlaySoundEffect(game.playMode == kPlaySilentRerun, game.soundEffects, number);
}
