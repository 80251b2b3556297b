#include "core/stt/portable/SourceFileNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::vector<std::wstring> kAudio = {L".mp3", L".wav", L".m4a"};

}  // namespace

// Only the last extension of the file name counts, in any case.
TEST(SourceFileNames, AudioIsKnownByTheLastExtensionOfTheName) {
  const struct {
    const wchar_t* path;
    bool audio;
  } cases[] = {
      {L"C:\\talks\\talk.mp3", true},
      {L"C:\\talks\\TALK.MP3", true},
      {L"C:\\talks\\talk.Wav", true},
      {L"C:\\talks\\talk.m4A", true},
      {L"C:\\talks\\talk.mp3.bak", false},   // a backup copy with ".mp3" inside its name
      {L"C:\\talks\\talk.mp3x", false},
      {L"C:\\talks\\talk.mp", false},
      {L"C:\\talks\\talk", false},
      {L"C:\\talks.mp3\\talk", false},       // the point lies in a folder name
      {L"C:\\talks.mp3\\talk.txt", false},
      {L"C:/talks/a.b.wav", true},
      {L".mp3", true},
      {L"", false},
      {L"C:\\talks\\talk.mp3 ", false},
  };
  for (const auto& c : cases) EXPECT_EQ(HasAudioExtension(c.path, kAudio), c.audio) << c.path;
  EXPECT_FALSE(HasAudioExtension(L"talk.mp3", {}));
}

TEST(SourceFileNames, SourcePathsSplitAfterTheirLastSeparator) {
  const struct {
    const wchar_t* path;
    const wchar_t* folder;
    const wchar_t* name;
  } cases[] = {
      {L"C:\\talks\\talk.mp3", L"C:\\talks\\", L"talk.mp3"},
      {L"C:\\talk.mp3", L"C:\\", L"talk.mp3"},
      {L"\\\\server\\share\\a b\\t.wav", L"\\\\server\\share\\a b\\", L"t.wav"},
      {L"Z:/tmp/x.m4a", L"Z:/tmp/", L"x.m4a"},
      {L"talk.mp3", L"", L"talk.mp3"},
  };
  for (const auto& c : cases) {
    const SourcePathParts parts = SplitSourcePath(c.path);
    EXPECT_EQ(parts.folder, c.folder) << c.path;
    EXPECT_EQ(parts.fileName, c.name) << c.path;
  }
}

// A chosen folder holds the transcript itself: without its separator the name
// would be glued to the folder's own name, one level up.
TEST(SourceFileNames, TranscriptsGoInsideTheirFolderWithDateAndMilliseconds) {
  EXPECT_EQ(WithTrailingSeparator(L"C:\\Users\\me\\Desktop"), L"C:\\Users\\me\\Desktop\\");
  EXPECT_EQ(WithTrailingSeparator(L"C:\\"), L"C:\\");
  EXPECT_EQ(WithTrailingSeparator(L"Z:/tmp/"), L"Z:/tmp/");
  EXPECT_EQ(WithTrailingSeparator(L""), L"");
  // A folder of far more than 100 characters stays whole.
  const std::wstring deep = L"C:\\" + std::wstring(150, L'd') + L"\\" + std::wstring(120, L'e') + L"\\";
  EXPECT_EQ(TranscriptOutputPath(deep, L"talk", 20260305, 1772668800123ull, L"docx"),
            deep + L"talk_20260305_1772668800123.docx");
  EXPECT_EQ(TranscriptOutputPath(L"C:\\t\\", L"会议 记录", 20261210, 5, L"txt"), L"C:\\t\\会议 记录_20261210_5.txt");
}

TEST(SourceFileNames, PickerBuffersGiveOnePathPerName) {
  const struct {
    std::wstring buffer;  // with its NULs
    size_t nameOffset;
    std::vector<std::wstring> paths;
  } cases[] = {
      {std::wstring(L"C:\\talks\\one.mp3\0\0", 18), 9, {L"C:\\talks\\one.mp3"}},
      {std::wstring(L"C:\\talks\0a.mp3\0b b.wav\0\0", 24), 9, {L"C:\\talks\\a.mp3", L"C:\\talks\\b b.wav"}},
      {std::wstring(L"C:\\\0a.mp3\0b.wav\0\0", 17), 4, {L"C:\\a.mp3", L"C:\\b.wav"}},
      {std::wstring(L"C:\\a.mp3\0\0", 10), 3, {L"C:\\a.mp3"}},
      // No final empty name: reading stops at the end of the buffer.
      {std::wstring(L"C:\\t\0a.mp3\0b.w", 14), 5, {L"C:\\t\\a.mp3", L"C:\\t\\b.w"}},
      {std::wstring(L"\0\0", 2), 0, {}},
      {std::wstring(L"C:\\t\0", 5), 9, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PickedFilePaths(c.buffer.data(), c.buffer.size(), c.nameOffset), c.paths) << c.nameOffset;
  }
}

TEST(SourceFileNames, RowNumbersAreReadFromDecimalText) {
  const struct {
    const wchar_t* text;
    int number;
  } cases[] = {{L"1", 1}, {L"12", 12}, {L"007", 7}, {L"0", 0}, {L"", 0}, {L"-3", 0},
               {L"2a", 0}, {L" 2", 0}, {L"999999999", 999999999}, {L"9999999999", 0},
               // Ten digits and more: the value decides, not the length.
               {L"1000000000", 1000000000}, {L"0000000001", 1}, {L"000000000000000000000042", 42},
               {L"2147483647", 2147483647}, {L"2147483648", 0}, {L"99999999999999999999999", 0},
               {L"0000000000", 0}};
  for (const auto& c : cases) EXPECT_EQ(ParseRowNumber(c.text), c.number) << c.text;
}
