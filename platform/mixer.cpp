#include "platform/mixer.h"

#include "platform/backend_chooser.h"
#include "platform/host/sound_mixer.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

namespace platform {

namespace {

constexpr DWORD kSpeakersLine = 0xFFFF0000;
constexpr DWORD kMasterVolumeControl = 1;
constexpr DWORD kChannels = 2;

// Open mixers by handle: each holds the sound output, so its master gain lasts while the mixer is open.
struct OpenMixers
{
    std::mutex mutex;
    std::map<std::uintptr_t, std::shared_ptr<SoundMixer>> byHandle;
    std::uintptr_t next = 1;
};

OpenMixers& M()
{
    static OpenMixers* mixers = new OpenMixers; // outlives threads that end during process exit
    return *mixers;
}

std::shared_ptr<SoundMixer> Find(HMIXER mixer)
{
    std::lock_guard lock(M().mutex);
    auto it = M().byHandle.find(reinterpret_cast<std::uintptr_t>(mixer));
    return it == M().byHandle.end() ? nullptr : it->second;
}

MixerLine SpeakersLine()
{
    MixerLine line;
    line.destination = 0;
    line.lineId = kSpeakersLine;
    line.componentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    line.channels = kChannels;
    line.connections = 0;
    line.controls = 1;
    return line;
}

} // namespace

UINT MixerGetDeviceCount()
{
    return GetBackend().OpenSoundOutput() ? 1 : 0;
}

MixerResult MixerOpen(HMIXER* mixer, UINT device)
{
    if (mixer == nullptr) return MMSYSERR_INVALPARAM;
    *mixer = nullptr;
    if (device != 0) return MMSYSERR_BADDEVICEID;
    std::shared_ptr<SoundMixer> output = GetBackend().OpenSoundOutput();
    if (!output) return MMSYSERR_NODRIVER;
    std::lock_guard lock(M().mutex);
    const std::uintptr_t handle = M().next++;
    M().byHandle[handle] = std::move(output);
    *mixer = reinterpret_cast<HMIXER>(handle);
    return MMSYSERR_NOERROR;
}

MixerResult MixerClose(HMIXER mixer)
{
    std::lock_guard lock(M().mutex);
    return M().byHandle.erase(reinterpret_cast<std::uintptr_t>(mixer)) != 0 ? MMSYSERR_NOERROR
                                                                            : MMSYSERR_INVALHANDLE;
}

MixerResult MixerGetCaps(HMIXER mixer, MixerCaps* caps)
{
    if (!Find(mixer)) return MMSYSERR_INVALHANDLE;
    if (caps == nullptr) return MMSYSERR_INVALPARAM;
    caps->name = "Master";
    caps->destinations = 1;
    return MMSYSERR_NOERROR;
}

MixerResult MixerGetDestinationLine(HMIXER mixer, DWORD destination, MixerLine* line)
{
    if (!Find(mixer)) return MMSYSERR_INVALHANDLE;
    if (line == nullptr) return MMSYSERR_INVALPARAM;
    if (destination != 0) return MIXERR_INVALLINE;
    *line = SpeakersLine();
    return MMSYSERR_NOERROR;
}

MixerResult MixerGetSourceLine(HMIXER mixer, DWORD, DWORD, MixerLine* line)
{
    if (!Find(mixer)) return MMSYSERR_INVALHANDLE;
    if (line == nullptr) return MMSYSERR_INVALPARAM;
    return MIXERR_INVALLINE;
}

MixerResult MixerGetLineControls(HMIXER mixer, DWORD lineId, std::vector<MixerControl>* controls)
{
    if (!Find(mixer)) return MMSYSERR_INVALHANDLE;
    if (controls == nullptr) return MMSYSERR_INVALPARAM;
    if (lineId != kSpeakersLine) return MIXERR_INVALLINE;
    *controls = {MixerControl{kMasterVolumeControl, MIXERCONTROL_CONTROLTYPE_VOLUME, 0}};
    return MMSYSERR_NOERROR;
}

MixerResult MixerGetControlValues(HMIXER mixer, DWORD controlId, DWORD channels, std::vector<DWORD>* values)
{
    std::shared_ptr<SoundMixer> output = Find(mixer);
    if (!output) return MMSYSERR_INVALHANDLE;
    if (values == nullptr || channels != kChannels) return MMSYSERR_INVALPARAM;
    if (controlId != kMasterVolumeControl) return MIXERR_INVALCONTROL;
    std::uint16_t left = 0, right = 0;
    output->GetMasterGain(left, right);
    *values = {left, right};
    return MMSYSERR_NOERROR;
}

MixerResult MixerSetControlValues(HMIXER mixer, DWORD controlId, const std::vector<DWORD>& values)
{
    std::shared_ptr<SoundMixer> output = Find(mixer);
    if (!output) return MMSYSERR_INVALHANDLE;
    if (values.size() != kChannels) return MMSYSERR_INVALPARAM;
    if (controlId != kMasterVolumeControl) return MIXERR_INVALCONTROL;
    output->SetMasterGain(std::uint16_t(std::min<DWORD>(values[0], 65535)),
                          std::uint16_t(std::min<DWORD>(values[1], 65535)));
    return MMSYSERR_NOERROR;
}

} // namespace platform
