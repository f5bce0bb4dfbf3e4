#include "platform/host/media/sound_codec.h"

#include "platform/host/little_endian.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <mpg123.h>
#include <sndfile.h>
#include <vorbis/vorbisfile.h>

namespace platform {

namespace {

// What a format record says, read from its bytes.
struct SRecord
{
    std::uint16_t tag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t mpegBlockSize = 0; // of a Layer-3 record
};

constexpr std::uint32_t kMinRate = 100;
constexpr std::uint32_t kMaxRate = 200000;
// Sample frames of an MPEG-1 Layer II or III frame.
constexpr std::uint32_t kMpegFrameSamples = 1152;

// Samples a channel of an ADPCM block holds: the block header's samples and two per data byte.
std::uint32_t AdpcmSamplesPerBlock(const SRecord& r)
{
    const std::uint32_t header = r.tag == kWaveFormatImaAdpcm ? 4u : 7u;
    const std::uint32_t headerSamples = r.tag == kWaveFormatImaAdpcm ? 1u : 2u;
    return (r.blockAlign - header * r.channels) * 2 / r.channels + headerSamples;
}

bool ReadRecord(const std::uint8_t* bytes, std::size_t size, SRecord& r)
{
    if (bytes == nullptr || size < 16) return false;
    r.tag = ReadU16(bytes);
    r.channels = ReadU16(bytes + 2);
    r.samplesPerSecond = ReadU32(bytes + 4);
    r.blockAlign = ReadU16(bytes + 12);
    r.bitsPerSample = ReadU16(bytes + 14);
    if (r.channels < 1 || r.channels > 2 || r.samplesPerSecond < kMinRate || r.samplesPerSecond > kMaxRate)
        return false;
    switch (r.tag) {
    case kWaveFormatImaAdpcm:
        // Each channel's data comes in runs of 4 bytes after its 4-byte header; a record holds the
        // samples of a block in 16 bits.
        return r.bitsPerSample == 4 && r.blockAlign > 4 * r.channels &&
               (r.blockAlign - 4 * r.channels) % (4 * r.channels) == 0 && AdpcmSamplesPerBlock(r) <= 0xFFFF;
    case kWaveFormatMsAdpcm:
        return r.bitsPerSample == 4 && r.blockAlign >= 7 * r.channels && AdpcmSamplesPerBlock(r) <= 0xFFFF;
    case kWaveFormatMuLaw:
    case kWaveFormatALaw:
        return r.bitsPerSample == 8 && r.blockAlign == r.channels;
    case kWaveFormatMpegLayer3:
        if (size < 30) return false;
        r.mpegBlockSize = ReadU16(bytes + 24);
        return r.mpegBlockSize != 0;
    default:
        return false;
    }
}

// ---- Block formats through the sound-file library ----

// The library reads whole files: each conversion hands it a small WAVE file in memory, a header of the
// library's own making (the canonical record of the format) and the blocks to decode.
struct SMemoryFile
{
    const std::vector<std::uint8_t>* bytes;
    sf_count_t position = 0;
};

sf_count_t MemoryLength(void* user)
{
    return sf_count_t(static_cast<SMemoryFile*>(user)->bytes->size());
}

sf_count_t MemorySeek(sf_count_t offset, int whence, void* user)
{
    auto* file = static_cast<SMemoryFile*>(user);
    const sf_count_t length = sf_count_t(file->bytes->size());
    sf_count_t to = whence == SEEK_SET   ? offset
                    : whence == SEEK_CUR ? file->position + offset
                                         : length + offset;
    file->position = std::clamp<sf_count_t>(to, 0, length);
    return file->position;
}

sf_count_t MemoryRead(void* destination, sf_count_t count, void* user)
{
    auto* file = static_cast<SMemoryFile*>(user);
    const sf_count_t n = std::clamp<sf_count_t>(sf_count_t(file->bytes->size()) - file->position, 0, count);
    if (n > 0) std::memcpy(destination, file->bytes->data() + file->position, std::size_t(n));
    file->position += n;
    return n;
}

sf_count_t MemoryWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t MemoryTell(void* user)
{
    return static_cast<SMemoryFile*>(user)->position;
}

// The coefficient pairs of every Microsoft ADPCM record; blocks choose one by its index.
constexpr std::int16_t kMsAdpcmCoefficients[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                                                     {240, 0}, {460, -208}, {392, -232}};

class BlockDecoder : public SoundDecoder
{
public:
    explicit BlockDecoder(const SRecord& r) : m_record(r)
    {
        const bool adpcm = r.tag == kWaveFormatImaAdpcm || r.tag == kWaveFormatMsAdpcm;
        m_samplesPerBlock = adpcm ? AdpcmSamplesPerBlock(r) : 1;
        m_outputPerBlock = m_samplesPerBlock * r.channels * 2;
        BuildHeader();
    }

