// The composer's writers and build: everything lands on one row grid per channel.
#include "composer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "pattern_compiler.h"

namespace {

// Tone-portamento speed for slid notes, and the XM effect numbers the writers use.
constexpr int kSlideSpeed = 0x28;
constexpr uint8_t kEffectArpeggio = 0x0;
constexpr uint8_t kEffectPortamento = 0x3;
constexpr uint8_t kEffectVibrato = 0x4;
constexpr uint8_t kEffectGlobalVolume = 0x10;  // Gxx
constexpr uint8_t kEffectExtended = 0xE;       // Exy
constexpr uint8_t kExtendedNoteDelay = 0xD0;   // EDx: note starts x ticks into the row
// Accent and soft-note volume changes of the notations.
constexpr int kAccentBoost = 10;
constexpr double kSoftScale = 0.6;
constexpr double kGhostScale = 0.5;

int Mod12(int v) { return (v % 12 + 12) % 12; }

std::vector<std::string> Tokens(const std::string& s) {
  std::vector<std::string> out;
  std::istringstream in(s);
  std::string t;
  while (in >> t) out.push_back(t);
  return out;
}

// The steps of a repeating pattern: its tokens without bar lines. `what` names the pattern in
// the error an empty one raises.
std::vector<std::string> PatternSteps(const std::string& pattern, const std::string& what) {
  std::vector<std::string> steps = Tokens(pattern);
  steps.erase(std::remove(steps.begin(), steps.end(), "|"), steps.end());
  if (steps.empty()) throw std::runtime_error("empty " + what);
  return steps;
}

// Letters of a drum pattern: every character but spaces and bar lines is one step.
std::string Steps(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != ' ' && c != '|') out.push_back(c);
  return out;
}

uint8_t VolumeByte(int volume) { return static_cast<uint8_t>(kXmVolumeSet + std::clamp(volume, 0, 64)); }

int Accent(int volume) { return std::min(64, volume + kAccentBoost); }

// The sound of a drum letter: an upper-case letter not in the map is its lower-case sound
// accented.
DrumHit HitFor(const DrumMap& map, char c) {
  auto it = map.find(c);
  if (it != map.end()) return it->second;
  if (c >= 'A' && c <= 'Z') it = map.find(static_cast<char>(c - 'A' + 'a'));
  if (it == map.end()) throw std::runtime_error(std::string("drum letter not in the map: ") + c);
  DrumHit h = it->second;
  h.volume = Accent(h.volume);
  return h;
}

}  // namespace

Composer::Composer(const SongSetup& setup) : setup_(setup) {
  cells_.resize(setup.channels);
  channelRoles_.resize(setup.channels);
}

int Composer::Add(const InstrumentPatch& patch) {
  instruments_.push_back(patch);
  if (instruments_.size() > 128) throw std::runtime_error("too many instruments");
  return static_cast<int>(instruments_.size());
}

int Composer::AddFitter(std::function<InstrumentPatch(size_t)> make, size_t minFrames, size_t maxFrames) {
  if (fitterIndex_ >= 0) throw std::runtime_error("a song has one fitter instrument");
  fitterMake_ = std::move(make);
  fitterMin_ = minFrames;
  fitterMax_ = maxFrames;
  fitterIndex_ = static_cast<int>(instruments_.size());
  return Add(fitterMake_(minFrames));
}

void Composer::Section(const std::string& name, const std::string& chart) {
  Section(name, chart, sections_.empty() ? setup_.key : sections_.back().key);
}

void Composer::Section(const std::string& name, const std::string& chart, const Key& key) {
  SectionInfo s{name, totalRows_, 0, key, -1};
  std::vector<Chord> lastBar;
  for (const std::string& tok : Tokens(chart)) {
    if (tok == "|") continue;
    std::vector<Chord> bar;
    if (tok == "%") {
      if (lastBar.empty()) throw std::runtime_error(name + ": '%' with no bar before it");
      bar = lastBar;
    } else {
      size_t pos = 0;
      while (pos <= tok.size()) {
        size_t us = tok.find('_', pos);
        std::string sym = tok.substr(pos, us == std::string::npos ? std::string::npos : us - pos);
        bar.push_back(ParseChord(key, sym));
        if (us == std::string::npos) break;
        pos = us + 1;
      }
    }
    int rowsEach = RowsPerBar() / static_cast<int>(bar.size());
    if (rowsEach * static_cast<int>(bar.size()) != RowsPerBar())
      throw std::runtime_error(name + ": chords do not divide the bar evenly: " + tok);
    for (size_t i = 0; i < bar.size(); ++i)
      chords_.push_back({totalRows_ + s.bars * RowsPerBar() + static_cast<int>(i) * rowsEach, bar[i]});
    lastBar = bar;
    ++s.bars;
  }
  if (s.bars == 0) throw std::runtime_error(name + ": empty chord chart");
  totalRows_ += s.bars * RowsPerBar();
  for (auto& ch : cells_) ch.resize(totalRows_);
  sections_.push_back(s);
}

void Composer::LoopHere() {
  if (sections_.empty()) throw std::runtime_error("LoopHere before any section");
  loopRow_ = sections_.back().startRow;
}

