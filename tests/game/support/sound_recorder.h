#pragma once
// A sound-effect player that only keeps the numbers it was asked to play.

#include "game/sound/sound_effect_player.h"

#include <cstdint>
#include <vector>

class SoundRecorder final : public ISoundEffectPlayer
{
public:
    std::int32_t Play(std::int32_t number) override
    {
        played.push_back(number);
        return 0;
    }

    std::vector<std::int32_t> played;
};
