#pragma once
// The bytes a record stores through the SDK's serialiser.

#include "gamebase/sdk_names.h"
#include "sdk/auxiliary/serialize.h"

#include <cstdint>
#include <vector>

inline std::vector<std::uint8_t> StoreBytes(Auxiliary::IArchive& object)
{
    Auxiliary::CSerialize stream;
    stream.Serialize(object);
    return stream.GetBuffer();
}
