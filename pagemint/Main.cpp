// Pagemint.exe: writes a Word document from a UTF-8 text file.
//
//   Pagemint.exe <utf8-text-file> <output-path>
//
// The output's extension picks the format (.docx or .doc). Exit code 0 when the
// document was written; otherwise nothing is written (an existing file at the
// output path stays as it was) and the exit code says what failed.
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/base/FileBytes.h"
#include "pagemint/portable/DocumentBuilder.h"

namespace {

enum ExitCode {
  kWritten = 0,
  kUsage = 1,
  kBadInput = 2,
  kWriteFailed = 3,
};

// Far beyond any transcript; keeps a wrong argument from exhausting memory.
constexpr size_t kMaxInputBytes = 256LL * 1024 * 1024;

std::string Narrow(const std::wstring& text) {
  int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), length, nullptr, nullptr);
  result.pop_back();
  return result;
}

int Fail(int code, const std::string& what, const std::wstring& path, DWORD error) {
  std::fprintf(stderr, "Pagemint: %s: %s (error %lu)\n", what.c_str(), Narrow(path).c_str(), error);
  return code;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: Pagemint.exe <utf8-text-file> <output-path.docx|.doc>\n");
    return kUsage;
  }
  const std::wstring input = argv[1];
  const std::wstring output = argv[2];
  const DocumentFormat format = FormatFromOutputPath(output);
  if (format == DocumentFormat::kUnknown) {
    std::fprintf(stderr, "Pagemint: the output name must end in .docx or .doc\n");
    return kUsage;
  }
  ByteBuffer read;
  DWORD readError = 0;
  if (ReadWholeFile(input, kMaxInputBytes, read, &readError) != FileReadResult::kOk) {
    return Fail(kBadInput, "cannot read the text file", input, readError);
  }
  const std::string text(read.view());

  SYSTEMTIME now{};
  GetLocalTime(&now);
  const ZipDosTime stamp =
      MakeZipDosTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
  std::string document;
  std::string error;
  if (!BuildDocument(text, format, stamp, &document, &error)) {
    std::fprintf(stderr, "Pagemint: %s: %s\n", error.c_str(), Narrow(input).c_str());
    return kBadInput;
  }
  // A temporary name of this process's own, so two writers of one output never share it.
  const std::wstring temporarySuffix = L".pagemint-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  DWORD writeError = 0;
  if (!WriteFileReplacing(output, document.data(), document.size(), temporarySuffix, &writeError)) {
    return Fail(kWriteFailed, "cannot write the document", output, writeError);
  }
  return kWritten;
}
