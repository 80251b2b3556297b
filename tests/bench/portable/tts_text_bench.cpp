// Throughput of the text-to-speech text path on the editor's largest text:
// Base64, MD5 and the SSML builder on 5000 characters with marks.
#include <chrono>
#include <cstdio>
#include <string>

#include "core/base/portable/Base64.h"
#include "core/base/portable/Checksums.h"
#include "core/tts/portable/SsmlBuilder.h"

namespace {

template <typename Work>
double MicrosPerRun(int runs, Work work) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < runs; ++i) work();
  const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / runs;
}

void Report(const char* what, double micros, size_t bytes) {
  std::printf("%-40s %10.1f us/run  %8.1f MB/s\n", what, micros, bytes / micros);
}

}  // namespace

int main() {
  // 5000 editor characters: sentences with commas, ten pauses and polyphone marks.
  std::wstring editorText;
  for (int i = 0; editorText.size() < 5000; ++i) {
    editorText += L"今天天气很好，我们一起去公园散步";
    if (i % 30 == 0) editorText += L"<break time=\"1s\"/>";
    if (i % 7 == 0) editorText += L"行[=hang2]";
  }
  editorText.resize(5000);
  // Its code page 936 form is about two bytes a character; the markup is ASCII.
  const std::string ansi(10000, '\xc4');
  const std::string base64 = Base64Encode(ansi);
  const std::string audio(256 * 1024, '\x5a');  // about half a minute of 64 kbit/s speech
  const std::string audioBase64 = Base64Encode(audio);

  std::wstring ssml;
  volatile size_t sink = 0;
  Report("BuildSsml, 5000 characters (conversion)", MicrosPerRun(200, [&] {
           BuildSsml(editorText, kSsmlConversion, 2, 2, ssml);
           sink = ssml.size();
         }), editorText.size() * 2);  // as UTF-16
  Report("BuildSsml, 5000 characters (preview)", MicrosPerRun(2000, [&] {
           BuildSsml(editorText, kSsmlPreview, 2, 2, ssml);
           sink = ssml.size();
         }), editorText.size() * 2);  // as UTF-16
  Report("Base64Encode, 10000 bytes", MicrosPerRun(5000, [&] { sink = Base64Encode(ansi).size(); }), ansi.size());
  Report("EscapeBase64, 13336 characters", MicrosPerRun(2000, [&] { sink = EscapeBase64(base64).size(); }),
         base64.size());
  Report("Base64Decode, 256 KiB of audio", MicrosPerRun(200, [&] { sink = Base64Decode(audioBase64).size(); }),
         audioBase64.size());
  Report("ComputeMd5Hex, 20000-byte form", MicrosPerRun(5000, [&] {
           sink = ComputeMd5Hex(std::string(20000, 'f')).size();
         }), 20000);
  (void)sink;
  return 0;
}
