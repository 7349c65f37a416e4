// Iterative Cooley-Tukey transform; the spectrogram is computed once per measured song.
#include "fft.h"

#include <cmath>
#include <stdexcept>

void Fft(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  if (n == 0 || (n & (n - 1)) != 0) throw std::runtime_error("FFT size must be a power of two");
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const double angle = -2.0 * M_PI / static_cast<double>(len);
    const std::complex<double> step(std::cos(angle), std::sin(angle));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> w(1.0, 0.0);
      for (size_t k = 0; k < len / 2; ++k) {
        std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
        w *= step;
      }
    }
  }
}

PowerSpectrogram::PowerSpectrogram(const std::vector<float>& mono, size_t size, size_t hop) : size_(size), hop_(hop) {
  std::vector<double> window(size);
  for (size_t i = 0; i < size; ++i) window[i] = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / size);
  std::vector<std::complex<double>> buffer(size);
  for (size_t start = 0; start + size <= mono.size(); start += hop) {
    for (size_t i = 0; i < size; ++i) buffer[i] = mono[start + i] * window[i];
    Fft(buffer);
    std::vector<double> power(size / 2 + 1);
    for (size_t k = 0; k < power.size(); ++k) power[k] = std::norm(buffer[k]);
    frames_.push_back(std::move(power));
  }
}
