#include "tools/browser-standin/Fetch.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <wininet.h>
#include <urlmon.h>
#include <wincrypt.h>

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

struct CertificateTraits {
  using Handle = PCCERT_CONTEXT;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::CertFreeCertificateContext(h); }
};
using OwnedCertificate = UniqueHandle<CertificateTraits>;

struct ChainTraits {
  using Handle = PCCERT_CHAIN_CONTEXT;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::CertFreeCertificateChain(h); }
};
using OwnedChain = UniqueHandle<ChainTraits>;

// The certificate authority named by QUILLORA_BROWSER_CA (a PEM file), which
// the engine trusts besides the prefix's own: the stand-in services sign
// their HTTPS certificates with a development authority of their own.
OwnedCertificate LoadTrustedAuthority() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"QUILLORA_BROWSER_CA", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return OwnedCertificate();
  OwnedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  char pem[16384];
  DWORD read = 0;
  if (!file || !ReadFile(file.Get(), pem, sizeof(pem) - 1, &read, nullptr) || read == 0) {
    Log(L"trust: cannot read QUILLORA_BROWSER_CA " + std::wstring(path));
    return OwnedCertificate();
  }
  BYTE der[8192];
  DWORD derSize = sizeof(der);
  if (!CryptStringToBinaryA(pem, read, CRYPT_STRING_BASE64HEADER, der, &derSize, nullptr, nullptr)) {
    Log(L"trust: QUILLORA_BROWSER_CA holds no PEM certificate");
    return OwnedCertificate();
  }
  return OwnedCertificate(CertCreateCertificateContext(X509_ASN_ENCODING, der, derSize));
}

// True when the server's certificate was issued and signed by the authority.
bool IssuedBy(PCCERT_CONTEXT server, PCCERT_CONTEXT authority) {
  return CertCompareCertificateName(X509_ASN_ENCODING, &server->pCertInfo->Issuer, &authority->pCertInfo->Subject) &&
         CryptVerifyCertificateSignatureEx(0, X509_ASN_ENCODING, CRYPT_VERIFY_CERT_SIGN_SUBJECT_CERT,
                                           const_cast<CERT_CONTEXT*>(server), CRYPT_VERIFY_CERT_SIGN_ISSUER_CERT,
                                           const_cast<CERT_CONTEXT*>(authority), 0, nullptr);
}

// True when the certificate names the host: a DNS name or IP address of its
// subject alternative names (checked here because the platform's own check
// may not read IP addresses, which the stand-ins' certificates use).
bool NamesHost(PCCERT_CONTEXT certificate, const std::wstring& host) {
  const CERT_EXTENSION* extension = CertFindExtension(szOID_SUBJECT_ALT_NAME2, certificate->pCertInfo->cExtension,
                                                      certificate->pCertInfo->rgExtension);
  if (extension == nullptr) return false;
  CERT_ALT_NAME_INFO* names = nullptr;
  DWORD size = 0;
  if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData, extension->Value.cbData,
                           CRYPT_DECODE_ALLOC_FLAG, nullptr, &names, &size)) {
    return false;
  }
  bool found = false;
  IN_ADDR address = {};
  const bool isAddress = InetPtonW(AF_INET, host.c_str(), &address) == 1;
  for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
    const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
    if (entry.dwAltNameChoice == CERT_ALT_NAME_DNS_NAME && !isAddress) {
      found = _wcsicmp(entry.pwszDNSName, host.c_str()) == 0;
    } else if (entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && isAddress) {
      found = entry.IPAddress.cbData == sizeof(address) && memcmp(entry.IPAddress.pbData, &address, sizeof(address)) == 0;
    }
  }
  LocalFree(names);
  return found;
}

// A sent GET; the connection handle must outlive the request (closing it closes the request).
struct OpenedRequest {
  OwnedInternet connection;
  OwnedInternet request;
};

