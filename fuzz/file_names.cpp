// File names and paths as players' folders and saves may hold them: resolving, climbing to parent
// folders, suffixes and name parts, whole-file reads with their upward archive search, stream opens
// and serialised loads, against a small tree of plain files and archives. Nothing is ever written:
// only reading modes reach the stream opener.
//
// The input is a name, then optionally a NUL and an open mode, then a NUL and a current folder.

#include "sdk/auxiliary/file.h"
#include "sdk/auxiliary/serialize.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace Aux = zelvoranGameSDK3rd::Auxiliary;
namespace ZTL = zelvoranGameSDK3rd::ZTL;
namespace fs = std::filesystem;

namespace {

fs::path g_root;
ZTL::string g_current;

void Put(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A "zelvpack" archive holding one member.
std::string Archive(const std::string& member, const std::string& content)
{
    std::string b("zelvpack\x01\0\0\0", 12);
    std::string entry(40, '\0');
    entry.replace(0, member.size(), member);
    const std::uint32_t offset = 12 + 40, size = static_cast<std::uint32_t>(content.size());
    for (int i = 0; i < 4; ++i) {
        entry[32 + i] = static_cast<char>(offset >> (8 * i));
        entry[36 + i] = static_cast<char>(size >> (8 * i));
    }
    return b + entry + content;
}

void RemoveTree()
{
    std::error_code ignored;
    fs::remove_all(g_root, ignored);
}

// Modes that open for reading only; anything else that could create or change a file is not tried.
bool ReadsOnly(std::string_view mode)
{
    return !mode.empty() && mode[0] != 'w' && mode[0] != 'a' && mode.find('+') == std::string_view::npos;
}

bool OneOf(int value, std::initializer_list<int> allowed)
{
    for (int a : allowed)
        if (value == a) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::string pattern = (fs::temp_directory_path() / "marovellin-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    g_root = pattern;
    std::atexit(RemoveTree);
    Put(g_root / "g" / "data" / "a.txt", "plain\r\n\"quoted\"\r\n");
    Put(g_root / "g" / "data" / "se.dat", Archive("foo.wav", "member"));
    Put(g_root / "g" / "data.dat", Archive("se\\bar.wav", "upper member"));
    Put(g_root / "g" / "save.dat", std::string("\x02\0\0\0k\0v\0", 8));
    g_current = ZTL::string((g_root / "g").string().c_str());
    Aux::CFile::SetCurrentFolder(g_current);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size && parts.size() <= 3; ++i) {
        if (data[i] == 0) {
            parts.emplace_back();
        } else {
            parts.back().push_back(static_cast<char>(data[i]));
        }
    }
    parts.resize(3);
    const ZTL::string name(parts[0].c_str());
    const std::string& mode = parts[1];

    if (!parts[2].empty()) Aux::CFile::SetCurrentFolder(ZTL::string(parts[2].c_str()));
    ZTL::string resolved = Aux::CFile::ResolvePath(name);
    // Climbing stops or goes on; it never fails. A network name without a share may grow, so the
    // number of steps is bounded here.
    for (int step = 0; step < 16 && Aux::CFile::ToParentFolder(resolved) == 0; ++step) {
    }
    Aux::CFile::GetSuffix(name);
    Aux::CFile::GetFileNamePart(name);
    ZTL::string lower = name;
    Aux::StringToLower(lower);

    Aux::CFile file;
    const int read = file.Read(name);
    if (!OneOf(read, {-1, 0, 1, 2, 3, 4, 5})) std::abort();
    if (read == 0) {
        char line[16];
        for (int result = 0; result == 0 || result == 2;)
            result = file.ReadLine(line, sizeof line);
    }
    if (ReadsOnly(mode)) {
        const int opened = file.Open(name, ZTL::string(mode.c_str()));
        if (!OneOf(opened, {-2, -1, 0, 1})) std::abort();
        file.Close();
    }
    Aux::CSerialize stream;
    stream.LoadFromFile(name);

    if (!parts[2].empty()) Aux::CFile::SetCurrentFolder(g_current);
    return 0;
}
