// The top voice of a module: which of its samples loop (read from the XM, IT, S3M or MOD headers
// themselves), and libopenmpt's own playback for where the song goes and when each row sounds.
#include "top_voice.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <exception>
#include <sstream>

namespace {

class Reader {
 public:
  explicit Reader(const std::vector<char>& d) : d_(d) {}
  bool Has(size_t at, size_t n) const { return at + n <= d_.size(); }
  unsigned U8(size_t at) const { return Has(at, 1) ? static_cast<uint8_t>(d_[at]) : 0; }
  unsigned U16(size_t at) const { return U8(at) | (U8(at + 1) << 8); }
  uint32_t U32(size_t at) const { return U16(at) | (static_cast<uint32_t>(U16(at + 2)) << 16); }
  unsigned U16BigEndian(size_t at) const { return (U8(at) << 8) | U8(at + 1); }
  bool Is(size_t at, const char* tag) const {
    const size_t n = std::strlen(tag);
    return Has(at, n) && std::memcmp(d_.data() + at, tag, n) == 0;
  }

 private:
  const std::vector<char>& d_;
};

// looped[instrument][note]: whether that instrument (as the pattern numbers it, from 1) plays
// a looped sample at that note (libopenmpt's numbering, 1 = C-0 .. 120 = B-9).
using LoopTable = std::vector<std::array<bool, 121>>;

// libopenmpt's pattern data: key-off, note cut and note fade, and the commands that silence.
constexpr int kFirstNoteEnd = 253;
constexpr int kVolumeColumnSet = 1;    // volume column: set volume
constexpr int kEffectSetVolume = 14;   // Cxx of MOD and XM
// A released note still counts as the line's pitch this long: a rest is not a new register.
constexpr double kRestSeconds = 2.0;
// Playback is followed at a low rate, in steps short enough to see every row start.
constexpr int kFollowRate = 8000;
constexpr size_t kStepFrames = 32;
// The XM notes 1..96 are libopenmpt's 13..108.
constexpr int kXmNoteOffset = 12;
// An instrument the patterns play at this many pitches or more carries a line even where its
// sample does not loop (a plucked or struck melody); drums sit on one or two.
constexpr size_t kMelodicPitches = 4;

// Marks every instrument the patterns play at kMelodicPitches or more pitches as pitched at all
// its notes.
void AddMelodicInstruments(openmpt::module& m, LoopTable& looped) {
  std::vector<std::array<bool, 121>> played(looped.size());
  const int channels = m.get_num_channels();
  for (int p = 0; p < m.get_num_patterns(); ++p)
    for (int row = 0; row < m.get_pattern_num_rows(p); ++row)
      for (int ch = 0; ch < channels; ++ch) {
        const int note = m.get_pattern_row_channel_command(p, row, ch, openmpt::module::command_note);
        const int ins = m.get_pattern_row_channel_command(p, row, ch, openmpt::module::command_instrument);
        if (note >= 1 && note <= 120 && ins >= 1 && ins < static_cast<int>(played.size())) played[ins][note] = true;
      }
  for (size_t i = 1; i < looped.size(); ++i)
    if (static_cast<size_t>(std::count(played[i].begin(), played[i].end(), true)) >= kMelodicPitches) looped[i].fill(true);
}

bool XmLoops(const Reader& r, LoopTable& looped) {
  const uint32_t headerSize = r.U32(60);
  const unsigned patternCount = r.U16(70), instrumentCount = r.U16(72);
  size_t at = 60 + headerSize;
  for (unsigned p = 0; p < patternCount; ++p) {
    if (!r.Has(at, 9)) return false;
    at += r.U32(at) + r.U16(at + 7);
  }
  looped.assign(instrumentCount + 1, {});
  for (unsigned i = 1; i <= instrumentCount; ++i) {
    if (!r.Has(at, 29)) return false;
    const uint32_t size = r.U32(at);
    const unsigned samples = r.U16(at + 27);
    if (samples == 0) {
      at += size;
      continue;
    }
    const uint32_t sampleHeader = r.U32(at + 29);
    size_t h = at + size, data = h + static_cast<size_t>(samples) * sampleHeader;
    std::vector<bool> loops(samples);
    for (unsigned s = 0; s < samples; ++s) {
      size_t sh = h + s * sampleHeader;
      if (!r.Has(sh, 15)) return false;
      loops[s] = (r.U8(sh + 14) & 3) != 0 && r.U32(sh + 8) > 0;
      data += r.U32(sh);
    }
    for (int n = 0; n < 96; ++n) {
      const unsigned sample = r.U8(at + 33 + n);
      looped[i][n + 1 + kXmNoteOffset] = sample < samples && loops[sample];
    }
    at = data;
  }
  return true;
}

bool ItLoops(const Reader& r, LoopTable& looped) {
  const unsigned orders = r.U16(0x20), instruments = r.U16(0x22), samples = r.U16(0x24);
  const bool instrumentMode = (r.U16(0x2C) & 4) != 0;
  const size_t instrumentOffsets = 0xC0 + orders, sampleOffsets = instrumentOffsets + 4 * instruments;
  std::vector<bool> loops(samples);
  for (unsigned s = 0; s < samples; ++s) {
    const uint32_t at = r.U32(sampleOffsets + 4 * s);
    if (!r.Is(at, "IMPS") || !r.Has(at, 0x34)) return false;
    const unsigned flags = r.U8(at + 0x12);
    loops[s] = (flags & 1) != 0 && (flags & 0x30) != 0 && r.U32(at + 0x30) > 0;
  }
  if (!instrumentMode) {
    looped.assign(samples + 1, {});
    for (unsigned s = 1; s <= samples; ++s) looped[s].fill(loops[s - 1]);
    return true;
  }
  looped.assign(instruments + 1, {});
  for (unsigned i = 1; i <= instruments; ++i) {
    const uint32_t at = r.U32(instrumentOffsets + 4 * (i - 1));
    if (!r.Is(at, "IMPI") || !r.Has(at, 0x40 + 240)) return false;
    // The keyboard: for each of the 120 notes, the note and sample it plays.
    for (int n = 0; n < 120; ++n) {
      const unsigned sample = r.U8(at + 0x41 + 2 * n);
      looped[i][n + 1] = sample >= 1 && sample <= samples && loops[sample - 1];
    }
  }
  return true;
}

bool S3mLoops(const Reader& r, LoopTable& looped) {
  const unsigned orders = r.U16(0x20), instruments = r.U16(0x22);
  looped.assign(instruments + 1, {});
  for (unsigned i = 1; i <= instruments; ++i) {
    const size_t at = static_cast<size_t>(r.U16(0x60 + orders + 2 * (i - 1))) * 16;
    if (!r.Has(at, 0x20)) return false;
    const bool sample = r.U8(at) == 1;
    looped[i].fill(sample && (r.U8(at + 0x1F) & 1) != 0 && r.U32(at + 0x10) > 0);
  }
  return true;
}

// ProTracker and its relatives: 31 samples, a four-letter tag at 1080.
bool ModLoops(const Reader& r, LoopTable& looped) {
  if (!r.Has(1080, 4)) return false;
  for (size_t k = 1080; k < 1084; ++k)
    if (r.U8(k) < 0x20 || r.U8(k) > 0x7E) return false;
  looped.assign(32, {});
  for (unsigned s = 1; s <= 31; ++s) {
    const size_t at = 20 + 30 * (s - 1);
    // Lengths in words; a loop of one word is ProTracker's "no loop".
    looped[s].fill(r.U16BigEndian(at + 22) > 0 && r.U16BigEndian(at + 28) > 1);
  }
  return true;
}

bool ReadLoops(const std::vector<char>& data, LoopTable& looped) {
  Reader r(data);
  if (data.size() >= 336 && r.Is(0, "Extended Module: ")) return XmLoops(r, looped);
  if (data.size() >= 0xC0 && r.Is(0, "IMPM")) return ItLoops(r, looped);
  if (data.size() >= 0x60 && r.Is(0x2C, "SCRM")) return S3mLoops(r, looped);
  return data.size() > 1084 && ModLoops(r, looped);
}

}  // namespace

