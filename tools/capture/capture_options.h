// Command-line options of musidisk-capture.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Ranges of the numeric options, checked when parsing and shown in the usage.
// A capture is at most six hours: the soundtrack of that is 3.8 GB, below the 4 GiB a WAV file holds.
constexpr double kMaxCaptureSeconds = 21600.0;
// The first hold and a held key may outlast a capture; a day is more than any show needs.
constexpr double kMaxHoldSeconds = 86400.0;
constexpr int kMinFps = 1;
constexpr int kMaxFps = 1000;
// Whole-number enlargement; 6 gives 3840x2880 from the program's 640x480.
constexpr int kMinScale = 1;
constexpr int kMaxScale = 6;

struct KeyPress {
  double time;             // show time of the press, seconds, 0 <= time < the capture's length
  double duration;         // seconds held, 0..kMaxHoldSeconds; 0 = one frame
  std::vector<int> keys;   // virtual-key codes pressed together
  std::string text;        // the press as written, for messages
};

struct CaptureOptions {
  bool help = false;
  double seconds = 30.0;
  int fps = 60;
  bool seedGiven = false;
  unsigned seed = 0;
  std::vector<KeyPress> keys;
  int effect = 1;
  double hold = 15.0;
  int next = 0;        // 0 = the scheduler's own choice
  int transition = -1; // -1 = the scheduler's own choice
  int scale = 1;       // PNG and video pixels per program pixel, each way
  std::string pngDir;
  std::string frames;  // "0,30,100-120" or "all"
  std::string wavFile;
  std::string videoFile;
  bool hash = false;
};

bool EndsWith(const std::string& text, const std::string& suffix);
// Number of frames a capture of `seconds` at `fps` presents.
long CaptureFrameCount(double seconds, int fps);
// The frame a key press at show time `time` lands on: the first frame whose time is `time` or later.
// Callers keep `time` within the capture, so the result fits.
long KeyPressFrame(double time, int fps);
// Parses argv; on a bad option returns false with a one-line message in *error.
bool ParseCaptureOptions(int argc, char** argv, CaptureOptions* options, std::string* error);
// Parses a frame list ("0,30,100-120" or "all") into inclusive ranges of frame numbers.
bool ParseFrameList(const std::string& text, std::vector<std::pair<long, long>>* ranges, bool* all);
const char* CaptureUsage();
