#pragma once
// Sound files the stream tests make: RIFF WAVE files laid out byte by byte, compressed WAVE files written
// by the sound-file library, MPEG audio from the MP3 encoder and Ogg Vorbis from the Vorbis encoder,
// all from a sine the test chooses; and what a test measures of decoded PCM.

#include "platform/host/little_endian.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <lame/lame.h>
#include <numbers>
#include <random>
#include <sndfile.h>
#include <string>
#include <vector>
#include <vorbis/vorbisenc.h>

namespace sound_files {

using Bytes = std::vector<std::uint8_t>;
using Samples = std::vector<std::int16_t>;

// `frames` frames of a 440 Hz sine at about a third of full scale, the same on every channel.
inline Samples Sine(std::uint32_t rate, std::uint16_t channels, std::uint32_t frames)
{
    Samples s(std::size_t(frames) * channels);
    for (std::uint32_t i = 0; i < frames; ++i)
        for (std::uint16_t c = 0; c < channels; ++c)
            s[std::size_t(i) * channels + c] =
                std::int16_t(10000 * std::sin(2 * std::numbers::pi * 440.0 * i / rate));
    return s;
}

inline Samples ToSamples(const Bytes& pcm)
{
    Samples s(pcm.size() / 2);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = platform::ReadLittleEndian<std::int16_t>(pcm.data() + 2 * i);
    return s;
}

// Sign changes a second on the first channel: twice the frequency of a sine.
inline double CrossingsPerSecond(const Samples& s, std::uint16_t channels, std::uint32_t rate)
{
    int crossings = 0;
    for (std::size_t i = channels; i < s.size(); i += channels)
        if ((s[i - channels] < 0) != (s[i] < 0)) ++crossings;
    return s.empty() ? 0 : crossings * double(rate) * channels / double(s.size());
}

inline double Rms(const Samples& s)
{
    double sum = 0;
    for (std::int16_t v : s)
        sum += double(v) * v;
    return s.empty() ? 0 : std::sqrt(sum / double(s.size()));
}

inline void Put16(Bytes& b, std::uint16_t v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

inline void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, std::uint16_t(v));
    Put16(b, std::uint16_t(v >> 16));
}

inline void PutChunk(Bytes& b, const char* id, const Bytes& content, std::uint32_t sizeField)
{
    b.insert(b.end(), id, id + 4);
    Put32(b, sizeField);
    b.insert(b.end(), content.begin(), content.end());
    if (content.size() % 2 != 0) b.push_back(0);
}

// A RIFF WAVE file laid out as described.
struct WaveSpec
{
    std::uint16_t tag = 1;
    std::uint16_t channels = 2;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
    std::uint16_t blockAlign = 0;      // 0: channels × bits / 8
    std::int64_t bytesPerSecond = -1;  // -1: rate × block alignment
    std::uint32_t fmtSize = 16;        // 16, or 18 and more with the extra bytes
    Bytes data;
    bool dataBeforeFmt = false;
    bool chunkAfterData = false;       // a LIST chunk after the data
    std::int64_t dataSizeField = -1;   // what the data chunk's size says, when not its size
};

inline Bytes MakeWave(const WaveSpec& spec)
{
    const std::uint16_t align = spec.blockAlign != 0 ? spec.blockAlign : std::uint16_t(spec.channels * spec.bits / 8);
    Bytes fmt;
    Put16(fmt, spec.tag);
    Put16(fmt, spec.channels);
    Put32(fmt, spec.rate);
    Put32(fmt, spec.bytesPerSecond >= 0 ? std::uint32_t(spec.bytesPerSecond) : spec.rate * align);
    Put16(fmt, align);
    Put16(fmt, spec.bits);
    if (spec.fmtSize >= 18) Put16(fmt, std::uint16_t(spec.fmtSize - 18));
    fmt.resize(spec.fmtSize, 0);
    Bytes body{'W', 'A', 'V', 'E'};
    const auto dataSize = std::uint32_t(spec.dataSizeField >= 0 ? spec.dataSizeField : std::int64_t(spec.data.size()));
    if (spec.dataBeforeFmt) PutChunk(body, "data", spec.data, dataSize);
    PutChunk(body, "fmt ", fmt, spec.fmtSize);
    if (!spec.dataBeforeFmt) PutChunk(body, "data", spec.data, dataSize);
    if (spec.chunkAfterData) PutChunk(body, "LIST", Bytes(24, 'x'), 24);
    Bytes file;
    PutChunk(file, "RIFF", body, std::uint32_t(body.size()));
    return file;
}

