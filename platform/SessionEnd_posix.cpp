#include "platform/SessionEnd.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

int ends[2] = {-1, -1};

void Caught(int signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // Async-signal-safe; a full pipe already holds a signal to end by.
    (void)::write(ends[1], &number, 1);
    errno = saved;
}

} // namespace

std::error_code WatchSessionEnd(std::intptr_t& readable) {
    if (ends[0] < 0 && ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return {errno, std::generic_category()};
    struct sigaction action {};
    action.sa_handler = Caught;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        if (::sigaction(signal, &action, nullptr) != 0)
            return {errno, std::generic_category()};
    // A display that went away would otherwise end the process at its next write, with no word
    // and no clean-up; the write fails instead and the program ends in its own way.
    std::signal(SIGPIPE, SIG_IGN);
    readable = ends[0];
    return {};
}

void EndAsAsked() {
    unsigned char number = SIGTERM;
    if (ends[0] >= 0)
        (void)::read(ends[0], &number, 1);
    // By the signal itself, so that whoever sent it sees it worked.
    std::signal(number, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, number);
    ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(number);
    ::_exit(128 + number);
}

} // namespace platform
