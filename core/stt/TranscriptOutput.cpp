#include "core/stt/TranscriptOutput.h"

#include <cstdio>

#include "core/base/DebugTrace.h"
#include "core/base/UserMessage.h"
#include "core/base/portable/TextHelpers.h"
#include "core/media/ProcessRunner.h"
#include "core/stt/Voice2TextMessages.h"

namespace {

void ShowSaveFailure(HWND owner, uint32_t code) {
  wchar_t text[128];
  std::swprintf(text, 128, kV2tMessageSaveFailed, static_cast<int>(code));
  ShowUserMessage(owner, text);
}

// Writes all bytes at the file's current end; false with GetLastError set.
bool WriteAll(HANDLE file, const std::string& bytes) {
  DWORD done = 0;
  for (size_t pos = 0; pos < bytes.size(); pos += done) {
    if (!WriteFile(file, bytes.data() + pos, static_cast<DWORD>(bytes.size() - pos), &done, nullptr) || done == 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool IsDocumentOutput(const std::wstring& outputPath) {
  return EndsWithNoCase(outputPath, L".docx") || EndsWithNoCase(outputPath, L".doc");
}

bool AppendTranscriptText(const std::wstring& outputPath, const std::string& utf8, HWND owner) {
  HANDLE file = CreateFileW(outputPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    DebugTrace(L"cannot open %ls: %lu", outputPath.c_str(), error);
    ShowSaveFailure(owner, error);
    return false;
  }
  // Text-mode line ends, as the transcript files have always had them.
  std::string text;
  text.reserve(utf8.size());
  for (char c : utf8) {
    if (c == '\n') text += '\r';
    text += c;
  }
  const bool written = WriteAll(file, text);
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (!written) {
    DebugTrace(L"cannot write %ls: %lu", outputPath.c_str(), error);
    ShowSaveFailure(owner, error);
  }
  return written;
}

bool WriteTranscriptDocument(const std::wstring& outputPath, const std::wstring& textPath, const std::string& utf8,
                             HWND owner) {
  HANDLE file = CreateFileW(textPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY,
                            nullptr);
  bool written = file != INVALID_HANDLE_VALUE && WriteAll(file, utf8);
  DWORD error = GetLastError();
  if (file != INVALID_HANDLE_VALUE) written = CloseHandle(file) && written;
  if (!written) {
    DebugTrace(L"cannot write %ls: %lu", textPath.c_str(), error);
    DeleteFileW(textPath.c_str());
    ShowSaveFailure(owner, error);
    return false;
  }
  // Paths cannot hold a double quote, so quoting them is enough.
  uint32_t exitCode = 0;
  std::string output;
  RunIsolatedProcess(L"Pagemint.exe \"" + textPath + L"\" \"" + outputPath + L"\"", exitCode, output);
  DeleteFileW(textPath.c_str());
  if (exitCode != 0) {
    DebugTraceA("Pagemint.exe failed with %u: %s", exitCode, output.c_str());
    ShowSaveFailure(owner, exitCode);
    return false;
  }
  return true;
}
