#include "RealtimeGuard.h"

#include "CallStack.h"

#include <juce_audio_processors/juce_audio_processors.h>

#if defined(__linux__)
 #include <dlfcn.h>
 #include <unistd.h>

 #include <cstdint>
 #include <cstdio>
 #include <map>
 #include <mutex>
 #include <sstream>
 #include <vector>
#endif

namespace tandrel::test
{
namespace
{
#if defined(__linux__)
//==============================================================================
// Whose blocking call is it? Each frame of the test program is named by
// addr2line (with the functions inlined into it); frames in shared libraries
// belong to the system.

/** "void juce::ListenerList<X>::call<F>(F&&)" -> "juce::ListenerList::call" */
std::string qualifiedName (std::string name)
{
    for (std::string::size_type at; (at = name.find ("(anonymous namespace)")) != std::string::npos;)
        name.replace (at, 21, "anonymous");

    std::string plain;
    int depth = 0;
    for (const char c : name)
    {
        if (c == '<')
            ++depth;
        else if (c == '>' && depth > 0)
            --depth;
        else if (depth == 0)
            plain += c;
    }
    plain = plain.substr (0, plain.find ('('));
    const auto space = plain.rfind (' ');
    return space == std::string::npos ? plain : plain.substr (space + 1);
}

enum class FrameOwner { guard, system, framework, host, ours };

FrameOwner ownerOf (const std::string& qualified)
{
    static const char* const trapped[] = { "nanosleep", "clock_nanosleep", "usleep", "sleep", "sched_yield",
                                           "pthread_mutex_lock", "pthread_mutex_timedlock", "pthread_rwlock_rdlock",
                                           "pthread_rwlock_wrlock", "pthread_spin_lock", "pthread_cond_wait",
                                           "pthread_cond_timedwait", "pthread_join", "sem_wait", "sem_timedwait", "syscall" };
    auto startsWith = [&] (const char* prefix) { return qualified.rfind (prefix, 0) == 0; };

    if (startsWith ("tandrel::test::detail::") || qualified == "tandrel::test::captureCallStack")
        return FrameOwner::guard;
    for (const auto* name : trapped)
        if (qualified == name)
            return FrameOwner::guard;
    if (qualified == "tandrel::test::deliverHostAutomation")
        return FrameOwner::host;
    if (startsWith ("juce::") && ! startsWith ("juce::qorv_"))
        return FrameOwner::framework;
    if (startsWith ("std::") || startsWith ("__") || startsWith ("_"))
        return FrameOwner::system;
    return FrameOwner::ours; // the plug-in, its modules, the test itself, or a frame without a name
}

struct FrameNames
{
    bool inProgram = false;
    std::vector<std::string> names; // innermost inlined function first
};

class FrameNamer
{
public:
    /** Names every frame not named yet, with one addr2line run per call. */
    void name (const std::vector<void*>& frames)
    {
        std::vector<std::pair<void*, std::uintptr_t>> unnamed;
        for (auto* frame : frames)
        {
            if (known.count (frame) != 0)
                continue;
            Dl_info info {};
            auto& entry = known[frame];
            if (dladdr (frame, &info) == 0 || info.dli_fbase != programBase())
                continue; // a shared library: the system's
            entry.inProgram = true;
            // Return addresses: look up the call itself.
            unnamed.push_back ({ frame, (std::uintptr_t) frame - (std::uintptr_t) info.dli_fbase - 1 });
        }
        if (unnamed.empty())
            return;

        std::ostringstream command;
        command << "addr2line -f -C -i -a -e /proc/" << getpid() << "/exe";
        for (const auto& entry : unnamed)
            command << " 0x" << std::hex << entry.second;
        command << " 2>/dev/null";

        std::map<std::uintptr_t, void*> byOffset;
        for (const auto& entry : unnamed)
            byOffset[entry.second] = entry.first;

        if (auto* pipe = popen (command.str().c_str(), "r"))
        {
            char line[4096];
            FrameNames* current = nullptr;
            bool expectName = false;
            while (fgets (line, sizeof (line), pipe) != nullptr)
            {
                std::string text (line);
                while (! text.empty() && (text.back() == '\n' || text.back() == '\r'))
                    text.pop_back();
                if (text.rfind ("0x", 0) == 0)
                {
                    const auto offset = (std::uintptr_t) std::stoull (text, nullptr, 16);
                    const auto found = byOffset.find (offset);
                    current = found != byOffset.end() ? &known[found->second] : nullptr;
                    expectName = true;
                    continue;
                }
                if (current != nullptr && expectName && text != "??")
                    current->names.push_back (text);
                expectName = ! expectName; // function, then file:line
            }
            pclose (pipe);
        }
    }

