#include "core/base/TextConversion.h"

#include <windows.h>

namespace {

std::string FromWide(UINT codePage, const std::wstring& text) {
  if (text.empty()) return std::string();
  int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
  if (length <= 0) return std::string();
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), length, nullptr,
                      nullptr);
  return result;
}

std::wstring ToWide(UINT codePage, const std::string& text) {
  if (text.empty()) return std::wstring();
  int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring result(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
  return result;
}

}  // namespace

std::string WideToUtf8(const std::wstring& text) { return FromWide(CP_UTF8, text); }
std::wstring Utf8ToWide(const std::string& text) { return ToWide(CP_UTF8, text); }
std::string Utf8ToAnsi(const std::string& text) { return FromWide(CP_ACP, ToWide(CP_UTF8, text)); }
std::string WideToAnsi(const std::wstring& text) { return FromWide(CP_ACP, text); }
std::wstring AnsiToWide(const std::string& text) { return ToWide(CP_ACP, text); }
// Narrow paths are always made with CP_ACP (WideToAnsi); reading them back with
// any other code page (a thread's own, say) would name another file.
std::wstring AnsiToWidePath(const std::string& path) { return ToWide(CP_ACP, path); }
std::wstring ThreadAnsiToWide(const std::string& text) { return ToWide(CP_THREAD_ACP, text); }