void Composer::SectionLevel(double decibels) {
  if (sections_.empty()) throw std::runtime_error("SectionLevel before any section");
  if (decibels > 0) throw std::runtime_error(sections_.back().name + ": a section cannot play above the song's level");
  const double song = std::clamp(setup_.globalVolume, 0, 64);
  sections_.back().level = static_cast<int>(std::lround(song * std::pow(10.0, decibels / 20.0)));
}

int Composer::SectionBars() const { return sections_.back().bars; }

const Key& Composer::CurrentKey() const { return sections_.back().key; }

XmCell& Composer::Cell(int ch, int row) {
  if (row < 0 || row >= totalRows_) throw std::runtime_error("write outside the song");
  return cells_[ch][row];
}

void Composer::CheckChannel(int ch) const {
  if (ch < 0 || ch >= setup_.channels) throw std::runtime_error("channel out of range");
  if (sections_.empty()) throw std::runtime_error("write before any section");
}

int Composer::SectionRow(int fromBar) const {
  const SectionInfo& s = sections_.back();
  if (fromBar < 0 || fromBar > s.bars) throw std::runtime_error(s.name + ": bar out of range");
  return s.startRow + fromBar * RowsPerBar();
}

int Composer::RangeEnd(int fromBar, int bars) const {
  const SectionInfo& s = sections_.back();
  int last = bars < 0 ? s.bars : fromBar + bars;
  if (last > s.bars) throw std::runtime_error(s.name + ": range runs past the section");
  return s.startRow + last * RowsPerBar();
}

const Chord& Composer::ChordAt(int row) const {
  const TimedChord* found = &chords_.front();
  for (const TimedChord& c : chords_) {
    if (c.row > row) break;
    found = &c;
  }
  return found->chord;
}

const Chord* Composer::NextChordAfter(int row) const {
  const Chord& now = ChordAt(row);
  for (const TimedChord& c : chords_)
    if (c.row > row && (c.chord.root != now.root || c.chord.bass != now.bass)) return &c.chord;
  // Past the last change the song loops: the next chord is the one at the loop row.
  return &ChordAt(loopRow_);
}

const Composer::SectionInfo& Composer::SectionAt(int row) const {
  const SectionInfo* found = &sections_.front();
  for (const SectionInfo& s : sections_)
    if (s.startRow <= row) found = &s;
  return *found;
}

void Composer::PutNote(int ch, int row, int midi, int ins, int volume) {
  int note = XmNote(midi);
  if (note < 1 || note > 96) throw std::runtime_error("note out of the XM range");
  XmCell& c = Cell(ch, row);
  c.note = static_cast<uint8_t>(note);
  c.instrument = static_cast<uint8_t>(ins);
  if (volume >= 0) c.volume = VolumeByte(volume);
}

void Composer::ReleaseAt(int ch, int row) { releases_.push_back({ch, row}); }

void Composer::Melody(int ch, int ins, int octave, int step, const std::string& notes, int volume, int fromBar) {
  CheckChannel(ch);
  channelRoles_[ch] = "melody";
  if (std::find(melodyChannels_.begin(), melodyChannels_.end(), ch) == melodyChannels_.end())
    melodyChannels_.push_back(ch);
  const Key& key = CurrentKey();
  const std::string& name = sections_.back().name;
  int row = SectionRow(fromBar);
  const int end = RangeEnd(0, -1);
  int barStart = row;
  bool sounding = false;
  for (const std::string& tok : Tokens(notes)) {
    if (tok == "|") {
      if (row - barStart != RowsPerBar())
        throw std::runtime_error(name + ": melody bar of " + std::to_string(row - barStart) + " rows near '" + notes.substr(0, 40) + "'");
      barStart = row;
      continue;
    }
    if (tok == ">") { ++octave; continue; }
    if (tok == "<") { --octave; continue; }
    if (row >= end) throw std::runtime_error(name + ": melody runs past the section");
    if (tok == "-") { row += step; continue; }
    if (tok == ".") {
      if (sounding) Cell(ch, row).note = kXmKeyOff;
      sounding = false;
      row += step;
      continue;
    }
    size_t p = 0;
    int accidental = 0;
    while (p < tok.size() && (tok[p] == 'b' || tok[p] == '#')) accidental += tok[p++] == 'b' ? -1 : 1;
    if (p >= tok.size() || tok[p] < '1' || tok[p] > '7') throw std::runtime_error(name + ": bad melody token " + tok);
    int degree = tok[p++] - '1';
    int shift = 0, vol = volume;
    bool slide = false;
    for (; p < tok.size(); ++p) {
      switch (tok[p]) {
        case '\'': shift += 12; break;
        case ',': shift -= 12; break;
        case '!': vol = Accent(volume); break;
        case '?': vol = static_cast<int>(std::lround(volume * kSoftScale)); break;
        case '~': slide = true; break;
        default: throw std::runtime_error(name + ": bad melody token " + tok);
      }
    }
    PutNote(ch, row, key.Pitch(degree, accidental, octave) + shift, ins, vol);
    if (slide && sounding) {
      Cell(ch, row).effect = kEffectPortamento;
      Cell(ch, row).param = kSlideSpeed;
    }
    sounding = true;
    row += step;
  }
  if (sounding) ReleaseAt(ch, row);
}

