#include "platform/host/library.h"

#include "platform/host/path.h"

#include <dlfcn.h>

namespace platform {

namespace {

bool EndsWithDll(std::string_view path)
{
    if (path.size() < 4) return false;
    std::string_view ext = path.substr(path.size() - 4);
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    return ext[0] == '.' && lower(ext[1]) == 'd' && lower(ext[2]) == 'l' && lower(ext[3]) == 'l';
}

} // namespace

bool LibraryHostPath(std::string_view path, std::string& hostPath)
{
    std::string name(path);
    if (EndsWithDll(name)) name.replace(name.size() - 4, 4, ".so");
    if (!ToHostPath(name, hostPath)) return false;
    // dlopen searches the library path for names without a slash; a plug-in is always a file here.
    if (hostPath.find('/') == std::string::npos) hostPath.insert(0, "./");
    return true;
}

LibraryHandle LoadLibrary(std::string_view path, std::string* error)
{
    std::string host;
    if (!LibraryHostPath(path, host)) {
        if (error != nullptr) *error = "no host form of the name";
        return nullptr;
    }
    int mode = RTLD_NOW | RTLD_LOCAL;
#if defined(__SANITIZE_ADDRESS__)
    // A plug-in carries thread-local storage (the SDK it links). The leak checker walks every thread's
    // dynamic TLS at exit and can fault on a module already unloaded, so checked builds keep plug-ins
    // mapped after their release; the library itself behaves the same either way.
    mode |= RTLD_NODELETE;
#endif
    void* handle = dlopen(host.c_str(), mode);
    if (handle == nullptr && error != nullptr) {
        const char* why = dlerror();
        *error = why != nullptr ? why : "unknown";
    }
    return static_cast<LibraryHandle>(handle);
}

void* GetLibrarySymbol(LibraryHandle library, const char* name)
{
    if (library == nullptr || name == nullptr) return nullptr;
    return dlsym(library, name);
}

bool FreeLibrary(LibraryHandle library)
{
    if (library == nullptr) return false;
    return dlclose(library) == 0;
}

} // namespace platform
