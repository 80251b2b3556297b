// The stand-in browser engine, driven the way a host drives the system
// web-browser control: created through COM by its class id (the test session
// registers the engine), embedded in a window of the test, navigated to the
// login stand-in's pages. Checks the events (order, URLs, thread, frames),
// NavigateError for a missing page, a server error and a closed port, the
// host's UI handler being asked for its flags, the page variable "info" read
// through the document's window, a link clicked like a person would, and a
// redirect a test asks the login stand-in for.

#include <winsock2.h>
#include <windows.h>
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>

#include "tests/browser-standin/BrowserHost.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Standin.h"

namespace browsertest {
namespace {

std::wstring Widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
  return wide;
}

size_t AppendBody(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

// The body of a GET, fetched apart from the browser (empty on failure).
std::string HttpGet(const std::string& url) {
  std::string body;
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return body;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 30000L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  if (curl_easy_perform(curl) != CURLE_OK) body.clear();
  curl_easy_cleanup(curl);
  return body;
}

// The literal a page's script gives "info" (the stand-in writes it as a JSON string without escapes).
std::wstring InfoLiteralOf(const std::string& page) {
  std::smatch match;
  if (!std::regex_search(page, match, std::regex("var info = \"([^\"\\\\]*)\";"))) return std::wstring();
  return Widen(match[1].str());
}

// A loopback port nothing listens on: bound once, then closed.
int ClosedPort() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 0;
  int port = 0;
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof(address);
  if (probe != INVALID_SOCKET && bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    port = ntohs(address.sin_port);
  }
  if (probe != INVALID_SOCKET) closesocket(probe);
  WSACleanup();
  return port;
}

const wchar_t kHostWindowClass[] = L"QuilloraBrowserTestHost";

class BrowserTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    SetEnvironmentVariableW(L"QUILLORA_BROWSER_LOG", (m_scratch / L"browser.log").c_str());
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kHostWindowClass;
    RegisterClassW(&windowClass);  // fails harmlessly when already registered
    m_window = CreateWindowExW(0, kHostWindowClass, L"登录 - stand-in browser", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               40, 40, 360, 420, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(m_window, nullptr);
    m_site.window = m_window;
    m_site.position = {20, 20, 320, 350};
    m_sink.uiHandler = &m_handler;
  }

  void TearDown() override {
    ReleaseBrowser();
    // The browser gave back every reference it took on the host's objects.
    EXPECT_EQ(m_site.references(), 0);
    EXPECT_EQ(m_sink.references(), 0);
    EXPECT_EQ(m_handler.references(), 0);
    if (m_window != nullptr) DestroyWindow(m_window);
    SetEnvironmentVariableW(L"QUILLORA_BROWSER_LOG", nullptr);
    OleUninitialize();
  }

