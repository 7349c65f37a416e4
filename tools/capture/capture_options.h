// Command-line options of musidisk-capture.
#pragma once

#include <string>
#include <vector>

struct KeyPress {
  double time;             // show time of the press, seconds
  double duration;         // seconds held; 0 = one frame
  std::vector<int> keys;   // virtual-key codes pressed together
};

struct CaptureOptions {
  double seconds = 30.0;
  int fps = 60;
  bool seedGiven = false;
  unsigned seed = 0;
  std::vector<KeyPress> keys;
  int effect = 1;
  double hold = 15.0;
  int next = 0;        // 0 = the scheduler's own choice
  int transition = -1; // -1 = the scheduler's own choice
  std::string pngDir;
  std::string frames;  // "0,30,100-120" or "all"
  std::string wavFile;
  std::string videoFile;
  bool hash = false;
};

// Parses argv; on a bad option returns false with a message in *error.
bool ParseCaptureOptions(int argc, char** argv, CaptureOptions* options, std::string* error);
// Parses a frame list ("0,30,100-120" or "all") into a predicate over frame numbers.
bool ParseFrameList(const std::string& text, std::vector<std::pair<long, long>>* ranges, bool* all);
const char* CaptureUsage();