// Opens and sends the GET, with extra security flags set on the request;
// false with the WinINet error.
bool OpenAndSend(HINTERNET session, const std::wstring& url, DWORD ignoredErrors, OpenedRequest* opened,
                 DWORD* error, bool* secure) {
  wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH];
  wchar_t path[INTERNET_MAX_URL_LENGTH];
  wchar_t extra[INTERNET_MAX_URL_LENGTH];
  URL_COMPONENTSW parts = {};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = host;
  parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = INTERNET_MAX_URL_LENGTH;
  parts.lpszExtraInfo = extra;
  parts.dwExtraInfoLength = INTERNET_MAX_URL_LENGTH;
  if (!InternetCrackUrlW(url.c_str(), 0, 0, &parts)) {
    *error = GetLastError();
    return false;
  }
  *secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  opened->request.Reset();
  opened->connection.Reset(
      InternetConnectW(session, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!opened->connection) {
    *error = GetLastError();
    return false;
  }
  const std::wstring target = std::wstring(path) + extra;
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                      INTERNET_FLAG_NO_COOKIES | (*secure ? INTERNET_FLAG_SECURE : 0);
  opened->request.Reset(HttpOpenRequestW(opened->connection.Get(), L"GET", target.empty() ? L"/" : target.c_str(),
                                         nullptr, nullptr, nullptr, flags, 0));
  if (!opened->request) {
    *error = GetLastError();
    return false;
  }
  if (ignoredErrors != 0) {
    DWORD security = 0;
    DWORD size = sizeof(security);
    InternetQueryOptionW(opened->request.Get(), INTERNET_OPTION_SECURITY_FLAGS, &security, &size);
    security |= ignoredErrors;
    InternetSetOptionW(opened->request.Get(), INTERNET_OPTION_SECURITY_FLAGS, &security, sizeof(security));
  }
  if (HttpSendRequestW(opened->request.Get(), nullptr, 0, nullptr, 0)) return true;
  *error = GetLastError();
  return false;
}

// Sends the GET; false with the WinINet error. A certificate the prefix does
// not trust is accepted only when the authority named by QUILLORA_BROWSER_CA
// issued it: the request is sent again without the authority and revocation
// checks (the development authority publishes no revocation list), and the
// certificate that then arrives is checked against that authority.
bool SendRequest(HINTERNET session, const std::wstring& url, OpenedRequest* opened, DWORD* error) {
  wchar_t hostName[INTERNET_MAX_HOST_NAME_LENGTH];
  URL_COMPONENTSW parts = {};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = hostName;
  parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH;
  const std::wstring host = InternetCrackUrlW(url.c_str(), 0, 0, &parts) ? hostName : L"";
  bool secure = false;
  if (OpenAndSend(session, url, 0, opened, error, &secure)) return true;
  if (!secure || (*error != ERROR_INTERNET_INVALID_CA && *error != ERROR_INTERNET_SEC_CERT_REV_FAILED &&
                  *error != ERROR_INTERNET_SEC_CERT_NO_REV)) {
    return false;
  }
  OwnedCertificate authority = LoadTrustedAuthority();
  if (!authority) return false;
  const DWORD untrusted = *error;
  DWORD retryError = 0;
  const DWORD checkedHere =
      SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_REVOCATION | SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
  if (!OpenAndSend(session, url, checkedHere, opened, &retryError, &secure)) {
    *error = retryError;
    return false;
  }
  PCCERT_CHAIN_CONTEXT served = nullptr;
  DWORD size = sizeof(served);
  if (!InternetQueryOptionW(opened->request.Get(), INTERNET_OPTION_SERVER_CERT_CHAIN_CONTEXT, &served, &size) ||
      served == nullptr) {
    Log(L"trust: " + url + L": no server certificate to check, error " + std::to_wstring(GetLastError()));
    opened->request.Reset();
    *error = untrusted;
    return false;
  }
  OwnedChain chain(served);
  // The server's own certificate heads the first chain.
  const PCCERT_CONTEXT certificate = chain.Get()->cChain > 0 && chain.Get()->rgpChain[0]->cElement > 0
                                         ? chain.Get()->rgpChain[0]->rgpElement[0]->pCertContext
                                         : nullptr;
  if (certificate == nullptr || !IssuedBy(certificate, authority.Get()) || !NamesHost(certificate, host)) {
    Log(L"trust: " + url + L": the certificate is not the trusted authority's for this host");
    opened->request.Reset();
    *error = untrusted;
    return false;
  }
  return true;
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
  OpenedRequest opened;
  DWORD error = 0;
  if (!SendRequest(session.Get(), result->url, &opened, &error)) {
    result->errorCode = NavigateErrorFromWinInet(error);
    Log(L"fetch " + result->url + L" failed: WinINet error " + std::to_wstring(error));
    return;
  }
  const OwnedInternet& request = opened.request;
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
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
    case ERROR_INTERNET_SEC_CERT_NO_REV:
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
