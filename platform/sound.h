// Sound output: the device the SDK plays PCM through, with the shape its sound code expects. A device is
// opened, attached to a window, and makes buffers: secondary buffers of a PCM format and size that play
// once or looped, with a play cursor, a write cursor running a little ahead of it and a lock of two
// regions for writing; and the primary buffer, which carries the output format.
//
// Volumes and pan are hundredths of a decibel (0 full, -10000 silent; the gain is 10^(v/2000)); positions
// and sizes are bytes of the buffer's own format. A buffer made without global focus goes on playing but
// is silent while no window of the program has the focus. Every device of the program plays through the
// back end's one mixer (platform/host/sound_mixer.h).
//
// Buffers are never lost by the back ends: the headless back end's script loses them to reach the
// restore paths, and test doubles may replace the device through SetSoundDeviceFactory.
#pragma once

#include "platform/win_types.h"
#include "platform/window.h"

#include <cstdint>
#include <memory>

namespace platform {

using LONG = std::int32_t;

// A PCM format as sound files and buffers describe it, 18 bytes as stored. Packed to 2 bytes, so its
// 32-bit fields may lie off their alignment: read them by value, never bind a reference to one.
#pragma pack(push, 2)
struct WAVEFORMATEX
{
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize; // bytes of format-specific data that follow
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);
constexpr WORD WAVE_FORMAT_PCM = 1;

// Results of sound calls: 0 done, anything else not.
using SoundResult = std::int32_t;
constexpr SoundResult kSoundOk = 0;
constexpr SoundResult kSoundFailed = 1;
constexpr SoundResult kSoundInvalidParam = 2;
constexpr SoundResult kSoundBadFormat = 3;
// The call does not apply to this object (setting the format of a secondary buffer, playing the primary).
constexpr SoundResult kSoundInvalidCall = 4;
// The buffer lost its memory: Restore, then write it again.
constexpr SoundResult kSoundBufferLost = 5;
// The buffer was made without the control (volume, pan, frequency) the call needs.
constexpr SoundResult kSoundControlUnavailable = 6;
constexpr SoundResult kSoundUninitialized = 7;
// The machine has no sound output.
constexpr SoundResult kSoundNoDriver = 8;
// Setting the primary format needs the priority level.
constexpr SoundResult kSoundPriorityLevelNeeded = 9;

// Cooperative levels.
constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSSCL_EXCLUSIVE = 3;
constexpr DWORD DSSCL_WRITEPRIMARY = 4;

// Buffer capabilities.
constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x00000008; // accepted; every buffer is mixed in software
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x00000020;
constexpr DWORD DSBCAPS_CTRLPAN = 0x00000040;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x00008000;

constexpr DWORD DSBPLAY_LOOPING = 0x00000001;

constexpr DWORD DSBSTATUS_PLAYING = 0x00000001;
constexpr DWORD DSBSTATUS_BUFFERLOST = 0x00000002;
constexpr DWORD DSBSTATUS_LOOPING = 0x00000004;

constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr LONG DSBPAN_LEFT = -10000;
constexpr LONG DSBPAN_RIGHT = 10000;
constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 200000;
constexpr DWORD DSBSIZE_MIN = 4;
constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;

// What a new buffer is: the primary buffer (no size, no format) or a secondary buffer of `bufferBytes`
// bytes of `format` (PCM, 1 or 2 channels of 8 or 16 bits, 100 to 200000 samples a second).
struct SoundBufferDesc
{
    DWORD flags = 0;
    DWORD bufferBytes = 0;
    const WAVEFORMATEX* format = nullptr;
};

class SoundBuffer
{
public:
    virtual ~SoundBuffer() = default;
    // DSBSTATUS_ bits.
    virtual SoundResult GetStatus(DWORD* status) = 0;
    // The primary buffer only.
    virtual SoundResult SetFormat(const WAVEFORMATEX& format) = 0;
    virtual SoundResult GetFormat(WAVEFORMATEX* format) = 0;
    // A byte offset below the buffer's size; playing goes on from the frame it falls in.
    virtual SoundResult SetCurrentPosition(DWORD offset) = 0;
    virtual SoundResult GetCurrentPosition(DWORD* play, DWORD* write) = 0;
    // DSBVOLUME_MIN to DSBVOLUME_MAX; needs DSBCAPS_CTRLVOLUME.
    virtual SoundResult SetVolume(LONG volume) = 0;
    virtual SoundResult GetVolume(LONG* volume) = 0;
    // DSBPAN_LEFT to DSBPAN_RIGHT; needs DSBCAPS_CTRLPAN.
    virtual SoundResult SetPan(LONG pan) = 0;
    virtual SoundResult GetPan(LONG* pan) = 0;
    // DSBFREQUENCY_ORIGINAL, or DSBFREQUENCY_MIN to DSBFREQUENCY_MAX; needs DSBCAPS_CTRLFREQUENCY.
    virtual SoundResult SetFrequency(DWORD samplesPerSecond) = 0;
    virtual SoundResult GetFrequency(DWORD* samplesPerSecond) = 0;
    // Lends `bytes` bytes from `offset` for writing: the first region up to the buffer's end, the rest
    // from its start as the second (null and 0 when the lock does not wrap; `part2` may be null for a
    // lock that does not). The regions hold the buffer's bytes; what is written reaches the buffer at
    // Unlock, which is given the regions and the bytes written to each.
    virtual SoundResult Lock(DWORD offset, DWORD bytes, void** part1, DWORD* size1, void** part2,
                             DWORD* size2) = 0;
    virtual SoundResult Unlock(void* part1, DWORD size1, void* part2, DWORD size2) = 0;
    // Plays from the current position; DSBPLAY_LOOPING loops.
    virtual SoundResult Play(DWORD flags) = 0;
    // Stops where it is.
    virtual SoundResult Stop() = 0;
    // Gives a lost buffer its memory back (its bytes must then be written again).
    virtual SoundResult Restore() = 0;
};

class SoundDevice
{
public:
    virtual ~SoundDevice() = default;
    // Opens the sound output; kSoundNoDriver when the machine has none.
    virtual SoundResult Initialize() = 0;
    // The window the device plays for and the level (DSSCL_); the window must exist.
    virtual SoundResult SetCooperativeLevel(HWND window, DWORD level) = 0;
    // Needs Initialize first.
    virtual SoundResult CreateSoundBuffer(const SoundBufferDesc& desc,
                                          std::unique_ptr<SoundBuffer>* buffer) = 0;
    // A secondary buffer over the same bytes, with its own cursor and state.
    virtual SoundResult DuplicateSoundBuffer(SoundBuffer* original,
                                             std::unique_ptr<SoundBuffer>* duplicate) = 0;
};

using SoundDeviceFactory = std::unique_ptr<SoundDevice> (*)();

// A device object from the installed factory (null when it makes none), else over the back end's output.
// Making one opens nothing.
std::unique_ptr<SoundDevice> CreateSoundDevice();
// A device over the back end's output, whatever factory is installed (for doubles that wrap it).
std::unique_ptr<SoundDevice> CreateBackendSoundDevice();
// Null puts the back end's device back.
void SetSoundDeviceFactory(SoundDeviceFactory factory);

} // namespace platform
