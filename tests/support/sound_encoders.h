#pragma once
// Sound files made from samples with the encoders of Debian's libraries: compressed WAVE through the
// sound-file library, MPEG audio through the MP3 encoder, Ogg Vorbis through the Vorbis encoder. Each
// gives an empty result when its encoder fails.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <lame/lame.h>
#include <numbers>
#include <sndfile.h>
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

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
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
    if (lame_init_params(lame) != 0) {
        lame_close(lame);
        return {};
    }
    const int frames = int(samples.size() / channels);
    Bytes out(std::size_t(frames) * 5 / 4 + 7200 + 16384);
    Samples copy = samples; // the encoder takes a non-const buffer
    int n = channels == 1
                ? lame_encode_buffer(lame, copy.data(), copy.data(), frames, out.data(), int(out.size()))
                : lame_encode_buffer_interleaved(lame, copy.data(), frames, out.data(), int(out.size()));
    if (n >= 0) n += lame_encode_flush(lame, out.data() + n, int(out.size()) - n);
    lame_close(lame);
    out.resize(std::size_t(std::max(n, 0)));
    return out;
}

inline Bytes EncodeOgg(std::uint32_t rate, std::uint16_t channels, const Samples& samples)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, long(rate), 0.3f) != 0) {
        vorbis_info_clear(&info);
        return {};
    }
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

} // namespace sound_files
