#include "platform/host/sound_mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

// How far the write cursor runs ahead of the play cursor, in milliseconds.
constexpr std::uint32_t kWriteLeadMs = 15;

// The 16.16 gain of an attenuation in hundredths of a decibel; silence at the bottom of the scale.
std::int32_t GainOf(std::int32_t hundredths)
{
    if (hundredths <= kSilentVolume) return 0;
    if (hundredths >= 0) return 65536;
    return std::int32_t(std::lround(65536.0 * std::pow(10.0, hundredths / 2000.0)));
}

template <int Bits> std::int32_t SampleAt(const std::uint8_t* p)
{
    if constexpr (Bits == 8) {
        return (std::int32_t(*p) - 128) << 8;
    } else {
        return std::int16_t(std::uint16_t(p[0] | (p[1] << 8)));
    }
}

} // namespace

// ---- Voices.

SoundVoice::SoundVoice(std::shared_ptr<SoundMixer> mixer, const PcmFormat& format, std::uint32_t size,
                       bool globalFocus, std::shared_ptr<std::vector<std::uint8_t>> bytes)
    : m_mixer(std::move(mixer)), m_format(format), m_size(size), m_globalFocus(globalFocus),
      m_bytes(std::move(bytes))
{
    std::lock_guard lock(m_mixer->m_mutex);
    m_mixer->m_voices.push_back(this);
}

SoundVoice::~SoundVoice()
{
    std::lock_guard lock(m_mixer->m_mutex);
    auto& voices = m_mixer->m_voices;
    voices.erase(std::remove(voices.begin(), voices.end(), this), voices.end());
}

void SoundVoice::Play(bool looping)
{
    std::lock_guard lock(m_mixer->m_mutex);
    // A voice that played to its end starts again from the beginning.
    if ((m_position >> 32) >= FrameCount()) m_position = 0;
    m_playing = true;
    m_writeAhead = true;
    m_looping = looping;
}

void SoundVoice::Stop()
{
    std::lock_guard lock(m_mixer->m_mutex);
    m_playing = false;
}

bool SoundVoice::IsPlaying() const
{
    std::lock_guard lock(m_mixer->m_mutex);
    return m_playing;
}

bool SoundVoice::IsLooping() const
{
    std::lock_guard lock(m_mixer->m_mutex);
    return m_looping;
}

void SoundVoice::SetPlayPosition(std::uint32_t byte)
{
    std::lock_guard lock(m_mixer->m_mutex);
    m_position = std::uint64_t(std::min(byte / m_format.BlockAlign(), FrameCount())) << 32;
    if (!m_playing) m_writeAhead = false;
}

void SoundVoice::GetCursors(std::uint32_t& play, std::uint32_t& write) const
{
    std::lock_guard lock(m_mixer->m_mutex);
    ++m_mixer->m_cursorReads;
    const std::uint32_t frame = std::uint32_t(m_position >> 32);
    if (frame >= FrameCount()) {
        play = write = m_size;
        return;
    }
    play = frame * m_format.BlockAlign();
    write = play;
    if (m_writeAhead) {
        const std::uint32_t lead = m_format.samplesPerSecond * kWriteLeadMs / 1000 * m_format.BlockAlign();
        const std::uint32_t span = FrameCount() * m_format.BlockAlign();
        write = std::uint32_t((std::uint64_t(play) + lead) % span);
    }
}

void SoundVoice::SetVolume(std::int32_t hundredthsOfDecibel)
{
    std::lock_guard lock(m_mixer->m_mutex);
    m_volume = hundredthsOfDecibel;
    UpdateGains();
}

std::int32_t SoundVoice::GetVolume() const
{
    std::lock_guard lock(m_mixer->m_mutex);
    return m_volume;
}

void SoundVoice::SetPan(std::int32_t pan)
{
    std::lock_guard lock(m_mixer->m_mutex);
    m_pan = pan;
    UpdateGains();
}

std::int32_t SoundVoice::GetPan() const
{
    std::lock_guard lock(m_mixer->m_mutex);
    return m_pan;
}

void SoundVoice::SetFrequency(std::uint32_t samplesPerSecond)
{
    std::lock_guard lock(m_mixer->m_mutex);
    m_frequency = samplesPerSecond;
}

std::uint32_t SoundVoice::GetFrequency() const
{
    std::lock_guard lock(m_mixer->m_mutex);
    return m_frequency != 0 ? m_frequency : m_format.samplesPerSecond;
}

void SoundVoice::Read(std::uint32_t offset, std::uint8_t* to, std::uint32_t bytes) const
{
    if (bytes == 0) return;
    std::lock_guard lock(m_mixer->m_mutex);
    std::memcpy(to, m_bytes->data() + offset, bytes);
}

void SoundVoice::Write(std::uint32_t offset, const std::uint8_t* from, std::uint32_t bytes)
{
    if (bytes == 0) return;
    std::lock_guard lock(m_mixer->m_mutex);
    std::memcpy(m_bytes->data() + offset, from, bytes);
}

bool SoundVoice::IsLost() const
{
    std::lock_guard lock(m_mixer->m_mutex);
    return m_lost;
}

void SoundVoice::Restore()
{
    std::lock_guard lock(m_mixer->m_mutex);
    m_lost = false;
}

std::unique_ptr<SoundVoice> SoundVoice::Duplicate() const
{
    std::unique_ptr<SoundVoice> copy(new SoundVoice(m_mixer, m_format, m_size, m_globalFocus, m_bytes));
    std::lock_guard lock(m_mixer->m_mutex);
    copy->m_volume = m_volume;
    copy->m_pan = m_pan;
    copy->m_frequency = m_frequency;
    copy->UpdateGains();
    return copy;
}

