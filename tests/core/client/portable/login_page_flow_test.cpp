#include "core/client/portable/LoginPageFlow.h"

#include <gtest/gtest.h>

namespace {
const wchar_t kJump[] = L"https://m.example/wxlogin/jump";
const wchar_t kLogin[] = L"http://l.example/member/login/index?softId=130&uuid=A&usedtimes=1&mid=1";
const wchar_t kQrFrame[] = L"http://l.example/member/login/qrcode?uuid=A";
}  // namespace

TEST(LoginPageFlow, BlankJumpLoginCallback) {
  LoginPageFlow flow(kJump);
  EXPECT_EQ(flow.OnDocumentComplete(true, L"about:blank"), LoginPageStep::kOpenJumpPage);
  EXPECT_EQ(flow.OnNavigateComplete(true, kJump), LoginPageStep::kShowLoginPage);
  EXPECT_EQ(flow.OnDocumentComplete(true, kJump), LoginPageStep::kNothing);
  EXPECT_EQ(flow.OnNavigateComplete(true, kLogin), LoginPageStep::kNothing);
  EXPECT_EQ(flow.OnDocumentComplete(true, kLogin), LoginPageStep::kNothing);
  EXPECT_EQ(flow.OnNavigateComplete(true, L"http://l.example/wxlogincb?uuid=A"), LoginPageStep::kNothing);
  EXPECT_EQ(flow.OnDocumentComplete(true, L"http://l.example/wxlogincb?uuid=A"), LoginPageStep::kReadResult);
  // "wxlogincb" anywhere in the address marks the callback page.
  EXPECT_EQ(flow.OnDocumentComplete(true, L"http://l.example/done?next=wxlogincb"), LoginPageStep::kReadResult);
}

TEST(LoginPageFlow, FramesNeverMoveTheWindow) {
  LoginPageFlow flow(kJump);
  // A frame's blank page, before or after the real one, is not the start.
  EXPECT_EQ(flow.OnDocumentComplete(false, L"about:blank"), LoginPageStep::kNothing);
  EXPECT_EQ(flow.OnNavigateComplete(false, kJump), LoginPageStep::kNothing);
  EXPECT_EQ(flow.OnDocumentComplete(true, L"about:blank"), LoginPageStep::kOpenJumpPage);
  EXPECT_EQ(flow.OnNavigateComplete(true, kJump), LoginPageStep::kShowLoginPage);
  EXPECT_EQ(flow.OnNavigateComplete(false, kQrFrame), LoginPageStep::kNothing);
  EXPECT_EQ(flow.OnDocumentComplete(false, L"about:blank"), LoginPageStep::kNothing);
  EXPECT_EQ(flow.OnDocumentComplete(false, L"http://l.example/wxlogincb?uuid=A"), LoginPageStep::kNothing);
}

TEST(LoginPageFlow, EachStepHappensOnce) {
  LoginPageFlow flow(kJump);
  EXPECT_EQ(flow.OnDocumentComplete(true, L"about:blank"), LoginPageStep::kOpenJumpPage);
  EXPECT_EQ(flow.OnDocumentComplete(true, L"about:blank"), LoginPageStep::kNothing);
  EXPECT_EQ(flow.OnNavigateComplete(true, kJump), LoginPageStep::kShowLoginPage);
  EXPECT_EQ(flow.OnNavigateComplete(true, kJump), LoginPageStep::kNothing);
  // The jump page is matched exactly, case and all.
  LoginPageFlow other(kJump);
  EXPECT_EQ(other.OnNavigateComplete(true, L"https://m.example/wxlogin/jump?x=1"), LoginPageStep::kNothing);
  EXPECT_EQ(other.OnDocumentComplete(true, L"About:Blank"), LoginPageStep::kNothing);
}
