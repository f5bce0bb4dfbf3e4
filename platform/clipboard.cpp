#include "platform/clipboard.h"

#include "platform/backend_chooser.h"
#include "platform/host/encoding.h"

#include <string>

namespace platform {

bool SetClipboardText(std::string_view cp932)
{
    std::string utf8;
    if (!Cp932ToUtf8(cp932, utf8)) return false;
    return GetBackend().SetClipboardText(utf8);
}

} // namespace platform
