// In-place radix-2 FFT and the power spectrum of windowed frames, for the music measures.
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

// Forward transform of data (size a power of two), in place.
void Fft(std::vector<std::complex<double>>& data);

// Short-time power spectra of mono audio: Hann-windowed frames of `size` samples every `hop`
// samples, frame f centred at f * hop + size / 2; each frame holds bins 0..size/2.
class PowerSpectrogram {
 public:
  PowerSpectrogram(const std::vector<float>& mono, size_t size, size_t hop);
  size_t Frames() const { return frames_.size(); }
  size_t Bins() const { return size_ / 2 + 1; }
  size_t Size() const { return size_; }
  size_t Hop() const { return hop_; }
  const std::vector<double>& Frame(size_t f) const { return frames_[f]; }

 private:
  size_t size_, hop_;
  std::vector<std::vector<double>> frames_;
};