TopVoice MeasureTopVoice(const std::vector<char>& data, double seconds, double from) {
  TopVoice out;
  LoopTable looped;
  if (!ReadLoops(data, looped)) return out;
  std::ostringstream log;
  try {
    openmpt::module m(data.data(), data.size(), log);
    AddMelodicInstruments(m, looped);
    m.set_repeat_count(-1);
    const int channels = m.get_num_channels();
    std::vector<int> held(channels, 0);          // pitched note per channel, 0 = none
    std::vector<double> released(channels, -1);  // time of its release, -1 while held
    std::vector<int> instrument(channels, 0);
    std::vector<int> tops;
    std::vector<float> block(kStepFrames);
    int lastOrder = -1, lastRow = -1;
    const double end = from + seconds;
    for (double time = 0; time < end;) {
      const int order = m.get_current_order(), row = m.get_current_row();
      if (order != lastOrder || row != lastRow) {
        const int pattern = m.get_current_pattern();
        for (int ch = 0; ch < channels; ++ch) {
          const int note = m.get_pattern_row_channel_command(pattern, row, ch, openmpt::module::command_note);
          const int ins = m.get_pattern_row_channel_command(pattern, row, ch, openmpt::module::command_instrument);
          if (ins) instrument[ch] = ins;
          if (note >= 1 && note <= 120) {
            const bool pitched = instrument[ch] < static_cast<int>(looped.size()) && looped[instrument[ch]][note];
            held[ch] = pitched ? note : 0;
            released[ch] = -1;
          }
          const bool silenced =
              (m.get_pattern_row_channel_command(pattern, row, ch, openmpt::module::command_volumeffect) ==
                   kVolumeColumnSet &&
               m.get_pattern_row_channel_command(pattern, row, ch, openmpt::module::command_volume) == 0) ||
              (m.get_pattern_row_channel_command(pattern, row, ch, openmpt::module::command_effect) == kEffectSetVolume &&
               m.get_pattern_row_channel_command(pattern, row, ch, openmpt::module::command_parameter) == 0);
          if ((note >= kFirstNoteEnd || silenced) && released[ch] < 0) released[ch] = time;
        }
        lastOrder = order;
        lastRow = row;
      }
      // The top voice is sampled once a step: each pitch counts for the time it sounds.
      if (time >= from) {
        int top = 0;
        for (int ch = 0; ch < channels; ++ch)
          if (released[ch] < 0 || time - released[ch] < kRestSeconds) top = std::max(top, held[ch]);
        if (top > 0) tops.push_back(top);
      }
      const size_t got = m.read(kFollowRate, kStepFrames, block.data());
      if (got == 0) break;
      time += static_cast<double>(got) / kFollowRate;
    }
    if (tops.empty()) return out;
    std::sort(tops.begin(), tops.end());
    out.measured = true;
    out.low = tops[tops.size() * 5 / 100] - kXmNoteOffset;
    out.high = tops[std::min(tops.size() - 1, tops.size() * 95 / 100)] - kXmNoteOffset;
    out.range = out.high - out.low;
  } catch (const std::exception&) {
    return TopVoice{};
  }
  return out;
}
