#include "gamebase/music.h"

#include "gamebase/sound_cache.h"
#include "gamebase/sound_volume.h"
#include "sdk/timer/fps_timer.h"

namespace Thread = zelvoranGameSDK3rd::Thread;

namespace {

using SoundPtr = ZTL::smart_ptr<Multimedia::ISound>;

// The fade that switching music on begins, after which the current piece starts again.
constexpr std::int32_t kEnableFadeFrames = 16;

SoundPtr SoundOf(Multimedia::CSoundLoader* loader, std::int32_t number)
{
    SoundPtr sound;
    if (loader != nullptr)
        loader->Get(sound, number);
    else
        sound = SoundPtr(new Multimedia::CSoundNullDevice);
    return sound;
}

} // namespace

// ---- Music list

CMusicList* CMusicList::GetInstance()
{
    return Thread::CSingleton<CMusicList>::GetInstance();
}

void CMusicList::DestroyInstance()
{
    Thread::CSingleton<CMusicList>::DestroyInstance();
}

void CMusicList::CreateLoaders(Multimedia::ISoundFactory* factory)
{
    m_mainLoader.reset();
    m_mainLoader = MakeSoundCache<Multimedia::CSoundLoader>(m_folder, m_mainListFile, factory);
    m_introLoader.reset();
    m_introLoader = MakeSoundCache<Multimedia::CSoundLoader>(m_folder, m_introListFile, factory);
    if (factory != nullptr) factory->SetStreamPlayDefault(true);
}

void CMusicList::DestroyLoaders()
{
    m_mainLoader.reset();
    m_introLoader.reset();
}

namespace QuorlithGameBase {

// ---- Loading thread

CMusic::CLoadThread::~CLoadThread()
{
    // The thread's body uses this object's members: it must end before they go.
    StopAndWait();
}

void CMusic::CLoadThread::RequestLoad(std::int32_t number)
{
    Thread::CLockGuard guard(m_lock);
    m_requestedNumber = number;
    m_requested = true;
}

void CMusic::CLoadThread::ThreadProc()
{
    zelvoranGameSDK3rd::Timer::CFPSTimer timer;
    timer.SetFrameRate(60);
    while (IsThreadValid()) {
        {
            Thread::CLockGuard guard(m_lock);
            if (m_requested && m_requestedNumber >= 0) {
                CMusic::GetInstance();
                if (Multimedia::CSoundLoader* loader = CMusicList::GetInstance()->GetMainLoader())
                    loader->Load(m_requestedNumber);
            }
            m_requested = false;
        }
        timer.PaceFrame();
    }
}

// ---- Music

CMusic* CMusic::GetInstance()
{
    CMusicList::GetInstance();
    return Thread::CSingleton<CMusic>::GetInstance();
}

void CMusic::DestroyInstance()
{
    Thread::CSingleton<CMusic>::DestroyInstance();
}

CMusic::~CMusic()
{
    if (CMusicList* list = Thread::CSingleton<CMusicList>::PeekInstance()) list->DestroyLoaders();
}

SoundPtr CMusic::Main(std::int32_t number)
{
    return SoundOf(CMusicList::GetInstance()->GetMainLoader(), number);
}

SoundPtr CMusic::Intro(std::int32_t number)
{
    return SoundOf(CMusicList::GetInstance()->GetIntroLoader(), number);
}

void CMusic::StartMain(std::int32_t number)
{
    Main(number)->SetLoopPlay(true);
    Main(number)->SetVolume(VolumeToDecibel(m_volume));
    Main(number)->Play();
}

void CMusic::Play(std::int32_t number, std::int32_t fadeFrames)
{
    if (number == m_current || number < 0) return;
    if (m_current >= 0 && fadeFrames > 0) {
        FadeOut(fadeFrames);
        m_queued = number;
        return;
    }
    m_queued = -1;
    PlayNow(number);
}

void CMusic::PlayFromStart(std::int32_t number)
{
    if (!m_enabled) {
        m_current = number;
        return;
    }
    m_introActive = false;
    if (Intro(number)->GetType() != Multimedia::kSoundTypeNull) {
        m_introActive = true;
        Main(number)->SetLoopPlay(true);
        Intro(number)->SetLoopPlay(false);
        Intro(number)->SetVolume(VolumeToDecibel(m_volume));
        Intro(number)->Play();
    } else {
        StartMain(number);
    }
    m_current = number;
}

void CMusic::PlayNow(std::int32_t number)
{
    if (!m_enabled) {
        m_current = number;
        return;
    }
    m_introActive = false;
    StartMain(number);
    m_current = number;
}

void CMusic::FadeOut(std::int32_t frames)
{
    if (m_current == -1) return;
    const std::int32_t old = m_current;
    m_current = -1;
    if (!m_enabled) return;
    m_fading = old;
    m_fadeCounter = m_fadeLength = frames < 1 ? 1 : frames;
    m_queued = -1;
}

void CMusic::Update()
{
    if (m_fadeCounter > 0) {
        const std::int32_t level = m_fadeLength == 0 ? m_volume : m_volume * m_fadeCounter / m_fadeLength;
        Main(m_fading)->SetVolume(VolumeToDecibel(level));
        if (--m_fadeCounter == 0) {
            m_fadeLength = 0;
            Main(m_fading)->Stop();
            Main(m_fading)->SetVolume(VolumeToDecibel(m_volume));
            m_fading = -1;
            if (m_queued >= 0) {
                PlayFromStart(m_queued);
                m_queued = -1;
            }
        }
    }
    if (m_introActive && !Intro(m_current)->IsPlay()) {
        // The main part may never have had a volume set: it follows the setting, not its own default.
        StartMain(m_current);
        m_introActive = false;
    }
}

void CMusic::SetVolume(std::int32_t volume)
{
    m_volume = volume < 1 ? 0 : volume > 254 ? 255 : volume;
    if (m_current == -1) return;
    // A neighbouring level first, so that the sound takes the new level as a change even when it holds it.
    Main(m_current)->SetVolume(m_volume == 0 ? VolumeToDecibel(0) + 1 : VolumeToDecibel(m_volume) - 1);
    Main(m_current)->SetVolume(VolumeToDecibel(m_volume));
}

void CMusic::SetEnabled(bool enabled)
{
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    if (!enabled) {
        Reset();
        return;
    }
    if (m_current < 0) return;
    if (m_fadeCounter > 0) {
        m_queued = m_current;
        return;
    }
    m_fading = m_current;
    m_queued = m_current;
    m_current = -1;
    m_fadeCounter = m_fadeLength = kEnableFadeFrames;
}

void CMusic::Reset()
{
    const std::int32_t remembered = m_current;
    CMusicList* list = CMusicList::GetInstance();
    for (Multimedia::CSoundLoader* loader : {list->GetMainLoader(), list->GetIntroLoader()}) {
        if (loader == nullptr) continue;
        loader->GetUseRecord()->Clear();
        loader->ReleaseAll();
    }
    list->CreateLoaders(m_soundFactory);
    m_introActive = false;
    m_fadeCounter = 0;
    m_fadeLength = 0;
    m_current = -1;
    m_queued = -1;
    if (remembered >= 0) PlayFromStart(remembered);
}

} // namespace QuorlithGameBase
