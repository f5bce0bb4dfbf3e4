#pragma once
// Paths as the SDK speaks them (CP932 bytes, `\` or `/` between names) and as the host needs them
// (UTF-8, `/`).

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// True for the byte at `index` of a CP932 text being the second byte of a double-byte character.
bool IsCp932TrailByteAt(std::string_view text, std::size_t index);

// True for `\` or `/` at `index` that is not the second byte of a double-byte character (能 is 0x94 0x5C).
bool IsPathSeparatorAt(std::string_view path, std::size_t index);

// Splits a CP932 path into its names; empty names (doubled separators) are dropped. `absolute`
// tells whether the path starts with a separator, that is at the host's root.
void SplitCp932Path(std::string_view path, std::vector<std::string>& names, bool& absolute);

// The host path naming an SDK path. A leading separator starts at the host's root; anything else is
// relative to the working folder. Each name goes to UTF-8; a name that does not exist as written is
// looked up in its folder ignoring ASCII letter case, one name at a time, and is kept as written
// when nothing matches (so new files get the name they were given). False when a name has no UTF-8
// form or the path is empty.
bool ToHostPath(std::string_view cp932Path, std::string& hostPath);

// The SDK form (CP932) of a host path; false when it holds characters CP932 lacks.
bool ToSdkPath(std::string_view hostPath, std::string& cp932Path);

} // namespace platform
