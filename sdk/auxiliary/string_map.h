#pragma once
// An ordered dictionary of texts with number accessors, a definition file ("#key value" lines),
// key-by-value substitution in texts and serialisation.

#include "sdk/ztl/archive.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <map>

namespace zelvoranGameSDK3rd::Auxiliary {

using StringMapEntries = std::map<ZTL::string, ZTL::string>;

class IStringMap
{
public:
    virtual void SetNumber(const ZTL::string& key, std::int64_t value) = 0;
    // Replaces the value of an existing key, else inserts the pair.
    virtual void SetString(const ZTL::string& key, const ZTL::string& value) = 0;
    virtual void AppendString(const ZTL::string& key, const ZTL::string& text) = 0;
    // -1 and 0 for an absent key; else the conversion's result: 0 a number, 1 none (value 0).
    virtual int GetNumber(const ZTL::string& key, std::int64_t& value) = 0;
    // 0 and the value, or -1 and an empty string for an absent key.
    virtual int GetString(const ZTL::string& key, ZTL::string& value) = 0;
    // The value when present and not empty, else the default.
    virtual ZTL::string GetStringOr(const ZTL::string& key, const ZTL::string& fallback) = 0;
    virtual std::int32_t GetIntOr(const ZTL::string& key, std::int32_t fallback) = 0;
    virtual std::int64_t GetInt64Or(const ZTL::string& key, std::int64_t fallback) = 0;
    virtual bool Erase(const ZTL::string& key) = 0;
    virtual void Clear() = 0;
    // 0, or the file layer's read error (the map then unchanged).
    virtual int LoadFromFile(const ZTL::string& name) = 0;
    // 0, or 1 when the file cannot be written.
    virtual int SaveToFile(const ZTL::string& name) = 0;
    // Replaces every key found in the text by its value, entry by entry in key order.
    virtual void Replace(ZTL::string& text, bool exactCase) = 0;
    virtual StringMapEntries& GetMap() = 0;
    virtual ~IStringMap() = default;

    // The name some callers use for SetString.
    void Write(const ZTL::string& key, const ZTL::string& value) { SetString(key, value); }
};

class CStringMap : public IStringMap, public IArchive
{
public:
    CStringMap() = default;

    void SetNumber(const ZTL::string& key, std::int64_t value) override;
    void SetString(const ZTL::string& key, const ZTL::string& value) override;
    void AppendString(const ZTL::string& key, const ZTL::string& text) override;
    int GetNumber(const ZTL::string& key, std::int64_t& value) override;
    int GetString(const ZTL::string& key, ZTL::string& value) override;
    ZTL::string GetStringOr(const ZTL::string& key, const ZTL::string& fallback) override;
    std::int32_t GetIntOr(const ZTL::string& key, std::int32_t fallback) override;
    std::int64_t GetInt64Or(const ZTL::string& key, std::int64_t fallback) override;
    bool Erase(const ZTL::string& key) override;
    void Clear() override { m_entries.clear(); }
    int LoadFromFile(const ZTL::string& name) override;
    int SaveToFile(const ZTL::string& name) override;
    void Replace(ZTL::string& text, bool exactCase) override;
    StringMapEntries& GetMap() override { return m_entries; }
    // A signed 32-bit count, then each key and value in key order.
    void Serialize(ISerialize& stream) override;

private:
    StringMapEntries m_entries;
};

} // namespace zelvoranGameSDK3rd::Auxiliary
