#include "core/base/UserMessage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A failure message shows the system's error code only when there is one: a
// write that fell short without a system error must not read "错误：0".
TEST(FormatFailureMessage, ShowsTheCodeOnlyWhenThereIsOne) {
  const wchar_t* withCode = L"错误：%d 文件保存失败，请重试！";
  const wchar_t* plain = L"文件保存失败，请重试！";
  EXPECT_EQ(FormatFailureMessage(withCode, plain, 5), L"错误：5 文件保存失败，请重试！");
  EXPECT_EQ(FormatFailureMessage(withCode, plain, 112), L"错误：112 文件保存失败，请重试！");
  EXPECT_EQ(FormatFailureMessage(withCode, plain, 0), plain);
}

namespace {

std::vector<std::wstring> g_sunk;
void Sink(const std::wstring& text) { g_sunk.push_back(L"sink:" + text); }
void Route(void* context, const std::wstring& text) { static_cast<std::vector<std::wstring>*>(context)->push_back(text); }

struct RoutedThread {
  std::vector<std::wstring> routed;
};

DWORD WINAPI ShowFromRoutedThread(void* parameter) {
  auto* thread = static_cast<RoutedThread*>(parameter);
  SetThreadUserMessageRoute(Route, &thread->routed);
  ShowUserMessage(nullptr, L"转换失败请重试！");
  SetThreadUserMessageRoute(nullptr, nullptr);
  ShowUserMessage(nullptr, L"after");  // the route is gone: the sink has it
  return 0;
}

}  // namespace

// A worker's messages go to its route (the UI thread shows them), never to a
// box of its own; other threads keep theirs.
TEST(ShowUserMessage, AThreadsRouteTakesOnlyThatThreadsMessages) {
  g_sunk.clear();
  SetUserMessageSink(Sink);
  RoutedThread worker;
  HANDLE thread = CreateThread(nullptr, 0, ShowFromRoutedThread, &worker, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(thread);
  ShowUserMessage(nullptr, L"here");
  SetUserMessageSink(nullptr);
  EXPECT_EQ(worker.routed, (std::vector<std::wstring>{L"转换失败请重试！"}));
  EXPECT_EQ(g_sunk, (std::vector<std::wstring>{L"sink:after", L"sink:here"}));
}
