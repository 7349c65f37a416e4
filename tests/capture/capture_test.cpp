// musidisk-capture, run as a user runs it: repeatable runs, the black opening, the soundtrack, PNG
// and video files and their enlargement, its answer to bad options, failing writes and Ctrl+C.
#include <gtest/gtest.h>
#include <png.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

// How to start the tool beyond its arguments.
struct Launch {
  std::string stdoutPath;  // empty: kept for the result
  long fileSizeLimit = 0;  // bytes, RLIMIT_FSIZE of the tool and its ffmpeg; 0: none
  bool noFfmpeg = false;   // PATH without ffmpeg
};

struct Result {
  int status = -1;  // exit status, or -1 when killed
  int signal = 0;   // the signal that ended it
  std::string output;
  std::string errors;
};

fs::path Scratch(const std::string& name) { return fs::path(MUSIDISK_BINARY_DIR) / ("capture_test_" + name); }

// A clean scratch directory for one test, and the place of the tool's stdout and stderr outside it.
fs::path FreshDirectory(const std::string& name) {
  fs::path dir = Scratch(name);
  fs::remove_all(dir);
  fs::remove_all(Scratch(name + "_io"));
  fs::create_directories(dir);
  fs::create_directories(Scratch(name + "_io"));
  return dir;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

pid_t Start(const std::vector<std::string>& arguments, const fs::path& io, const Launch& launch) {
  std::vector<char*> argv = {const_cast<char*>(CAPTURE_TOOL)};
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::string out = launch.stdoutPath.empty() ? (io / "stdout").string() : launch.stdoutPath;
  std::string err = (io / "stderr").string();
  pid_t pid = fork();
  if (pid == 0) {
    if (!freopen(out.c_str(), "w", stdout) || !freopen(err.c_str(), "w", stderr)) _exit(127);
    rlimit none = {0, 0};
    setrlimit(RLIMIT_CORE, &none);
    if (launch.fileSizeLimit > 0) {
      rlimit size = {static_cast<rlim_t>(launch.fileSizeLimit), static_cast<rlim_t>(launch.fileSizeLimit)};
      setrlimit(RLIMIT_FSIZE, &size);
    }
    if (launch.noFfmpeg) setenv("PATH", "/nonexistent", 1);
    execv(CAPTURE_TOOL, argv.data());
    _exit(127);
  }
  return pid;
}

Result Wait(pid_t pid, const fs::path& io, const Launch& launch) {
  Result result;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return result;
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  if (launch.stdoutPath.empty()) result.output = ReadFile(io / "stdout");
  result.errors = ReadFile(io / "stderr");
  return result;
}

// Runs the tool in the test `name`'s scratch area.
Result Capture(const std::string& name, const std::vector<std::string>& arguments, const Launch& launch = {}) {
  fs::path io = Scratch(name + "_io");
  fs::create_directories(io);
  return Wait(Start(arguments, io, launch), io, launch);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Every entry under `dir`, relative, symbolic links not followed.
std::set<std::string> Listing(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) names.insert(fs::relative(entry.path(), dir).string());
  return names;
}

// The hash the tool prints for a frame with every pixel black.
std::string BlackFrameHash() {
  uint64_t hash = 1469598103934665603ull;
  for (int i = 0; i < 640 * 480; ++i) hash *= 1099511628211ull;  // xor with 0 changes nothing
  char text[32];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

struct Image {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
  unsigned char At(int x, int y, int c) const { return rgb[(static_cast<size_t>(y) * width + x) * 3 + c]; }
};

Image ReadPng(const fs::path& path) {
  Image image;
  png_image png = {};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return image;
  png.format = PNG_FORMAT_RGB;
  image.rgb.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) return Image();
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  return image;
}

std::string Command(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  pclose(pipe);
  return output;
}

// The types of the top-level boxes of an MP4 file, in order.
std::vector<std::string> Mp4Boxes(const fs::path& path) {
  std::string bytes = ReadFile(path);
  std::vector<std::string> boxes;
  for (size_t at = 0; at + 8 <= bytes.size();) {
    uint64_t size = 0;
    for (int i = 0; i < 4; ++i) size = size << 8 | static_cast<unsigned char>(bytes[at + i]);
    boxes.push_back(bytes.substr(at + 4, 4));
    if (size < 8) break;
    at += size;
  }
  return boxes;
}

TEST(Capture, TheSameSeedGivesTheSameFramesAndTheOpeningIsBlack) {
  Result a = Capture("seed", {"--seconds", "3", "--fps", "30", "--seed", "1234", "--hash"});
  Result b = Capture("seed", {"--seconds", "3", "--fps", "30", "--seed", "1234", "--hash"});
  ASSERT_EQ(a.status, 0) << a.errors;
  std::vector<std::string> lines = Lines(a.output);
  ASSERT_EQ(lines.size(), 90u);
  EXPECT_EQ(a.output, b.output);
  for (int frame = 0; frame < 10; ++frame) {
    EXPECT_EQ(lines[frame], std::to_string(frame) + " " + BlackFrameHash()) << "nothing of the show is visible yet";
  }
  EXPECT_NE(lines.back(), "89 " + BlackFrameHash());
  Result other = Capture("seed", {"--seconds", "3", "--fps", "30", "--seed", "99", "--effect", "6", "--hash"});
  EXPECT_NE(other.output, a.output);
}

TEST(Capture, WritesTheSoundtrackAndChosenFrames) {
  fs::path dir = FreshDirectory("sound");
  fs::path wav = dir / "sound.wav";
  fs::path pngs = dir / "frames" / "deeper";
  Result run = Capture("sound", {"--seconds", "2", "--seed", "7", "--wav", wav, "--png", pngs, "--frames", "0,5-6,119"});
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(Listing(dir), (std::set<std::string>{"sound.wav", "frames", "frames/deeper", "frames/deeper/frame_000000.png",
                                                 "frames/deeper/frame_000005.png", "frames/deeper/frame_000006.png",
                                                 "frames/deeper/frame_000119.png"}))
      << "the frames asked for and nothing else, no temporaries";
  EXPECT_EQ(fs::file_size(wav), 44u + 2 * 44100 * 4) << "two seconds of 16-bit stereo";
  EXPECT_EQ(fs::status(wav).permissions() & fs::perms::others_read, fs::perms::others_read)
      << "a finished file gets the usual mode, not a temporary's private one";
  std::string bytes = ReadFile(wav);
  int loudest = 0;
  for (size_t i = 44; i + 1 < bytes.size(); i += 2) {
    int sample = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
    loudest = std::max(loudest, std::abs(sample));
  }
  EXPECT_GT(loudest, 1000) << "the music is in it";
  EXPECT_EQ(ReadPng(pngs / "frame_000119.png").width, 640);
  fs::remove_all(dir);
}

TEST(Capture, AnEscapeThatEndsTheShowEarlyGivesASoundtrackOfTheFramesThatCame) {
  fs::path dir = FreshDirectory("escape");
  Result run = Capture("escape", {"--seconds", "2", "--fps", "10", "--keys", "0.5:Escape", "--wav", dir / "s.wav", "--hash"});
  ASSERT_EQ(run.status, 0) << run.errors;
  size_t frames = Lines(run.output).size();
  ASSERT_LT(frames, 20u);
  std::string bytes = ReadFile(dir / "s.wav");
  ASSERT_EQ(bytes.size(), 44u + frames * 4410 * 4);
  uint32_t dataBytes = 0;
  for (int i = 3; i >= 0; --i) dataBytes = dataBytes << 8 | static_cast<uint8_t>(bytes[40 + i]);
  EXPECT_EQ(dataBytes, bytes.size() - 44) << "the header tells the length that came";
  fs::remove_all(dir);
}

// One capture at scale 1 and one at scale 2 of the same show: the hash is of the program's frame
// either way, the enlarged PNG is the small one with each pixel made 2x2, and the lossless video
// holds exactly the enlarged frames.
TEST(Capture, ScaleEnlargesPngAndVideoFramesPixelForPixel) {
  fs::path dir = FreshDirectory("scale");
  std::vector<std::string> show = {"--seconds", "1.5", "--fps", "10", "--seed", "3", "--effect", "12", "--hash"};
  std::vector<std::string> small = show, large = show;
  small.insert(small.end(), {"--png", dir / "small", "--frames", "13"});
  large.insert(large.end(), {"--png", dir / "large", "--frames", "13", "--scale", "2", "--video", dir / "large.mkv"});
  Result a = Capture("scale", small);
  Result b = Capture("scale", large);
  ASSERT_EQ(a.status, 0) << a.errors;
  ASSERT_EQ(b.status, 0) << b.errors;
  EXPECT_EQ(a.output, b.output);

  Image one = ReadPng(dir / "small" / "frame_000013.png");
  Image two = ReadPng(dir / "large" / "frame_000013.png");
  ASSERT_EQ(one.width, 640);
  ASSERT_EQ(two.width, 1280);
  ASSERT_EQ(two.height, 960);
  int mismatches = 0, distinct = 0;
  for (int y = 0; y < two.height; ++y) {
    for (int x = 0; x < two.width; ++x) {
      for (int c = 0; c < 3; ++c) mismatches += two.At(x, y, c) != one.At(x / 2, y / 2, c);
    }
  }
  for (int x = 1; x < one.width; ++x) distinct += one.At(x, 240, 0) != one.At(x - 1, 240, 0);
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(distinct, 10) << "the frame has detail for the comparison to mean something";

  std::string video = Command("ffmpeg -v error -i " + (dir / "large.mkv").string() + " -f rawvideo -pix_fmt rgb24 -");
  size_t frameBytes = 1280u * 960u * 3u;
  ASSERT_EQ(video.size(), 15 * frameBytes);
  EXPECT_TRUE(video.compare(13 * frameBytes, frameBytes, reinterpret_cast<const char*>(two.rgb.data()), frameBytes) ==
              0)
      << "video frame 13 is the enlarged PNG";
  fs::remove_all(dir);
}

TEST(Capture, AnMp4IsWhatVideoSitesTake) {
  fs::path dir = FreshDirectory("mp4");
  fs::path video = dir / "show.mp4";
  Result run = Capture("mp4", {"--seconds", "0.5", "--fps", "10", "--seed", "3", "--scale", "3", "--video", video});
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(Listing(dir), std::set<std::string>{"show.mp4"}) << "the intermediate files are gone";
  std::vector<std::string> streams = Words(Command(
      "ffprobe -v error -show_entries stream=codec_name,width,height,pix_fmt,color_space -of compact=p=0:nk=1 " +
      video.string()));
  EXPECT_EQ(streams, (std::vector<std::string>{"h264|1920|1440|yuv420p|bt709", "aac"}));
  std::vector<std::string> boxes = Mp4Boxes(video);
  auto at = [&](const char* type) { return std::find(boxes.begin(), boxes.end(), type) - boxes.begin(); };
  EXPECT_LT(at("moov"), at("mdat")) << "the index comes first, so playback starts before the download ends";
  fs::remove_all(dir);
}

TEST(Capture, AnMkvIsLossless) {
  fs::path dir = FreshDirectory("mkv");
  fs::path video = dir / "show.mkv";
  Result run = Capture("mkv", {"--seconds", "0.5", "--fps", "10", "--seed", "3", "--video", video});
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(Words(Command("ffprobe -v error -show_entries stream=codec_name -of csv=p=0 " + video.string())),
            (std::vector<std::string>{"ffv1", "flac"}));
  fs::remove_all(dir);
}

TEST(Capture, HelpPrintsTheUsage) {
  Result help = Capture("help", {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.output.rfind("usage: musidisk-capture", 0), 0u);
  EXPECT_NE(help.output.find("--scale N"), std::string::npos);
  EXPECT_EQ(help.errors, "");
}

// Each bad option: status 2, one line naming the option and its value, then the usage.
TEST(Capture, BadOptionsGetOneLineTheUsageAndStatusTwo) {
  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"--seconds"}, "--seconds needs a value"},
      {{"--seconds", "-1"}, "--seconds '-1': wants seconds above 0 and at most 21600"},
      {{"--seconds", "nan"}, "--seconds 'nan': wants seconds above 0 and at most 21600"},
      {{"--seconds", "inf"}, "--seconds 'inf': wants seconds above 0 and at most 21600"},
      {{"--seconds", "21601"}, "--seconds '21601': wants seconds above 0 and at most 21600"},
      {{"--seconds", "0.001"}, "--seconds '0.001': is less than one frame at --fps 60"},
      {{"--hold", "nan"}, "--hold 'nan': wants seconds above 0 and at most 86400"},
      {{"--hold", "1e300"}, "--hold '1e300': wants seconds above 0 and at most 86400"},
      {{"--fps", "0"}, "--fps '0': wants 1..1000"},
      {{"--fps", "99999999999999999999"}, "--fps '99999999999999999999': wants 1..1000"},
      {{"--fps", " 30"}, "--fps ' 30': wants 1..1000"},
      {{"--seed", "4294967296"}, "--seed '4294967296': wants 0..4294967295"},
      {{"--effect", "15"}, "--effect '15': wants an effect 1..14"},
      {{"--transition", "16"}, "--transition '16': wants a pattern 0..15"},
      {{"--scale", "0"}, "--scale '0': wants 1..6"},
      {{"--scale", "7"}, "--scale '7': wants 1..6"},
      {{"--effect", "3", "--next", "3"}, "--next 3: must differ from --effect"},
      {{"--keys", ""}, "--keys '': wants T:KEY[,T:KEY...]"},
      {{"--keys", "3:Right+"}, "--keys '3:Right+': a key is missing"},
      {{"--keys", "1:Right,,2:Left"}, "--keys '1:Right,,2:Left': '': a press is T:KEY with T a time in seconds from 0"},
      {{"--keys", "1:Banana"},
       "--keys '1:Banana': unknown key 'Banana' (keys: Right Left Up Down Space Escape Enter Alt A-Z)"},
      {{"--keys", "nan:Right"}, "--keys 'nan:Right': a press is T:KEY with T a time in seconds from 0"},
      {{"--keys", "inf:Right"}, "--keys 'inf:Right': a press is T:KEY with T a time in seconds from 0"},
      {{"--keys", "1e300:Right"}, "--keys '1e300:Right': the press is after the capture's end at 30 s"},
      {{"--keys", "9223372036854774784:Right+2000"},
       "--keys '9223372036854774784:Right+2000': the press is after the capture's end at 30 s"},
      {{"--seconds", "1", "--fps", "10", "--keys", "0.95:Space"},
       "--keys '0.95:Space': the press is after the capture's end at 1 s"},
      {{"--keys", "1:Right+1e300"}, "--keys '1:Right+1e300': a key is held 0 to 86400 seconds"},
      {{"--keys", "1:Right+-1"}, "--keys '1:Right+-1': a key is held 0 to 86400 seconds"},
      {{"--png", ""}, "--png '': wants a directory"},
      {{"--wav", ""}, "--wav '': wants a file name"},
      {{"--video", ""}, "--video '': wants a file name"},
      {{"--video", "show.avi"}, "--video 'show.avi': wants a .mp4 or .mkv file"},
      {{"--wav", "a.mkv", "--video", "a.mkv"}, "--wav 'a.mkv': names the --video file too"},
      {{"--png", "x"}, "--png needs --frames"},
      {{"--frames", "1"}, "--frames needs --png"},
      {{"--png", "x", "--frames", "5-2"}, "--frames '5-2': wants \"0,30,100-120\" or \"all\""},
      {{"--png", "x", "--frames", ""}, "--frames '': wants \"0,30,100-120\" or \"all\""},
      {{"--seconds", "1", "--png", "x", "--frames", "0,60"}, "--frames '0,60': the capture's frames are 0..59"},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& a : c.arguments) shown += "[" + a + "]";
    Result run = Capture("options", c.arguments);
    EXPECT_EQ(run.status, 2) << shown;
    std::vector<std::string> lines = Lines(run.errors);
    ASSERT_GE(lines.size(), 2u) << shown;
    EXPECT_EQ(lines[0], std::string("musidisk-capture: ") + c.message) << shown;
    EXPECT_EQ(lines[1], "usage: musidisk-capture [options]") << shown;
    EXPECT_EQ(run.output, "") << shown;
  }
}