    bool OutputBytesFor(std::uint32_t sourceBytes, std::uint32_t& outputBytes) const override
    {
        const std::uint64_t bytes = std::uint64_t(sourceBytes / m_record.blockAlign) * m_outputPerBlock;
        if (bytes == 0 || bytes > 0xFFFFFFFFu) return false;
        outputBytes = std::uint32_t(bytes);
        return true;
    }

    bool SourceBytesFor(std::uint32_t outputBytes, std::uint32_t& sourceBytes) const override
    {
        sourceBytes = outputBytes / m_outputPerBlock * m_record.blockAlign;
        return sourceBytes != 0;
    }

    bool Convert(const std::uint8_t* source, std::uint32_t sourceBytes, std::uint8_t* output,
                 std::uint32_t outputBytes, std::uint32_t& sourceUsed, std::uint32_t& outputUsed) override
    {
        sourceUsed = outputUsed = 0;
        const std::uint32_t blocks =
            std::min(sourceBytes / m_record.blockAlign, outputBytes / m_outputPerBlock);
        if (blocks == 0) return true;
        const std::uint32_t dataBytes = blocks * m_record.blockAlign;
        m_file.resize(m_header.size() + dataBytes);
        std::memcpy(m_file.data(), m_header.data(), m_header.size());
        WriteU32(m_file.data() + 4, std::uint32_t(m_file.size() - 8));
        WriteU32(m_file.data() + m_header.size() - 4, dataBytes);
        std::uint8_t* data = m_file.data() + m_header.size();
        std::memcpy(data, source, dataBytes);
        if (m_record.tag == kWaveFormatMsAdpcm) {
            // A block names its coefficient pair by index: keep the index within the table.
            for (std::uint32_t at = 0; at < dataBytes; at += m_record.blockAlign)
                for (std::uint32_t c = 0; c < m_record.channels; ++c)
                    data[at + c] = std::min<std::uint8_t>(data[at + c], 6);
        }

        SMemoryFile file{&m_file};
        SF_VIRTUAL_IO io{&MemoryLength, &MemorySeek, &MemoryRead, &MemoryWrite, &MemoryTell};
        SF_INFO info{};
        SNDFILE* sound = sf_open_virtual(&io, SFM_READ, &info, &file);
        if (sound == nullptr) return false;
        const std::uint32_t frames = blocks * m_samplesPerBlock;
        m_samples.resize(std::size_t(frames) * m_record.channels);
        const sf_count_t got =
            info.channels == m_record.channels ? sf_readf_short(sound, m_samples.data(), frames) : -1;
        sf_close(sound);
        if (got != sf_count_t(frames)) return false;
        for (std::size_t i = 0; i < m_samples.size(); ++i)
            WriteLittleEndian(output + 2 * i, m_samples[i]);
        sourceUsed = dataBytes;
        outputUsed = blocks * m_outputPerBlock;
        return true;
    }

    std::uint8_t SilenceByte() const override
    {
        // The codes of the two logarithmic formats that decode to the value nearest zero.
        if (m_record.tag == kWaveFormatMuLaw) return 0xFF;
        if (m_record.tag == kWaveFormatALaw) return 0xD5;
        return 0;
    }

private:
    // RIFF, fmt and the data chunk's header, sizes filled in per conversion.
    void BuildHeader()
    {
        std::vector<std::uint8_t> fmt(18, 0);
        WriteU16(fmt.data(), m_record.tag);
        WriteU16(fmt.data() + 2, m_record.channels);
        WriteU32(fmt.data() + 4, m_record.samplesPerSecond);
        const std::uint64_t perSecond =
            std::uint64_t(m_record.samplesPerSecond) * m_record.blockAlign / m_samplesPerBlock;
        WriteU32(fmt.data() + 8, std::uint32_t(perSecond));
        WriteU16(fmt.data() + 12, m_record.blockAlign);
        WriteU16(fmt.data() + 14, m_record.bitsPerSample);
        auto append16 = [&](std::uint16_t v) {
            fmt.push_back(std::uint8_t(v));
            fmt.push_back(std::uint8_t(v >> 8));
        };
        if (m_record.tag == kWaveFormatImaAdpcm) {
            append16(std::uint16_t(m_samplesPerBlock));
        } else if (m_record.tag == kWaveFormatMsAdpcm) {
            append16(std::uint16_t(m_samplesPerBlock));
            append16(7);
            for (const auto& pair : kMsAdpcmCoefficients) {
                append16(std::uint16_t(pair[0]));
                append16(std::uint16_t(pair[1]));
            }
        }
        WriteU16(fmt.data() + 16, std::uint16_t(fmt.size() - 18));

        m_header.assign(20, 0);
        std::memcpy(m_header.data(), "RIFF\0\0\0\0WAVEfmt ", 16);
        WriteU32(m_header.data() + 16, std::uint32_t(fmt.size()));
        m_header.insert(m_header.end(), fmt.begin(), fmt.end());
        const std::uint8_t data[8] = {'d', 'a', 't', 'a', 0, 0, 0, 0};
        m_header.insert(m_header.end(), data, data + 8);
    }

