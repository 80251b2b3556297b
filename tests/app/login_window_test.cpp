// Test cases run alone: the login window takes the keyboard focus of the one test desktop.
// The login window in the test's own process, from the real skin folder, with
// the stand-in browser engine and a stand-in login service: whom it tells of
// a completed login (its owner and the owner's owner, never a missing one),
// and that the window object, its handler and the browser are let go when
// the window ends. And the main window's user panel following the record.
#include "app/MainWnd.h"
#include "app/login/LoginWnd.h"
#include "core/base/AppMessages.h"
#include "core/client/ClientState.h"
#include "core/client/UsageReport.h"
#include "tests/support/ProgramEndpoints.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Standin.h"
#include "tests/support/UserMessageRecorder.h"
#include "tests/support/AppWindowTesting.h"
#include "tests/support/WindowDriver.h"
#include "ui/window/WindowManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace Trellis;
using testwindows::WindowDriver;

namespace {


std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Owner windows that count the login messages they receive.
int g_loginMessages[2] = {};

LRESULT CALLBACK CountingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP_LOGIN_CHANGED) ++g_loginMessages[GetWindowLongPtrW(window, GWLP_USERDATA)];
  return DefWindowProcW(window, message, wParam, lParam);
}

// Login messages posted to no window: they land in the posting thread's own queue.
int g_strayLoginMessages = 0;

LRESULT CALLBACK WatchThreadMessages(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && message->hwnd == nullptr && message->message == WM_APP_LOGIN_CHANGED) {
    ++g_strayLoginMessages;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND MakeOwner(HWND owner, int index) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = CountingWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"QuilloraLoginOwner";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"owner", WS_POPUP, 0, 0, 100, 100, owner, nullptr,
                                windowClass.hInstance, nullptr);
  SetWindowLongPtrW(window, GWLP_USERDATA, index);
  return window;
}

class LoginWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!m_instance.ok()) return;
    CWindowManagerUI::SetResourcePath(apptest::SourceSkinFolder().c_str());
    // A skin that cannot be loaded fails the window's creation instead of
    // ending the process behind a message box nobody answers.
    m_savedSkinHandler = WindowImplBase::SetSkinLoadFailureHandler([](WindowImplBase*) {});
    const ServiceConfig config = m_programEndpoints.Change([this](ServiceConfig& endpoints) {
      endpoints.loginBaseUrl = m_instance.urls().login;
      endpoints.managementBaseUrl = m_instance.urls().managementHttps;
      endpoints.caCertPem = m_instance.caPem();
      endpoints.rsaPublicKeyPem = m_instance.rsaPublicPem();
    });
    ScratchFolder::WriteFileBytes(m_folder / L"ca.pem", m_instance.caPem());
    SetEnvironmentVariableW(L"QUILLORA_BROWSER_CA", (m_folder / L"ca.pem").c_str());
    SetEnvironmentVariableW(L"QUILLORA_BROWSER_LOG", (m_folder / L"browser.log").c_str());
    m_state.softId = 130;
    m_state.uuid = "AAAAAAAAAAAAAAAA";
    m_state.UseEndpoints(config);
    g_loginMessages[0] = g_loginMessages[1] = 0;
  }
  void TearDown() override {
    if (!m_instance.ok()) return;
    WindowImplBase::SetSkinLoadFailureHandler(m_savedSkinHandler);
    SetEnvironmentVariableW(L"QUILLORA_BROWSER_CA", nullptr);
    SetEnvironmentVariableW(L"QUILLORA_BROWSER_LOG", nullptr);
  }

  // Opens a login window owned by `owner` (may be null); its driver in m_driver.
  CLoginWnd* Open(HWND owner) {
    auto* login = new CLoginWnd(m_state);
    if (login->CreateWithSize(owner, L"LoginWnd", 0x90000000, 0) == nullptr) return nullptr;
    m_driver = std::make_unique<WindowDriver>(login->GetPaintManager());
    return login;
  }

  bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
      if (GetTickCount64() >= end) return false;
      m_driver->Pump();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
  }

  int Reports(int detail) const {
    int count = 0;
    for (const Json::Value& entry : m_instance.Requests()) {
      if (entry["path"].asString() == "/client/reportlog" &&
          entry["params"]["detail"].asString() == std::to_string(detail)) {
        ++count;
      }
    }
    return count;
  }

  std::wstring BrowserLog() const {
    const std::string bytes = ScratchFolder::ReadFileBytes(m_folder / L"browser.log");
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], length);
    return text;
  }

  standin::Instance m_instance;
  ScratchFolder m_folder{L"login_window"};
  ClientState m_state{m_folder.path()};
  ScopedProgramEndpoints m_programEndpoints;
  WindowImplBase::SkinLoadFailureHandler m_savedSkinHandler = nullptr;
  std::unique_ptr<WindowDriver> m_driver;
};

