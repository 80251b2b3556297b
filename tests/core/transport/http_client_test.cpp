#include "core/transport/HttpClient.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "core/base/WorkerThread.h"
#include "core/base/portable/Checksums.h"
#include "tests/support/DebugOutputRecorder.h"
#include "tests/support/LocalPipeProbe.h"
#include "tests/support/ProgramEndpoints.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Standin.h"

TEST(HttpClient, ResolvesPathsAgainstTheBaseUrl) {
  const HttpClient client("https://manage.example/");
  struct Case {
    std::string path;
    std::string url;
  } cases[] = {
      {"api/start", "https://manage.example/api/start"},
      {"https://speech.example/colud/tts/text2voice.php", "https://speech.example/colud/tts/text2voice.php"},
      {"http://speech.example/a", "http://speech.example/a"},
      // "http://" anywhere, even inside a query value, makes the text a whole URL.
      {"jump?to=http://x/", "jump?to=http://x/"},
      {"", "https://manage.example/"},
  };
  for (const Case& c : cases) EXPECT_EQ(client.ResolveUrl(c.path), c.url) << c.path;
}

TEST(HttpClient, RefusesUrlsTooLongForARequest) {
  const HttpClient client("https://manage.example/");
  const std::string base = "https://manage.example/";
  EXPECT_EQ(client.ResolveUrl(std::string(5122 - base.size(), 'a')).size(), 5122u);
  EXPECT_TRUE(client.ResolveUrl(std::string(5123 - base.size(), 'a')).empty());
  HttpResponseBuffer reply;
  EXPECT_FALSE(client.Get(std::string(6000, 'a'), reply));
  EXPECT_EQ(reply.data(), nullptr);
}

TEST(HttpResponseBuffer, GrowsByTheChunkAndStaysTerminated) {
  HttpResponseBuffer reply;
  EXPECT_EQ(reply.data(), nullptr);
  EXPECT_EQ(reply.size(), 0u);
  char first[] = "{\"code\":";
  char second[] = "200}";
  EXPECT_EQ(HttpWriteCallback(first, 1, std::strlen(first), &reply), std::strlen(first));
  EXPECT_EQ(HttpWriteCallback(second, 1, std::strlen(second), &reply), std::strlen(second));
  EXPECT_EQ(reply.size(), 12u);
  EXPECT_STREQ(reply.data(), "{\"code\":200}");

  HttpResponseBuffer moved = std::move(reply);
  EXPECT_EQ(reply.data(), nullptr);
  EXPECT_EQ(moved.view(), "{\"code\":200}");
  char* block = moved.Release();
  EXPECT_EQ(moved.size(), 0u);
  EXPECT_STREQ(block, "{\"code\":200}");
  std::free(block);
}

// --- Against the stand-in services ---

namespace {

class HttpTransferTest : public testing::Test {
 protected:
  void SetUp() override {
    STANDIN_OR_SKIP(instance);
    ASSERT_TRUE(InitializeHttpTransport());
    endpoints.Change([this](ServiceConfig& config) { config.caCertPem = instance.caPem(); });
  }

  ScopedProgramEndpoints endpoints;
  standin::Instance instance;
  ScratchFolder scratch;
};

}  // namespace

TEST_F(HttpTransferTest, GetsOverHttpsTrustingTheConfiguredCertificates) {
  const HttpClient client(instance.urls().speechHttps);
  HttpResponseBuffer reply;
  ASSERT_TRUE(client.Get("/colud/tts/voiceCategory.php", reply));
  EXPECT_EQ(std::string(reply.view()).rfind("{", 0), 0u);
  EXPECT_EQ(reply.data()[reply.size()], '\0');

  // Verification stays on: without the stand-ins' CA the certificate is refused.
  endpoints.Change([](ServiceConfig& config) { config.caCertPem.clear(); });
  HttpResponseBuffer refused;
  EXPECT_FALSE(client.Get("/colud/tts/voiceCategory.php", refused));
  EXPECT_EQ(refused.data(), nullptr);
}

