#pragma once
// Sound files the stream tests make besides the encoders' (RIFF WAVE files laid out byte by byte, pack
// archives), and what a test measures of decoded PCM.

#include "support/sound_encoders.h"

#include "platform/host/little_endian.h"

#include <cstring>
#include <string>
#include <utility>

namespace sound_files {

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
struct WaveFileLayout
{
    std::uint16_t tag = 1;
    std::uint16_t channels = 2;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
    std::uint16_t blockAlign = 0;     // 0: channels × bits / 8
    std::int64_t bytesPerSecond = -1; // -1: rate × block alignment
    std::uint32_t fmtSize = 16;       // 16, or 18 and more with the extra bytes
    Bytes data;
    bool dataBeforeFmt = false;
    bool chunkAfterData = false;     // a LIST chunk after the data
    std::int64_t dataSizeField = -1; // what the data chunk's size says, when not its size
};

inline Bytes MakeWave(const WaveFileLayout& spec)
{
    const std::uint16_t align =
        spec.blockAlign != 0 ? spec.blockAlign : std::uint16_t(spec.channels * spec.bits / 8);
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
    const auto dataSize =
        std::uint32_t(spec.dataSizeField >= 0 ? spec.dataSizeField : std::int64_t(spec.data.size()));
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
