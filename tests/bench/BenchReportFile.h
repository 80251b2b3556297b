#pragma once
// Reads the report a program under benchmark writes when the environment
// variable QUILLORA_BENCH_REPORT names a file (see core/base/BenchReport.h):
// its named moments, as milliseconds after a moment of the benchmark's own
// (both read the performance counter, which every process shares), and its
// named quantities. Where a name comes more than once, its last line holds.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace bench {

// The benchmark's own moment now, in the program's units.
inline long long CounterNow() {
  LARGE_INTEGER now = {};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

struct BenchReportFile {
  std::map<std::string, long long> marks;   // counter values
  std::map<std::string, long long> counts;  // quantities

  // False when the file cannot be read; lines of another form are skipped.
  bool Read(const std::wstring& path) {
    marks.clear();
    counts.clear();
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) return false;
    char line[256];
    while (std::fgets(line, sizeof(line), file) != nullptr) {
      char kind[16] = {}, name[128] = {};
      long long value = 0;
      if (std::sscanf(line, "%15s %127s %lld", kind, name, &value) != 3) continue;
      if (std::strcmp(kind, "mark") == 0) marks[name] = value;
      if (std::strcmp(kind, "count") == 0) counts[name] = value;
    }
    std::fclose(file);
    return true;
  }

  // Milliseconds from `origin` (a CounterNow of the benchmark) to the mark;
  // negative when the program wrote no such mark.
  double MarkMs(const char* name, long long origin) const {
    const auto found = marks.find(name);
    if (found == marks.end()) return -1;
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(found->second - origin) * 1000.0 / static_cast<double>(frequency.QuadPart);
  }

  // The quantity, or `missing` when the program wrote none.
  long long Count(const char* name, long long missing = -1) const {
    const auto found = counts.find(name);
    return found == counts.end() ? missing : found->second;
  }
};

}  // namespace bench
