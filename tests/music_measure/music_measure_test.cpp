// The review's measures read what they claim on signals built to have a known answer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "audio_measures.h"
#include "composer.h"
#include "prng.h"
#include "r128_meter.h"
#include "recipes.h"
#include "top_voice.h"
#include "xm_module.h"

namespace {

constexpr int kRate = 44100;

double Hz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// A tone of a few harmonics, as an instrument would sound.
double Tone(int midi, double t) {
  double v = 0;
  for (int k = 1; k <= 3; ++k) v += std::sin(2 * M_PI * Hz(midi) * k * t) / k;
  return v;
}

// Mono audio: the chord of each beat (a list of MIDI pitches, cycled) at 120 BPM, with a short
// noise click on every beat and, when offbeat, on the second sixteenth of every beat too.
std::vector<float> Song(const std::vector<std::vector<int>>& chords, double seconds, bool offbeat) {
  const double beat = 0.5;
  std::vector<float> out(static_cast<size_t>(seconds * kRate));
  Prng noise(7);
  for (size_t i = 0; i < out.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    int b = static_cast<int>(t / beat);
    const std::vector<int>& chord = chords[b % chords.size()];
    double v = 0;
    for (int midi : chord) v += 0.08 * Tone(midi, t);
    double inBeat = t - b * beat;
    double click = inBeat < 0.004 ? 1.0 : (offbeat && inBeat >= beat / 4 && inBeat < beat / 4 + 0.004 ? 1.0 : 0.0);
    v += 0.5 * click * noise.Signed();
    out[i] = static_cast<float>(v);
  }
  return out;
}

std::vector<float> Stereo(const std::vector<float>& mono) {
  std::vector<float> out(mono.size() * 2);
  for (size_t i = 0; i < mono.size(); ++i) out[2 * i] = out[2 * i + 1] = mono[i];
  return out;
}

TEST(R128Meter, ReadsTonesAtTheirLevelAndTheRangeBetweenThem) {
  auto sine = [](double amplitude, double seconds) {
    std::vector<float> m(static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < m.size(); ++i) m[i] = static_cast<float>(amplitude * std::sin(2 * M_PI * 997.0 * i / kRate));
    return m;
  };
  // A 997 Hz sine in both channels reads its peak level in LUFS.
  R128 steady = MeasureR128(Stereo(sine(0.1, 10)), kRate);
  EXPECT_NEAR(steady.integrated, -20.0, 0.1);
  EXPECT_LT(steady.range, 0.5);
  // Ten seconds at -30 then ten at -20: the range spans the 10 dB between them.
  std::vector<float> quiet = sine(std::pow(10.0, -1.5), 10), loud = sine(0.1, 10);
  quiet.insert(quiet.end(), loud.begin(), loud.end());
  R128 stepped = MeasureR128(Stereo(quiet), kRate);
  EXPECT_NEAR(stepped.range, 10.0, 0.5);
  // Both halves pass the relative gate, so the integrated level is that of their mean energy.
  EXPECT_NEAR(stepped.integrated, -22.6, 0.3);
  EXPECT_EQ(MeasureR128(std::vector<float>(2 * kRate * 5, 0.0f), kRate).integrated, -70);
}

TEST(AudioMeasures, AHeldChordHoldsAndMovingChordsMove) {
  const std::vector<int> c = {60, 64, 67}, fs = {66, 70, 73}, eb = {63, 67, 70}, a = {69, 73, 76};
  AudioMeasures held = MeasureAudio(Song({c}, 40, false), kRate);
  EXPECT_NEAR(held.tempo, 120, 2.4);
  EXPECT_GT(held.chromaHold, 0.95);
  EXPECT_LT(held.chromaChange, 0.05);
  EXPECT_EQ(held.keyTonic, 0);
  EXPECT_FALSE(held.keyMinor);
  EXPECT_LT(held.outOfKey, 0.1);

  AudioMeasures moving = MeasureAudio(Song({c, fs, eb, a}, 40, false), kRate);
  EXPECT_LT(moving.chromaHold, 0.6);
  EXPECT_GT(moving.chromaChange, 0.3);
  EXPECT_GT(moving.outOfKey, 0.25);
}

TEST(AudioMeasures, OnsetsOffTheEighthGridCountAgainstIt) {
  AudioMeasures straight = MeasureAudio(Song({{60, 64, 67}}, 40, false), kRate);
  EXPECT_NEAR(straight.onsetsPerSecond, 2.0, 0.3);
  EXPECT_GT(straight.onGrid, 0.9);
  EXPECT_GT(straight.tempoAgreement, 0.9);
  AudioMeasures offbeat = MeasureAudio(Song({{60, 64, 67}}, 40, true), kRate);
  EXPECT_NEAR(offbeat.onsetsPerSecond, 4.0, 0.5);
  EXPECT_NEAR(offbeat.onGrid, 0.5, 0.15);
}

TEST(AudioMeasures, SpectrumSharesAndFlatnessTellHumFromHiss) {
  std::vector<float> hum(20 * kRate), hiss(20 * kRate);
  Prng noise(3);
  for (size_t i = 0; i < hum.size(); ++i) {
    hum[i] = static_cast<float>(0.3 * std::sin(2 * M_PI * 60.0 * i / kRate));
    hiss[i] = static_cast<float>(0.3 * noise.Signed());
  }
  AudioMeasures low = MeasureAudio(hum, kRate), bright = MeasureAudio(hiss, kRate);
  EXPECT_GT(low.lowShare, 0.95);
  EXPECT_LT(low.flatness, 0.01);
  EXPECT_NEAR(bright.highShare, (22050.0 - 4000.0) / 22050.0, 0.03);
  EXPECT_GT(bright.flatness, 0.4);
}

TEST(AudioMeasures, ASnippetTooShortToMeasureReadsZero) {
  for (size_t frames : {size_t{0}, size_t{100}, size_t{kRate / 10}, size_t{2 * kRate}}) {
    AudioMeasures m = MeasureAudio(std::vector<float>(frames, 0.25f), kRate);
    EXPECT_EQ(m.onsetsPerSecond, 0) << frames;
    EXPECT_EQ(m.chromaHold, 0) << frames;
  }
}

TEST(TopVoice, FollowsTheHighestPitchedNoteAndSkipsDrums) {
  SongSetup setup;
  setup.channels = 2;
  Composer c(setup);
  int lead = c.Add(WaveInstrument("lead", {WaveKind::kSine, 0.5, 1}, kNoteC3, kNoteC7, AdsrEnvelope(0.01, 0.1, 0.8, 0.1), 40, 128));
  int hat = c.Add(Instrument("hat", Hat({}, 4), {}, 30, 128, false));
  c.Section("a", "1 1 1 1");
  c.LoopHere();
  // Two octaves between C4 and C6; a one-shot hat played far above them.
  c.Melody(0, lead, 4, 4, "1 - 1'' - | 1 - 1'' - | 1 - 1'' - | 1 - 1'' -", 40);
  c.Beat(1, {{'h', {hat, 100, 30}}}, 4, "h h h h");
  std::vector<uint8_t> bytes = SerializeXm(c.Build("TOP", "TEST", 0));
  TopVoice top = MeasureTopVoice(std::vector<char>(bytes.begin(), bytes.end()), 20);
  ASSERT_TRUE(top.measured);
  EXPECT_EQ(top.range, 24);
  EXPECT_EQ(top.low, XmNote(60));
  EXPECT_FALSE(MeasureTopVoice(std::vector<char>(400, 'x'), 20).measured);
}

}  // namespace
