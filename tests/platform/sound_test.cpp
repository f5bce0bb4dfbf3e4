// Sound devices and buffers over the headless back end, whose sound clock moves only when a test says so
// and whose mix is captured.
#include "platform/backend_chooser.h"
#include "platform/host/headless/headless.h"
#include "platform/mixer.h"
#include "platform/sound.h"
#include "platform/window.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

using namespace platform;

LRESULT Plain(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return DefWindowProc(w, m, wp, lp);
}

WAVEFORMATEX Pcm(DWORD rate, WORD channels, WORD bits)
{
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = WORD(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

// The value of 16-bit sample i of the test pattern.
std::int16_t PatternAt(std::size_t i)
{
    return std::int16_t((i * 37) % 20000);
}

class SoundDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SelectBackend("headless"));
        WindowClassInfo cls;
        cls.name = "SOUNDTEST";
        cls.procedure = &Plain;
        RegisterWindowClass(cls);
        CreateWindowInfo info;
        info.className = "SOUNDTEST";
        info.style = WS_CAPTION | WS_VISIBLE;
        info.width = 64;
        info.height = 64;
        window = CreateWindow(info);
        ASSERT_NE(window, nullptr);
        SetFocus(window);
        device = CreateSoundDevice();
        ASSERT_EQ(device->Initialize(), kSoundOk);
        ASSERT_EQ(device->SetCooperativeLevel(window, DSSCL_NORMAL), kSoundOk);
        headless::TakeSoundCapture();
    }
    void TearDown() override
    {
        device.reset();
        Message m;
        while (PeekMessage(&m, nullptr, PM_REMOVE))
            DispatchMessage(m);
        if (IsWindow(window)) DestroyWindow(window);
    }

    // A buffer of 16-bit samples of the pattern.
    std::unique_ptr<SoundBuffer> Make(const WAVEFORMATEX& format, DWORD bytes,
                                      DWORD flags = DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS)
    {
        SoundBufferDesc desc;
        desc.flags = flags;
        desc.bufferBytes = bytes;
        desc.format = &format;
        std::unique_ptr<SoundBuffer> buffer;
        EXPECT_EQ(device->CreateSoundBuffer(desc, &buffer), kSoundOk);
        if (!buffer) return buffer;
        void* p1 = nullptr;
        DWORD n1 = 0;
        EXPECT_EQ(buffer->Lock(0, bytes, &p1, &n1, nullptr, nullptr), kSoundOk);
        auto* samples = static_cast<std::int16_t*>(p1);
        for (DWORD i = 0; i < n1 / 2; ++i)
            samples[i] = PatternAt(i);
        EXPECT_EQ(buffer->Unlock(p1, n1, nullptr, 0), kSoundOk);
        return buffer;
    }

    HWND window = nullptr;
    std::unique_ptr<SoundDevice> device;
};

TEST_F(SoundDeviceTest, CursorsOfALoopedBufferWrapAndTheWriteCursorRuns15MsAhead)
{
    const WAVEFORMATEX f = Pcm(22050, 1, 16);
    auto buffer = Make(f, 22050 * 2); // one second
    DWORD play = 0, write = 0;
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(write, 0u); // stopped: at the play cursor
    ASSERT_EQ(buffer->Play(DSBPLAY_LOOPING), kSoundOk);
    DWORD status = 0;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    headless::AdvanceSound(1250);
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(play, 5512u * 2); // a quarter second into the second pass
    EXPECT_EQ(write, play + 330u * 2);
    // Stopped, both cursors stand still where they were; a new position brings the write cursor back.
    ASSERT_EQ(buffer->Stop(), kSoundOk);
    headless::AdvanceSound(100);
    DWORD stopped = 0, stoppedWrite = 0;
    buffer->GetCurrentPosition(&stopped, &stoppedWrite);
    EXPECT_EQ(std::vector<DWORD>({stopped, stoppedWrite}), std::vector<DWORD>({play, write}));
    buffer->SetCurrentPosition(100);
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(std::vector<DWORD>({play, write}), std::vector<DWORD>({100, 100}));
}