  // Creates and embeds the browser as a host does; false with a failure recorded when a step fails.
  bool CreateBrowser() {
    HRESULT hr = CoCreateInstance(kWebBrowserClass, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  m_object.ReceiveVoid());
    if (FAILED(hr)) {
      ADD_FAILURE() << "CoCreateInstance of the web-browser class: 0x" << std::hex << hr;
      return false;
    }
    DWORD status = 0;
    EXPECT_EQ(m_object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    m_miscStatus = status;
    EXPECT_EQ(m_object->SetClientSite(&m_site), S_OK);
    EXPECT_EQ(m_object->SetHostNames(L"ActiveXHost", nullptr), S_OK);
    hr = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &m_site, -5, m_window, &m_site.position);
    if (FAILED(hr)) {
      ADD_FAILURE() << "DoVerb(OLEIVERB_INPLACEACTIVATE): 0x" << std::hex << hr;
      return false;
    }
    if (FAILED(m_object->QueryInterface(IID_IWebBrowser2, m_browser.ReceiveVoid()))) {
      ADD_FAILURE() << "no IWebBrowser2";
      return false;
    }
    m_sink.topBrowser = m_browser.Get();
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(m_browser->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid())) ||
        FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, m_point.Receive())) ||
        FAILED(m_point->Advise(static_cast<IDispatch*>(&m_sink), &m_cookie))) {
      ADD_FAILURE() << "could not advise DWebBrowserEvents2";
      return false;
    }
    return true;
  }

  // Lets go of the browser the careful way: handler reset and sink unadvised first.
  void ReleaseBrowser() {
    if (m_browser) {
      ComPtr<IHTMLDocument2> document = m_sink.Document();
      ComPtr<ICustomDoc> custom;
      if (document && SUCCEEDED(document->QueryInterface(__uuidof(ICustomDoc), custom.ReceiveVoid()))) {
        custom->SetUIHandler(nullptr);
      }
    }
    if (m_point) m_point->Unadvise(m_cookie);
    m_point.Reset();
    m_browser.Reset();
    if (m_object) {
      m_object->Close(OLECLOSE_NOSAVE);
      m_object->SetClientSite(nullptr);
    }
    m_object.Reset();
    // Results of downloads still on their way are dropped by the engine's window.
    Pump(100);
  }

  void Navigate(const std::string& url) {
    VARIANT address;
    VariantInit(&address);
    V_VT(&address) = VT_BSTR;
    V_BSTR(&address) = SysAllocString(Widen(url).c_str());
    VARIANT empty;
    VariantInit(&empty);
    EXPECT_EQ(m_browser->Navigate2(&address, &empty, &empty, &empty, &empty), S_OK);
    VariantClear(&address);
  }

  // Pumps the thread's messages until `done` holds or the time is up; returns `done`'s last answer.
  bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000) {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > timeoutMs) return false;
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
  }
  void Pump(DWORD ms) {
    PumpUntil([] { return false; }, ms);
  }

  // Waits for the page's own DocumentComplete whose URL contains `part`.
  bool WaitForPage(const std::wstring& part) {
    return PumpUntil([&] { return FindEvent(DISPID_DOCUMENTCOMPLETE, true, part) != nullptr; });
  }
  const Event* FindEvent(DISPID id, bool topLevel, const std::wstring& part) const {
    for (const Event& event : m_sink.events) {
      if (event.id == id && event.topLevel == topLevel && event.url.find(part) != std::wstring::npos) return &event;
    }
    return nullptr;
  }
  size_t CountEvents(DISPID id) const {
    size_t count = 0;
    for (const Event& event : m_sink.events) count += event.id == id ? 1 : 0;
    return count;
  }

  // Reads a page variable the way a host does: document, its parent window, IDispatch, property get.
  HRESULT ReadPageVariable(const wchar_t* name, VARIANT* value) {
    ComPtr<IHTMLDocument2> document = m_sink.Document();
    if (!document) return E_FAIL;
    ComPtr<IHTMLWindow2> window;
    HRESULT hr = document->get_parentWindow(window.Receive());
    if (FAILED(hr) || !window) return FAILED(hr) ? hr : E_FAIL;
    ComPtr<IDispatch> script;
    hr = window->QueryInterface(IID_IDispatch, script.ReceiveVoid());
    if (FAILED(hr)) return hr;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    hr = script->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return script->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr,
                          nullptr);
  }

  std::wstring LocationUrl() {
    BSTR url = nullptr;
    if (FAILED(m_browser->get_LocationURL(&url)) || url == nullptr) return std::wstring();
    std::wstring text(url);
    SysFreeString(url);
    return text;
  }

  HWND View() {
    ComPtr<IOleInPlaceObject> inPlace;
    HWND view = nullptr;
    if (SUCCEEDED(m_object->QueryInterface(IID_IOleInPlaceObject, inPlace.ReceiveVoid()))) inPlace->GetWindow(&view);
    return view;
  }

  // The engine's log so far (UTF-8 file, widened).
  std::wstring Log() const {
    return Widen(ScratchFolder::ReadFileBytes(m_scratch / L"browser.log"));
  }

  static std::string LoginPage(const standin::Instance& instance, const std::string& uuid) {
    return instance.urls().login + "member/login/index?softId=130&uuid=" + uuid + "&usedtimes=2&mid=1";
  }

  ScratchFolder m_scratch{L"browser"};
  HWND m_window = nullptr;
  Site m_site;
  EventSink m_sink;
  UiHandler m_handler;
  ComPtr<IOleObject> m_object;
  ComPtr<IWebBrowser2> m_browser;
  ComPtr<IConnectionPoint> m_point;
  DWORD m_cookie = 0;
  DWORD m_miscStatus = 0;
};

