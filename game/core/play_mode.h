#pragma once
// How the game is being played: by the player, as a resumed run re-playing its logged commands, or as
// a replay. Sounds, messages and the end of a run depend on it.

#include <cstdint>

enum PlayMode : std::int32_t
{
    kPlayNormal = 0,
    kPlaySilentRerun = 1, // a resumed run re-playing its logged commands
    kPlayReplay = 2,
};
