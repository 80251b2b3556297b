#include "core/transport/HttpClient.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>

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

// A worker's owner ends its transfer through the thread's stop flag: a slow
// reply is abandoned within a few seconds of the flag, not waited out, and
// the flag touches only the thread that set it.
namespace {

struct StoppableTransfer {
  const HttpClient* client;
  std::string path;
  std::atomic<bool> stop{false};
  std::atomic<bool> result{true};
};

DWORD WINAPI RunStoppableTransfer(void* parameter) {
  auto* transfer = static_cast<StoppableTransfer*>(parameter);
  SetThreadTransferStopFlag(&transfer->stop);
  HttpResponseBuffer reply;
  transfer->result = transfer->client->Post(transfer->path, "taskId=1", reply);
  SetThreadTransferStopFlag(nullptr);
  return 0;
}

}  // namespace

TEST_F(HttpTransferTest, TheThreadsStopFlagAbortsItsSlowTransfer) {
  const std::string path = "/colud/ars/voice2TextTask.php";
  ASSERT_TRUE(instance.Script(path, R"({"delay_ms":30000})"));
  const HttpClient client(instance.urls().speechHttp);
  StoppableTransfer transfer{&client, path};
  HANDLE thread = CreateThread(nullptr, 0, RunStoppableTransfer, &transfer, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  Sleep(1000);  // the request is out and its reply delayed
  EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  const ULONGLONG asked = GetTickCount64();
  transfer.stop = true;
  EXPECT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_LT(GetTickCount64() - asked, 5000u);
  EXPECT_FALSE(transfer.result.load());
  CloseHandle(thread);

  // This thread never set a flag: its transfers run as before.
  HttpResponseBuffer reply;
  EXPECT_TRUE(client.Post(path, "taskId=1", reply));
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
