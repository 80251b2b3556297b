#include "core/stt/TranscriptOutput.h"

#include "core/base/DebugTrace.h"
#include "core/base/FileBytes.h"
#include "core/base/ScopedHandle.h"
#include "core/base/UserMessage.h"
#include "core/base/portable/TextHelpers.h"
#include "core/media/ProcessRunner.h"
#include "core/stt/Voice2TextMessages.h"

namespace {

// `code` is a system error code, or 0 when there is none to show.
void ShowSaveFailure(HWND owner, uint32_t code) {
  ShowUserMessage(owner, FormatFailureMessage(kV2tMessageSaveFailed, kV2tMessageSaveFailedPlain, code));
}

}  // namespace

bool IsDocumentOutput(const std::wstring& outputPath) {
  return EndsWithNoCase(outputPath, L".docx") || EndsWithNoCase(outputPath, L".doc");
}

bool AppendTranscriptText(const std::wstring& outputPath, const std::string& utf8, HWND owner) {
  OwnedHandle file(CreateFileW(outputPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
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
  DWORD error = 0;
  const bool written = WriteAllBytes(file.Get(), text.data(), text.size(), &error);
  if (!written) {
    DebugTrace(L"cannot write %ls: %lu", outputPath.c_str(), error);
    ShowSaveFailure(owner, error);
  }
  return written;
}

bool WriteTranscriptDocument(const std::wstring& outputPath, const std::wstring& textPath, const std::string& utf8,
                             HWND owner, const StopToken* stop) {
  DWORD error = 0;
  bool written = false;
  {
    OwnedHandle file(
        CreateFileW(textPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file) {
      error = GetLastError();
    } else {
      written = WriteAllBytes(file.Get(), utf8.data(), utf8.size(), &error);
      // The writer reads the file next: a failed close may have lost its end.
      if (written && !CloseHandle(file.Release())) written = false, error = GetLastError();
    }
  }
  if (!written) {
    DebugTrace(L"cannot write %ls: %lu", textPath.c_str(), error);
    DeleteFileW(textPath.c_str());
    ShowSaveFailure(owner, error);
    return false;
  }
  // Paths cannot hold a double quote, so quoting them is enough.
  uint32_t exitCode = 0;
  std::string output;
  const ChildRunLimits limits{GetChildTimeLimits().documentWriterMs, stop};
  RunIsolatedProcess(L"Pagemint.exe \"" + textPath + L"\" \"" + outputPath + L"\"", exitCode, output, limits);
  DeleteFileW(textPath.c_str());
  // A writer ended half-way may have left part of a document.
  if (exitCode == ERROR_TIMEOUT || exitCode == ERROR_CANCELLED) DeleteFileW(outputPath.c_str());
  if (exitCode != 0) {
    // The writer's exit code is not a system error code: the plain message.
    DebugTraceA("Pagemint.exe failed with %u: %s", exitCode, output.c_str());
    ShowSaveFailure(owner, 0);
    return false;
  }
  return true;
}
