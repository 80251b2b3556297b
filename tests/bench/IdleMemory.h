#pragma once
// Where a running program's memory goes, seen from outside the process: its
// address space walked region by region (the program's image, the other
// modules, the thread stacks, the other private memory, mapped views), each
// with what is committed and what is resident; under Wine also the unix
// process that carries it (Wine's own libraries, the host's libraries and
// fonts, Wine's unix-side memory), which is what the working set counts
// there. Resident pages come from QueryWorkingSetEx where the system answers
// it for another process, else, under Wine, from the unix process's page map.
// Windows benchmarks only.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace bench {

constexpr double kMiB = 1024.0 * 1024.0;

// Committed and resident bytes of one kind of memory.
struct MemoryShare {
  unsigned long long committed = 0;
  unsigned long long resident = 0;
  int pieces = 0;  // regions, modules or threads
};

// Whole-file helper for the unix process's files (read through Wine's Z: drive).
inline std::string ReadWholeText(const std::wstring& path, size_t limit = 16u << 20) {
  std::string text;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char chunk[65536];
  DWORD got = 0;
  while (text.size() < limit && ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) text.append(chunk, got);
  CloseHandle(file);
  return text;
}

// The unix side of the process under Wine: its pid there and its page map.
class UnixProcess {
 public:
  // Finds the unix process whose mappings hold `exePath` (a Windows path of
  // the program's file, unique to this build folder). False outside Wine.
  bool Find(const std::wstring& exePath) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) return false;
    char* unixPath = toUnix(exePath.c_str());
    if (unixPath == nullptr) return false;
    const std::string wanted = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    const std::string base = wanted.substr(wanted.find_last_of('/') + 1);
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
      const std::wstring name = found.cFileName;
      if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
      const std::wstring folder = L"Z:\\proc\\" + name + L"\\";
      if (ReadWholeText(folder + L"cmdline", 4096).find(base) == std::string::npos) continue;
      const std::string maps = ReadWholeText(folder + L"maps");
      if (maps.find(wanted) == std::string::npos) continue;
      m_folder = folder;
      break;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return !m_folder.empty();
  }

  bool Found() const { return !m_folder.empty(); }
  std::string Read(const wchar_t* file) const { return ReadWholeText(m_folder + file); }

  // Resident bytes of [start, end) by the page map; 0 when it cannot be read.
  unsigned long long Resident(uintptr_t start, uintptr_t end) {
    if (m_pagemap == INVALID_HANDLE_VALUE && !m_triedPagemap) {
      m_triedPagemap = true;
      m_pagemap = CreateFileW((m_folder + L"pagemap").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    }
    if (m_pagemap == INVALID_HANDLE_VALUE || end <= start) return 0;
    unsigned long long resident = 0;
    std::vector<unsigned long long> entries(512);
    for (uintptr_t page = start / 4096; page < (end + 4095) / 4096;) {
      const size_t count = std::min<size_t>(entries.size(), (end + 4095) / 4096 - page);
      LARGE_INTEGER offset;
      offset.QuadPart = static_cast<LONGLONG>(page) * 8;
      DWORD got = 0;
      if (!SetFilePointerEx(m_pagemap, offset, nullptr, FILE_BEGIN) ||
          !ReadFile(m_pagemap, entries.data(), static_cast<DWORD>(count * 8), &got, nullptr) || got == 0) {
        break;
      }
      for (size_t i = 0; i < got / 8; ++i) resident += (entries[i] >> 63) != 0 ? 4096 : 0;
      page += got / 8;
    }
    return resident;
  }

  ~UnixProcess() {
    if (m_pagemap != INVALID_HANDLE_VALUE) CloseHandle(m_pagemap);
  }

 private:
  std::wstring m_folder;  // Z:\proc\<pid>\ ; empty when not found
  HANDLE m_pagemap = INVALID_HANDLE_VALUE;
  bool m_triedPagemap = false;
};

