#pragma once

#include "StandardStreams.h"

#include <juce_core/juce_core.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tandrel::test
{
/** A child process with pipes on its standard input, output and error, for
    tools that stream: the test writes the input while threads drain both
    outputs, and wait() reports how the child ended and its peak memory. */
class PipedProcess
{
public:
    struct Result
    {
        int exitCode = -1;   // -1 when ended by a signal
        int signal = 0;      // the signal that ended it, if any
        long peakRssKb = 0;  // the child's largest resident set
        std::string errors;  // everything written to standard error
    };

    /** Starts arguments[0] with the rest as its arguments. onOutput gets every
        piece of standard output as it arrives (nothing by default). */
    explicit PipedProcess (const juce::StringArray& arguments, std::function<void (const char*, size_t)> onOutput = {})
    {
        int in[2], out[2], err[2];
        signal (SIGPIPE, SIG_IGN); // a child that stops reading must fail our write, not end the test
        if (pipe2 (in, O_CLOEXEC) != 0 || pipe2 (out, O_CLOEXEC) != 0 || pipe2 (err, O_CLOEXEC) != 0)
            return;

        std::vector<std::string> storage;
        for (const auto& a : arguments)
            storage.push_back (a.toStdString());
        std::vector<char*> argv;
        for (auto& s : storage)
            argv.push_back (s.data());
        argv.push_back (nullptr);

        pid = fork();
        if (pid == 0)
        {
            dup2 (in[0], STDIN_FILENO);
            dup2 (out[1], STDOUT_FILENO);
            dup2 (err[1], STDERR_FILENO);
            for (int fd : { in[0], in[1], out[0], out[1], err[0], err[1] })
                close (fd);
            // Start with the default signal handling whatever the test process has.
            sigset_t none;
            sigemptyset (&none);
            sigprocmask (SIG_SETMASK, &none, nullptr);
            for (int s : { SIGPIPE, SIGINT, SIGTERM, SIGHUP })
                signal (s, SIG_DFL);
            execv (argv[0], argv.data());
            _exit (127);
        }

        close (in[0]);
        close (out[1]);
        close (err[1]);
        inputFd = in[1];
        outputReader = std::thread ([fd = out[0], onOutput]
                                    {
                                        drain (fd, [&] (const char* data, size_t n)
                                               {
                                                   if (onOutput)
                                                       onOutput (data, n);
                                               });
                                    });
        errorReader = std::thread ([this, fd = err[0]] { drain (fd, [this] (const char* data, size_t n) { errors.append (data, n); }); });
    }

    ~PipedProcess()
    {
        if (pid > 0 && ! waited)
        {
            kill (pid, SIGKILL);
            wait();
        }
    }

    bool started() const noexcept { return pid > 0; }
    pid_t getPid() const noexcept { return pid; }

    /** Writes all of data to the child's standard input; false once the child stopped reading. */
    bool write (const void* data, size_t bytes) { return inputFd >= 0 && writeAll (inputFd, data, bytes); }

    void closeInput()
    {
        if (inputFd >= 0)
            close (inputFd);
        inputFd = -1;
    }

    /** Ends the input (the child sees the end of its stream), then waits for the child. */
    Result wait()
    {
        closeInput();
        return waitForExit();
    }

    /** Waits for a child that ends by itself (a signal sent to it) with its
        input still open: closing it first would let the child finish normally
        before it handles the signal. */
    Result waitWithInputOpen()
    {
        const auto result = waitForExit();
        closeInput();
        return result;
    }

private:
    Result waitForExit()
    {
        Result result;
        int status = 0;
        rusage usage {};
        while (wait4 (pid, &status, 0, &usage) < 0 && errno == EINTR)
        {
        }
        waited = true;
        outputReader.join();
        errorReader.join();
        if (WIFEXITED (status))
            result.exitCode = WEXITSTATUS (status);
        if (WIFSIGNALED (status))
            result.signal = WTERMSIG (status);
        result.peakRssKb = usage.ru_maxrss;
        result.errors = errors;
        return result;
    }

    static void drain (int fd, const std::function<void (const char*, size_t)>& sink)
    {
        char buffer[1 << 16];
        for (;;)
        {
            const auto n = ::read (fd, buffer, sizeof (buffer));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            sink (buffer, (size_t) n);
        }
        close (fd);
    }

    pid_t pid = -1;
    int inputFd = -1;
    bool waited = false;
    std::thread outputReader, errorReader;
    std::string errors;
};
} // namespace tandrel::test
