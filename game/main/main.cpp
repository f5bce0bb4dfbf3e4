// The executable: the arguments as one command line, then the program's entry.

#include "game/app/program_entry.h"
#include "platform/host/encoding.h"
#include "platform/program.h"

#include <string>

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