void Composer::Bass(int ch, int ins, int lowMidi, int step, const std::string& pattern, int volume, int fromBar,
                    int bars) {
  CheckChannel(ch);
  channelRoles_[ch] = "bass";
  const std::vector<std::string> pat = PatternSteps(pattern, "bass pattern");
  const int start = SectionRow(fromBar), end = RangeEnd(fromBar, bars);
  bool sounding = false;
  for (int row = start, i = 0; row < end; row += step, ++i) {
    const std::string& tok = pat[i % pat.size()];
    if (tok == "-") continue;
    if (tok == ".") {
      if (sounding) Cell(ch, row).note = kXmKeyOff;
      sounding = false;
      continue;
    }
    const Chord& c = ChordAt(row);
    int root = lowMidi + Mod12(c.bass - lowMidi);
    int vol = volume, shift = 0;
    for (size_t k = 1; k < tok.size(); ++k) {
      if (tok[k] == '!') vol = Accent(volume);
      else if (tok[k] == '\'') shift += 12;
      else if (tok[k] == ',') shift -= 12;
      else throw std::runtime_error("bad bass token " + tok);
    }
    auto above = [&](int pc) { return root + Mod12(pc - c.bass); };
    int midi = root;
    switch (tok[0]) {
      case 'R': midi = root; break;
      case '3': midi = above(c.Tone(1)); break;
      case '5': midi = above(c.Tone(2)); break;
      case '7': midi = c.Size() > 3 ? above(c.Tone(3)) : root + 12; break;
      case '8': midi = root + 12; break;
      case 'x': vol = static_cast<int>(std::lround(volume * kGhostScale)); break;
      case 'A':
      case 'S':
        approaches_.push_back({ch, row, ins, vol, lowMidi + shift, tok[0] == 'A'});
        sounding = true;
        continue;
      default: throw std::runtime_error("bad bass token " + tok);
    }
    PutNote(ch, row, midi + shift, ins, vol);
    sounding = true;
    if (tok[0] == 'x' && step > 1) {
      Cell(ch, row + 1).note = kXmKeyOff;
      sounding = false;
    }
  }
  if (sounding) ReleaseAt(ch, end);
}

void Composer::Beat(int ch, const DrumMap& map, int step, const std::string& pattern, const std::string& fill,
                    int fromBar, int bars) {
  CheckChannel(ch);
  if (channelRoles_[ch].empty()) channelRoles_[ch] = "drums";
  std::string pat = Steps(pattern), fl = Steps(fill);
  if (pat.empty()) throw std::runtime_error("empty beat pattern");
  const int start = SectionRow(fromBar), end = RangeEnd(fromBar, bars);
  const int steps = (end - start) / step;
  const int fillStart = steps - static_cast<int>(fl.size());
  for (int i = 0; i < steps; ++i) {
    char c = i >= fillStart ? fl[i - fillStart] : pat[i % pat.size()];
    if (c == '.') continue;
    const DrumHit h = HitFor(map, c);
    PutNote(ch, start + i * step, h.midi, h.instrument, h.volume);
  }
}

void Composer::Sixteenths(int ch, const DrumMap& map, const std::string& pattern, int fromBar, int bars) {
  CheckChannel(ch);
  if (channelRoles_[ch].empty()) channelRoles_[ch] = "drums";
  const std::string pat = Steps(pattern);
  if (pat.empty()) throw std::runtime_error("empty sixteenth pattern");
  const int rpb = setup_.rowsPerBeat;
  if (rpb != 4 && rpb != 2) throw std::runtime_error("sixteenths need four or two rows a beat");
  if (rpb == 2 && setup_.speed % 2 != 0) throw std::runtime_error("sixteenths between rows need an even speed");
  const int start = SectionRow(fromBar), end = RangeEnd(fromBar, bars);
  const int steps = (end - start) * 4 / rpb;
  for (int i = 0; i < steps; ++i) {
    char c = pat[i % pat.size()];
    if (c == '.') continue;
    const DrumHit h = HitFor(map, c);
    const int row = start + i * rpb / 4;
    const bool between = rpb == 2 && i % 2 == 1;
    XmCell& cell = Cell(ch, row);
    if (cell.note != 0 || (between && cell.HasEffect())) continue;
    PutNote(ch, row, h.midi, h.instrument, h.volume);
    if (between) {
      cell.effect = kEffectExtended;
      cell.param = static_cast<uint8_t>(kExtendedNoteDelay | (setup_.speed / 2));
    }
  }
}

