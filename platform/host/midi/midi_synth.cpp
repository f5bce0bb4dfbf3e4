#include "platform/host/midi/midi_synth.h"

#include <algorithm>
#include <cmath>
#include <dlfcn.h>
#include <fluidsynth.h>

namespace platform {

namespace {

// The library's warnings about a sound font's quirks are not the program's business.
void QuietLog(int, const char*, void*)
{}

void PrepareLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, &QuietLog, nullptr);
    });
    // The library loads sound fonts with a team of threads where it was built with one; the small General
    // MIDI font loads as fast on the calling thread, and no threads are left behind. The setting belongs
    // to the calling thread.
    using SetThreads = void (*)(int);
    static const auto setThreads = reinterpret_cast<SetThreads>(dlsym(RTLD_DEFAULT, "omp_set_num_threads"));
    if (setThreads != nullptr) setThreads(1);
}

constexpr double kBaseGain = 0.4;

} // namespace

struct MidiSynth::Native
{
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    ~Native()
    {
        if (player != nullptr) delete_fluid_player(player);
        if (synth != nullptr) delete_fluid_synth(synth);
        if (settings != nullptr) delete_fluid_settings(settings);
    }
};

std::shared_ptr<MidiSynth> MidiSynth::Create(std::uint32_t rate)
{
    PrepareLibrary();
    auto native = std::make_unique<Native>();
    native->settings = new_fluid_settings();
    if (native->settings == nullptr) return nullptr;
    fluid_settings_setnum(native->settings, "synth.sample-rate", double(rate));
    fluid_settings_setnum(native->settings, "synth.gain", kBaseGain);
    // The player follows the rendered frames, not the wall clock.
    fluid_settings_setstr(native->settings, "player.timing-source", "sample");
    fluid_settings_setint(native->settings, "synth.threadsafe-api", 0);
    native->synth = new_fluid_synth(native->settings);
    if (native->synth == nullptr) return nullptr;
    if (fluid_synth_sfload(native->synth, kGeneralMidiSoundFont, 1) == FLUID_FAILED) return nullptr;
    return std::shared_ptr<MidiSynth>(new MidiSynth(std::move(native)));
}

MidiSynth::MidiSynth(std::unique_ptr<Native> native) : m_native(std::move(native))
{}

MidiSynth::~MidiSynth() = default;

void MidiSynth::DropPlayerLocked()
{
    if (m_native->player != nullptr) {
        fluid_player_stop(m_native->player);
        delete_fluid_player(m_native->player);
        m_native->player = nullptr;
    }
    fluid_synth_all_sounds_off(m_native->synth, -1);
    fluid_synth_system_reset(m_native->synth);
}

bool MidiSynth::Load(const std::uint8_t* data, std::size_t size)
{
    MidiTiming timing;
    const bool ok = timing.Parse(data, size);
    std::lock_guard lock(m_mutex);
    DropPlayerLocked();
    m_playing = false;
    m_ended = false;
    m_stoppedTick = 0;
    if (!ok) {
        m_song.clear();
        m_timing = MidiTiming();
        return false;
    }
    m_song.assign(data, data + size);
    m_timing = timing;
    return true;
}

void MidiSynth::Unload()
{
    std::lock_guard lock(m_mutex);
    DropPlayerLocked();
    m_song.clear();
    m_timing = MidiTiming();
    m_playing = false;
    m_stoppedTick = 0;
}

bool MidiSynth::IsLoaded() const
{
    std::lock_guard lock(m_mutex);
    return !m_song.empty();
}

bool MidiSynth::StartPlayerLocked(std::uint32_t fromTick)
{
    fluid_player_t* player = new_fluid_player(m_native->synth);
    if (player == nullptr) return false;
    if (fluid_player_add_mem(player, m_song.data(), m_song.size()) != FLUID_OK) {
        delete_fluid_player(player);
        return false;
    }
    fluid_player_seek(player, int(std::min<std::uint32_t>(fromTick, m_timing.GetLengthTicks())));
    if (fluid_player_play(player) != FLUID_OK) {
        delete_fluid_player(player);
        return false;
    }
    m_native->player = player;
    return true;
}

