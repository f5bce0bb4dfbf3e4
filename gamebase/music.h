#pragma once
// Background music by number. The music list keeps two caches of sounds read from "data\music\": the
// pieces' looping main parts ("list.txt") and their optional intro parts ("listPre.txt", same numbers).
// The music object plays one piece at a time: a piece with an intro plays the intro once and its main
// part loops from the frame after the intro ends; a change of piece fades the current one out over a
// number of frames first. Everything runs on the application thread, which loads each piece the first
// time it is played; the loading thread object is made with the music object but nothing starts it.

#include "gamebase/sdk_names.h"
#include "sdk/multimedia/sound.h"
#include "sdk/multimedia/sound_factory.h"
#include "sdk/multimedia/sound_loader.h"
#include "sdk/thread/critical_section.h"
#include "sdk/thread/singleton.h"
#include "sdk/thread/thread.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <memory>

class CMusicList
{
public:
    static CMusicList* GetInstance();
    // The static clean-up's end of the list (its caches go with it).
    static void DestroyInstance();

    // Builds both caches afresh over the factory (null: no sound can be made) and reads the two
    // definition files; with a factory, every music file becomes a streamed sound from then on.
    void CreateLoaders(Multimedia::ISoundFactory* factory);
    // Deletes both caches with every loaded piece.
    void DestroyLoaders();
    // The caches, null before CreateLoaders.
    Multimedia::CSoundLoader* GetMainLoader() { return m_mainLoader.get(); }
    Multimedia::CSoundLoader* GetIntroLoader() { return m_introLoader.get(); }

private:
    friend class zelvoranGameSDK3rd::Thread::CSingleton<CMusicList>;
    CMusicList() = default;

    std::unique_ptr<Multimedia::CSoundLoader> m_mainLoader;
    std::unique_ptr<Multimedia::CSoundLoader> m_introLoader;
    ZTL::string m_folder = "data\\music\\";
    ZTL::string m_mainListFile = "list.txt";
    ZTL::string m_introListFile = "listPre.txt";
};

namespace QuorlithGameBase {

class CMusic
{
public:
    // Loads the main part of a requested piece on a thread of its own, once started. Nothing starts it:
    // the music loads on the application thread.
    class CLoadThread : public zelvoranGameSDK3rd::Thread::CThread
    {
    public:
        ~CLoadThread() override;
        // Asks for the main part of piece `number` to be loaded (nothing for a negative number).
        void RequestLoad(std::int32_t number);
        // Every frame while running: loads the piece asked for, if any, then waits for the next frame.
        void ThreadProc() override;

    private:
        zelvoranGameSDK3rd::Thread::CCriticalSection m_lock;
        bool m_requested = false;
        std::int32_t m_requestedNumber = -1;
    };

    // Makes the music list first, so that the list outlives the music object at the static clean-up.
    static CMusic* GetInstance();
    // The static clean-up's end of the music object (the music list's caches go with it).
    static void DestroyInstance();

    ~CMusic();

    // The music's sound factory, not owned: Reset builds the caches over it again.
    void SetSoundFactory(Multimedia::ISoundFactory* factory) { m_soundFactory = factory; }

    // The request game code makes: nothing for the current piece or a negative number; with a piece
    // current and a fade of f > 0 frames, the current piece fades out first and piece n starts with its
    // intro when the fade ends; otherwise piece n starts at once without its intro.
    void Play(std::int32_t number, std::int32_t fadeFrames);
    // Starts a piece with its intro part (with music off, only records it as current).
    void PlayFromStart(std::int32_t number);
    // Starts a piece's main part at once (with music off, only records it as current).
    void PlayNow(std::int32_t number);
    // Fades the current piece out over f frames (at least 1); with music off only forgets it.
    void FadeOut(std::int32_t frames);
    // Once a frame: one step of the fade-out, then the hand-over from a finished intro to the main part.
    void Update();
    // 0 to 255; the current piece's main part takes it at once.
    void SetVolume(std::int32_t volume);
    // Switching off frees all music; switching on starts the current piece again, with its intro, after
    // a fade of 16 frames.
    void SetEnabled(bool enabled);
    // Frees every piece and rebuilds the caches; the current piece starts again from its beginning.
    void Reset();

    std::int32_t GetCurrent() const { return m_current; }
    std::int32_t GetFading() const { return m_fading; }
    std::int32_t GetQueued() const { return m_queued; }
    std::int32_t GetFadeCounter() const { return m_fadeCounter; }
    bool IsIntroActive() const { return m_introActive; }
    std::int32_t GetVolume() const { return m_volume; }
    bool IsEnabled() const { return m_enabled; }
    CLoadThread& GetLoadThread() { return m_loadThread; }

private:
    friend class zelvoranGameSDK3rd::Thread::CSingleton<CMusic>;
    CMusic() = default;

    // Piece n's main or intro part, fetched from its cache for one call (a null sound without caches).
    static ZTL::smart_ptr<Multimedia::ISound> Main(std::int32_t number);
    static ZTL::smart_ptr<Multimedia::ISound> Intro(std::int32_t number);
    // Sets the main part of piece n looping at the music volume and plays it.
    void StartMain(std::int32_t number);

    std::int32_t m_current = -1;
    std::int32_t m_fading = -1;
    bool m_introActive = false;
    std::int32_t m_fadeCounter = 0;
    std::int32_t m_fadeLength = 0;
    std::int32_t m_queued = -1;
    std::int32_t m_volume = 0;
    bool m_enabled = true;
    Multimedia::ISoundFactory* m_soundFactory = nullptr;
    CLoadThread m_loadThread;
};

} // namespace QuorlithGameBase
