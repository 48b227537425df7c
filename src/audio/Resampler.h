// Sample-rate conversion of 16-bit mono PCM with a Blackman-windowed sinc
// (16 zero crossings each side, cut-off at the lower Nyquist frequency), so a
// 22,050 Hz voice can be written into a 16 kHz file without aliasing. Each
// call converts one self-contained block (a spoken sentence, which starts and
// ends near silence); the edges are padded with zeros.
#pragma once

#include <cstdint>
#include <vector>

namespace Resampler
{

// Number of output samples for `inputCount` samples, rounded to nearest.
std::size_t outputLength(std::size_t inputCount, int inRate, int outRate);

// Converts `count` samples from inRate to outRate; returns the input unchanged
// when the rates are equal.
std::vector<int16_t> convert(const int16_t *samples, std::size_t count, int inRate, int outRate);

// Position in the output of input sample `position`.
long long mapPosition(long long position, int inRate, int outRate);

} // namespace Resampler
