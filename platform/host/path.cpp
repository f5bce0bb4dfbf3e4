#include "platform/host/path.h"

#include "platform/host/encoding.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace platform {
namespace {

bool Exists(const std::string& hostPath)
{
    struct stat st;
    return lstat(hostPath.c_str(), &st) == 0;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The entry of `folder` whose name equals `name` ignoring ASCII case; of several, the smallest in byte
// order, so the choice does not depend on the order the folder lists them in.
bool FindIgnoringCase(const std::string& folder, std::string_view name, std::string& found)
{
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return false;
    bool any = false;
    while (dirent* entry = readdir(dir)) {
        std::string_view candidate(entry->d_name);
        if (!EqualsIgnoringAsciiCase(candidate, name)) continue;
        if (!any || candidate < found) found.assign(candidate);
        any = true;
    }
    closedir(dir);
    return any;
}

} // namespace

bool IsCp932TrailByteAt(std::string_view text, std::size_t index)
{
    bool trail = false;
    for (std::size_t i = 0; i < index && i < text.size(); ++i) {
        trail = !trail && IsCp932LeadByte(static_cast<unsigned char>(text[i]));
    }
    return trail;
}

bool IsPathSeparatorAt(std::string_view path, std::size_t index)
{
    if (index >= path.size()) return false;
    char c = path[index];
    return (c == '\\' || c == '/') && !IsCp932TrailByteAt(path, index);
}

void SplitCp932Path(std::string_view path, std::vector<std::string>& names, bool& absolute)
{
    names.clear();
    absolute = !path.empty() && (path[0] == '\\' || path[0] == '/');
    std::string current;
    for (std::size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsCp932LeadByte(c) && i + 1 < path.size()) {
            current.push_back(path[i]);
            current.push_back(path[++i]);
            continue;
        }
        if (c == '\\' || c == '/') {
            if (!current.empty()) names.push_back(std::move(current));
            current.clear();
            continue;
        }
        current.push_back(path[i]);
    }
    if (!current.empty()) names.push_back(std::move(current));
}

bool ToHostPath(std::string_view cp932Path, std::string& hostPath)
{
    hostPath.clear();
    if (cp932Path.empty()) return false;
    std::vector<std::string> names;
    bool absolute = false;
    SplitCp932Path(cp932Path, names, absolute);

    std::vector<std::string> utf8Names(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!Cp932ToUtf8(names[i], utf8Names[i])) return false;
    }

    std::string asWritten = absolute ? "/" : "";
    for (std::size_t i = 0; i < utf8Names.size(); ++i) {
        if (i > 0) asWritten += '/';
        asWritten += utf8Names[i];
    }
    if (asWritten.empty()) asWritten.push_back('.');
    if (Exists(asWritten)) {
        hostPath = std::move(asWritten);
        return true;
    }

    // Not there as written: walk it one name at a time, finding each missing name ignoring case.
    std::string result = absolute ? "/" : "";
    bool lookUp = true;
    for (std::size_t i = 0; i < utf8Names.size(); ++i) {
        const std::string& name = utf8Names[i];
        std::string candidate = result;
        if (!candidate.empty() && candidate.back() != '/') candidate += '/';
        std::string next = candidate + name;
        if (lookUp && name != "." && name != ".." && !Exists(next)) {
            std::string found;
            if (FindIgnoringCase(result, name, found)) {
                next = candidate + found;
            } else {
                lookUp = false; // nothing below a missing name can exist
            }
        }
        result = std::move(next);
    }
    if (result.empty()) result.push_back('.');
    hostPath = std::move(result);
    return true;
}

bool ToSdkPath(std::string_view hostPath, std::string& cp932Path)
{
    return Utf8ToCp932(hostPath, cp932Path);
}

} // namespace platform
