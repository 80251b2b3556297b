#pragma once

// Figures a benchmark reads from the running program: named moments (counts
// of the performance counter, the clock every process of the machine shares)
// and named quantities (bytes, counts). Nothing is recorded unless the
// environment variable QUILLORA_BENCH_REPORT names a file when the program
// starts; each entry is then appended to that file at once as one line,
//   "mark <name> <counter>"  or  "count <name> <value>",
// so a benchmark that ends the program still finds every line written. Where
// a name is written more than once, its last line holds. Any thread may call.
// Names are short words without spaces.

// True when a benchmark asked for the report (read once, at the first call).
bool BenchReportEnabled();

// The moment now, under `name`.
void BenchMark(const char* name);

// A quantity under `name`.
void BenchCount(const char* name, long long value);