// The outside view of a running process's memory.
class ProcessMemoryView {
 public:
  ProcessMemoryView(HANDLE process, DWORD pid, const std::wstring& exePath) : m_process(process), m_pid(pid) {
    m_unix.Find(exePath);
  }

  void Collect() {
    CollectStacks();
    m_shares["thread stacks"].pieces = static_cast<int>(m_stacks.size());
    MEMORY_BASIC_INFORMATION region = {};
    for (uintptr_t address = 0;
         VirtualQueryEx(m_process, reinterpret_cast<void*>(address), &region, sizeof(region)) == sizeof(region);) {
      const uintptr_t start = reinterpret_cast<uintptr_t>(region.BaseAddress);
      const uintptr_t end = start + region.RegionSize;
      if (end <= address) break;
      address = end;
      if (region.State != MEM_COMMIT) continue;
      const unsigned long long resident = Resident(start, end);
      m_windowsRanges.push_back({start, end});
      MemoryShare* module = nullptr;
      MemoryShare& share = ShareOf(region, start, &module);
      for (MemoryShare* counted : {&share, module}) {
        if (counted == nullptr) continue;
        counted->committed += region.RegionSize;
        counted->resident += resident;
      }
    }
  }

  void Print() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(m_process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    std::printf("  %-52s %8.1f MiB (peak %.1f MiB)\n", "working set now", counters.WorkingSetSize / kMiB,
                counters.PeakWorkingSetSize / kMiB);
    std::printf("  the process's address space, %s:\n",
                m_residentSource == 1   ? "resident pages by QueryWorkingSetEx"
                : m_residentSource == 2 ? "resident pages by the unix page map"
                                        : "resident pages unknown");
    std::printf("    %-50s %10s %10s\n", "", "committed", "resident");
    for (const auto& entry : m_shares) {
      std::printf("    %-50s %6.1f MiB %6.1f MiB  (%d)\n", entry.first.c_str(), entry.second.committed / kMiB,
                  entry.second.resident / kMiB, entry.second.pieces);
    }
    std::printf("    %-50s %6.1f MiB over %zu threads\n", "stack reservations", m_stackReserved / kMiB,
                m_stacks.size());
    std::vector<std::pair<std::string, MemoryShare>> modules(m_modules.begin(), m_modules.end());
    std::sort(modules.begin(), modules.end(),
              [](const auto& a, const auto& b) { return a.second.resident > b.second.resident; });
    std::printf("    largest modules by resident pages:\n");
    for (size_t i = 0; i < modules.size() && i < 12; ++i) {
      std::printf("      %-48s %6.1f MiB %6.1f MiB\n", modules[i].first.c_str(), modules[i].second.committed / kMiB,
                  modules[i].second.resident / kMiB);
    }
    if (m_unix.Found()) PrintUnixSide();
  }

