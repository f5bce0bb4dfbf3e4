#include "sdk/multimedia/sound.h"

#include <cstdint>
#include <limits>

namespace zelvoranGameSDK3rd::Multimedia {

int ISound::ConvertToTime(int time, int* hours, int* minutes, int* seconds, int* milliseconds)
{
    if (time < 0) return -1;
    *milliseconds = time % 1000;
    const int s = time / 1000;
    *seconds = s % 60;
    const int m = s / 60;
    *minutes = m % 60;
    *hours = m / 60;
    return 0;
}

int ISound::ConvertFromTime(int* time, int hours, int minutes, int seconds, int milliseconds)
{
    if (hours < 0 || minutes < 0 || seconds < 0 || milliseconds < 0) return -1;
    const std::int64_t t = ((std::int64_t(hours) * 60 + minutes) * 60 + seconds) * 1000 + milliseconds;
    if (t > std::numeric_limits<int>::max()) return -1;
    *time = int(t);
    return 0;
}

int CSoundNullDevice::SetLoopPlay(bool loop)
{
    m_loop = loop;
    return 0;
}

std::uint32_t SoundTimerKey(const ISound* sound)
{
    return std::uint32_t(reinterpret_cast<std::uintptr_t>(sound));
}

} // namespace zelvoranGameSDK3rd::Multimedia
