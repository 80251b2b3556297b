// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// The web-browser control in a real window, on the browser the test session
// registers (the stand-in engine) and the login stand-in's pages: what its
// event handler sees for a page with a frame and for failures, the page
// variable read through the page window, the host flags the handler gives
// the document, the sink connected before an automatic first navigation, a
// clean release, and the control's own answers to the browser's calls.

#include <windows.h>
#include <exdispid.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/base/ScopedHandle.h"
#include "tests/support/ManagedTestWindow.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Standin.h"
#include "tests/support/WindowDriver.h"
#include "ui/controls/activex/BrowserEventHandler.h"
#include "ui/controls/activex/WebBrowserUI.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"

namespace {

using Trellis::CWebBrowserUI;

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }
std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

constexpr DWORD kHostFlags = 0x0024000F;  // dialog, no help menu, no 3-D borders, no scroll bars, themed

struct Seen {
  std::string kind;  // "before", "complete", "document", "error"
  std::wstring url;
  bool top = false;  // the event's browser was the control's own (not a frame's)
  LONG status = 0;   // "error" only
};

// Records what the control hands it; gives the login window's host flags.
class RecordingHandler : public Trellis::CBrowserEventHandler {
 public:
  CWebBrowserUI* control = nullptr;
  std::vector<Seen> seen;
  int hostInfoCalls = 0;

  HRESULT BeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                          VARIANT_BOOL*) override {
    Record("before", browser, url);
    return S_OK;
  }
  HRESULT NavigateError(IDispatch* browser, VARIANT* url, VARIANT*, VARIANT* status, VARIANT_BOOL*) override {
    Record("error", browser, url);
    seen.back().status = V_VT(status) == VT_I4 ? V_I4(status) : 0;
    return S_OK;
  }
  HRESULT NavigateComplete2(IDispatch* browser, VARIANT* url) override {
    Record("complete", browser, url);
    return S_OK;
  }
  HRESULT DocumentComplete(IDispatch* browser, VARIANT* url) override {
    Record("document", browser, url);
    return S_OK;
  }
  HRESULT GetHostInfo(DOCHOSTUIINFO* info) override {
    ++hostInfoCalls;
    info->cbSize = sizeof(DOCHOSTUIINFO);
    info->dwFlags |= kHostFlags;
    info->dwDoubleClick = 0;
    return S_OK;
  }
  const Seen* Find(const std::string& kind, bool top, const std::wstring& part) const {
    for (const Seen& event : seen) {
      if (event.kind == kind && event.top == top && event.url.find(part) != std::wstring::npos) return &event;
    }
    return nullptr;
  }

 private:
  void Record(const char* kind, IDispatch* browser, VARIANT* url) {
    Seen event;
    event.kind = kind;
    if (url != nullptr && V_VT(url) == VT_BSTR && V_BSTR(url) != nullptr) event.url = V_BSTR(url);
    ComPtr<IUnknown> a;
    ComPtr<IUnknown> b;
    if (browser != nullptr) browser->QueryInterface(IID_IUnknown, a.ReceiveVoid());
    if (control != nullptr && control->GetWebBrowser2() != nullptr) {
      control->GetWebBrowser2()->QueryInterface(IID_IUnknown, b.ReceiveVoid());
    }
    event.top = a && a.Get() == b.Get();
    seen.push_back(event);
  }
};

// A shown window with one web-browser control "web" made from skin XML.
class BrowserWindow {
 public:
  // `attributes` are added to the WebBrowser element; the handler is set
  // before the first layout creates the browser.
  BrowserWindow(const std::wstring& attributes, RecordingHandler* handler)
      : m_window(400, 320), m_driver(m_window.manager()) {
    const std::wstring xml =
        L"<Window size=\"400,320\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
        L"<Label float=\"true\" pos=\"0,0,400,30\" text=\"Login\" bkcolor=\"#FFEBEEF5\" />"
        L"<WebBrowser name=\"web\" float=\"true\" pos=\"20,40,380,300\" " +
        attributes + L" /></VerticalLayout></Window>";
    Trellis::CSkinBuilder builder;
    m_root = builder.CreateFromSource(xml.c_str(), nullptr, nullptr, &m_window.manager());
    if (m_root == nullptr || !m_window.manager().AttachRootControl(m_root)) return;
    Trellis::CControlUI* found = m_driver.Find(L"web");
    m_browser = found != nullptr ? static_cast<CWebBrowserUI*>(found->GetInterface(L"WebBrowser")) : nullptr;
    if (m_browser != nullptr && handler != nullptr) {
      handler->control = m_browser;
      m_browser->SetWebBrowserEventHandler(handler);
    }
    m_window.Show();
    m_driver.Pump();
  }
  CWebBrowserUI* browser() const { return m_browser; }
  HWND hwnd() const { return m_window.GetHandle(); }
  testwindows::WindowDriver& driver() { return m_driver; }
  // Pumps until `done` holds or 20 s have passed; returns `done`'s answer.
  bool PumpUntil(const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > 20000) return false;
      m_driver.Pump();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
  }

 private:
  testwindows::ManagedTestWindow m_window;
  testwindows::WindowDriver m_driver;
  Trellis::CControlUI* m_root = nullptr;  // owned by the manager once attached
  CWebBrowserUI* m_browser = nullptr;     // owned by the tree
};

class WebBrowserTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    SetEnvironmentVariableW(L"QUILLORA_BROWSER_LOG", (m_scratch / L"browser.log").c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"QUILLORA_BROWSER_LOG", nullptr);
    OleUninitialize();
  }
  std::wstring Log() const { return Widen(ScratchFolder::ReadFileBytes(m_scratch / L"browser.log")); }
  static std::wstring LoginPage(const standin::Instance& instance, const std::string& uuid) {
    return Widen(instance.urls().login + "member/login/index?softId=130&uuid=" + uuid + "&usedtimes=2&mid=1");
  }

  ScratchFolder m_scratch{L"webbrowser"};
};

TEST_F(WebBrowserTest, TheHandlerFollowsTheLoginPagesAndReadsTheCallbackValue) {
  standin::Instance instance;
  STANDIN_OR_SKIP(instance);
  RecordingHandler handler;
  {
    BrowserWindow window(L"delaycreate=\"false\"", &handler);
    CWebBrowserUI* browser = window.browser();
    ASSERT_NE(browser, nullptr);
    ASSERT_NE(browser->GetWebBrowser2(), nullptr) << "the registered browser class was not created";

    const std::wstring login = LoginPage(instance, "WebControl000001");
    browser->Navigate2(login.c_str());
    ASSERT_TRUE(window.PumpUntil([&] { return handler.Find("document", true, L"member/login/index") != nullptr; }));
    // The page's events, the frame's too, but only the page's own DocumentComplete.
    struct Expected {
      const char* kind;
      bool top;
      const wchar_t* url;
    };
    const Expected expected[] = {
        {"before", true, L"/member/login/index?"},  {"complete", true, L"/member/login/index?"},
        {"before", false, L"/member/login/qrcode?"}, {"complete", false, L"/member/login/qrcode?"},
        {"document", true, L"/member/login/index?"},
    };
    ASSERT_EQ(handler.seen.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(handler.seen[i].kind, expected[i].kind);
      EXPECT_EQ(handler.seen[i].top, expected[i].top);
      EXPECT_NE(handler.seen[i].url.find(expected[i].url), std::wstring::npos) << Narrow(handler.seen[i].url);
    }
    EXPECT_EQ(handler.seen.front().url, login);
    EXPECT_EQ(handler.seen.back().url, login);
    // The document asked the control for its host flags, which are the handler's.
    EXPECT_GE(handler.hostInfoCalls, 1);
    EXPECT_NE(Log().find(L"GetHostInfo 0x00000000 size " + std::to_wstring(sizeof(DOCHOSTUIINFO)) + L" flags 0x0024000F"),
              std::wstring::npos)
        << Narrow(Log());
    // The login page sets no result.
    ComPtr<IDispatch> page = browser->GetHtmlWindow();
    ASSERT_TRUE(page);
    VARIANT value;
    VariantInit(&value);
    EXPECT_EQ(CWebBrowserUI::GetProperty(page.Get(), L"info", &value), E_FAIL);
    InvalidateRect(window.hwnd(), nullptr, FALSE);
    UpdateWindow(window.hwnd());
    window.driver().Pump();
    EXPECT_TRUE(testshots::SaveWindowPng(L"ui-controls-web-browser-login.png", window.hwnd()));

    // The callback page carries the result in its variable "info".
    const std::wstring callback = Widen(instance.urls().login) + L"wxlogincb?uuid=WebControl000001";
    browser->Navigate(callback.c_str());
    ASSERT_TRUE(window.PumpUntil([&] { return handler.Find("document", true, L"/wxlogincb?") != nullptr; }));
    EXPECT_EQ(handler.Find("document", true, L"/wxlogincb?")->url, callback);
    page = browser->GetHtmlWindow();
    ASSERT_TRUE(page);
    ASSERT_EQ(CWebBrowserUI::GetProperty(page.Get(), L"info", &value), S_OK);
    ASSERT_EQ(V_VT(&value), VT_BSTR);
    EXPECT_GT(SysStringLen(V_BSTR(&value)), 0u);
    VariantClear(&value);
    EXPECT_EQ(CWebBrowserUI::GetProperty(page.Get(), L"nosuch", &value), E_FAIL);
  }
  // The control let go of the browser: the sink was unadvised and the handler taken off the document first.
  const std::wstring log = Log();
  EXPECT_NE(log.find(L"SetUIHandler"), std::wstring::npos);
  EXPECT_EQ(log.find(L"still"), std::wstring::npos) << Narrow(log);
}

