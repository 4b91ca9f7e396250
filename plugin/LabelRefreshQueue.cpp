#include "LabelRefreshQueue.h"

LabelRefreshQueue::LabelRefreshQueue (Refresh refreshToCall) : refresh (std::move (refreshToCall))
{
    dropPending();
}

LabelRefreshQueue::~LabelRefreshQueue() { stopTimer(); }

int LabelRefreshQueue::slotOf (ParsedParameterId parameter) noexcept
{
    const auto kind = (int) parameter.kind;
    if (kind < 0 || kind >= (int) ParamKind::none)
        return -1;
    const auto stage = juce::jlimit (0, numStages, parameter.stage); // -1 (global) -> 0
    return kind * (numStages + 1) + stage;
}

void LabelRefreshQueue::request (ParsedParameterId parameter) noexcept
{
    if (const auto slot = slotOf (parameter); slot >= 0)
        pending[(size_t) slot].store (true, std::memory_order_release);
}

void LabelRefreshQueue::start()
{
    dropPending();
    startTimer (intervalMs);
}

void LabelRefreshQueue::stop()
{
    stopTimer();
    dropPending();
}

void LabelRefreshQueue::dropPending() noexcept
{
    for (auto& flag : pending)
        flag.store (false, std::memory_order_relaxed);
}

void LabelRefreshQueue::flush()
{
    for (int kind = 0; kind < (int) ParamKind::none; ++kind)
        for (int stage = 0; stage <= numStages; ++stage)
            if (pending[(size_t) (kind * (numStages + 1) + stage)].exchange (false, std::memory_order_acquire))
                refresh ((ParamKind) kind, stage == 0 ? -1 : stage);
}
