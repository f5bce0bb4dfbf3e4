// The executable: the SDK's error reports as lines on the standard error stream, the arguments as one
// command line, then the program's entry.

#include "game/app/program_entry.h"
#include "platform/host/encoding.h"
#include "platform/program.h"
#include "sdk/auxiliary/text_output_stream.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

namespace Auxiliary = zelvoranGameSDK3rd::Auxiliary;

// Each report one line, in UTF-8, so that a person running the game sees what could not be loaded.
class CStandardErrorDevice : public Auxiliary::ITextOutputStream
{
public:
    void OutV(const char* format, va_list args) override
    {
        char buffer[512];
        std::vsnprintf(buffer, sizeof buffer, format, args);
        std::string utf8;
        if (!platform::Cp932ToUtf8(buffer, utf8)) utf8 = buffer;
        std::fprintf(stderr, "%s\n", utf8.c_str());
    }
};

} // namespace

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
    Auxiliary::GetErrorStream().SetDevice(
        zelvoranGameSDK3rd::ZTL::smart_ptr<Auxiliary::ITextOutputStream>(new CStandardErrorDevice));
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
