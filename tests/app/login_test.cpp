// Test cases run alone: they start the program, whose windows take the keyboard focus of the one test desktop.
// Signing in end to end: the program's test variant (QuilloraTestHooks.exe,
// copied into a folder of its own so its settings and account record are the
// test's) runs against a stand-in instance, with the stand-in browser engine
// showing the login service's pages. The test clicks through the program's
// windows by their skin names and reads the account record file, the
// stand-ins' request log and the program's message boxes.
#include "core/base/ScopedHandle.h"
#include "core/client/portable/AccountRecord.h"
#include "core/client/UsageReport.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/Standin.h"
#include "tests/support/TestFiles.h"
#include "tests/support/ProgramDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testshots::SaveScreenAreaPng;
using testshots::SaveWindowPng;
using testprograms::BinFolder;
using testprograms::ProgramDriver;
using testprograms::VisibleWindowOf;

namespace {

const wchar_t kMainClass[] = L"_QuilloraMainWnd_";
const wchar_t kLoginClass[] = L"LoginWnd";
const wchar_t kMenuClass[] = L"TrellisMenuWnd";
const char kTestNickname[] = "测试用户";  // the stand-in login service's test account
const DWORD kWaitMs = 30000;

std::wstring Wide(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], length);
  return text;
}

// A system message box of the program: its window and its text.
struct MessageBoxFound {
  HWND window = nullptr;
  std::wstring text;
};

struct BoxSearch {
  DWORD pid;
  MessageBoxFound found;
};

BOOL CALLBACK CollectBoxText(HWND child, LPARAM parameter) {
  auto* search = reinterpret_cast<BoxSearch*>(parameter);
  wchar_t name[32] = {};
  GetClassNameW(child, name, 32);
  if (_wcsicmp(name, L"Static") != 0) return TRUE;
  wchar_t text[256] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(child, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
  if (text[0] != 0) search->found.text = text;
  return TRUE;
}

BOOL CALLBACK FindMessageBox(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<BoxSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (owner != search->pid || wcscmp(name, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  search->found.window = window;
  EnumChildWindows(window, CollectBoxText, parameter);
  return FALSE;
}

// Waits for a message box of the process; `window` stays null when none came.
MessageBoxFound WaitForMessageBox(DWORD pid, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    BoxSearch search{pid, {}};
    EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
    if (search.found.window != nullptr && !search.found.text.empty()) return search.found;
    if (GetTickCount64() >= end) return search.found;
    Sleep(100);
  }
}

void Dismiss(const MessageBoxFound& box) {
  if (box.window != nullptr) PostMessageW(box.window, WM_COMMAND, IDOK, 0);
}

// A named callback: on i686 a lambda does not convert to the stdcall WNDENUMPROC.
BOOL CALLBACK KeepLastVisibleChild(HWND child, LPARAM parameter) {
  if (IsWindowVisible(child)) *reinterpret_cast<HWND*>(parameter) = child;
  return TRUE;
}

// The page window of the stand-in browser engine inside a window: the last
// (deepest) visible child window.
HWND BrowserView(HWND window) {
  HWND found = nullptr;
  EnumChildWindows(window, KeepLastVisibleChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Finds the first pixel of the engine's link colour in the page window (as
// the screen shows it) and
// clicks there, as a user clicks the page's link; false when no link shows.
bool ClickFirstLink(HWND view) {
  RECT client;
  if (view == nullptr || !GetClientRect(view, &client)) return false;
  const int width = client.right, height = client.bottom;
  POINT origin = {0, 0};
  ClientToScreen(view, &origin);
  WindowDC screen(nullptr);
  OwnedMemoryDC memory(CreateCompatibleDC(screen.Get()));
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  OwnedBitmap bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!screen || !memory || !bitmap) return false;
  SelectObjectScope select(memory.Get(), bitmap.Get());
  // What shows on the screen: the login window is in front, modal.
  if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), origin.x, origin.y, SRCCOPY)) return false;
  GdiFlush();
  POINT at = {-1, -1};
  const auto* pixels = static_cast<const uint32_t*>(bits);
  for (int y = 0; y < height && at.x < 0; ++y) {
    for (int x = 0; x < width; ++x) {
      // The engine draws links in RGB(0,0,0xEE); smoothed text blends its edges.
      const uint32_t pixel = pixels[y * width + x];
      const uint32_t red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
      if (blue >= 0xB0 && red <= 0x50 && green <= 0x50) {
        at = POINT{x + 1, y + 1};
        break;
      }
    }
  }
  if (at.x < 0) return false;
  const LPARAM point = MAKELPARAM(at.x, at.y);
  PostMessageW(view, WM_MOUSEMOVE, 0, point);
  PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageW(view, WM_LBUTTONUP, 0, point);
  return true;
}

