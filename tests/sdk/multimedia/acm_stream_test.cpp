// The compressed stream: compressed WAVE through the decoders, and MPEG audio from its first frame
// header on.
#include "sound_files.h"

#include "support/error_capture.h"
#include "support/temp_folder.h"

#include "sdk/multimedia/acm_stream.h"

namespace {

namespace mm = zelvoranGameSDK3rd::Multimedia;
using namespace sound_files;

class AcmStreamTest : public TempFolderTest
{
protected:
    std::string Put(const char* name, const Bytes& file)
    {
        WriteFile(m_root / name, file);
        return (m_root / name).string();
    }
    static Bytes ReadAll(mm::ISoundStream& stream, std::uint32_t piece)
    {
        Bytes all, buffer(piece);
        while (std::uint32_t n = stream.Read(buffer.data(), piece)) {
            EXPECT_LE(n, piece);
            if (n > piece) break;
            all.insert(all.end(), buffer.begin(), buffer.begin() + n);
        }
        return all;
    }
};

// µ-law WAVE at 8000 Hz, mono, of `bytes` bytes of the code; its record's rate as given (-1: 8000).
Bytes MuLaw(std::size_t bytes, std::uint8_t code, std::int64_t bytesPerSecond = -1)
{
    return MakeWave({.tag = 7,
                     .channels = 1,
                     .rate = 8000,
                     .bits = 8,
                     .bytesPerSecond = bytesPerSecond,
                     .fmtSize = 18,
                     .data = Bytes(bytes, code)});
}

// The size field of the first chunk of the id in a RIFF file.
std::uint32_t ChunkSize(const Bytes& file, const char* id)
{
    for (std::size_t at = 12; at + 8 <= file.size();
         at += 8 + platform::ReadU32(&file[at + 4]) + (file[at + 4] & 1))
        if (std::memcmp(&file[at], id, 4) == 0) return platform::ReadU32(&file[at + 4]);
    return 0;
}

TEST_F(AcmStreamTest, CompressedWaveDecodesCloseToItsSource)
{
    struct Case
    {
        const char* what;
        int subtype;
        std::uint32_t rate;
        std::uint16_t channels;
        double tolerance; // of the error's loudness against the sine's
    } cases[] = {
        {"IMA ADPCM", SF_FORMAT_IMA_ADPCM, 44100, 2, 0.05},
        {"Microsoft ADPCM", SF_FORMAT_MS_ADPCM, 22050, 1, 0.05},
        {"mu-law", SF_FORMAT_ULAW, 8000, 1, 0.02},
        {"A-law", SF_FORMAT_ALAW, 16000, 2, 0.02},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Samples sine = Sine(c.rate, c.channels, c.rate);
        const Bytes file = EncodeWave(m_root / "c.wav", c.subtype, c.rate, c.channels, sine);
        mm::CACMStream stream;
        ASSERT_EQ(stream.Open((m_root / "c.wav").string().c_str()), 0);
        const mm::WAVEFORMATEX format = *stream.GetFormat();
        EXPECT_EQ(format.wFormatTag, 1);
        EXPECT_EQ(format.nChannels, c.channels);
        EXPECT_EQ(std::uint32_t(format.nSamplesPerSec), c.rate);
        EXPECT_EQ(format.wBitsPerSample, 16);
        EXPECT_EQ(std::uint32_t(format.nAvgBytesPerSec), c.rate * 2 * c.channels);
        // The length comes from the compressed data and its own rate.
        const std::uint32_t sourceRate = platform::ReadU32(&file[28]);
        EXPECT_EQ(stream.GetLength(), int(std::uint64_t(ChunkSize(file, "data")) * 1000 / sourceRate));

        const Samples decoded = ToSamples(ReadAll(stream, 8192));
        ASSERT_GE(decoded.size(), sine.size());
        EXPECT_LT(decoded.size(), sine.size() + 4100);
        Samples error(sine.size());
        for (std::size_t i = 0; i < sine.size(); ++i)
            error[i] = std::int16_t(decoded[i] - sine[i]);
        EXPECT_LT(Rms(error), c.tolerance * Rms(sine));
        EXPECT_EQ(stream.GetCurrentPos(),
                  int(std::uint64_t(decoded.size()) * 2 * 1000 / format.nAvgBytesPerSec));
    }
}

TEST_F(AcmStreamTest, SeeksByWholeBlocksAndRefusesTheEnd)
{
    const Samples sine = Sine(44100, 2, 44100);
    EncodeWave(m_root / "ima.wav", SF_FORMAT_IMA_ADPCM, 44100, 2, sine);
    mm::CACMStream stream;
    ASSERT_EQ(stream.Open((m_root / "ima.wav").string().c_str()), 0);
    const int length = stream.GetLength();
    EXPECT_EQ(stream.SetCurrentPos(length), 2);
    EXPECT_EQ(stream.SetCurrentPos(-5), 2);
    ASSERT_EQ(stream.SetCurrentPos(500), 0);
    EXPECT_EQ(stream.GetCurrentPos(), 500);
    // Decoding restarts at the block holding the position: 22050 frames lie in block 10 of 2041.
    const Samples rest = ToSamples(ReadAll(stream, 8192));
    EXPECT_EQ(rest.size(), std::size_t(22 - 10) * 2041 * 2);
    Samples error(rest.size());
    for (std::size_t i = 0; i < rest.size() && 20410 * 2 + i < sine.size(); ++i)
        error[i] = std::int16_t(rest[i] - sine[20410 * 2 + i]);
    EXPECT_LT(Rms(error), 0.05 * Rms(sine));
}

TEST_F(AcmStreamTest, AShortTailIsPaddedWithSilence)
{
    // µ-law 0x00 is the loudest negative value; 0xFF is silence.
    const std::string name = Put("tail.wav", MuLaw(700, 0x00));
    mm::CACMStream stream;
    ASSERT_EQ(stream.Open(name.c_str()), 0);
    Bytes buffer(4000);
    EXPECT_EQ(stream.Read(buffer.data(), 800), 800u);
    // 300 bytes are left: they are converted from a padded block of 1000.
    ASSERT_EQ(stream.Read(buffer.data(), 4000), 2000u);
    const Samples out = ToSamples(buffer);
    EXPECT_EQ(out[299], -32124);
    EXPECT_TRUE(std::all_of(out.begin() + 300, out.begin() + 1000, [](std::int16_t v) { return v == 0; }));
    EXPECT_EQ(stream.Read(buffer.data(), 4000), 0u);
}

TEST_F(AcmStreamTest, ASeekEstimatedPastTheDataEndsTheStream)
{
    // A rate a fortieth slow, which encoders' rounding may give: 89 ms claimed for 87.5 ms of data.
    const std::string name = Put("slow.wav", MuLaw(700, 0xFF, 7800));
    mm::CACMStream stream;
    ASSERT_EQ(stream.Open(name.c_str()), 0);
    EXPECT_EQ(stream.GetLength(), 89);
    ASSERT_EQ(stream.SetCurrentPos(88), 0);
    std::uint8_t buffer[64];
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0u);
}

