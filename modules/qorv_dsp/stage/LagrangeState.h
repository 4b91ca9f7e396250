#pragma once

namespace juce::qorv_dsp
{

/** A 4-point, third-order Lagrange interpolator over a sliding window
    x(-1), x(0), x(+1), x(+2), giving values between x(0) and x(+1) by the
    cubic of SegmentFormulas.h. The coefficients depend only on the window,
    so they are computed when a value is evaluated rather than on every
    advance: at short segments the window moves many times between
    evaluations. */
struct LagrangeState
{
    void load (float p, float q, float r, float s) noexcept
    {
        xm1 = p; x0 = q; x1 = r; x2 = s;
    }

    /** Moves the window one sample on; v becomes x(+2). */
    void advance (float v) noexcept
    {
        xm1 = x0; x0 = x1; x1 = x2; x2 = v;
    }

    using Coefficients = Cubic<PlainLane>;

    Coefficients coefficients() const noexcept { return Coefficients::of (xm1, x0, x1, x2); }

    float evaluate (float f) const noexcept { return coefficients().evaluate (f); }

    float xm1 = 0.0f, x0 = 0.0f, x1 = 0.0f, x2 = 0.0f;
};

} // namespace juce::qorv_dsp
