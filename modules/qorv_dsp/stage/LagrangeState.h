#pragma once

namespace juce::qorv_dsp
{

/** A 4-point, third-order Lagrange interpolator over a sliding window
    x(-1), x(0), x(+1), x(+2), giving values between x(0) and x(+1). With
    p, q, r, s the window:
        c0 = q
        c1 = ((r - p/3) - q/2) - s/6
        c2 = (r + p)/2 - q
        c3 = (q - r)/2 + (s - p)/6
        value(f) = ((c3 f + c2) f + c1) f + c0,  0 <= f < 1
    The coefficients depend only on the window, so they are computed when a
    value is evaluated rather than on every advance: at short segments the
    window moves many times between evaluations. */
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

    struct Coefficients
    {
        float c0, c1, c2, c3;

        float evaluate (float f) const noexcept { return ((c3 * f + c2) * f + c1) * f + c0; }
    };

    Coefficients coefficients() const noexcept
    {
        return { x0,
                 ((x1 - xm1 * 0.33333334f) - x0 * 0.5f) - x2 * 0.16666667f,
                 (x1 + xm1) * 0.5f - x0,
                 (x0 - x1) * 0.5f + (x2 - xm1) * 0.16666667f };
    }

    float evaluate (float f) const noexcept { return coefficients().evaluate (f); }

    float xm1 = 0.0f, x0 = 0.0f, x1 = 0.0f, x2 = 0.0f;
};

} // namespace juce::qorv_dsp
