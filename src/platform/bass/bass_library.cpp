// The BASS library's state and mixer over libopenmpt and the system's audio output.
#include "platform/bass/bass_library.h"

#include <bass.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

namespace bass {

namespace {

// BASS_Init device numbers: the default output, the "no sound" device (musics load and play but
// nothing is heard) and the first real device, which here is the default output too.
constexpr int kDefaultDevice = -1;
constexpr int kNoSoundDevice = 0;
constexpr int kFirstDevice = 1;

// Full scale of a 16-bit sample.
constexpr float kPcm16Scale = 32768.0f;

int16_t ToPcm16(float sample) {
  float scaled = sample * kPcm16Scale;
  // The first test also catches NaN.
  if (!(scaled > -32768.0f)) return -32768;
  if (scaled >= 32767.0f) return 32767;
  return static_cast<int16_t>(std::lrint(scaled));
}

}  // namespace

BassLibrary& BassLibrary::Instance() {
  static BassLibrary library;
  return library;
}

BassLibrary::AudioLock::AudioLock(AudioOutput* output) : output_(output) {
  if (output_ != nullptr) output_->Lock();
}

BassLibrary::AudioLock::~AudioLock() {
  if (output_ != nullptr) output_->Unlock();
}

bool BassLibrary::Fail(DWORD code) {
  errorCode_ = code;
  return false;
}

BassLibrary::Music* BassLibrary::Find(DWORD handle) {
  auto found = musics_.find(handle);
  return found == musics_.end() ? nullptr : found->second.get();
}

// The output is always 16-bit stereo, the one format every output offers; of the device flags, LATENCY and
// LEAVEVOL change nothing that is heard, and 8BITS, MONO and 3D are not offered.
bool BassLibrary::Init(int device, DWORD frequency, DWORD) {
  if (initialized_) return Fail(BASS_ERROR_ALREADY);
  if (device != kDefaultDevice && device != kNoSoundDevice && device != kFirstDevice) return Fail(BASS_ERROR_DEVICE);
  if (frequency < kMinFrequency || frequency > kMaxFrequency) return Fail(BASS_ERROR_FORMAT);
  frequency_ = static_cast<int>(frequency);
  if (device != kNoSoundDevice) {
    if (faults_.noDevice) return Fail(BASS_ERROR_DRIVER);
    AudioOutput& output = SystemAudioOutput();
    if (!output.Open(static_cast<int>(frequency), &BassLibrary::AudioCallback, this)) {
      return Fail(BASS_ERROR_DRIVER);
    }
    // Silent until BASS_Start.
    output.Pause(true);
    output_ = &output;
  }
  initialized_ = true;
  errorCode_ = BASS_OK;
  return true;
}

bool BassLibrary::Start() {
  if (!initialized_) return Fail(BASS_ERROR_INIT);
  if (output_ != nullptr) output_->Pause(false);
  errorCode_ = BASS_OK;
  return true;
}

bool BassLibrary::Stop() {
  if (!initialized_) return Fail(BASS_ERROR_INIT);
  if (output_ != nullptr) output_->Pause(true);
  {
    AudioLock lock(output_);
    for (auto& entry : musics_) entry.second->playing = false;
  }
  errorCode_ = BASS_OK;
  return true;
}

void BassLibrary::Free() {
  if (!initialized_) {
    Fail(BASS_ERROR_INIT);
    return;
  }
  if (output_ != nullptr) {
    // Once the device is closed the callback never runs again, so the musics go without the lock.
    output_->Pause(true);
    output_->Close();
    output_ = nullptr;
  }
  musics_.clear();
  initialized_ = false;
  frequency_ = 0;
  errorCode_ = BASS_OK;
}

DWORD BassLibrary::MusicLoad(bool fromMemory, const void* file, DWORD length, DWORD flags) {
  int call = musicLoadCalls_++;
  if (!initialized_) return Fail(BASS_ERROR_INIT);
  // The program reads no files: only memory images are loaded.
  if (!fromMemory) return Fail(BASS_ERROR_FILEOPEN);
  // Without a length the loader would have no bound on what it may read.
  if (file == nullptr || length == 0) return Fail(BASS_ERROR_ILLPARAM);
  if (call == faults_.failMusicLoadCall) return Fail(BASS_ERROR_FORMAT);
  try {
    auto music = std::make_unique<Music>();
    const auto* bytes = static_cast<const unsigned char*>(file);
    music->bytes.assign(bytes, bytes + length);
    music->flags = flags;
    music->instance = ModuleInstance::Create(music->bytes.data(), music->bytes.size(), flags);
    if (music->instance == nullptr) return Fail(BASS_ERROR_FORMAT);
    music->lengthSeconds = music->instance->DurationSeconds();
    DWORD handle = nextHandle_++;
    {
      AudioLock lock(output_);
      musics_.emplace(handle, std::move(music));
    }
    errorCode_ = BASS_OK;
    return handle;
  } catch (const std::bad_alloc&) {
    return Fail(BASS_ERROR_MEM);
  }
}

void BassLibrary::MusicFree(DWORD handle) {
  auto found = musics_.find(handle);
  if (found == musics_.end()) {
    Fail(BASS_ERROR_HANDLE);
    return;
  }
  std::unique_ptr<Music> freed;
  {
    AudioLock lock(output_);
    freed = std::move(found->second);
    musics_.erase(found);
  }
  // `freed` is destroyed here, outside the lock: the audio thread never waits on a module's teardown.
  errorCode_ = BASS_OK;
}

bool BassLibrary::MusicPlayEx(DWORD handle, DWORD position, int flags, bool reset) {
  int call = musicPlayCalls_++;
  if (!initialized_) return Fail(BASS_ERROR_INIT);
  Music* music = Find(handle);
  if (music == nullptr) return Fail(BASS_ERROR_HANDLE);
  if (call == faults_.failMusicPlayCall) return Fail(static_cast<DWORD>(BASS_ERROR_UNKNOWN));
  // MAKELONG(order, row).
  int order = LOWORD(position);
  int row = HIWORD(position);
  DWORD playFlags = flags == -1 ? music->flags : static_cast<DWORD>(flags);

  if (reset) {
    // A clean start: a module decoded afresh has no sounding notes and the song's own tempo.
    std::unique_ptr<ModuleInstance> fresh = ModuleInstance::Create(music->bytes.data(), music->bytes.size(), playFlags);
    if (fresh == nullptr) return Fail(BASS_ERROR_MEM);
    if (!fresh->HasPosition(order, row)) return Fail(BASS_ERROR_POSITION);
    if (order != 0 || row != 0) fresh->SetPosition(order, row);
    {
      AudioLock lock(output_);
      std::swap(music->instance, fresh);
      music->flags = playFlags;
      music->playing = true;
    }
    // `fresh` now holds the old module and is destroyed here, outside the lock.
  } else {
    AudioLock lock(output_);
    if (!music->instance->HasPosition(order, row)) return Fail(BASS_ERROR_POSITION);
    if (playFlags != music->flags) music->instance->ApplyFlags(playFlags);
    music->flags = playFlags;
    music->instance->SetPosition(order, row);
    music->playing = true;
  }
  plays_.push_back(bass_test::PlayRecord{handle, order, row, reset});
  errorCode_ = BASS_OK;
  return true;
}

bool BassLibrary::ChannelStop(DWORD handle) {
  Music* music = Find(handle);
  if (music == nullptr) return Fail(BASS_ERROR_HANDLE);
  {
    AudioLock lock(output_);
    music->playing = false;
  }
  errorCode_ = BASS_OK;
  return true;
}

double BassLibrary::MusicLengthSeconds(DWORD handle) {
  Music* music = Find(handle);
  return music != nullptr ? music->lengthSeconds : -1.0;
}

void BassLibrary::FailMusicLoadCall(int callIndex) {
  faults_.failMusicLoadCall = callIndex;
  musicLoadCalls_ = 0;
}

void BassLibrary::FailMusicPlayCall(int callIndex) {
  faults_.failMusicPlayCall = callIndex;
  musicPlayCalls_ = 0;
}

void BassLibrary::ResetTestState() {
  faults_ = Faults();
  plays_.clear();
}

std::vector<DWORD> BassLibrary::LoadedHandles() {
  std::vector<DWORD> handles;
  for (auto& entry : musics_) handles.push_back(entry.first);
  return handles;
}

std::vector<DWORD> BassLibrary::PlayingHandles() {
  std::vector<DWORD> handles;
  AudioLock lock(output_);
  for (auto& entry : musics_) {
    if (entry.second->playing) handles.push_back(entry.first);
  }
  return handles;
}

void BassLibrary::AudioCallback(void* user, int16_t* stereo, int frames) {
  static_cast<BassLibrary*>(user)->Mix(stereo, frames);
}

// Runs on the audio thread under the audio lock; allocates nothing.
void BassLibrary::Mix(int16_t* stereo, int frames) {
  while (frames > 0) {
    int chunk = std::min(frames, kMixChunkFrames);
    size_t samples = 2 * static_cast<size_t>(chunk);
    std::fill_n(mixBuffer_.begin(), samples, 0.0f);
    for (auto& entry : musics_) {
      Music& music = *entry.second;
      if (!music.playing) continue;
      size_t rendered = music.instance->Render(frequency_, musicBuffer_.data(), static_cast<size_t>(chunk));
      for (size_t i = 0; i < 2 * rendered; ++i) mixBuffer_[i] += musicBuffer_[i];
      // Only a song that does not loop renders short, at its end; the channel then stops.
      if (rendered < static_cast<size_t>(chunk)) music.playing = false;
    }
    for (size_t i = 0; i < samples; ++i) stereo[i] = ToPcm16(mixBuffer_[i]);
    stereo += samples;
    frames -= chunk;
  }
}

}  // namespace bass
