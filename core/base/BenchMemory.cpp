#include "core/base/BenchMemory.h"

#include "core/base/BenchReport.h"

#include <windows.h>
#include <psapi.h>

#include <map>
#include <mutex>
#include <string>

namespace {

struct Totals {
  std::mutex lock;
  std::map<std::string, long long> values;
};

Totals& GetTotals() {
  static Totals totals;
  return totals;
}

// The working set now; false when the system cannot say.
bool ReadWorkingSet(long long* workingSet) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return false;
  *workingSet = static_cast<long long>(counters.WorkingSetSize);
  return true;
}

}  // namespace

void BenchAddCount(const char* name, long long value) {
  if (!BenchReportEnabled()) return;
  Totals& totals = GetTotals();
  long long total = 0;
  {
    std::lock_guard<std::mutex> hold(totals.lock);
    total = totals.values[name] += value;
  }
  BenchCount(name, total);
}

BenchMemoryScope::BenchMemoryScope(const char* name) : m_name(name) {
  m_active = BenchReportEnabled() && ReadWorkingSet(&m_workingSet);
}

BenchMemoryScope::~BenchMemoryScope() {
  long long workingSet = 0;
  if (!m_active || !ReadWorkingSet(&workingSet)) return;
  BenchAddCount((std::string(m_name) + ".ws").c_str(), workingSet - m_workingSet);
}
