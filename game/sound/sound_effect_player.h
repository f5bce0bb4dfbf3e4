#pragma once
// The sound effects as the rules play them: Play(number) gives the sound's result, 0 when done. The game's
// sound-effect list is the one the game plays through; tests hand in their own.

#include <cstdint>

class ISoundEffectPlayer
{
public:
    virtual std::int32_t Play(std::int32_t number) = 0;

protected:
    ~ISoundEffectPlayer() = default;
};

// Plays a sound effect through player, or through the game's sound-effect list when player is null;
// a silent re-run neither plays the effect nor makes the list, and gives 0.
std::int32_t PlaySoundEffect(bool silentRerun, ISoundEffectPlayer* player, std::int32_t number);
