// Start-up of the real program: from CreateProcess of Quillora.exe to the
// first complete paint of its main window, against the bare Win32 window of
// ui_startup_bench.exe ("--bare") started the same way in the same Wine
// session (target: at most 1.5 times the bare window); and the program's peak
// working set once it has sat idle a few seconds after that paint, its
// start-up threads and catalogue requests done (target: under 60 MiB).
//
// Quillora.exe talks to the services at the build's fixed addresses:
// tools/bench.sh starts the stand-in services there for this benchmark, so
// the start-up, version-check and catalogue requests really run.
//
// Both programs are timed by the same outside view, with no hook in either:
// the first moment their window is visible and has nothing left to paint
// (an empty update region) counts as the first paint. Where the program's time
// goes is read from the moments it writes itself when asked
// (QUILLORA_BENCH_REPORT, a fresh file per start), against the performance
// counter read just before it was started.
#include <windows.h>
#include <psapi.h>

#include "tests/bench/BenchReportFile.h"
#include "tests/bench/IdleMemory.h"
#include "tests/support/RunningProgram.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kProgramIdleMs = 4000;  // the catalogue replies and the images they bring
constexpr DWORD kPaintTimeoutMs = 60000;
constexpr int kRuns = 9;  // the first pair only warms the caches

struct WindowSearch {
  DWORD pid;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->pid) return TRUE;
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (wcscmp(name, search->className) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

// How far the process's top-level window of that class has come.
enum class WindowStage { None, Created, Shown, Painted };

WindowStage StageOf(DWORD pid, const wchar_t* className) {
  WindowSearch search{pid, className, nullptr};
  EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return WindowStage::None;
  if (!IsWindowVisible(search.found)) return WindowStage::Created;
  RECT area = {};
  if (!GetClientRect(search.found, &area) || IsRectEmpty(&area)) return WindowStage::Shown;
  return GetUpdateRect(search.found, nullptr, FALSE) ? WindowStage::Shown : WindowStage::Painted;
}

struct Run {
  double createdMs = -1;     // the window exists (its WM_CREATE, the skin build, runs next)
  double shownMs = -1;       // the window is visible: created and built
  double firstPaintMs = -1;  // negative: never painted
  double peakMiB = 0;
  bool stayedAlive = true;   // the program was still running when measured
  bench::BenchReportFile report;  // what the program wrote about itself (empty for the bare window)
  long long origin = 0;           // the counter just before the start
};

// Starts `exe` with `arguments` from the bin folder, waits for its first
// complete paint, then for `idleMs`, and reads its peak working set (from the
// process itself, or from its exit code for the bare child, which reports its
// peak in KiB when it ends). The program is ended afterwards.
Run Measure(const std::wstring& exe, const std::wstring& arguments, const wchar_t* className, DWORD idleMs,
            bool peakFromExitCode, const std::wstring& reportPath = std::wstring()) {
  Run run;
  testprograms::ProgramStart launch;
  launch.exe = exe;
  launch.arguments = arguments;
  if (!reportPath.empty()) {
    DeleteFileW(reportPath.c_str());
    launch.environment.emplace_back(L"QUILLORA_BENCH_REPORT", reportPath);
  }
  testprograms::Program program;
  run.origin = bench::CounterNow();
  const auto start = std::chrono::steady_clock::now();
  if (!program.Start(launch)) {
    std::printf("app_startup_bench: cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
    return run;
  }
  HANDLE process = program.process();  // borrowed from the Program
  for (;;) {
    const WindowStage stage = StageOf(program.pid(), className);
    const double now = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (stage >= WindowStage::Created && run.createdMs < 0) run.createdMs = now;
    if (stage >= WindowStage::Shown && run.shownMs < 0) run.shownMs = now;
    if (stage == WindowStage::Painted) {
      run.firstPaintMs = now;
      break;
    }
    if (now > kPaintTimeoutMs || WaitForSingleObject(process, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  if (peakFromExitCode) {
    WaitForSingleObject(process, kPaintTimeoutMs);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    run.peakMiB = code / 1024.0;
  } else {
    run.stayedAlive = WaitForSingleObject(process, idleMs) == WAIT_TIMEOUT;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(process, &counters, sizeof(counters)))
      run.peakMiB = counters.PeakWorkingSetSize / (1024.0 * 1024.0);
    // Closing would ask the quit question; the measurement is over.
    program.Terminate();
  }
  if (!reportPath.empty()) run.report.Read(reportPath);
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

// The program's start-up in its order: each step ends at its mark and starts
// at the mark before it (the first at the start), so the steps add up to the
// moment the first paint ended inside the program.
struct StartupStep {
  const char* mark;
  const char* label;
};
constexpr StartupStep kStartupSteps[] = {
    {"main", "process start to wWinMain"},
    {"skin_archive", "controls registered, skin archive in place"},
    {"gate", "crash handler, single instance, elevation"},
    {"settings_read", "settings read"},
    {"settings", "device identifier, service addresses"},
    {"network", "network start-up"},
    {"threads", "start-up and catalogue threads started"},
    {"report_started", "main window object, start-up report thread"},
    {"wm_create", "window creation until WM_CREATE"},
    {"manager_ready", "window manager set up"},
    {"skin_built", "skin built (MainWnd.xml)"},
    {"pages_bound", "pages bound and reset"},
    {"window_created", "rest of window creation, centring"},
    {"paint_begin", "until the first WM_PAINT"},
    {"laid_out", "first layout"},
    {"paint_end", "first paint"},
};

// Skin-loading steps the program clocks up to the end of its first paint
// (totals in microseconds, and how many of each), nested in the steps above.
constexpr StartupStep kLoadSteps[] = {
    {"archive_open", "skin archive opened"}, {"skin_read", "skin files read"}, {"skin_parse", "skin parse"},
    {"controls", "control trees built"},     {"image", "image decoding"},      {"font", "font creation"},
};

// The breakdown, each figure the median over the starts of the same run; a
// step whose marks a start lacks is left out of that start.
void PrintStartupBreakdown(const std::vector<Run>& runs, const std::vector<double>& outsideMs) {
  std::printf("where Quillora.exe's start-up time goes (medians of the same starts):\n");
  const char* previous = nullptr;
  for (const StartupStep& step : kStartupSteps) {
    std::vector<double> spans;
    for (const Run& run : runs) {
      const double end = run.report.MarkMs(step.mark, run.origin);
      const double begin = previous == nullptr ? 0.0 : run.report.MarkMs(previous, run.origin);
      if (end >= 0 && begin >= 0) spans.push_back(end - begin);
    }
    std::printf("  %-48s %8.1f ms\n", step.label, Median(spans));
    previous = step.mark;
  }
  // The outside view counts the paint once its update region is empty, which
  // the paint's BeginPaint does before the drawing: so from its start.
  std::vector<double> seen;
  for (size_t i = 0; i < runs.size() && i < outsideMs.size(); ++i) {
    const double begin = runs[i].report.MarkMs("paint_begin", runs[i].origin);
    if (begin >= 0) seen.push_back(outsideMs[i] - begin);
  }
  std::printf("  %-48s %8.1f ms\n", "first WM_PAINT began until seen from outside", Median(seen));
  std::printf("  skin-loading steps until the first paint ends (inside the steps above):\n");
  for (const StartupStep& step : kLoadSteps) {
    std::vector<double> totals, runsOf;
    const std::string micros = std::string(step.mark) + "_us", count = std::string(step.mark) + "_runs";
    for (const Run& run : runs) {
      if (run.report.Count(micros.c_str()) < 0) continue;
      totals.push_back(run.report.Count(micros.c_str()) / 1000.0);
      runsOf.push_back(static_cast<double>(run.report.Count(count.c_str(), 0)));
    }
    std::printf("    %-46s %8.1f ms  (%.0f times)\n", step.label, Median(totals), Median(runsOf));
  }
}

// A fresh report file per start, in the temporary folder.
std::wstring ReportPath(int start) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + L"quillora_startup_report_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
         std::to_wstring(start) + L".txt";
}

// --- Where the memory goes at idle ---

// One more start of Quillora.exe, with its own report asked for: once it has
// painted and sat idle as in the runs above, its address space from outside
// (and, under Wine, the unix process around it), then the quantities it
// counted where it allocated them.
bool PrintIdleMemory() {
  const std::wstring report = testprograms::BinFolder() + L"app_startup_memory_report.txt";
  DeleteFileW(report.c_str());
  testprograms::ProgramStart launch;
  launch.exe = L"Quillora.exe";
  launch.environment = {{L"QUILLORA_BENCH_REPORT", report}};
  testprograms::Program program;
  if (!program.Start(launch)) return false;
  const auto start = std::chrono::steady_clock::now();
  while (StageOf(program.pid(), L"_QuilloraMainWnd_") != WindowStage::Painted) {
    if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(kPaintTimeoutMs)) return false;
    if (WaitForSingleObject(program.process(), 0) == WAIT_OBJECT_0) return false;
    Sleep(1);
  }
  if (WaitForSingleObject(program.process(), kProgramIdleMs) != WAIT_TIMEOUT) return false;
  std::printf("where the memory goes, one more start of Quillora.exe after %lu ms idle:\n", kProgramIdleMs);
  bench::ProcessMemoryView view(program.process(), program.pid(), testprograms::BinFolder() + L"Quillora.exe");
  view.Collect();
  view.Print();
  bench::BenchReportFile counts;
  if (counts.Read(report)) bench::PrintCounts(counts.counts);
  program.Terminate();
  DeleteFileW(report.c_str());
  return true;
}

}  // namespace

int main() {
  std::vector<double> bareMs, programMs, programCreatedMs, programShownMs;
  std::vector<Run> programRuns;
  double barePeak = 0, programPeak = 0;
  for (int i = 0; i < kRuns; ++i) {
    // Alternate, so a slower moment of the machine hits both alike. The bare
    // child is given an event name nobody waits on: it is timed from outside
    // like the program.
    const Run bare = Measure(L"ui_startup_bench.exe", L"--bare QuilloraAppStartupBenchUnused", L"QuilloraBareBench",
                             0, true);
    const std::wstring reportPath = ReportPath(i);
    const Run program = Measure(L"Quillora.exe", L"", L"_QuilloraMainWnd_", kProgramIdleMs, false, reportPath);
    DeleteFileW(reportPath.c_str());
    if (bare.firstPaintMs < 0 || program.firstPaintMs < 0) {
      std::printf("app_startup_bench: a program did not paint (bare %.0f ms, Quillora.exe %.0f ms)\n",
                  bare.firstPaintMs, program.firstPaintMs);
      return 1;
    }
    if (!program.stayedAlive) {
      std::printf("app_startup_bench: Quillora.exe ended on its own during the idle time\n");
      return 1;
    }
    if (i == 0) continue;
    bareMs.push_back(bare.firstPaintMs);
    programMs.push_back(program.firstPaintMs);
    programCreatedMs.push_back(program.createdMs);
    programShownMs.push_back(program.shownMs);
    programRuns.push_back(program);
    barePeak = std::max(barePeak, bare.peakMiB);
    programPeak = std::max(programPeak, program.peakMiB);
  }
  const double bare = Median(bareMs), program = Median(programMs);
  std::printf("program start-up to first complete paint, median of %d starts each:\n", kRuns - 1);
  std::printf("  %-48s %8.1f ms\n", "Quillora.exe (1024x720 main window, stand-ins)", program);
  std::printf("  %-48s %8.1f ms\n", "baseline: bare Win32 window (800x600)", bare);
  std::printf("  %-48s %8.2f x  (target at most 1.5 x)\n", "Quillora.exe / bare", bare > 0 ? program / bare : 0.0);
  std::printf("  %-48s %8.1f ms\n", "  of which: until its main window exists", Median(programCreatedMs));
  std::printf("  %-48s %8.1f ms\n", "  of which: until it is built and shown", Median(programShownMs));
  PrintStartupBreakdown(programRuns, programMs);
  std::printf("peak working set, largest of the %d starts:\n", kRuns - 1);
  std::printf("  %-48s %8.1f MiB  (target under 60 MiB)\n", "Quillora.exe after 4 s idle", programPeak);
  std::printf("  %-48s %8.1f MiB\n", "baseline: bare Win32 window after 300 ms idle", barePeak);
  if (!PrintIdleMemory()) std::printf("app_startup_bench: the memory breakdown could not be taken\n");
  return 0;
}
