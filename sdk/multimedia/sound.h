#pragma once
// The one interface of every sound (null, MIDI, static and streamed wave, the wave-sound facade), the
// null device that accepts every call and plays nothing, and the time conversions all sounds share.
//
// Volumes are hundredths of a decibel (0 full, -10000 silent), times milliseconds; integer results are
// 0 for success unless an operation says otherwise.

#include "sdk/ztl/ztl_string.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Multimedia {

using string = ZTL::string;

// What GetType answers.
constexpr int kSoundTypeNull = 0;
constexpr int kSoundTypeMIDIMCI = 1;
constexpr int kSoundTypeMIDIDirectMusic = 2;
constexpr int kSoundTypeWaveStatic = 3;
constexpr int kSoundTypeWaveStream = 4;
constexpr int kSoundTypeWave = 5;

constexpr int kVolumeSilent = -10000;

class ISound
{
public:
    virtual int Open(const string& fileName) = 0;
    virtual int Close() = 0;
    // Plays from the start.
    virtual int Play() = 0;
    // Stops and keeps the position; pauses nest.
    virtual int Pause() = 0;
    // Undoes one Pause; the last one resumes playing.
    virtual int Replay() = 0;
    virtual int Stop() = 0;
    virtual bool IsPlay() = 0;
    // Whether Play loops.
    virtual int SetLoopPlay(bool loop) = 0;
    virtual bool IsLoopPlay() = 0;
    virtual int SetCurrentPos(int milliseconds) = 0;
    // -1 on failure.
    virtual int GetCurrentPos() = 0;
    // -1 on failure.
    virtual int GetLength() = 0;
    virtual int SetVolume(int volume) = 0;
    virtual int GetVolume() = 0;
    virtual int GetType() = 0;
    // The name given to Open.
    virtual string GetFileName() = 0;
    // Splits a time into hours, minutes, seconds and milliseconds: -1 (nothing written) for a negative one.
    virtual int ConvertToTime(int time, int* hours, int* minutes, int* seconds, int* milliseconds);
    // Joins them again: -1 (nothing written) for a negative part or a time beyond the int range.
    virtual int ConvertFromTime(int* time, int hours, int minutes, int seconds, int milliseconds);
    virtual ~ISound() = default;
};

// A sound whose buffer can be lost and brought back.
class ISoundRestorable : public ISound
{
public:
    virtual int Restore() = 0;
};

class IWaveSound : public ISoundRestorable
{};

class CSoundNullDevice : public ISound
{
public:
    int Open(const string&) override { return 0; }
    int Close() override { return 0; }
    int Play() override { return 0; }
    int Pause() override { return 0; }
    int Replay() override { return 0; }
    int Stop() override { return 0; }
    bool IsPlay() override { return false; }
    int SetLoopPlay(bool loop) override;
    bool IsLoopPlay() override { return m_loop; }
    int SetCurrentPos(int) override { return -1; }
    int GetCurrentPos() override { return -1; }
    int GetLength() override { return -1; }
    int SetVolume(int) override { return -1; }
    int GetVolume() override { return kVolumeSilent; }
    int GetType() override { return kSoundTypeNull; }
    string GetFileName() override { return string(); }

private:
    bool m_loop = false;
};

// The key under which the application's interval timer holds a sound's timed volume changes (the volume
// hold of the wave-sound facade ends by removing it).
std::uint32_t SoundTimerKey(const ISound* sound);

} // namespace zelvoranGameSDK3rd::Multimedia
