#pragma once
// Downloads of the stand-in browser engine: each page is fetched over HTTP(S)
// with WinINet on a thread of its own, and the result is posted back to the
// engine's window, so every browser event fires on the thread that owns the
// control, as hosts expect.

#include <windows.h>

#include <string>

namespace browserstandin {

struct FetchResult {
  // Set by the caller.
  int navigation = 0;  // the navigation this download belongs to; older results are dropped
  int frame = -1;      // -1: the page itself; else the index of the frame of that page
  std::wstring url;    // as requested

  // Set by the download.
  std::wstring finalUrl;   // after the server's redirects
  bool ok = false;         // a page arrived with a success status
  DWORD httpStatus = 0;    // 0 when no HTTP reply came
  LONG errorCode = 0;      // for NavigateError: the HTTP status, or an INET_E_* code without a reply
  std::wstring html;       // the page, decoded to UTF-16
};

// Starts the download; the window receives `message` with the result in
// lParam and must delete it. False (the result deleted) when no thread could
// be started. A result that cannot be posted (window gone) is deleted by the
// thread.
bool StartFetch(HWND window, UINT message, FetchResult* request);

// The INET_E_* code a host sees for a failed WinINet call.
LONG NavigateErrorFromWinInet(DWORD error);

}  // namespace browserstandin
