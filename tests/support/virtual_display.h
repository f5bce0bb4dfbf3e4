#pragma once
// A virtual X server of a test's own, stopped when the object goes; DISPLAY points at it while it runs.
// The server picks its own free display number and reports it through a pipe, so test programs that
// start servers at the same time never share one.

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
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
        int fds[2];
        if (pipe(fds) != 0) {
            why = "no pipe for the X server's display number";
            return false;
        }
        fcntl(fds[0], F_SETFD, FD_CLOEXEC); // only the write end goes to the server
        std::string fd = std::to_string(fds[1]);
        char arg0[] = "Xvfb", displayfd[] = "-displayfd", screen[] = "-screen", zero[] = "0",
             geometry[] = "1024x768x24", nolisten[] = "-nolisten", tcp[] = "tcp";
        char* argv[] = {arg0, displayfd, fd.data(), screen, zero, geometry, nolisten, tcp, nullptr};
        pid_t pid = 0;
        const int spawned = posix_spawnp(&pid, "Xvfb", nullptr, nullptr, argv, environ);
        close(fds[1]);
        if (spawned != 0) {
            close(fds[0]);
            why = "Xvfb is not installed";
            return false;
        }
        // The server writes its display number and a line feed once it accepts connections.
        std::string number;
        pollfd wait{fds[0], POLLIN, 0};
        while (poll(&wait, 1, 10000) > 0) {
            char c;
            if (read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        close(fds[0]);
        if (number.empty()) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
            why = "no X server could be started";
            return false;
        }
        m_pid = pid;
        setenv("DISPLAY", (":" + number).c_str(), 1);
        return true;
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