TEST_F(BrowserTest, TheRegisteredClassIsTheStandinEmbeddedInTheHostWindow) {
  ASSERT_TRUE(CreateBrowser());
  // The class id led to the stand-in's DLL, not to Wine's own control.
  EXPECT_NE(GetModuleHandleW(L"BrowserStandin.dll"), nullptr);
  EXPECT_TRUE(m_miscStatus & OLEMISC_SETCLIENTSITEFIRST);
  EXPECT_TRUE(m_site.inPlaceActive);
  const HWND view = View();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(GetParent(view), m_window);
  RECT area;
  GetWindowRect(view, &area);
  MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&area), 2);
  EXPECT_EQ(area.left, 20);
  EXPECT_EQ(area.top, 20);
  EXPECT_EQ(area.right - area.left, 300);
  EXPECT_EQ(area.bottom - area.top, 330);
  const std::wstring log = Log();
  EXPECT_LT(log.find(L"SetClientSite"), log.find(L"DoVerb -5")) << std::string(log.begin(), log.end());
}

TEST_F(BrowserTest, APageWithAFrameFiresItsEventsInOrderOnTheHostThread) {
  standin::Instance instance;
  STANDIN_OR_SKIP(instance);
  ASSERT_TRUE(CreateBrowser());
  const std::wstring login = Widen(LoginPage(instance, "EventOrder000001"));
  Navigate(LoginPage(instance, "EventOrder000001"));
  // BeforeNavigate2 fires inside Navigate2; the rest comes through the message queue.
  ASSERT_EQ(m_sink.events.size(), 1u);
  EXPECT_EQ(m_sink.events[0].id, DISPID_BEFORENAVIGATE2);
  EXPECT_EQ(m_sink.events[0].url, login);
  EXPECT_TRUE(m_sink.events[0].topLevel);
  ASSERT_TRUE(WaitForPage(L"member/login/index")) << "no DocumentComplete for the login page";

  struct Expected {
    DISPID id;
    bool topLevel;
    const wchar_t* url;
  };
  const Expected expected[] = {
      {DISPID_BEFORENAVIGATE2, true, L"/member/login/index?"},
      {DISPID_NAVIGATECOMPLETE2, true, L"/member/login/index?"},
      {DISPID_BEFORENAVIGATE2, false, L"/member/login/qrcode?"},
      {DISPID_NAVIGATECOMPLETE2, false, L"/member/login/qrcode?"},
      {DISPID_DOCUMENTCOMPLETE, false, L"/member/login/qrcode?"},
      {DISPID_DOCUMENTCOMPLETE, true, L"/member/login/index?"},
  };
  ASSERT_EQ(m_sink.events.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const Event& event = m_sink.events[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(event.id, expected[i].id);
    EXPECT_EQ(event.topLevel, expected[i].topLevel);
    EXPECT_NE(event.url.find(expected[i].url), std::wstring::npos) << std::string(event.url.begin(), event.url.end());
    EXPECT_EQ(event.thread, GetCurrentThreadId());
  }
  // The frame's events carry a browser of their own, the same one throughout.
  EXPECT_NE(m_sink.events[4].browser, nullptr);
  EXPECT_EQ(m_sink.events[2].browser, m_sink.events[4].browser);
  EXPECT_EQ(m_sink.events[0].url, login);
  EXPECT_EQ(m_sink.events[5].url, login);
  EXPECT_EQ(LocationUrl(), login);
  EXPECT_EQ(m_sink.badArguments, 0);

  // The UI handler installed at NavigateComplete2 was asked for its host flags.
  EXPECT_GE(m_handler.hostInfoCalls, 1);
  const std::wstring log = Log();
  EXPECT_NE(log.find(L"GetHostInfo 0x00000000 size " + std::to_wstring(sizeof(DOCHOSTUIINFO)) + L" flags 0x0024000F"),
            std::wstring::npos)
      << std::string(log.begin(), log.end());

  // A right click asks the host's handler for the context menu.
  const HWND view = View();
  ASSERT_NE(view, nullptr);
  SendMessageW(view, WM_RBUTTONUP, 0, MAKELPARAM(100, 100));
  EXPECT_EQ(m_handler.contextMenuCalls, 1);

  // The login page sets no result: "info" is not one of its names.
  VARIANT value;
  VariantInit(&value);
  EXPECT_EQ(ReadPageVariable(L"info", &value), DISP_E_UNKNOWNNAME);

  UpdateWindow(m_window);
  Pump(200);
  // From the screen, so the engine's child window shows as a person sees it.
  RECT area = {};
  GetWindowRect(m_window, &area);
  EXPECT_TRUE(testshots::SaveScreenAreaPng(L"browser-standin-login-page.png", area)) << "no screenshot saved";
}

TEST_F(BrowserTest, ClickingTheSignInLinkLoadsTheCallbackPageWhoseInfoTheHostReads) {
  standin::Instance instance;
  STANDIN_OR_SKIP(instance);
  ASSERT_TRUE(CreateBrowser());
  Navigate(LoginPage(instance, "ClickedLink00001"));
  ASSERT_TRUE(WaitForPage(L"member/login/index"));
  const HWND view = View();
  ASSERT_NE(view, nullptr);
  UpdateWindow(view);  // link areas come from the last paint, as for a person looking at it
  // Clicks down the page's left side until one lands on the link (text and frame are not links).
  const size_t before = CountEvents(DISPID_BEFORENAVIGATE2);
  for (int y = 0; y < 330 && CountEvents(DISPID_BEFORENAVIGATE2) == before; y += 3) {
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, y));
    SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(30, y));
  }
  ASSERT_TRUE(WaitForPage(L"/wxlogincb?")) << "the click did not reach the callback page";
  const Event* before2 = FindEvent(DISPID_BEFORENAVIGATE2, true, L"/wxlogincb?");
  ASSERT_NE(before2, nullptr);
  // The link carried the login page's parameters on.
  EXPECT_NE(before2->url.find(L"uuid=ClickedLink00001"), std::wstring::npos);

  const std::wstring expectedInfo = InfoLiteralOf(HttpGet(std::string(before2->url.begin(), before2->url.end())));
  ASSERT_FALSE(expectedInfo.empty());
  VARIANT value;
  VariantInit(&value);
  ASSERT_EQ(ReadPageVariable(L"info", &value), S_OK);
  ASSERT_EQ(V_VT(&value), VT_BSTR);
  EXPECT_EQ(std::wstring(V_BSTR(&value)), expectedInfo);
  VariantClear(&value);
  EXPECT_EQ(ReadPageVariable(L"nosuch", &value), DISP_E_UNKNOWNNAME);
}

