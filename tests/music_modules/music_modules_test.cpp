// The sixteen committed modules of the music bank: they load cleanly with their titles, have
// the bank's byte counts, loop forever without a gap, play at -16 LUFS with room to breathe,
// sound as a set like tracker music written by people (a harmonic bed that holds, a top line
// that ranges, off-beat onsets), and the composer rebuilds them byte for byte.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "audio_measures.h"
#include "r128_meter.h"
#include "top_voice.h"

namespace {

constexpr int kTracks = 16;
constexpr size_t kBytes[kTracks] = {88709, 53151, 33602, 38701, 34835, 65698, 28644, 23054,
                                    25810, 42940, 51424, 51253, 54189, 29562, 30614, 71182};
constexpr int kRate = 44100;
// Peaks stay below -1 dBFS; the bank's RMS levels lie within 3 dB of each other.
constexpr double kPeakLimit = 0.8912509;  // 10^(-1/20)
constexpr double kRmsSpreadDb = 3.0;
// EBU R128: every song at -16 LUFS give or take 1.5 LU, and with at least 3 LU between its
// quiet and loud passages.
constexpr double kTargetLufs = -16.0, kLufsTolerance = 1.5, kLeastRangeLu = 3.0;
// The highest voice of every song spans at least this many semitones (5th to 95th percentile).
constexpr int kLeastTopRange = 14;
// The set's medians over each song's first two minutes, held at the edge of where people's
// tracker music lies (interquartile ranges measured by the same code, docs/music-review.md:
// hold 0.65-0.78, change 0.08-0.20, on the grid 0.52-0.81, out of key 0.24-0.34): a bed that
// holds, pitches that do not move every beat, onsets off the eighth-note grid, and harmony that
// steps outside the key's scale about as often as theirs. Each song alone keeps a bed that holds
// above people's 10th percentile (0.59) and leaves the key at least as often as it (0.17).
constexpr double kMeasuredSeconds = 120;
constexpr double kLeastMedianHold = 0.65, kMostMedianChange = 0.18, kMostMedianOnGrid = 0.81;
constexpr double kLeastMedianOutOfKey = 0.21;
constexpr double kLeastHold = 0.62, kLeastOutOfKey = 0.17;
// Well above silence: a song this quiet has lost its mix level.
constexpr double kQuietestRmsDb = -30.0;
// Song lengths before the loop, in seconds.
constexpr double kShortestSong = 90.0, kLongestSong = 240.0;

std::string TrackPath(const std::string& dir, int t) {
  char name[32];
  std::snprintf(name, sizeof name, "/track%02d.xm", t);
  return dir + name;
}

std::vector<char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<char> Committed(int t) { return ReadFile(TrackPath(MUSIDISK_SOURCE_DIR "/data/music", t)); }

std::vector<float> Render(openmpt::module& m, double seconds) {
  std::vector<float> out(static_cast<size_t>(seconds * kRate) * 2);
  size_t done = 0;
  while (done < out.size() / 2) {
    size_t got = m.read_interleaved_stereo(kRate, std::min<size_t>(8192, out.size() / 2 - done), out.data() + done * 2);
    if (got == 0) break;
    done += got;
  }
  out.resize(done * 2);
  return out;
}

double Rms(const std::vector<float>& a, size_t from, size_t to) {
  double sum = 0;
  for (size_t i = from * 2; i < to * 2; ++i) sum += static_cast<double>(a[i]) * a[i];
  return std::sqrt(sum / static_cast<double>((to - from) * 2));
}

double Peak(const std::vector<float>& a) {
  double p = 0;
  for (float v : a) p = std::max(p, static_cast<double>(std::fabs(v)));
  return p;
}

double Db(double v) { return 20.0 * std::log10(v); }

// Titles in bank order from the titles file.
std::vector<std::string> Titles() {
  std::ifstream in(MUSIDISK_SOURCE_DIR "/data/music/titles.txt");
  std::vector<std::string> titles(kTracks);
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() > 3 && line[0] >= '0' && line[0] <= '9' && line[2] == '\t')
      titles[std::stoi(line.substr(0, 2))] = line.substr(3);
  }
  return titles;
}

class MusicModule : public ::testing::TestWithParam<int> {};

TEST_P(MusicModule, LoadsWithoutWarningsWithItsSizeAndTitle) {
  const int t = GetParam();
  std::vector<char> data = Committed(t);
  EXPECT_EQ(data.size(), kBytes[t]);
  std::ostringstream log;
  openmpt::module m(data.data(), data.size(), log);
  EXPECT_EQ(log.str(), "");
  EXPECT_EQ(m.get_metadata("type"), "xm");
  EXPECT_EQ(m.get_metadata("title"), Titles()[t].substr(0, 20));
  EXPECT_GT(m.get_num_instruments(), 0);
}

