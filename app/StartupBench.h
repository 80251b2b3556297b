#pragma once
// The start-up moments a benchmark reads (see core/base/BenchReport.h): when
// the report is enabled, the skin-loading steps of the UI thread are clocked
// through the framework's load probe, and their totals up to the main window's
// first complete paint are written as quantities then. Nothing happens without
// the report. UI thread only.

// Installs the load probe when a benchmark asked for the report.
void StartStartupBenchProbe();

// The main window's first paint is done: writes the steps' totals (once) and
// removes the probe, so later windows cost nothing.
void FinishStartupBenchProbe();