TEST_F(SoundDeviceTest, HalfRateSourcesAreInterpolatedBetweenTheirSamples)
{
    const WAVEFORMATEX f = Pcm(22050, 1, 16);
    auto buffer = Make(f, 200);
    ASSERT_EQ(buffer->Play(0), kSoundOk);
    // Ten milliseconds are a whole 441 frames wherever the sound clock stands; one would be 44 or 45.
    headless::AdvanceSound(10);
    const std::vector<std::int16_t> mix = headless::TakeSoundCapture();
    ASSERT_EQ(mix.size(), 882u);
    for (std::size_t k = 0; k < 20; ++k) {
        EXPECT_EQ(mix[4 * k], PatternAt(k));
        EXPECT_EQ(mix[4 * k + 1], PatternAt(k)); // mono on both sides
        EXPECT_EQ(mix[4 * k + 2], std::int16_t((PatternAt(k) + PatternAt(k + 1)) / 2));
    }
}

TEST_F(SoundDeviceTest, VolumeAndPanAttenuateByTheirDecibels)
{
    const WAVEFORMATEX f = Pcm(44100, 2, 16);
    auto buffer = Make(f, 4000, DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_GLOBALFOCUS);
    ASSERT_EQ(buffer->SetVolume(-2000), kSoundOk); // a tenth
    ASSERT_EQ(buffer->SetPan(600), kSoundOk);      // the left a further 10^-0.3
    LONG volume = 0, pan = 0;
    buffer->GetVolume(&volume);
    buffer->GetPan(&pan);
    EXPECT_EQ(volume, -2000);
    EXPECT_EQ(pan, 600);
    buffer->Play(0);
    headless::AdvanceSound(10);
    const std::vector<std::int16_t> mix = headless::TakeSoundCapture();
    for (std::size_t i = 100; i < 110; i += 2) {
        EXPECT_NEAR(mix[i], PatternAt(i) * 0.1 * std::pow(10.0, -0.3), 1.0) << i;
        EXPECT_NEAR(mix[i + 1], PatternAt(i + 1) * 0.1, 1.0) << i;
    }
    EXPECT_EQ(buffer->SetVolume(1), kSoundInvalidParam);
    EXPECT_EQ(buffer->SetPan(10001), kSoundInvalidParam);
}

