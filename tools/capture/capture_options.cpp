// Command-line options of musidisk-capture.
#include "capture_options.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

// strtod and strtol skip leading blanks and take a sign; a value is the whole argument or nothing.
bool StartsLikeANumber(const std::string& text) {
  return !text.empty() && !std::isspace(static_cast<unsigned char>(text[0]));
}

// A finite decimal number (nan and inf are refused).
bool ParseNumber(const std::string& text, double* value) {
  if (!StartsLikeANumber(text)) return false;
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(*value);
}

bool ParseInt(const std::string& text, long* value) {
  if (!StartsLikeANumber(text)) return false;
  char* end = nullptr;
  errno = 0;
  *value = std::strtol(text.c_str(), &end, 10);
  return *end == '\0' && errno != ERANGE;
}

// Splits at every separator, keeping empty pieces so that "a,,b" and "Right+" can be refused.
std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> pieces(1);
  for (char c : text) {
    if (c == separator) {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  return pieces;
}

int KeyCode(const std::string& name) {
  static const struct {
    const char* name;
    int code;
  } named[] = {{"Right", VK_RIGHT}, {"Left", VK_LEFT},     {"Up", VK_UP},        {"Down", VK_DOWN},
               {"Space", VK_SPACE}, {"Escape", VK_ESCAPE}, {"Enter", VK_RETURN}, {"Alt", VK_LMENU}};
  for (const auto& n : named) {
    if (name == n.name) return n.code;
  }
  if (name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0]))) {
    return std::toupper(static_cast<unsigned char>(name[0]));
  }
  return 0;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", seconds);
  return text;
}

// "T:KEY", "T:KEY+D" (held D seconds) or "T:KEY+KEY..." (pressed together); the time is checked
// against the capture's length once every option is known.
bool ParseKeyPress(const std::string& item, KeyPress* press, std::string* why) {
  size_t colon = item.find(':');
  if (colon == std::string::npos || !ParseNumber(item.substr(0, colon), &press->time) || press->time < 0) {
    *why = "a press is T:KEY with T a time in seconds from 0";
    return false;
  }
  press->duration = 0;
  std::vector<std::string> parts = Split(item.substr(colon + 1), '+');
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    double seconds;
    if (i > 0 && i + 1 == parts.size() && ParseNumber(part, &seconds)) {
      if (seconds < 0 || seconds > kMaxHoldSeconds) {
        *why = "a key is held 0 to " + Seconds(kMaxHoldSeconds) + " seconds";
        return false;
      }
      press->duration = seconds;
      continue;
    }
    int code = KeyCode(part);
    if (code == 0) {
      *why = part.empty() ? std::string("a key is missing")
                          : "unknown key " + Quoted(part) + " (keys: Right Left Up Down Space Escape Enter Alt A-Z)";
      return false;
    }
    press->keys.push_back(code);
  }
  return true;
}

bool ParseKeyList(const std::string& value, std::vector<KeyPress>* presses, std::string* error) {
  if (value.empty()) {
    *error = "--keys '': wants T:KEY[,T:KEY...]";
    return false;
  }
  for (const std::string& item : Split(value, ',')) {
    KeyPress press;
    std::string why;
    if (!ParseKeyPress(item, &press, &why)) {
      *error = item == value ? "--keys " + Quoted(value) + ": " + why
                             : "--keys " + Quoted(value) + ": " + Quoted(item) + ": " + why;
      return false;
    }
    press.text = item;
    presses->push_back(press);
  }
  return true;
}

}  // namespace

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

long CaptureFrameCount(double seconds, int fps) { return static_cast<long>(seconds * fps + 0.5); }

long KeyPressFrame(double time, int fps) { return static_cast<long>(std::ceil(time * fps - 1e-9)); }

const char* CaptureUsage() {
  static const std::string usage = [] {
    char text[2048];
    std::snprintf(
        text, sizeof text,
        "usage: musidisk-capture [options]\n"
        "  --seconds S        length of the capture in show seconds, above 0 and at most %g (default 30)\n"
        "  --fps N            frames per second of show time, %d..%d (default 60)\n"
        "  --seed N           seed every random start from N, 0..4294967295 (repeatable to the byte)\n"
        "  --keys LIST        T:KEY[,T:KEY...] with 0 <= T < S; T:KEY+D holds D seconds (0..%g);\n"
        "                     T:Alt+Enter presses both; keys: Right Left Up Down Space Escape Enter Alt A-Z\n"
        "  --effect K         first effect, 1..14 (default 1)\n"
        "  --hold S           first hold time in seconds, above 0 and at most %g (default 15)\n"
        "  --next K           incoming effect of the first transition, 1..14, not the first effect\n"
        "  --transition P     pattern of every transition, 0..15\n"
        "  --scale N          enlarge PNG and video frames N times each way, %d..%d (default 1)\n"
        "  --png DIR          write frames as DIR/frame_NNNNNN.png (with --frames)\n"
        "  --frames LIST      frames to write: \"0,30,100-120\" or \"all\", numbered from 0\n"
        "  --wav FILE         write the soundtrack (44,100 Hz, 16-bit stereo)\n"
        "  --video FILE       frames and soundtrack muxed by ffmpeg (.mp4: H.264 yuv420p and AAC,\n"
        "                     for sharing; .mkv: lossless FFV1 and FLAC)\n"
        "  --hash             print one line per frame: frame number and pixel hash\n"
        "  --help             print this and exit\n"
        "Files appear only when complete: a failed or interrupted run leaves none of its own behind.\n",
        kMaxCaptureSeconds, kMinFps, kMaxFps, kMaxHoldSeconds, kMaxHoldSeconds, kMinScale, kMaxScale);
    return std::string(text);
  }();
  return usage.c_str();
}

