#pragma once
// The HTTP transport: HttpClient (base URL and requests), the upload and the
// reply buffer. Owns no connection between calls; trusts the authority of the
// program's endpoints.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/base/portable/ByteBuffer.h"

// The HTTP transport over libcurl: GET and form POST with the reply held in
// memory, a signed multipart upload, and a download to a file with an optional
// CRC-32 check. Every transfer makes its own easy handle and releases it before
// returning, so the functions may be called from many threads at once. Only
// HTTP and HTTPS are spoken, for a URL and for any redirect: a URL of another
// protocol (a server-given "file://" or "ftp://" address) fails without being
// opened. Only HTTP status 200 counts as success. HTTPS trusts the authority of
// the program's endpoints (GetClientState().endpoints().caCertPem), or the
// system's store when that is empty; verification is always on.

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

// Lets a worker's owner abort the worker's transfers: while `flag` is set for
// the calling thread, each of its transfers ends (failing, as a broken
// connection does) soon after the flag turns true; libcurl looks at it
// whenever data moves and about once a second while it waits. Null removes
// it. The flag must outlive the thread's transfers.
void SetThreadTransferStopFlag(const std::atomic<bool>* flag);

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
  // A flag that, once set, aborts this client's running transfer within about
  // a second (and fails every later one): how a worker that is asked to stop
  // leaves a slow or silent server. Borrowed; null (the default) never aborts.
  void SetAbortFlag(const std::atomic<bool>* flag) { m_abort = flag; }

  bool Get(const std::string& pathOrUrl, HttpResponseBuffer& reply) const;
  // POSTs a form text (default form content type).
  bool Post(const std::string& pathOrUrl, const std::string& form, HttpResponseBuffer& reply) const;
  // GETs the URL and writes the body to `ansiPath`, replacing the file. A
  // non-zero `expectedCrc` must match the body's CRC-32 (an empty body fails it).
  // With `cancel` given, the transfer is abandoned (false, no file written) soon
  // after another thread sets it: within about a second, even while the server
  // sends nothing.
  bool DownloadFile(const std::string& pathOrUrl, const std::string& ansiPath, uint32_t expectedCrc,
                    const std::atomic<bool>* cancel = nullptr) const;

  // The whole URL a path resolves to, or empty when it is too long for a request.
  std::string ResolveUrl(const std::string& pathOrUrl) const;

 private:
  // GET, or POST of `form` when it is given; abandoned once `cancel` is set.
  bool Transfer(const std::string& pathOrUrl, const std::string* form, HttpResponseBuffer& reply,
                const std::atomic<bool>* cancel = nullptr) const;

  std::string m_baseUrl;  // the client-management service, ends with "/"
  const std::atomic<bool>* m_abort = nullptr;  // borrowed; see SetAbortFlag
};

// Uploads a file as the multipart form "file", "timestamp" (local time in ms),
// "sign" (the signature of the timestamp text) and "submit" = "Submit" to a
// whole URL. `ansiPath` names the file in the ANSI code page.
bool HttpUploadFile(const std::string& url, const std::string& ansiPath, HttpResponseBuffer& reply);