TEST_F(SoundDeviceTest, TheMixerMasterGainScalesEachChannelOfTheWholeMix)
{
    const WAVEFORMATEX f = Pcm(44100, 2, 16);
    auto buffer = Make(f, 4000);
    HMIXER mixer = nullptr;
    ASSERT_EQ(MixerGetDeviceCount(), 1u);
    ASSERT_EQ(MixerOpen(&mixer, 0), MMSYSERR_NOERROR);
    MixerLine line;
    ASSERT_EQ(MixerGetDestinationLine(mixer, 0, &line), MMSYSERR_NOERROR);
    EXPECT_EQ(line.componentType, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    EXPECT_EQ(MixerGetSourceLine(mixer, 0, 0, &line), MIXERR_INVALLINE);
    std::vector<MixerControl> controls;
    ASSERT_EQ(MixerGetLineControls(mixer, line.lineId, &controls), MMSYSERR_NOERROR);
    ASSERT_EQ(controls.size(), 1u);
    ASSERT_EQ(MixerSetControlValues(mixer, controls[0].controlId, {65535 / 2, 70000}), MMSYSERR_NOERROR);
    std::vector<DWORD> values;
    ASSERT_EQ(MixerGetControlValues(mixer, controls[0].controlId, 2, &values), MMSYSERR_NOERROR);
    EXPECT_EQ(values, (std::vector<DWORD>{32767, 65535}));
    buffer->Play(0);
    headless::AdvanceSound(10);
    const std::vector<std::int16_t> mix = headless::TakeSoundCapture();
    for (std::size_t i = 100; i < 110; i += 2) {
        EXPECT_EQ(mix[i], PatternAt(i) * 32767 / 65535) << i;
        EXPECT_EQ(mix[i + 1], PatternAt(i + 1)) << i;
    }
    MixerSetControlValues(mixer, controls[0].controlId, {65535, 65535});
    EXPECT_EQ(MixerClose(mixer), MMSYSERR_NOERROR);
    EXPECT_EQ(MixerClose(mixer), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(MixerGetCaps(mixer, nullptr), MMSYSERR_INVALHANDLE);
}

TEST_F(SoundDeviceTest, BuffersWithoutGlobalFocusAreSilentWhileTheProgramIsInactive)
{
    const WAVEFORMATEX f = Pcm(44100, 2, 16);
    auto local = Make(f, 44100 * 4, DSBCAPS_CTRLVOLUME);
    local->Play(DSBPLAY_LOOPING);
    headless::Events().Focus(window, false);
    headless::AdvanceSound(10);
    std::vector<std::int16_t> mix = headless::TakeSoundCapture();
    EXPECT_EQ(std::count(mix.begin(), mix.end(), 0), std::ptrdiff_t(mix.size()));
    DWORD play = 0;
    local->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 441u * 4); // it went on playing
    headless::Events().Focus(window, true);
    headless::AdvanceSound(10);
    mix = headless::TakeSoundCapture();
    EXPECT_EQ(mix[0], PatternAt(441 * 2));
}

TEST_F(SoundDeviceTest, LocksLendTwoRegionsAcrossTheEndAndUnlockWritesThemBack)
{
    const WAVEFORMATEX f = Pcm(44100, 1, 8);
    auto buffer = Make(f, 100);
    void *p1 = nullptr, *p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(buffer->Lock(0, 100, &p1, &n1, nullptr, nullptr), kSoundOk);
    const std::vector<std::uint8_t> before(static_cast<std::uint8_t*>(p1),
                                           static_cast<std::uint8_t*>(p1) + 100);
    ASSERT_EQ(buffer->Unlock(p1, 0, nullptr, 0), kSoundOk);
    ASSERT_EQ(buffer->Lock(90, 30, &p1, &n1, &p2, &n2), kSoundOk);
    EXPECT_EQ(n1, 10u);
    EXPECT_EQ(n2, 20u);
    // The regions hold what the buffer holds.
    EXPECT_EQ(std::memcmp(p1, before.data() + 90, 10), 0);
    EXPECT_EQ(std::memcmp(p2, before.data(), 20), 0);
    std::memset(p1, 0xAA, n1);
    std::memset(p2, 0xBB, n2);
    ASSERT_EQ(buffer->Unlock(p1, n1, p2, 5), kSoundOk); // only 5 bytes of the second region written
    ASSERT_EQ(buffer->Lock(0, 100, &p1, &n1, nullptr, nullptr), kSoundOk);
    const auto* bytes = static_cast<const std::uint8_t*>(p1);
    EXPECT_EQ(bytes[0], 0xBB);
    EXPECT_EQ(bytes[4], 0xBB);
    EXPECT_NE(bytes[5], 0xBB);
    EXPECT_EQ(bytes[90], 0xAA);
    EXPECT_EQ(bytes[99], 0xAA);
    EXPECT_EQ(buffer->Unlock(p1, n1, nullptr, 0), kSoundOk);

    // What the lock cannot lend.
    EXPECT_EQ(buffer->Lock(90, 30, &p1, &n1, nullptr, nullptr), kSoundInvalidParam); // wraps without a second
    EXPECT_EQ(buffer->Lock(0, 101, &p1, &n1, &p2, &n2), kSoundInvalidParam);
    EXPECT_EQ(buffer->Lock(100, 1, &p1, &n1, &p2, &n2), kSoundInvalidParam);
    EXPECT_EQ(buffer->Unlock(p1, 1, nullptr, 0), kSoundInvalidParam); // nothing lent there
}

TEST_F(SoundDeviceTest, ADuplicateSharesTheBytesButNotTheCursor)
{
    auto original = Make(Pcm(44100, 2, 16), 400);
    std::unique_ptr<SoundBuffer> copy;
    ASSERT_EQ(device->DuplicateSoundBuffer(original.get(), &copy), kSoundOk);
    original->Play(0);
    headless::AdvanceSound(1);
    DWORD play = 0;
    copy->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 0u);
    void* p = nullptr;
    DWORD n = 0;
    ASSERT_EQ(copy->Lock(0, 4, &p, &n, nullptr, nullptr), kSoundOk);
    EXPECT_EQ(static_cast<const std::int16_t*>(p)[1], PatternAt(1));
    copy->Unlock(p, 0, nullptr, 0);
}

