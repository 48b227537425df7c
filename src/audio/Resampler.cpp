#include "audio/Resampler.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <numeric>

namespace Resampler
{

namespace
{

constexpr int HalfTaps = 16;
constexpr int Phases = 512;
// Inputs up to this long convert through a buffer kept per thread.
constexpr std::size_t KeptSamples = 1 << 20;

// Filter taps for one cut-off, tabulated at Phases fractional positions.
struct Kernel {
    double cutoff;
    std::vector<float> taps; // (Phases + 1) rows of 2*HalfTaps

    explicit Kernel(double c)
        : cutoff(c)
        , taps(size_t(Phases + 1) * 2 * HalfTaps)
    {
        for (int p = 0; p <= Phases; ++p) {
            const double frac = double(p) / Phases;
            for (int k = 0; k < 2 * HalfTaps; ++k) {
                // Distance from the output point to input sample k - HalfTaps + 1.
                const double x = frac - double(k - HalfTaps + 1);
                const double arg = M_PI * cutoff * x;
                const double sinc = std::abs(x) < 1e-9 ? 1.0 : std::sin(arg) / arg;
                const double w = (x + HalfTaps) / (2.0 * HalfTaps);
                const double blackman = (w <= 0.0 || w >= 1.0)
                    ? 0.0
                    : 0.42 - 0.5 * std::cos(2 * M_PI * w) + 0.08 * std::cos(4 * M_PI * w);
                taps[size_t(p) * 2 * HalfTaps + k] = float(cutoff * sinc * blackman);
            }
        }
    }
};

const Kernel &kernelFor(int inRate, int outRate)
{
    static std::mutex mutex;
    static std::map<std::pair<int, int>, std::unique_ptr<Kernel>> cache;
    std::lock_guard lock(mutex);
    auto &slot = cache[{inRate, outRate}];
    if (!slot)
        slot = std::make_unique<Kernel>(std::min(1.0, double(outRate) / inRate) * 0.97);
    return *slot;
}

} // namespace

std::size_t outputLength(std::size_t inputCount, int inRate, int outRate)
{
    return std::size_t((double(inputCount) * outRate) / inRate + 0.5);
}

long long mapPosition(long long position, int inRate, int outRate)
{
    if (inRate == outRate)
        return position;
    return (long long)((double(position) * outRate) / inRate + 0.5);
}

std::vector<int16_t> convert(const int16_t *samples, std::size_t count, int inRate, int outRate)
{
    if (inRate == outRate || inRate <= 0 || outRate <= 0)
        return std::vector<int16_t>(samples, samples + count);
    const Kernel &kernel = kernelFor(inRate, outRate);
    const std::size_t outCount = outputLength(count, inRate, outRate);
    std::vector<int16_t> out(outCount);
    // Output sample o sits at input position o * num / den, kept exact.
    const long long g = std::gcd(inRate, outRate);
    const long long num = inRate / g;
    const long long den = outRate / g;
    const long long n = (long long)count;
    constexpr int Width = 2 * HalfTaps;
    constexpr int Lanes = 8;
    // Each input sample takes part in several outputs: convert it once, into
    // a buffer the thread keeps (a fresh one would be page-faulted in on
    // every call).
    thread_local std::vector<float> kept;
    std::vector<float> own;
    std::vector<float> &in = count <= KeptSamples ? kept : own;
    in.assign(samples, samples + count);
    for (std::size_t o = 0; o < outCount; ++o) {
        const long long at = (long long)o * num;
        const long long base = at / den;
        const int phase = int(((at % den) * Phases + den / 2) / den);
        const float *row = &kernel.taps[size_t(phase) * Width];
        const long long first = base - HalfTaps + 1;
        float acc = 0.0f;
        if (first >= 0 && first + Width <= n) {
            // Away from the edges: independent partial sums the compiler
            // can keep in one vector register.
            const float *x = in.data() + first;
            float lane[Lanes] = {};
            for (int k = 0; k < Width; k += Lanes) {
                for (int j = 0; j < Lanes; ++j)
                    lane[j] += row[k + j] * x[k + j];
            }
            acc = ((lane[0] + lane[1]) + (lane[2] + lane[3]))
                + ((lane[4] + lane[5]) + (lane[6] + lane[7]));
        } else {
            for (int k = 0; k < Width; ++k) {
                const long long idx = first + k;
                if (idx >= 0 && idx < n)
                    acc += row[k] * in[size_t(idx)];
            }
        }
        out[o] = int16_t(std::clamp(std::lrint(acc), -32768L, 32767L));
    }
    return out;
}

} // namespace Resampler