TEST_F(WebBrowserTest, FailuresReachTheHandlerAsNavigateErrorWithTheirStatus) {
  standin::Instance instance;
  STANDIN_OR_SKIP(instance);
  std::wstring closedPortPage;
  {
    standin::Instance gone;  // its servers stop when it is released: its port then refuses connections
    STANDIN_OR_SKIP(gone);
    closedPortPage = Widen(gone.urls().login) + L"member/login/index?softId=130";
  }
  struct Case {
    const char* name;
    std::wstring url;
    bool httpStatus;  // a server's HTTP status, else a connection failure (an INET_E code)
    LONG status;
  };
  const Case cases[] = {
      {"missing page", Widen(instance.urls().login) + L"member/no/such/page", true, 404},
      {"closed port", closedPortPage, false, static_cast<LONG>(0x800C0005)},
  };
  RecordingHandler handler;
  BrowserWindow window(L"delaycreate=\"false\"", &handler);
  ASSERT_NE(window.browser(), nullptr);
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    handler.seen.clear();
    window.browser()->Navigate2(test.url.c_str());
    ASSERT_TRUE(window.PumpUntil([&] { return handler.Find("error", true, L"") != nullptr; }));
    window.driver().PumpFor(200);
    const Seen* error = handler.Find("error", true, L"");
    EXPECT_EQ(error->url, test.url);
    EXPECT_EQ(error->status, test.status);
    EXPECT_EQ(handler.Find("document", true, L""), nullptr);
    EXPECT_EQ(handler.Find("complete", true, L""), nullptr);
  }
}

TEST_F(WebBrowserTest, AutomaticNavigationIsSeenFromItsFirstEvent) {
  standin::Instance instance;
  STANDIN_OR_SKIP(instance);
  const std::wstring home = LoginPage(instance, "AutoNavigate0001");
  struct Case {
    const wchar_t* autoAttribute;
    bool navigates;
  };
  const Case cases[] = {{L"autonavi=\"true\"", true}, {L"autonavi=\"false\"", false}, {L"", false}};
  for (const Case& test : cases) {
    SCOPED_TRACE(Narrow(test.autoAttribute));
    RecordingHandler handler;
    BrowserWindow window(std::wstring(test.autoAttribute) + L" homepage=\"" + home + L"\"", &handler);
    ASSERT_NE(window.browser(), nullptr);
    ASSERT_NE(window.browser()->GetWebBrowser2(), nullptr);
    if (test.navigates) {
      ASSERT_TRUE(window.PumpUntil([&] { return handler.Find("document", true, L"AutoNavigate0001") != nullptr; }));
      // BeforeNavigate2 fires inside the first Navigate2: the sink was already connected.
      ASSERT_FALSE(handler.seen.empty());
      EXPECT_EQ(handler.seen.front().kind, "before");
      EXPECT_EQ(handler.seen.front().url, home);
    } else {
      window.driver().PumpFor(300);
      EXPECT_TRUE(handler.seen.empty());
    }
  }
}