TEST_F(BrowserTest, AScriptedRedirectLandsOnTheCallbackPage) {
  standin::Instance instance;
  STANDIN_OR_SKIP(instance);
  ASSERT_TRUE(instance.Script("/member/login/index", R"({"redirect":"/wxlogincb?uuid=Redirected000001"})"))
      << instance.error();
  ASSERT_TRUE(CreateBrowser());
  Navigate(LoginPage(instance, "Redirected000001"));
  ASSERT_TRUE(WaitForPage(L"/wxlogincb?uuid=Redirected000001"));
  // The host asked for the login page; the page that arrived is the callback page.
  ASSERT_EQ(m_sink.events.size(), 3u);
  EXPECT_EQ(m_sink.events[0].id, DISPID_BEFORENAVIGATE2);
  EXPECT_NE(m_sink.events[0].url.find(L"/member/login/index?"), std::wstring::npos);
  EXPECT_EQ(m_sink.events[1].id, DISPID_NAVIGATECOMPLETE2);
  EXPECT_EQ(m_sink.events[1].url, Widen(instance.urls().login) + L"wxlogincb?uuid=Redirected000001");
  EXPECT_EQ(m_sink.events[2].id, DISPID_DOCUMENTCOMPLETE);
  VARIANT value;
  VariantInit(&value);
  ASSERT_EQ(ReadPageVariable(L"info", &value), S_OK);
  ASSERT_EQ(V_VT(&value), VT_BSTR);
  EXPECT_EQ(std::wstring(V_BSTR(&value)),
            InfoLiteralOf(HttpGet(instance.urls().login + "wxlogincb?uuid=Redirected000001")));
  VariantClear(&value);
}