 private:
  // Thread stacks: from each thread's TEB, the reservation below its stack base.
  void CollectStacks() {
    struct ThreadBasics {
      LONG exitStatus;
      void* teb;
      void* clientId[2];
      ULONG_PTR affinity;
      LONG priority;
      LONG basePriority;
    };
    using QueryThread = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryThread>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (query == nullptr || snapshot == INVALID_HANDLE_VALUE) return;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
      if (entry.th32OwnerProcessID != m_pid) continue;
      HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
      if (thread == nullptr) continue;
      ThreadBasics basics = {};
      NT_TIB tib = {};
      SIZE_T got = 0;
      if (query(thread, 0, &basics, sizeof(basics), nullptr) >= 0 && basics.teb != nullptr &&
          ReadProcessMemory(m_process, basics.teb, &tib, sizeof(tib), &got) && tib.StackBase != nullptr) {
        MEMORY_BASIC_INFORMATION region = {};
        const uintptr_t top = reinterpret_cast<uintptr_t>(tib.StackBase);
        if (VirtualQueryEx(m_process, reinterpret_cast<void*>(top - 1), &region, sizeof(region)) == sizeof(region)) {
          m_stacks.push_back({reinterpret_cast<uintptr_t>(region.AllocationBase), top});
        }
      }
      CloseHandle(thread);
    }
    CloseHandle(snapshot);
    for (const auto& stack : m_stacks) m_stackReserved += stack.second - stack.first;
  }

  bool InStack(uintptr_t address) const {
    for (const auto& stack : m_stacks)
      if (address >= stack.first && address < stack.second) return true;
    return false;
  }

  // The kind of a committed region, and its module when it is an image.
  MemoryShare& ShareOf(const MEMORY_BASIC_INFORMATION& region, uintptr_t start, MemoryShare** module) {
    if (region.Type == MEM_IMAGE) {
      wchar_t path[MAX_PATH] = {};
      std::string name = "(unnamed image)";
      if (GetMappedFileNameW(m_process, region.BaseAddress, path, MAX_PATH) > 0) {
        const wchar_t* base = wcsrchr(path, L'\\');
        base = base != nullptr ? base + 1 : path;
        char narrow[MAX_PATH] = {};
        WideCharToMultiByte(CP_UTF8, 0, base, -1, narrow, MAX_PATH, nullptr, nullptr);
        name = narrow;
      }
      const bool fresh = m_modules.find(name) == m_modules.end();
      *module = &m_modules[name];
      std::string lower = name;
      std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return static_cast<char>(tolower(c)); });
      MemoryShare& share = m_shares[lower.find(".exe") != std::string::npos ? "the program's own image"
                                                                             : "other modules' images"];
      if (fresh) share.pieces++;
      return share;
    }
    if (region.Type == MEM_MAPPED) {
      m_shares["mapped views (files, sections)"].pieces++;
      return m_shares["mapped views (files, sections)"];
    }
    if (InStack(start)) return m_shares["thread stacks"];
    m_shares["other private memory (heaps, bitmaps)"].pieces++;
    return m_shares["other private memory (heaps, bitmaps)"];
  }

  unsigned long long Resident(uintptr_t start, uintptr_t end) {
    unsigned long long resident = 0;
    if (m_residentSource != 2) {
      const size_t pages = (end - start) / 4096;
      std::vector<PSAPI_WORKING_SET_EX_INFORMATION> info(pages);
      for (size_t i = 0; i < pages; ++i) info[i].VirtualAddress = reinterpret_cast<void*>(start + i * 4096);
      if (pages > 0 && QueryWorkingSetEx(m_process, info.data(), static_cast<DWORD>(pages * sizeof(info[0])))) {
        for (const auto& page : info) resident += page.VirtualAttributes.Valid ? 4096 : 0;
        if (resident > 0) m_residentSource = 1;
      }
    }
    if (m_residentSource != 1 && m_unix.Found()) {
      resident = m_unix.Resident(start, end);
      if (resident > 0) m_residentSource = 2;
    }
    return resident;
  }

  // The unix process's resident pages by what they map; anonymous memory
  // that the Windows view above does not hold is Wine's own unix-side memory.
  void PrintUnixSide() {
    const std::string status = m_unix.Read(L"status");
    const auto field = [&status](const char* name) {
      const size_t at = status.find(name);
      return at == std::string::npos ? 0.0 : std::atof(status.c_str() + at + std::strlen(name)) / 1024.0;
    };
    std::printf("  the unix process under Wine (its resident pages are the working set there): now %.1f MiB, peak %.1f MiB\n",
                field("VmRSS:"), field("VmHWM:"));
    std::map<std::string, double> kinds;
    std::map<std::string, double> files;
    std::string path;
    const std::string smaps = m_unix.Read(L"smaps");
    std::string kind;
    uintptr_t start = 0, end = 0;
    for (size_t at = 0; at < smaps.size();) {
      size_t next = smaps.find('\n', at);
      if (next == std::string::npos) next = smaps.size();
      const std::string line = smaps.substr(at, next - at);
      at = next + 1;
      unsigned long long a = 0, b = 0;
      char perms[8] = {};
      int consumed = 0;
      if (std::sscanf(line.c_str(), "%llx-%llx %7s %*s %*s %*s%n", &a, &b, perms, &consumed) == 3 && consumed > 0) {
        start = static_cast<uintptr_t>(a);
        end = static_cast<uintptr_t>(b);
        path = line.substr(consumed);
        path.erase(0, path.find_first_not_of(' '));
        kind = UnixKind(path, start, end);
        continue;
      }
      if (line.compare(0, 4, "Rss:") != 0) continue;
      const double mib = std::atof(line.c_str() + 4) / 1024.0;
      kinds[kind] += mib;
      if (!path.empty() && path[0] == '/') files[path.substr(path.find_last_of('/') + 1)] += mib;
    }
    for (const auto& entry : kinds) std::printf("    %-50s %6.1f MiB\n", entry.first.c_str(), entry.second);
    std::vector<std::pair<std::string, double>> largest(files.begin(), files.end());
    std::sort(largest.begin(), largest.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::printf("    largest files by resident pages:\n");
    for (size_t i = 0; i < largest.size() && i < 25; ++i)
      std::printf("      %-48s %6.2f MiB\n", largest[i].first.c_str(), largest[i].second);
  }

  std::string UnixKind(const std::string& path, uintptr_t start, uintptr_t end) const {
    const auto has = [&path](const char* part) { return path.find(part) != std::string::npos; };
    if (has("-unix/")) return "Wine's unix libraries (ntdll.so, win32u.so, ...)";
    if (has("-windows/")) return "Wine's Windows-side DLL files";
    if (has(".ttf") || has(".ttc") || has(".otf") || has("/fonts/")) return "font files";
    if (has(".so")) return "host libraries (X11, FreeType, ...)";
    if (has(".exe")) return "program files (.exe)";
    if (has("[stack]") || has("[heap]") || has("[vdso]") || has("[vvar]")) return "the unix loader's own stack and heap";
    if (!path.empty() && path[0] == '/') return "other files (code page tables, caches)";
    for (const auto& range : m_windowsRanges)
      if (start < range.second && end > range.first) return "anonymous memory seen by the Windows view";
    return "anonymous memory outside the Windows view (Wine's own)";
  }

  HANDLE m_process;  // borrowed
  DWORD m_pid;
  UnixProcess m_unix;
  std::map<std::string, MemoryShare> m_shares;
  std::map<std::string, MemoryShare> m_modules;
  std::vector<std::pair<uintptr_t, uintptr_t>> m_stacks;         // reservation of each thread's stack
  std::vector<std::pair<uintptr_t, uintptr_t>> m_windowsRanges;  // committed regions of the Windows view
  unsigned long long m_stackReserved = 0;
  int m_residentSource = 0;  // 0 unknown, 1 QueryWorkingSetEx, 2 the unix page map
};

// The quantities the program counted where it allocated them (running
// totals): bytes in MiB, the rest as they are. Names ending in ".ws" are
// what a step of the start-up added to the working set.
inline void PrintCounts(const std::map<std::string, long long>& counts) {
  std::printf("  counted inside the program:\n");
  for (const auto& entry : counts) {
    const std::string& name = entry.first;
    const auto endsWith = [&name](const char* tail) {
      const size_t length = std::strlen(tail);
      return name.size() >= length && name.compare(name.size() - length, length, tail) == 0;
    };
    if (endsWith(".ws") || endsWith("_bytes")) {
      std::printf("    %-50s %8.2f MiB\n", name.c_str(), entry.second / kMiB);
    } else {
      std::printf("    %-50s %8lld\n", name.c_str(), entry.second);
    }
  }
}

}  // namespace bench