bool MidiSynth::Play(std::uint32_t fromTick, bool looping)
{
    std::lock_guard lock(m_mutex);
    DropPlayerLocked();
    m_playing = false;
    m_ended = false;
    if (m_song.empty() || !StartPlayerLocked(fromTick)) return false;
    m_looping = looping;
    m_stoppedTick = fromTick;
    m_playing = true;
    return true;
}

void MidiSynth::Stop()
{
    std::lock_guard lock(m_mutex);
    if (m_playing && m_native->player != nullptr) {
        const int tick = fluid_player_get_current_tick(m_native->player);
        if (tick > 0) m_stoppedTick = std::min(std::uint32_t(tick), m_timing.GetLengthTicks());
    }
    DropPlayerLocked();
    m_playing = false;
}

void MidiSynth::Seek(std::uint32_t tick)
{
    std::lock_guard lock(m_mutex);
    DropPlayerLocked();
    m_playing = false;
    m_stoppedTick = std::min(tick, m_timing.GetLengthTicks());
}

bool MidiSynth::IsPlaying() const
{
    std::lock_guard lock(m_mutex);
    return m_playing;
}

std::uint32_t MidiSynth::GetTick() const
{
    std::lock_guard lock(m_mutex);
    if (!m_playing || m_native->player == nullptr) return m_stoppedTick;
    const int tick = fluid_player_get_current_tick(m_native->player);
    // Before the first rendered frame the player has not taken its seek yet.
    return tick <= 0 ? m_stoppedTick : std::uint32_t(tick);
}

void MidiSynth::SetVolume(std::int32_t hundredthsOfDecibel)
{
    const double db = std::clamp(hundredthsOfDecibel, -10000, 2000) / 100.0;
    const double gain = hundredthsOfDecibel <= -10000 ? 0.0 : kBaseGain * std::pow(10.0, db / 20.0);
    std::lock_guard lock(m_mutex);
    fluid_synth_set_gain(m_native->synth, float(std::min(gain, 10.0)));
}

void MidiSynth::SetEndCallback(std::function<void()> onEnd)
{
    std::lock_guard lock(m_mutex);
    m_onEnd = std::move(onEnd);
}

bool MidiSynth::MixInto(std::int32_t* accumulator, std::uint32_t frames, bool)
{
    std::lock_guard lock(m_mutex);
    if (!m_playing || m_native->player == nullptr) return false;
    // Small blocks, so that the end of the song is found where it is, whatever the mix's size.
    constexpr std::uint32_t kBlock = 64;
    m_work.resize(std::size_t(kBlock) * 2);
    const std::uint32_t length = m_timing.GetLengthTicks();
    for (std::uint32_t done = 0; done < frames;) {
        const std::uint32_t n = std::min(kBlock, frames - done);
        fluid_synth_write_s16(m_native->synth, int(n), m_work.data(), 0, 2, m_work.data(), 1, 2);
        for (std::size_t i = 0; i < std::size_t(n) * 2; ++i)
            accumulator[std::size_t(done) * 2 + i] += m_work[i];
        done += n;
        // The song ends with its last event (the synthesiser's player would wait for the notes to fade).
        const int tick = fluid_player_get_current_tick(m_native->player);
        const bool atEnd = (length > 0 && tick >= int(length)) ||
                           fluid_player_get_status(m_native->player) == FLUID_PLAYER_DONE;
        if (!atEnd) continue;
        if (m_looping && length > 0) {
            DropPlayerLocked();
            m_stoppedTick = 0;
            if (StartPlayerLocked(0)) continue;
        }
        DropPlayerLocked();
        m_stoppedTick = length;
        m_playing = false;
        m_ended = true;
        return true;
    }
    return false;
}

void MidiSynth::AfterMix()
{
    std::function<void()> onEnd;
    {
        std::lock_guard lock(m_mutex);
        if (!m_ended) return;
        m_ended = false;
        onEnd = m_onEnd;
    }
    if (onEnd) onEnd();
}

} // namespace platform
