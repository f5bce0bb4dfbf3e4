// The audio mixer over the sound output's master gain (line 0); the machine has no other lines.
#include "support/app_runner.h"
#include "support/error_capture.h"

#include "platform/host/headless/headless.h"
#include "sdk/multimedia/audio_mixer.h"

#include <gtest/gtest.h>

namespace {

namespace mm = zelvoranGameSDK3rd::Multimedia;
using Volumes = std::vector<std::uint32_t>;

// A mixer whose line 0 was saved at the volumes given; the master gain is full again afterwards.
class SavedMixer
{
public:
    explicit SavedMixer(const Volumes& saved)
    {
        EXPECT_EQ(mixer.SetVolume(0, saved), 0);
        EXPECT_EQ(mixer.SaveVolume(0), 0);
    }
    ~SavedMixer() { mixer.SetVolume(0, {65535, 65535}); }
    mm::CAudioMixer mixer;
};

TEST(AudioMixer, RatesScaleTheSavedVolumes)
{
    struct Case
    {
        Volumes saved;
        double rate;
        Volumes set;
    };
    const Case cases[] = {
        {{40000, 30000}, 0.5, {20000, 15000}},
        {{40000, 30000}, 2.0, {65535, 60000}},
        {{40000, 30000}, 0.0, {0, 0}},
        // Ties go to the even neighbour.
        {{5, 7}, 0.5, {2, 4}},
        {{0, 0}, 0.5, {0, 0}},
    };
    for (const Case& c : cases) {
        SavedMixer m(c.saved);
        EXPECT_EQ(m.mixer.SetVolumeRate(0, c.rate), 0);
        Volumes now;
        EXPECT_EQ(m.mixer.GetVolume(0, now), 0);
        EXPECT_EQ(now, c.set) << c.rate;
        Volumes saved;
        EXPECT_EQ(m.mixer.GetSavedVolume(0, saved), 0);
        EXPECT_EQ(saved, c.saved);
    }
}

TEST(AudioMixer, RateReadsCurrentOverSaved)
{
    struct Case
    {
        Volumes saved;
        Volumes current;
        double rate;
    };
    const Case cases[] = {
        {{40000, 30000}, {20000, 15000}, 0.5},
        {{0, 0}, {100, 0}, 65535.0},
        {{0, 0}, {0, 0}, 0.0},
        {{10000, 10000}, {30000, 30000}, 3.0},
    };
    for (const Case& c : cases) {
        SavedMixer m(c.saved);
        m.mixer.SetVolume(0, c.current);
        double rate = -1;
        EXPECT_EQ(m.mixer.GetVolumeRate(0, rate), 0);
        EXPECT_DOUBLE_EQ(rate, c.rate);
    }
}

TEST(AudioMixer, SetRestoreAndTheMixItself)
{
    SavedMixer m({50000, 40000});
    // Fewer values than channels: the rest are 0; values past the range are capped.
    EXPECT_EQ(m.mixer.SetVolume(0, {70000}), 0);
    Volumes now;
    m.mixer.GetVolume(0, now);
    EXPECT_EQ(now, (Volumes{65535, 0}));
    EXPECT_EQ(m.mixer.RestoreVolume(0), 0);
    m.mixer.GetVolume(0, now);
    EXPECT_EQ(now, (Volumes{50000, 40000}));
}

TEST(AudioMixer, LinesTheMachineLacksFailWithTheirNumber)
{
    mm::CAudioMixer mixer;
    ASSERT_TRUE(mixer.IsOpened());
    EXPECT_TRUE(mixer.IsLineSupported(0));
    for (int line : {1, 2, 3, 7, -1}) {
        test_support::ErrorCapture errors;
        Volumes v;
        EXPECT_EQ(mixer.GetVolume(line, v), -1) << line;
        EXPECT_EQ(mixer.SetVolume(line, {1, 2}), -1) << line;
        EXPECT_EQ(mixer.RestoreVolume(line), 2) << line;
        EXPECT_EQ(mixer.SaveVolume(line), 1) << line;
        const std::string text =
            std::to_string(line) +
            "のIDのオーディオ コンポーネントは、このサウンドボードにはサポートされていませんでした";
        EXPECT_TRUE(errors.Has(text.c_str())) << errors.Text();
    }
}

TEST(AudioMixer, WithoutSoundOutputThereIsNoMixer)
{
    platform::headless::SetSoundOutputMissing(true);
    {
        test_support::ErrorCapture errors;
        mm::CAudioMixer mixer;
        EXPECT_FALSE(mixer.IsOpened());
        EXPECT_TRUE(errors.Has("CAudioMixer::Open ミキサデバイス数が 0か、エラーが発生しました"));
        EXPECT_EQ(mixer.Open(), 2);
        Volumes v;
        double rate = 0;
        EXPECT_EQ(mixer.GetVolume(0, v), -1);
        EXPECT_EQ(mixer.SetVolumeRate(0, 0.5), -1);
        EXPECT_EQ(mixer.GetVolumeRate(0, rate), -1);
        EXPECT_EQ(mixer.SaveVolume(0), -1);
    }
    platform::headless::SetSoundOutputMissing(false);
}

} // namespace
