#pragma once
// The sound caches of the game's sound lists are all built one way: the list's folder as the path, a
// stale limit that no list reaches, the list's sound factory (none when null) and then the numbered
// definition file of that folder. A missing or bad file leaves the cache empty: every number then plays
// as the null sound.

#include "gamebase/sdk_names.h"
#include "sdk/auxiliary/cache_stale_listener.h"
#include "sdk/multimedia/sound_factory.h"
#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <memory>

template <class Loader>
std::unique_ptr<Loader> MakeSoundCache(const ZTL::string& folder, const ZTL::string& listFile,
                                       Multimedia::ISoundFactory* factory)
{
    constexpr std::int32_t kLoadedSoundLimit = 65535;
    auto loader = std::make_unique<Loader>();
    loader->SetPath(folder);
    auto* stale = new zelvoranGameSDK3rd::Auxiliary::CDefaultCacheStaleListener;
    stale->SetLimit(kLoadedSoundLimit);
    loader->SetCacheStaleListener(ZTL::smart_ptr<zelvoranGameSDK3rd::Auxiliary::ICacheStaleListener>(stale));
    if (factory != nullptr) loader->SetSoundFactory(factory);
    ZTL::string definition = folder;
    definition += listFile;
    loader->LoadDefinition(definition, true);
    return loader;
}
