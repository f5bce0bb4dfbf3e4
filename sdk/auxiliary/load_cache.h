#pragma once
// Numbered caches of objects loaded from files on first use (sounds, sound effects, planes). A definition
// file names the file of every number; the cache loads a number's file the first time it is asked for,
// hands out the same object after that, and keeps the loaded numbers in order of last use so that a
// stale listener can have the least recently used ones let go.
//
// Definition files hold one entry a line, "file" or, numbered, "file,number":
//   - a line ends at CR LF only (a lone LF or CR is part of the line), and a line longer than 255 bytes
//     is read as several lines of at most 255 bytes;
//   - an empty line and a line beginning with "//" are skipped;
//   - the file field runs from the start of the line to a "/" or to just before a comma, blanks and tabs
//     included (so folders inside it are written with "\");
//   - in numbered mode white space and commas after the field are skipped and a signed decimal number
//     must follow (anything after it is ignored); otherwise an entry's number is its place among the
//     entries read, from 0;
//   - a number defined twice keeps the later entry.

#include "sdk/auxiliary/cache_stale_listener.h"
#include "sdk/auxiliary/file.h"
#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <compare>
#include <cstdint>
#include <list>
#include <map>

namespace zelvoranGameSDK3rd::Auxiliary {

// Told of every number a cache is about to load or is asked about.
class ILoadCacheListener
{
public:
    virtual void OnLoad(std::int32_t id) = 0;
    virtual ~ILoadCacheListener() = default;
};

class CDefaultLoadCacheListener : public ILoadCacheListener
{
public:
    void OnLoad(std::int32_t) override {}
};

// What an entry holds: its loaded object, or a record of the cache's own.
class CLoadCacheObject
{
public:
    virtual ~CLoadCacheObject() = default;
};

template <class T> class CLoadCacheObjectOf : public CLoadCacheObject
{
public:
    explicit CLoadCacheObjectOf(const ZTL::smart_ptr<T>& pointer) : pointer(pointer) {}
    ZTL::smart_ptr<T> pointer;
};

// One definition entry.
class CLoadCacheInfo
{
public:
    ZTL::smart_ptr<CLoadCacheObject> object; // empty while nothing is loaded
    ZTL::string fileName;                    // the cache's path followed by the line's file field
    std::uint32_t reserved = 0;              // kept for the entry's layout; no cache uses it
};

using LoadCacheEntry = ZTL::smart_ptr<CLoadCacheInfo>;

class ILoadCache;

// The loaded objects of a cache as (cache, number) pairs, most recently used first.
class CLoadCacheUseRecord
{
public:
    struct CIDObjectAndNumber
    {
        ILoadCache* cache = nullptr;
        std::int32_t id = 0;
        auto operator<=>(const CIDObjectAndNumber&) const = default;
    };