// The screen area of a window (with room for its shadow).
RECT ScreenArea(HWND window, int margin = 0) {
  RECT area = {};
  GetWindowRect(window, &area);
  InflateRect(&area, margin, margin);
  return area;
}

// One run of the program's test variant in a folder of its own, against one
// stand-in instance.
class LoginProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!m_instance.ok()) return;  // the test skips itself
    ASSERT_TRUE(CopyFileW((BinFolder() + L"QuilloraTestHooks.exe").c_str(), Exe().c_str(), FALSE));
    ASSERT_TRUE(testfiles::WriteFileBytes(m_folder / L"ca.pem", m_instance.caPem()));
  }

  std::wstring Exe() const { return m_folder / L"QuilloraTestHooks.exe"; }
  std::wstring RecordPath() const { return m_folder / L"quillora.dat"; }

  // Starts the program and waits for its main window with the login button.
  void Start() {
    const testprograms::ProgramEndpoints endpoints = testprograms::EndpointsOf(m_instance);
    testprograms::ProgramStart start;
    start.exe = Exe();
    start.folder = m_folder.path();
    start.endpoints = &endpoints;
    start.environment = {
        {L"QUILLORA_BROWSER_CA", m_folder / L"ca.pem"},  // the jump page is HTTPS
        {L"QUILLORA_BROWSER_LOG", m_folder / L"browser.log"},
    };
    ASSERT_TRUE(m_program.Start(start));
    ASSERT_TRUE(m_program.WaitForControl(kMainClass, L"btnLogin", kWaitMs).visible)
        << "the main window with its login button did not appear";
    m_main = VisibleWindowOf(m_program.pid(), kMainClass);
  }

  // Clicks "btnLogin" and waits until the login window shows its page.
  void OpenLoginPage() {
    ASSERT_TRUE(m_program.Click(kMainClass, L"btnLogin"));
    ASSERT_TRUE(m_program.WaitForControl(kLoginClass, L"webChatLogin", kWaitMs).visible)
        << "the login window did not show its page";
    m_login = VisibleWindowOf(m_program.pid(), kLoginClass);
  }

  bool WaitLoginWindowGone() {
    return ProgramDriver::WaitUntil([&] { return testprograms::WindowsOf(m_program.pid(), kLoginClass).empty(); },
                                    kWaitMs);
  }

  // The panel shows the signed-in user: the login button hidden, the logout
  // button and the user's name shown.
  bool WaitSignedInPanel(const std::wstring& nickname) {
    return ProgramDriver::WaitUntil(
        [&] {
          const testprograms::ProgramControl login = m_program.Query(kMainClass, L"btnLogin");
          const testprograms::ProgramControl logout = m_program.Query(kMainClass, L"btnLogout");
          const testprograms::ProgramControl layout = m_program.Query(kMainClass, L"loginSucessLayout");
          const testprograms::ProgramControl info = m_program.Query(kMainClass, L"showInfoBtn");
          return login.found && !login.visible && logout.visible && layout.visible && info.visible &&
                 info.text == L"登录用户：" + nickname;
        },
        kWaitMs);
  }

  bool WaitSignedOutPanel() {
    return ProgramDriver::WaitUntil(
        [&] {
          const testprograms::ProgramControl logout = m_program.Query(kMainClass, L"btnLogout");
          const testprograms::ProgramControl layout = m_program.Query(kMainClass, L"loginSucessLayout");
          return m_program.Shows(kMainClass, L"btnLogin") && logout.found && !logout.visible && layout.found &&
                 !layout.visible;
        },
        kWaitMs);
  }

  // The record file, decoded; false unless it has its 1680 bytes and its CRC verifies.
  bool ReadRecord(AccountRecord& record) const {
    std::string bytes;
    return testfiles::ReadFileBytes(RecordPath(), &bytes) && DecodeAccountRecord(bytes.data(), bytes.size(), record);
  }

  // Usage reports the stand-in received with this detail.
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

  // The query values of the login page's requests.
  std::vector<Json::Value> LoginPageRequests() const {
    std::vector<Json::Value> found;
    for (const Json::Value& entry : m_instance.Requests()) {
      if (entry["path"].asString() == "/member/login/index") found.push_back(entry["params"]);
    }
    return found;
  }

  // Waits until the stand-in has this many reports with the detail (they come from threads).
  bool WaitReports(int detail, int count) const {
    const ULONGLONG end = GetTickCount64() + kWaitMs;
    while (Reports(detail) < count) {
      if (GetTickCount64() >= end) return false;
      Sleep(200);
    }
    return true;
  }

  standin::Instance m_instance;
  ScratchFolder m_folder{L"login_program"};
  ProgramDriver m_program;
  HWND m_main = nullptr;
  HWND m_login = nullptr;
};

