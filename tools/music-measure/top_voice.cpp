// A small XM reader: header, packed patterns, and of the instruments only the keymap and the
// loop of each sample, which is all the top voice needs.
#include "top_voice.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

class Reader {
 public:
  explicit Reader(const std::vector<char>& d) : d_(d) {}
  bool Has(size_t at, size_t n) const { return at + n <= d_.size(); }
  unsigned U8(size_t at) const { return Has(at, 1) ? static_cast<uint8_t>(d_[at]) : 0; }
  unsigned U16(size_t at) const { return U8(at) | (U8(at + 1) << 8); }
  uint32_t U32(size_t at) const { return U16(at) | (static_cast<uint32_t>(U16(at + 2)) << 16); }

 private:
  const std::vector<char>& d_;
};

struct Cell {
  unsigned note = 0, instrument = 0, volume = 0, effect = 0, param = 0;
};

constexpr unsigned kKeyOff = 97;
// A released note still counts as the line's pitch this long: a rest is not a new register.
constexpr double kRestSeconds = 2.0;

}  // namespace

TopVoice MeasureTopVoice(const std::vector<char>& xm, double seconds) {
  TopVoice out;
  Reader r(xm);
  if (xm.size() < 336 || std::memcmp(xm.data(), "Extended Module: ", 17) != 0) return out;
  const uint32_t headerSize = r.U32(60);
  const unsigned orders = r.U16(64), restart = r.U16(66), channels = r.U16(68), patternCount = r.U16(70),
                 instrumentCount = r.U16(72);
  int speed = static_cast<int>(r.U16(76)), bpm = static_cast<int>(r.U16(78));
  if (channels == 0 || channels > 64 || orders == 0 || speed == 0 || bpm == 0) return out;

  std::vector<std::vector<std::vector<Cell>>> patterns;  // [pattern][row][channel]
  size_t at = 60 + headerSize;
  for (unsigned p = 0; p < patternCount; ++p) {
    if (!r.Has(at, 9)) return out;
    const uint32_t length = r.U32(at);
    const unsigned rows = r.U16(at + 5), packed = r.U16(at + 7);
    size_t pos = at + length, end = pos + packed;
    if (!r.Has(pos, packed)) return out;
    std::vector<std::vector<Cell>> pattern(rows, std::vector<Cell>(channels));
    for (unsigned row = 0; row < rows && packed > 0; ++row)
      for (unsigned ch = 0; ch < channels; ++ch) {
        if (pos >= end) return out;
        Cell& c = pattern[row][ch];
        unsigned first = r.U8(pos);
        if (first & 0x80) {
          ++pos;
          if (first & 1) c.note = r.U8(pos++);
          if (first & 2) c.instrument = r.U8(pos++);
          if (first & 4) c.volume = r.U8(pos++);
          if (first & 8) c.effect = r.U8(pos++);
          if (first & 16) c.param = r.U8(pos++);
        } else {
          c = {r.U8(pos), r.U8(pos + 1), r.U8(pos + 2), r.U8(pos + 3), r.U8(pos + 4)};
          pos += 5;
        }
      }
    patterns.push_back(std::move(pattern));
    at = end;
  }

  // looped[instrument][note]: whether that note plays a looped sample.
  std::vector<std::vector<bool>> looped(instrumentCount + 1, std::vector<bool>(97, false));
  for (unsigned i = 1; i <= instrumentCount; ++i) {
    if (!r.Has(at, 29)) return out;
    const uint32_t size = r.U32(at);
    const unsigned samples = r.U16(at + 27);
    if (samples == 0) {
      at += size;
      continue;
    }
    const uint32_t sampleHeader = r.U32(at + 29);
    std::vector<unsigned> keymap(96);
    for (int n = 0; n < 96; ++n) keymap[n] = r.U8(at + 33 + n);
    size_t h = at + size, data = h + static_cast<size_t>(samples) * sampleHeader;
    std::vector<bool> loops(samples);
    for (unsigned s = 0; s < samples; ++s) {
      size_t sh = h + s * sampleHeader;
      loops[s] = (r.U8(sh + 14) & 3) != 0 && r.U32(sh + 8) > 0;
      data += r.U32(sh);
    }
    for (int n = 0; n < 96; ++n) looped[i][n + 1] = keymap[n] < samples && loops[keymap[n]];
    at = data;
  }

  std::vector<int> held(channels, 0);  // pitched note per channel, 0 = none
  std::vector<double> released(channels, -1);  // time of its key-off, -1 while held
  std::vector<unsigned> instrument(channels, 0);
  std::vector<int> tops;
  double time = 0;
  unsigned order = 0;
  for (int guard = 0; time < seconds && guard < 100000; ++guard) {
    if (order >= orders) order = restart < orders ? restart : 0;
    unsigned p = r.U8(80 + order);
    if (p >= patterns.size()) break;
    for (const std::vector<Cell>& row : patterns[p]) {
      for (unsigned ch = 0; ch < channels; ++ch) {
        const Cell& c = row[ch];
        if (c.instrument) instrument[ch] = c.instrument;
        if (c.note >= 1 && c.note <= 96) {
          held[ch] = instrument[ch] <= instrumentCount && looped[instrument[ch]][c.note] ? static_cast<int>(c.note) : 0;
          released[ch] = -1;
        }
        if ((c.note == kKeyOff || c.volume == 0x10) && released[ch] < 0) released[ch] = time;
        if (c.effect == 0xF && c.param > 0) (c.param < 32 ? speed : bpm) = static_cast<int>(c.param);
      }
      int top = 0;
      for (unsigned ch = 0; ch < channels; ++ch)
        if (released[ch] < 0 || time - released[ch] < kRestSeconds) top = std::max(top, held[ch]);
      if (top > 0) tops.push_back(top);
      time += speed * 2.5 / bpm;
      if (time >= seconds) break;
    }
    ++order;
  }
  if (tops.empty()) return out;
  std::sort(tops.begin(), tops.end());
  out.measured = true;
  out.low = tops[tops.size() * 5 / 100];
  out.high = tops[std::min(tops.size() - 1, tops.size() * 95 / 100)];
  out.range = out.high - out.low;
  return out;
}
