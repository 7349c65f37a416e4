// One decoded tracker module ready to render: libopenmpt's module with the render settings and the
// load flags of a BASS music applied.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <ostream>

namespace openmpt {
class module;
}

namespace bass {

class ModuleInstance {
 public:
  // Decodes exactly `size` bytes at `data`; null when libopenmpt does not accept them or memory
  // runs out. Built on the program thread; only the audio callback renders it afterwards.
  static std::unique_ptr<ModuleInstance> Create(const void* data, size_t size, DWORD flags);
  ~ModuleInstance();
  ModuleInstance(const ModuleInstance&) = delete;
  ModuleInstance& operator=(const ModuleInstance&) = delete;

  // BASS_MUSIC_LOOP repeats the song forever, otherwise it plays once; BASS_MUSIC_RAMP or
  // BASS_MUSIC_RAMPS turn volume ramping on.
  void ApplyFlags(DWORD flags);
  // Whether `row` exists in the pattern at position `order` of the order list.
  bool HasPosition(int order, int row) const;
  void SetPosition(int order, int row);
  // Seconds of one pass through the song, from its start to its end or its loop.
  double DurationSeconds() const;
  // Renders up to `frames` interleaved stereo frames at `frequency` Hz, full scale +-1.0 (not
  // clipped); returns fewer, down to 0, only at the end of a song that does not loop.
  size_t Render(int frequency, float* stereo, size_t frames);

 private:
  ModuleInstance();

  // libopenmpt writes its warnings here for the whole life of the module: a stream without a buffer
  // discards them (the program writes no log). Declared first so that it outlives the module.
  std::ostream log_;
  std::unique_ptr<openmpt::module> module_;
};

}  // namespace bass
