#include "sdk/multimedia/sound_factory.h"

#include "sdk/auxiliary/file.h"
#include "sdk/multimedia/wave_sound.h"
#include "sdk/thread/thread_local.h"
#include "sdk/ztl/callback.h"

namespace zelvoranGameSDK3rd::Multimedia {

namespace {

Thread::ThreadLocal<ZTL::smart_ptr<ISoundFactory>>& ThreadFactories()
{
    static Thread::ThreadLocal<ZTL::smart_ptr<ISoundFactory>> factories;
    return factories;
}

ZTL::smart_ptr<ISound> PlainNullDevice()
{
    return ZTL::smart_ptr<ISound>(new CSoundNullDevice);
}

} // namespace

CSoundFactory::CSoundFactory() : m_soundParameter(new CSoundParameter)
{
    ZTL::smart_ptr<ISoundFactory> self;
    self.add(static_cast<ISoundFactory*>(this), false);
    ThreadFactories().Set(self);
}

CSoundFactory::~CSoundFactory()
{
    // The thread's holder would otherwise keep the address of a factory that is gone.
    if (!ThreadFactories().IsUnset() && ThreadFactories().Get().get() == this)
        ThreadFactories().EraseForCurrentThread();
}

ZTL::smart_ptr<ISoundFactory> GetThreadSoundFactory()
{
    if (ThreadFactories().IsUnset()) return ZTL::smart_ptr<ISoundFactory>();
    return ThreadFactories().Get();
}

ZTL::smart_ptr<ISound> CSoundFactory::CreateWaveSound(const string&, bool streamed)
{
    return CreateByKind(streamed ? 5 : 4);
}

ZTL::smart_ptr<ISound> CSoundFactory::CreateSound(const string& fileName)
{
    string extension = Auxiliary::CFile::GetSuffix(fileName);
    Auxiliary::StringToLower(extension);
    ZTL::smart_ptr<ISound> sound = extension == "mid" ? CreateMIDISound() : CreateDefaultWaveSound();
    // The failed sound goes through its own holder, which takes it off the list.
    if (sound->Open(fileName) != 0) sound = PlainNullDevice();
    return sound;
}

ZTL::smart_ptr<ISound> CSoundFactory::CreateDefaultWaveSound()
{
    return CreateByKind(3);
}

ZTL::smart_ptr<ISound> CSoundFactory::CreateMIDISound()
{
    ZTL::smart_ptr<ISound> sound = CreateByKind(m_midiFirstKind);
    if (sound->GetType() == kSoundTypeNull) sound = CreateByKind(m_midiSecondKind);
    return sound;
}

ZTL::smart_ptr<ISound> CSoundFactory::CreateByKind(int kind)
{
    ISound* sound = nullptr;
    ZTL::function_callback* callback = nullptr;
    if (kind == 0) {
        sound = new CSoundNullDevice;
        callback =
            new ZTL::function_callback_rm1<CSoundFactory, ISound*>(this, &CSoundFactory::ForgetSound, sound);
    } else if (kind == 1 && CMIDIOutputMCI::CanUseMIDIOutput()) {
        sound = new CMIDIOutputMCI;
        callback =
            new ZTL::function_callback_rm1<CSoundFactory, ISound*>(this, &CSoundFactory::ForgetSound, sound);
    } else if (kind == 2 && CDirectMusic::CanUseDirectMusic()) {
        AddRefDirectMusic();
        sound = new CMIDIOutputDM(GetDirectMusic());
        callback = new ZTL::function_callback_vm1<CSoundFactory, ISound*>(
            this, &CSoundFactory::ForgetMIDISound, sound);
    } else if (kind >= 3 && kind <= 5 && CDirectSound::CanUseDirectSound()) {
        AddRefWaveOutput();
        GetWaveOutput()->SetSoundParameter(GetSoundParameter());
        auto* wave = new CWaveSound(GetWaveOutput());
        wave->SetStreamMode(kind == 5 || (kind == 3 && m_streamPlayDefault));
        sound = wave;
        callback = new ZTL::function_callback_vm1<CSoundFactory, ISound*>(
            this, &CSoundFactory::ForgetWaveSound, sound);
    }
    if (sound == nullptr) return PlainNullDevice();
    ZTL::smart_ptr<ISound> held;
    held.attach(sound, new ZTL::nonarray_callback_ref_object<ISound>(
                           sound, ZTL::smart_ptr<ZTL::function_callback>(callback)));
    m_soundList.push_back(sound);
    return held;
}

bool CSoundFactory::ForgetSound(ISound* sound)
{
    for (auto it = m_soundList.begin(); it != m_soundList.end(); ++it) {
        if (*it != sound) continue;
        m_soundList.erase(it);
        return true;
    }
    return false;
}

void CSoundFactory::ForgetMIDISound(ISound* sound)
{
    if (ForgetSound(sound)) ReleaseDirectMusic();
}

void CSoundFactory::ForgetWaveSound(ISound* sound)
{
    if (ForgetSound(sound)) ReleaseWaveOutput();
}

void CSoundFactory::AddRefDirectSound()
{
    m_directSound.inc();
}

void CSoundFactory::ReleaseDirectSound()
{
    m_directSound.dec();
}

void CSoundFactory::AddRefDirectMusic()
{
    AddRefDirectSound();
    m_directMusic.setMediator(GetDirectSound());
    m_directMusic.inc();
}

void CSoundFactory::ReleaseDirectMusic()
{
    m_directMusic.dec();
    ReleaseDirectSound();
}

void CSoundFactory::AddRefWaveOutput()
{
    AddRefDirectSound();
    m_waveOutput.setMediator(GetDirectSound());
    m_waveOutput.inc();
}

void CSoundFactory::ReleaseWaveOutput()
{
    m_waveOutput.dec();
    ReleaseDirectSound();
}

void CSoundFactory::SetMIDIDevicePriority(int first, int second)
{
    m_midiFirstKind = first;
    m_midiSecondKind = second;
}

void CSoundFactory::SetSoundParameter(const ZTL::smart_ptr<CSoundParameter>& parameter)
{
    m_soundParameter = parameter;
}

} // namespace zelvoranGameSDK3rd::Multimedia