    SRecord m_record;
    std::uint32_t m_samplesPerBlock = 1;
    std::uint32_t m_outputPerBlock = 0;
    std::vector<std::uint8_t> m_header;
    std::vector<std::uint8_t> m_file;
    std::vector<std::int16_t> m_samples;
};

// ---- MPEG audio through the MPEG decoding library ----

// The library is fed the source a piece at a time, and only when it has no decoded sound left, so what
// it used of the source stays close to what it delivered.
constexpr std::uint32_t kMpegFeedPiece = 512;

class MpegDecoder : public SoundDecoder
{
public:
    explicit MpegDecoder(const SRecord& r) : m_record(r), m_outputPerBlock(kMpegFrameSamples * r.channels * 2)
    {}
    ~MpegDecoder() override
    {
        if (m_handle != nullptr) mpg123_delete(m_handle);
    }

    bool Start()
    {
        static const bool initialised = mpg123_init() == MPG123_OK;
        if (!initialised) return false;
        int error = 0;
        m_handle = mpg123_new(nullptr, &error);
        if (m_handle == nullptr) return false;
        mpg123_param(m_handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
        // The data may begin anywhere in a frame: look as far as it takes for the next one.
        mpg123_param(m_handle, MPG123_RESYNC_LIMIT, -1, 0);
        if (mpg123_format_none(m_handle) != MPG123_OK ||
            mpg123_format(m_handle, long(m_record.samplesPerSecond),
                          m_record.channels == 1 ? MPG123_MONO : MPG123_STEREO,
                          MPG123_ENC_SIGNED_16) != MPG123_OK) {
            return false;
        }
        return mpg123_open_feed(m_handle) == MPG123_OK;
    }

    bool OutputBytesFor(std::uint32_t sourceBytes, std::uint32_t& outputBytes) const override
    {
        const std::uint64_t bytes = std::uint64_t(sourceBytes / m_record.mpegBlockSize) * m_outputPerBlock;
        if (bytes == 0 || bytes > 0xFFFFFFFFu) return false;
        outputBytes = std::uint32_t(bytes);
        return true;
    }

    bool SourceBytesFor(std::uint32_t outputBytes, std::uint32_t& sourceBytes) const override
    {
        const std::uint64_t bytes = std::uint64_t(outputBytes / m_outputPerBlock) * m_record.mpegBlockSize;
        sourceBytes = std::uint32_t(std::min<std::uint64_t>(bytes, 0xFFFFFFFFu));
        return sourceBytes != 0;
    }

    bool Convert(const std::uint8_t* source, std::uint32_t sourceBytes, std::uint8_t* output,
                 std::uint32_t outputBytes, std::uint32_t& sourceUsed, std::uint32_t& outputUsed) override
    {
        sourceUsed = outputUsed = 0;
        while (outputUsed < outputBytes) {
            std::size_t done = 0;
            const int result =
                mpg123_decode(m_handle, nullptr, 0, output + outputUsed, outputBytes - outputUsed, &done);
            outputUsed += std::uint32_t(done);
            if (result == MPG123_NEED_MORE) {
                if (sourceUsed == sourceBytes) break;
                const std::uint32_t piece = std::min(kMpegFeedPiece, sourceBytes - sourceUsed);
                if (mpg123_feed(m_handle, source + sourceUsed, piece) != MPG123_OK) return false;
                sourceUsed += piece;
            } else if (result == MPG123_OK) {
                if (done == 0) break; // nothing more comes without more source
            } else if (result != MPG123_NEW_FORMAT) {
                return false;
            }
        }
        return true;
    }

private:
    SRecord m_record;
    std::uint32_t m_outputPerBlock;
    mpg123_handle* m_handle = nullptr;
};

// ---- Ogg Vorbis ----

struct SOggMemory
{
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
};

std::size_t OggRead(void* destination, std::size_t size, std::size_t count, void* user)
{
    auto* m = static_cast<SOggMemory*>(user);
    if (size == 0) return 0;
    const std::size_t items = std::min(count, (m->size - m->position) / size);
    std::memcpy(destination, m->data + m->position, items * size);
    m->position += items * size;
    return items;
}

int OggSeek(void* user, ogg_int64_t offset, int whence)
{
    auto* m = static_cast<SOggMemory*>(user);
    const ogg_int64_t base = whence == SEEK_SET   ? 0
                             : whence == SEEK_CUR ? ogg_int64_t(m->position)
                                                  : ogg_int64_t(m->size);
    const ogg_int64_t to = base + offset;
    if (to < 0 || to > ogg_int64_t(m->size)) return -1;
    m->position = std::size_t(to);
    return 0;
}

long OggTell(void* user)
{
    return long(static_cast<SOggMemory*>(user)->position);
}

class VorbisDecoder : public OggVorbisDecoder
{
public:
    VorbisDecoder(const void* data, std::size_t size) : m_memory{static_cast<const std::uint8_t*>(data), size}
    {}
    ~VorbisDecoder() override
    {
        if (m_open) ov_clear(&m_file);
    }

