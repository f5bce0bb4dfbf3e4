// The software mixer behind every sound output: PCM buffers ("voices") of their own formats, played once
// or looped, mixed into one 16-bit stereo stream that a back end hands to its device (or, headless,
// captures when a test moves time on).
//
// Every voice's state and bytes are guarded by its mixer's lock, so voices may be used from any thread
// while the device's thread mixes. Rates other than the mix's are converted by linear interpolation; a
// voice at the mix's rate and full volume passes its samples through unchanged.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

// The mix every back end plays: 44100 frames a second of interleaved signed 16-bit left and right.
constexpr std::uint32_t kMixRate = 44100;

// A PCM format a voice accepts: 1 or 2 channels of 8-bit unsigned or 16-bit signed little-endian samples.
struct PcmFormat
{
    std::uint32_t samplesPerSecond = 0;
    std::uint16_t channels = 0;
    std::uint16_t bitsPerSample = 0;

    std::uint32_t BlockAlign() const { return std::uint32_t(channels) * bitsPerSample / 8; }
    bool IsPlayable() const
    {
        return (channels == 1 || channels == 2) && (bitsPerSample == 8 || bitsPerSample == 16) &&
               samplesPerSecond != 0;
    }
};

// Volume and pan in hundredths of a decibel: 0 is full, -10000 and below silent. The gain is 10^(v/2000).
constexpr std::int32_t kSilentVolume = -10000;

class SoundMixer;

// Something that makes its own frames for the mix, such as a synthesiser. MixInto runs on the mixing
// thread under the mixer's lock: it adds `frames` stereo frames to the accumulator and answers whether it
// has news for its owner, which AfterMix then brings, once the lock is released (so it may post messages).
class SoundSource
{
public:
    virtual ~SoundSource() = default;
    virtual bool MixInto(std::int32_t* accumulator, std::uint32_t frames, bool audible) = 0;
    virtual void AfterMix() {}
};

// One buffer of PCM bytes in a mix. Positions are bytes of the voice's own format. The bytes may be
// shared with duplicates of the voice; each has its own cursor, volume and state.
class SoundVoice
{
public:
    SoundVoice(const SoundVoice&) = delete;
    SoundVoice& operator=(const SoundVoice&) = delete;
    // Leaves the mix.
    ~SoundVoice();

    const PcmFormat& GetFormat() const { return m_format; }
    std::uint32_t GetSize() const { return m_size; }

    // Plays from the current position (from the beginning when it is at the end); a voice already playing
    // only takes the new looping.
    void Play(bool looping);
    // Stops where it is.
    void Stop();
    bool IsPlaying() const;
    bool IsLooping() const;
    // The play position, rounded down to a whole frame; a position past the end is the end.
    void SetPlayPosition(std::uint32_t byte);
    // The play cursor, and the write cursor: where writing is safe. The write cursor runs 15 ms ahead of
    // the play cursor from the first Play on, so a voice that stops keeps both cursors still; setting the
    // position of a stopped voice brings it back to the play cursor. A voice that played to its end
    // reports its size for both.
    void GetCursors(std::uint32_t& play, std::uint32_t& write) const;

    void SetVolume(std::int32_t hundredthsOfDecibel);
    std::int32_t GetVolume() const;
    // Negative attenuates the right channel, positive the left, in hundredths of a decibel.
    void SetPan(std::int32_t pan);
    std::int32_t GetPan() const;
    // Samples a second played; 0 means the format's own rate.
    void SetFrequency(std::uint32_t samplesPerSecond);
    std::uint32_t GetFrequency() const;

    // Copies bytes out of or into the buffer; the range must lie within it.
    void Read(std::uint32_t offset, std::uint8_t* to, std::uint32_t bytes) const;
    void Write(std::uint32_t offset, const std::uint8_t* from, std::uint32_t bytes);

    // Whether the voice lost its memory (it then stops and plays nothing until it is restored).
    bool IsLost() const;
    void Restore();

