// A definition file of any content, read in either mode: reading stays within the bytes given, ends with
// 0 or 2, and every number it defines loads once.

#include "sdk/auxiliary/load_cache.h"

#include <cstdint>
#include <cstdlib>

namespace {

namespace Aux = zelvoranGameSDK3rd::Auxiliary;

class CountingCache : public Aux::CLoadCache
{
public:
    int made = 0;

protected:
    int CreateObject(Aux::CLoadCacheInfo&) override
    {
        ++made;
        return 0;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    Aux::CFile file;
    if (file.ReadFromMemory(data + 1, static_cast<std::uint32_t>(size - 1)) != Aux::CFile::kReadOk) return 0;
    CountingCache cache;
    cache.SetPath("data\\se\\");
    const int result = cache.ReadDefinition(file, (data[0] & 1) != 0);
    if (result != 0 && result != 2) std::abort();
    for (const auto& [id, entry] : cache.GetDefinitions()) {
        if (entry->fileName.size() > size + 8) std::abort();
        if (cache.Load(id) != 0 || cache.Load(id) != 0) std::abort();
    }
    if (cache.made != static_cast<int>(cache.GetDefinitions().size())) std::abort();
    return 0;
}
