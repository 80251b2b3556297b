#include "app/StartupBench.h"

#include "core/base/BenchReport.h"
#include "ui/skin/portable/LoadProbe.h"

#include <windows.h>

#include <cstdio>

namespace {

using Trellis::UILoadStep;

// Per step: how deep it is nested in itself now, when its outermost run
// began, its total counter ticks (outermost runs only, so a font created
// while fonts are measured counts once) and how many runs began.
struct StepClock {
  int depth = 0;
  long long began = 0;
  long long ticks = 0;
  long long runs = 0;
};
StepClock g_steps[Trellis::kUILoadStepCount];
bool g_finished = false;

long long CounterNow() {
  LARGE_INTEGER now = {};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

void ClockStep(UILoadStep step, bool begin) {
  if (step < 0 || step >= Trellis::kUILoadStepCount) return;
  StepClock& clock = g_steps[step];
  if (begin) {
    ++clock.runs;
    if (clock.depth++ == 0) clock.began = CounterNow();
  } else if (clock.depth > 0 && --clock.depth == 0) {
    clock.ticks += CounterNow() - clock.began;
  }
}

// Report names of the steps, in the order of UILoadStep.
const char* const kStepNames[Trellis::kUILoadStepCount] = {"archive_open", "skin_read", "skin_parse",
                                                           "font",         "controls",  "image"};

}  // namespace

void StartStartupBenchProbe() {
  if (BenchReportEnabled()) Trellis::SetUILoadProbe(&ClockStep);
}

void FinishStartupBenchProbe() {
  if (g_finished || !BenchReportEnabled()) return;
  g_finished = true;
  Trellis::SetUILoadProbe(nullptr);
  LARGE_INTEGER frequency = {};
  QueryPerformanceFrequency(&frequency);
  char name[64];
  for (int i = 0; i < Trellis::kUILoadStepCount; ++i) {
    std::snprintf(name, sizeof(name), "%s_us", kStepNames[i]);
    BenchCount(name, g_steps[i].ticks * 1000000 / frequency.QuadPart);
    std::snprintf(name, sizeof(name), "%s_runs", kStepNames[i]);
    BenchCount(name, g_steps[i].runs);
  }
}