TEST_F(LoginProgram, SignsInThroughTheLoginPageShowsTheUserAndSignsOut) {
  STANDIN_OR_SKIP(m_instance);
  Start();
  AccountRecord before;
  ASSERT_TRUE(ReadRecord(before));
  EXPECT_EQ(before.loggedIn, 0);
  EXPECT_TRUE(WaitReports(kReportStartup, 1));

  OpenLoginPage();
  EXPECT_TRUE(WaitReports(kReportLoginWindow, 1));
  const std::vector<Json::Value> pages = LoginPageRequests();
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0]["softId"].asString(), "130");
  EXPECT_EQ(pages[0]["usedtimes"].asString(), "1");
  EXPECT_EQ(pages[0]["mid"].asString(), "1");
  const std::string deviceUuid = pages[0]["uuid"].asString();
  EXPECT_EQ(deviceUuid.size(), 16u);
  Sleep(1000);  // the page painted
  EXPECT_TRUE(SaveScreenAreaPng(L"login-window-standin-page.png", ScreenArea(m_login)));

  // The user clicks the page's link to the callback page.
  ASSERT_TRUE(ClickFirstLink(BrowserView(m_login))) << "no link shows in the login page";
  ASSERT_TRUE(WaitLoginWindowGone()) << "the login window stayed after the login";
  EXPECT_TRUE(WaitSignedInPanel(Wide(kTestNickname)));
  EXPECT_TRUE(WaitReports(kReportLoginDone, 1));

  AccountRecord record;
  ASSERT_TRUE(ReadRecord(record)) << "the record file is missing or its CRC does not verify";
  EXPECT_EQ(record.loggedIn, 1);
  EXPECT_EQ(RecordText(record.nickname), kTestNickname) << "the nickname is kept as UTF-8";
  EXPECT_EQ(RecordText(record.openid), "standin-openid-0001");
  EXPECT_EQ(RecordText(record.uuid), deviceUuid);
  EXPECT_NE(RecordText(record.avatar).find("/avatar/tester.png"), std::string::npos);

  // The personal centre shows the user's name.
  ASSERT_TRUE(m_program.Click(kMainClass, L"showInfoBtn"));
  ASSERT_TRUE(m_program.WaitForControl(kMenuClass, L"user_id", kWaitMs).visible) << "the personal centre did not open";
  const testprograms::ProgramControl user = m_program.Query(kMenuClass, L"user_id");
  ASSERT_TRUE(user.found);
  EXPECT_EQ(user.text, Wide(kTestNickname));
  Sleep(800);
  RECT area = ScreenArea(m_main);
  RECT menuArea = ScreenArea(user.window, 14);
  UnionRect(&area, &area, &menuArea);
  EXPECT_TRUE(SaveScreenAreaPng(L"main-window-signed-in-personal-centre.png", area));

  // Its logout button signs out; the panel changes back.
  ASSERT_TRUE(m_program.Click(kMenuClass, L"btnUserLogout"));
  EXPECT_TRUE(WaitSignedOutPanel());
  ASSERT_TRUE(ReadRecord(record));
  EXPECT_EQ(record.loggedIn, 0);
}

TEST_F(LoginProgram, ALoginKeepsTheUuidTheRecordAlreadyHas) {
  STANDIN_OR_SKIP(m_instance);
  AccountRecord earlier = MakeFreshAccountRecord();
  SetRecordText(earlier.uuid, "OLDUUIDOLDUUID00");
  SetRecordText(earlier.nickname, "旧名字");
  SetRecordText(earlier.openid, "old-openid");
  const std::vector<uint8_t> stored = SealAndEncodeAccountRecord(earlier);
  ASSERT_TRUE(testfiles::WriteFileBytes(RecordPath(), std::string(stored.begin(), stored.end())));
  // The service completes the login on its own: its login page redirects to the callback page.
  ASSERT_TRUE(m_instance.Script("/member/login/index", R"({"redirect":"/wxlogincb?uuid=NEWUUIDNEWUUID00"})"));
  Start();
  ASSERT_TRUE(m_program.Click(kMainClass, L"btnLogin"));
  ASSERT_TRUE(WaitLoginWindowGone());
  EXPECT_TRUE(WaitSignedInPanel(Wide(kTestNickname)));

  AccountRecord record;
  ASSERT_TRUE(ReadRecord(record));
  EXPECT_EQ(record.loggedIn, 1);
  EXPECT_EQ(RecordText(record.uuid), "OLDUUIDOLDUUID00");
  EXPECT_EQ(RecordText(record.nickname), kTestNickname);
  EXPECT_EQ(RecordText(record.openid), "standin-openid-0001");
}

TEST_F(LoginProgram, TheTestAddressesBeatASettingsFileNamingOtherServices) {
  STANDIN_OR_SKIP(m_instance);
  // A settings file left beside the program names services that do not
  // answer; the test variant's addresses must still be the ones used.
  const std::wstring ini = m_folder / L"quillora.ini";
  for (const wchar_t* key : {L"speech", L"management", L"login"}) {
    ASSERT_TRUE(WritePrivateProfileStringW(L"service", key, L"http://127.0.0.1:9/", ini.c_str()));
  }
  Start();
  EXPECT_TRUE(WaitReports(kReportStartup, 1)) << "the start-up report did not reach the test's management service";
  OpenLoginPage();
  EXPECT_EQ(LoginPageRequests().size(), 1u) << "the login page was not asked of the test's login service";
  const auto askedForCatalogue = [this] {
    for (const Json::Value& entry : m_instance.Requests()) {
      if (entry["path"].asString() == "/colud/tts/voiceCategory.php") return true;
    }
    return false;
  };
  const DWORD since = GetTickCount();
  while (!askedForCatalogue() && GetTickCount() - since < kWaitMs) Sleep(100);
  EXPECT_TRUE(askedForCatalogue()) << "the catalogue was not asked of the test's speech service";
}