TEST_F(AcmStreamTest, LargeCompressedDataHasItsFullLength)
{
    // 5 000 000 × 1000 does not fit in 32 bits.
    const std::string name = Put("long.wav", MuLaw(5000000, 0xFF));
    mm::CACMStream stream;
    ASSERT_EQ(stream.Open(name.c_str()), 0);
    EXPECT_EQ(stream.GetLength(), 625000);
}

TEST_F(AcmStreamTest, RefusesFilesItCannotDecodeAndStaysClosed)
{
    Bytes id3Long{'I', 'D', '3', 3, 0, 0, 0, 0, 16, 0};
    id3Long.resize(2100, 0);
    struct Case
    {
        const char* what;
        Bytes file;
        int result;
        const char* message;
    } cases[] = {
        {"PCM WAVE", MakeWave({.data = Bytes(1000)}), 2, "CACMStream::InitializeNormal ACMを使うまでもない"},
        {"an unknown compressed format",
         MakeWave({.tag = 0x31,
                   .channels = 1,
                   .rate = 8000,
                   .bits = 0,
                   .blockAlign = 65,
                   .fmtSize = 20,
                   .data = Bytes(650)}),
         3, "CACMStream::Open acmFormatSuggest()に失敗"},
        {"no average rate", MuLaw(10, 0xFF, 0), 2, "CACMStream::InitializeNormal 平均データ転送速度が0"},
        // 1 byte a second would claim 700 s for 700 bytes, and a static sound a buffer to match.
        {"a rate far below the format's", MuLaw(700, 0xFF, 1), 6,
         "CACMStream::Open 平均データ転送速度がフォーマットと食い違う"},
        {"a rate far above the format's", MuLaw(700, 0xFF, 9000), 6,
         "CACMStream::Open 平均データ転送速度がフォーマットと食い違う"},
        {"IMA ADPCM claiming 1 byte a second",
         MakeWave({.tag = 0x11,
                   .channels = 1,
                   .rate = 8000,
                   .bits = 4,
                   .blockAlign = 256,
                   .bytesPerSecond = 1,
                   .fmtSize = 20,
                   .data = Bytes(256)}),
         6, "CACMStream::Open 平均データ転送速度がフォーマットと食い違う"},
        {"128 bytes", Bytes(128, 0xFF), 2, "CACMStream::InitializeMP3 ファイルサイズが異常(dwFileSize=128)"},
        {"a tag longer than the file", id3Long, 2,
         "CACMStream::InitializeMP3 ID3ヘッダ長が異常(availSize=2100, dwID3Size=2058)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test_support::ErrorCapture errors;
        mm::CACMStream stream;
        EXPECT_EQ(stream.Open(Put("x.bin", c.file).c_str()), c.result);
        EXPECT_TRUE(errors.Has(c.message)) << errors.Text();
        EXPECT_EQ(stream.GetLength(), 0);
        EXPECT_EQ(stream.SetCurrentPos(0), 1);
        std::uint8_t byte;
        EXPECT_EQ(stream.Read(&byte, 1), 0xFFFFFFFFu);
    }
    test_support::ErrorCapture errors;
    mm::CACMStream stream;
    EXPECT_EQ(stream.Open((m_root / "missing.mp3").string().c_str()), 1);
    EXPECT_TRUE(errors.Has("CACMStream::Open ファイル読み込みに失敗(ret=1) - ")) << errors.Text();
}

// An MPEG audio file: what comes before the frame, the frame header's four bytes, then `data` bytes.
Bytes Mp3File(const Bytes& before, std::initializer_list<std::uint8_t> header, std::size_t data,
              bool id3v1 = false)
{
    Bytes file = before;
    file.insert(file.end(), header);
    file.resize(file.size() + data, 0);
    if (id3v1) {
        const std::size_t at = file.size();
        file.resize(at + 128, ' ');
        std::memcpy(&file[at], "TAG", 3);
    }
    return file;
}

TEST_F(AcmStreamTest, ReadsTheFirstFrameHeaderAfterAnyId3Tag)
{
    const Bytes id3{'I', 'D', '3', 3, 0, 0, 0, 0, 16, 0};    // 2048 bytes and the 10-byte header
    Bytes id3Footer{'I', 'D', '3', 4, 0, 0x10, 0, 0, 16, 0}; // and a 10-byte footer
    Bytes id3Padded = id3;
    id3Padded.resize(2058, 0);
    Bytes id3FooterPadded = id3Footer;
    id3FooterPadded.resize(2068, 0);
    Bytes tagOverHeader{0xFF, 0xFB, 'T', 'A', 'G'};
    tagOverHeader.resize(130, ' ');
    struct Case
    {
        const char* what;
        Bytes file;
        const char* message; // of a refused header; null when it opens
        std::uint16_t channels;
        int length;
    } cases[] = {
        {"128 kbit/s, 44100 Hz, stereo", Mp3File({}, {0xFF, 0xFB, 0x90, 0x00}, 1000000), nullptr, 2, 62500},
        {"a trailing ID3v1 tag", Mp3File({}, {0xFF, 0xFB, 0x90, 0x00}, 1000000, true), nullptr, 2, 62500},
        {"single channel", Mp3File({}, {0xFF, 0xFB, 0x90, 0xC0}, 16000), nullptr, 1, 1000},
        {"an ID3v2 tag", Mp3File(id3Padded, {0xFF, 0xFB, 0x90, 0x00}, 16000), nullptr, 2, 1000},
        {"an ID3v2.4 tag with a footer", Mp3File(id3FooterPadded, {0xFF, 0xFB, 0x90, 0x00}, 16000), nullptr,
         2, 1000},
        {"no frame after the tag", Mp3File(id3Padded, {0x49, 0x44, 0x33, 0x03}, 16000),
         "CACMStream::InitializeMP3 MP3チェックphase1に失敗(src[0]=0x49)", 0, 0},
        {"MPEG-2", Mp3File({}, {0xFF, 0xF3, 0x90, 0x00}, 16000),
         "CACMStream::InitializeMP3 MP3チェックphase2に失敗(src[1]=0xF3)", 0, 0},
        {"the reserved layer", Mp3File({}, {0xFF, 0xF9, 0x90, 0x00}, 16000),
         "CACMStream::InitializeMP3 MP3が無効なレイヤ", 0, 0},
        {"the free format", Mp3File({}, {0xFF, 0xFB, 0x00, 0x00}, 16000),
         "CACMStream::InitializeMP3 MP3のビットレートかサンプリングレートが無効(src[2]=0x0)", 0, 0},
        {"the forbidden bit rate", Mp3File({}, {0xFF, 0xFB, 0xF0, 0x00}, 16000),
         "CACMStream::InitializeMP3 MP3のビットレートかサンプリングレートが無効(src[2]=0xF0)", 0, 0},
        {"the reserved sample rate", Mp3File({}, {0xFF, 0xFB, 0x9C, 0x00}, 16000),
         "CACMStream::InitializeMP3 MP3のビットレートかサンプリングレートが無効(src[2]=0x9C)", 0, 0},
        {"an ID3v1 tag over the frame header", tagOverHeader,
         "CACMStream::InitializeMP3 データ長が異常(availSize=2)", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test_support::ErrorCapture errors;
        mm::CACMStream stream;
        const int result = stream.Open(Put("x.mp3", c.file).c_str());
        // Every MPEG file is tried as RIFF WAVE first.
        EXPECT_EQ(errors.Text().find("CACMStream::InitializeNormal Waveファイルでない"), 0u) << errors.Text();
        if (c.message != nullptr) {
            EXPECT_EQ(result, 2);
            EXPECT_TRUE(errors.Has(c.message)) << errors.Text();
            continue;
        }
        ASSERT_EQ(result, 0) << errors.Text();
        const mm::MPEGLAYER3WAVEFORMAT& record = stream.GetMp3Format();
        EXPECT_EQ(record.wfx.wFormatTag, 0x55);
        EXPECT_EQ(record.wfx.nChannels, c.channels);
        EXPECT_EQ(std::uint32_t(record.wfx.nSamplesPerSec), 44100u);
        EXPECT_EQ(std::uint32_t(record.wfx.nAvgBytesPerSec), 16000u);
        EXPECT_EQ(record.nBlockSize, 417);
        EXPECT_EQ(stream.GetLength(), c.length);
        EXPECT_EQ(stream.GetFormat()->nChannels, c.channels);
    }
}

TEST_F(AcmStreamTest, Mp3DecodesFromItsSecondFrameAndSeeks)
{
    const Samples sine = Sine(44100, 2, 88200);
    const Bytes file = EncodeMp3(44100, 2, 128, sine);
    mm::CACMStream stream;
    ASSERT_EQ(stream.Open(Put("sine.mp3", file).c_str()), 0);
    EXPECT_EQ(stream.GetLength(), int(std::uint32_t((file.size() - 4) * 8) / 128));
    const Samples all = ToSamples(ReadAll(stream, 10000));
    // The first frame's header is not handed to the decoder, which finds the second frame.
    const std::size_t frames = all.size() / 2;
    EXPECT_EQ(frames % 1152, 0u);
    EXPECT_NEAR(double(frames), 88200, 2 * 1152);
    // The encoder's delay and last frame are quiet: measure the middle.
    const Samples middle(all.begin() + 2 * 4410, all.end() - 2 * 4410);
    EXPECT_NEAR(CrossingsPerSecond(middle, 2, 44100), 880, 10);
    EXPECT_NEAR(Rms(middle), Rms(sine), 0.1 * Rms(sine));

    ASSERT_EQ(stream.SetCurrentPos(1000), 0);
    EXPECT_EQ(stream.GetCurrentPos(), 1000);
    const std::size_t rest = ToSamples(ReadAll(stream, 10000)).size() / 2;
    // Decoding goes on from about a second in.
    EXPECT_NEAR(double(rest), double(frames) - 44100, 3 * 1152);
}

} // namespace