namespace {

// Voice-led chord: n distinct pitches in [lo, hi] whose classes cover the chord's colour
// tones, closest to the previous voicing (or to the middle of the range).
std::vector<int> VoiceChord(const Chord& c, int n, int lo, int hi, const std::vector<int>& previous) {
  std::vector<int> classes;
  for (int i = 0; i < c.Size(); ++i)
    if (std::find(classes.begin(), classes.end(), c.Tone(i)) == classes.end()) classes.push_back(c.Tone(i));
  // Fewer voices than tones: the fifth goes first, then the root.
  while (static_cast<int>(classes.size()) > n) {
    int fifth = Mod12(c.root + 7);
    auto f = std::find(classes.begin(), classes.end(), fifth);
    if (f != classes.end() && classes.size() > 2) classes.erase(f);
    else classes.erase(classes.begin());
  }
  // More voices than tones: double the root, then the fifth.
  for (int i = 0; static_cast<int>(classes.size()) < n; ++i) classes.push_back(c.Tone(i % 2 == 0 ? 0 : 2));
  std::vector<std::vector<int>> options(classes.size());
  for (size_t v = 0; v < classes.size(); ++v)
    for (int p = lo; p <= hi; ++p)
      if (Mod12(p) == classes[v]) options[v].push_back(p);
  std::vector<int> best;
  double bestCost = 1e18;
  std::vector<int> pick(classes.size());
  std::function<void(size_t)> walk = [&](size_t v) {
    if (v == classes.size()) {
      std::vector<int> s = pick;
      std::sort(s.begin(), s.end());
      for (size_t i = 1; i < s.size(); ++i)
        if (s[i] == s[i - 1]) return;
      double cost = 0;
      if (previous.size() == s.size()) {
        for (size_t i = 0; i < s.size(); ++i) cost += std::abs(s[i] - previous[i]);
      } else {
        double mid = (lo + hi) / 2.0;
        for (int p : s) cost += std::fabs(p - mid);
      }
      // Close seconds low down turn to mud; wide gaps sound thin.
      for (size_t i = 1; i < s.size(); ++i) {
        int gap = s[i] - s[i - 1];
        if (gap <= 2 && s[i - 1] < 60) cost += 4;
        if (gap > 9) cost += gap - 9;
      }
      if (cost < bestCost) {
        bestCost = cost;
        best = s;
      }
      return;
    }
    for (int p : options[v]) {
      pick[v] = p;
      walk(v + 1);
    }
  };
  walk(0);
  if (best.empty()) throw std::runtime_error("no chord voicing fits the range");
  return best;
}

}  // namespace

void Composer::Chords(const std::vector<int>& chs, int ins, int lowMidi, int highMidi, int step,
                      const std::string& rhythm, int volume, const std::vector<int>& pans, int fromBar, int bars) {
  for (int ch : chs) {
    CheckChannel(ch);
    channelRoles_[ch] = "chords";
  }
  const std::vector<std::string> pat = PatternSteps(rhythm, "chord rhythm");
  const int n = static_cast<int>(chs.size());
  std::vector<int>& voicing = lastVoicing_[chs[0]];
  const int start = SectionRow(fromBar), end = RangeEnd(fromBar, bars);
  bool sounding = false;
  const Chord* playing = nullptr;
  auto strike = [&](int row, bool all) {
    std::vector<int> next = VoiceChord(ChordAt(row), n, lowMidi, highMidi, voicing);
    for (int v = 0; v < n; ++v) {
      if (!all && voicing.size() == next.size() && next[v] == voicing[v]) continue;
      if (pans.empty()) {
        PutNote(chs[v], row, next[v], ins, volume);
      } else {
        PutNote(chs[v], row, next[v], ins, -1);
        Cell(chs[v], row).volume = static_cast<uint8_t>(kXmVolumePanning + std::clamp(pans[v % pans.size()], 0, 15));
      }
    }
    voicing = next;
    playing = &ChordAt(row);
  };
  for (int row = start, i = 0; row < end; row += step, ++i) {
    const std::string& tok = pat[i % pat.size()];
    if (tok == "x") {
      strike(row, true);
      sounding = true;
    } else if (tok == "-") {
      if (sounding && &ChordAt(row) != playing) strike(row, false);
    } else if (tok == ".") {
      if (sounding)
        for (int c : chs) Cell(c, row).note = kXmKeyOff;
      sounding = false;
    } else {
      throw std::runtime_error("bad chord rhythm token " + tok);
    }
    // A chord change between steps still moves held voices on its own row.
    for (int r = row + 1; r < row + step && r < end; ++r)
      if (sounding && &ChordAt(r) != playing) strike(r, false);
  }
  if (sounding)
    for (int c : chs) ReleaseAt(c, end);
}

void Composer::Arp(int ch, int ins, int lowMidi, int step, const std::string& pattern, int volume, int fromBar,
                   int bars) {
  CheckChannel(ch);
  channelRoles_[ch] = "arp";
  const std::vector<std::string> pat = PatternSteps(pattern, "arpeggio pattern");
  const int start = SectionRow(fromBar), end = RangeEnd(fromBar, bars);
  bool sounding = false;
  for (int row = start, i = 0; row < end; row += step, ++i) {
    const std::string& tok = pat[i % pat.size()];
    if (tok == "-") continue;
    if (tok == ".") {
      if (sounding) Cell(ch, row).note = kXmKeyOff;
      sounding = false;
      continue;
    }
    int vol = volume;
    if (tok.size() > 1 && tok[1] == '!') vol = Accent(volume);
    if (tok.size() > 1 && tok[1] == '?') vol = static_cast<int>(std::lround(volume * kSoftScale));
    if (tok[0] < '0' || tok[0] > '9') throw std::runtime_error("bad arpeggio token " + tok);
    const Chord& c = ChordAt(row);
    std::vector<int> tones;
    for (int p = lowMidi; p < lowMidi + 48 && static_cast<int>(tones.size()) < 12; ++p)
      if (c.Contains(p)) tones.push_back(p);
    PutNote(ch, row, tones[tok[0] - '0'], ins, vol);
    sounding = true;
  }
  if (sounding) ReleaseAt(ch, end);
}

