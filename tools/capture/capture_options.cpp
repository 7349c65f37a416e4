// Command-line options of musidisk-capture.
#include "capture_options.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <cstdlib>
#include <sstream>

namespace {

bool ParseNumber(const std::string& text, double* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return end != nullptr && *end == '\0';
}

bool ParseInt(const std::string& text, long* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  *value = std::strtol(text.c_str(), &end, 10);
  return end != nullptr && *end == '\0';
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

// "T:KEY", "T:KEY+D" (held D seconds) or "T:KEY+KEY..." (pressed together).
bool ParseKeyPress(const std::string& item, KeyPress* press, std::string* error) {
  size_t colon = item.find(':');
  if (colon == std::string::npos || !ParseNumber(item.substr(0, colon), &press->time) || press->time < 0) {
    *error = "bad key press '" + item + "': expected T:KEY";
    return false;
  }
  press->duration = 0;
  std::stringstream parts(item.substr(colon + 1));
  std::string part;
  while (std::getline(parts, part, '+')) {
    double seconds;
    if (!press->keys.empty() && ParseNumber(part, &seconds) && seconds >= 0) {
      press->duration = seconds;
      continue;
    }
    int code = KeyCode(part);
    if (code == 0) {
      *error = "unknown key '" + part + "' (keys: Right, Left, Up, Down, Space, Escape, Enter, Alt, A-Z)";
      return false;
    }
    press->keys.push_back(code);
  }
  if (press->keys.empty()) {
    *error = "bad key press '" + item + "': no key";
    return false;
  }
  return true;
}

}  // namespace

const char* CaptureUsage() {
  return "usage: musidisk-capture [options]\n"
         "  --seconds S        length of the capture in show seconds (default 30)\n"
         "  --fps N            frames per second of show time (default 60)\n"
         "  --seed N           seed every random start from N (repeatable to the byte)\n"
         "  --keys LIST        T:KEY[,T:KEY...]; T:KEY+D holds D seconds; T:Alt+Enter presses both\n"
         "                     keys: Right Left Up Down Space Escape Enter Alt A-Z\n"
         "  --effect K         first effect, 1..14 (default 1)\n"
         "  --hold S           first hold time in seconds (default 15)\n"
         "  --next K           incoming effect of the first transition, 1..14\n"
         "  --transition P     pattern of every transition, 0..15\n"
         "  --png DIR          write frames as DIR/frame_NNNNNN.png (with --frames)\n"
         "  --frames LIST      frames to write: \"0,30,100-120\" or \"all\"\n"
         "  --wav FILE         write the soundtrack (44,100 Hz, 16-bit stereo)\n"
         "  --video FILE       frames and soundtrack muxed by ffmpeg (.mp4: H.264/AAC, .mkv: FFV1/FLAC)\n"
         "  --hash             print one line per frame: frame number and pixel hash\n";
}

bool ParseFrameList(const std::string& text, std::vector<std::pair<long, long>>* ranges, bool* all) {
  *all = text == "all";
  if (*all) return true;
  std::stringstream items(text);
  std::string item;
  while (std::getline(items, item, ',')) {
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
  return !ranges->empty();
}

bool ParseCaptureOptions(int argc, char** argv, CaptureOptions* o, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    if (name == "--hash") {
      o->hash = true;
      continue;
    }
    static const char* const kValued[] = {"--seconds", "--fps",        "--seed", "--keys",   "--effect", "--next",
                                          "--hold",    "--transition", "--png",  "--frames", "--wav",    "--video"};
    if (std::find(std::begin(kValued), std::end(kValued), name) == std::end(kValued)) {
      *error = "unknown option " + name;
      return false;
    }
    if (i + 1 >= argc) {
      *error = "missing value for " + name;
      return false;
    }
    std::string value = argv[++i];
    double number = 0;
    long integer = 0;
    if (name == "--seconds") {
      if (!ParseNumber(value, &number) || number <= 0 || number > 86400) {
        *error = "--seconds wants a positive number of seconds";
        return false;
      }
      o->seconds = number;
    } else if (name == "--fps") {
      if (!ParseInt(value, &integer) || integer < 1 || integer > 1000) {
        *error = "--fps wants 1..1000";
        return false;
      }
      o->fps = static_cast<int>(integer);
    } else if (name == "--seed") {
      if (!ParseInt(value, &integer) || integer < 0 || integer > 0xFFFFFFFFL) {
        *error = "--seed wants 0..4294967295";
        return false;
      }
      o->seedGiven = true;
      o->seed = static_cast<unsigned>(integer);
    } else if (name == "--keys") {
      std::stringstream items(value);
      std::string item;
      while (std::getline(items, item, ',')) {
        KeyPress press;
        if (!ParseKeyPress(item, &press, error)) return false;
        o->keys.push_back(press);
      }
    } else if (name == "--effect" || name == "--next") {
      if (!ParseInt(value, &integer) || integer < 1 || integer > 14) {
        *error = name + " wants an effect 1..14";
        return false;
      }
      (name == "--effect" ? o->effect : o->next) = static_cast<int>(integer);
    } else if (name == "--hold") {
      if (!ParseNumber(value, &number) || number <= 0) {
        *error = "--hold wants a positive number of seconds";
        return false;
      }
      o->hold = number;
    } else if (name == "--transition") {
      if (!ParseInt(value, &integer) || integer < 0 || integer > 15) {
        *error = "--transition wants a pattern 0..15";
        return false;
      }
      o->transition = static_cast<int>(integer);
    } else if (name == "--png") {
      o->pngDir = value;
    } else if (name == "--frames") {
      std::vector<std::pair<long, long>> ranges;
      bool all;
      if (!ParseFrameList(value, &ranges, &all)) {
        *error = "--frames wants \"0,30,100-120\" or \"all\"";
        return false;
      }
      o->frames = value;
    } else if (name == "--wav") {
      o->wavFile = value;
    } else if (name == "--video") {
      o->videoFile = value;
    } else {
      *error = "unknown option " + name;
      return false;
    }
  }
  if (!o->pngDir.empty() && o->frames.empty()) {
    *error = "--png needs --frames";
    return false;
  }
  if (o->next != 0 && o->next == o->effect) {
    *error = "--next must differ from --effect";
    return false;
  }
  return true;
}
