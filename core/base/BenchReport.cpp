#include "core/base/BenchReport.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// The report file's path; empty when no benchmark asked. Read once: the
// environment does not change under a running start-up.
const std::wstring& ReportPath() {
  static const std::wstring path = [] {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"QUILLORA_BENCH_REPORT", value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
  }();
  return path;
}

// The report, opened once for appending and kept open for the process's
// life (never closed: a thread may still write while the program ends).
// Opening the file for every line cost a few tenths of a millisecond each
// under Wine, inside the very start-up being timed. One whole line per
// write, so lines of several threads never interleave and nothing waits in a
// buffer when the program ends.
void AppendLine(const char* line, int length) {
  static const HANDLE file = CreateFileW(ReportPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (length <= 0 || file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
}

}  // namespace

bool BenchReportEnabled() { return !ReportPath().empty(); }

void BenchMark(const char* name) {
  if (!BenchReportEnabled()) return;
  LARGE_INTEGER now = {};
  QueryPerformanceCounter(&now);
  char line[160];
  AppendLine(line, std::snprintf(line, sizeof(line), "mark %s %lld\n", name, static_cast<long long>(now.QuadPart)));
}

void BenchCount(const char* name, long long value) {
  if (!BenchReportEnabled()) return;
  char line[160];
  AppendLine(line, std::snprintf(line, sizeof(line), "count %s %lld\n", name, value));
}