void Composer::ChipArp(int ch, int ins, int lowMidi, int step, const std::string& rhythm, int volume, int fromBar,
                       int bars) {
  CheckChannel(ch);
  channelRoles_[ch] = "chip arp";
  const std::vector<std::string> pat = PatternSteps(rhythm, "arpeggio rhythm");
  const int start = SectionRow(fromBar), end = RangeEnd(fromBar, bars);
  bool sounding = false;
  const Chord* playing = nullptr;
  auto strike = [&](int row) {
    const Chord& c = ChordAt(row);
    int root = lowMidi + Mod12(c.root - lowMidi);
    PutNote(ch, row, root, ins, volume);
    playing = &c;
  };
  for (int row = start, i = 0; row < end; row += step, ++i) {
    const std::string& tok = pat[i % pat.size()];
    for (int r = row; r < row + step && r < end; ++r) {
      bool first = r == row;
      if (first && tok == "x") {
        strike(r);
        sounding = true;
      } else if (first && tok == ".") {
        if (sounding) Cell(ch, r).note = kXmKeyOff;
        sounding = false;
      } else if (first && tok != "-") {
        throw std::runtime_error("bad arpeggio rhythm token " + tok);
      } else if (sounding && &ChordAt(r) != playing) {
        strike(r);
      }
      if (sounding) {
        const Chord& c = *playing;
        int x = Mod12(c.Tone(1) - c.root), y = c.Size() > 2 ? Mod12(c.Tone(2) - c.root) : 12;
        if (x == 0) x = 12;
        XmCell& cell = Cell(ch, r);
        cell.effect = kEffectArpeggio;
        cell.param = static_cast<uint8_t>((std::min(x, 15) << 4) | std::min(y, 15));
      }
    }
  }
  if (sounding) ReleaseAt(ch, end);
}

void Composer::Pedal(int ch, int ins, int midi, int volume, int fromBar, int bars) {
  CheckChannel(ch);
  channelRoles_[ch] = "pedal";
  PutNote(ch, SectionRow(fromBar), midi, ins, volume);
  ReleaseAt(ch, RangeEnd(fromBar, bars));
}

void Composer::Harmony(int src, int dst, int ins, int volume) {
  CheckChannel(src);
  CheckChannel(dst);
  channelRoles_[dst] = "harmony";
  const SectionInfo& s = sections_.back();
  const int end = s.startRow + s.bars * RowsPerBar();
  for (int row = s.startRow; row < end; ++row) {
    const XmCell& from = cells_[src][row];
    if (from.note == kXmKeyOff) {
      Cell(dst, row).note = kXmKeyOff;
    } else if (from.note >= 1 && from.note <= 96) {
      int midi = from.note + 11;
      const Chord& c = ChordAt(row);
      int target = -1;
      for (int p = midi - 3; p >= midi - 9; --p)
        if (c.Contains(p)) {
          target = p;
          break;
        }
      if (target < 0) {
        for (int p = midi - 3; p >= midi - 4; --p)
          if (s.key.InScale(Mod12(p))) {
            target = p;
            break;
          }
      }
      if (target < 0) target = midi - 3;
      PutNote(dst, row, target, ins, volume);
    }
  }
}

void Composer::Hit(int ch, int bar, int row, int ins, int midi, int volume) {
  CheckChannel(ch);
  PutNote(ch, SectionRow(bar) + row, midi, ins, volume);
}

void Composer::Effect(int ch, int bar, int row, int effect, int param) {
  CheckChannel(ch);
  XmCell& c = Cell(ch, SectionRow(bar) + row);
  c.effect = static_cast<uint8_t>(effect);
  c.param = static_cast<uint8_t>(param);
}

void Composer::KeyOff(int ch, int bar, int row) {
  CheckChannel(ch);
  Cell(ch, SectionRow(bar) + row).note = kXmKeyOff;
}

void Composer::Echo(int src, int dst, int ins, int delayRows, double volumeScale) {
  CheckChannel(src);
  CheckChannel(dst);
  channelRoles_[dst] = "echo";
  passes_.push_back([this, src, dst, ins, delayRows, volumeScale] {
    int defaultVolume = instruments_.at(ins - 1).volume;
    for (int row = 0; row + delayRows < totalRows_; ++row) {
      const XmCell& from = cells_[src][row];
      XmCell& to = cells_[dst][row + delayRows];
      if (from.note == 0 || to.note != 0) continue;
      if (from.note == kXmKeyOff) {
        to.note = kXmKeyOff;
        continue;
      }
      int vol = from.volume >= 0x10 && from.volume <= 0x50 ? from.volume - 0x10 : defaultVolume;
      to.note = from.note;
      to.instrument = static_cast<uint8_t>(ins);
      to.volume = VolumeByte(static_cast<int>(std::lround(vol * volumeScale)));
    }
  });
}