// The control's own answers to the browser, without a handler and with arguments a browser could get wrong.
TEST_F(WebBrowserTest, AnswersTheBrowsersCallsSafelyWithoutAHandler) {
  CWebBrowserUI control;  // not in a window: no browser is created
  EXPECT_EQ(control.GetWebBrowser2(), nullptr);

  // Download manager service: only its own id; without a handler a download
  // is answered as taken (0), so the page starts none of its own.
  ComPtr<IDownloadManager> downloads;
  EXPECT_EQ(control.QueryService(__uuidof(IDownloadManager), __uuidof(IDownloadManager), downloads.ReceiveVoid()), S_OK);
  ASSERT_TRUE(downloads);
  EXPECT_EQ(downloads->Download(nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr, 0), S_OK);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(control.QueryService(__uuidof(IDownloadManager), IID_IDispatch, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  downloads.Reset();

  // Out pointers are cleared.
  IDropTarget* target = reinterpret_cast<IDropTarget*>(1);
  EXPECT_EQ(control.GetDropTarget(nullptr, &target), S_FALSE);
  EXPECT_EQ(target, nullptr);
  IDispatch* external = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(control.GetExternal(&external), S_FALSE);
  EXPECT_EQ(external, nullptr);
  LPWSTR translated = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(control.TranslateUrl(0, nullptr, &translated), E_NOTIMPL);
  EXPECT_EQ(translated, nullptr);
  DOCHOSTUIINFO info = {};
  EXPECT_EQ(control.GetHostInfo(&info), E_NOTIMPL);

  // Script errors: only the document host's group and command, answered with a true VARIANT_BOOL.
  const GUID docHost = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
  VARIANT out;
  VariantInit(&out);
  EXPECT_EQ(control.Exec(nullptr, 40, 0, nullptr, &out), OLECMDERR_E_UNKNOWNGROUP);
  EXPECT_EQ(control.Exec(&IID_IUnknown, 40, 0, nullptr, &out), OLECMDERR_E_UNKNOWNGROUP);
  EXPECT_EQ(control.Exec(&docHost, 41, 0, nullptr, &out), OLECMDERR_E_NOTSUPPORTED);
  EXPECT_EQ(control.Exec(&docHost, 40, 0, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(control.Exec(&docHost, 40, 0, nullptr, &out), S_OK);
  EXPECT_EQ(V_VT(&out), VT_BOOL);
  EXPECT_EQ(V_BOOL(&out), VARIANT_TRUE);

  // The event sink: only IID_NULL, and arguments of the event's count and types.
  RecordingHandler handler;
  control.SetWebBrowserEventHandler(&handler);
  VARIANTARG args[2];
  VariantInit(&args[0]);
  VariantInit(&args[1]);
  DISPPARAMS params = {args, nullptr, 2, 0};
  EXPECT_EQ(control.Invoke(DISPID_DOCUMENTCOMPLETE, IID_IUnknown, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
                           nullptr),
            E_INVALIDARG);
  EXPECT_EQ(control.Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
            E_INVALIDARG);
  params.cArgs = 1;  // too few for NavigateComplete2
  EXPECT_NE(control.Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
                           nullptr),
            S_OK);
  params.cArgs = 5;  // BeforeNavigate2 needs 7; with 5 empty arguments nothing may be read
  VARIANTARG five[5];
  for (VARIANTARG& arg : five) VariantInit(&arg);
  params.rgvarg = five;
  EXPECT_NE(control.Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
            S_OK);
  EXPECT_NE(control.Invoke(DISPID_NAVIGATEERROR, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
            S_OK);  // the right count, but empty where the browser and the cancel flag belong
  EXPECT_TRUE(handler.seen.empty());
  EXPECT_EQ(control.Invoke(DISPID_TITLECHANGE, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
}

// Keys reach the browser's accelerator handling only while the keyboard
// focus is inside the control's host window; other messages and keys
// elsewhere are not the browser's (1: not consumed).
TEST_F(WebBrowserTest, KeysGoToTheBrowserOnlyWhileTheFocusIsInside) {
  BrowserWindow window(L"", nullptr);
  CWebBrowserUI* browser = window.browser();
  ASSERT_NE(browser, nullptr);
  ASSERT_NE(browser->GetWebBrowser2(), nullptr);
  const HWND host = browser->GetNativeWindow();
  ASSERT_NE(host, nullptr);
  auto routed = [&] {
    const std::wstring log = Log();
    size_t count = 0;
    for (size_t at = log.find(L"TranslateAccelerator 256"); at != std::wstring::npos;
         at = log.find(L"TranslateAccelerator 256", at + 1)) {
      ++count;
    }
    return count;
  };
  MSG key = {};
  key.message = WM_KEYDOWN;
  key.wParam = VK_TAB;
  SetFocus(window.hwnd());
  EXPECT_EQ(browser->TranslateKeyMessage(&key), 1);
  EXPECT_EQ(routed(), 0u) << "the focus is outside the browser";

  SetFocus(host);
  window.driver().Pump();
  ASSERT_TRUE(GetFocus() == host || IsChild(host, GetFocus()));
  EXPECT_EQ(browser->TranslateKeyMessage(&key), 1);  // the stand-in consumes no key
  EXPECT_EQ(routed(), 1u);
  MSG mouse = key;
  mouse.message = WM_MOUSEMOVE;
  EXPECT_EQ(browser->TranslateKeyMessage(&mouse), 1);
  EXPECT_EQ(routed(), 1u);

  CWebBrowserUI unplaced;  // no browser: nothing to route to
  EXPECT_EQ(unplaced.TranslateKeyMessage(&key), E_NOTIMPL);
}

}  // namespace
