#pragma once

#include <juce_events/juce_events.h>

namespace tandrel::test
{
/** Runs the message loop for the given time. */
inline void pumpMessages (int milliseconds = 50)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

/** Runs the message loop until condition holds, for at most two seconds:
    windows, menus and asynchronous calls take longer on a loaded machine
    than any fixed pause would allow. */
template <typename Condition>
bool pumpUntil (Condition condition)
{
    for (int i = 0; i < 200 && ! condition(); ++i)
        pumpMessages (10);

    return condition();
}
} // namespace tandrel::test