TEST_F(SoundDeviceTest, RefusalsOfTheDeviceAndItsBuffers)
{
    const WAVEFORMATEX good = Pcm(22050, 2, 16);
    WAVEFORMATEX compressed = good;
    compressed.wFormatTag = 2;
    WAVEFORMATEX misaligned = good;
    misaligned.nBlockAlign = 3;
    const WAVEFORMATEX tooFast = Pcm(200001, 1, 8);
    WAVEFORMATEX claimsMore = good; // bytes a second its frames do not have
    claimsMore.nAvgBytesPerSec = 0x05555555;
    struct Case
    {
        const WAVEFORMATEX* format;
        DWORD bytes;
        DWORD flags;
        SoundResult expected;
    } cases[] = {
        {&good, 4, 0, kSoundOk},
        {&good, 3, 0, kSoundInvalidParam},
        {&good, DSBSIZE_MAX + 1, 0, kSoundInvalidParam},
        {nullptr, 100, 0, kSoundInvalidParam},
        {&compressed, 100, 0, kSoundBadFormat},
        {&misaligned, 100, 0, kSoundBadFormat},
        {&tooFast, 100, 0, kSoundBadFormat},
        {&claimsMore, 100, 0, kSoundBadFormat},
        {&good, 100, DSBCAPS_PRIMARYBUFFER, kSoundInvalidParam},
    };
    for (const Case& c : cases) {
        SoundBufferDesc desc;
        desc.flags = c.flags;
        desc.bufferBytes = c.bytes;
        desc.format = c.format;
        std::unique_ptr<SoundBuffer> buffer;
        EXPECT_EQ(device->CreateSoundBuffer(desc, &buffer), c.expected) << c.bytes << " " << c.flags;
    }

    // Controls the buffer was not made with.
    auto plain = Make(good, 400, 0);
    LONG value = 0;
    EXPECT_EQ(plain->SetVolume(0), kSoundControlUnavailable);
    EXPECT_EQ(plain->GetPan(&value), kSoundControlUnavailable);
    EXPECT_EQ(plain->SetFrequency(44100), kSoundControlUnavailable);
    EXPECT_EQ(plain->SetFormat(good), kSoundInvalidCall);
    EXPECT_EQ(plain->SetCurrentPosition(400), kSoundInvalidParam);
    auto tuned = Make(good, 400, DSBCAPS_CTRLFREQUENCY);
    EXPECT_EQ(tuned->SetFrequency(DSBFREQUENCY_MIN - 1), kSoundInvalidParam);
    EXPECT_EQ(tuned->SetFrequency(DSBFREQUENCY_ORIGINAL), kSoundOk);

    // The primary buffer takes a format only at the priority level.
    SoundBufferDesc primaryDesc;
    primaryDesc.flags = DSBCAPS_PRIMARYBUFFER;
    std::unique_ptr<SoundBuffer> primary;
    ASSERT_EQ(device->CreateSoundBuffer(primaryDesc, &primary), kSoundOk);
    EXPECT_EQ(primary->SetFormat(good), kSoundPriorityLevelNeeded);
    ASSERT_EQ(device->SetCooperativeLevel(window, DSSCL_PRIORITY), kSoundOk);
    EXPECT_EQ(primary->SetFormat(good), kSoundOk);
    WAVEFORMATEX read{};
    primary->GetFormat(&read);
    EXPECT_EQ(DWORD(read.nAvgBytesPerSec), 88200u);
    EXPECT_EQ(primary->Play(0), kSoundInvalidCall);

    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), kSoundInvalidParam);
    auto fresh = CreateSoundDevice();
    std::unique_ptr<SoundBuffer> none;
    SoundBufferDesc desc;
    desc.bufferBytes = 4;
    desc.format = &good;
    EXPECT_EQ(fresh->CreateSoundBuffer(desc, &none), kSoundUninitialized);
    headless::SetSoundOutputMissing(true);
    EXPECT_EQ(fresh->Initialize(), kSoundNoDriver);
    headless::SetSoundOutputMissing(false);
}

} // namespace
