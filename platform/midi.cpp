#include "platform/midi.h"

#include "platform/backend_chooser.h"
#include "platform/host/file.h"
#include "platform/host/midi/midi_synth.h"
#include "platform/window.h"

#include <mutex>
#include <vector>

namespace platform {

bool CanUseMidiSynthesizer()
{
    static std::once_flag once;
    static bool usable = false;
    std::call_once(once, [] { usable = MidiSong::Create() != nullptr; });
    return usable;
}

std::unique_ptr<MidiSong> MidiSong::Create()
{
    std::shared_ptr<SoundMixer> mixer = GetBackend().OpenSoundOutput();
    if (!mixer) return nullptr;
    std::shared_ptr<MidiSynth> synth = MidiSynth::Create(mixer->GetOutputRate());
    if (!synth) return nullptr;
    mixer->AddSource(synth);
    return std::unique_ptr<MidiSong>(new MidiSong(std::move(mixer), std::move(synth)));
}

MidiSong::MidiSong(std::shared_ptr<SoundMixer> mixer, std::shared_ptr<MidiSynth> synth)
    : m_mixer(std::move(mixer)), m_synth(std::move(synth))
{}

MidiSong::~MidiSong()
{
    m_synth->SetEndCallback(nullptr);
    m_mixer->RemoveSource(m_synth.get());
}

bool MidiSong::LoadFile(std::string_view path)
{
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(path, bytes)) {
        m_synth->Unload();
        return false;
    }
    return LoadMemory(bytes.data(), bytes.size());
}

bool MidiSong::LoadMemory(const void* data, std::size_t size)
{
    return m_synth->Load(static_cast<const std::uint8_t*>(data), size);
}

void MidiSong::Unload()
{
    m_synth->Unload();
}

bool MidiSong::IsLoaded() const
{
    return m_synth->IsLoaded();
}

bool MidiSong::Play(std::uint32_t fromTick, bool looping)
{
    return m_synth->Play(fromTick, looping);
}

void MidiSong::Stop()
{
    m_synth->Stop();
}

void MidiSong::Seek(std::uint32_t tick)
{
    m_synth->Seek(tick);
}

bool MidiSong::IsPlaying() const
{
    return m_synth->IsPlaying();
}

std::uint32_t MidiSong::GetTick() const
{
    return m_synth->GetTick();
}

std::uint32_t MidiSong::GetLengthTicks() const
{
    return m_synth->GetTiming().GetLengthTicks();
}

std::uint32_t MidiSong::TicksToMilliseconds(std::uint32_t ticks) const
{
    return m_synth->GetTiming().TicksToMilliseconds(ticks);
}

std::uint32_t MidiSong::MillisecondsToTicks(std::uint32_t milliseconds) const
{
    return m_synth->GetTiming().MillisecondsToTicks(milliseconds);
}

void MidiSong::SetVolume(std::int32_t hundredthsOfDecibel)
{
    m_synth->SetVolume(hundredthsOfDecibel);
}

void MidiSong::NotifyOnEnd(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window == nullptr) {
        m_synth->SetEndCallback(nullptr);
        return;
    }
    m_synth->SetEndCallback([=] { PostMessage(window, message, wParam, lParam); });
}

} // namespace platform
