#pragma once

namespace juce::qorv_gui
{

/** True on the message thread. JUCE's own check locks a mutex; this one only
    compares thread ids, so host automation on the audio thread may ask too.
    The message thread's id is set when the message manager is made, before any
    audio or host thread can call here. */
inline bool isMessageThread() noexcept
{
    const auto* messageManager = juce::MessageManager::getInstanceWithoutCreating();
    return messageManager != nullptr && messageManager->getCurrentMessageThread() == juce::Thread::getCurrentThreadId();
}

} // namespace juce::qorv_gui
