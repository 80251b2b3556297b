// Pagemint.exe as the speech-to-text job runs it: a UTF-8 text file in, a
// document out, the exit code telling success, and nothing written on failure.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/pagemint/portable/DocumentReadback.h"
#include "tests/support/NonAsciiNames.h"
#include "tests/support/TestFiles.h"

namespace {

using testfiles::ReadFileBytes;

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  ASSERT_TRUE(testfiles::WriteFileBytes(path, bytes));
}

// The paragraph text of a .docx file, or a failure of the test.
std::string DocxFileText(const std::wstring& path) {
  std::string bytes;
  std::map<std::string, std::string> entries;
  std::string error;
  EXPECT_TRUE(ReadFileBytes(path, &bytes));
  EXPECT_TRUE(readback::ReadZip(bytes, &entries, &error)) << error;
  return readback::DocxText(entries["word/document.xml"]);
}

class PagemintTest : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CreateDirectoryW(temp, nullptr);  // a fresh Wine prefix may lack it
    folder_ = std::wstring(temp) + L"pagemint_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  }
  void TearDown() override {
    for (const std::wstring& name : Listing()) DeleteFileW((folder_ + name).c_str());
    RemoveDirectoryW(folder_.c_str());
  }

  // Runs Pagemint.exe (beside the test program) and returns its exit code.
  DWORD Run(const std::vector<std::wstring>& arguments) {
    std::wstring commandLine = L"Pagemint.exe";
    for (const std::wstring& argument : arguments) commandLine += L" \"" + argument + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
      ADD_FAILURE() << "cannot start Pagemint.exe: " << GetLastError();
      return 0xFFFF;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0xFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
  }

  std::vector<std::wstring> Listing() const { return testfiles::ListFiles(folder_); }

  std::wstring folder_;
};

// 识别结果 "quoted" & <tagged>, then an empty line and a long line.
const std::string kTranscript =
    "\xE8\xAF\x86\xE5\x88\xAB\xE7\xBB\x93\xE6\x9E\x9C \"quoted\" & <tagged>\r\n\r\n" + std::string(40000, 'x');

}  // namespace

TEST_F(PagemintTest, WritesBothFormatsWithTheWholeText) {
  const std::wstring input = folder_ + L"text.txt";
  WriteBytes(input, kTranscript);
  const std::string expected = "\xE8\xAF\x86\xE5\x88\xAB\xE7\xBB\x93\xE6\x9E\x9C \"quoted\" & <tagged>\n\n" +
                               std::string(40000, 'x');

  const std::wstring docx = folder_ + L"transcript.docx";
  ASSERT_EQ(Run({input, docx}), 0u);
  EXPECT_EQ(DocxFileText(docx), expected);

  const std::wstring doc = folder_ + L"transcript.doc";
  ASSERT_EQ(Run({input, doc}), 0u);
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(doc, &bytes));
  EXPECT_EQ(bytes.compare(0, 6, "{\\rtf1"), 0);
  EXPECT_EQ(readback::RtfText(bytes), expected);

  // Only the input and the two documents: no temporary file is left behind.
  EXPECT_EQ(Listing().size(), 3u);
}

TEST_F(PagemintTest, TakesChinesePathsAsUnicodeArguments) {
  SKIP_WITHOUT_NON_ASCII_NAMES();
  const std::wstring input = folder_ + L"\u6587\u5B57.txt";   // 文字.txt
  const std::wstring output = folder_ + L"\u8F6C\u5199.docx";  // 转写.docx
  WriteBytes(input, "\xE4\xBD\xA0\xE5\xA5\xBD");
  ASSERT_EQ(Run({input, output}), 0u);
  EXPECT_EQ(DocxFileText(output), "\xE4\xBD\xA0\xE5\xA5\xBD");
}

TEST_F(PagemintTest, ReplacesAnExistingDocument) {
  const std::wstring input = folder_ + L"text.txt";
  const std::wstring output = folder_ + L"out.doc";
  WriteBytes(input, "new");
  WriteBytes(output, "old contents");
  ASSERT_EQ(Run({input, output}), 0u);
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(output, &bytes));
  EXPECT_EQ(readback::RtfText(bytes), "new");
}

TEST_F(PagemintTest, FailuresWriteNothing) {
  const std::wstring good = folder_ + L"good.txt";
  const std::wstring bad = folder_ + L"bad.txt";
  WriteBytes(good, "fine");
  WriteBytes(bad, "cut \xE4\xBD");
  struct Case {
    std::vector<std::wstring> arguments;
    DWORD exitCode;
  } cases[] = {
      {{}, 1},
      {{good}, 1},
      {{good, folder_ + L"out.txt"}, 1},                // no document extension
      {{folder_ + L"missing.txt", folder_ + L"out.docx"}, 2},
      {{bad, folder_ + L"out.docx"}, 2},                // invalid UTF-8
      {{good, folder_ + L"no such folder\\out.docx"}, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.arguments), c.exitCode) << c.arguments.size();
    EXPECT_EQ(Listing().size(), 2u);
  }
  // A failed run leaves the document that was there before untouched.
  const std::wstring existing = folder_ + L"kept.docx";
  WriteBytes(existing, "earlier");
  EXPECT_EQ(Run({bad, existing}), 2u);
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(existing, &bytes));
  EXPECT_EQ(bytes, "earlier");
}
