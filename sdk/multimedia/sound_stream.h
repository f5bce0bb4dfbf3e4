#pragma once
// Sound streams: decoded PCM read piece by piece, and the factory that opens a file as the stream kind
// that reads it. The wave sounds never open sound files themselves; they ask their output's stream
// factory for a stream and copy PCM out of it.

#include "platform/sound.h"
#include "sdk/auxiliary/string_map.h"
#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Multimedia {

using WAVEFORMATEX = platform::WAVEFORMATEX;

class ISoundStream
{
public:
    // Closes whatever is open.
    virtual ~ISoundStream() = default;
    // Opens the file at its first sample: 0, or a failure code of the kind.
    virtual int Open(const char* fileName) = 0;
    virtual int Close() = 0;
    // Milliseconds; -1 without a format to measure by.
    virtual int GetLength() = 0;
    virtual int SetCurrentPos(int milliseconds) = 0;
    // Milliseconds; -1 without a format to measure by.
    virtual int GetCurrentPos() = 0;
    // Writes at most `size` bytes of PCM and moves on by as many: the count written, 0 at the end.
    // Callers take a count above `size` for a failure of the stream.
    virtual std::uint32_t Read(void* buffer, std::uint32_t size) = 0;
    // The PCM format Read delivers; null while nothing is open.
    virtual WAVEFORMATEX* GetFormat() = 0;
};

// The stream that opens nothing.
class CNullSoundStream : public ISoundStream
{
public:
    int Open(const char*) override { return -1; }
    int Close() override { return -1; }
    int GetLength() override { return -1; }
    int SetCurrentPos(int) override { return -1; }
    int GetCurrentPos() override { return -1; }
    std::uint32_t Read(void*, std::uint32_t) override { return 0; }
    WAVEFORMATEX* GetFormat() override { return nullptr; }
};

// Millisecond and byte counts at the format's average bytes per second, each product formed in 64 bits,
// divided unsigned and cut to 32 bits; -1 (every bit set) without a format or with a rate of 0. The byte
// count is not aligned to the format's blocks.
std::uint32_t StreamBytesForMilliseconds(const WAVEFORMATEX* format, int milliseconds);
int StreamMillisecondsForBytes(const WAVEFORMATEX* format, std::uint32_t bytes);

// Writes the formatted message to the SDK's error output and gives back the code, for the stream kinds'
// failures.
int ReportStreamFailure(int code, const char* format, ...) __attribute__((format(printf, 2, 3)));

class ISoundStreamFactory
{
public:
    ISoundStreamFactory() = default;
    ISoundStreamFactory(const ISoundStreamFactory&) = delete;
    ISoundStreamFactory& operator=(const ISoundStreamFactory&) = delete;
    virtual ~ISoundStreamFactory() = default;
    // Opens a file as a stream: never empty, already open or the null stream.
    virtual ZTL::smart_ptr<ISoundStream> Open(const ZTL::string& fileName) = 0;

    // File extensions -> class names of stream kinds the object creator makes; the application writes
    // its entries directly.
    ZTL::smart_ptr<Auxiliary::IStringMap> extensionMap;
};

class CSoundStreamFactory : public ISoundStreamFactory
{
public:
    // With a new, empty extension map.
    CSoundStreamFactory();
    ZTL::smart_ptr<ISoundStream> Open(const ZTL::string& fileName) override;
};

} // namespace zelvoranGameSDK3rd::Multimedia