bool ParseFrameList(const std::string& text, std::vector<std::pair<long, long>>* ranges, bool* all) {
  *all = text == "all";
  if (*all) return true;
  for (const std::string& item : Split(text, ',')) {
    size_t dash = item.find('-');
    long first, last;
    if (dash == std::string::npos) {
      if (!ParseInt(item, &first) || first < 0) return false;
      last = first;
    } else if (!ParseInt(item.substr(0, dash), &first) || !ParseInt(item.substr(dash + 1), &last) || first < 0 ||
               last < first) {
      return false;
    }
    ranges->emplace_back(first, last);
  }
  return true;
}

bool ParseCaptureOptions(int argc, char** argv, CaptureOptions* o, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    if (name == "--hash" || name == "--help") {
      (name == "--hash" ? o->hash : o->help) = true;
      continue;
    }
    static const char* const kValued[] = {"--seconds", "--fps",  "--seed",   "--keys", "--effect", "--next",  "--hold",
                                          "--transition", "--scale", "--png", "--frames", "--wav", "--video"};
    if (std::find(std::begin(kValued), std::end(kValued), name) == std::end(kValued)) {
      *error = "unknown option " + Quoted(name);
      return false;
    }
    if (i + 1 >= argc) {
      *error = name + " needs a value";
      return false;
    }
    std::string value = argv[++i];
    std::string bad = name + " " + Quoted(value) + ": ";
    double number = 0;
    long integer = 0;
    if (name == "--seconds" || name == "--hold") {
      double most = name == "--seconds" ? kMaxCaptureSeconds : kMaxHoldSeconds;
      if (!ParseNumber(value, &number) || number <= 0 || number > most) {
        *error = bad + "wants seconds above 0 and at most " + Seconds(most);
        return false;
      }
      (name == "--seconds" ? o->seconds : o->hold) = number;
    } else if (name == "--fps") {
      if (!ParseInt(value, &integer) || integer < kMinFps || integer > kMaxFps) {
        *error = bad + "wants " + std::to_string(kMinFps) + ".." + std::to_string(kMaxFps);
        return false;
      }
      o->fps = static_cast<int>(integer);
    } else if (name == "--seed") {
      if (!ParseInt(value, &integer) || integer < 0 || integer > 0xFFFFFFFFL) {
        *error = bad + "wants 0..4294967295";
        return false;
      }
      o->seedGiven = true;
      o->seed = static_cast<unsigned>(integer);
    } else if (name == "--keys") {
      if (!ParseKeyList(value, &o->keys, error)) return false;
    } else if (name == "--effect" || name == "--next") {
      if (!ParseInt(value, &integer) || integer < 1 || integer > 14) {
        *error = bad + "wants an effect 1..14";
        return false;
      }
      (name == "--effect" ? o->effect : o->next) = static_cast<int>(integer);
    } else if (name == "--transition") {
      if (!ParseInt(value, &integer) || integer < 0 || integer > 15) {
        *error = bad + "wants a pattern 0..15";
        return false;
      }
      o->transition = static_cast<int>(integer);
    } else if (name == "--scale") {
      if (!ParseInt(value, &integer) || integer < kMinScale || integer > kMaxScale) {
        *error = bad + "wants " + std::to_string(kMinScale) + ".." + std::to_string(kMaxScale);
        return false;
      }
      o->scale = static_cast<int>(integer);
    } else if (name == "--frames") {
      std::vector<std::pair<long, long>> ranges;
      bool all;
      if (!ParseFrameList(value, &ranges, &all)) {
        *error = bad + "wants \"0,30,100-120\" or \"all\"";
        return false;
      }
      o->frames = value;
    } else {
      if (value.empty()) {
        *error = bad + (name == "--png" ? "wants a directory" : "wants a file name");
        return false;
      }
      if (name == "--video" && !EndsWith(value, ".mp4") && !EndsWith(value, ".mkv")) {
        *error = bad + "wants a .mp4 or .mkv file";
        return false;
      }
      (name == "--png" ? o->pngDir : name == "--wav" ? o->wavFile : o->videoFile) = value;
    }
  }
  if (o->help) return true;

  long frames = CaptureFrameCount(o->seconds, o->fps);
  if (frames < 1) {
    *error = "--seconds " + Quoted(Seconds(o->seconds)) + ": is less than one frame at --fps " + std::to_string(o->fps);
    return false;
  }
  for (const KeyPress& press : o->keys) {
    // The time is compared first so that a huge one never reaches the conversion to a frame number.
    if (press.time >= o->seconds || KeyPressFrame(press.time, o->fps) >= frames) {
      *error = "--keys " + Quoted(press.text) + ": the press is after the capture's end at " + Seconds(o->seconds) +
               " s";
      return false;
    }
  }
  if (!o->pngDir.empty() && o->frames.empty()) {
    *error = "--png needs --frames";
    return false;
  }
  if (o->pngDir.empty() && !o->frames.empty()) {
    *error = "--frames needs --png";
    return false;
  }
  std::vector<std::pair<long, long>> ranges;
  bool all;
  ParseFrameList(o->frames, &ranges, &all);
  for (const auto& range : ranges) {
    if (range.second >= frames) {
      *error = "--frames " + Quoted(o->frames) + ": the capture's frames are 0.." + std::to_string(frames - 1);
      return false;
    }
  }
  if (o->next != 0 && o->next == o->effect) {
    *error = "--next " + std::to_string(o->next) + ": must differ from --effect";
    return false;
  }
  if (!o->wavFile.empty() && o->wavFile == o->videoFile) {
    *error = "--wav " + Quoted(o->wavFile) + ": names the --video file too";
    return false;
  }
  return true;
}
