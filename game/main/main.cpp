// The executable: the arguments as one command line, then the program's entry. The SDK's error reports
// keep the null device their stream is made with, so a run prints nothing of its own; a test or a
// developer who wants them installs a device of their own on the stream.

#include "game/app/program_entry.h"
#include "platform/host/encoding.h"
#include "platform/program.h"

#include <string>

// The desktop libraries under the real back end (the message bus, the X client, the media library's own
// state) keep allocations for the whole process; a sanitised build's leak check at exit is about ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\nleak:libX11.so\nleak:libSDL2\nleak:libxcb\n";
}
extern "C" const char* __lsan_default_options()
{
    return "print_suppressions=0";
}

int main(int argc, char** argv)
{
    platform::UseInteractiveBackend();
    std::string utf8;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) utf8 += ' ';
        utf8 += argv[i];
    }
    std::string commandLine;
    if (!platform::Utf8ToCp932(utf8, commandLine)) commandLine = utf8;
    constexpr std::int32_t kShowNormal = 1;
    return WinMain(zelvoranGameSDK3rd::AppFrame::GetProgramInstance(), nullptr, commandLine.data(),
                   kShowNormal);
}
