// "save\ranking.sav" of any content: the loader reads nothing past the bytes it is given, fills no
// category beyond its 100 slots, takes a file only when it could read all of it and leaves the table as
// it was otherwise. The input is the file without its byte sum, which the target appends so that the
// content itself is reached.

#include "game/app/ranking_table.h"
#include "game/data/check_value.h"
#include "sdk/auxiliary/serialize.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Every place of every category, by record number.
std::vector<std::int32_t> Places(const CRankingTable& table)
{
    std::vector<std::int32_t> places;
    for (std::int32_t category = 0; category < CRankingTable::kCategories; ++category)
        for (std::int32_t place = 0; place < CRankingTable::kPlaces; ++place)
            places.push_back(table.Get(category, place).recordNumber);
    return places;
}

std::size_t SmallestRecord()
{
    Auxiliary::CSerialize stream;
    SRankingData record;
    stream.Serialize(record);
    return stream.GetBuffer().size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto table = std::make_unique<CRankingTable>(); // no file where the fuzzer runs
    // A table that took a file before: a failed load must keep it.
    static const std::size_t smallest = SmallestRecord();
    const std::vector<std::int32_t> before = Places(*table);

    std::vector<std::uint8_t> bytes(data, data + size);
    AppendByteSum(bytes);
    const int result = table->Load(bytes);
    if (result != kRankingLoaded) {
        if (result != kRankingBadFormat || Places(*table) != before) std::abort();
        return 0;
    }
    // The records come from the bytes, after the format value and the eight counts.
    std::size_t records = 0;
    for (std::int32_t category = 0; category < CRankingTable::kCategories; ++category) {
        const std::int32_t count = table->Count(category);
        if (count < 0 || count > CRankingTable::kPlaces) std::abort();
        records += std::size_t(count);
        for (std::int32_t place = 0; place < count; ++place)
            if (table->Get(category, place).recordNumber == -1) std::abort();
    }
    if (36 + records * smallest > size) std::abort();
    return 0;
}
