#pragma once
// Decoders that turn compressed sound into PCM of signed 16-bit little-endian samples, channels
// interleaved.
//
// SoundDecoder converts the data of a compressed WAVE format (IMA ADPCM, Microsoft ADPCM, µ-law, A-law)
// or MPEG audio described by a Layer-3 format record, piece by piece, as a codec manager converts: whole
// source blocks at a time into the room the caller gives, telling how much of each side it used. The
// caller owns the position in the source and may start a new decoder anywhere in it.
//
// OggVorbisDecoder decodes a whole Ogg Vorbis file held in memory, with seeking.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

// The format tags of the WAVE format records the decoders take.
constexpr std::uint16_t kWaveFormatMsAdpcm = 0x0002;
constexpr std::uint16_t kWaveFormatALaw = 0x0006;
constexpr std::uint16_t kWaveFormatMuLaw = 0x0007;
constexpr std::uint16_t kWaveFormatImaAdpcm = 0x0011;
constexpr std::uint16_t kWaveFormatMpegLayer3 = 0x0055;

// The PCM a decoder delivers: 16-bit samples of `channels` channels.
struct PcmShape
{
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
};

class SoundDecoder
{
public:
    // The PCM that the data of a WAVE format record decodes to. The record is given as its bytes
    // (`recordBytes` of them: the 16 common bytes, its size field and its format-specific bytes as far as
    // the caller has them). False for a format no decoder here takes: a tag other than the ones above,
    // other than 1 or 2 channels, a rate outside 100 to 200000 samples a second (what sound buffers
    // play), or block and sample sizes that do not fit the tag. An MPEG record needs its 30 bytes and a
    // block size.
    static bool SuggestPcm(const std::uint8_t* record, std::size_t recordBytes, PcmShape& pcm);
    // A new decoder from the format to its suggested PCM, at the start of a stream; null when the
    // format is not taken or the decoding library fails to start.
    static std::unique_ptr<SoundDecoder> Create(const std::uint8_t* record, std::size_t recordBytes);

    virtual ~SoundDecoder() = default;
    // The PCM bytes that `sourceBytes` bytes give, counted in whole source blocks; false when they hold
    // no whole block.
    virtual bool OutputBytesFor(std::uint32_t sourceBytes, std::uint32_t& outputBytes) const = 0;
    // The source bytes of the whole blocks that give at most `outputBytes` bytes; false when not one
    // block's output fits.
    virtual bool SourceBytesFor(std::uint32_t outputBytes, std::uint32_t& sourceBytes) const = 0;
    // Decodes from `source` into the `outputBytes` bytes at `output` while both last, and tells how
    // many bytes of each it used (0 and 0 when the room does not hold the output of one block). An MPEG
    // decoder keeps what it decoded beyond the room for the next call. False when decoding failed.
    virtual bool Convert(const std::uint8_t* source, std::uint32_t sourceBytes, std::uint8_t* output,
                         std::uint32_t outputBytes, std::uint32_t& sourceUsed, std::uint32_t& outputUsed) = 0;
    // The byte whose decoding is silence, to pad a short tail of the source with.
    virtual std::uint8_t SilenceByte() const { return 0; }
};

class OggVorbisDecoder
{
public:
    // A decoder over the bytes, which the caller keeps alive and unchanged while it lives; null when
    // they are not an Ogg Vorbis stream of 1 or 2 channels.
    static std::unique_ptr<OggVorbisDecoder> Open(const void* data, std::size_t size);

    virtual ~OggVorbisDecoder() = default;
    virtual PcmShape Output() const = 0;
    // Sample frames of the whole stream.
    virtual std::uint64_t TotalFrames() const = 0;
    // Sample frames decoded so far (or sought to).
    virtual std::uint64_t Position() const = 0;
    // Decodes whole frames into at most `bytes` bytes: the bytes written; 0 at the end, on a broken
    // stream or when the room does not hold one frame.
    virtual std::uint32_t Read(std::uint8_t* output, std::uint32_t bytes) = 0;
    // Moves to a frame before the end, or back to the start; false when it cannot.
    virtual bool Seek(std::uint64_t frame) = 0;
};

} // namespace platform
