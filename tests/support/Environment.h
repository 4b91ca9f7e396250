#pragma once

#include <juce_core/juce_core.h>

#include <cstdlib>

namespace tandrel::test
{
/** Sets a variable of this process's environment, where both the C library
    (std::getenv) and the framework (juce::SystemStats) read it, and where
    processes started later inherit it. Windows keeps it in UTF-16, so paths
    with any characters survive. */
inline void setEnvironmentVariable (const juce::String& name, const juce::String& value)
{
#if JUCE_WINDOWS
    _wputenv_s (name.toWideCharPointer(), value.toWideCharPointer());
#else
    setenv (name.toRawUTF8(), value.toRawUTF8(), 1);
#endif
}
} // namespace tandrel::test
