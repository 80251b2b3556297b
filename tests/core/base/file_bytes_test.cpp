#include "core/base/FileBytes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/ScratchFolder.h"

TEST(ReadWholeFile, ReadsWithinTheLimitAndSaysWhyNot) {
  ScratchFolder scratch(L"file_bytes_read");
  const std::wstring file = scratch / L"five.bin";
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(file, std::string("ab\0cd", 5)));
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(scratch / L"empty.bin", ""));

  ByteBuffer bytes;
  DWORD error = 1;
  EXPECT_EQ(ReadWholeFile(file, 5, bytes, &error), FileReadResult::kOk);
  EXPECT_EQ(bytes.view(), std::string_view("ab\0cd", 5));
  EXPECT_EQ(error, 0u);

  EXPECT_EQ(ReadWholeFile(file, 4, bytes), FileReadResult::kTooLarge);
  EXPECT_EQ(bytes.data(), nullptr) << "nothing of a refused file is kept";

  EXPECT_EQ(ReadWholeFile(scratch / L"empty.bin", 4, bytes), FileReadResult::kOk);
  EXPECT_EQ(bytes.size(), 0u);

  EXPECT_EQ(ReadWholeFile(scratch / L"missing.bin", 4, bytes, &error), FileReadResult::kCannotOpen);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(WriteFileReplacing, ReplacesWholeOrLeavesThePreviousFile) {
  ScratchFolder scratch(L"file_bytes_write");
  const std::wstring file = scratch / L"record.dat";
  ASSERT_TRUE(WriteFileReplacing(file, "first", 5));
  ASSERT_TRUE(WriteFileReplacing(file, "second", 6));
  ByteBuffer bytes;
  ASSERT_EQ(ReadWholeFile(file, 100, bytes), FileReadResult::kOk);
  EXPECT_EQ(bytes.view(), "second");
  EXPECT_FALSE(ScratchFolder::Exists(file + L".tmp"));

  // A folder where the temporary file should go makes the write fail; the
  // previous content stays and the error is the system's.
  ASSERT_TRUE(CreateDirectoryW((file + L".part").c_str(), nullptr));
  DWORD error = 0;
  EXPECT_FALSE(WriteFileReplacing(file, "third", 5, L".part", &error));
  EXPECT_NE(error, 0u);
  ASSERT_EQ(ReadWholeFile(file, 100, bytes), FileReadResult::kOk);
  EXPECT_EQ(bytes.view(), "second");
  RemoveDirectoryW((file + L".part").c_str());
}

TEST(WriteFileBytes, LeavesExactlyTheNewBytesOverAnyEarlierFile) {
  ScratchFolder scratch(L"file_bytes_over");
  const struct {
    const char* before;  // null: no file yet
    std::string after;
  } cases[] = {
      {nullptr, "new"}, {"a longer earlier text", "short"}, {"ab", "a longer text than before"}, {"xyz", ""},
      {"same length", "SAME LENGTH"},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::wstring file = scratch / (L"case" + std::to_wstring(n++) + L".bin");
    if (c.before != nullptr) ASSERT_TRUE(ScratchFolder::WriteFileBytes(file, c.before));
    DWORD error = 1;
    ASSERT_TRUE(WriteFileBytes(file, c.after.data(), c.after.size(), &error)) << c.after;
    EXPECT_EQ(error, 0u);
    ByteBuffer bytes;
    ASSERT_EQ(ReadWholeFile(file, 100, bytes), FileReadResult::kOk);
    EXPECT_EQ(bytes.view(), c.after) << "over " << (c.before != nullptr ? c.before : "no file");
  }

  // A folder by that name cannot be written: false with the system's code.
  const std::wstring folder = scratch / L"folder";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  DWORD error = 0;
  EXPECT_FALSE(WriteFileBytes(folder, "x", 1, &error));
  EXPECT_NE(error, 0u);
}
