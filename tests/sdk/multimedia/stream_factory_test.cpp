// The stream factory's order of tries, and the Ogg Vorbis plug-in's stream through it.
#include "sound_files.h"
#include "sound_support.h"

#include "support/error_capture.h"
#include "support/temp_folder.h"

#include "sdk/appframe/object_creater.h"
#include "sdk/multimedia/acm_stream.h"
#include "sdk/multimedia/wave_static_sound.h"
#include "sdk/multimedia/wave_stream.h"

#include <typeinfo>

namespace {

namespace sdk = zelvoranGameSDK3rd;
namespace mm = zelvoranGameSDK3rd::Multimedia;
using namespace sound_files;
using StreamPtr = sdk::ZTL::smart_ptr<mm::ISoundStream>;

// The class names of the test's stream kinds, in the order they were made.
std::vector<std::string> g_made;

// A stream kind made by class name that opens only when `Opens` says so.
template <bool Opens> class CNamedStream : public mm::CNullSoundStream
{
public:
    CNamedStream() { g_made.push_back(Opens ? "opens" : "refuses"); }
    int Open(const char*) override { return Opens ? 0 : 7; }
};

void RegisterTestKinds()
{
    static const bool registered = [] {
        auto* creater = sdk::AppFrame::CObjectCreater::GetInstance();
        creater->RegisterObject("TestStreamOpens",
                                new sdk::ZTL::factory_i2<mm::ISoundStream, CNamedStream<true>>);
        creater->RegisterObject("TestStreamRefuses",
                                new sdk::ZTL::factory_i2<mm::ISoundStream, CNamedStream<false>>);
        return true;
    }();
    (void)registered;
}

class StreamFactoryTest : public TempFolderTest
{
protected:
    std::string Put(const std::string& name, const Bytes& file)
    {
        WriteFile(m_root / name, file);
        return (m_root / name).string();
    }
    StreamPtr Open(const std::string& path) { return m_factory.Open(path.c_str()); }
    mm::CSoundStreamFactory m_factory;
};

template <class Kind> bool Is(const StreamPtr& stream)
{
    return typeid(*stream.get()) == typeid(Kind);
}

TEST_F(StreamFactoryTest, TriesWaveOnlyForItsExtensionThenTheCompressedStream)
{
    const Bytes pcm = MakeWave({.data = Bytes(4000)});
    const std::string ima = (m_root / "ima.wav").string();
    EncodeWave(ima, SF_FORMAT_IMA_ADPCM, 22050, 1, Sine(22050, 1, 22050));
    const std::string mp3 = Put("sine.mp3", EncodeMp3(44100, 2, 128, Sine(44100, 2, 11025)));
    const std::string ogg = Put("sine.ogg", EncodeOgg(44100, 2, Sine(44100, 2, 11025)));

    EXPECT_TRUE(Is<mm::CWaveStream>(Open(Put("upper.WAV", pcm))));
    EXPECT_TRUE(Is<mm::CACMStream>(Open(ima)));
    EXPECT_TRUE(Is<mm::CACMStream>(Open(mp3)));
    {
        // Without an extension the WAVE stream is not tried, and the compressed stream refuses PCM.
        test_support::ErrorCapture errors;
        EXPECT_TRUE(Is<mm::CNullSoundStream>(Open(Put("noextension", pcm))));
        EXPECT_TRUE(errors.Has("CACMStream::InitializeNormal ACMを使うまでもない"));
    }
    {
        // No kind registered for Ogg: the compressed stream sees neither RIFF nor a frame header.
        test_support::ErrorCapture errors;
        EXPECT_TRUE(Is<mm::CNullSoundStream>(Open(ogg)));
        EXPECT_TRUE(errors.Has("MP3チェックphase1に失敗(src[0]=0x4F)"));
    }
    const StreamPtr missing = Open((m_root / "missing.wav").string());
    ASSERT_TRUE(Is<mm::CNullSoundStream>(missing));
    std::uint8_t byte;
    EXPECT_EQ(missing->Read(&byte, 1), 0u);
    EXPECT_EQ(missing->GetLength(), -1);
}

TEST_F(StreamFactoryTest, TriesRegisteredKindsWhoseLowerCasedKeyIsTheExtensionInKeyOrder)
{
    RegisterTestKinds();
    m_factory.extensionMap->Write("OGG", "TestStreamRefuses");
    m_factory.extensionMap->Write("Ogg", "NoSuchStreamClass"); // passed over
    m_factory.extensionMap->Write("ogg", "TestStreamOpens");
    m_factory.extensionMap->Write("mp3", "TestStreamOpens");
    const std::string path = Put("x.ogg", Bytes(10));

    g_made.clear();
    EXPECT_TRUE(Is<CNamedStream<true>>(Open(path)));
    EXPECT_EQ(g_made, (std::vector<std::string>{"refuses", "opens"}));

    g_made.clear();
    m_factory.extensionMap->Erase("ogg");
    EXPECT_TRUE(Is<mm::CNullSoundStream>(Open(path)));
    EXPECT_EQ(g_made, (std::vector<std::string>{"refuses"}));

    // An empty key serves only names without an extension.
    g_made.clear();
    m_factory.extensionMap->Write("", "TestStreamOpens");
    EXPECT_TRUE(Is<CNamedStream<true>>(Open(Put("plain", Bytes(10)))));
    EXPECT_TRUE(Is<mm::CNullSoundStream>(Open(path)));
}

// The plug-in loaded for one test.
class VorbisPlugInTest : public StreamFactoryTest
{
protected:
    void SetUp() override
    {
        StreamFactoryTest::SetUp();
        ASSERT_EQ(sdk::AppFrame::CObjectCreater::GetInstance()->LoadPlugIn(MAROVELLIN_OGG_PLUGIN), 0);
        m_factory.extensionMap->Write("ogg", "CVorbisStream");
    }
    void TearDown() override
    {
        sdk::AppFrame::CObjectCreater::GetInstance()->ReleasePlugIn(MAROVELLIN_OGG_PLUGIN);
        StreamFactoryTest::TearDown();
    }
};

TEST_F(VorbisPlugInTest, DecodesMeasuresAndSeeks)
{
    const Samples sine = Sine(44100, 2, 44100);
    const StreamPtr stream = Open(Put("music.ogg", EncodeOgg(44100, 2, sine)));
    ASSERT_FALSE(Is<mm::CNullSoundStream>(stream));
    const mm::WAVEFORMATEX format = *stream->GetFormat();
    EXPECT_EQ(format.wFormatTag, 1);
    EXPECT_EQ(format.nChannels, 2);
    EXPECT_EQ(std::uint32_t(format.nSamplesPerSec), 44100u);
    EXPECT_EQ(std::uint32_t(format.nAvgBytesPerSec), 176400u);
    EXPECT_EQ(stream->GetLength(), 1000);

    Bytes all, buffer(10001);
    while (std::uint32_t n = stream->Read(buffer.data(), 10001)) {
        ASSERT_LE(n, 10001u);
        EXPECT_EQ(n % 4, 0u);
        all.insert(all.end(), buffer.begin(), buffer.begin() + n);
    }
    const Samples decoded = ToSamples(all);
    EXPECT_EQ(decoded.size(), sine.size());
    EXPECT_NEAR(CrossingsPerSecond(decoded, 2, 44100), 880, 10);
    EXPECT_NEAR(Rms(decoded), Rms(sine), 0.1 * Rms(sine));
    EXPECT_EQ(stream->GetCurrentPos(), 1000);

    EXPECT_EQ(stream->SetCurrentPos(1000), 2);
    ASSERT_EQ(stream->SetCurrentPos(500), 0);
    EXPECT_EQ(stream->GetCurrentPos(), 500);
    std::size_t rest = 0;
    while (std::uint32_t n = stream->Read(buffer.data(), 10000))
        rest += n;
    EXPECT_EQ(rest, 22050u * 4);
    ASSERT_EQ(stream->SetCurrentPos(0), 0);
    EXPECT_EQ(stream->GetCurrentPos(), 0);
}

TEST_F(VorbisPlugInTest, AFileThatIsNotOggFallsThroughToTheNullStream)
{
    EXPECT_TRUE(Is<mm::CNullSoundStream>(Open(Put("wrong.ogg", MakeWave({.data = Bytes(4000)})))));
    EXPECT_TRUE(Is<mm::CNullSoundStream>(Open((m_root / "missing.ogg").string())));
}

TEST_F(VorbisPlugInTest, EveryCompressedKindPlaysAsAWaveSound)
{
    const Samples second = Sine(44100, 2, 44100);
    EncodeWave(m_root / "ima.wav", SF_FORMAT_IMA_ADPCM, 44100, 2, second);
    const std::string names[] = {(m_root / "ima.wav").string(),
                                 Put("music.mp3", EncodeMp3(44100, 2, 128, second)),
                                 Put("music.ogg", EncodeOgg(44100, 2, second))};
    sound_test::RunWithSounds([&](sound_test::SoundApp& s) {
        const sdk::ZTL::smart_ptr<mm::ISoundStreamFactory> streams(new mm::CSoundStreamFactory);
        streams->extensionMap->Write("ogg", "CVorbisStream");
        s.factory.GetSoundParameter()->SetStreamFactory(streams);
        for (const std::string& name : names) {
            SCOPED_TRACE(name);
            const auto sound = s.factory.CreateWaveSound("", false);
            ASSERT_EQ(sound->Open(name.c_str()), 0);
            EXPECT_NEAR(sound->GetLength(), 1000, 60); // the MPEG encoder adds frames
            ASSERT_EQ(sound->Play(), 0);
            platform::headless::AdvanceSound(500);
            const Samples mix = platform::headless::TakeSoundCapture();
            ASSERT_GE(mix.size(), 2u * 22050);
            // Past the MPEG encoder's quiet start.
            EXPECT_NEAR(
                CrossingsPerSecond(Samples(mix.begin() + 2 * 4410, mix.begin() + 2 * 22050), 2, 44100), 880,
                10);
            sound->Stop();
        }
    });
}

} // namespace
