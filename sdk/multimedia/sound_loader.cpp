#include "sdk/multimedia/sound_loader.h"

namespace zelvoranGameSDK3rd::Multimedia {

namespace {

using SoundObject = Auxiliary::CLoadCacheObjectOf<ISound>;

ZTL::smart_ptr<ISound> NewNullSound()
{
    return ZTL::smart_ptr<ISound>(new CSoundNullDevice);
}

} // namespace

// ---- Sound loader

void CSoundLoader::SetSoundFactory(ISoundFactory* factory)
{
    m_soundFactory.release();
    if (factory != nullptr) m_soundFactory.add(factory, false);
}

int CSoundLoader::CreateObject(Auxiliary::CLoadCacheInfo& entry)
{
    if (Factory() == nullptr) return -1;
    ZTL::smart_ptr<ISound> sound = Factory()->CreateSound(entry.fileName);
    entry.object = ZTL::smart_ptr<Auxiliary::CLoadCacheObject>(new SoundObject(sound));
    if (sound->GetType() == kSoundTypeNull) return 1;
    return sound->Open(entry.fileName);
}

const ZTL::smart_ptr<ISound>* CSoundLoader::HeldSound(Auxiliary::CLoadCacheInfo& entry)
{
    auto* object = static_cast<SoundObject*>(entry.object.get());
    return object != nullptr ? &object->pointer : nullptr;
}

void CSoundLoader::Get(ZTL::smart_ptr<ISound>& sound, std::int32_t id)
{
    Load(id);
    Auxiliary::CLoadCacheInfo* entry = FindEntry(id);
    const ZTL::smart_ptr<ISound>* held = entry != nullptr ? HeldSound(*entry) : nullptr;
    // Without a factory nothing was made: the caller still gets a sound it can use.
    sound = held != nullptr && !held->isNull() ? *held : NewNullSound();
}

// ---- Sound-effect loader

void CSELoader::OnDefinitionEntry(Auxiliary::CLoadCacheInfo& entry, std::int32_t id)
{
    entry.object = ZTL::smart_ptr<Auxiliary::CLoadCacheObject>(new CSELoaderInfo(entry.fileName, id));
}

int CSELoader::CreateObject(Auxiliary::CLoadCacheInfo& entry)
{
    if (Factory() == nullptr) return -1;
    auto* info = static_cast<CSELoaderInfo*>(entry.object.get());
    info->sound = Factory()->CreateSound(info->fileName);
    const int opened = info->sound->Open(info->fileName);
    if (opened != 0) info->sound = NewNullSound();
    return opened;
}

void CSELoader::ReleaseObject(Auxiliary::CLoadCacheInfo& entry)
{
    if (auto* info = static_cast<CSELoaderInfo*>(entry.object.get())) info->sound.release();
}

const ZTL::smart_ptr<ISound>* CSELoader::HeldSound(Auxiliary::CLoadCacheInfo& entry)
{
    auto* info = static_cast<CSELoaderInfo*>(entry.object.get());
    return info != nullptr ? &info->sound : nullptr;
}

void CSELoader::StopSound(std::int32_t id)
{
    if (!GetUseRecord()->Contains(this, id)) return;
    ZTL::smart_ptr<ISound> sound;
    Get(sound, id);
    sound->Stop();
}

} // namespace zelvoranGameSDK3rd::Multimedia
