// The sound caches: sounds made through the factory, null sounds for what has none, the effect records.
#include "sound_support.h"

#include "support/error_capture.h"
#include "support/recording_sounds.h"

#include "sdk/multimedia/sound_loader.h"

namespace {

using namespace sound_test;
using test_support::RecordingSoundFactory;

void Define(mm::CSoundLoader& loader, const std::string& text)
{
    sdk::Auxiliary::CFile file;
    ASSERT_EQ(file.ReadFromMemory(text.data(), std::uint32_t(text.size())), 0);
    ASSERT_EQ(loader.ReadDefinition(file, true), 0);
}

SoundPtr Get(mm::CSoundLoader& loader, std::int32_t id)
{
    SoundPtr sound;
    loader.Get(sound, id);
    return sound;
}

TEST(SoundLoader, WhatHasNoSoundHandsOutAFreshNullSound)
{
    RecordingSoundFactory factory;
    factory.nullNames = {"none.mid"};
    mm::CSoundLoader music;
    mm::CSELoader effects;
    mm::CSoundLoader noFactory;
    for (mm::CSoundLoader* loader : {&music, static_cast<mm::CSoundLoader*>(&effects), &noFactory}) {
        if (loader != &noFactory) loader->SetSoundFactory(&factory);
        Define(*loader, "a.wav,1\r\nnone.mid,2");
        const SoundPtr undefined = Get(*loader, 5);
        EXPECT_EQ(undefined->GetType(), mm::kSoundTypeNull);
        EXPECT_NE(Get(*loader, 5).get(), undefined.get());
    }
    // Without a factory nothing is made, and the number still hands out a sound that can be used.
    EXPECT_EQ(noFactory.Load(1), -1);
    EXPECT_EQ(Get(noFactory, 1)->Play(), 0);
    // A piece the factory makes only as the null sound keeps it: the first load says so, later ones not.
    EXPECT_EQ(music.Load(2), 1);
    EXPECT_EQ(music.Load(2), 0);
    EXPECT_EQ(Get(music, 2).get(), Get(music, 2).get());
    EXPECT_EQ(Get(music, 1)->GetType(), mm::kSoundTypeWave);
    EXPECT_EQ(factory.log, (test_support::SoundLog{"a.wav Open"}));
}

TEST(SELoader, AnEffectThatDoesNotOpenBecomesANullSoundAndOnlyLoadedEffectsStop)
{
    RecordingSoundFactory factory;
    factory.failingNames = {"se/bad.wav"};
    mm::CSELoader effects;
    effects.SetPath("se/");
    effects.SetSoundFactory(&factory);
    Define(effects, "ok.wav,1\r\nbad.wav,2\r\nother.wav,3");
    EXPECT_EQ(effects.Load(2), 1);
    EXPECT_EQ(Get(effects, 2)->GetType(), mm::kSoundTypeNull);
    EXPECT_EQ(Get(effects, 2).get(), Get(effects, 2).get());

    Get(effects, 1)->Play();
    factory.log.clear();
    effects.StopSound(3); // never played: not loaded, nothing made
    effects.StopSound(1);
    EXPECT_EQ(factory.log, (test_support::SoundLog{"se/ok.wav Stop"}));
    EXPECT_FALSE(effects.IsLoaded(3));
}

TEST(SELoader, AnEffectWithoutAReadableFileStaysAnEmptyWaveSoundThatFailsToPlay)
{
    test_support::ErrorCapture errors;
    RunWithSounds([&](SoundApp& s) {
        mm::CSELoader effects;
        effects.SetSoundFactory(&s.factory);
        Define(effects, "missing.wav,1");
        EXPECT_EQ(effects.Load(1), 0);
        EXPECT_EQ(Get(effects, 1)->Play(), 1);
        EXPECT_TRUE(errors.Has("CWaveStaticSound::Play GetBuffer()->Play()に失敗！"));
        EXPECT_EQ(effects.Load(1), 0);
        EXPECT_EQ(Get(effects, 1)->GetType(), mm::kSoundTypeWave);
    });
}

} // namespace