void SoundVoice::UpdateGains()
{
    const std::int32_t gain = GainOf(m_volume);
    m_gainLeft = std::int32_t((std::int64_t(gain) * GainOf(m_pan > 0 ? -m_pan : 0)) >> 16);
    m_gainRight = std::int32_t((std::int64_t(gain) * GainOf(m_pan < 0 ? m_pan : 0)) >> 16);
}

template <int Bits, int Channels>
void SoundVoice::MixFrames(std::int32_t* accumulator, std::uint32_t frames, bool audible)
{
    constexpr std::uint32_t kBlock = Bits / 8 * Channels;
    const std::uint32_t total = FrameCount();
    const std::uint32_t rate = m_frequency != 0 ? m_frequency : m_format.samplesPerSecond;
    const std::uint64_t step = (std::uint64_t(rate) << 32) / m_mixer->m_outputRate;
    const std::uint8_t* data = m_bytes->data();
    const std::int32_t gainLeft = audible ? m_gainLeft : 0;
    const std::int32_t gainRight = audible ? m_gainRight : 0;
    std::uint64_t position = m_position;
    for (std::uint32_t i = 0; i < frames; ++i) {
        std::uint32_t frame = std::uint32_t(position >> 32);
        if (frame >= total) {
            if (!m_looping) {
                m_playing = false;
                position = std::uint64_t(total) << 32;
                break;
            }
            position %= std::uint64_t(total) << 32;
            frame = std::uint32_t(position >> 32);
        }
        const std::uint32_t next = frame + 1 < total ? frame + 1 : m_looping ? 0 : frame;
        const std::int32_t fraction = std::int32_t(std::uint32_t(position) >> 16);
        const std::uint8_t* a = data + std::size_t(frame) * kBlock;
        const std::uint8_t* b = data + std::size_t(next) * kBlock;
        std::int32_t left = SampleAt<Bits>(a);
        left += ((SampleAt<Bits>(b) - left) * fraction) >> 16;
        std::int32_t right = left;
        if constexpr (Channels == 2) {
            right = SampleAt<Bits>(a + Bits / 8);
            right += ((SampleAt<Bits>(b + Bits / 8) - right) * fraction) >> 16;
        }
        accumulator[2 * i] += (left * gainLeft) >> 16;
        accumulator[2 * i + 1] += (right * gainRight) >> 16;
        position += step;
    }
    m_position = position;
}

void SoundVoice::MixInto(std::int32_t* accumulator, std::uint32_t frames, bool audible)
{
    if (FrameCount() == 0) {
        m_playing = false;
        return;
    }
    const bool wide = m_format.bitsPerSample == 16;
    if (m_format.channels == 2)
        wide ? MixFrames<16, 2>(accumulator, frames, audible) : MixFrames<8, 2>(accumulator, frames, audible);
    else
        wide ? MixFrames<16, 1>(accumulator, frames, audible) : MixFrames<8, 1>(accumulator, frames, audible);
}

// ---- The mixer.

std::unique_ptr<SoundVoice> SoundMixer::CreateVoice(const PcmFormat& format, std::uint32_t size,
                                                    bool globalFocus)
{
    if (!format.IsPlayable() || size < format.BlockAlign()) return nullptr;
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(size, std::uint8_t(0));
    return std::unique_ptr<SoundVoice>(
        new SoundVoice(shared_from_this(), format, size, globalFocus, std::move(bytes)));
}

void SoundMixer::SetApplicationActive(bool active)
{
    std::lock_guard lock(m_mutex);
    m_active = active;
}

void SoundMixer::LoseVoices()
{
    std::lock_guard lock(m_mutex);
    for (SoundVoice* voice : m_voices) {
        voice->m_lost = true;
        voice->m_playing = false;
    }
}

void SoundMixer::AddSource(const std::shared_ptr<SoundSource>& source)
{
    std::lock_guard lock(m_mutex);
    if (source && std::find(m_sources.begin(), m_sources.end(), source) == m_sources.end())
        m_sources.push_back(source);
}

void SoundMixer::RemoveSource(const SoundSource* source)
{
    std::lock_guard lock(m_mutex);
    m_sources.erase(std::remove_if(m_sources.begin(), m_sources.end(),
                                   [source](const auto& s) { return s.get() == source; }),
                    m_sources.end());
}

void SoundMixer::SetMasterGain(std::uint16_t left, std::uint16_t right)
{
    std::lock_guard lock(m_mutex);
    m_masterLeft = left;
    m_masterRight = right;
}

void SoundMixer::GetMasterGain(std::uint16_t& left, std::uint16_t& right) const
{
    std::lock_guard lock(m_mutex);
    left = std::uint16_t(m_masterLeft);
    right = std::uint16_t(m_masterRight);
}

void SoundMixer::Mix(std::int16_t* stereo, std::uint32_t frames)
{
    std::vector<std::shared_ptr<SoundSource>> news;
    {
        std::lock_guard lock(m_mutex);
        m_accumulator.assign(std::size_t(frames) * 2, 0);
        for (SoundVoice* voice : m_voices)
            if (voice->m_playing)
                voice->MixInto(m_accumulator.data(), frames, m_active || voice->m_globalFocus);
        for (const auto& source : m_sources)
            if (source->MixInto(m_accumulator.data(), frames, m_active)) news.push_back(source);
        // Full gain leaves every sample as it is.
        const std::int64_t gain[2] = {m_masterLeft, m_masterRight};
        for (std::size_t i = 0; i < m_accumulator.size(); ++i) {
            const std::int64_t v = std::int64_t(m_accumulator[i]) * gain[i & 1] / 65535;
            stereo[i] = std::int16_t(std::clamp<std::int64_t>(v, -32768, 32767));
        }
    }
    for (const auto& source : news)
        source->AfterMix();
}

} // namespace platform
