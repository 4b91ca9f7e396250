// Setters that never wait: without contention they do exactly what the waiting
// setter does; with the setter lock taken elsewhere they park the change, which
// the next holder of the lock applies once, in order, before anything else.

#include <qorv_dsp/qorv_dsp.h>

#include "ArgumentCompare.h"

#include <gtest/gtest.h>

#include <vector>

using namespace juce::qorv_dsp;
using tandrel::test::expectSameArgument;

namespace
{
using Percent = PercentArg_v2<float>;

void prepare (Percent& arg, float start)
{
    arg.snapTo (start);
    arg.resetSmoothing (48000.0f);
    arg.reserveBuffer (512);
}

/** One audio block on the mix's fill; the values it delivered. */
std::vector<float> fillBlock (Percent& arg, int n)
{
    std::vector<float> values;
    if (arg.rampPerSample (n))
    {
        values.assign (arg.getBuffer(), arg.getBuffer() + arg.getLastIndex() + 1);
        arg.releaseBuffer();
    }
    return values;
}

struct Op
{
    enum Kind { target, reset } kind;
    float value = 0.0f; // target value, or sample rate for a reset
};

void apply (Percent& arg, const Op& op, bool waiting)
{
    if (op.kind == Op::reset)
        arg.resetSmoothing (op.value);
    else if (waiting)
        arg.setTarget (op.value);
    else
        arg.setTargetWithoutWaiting (op.value);
}
} // namespace

TEST (ParkedChange, SettersThatNeverWaitMatchTheWaitingSetterWithoutContention)
{
    Percent waiting, neverWaiting;
    prepare (waiting, 20.0f);
    prepare (neverWaiting, 20.0f);

    juce::Random random (7);
    for (int step = 0; step < 400; ++step)
    {
        const int choice = random.nextInt (10);
        if (choice < 4)
        {
            // Every fourth target repeats the current one, which is no change.
            const float v = choice == 0 ? waiting.getRamp().target : (float) random.nextInt (121);
            waiting.setTarget (v);
            neverWaiting.setTargetWithoutWaiting (v);
        }
        else if (choice == 4)
        {
            const float rate = random.nextBool() ? 48000.0f : 96000.0f;
            waiting.resetSmoothing (rate);
            neverWaiting.resetSmoothing (rate);
        }
        else
        {
            const int n = 1 + random.nextInt (512);
            ASSERT_EQ (fillBlock (neverWaiting, n), fillBlock (waiting, n)) << "step " << step;
        }
        EXPECT_FALSE (neverWaiting.hasParkedChange());
        expectSameArgument (neverWaiting, waiting);
    }
}

// Under contention the parked changes land when the lock is next taken, and
// the argument ends as if they had come then, in their order. Two targets in a
// row leave the later one; "target, reset, target" keeps the reset and the
// later target.
TEST (ParkedChange, ParkedChangesLandOnceInOrderAtTheNextHolder)
{
    using Ops = std::vector<Op>;
    const Op r { Op::reset, 48000.0f };
    const Op r96 { Op::reset, 96000.0f };
    struct Row
    {
        const char* what;
        Ops parked;
        Ops equivalent;
    };
    const Row rows[] = {
        { "one target", { { Op::target, 70.0f } }, { { Op::target, 70.0f } } },
        { "the last of two targets", { { Op::target, 70.0f }, { Op::target, 5.0f } }, { { Op::target, 5.0f } } },
        { "the current target again", { { Op::target, 40.0f } }, { { Op::target, 40.0f } } },
        { "target, then reset", { { Op::target, 70.0f }, r }, { { Op::target, 70.0f }, r } },
        { "reset, then target", { r, { Op::target, 70.0f } }, { r, { Op::target, 70.0f } } },
        { "reset at a new rate", { r96 }, { r96 } },
        { "reset, target, reset", { r, { Op::target, 70.0f }, r }, { { Op::target, 70.0f }, r } },
        { "target, reset, target", { { Op::target, 70.0f }, r, { Op::target, 5.0f } }, { r, { Op::target, 5.0f } } },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.what);
        for (int drain = 0; drain < 3; ++drain)
        {
            // A ramp from 10 towards 40 is running in both.
            Percent contended, reference;
            for (auto* arg : { &contended, &reference })
            {
                prepare (*arg, 10.0f);
                arg->setTarget (40.0f);
                fillBlock (*arg, 100);
            }

            ASSERT_TRUE (contended.getSetterLock().tryLock()); // another thread's setter, in effect
            for (const auto& op : row.parked)
                apply (contended, op, false);
            EXPECT_TRUE (contended.hasParkedChange());
            EXPECT_TRUE (fillBlock (contended, 64).empty()) << "a fill while the lock is held fails";
            contended.getSetterLock().unlock();

            for (const auto& op : row.equivalent)
                apply (reference, op, true);

            // Landed by the owner's per-block call, by the block's fill, or by
            // the next waiting setter (here with a later value of its own).
            if (drain == 0)
            {
                contended.applyParkedChange();
            }
            else if (drain == 1)
            {
                ASSERT_EQ (fillBlock (contended, 64), fillBlock (reference, 64));
            }
            else
            {
                contended.setTarget (90.0f);
                reference.setTarget (90.0f);
            }
            EXPECT_FALSE (contended.hasParkedChange());
            expectSameArgument (contended, reference);

            // Nothing is applied a second time: both ramps go on alike.
            contended.applyParkedChange();
            for (int block = 0; block < 4; ++block)
                ASSERT_EQ (fillBlock (contended, 256), fillBlock (reference, 256));
            expectSameArgument (contended, reference);
        }
    }
}

TEST (ParkedChange, TextShowsTheParkedTarget)
{
    Percent arg;
    arg.name = "Mix";
    arg.unit = "%";
    prepare (arg, 10.0f);

    ASSERT_TRUE (arg.getSetterLock().tryLock());
    arg.setTargetWithoutWaiting (55.0f);
    EXPECT_EQ (arg.toString (1), "Mix: 55.0%") << "the label shows the value about to land";
    arg.getSetterLock().unlock();

    arg.applyParkedChange();
    EXPECT_EQ (arg.toString (1), "Mix: 55.0%");
    EXPECT_EQ (arg.getRamp().target, 55.0f);
}
