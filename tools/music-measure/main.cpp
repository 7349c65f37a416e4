// musidisk-measure-music: renders modules through libopenmpt (44.1 kHz, default settings) and
// prints, as a Markdown table, the measures that set them beside tracker music written by
// people: harmony, top-voice range, loudness, spectrum, onsets and tempo, then the medians.
// Usage: musidisk-measure-music [--seconds S] [--from S] [--own-meter] [--channels] module...
// --from starts the musical measures that many seconds in (with --seconds, one section alone);
// --own-meter adds our own R128 meter's integrated loudness and range beside ffmpeg's;
// --channels adds, for each module, every channel played alone over the same span: its share
// of the song's power, its share of chroma outside the song's key, and its flatness.
#include <libopenmpt/libopenmpt.hpp>
#include <libopenmpt/libopenmpt_ext.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>
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
// Shortest span measured: a four-bar section at a slow tempo.
constexpr double kShortestSeconds = 4;
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

struct ChannelRow {
  double power = 0;     // mean square of the channel alone
  double outOfKey = 0;  // against the whole song's key
  double flatness = 0;
};

struct Row {
  std::string name;
  std::vector<ChannelRow> channels;
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

std::vector<float> Mono(const std::vector<float>& stereo) {
  std::vector<float> mono(stereo.size() / 2);
  for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
  return mono;
}

double MeanSquare(const std::vector<float>& a) {
  double sum = 0;
  for (float v : a) sum += static_cast<double>(v) * v;
  return a.empty() ? 0 : sum / static_cast<double>(a.size());
}

// Each channel alone over [from, from + seconds), measured against the song's key.
std::vector<ChannelRow> MeasureChannels(const std::vector<char>& data, double from, double seconds,
                                        const AudioMeasures& song) {
  std::ostringstream log;
  openmpt::module_ext m(data.data(), data.size(), log);
  auto* interactive = static_cast<openmpt::ext::interactive*>(m.get_interface(openmpt::ext::interactive_id));
  if (!interactive) throw std::runtime_error("libopenmpt offers no interactive interface");
  m.set_repeat_count(-1);
  const int channels = m.get_num_channels();
  std::vector<ChannelRow> out;
  for (int ch = 0; ch < channels; ++ch) {
    for (int c = 0; c < channels; ++c) interactive->set_channel_mute_status(c, c != ch);
    m.set_position_seconds(from);
    std::vector<float> mono = Mono(Render(m, seconds));
    AudioMeasures alone = MeasureAudio(mono, kRate);
    out.push_back({MeanSquare(mono), OutOfKeyShare(alone.chroma, song.keyTonic, song.keyMinor), alone.flatness});
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = kDefaultSeconds, from = 0;
  bool ownMeter = false, channels = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--seconds" && i + 1 < argc) seconds = std::atof(argv[++i]);
    else if (a == "--from" && i + 1 < argc) from = std::atof(argv[++i]);
    else if (a == "--own-meter") ownMeter = true;
    else if (a == "--channels") channels = true;
    else files.push_back(a);
  }
  if (files.empty() || !(seconds >= kShortestSeconds) || !(from >= 0)) {
    std::fprintf(stderr,
                 "usage: musidisk-measure-music [--seconds S (4 or more)] [--from S] [--own-meter] [--channels] "
                 "module...\n");
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
      m.set_repeat_count(-1);  // a song shorter than the measured span goes on through its loop
      m.set_position_seconds(from);
      std::vector<float> mono = Mono(Render(m, seconds));
      row.audio = MeasureAudio(mono, kRate);
      row.top = MeasureTopVoice(data, seconds, from);
      if (channels) {
        row.channels = MeasureChannels(data, from, seconds, row.audio);
        double all = MeanSquare(mono);
        for (ChannelRow& c : row.channels) c.power = all > 0 ? c.power / all : 0;
      }
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
  for (const Row& r : rows) {
    if (r.channels.empty()) continue;
    std::printf("\n%s, each channel alone (out of key against %s%s)\n\n| channel | power share | out of key | flatness |\n"
                "|---|---|---|---|\n",
                r.name.c_str(), kPitchNames[r.audio.keyTonic], r.audio.keyMinor ? "m" : "");
    for (size_t ch = 0; ch < r.channels.size(); ++ch)
      std::printf("| %zu | %.3f | %.2f | %.5f |\n", ch, r.channels[ch].power, r.channels[ch].outOfKey,
                  r.channels[ch].flatness);
  }
  if (ownMeter) {
    std::printf("\n| module | LUFS (own) | LRA (own) |\n|---|---|---|\n");
    for (const Row& r : rows) std::printf("| %s | %.1f | %.1f |\n", r.name.c_str(), r.own.integrated, r.own.range);
  }
  return status;
}