// Each failing write: status 1, one line saying what failed and why, and the scratch directory as
// it was before the run: no partial files, no temporaries, an older output untouched.
TEST(Capture, AFailedWriteIsReportedAndLeavesNothingBehind) {
  fs::path dir = FreshDirectory("fail");
  std::ofstream(dir / "file") << "a regular file";
  std::ofstream(dir / "old.wav") << "an older soundtrack";
  fs::create_symlink("/dev/full", dir / "full.mkv");
  fs::create_directory(dir / "readonly");
  fs::permissions(dir / "readonly", fs::perms::owner_read | fs::perms::owner_exec);
  std::string d = dir.string();
  const std::vector<std::string> shortShow = {"--seconds", "0.5", "--fps", "10", "--seed", "5"};
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    Launch launch;
    std::string message;  // the line after "musidisk-capture: ", or its start when `cause` is given
    bool needsNonRoot;
    std::string cause = "";  // ffmpeg's own words, which the line contains
  } cases[] = {
      {"png directory under a file", {"--png", d + "/file/frames", "--frames", "all"}, {},
       "cannot create the directory " + d + "/file/frames: Not a directory", false},
      {"png directory that is a file", {"--png", d + "/file", "--frames", "all"}, {},
       "cannot create the directory " + d + "/file: Not a directory", false},
      {"png on a full disk", {"--seconds", "1.5", "--seed", "3", "--png", d + "/frames", "--frames", "all", "--scale", "2"},
       {"", 6000, false}, "cannot write " + d + "/frames/frame_000012.png: File too large", false},
      {"png in a read-only directory", {"--png", d + "/readonly", "--frames", "all"}, {},
       "cannot write " + d + "/readonly/frame_000000.png: Permission denied", true},
      {"wav on a full device", {"--wav", "/dev/full"}, {}, "cannot write /dev/full: No space left on device", false},
      {"wav under a file", {"--wav", d + "/file/s.wav"}, {}, "cannot write " + d + "/file/s.wav: Not a directory",
       false},
      {"wav over the size limit", {"--wav", d + "/old.wav"}, {"", 50000, false},
       "cannot write " + d + "/old.wav: File too large", false},
      {"wav in a read-only directory", {"--wav", d + "/readonly/s.wav"}, {},
       "cannot write " + d + "/readonly/s.wav: Permission denied", true},
      {"video under a file", {"--video", d + "/file/v.mkv"}, {},
       "cannot write " + d + "/file/v.mkv.sound.wav: Not a directory", false},
      {"video on a full device",
       {"--video", d + "/full.mkv"},
       {},
       "cannot write " + d + "/full.mkv: ffmpeg failed with status 1: ", false, "No space left on device"},
      {"video whose ffmpeg dies", {"--effect", "12", "--scale", "2", "--video", d + "/v.mkv"}, {"", 300000, false},
       "cannot write " + d + "/v.mkv: ffmpeg was killed by signal 25 (File size limit exceeded)", false},
      {"video without ffmpeg", {"--video", d + "/v.mp4", "--wav", d + "/s.wav"}, {"", 0, true},
       "cannot write " + d + "/v.mp4: cannot start ffmpeg: No such file or directory", false},
      {"hashes to a full device", {"--hash"}, {"/dev/full", 0, false},
       "cannot write the frame hashes: No space left on device", false},
  };
  // A read-only directory stops everyone but root.
  bool root = geteuid() == 0;
  std::set<std::string> before = Listing(dir);
  for (const auto& c : cases) {
    if (c.needsNonRoot && root) {
      std::printf("skipped \"%s\": root writes into a read-only directory\n", c.name);
      continue;
    }
    std::vector<std::string> arguments = shortShow;
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    Result run = Capture("fail", arguments, c.launch);
    EXPECT_EQ(run.status, 1) << c.name;
    if (c.cause.empty()) {
      EXPECT_EQ(run.errors, "musidisk-capture: " + c.message + "\n") << c.name;
    } else {
      EXPECT_EQ(Lines(run.errors).size(), 1u) << c.name << ": " << run.errors;
      EXPECT_EQ(run.errors.rfind("musidisk-capture: " + c.message, 0), 0u) << c.name << ": " << run.errors;
      EXPECT_NE(run.errors.find(c.cause), std::string::npos) << c.name << ": " << run.errors;
    }
    EXPECT_EQ(Listing(dir), before) << c.name;
  }
  EXPECT_EQ(ReadFile(dir / "old.wav"), "an older soundtrack");
  fs::permissions(dir / "readonly", fs::perms::owner_all);
  fs::remove_all(dir);
}

