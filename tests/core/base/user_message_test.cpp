#include "core/base/UserMessage.h"

#include <gtest/gtest.h>

#include <string>

// A failure message shows the system's error code only when there is one: a
// write that fell short without a system error must not read "错误：0".
TEST(FormatFailureMessage, ShowsTheCodeOnlyWhenThereIsOne) {
  const wchar_t* withCode = L"错误：%d 文件保存失败，请重试！";
  const wchar_t* plain = L"文件保存失败，请重试！";
  EXPECT_EQ(FormatFailureMessage(withCode, plain, 5), L"错误：5 文件保存失败，请重试！");
  EXPECT_EQ(FormatFailureMessage(withCode, plain, 112), L"错误：112 文件保存失败，请重试！");
  EXPECT_EQ(FormatFailureMessage(withCode, plain, 0), plain);
}
