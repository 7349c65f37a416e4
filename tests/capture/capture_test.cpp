// musidisk-capture, run as a user runs it: repeatable runs, the black opening, the soundtrack and
// video files, and its answer to bad options.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Result {
  int status;
  std::string output;
};

Result Capture(const std::string& arguments) {
  std::string command = std::string(CAPTURE_TOOL) + " " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  Result result{-1, ""};
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The hash the tool prints for a frame with every pixel black.
std::string BlackFrameHash() {
  uint64_t hash = 1469598103934665603ull;
  for (int i = 0; i < 640 * 480; ++i) hash *= 1099511628211ull;  // xor with 0 changes nothing
  char text[32];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::filesystem::path Scratch(const std::string& name) {
  return std::filesystem::path(MUSIDISK_BINARY_DIR) / ("capture_test_" + name);
}

TEST(Capture, TheSameSeedGivesTheSameFramesAndTheOpeningIsBlack) {
  Result a = Capture("--seconds 3 --fps 30 --seed 1234 --hash");
  Result b = Capture("--seconds 3 --fps 30 --seed 1234 --hash");
  ASSERT_EQ(a.status, 0);
  std::vector<std::string> lines = Lines(a.output);
  ASSERT_EQ(lines.size(), 90u);
  EXPECT_EQ(a.output, b.output);
  for (int frame = 0; frame < 10; ++frame) {
    EXPECT_EQ(lines[frame], std::to_string(frame) + " " + BlackFrameHash()) << "nothing of the show is visible yet";
  }
  EXPECT_NE(lines.back(), "89 " + BlackFrameHash());
  Result other = Capture("--seconds 3 --fps 30 --seed 99 --effect 6 --hash");
  EXPECT_NE(other.output, a.output);
}

TEST(Capture, WritesTheSoundtrackAndChosenFrames) {
  std::filesystem::path wav = Scratch("sound.wav");
  std::filesystem::path pngs = Scratch("frames");
  std::filesystem::remove_all(pngs);
  ASSERT_EQ(Capture("--seconds 2 --seed 7 --wav " + wav.string() + " --png " + pngs.string() + " --frames 0,5-6,119")
                .status,
            0);
  EXPECT_EQ(std::filesystem::file_size(wav), 44u + 2 * 44100 * 4) << "two seconds of 16-bit stereo";
  for (const char* name : {"frame_000000.png", "frame_000005.png", "frame_000006.png", "frame_000119.png"}) {
    EXPECT_TRUE(std::filesystem::exists(pngs / name)) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(pngs / "frame_000001.png"));
  std::ifstream in(wav, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  int loudest = 0;
  for (size_t i = 44; i + 1 < bytes.size(); i += 2) {
    int sample = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
    loudest = std::max(loudest, std::abs(sample));
  }
  EXPECT_GT(loudest, 1000) << "the music is in it";
  std::filesystem::remove(wav);
  std::filesystem::remove_all(pngs);
}

TEST(Capture, MuxesAVideoWithItsSound) {
  std::filesystem::path video = Scratch("show.mkv");
  std::filesystem::remove(video);
  ASSERT_EQ(Capture("--seconds 1 --seed 3 --video " + video.string()).status, 0);
  ASSERT_TRUE(std::filesystem::exists(video));
  FILE* probe = popen(("ffprobe -v error -show_entries stream=codec_type -of csv=p=0 " + video.string()).c_str(), "r");
  ASSERT_NE(probe, nullptr);
  char buffer[256] = {};
  std::string streams;
  while (std::fgets(buffer, sizeof buffer, probe) != nullptr) streams += buffer;
  pclose(probe);
  EXPECT_NE(streams.find("video"), std::string::npos);
  EXPECT_NE(streams.find("audio"), std::string::npos);
  std::filesystem::remove(video);
}

TEST(Capture, BadOptionsGetTheUsageAndStatusTwo) {
  for (const char* arguments : {"--bogus", "--seconds", "--seconds -1", "--fps 0", "--effect 15", "--transition 16",
                                "--keys 1:Banana", "--frames 5-2 --png /tmp/x", "--png /tmp/x", "--effect 3 --next 3"}) {
    EXPECT_EQ(Capture(arguments).status, 2) << arguments;
  }
}

}  // namespace
