#include "sdk/auxiliary/string_map.h"

#include "sdk/auxiliary/file.h"
#include "sdk/ztl/string_util.h"

#include <string>

namespace zelvoranGameSDK3rd::Auxiliary {

void CStringMap::SetNumber(const ZTL::string& key, std::int64_t value)
{
    ZTL::string text;
    ZTL::Int64ToString(text, value);
    SetString(key, text);
}

void CStringMap::SetString(const ZTL::string& key, const ZTL::string& value)
{
    m_entries.insert_or_assign(key, value);
}

void CStringMap::AppendString(const ZTL::string& key, const ZTL::string& text)
{
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        m_entries.emplace(key, text);
    } else if (!text.empty()) {
        it->second.append(text);
    }
}

int CStringMap::GetNumber(const ZTL::string& key, std::int64_t& value)
{
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        value = 0;
        return -1;
    }
    std::int64_t number = 0;
    const int result = ZTL::StringToInt(it->second, &number);
    value = result == 0 ? number : 0;
    return result;
}

int CStringMap::GetString(const ZTL::string& key, ZTL::string& value)
{
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        value = ZTL::string();
        return -1;
    }
    value = it->second;
    return 0;
}

ZTL::string CStringMap::GetStringOr(const ZTL::string& key, const ZTL::string& fallback)
{
    auto it = m_entries.find(key);
    return it != m_entries.end() && !it->second.empty() ? it->second : fallback;
}

std::int32_t CStringMap::GetIntOr(const ZTL::string& key, std::int32_t fallback)
{
    std::int64_t value = 0;
    return GetNumber(key, value) == 0 ? static_cast<std::int32_t>(static_cast<std::uint32_t>(value))
                                      : fallback;
}

std::int64_t CStringMap::GetInt64Or(const ZTL::string& key, std::int64_t fallback)
{
    std::int64_t value = 0;
    return GetNumber(key, value) == 0 ? value : fallback;
}

bool CStringMap::Erase(const ZTL::string& key)
{
    return m_entries.erase(key) != 0;
}

int CStringMap::LoadFromFile(const ZTL::string& name)
{
    CFile file;
    const int result = file.Read(name);
    if (result != 0) return result;
    m_entries.clear();
    ZTL::string line;
    while (file.ReadLineString(line) == 0) {
        const char* cursor = line.c_str();
        if (*cursor != '#') continue;
        ++cursor;
        if (ZTL::StringScan::SkipSpace(&cursor)) continue;
        ZTL::string key = ZTL::StringScan::ReadWord(&cursor);
        if (ZTL::StringScan::SkipSpace(&cursor)) continue;
        ZTL::string value = ZTL::StringScan::ReadWord(&cursor);
        if (!value.empty()) SetString(key, value);
    }
    return 0;
}

int CStringMap::SaveToFile(const ZTL::string& name)
{
    std::string text;
    for (const auto& [key, value] : m_entries) {
        text += '#';
        text.append(key.c_str(), key.length());
        text += ' ';
        text.append(value.c_str(), value.length());
        text += "\r\n";
    }
    CFile file;
    return file.Write(name, text.data(), static_cast<std::uint32_t>(text.size())) == 0 ? 0 : 1;
}

void CStringMap::Replace(ZTL::string& text, bool exactCase)
{
    for (const auto& [key, value] : m_entries)
        ZTL::ReplaceAllInString(text, key, value, exactCase);
}

void CStringMap::Serialize(ISerialize& stream)
{
    std::int32_t count = static_cast<std::int32_t>(m_entries.size());
    stream.Serialize(count);
    if (stream.IsStoring()) {
        for (const auto& [key, value] : m_entries) {
            ZTL::string k = key;
            ZTL::string v = value;
            stream.Serialize(k).Serialize(v);
        }
        return;
    }
    m_entries.clear();
    // A negative count fails the stream as the arrays' counts do. A damaged positive one ends with the
    // bytes: the stream fails at its end and every load after that is empty.
    if (count < 0) stream.SetLoadFailed();
    for (std::int32_t i = 0; i < count && !stream.HasLoadFailed(); ++i) {
        ZTL::string key, value;
        stream.Serialize(key).Serialize(value);
        if (!stream.HasLoadFailed()) m_entries.emplace(std::move(key), std::move(value));
    }
}

} // namespace zelvoranGameSDK3rd::Auxiliary
