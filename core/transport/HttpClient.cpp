#include "core/transport/HttpClient.h"

#include <curl/curl.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "core/base/BenchMemory.h"
#include "core/base/DebugTrace.h"
#include "core/base/FileBytes.h"
#include "core/base/LocalClock.h"
#include "core/base/TextConversion.h"
#include "core/base/WorkerThread.h"
#include "core/base/portable/Checksums.h"
#include "core/client/ClientState.h"
#include "core/transport/portable/SpeechRequest.h"

// --- Transport set-up ---

bool InitializeHttpTransport() {
  static std::once_flag once;
  static bool started = false;
  std::call_once(once, [] {
    BenchMemoryScope measured("lib.curl_init");
    started = curl_global_init(CURL_GLOBAL_WIN32) == CURLE_OK;
  });
  return started;
}

HttpTimeouts& GetHttpTimeouts() {
  static HttpTimeouts timeouts;
  return timeouts;
}

// --- Reply buffer ---

size_t HttpWriteCallback(char* bytes, size_t /*size: always 1*/, size_t count, void* buffer) {
  return static_cast<HttpResponseBuffer*>(buffer)->Append(bytes, count) ? count : 0;
}

// --- Transfers ---

namespace {

// URLs longer than this are refused without a transfer.
constexpr size_t kUrlCapacity = 5124;

struct CurlDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
  void operator()(curl_mime* mime) const { curl_mime_free(mime); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;
using CurlList = std::unique_ptr<curl_slist, CurlDeleter>;
using CurlMime = std::unique_ptr<curl_mime, CurlDeleter>;

CurlHandle NewHandle() {
  if (!InitializeHttpTransport()) return CurlHandle();
  return CurlHandle(curl_easy_init());
}

// libcurl progress function over the caller's stop token: a non-zero answer
// aborts the transfer. libcurl calls it at least once a second, also while
// nothing arrives.
int StopWhenAsked(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<const StopToken*>(stop)->StopRequested() ? 1 : 0;
}

// The protocols a transfer may use, for its URL and any redirect. Addresses
// come from servers too (a finished task's download): one naming a local
// file or another protocol is refused before anything is opened.
constexpr char kAllowedProtocols[] = "http,https";

// Options every transfer shares: HTTP and HTTPS only, no signals (transfers
// run on worker threads), the time-outs, the trusted certificates, the reply
// buffer and the caller's stop token. False when the protocols cannot be
// limited, or the stop is already asked: the transfer must not run then.
bool SetCommonOptions(CURL* handle, HttpResponseBuffer* reply, const StopToken* stop) {
  if (stop != nullptr && stop->StopRequested()) return false;
  if (curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, kAllowedProtocols) != CURLE_OK ||
      curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, kAllowedProtocols) != CURLE_OK) {
    DebugTraceA("HTTP transfer refused: the protocols cannot be limited");
    return false;
  }
  const HttpTimeouts& timeouts = GetHttpTimeouts();
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, timeouts.connectTimeoutMs);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, timeouts.lowSpeedBytesPerSecond);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, timeouts.lowSpeedSeconds);
  const std::string& caPem = GetClientState().endpoints().caCertPem;
  if (!caPem.empty()) {
    curl_blob blob{const_cast<char*>(caPem.data()), caPem.size(), CURL_BLOB_COPY};
    curl_easy_setopt(handle, CURLOPT_CAINFO_BLOB, &blob);
  } else {
    curl_easy_setopt(handle, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_NATIVE_CA));
  }
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, HttpWriteCallback);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, reply);
  if (stop != nullptr) {
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, StopWhenAsked);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, const_cast<StopToken*>(stop));
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  }
  return true;
}

// The path of a URL for the diagnostics: without scheme, host and query (a
// management request carries its whole encrypted payload in the query).
std::string UrlPathOf(const std::string& url) {
  size_t start = url.find("://");
  start = start == std::string::npos ? 0 : url.find('/', start + 3);
  if (start == std::string::npos) return "/";
  return url.substr(start, url.find('?', start) - start);
}