// Ctrl+C (or a kill) in the middle of a capture: the tool stops at the next frame, removes every
// file of its own, and dies of the signal as a shell expects (status 130 for Ctrl+C).
TEST(Capture, AnInterruptedCaptureLeavesNothingBehind) {
  for (int signal : {SIGINT, SIGTERM}) {
    fs::path dir = FreshDirectory("interrupt");
    fs::path io = Scratch("interrupt_io");
    fs::path frames = dir / "frames";
    std::vector<std::string> arguments = {"--seconds", "60",    "--fps",   "10",           "--seed",
                                          "1",         "--png", frames,    "--frames",     "all",
                                          "--wav",     dir / "s.wav", "--video", dir / "v.mp4"};
    pid_t pid = Start(arguments, io, {});
    // Frame 3 renamed into place means the show, ffmpeg and every temporary are under way.
    for (int i = 0; i < 6000 && !fs::exists(frames / "frame_000003.png"); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(fs::exists(frames / "frame_000003.png")) << "the capture did not get going";
    kill(pid, signal);
    Result run = Wait(pid, io, {});
    EXPECT_EQ(run.signal, signal);
    EXPECT_EQ(run.errors, std::string("musidisk-capture: interrupted by SIG") + sigabbrev_np(signal) +
                              "; its unfinished files are removed\n");
    EXPECT_EQ(Listing(dir), std::set<std::string>{}) << "frames, soundtrack, video and temporaries are all gone";
    fs::remove_all(dir);
  }
}

}  // namespace
