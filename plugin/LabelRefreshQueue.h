#pragma once

#include "ParameterLayout.h"

#include <array>
#include <atomic>
#include <functional>

/** Value-label refreshes asked for off the message thread, mostly by host
    automation on the audio thread. Posting a message there would allocate, so
    the asking thread only raises the label's atomic flag; a timer on the
    message thread, running while an editor is registered, hands each raised
    flag to the refresh function. Repeated changes of one label between two
    ticks cost one refresh. */
class LabelRefreshQueue : private juce::Timer
{
public:
    using Refresh = std::function<void (ParamKind kind, int stage)>;

    explicit LabelRefreshQueue (Refresh refreshToCall);
    ~LabelRefreshQueue() override;

    /** Any thread; lock- and allocation-free. */
    void request (ParsedParameterId parameter) noexcept;

    /** Message thread. start() drops earlier requests (the new editor gets every
        label at once anyway); stop() drops the pending ones. */
    void start();
    void stop();

    /** Message thread: refreshes every raised label now. */
    void flush();

    static constexpr int intervalMs = 30;

private:
    void timerCallback() override { flush(); }
    void dropPending() noexcept;

    // Mode is global (stage -1); every other kind has one slot per stage 1..3,
    // Tone using its stage number as given.
    static constexpr int numSlots = (int) ParamKind::none * (numStages + 1);
    static int slotOf (ParsedParameterId parameter) noexcept;

    Refresh refresh;
    std::array<std::atomic<bool>, (size_t) numSlots> pending {};

    JUCE_DECLARE_NON_COPYABLE (LabelRefreshQueue)
};
