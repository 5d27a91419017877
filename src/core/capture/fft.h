#pragma once
// The spectrum arithmetic of the capture window: a radix-2 FFT with a Hann
// window built in, and the conversion of one bin to decibels. Values are
// carried as long double, the 80-bit extended format where the platform has it.
#include <cstdint>
#include <span>

enum class FftMode : int { Real = 0, Complex = 1 };

// Transforms `length` samples (a power of two from 2 to 1024) of inRe + i·inIm,
// or of inRe alone in the real mode, where inIm is not read. Writes
//   out[k] = Σ w[j] · conj(z[j]) · e^(+2πi·j·k/n),  unscaled,
// the conjugate of the forward transform of the windowed input, so magnitudes
// are those of the forward transform and e^(+2πi·5·j/n) peaks in bin 5.
// Returns the count of bins that carry information: n for a complex input, n/2
// for a real one. Any other length, or an array shorter than it, gives 0 and
// leaves the outputs untouched.
std::int32_t Fft(std::int32_t length, FftMode mode, std::span<const long double> inRe,
                 std::span<const long double> inIm, std::span<long double> outRe,
                 std::span<long double> outIm);

// 20 · log10(|re + i·im| + 1e-10): the floor shows an empty bin as −200 dB.
long double MagnitudeDb(long double re, long double im);
