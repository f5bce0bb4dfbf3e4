#include "platform/sound.h"

#include "platform/backend_chooser.h"
#include "platform/window_internal.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace platform {

namespace {

std::atomic<SoundDeviceFactory> installedFactory{nullptr};

// The mixers devices were opened on, told when the program gains or loses the focus.
struct OpenMixers
{
    std::mutex mutex;
    std::vector<std::weak_ptr<SoundMixer>> mixers;
};

OpenMixers& Mixers()
{
    static OpenMixers* mixers = new OpenMixers; // outlives threads that end during process exit
    return *mixers;
}

void RememberMixer(const std::shared_ptr<SoundMixer>& mixer)
{
    std::lock_guard lock(Mixers().mutex);
    auto& list = Mixers().mixers;
    list.erase(std::remove_if(list.begin(), list.end(), [](const auto& m) { return m.expired(); }),
               list.end());
    const bool known =
        std::any_of(list.begin(), list.end(), [&](const auto& m) { return m.lock() == mixer; });
    if (!known) list.push_back(mixer);
    mixer->SetApplicationActive(IsApplicationActive());
}

WAVEFORMATEX FormatOf(const PcmFormat& pcm)
{
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = pcm.channels;
    f.nSamplesPerSec = pcm.samplesPerSecond;
    f.wBitsPerSample = pcm.bitsPerSample;
    f.nBlockAlign = WORD(pcm.BlockAlign());
    f.nAvgBytesPerSec = pcm.samplesPerSecond * pcm.BlockAlign();
    return f;
}

// PCM of 1 or 2 channels of 8 or 16 bits within the frequency range, its block alignment whole frames.
bool IsPlayableFormat(const WAVEFORMATEX& f)
{
    const PcmFormat pcm{f.nSamplesPerSec, f.nChannels, f.wBitsPerSample};
    return f.wFormatTag == WAVE_FORMAT_PCM && pcm.IsPlayable() && f.nBlockAlign == pcm.BlockAlign() &&
           f.nSamplesPerSec >= DSBFREQUENCY_MIN && f.nSamplesPerSec <= DSBFREQUENCY_MAX;
}

// What a device's buffers share of it: the cooperative level and the primary format.
struct DeviceState
{
    std::mutex mutex;
    DWORD level = 0;
    WAVEFORMATEX primaryFormat = FormatOf(PcmFormat{kMixRate, 2, 16});
};

// The primary buffer stands for the output: it carries a format and nothing plays through it.
class PrimaryBuffer final : public SoundBuffer
{
public:
    explicit PrimaryBuffer(std::shared_ptr<DeviceState> device) : m_device(std::move(device)) {}

    SoundResult GetStatus(DWORD* status) override
    {
        if (status == nullptr) return kSoundInvalidParam;
        *status = 0;
        return kSoundOk;
    }
    // The format is kept for what asks for it; the mix itself stays in the back end's format, which the
    // device converts to whatever the hardware takes.
    SoundResult SetFormat(const WAVEFORMATEX& format) override
    {
        std::lock_guard lock(m_device->mutex);
        if (m_device->level < DSSCL_PRIORITY) return kSoundPriorityLevelNeeded;
        if (!IsPlayableFormat(format)) return kSoundBadFormat;
        m_device->primaryFormat = format;
        m_device->primaryFormat.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        m_device->primaryFormat.cbSize = 0;
        return kSoundOk;
    }
    SoundResult GetFormat(WAVEFORMATEX* format) override
    {
        if (format == nullptr) return kSoundInvalidParam;
        std::lock_guard lock(m_device->mutex);
        *format = m_device->primaryFormat;
        return kSoundOk;
    }
    SoundResult SetCurrentPosition(DWORD) override { return kSoundInvalidCall; }
    SoundResult GetCurrentPosition(DWORD*, DWORD*) override { return kSoundInvalidCall; }
    SoundResult SetVolume(LONG) override { return kSoundInvalidCall; }
    SoundResult GetVolume(LONG*) override { return kSoundInvalidCall; }
    SoundResult SetPan(LONG) override { return kSoundInvalidCall; }
    SoundResult GetPan(LONG*) override { return kSoundInvalidCall; }
    SoundResult SetFrequency(DWORD) override { return kSoundInvalidCall; }
    SoundResult GetFrequency(DWORD*) override { return kSoundInvalidCall; }
    SoundResult Lock(DWORD, DWORD, void**, DWORD*, void**, DWORD*) override { return kSoundInvalidCall; }
    SoundResult Unlock(void*, DWORD, void*, DWORD) override { return kSoundInvalidCall; }
    SoundResult Play(DWORD) override { return kSoundInvalidCall; }
    SoundResult Stop() override { return kSoundInvalidCall; }
    SoundResult Restore() override { return kSoundOk; }

private:
    std::shared_ptr<DeviceState> m_device;
};

// A secondary buffer: one voice of the mixer. Locks lend a copy of the locked bytes, which Unlock writes
// back, so the mixing thread never reads bytes while they are being written.
class SecondaryBuffer final : public SoundBuffer
{
public:
    SecondaryBuffer(std::unique_ptr<SoundVoice> voice, DWORD flags)
        : m_voice(std::move(voice)), m_flags(flags)
    {}

