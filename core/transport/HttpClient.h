#pragma once
// The HTTP transport over libcurl: GET and form POST with the reply held in
// memory, a signed multipart upload, and a download to a file with an optional
// CRC-32 check; and the client object the client state owns. Every transfer
// makes its own easy handle and releases it before returning, so the functions
// may be called from many threads at once, and each takes the caller's stop
// token: the one way to abort a request. Only HTTP and HTTPS are spoken, for a
// URL and for any redirect: a URL of another protocol (a server-given
// "file://" or "ftp://" address) fails without being opened. Only HTTP status
// 200 counts as success. HTTPS trusts the authority of the program's endpoints
// (GetClientState().endpoints().caCertPem), or the system's store when that is
// empty; verification is always on.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/base/portable/ByteBuffer.h"

// Starts libcurl once for the whole process; later calls return the first
// result. Start-up calls it (a failure shows "初始化网络失败"); every transfer
// calls it too, so nothing is initialised per request.
bool InitializeHttpTransport();

// Limits that keep a dead server from holding a worker: a connection must be
// made within the connect time-out, and a transfer that moves fewer than
// `lowSpeedBytesPerSecond` for `lowSpeedSeconds` is abandoned. A slow but live
// server is not cut off, however long the transfer takes. Tests shorten them;
// read-only once transfers run.
struct HttpTimeouts {
  long connectTimeoutMs = 15000;
  long lowSpeedBytesPerSecond = 1;
  long lowSpeedSeconds = 60;
};
HttpTimeouts& GetHttpTimeouts();

class StopToken;

// Every transfer below takes `stop`, the calling worker's stop token (see
// core/base/WorkerThread.h): once it is set, the transfer ends (failing, as a
// broken connection does) within about a second, also while the server sends
// nothing; one started after the stop fails at once. libcurl looks at it
// whenever data moves and about once a second while it waits. Null never
// aborts. The token must outlive the call.

// The reply body of one transfer (the program's one byte buffer): exactly
// size() bytes followed by a 0 byte, so the reply reads as a C string; empty
// (null data, size 0) until the first byte arrives.
using HttpResponseBuffer = ByteBuffer;

// libcurl write function: appends `count` bytes to the HttpResponseBuffer in
// `buffer`; returns 0 (libcurl then aborts with a write error) when it cannot grow.
size_t HttpWriteCallback(char* bytes, size_t size, size_t count, void* buffer);

// The transport object of the client state. Paths that contain "https://" or
// "http://" are used as whole URLs; any other path is appended to the base URL
// (no separator added). Replies are handed out only on success; on failure the
// out parameter keeps what it held.
class HttpClient {
 public:
  explicit HttpClient(std::string baseUrl = std::string());

  // Set once at start-up; read-only while transfers run.
  void SetBaseUrl(const std::string& baseUrl) { m_baseUrl = baseUrl; }
  const std::string& baseUrl() const { return m_baseUrl; }

  bool Get(const std::string& pathOrUrl, HttpResponseBuffer& reply, const StopToken* stop = nullptr) const;
  // POSTs a form text (default form content type).
  bool Post(const std::string& pathOrUrl, const std::string& form, HttpResponseBuffer& reply,
            const StopToken* stop = nullptr) const;
  // GETs the URL and writes the body to `ansiPath`, replacing the file. A
  // non-zero `expectedCrc` must match the body's CRC-32 (an empty body fails it).
  // A stopped transfer writes no file.
  bool DownloadFile(const std::string& pathOrUrl, const std::string& ansiPath, uint32_t expectedCrc,
                    const StopToken* stop = nullptr) const;

  // The whole URL a path resolves to, or empty when it is too long for a request.
  std::string ResolveUrl(const std::string& pathOrUrl) const;

 private:
  // GET, or POST of `form` when it is given.
  bool Transfer(const std::string& pathOrUrl, const std::string* form, HttpResponseBuffer& reply,
                const StopToken* stop) const;

  std::string m_baseUrl;  // the client-management service, ends with "/"
};

// Uploads a file as the multipart form "file", "timestamp" (local time in ms),
// "sign" (the signature of the timestamp text) and "submit" = "Submit" to a
// whole URL. `ansiPath` names the file in the ANSI code page.
bool HttpUploadFile(const std::string& url, const std::string& ansiPath, HttpResponseBuffer& reply,
                    const StopToken* stop = nullptr);
