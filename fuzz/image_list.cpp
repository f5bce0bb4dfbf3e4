// The image list file of any content: every line is read within the bytes given, and each number it
// names gets a file name that is not empty and holds no comma.

#include "game/ui/image_list.h"

#include <cstdint>
#include <cstdlib>
#include <map>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Auxiliary::CFile file;
    if (file.ReadFromMemory(data, static_cast<std::uint32_t>(size)) != Auxiliary::CFile::kReadOk) return 0;
    std::map<std::int32_t, ZTL::string> names;
    CImageLoader::ReadList(file, names);
    for (const auto& [number, name] : names)
        if (name.empty() || name.find(",") != ZTL::string::npos || name.size() > size) std::abort();
    return 0;
}
