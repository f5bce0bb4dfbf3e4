// The mixer devices: lines of the sound output with their volume controls. The machine's one mixer
// device (there when the sound output is) has one destination line, the speakers: two channels whose
// volume control (0 to 65535 each) is the master gain of everything the program plays. It has no source
// lines; a program that looks for the wave, synthesiser or CD lines does not find them.
#pragma once

#include "platform/win_types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct MixerTag;
using HMIXER = MixerTag*;

// Results: 0 done, else what went wrong.
using MixerResult = std::uint32_t;
constexpr MixerResult MMSYSERR_NOERROR = 0;
constexpr MixerResult MMSYSERR_BADDEVICEID = 2;
constexpr MixerResult MMSYSERR_ALLOCATED = 4;
constexpr MixerResult MMSYSERR_INVALHANDLE = 5;
constexpr MixerResult MMSYSERR_NODRIVER = 6;
constexpr MixerResult MMSYSERR_NOMEM = 7;
constexpr MixerResult MMSYSERR_INVALFLAG = 10;
constexpr MixerResult MMSYSERR_INVALPARAM = 11;
constexpr MixerResult MIXERR_INVALLINE = 1024;
constexpr MixerResult MIXERR_INVALCONTROL = 1025;

// Kinds of lines.
constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_SPEAKERS = 4;
constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER = 0x1004;
constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC = 0x1005;
constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008;
// Kinds of controls.
constexpr DWORD MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001;

struct MixerCaps
{
    std::string name;
    DWORD destinations = 0;
};

struct MixerLine
{
    DWORD destination = 0;
    DWORD source = 0;
    DWORD lineId = 0;
    DWORD componentType = 0;
    DWORD channels = 0;
    DWORD connections = 0; // source lines of a destination
    DWORD controls = 0;
};

struct MixerControl
{
    DWORD controlId = 0;
    DWORD controlType = 0;
    DWORD multipleItems = 0; // 0: one value per channel
};

// The number of mixer devices: 1 when the machine has sound output, else 0.
UINT MixerGetDeviceCount();
MixerResult MixerOpen(HMIXER* mixer, UINT device);
MixerResult MixerClose(HMIXER mixer);
MixerResult MixerGetCaps(HMIXER mixer, MixerCaps* caps);
MixerResult MixerGetDestinationLine(HMIXER mixer, DWORD destination, MixerLine* line);
MixerResult MixerGetSourceLine(HMIXER mixer, DWORD destination, DWORD source, MixerLine* line);
// All controls of a line.
MixerResult MixerGetLineControls(HMIXER mixer, DWORD lineId, std::vector<MixerControl>* controls);
// One value per channel; `channels` must be the line's.
MixerResult MixerGetControlValues(HMIXER mixer, DWORD controlId, DWORD channels, std::vector<DWORD>* values);
// Values above 65535 are taken as 65535.
MixerResult MixerSetControlValues(HMIXER mixer, DWORD controlId, const std::vector<DWORD>& values);

} // namespace platform
