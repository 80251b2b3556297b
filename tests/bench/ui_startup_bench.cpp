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
// working set in KiB as the exit code. The parent adds two arguments, its
// performance counter just before it started the child and a file name: the
// child writes there where its time went, timed with the performance counter
// around the framework calls it makes and by the framework's load probe.
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
#include "ui/skin/portable/LoadProbe.h"
#include "ui/window/WindowImplBase.h"

using namespace Trellis;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr DWORD kIdleMs = 300;

HANDLE firstPaintEvent = nullptr;

double CounterMs(LONGLONG counter) {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  return static_cast<double>(counter) * 1000.0 / static_cast<double>(frequency);
}

LONGLONG Counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

// --- Where a child's time goes ---

// The moments a child notes, in order.
enum Moment {
  kStarted,        // the parent's counter before CreateProcess
  kMain,           // the child's main
  kCreateCall,     // the window's creation asked for
  kCreateMessage,  // WM_CREATE reached the window
  kCreateDone,     // WM_CREATE handled
  kCreated,        // the creation call returned
  kPaintStart,     // the first WM_PAINT reached the window
  kLaidOut,        // "windowinit": the first layout done
  kPainted,        // the first WM_PAINT handled
  kMomentCount
};

struct Timeline {
  LONGLONG at[kMomentCount] = {};
  // Time spent in each load step, without the steps nested in it; and the
  // same totals as they stood when WM_CREATE was handled.
  LONGLONG steps[kUILoadStepCount] = {};
  LONGLONG stepsAtCreate[kUILoadStepCount] = {};
};

Timeline timeline;
const wchar_t* timelineFile = nullptr;

void Note(Moment moment) {
  if (timeline.at[moment] == 0) timeline.at[moment] = Counter();
}

// The load probe: a stack of open steps, each step's time less its nested ones.
struct OpenStep {
  UILoadStep step;
  LONGLONG start;
  LONGLONG nested;
};
OpenStep openSteps[16];
int openCount = 0;

void ProbeStep(UILoadStep step, bool begin) {
  const LONGLONG now = Counter();
  if (begin) {
    if (openCount < 16) openSteps[openCount] = {step, now, 0};
    ++openCount;
    return;
  }
  if (--openCount >= 16 || openCount < 0) return;
  const OpenStep& open = openSteps[openCount];
  const LONGLONG whole = now - open.start;
  timeline.steps[open.step] += whole - open.nested;
  if (openCount > 0) openSteps[openCount - 1].nested += whole;
}

void WriteTimeline() {
  if (timelineFile == nullptr) return;
  HANDLE file = CreateFileW(timelineFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, &timeline, sizeof(timeline), &written, nullptr);
  CloseHandle(file);
}