TEST_P(MusicModule, LoopsForeverWithoutAGap) {
  const int t = GetParam();
  std::vector<char> data = Committed(t);
  std::ostringstream log;
  openmpt::module m(data.data(), data.size(), log);
  const double length = m.get_duration_seconds();
  EXPECT_GE(length, kShortestSong);
  EXPECT_LE(length, kLongestSong);
  m.set_repeat_count(-1);
  // Start four seconds before the end: the song must run on through its restart position.
  m.set_position_seconds(length - 4.0);
  std::vector<float> audio = Render(m, 12.0);
  ASSERT_EQ(audio.size(), static_cast<size_t>(12 * kRate) * 2);
  // The level just after the seam matches the level just before it; no silence in between.
  const size_t seam = 4 * kRate, window = 2 * kRate;
  double before = Rms(audio, seam - window, seam), after = Rms(audio, seam, seam + window);
  EXPECT_NEAR(Db(after), Db(before), 6.0);
  for (size_t s = 0; s + kRate / 4 <= audio.size() / 2; s += kRate / 4)
    EXPECT_GT(Rms(audio, s, s + kRate / 4), 0.001) << "quiet quarter second at " << s / double(kRate);
}

INSTANTIATE_TEST_SUITE_P(Bank, MusicModule, ::testing::Range(0, kTracks));

// One render of each whole song: every peak below -1 dBFS, every song clearly audible at its
// loudness with its loudness range, and the sixteen RMS levels within 3 dB of each other.
TEST(MusicBank, PeaksAndLevelsStayInBounds) {
  double lowest = 1e9, highest = -1e9;
  for (int t = 0; t < kTracks; ++t) {
    std::vector<char> data = Committed(t);
    std::ostringstream log;
    openmpt::module m(data.data(), data.size(), log);
    std::vector<float> audio = Render(m, m.get_duration_seconds());
    EXPECT_LT(Peak(audio), kPeakLimit) << "track " << t;
    R128 loudness = MeasureR128(audio, kRate);
    EXPECT_NEAR(loudness.integrated, kTargetLufs, kLufsTolerance) << "track " << t;
    EXPECT_GE(loudness.range, kLeastRangeLu) << "track " << t;
    double db = Db(Rms(audio, 0, audio.size() / 2));
    EXPECT_GT(db, kQuietestRmsDb) << "track " << t;
    lowest = std::min(lowest, db);
    highest = std::max(highest, db);
  }
  EXPECT_LE(highest - lowest, kRmsSpreadDb) << "RMS from " << lowest << " to " << highest << " dBFS";
}

// The first two minutes of each song, as the review measures them.
TEST(MusicBank, SoundsAsASetLikeTrackerMusicWrittenByPeople) {
  std::vector<double> hold, change, onGrid, outOfKey;
  for (int t = 0; t < kTracks; ++t) {
    std::vector<char> data = Committed(t);
    TopVoice top = MeasureTopVoice(data, kMeasuredSeconds);
    ASSERT_TRUE(top.measured) << "track " << t;
    EXPECT_GE(top.range, kLeastTopRange) << "track " << t;
    std::ostringstream log;
    openmpt::module m(data.data(), data.size(), log);
    m.set_repeat_count(-1);
    std::vector<float> stereo = Render(m, kMeasuredSeconds);
    std::vector<float> mono(stereo.size() / 2);
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
    AudioMeasures a = MeasureAudio(mono, kRate);
    EXPECT_GE(a.chromaHold, kLeastHold) << "track " << t;
    EXPECT_GE(a.outOfKey, kLeastOutOfKey) << "track " << t;
    hold.push_back(a.chromaHold);
    change.push_back(a.chromaChange);
    onGrid.push_back(a.onGrid);
    outOfKey.push_back(a.outOfKey);
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return 0.5 * (v[v.size() / 2 - 1] + v[v.size() / 2]);
  };
  EXPECT_GE(median(hold), kLeastMedianHold);
  EXPECT_LE(median(change), kMostMedianChange);
  EXPECT_LE(median(onGrid), kMostMedianOnGrid);
  EXPECT_GE(median(outOfKey), kLeastMedianOutOfKey);
}

TEST(MusicBank, ComposerRebuildsTheCommittedModulesByteForByte) {
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("musidisk-compose-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                               "-" + std::to_string(reinterpret_cast<uintptr_t>(&dir) & 0xFFFFFF));
  std::filesystem::create_directories(dir);
  std::string command = std::string("\"") + MUSIDISK_COMPOSE_TOOL + "\" --quiet --out \"" + dir.string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (int t = 0; t < kTracks; ++t) EXPECT_TRUE(ReadFile(TrackPath(dir.string(), t)) == Committed(t)) << "track " << t;
  std::filesystem::remove_all(dir);
}

}  // namespace
