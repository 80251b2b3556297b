// Start-up to first paint of a skinned window built from a skin archive of
// about 200 controls, against a bare Win32 program that only shows and
// paints one window of the same size, both started as fresh processes of
// this program in the same Wine session (target: at most 1.2 times the bare
// window); and the peak memory of each process once idle after its first
// paint (target for the skinned window: under 40 MiB).
//
// Run without arguments it is the measuring parent; with "--bare <event>" or
// "--skinned <event> <folder>" it is one child: it shows its window, sets the
// named event after the first paint, idles a moment and exits with its peak
// working set in KiB as the exit code.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/SampleSkins.h"
#include "tests/support/ScratchFolder.h"
#include "tests/ui/skin/portable/TestZipBuilder.h"
#include "ui/window/WindowImplBase.h"

using namespace Trellis;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr DWORD kIdleMs = 300;

HANDLE firstPaintEvent = nullptr;

void SignalFirstPaint() {
  if (firstPaintEvent != nullptr) {
    SetEvent(firstPaintEvent);
    firstPaintEvent = nullptr;
  }
}

// Pumps messages for the idle time, then returns the peak working set in KiB.
int IdleAndReportPeak() {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < kIdleMs) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!CWindowManagerUI::TranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return static_cast<int>(counters.PeakWorkingSetSize / 1024);
}

// --- The bare program: one window that paints itself ---

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EndPaint(window, &paint);
    SignalFirstPaint();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int RunBare() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = BareProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = L"QuilloraBareBench";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"bare", WS_POPUP | WS_VISIBLE, 60, 60, kWidth, kHeight,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return 0;
  UpdateWindow(window);
  return IdleAndReportPeak();
}

// --- The skinned window ---

class BenchWindow : public WindowImplBase {
 public:
  const UIChar* GetWindowClassName() const override { return L"QuilloraSkinnedBench"; }
  CUIString GetSkinFolder() override { return CUIString(L""); }
  CUIString GetSkinFile() override { return CUIString(L"bench.xml"); }
  int GetSkinSourceKind() override { return kUISkinArchiveFile; }
  CUIString GetSkinZipName() override { return CUIString(L"bench.zip"); }
  CControlUI* CreateControl(const UIChar* name) override { return m_callback.CreateControl(name); }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    const LRESULT result = WindowImplBase::HandleMessage(message, wParam, lParam);
    if (message == WM_PAINT) SignalFirstPaint();
    return result;
  }

 private:
  testskins::SampleCallback m_callback;
};

// A skin that cannot be loaded ends the child quietly (no message box to wait on).
void QuitWithoutPaint(WindowImplBase*) { ExitProcess(0); }

int RunSkinned(const wchar_t* folder) {
  WindowImplBase::SetSkinLoadFailureHandler(&QuitWithoutPaint);
  CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
  CWindowManagerUI::SetResourcePath(folder);
  BenchWindow window;
  if (window.CreateWithSize(nullptr, L"skinned", WS_POPUP | WS_VISIBLE, 0, 60, 60, kWidth, kHeight) == nullptr) {
    return 0;
  }
  UpdateWindow(window.GetHandle());
  return IdleAndReportPeak();
}

// --- The measuring parent ---

std::string Utf8(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), length, nullptr, nullptr);
  utf8.resize(utf8.size() - 1);
  return utf8;
}

struct Run {
  double firstPaintMs = -1;  // negative: the child never painted
  int peakKiB = 0;
};

Run StartChild(const std::wstring& arguments, int index) {
  Run run;
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring eventName = L"QuilloraStartupBench_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                 std::to_wstring(index);
  HANDLE painted = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
  std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
  command.replace(command.find(L"{event}"), 7, eventName);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const auto start = std::chrono::steady_clock::now();
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    CloseHandle(painted);
    return run;
  }
  HANDLE waits[2] = {painted, process.hProcess};
  if (WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0) {
    run.firstPaintMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  WaitForSingleObject(process.hProcess, 30000);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  run.peakKiB = static_cast<int>(code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(painted);
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc >= 3) {
    firstPaintEvent = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (std::wstring(argv[1]) == L"--bare") return RunBare();
    if (std::wstring(argv[1]) == L"--skinned" && argc >= 4) return RunSkinned(argv[3]);
    return 0;
  }

  const int rows = 10, perRow = 19, runs = 9;
  ScratchFolder folder(L"quillora_startup_bench");
  TestZipBuilder zip;
  TestZipEntry entries[3];
  entries[0].name = "bench.xml";
  entries[0].data = Utf8(testskins::GridSkin(kWidth, kHeight, rows, perRow));
  entries[1].name = "frame.bmp";
  entries[1].data = testskins::FramePicture();
  entries[2].name = "tile.bmp";
  entries[2].data = testskins::TilePicture();
  for (const TestZipEntry& entry : entries) zip.Add(entry);
  ScratchFolder::WriteFileBytes(folder / L"bench.zip", zip.Build());

  std::vector<double> bareMs, skinnedMs;
  int barePeak = 0, skinnedPeak = 0;
  for (int i = 0; i < runs; ++i) {
    // Alternate, so a slower moment of the machine hits both alike.
    const Run bare = StartChild(L"--bare {event}", 2 * i);
    // Without the trailing backslash, which would escape the closing quote.
    const std::wstring skinFolder = folder.path().substr(0, folder.path().size() - 1);
    const Run skinned = StartChild(L"--skinned {event} \"" + skinFolder + L"\"", 2 * i + 1);
    if (bare.firstPaintMs < 0 || skinned.firstPaintMs < 0) {
      std::printf("ui_startup_bench: a child did not paint (bare %.0f, skinned %.0f)\n", bare.firstPaintMs,
                  skinned.firstPaintMs);
      return 1;
    }
    if (i == 0) continue;  // the first pair warms the caches
    bareMs.push_back(bare.firstPaintMs);
    skinnedMs.push_back(skinned.firstPaintMs);
    barePeak = std::max(barePeak, bare.peakKiB);
    skinnedPeak = std::max(skinnedPeak, skinned.peakKiB);
  }
  const double bare = Median(bareMs), skinned = Median(skinnedMs);
  std::printf("start-up to first paint, %dx%d window, median of %d starts each:\n", kWidth, kHeight, runs - 1);
  std::printf("  %-44s %8.1f ms\n", "skinned window, archive skin of 201 controls", skinned);
  std::printf("  %-44s %8.1f ms\n", "baseline: bare Win32 window", bare);
  std::printf("  %-44s %8.2f x  (target at most 1.2 x)\n", "skinned / bare", bare > 0 ? skinned / bare : 0.0);
  std::printf("peak working set after %u ms idle:\n", static_cast<unsigned>(kIdleMs));
  std::printf("  %-44s %8.1f MiB  (target under 40 MiB)\n", "skinned window process", skinnedPeak / 1024.0);
  std::printf("  %-44s %8.1f MiB\n", "baseline: bare Win32 window process", barePeak / 1024.0);
  return 0;
}