void Composer::Vibrato(int ch, int minRows, int delayRows, int speed, int depth) {
  CheckChannel(ch);
  passes_.push_back([this, ch, minRows, delayRows, speed, depth] {
    for (const Note& n : NotesOf(ch)) {
      if (n.length < minRows) continue;
      bool first = true;
      for (int r = n.row + delayRows; r < n.row + n.length; ++r) {
        XmCell& c = cells_[ch][r];
        if (c.HasEffect()) continue;
        c.effect = kEffectVibrato;
        c.param = first ? static_cast<uint8_t>((speed << 4) | depth) : 0;
        first = false;
      }
    }
  });
}

int Composer::LeadInLength() const { return std::max(1, setup_.rowsPerBeat / 2); }

bool Composer::LeadInto(int ch, int row, int midi, double volumeScale) {
  const int length = LeadInLength();
  for (int r = row - length; r < row; ++r)
    if (cells_[ch][r].note != 0 || cells_[ch][r].HasEffect()) return false;
  const XmCell& target = cells_[ch][row];
  int volume = target.volume >= kXmVolumeSet && target.volume <= kXmVolumeSet + 64
                   ? target.volume - kXmVolumeSet
                   : instruments_.at(target.instrument - 1).volume;
  XmCell& cell = cells_[ch][row - length];
  cell.note = static_cast<uint8_t>(XmNote(midi));
  cell.instrument = target.instrument;
  cell.volume = VolumeByte(static_cast<int>(std::lround(volume * volumeScale)));
  return true;
}

void Composer::ChromaticApproach(int ch, double volumeScale) {
  AddLeadIns(ch, volumeScale, [this](const Note& before, const Note& n) {
    // The held note before keeps at least a beat.
    if (n.row % RowsPerBar() != 0 || n.row - before.row < setup_.rowsPerBeat + LeadInLength()) return -1;
    const int approach = n.midi - 1;
    if (SectionAt(n.row).key.InScale(Mod12(approach)) || approach == before.midi) return -1;
    return approach;
  });
}

void Composer::PassingNotes(int ch, double volumeScale) {
  AddLeadIns(ch, volumeScale, [this](const Note& before, const Note& n) {
    if (std::abs(n.midi - before.midi) != 2 || n.row - before.row < setup_.rowsPerBeat) return -1;
    // Only off the beat: a half step that lands on a beat is a clash, not a passing note.
    if ((n.row - LeadInLength()) % setup_.rowsPerBeat == 0) return -1;
    const int between = (n.midi + before.midi) / 2;
    if (SectionAt(n.row).key.InScale(Mod12(between))) return -1;
    return between;
  });
}

void Composer::AddLeadIns(int ch, double volumeScale, std::function<int(const Note&, const Note&)> pick) {
  CheckChannel(ch);
  passes_.push_back([this, ch, volumeScale, pick] {
    std::vector<Note> notes = NotesOf(ch);
    for (size_t i = 1; i < notes.size(); ++i) {
      const Note& n = notes[i];
      const Note& before = notes[i - 1];
      if (before.row + before.length < n.row) continue;  // a rest before it: nothing to lead from
      const int midi = pick(before, n);
      if (midi >= 0) LeadInto(ch, n.row, midi, volumeScale);
    }
  });
}

void Composer::Swing(int ch, int rows, int delayTicks) {
  CheckChannel(ch);
  if (delayTicks <= 0 || delayTicks >= setup_.speed) throw std::runtime_error("swing delay must be inside one row");
  passes_.push_back([this, ch, rows, delayTicks] {
    for (int row = rows; row < totalRows_; row += 2 * rows) {
      XmCell& c = cells_[ch][row];
      if (c.note == 0 || c.HasEffect()) continue;
      c.effect = kEffectExtended;
      c.param = static_cast<uint8_t>(kExtendedNoteDelay | delayTicks);
    }
  });
}

std::vector<Composer::Note> Composer::NotesOf(int ch) const {
  std::vector<Note> out;
  for (int row = 0; row < totalRows_; ++row) {
    uint8_t n = cells_[ch][row].note;
    if (n == 0) continue;
    if (!out.empty() && out.back().length < 0) out.back().length = row - out.back().row;
    if (n <= 96) out.push_back({row, -1, n + 11});
  }
  if (!out.empty() && out.back().length < 0) out.back().length = totalRows_ - out.back().row;
  return out;
}

void Composer::ResolveApproaches() {
  for (const Approach& a : approaches_) {
    const Chord* next = NextChordAfter(a.row);
    int target = a.lowMidi + Mod12(next->bass - a.lowMidi);
    // Come from whichever side is nearer the note before, so the line keeps moving smoothly.
    int before = -1;
    for (int r = a.row - 1; r >= 0 && r >= a.row - RowsPerBar(); --r) {
      uint8_t n = cells_[a.ch][r].note;
      if (n >= 1 && n <= 96) {
        before = n + 11;
        break;
      }
    }
    bool fromAbove = before > target + 2;
    int midi;
    if (a.chromatic) {
      midi = fromAbove ? target + 1 : target - 1;
    } else {
      const Key& key = SectionAt(a.row).key;
      midi = fromAbove ? target + 1 : target - 1;
      while (!key.InScale(Mod12(midi))) midi += fromAbove ? 1 : -1;
    }
    PutNote(a.ch, a.row, midi, a.ins, a.volume);
  }
}

