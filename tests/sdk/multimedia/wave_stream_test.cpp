// The PCM WAVE stream, from disk and from a pack archive's memory image alike.
#include "sound_files.h"

#include "support/error_capture.h"
#include "support/temp_folder.h"

#include "sdk/multimedia/wave_stream.h"

namespace {

namespace mm = zelvoranGameSDK3rd::Multimedia;
using namespace sound_files;

enum class Source
{
    Disk,
    Pack
};

class WaveStreamTest : public TempFolderTest, public ::testing::WithParamInterface<Source>
{
protected:
    // Where the stream finds the file: as a file, or only as a member of "se.dat".
    std::string Place(const Bytes& file)
    {
        if (GetParam() == Source::Disk) {
            WriteFile(m_root / "se" / "a.wav", file);
        } else {
            WriteFile(m_root / "se.dat", MakePack({{"a.wav", file}}));
        }
        return (m_root / "se" / "a.wav").string();
    }
    Bytes ReadAll(mm::ISoundStream& stream, std::uint32_t piece = 1000)
    {
        Bytes all, buffer(piece);
        while (std::uint32_t n = stream.Read(buffer.data(), piece)) {
            EXPECT_LE(n, piece);
            all.insert(all.end(), buffer.begin(), buffer.begin() + n);
        }
        return all;
    }
};

INSTANTIATE_TEST_SUITE_P(BothSources, WaveStreamTest, ::testing::Values(Source::Disk, Source::Pack));

TEST_P(WaveStreamTest, MeasuresInMillisecondsAndSeeksToUnalignedBytes)
{
    mm::CWaveStream stream;
    const Bytes data = CountingBytes(176400);
    ASSERT_EQ(stream.Open(Place(MakeWave({.data = data})).c_str()), 0);
    EXPECT_EQ(std::uint32_t(stream.GetFormat()->nAvgBytesPerSec), 176400u);
    EXPECT_EQ(stream.GetLength(), 1000);

    // 3 ms at 176400 bytes a second is byte 529, not a whole frame of 4 bytes.
    ASSERT_EQ(stream.SetCurrentPos(3), 0);
    std::uint8_t byte = 0;
    ASSERT_EQ(stream.Read(&byte, 1), 1u);
    EXPECT_EQ(byte, data[529]);
    EXPECT_EQ(stream.GetCurrentPos(), 3);

    EXPECT_EQ(stream.SetCurrentPos(1000), 2);
    EXPECT_EQ(stream.SetCurrentPos(-1), 2);
    EXPECT_EQ(stream.GetCurrentPos(), 3); // refused moves leave the position
    ASSERT_EQ(stream.SetCurrentPos(999), 0);
    const Bytes tail = ReadAll(stream);
    EXPECT_EQ(tail, Bytes(data.begin() + 176223, data.end()));
    EXPECT_EQ(stream.Read(&byte, 1), 0u);

    ASSERT_EQ(stream.SetCurrentPos(0), 0);
    EXPECT_EQ(ReadAll(stream, 4096), data);
}

TEST_P(WaveStreamTest, ReadsOnlyTheDataChunkOfAnyLayout)
{
    const Bytes data = CountingBytes(1000), odd = CountingBytes(1001);
    struct Case
    {
        const char* what;
        WaveFileLayout spec;
        Bytes delivered;
    } cases[] = {
        {"16-byte fmt", {.channels = 1, .rate = 8000, .bits = 8, .data = data}, data},
        {"18-byte fmt", {.fmtSize = 18, .data = data}, data},
        {"fmt with extra bytes", {.fmtSize = 22, .data = data}, data},
        {"a chunk after an odd-sized data chunk", {.data = odd, .chunkAfterData = true}, odd},
        // A size beyond the end of the file counts the bytes there are.
        {"a data size past the end", {.data = data, .dataSizeField = 0x7FFFFFF0}, data},
        {"an empty data chunk", {.data = {}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mm::CWaveStream stream;
        ASSERT_EQ(stream.Open(Place(MakeWave(c.spec)).c_str()), 0);
        EXPECT_EQ(ReadAll(stream, 333), c.delivered);
    }
}

TEST_P(WaveStreamTest, AFormatWithoutARateStillReadsFromTheData)
{
    mm::CWaveStream stream;
    const Bytes data = CountingBytes(100);
    ASSERT_EQ(
        stream.Open(Place(MakeWave({.bytesPerSecond = 0, .data = data, .chunkAfterData = true})).c_str()), 0);
    EXPECT_EQ(stream.GetLength(), -1);
    EXPECT_EQ(stream.SetCurrentPos(0), 1);
    EXPECT_EQ(ReadAll(stream), data);
}

TEST_P(WaveStreamTest, RefusesWhatIsNotPcmWaveAndStaysClosed)
{
    Bytes truncated = MakeWave({.data = CountingBytes(100)});
    truncated.resize(16);
    Bytes notWave = MakeWave({.data = CountingBytes(100)});
    std::memcpy(notWave.data() + 8, "AVI ", 4);
    struct Case
    {
        const char* what;
        Bytes file;
        const char* message;
    } cases[] = {
        {"text", Bytes(200, 'x'), "CWaveStream::Initialize Waveファイルでない"},
        {"another RIFF form", notWave, "CWaveStream::Initialize Waveファイルでない"},
        {"a file that ends in the fmt chunk's header", truncated,
         "CWaveStream::Initialize fmtチャンクが指定できない"},
        {"IMA ADPCM",
         MakeWave({.tag = 0x11, .bits = 4, .blockAlign = 2048, .fmtSize = 20, .data = Bytes(4096)}),
         "CWaveStream::Initialize WAVE_FORMAT_PCMじゃない"},
        {"data before fmt", MakeWave({.data = CountingBytes(100), .dataBeforeFmt = true}),
         "CWaveStream::Initialize データチャンクに行けない"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test_support::ErrorCapture errors;
        mm::CWaveStream stream;
        EXPECT_EQ(stream.Open(Place(c.file).c_str()), 2);
        EXPECT_TRUE(errors.Has(c.message)) << errors.Text();
        EXPECT_EQ(stream.GetLength(), -1);
        EXPECT_EQ(stream.GetFormat()->wFormatTag, 0);
        EXPECT_EQ(stream.SetCurrentPos(0), 1);
        std::uint8_t byte;
        EXPECT_EQ(stream.Read(&byte, 1), 0u);
    }
}

TEST(WaveStream, AFileThatCannotBeReadFailsWithItsName)
{
    test_support::ErrorCapture errors;
    mm::CWaveStream stream;
    EXPECT_EQ(stream.Open("no_such_folder/missing.wav"), 1);
    EXPECT_TRUE(errors.Has("missing.wavのファイル読み込み時のエラー")) << errors.Text();
    EXPECT_EQ(stream.GetCurrentPos(), -1);
}

} // namespace