    bool Start()
    {
        const ov_callbacks callbacks{&OggRead, &OggSeek, nullptr, &OggTell};
        if (ov_open_callbacks(&m_memory, &m_file, nullptr, 0, callbacks) != 0) return false;
        m_open = true;
        const vorbis_info* info = ov_info(&m_file, -1);
        if (info == nullptr || info->channels < 1 || info->channels > 2 || info->rate <= 0) return false;
        m_shape.channels = std::uint16_t(info->channels);
        m_shape.samplesPerSecond = std::uint32_t(info->rate);
        const ogg_int64_t total = ov_pcm_total(&m_file, -1);
        if (total < 0) return false;
        m_total = std::uint64_t(total);
        return true;
    }

    PcmShape Output() const override { return m_shape; }
    std::uint64_t TotalFrames() const override { return m_total; }
    std::uint64_t Position() const override
    {
        const ogg_int64_t at = ov_pcm_tell(const_cast<OggVorbis_File*>(&m_file));
        return at < 0 ? 0 : std::uint64_t(at);
    }

    std::uint32_t Read(std::uint8_t* output, std::uint32_t bytes) override
    {
        const std::uint32_t frameBytes = 2u * m_shape.channels;
        const std::uint32_t room = bytes - bytes % frameBytes;
        std::uint32_t written = 0;
        while (written < room) {
            int link = 0;
            const long got = ov_read(&m_file, reinterpret_cast<char*>(output + written),
                                     int(std::min<std::uint32_t>(room - written, 1u << 20)), 0, 2, 1, &link);
            if (got <= 0) break;
            // A chained stream whose later part changes the format ends where it changes.
            const vorbis_info* info = ov_info(&m_file, link);
            if (info == nullptr || info->channels != m_shape.channels ||
                info->rate != long(m_shape.samplesPerSecond))
                break;
            written += std::uint32_t(got);
        }
        return written;
    }

    bool Seek(std::uint64_t frame) override
    {
        return (frame == 0 || frame < m_total) && ov_pcm_seek(&m_file, ogg_int64_t(frame)) == 0;
    }

private:
    SOggMemory m_memory;
    OggVorbis_File m_file{};
    bool m_open = false;
    PcmShape m_shape;
    std::uint64_t m_total = 0;
};

} // namespace

bool SoundDecoder::SuggestPcm(const std::uint8_t* record, std::size_t recordBytes, PcmShape& pcm)
{
    SRecord r;
    if (!ReadRecord(record, recordBytes, r)) return false;
    pcm.channels = r.channels;
    pcm.samplesPerSecond = r.samplesPerSecond;
    return true;
}

std::unique_ptr<SoundDecoder> SoundDecoder::Create(const std::uint8_t* record, std::size_t recordBytes)
{
    SRecord r;
    if (!ReadRecord(record, recordBytes, r)) return nullptr;
    if (r.tag != kWaveFormatMpegLayer3) return std::make_unique<BlockDecoder>(r);
    auto decoder = std::make_unique<MpegDecoder>(r);
    if (!decoder->Start()) return nullptr;
    return decoder;
}

std::unique_ptr<OggVorbisDecoder> OggVorbisDecoder::Open(const void* data, std::size_t size)
{
    if (data == nullptr) return nullptr;
    auto decoder = std::make_unique<VorbisDecoder>(data, size);
    if (!decoder->Start()) return nullptr;
    return decoder;
}

} // namespace platform
