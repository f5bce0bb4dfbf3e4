// Opening a document or a web page with the desktop's own program for it.
#pragma once

#include "platform/win_types.h"

#include <string_view>

namespace platform {

// A CP932 path (relative to the working folder, as the program names files) or an address with "://";
// false when nothing could be started. The owner window is not used here.
bool ShellOpen(HWND owner, std::string_view target);

} // namespace platform
