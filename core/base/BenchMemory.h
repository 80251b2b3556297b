#pragma once

// Memory figures a benchmark reads from the running program, through the
// bench report (core/base/BenchReport.h): what a step of the start-up added
// to the process's working set, and running totals of
// quantities counted where they are allocated. Nothing is measured or written
// unless the report is enabled, so the product pays one test of a flag.

// Adds `value` to the running total under `name` and writes the new total
// (the report keeps the last line of a name). Any thread may call.
void BenchAddCount(const char* name, long long value);

// Measures what the scope's work adds to the process: on leaving, the growth
// of the working set is added to "<name>.ws" (a running total; a scope that
// frees more than it takes adds a negative number). Other threads' work in
// the same moment is counted too, so scopes are for single steps of the UI
// thread's start-up.
class BenchMemoryScope {
 public:
  explicit BenchMemoryScope(const char* name);
  ~BenchMemoryScope();
  BenchMemoryScope(const BenchMemoryScope&) = delete;
  BenchMemoryScope& operator=(const BenchMemoryScope&) = delete;

 private:
  const char* m_name;          // borrowed: a literal
  long long m_workingSet = 0;  // at entry
  bool m_active = false;       // the report is on and the entry figure was read
};
