#pragma once

// Where the recognised text of a speech-to-text job goes. Failures are shown
// as "错误：%d 文件保存失败，请重试！" in a message box owned by `owner`.

#include <windows.h>

#include <atomic>
#include <string>

// True when `outputPath` names a Word document (last extension .doc or
// .docx, any case), which Pagemint.exe writes; anything else is a text file.
bool IsDocumentOutput(const std::wstring& outputPath);

// Appends UTF-8 text to a text file, creating it when missing; line feeds are
// written as CR LF. False (after the message) when it cannot be written.
bool AppendTranscriptText(const std::wstring& outputPath, const std::string& utf8, HWND owner);

// Writes the whole transcript as a document through Pagemint.exe: the text
// goes in a temporary UTF-8 file `textPath` (removed afterwards), never on a
// command line. False (after the message) when the writer fails. A writer
// that outlasts its fixed bound, or runs when `stop` turns true, is ended and
// fails the same way.
bool WriteTranscriptDocument(const std::wstring& outputPath, const std::wstring& textPath, const std::string& utf8,
                             HWND owner, const std::atomic<bool>* stop = nullptr);