TEST_F(LoginWindowTest, ACompletedLoginTellsTheOwnerAndItsOwnerAndNeverAMissingOne) {
  STANDIN_OR_SKIP(m_instance);
  HWND top = MakeOwner(nullptr, 0);
  HWND middle = MakeOwner(top, 1);
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(m_instance.Script("/member/login/index", R"({"redirect":"/wxlogincb?uuid=AAAAAAAAAAAAAAAA"})"));
  }

  // Owned by `middle`, owned in turn by `top`: both hear of the login.
  CLoginWnd* login = Open(middle);
  ASSERT_NE(login, nullptr);
  HWND window = login->GetHandle();
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); })) << "the login window stayed open";
  EXPECT_FALSE(CLoginWnd::IsOpen()) << "the window object was not deleted";
  ASSERT_TRUE(PumpUntil([] { return g_loginMessages[0] == 1 && g_loginMessages[1] == 1; }, 5000));
  EXPECT_EQ(m_state.CopyAccountRecord().loggedIn, 1);

  // Without an owner nothing is posted anywhere.
  g_strayLoginMessages = 0;
  HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, WatchThreadMessages, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  login = Open(nullptr);
  ASSERT_NE(login, nullptr);
  window = login->GetHandle();
  const bool closed = PumpUntil([&] { return !IsWindow(window); });
  m_driver->PumpFor(300);
  UnhookWindowsHookEx(hook);
  ASSERT_TRUE(closed);
  EXPECT_EQ(g_strayLoginMessages, 0) << "a login message was posted to a null window";
  EXPECT_EQ(m_state.CopyAccountRecord().loggedIn, 1);
  EXPECT_EQ(g_loginMessages[0], 1);
  EXPECT_EQ(g_loginMessages[1], 1);
  for (int i = 0; i < 50 && Reports(kReportLoginDone) < 2; ++i) Sleep(100);
  EXPECT_EQ(Reports(kReportLoginDone), 2);
  DestroyWindow(middle);
  DestroyWindow(top);
}

TEST_F(LoginWindowTest, ClosingLetsGoOfTheWindowItsHandlerAndTheBrowser) {
  STANDIN_OR_SKIP(m_instance);
  CLoginWnd* login = Open(nullptr);
  ASSERT_NE(login, nullptr);
  HWND window = login->GetHandle();
  ASSERT_TRUE(PumpUntil([&] {
    CControlUI* browser = m_driver->Find(L"webChatLogin");
    return browser != nullptr && browser->IsVisible() && BrowserLog().find(L"member/login/qrcode") != std::wstring::npos;
  })) << "the login page did not show";
  // Blank page, jump page (once), login page.
  const std::wstring log = BrowserLog();
  EXPECT_NE(log.find(L"Navigate2 about:blank"), std::wstring::npos);
  const size_t jump = log.find(L"Navigate " + Wide(m_instance.urls().managementHttps) + L"wxlogin/jump");
  ASSERT_NE(jump, std::wstring::npos) << "the jump page was not opened";
  EXPECT_EQ(log.find(L"Navigate " + Wide(m_instance.urls().managementHttps) + L"wxlogin/jump", jump + 1),
            std::wstring::npos)
      << "the jump page was opened twice";

  ASSERT_TRUE(m_driver->Click(L"closeBtn"));
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
  EXPECT_FALSE(CLoginWnd::IsOpen()) << "the window object was not deleted";
  const std::wstring closed = BrowserLog();
  EXPECT_NE(closed.find(L"destroyed"), std::wstring::npos) << "the browser object was not released";
  EXPECT_EQ(closed.find(L"still advised"), std::wstring::npos) << "the browser was let go with its sink advised";
  EXPECT_EQ(closed.find(L"still holds a UI handler"), std::wstring::npos);
  EXPECT_EQ(m_state.CopyAccountRecord().loggedIn, 0);
}