    const FrameNames& operator[] (void* frame) { return known[frame]; }

private:
    static void* programBase()
    {
        Dl_info info {};
        dladdr (reinterpret_cast<void*> (&tandrel::test::deliverHostAutomation), &info);
        return info.dli_fbase;
    }

    std::map<void*, FrameNames> known;
};

std::mutex namingLock;
FrameNamer& frameNamer()
{
    static FrameNamer namer;
    return namer;
}

/** True when the call was made by the framework on its way from the host's
    parameter change to the plug-in, with no frame of ours in between. */
bool isFrameworkDelivery (const tandrel::test::BlockingCall& call)
{
    const std::vector<void*> frames (call.frames, call.frames + call.depth);
    const std::lock_guard<std::mutex> hold (namingLock);
    auto& namer = frameNamer();
    namer.name (frames);

    for (auto* frame : frames)
    {
        const auto& names = namer[frame];
        if (! names.inProgram)
            continue;
        if (names.names.empty())
            return false;

        bool guardOnly = true, ours = false;
        for (const auto& name : names.names)
        {
            const auto owner = ownerOf (qualifiedName (name));
            guardOnly = guardOnly && owner == FrameOwner::guard;
            ours = ours || owner == FrameOwner::ours;
        }
        if (guardOnly)
            continue;
        if (ownerOf (qualifiedName (names.names.back())) == FrameOwner::host)
            return true;
        if (ours)
            return false;
    }
    return false;
}
#else
// Blocking calls are only trapped on Linux (BlockingCallTrap.cpp): none is recorded elsewhere.
bool isFrameworkDelivery (const tandrel::test::BlockingCall&) { return false; }
#endif
} // namespace

RealtimeGuard::RealtimeGuard() noexcept : wasForbidden (detail::isHeapForbidden())
{
    if (! wasForbidden)
    {
        bool overflowed = false;
        detail::takeBlockingCalls (nullptr, 0, overflowed); // left by an earlier section
    }
    detail::setHeapForbidden (true);
}

RealtimeGuard::~RealtimeGuard() { detail::setHeapForbidden (wasForbidden); }

std::string RealtimeGuard::finish()
{
    detail::setHeapForbidden (false);
    const auto offence = detail::takeHeapOffence();
    static thread_local BlockingCall calls[64];
    bool overflowed = false;
    const int callCount = detail::takeBlockingCalls (calls, 64, overflowed);
    detail::setHeapForbidden (wasForbidden);

    if (offence.kind != HeapOffence::Kind::none)
    {
        // The first frames are the replaced operator and its recorder (fewer when inlined).
        return (offence.kind == HeapOffence::Kind::allocation
                    ? "allocation of " + std::to_string (offence.size) + " bytes on the audio thread"
                    : std::string ("deallocation on the audio thread"))
               + describeCallStack (offence.frames, offence.depth);
    }

    for (int i = 0; i < callCount; ++i)
        if (! isFrameworkDelivery (calls[i]))
            return std::string ("blocking call ") + calls[i].function + " on the audio thread"
                   + describeCallStack (calls[i].frames, calls[i].depth);

    if (overflowed)
        return "more distinct blocking call stacks on the audio thread than the guard can keep";
    return {};
}

__attribute__ ((noinline)) void deliverHostAutomation (juce::AudioProcessorParameter& parameter, float normalisedValue)
{
    parameter.setValue (normalisedValue);
    parameter.sendValueChangedMessageToListeners (normalisedValue);
    asm volatile ("" ::: "memory"); // keeps this frame on the stack: no tail call
}
} // namespace tandrel::test
