#include "core/base/UserMessage.h"

#include <cstdio>

const wchar_t* const kProductTitle = L"Tavrin文字语音转换器";

namespace {
UserMessageSink messageSink = nullptr;
thread_local UserMessageRoute threadRoute = nullptr;  // SetThreadUserMessageRoute
thread_local void* threadRouteContext = nullptr;
}  // namespace

void SetThreadUserMessageRoute(UserMessageRoute route, void* context) {
  threadRoute = route;
  threadRouteContext = route != nullptr ? context : nullptr;
}

void ShowUserMessage(HWND owner, const std::wstring& text) {
  if (threadRoute != nullptr) {
    threadRoute(threadRouteContext, text);
    return;
  }
  if (messageSink != nullptr) {
    messageSink(text);
    return;
  }
  MessageBoxW(owner, text.c_str(), kProductTitle, MB_OK);
}

std::wstring FormatFailureMessage(const wchar_t* withCode, const wchar_t* plain, uint32_t code) {
  if (code == 0) return plain;
  wchar_t text[256];
  std::swprintf(text, 256, withCode, static_cast<int>(code));
  return text;
}

void SetUserMessageSink(UserMessageSink sink) { messageSink = sink; }