// A completed login whose record cannot be written: the user hears of it, the
// record and the main window's panel stay signed out as the file is, and the
// login window stays for another try.
TEST_F(LoginWindowTest, ALoginThatCannotBeSavedSaysSoAndLeavesTheUserSignedOut) {
  STANDIN_OR_SKIP(m_instance);
  ASSERT_TRUE(m_instance.Script("/member/login/index", R"({"redirect":"/wxlogincb?uuid=AAAAAAAAAAAAAAAA"})"));
  auto* main = new CMainWnd(m_state);
  main->SetReporter([](int, HANDLE*) { return true; });
  ASSERT_NE(main->CreateWithSize(nullptr, L"Tavrin文字语音转换器", 0x10CF0000, 0, 0, 0, 1024, 720), nullptr);
  HWND mainHandle = main->GetHandle();
  WindowDriver mainDriver(main->GetPaintManager());
  // Another program (a backup, a scanner) holds the record without sharing.
  HANDLE held =
      CreateFileW((m_folder / L"quillora.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  UserMessageRecorder shown;
  CLoginWnd* login = Open(mainHandle);
  ASSERT_NE(login, nullptr);
  HWND window = login->GetHandle();
  EXPECT_TRUE(PumpUntil([&] { return !shown.messages().empty(); })) << "nothing was said";
  m_driver->PumpFor(300);
  CloseHandle(held);
  EXPECT_EQ(shown.messages(), std::vector<std::wstring>{L"登录信息保存失败，请重试！"});
  EXPECT_EQ(m_state.CopyAccountRecord().loggedIn, 0);
  EXPECT_TRUE(IsWindow(window)) << "the login window closed as if signed in";
  // The panel reads the record, whichever message refreshes it.
  SendMessageW(mainHandle, WM_APP_LOGIN_CHANGED, 0, 0);
  EXPECT_TRUE(mainDriver.Find(L"btnLogin")->IsVisible());
  EXPECT_FALSE(mainDriver.Find(L"btnLogout")->IsVisible());
  EXPECT_FALSE(mainDriver.Find(L"loginSucessLayout")->IsVisible());
  ClientState nextStart(m_folder.path());
  EXPECT_EQ(nextStart.account->loggedIn, 0);

  if (IsWindow(window)) DestroyWindow(window);
  DestroyWindow(mainHandle);  // its last message deletes it and posts WM_QUIT
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

TEST_F(LoginWindowTest, TheUserPanelFollowsTheRecord) {
  STANDIN_OR_SKIP(m_instance);
  // Signed in from an earlier run, with a UTF-8 nickname (the user's code page is 936).
  m_state.UpdateAccountRecord([](AccountRecord& record) {
    record.loggedIn = 1;
    SetRecordText(record.nickname, "\xE5\xB0\x8F\xE6\x98\x8E");  // 小明
  });
  auto* window = new CMainWnd(m_state);
  window->SetReporter([](int, HANDLE*) { return true; });
  ASSERT_NE(window->CreateWithSize(nullptr, L"Tavrin文字语音转换器", 0x10CF0000, 0, 0, 0, 1024, 720), nullptr);
  HWND handle = window->GetHandle();
  m_driver = std::make_unique<WindowDriver>(window->GetPaintManager());
  m_driver->PumpFor(300);
  auto shown = [this](const wchar_t* name) { return m_driver->Find(name)->IsVisible(); };
  EXPECT_FALSE(shown(L"btnLogin"));
  EXPECT_TRUE(shown(L"btnLogout"));
  EXPECT_TRUE(shown(L"loginSucessLayout"));
  EXPECT_EQ(std::wstring(m_driver->Find(L"showInfoBtn")->GetText().GetText()), L"登录用户：小明");

  // Signed out by someone else (another window, a refresh after start-up):
  // the panel must not keep showing the last user.
  m_state.UpdateAccountRecord([](AccountRecord& record) { record.loggedIn = 0; });
  SendMessageW(handle, WM_APP_LOGIN_CHANGED, 0, 0);
  EXPECT_TRUE(shown(L"btnLogin"));
  EXPECT_FALSE(shown(L"btnLogout"));
  EXPECT_FALSE(shown(L"loginSucessLayout"));

  DestroyWindow(handle);  // its last message deletes it and posts WM_QUIT
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace
