// Loading records, arrays, nested streams, string maps and the random generator's state from
// untrusted bytes through the serialisation stream.

#include "sdk/auxiliary/serialize.h"
#include "sdk/auxiliary/string_map.h"
#include "sdk/math/rand.h"

#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace Aux = zelvoranGameSDK3rd::Auxiliary;
namespace Math = zelvoranGameSDK3rd::Math;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

namespace {

struct SRecord : Aux::IArchive
{
    std::vector<std::uint32_t> u32s;
    std::vector<std::uint16_t> u16s;
    std::vector<ZTL::string> texts;
    std::vector<std::uint8_t> bytes;
    std::vector<bool> bools;
    std::vector<std::int32_t> ints;
    std::int64_t i64 = 0;
    std::uint32_t u32 = 0;
    std::uint16_t u16 = 0;
    ZTL::string text;
    char c = 0;
    bool b = false;
    std::int16_t i16 = 0;
    std::uint8_t u8 = 0;
    std::int32_t i32 = 0;

    // The first byte of the input picks which items follow, so every load is reached at every offset.
    void Serialize(Aux::ISerialize& s) override
    {
        using Load = void (*)(SRecord&, Aux::ISerialize&);
        static const Load loads[] = {
            [](SRecord& r, Aux::ISerialize& s) { s.Serialize(r.u32s); },
            [](SRecord& r, Aux::ISerialize& s) { s.Serialize(r.u16s); },
            [](SRecord& r, Aux::ISerialize& s) { s.Serialize(r.texts); },
            [](SRecord& r, Aux::ISerialize& s) { s.Serialize(r.bytes); },
            [](SRecord& r, Aux::ISerialize& s) { s.Serialize(r.bools); },
            [](SRecord& r, Aux::ISerialize& s) { s.Serialize(r.ints); },
            [](SRecord& r, Aux::ISerialize& s) { s.Serialize(r.i64).Serialize(r.u32); },
            [](SRecord& r, Aux::ISerialize& s) { s.Serialize(r.u16).Serialize(r.text); },
            [](SRecord& r, Aux::ISerialize& s) { s.Serialize(r.c).Serialize(r.b).Serialize(r.i16); },
            [](SRecord& r, Aux::ISerialize& s) { s.Serialize(r.u8).Serialize(r.i32); },
        };
        std::uint8_t plan = 0;
        s.Serialize(plan);
        for (int step = 0; step < 6; ++step) {
            const unsigned pick = (plan + step * 7) % 16;
            if (pick < std::size(loads)) loads[pick](*this, s);
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Aux::CSerialize s;
    s.GetBuffer().assign(data, data + size);
    s.SetStoring(false);

    SRecord record;
    s.Serialize(record);
    if (record.b != true && record.b != false) std::abort();

    Aux::CStringMap map;
    s.Serialize(map);
    Aux::CSerialize nested;
    s.Serialize(static_cast<Aux::ISerialize&>(nested));
    Math::CRand generator;
    s.Serialize(generator);
    generator.Get(); // whatever index was loaded
    if (s.HasLoadFailed() && s.ReadPosition() > s.GetBuffer().size()) std::abort();

    // The nested stream can be read from wherever its stored position points.
    nested.SetStoringFlag(false);
    ZTL::string text;
    std::vector<std::uint32_t> values;
    nested.Serialize(text).Serialize(values);

    // What loaded stores again without trouble.
    Aux::CSerialize out;
    out.Serialize(map).Serialize(generator);
    return 0;
}
