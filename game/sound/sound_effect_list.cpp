#include "game/sound/sound_effect_list.h"

#include "gamebase/sound_cache.h"
#include "gamebase/sound_volume.h"

#include <vector>

namespace Thread = zelvoranGameSDK3rd::Thread;

namespace {

using SoundPtr = ZTL::smart_ptr<Multimedia::ISound>;

} // namespace

CSoundEffectList* CSoundEffectList::GetInstance()
{
    return Thread::CSingleton<CSoundEffectList>::GetInstance();
}

void CSoundEffectList::DestroyInstance()
{
    Thread::CSingleton<CSoundEffectList>::DestroyInstance();
}

void CSoundEffectList::CreateLoader(Multimedia::ISoundFactory* factory)
{
    m_loader.reset();
    m_loader = MakeSoundCache<Multimedia::CSELoader>(m_folder, m_listFile, factory);
    m_soundFactory = factory;
}

void CSoundEffectList::DestroyLoader()
{
    m_loader.reset();
}

std::int32_t CSoundEffectList::Play(std::int32_t number)
{
    if (!m_enabled || m_loader == nullptr) return 0;
    SoundPtr sound;
    m_loader->Get(sound, number);
    sound->SetVolume(VolumeToDecibel(m_volume));
    sound->SetLoopPlay(false);
    return sound->Play();
}

void CSoundEffectList::SetVolume(std::int32_t volume)
{
    m_volume = volume < 0 ? 0 : volume > 255 ? 255 : volume;
    if (m_loader == nullptr) return;
    for (const auto& [number, entry] : m_loader->GetDefinitions()) {
        if (!m_loader->IsLoaded(number)) continue;
        SoundPtr sound;
        m_loader->Get(sound, number);
        // A neighbouring level first, so that the sound takes the new level as a change even when it
        // holds it (at 255 the first call asks for +1, which the sound refuses).
        sound->SetVolume(VolumeToDecibel(m_volume) + 1);
        sound->SetVolume(VolumeToDecibel(m_volume));
    }
}

void CSoundEffectList::SetEnabled(bool enabled)
{
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    if (!enabled) ResetCache();
}

void CSoundEffectList::ResetCache()
{
    if (m_loader != nullptr) {
        std::vector<std::int32_t> loaded;
        for (const auto& [number, entry] : m_loader->GetDefinitions())
            if (m_loader->IsLoaded(number)) loaded.push_back(number);
        for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) {
            m_loader->StopSound(*it);
            SoundPtr sound;
            m_loader->Get(sound, *it);
            sound->Close();
        }
        m_loader->GetUseRecord()->Clear();
        m_loader->ReleaseAll();
    }
    CreateLoader(m_soundFactory);
}
