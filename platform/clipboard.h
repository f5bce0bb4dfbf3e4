// The desktop's clipboard, for handing a text to other programs.
#pragma once

#include <string_view>

namespace platform {

// Puts a CP932 text on the clipboard in place of what it held. False when the text is not CP932 or the
// clipboard cannot be reached; it is then left as it was.
bool SetClipboardText(std::string_view cp932);

} // namespace platform