TEST_F(HttpTransferTest, OnlyStatus200Succeeds) {
  const HttpClient client(instance.urls().speechHttp);
  const std::string path = "/colud/tts/voiceList.php";
  ASSERT_TRUE(instance.Script(path, R"({"http_status":500,"body":"{\"code\":200}"})"));
  HttpResponseBuffer reply;
  EXPECT_FALSE(client.Post(path, "a=1", reply));
  EXPECT_EQ(reply.data(), nullptr);

  // An empty body with 200 is a success with no data.
  ASSERT_TRUE(instance.Script(path, R"({"body":""})"));
  EXPECT_TRUE(client.Get(path, reply));
  EXPECT_EQ(reply.data(), nullptr);
  EXPECT_EQ(reply.size(), 0u);
}

// A failed transfer says why in the debugger output: the URL's path (never
// its query, which may hold a whole encrypted request) and the status or
// libcurl's reason.
TEST_F(HttpTransferTest, FailuresLeaveADiagnosticLine) {
  const HttpClient client(instance.urls().speechHttp);
  const std::string path = "/colud/tts/voiceList.php";
  ASSERT_TRUE(instance.Script(path, R"({"http_status":503,"body":"busy"})"));
  HttpResponseBuffer reply;
  {
    DebugOutputRecorder debug;
    EXPECT_FALSE(client.Get(path + "?secret=payload", reply));
    const std::string text = debug.text();
    EXPECT_NE(text.find("/colud/tts/voiceList.php"), std::string::npos) << text;
    EXPECT_NE(text.find("503"), std::string::npos) << text;
    EXPECT_EQ(text.find("secret"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n"), std::string::npos) << text;
  }
  {
    // Nothing listens on port 1 of the loopback address.
    DebugOutputRecorder debug;
    EXPECT_FALSE(client.Post("http://127.0.0.1:1/colud/tts/text2voice.php", "a=1", reply));
    const std::string text = debug.text();
    EXPECT_NE(text.find("/colud/tts/text2voice.php failed: "), std::string::npos) << text;
  }
}

TEST_F(HttpTransferTest, DownloadsChecksTheCrc) {
  const HttpClient client(instance.urls().managementHttp);
  const std::string path = "updates/Updrift.exe";
  HttpResponseBuffer body;
  ASSERT_TRUE(client.Get(path, body));
  ASSERT_GT(body.size(), 0u);
  const uint32_t crc = Crc32(body.data(), body.size());

  const std::wstring target = scratch / L"download";
  const std::string ansiTarget(target.begin(), target.end());  // an ASCII path
  ASSERT_TRUE(client.DownloadFile(path, ansiTarget, crc));
  EXPECT_EQ(ScratchFolder::ReadFileBytes(target), std::string(body.view()));
  DeleteFileW(target.c_str());

  EXPECT_FALSE(client.DownloadFile(path, ansiTarget, crc ^ 1));
  EXPECT_EQ(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);

  // Without a CRC an empty body makes an empty file; with one it fails.
  ASSERT_TRUE(instance.Script("/" + path, R"({"body":"","times":2})"));
  ASSERT_TRUE(client.DownloadFile(path, ansiTarget, 0));
  EXPECT_EQ(ScratchFolder::ReadFileBytes(target), "");
  EXPECT_FALSE(client.DownloadFile(path, ansiTarget, crc));
}

TEST_F(HttpTransferTest, UploadsASignedMultipartForm) {
  const std::wstring file = scratch / L"upload";
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(file, "RIFF not really audio"));
  HttpResponseBuffer reply;
  ASSERT_TRUE(HttpUploadFile(instance.urls().speechHttps + "/colud/ars/upload.php",
                             std::string(file.begin(), file.end()), reply));
  const Json::Value requests = instance.Requests();
  const Json::Value& upload = requests[requests.size() - 1];
  EXPECT_TRUE(upload["sign_ok"].asBool());
  EXPECT_EQ(upload["files"]["file"]["size"].asInt(), 21);
  EXPECT_EQ(upload["form"]["submit"].asString(), "Submit");

  HttpResponseBuffer none;
  EXPECT_FALSE(HttpUploadFile(instance.urls().speechHttps + "/colud/ars/upload.php", "C:\\no\\such\\file.mp3", none));
}

// Every transfer ends with its caller's stop token: a slow reply is abandoned
// within a few seconds of the stop, not waited out (a download writes no
// file); a transfer asked after the stop fails without a request; and the
// token touches only the calls it is given to.
namespace {

enum class TransferKind { kGet, kPost, kDownload, kUpload };

struct TransferCase {
  const char* name;
  TransferKind kind;
  std::string path;  // where the stand-in delays its reply
};

}  // namespace

TEST_F(HttpTransferTest, TheCallersStopTokenEndsEveryKindOfTransfer) {
  const std::wstring upload = scratch / L"upload.mp3";
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(upload, "ID3 not really audio"));
  const std::string ansiUpload(upload.begin(), upload.end());  // an ASCII path
  const std::wstring target = scratch / L"download";
  const std::string ansiTarget(target.begin(), target.end());
  const HttpClient speech(instance.urls().speechHttp);
  const HttpClient management(instance.urls().managementHttp);
  const TransferCase cases[] = {
      {"get", TransferKind::kGet, "/colud/tts/voiceCategory.php"},
      {"post", TransferKind::kPost, "/colud/ars/voice2TextTask.php"},
      {"download", TransferKind::kDownload, "/updates/Updrift.exe"},
      {"upload", TransferKind::kUpload, "/colud/ars/upload.php"},
  };
  auto run = [&](const TransferCase& c, const StopToken* stop) {
    HttpResponseBuffer reply;
    switch (c.kind) {
      case TransferKind::kGet: return speech.Get(c.path, reply, stop);
      case TransferKind::kPost: return speech.Post(c.path, "taskId=1", reply, stop);
      case TransferKind::kDownload: return management.DownloadFile(c.path.substr(1), ansiTarget, 0, stop);
      case TransferKind::kUpload: return HttpUploadFile(instance.urls().speechHttp + c.path, ansiUpload, reply, stop);
    }
    return false;
  };
  for (const TransferCase& c : cases) {
    ASSERT_TRUE(instance.Script(c.path, R"({"delay_ms":20000})")) << c.name;
    StopToken stop;
    std::atomic<bool> result{true};
    std::thread worker([&] { result = run(c, &stop); });
    Sleep(1000);  // the request is out and its reply delayed
    const ULONGLONG asked = GetTickCount64();
    stop.RequestStop();
    worker.join();
    EXPECT_LT(GetTickCount64() - asked, 5000u) << c.name;
    EXPECT_FALSE(result.load()) << c.name;
    EXPECT_EQ(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES) << c.name;

    // Asked after the stop: nothing reaches the server.
    const int before = instance.Count(c.path);
    EXPECT_FALSE(run(c, &stop)) << c.name;
    EXPECT_EQ(instance.Count(c.path), before) << c.name;

    // Another call, without the token, runs as before.
    EXPECT_TRUE(run(c, nullptr)) << c.name;
    DeleteFileW(target.c_str());
  }
}

// Only HTTP and HTTPS are spoken. An address of another protocol, as a server
// could name it for a download, fails without anything being opened: not a
// local file, not a local pipe (whose opening the probe sees), not an FTP
// connection; a download writes no file.
TEST_F(HttpTransferTest, AddressesOfOtherProtocolsAreNeverOpened) {
  const std::wstring secret = scratch / L"secret.mp3";
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(secret, "local secret"));
  std::string secretUrl = "file:///" + std::string(secret.begin(), secret.end());
  for (char& c : secretUrl) c = c == '\\' ? '/' : c;

  LocalPipeProbe probe;
  ASSERT_TRUE(probe.ok());
  const std::string urls[] = {
      secretUrl,
      secretUrl + "?from=http://127.0.0.1/",
      probe.FileUrl(),
      "ftp://127.0.0.1:1/result.mp3",
  };
  const HttpClient client;  // no base URL, as the speech job's
  const std::wstring target = scratch / L"download.mp3";
  for (const std::string& url : urls) {
    HttpResponseBuffer reply;
    EXPECT_FALSE(client.Get(url, reply)) << url;
    EXPECT_EQ(reply.data(), nullptr) << url;
    EXPECT_FALSE(client.DownloadFile(url, std::string(target.begin(), target.end()), 0)) << url;
    EXPECT_FALSE(ScratchFolder::Exists(target)) << url;
  }
  EXPECT_FALSE(probe.Finish()) << "the transfer opened the local pipe";
}
