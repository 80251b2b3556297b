#include "core/stt/TranscriptOutput.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>

#include "core/base/WorkerThread.h"
#include "core/media/ProcessRunner.h"

#include "tests/core/stt/Voice2TextTesting.h"
#include "tests/pagemint/portable/DocumentReadback.h"

using v2ttest::MessageRecorder;
using v2ttest::ReadFileBytes;
using v2ttest::ScratchFolder;

TEST(TranscriptOutput, OnlyWordNamesGoToTheDocumentWriter) {
  struct Case {
    const wchar_t* path;
    bool document;
  } cases[] = {
      {L"C:\\out\\talk_20260305_1767600000000.docx", true},
      {L"C:\\out\\talk_20260305_1767600000000.doc", true},
      {L"C:\\out\\TALK.DOCX", true},
      {L"C:\\out\\talk_20260305_1767600000000.txt", false},
      {L"C:\\my.docs\\talk.txt", false},  // ".doc" in a folder name is not a format
      {L"C:\\out\\talk.docx.txt", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsDocumentOutput(c.path), c.document) << c.path;
}

TEST(TranscriptOutput, TextFilesGrowWithCrLfLineEnds) {
  ScratchFolder scratch(L"transcript_text");
  const std::wstring path = scratch.path() + L"t.txt";
  MessageRecorder messages;
  ASSERT_TRUE(AppendTranscriptText(path, "", nullptr));  // an empty text still makes the file
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, &bytes));
  EXPECT_EQ(bytes, "");
  ASSERT_TRUE(AppendTranscriptText(path, "one\ntwo", nullptr));
  ASSERT_TRUE(AppendTranscriptText(path, "\xE4\xB8\x89\n", nullptr));
  ASSERT_TRUE(ReadFileBytes(path, &bytes));
  EXPECT_EQ(bytes, "one\r\ntwo\xE4\xB8\x89\r\n");
  EXPECT_TRUE(messages.messages().empty());
}

TEST(TranscriptOutput, AnUnwritableTextFileIsAFailure) {
  ScratchFolder scratch(L"transcript_text_fail");
  MessageRecorder messages;
  EXPECT_FALSE(AppendTranscriptText(scratch.path() + L"no such folder\\t.txt", "text", nullptr));
  EXPECT_EQ(messages.messages(), std::vector<std::wstring>{L"错误：3 文件保存失败，请重试！"});
}

// The whole text reaches the document: longer than any command line, with
// double quotes and characters the ANSI code page cannot hold.
TEST(TranscriptOutput, DocumentsCarryTheWholeTextThroughPagemint) {
  ScratchFolder scratch(L"transcript_document");
  std::string text = "\xE7\xAC\xAC\xE4\xB8\x80\xE6\xAE\xB5 \"quoted\" caf\xC3\xA9 \xF0\x9F\x98\x80\n";
  while (text.size() < 70000) text += "word \"and\" \xE5\xAD\x97 ";
  MessageRecorder messages;
  for (const wchar_t* name : {L"out.docx", L"out.doc"}) {
    const std::wstring output = scratch.path() + name;
    const std::wstring textPath = scratch.path() + L"handover.txt";
    ASSERT_TRUE(WriteTranscriptDocument(output, textPath, text, nullptr));
    EXPECT_FALSE(v2ttest::Exists(textPath));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(output, &bytes));
    std::string read;
    if (std::wstring(name) == L"out.docx") {
      std::map<std::string, std::string> entries;
      std::string error;
      ASSERT_TRUE(readback::ReadZip(bytes, &entries, &error)) << error;
      read = readback::DocxText(entries["word/document.xml"]);
    } else {
      read = readback::RtfText(bytes);
    }
    EXPECT_EQ(read, text);
  }
  EXPECT_TRUE(messages.messages().empty());
}

TEST(TranscriptOutput, AWriterFailureIsAFailure) {
  ScratchFolder scratch(L"transcript_document_fail");
  MessageRecorder messages;
  const std::wstring textPath = scratch.path() + L"handover.txt";
  EXPECT_FALSE(WriteTranscriptDocument(scratch.path() + L"missing\\out.docx", textPath, "text", nullptr));
  EXPECT_FALSE(v2ttest::Exists(textPath));
  EXPECT_FALSE(v2ttest::Exists(scratch.path() + L"missing\\out.docx"));
  // Pagemint's exit code (3: the document could not be written) is not a
  // system error code, so none is shown.
  EXPECT_EQ(messages.messages(), std::vector<std::wstring>{L"文件保存失败，请重试！"});
}

// A document writer that outlasts its bound, or runs when the job is asked to
// stop, is ended: the transcript fails with the save message and no document
// is left half-written.
TEST(TranscriptOutput, AWriterEndedByItsBoundOrTheStopFlagIsAFailure) {
  ScratchFolder scratch(L"transcript_document_ended");
  const std::string text(200000, 'a');
  for (bool bounded : {true, false}) {
    MessageRecorder messages;
    StopToken stop;
    if (!bounded) stop.RequestStop();
    if (bounded) GetChildTimeLimits().documentWriterMs = 0;
    const std::wstring output = scratch.path() + (bounded ? L"bound.docx" : L"stopped.docx");
    const std::wstring textPath = scratch.path() + L"handover.txt";
    const bool written = WriteTranscriptDocument(output, textPath, text, nullptr, &stop);
    GetChildTimeLimits() = ChildTimeLimits();
    EXPECT_FALSE(written) << bounded;
    EXPECT_FALSE(v2ttest::Exists(output)) << bounded;
    EXPECT_FALSE(v2ttest::Exists(textPath)) << bounded;
    EXPECT_EQ(messages.messages(), std::vector<std::wstring>{L"文件保存失败，请重试！"}) << bounded;
  }
}
