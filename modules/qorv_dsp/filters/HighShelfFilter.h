#pragma once

namespace juce::qorv_dsp
{

/** The cookbook high shelf, in single precision:
        A = sqrt(10^(g/20)), w0 = 2 pi f / fs, beta = sin w0 * sqrt(A) / Q
    and b0..a2 divided by a0 = (A+1) - (A-1) cos w0 + beta.

    The formula needs the corner below Nyquist: at or above it sin w0 turns
    negative and the poles leave the unit circle, and within a hair of it the
    single-precision w0 leaves sin w0 to rounding (unstable up to 0.49996 fs).
    A corner above 0.4999 fs is therefore placed at 0.45 fs, where the shelf
    still cuts only the top of the band and its poles stay well inside the
    circle; a corner at or below 0.4999 fs is used as it is. */
template <typename Sample>
class HighShelfFilter : public IIRFilter_OrderTwo<Sample>
{
public:
    HighShelfFilter()
    {
        HighShelfFilter::computeCoefficients (this->cachedFrequency, this->cachedQ, this->cachedGain);
    }

    void computeCoefficients (Sample requestedCorner, Sample quality, Sample gainDb) override
    {
        const Sample f = usableCorner (requestedCorner, this->sampleRate);
        const Sample V = std::pow (Sample (10), gainDb * (Sample) 0.05f);
        const Sample A = std::sqrt (V);

        const Sample w0 = f * (Sample) 6.2831855f / this->sampleRate;
        const Sample sinW0 = std::sin (w0);
        const Sample cosW0 = std::cos (w0);
        const Sample beta = sinW0 * std::sqrt (A) / quality;

        const Sample ap1 = A + Sample (1);
        const Sample am1 = A - Sample (1);

        const Sample a0 = (ap1 - am1 * cosW0) + beta;
        this->b0 = A * ((ap1 + am1 * cosW0) + beta) / a0;
        this->b1 = Sample (-2) * A * (am1 + ap1 * cosW0) / a0;
        this->b2 = A * ((ap1 + am1 * cosW0) - beta) / a0;
        this->a1 = Sample (2) * (am1 - ap1 * cosW0) / a0;
        this->a2 = ((ap1 - am1 * cosW0) - beta) / a0;
    }

    /** The corner the formula is evaluated at for the sample rate: the
        requested one while it lies at or below 0.4999 fs, else 0.45 fs. */
    static Sample usableCorner (Sample requestedCorner, Sample rate) noexcept
    {
        return requestedCorner <= rate * (Sample) 0.4999f ? requestedCorner : rate * (Sample) 0.45f;
    }
};

} // namespace juce::qorv_dsp