    std::unique_ptr<SoundBuffer> Duplicate() const
    {
        return std::make_unique<SecondaryBuffer>(m_voice->Duplicate(), m_flags);
    }

    SoundResult GetStatus(DWORD* status) override
    {
        if (status == nullptr) return kSoundInvalidParam;
        *status = 0;
        if (m_voice->IsPlaying())
            *status = DSBSTATUS_PLAYING | (m_voice->IsLooping() ? DSBSTATUS_LOOPING : 0);
        if (m_voice->IsLost()) *status |= DSBSTATUS_BUFFERLOST;
        return kSoundOk;
    }
    SoundResult SetFormat(const WAVEFORMATEX&) override { return kSoundInvalidCall; }
    SoundResult GetFormat(WAVEFORMATEX* format) override
    {
        if (format == nullptr) return kSoundInvalidParam;
        *format = FormatOf(m_voice->GetFormat());
        return kSoundOk;
    }
    SoundResult SetCurrentPosition(DWORD offset) override
    {
        if (offset >= m_voice->GetSize()) return kSoundInvalidParam;
        m_voice->SetPlayPosition(offset);
        return kSoundOk;
    }
    SoundResult GetCurrentPosition(DWORD* play, DWORD* write) override
    {
        std::uint32_t p = 0, w = 0;
        m_voice->GetCursors(p, w);
        if (play != nullptr) *play = p;
        if (write != nullptr) *write = w;
        return kSoundOk;
    }
    SoundResult SetVolume(LONG volume) override
    {
        if (!(m_flags & DSBCAPS_CTRLVOLUME)) return kSoundControlUnavailable;
        if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return kSoundInvalidParam;
        m_voice->SetVolume(volume);
        return kSoundOk;
    }
    SoundResult GetVolume(LONG* volume) override
    {
        if (!(m_flags & DSBCAPS_CTRLVOLUME)) return kSoundControlUnavailable;
        if (volume == nullptr) return kSoundInvalidParam;
        *volume = m_voice->GetVolume();
        return kSoundOk;
    }
    SoundResult SetPan(LONG pan) override
    {
        if (!(m_flags & DSBCAPS_CTRLPAN)) return kSoundControlUnavailable;
        if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return kSoundInvalidParam;
        m_voice->SetPan(pan);
        return kSoundOk;
    }
    SoundResult GetPan(LONG* pan) override
    {
        if (!(m_flags & DSBCAPS_CTRLPAN)) return kSoundControlUnavailable;
        if (pan == nullptr) return kSoundInvalidParam;
        *pan = m_voice->GetPan();
        return kSoundOk;
    }
    SoundResult SetFrequency(DWORD samplesPerSecond) override
    {
        if (!(m_flags & DSBCAPS_CTRLFREQUENCY)) return kSoundControlUnavailable;
        if (samplesPerSecond != DSBFREQUENCY_ORIGINAL &&
            (samplesPerSecond < DSBFREQUENCY_MIN || samplesPerSecond > DSBFREQUENCY_MAX))
            return kSoundInvalidParam;
        m_voice->SetFrequency(samplesPerSecond);
        return kSoundOk;
    }
    SoundResult GetFrequency(DWORD* samplesPerSecond) override
    {
        if (!(m_flags & DSBCAPS_CTRLFREQUENCY)) return kSoundControlUnavailable;
        if (samplesPerSecond == nullptr) return kSoundInvalidParam;
        *samplesPerSecond = m_voice->GetFrequency();
        return kSoundOk;
    }
    SoundResult Lock(DWORD offset, DWORD bytes, void** part1, DWORD* size1, void** part2,
                     DWORD* size2) override
    {
        const DWORD size = m_voice->GetSize();
        if (part1 == nullptr || size1 == nullptr || offset >= size || bytes == 0 || bytes > size)
            return kSoundInvalidParam;
        const DWORD first = std::min(bytes, size - offset);
        const DWORD second = bytes - first;
        if (second != 0 && (part2 == nullptr || size2 == nullptr)) return kSoundInvalidParam;
        if (m_voice->IsLost()) return kSoundBufferLost;
        Lent lent{std::make_unique<std::uint8_t[]>(bytes), offset, first, second};
        m_voice->Read(offset, lent.bytes.get(), first);
        m_voice->Read(0, lent.bytes.get() + first, second);
        *part1 = lent.bytes.get();
        *size1 = first;
        if (part2 != nullptr) *part2 = second != 0 ? lent.bytes.get() + first : nullptr;
        if (size2 != nullptr) *size2 = second;
        std::lock_guard lock(m_lentMutex);
        m_lent.push_back(std::move(lent));
        return kSoundOk;
    }
    SoundResult Unlock(void* part1, DWORD size1, void* part2, DWORD size2) override
    {
        std::lock_guard lock(m_lentMutex);
        auto it =
            std::find_if(m_lent.begin(), m_lent.end(), [&](const Lent& l) { return l.bytes.get() == part1; });
        if (it == m_lent.end() || size1 > it->size1 || size2 > it->size2 ||
            (size2 != 0 && part2 != it->bytes.get() + it->size1))
            return kSoundInvalidParam;
        m_voice->Write(it->offset, it->bytes.get(), size1);
        m_voice->Write(0, it->bytes.get() + it->size1, size2);
        m_lent.erase(it);
        return kSoundOk;
    }
    SoundResult Play(DWORD flags) override
    {
        if (m_voice->IsLost()) return kSoundBufferLost;
        m_voice->Play((flags & DSBPLAY_LOOPING) != 0);
        return kSoundOk;
    }
    SoundResult Stop() override
    {
        m_voice->Stop();
        return kSoundOk;
    }
    SoundResult Restore() override
    {
        m_voice->Restore();
        return kSoundOk;
    }

private:
    struct Lent
    {
        std::unique_ptr<std::uint8_t[]> bytes;
        DWORD offset;
        DWORD size1;
        DWORD size2;
    };