    // A new voice over the same bytes, stopped at 0 with this voice's volume, pan and frequency.
    std::unique_ptr<SoundVoice> Duplicate() const;

private:
    friend class SoundMixer;
    SoundVoice(std::shared_ptr<SoundMixer> mixer, const PcmFormat& format, std::uint32_t size,
               bool globalFocus, std::shared_ptr<std::vector<std::uint8_t>> bytes);
    // Adds the next frames of this voice to the accumulator; the mixer's lock is held.
    void MixInto(std::int32_t* accumulator, std::uint32_t frames, bool audible);
    template <int Bits, int Channels>
    void MixFrames(std::int32_t* accumulator, std::uint32_t frames, bool audible);
    void UpdateGains();
    std::uint32_t FrameCount() const { return m_size / m_format.BlockAlign(); }

    std::shared_ptr<SoundMixer> m_mixer;
    const PcmFormat m_format;
    const std::uint32_t m_size;
    const bool m_globalFocus;
    std::shared_ptr<std::vector<std::uint8_t>> m_bytes;
    // Under the mixer's lock.
    bool m_playing = false;
    bool m_looping = false;
    bool m_writeAhead = false; // whether the write cursor runs ahead
    bool m_lost = false;
    std::uint64_t m_position = 0; // source frames, 32.32 fixed point
    std::int32_t m_volume = 0;
    std::int32_t m_pan = 0;
    std::uint32_t m_frequency = 0;
    std::int32_t m_gainLeft = 65536; // 16.16
    std::int32_t m_gainRight = 65536;
};

class SoundMixer : public std::enable_shared_from_this<SoundMixer>
{
public:
    explicit SoundMixer(std::uint32_t outputRate = kMixRate) : m_outputRate(outputRate) {}
    SoundMixer(const SoundMixer&) = delete;
    SoundMixer& operator=(const SoundMixer&) = delete;

    std::uint32_t GetOutputRate() const { return m_outputRate; }

    // A new voice of `size` zero bytes, stopped at 0. A voice without global focus is silent
    // (though it goes on playing) while the application is inactive. Null for a format no voice plays or
    // a size below one frame. The mixer must be held by a shared_ptr; each voice keeps it alive.
    std::unique_ptr<SoundVoice> CreateVoice(const PcmFormat& format, std::uint32_t size, bool globalFocus);

    // Whether a window of the program has the focus.
    void SetApplicationActive(bool active);

    // Sources join and leave the mix; the mixer keeps a joined source alive until it leaves.
    void AddSource(const std::shared_ptr<SoundSource>& source);
    void RemoveSource(const SoundSource* source);

    // The master gain of the mix, per channel 0 (silent) to 65535 (the mix unchanged); it starts full.
    void SetMasterGain(std::uint16_t left, std::uint16_t right);
    void GetMasterGain(std::uint16_t& left, std::uint16_t& right) const;

    // Every voice loses its memory, as when another program takes the device over. No back end does this
    // by itself; the headless one's script can.
    void LoseVoices();

    // Mixes the next `frames` frames of every playing voice into `stereo` (2 × frames samples, overwritten)
    // and moves their cursors on.
    void Mix(std::int16_t* stereo, std::uint32_t frames);

    // How often any voice's cursors were read: lets a test see that a reader has looked since it moved
    // time on.
    std::uint64_t GetCursorReads() const { return m_cursorReads.load(); }

private:
    friend class SoundVoice;

    const std::uint32_t m_outputRate;
    mutable std::mutex m_mutex;
    std::vector<SoundVoice*> m_voices;
    std::vector<std::shared_ptr<SoundSource>> m_sources;
    std::uint32_t m_masterLeft = 65535;
    std::uint32_t m_masterRight = 65535;
    std::vector<std::int32_t> m_accumulator;
    bool m_active = true;
    mutable std::atomic<std::uint64_t> m_cursorReads{0};
};

} // namespace platform
