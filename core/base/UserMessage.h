#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The one seam for the messages that worker threads show in message boxes
// owned by the main window ("转换失败，请联系客服或重试！" and the like). The
// program shows them with the product title; tests install a sink to read them.
using UserMessageSink = void (*)(const std::wstring& text);

// Shows the text in a message box owned by `owner` (the main window), or
// hands it to the installed sink instead.
void ShowUserMessage(HWND owner, const std::wstring& text);

// Installs a sink (nullptr restores the message box). Not thread-safe against
// concurrent ShowUserMessage calls: install it before workers start.
void SetUserMessageSink(UserMessageSink sink);

// A failure message showing the system's error code (`withCode` holds one
// "%d"), or `plain` when there is no system code (0): a zero or a code that is
// not the system's would mislead the user.
std::wstring FormatFailureMessage(const wchar_t* withCode, const wchar_t* plain, uint32_t code);

// The product title used as the caption of every message box.
extern const wchar_t* const kProductTitle;