    std::unique_ptr<SoundVoice> m_voice;
    const DWORD m_flags;
    std::mutex m_lentMutex;
    std::vector<Lent> m_lent;
};

class BackendDevice final : public SoundDevice
{
public:
    SoundResult Initialize() override
    {
        if (m_mixer) return kSoundOk;
        m_mixer = GetBackend().OpenSoundOutput();
        if (!m_mixer) return kSoundNoDriver;
        RememberMixer(m_mixer);
        return kSoundOk;
    }
    SoundResult SetCooperativeLevel(HWND window, DWORD level) override
    {
        if (!m_mixer) return kSoundUninitialized;
        if (!IsWindow(window) || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY)
            return kSoundInvalidParam;
        std::lock_guard lock(m_state->mutex);
        m_state->level = level;
        return kSoundOk;
    }
    SoundResult CreateSoundBuffer(const SoundBufferDesc& desc, std::unique_ptr<SoundBuffer>* buffer) override
    {
        if (buffer == nullptr) return kSoundInvalidParam;
        if (!m_mixer) return kSoundUninitialized;
        if (desc.flags & DSBCAPS_PRIMARYBUFFER) {
            if (desc.bufferBytes != 0 || desc.format != nullptr) return kSoundInvalidParam;
            *buffer = std::make_unique<PrimaryBuffer>(m_state);
            return kSoundOk;
        }
        if (desc.format == nullptr || desc.bufferBytes < DSBSIZE_MIN || desc.bufferBytes > DSBSIZE_MAX)
            return kSoundInvalidParam;
        if (!IsPlayableFormat(*desc.format)) return kSoundBadFormat;
        const PcmFormat pcm{desc.format->nSamplesPerSec, desc.format->nChannels, desc.format->wBitsPerSample};
        std::unique_ptr<SoundVoice> voice =
            m_mixer->CreateVoice(pcm, desc.bufferBytes, (desc.flags & DSBCAPS_GLOBALFOCUS) != 0);
        if (!voice) return kSoundInvalidParam;
        *buffer = std::make_unique<SecondaryBuffer>(std::move(voice), desc.flags);
        return kSoundOk;
    }
    SoundResult DuplicateSoundBuffer(SoundBuffer* original, std::unique_ptr<SoundBuffer>* duplicate) override
    {
        auto* secondary = dynamic_cast<SecondaryBuffer*>(original);
        if (secondary == nullptr || duplicate == nullptr) return kSoundInvalidParam;
        *duplicate = secondary->Duplicate();
        return kSoundOk;
    }

private:
    std::shared_ptr<SoundMixer> m_mixer;
    std::shared_ptr<DeviceState> m_state = std::make_shared<DeviceState>();
};

} // namespace

std::unique_ptr<SoundDevice> CreateSoundDevice()
{
    if (SoundDeviceFactory factory = installedFactory.load()) return factory();
    return CreateBackendSoundDevice();
}

std::unique_ptr<SoundDevice> CreateBackendSoundDevice()
{
    return std::make_unique<BackendDevice>();
}

void SetSoundDeviceFactory(SoundDeviceFactory factory)
{
    installedFactory.store(factory);
}

void SoundFocusChanged()
{
    const bool active = IsApplicationActive();
    std::vector<std::shared_ptr<SoundMixer>> mixers;
    {
        std::lock_guard lock(Mixers().mutex);
        for (const auto& m : Mixers().mixers)
            if (auto mixer = m.lock()) mixers.push_back(std::move(mixer));
    }
    for (const auto& mixer : mixers)
        mixer->SetApplicationActive(active);
}

} // namespace platform