void Composer::ApplyReleases() {
  for (auto [ch, row] : releases_) {
    if (row >= totalRows_) row = loopRow_ + (row - totalRows_);
    if (row >= totalRows_) continue;
    XmCell& c = cells_[ch][row];
    if (c.note == 0) c.note = kXmKeyOff;
  }
}

void Composer::AnalyzeMelodies(std::string& out) const {
  for (int ch : melodyChannels_) {
    int notes = 0, strong = 0, strongChord = 0, inScale = 0, ends = 0, endsChord = 0, lo = 999, hi = -1;
    int steps = 0, bigLeaps = 0;
    std::string offChord;
    std::vector<Note> list = NotesOf(ch);
    for (size_t i = 0; i < list.size(); ++i) {
      const Note& n = list[i];
      ++notes;
      // Stepwise motion (up to a whole tone) and leaps beyond a sixth, within a phrase.
      if (i > 0 && n.row - list[i - 1].row < 2 * setup_.rowsPerBeat) {
        int leap = std::abs(n.midi - list[i - 1].midi);
        if (leap <= 2) ++steps;
        if (leap > 9) ++bigLeaps;
      }
      lo = std::min(lo, n.midi);
      hi = std::max(hi, n.midi);
      const Chord& c = ChordAt(n.row);
      if (SectionAt(n.row).key.InScale(Mod12(n.midi))) ++inScale;
      if (n.row % setup_.rowsPerBeat == 0) {
        ++strong;
        if (c.Contains(n.midi)) {
          ++strongChord;
        } else if (offChord.size() < 400) {
          static const char* kNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
          char where[48];
          std::snprintf(where, sizeof where, " %d.%d:%s/%s", n.row / RowsPerBar() + 1,
                        (n.row % RowsPerBar()) / setup_.rowsPerBeat + 1, kNames[Mod12(n.midi)], kNames[c.root]);
          offChord += where;
        }
      }
      // A phrase ends where the next note is two beats or more away (a long note or a rest).
      int next = i + 1 < list.size() ? list[i + 1].row : totalRows_;
      if (next - n.row >= 2 * setup_.rowsPerBeat) {
        ++ends;
        if (c.Contains(n.midi)) ++endsChord;
      }
    }
    char line[256];
    std::snprintf(line, sizeof line,
                  "  melody ch%d: %d notes, range %d..%d, in key %d%%, strong beats on chord tones %d%% (%d), "
                  "phrase ends on chord tones %d%% (%d), steps %d%%, leaps over a sixth %d\n",
                  ch, notes, lo, hi, notes ? 100 * inScale / notes : 0, strong ? 100 * strongChord / strong : 0, strong,
                  ends ? 100 * endsChord / ends : 0, ends, notes ? 100 * steps / notes : 0, bigLeaps);
    out += line;
    if (!offChord.empty()) out += "    off-chord strong beats (bar.beat:note/chord):" + offChord + "\n";
  }
}

void Composer::PlaceLevels(const std::string& title) {
  // Each section's level goes on its first row where it differs from the section before; the
  // first row always sets it, and the loop start sets it again when the song's last section
  // plays at another level, since the loop never returns to row 0.
  auto levelOf = [&](const SectionInfo& s) { return s.level >= 0 ? s.level : std::clamp(setup_.globalVolume, 0, 64); };
  for (size_t i = 0; i < sections_.size(); ++i) {
    const SectionInfo& s = sections_[i];
    bool place = i == 0 || levelOf(s) != levelOf(sections_[i - 1]) ||
                 (s.startRow == loopRow_ && levelOf(s) != levelOf(sections_.back()));
    if (!place) continue;
    bool placed = false;
    for (int ch = 0; ch < setup_.channels && !placed; ++ch) {
      XmCell& c = cells_[ch][s.startRow];
      if (!c.HasEffect()) {
        c.effect = kEffectGlobalVolume;
        c.param = static_cast<uint8_t>(levelOf(s));
        placed = true;
      }
    }
    if (!placed) throw std::runtime_error(title + ": no free effect at the start of " + s.name + " for its level");
  }
}