void SignalFirstPaint() {
  if (firstPaintEvent != nullptr) {
    Note(kPainted);
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
    Note(kPaintStart);
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
  Note(kCreateCall);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"bare", WS_POPUP | WS_VISIBLE, 60, 60, kWidth, kHeight,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return 0;
  Note(kCreated);
  UpdateWindow(window);
  const int peak = IdleAndReportPeak();
  WriteTimeline();
  return peak;
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
    if (message == WM_CREATE) Note(kCreateMessage);
    if (message == WM_PAINT) Note(kPaintStart);
    const LRESULT result = WindowImplBase::HandleMessage(message, wParam, lParam);
    if (message == WM_CREATE) {
      Note(kCreateDone);
      for (int i = 0; i < kUILoadStepCount; ++i) timeline.stepsAtCreate[i] = timeline.steps[i];
    }
    if (message == WM_PAINT) SignalFirstPaint();
    return result;
  }
  void Notify(UINotify& msg) override {
    if (msg.sType.EqualsText(L"windowinit")) Note(kLaidOut);
    WindowImplBase::Notify(msg);
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
  SetUILoadProbe(&ProbeStep);
  BenchWindow window;
  Note(kCreateCall);
  if (window.CreateWithSize(nullptr, L"skinned", WS_POPUP | WS_VISIBLE, 0, 60, 60, kWidth, kHeight) == nullptr) {
    return 0;
  }
  Note(kCreated);
  UpdateWindow(window.GetHandle());
  const int peak = IdleAndReportPeak();
  WriteTimeline();
  return peak;
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
  Timeline timeline;         // all zero when the child wrote none
};

Run StartChild(const std::wstring& arguments, int index, const std::wstring& timelinePath) {
  Run run;
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring eventName = L"QuilloraStartupBench_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                 std::to_wstring(index);
  HANDLE painted = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
  std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
  command.replace(command.find(L"{event}"), 7, eventName);
  DeleteFileW(timelinePath.c_str());
  const LONGLONG started = Counter();
  command += L" " + std::to_wstring(started) + L" \"" + timelinePath + L"\"";
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
  HANDLE file = CreateFileW(timelinePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD read = 0;
    if (!ReadFile(file, &run.timeline, sizeof(run.timeline), &read, nullptr) || read != sizeof(run.timeline)) {
      run.timeline = Timeline();
    }
    CloseHandle(file);
  }
  run.timeline.at[kStarted] = started;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(painted);
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

// Milliseconds between two moments of a run; negative when one is missing.
double Span(const Timeline& t, Moment from, Moment to) {
  if (t.at[from] == 0 || t.at[to] == 0) return -1;
  return CounterMs(t.at[to] - t.at[from]);
}

// One line of the breakdown: the median over the runs of a figure each run gives.
template <typename Figure>
void PrintPart(const char* what, const std::vector<Run>& runs, Figure figure) {
  std::vector<double> values;
  for (const Run& run : runs) {
    const double value = figure(run.timeline);
    if (value >= 0) values.push_back(value);
  }
  if (values.empty()) {
    std::printf("    %-48s      n/a\n", what);
  } else {
    std::printf("    %-48s %8.2f ms\n", what, Median(values));
  }
}

double StepMs(const Timeline& t, UILoadStep step, bool atCreate) {
  return CounterMs(atCreate ? t.stepsAtCreate[step] : t.steps[step] - t.stepsAtCreate[step]);
}

void PrintBreakdown(const std::vector<Run>& bare, const std::vector<Run>& skinned) {
  std::printf("where the time goes (median of each part; the parts' medians need not add up to the whole):\n");
  std::printf("  bare window:\n");
  PrintPart("process start to main", bare, [](const Timeline& t) { return Span(t, kStarted, kMain); });
  PrintPart("main to the window's creation", bare, [](const Timeline& t) { return Span(t, kMain, kCreateCall); });
  PrintPart("window creation", bare, [](const Timeline& t) { return Span(t, kCreateCall, kCreated); });
  PrintPart("created to the first WM_PAINT", bare, [](const Timeline& t) { return Span(t, kCreated, kPaintStart); });
  PrintPart("first paint", bare, [](const Timeline& t) { return Span(t, kPaintStart, kPainted); });
  PrintPart("process start to the first paint's end", bare,
            [](const Timeline& t) { return Span(t, kStarted, kPainted); });
  std::printf("  skinned window:\n");
  PrintPart("process start to main", skinned, [](const Timeline& t) { return Span(t, kStarted, kMain); });
  PrintPart("main to the window's creation", skinned, [](const Timeline& t) { return Span(t, kMain, kCreateCall); });
  PrintPart("window creation up to WM_CREATE", skinned,
            [](const Timeline& t) { return Span(t, kCreateCall, kCreateMessage); });
  PrintPart("WM_CREATE (skin loading), in all", skinned,
            [](const Timeline& t) { return Span(t, kCreateMessage, kCreateDone); });
  PrintPart("  skin archive open", skinned, [](const Timeline& t) { return StepMs(t, kUILoadArchiveOpen, true); });
  PrintPart("  skin file read from the archive", skinned,
            [](const Timeline& t) { return StepMs(t, kUILoadSkinRead, true); });
  PrintPart("  skin parse (decoding included)", skinned,
            [](const Timeline& t) { return StepMs(t, kUILoadSkinParse, true); });
  PrintPart("  font creation", skinned, [](const Timeline& t) { return StepMs(t, kUILoadFont, true); });
  PrintPart("  control building", skinned, [](const Timeline& t) { return StepMs(t, kUILoadControls, true); });
  PrintPart("  image decoding", skinned, [](const Timeline& t) { return StepMs(t, kUILoadImage, true); });
  PrintPart("  the rest (window style, manager set-up, root)", skinned, [](const Timeline& t) {
    double rest = Span(t, kCreateMessage, kCreateDone);
    for (int i = 0; i < kUILoadStepCount; ++i) rest -= CounterMs(t.stepsAtCreate[i]);
    return rest < 0 ? 0.0 : rest;
  });
  PrintPart("WM_CREATE handled to created", skinned, [](const Timeline& t) { return Span(t, kCreateDone, kCreated); });
  PrintPart("created to the first WM_PAINT", skinned,
            [](const Timeline& t) { return Span(t, kCreated, kPaintStart); });
  PrintPart("first layout", skinned, [](const Timeline& t) { return Span(t, kPaintStart, kLaidOut); });
  PrintPart("first paint (after the layout)", skinned, [](const Timeline& t) { return Span(t, kLaidOut, kPainted); });
  PrintPart("  image decoding", skinned, [](const Timeline& t) { return StepMs(t, kUILoadImage, false); });
  PrintPart("  font creation", skinned, [](const Timeline& t) { return StepMs(t, kUILoadFont, false); });
  PrintPart("process start to the first paint's end", skinned,
            [](const Timeline& t) { return Span(t, kStarted, kPainted); });
}

}  // namespace

int main() {
  const LONGLONG mainCounter = Counter();
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc >= 3) {
    firstPaintEvent = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
    timeline.at[kMain] = mainCounter;
    // The parent's counter and the timeline's file follow the child's own
    // arguments (a child started by another benchmark has neither).
    const bool bare = std::wstring(argv[1]) == L"--bare";
    const int own = bare ? 3 : 4;
    if (argc >= own + 2) timelineFile = argv[own + 1];
    if (bare) return RunBare();
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

  std::vector<double> bareMs, skinnedMs, pairRatios;
  std::vector<Run> bareRuns, skinnedRuns;
  int barePeak = 0, skinnedPeak = 0;
  const std::wstring timelinePath = folder.path() + L"timeline.bin";
  for (int i = 0; i < runs; ++i) {
    // Alternate, so a slower moment of the machine hits both alike.
    const Run bare = StartChild(L"--bare {event}", 2 * i, timelinePath);
    // Without the trailing backslash, which would escape the closing quote.
    const std::wstring skinFolder = folder.path().substr(0, folder.path().size() - 1);
    const Run skinned = StartChild(L"--skinned {event} \"" + skinFolder + L"\"", 2 * i + 1, timelinePath);
    if (bare.firstPaintMs < 0 || skinned.firstPaintMs < 0) {
      std::printf("ui_startup_bench: a child did not paint (bare %.0f, skinned %.0f)\n", bare.firstPaintMs,
                  skinned.firstPaintMs);
      return 1;
    }
    if (i == 0) continue;  // the first pair warms the caches
    bareMs.push_back(bare.firstPaintMs);
    skinnedMs.push_back(skinned.firstPaintMs);
    if (bare.firstPaintMs > 0) pairRatios.push_back(skinned.firstPaintMs / bare.firstPaintMs);
    bareRuns.push_back(bare);
    skinnedRuns.push_back(skinned);
    barePeak = std::max(barePeak, bare.peakKiB);
    skinnedPeak = std::max(skinnedPeak, skinned.peakKiB);
  }
  const double bare = Median(bareMs), skinned = Median(skinnedMs);
  std::printf("start-up to first paint, %dx%d window, median of %d starts each:\n", kWidth, kHeight, runs - 1);
  std::printf("  %-44s %8.1f ms\n", "skinned window, archive skin of 201 controls", skinned);
  std::printf("  %-44s %8.1f ms\n", "baseline: bare Win32 window", bare);
  std::printf("  %-44s %8.2f x  (target at most 1.2 x)\n", "skinned / bare", bare > 0 ? skinned / bare : 0.0);
  // Each pair ran back to back, so its ratio is less swayed by a machine
  // whose load changes during the run.
  std::printf("  %-44s %8.2f x\n", "skinned / bare, median of the pairs' ratios", Median(pairRatios));
  std::printf("peak working set after %u ms idle:\n", static_cast<unsigned>(kIdleMs));
  std::printf("  %-44s %8.1f MiB  (target under 40 MiB)\n", "skinned window process", skinnedPeak / 1024.0);
  std::printf("  %-44s %8.1f MiB\n", "baseline: bare Win32 window process", barePeak / 1024.0);
  PrintBreakdown(bareRuns, skinnedRuns);
  return 0;
}
