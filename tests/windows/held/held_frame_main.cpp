// musidisk-held-frame.exe: the Windows program with its clock in the test's hands, for comparing
// the system's Direct3D 8 with our software device on a picture that no longer moves. It runs the
// real WinMain on the real device with effect EFFECT on screen, and a performance counter that
// stands at SEED and moves one 1/FPS step after each Present, as the headless host's does, until
// FRAMES frames are presented; from then on it stands still and every frame shows the same moment.
// Three frames later the window's title becomes "Tarnvik Musidisk held": the test then reads the
// screen. Escape ends it as usual.
// Usage: musidisk-held-frame.exe EFFECT FRAMES SEED FPS
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/shell_state.h"
#include "gfx/graphics_device.h"
#include "scenes/effect_scheduler.h"

namespace {

// The headless host's counter frequency: nanoseconds.
constexpr int64_t kFrequency = 1000000000;
// Index of Present in IDirect3DDevice8's table of methods (after IUnknown's three, then
// TestCooperativeLevel, GetAvailableTextureMem, ResourceManagerDiscardBytes, GetDirect3D,
// GetDeviceCaps, GetDisplayMode, GetCreationParameters, SetCursorProperties, SetCursorPosition,
// ShowCursor, CreateAdditionalSwapChain and Reset).
constexpr int kPresentSlot = 15;
// Frames presented after the clock stopped before the title says the picture is held.
constexpr long kSettleFrames = 3;
// Long enough that no transition starts while the test looks.
constexpr float kHoldForever = 100000.0f;

int64_t counter = 0;
long presents = 0;
long framesToRun = 0;
int framesPerSecond = 30;

typedef HRESULT(WINAPI* PresentFunction)(IDirect3DDevice8*, const RECT*, const RECT*, HWND, const RGNDATA*);
PresentFunction realPresent = nullptr;

HRESULT WINAPI CountingPresent(IDirect3DDevice8* device, const RECT* source, const RECT* dest, HWND window,
                               const RGNDATA* dirty) {
  HRESULT result = realPresent(device, source, dest, window, dirty);
  if (presents < framesToRun) {
    // One frame of show time, the remainder spread as the headless host spreads it.
    counter += (presents + 1) * kFrequency / framesPerSecond - presents * kFrequency / framesPerSecond;
  }
  ++presents;
  if (presents == framesToRun + kSettleFrames) SetWindowTextA(mainWindow, "Tarnvik Musidisk held");
  return result;
}

// Points the device's Present at CountingPresent, once the device exists.
void HookPresent() {
  if (realPresent != nullptr || d3dDevice == nullptr) return;
  void** table = *reinterpret_cast<void***>(d3dDevice);
  DWORD old = 0;
  if (!VirtualProtect(&table[kPresentSlot], sizeof(void*), PAGE_READWRITE, &old)) return;
  realPresent = reinterpret_cast<PresentFunction>(table[kPresentSlot]);
  table[kPresentSlot] = reinterpret_cast<void*>(&CountingPresent);
  VirtualProtect(&table[kPresentSlot], sizeof(void*), old, &old);
}

BOOL WINAPI HeldCounter(LARGE_INTEGER* count) {
  HookPresent();
  count->QuadPart = counter;
  return TRUE;
}

BOOL WINAPI HeldFrequency(LARGE_INTEGER* frequency) {
  frequency->QuadPart = kFrequency;
  return TRUE;
}

// Replaces an entry of this program's import table, so every call the program makes to it (they
// all go through the table) reaches `replacement`.
bool PatchImport(const char* dll, const char* function, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); entry->Name != 0;
       ++entry) {
    if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD old = 0;
      if (!VirtualProtect(&addresses->u1.Function, sizeof(void*), PAGE_READWRITE, &old)) return false;
      addresses->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&addresses->u1.Function, sizeof(void*), old, &old);
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  const int effect = std::atoi(argv[1]);
  framesToRun = std::atol(argv[2]);
  counter = static_cast<int64_t>(std::strtoul(argv[3], nullptr, 10));
  framesPerSecond = std::atoi(argv[4]);
  if (effect < 1 || effect > 14 || framesToRun < 1 || framesPerSecond < 1) return 2;
  if (!PatchImport("kernel32.dll", "QueryPerformanceCounter", reinterpret_cast<void*>(&HeldCounter)) ||
      !PatchImport("kernel32.dll", "QueryPerformanceFrequency", reinterpret_cast<void*>(&HeldFrequency))) {
    return 3;
  }
  currentEffect = effect;
  holdSeconds = kHoldForever;
  return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
}
