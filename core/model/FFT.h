// FFT and spectrum: a complex FFT of power-of-two size, a real
// power spectrum, three analysis windows and ComputeSpectrum, which turns a
// stretch of samples into one column of spectrum values scaled 0..1.
#pragma once

// True for n >= 2 with a single bit set.
bool IsPowerOfTwo(int n);

// The number of the lowest set bit (log2 n for a power of two). For n < 2 it
// emits the diagnostic "Error: FFT called with size %d\n" and exits with code 1.
int NumberOfBitsNeeded(int n);

// index with its lowest `bits` bits reversed.
int ReverseBits(int index, int bits);

// Complex FFT of n points (n a power of two, else the diagnostic "%d is not a power
// of two\n" and exit code 1). imagIn may be null (all zeros). Forward: X[k] = sum x[j] e^(-2 pi i jk/n);
// the inverse divides by n. The outputs must not alias the inputs.
void FFT(int n, bool inverse, const float* realIn, const float* imagIn, float* realOut, float* imagOut);

// Real-input transform of n points (n a power of two, at least 4): re[k] and im[k]
// for k = 0 .. n/2 of the same X[k] as FFT gives (the bins above n/2 are their
// mirrors' conjugates). Half the work of FFT on real data.
void RealFFT(int n, const float* in, float* re, float* im);

// The inverse of RealFFT: from bins 0 .. n/2 of a real signal's transform (the
// imaginary parts of bins 0 and n/2 are taken as 0), the n samples, divided by n like
// FFT's inverse.
void InverseRealFFT(int n, const float* re, const float* im, float* out);

// Real input of n points; out receives n/2 values re(k)^2 + im(k)^2 of the
// n-point transform (out[0] holds the DC and Nyquist terms together, as the
// half-size packing gives). n must be a power of two, at least 4.
void PowerSpectrum(int n, const float* in, float* out);

// Window kinds of WindowFunc.
enum { WindowBartlett = 1, WindowHamming = 2, WindowHanning = 3 };

// Multiplies data in place by window `kind` (1 Bartlett, 2 Hamming, 3 Hanning);
// any other kind leaves the data alone.
void WindowFunc(int kind, int n, float* data);

// Fills `height` output values from `width` samples of data, with overlapping
// Hanning windows of windowSize (a power of two). Without autocorrelation the
// values are the power spectrum in dB up to maxFreq, mapped so that -80 dB is 0
// and 0 dB is 1; with it, an enhanced autocorrelation. Values are clipped to
// [0, 1]. Returns false when width < windowSize (output untouched); true at
// once when data or output is null.
bool ComputeSpectrum(const float* data, int width, int height, int maxFreq, int windowSize, double rate,
                     float* output, bool autocorrelation);
