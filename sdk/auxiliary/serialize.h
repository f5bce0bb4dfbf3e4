#pragma once
// The in-memory serialisation stream: the byte layout of every file saved through it.

#include "sdk/auxiliary/archive.h"

#include <type_traits>

namespace zelvoranGameSDK3rd::Auxiliary {

class CSerialize : public ISerialize
{
public:
    CSerialize() = default;

    void Clear() override;
    bool IsStoring() const override { return m_storing; }
    bool& StoringFlag() override { return m_storing; }
    void SetStoring(bool storing) override;
    void SetStoringFlag(bool storing) override { m_storing = storing; }
    std::vector<std::uint8_t>& GetBuffer() override { return m_buffer; }
    ISerialize& Serialize(ISerialize& other) override;
    ISerialize& Serialize(std::vector<std::uint32_t>& values) override;
    ISerialize& Serialize(std::vector<std::uint16_t>& values) override;
    ISerialize& Serialize(std::vector<ZTL::string>& values) override;
    ISerialize& Serialize(std::vector<std::uint8_t>& values) override;
    ISerialize& Serialize(std::vector<bool>& values) override;
    ISerialize& Serialize(std::vector<std::int32_t>& values) override;
    ISerialize& Serialize(std::int64_t& value) override { return Scalar(value); }
    ISerialize& Serialize(std::uint32_t& value) override { return Scalar(value); }
    ISerialize& Serialize(std::uint16_t& value) override { return Scalar(value); }
    ISerialize& Serialize(ZTL::string& value) override;
    ISerialize& Serialize(char& value) override { return Scalar(value); }
    ISerialize& Serialize(bool& value) override;
    ISerialize& Serialize(std::int16_t& value) override { return Scalar(value); }
    ISerialize& Serialize(std::uint8_t& value) override { return Scalar(value); }
    ISerialize& Serialize(std::int32_t& value) override { return Scalar(value); }
    ISerialize& Serialize(IArchive& object) override;
    void Assign(ISerialize& other) override;
    // Writes exactly the buffer's bytes as the whole file: the file layer's result, 0 on success.
    int SaveToFile(const ZTL::string& name) override;
    // Replaces the buffer by the whole file (plain or archive member); on failure nothing changes.
    int LoadFromFile(const ZTL::string& name) override;
    std::uint32_t& ReadPosition() override { return m_readPosition; }
    bool HasLoadFailed() const override { return m_loadFailed; }
    void SetLoadFailed() override { m_loadFailed = true; }

private:
    std::size_t BytesLeft() const
    {
        return m_readPosition < m_buffer.size() ? m_buffer.size() - m_readPosition : 0;
    }
    // Stores `size` bytes, or loads them into `data` (zero-filled when fewer are left).
    bool Transfer(void* data, std::size_t size);
    template <class T> ISerialize& Scalar(T& value);
    // Stores the count, or loads it and checks that `count` elements of at least `minimumSize` bytes
    // each can still follow; a bad count fails the stream and loads as 0.
    bool Count(std::int32_t& count, std::size_t minimumSize);
    template <class T> ISerialize& Array(std::vector<T>& values, std::size_t minimumSize);

    std::vector<std::uint8_t> m_buffer;
    bool m_storing = true;
    std::uint32_t m_readPosition = 0;
    bool m_loadFailed = false;
};

// Integers go little-endian whatever the host's order.
template <class T> ISerialize& CSerialize::Scalar(T& value)
{
    using U = std::make_unsigned_t<T>;
    std::uint8_t bytes[sizeof(T)];
    if (m_storing) {
        const U bits = static_cast<U>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
        Transfer(bytes, sizeof bytes);
    } else {
        Transfer(bytes, sizeof bytes);
        U bits = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bits = static_cast<U>(bits | static_cast<U>(static_cast<U>(bytes[i]) << (8 * i)));
        value = static_cast<T>(bits);
    }
    return *this;
}

} // namespace zelvoranGameSDK3rd::Auxiliary
