#if ! defined(_WIN32)

 #include "Interrupts.h"

 #include <csignal>
 #include <initializer_list>
 #include <pthread.h>
 #include <thread>
 #include <unistd.h>

namespace
{
// The interrupts this process answers: a signal it was started with ignored
// (nohup, a background job) stays ignored.
sigset_t interruptSignals()
{
    static const sigset_t set = []
    {
        sigset_t handled;
        sigemptyset (&handled);
        for (int s : { SIGINT, SIGTERM, SIGHUP })
        {
            struct sigaction current {};
            if (sigaction (s, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
                sigaddset (&handled, s);
        }
        return handled;
    }();
    return set;
}

void waitForInterrupt (void (*cleanUp)())
{
    const auto set = interruptSignals();
    int signalNumber = 0;
    while (sigwait (&set, &signalNumber) != 0)
    {
    }

    cleanUp();

    std::signal (signalNumber, SIG_DFL);
    sigset_t one;
    sigemptyset (&one);
    sigaddset (&one, signalNumber);
    pthread_sigmask (SIG_UNBLOCK, &one, nullptr);
    ::raise (signalNumber);
    ::_exit (128 + signalNumber);
}
} // namespace

void Interrupts::watch (void (*cleanUp)())
{
    const auto set = interruptSignals();
    if (sigisemptyset (&set) != 0)
        return;
    pthread_sigmask (SIG_BLOCK, &set, nullptr);
    std::thread (waitForInterrupt, cleanUp).detach();
}

#endif