    bool Contains(ILoadCache* cache, std::int32_t id) const;
    // Puts the pair first: true when it was in the record already, false when it is new.
    bool Touch(ILoadCache* cache, std::int32_t id);
    // False when the pair was not there.
    bool Remove(ILoadCache* cache, std::int32_t id);
    // Takes the least recently used pair off: false when the record is empty.
    bool PopBack(CIDObjectAndNumber& pair);
    // Removes every pair of the cache: how many there were.
    std::int32_t RemoveCache(ILoadCache* cache);
    void Clear();
    std::int32_t GetCount() const { return static_cast<std::int32_t>(m_order.size()); }

private:
    std::list<CIDObjectAndNumber> m_order;
    std::map<CIDObjectAndNumber, std::list<CIDObjectAndNumber>::iterator> m_places;
};

class ILoadCache
{
public:
    // Reads a definition file (adding to the entries already defined): 0 read (or reading switched
    // off), 1 the file cannot be read, 2 a numbered line without a number (the entries before it stay).
    virtual int LoadDefinition(const ZTL::string& fileName, bool numbered) = 0;
    // Makes sure the object of the number is loaded: 0 loaded now or before, 1 the number is not
    // defined, else the non-zero result of making the object (the number then counts as loaded, so the
    // file is not tried again).
    virtual int Load(std::int32_t id) = 0;
    virtual bool IsLoaded(std::int32_t id) = 0;
    // Lets go of the number's object; the number stays defined and loads again on the next use.
    virtual void Release(std::int32_t id) = 0;
    // Drops every entry with its object: nothing is defined until a definition file is read again.
    virtual void ReleaseAll() = 0;
    // False with the entry when the number is defined, true when it is not.
    virtual bool GetInfo(std::int32_t id, LoadCacheEntry& entry) = 0;
    virtual void SetLoadCacheListener(const ZTL::smart_ptr<ILoadCacheListener>& listener) = 0;
    virtual ZTL::smart_ptr<ILoadCacheListener> GetLoadCacheListener() = 0;
    virtual void SetCacheStaleListener(const ZTL::smart_ptr<ICacheStaleListener>& listener) = 0;
    virtual ZTL::smart_ptr<ICacheStaleListener> GetCacheStaleListener() = 0;
    // Whether LoadDefinition reads anything; returns the new setting.
    virtual bool SetReadDefinition(bool read) = 0;
    // The folder put in front of every file field.
    virtual void SetPath(const ZTL::string& path) = 0;
    virtual ZTL::string GetPath() = 0;
    virtual ~ILoadCache() = default;
};

class CLoadCache : public ILoadCache
{
public:
    using CIDObjectAndNumber = CLoadCacheUseRecord::CIDObjectAndNumber;
    using Definitions = std::map<std::int32_t, LoadCacheEntry>;

    CLoadCache();
    CLoadCache(const CLoadCache&) = delete;
    CLoadCache& operator=(const CLoadCache&) = delete;
    ~CLoadCache() override;

    int LoadDefinition(const ZTL::string& fileName, bool numbered) override;
    int Load(std::int32_t id) override;
    bool IsLoaded(std::int32_t id) override;
    void Release(std::int32_t id) override;
    void ReleaseAll() override;
    bool GetInfo(std::int32_t id, LoadCacheEntry& entry) override;
    void SetLoadCacheListener(const ZTL::smart_ptr<ILoadCacheListener>& listener) override;
    ZTL::smart_ptr<ILoadCacheListener> GetLoadCacheListener() override { return m_loadListener; }
    void SetCacheStaleListener(const ZTL::smart_ptr<ICacheStaleListener>& listener) override;
    ZTL::smart_ptr<ICacheStaleListener> GetCacheStaleListener() override { return m_staleListener; }
    bool SetReadDefinition(bool read) override { return m_readDefinition = read; }
    void SetPath(const ZTL::string& path) override { m_path = path; }
    ZTL::string GetPath() override { return m_path; }

    // The number of pairs in the use record.
    virtual std::int32_t GetLoadedCount();
    // The use record; emptying it forgets at once which objects every cache that shares it has loaded.
    ZTL::smart_ptr<CLoadCacheUseRecord> GetUseRecord() const { return m_useRecord; }
    const Definitions& GetDefinitions() const { return m_definitions; }
    // LoadDefinition's reading of the lines of a file already read into memory.
    int ReadDefinition(IFile& file, bool numbered);

protected:
    // Makes the object of one entry (loads its file): 0 done.
    virtual int CreateObject(CLoadCacheInfo& entry) = 0;
    // Runs for every entry read.
    virtual void OnDefinitionEntry(CLoadCacheInfo& entry, std::int32_t id);
    // Lets go of the object an entry holds; the entry stays.
    virtual void ReleaseObject(CLoadCacheInfo& entry);
    // The entry of a number, null when it is not defined.
    CLoadCacheInfo* FindEntry(std::int32_t id);

private:
    ZTL::smart_ptr<ILoadCacheListener> m_loadListener;
    ZTL::smart_ptr<ICacheStaleListener> m_staleListener;
    ZTL::smart_ptr<CLoadCacheUseRecord> m_useRecord;
    Definitions m_definitions;
    bool m_readDefinition = true;
    ZTL::string m_path;
};

} // namespace zelvoranGameSDK3rd::Auxiliary
