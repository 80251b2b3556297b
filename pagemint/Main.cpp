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

#include "pagemint/portable/DocumentBuilder.h"

namespace {

enum ExitCode {
  kWritten = 0,
  kUsage = 1,
  kBadInput = 2,
  kWriteFailed = 3,
};

// Far beyond any transcript; keeps a wrong argument from exhausting memory.
constexpr LONGLONG kMaxInputBytes = 256LL * 1024 * 1024;

std::string Narrow(const std::wstring& text) {
  int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), length, nullptr, nullptr);
  result.pop_back();
  return result;
}

int Fail(int code, const std::string& what, const std::wstring& path) {
  std::fprintf(stderr, "Pagemint: %s: %s (error %lu)\n", what.c_str(), Narrow(path).c_str(), GetLastError());
  return code;
}

bool ReadWholeFile(const std::wstring& path, std::string* bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= kMaxInputBytes;
  if (ok) {
    bytes->assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    for (size_t pos = 0; ok && pos < bytes->size(); pos += done) {
      ok = ReadFile(file, bytes->data() + pos, static_cast<DWORD>(bytes->size() - pos), &done, nullptr) && done > 0;
    }
  }
  CloseHandle(file);
  return ok;
}

bool WriteNewFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  DWORD done = 0;
  for (size_t pos = 0; ok && pos < bytes.size(); pos += done) {
    ok = WriteFile(file, bytes.data() + pos, static_cast<DWORD>(bytes.size() - pos), &done, nullptr) && done > 0;
  }
  ok = FlushFileBuffers(file) && ok;
  ok = CloseHandle(file) && ok;
  return ok;
}

// Writes beside the target first and renames it into place, so a reader never
// sees half a document and a failure leaves the target untouched.
bool WriteFileReplacing(const std::wstring& path, const std::string& bytes) {
  const std::wstring temporary = path + L".pagemint-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  if (!WriteNewFile(temporary, bytes) ||
      !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteFileW(temporary.c_str());
    SetLastError(error);
    return false;
  }
  return true;
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
  std::string text;
  if (!ReadWholeFile(input, &text)) return Fail(kBadInput, "cannot read the text file", input);

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
  if (!WriteFileReplacing(output, document)) return Fail(kWriteFailed, "cannot write the document", output);
  return kWritten;
}
