#include "tools/browser-standin/Fetch.h"

#include <wininet.h>
#include <urlmon.h>

#include <string>

#include "tools/browser-standin/Common.h"

namespace browserstandin {
namespace {

const DWORD kMaxPageBytes = 8 * 1024 * 1024;  // the stand-in pages are small; a runaway reply is cut off
const DWORD kConnectTimeoutMs = 10000;
const DWORD kReceiveTimeoutMs = 30000;

std::wstring QueryHeader(HINTERNET request, DWORD which) {
  wchar_t buffer[512];
  DWORD size = sizeof(buffer);
  if (!HttpQueryInfoW(request, which, buffer, &size, nullptr)) return std::wstring();
  return std::wstring(buffer, size / sizeof(wchar_t));
}

// Decodes the page by the charset its reply names (code page 936 for the GB
// names), else as UTF-8, falling back to the ANSI code page for bytes that are
// not UTF-8.
std::wstring DecodePage(const std::string& bytes, const std::wstring& contentType) {
  std::wstring lower = contentType;
  for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
  UINT codePage = CP_UTF8;
  if (lower.find(L"charset=gb") != std::wstring::npos) codePage = 936;
  size_t skip = 0;
  if (codePage == CP_UTF8 && bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) skip = 3;
  if (bytes.size() == skip) return std::wstring();
  const char* data = bytes.data() + skip;
  const int length = static_cast<int>(bytes.size() - skip);
  DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
  int size = MultiByteToWideChar(codePage, flags, data, length, nullptr, 0);
  if (size == 0) {
    codePage = CP_ACP;
    flags = 0;
    size = MultiByteToWideChar(codePage, flags, data, length, nullptr, 0);
  }
  std::wstring text(static_cast<size_t>(size), L'\0');
  if (size > 0) MultiByteToWideChar(codePage, flags, data, length, &text[0], size);
  return text;
}

void Download(FetchResult* result) {
  OwnedInternet session(InternetOpenW(L"Mozilla/4.0 (compatible; QuilloraBrowserStandin/1)",
                                      INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  if (!session) {
    result->errorCode = NavigateErrorFromWinInet(GetLastError());
    return;
  }
  DWORD timeout = kConnectTimeoutMs;
  InternetSetOptionW(session.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
  timeout = kReceiveTimeoutMs;
  InternetSetOptionW(session.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
  const DWORD flags =
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
  OwnedInternet request(InternetOpenUrlW(session.Get(), result->url.c_str(), nullptr, 0, flags, 0));
  if (!request) {
    const DWORD error = GetLastError();
    result->errorCode = NavigateErrorFromWinInet(error);
    Log(L"fetch " + result->url + L" failed: WinINet error " + std::to_wstring(error));
    return;
  }
  wchar_t finalUrl[INTERNET_MAX_URL_LENGTH];
  DWORD urlSize = sizeof(finalUrl);
  result->finalUrl = InternetQueryOptionW(request.Get(), INTERNET_OPTION_URL, finalUrl, &urlSize) ? finalUrl
                                                                                                    : result->url;
  DWORD status = 0;
  DWORD statusSize = sizeof(status);
  if (!HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &statusSize,
                      nullptr)) {
    status = 0;
  }
  result->httpStatus = status;
  std::string bytes;
  char buffer[16384];
  for (;;) {
    DWORD read = 0;
    if (!InternetReadFile(request.Get(), buffer, sizeof(buffer), &read)) {
      result->errorCode = NavigateErrorFromWinInet(GetLastError());
      Log(L"fetch " + result->url + L": the reply broke off");
      return;
    }
    if (read == 0) break;
    if (bytes.size() + read > kMaxPageBytes) {
      result->errorCode = INET_E_DOWNLOAD_FAILURE;
      Log(L"fetch " + result->url + L": the page is larger than the engine shows");
      return;
    }
    bytes.append(buffer, read);
  }
  Log(L"fetch " + result->url + L" -> HTTP " + std::to_wstring(status) + L", " + std::to_wstring(bytes.size()) +
      L" bytes" + (result->finalUrl != result->url ? L", redirected to " + result->finalUrl : std::wstring()));
  if (status < 200 || status >= 400) {
    result->errorCode = status != 0 ? static_cast<LONG>(status) : INET_E_DOWNLOAD_FAILURE;
    return;
  }
  result->html = DecodePage(bytes, QueryHeader(request.Get(), HTTP_QUERY_CONTENT_TYPE));
  result->ok = true;
}

struct FetchJob {
  HWND window;
  UINT message;
  FetchResult* result;
  HMODULE module;  // a loader reference on this DLL, given up as the thread ends
};

DWORD WINAPI FetchThread(void* parameter) {
  FetchJob* job = static_cast<FetchJob*>(parameter);
  Download(job->result);
  if (!PostMessageW(job->window, job->message, 0, reinterpret_cast<LPARAM>(job->result))) delete job->result;
  HMODULE module = job->module;
  delete job;
  ReleaseModuleReference();  // taken by StartFetch for this thread
  // The thread's own code lives in this DLL: the last reference goes with the thread.
  FreeLibraryAndExitThread(module, 0);
  return 0;
}

}  // namespace

LONG NavigateErrorFromWinInet(DWORD error) {
  switch (error) {
    case ERROR_INTERNET_CANNOT_CONNECT:
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
      return INET_E_RESOURCE_NOT_FOUND;
    case ERROR_INTERNET_TIMEOUT:
      return INET_E_CONNECTION_TIMEOUT;
    case ERROR_INTERNET_INVALID_URL:
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
      return INET_E_UNKNOWN_PROTOCOL;
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_INVALID_CERT:
      return INET_E_INVALID_CERTIFICATE;
    default:
      return INET_E_DOWNLOAD_FAILURE;
  }
}

bool StartFetch(HWND window, UINT message, FetchResult* request) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&FetchThread),
                          &module)) {
    Log(L"fetch " + request->url + L": no module reference, error " + std::to_wstring(GetLastError()));
    delete request;
    return false;
  }
  FetchJob* job = new FetchJob{window, message, request, module};
  AddModuleReference();  // the DLL stays loaded until the thread has finished
  OwnedHandle thread(CreateThread(nullptr, 0, FetchThread, job, 0, nullptr));
  if (!thread) {
    Log(L"fetch " + request->url + L": no thread, error " + std::to_wstring(GetLastError()));
    FreeLibrary(module);
    ReleaseModuleReference();
    delete request;
    delete job;
    return false;
  }
  return true;
}

}  // namespace browserstandin
