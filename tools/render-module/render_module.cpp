// Review renderer: plays modules through libopenmpt at 44.1 kHz with default settings and
// reports length, loop point, peak, RMS, offset, the level on both sides of the loop seam and,
// on request, each channel's level alone; optionally writes the audio as WAV.
// Usage: musidisk-render-module [--wav DIR] [--channels] module.xm...
#include <libopenmpt/libopenmpt.hpp>
#include <libopenmpt/libopenmpt_ext.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
// Audio kept after the song's end to hear the loop seam.
constexpr double kSeamSeconds = 2.0;
constexpr size_t kBlock = 4096;

std::vector<char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double Db(double v) { return v > 0 ? 20.0 * std::log10(v) : -999.0; }

// Renders seconds of interleaved stereo float audio.
std::vector<float> Render(openmpt::module& m, double seconds) {
  std::vector<float> out;
  size_t frames = static_cast<size_t>(seconds * kRate);
  std::vector<float> block(kBlock * 2);
  while (out.size() / 2 < frames) {
    size_t want = std::min(kBlock, frames - out.size() / 2);
    size_t got = m.read_interleaved_stereo(kRate, want, block.data());
    if (got == 0) break;
    out.insert(out.end(), block.begin(), block.begin() + static_cast<long>(got * 2));
  }
  return out;
}

double Rms(const std::vector<float>& a, size_t fromFrame, size_t toFrame) {
  double sum = 0;
  toFrame = std::min(toFrame, a.size() / 2);
  if (toFrame <= fromFrame) return 0;
  for (size_t i = fromFrame * 2; i < toFrame * 2; ++i) sum += static_cast<double>(a[i]) * a[i];
  return std::sqrt(sum / static_cast<double>((toFrame - fromFrame) * 2));
}

void WriteWav(const std::string& path, const std::vector<float>& audio) {
  std::ofstream f(path, std::ios::binary);
  auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
  uint32_t bytes = static_cast<uint32_t>(audio.size() * 2);
  f.write("RIFF", 4); u32(36 + bytes); f.write("WAVEfmt ", 8); u32(16); u16(1); u16(2); u32(kRate);
  u32(kRate * 4); u16(4); u16(16); f.write("data", 4); u32(bytes);
  for (float s : audio) {
    long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
    u16(static_cast<uint16_t>(static_cast<int16_t>(v)));
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string wavDir;
  bool channels = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--wav" && i + 1 < argc) wavDir = argv[++i];
    else if (a == "--channels") channels = true;
    else files.push_back(a);
  }
  if (files.empty()) {
    std::fprintf(stderr, "usage: musidisk-render-module [--wav DIR] [--channels] module.xm...\n");
    return 2;
  }
  std::printf("%-12s %-20s %7s %7s %7s %7s %8s %6s %s\n", "file", "title", "length", "loop", "peak", "rms", "offset",
              "seam", "log");
  int status = 0;
  double quietest = 1e9, loudest = -1e9, highestPeak = -1e9;
  for (const std::string& path : files) {
    std::vector<char> data = ReadFile(path);
    std::ostringstream log;
    try {
      openmpt::module m(data.data(), data.size(), log);
      double length = m.get_duration_seconds();
      int restart = data.size() > 68 ? static_cast<unsigned char>(data[66]) | (static_cast<unsigned char>(data[67]) << 8) : 0;
      double loop = m.set_position_order_row(restart, 0);
      m.set_position_order_row(0, 0);
      m.set_repeat_count(1);
      std::vector<float> audio = Render(m, length + kSeamSeconds);
      size_t end = static_cast<size_t>(length * kRate);
      double peak = 0, sum = 0, sumL = 0, sumR = 0;
      for (size_t i = 0; i < std::min(end * 2, audio.size()); ++i) {
        peak = std::max(peak, static_cast<double>(std::fabs(audio[i])));
        sum += static_cast<double>(audio[i]) * audio[i];
        (i % 2 ? sumR : sumL) += audio[i];
      }
      double rms = std::sqrt(sum / static_cast<double>(2 * end));
      double offset = std::max(std::fabs(sumL), std::fabs(sumR)) / static_cast<double>(end);
      size_t seam = static_cast<size_t>(kSeamSeconds * kRate);
      double seamDb = Db(Rms(audio, end, end + seam)) - Db(Rms(audio, end - seam, end));
      std::string name = path.substr(path.find_last_of('/') + 1);
      quietest = std::min(quietest, Db(rms));
      loudest = std::max(loudest, Db(rms));
      highestPeak = std::max(highestPeak, Db(peak));
      std::printf("%-12s %-20s %6.1fs %6.1fs %6.1fdB %6.1fdB %8.5f %+5.1fdB %s\n", name.c_str(),
                  m.get_metadata("title").c_str(), length, loop, Db(peak), Db(rms), offset, seamDb,
                  log.str().empty() ? "clean" : "WARNINGS");
      if (!log.str().empty()) std::printf("%s", log.str().c_str());
      if (!wavDir.empty()) WriteWav(wavDir + "/" + name.substr(0, name.find('.')) + ".wav", audio);
      if (channels) {
        int n = m.get_num_channels();
        std::printf("  channel levels (RMS dB, alone):");
        for (int c = 0; c < n; ++c) {
          std::ostringstream quiet;
          openmpt::module_ext solo(data.data(), data.size(), quiet);
          auto* inter = static_cast<openmpt::ext::interactive*>(solo.get_interface(openmpt::ext::interactive_id));
          for (int o = 0; o < n; ++o) inter->set_channel_mute_status(o, o != c);
          std::vector<float> part = Render(solo, length);
          std::printf(" %d:%.1f", c, Db(Rms(part, 0, part.size() / 2)));
        }
        std::printf("\n");
      }
    } catch (const std::exception& e) {
      std::printf("%s: cannot load: %s\n", path.c_str(), e.what());
      status = 1;
    }
  }
  if (files.size() > 1)
    std::printf("RMS %.1f .. %.1f dB (spread %.1f dB), highest peak %.1f dB\n", quietest, loudest, loudest - quietest,
                highestPeak);
  return status;
}
