#include "sdk/auxiliary/load_cache.h"

#include "sdk/ztl/string_util.h"

namespace zelvoranGameSDK3rd::Auxiliary {

// ---- Use record

bool CLoadCacheUseRecord::Contains(ILoadCache* cache, std::int32_t id) const
{
    return m_places.contains({cache, id});
}

bool CLoadCacheUseRecord::Touch(ILoadCache* cache, std::int32_t id)
{
    const CIDObjectAndNumber pair{cache, id};
    auto it = m_places.find(pair);
    if (it != m_places.end()) {
        m_order.splice(m_order.begin(), m_order, it->second);
        return true;
    }
    m_order.push_front(pair);
    m_places.emplace(pair, m_order.begin());
    return false;
}

bool CLoadCacheUseRecord::Remove(ILoadCache* cache, std::int32_t id)
{
    auto it = m_places.find({cache, id});
    if (it == m_places.end()) return false;
    m_order.erase(it->second);
    m_places.erase(it);
    return true;
}

bool CLoadCacheUseRecord::PopBack(CIDObjectAndNumber& pair)
{
    if (m_order.empty()) return false;
    pair = m_order.back();
    m_places.erase(pair);
    m_order.pop_back();
    return true;
}

std::int32_t CLoadCacheUseRecord::RemoveCache(ILoadCache* cache)
{
    std::int32_t removed = 0;
    for (auto it = m_order.begin(); it != m_order.end();) {
        if (it->cache != cache) {
            ++it;
            continue;
        }
        m_places.erase(*it);
        it = m_order.erase(it);
        ++removed;
    }
    return removed;
}

void CLoadCacheUseRecord::Clear()
{
    m_order.clear();
    m_places.clear();
}

// ---- Cache

CLoadCache::CLoadCache()
    : m_loadListener(new CDefaultLoadCacheListener), m_staleListener(new CDefaultCacheStaleListener),
      m_useRecord(new CLoadCacheUseRecord)
{}

CLoadCache::~CLoadCache()
{
    // A record that outlives the cache must not name it.
    m_useRecord->RemoveCache(this);
}

int CLoadCache::LoadDefinition(const ZTL::string& fileName, bool numbered)
{
    if (!m_readDefinition) return 0;
    CFile file;
    if (file.Read(fileName) != CFile::kReadOk) return 1;
    return ReadDefinition(file, numbered);
}

int CLoadCache::ReadDefinition(IFile& file, bool numbered)
{
    if (!m_readDefinition) return 0;
    std::int32_t accepted = 0;
    char line[256];
    for (;;) {
        // 0 a line, 2 the first 255 bytes of a longer one (read as a line of its own).
        const int read = file.ReadLine(line, sizeof line);
        if (read != 0 && read != 2) break;
        if (line[0] == '\0' || (line[0] == '/' && line[1] == '/')) continue;
        const char* cursor = line;
        const ZTL::string field = ZTL::StringScan::ReadField(&cursor);
        std::int32_t id = accepted;
        if (numbered && ZTL::StringScan::ReadListNumber(&cursor, &id) != 0) return 2;
        LoadCacheEntry entry(new CLoadCacheInfo);
        entry->fileName = m_path;
        entry->fileName += field;
        m_definitions.insert_or_assign(id, entry);
        ++accepted;
        OnDefinitionEntry(*entry, id);
    }
    return 0;
}

int CLoadCache::Load(std::int32_t id)
{
    m_loadListener->OnLoad(id);
    CLoadCacheInfo* entry = FindEntry(id);
    // An undefined number is not recorded: it would read as loaded from then on.
    if (entry == nullptr) return 1;
    if (m_useRecord->Touch(this, id)) return 0;
    while (m_staleListener->IsOverLimit()) {
        CIDObjectAndNumber stale;
        if (!m_useRecord->PopBack(stale)) break;
        m_staleListener->Decrement();
        // Off the record already, so Release only lets go of the object.
        stale.cache->Release(stale.id);
    }
    const int made = CreateObject(*entry);
    if (made != 0) return made;
    m_staleListener->Increment();
    return 0;
}

bool CLoadCache::IsLoaded(std::int32_t id)
{
    m_loadListener->OnLoad(id);
    return m_useRecord->Contains(this, id);
}

void CLoadCache::Release(std::int32_t id)
{
    if (m_useRecord->Remove(this, id)) m_staleListener->Decrement();
    if (CLoadCacheInfo* entry = FindEntry(id)) ReleaseObject(*entry);
}

void CLoadCache::ReleaseAll()
{
    m_definitions.clear();
    for (std::int32_t removed = m_useRecord->RemoveCache(this); removed > 0; --removed)
        m_staleListener->Decrement();
}

bool CLoadCache::GetInfo(std::int32_t id, LoadCacheEntry& entry)
{
    auto it = m_definitions.find(id);
    if (it == m_definitions.end()) return true;
    entry = it->second;
    return false;
}

void CLoadCache::SetLoadCacheListener(const ZTL::smart_ptr<ILoadCacheListener>& listener)
{
    m_loadListener = listener;
}

void CLoadCache::SetCacheStaleListener(const ZTL::smart_ptr<ICacheStaleListener>& listener)
{
    m_staleListener = listener;
}

std::int32_t CLoadCache::GetLoadedCount()
{
    return m_useRecord->GetCount();
}

void CLoadCache::OnDefinitionEntry(CLoadCacheInfo&, std::int32_t)
{}

void CLoadCache::ReleaseObject(CLoadCacheInfo& entry)
{
    entry.object.release();
}

CLoadCacheInfo* CLoadCache::FindEntry(std::int32_t id)
{
    auto it = m_definitions.find(id);
    return it == m_definitions.end() ? nullptr : it->second.get();
}

} // namespace zelvoranGameSDK3rd::Auxiliary