XmModule Composer::Build(const std::string& title, const std::string& tracker, size_t targetBytes) {
  if (sections_.empty()) throw std::runtime_error(title + ": no sections");
  ResolveApproaches();
  ApplyReleases();
  for (auto& pass : passes_) pass();

  int limited = 0;
  if (setup_.volumeScale != 1.0) {
    auto scaled = [&](int v) {
      int out = static_cast<int>(std::lround(v * setup_.volumeScale));
      if (out > 64 && !setup_.limitVolumes) throw std::runtime_error(title + ": volume scale pushes a volume past 64");
      if (out > 64) ++limited;
      return std::min(out, 64);
    };
    for (auto& channel : cells_)
      for (XmCell& cell : channel)
        if (cell.volume >= kXmVolumeSet && cell.volume <= kXmVolumeSet + 64)
          cell.volume = VolumeByte(scaled(cell.volume - kXmVolumeSet));
    for (InstrumentPatch& patch : instruments_) patch.volume = scaled(patch.volume);
  }

  PlaceLevels(title);

  // A key-off on an instrument without a volume envelope cuts the note dead: every released
  // note must belong to an instrument with an envelope (and so a fadeout).
  for (int ch = 0; ch < setup_.channels; ++ch) {
    int playing = 0;
    for (int row = 0; row < totalRows_; ++row) {
      const XmCell& cell = cells_[ch][row];
      if (cell.instrument) playing = cell.instrument;
      if (cell.note == kXmKeyOff && playing && instruments_[playing - 1].envelope.points.empty())
        throw std::runtime_error(title + ": key-off on " + instruments_[playing - 1].name + ", which has no envelope");
    }
  }

  CompiledPatterns compiled = CompilePatterns(cells_, totalRows_, RowsPerBar(), loopRow_);

  XmModule m;
  m.name = title.substr(0, 20);
  m.trackerName = tracker.substr(0, 20);
  m.channels = setup_.channels;
  m.speed = setup_.speed;
  m.bpm = setup_.bpm;
  m.restart = compiled.restart;
  m.orders = compiled.orders;
  m.patterns = compiled.patterns;
  for (const InstrumentPatch& patch : instruments_) m.instruments.push_back(BuildInstrument(patch, setup_.bpm));

  size_t fitterFrames = 0;
  if (fitterIndex_ >= 0 && targetBytes > 0) {
    size_t probe = SerializeXm(m).size();
    size_t probeFrames = m.instruments[fitterIndex_].samples.at(0).frames.size();
    if (m.instruments[fitterIndex_].samples.size() != 1 || m.instruments[fitterIndex_].samples[0].sixteenBit)
      throw std::runtime_error(title + ": the fitter must be one 8-bit sample");
    long long want = static_cast<long long>(targetBytes) - static_cast<long long>(probe) + static_cast<long long>(probeFrames);
    if (want < static_cast<long long>(fitterMin_) || want > static_cast<long long>(fitterMax_)) {
      std::string parts = "patterns " + std::to_string(compiled.bytes) + " (" + std::to_string(compiled.patterns.size()) +
                          " of " + std::to_string(compiled.patternRows) + " rows)";
      for (const XmInstrument& ins : m.instruments) parts += ", " + ins.name + " " + std::to_string(XmInstrumentBytes(ins));
      throw std::runtime_error(title + ": cannot reach " + std::to_string(targetBytes) + " bytes: the fitter would need " +
                               std::to_string(want) + " frames, outside " + std::to_string(fitterMin_) + ".." +
                               std::to_string(fitterMax_) + "; " + parts);
    }
    fitterFrames = static_cast<size_t>(want);
    instruments_[fitterIndex_] = fitterMake_(fitterFrames);
    instruments_[fitterIndex_].volume =
        std::min(64, static_cast<int>(std::lround(instruments_[fitterIndex_].volume * setup_.volumeScale)));
    if (instruments_[fitterIndex_].zones.size() != 1 || instruments_[fitterIndex_].zones[0].sample.wave.size() != fitterFrames)
      throw std::runtime_error(title + ": the fitter made a sample of the wrong length");
    m.instruments[fitterIndex_] = BuildInstrument(instruments_[fitterIndex_], setup_.bpm);
  }
  size_t size = SerializeXm(m).size();
  if (targetBytes > 0 && size != targetBytes)
    throw std::runtime_error(title + ": built " + std::to_string(size) + " bytes, not " + std::to_string(targetBytes));

  // The review report.
  const double rowSeconds = setup_.speed * 2.5 / setup_.bpm;
  char line[256];
  report_.clear();
  std::snprintf(line, sizeof line, "%s: %d BPM (speed %d, %d rows/beat, %d/4), %d channels, %.1f s, loops to %.1f s\n",
                title.c_str(), setup_.bpm, setup_.speed, setup_.rowsPerBeat, setup_.beatsPerBar, setup_.channels,
                totalRows_ * rowSeconds, loopRow_ * rowSeconds);
  report_ += line;
  std::snprintf(line, sizeof line, "  %zu orders of %d rows, %zu patterns (%zu bytes), fitter %zu frames\n",
                compiled.orders.size(), compiled.patternRows, compiled.patterns.size(), compiled.bytes, fitterFrames);
  report_ += line;
  if (limited > 0) {
    std::snprintf(line, sizeof line, "  %d volumes limited to 64\n", limited);
    report_ += line;
  }
  report_ += "  sections (bars @ start):";
  for (const SectionInfo& s : sections_) {
    std::snprintf(line, sizeof line, " %s(%d @%.1fs)", s.name.c_str(), s.bars, s.startRow * rowSeconds);
    report_ += line;
  }
  report_ += "\n  instruments:";
  for (const XmInstrument& ins : m.instruments) report_ += " " + ins.name + "=" + std::to_string(XmInstrumentBytes(ins));
  report_ += "\n";
  for (int ch = 0; ch < setup_.channels; ++ch) {
    int notes = 0;
    for (int r = 0; r < totalRows_; ++r)
      if (cells_[ch][r].note >= 1 && cells_[ch][r].note <= 96) ++notes;
    std::snprintf(line, sizeof line, "  ch%d %-8s %5d notes, %.2f per second\n", ch, channelRoles_[ch].c_str(), notes,
                  notes / (totalRows_ * rowSeconds));
    report_ += line;
  }
  AnalyzeMelodies(report_);
  return m;
}
