#include "core/base/DebugTrace.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "core/base/portable/TraceLines.h"

void DebugTrace(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = _vscwprintf(format, copy);
  va_end(copy);
  if (length >= 0) {
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    _vsnwprintf(text.data(), text.size(), format, args);
    text.back() = L'\0';
    // One call, so lines written by other threads cannot land inside this one.
    OutputDebugStringW(EndTraceLines(std::wstring_view(text.data(), static_cast<size_t>(length))).c_str());
  }
  va_end(args);
}

void DebugTraceA(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length >= 0) {
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(length));
    OutputDebugStringA(EndTraceLines(text).c_str());
  }
  va_end(args);
}
