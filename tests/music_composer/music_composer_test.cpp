// The composer's building blocks, each shown with a small module or sound: cells pack and load
// as written, notes sound at concert pitch, loops close without a step, chord symbols and
// melody notation mean what they say, section levels, sixteenths, pedals and approach notes
// land where they should, and a module reaches an exact size or says why not.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "chord.h"
#include "composer.h"
#include "recipes.h"
#include "title_list.h"
#include "xm_module.h"

namespace {

constexpr int kRate = 44100;

std::vector<float> Play(const std::vector<uint8_t>& bytes, double seconds, std::string* log = nullptr) {
  std::ostringstream out;
  openmpt::module m(bytes.data(), bytes.size(), out);
  std::vector<float> audio(static_cast<size_t>(seconds * kRate) * 2);
  size_t frames = m.read_interleaved_stereo(kRate, audio.size() / 2, audio.data());
  audio.resize(frames * 2);
  if (log) *log = out.str();
  return audio;
}

// Frequency of the left channel from its rising zero crossings between two times.
double Frequency(const std::vector<float>& a, double from, double to) {
  size_t s0 = static_cast<size_t>(from * kRate), s1 = static_cast<size_t>(to * kRate);
  double first = -1, last = -1;
  int crossings = 0;
  for (size_t i = s0 + 1; i < s1; ++i) {
    float x0 = a[2 * (i - 1)], x1 = a[2 * i];
    if (x0 < 0 && x1 >= 0) {
      double t = (i - 1) + x0 / (x0 - x1);
      if (first < 0) first = t;
      last = t;
      ++crossings;
    }
  }
  return crossings > 1 ? (crossings - 1) * kRate / (last - first) : 0.0;
}

SongSetup PlainSetup() {
  SongSetup s;
  s.channels = 2;
  s.bpm = 125;
  s.key = Key{kC, Mode::kMajor};
  return s;
}

// The cells of one channel in play order, through the order list.
std::vector<XmCell> ChannelCells(const XmModule& m, int ch) {
  std::vector<XmCell> out;
  for (uint8_t order : m.orders) {
    const XmPattern& p = m.patterns[order];
    for (int r = 0; r < p.rows; ++r) out.push_back(p.cells[r * m.channels + ch]);
  }
  return out;
}

// Global-volume commands (Gxx) by row, wherever the build put them.
std::vector<std::pair<int, int>> LevelChanges(const XmModule& m) {
  std::vector<std::pair<int, int>> out;
  for (int ch = 0; ch < m.channels; ++ch) {
    std::vector<XmCell> cells = ChannelCells(m, ch);
    for (size_t r = 0; r < cells.size(); ++r)
      if (cells[r].effect == 0x10) out.push_back({static_cast<int>(r), cells[r].param});
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST(XmWriter, PacksCellsTheWayTheFormatReadsThem) {
  XmPattern p;
  p.rows = 3;
  p.cells = {XmCell{49, 1, 0x30, 0x4, 0x23}, XmCell{},                 // all five fields, empty
             XmCell{kXmKeyOff, 0, 0, 0, 0}, XmCell{0, 0, 0, 0x0, 0x37},  // key-off, arpeggio 037
             XmCell{61, 2, 0, 0, 0}, XmCell{0, 0, 0x10, 0, 0}};          // note + instrument, volume 0
  std::vector<uint8_t> packed = PackXmPattern(p, 2);
  const std::vector<uint8_t> expected = {49, 1, 0x30, 0x4, 0x23, 0x80, 0x81, kXmKeyOff, 0x90, 0x37,
                                         0x83, 61, 2, 0x84, 0x10};
  EXPECT_EQ(packed, expected);
}

TEST(XmWriter, ModuleLoadsWithTheNotesInstrumentsAndVolumesWritten) {
  Composer c(PlainSetup());
  int lead = c.Add(WaveInstrument("lead", {WaveKind::kSaw, 0.5, 20}, kNoteC3, kNoteC6, AdsrEnvelope(0.01, 0.1, 0.8, 0.1), 50, 128));
  c.Section("a", "1 5");
  c.Melody(0, lead, 4, 4, "1 3 5 . | 5 - #4! 3?", 40);
  XmModule m = c.Build("WRITER", "TEST", 0);
  std::vector<uint8_t> bytes = SerializeXm(m);
  std::ostringstream log;
  openmpt::module mod(bytes.data(), bytes.size(), log);
  EXPECT_EQ(log.str(), "");
  EXPECT_EQ(mod.get_metadata("title"), "WRITER");
  ASSERT_EQ(mod.get_num_orders(), 1);
  const int pattern = mod.get_order_pattern(0);
  // XM note 49 (C-4, middle C) is note 61 in libopenmpt's numbering.
  const int notes[] = {61, 65, 68, 0, 68, 0, 67, 65};
  const int volumes[] = {40, 40, 40, 0, 40, 0, 50, 24};
  for (int beat = 0; beat < 8; ++beat) {
    int row = beat * 4;
    if (notes[beat] == 0) continue;
    EXPECT_EQ(mod.get_pattern_row_channel_command(pattern, row, 0, openmpt::module::command_note), notes[beat]) << beat;
    EXPECT_EQ(mod.get_pattern_row_channel_command(pattern, row, 0, openmpt::module::command_instrument), 1) << beat;
    EXPECT_EQ(mod.get_pattern_row_channel_command(pattern, row, 0, openmpt::module::command_volume), volumes[beat]) << beat;
  }
  // The rest is a key-off (libopenmpt note 255), so the held C stops on beat 4.
  EXPECT_EQ(mod.get_pattern_row_channel_command(pattern, 12, 0, openmpt::module::command_note), 255);
}

TEST(Tuning, NotesSoundAtConcertPitch) {
  struct Case {
    const char* name;
    InstrumentPatch patch;
    int midi;
    double hz;
  };
  const Case cases[] = {
      {"single cycle", WaveInstrument("sine", {WaveKind::kSine, 0.5, 1}, kNoteC1, kNoteC7, AdsrEnvelope(0.01, 0.1, 1, 0.1), 64, 128),
       69, 440.0},
      {"low zone", WaveInstrument("sine", {WaveKind::kSine, 0.5, 1}, kNoteC1, kNoteC7, AdsrEnvelope(0.01, 0.1, 1, 0.1), 64, 128),
       45, 110.0},
      {"detuned pad", Instrument("pad", DetunedPad({WaveKind::kSine, 0.5, 1}, 32, 96, {0}, 1), {}, 64, 128, true), 72,
       523.25},
      {"bell", Instrument("bell", BellTone(0.5, 1, 128), {}, 64, 128, true), 81, 880.0},
  };
  for (const Case& k : cases) {
    Composer c(PlainSetup());
    int ins = c.Add(k.patch);
    c.Section("a", "1");
    c.Hit(0, 0, 0, ins, k.midi, 64);
    std::vector<float> audio = Play(SerializeXm(c.Build("PITCH", "TEST", 0)), 1.6);
    // The bell is read from its tail, where only the hum tone is left.
    EXPECT_NEAR(Frequency(audio, 0.9, 1.5), k.hz, k.hz * 0.002) << k.name;
  }
}

// Across the seam (last frame, then the loop's first) the wave bends no more sharply than it
// does inside the loop: a loop a frame long or short leaves a kink far above that. The loop
// also carries no offset.
void ExpectSeamlessLoop(const SynthSample& s, const std::string& name) {
  ASSERT_GT(s.loopLength, 2u) << name;
  const size_t a = s.loopStart, n = s.loopLength;
  auto at = [&](size_t i) { return s.wave[a + i % n]; };
  double sharpest = 0, sum = 0;
  for (size_t i = 1; i + 1 < n; ++i) sharpest = std::max(sharpest, std::fabs(at(i + 1) - 2 * at(i) + at(i - 1)));
  for (size_t i = 0; i < n; ++i) sum += at(i);
  double seamLast = std::fabs(at(0) - 2 * at(n - 1) + at(n - 2));
  double seamFirst = std::fabs(at(1) - 2 * at(0) + at(n - 1));
  EXPECT_LE(std::max(seamLast, seamFirst), sharpest * 1.5) << name;
  EXPECT_LT(std::fabs(sum / n), 0.01) << name;
}

// Smooth settings of each generator, so that a loop even one frame off stands out.
TEST(Synthesis, LoopsCloseWithoutAStepOrOffset) {
  ExpectSeamlessLoop(SingleCycle({WaveKind::kPulse, 0.125, 4}, 64), "pulse 12.5%");
  ExpectSeamlessLoop(SingleCycle({WaveKind::kPulse, 0.25, 4}, 64), "pulse 25%");
  ExpectSeamlessLoop(SingleCycle({WaveKind::kSaw, 0.5, 8}, 256), "saw");
  ExpectSeamlessLoop(SingleCycle({WaveKind::kTriangle, 0.5, 3}, 64), "triangle");
  ExpectSeamlessLoop(DetunedPad({WaveKind::kTriangle, 0.5, 3}, 64, 96, {-1, 0, 1}, 7), "detuned pad");
  ExpectSeamlessLoop(PluckTone({WaveKind::kSaw, 0.5, 30}, 0.2, 0.3, 0.05, 3, 64), "pluck");
  ExpectSeamlessLoop(EPianoTone(4, 32, 0.5), "electric piano");
  ExpectSeamlessLoop(BellTone(0.7, 5, 128), "bell");
}

TEST(Synthesis, OneShotsEndInSilence) {
  const SynthSample sounds[] = {Kick({}, 1), Snare({}, 2), Clap(22050, 0.05, 3), Hat({}, 4), Crash(5000, 22050, 5),
                                Tick(22050, 1000, 6), Surf(8000, 6000, 1500, 7)};
  for (const SynthSample& s : sounds) {
    ASSERT_FALSE(s.wave.empty());
    EXPECT_EQ(s.loopLength, 0u);
    EXPECT_LT(std::fabs(s.wave.back()), 1e-3);
  }
  EXPECT_EQ(Crash(5000, 22050, 5).wave.size(), 5000u);
}

TEST(ChordSymbols, ParseAgainstTheKey) {
  struct Case {
    Key key;
    const char* symbol;
    std::vector<int> classes;  // root first
    int bass;
  };
  const Case cases[] = {
      {{kC, Mode::kMajor}, "1", {kC, kE, kG}, kC},
      {{kC, Mode::kMajor}, "6m", {kA, kC, kE}, kA},
      {{kC, Mode::kMajor}, "b7", {kBb, kD, kF}, kBb},
      {{kC, Mode::kMajor}, "5/7", {kG, kB, kD}, kB},
      {{kE, Mode::kDorian}, "47", {kA, kCs, kE, kG}, kA},
      {{kF, Mode::kMinor}, "5", {kC, kE, kG}, kC},
      {{kAb, Mode::kMajor}, "4m", {kDb, kE, kAb}, kDb},
      {{kF, Mode::kMajor}, "2m7_57", {}, 0},
  };
  for (const Case& k : cases) {
    if (k.classes.empty()) {
      EXPECT_THROW(ParseChord(k.key, k.symbol), std::runtime_error) << k.symbol;
      continue;
    }
    Chord c = ParseChord(k.key, k.symbol);
    ASSERT_EQ(c.Size(), static_cast<int>(k.classes.size())) << k.symbol;
    for (int i = 0; i < c.Size(); ++i) EXPECT_EQ(c.Tone(i), k.classes[i]) << k.symbol << " tone " << i;
    EXPECT_EQ(c.bass, k.bass) << k.symbol;
  }
  EXPECT_THROW(ParseChord({kC, Mode::kMajor}, "8"), std::runtime_error);
  EXPECT_THROW(ParseChord({kC, Mode::kMajor}, "1xyz"), std::runtime_error);
}

TEST(Notation, BadMelodiesAndBarsAreRefused) {
  Composer c(PlainSetup());
  int lead = c.Add(WaveInstrument("lead", {WaveKind::kSine, 0.5, 1}, kNoteC3, kNoteC6, AdsrEnvelope(0.01, 0.1, 0.8, 0.1), 50, 128));
  c.Section("a", "1 4");
  EXPECT_THROW(c.Melody(0, lead, 4, 4, "1 2 3 | 4 5 6 7", 40), std::runtime_error);   // short bar
  EXPECT_THROW(c.Melody(0, lead, 4, 4, "1 2 3 4 5 6 7 1' 2'", 40), std::runtime_error);  // past the section
  EXPECT_THROW(c.Melody(0, lead, 4, 4, "1 2 9 4", 40), std::runtime_error);           // no degree 9
  EXPECT_THROW(c.Section("b", "1 1_2_3"), std::runtime_error);                         // 16 rows don't split in three
}

TEST(Notation, BassWalksIntoTheNextChordByAHalfStep) {
  Composer c(PlainSetup());
  int bass = c.Add(WaveInstrument("bass", {WaveKind::kSaw, 0.5, 20}, kNoteC1, kNoteC4, AdsrEnvelope(0.01, 0.1, 0.8, 0.1), 50, 128));
  c.Section("a", "1 4 5 1");
  c.LoopHere();
  c.Bass(0, bass, 36, 4, "R - - A", 40);
  XmModule m = c.Build("BASS", "TEST", 0);
  // Roots C, F, G, C on beat one; on beat four a half step next to the coming root, from
  // below while rising to it, from above when the line falls (G down to C comes via C#); the
  // last bar leads back to the loop's C.
  const int expected[][2] = {{0, 36}, {12, 40}, {16, 41}, {28, 42}, {32, 43}, {44, 37}, {48, 36}, {60, 35}};
  std::vector<int> rowNotes(64, 0);
  int row = 0;
  for (uint8_t order : m.orders) {
    const XmPattern& p = m.patterns[order];
    for (int r = 0; r < p.rows; ++r, ++row) rowNotes[row] = p.cells[r * m.channels].note;
  }
  for (auto [r, midi] : expected) EXPECT_EQ(rowNotes[r], XmNote(midi)) << "row " << r;
}

TEST(Fitting, ReachesTheExactSizeOrSaysWhy) {
  auto build = [](size_t target) {
    Composer c(PlainSetup());
    int lead = c.Add(WaveInstrument("lead", {WaveKind::kSaw, 0.5, 20}, kNoteC3, kNoteC6, AdsrEnvelope(0.01, 0.1, 0.8, 0.1), 50, 128));
    int crash = c.AddFitter([](size_t frames) { return Instrument("crash", Crash(frames, 22050, 9), {}, 30, 128, false); }, 1000,
                            20000);
    c.Section("a", "1 5 6m 4");
    c.LoopHere();
    c.Melody(0, lead, 4, 4, "1 3 5 3 | 5 - - - | 6 - 5 - | 4 - - -", 40);
    c.Hit(1, 0, 0, crash, 60, 30);
    return SerializeXm(c.Build("FIT", "TEST", target));
  };
  for (size_t target : {9000u, 9001u, 15555u, 20000u}) EXPECT_EQ(build(target).size(), target);
  try {
    build(800);
    FAIL() << "a module smaller than its fixed parts was built";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("cannot reach 800 bytes"), std::string::npos) << e.what();
  }
  EXPECT_THROW(build(60000), std::runtime_error);
}

TEST(Guards, KeyOffOnAnInstrumentWithoutEnvelopeIsRefused) {
  Composer c(PlainSetup());
  int raw = c.Add(Instrument("raw", SingleCycle({WaveKind::kSaw, 0.5, 20}, 64), {}, 50, 128, true));
  c.Section("a", "1");
  c.Melody(0, raw, 4, 4, "1 - . .", 40);
  EXPECT_THROW(c.Build("GUARD", "TEST", 0), std::runtime_error);
}

TEST(Guards, VolumeScaleNeverClipsAVolumeUnlessLimited) {
  for (bool limit : {false, true}) {
    SongSetup s = PlainSetup();
    s.volumeScale = 1.5;
    s.limitVolumes = limit;
    Composer c(s);
    int lead = c.Add(WaveInstrument("lead", {WaveKind::kSine, 0.5, 1}, kNoteC3, kNoteC6, AdsrEnvelope(0.01, 0.1, 0.8, 0.1), 40, 128));
    c.Section("a", "1");
    c.Melody(0, lead, 4, 4, "1 - 3 -", 50);
    c.Melody(1, lead, 4, 4, "5 - 1' -", 30);
    if (!limit) {
      EXPECT_THROW(c.Build("LOUD", "TEST", 0), std::runtime_error);
      continue;
    }
    XmModule m = c.Build("LOUD", "TEST", 0);
    EXPECT_EQ(ChannelCells(m, 0)[0].volume, kXmVolumeSet + 64);  // 50 * 1.5 held at 64
    EXPECT_EQ(ChannelCells(m, 1)[0].volume, kXmVolumeSet + 45);  // 30 * 1.5 scaled as asked
    EXPECT_EQ(m.instruments[0].samples[0].volume, 60);
  }
}

TEST(SectionLevels, SetWhereTheyChangeAndAgainWhereTheLoopComesRound) {
  struct Case {
    const char* name;
    std::vector<double> levels;  // dB per section (0 = the song's level); the loop starts at section 1
    std::vector<std::pair<int, int>> expected;  // (row, global volume)
  };
  // Sections of one bar (16 rows); the song's level is 64.
  const Case cases[] = {
      {"flat", {0, 0, 0}, {{0, 64}}},
      {"quiet intro", {-6, 0, 0}, {{0, 32}, {16, 64}}},
      // The last section is quiet, so the loop start must restore the full level.
      {"quiet ending", {0, 0, -6}, {{0, 64}, {32, 32}, {16, 64}}},
  };
  for (const Case& k : cases) {
    Composer c(PlainSetup());
    int lead = c.Add(WaveInstrument("lead", {WaveKind::kSine, 0.5, 1}, kNoteC3, kNoteC6, AdsrEnvelope(0.01, 0.1, 0.8, 0.1), 40, 128));
    for (size_t i = 0; i < k.levels.size(); ++i) {
      std::string name = "s";
      name += static_cast<char>('0' + i);
      c.Section(name, "1");
      if (i == 1) c.LoopHere();
      if (k.levels[i] != 0) c.SectionLevel(k.levels[i]);
      c.Melody(0, lead, 4, 4, "1 3 5 3", 40);
    }
    std::vector<std::pair<int, int>> got = LevelChanges(c.Build("LEVELS", "TEST", 0));
    std::vector<std::pair<int, int>> want = k.expected;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(got, want) << k.name;
  }
  Composer c(PlainSetup());
  c.Section("a", "1");
  EXPECT_THROW(c.SectionLevel(3), std::runtime_error);  // above the song's level
}

TEST(Sixteenths, FallOnRowsOrHalfwayBetweenThemAndLeaveWrittenHitsAlone) {
  struct Case {
    int rowsPerBeat;
    std::vector<int> notedRows;   // rows holding a hit after the overlay
    std::vector<int> delayedRows;  // of those, the ones started half a row late (EDx)
  };
  // Pattern ". x . x" over one beat, laid over a written hit on its first row. On the two-row
  // grid the second sixteenth would share row 0 with that hit and is dropped; the fourth starts
  // half-way through row 1.
  const Case cases[] = {{4, {0, 1, 3}, {}}, {2, {0, 1}, {1}}};
  for (const Case& k : cases) {
    SongSetup s = PlainSetup();
    s.rowsPerBeat = k.rowsPerBeat;
    s.speed = 6;
    Composer c(s);
    int hat = c.Add(Instrument("hat", Hat({}, 4), {}, 30, 128, false));
    int kick = c.Add(Instrument("kick", Kick({}, 5), {}, 50, 128, false));
    c.Section("a", "1");
    c.Hit(0, 0, 0, kick, 60, 50);
    c.Sixteenths(0, {{'x', {hat, 60, 20}}}, ". x . x . . . . . . . . . . . .");
    std::vector<XmCell> cells = ChannelCells(c.Build("SIXTEENTHS", "TEST", 0), 0);
    for (int r = 0; r < k.rowsPerBeat; ++r) {
      bool noted = std::find(k.notedRows.begin(), k.notedRows.end(), r) != k.notedRows.end();
      bool delayed = std::find(k.delayedRows.begin(), k.delayedRows.end(), r) != k.delayedRows.end();
      EXPECT_EQ(cells[r].note != 0, noted) << k.rowsPerBeat << " rows a beat, row " << r;
      EXPECT_EQ(cells[r].effect == 0xE && cells[r].param == 0xD3, delayed) << k.rowsPerBeat << " rows a beat, row " << r;
    }
    EXPECT_EQ(cells[0].instrument, kick) << "the written hit stays";
  }
  SongSetup triplets = PlainSetup();
  triplets.rowsPerBeat = 3;
  Composer c(triplets);
  int hat = c.Add(Instrument("hat", Hat({}, 4), {}, 30, 128, false));
  c.Section("a", "1");
  EXPECT_THROW(c.Sixteenths(0, {{'x', {hat, 60, 20}}}, "x"), std::runtime_error);
}

TEST(Pedal, HoldsOnePitchUnderEveryChordAndReleasesAtTheEnd) {
  Composer c(PlainSetup());
  int pad = c.Add(PadInstrument("pad", {WaveKind::kSaw, 0.5, 8, 4}, 32, 48, {-1, 0, 1}, AdsrEnvelope(0.1, 0.1, 0.8, 0.3), 40, 128,
                                false, 3));
  c.Section("a", "1 4 5 6m");
  c.Pedal(0, pad, 48, 36);
  c.Section("b", "1");
  XmModule m = c.Build("PEDAL", "TEST", 0);
  std::vector<XmCell> cells = ChannelCells(m, 0);
  EXPECT_EQ(cells[0].note, XmNote(48));
  EXPECT_EQ(cells[0].volume, kXmVolumeSet + 36);
  for (int r = 1; r < 64; ++r) EXPECT_EQ(cells[r].note, 0) << "row " << r << ": the pedal must not move";
  EXPECT_EQ(cells[64].note, kXmKeyOff);
}

TEST(ChromaticApproach, LeadsIntoADownbeatFromAHalfStepBelowOnlyOutsideTheKey) {
  Composer c(PlainSetup());
  int lead = c.Add(WaveInstrument("lead", {WaveKind::kSine, 0.5, 1}, kNoteC3, kNoteC6, AdsrEnvelope(0.01, 0.1, 0.8, 0.1), 40, 128));
  c.Section("a", "1 5 1 4");
  // Held notes into bar 2 (D: its half step below, C#, is outside C major), bar 3 (C: B is in
  // the key, so no approach) and bar 4 (F after a rest: nothing to lead from).
  c.Melody(0, lead, 4, 4, "1 - - - | 2 - - - | 1 - - . | 4 - - -", 40);
  c.ChromaticApproach(0, 0.5);
  std::vector<XmCell> cells = ChannelCells(c.Build("APPROACH", "TEST", 0), 0);
  // An eighth note early: two rows at four rows a beat.
  EXPECT_EQ(cells[14].note, XmNote(61));
  EXPECT_EQ(cells[14].volume, kXmVolumeSet + 20);
  EXPECT_EQ(cells[15].note, 0);
  EXPECT_EQ(cells[16].note, XmNote(62));
  for (int r : {29, 30, 31, 45, 46, 47}) EXPECT_EQ(cells[r].note, 0) << "row " << r;
}

TEST(TitleFile, ReadsTheBankAndRefusesGaps) {
  TitleList list = ReadTitleList(MUSIDISK_SOURCE_DIR "/data/music/titles.txt");
  EXPECT_FALSE(list.musician.empty());
  ASSERT_EQ(list.titles.size(), 16u);
  for (const std::string& t : list.titles) EXPECT_FALSE(t.empty());

  std::string path = ::testing::TempDir() + "titles_gap.txt";
  {
    std::ofstream out(path);
    out << "musician\tSOMEONE\n";
    for (int i = 0; i < 16; ++i)
      if (i != 7) out << (i < 10 ? "0" : "") << i << "\tTITLE\n";
  }
  EXPECT_THROW(ReadTitleList(path), std::runtime_error);
  std::remove(path.c_str());
}

}  // namespace
