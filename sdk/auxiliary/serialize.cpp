#include "sdk/auxiliary/serialize.h"

#include "sdk/auxiliary/file.h"

#include <cstring>
#include <type_traits>

namespace zelvoranGameSDK3rd::Auxiliary {

void CSerialize::Clear()
{
    m_buffer.clear();
    m_readPosition = 0;
    m_storing = true;
    m_loadFailed = false;
}

void CSerialize::SetStoring(bool storing)
{
    m_storing = storing;
    m_readPosition = 0;
    m_loadFailed = false;
    if (storing) m_buffer.clear();
}

bool CSerialize::Transfer(void* data, std::size_t size)
{
    if (m_storing) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        m_buffer.insert(m_buffer.end(), bytes, bytes + size);
        return true;
    }
    if (m_loadFailed || BytesLeft() < size) {
        m_loadFailed = true;
        std::memset(data, 0, size);
        return false;
    }
    std::memcpy(data, m_buffer.data() + m_readPosition, size);
    m_readPosition += static_cast<std::uint32_t>(size);
    return true;
}

bool CSerialize::Count(std::int32_t& count, std::size_t minimumSize)
{
    Scalar(count);
    if (m_storing) return true;
    if (m_loadFailed || count < 0 || static_cast<std::size_t>(count) > BytesLeft() / minimumSize) {
        m_loadFailed = true;
        count = 0;
        return false;
    }
    return true;
}

template <class T> ISerialize& CSerialize::Array(std::vector<T>& values, std::size_t minimumSize)
{
    std::int32_t count = static_cast<std::int32_t>(values.size());
    if (!Count(count, minimumSize)) {
        values.clear();
        return *this;
    }
    if (!m_storing) values.assign(static_cast<std::size_t>(count), T{});
    for (auto& value : values)
        Serialize(value);
    return *this;
}

ISerialize& CSerialize::Serialize(ISerialize& other)
{
    Serialize(other.GetBuffer());
    Serialize(other.StoringFlag());
    std::int32_t position = static_cast<std::int32_t>(other.ReadPosition());
    Serialize(position);
    if (!m_storing) other.ReadPosition() = static_cast<std::uint32_t>(position);
    return *this;
}

ISerialize& CSerialize::Serialize(std::vector<std::uint32_t>& values)
{
    return Array(values, 4);
}

ISerialize& CSerialize::Serialize(std::vector<std::uint16_t>& values)
{
    return Array(values, 2);
}

ISerialize& CSerialize::Serialize(std::vector<ZTL::string>& values)
{
    return Array(values, 1);
}

ISerialize& CSerialize::Serialize(std::vector<std::uint8_t>& values)
{
    std::int32_t count = static_cast<std::int32_t>(values.size());
    if (!Count(count, 1)) {
        values.clear();
        return *this;
    }
    if (m_storing) {
        m_buffer.insert(m_buffer.end(), values.begin(), values.end());
    } else {
        values.assign(m_buffer.begin() + m_readPosition, m_buffer.begin() + m_readPosition + count);
        m_readPosition += static_cast<std::uint32_t>(count);
    }
    return *this;
}

ISerialize& CSerialize::Serialize(std::vector<bool>& values)
{
    std::int32_t count = static_cast<std::int32_t>(values.size());
    if (!Count(count, 1)) {
        values.clear();
        return *this;
    }
    if (!m_storing) values.assign(static_cast<std::size_t>(count), false);
    for (std::size_t i = 0; i < values.size(); ++i) {
        bool value = values[i];
        Serialize(value);
        values[i] = value;
    }
    return *this;
}

ISerialize& CSerialize::Serialize(std::vector<std::int32_t>& values)
{
    return Array(values, 4);
}

ISerialize& CSerialize::Serialize(ZTL::string& value)
{
    if (m_storing) {
        const auto* text = reinterpret_cast<const std::uint8_t*>(value.c_str());
        m_buffer.insert(m_buffer.end(), text, text + value.length());
        m_buffer.push_back(0);
        return *this;
    }
    const std::size_t left = m_loadFailed ? 0 : BytesLeft();
    const std::uint8_t* start = left != 0 ? m_buffer.data() + m_readPosition : nullptr;
    const void* end = left != 0 ? std::memchr(start, 0, left) : nullptr;
    if (end == nullptr) {
        m_loadFailed = true;
        value = ZTL::string();
        return *this;
    }
    const auto length = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(end) - start);
    value.assign(reinterpret_cast<const char*>(start), length);
    m_readPosition += length + 1;
    return *this;
}

ISerialize& CSerialize::Serialize(bool& value)
{
    std::uint8_t byte = value ? 1 : 0;
    Scalar(byte);
    value = byte != 0;
    return *this;
}

ISerialize& CSerialize::Serialize(IArchive& object)
{
    object.Serialize(*this);
    return *this;
}

void CSerialize::Assign(ISerialize& other)
{
    if (&other == this) return;
    m_buffer = other.GetBuffer();
    m_storing = other.IsStoring();
    m_readPosition = other.ReadPosition();
    m_loadFailed = other.HasLoadFailed();
}

int CSerialize::SaveToFile(const ZTL::string& name)
{
    CFile file;
    return file.Write(name, m_buffer.data(), static_cast<std::uint32_t>(m_buffer.size()));
}

int CSerialize::LoadFromFile(const ZTL::string& name)
{
    CFile file;
    std::vector<std::uint8_t> content;
    const int result = file.ReadToVector(name, content);
    if (result == 0) m_buffer.swap(content);
    return result;
}

} // namespace zelvoranGameSDK3rd::Auxiliary