// Data bytes that tell their own offset: byte i is i × 7 + i / 256.
inline Bytes CountingBytes(std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = std::uint8_t(i * 7 + i / 256);
    return b;
}

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A WAVE file of the sound-file library's subtype (SF_FORMAT_IMA_ADPCM, SF_FORMAT_MS_ADPCM,
// SF_FORMAT_ULAW, SF_FORMAT_ALAW) holding the samples.
inline Bytes EncodeWave(const std::filesystem::path& path, int subtype, std::uint32_t rate,
                        std::uint16_t channels, const Samples& samples)
{
    SF_INFO info{};
    info.samplerate = int(rate);
    info.channels = channels;
    info.format = SF_FORMAT_WAV | subtype;
    std::filesystem::create_directories(path.parent_path());
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
    if (file == nullptr) return {};
    sf_writef_short(file, samples.data(), sf_count_t(samples.size() / channels));
    sf_close(file);
    return ReadFile(path);
}

// Constant-bit-rate MPEG-1 Layer III without a leading information frame.
inline Bytes EncodeMp3(std::uint32_t rate, std::uint16_t channels, int kilobits, const Samples& samples)
{
    lame_t lame = lame_init();
    lame_set_in_samplerate(lame, int(rate));
    lame_set_out_samplerate(lame, int(rate));
    lame_set_num_channels(lame, channels);
    lame_set_mode(lame, channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame, kilobits);
    lame_set_bWriteVbrTag(lame, 0);
    lame_set_quality(lame, 7);
    EXPECT_EQ(lame_init_params(lame), 0);
    const int frames = int(samples.size() / channels);
    Bytes out(std::size_t(frames) * 5 / 4 + 7200 + 16384);
    Samples copy = samples; // the encoder takes a non-const buffer
    int n = channels == 1
                ? lame_encode_buffer(lame, copy.data(), copy.data(), frames, out.data(), int(out.size()))
                : lame_encode_buffer_interleaved(lame, copy.data(), frames, out.data(), int(out.size()));
    EXPECT_GE(n, 0);
    n += lame_encode_flush(lame, out.data() + n, int(out.size()) - n);
    lame_close(lame);
    out.resize(std::size_t(n));
    return out;
}

inline Bytes EncodeOgg(std::uint32_t rate, std::uint16_t channels, const Samples& samples)
{
    vorbis_info info;
    vorbis_info_init(&info);
    EXPECT_EQ(vorbis_encode_init_vbr(&info, channels, long(rate), 0.3f), 0);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 26);
    Bytes out;
    ogg_page page;
    auto putPage = [&] {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    ogg_packet header, commentPacket, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentPacket, &codebooks);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentPacket);
    ogg_stream_packetin(&stream, &codebooks);
    while (ogg_stream_flush(&stream, &page) != 0)
        putPage();

    const std::size_t frames = samples.size() / channels;
    bool ended = false;
    for (std::size_t at = 0; !ended;) {
        const std::size_t n = std::min<std::size_t>(1024, frames - at);
        if (n == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, int(n));
            for (std::size_t i = 0; i < n; ++i)
                for (std::uint16_t c = 0; c < channels; ++c)
                    buffer[c][i] = samples[(at + i) * channels + c] / 32768.0f;
            vorbis_analysis_wrote(&dsp, int(n));
            at += n;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    putPage();
                    if (ogg_page_eos(&page) != 0) ended = true;
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

// A pack archive of the simplest kind holding the members, as the game's packer lays it out: magic,
// count, then per member a 32-byte name, offset and size.
inline Bytes MakePack(const std::vector<std::pair<std::string, Bytes>>& members)
{
    Bytes b{'z', 'e', 'l', 'v', 'p', 'a', 'c', 'k'};
    Put32(b, std::uint32_t(members.size()));
    std::uint32_t offset = std::uint32_t(12 + 40 * members.size());
    for (const auto& [name, content] : members) {
        Bytes entry(32, 0);
        std::memcpy(entry.data(), name.data(), std::min<std::size_t>(name.size(), 31));
        b.insert(b.end(), entry.begin(), entry.end());
        Put32(b, offset);
        Put32(b, std::uint32_t(content.size()));
        offset += std::uint32_t(content.size());
    }
    for (const auto& member : members)
        b.insert(b.end(), member.second.begin(), member.second.end());
    return b;
}

} // namespace sound_files