TEST_F(LoginProgram, RefusedResultsFailedPagesAndClosingLeaveTheRecordAlone) {
  STANDIN_OR_SKIP(m_instance);
  Start();
  std::string recordBefore;
  ASSERT_TRUE(testfiles::ReadFileBytes(RecordPath(), &recordBefore));

  // Callback values the program must refuse: damaged, badly signed, stripped
  // of their check, or not a success.
  const struct {
    const char* what;
    const char* fault;
  } refused[] = {
      {"wrong CRC", R"({"bad_signature":"crc"})"},
      {"RSA block that does not decrypt", R"({"bad_signature":"garbage"})"},
      {"scrambled only, no integrity value", R"({"envelope_flags":1})"},
      {"plain CRC instead of the RSA block", R"({"envelope_flags":3})"},
      {"status FAILED", R"({"members":{"status":"FAILED"}})"},
      {"plain failure reply", R"({"plain_failed":true})"},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(m_instance.Script("/member/login/index", R"({"redirect":"/wxlogincb?uuid=AAAAAAAAAAAAAAAA"})"));
    ASSERT_TRUE(m_instance.Script("/wxlogincb", c.fault));
    ASSERT_TRUE(m_program.Click(kMainClass, L"btnLogin"));
    const MessageBoxFound box = WaitForMessageBox(m_program.pid(), kWaitMs);
    EXPECT_EQ(box.text, L"登录失败，请重试");
    Dismiss(box);
    ASSERT_NE(m_program.WaitForWindow(kLoginClass, kWaitMs), nullptr);
    ASSERT_TRUE(m_program.Click(kLoginClass, L"closeBtn"));
    ASSERT_TRUE(WaitLoginWindowGone());
    std::string recordAfter;
    ASSERT_TRUE(testfiles::ReadFileBytes(RecordPath(), &recordAfter));
    EXPECT_TRUE(recordAfter == recordBefore) << "the record file changed";
  }
  EXPECT_TRUE(WaitSignedOutPanel());

  // A login page that fails to load: the browser hidden and the message shown.
  ASSERT_TRUE(m_instance.Script("/member/login/index", R"({"http_status":404})"));
  ASSERT_TRUE(m_program.Click(kMainClass, L"btnLogin"));
  const MessageBoxFound box = WaitForMessageBox(m_program.pid(), kWaitMs);
  EXPECT_EQ(box.text, L"加载失败，请重试！");
  EXPECT_TRUE(ProgramDriver::WaitUntil(
      [&] {
        const testprograms::ProgramControl browser = m_program.Query(kLoginClass, L"webChatLogin");
        return VisibleWindowOf(m_program.pid(), kLoginClass) != nullptr && browser.found && !browser.visible;
      },
      kWaitMs))
      << "the browser still shows";
  Dismiss(box);
  ASSERT_NE(m_program.WaitForWindow(kLoginClass, kWaitMs), nullptr);
  ASSERT_TRUE(m_program.Click(kLoginClass, L"closeBtn"));
  ASSERT_TRUE(WaitLoginWindowGone());

  // Closed with "closeBtn" on the login page: no login, no login report.
  OpenLoginPage();
  ASSERT_TRUE(m_program.Click(kLoginClass, L"closeBtn"));
  ASSERT_TRUE(WaitLoginWindowGone());
  EXPECT_TRUE(WaitSignedOutPanel());
  EXPECT_TRUE(WaitReports(kReportLoginWindow, static_cast<int>(std::size(refused)) + 2));
  Sleep(1000);  // a login report started with the last window would have arrived by now too
  EXPECT_EQ(Reports(kReportLoginDone), 0);
  EXPECT_EQ(Reports(kReportLoginWindow), static_cast<int>(std::size(refused)) + 2);
  std::string recordAfter;
  ASSERT_TRUE(testfiles::ReadFileBytes(RecordPath(), &recordAfter));
  EXPECT_TRUE(recordAfter == recordBefore) << "the record file changed";
  // Every login window asked for the login page with its own count.
  const std::vector<Json::Value> pages = LoginPageRequests();
  ASSERT_FALSE(pages.empty());
  EXPECT_EQ(pages.back()["usedtimes"].asString(), std::to_string(std::size(refused) + 2));
}

}  // namespace
