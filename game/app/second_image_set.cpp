#include "game/app/second_image_set.h"

#include "sdk/auxiliary/cache_stale_listener.h"

CSecondImageSet* CSecondImageSet::GetInstance()
{
    return zelvoranGameSDK3rd::Thread::CSingleton<CSecondImageSet>::GetInstance();
}

void CSecondImageSet::DestroyInstance()
{
    zelvoranGameSDK3rd::Thread::CSingleton<CSecondImageSet>::DestroyInstance();
}

void CSecondImageSet::BuildLoader()
{
    m_loader.reset();
    auto loader = std::make_unique<Draw::CPlaneLoader>();
    loader->SetPath(m_folder);
    auto* stale = new zelvoranGameSDK3rd::Auxiliary::CDefaultCacheStaleListener;
    stale->SetLimit(kStaleLimit);
    loader->SetCacheStaleListener(ZTL::smart_ptr<zelvoranGameSDK3rd::Auxiliary::ICacheStaleListener>(stale));
    ZTL::string definition = m_folder;
    definition += m_listFile;
    loader->LoadDefinition(definition, true);
    loader->SetColorKey(kColorKey);
    m_loader = std::move(loader);
}

void CSecondImageSet::ReleaseAll()
{
    // The cache's own ReleaseAll would forget the list too, and nothing could be loaded again.
    if (m_loader == nullptr) return;
    for (const auto& [id, entry] : m_loader->GetDefinitions())
        m_loader->Release(id);
}
