#pragma once
// Load caches of sounds: the sound loader makes each numbered sound through a sound factory (the music's
// pieces); the sound-effect loader keeps a record per number and puts a null sound in place of an effect
// that does not open. A number without an entry, or an entry with no sound made, hands out a fresh null
// sound, which accepts every call and plays nothing.

#include "sdk/auxiliary/load_cache.h"
#include "sdk/multimedia/sound.h"
#include "sdk/multimedia/sound_factory.h"
#include "sdk/ztl/smart_ptr.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Multimedia {

class CSoundLoader : public Auxiliary::CLoadCache
{
public:
    // The factory that makes the sounds; not owned, it must outlive every sound of the cache.
    void SetSoundFactory(ISoundFactory* factory);
    ZTL::smart_ptr<ISoundFactory> GetSoundFactory() const { return m_soundFactory; }
    // Loads the number's sound when it is not loaded yet, then hands it out (a sound whose file did not
    // load included); a null sound for a number that has none.
    void Get(ZTL::smart_ptr<ISound>& sound, std::int32_t id);

protected:
    // -1 without a factory; 1 when the factory made only the null sound (which the entry keeps);
    // otherwise the result of opening the sound.
    int CreateObject(Auxiliary::CLoadCacheInfo& entry) override;
    // Where an entry keeps its sound; null while it has no place for one.
    virtual const ZTL::smart_ptr<ISound>* HeldSound(Auxiliary::CLoadCacheInfo& entry);
    // The factory, or null.
    ISoundFactory* Factory() const { return m_soundFactory.get(); }

private:
    ZTL::smart_ptr<ISoundFactory> m_soundFactory;
};

class CSELoader : public CSoundLoader
{
public:
    // The record each entry holds from its definition on.
    class CSELoaderInfo : public Auxiliary::CLoadCacheObject
    {
    public:
        CSELoaderInfo(const string& fileName, std::int32_t id) : fileName(fileName), id(id) {}
        string fileName;
        ZTL::smart_ptr<ISound> sound; // empty until made
        std::int32_t id;
    };

    // Stops the effect when it is loaded; nothing otherwise.
    void StopSound(std::int32_t id);

protected:
    // -1 without a factory; otherwise the result of opening the sound, a null sound taking the place of
    // one that failed.
    int CreateObject(Auxiliary::CLoadCacheInfo& entry) override;
    const ZTL::smart_ptr<ISound>* HeldSound(Auxiliary::CLoadCacheInfo& entry) override;
    void OnDefinitionEntry(Auxiliary::CLoadCacheInfo& entry, std::int32_t id) override;
    void ReleaseObject(Auxiliary::CLoadCacheInfo& entry) override;
};

} // namespace zelvoranGameSDK3rd::Multimedia
