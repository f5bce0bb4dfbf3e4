// Plug-in libraries loaded at run time.
#pragma once

#include <string>
#include <string_view>

namespace platform {

struct LibraryTag;
using LibraryHandle = LibraryTag*;

// Loads a library by its SDK path (CP932, `\` or `/`). A name ending in ".dll" (any case) is looked for
// as the ".so" of the same name beside it. Null when it cannot be loaded; `error` then says why.
LibraryHandle LoadLibrary(std::string_view path, std::string* error = nullptr);
// An exported function or object; null when the library does not export it.
void* GetLibrarySymbol(LibraryHandle library, const char* name);
// False when the library could not be unloaded.
bool FreeLibrary(LibraryHandle library);

// The host file a library path names (after the ".dll" to ".so" change); false when it has no host form.
bool LibraryHostPath(std::string_view path, std::string& hostPath);

} // namespace platform
