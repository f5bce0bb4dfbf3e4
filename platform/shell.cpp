#include "platform/shell.h"

#include "platform/backend_chooser.h"
#include "platform/host/encoding.h"
#include "platform/host/path.h"

#include <string>

namespace platform {

bool ShellOpen(HWND, std::string_view target)
{
    std::string host;
    if (target.find("://") != std::string_view::npos) {
        if (!Cp932ToUtf8(target, host)) return false;
    } else if (!ToHostPath(target, host)) {
        return false;
    }
    return GetBackend().OpenDocument(host);
}

} // namespace platform