TEST_F(BrowserTest, FailuresFireNavigateErrorWithTheStatusAndNoCompletion) {
  standin::Instance instance;
  STANDIN_OR_SKIP(instance);
  ASSERT_TRUE(instance.Script("/member/login/index", R"({"http_status":500})")) << instance.error();
  const int closedPort = ClosedPort();
  ASSERT_NE(closedPort, 0);
  struct Case {
    const char* name;
    std::string url;
    LONG status;
  };
  const Case cases[] = {
      {"missing page", instance.urls().login + "member/nosuch", 404},
      {"server error", LoginPage(instance, "ServerError00001"), 500},
      {"closed port", "http://127.0.0.1:" + std::to_string(closedPort) + "/member/login/index", INET_E_RESOURCE_NOT_FOUND},
  };
  ASSERT_TRUE(CreateBrowser());
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    m_sink.events.clear();
    Navigate(test.url);
    ASSERT_TRUE(PumpUntil([&] { return CountEvents(DISPID_NAVIGATEERROR) == 1; })) << "no NavigateError";
    Pump(300);  // nothing more may follow a failed page
    ASSERT_EQ(m_sink.events.size(), 2u);
    EXPECT_EQ(m_sink.events[0].id, DISPID_BEFORENAVIGATE2);
    const Event& error = m_sink.events[1];
    EXPECT_EQ(error.id, DISPID_NAVIGATEERROR);
    EXPECT_TRUE(error.topLevel);
    EXPECT_EQ(error.url, Widen(test.url));
    EXPECT_EQ(error.status, test.status);
  }
  EXPECT_EQ(m_sink.badArguments, 0);
}

TEST_F(BrowserTest, HttpsPagesLoadOnlyWithTheTrustedAuthority) {
  standin::Instance instance;
  STANDIN_OR_SKIP(instance);
  ASSERT_TRUE(CreateBrowser());
  const std::string jump = instance.urls().managementHttps + "wxlogin/jump";
  // The run's stand-in authority is unknown to the prefix: the page must not load.
  Navigate(jump);
  ASSERT_TRUE(PumpUntil([&] { return CountEvents(DISPID_NAVIGATEERROR) == 1; }));
  EXPECT_EQ(m_sink.events.back().status, INET_E_INVALID_CERTIFICATE);
  EXPECT_EQ(CountEvents(DISPID_NAVIGATECOMPLETE2), 0u);
  // Named as the engine's trusted authority, the same certificate is accepted.
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(m_scratch / L"ca.pem", instance.caPem()));
  SetEnvironmentVariableW(L"QUILLORA_BROWSER_CA", (m_scratch / L"ca.pem").c_str());
  m_sink.events.clear();
  Navigate(jump);
  const bool loaded = WaitForPage(L"wxlogin/jump");
  SetEnvironmentVariableW(L"QUILLORA_BROWSER_CA", nullptr);
  EXPECT_TRUE(loaded) << "the jump page did not load with the trusted authority";
  EXPECT_EQ(CountEvents(DISPID_NAVIGATEERROR), 0u);
}

TEST_F(BrowserTest, ANavigationStartedInNavigateComplete2ReplacesThePageBeforeItCompletes) {
  standin::Instance instance;
  STANDIN_OR_SKIP(instance);
  ASSERT_TRUE(CreateBrowser());
  const std::string jump = instance.urls().managementHttp + "wxlogin/jump";
  const std::string login = LoginPage(instance, "JumpedThere00001");
  // As a login host does: the jump page's NavigateComplete2 sends the browser on to the login page.
  m_sink.onEvent = [&](const Event& event, VARIANT_BOOL*) {
    if (event.id == DISPID_NAVIGATECOMPLETE2 && event.topLevel && event.url.find(L"wxlogin/jump") != std::wstring::npos) {
      Navigate(login);
    }
  };
  Navigate(jump);
  ASSERT_TRUE(WaitForPage(L"member/login/index"));
  Pump(300);
  EXPECT_NE(FindEvent(DISPID_NAVIGATECOMPLETE2, true, L"wxlogin/jump"), nullptr);
  EXPECT_EQ(FindEvent(DISPID_DOCUMENTCOMPLETE, true, L"wxlogin/jump"), nullptr)
      << "the replaced jump page must not complete";
  EXPECT_EQ(CountEvents(DISPID_DOCUMENTCOMPLETE), 2u);  // the login page and its frame
}

TEST_F(BrowserTest, CancellingBeforeNavigate2FetchesNothing) {
  standin::Instance instance;
  STANDIN_OR_SKIP(instance);
  ASSERT_TRUE(CreateBrowser());
  m_sink.onEvent = [](const Event& event, VARIANT_BOOL* cancel) {
    if (event.id == DISPID_BEFORENAVIGATE2 && cancel != nullptr) *cancel = VARIANT_TRUE;
  };
  Navigate(LoginPage(instance, "Cancelled0000001"));
  Pump(500);
  EXPECT_EQ(m_sink.events.size(), 1u);
  EXPECT_EQ(instance.Count("/member/login/index"), 0);
}

}  // namespace
}  // namespace browsertest
