#include "gamebase/sound_volume.h"

#include <cmath>

std::int32_t VolumeToDecibel(std::int32_t volume)
{
    if (volume < 1) return -10000;
    if (volume >= 255) return 0;
    const auto ratio = static_cast<float>(static_cast<double>(volume) / 255.0);
    const auto decimalLog = static_cast<float>(std::log10(static_cast<double>(ratio)));
    return static_cast<std::int32_t>(static_cast<double>(decimalLog) * 2000.0);
}
