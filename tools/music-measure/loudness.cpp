// Hands the audio to ffmpeg as raw 32-bit floats (so peaks above full scale survive) and reads
// the filter's closing summary.
#include "loudness.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

// The number after `label` on the last summary line that starts with it.
bool SummaryValue(const std::string& text, const std::string& label, double& value) {
  size_t summary = text.rfind("Summary:");
  if (summary == std::string::npos) return false;
  size_t at = text.find(label, summary);
  if (at == std::string::npos) return false;
  return std::sscanf(text.c_str() + at + label.size(), "%lf", &value) == 1;
}

}  // namespace

Loudness MeasureLoudness(const std::vector<float>& stereo, int rate) {
  Loudness out;
  char path[] = "/tmp/musidisk-loudness-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) {
    out.error = "cannot make a temporary file";
    return out;
  }
  FILE* f = fdopen(fd, "wb");
  bool written = f && std::fwrite(stereo.data(), sizeof(float), stereo.size(), f) == stereo.size();
  if (f) std::fclose(f);
  if (!written) {
    std::remove(path);
    out.error = "cannot write the audio for ffmpeg";
    return out;
  }
  std::ostringstream command;
  command << "ffmpeg -nostdin -hide_banner -nostats -f f32le -ar " << rate << " -ac 2 -i " << path
          << " -af ebur128=peak=true -f null - 2>&1";
  std::string text;
  if (FILE* p = popen(command.str().c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) text.append(buffer, n);
    int status = pclose(p);
    if (status != 0) out.error = "ffmpeg failed";
  } else {
    out.error = "cannot run ffmpeg";
  }
  std::remove(path);
  if (!out.error.empty()) return out;
  out.measured = SummaryValue(text, "I:", out.integrated) && SummaryValue(text, "LRA:", out.range) &&
                 SummaryValue(text, "Peak:", out.truePeak);
  if (!out.measured) out.error = "no loudness summary from ffmpeg";
  return out;
}
