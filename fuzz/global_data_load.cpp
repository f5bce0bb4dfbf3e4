// "save\main.cfg" of any content: the loader reads nothing past the bytes it is given, takes a record
// only when it could read all of it, and leaves the record as it was otherwise. The input is the file
// without its check value, which the target appends so that the content itself is reached.

#include "game/data/check_value.h"
#include "game/data/global_data.h"
#include "sdk/auxiliary/serialize.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

std::vector<std::uint8_t> Settings(SGlobalData& data)
{
    Auxiliary::CSerialize stream;
    stream.Serialize(data);
    return stream.GetBuffer();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> bytes(data, data + size);
    AppendCheckValue(bytes);
    SGlobalData record;
    record.cpuLoad = 77;
    record.saveEntries[1] = {true, 2};
    const std::vector<std::uint8_t> before = Settings(record);

    const int result = LoadGlobalDataFromBytes(record, bytes);
    if (result != kGlobalDataLoaded && result != kGlobalDataBadFormat) std::abort();
    if (result != kGlobalDataLoaded && (Settings(record) != before || record.saveEntries.size() != 1))
        std::abort();
    // The entries come from the bytes: nine each, between the 39 of the version, the settings and the
    // count and the one of the registry flag.
    if (result == kGlobalDataLoaded && record.saveEntries.size() * 9 + 40 > size) std::abort();
    return 0;
}
