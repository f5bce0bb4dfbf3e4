#pragma once
// A virtual X server of a test's own on a free display number, stopped when the object goes; DISPLAY
// points at it while it runs.

#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace test_support {

class VirtualDisplay
{
public:
    VirtualDisplay() = default;
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // False, with the reason, when no X server can be started here.
    bool Start(std::string& why)
    {
        for (int n = 90; n < 130 && m_pid <= 0; ++n) {
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
            const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
            struct stat st;
            if (stat(socket.c_str(), &st) == 0 || stat(lock.c_str(), &st) == 0) continue;
            const std::string display = ":" + std::to_string(n);
            char arg0[] = "Xvfb", screen[] = "-screen", zero[] = "0", geometry[] = "1024x768x24",
                 nolisten[] = "-nolisten", tcp[] = "tcp";
            std::string displayArg = display;
            char* argv[] = {arg0, displayArg.data(), screen, zero, geometry, nolisten, tcp, nullptr};
            pid_t pid = 0;
            if (posix_spawnp(&pid, "Xvfb", nullptr, nullptr, argv, environ) != 0) {
                why = "Xvfb is not installed";
                return false;
            }
            for (int i = 0; i < 100; ++i) { // up to 5 s for the socket
                if (stat(socket.c_str(), &st) == 0) {
                    m_pid = pid;
                    setenv("DISPLAY", display.c_str(), 1);
                    return true;
                }
                int status;
                if (waitpid(pid, &status, WNOHANG) == pid) break; // it gave up (display taken meanwhile)
                usleep(50000);
            }
            if (m_pid <= 0) {
                kill(pid, SIGTERM);
                waitpid(pid, nullptr, 0);
            }
        }
        why = "no X server could be started";
        return false;
    }

    ~VirtualDisplay()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }

private:
    pid_t m_pid = -1;
};

} // namespace test_support
