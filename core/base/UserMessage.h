#pragma once

// The one seam for the messages that worker threads show in message boxes
// owned by the main window ("转换失败，请联系客服或重试！" and the like). The
// program shows them with the product title; tests install a sink to read them.

#include <windows.h>

#include <cstdint>
#include <string>

using UserMessageSink = void (*)(const std::wstring& text);

// Shows the text in a message box owned by `owner` (the main window), or
// hands it to the installed sink instead.
void ShowUserMessage(HWND owner, const std::wstring& text);

// Hands the calling thread's messages to `route` (with `context`) instead of
// showing them; null restores. A worker thread routes its messages to the UI
// thread this way, which shows them: a worker never opens a window itself.
using UserMessageRoute = void (*)(void* context, const std::wstring& text);
void SetThreadUserMessageRoute(UserMessageRoute route, void* context);

// Installs a sink (nullptr restores the message box). Not thread-safe against
// concurrent ShowUserMessage calls: install it before workers start.
void SetUserMessageSink(UserMessageSink sink);

// A failure message showing the system's error code (`withCode` holds one
// "%d"), or `plain` when there is no system code (0): a zero or a code that is
// not the system's would mislead the user.
std::wstring FormatFailureMessage(const wchar_t* withCode, const wchar_t* plain, uint32_t code);

// The product title used as the caption of every message box.
extern const wchar_t* const kProductTitle;
