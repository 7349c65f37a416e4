// musidisk-measure-music: renders modules through libopenmpt (44.1 kHz, default settings) and
// prints, as a Markdown table, the measures that set them beside tracker music written by
// people: harmony, top-voice range, loudness, spectrum, onsets and tempo, then the medians.
// Usage: musidisk-measure-music [--seconds S] [--own-meter] module...
// --own-meter adds our own R128 meter's integrated loudness and range beside ffmpeg's.
#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "audio_measures.h"
#include "loudness.h"
#include "r128_meter.h"
#include "top_voice.h"

namespace {

constexpr int kRate = 44100;
// The musical measures read the first two minutes, as the reference figures did; the levels
// read the whole song once through.
constexpr double kDefaultSeconds = 120;
constexpr size_t kBlock = 8192;

std::vector<char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<float> Render(openmpt::module& m, double seconds) {
  std::vector<float> out(static_cast<size_t>(seconds * kRate) * 2);
  size_t done = 0;
  while (done < out.size() / 2) {
    size_t got = m.read_interleaved_stereo(kRate, std::min(kBlock, out.size() / 2 - done), out.data() + done * 2);
    if (got == 0) break;
    done += got;
  }
  out.resize(done * 2);
  return out;
}

struct Row {
  std::string name;
  AudioMeasures audio;
  TopVoice top;
  Loudness level;
  R128 own;  // the same levels by our own meter, as the tests read them
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  if (v.empty()) return 0;
  size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

const char* kPitchNames[12] = {"C", "C#", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"};

}  // namespace

int main(int argc, char** argv) {
  double seconds = kDefaultSeconds;
  bool ownMeter = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--seconds" && i + 1 < argc) seconds = std::atof(argv[++i]);
    else if (a == "--own-meter") ownMeter = true;
    else files.push_back(a);
  }
  if (files.empty() || seconds <= 10) {
    std::fprintf(stderr, "usage: musidisk-measure-music [--seconds S (over 10)] [--own-meter] module...\n");
    return 2;
  }
  int status = 0;
  std::vector<Row> rows;
  for (const std::string& path : files) {
    std::vector<char> data = ReadFile(path);
    Row row;
    row.name = path.substr(path.find_last_of('/') + 1);
    try {
      std::ostringstream log;
      openmpt::module m(data.data(), data.size(), log);
      const double length = m.get_duration_seconds();
      std::vector<float> whole = Render(m, length);
      row.level = MeasureLoudness(whole, kRate);
      row.own = MeasureR128(whole, kRate);
      if (!row.level.measured) std::fprintf(stderr, "%s: %s\n", path.c_str(), row.level.error.c_str());
      m.set_position_seconds(0);
      m.set_repeat_count(-1);  // a song shorter than the measured span goes on through its loop
      std::vector<float> stereo = Render(m, seconds);
      std::vector<float> mono(stereo.size() / 2);
      for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
      row.audio = MeasureAudio(mono, kRate);
      row.top = MeasureTopVoice(data, seconds);
      rows.push_back(row);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s: cannot load: %s\n", path.c_str(), e.what());
      status = 1;
    }
  }

  std::printf("| module | hold | change | out of key | key | top range | LUFS | dBTP | LRA | >4 kHz | <150 Hz | flatness "
              "| onsets/s | on 8ths | tempo agree | BPM |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
  for (const Row& r : rows) {
    char top[16] = "-";
    if (r.top.measured) std::snprintf(top, sizeof top, "%d", r.top.range);
    char level[64] = "- | - | -";
    if (r.level.measured)
      std::snprintf(level, sizeof level, "%.1f | %.1f | %.1f", r.level.integrated, r.level.truePeak, r.level.range);
    std::printf("| %s | %.2f | %.2f | %.2f | %s%s | %s | %s | %.3f | %.2f | %.5f | %.2f | %.2f | %.2f | %.0f |\n",
                r.name.c_str(), r.audio.chromaHold, r.audio.chromaChange, r.audio.outOfKey,
                kPitchNames[r.audio.keyTonic], r.audio.keyMinor ? "m" : "", top, level, r.audio.highShare,
                r.audio.lowShare, r.audio.flatness, r.audio.onsetsPerSecond, r.audio.onGrid, r.audio.tempoAgreement,
                r.audio.tempo);
  }
  if (rows.size() > 1) {
    auto med = [&](const std::function<double(const Row&)>& get) {
      std::vector<double> v;
      for (const Row& r : rows) v.push_back(get(r));
      return Median(v);
    };
    std::vector<double> tops;
    for (const Row& r : rows)
      if (r.top.measured) tops.push_back(r.top.range);
    char top[16] = "-";
    if (!tops.empty()) std::snprintf(top, sizeof top, "%.0f", Median(tops));
    std::printf("| **median** | %.2f | %.2f | %.2f | | %s | %.1f | %.1f | %.1f | %.3f | %.2f | %.5f | %.2f | %.2f | %.2f | |\n",
                med([](const Row& r) { return r.audio.chromaHold; }), med([](const Row& r) { return r.audio.chromaChange; }),
                med([](const Row& r) { return r.audio.outOfKey; }), top,
                med([](const Row& r) { return r.level.integrated; }), med([](const Row& r) { return r.level.truePeak; }),
                med([](const Row& r) { return r.level.range; }), med([](const Row& r) { return r.audio.highShare; }),
                med([](const Row& r) { return r.audio.lowShare; }), med([](const Row& r) { return r.audio.flatness; }),
                med([](const Row& r) { return r.audio.onsetsPerSecond; }), med([](const Row& r) { return r.audio.onGrid; }),
                med([](const Row& r) { return r.audio.tempoAgreement; }));
  }
  if (ownMeter) {
    std::printf("\n| module | LUFS (own) | LRA (own) |\n|---|---|---|\n");
    for (const Row& r : rows) std::printf("| %s | %.1f | %.1f |\n", r.name.c_str(), r.own.integrated, r.own.range);
  }
  return status;
}
