#pragma once
// A full disk for a while: the process's file-size limit stands in for it, so that a write beyond the
// first bytes fails (the signal that would end the process is ignored meanwhile).

#include <csignal>
#include <sys/resource.h>

template <class Call> auto WithFullDisk(rlim_t bytes, Call call)
{
    struct rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const auto result = call();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    return result;
}
