#include "core/base/UserMessage.h"

const wchar_t* const kProductTitle = L"Tavrin文字语音转换器";

namespace {
UserMessageSink messageSink = nullptr;
}

void ShowUserMessage(HWND owner, const std::wstring& text) {
  if (messageSink != nullptr) {
    messageSink(text);
    return;
  }
  MessageBoxW(owner, text.c_str(), kProductTitle, MB_OK);
}

void SetUserMessageSink(UserMessageSink sink) { messageSink = sink; }
