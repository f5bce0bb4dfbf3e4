#include "game/app/run_transitions.h"

#include "game/core/play_mode.h"
#include "game/core/random.h"
#include "platform/host/clock.h"

void MakeRunId(std::uint32_t& id32, std::uint16_t& id16, bool noRandom, std::uint32_t frameCounter)
{
    const platform::SLocalTime now = platform::GetLocalTime();
    const std::uint32_t t = platform::GetMilliseconds();
    id32 = (t << 16) + now.second + now.minute + now.hour + now.day + now.month + now.year;
    id16 = static_cast<std::uint16_t>(t + 99u * frameCounter);
    Math::CRand local;
    local.SetSeed(platform::GetMilliseconds());
    local.noRandom = noRandom;
    id32 += RandomDraw(local);
    id16 = static_cast<std::uint16_t>(id16 + RandomBelow(local, 0xFFFF));
}

void RequestReturnToCamp(std::uint8_t& returnToCamp, std::int32_t& playMode, ICampServices& services)
{
    returnToCamp = 1;
    playMode = kPlayNormal;
    services.RecoverOwnEquipment();
}

void PrepareCamp(std::int32_t& dungeon, std::int32_t& floor, ICampServices& services)
{
    constexpr std::uint16_t kIdentifiedAndExamined = 0x01 | 0x02;
    services.ClearMessageSkip();
    dungeon = 0;
    floor = 1;
    services.ResetIdentification(0);
    services.SetFlagsOfAllItems(kIdentifiedAndExamined);
}
