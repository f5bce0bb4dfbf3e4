#pragma once
// The serialisation interfaces: a serialisable object (IArchive) and the typed byte stream it stores
// itself into or loads itself from (ISerialize). Both are pure interfaces with nothing to link, so
// folders built before this one (the random generator) can implement IArchive.

#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <vector>

namespace zelvoranGameSDK3rd::Auxiliary {

class ISerialize;

class IArchive
{
public:
    // Stores or loads the object's fields, depending on the stream's direction.
    virtual void Serialize(ISerialize& stream) = 0;
    virtual ~IArchive() = default;
};

// Every typed operation stores the value when the stream is storing and loads it when not, and
// returns the stream so calls chain. Values are little-endian; strings end with one NUL byte;
// arrays are a signed 32-bit count, then the elements.
class ISerialize
{
public:
    virtual void Clear() = 0;
    virtual bool IsStoring() const = 0;
    virtual bool& StoringFlag() = 0;
    // Loading (false) starts reading at position 0 and keeps the bytes; storing (true) empties them.
    virtual void SetStoring(bool storing) = 0;
    virtual void SetStoringFlag(bool storing) = 0;
    virtual std::vector<std::uint8_t>& GetBuffer() = 0;
    virtual ISerialize& Serialize(ISerialize& other) = 0;
    virtual ISerialize& Serialize(std::vector<std::uint32_t>& values) = 0;
    virtual ISerialize& Serialize(std::vector<std::uint16_t>& values) = 0;
    virtual ISerialize& Serialize(std::vector<ZTL::string>& values) = 0;
    virtual ISerialize& Serialize(std::vector<std::uint8_t>& values) = 0;
    virtual ISerialize& Serialize(std::vector<bool>& values) = 0;
    virtual ISerialize& Serialize(std::vector<std::int32_t>& values) = 0;
    virtual ISerialize& Serialize(std::int64_t& value) = 0;
    virtual ISerialize& Serialize(std::uint32_t& value) = 0;
    virtual ISerialize& Serialize(std::uint16_t& value) = 0;
    virtual ISerialize& Serialize(ZTL::string& value) = 0;
    virtual ISerialize& Serialize(char& value) = 0;
    virtual ISerialize& Serialize(bool& value) = 0;
    virtual ISerialize& Serialize(std::int16_t& value) = 0;
    virtual ISerialize& Serialize(std::uint8_t& value) = 0;
    virtual ISerialize& Serialize(std::int32_t& value) = 0;
    // The object's own fields follow inline: no count, tag or length.
    virtual ISerialize& Serialize(IArchive& object) = 0;
    virtual void Assign(ISerialize& other) = 0;
    virtual int SaveToFile(const ZTL::string& name) = 0;
    virtual int LoadFromFile(const ZTL::string& name) = 0;
    virtual std::uint32_t& ReadPosition() = 0;
    // True once a load ran past the end of the bytes or met an impossible count; every load after
    // that yields zero or empty values. Cleared by Clear and SetStoring.
    virtual bool HasLoadFailed() const = 0;
    // Marks the load failed, for a value that an object loading itself finds impossible (a negative
    // count); every load after that yields zero or empty values.
    virtual void SetLoadFailed() = 0;
    virtual ~ISerialize() = default;
};

} // namespace zelvoranGameSDK3rd::Auxiliary