// Performs the transfer; succeeds only with status 200, and only then moves
// the reply into `out`. A failure leaves one line in the debugger output.
bool Perform(CURL* handle, const std::string& url, HttpResponseBuffer& received, HttpResponseBuffer& out) {
  const CURLcode result = curl_easy_perform(handle);
  if (result != CURLE_OK) {
    DebugTraceA("HTTP %s failed: %s", UrlPathOf(url).c_str(), curl_easy_strerror(result));
    return false;
  }
  long status = 0;
  if (curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status != 200) {
    DebugTraceA("HTTP %s replied with status %ld", UrlPathOf(url).c_str(), status);
    return false;
  }
  out = std::move(received);
  return true;
}

}  // namespace

HttpClient::HttpClient(std::string baseUrl) : m_baseUrl(std::move(baseUrl)) {}

std::string HttpClient::ResolveUrl(const std::string& pathOrUrl) const {
  const bool whole = pathOrUrl.find("https://") != std::string::npos || pathOrUrl.find("http://") != std::string::npos;
  std::string url = whole ? pathOrUrl : m_baseUrl + pathOrUrl;
  if (url.size() + 1 >= kUrlCapacity) return std::string();
  return url;
}

bool HttpClient::Get(const std::string& pathOrUrl, HttpResponseBuffer& reply, const StopToken* stop) const {
  return Transfer(pathOrUrl, nullptr, reply, stop);
}

bool HttpClient::Post(const std::string& pathOrUrl, const std::string& form, HttpResponseBuffer& reply,
                      const StopToken* stop) const {
  return Transfer(pathOrUrl, &form, reply, stop);
}

bool HttpClient::Transfer(const std::string& pathOrUrl, const std::string* form, HttpResponseBuffer& reply,
                          const StopToken* stop) const {
  const std::string url = ResolveUrl(pathOrUrl);
  if (url.empty()) return false;
  CurlHandle handle = NewHandle();
  if (!handle) return false;
  HttpResponseBuffer received;
  curl_easy_setopt(handle.get(), CURLOPT_URL, url.c_str());
  if (form != nullptr) {
    curl_easy_setopt(handle.get(), CURLOPT_POST, 1L);
    curl_easy_setopt(handle.get(), CURLOPT_POSTFIELDSIZE, static_cast<long>(form->size()));
    curl_easy_setopt(handle.get(), CURLOPT_POSTFIELDS, form->c_str());
  }
  if (!SetCommonOptions(handle.get(), &received, stop)) return false;
  return Perform(handle.get(), url, received, reply);
}

bool HttpClient::DownloadFile(const std::string& pathOrUrl, const std::string& ansiPath, uint32_t expectedCrc,
                              const StopToken* stop) const {
  HttpResponseBuffer body;
  if (!Transfer(pathOrUrl, nullptr, body, stop)) return false;
  if (expectedCrc != 0 && (body.size() == 0 || Crc32(body.data(), body.size()) != expectedCrc)) return false;
  return WriteFileBytes(AnsiToWide(ansiPath), body.data(), body.size());
}

bool HttpUploadFile(const std::string& url, const std::string& ansiPath, HttpResponseBuffer& reply,
                    const StopToken* stop) {
  CurlHandle handle = NewHandle();
  if (!handle) return false;
  // An empty Expect header: no 100-continue round trip before the body.
  CurlList headers(curl_slist_append(nullptr, "Expect:"));
  const std::string timestamp = std::to_string(GetLocalTimeMs());
  const std::string sign = SignRequestText(timestamp);

  CurlMime form(curl_mime_init(handle.get()));
  if (!headers || !form) return false;
  curl_mimepart* part = curl_mime_addpart(form.get());
  curl_mime_name(part, "file");
  if (curl_mime_filedata(part, ansiPath.c_str()) != CURLE_OK) return false;
  const char* fields[][2] = {{"timestamp", timestamp.c_str()}, {"sign", sign.c_str()}, {"submit", "Submit"}};
  for (const auto& field : fields) {
    part = curl_mime_addpart(form.get());
    curl_mime_name(part, field[0]);
    curl_mime_data(part, field[1], CURL_ZERO_TERMINATED);
  }

  HttpResponseBuffer received;
  curl_easy_setopt(handle.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle.get(), CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(handle.get(), CURLOPT_MIMEPOST, form.get());
  if (!SetCommonOptions(handle.get(), &received, stop)) return false;
  return Perform(handle.get(), url, received, reply);
}
