#pragma once

// Writes that may meet a file-size limit or a reader gone, without the signals that would
// end the program: shared by the recorder's output and the store of kept games. POSIX only.

#include <cerrno>
#include <csignal>
#include <ctime>
#include <pthread.h>

namespace platform::replay {

// Runs `call` with SIGPIPE and SIGXFSZ held back from this thread and drops those it
// raised: a reader gone or the file-size limit is then an error (EPIPE, EFBIG) to report,
// not the end of the game.
template <class Call>
auto withoutWriteSignals(Call call)
{
    sigset_t held, before;
    sigemptyset(&held);
    sigaddset(&held, SIGPIPE);
    sigaddset(&held, SIGXFSZ);
    pthread_sigmask(SIG_BLOCK, &held, &before);
    const auto result = call();
    const int error = errno;
    sigset_t pending;
    sigpending(&pending);
    for (const int signal : {SIGPIPE, SIGXFSZ}) {
        if (sigismember(&pending, signal) && !sigismember(&before, signal)) {
            sigset_t one;
            sigemptyset(&one);
            sigaddset(&one, signal);
            const timespec now{};
            sigtimedwait(&one, nullptr, &now);
        }
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    errno = error;
    return result;
}

} // namespace platform::replay
