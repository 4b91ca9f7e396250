#if ! defined(_WIN32)

 #include "CallStack.h"

 #include <cxxabi.h>
 #include <execinfo.h>

 #include <cstdio>
 #include <cstdlib>
 #include <memory>

namespace tandrel::test
{
namespace
{
// "binary(+0x1c2f) [0x...]": a hidden symbol, so ask addr2line for its name.
// With debug information the address may lie in functions inlined into the
// frame's own: all are named, innermost first ("std::mutex::lock() in f()").
std::string lookUpHiddenFrame (const std::string& binary, const std::string& offset)
{
    const auto command = "addr2line -f -C -i -e '" + binary + "' " + offset + " 2>/dev/null";
    std::string name;
    if (auto* pipe = popen (command.c_str(), "r"))
    {
        char line[4096];
        for (bool isFunction = true; fgets (line, sizeof (line), pipe) != nullptr; isFunction = ! isFunction)
        {
            std::string text (line);
            while (! text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            if (isFunction && ! text.empty() && text != "??")
                name += (name.empty() ? "" : " in ") + text; // then its file:line
        }
        pclose (pipe);
    }
    return name;
}

// "binary(_ZN5mangled+0x1c) [0x...]" -> "binary(readable name+0x1c) [0x...]"
std::string demangleFrame (const char* frame)
{
    std::string text (frame);
    const auto open = text.find ('(');
    const auto plus = text.find ('+', open);
    if (open == std::string::npos || plus == std::string::npos)
        return text;

    if (plus == open + 1)
    {
        const auto close = text.find (')', plus);
        const auto name = lookUpHiddenFrame (text.substr (0, open), text.substr (plus + 1, close - plus - 1));
        return name.empty() ? text : name + "  [" + text + "]";
    }

    int status = 0;
    const auto mangled = text.substr (open + 1, plus - open - 1);
    std::unique_ptr<char, void (*) (void*)> readable (abi::__cxa_demangle (mangled.c_str(), nullptr, nullptr, &status), std::free);
    if (status != 0 || readable == nullptr)
        return text;
    return text.substr (0, open + 1) + readable.get() + text.substr (plus);
}
} // namespace

int captureCallStack (void** frames, int maxFrames) noexcept { return backtrace (frames, maxFrames); }

std::string describeCallStack (void* const* frames, int depth)
{
    std::string text;
    std::unique_ptr<char*, void (*) (void*)> symbols (backtrace_symbols (frames, depth), std::free);
    for (int i = 0; symbols != nullptr && i < depth; ++i)
        text += "\n    " + demangleFrame (symbols.get()[i]);
    return text;
}
} // namespace tandrel::test

#endif
