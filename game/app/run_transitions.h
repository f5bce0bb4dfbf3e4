#pragma once
// The turns a run takes outside the dungeon's rules: a new run's identity, the return to the camp and
// the arrival there.
//
// What these need of the item control and the message window comes in through ICampServices, which the
// game state implements.

#include <cstdint>

// The identity of a new run, from the local date and time, the millisecond clock and the application's
// frame counter, mixed with two draws of a generator seeded from the clock unless noRandom is set.
void MakeRunId(std::uint32_t& id32, std::uint16_t& id16, bool noRandom, std::uint32_t frameCounter);

// What the return to the camp and the arrival there ask of the item control and the message window.
class ICampServices
{
public:
    // Gives the heroine her own equipment back.
    virtual void RecoverOwnEquipment() = 0;
    // Resets the item kinds' identification states for a dungeon.
    virtual void ResetIdentification(std::int32_t dungeon) = 0;
    // Sets these flag bits on every item of the item table that has a kind.
    virtual void SetFlagsOfAllItems(std::uint16_t flags) = 0;
    // Clears the message window's skip flag.
    virtual void ClearMessageSkip() = 0;

protected:
    ~ICampServices() = default;
};

// Raises the return-to-camp flag, goes back to normal play and recovers the heroine's own equipment.
void RequestReturnToCamp(std::uint8_t& returnToCamp, std::int32_t& playMode, ICampServices& services);
// The game state on arrival at the camp: message skip cleared, dungeon 0, floor 1, identification reset
// for dungeon 0, and every item identified and examined.
void PrepareCamp(std::int32_t& dungeon, std::int32_t& floor, ICampServices& services);
