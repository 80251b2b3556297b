// The client's own cost of one text-to-speech conversion: every step of a
// single request except the service's work and the ffmpeg pass, on the
// editor's largest text, against a loopback server that answers at once with a
// canned reply holding half a minute of audio. The ffmpeg pass and one whole
// conversion are timed too, for scale.
#include <winsock2.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "core/base/FileBytes.h"
#include "core/base/TextConversion.h"
#include "core/base/portable/Base64.h"
#include "core/base/portable/Checksums.h"
#include "core/media/ProcessRunner.h"
#include "core/transport/HttpClient.h"
#include "tests/support/ProgramEndpoints.h"
#include "core/transport/portable/SpeechRequest.h"
#include "core/tts/ConvertJob.h"
#include "core/tts/portable/SsmlBuilder.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Answers every request on a loopback port with the same reply, one connection at a time.
class InstantServer {
 public:
  explicit InstantServer(std::string body) : body_(std::move(body)) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int size = sizeof(address);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    listen(listener_, 8);
    thread_ = std::thread([this] { Serve(); });
  }
  ~InstantServer() {
    closesocket(listener_);
    thread_.join();
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  void Serve() {
    for (SOCKET client; (client = accept(listener_, nullptr, nullptr)) != INVALID_SOCKET;) {
      std::string request;
      char chunk[65536];
      size_t expected = std::string::npos;
      while (request.size() < expected) {
        const int got = recv(client, chunk, sizeof(chunk), 0);
        if (got <= 0) break;
        request.append(chunk, got);
        const size_t headerEnd = request.find("\r\n\r\n");
        const size_t lengthAt = request.find("Content-Length: ");
        if (headerEnd != std::string::npos && expected == std::string::npos) {
          expected = headerEnd + 4 + (lengthAt != std::string::npos ? std::stoul(request.substr(lengthAt + 16)) : 0);
        }
      }
      const std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                                std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_;
      send(client, reply.data(), static_cast<int>(reply.size()), 0);
      shutdown(client, SD_SEND);
      closesocket(client);
    }
  }

  std::string body_;
  SOCKET listener_;
  int port_ = 0;
  std::thread thread_;
};

std::wstring TempFolder() {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return folder;
}

}  // namespace

int main() {
  if (!InitializeHttpTransport()) return 1;
  std::wstring editorText;
  for (int i = 0; editorText.size() < 5000; ++i) {
    editorText += L"今天天气很好我们一起去公园散步然后回家吃饭休息一下再出门看看风景，";
    if (i % 15 == 0) editorText += L"<break time=\"1s\"/>";
    if (i % 7 == 0) editorText += L"行[=hang2]";
  }
  editorText.resize(5000);

  // Half a minute of speech as the service would send it: a real MP3 made by ffmpeg.
  const std::wstring speech = TempFolder() + L"bench_speech.mp3";
  std::string output;
  uint32_t exitCode = 1;
  RunFfmpeg(L"-hide_banner -y -f lavfi -i sine=frequency=300:duration=30 -ar 16000 -b:a 64k \"" + speech + L"\"",
            exitCode, output);
  std::string audio;
  if (FILE* file = _wfopen(speech.c_str(), L"rb")) {
    char chunk[65536];
    for (size_t got; (got = fread(chunk, 1, sizeof(chunk), file)) > 0;) audio.append(chunk, got);
    fclose(file);
  }
  if (exitCode != 0 || audio.empty()) {
    std::printf("could not make the test audio\n");
    return 1;
  }
  InstantServer server("{\"code\":200,\"msg\":\"ok\",\"RequestId\":\"bench\",\"data\":\"" + Base64Encode(audio) + "\"}");
  ScopedProgramEndpoints endpoints;
  endpoints.Change([&server](ServiceConfig& config) { config.speechBaseUrl = server.url(); });
  const HttpClient transport;

  const int runs = 20;
  double ssmlMs = 0, formMs = 0, postMs = 0, readMs = 0, writeMs = 0;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    std::wstring ssml;
    BuildSsml(editorText, kSsmlConversion, 1, 1, ssml);
    ssmlMs += MillisSince(start);

    start = Clock::now();
    std::string form;
    const bool fits = BuildSynthesisForm(WideToAnsi(ssml), {4, 4, 100510000, "neutral", "mp3"}, form);
    const std::wstring key = ComputeMd5HexW(form);
    formMs += MillisSince(start);
    if (!fits) {
      std::printf("the bench text does not fit a request\n");
      return 1;
    }

    start = Clock::now();
    HttpResponseBuffer body;
    const bool transferred = transport.Post(server.url() + kSynthesisPath, form, body);
    postMs += MillisSince(start);

    start = Clock::now();
    // As the job reads it: the audio decoded straight from the reply's tree.
    Json::Value root;
    std::string_view data;
    std::string decoded;
    ReadSpeechReply(transferred, body.view(), root);
    ReadReplyView(root, "data", data);
    Base64DecodeWhole(data, decoded);
    readMs += MillisSince(start);

    start = Clock::now();
    const std::wstring cache = TempFolder() + key + L".mp3";
    WriteFileBytes(cache, decoded.data(), decoded.size());
    writeMs += MillisSince(start);
    DeleteFileW(cache.c_str());
  }
  std::wstring ssml;
  std::string form;
  BuildSsml(editorText, kSsmlConversion, 1, 1, ssml);
  BuildSynthesisForm(WideToAnsi(ssml), {4, 4, 100510000, "neutral", "mp3"}, form);
  std::printf("client cost of one conversion (5000 characters, %u-byte form, %u bytes of audio), mean of %d runs:\n",
              static_cast<unsigned>(form.size()), static_cast<unsigned>(audio.size()), runs);
  std::printf("  %-44s %8.2f ms\n", "SSML markup", ssmlMs / runs);
  std::printf("  %-44s %8.2f ms\n", "form: ANSI, Base64, escape, sign, cache key", formMs / runs);
  std::printf("  %-44s %8.2f ms\n", "POST and reply transfer (loopback)", postMs / runs);
  std::printf("  %-44s %8.2f ms\n", "reply: JSON, Base64 decode", readMs / runs);
  std::printf("  %-44s %8.2f ms\n", "cache file write", writeMs / runs);
  std::printf("  %-44s %8.2f ms\n", "total", (ssmlMs + formMs + postMs + readMs + writeMs) / runs);

  // For scale: the ffmpeg pass alone, and one whole single request through the job.
  ConvertJob job;
  job.tempFolder = TempFolder();
  job.codec = L"mp3";
  job.emotion = L"neutral";
  job.volume = job.speed = 4;
  job.voiceType = 100510000;
  job.text = L"<speak>短文本</speak>";
  job.resultName = L"bench_result.mp3";
  auto start = Clock::now();
  RunHiddenProcess(FfmpegCommandLine(L"-y -i \"" + speech + L"\"  -ar 16000  \"" + job.tempFolder +
                                     L"bench_pass.mp3\""), exitCode, output);
  std::printf("  %-44s %8.2f ms\n", "ffmpeg resampling pass (not client cost)", MillisSince(start));
  start = Clock::now();
  const bool converted = job.SynthesizeSpeech();
  std::printf("  %-44s %8.2f ms%s\n", "whole single request with its pass", MillisSince(start),
              converted ? "" : " (failed)");
  DeleteFileW((job.tempFolder + L"bench_pass.mp3").c_str());
  DeleteFileW((job.tempFolder + job.resultName).c_str());
  DeleteFileW(speech.c_str());
  return 0;
}
