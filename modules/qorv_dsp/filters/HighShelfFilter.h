#pragma once

namespace juce::qorv_dsp
{

/** The cookbook high shelf, in single precision:
        A = sqrt(10^(g/20)), w0 = 2 pi f / fs, beta = sin w0 * sqrt(A) / Q
    and b0..a2 divided by a0 = (A+1) - (A-1) cos w0 + beta. */
template <typename Sample>
class HighShelfFilter : public IIRFilter_OrderTwo<Sample>
{
public:
    HighShelfFilter()
    {
        HighShelfFilter::computeCoefficients (this->cachedFrequency, this->cachedQ, this->cachedGain);
    }

    void computeCoefficients (Sample f, Sample quality, Sample gainDb) override
    {
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
};

} // namespace juce::qorv_dsp
