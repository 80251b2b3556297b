// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// The ActiveX host control in a real window, with the test object of
// tests/support/activex-probe loaded by absolute path ("modulename"): the
// order in which the host embeds it, delayed creation, the child window
// following the control's visibility, what the control refuses (an unknown
// ProgID, a relative module name), the result of creation for objects with
// and without the optional parts, and the module freed when the control lets
// go.

#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/base/ScopedHandle.h"
#include "tests/support/ActiveXProbe.h"
#include "tests/support/ManagedTestWindow.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WindowDriver.h"
#include "ui/controls/activex/ActiveXSite.h"
#include "ui/controls/activex/ActiveXUI.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"

namespace {

using Trellis::CActiveXUI;

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring ProbePath() { return ProgramFolder() + activexprobe::kDllName; }

bool ProbeLoaded() { return GetModuleHandleW(ProbePath().c_str()) != nullptr; }

// A window whose tree the skin builder makes from `body` (the children of
// one vertical layout); shown and laid out only when Show() is called.
class ProbeWindow {
 public:
  explicit ProbeWindow(const std::wstring& body) : m_window(320, 220), m_driver(m_window.manager()) {
    const std::wstring xml = L"<Window size=\"320,220\"><VerticalLayout name=\"root\" bkcolor=\"#FFEEF2F7\">" + body +
                             L"</VerticalLayout></Window>";
    Trellis::CSkinBuilder builder;
    m_root = builder.CreateFromSource(xml.c_str(), nullptr, nullptr, &m_window.manager());
    if (m_root != nullptr) m_attached = m_window.manager().AttachRootControl(m_root);
  }
  bool ok() const { return m_root != nullptr && m_attached; }
  void Show() {
    m_window.Show();
    m_driver.PumpFor(50);
  }
  CActiveXUI* Find(const wchar_t* name) {
    Trellis::CControlUI* control = m_driver.Find(name);
    return control != nullptr ? static_cast<CActiveXUI*>(control->GetInterface(L"ActiveX")) : nullptr;
  }
  Trellis::CControlUI* FindControl(const wchar_t* name) { return m_driver.Find(name); }
  HWND hwnd() const { return m_window.GetHandle(); }
  testwindows::WindowDriver& driver() { return m_driver; }

 private:
  testwindows::ManagedTestWindow m_window;
  testwindows::WindowDriver m_driver;
  Trellis::CControlUI* m_root = nullptr;  // owned by the manager once attached
  bool m_attached = false;
};

class ActiveXTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    SetEnvironmentVariableW(activexprobe::kLogVariable, (m_scratch / L"probe.log").c_str());
    SetEnvironmentVariableW(activexprobe::kOptionsVariable, nullptr);
  }
  void TearDown() override {
    SetEnvironmentVariableW(activexprobe::kLogVariable, nullptr);
    SetEnvironmentVariableW(activexprobe::kOptionsVariable, nullptr);
    OleUninitialize();
  }

  // The skin element of a probe control; `extra` adds attributes.
  static std::wstring ProbeElement(const std::wstring& extra = L"") {
    return L"<ActiveX name=\"probe\" float=\"true\" pos=\"20,30,220,150\" modulename=\"" + ProbePath() +
           L"\" clsid=\"" + activexprobe::kClassText + L"\" " + extra + L" />";
  }

  std::vector<std::string> Log() const {
    std::istringstream text(ScratchFolder::ReadFileBytes(m_scratch / L"probe.log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }
  // The call names of the log, without their details.
  std::vector<std::string> Calls() const {
    std::vector<std::string> calls;
    for (const std::string& line : Log()) calls.push_back(line.substr(0, line.find(' ')));
    return calls;
  }
  std::string LineStarting(const std::string& start) const {
    for (const std::string& line : Log()) {
      if (line.compare(0, start.size(), start) == 0) return line;
    }
    return std::string();
  }
  static size_t IndexOf(const std::vector<std::string>& calls, const std::string& call) {
    for (size_t i = 0; i < calls.size(); ++i) {
      if (calls[i] == call) return i;
    }
    return calls.size();
  }

  ScratchFolder m_scratch{L"activex"};
};

TEST_F(ActiveXTest, EmbedsTheObjectFromItsModuleInOrderAndFreesTheModule) {
  {
    ProbeWindow window(L"" + ProbeElement());
    ASSERT_TRUE(window.ok());
    window.Show();
    CActiveXUI* control = window.Find(L"probe");
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(control->HasObject());
    EXPECT_TRUE(ProbeLoaded());

    // The call order, without the placement updates the host gives in between.
    std::vector<std::string> calls;
    for (const std::string& call : Calls()) {
      if (call != "SetObjectRects" && call != "SetExtent") calls.push_back(call);
    }
    const std::vector<std::string> expected = {"attach",     "create",        "GetMiscStatus",       "SetClientSite",
                                               "SetHostNames", "DoVerb",      "CanInPlaceActivate", "OnInPlaceActivate",
                                               "GetWindow",  "GetWindowContext"};
    ASSERT_GE(calls.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + expected.size()), expected);
    EXPECT_EQ(LineStarting("SetHostNames"), "SetHostNames ActiveXHost");
    EXPECT_FALSE(LineStarting("OnInPlaceActivate windowed").empty());
    // The site is handed over after the activation.
    EXPECT_LT(IndexOf(calls, "GetWindowContext"), IndexOf(calls, "SetSite"));
    EXPECT_LT(IndexOf(calls, "SetSite"), calls.size());

    // The window context: the child window's client area, the frame-info
    // record's own size, and no accelerator table.
    const std::string context = LineStarting("GetWindowContext");
    EXPECT_NE(context.find("GetWindowContext 0x00000000 pos 0,0,200,120 clip 0,0,200,120"), std::string::npos)
        << context;
    EXPECT_NE(context.find("frameinfo " + std::to_string(sizeof(OLEINPLACEFRAMEINFO)) + " accel 0"), std::string::npos)
        << context;

    // The object's window sits in the control's child window, which covers the control.
    HWND host = control->GetNativeWindow();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(GetParent(host), window.hwnd());
    RECT area;
    GetWindowRect(host, &area);
    MapWindowPoints(nullptr, window.hwnd(), reinterpret_cast<POINT*>(&area), 2);
    EXPECT_EQ(area.left, 20);
    EXPECT_EQ(area.top, 30);
    EXPECT_EQ(area.right, 220);
    EXPECT_EQ(area.bottom, 150);
    HWND object = FindWindowExW(host, nullptr, activexprobe::kWindowClass, nullptr);
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(IsWindowVisible(object));

    // The site answers its window interface and the in-place ones.
    Trellis::CActiveXSite* site = control->GetSite();
    ASSERT_NE(site, nullptr);
    for (const IID* iid : {&IID_IOleWindow, &IID_IOleInPlaceSite, &IID_IOleInPlaceSiteWindowless, &IID_IOleClientSite,
                           &IID_IOleControlSite, &IID_IObjectWithSite, &IID_IOleContainer}) {
      ComPtr<IUnknown> part;
      EXPECT_EQ(site->QueryInterface(*iid, part.ReceiveVoid()), S_OK);
    }
    ComPtr<IOleWindow> oleWindow;
    ASSERT_EQ(site->QueryInterface(IID_IOleWindow, oleWindow.ReceiveVoid()), S_OK);
    HWND reported = nullptr;
    EXPECT_EQ(oleWindow->GetWindow(&reported), S_OK);
    EXPECT_EQ(reported, host);
    oleWindow.Reset();

    window.driver().Pump();
    EXPECT_TRUE(testshots::SaveWindowPng(L"ui-controls-activex-probe.png", window.hwnd()));
  }
  // The window and its control are gone: the object was closed and released, and its module freed.
  const std::vector<std::string> calls = Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_LT(IndexOf(calls, "SetSite"), IndexOf(calls, "Close"));
  EXPECT_EQ(calls[calls.size() - 2], "release");
  EXPECT_EQ(calls.back(), "detach");
  EXPECT_FALSE(ProbeLoaded());
}

TEST_F(ActiveXTest, CreationWaitsForTheFirstLayoutUnlessDelayIsOff) {
  struct Case {
    const wchar_t* extra;
    bool createdBeforeLayout;
  };
  const Case cases[] = {{L"", false}, {L"delaycreate=\"true\"", false}, {L"delaycreate=\"false\"", true}};
  for (const Case& test : cases) {
    SCOPED_TRACE(std::string(test.extra, test.extra + wcslen(test.extra)));
    DeleteFileW((m_scratch / L"probe.log").c_str());
    ProbeWindow window(ProbeElement(test.extra));
    ASSERT_TRUE(window.ok());
    CActiveXUI* control = window.Find(L"probe");
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->HasObject(), test.createdBeforeLayout);
    EXPECT_EQ(IndexOf(Calls(), "create") < Calls().size(), test.createdBeforeLayout);
    window.Show();
    EXPECT_TRUE(control->IsCreated());
    EXPECT_TRUE(control->HasObject());
    // Laid out once created: the object has the control's place in its window.
    EXPECT_FALSE(LineStarting("SetObjectRects 0,0,200,120").empty());
  }
}

TEST_F(ActiveXTest, HidingTheControlOrItsParentHidesTheObjectsWindow) {
  ProbeWindow window(L"<VerticalLayout name=\"box\">" + ProbeElement() + L"</VerticalLayout>");
  ASSERT_TRUE(window.ok());
  window.Show();
  CActiveXUI* control = window.Find(L"probe");
  ASSERT_NE(control, nullptr);
  HWND host = control->GetNativeWindow();
  ASSERT_NE(host, nullptr);
  EXPECT_TRUE(IsWindowVisible(host));
  control->SetVisible(false);
  window.driver().Pump();
  EXPECT_FALSE(IsWindowVisible(host));
  control->SetVisible(true);
  window.driver().Pump();
  EXPECT_TRUE(IsWindowVisible(host));
  window.FindControl(L"box")->SetVisible(false);
  window.driver().Pump();
  EXPECT_FALSE(IsWindowVisible(host));
  window.FindControl(L"box")->SetVisible(true);
  window.driver().Pump();
  EXPECT_TRUE(IsWindowVisible(host));
}

TEST_F(ActiveXTest, RefusesUnknownClassesAndRelativeModuleNames) {
  // A relative name would be looked for along the DLL search path, which here
  // finds the probe beside the test program: it must not be loaded.
  ProbeWindow window(L"<ActiveX name=\"unknown\" float=\"true\" pos=\"0,0,100,50\" clsid=\"Quillora.NoSuchControl.1\" />"
                     L"<ActiveX name=\"relative\" float=\"true\" pos=\"0,60,100,110\" modulename=\"" +
                     std::wstring(activexprobe::kDllName) + L"\" clsid=\"" + activexprobe::kClassText + L"\" />");
  ASSERT_TRUE(window.ok());
  window.Show();
  CActiveXUI* unknown = window.Find(L"unknown");
  ASSERT_NE(unknown, nullptr);
  EXPECT_TRUE(IsEqualGUID(unknown->GetCLSID(), CLSID_NULL));
  EXPECT_FALSE(unknown->HasObject());
  EXPECT_FALSE(unknown->SetCLSIDValue(CLSID_NULL));
  ComPtr<IUnknown> none;
  EXPECT_EQ(unknown->GetControl(IID_IUnknown, none.ReceiveVoid()), E_PENDING);
  EXPECT_EQ(unknown->GetControl(IID_IUnknown, nullptr), E_POINTER);

  CActiveXUI* relative = window.Find(L"relative");
  ASSERT_NE(relative, nullptr);
  EXPECT_TRUE(relative->GetModuleName().IsEmpty());
  EXPECT_FALSE(relative->HasObject());  // the probe's class is not registered
  EXPECT_FALSE(ProbeLoaded());
  EXPECT_TRUE(Log().empty());
}

TEST_F(ActiveXTest, CreationSucceedsWhenTheObjectIsActivatedWhateverItsOptionalParts) {
  struct Case {
    const wchar_t* options;
    bool created;
    const char* activation;  // the OnInPlaceActivate line's start, or null when none is expected
  };
  const Case cases[] = {
      {L"", true, "OnInPlaceActivate windowed"},
      {L"nowithsite", true, "OnInPlaceActivate windowed"},  // no IObjectWithSite: still a working object
      {L"setclientsitefirst,persist", true, "OnInPlaceActivate windowed"},
      {L"windowless", true, "OnInPlaceActivate windowless"},
      {L"persist,failinitnew", false, nullptr},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(std::string(test.options, test.options + wcslen(test.options)));
    SetEnvironmentVariableW(activexprobe::kOptionsVariable, test.options);
    ProbeWindow window(ProbeElement());
    ASSERT_TRUE(window.ok());
    window.Show();
    CActiveXUI* control = window.Find(L"probe");
    ASSERT_NE(control, nullptr);
    DeleteFileW((m_scratch / L"probe.log").c_str());
    EXPECT_EQ(control->DoCreateControl(), test.created);
    if (test.activation != nullptr) {
      EXPECT_FALSE(LineStarting(test.activation).empty());
    } else {
      EXPECT_TRUE(LineStarting("DoVerb").empty());
    }
  }
}

TEST_F(ActiveXTest, AWindowlessObjectDrawsInTheFrameWindowAtTheControlsPlace) {
  SetEnvironmentVariableW(activexprobe::kOptionsVariable, L"windowless");
  ProbeWindow window(ProbeElement());
  ASSERT_TRUE(window.ok());
  window.Show();
  CActiveXUI* control = window.Find(L"probe");
  ASSERT_NE(control, nullptr);
  ASSERT_TRUE(control->HasObject());
  EXPECT_EQ(control->GetNativeWindow(), window.hwnd());
  // The window context of a windowless object is the control's rectangle in the frame window.
  const std::string context = LineStarting("GetWindowContext");
  EXPECT_NE(context.find("pos 20,30,220,150 clip 20,30,220,150"), std::string::npos) << context;
  EXPECT_EQ(FindWindowExW(window.hwnd(), nullptr, L"ActiveXWnd", nullptr), nullptr);
  InvalidateRect(window.hwnd(), nullptr, FALSE);
  UpdateWindow(window.hwnd());
  window.driver().Pump();
  EXPECT_FALSE(LineStarting("Draw 20,30,220,150").empty());
}

// A windowless object gets the window's messages through the control's
// filter: presses and the wheel only where its hit test answers (the wheel's
// screen point taken into the window first), keys only while the control
// has the focus; a press on it gives the control the focus.
TEST_F(ActiveXTest, AWindowlessObjectGetsMessagesWhereItIsHitAndKeysWhileFocused) {
  SetEnvironmentVariableW(activexprobe::kOptionsVariable, L"windowless");
  ProbeWindow window(ProbeElement() + L"<Button name=\"other\" float=\"true\" pos=\"240,30,300,60\" />");
  ASSERT_TRUE(window.ok());
  window.Show();
  CActiveXUI* control = window.Find(L"probe");
  ASSERT_NE(control, nullptr);
  ASSERT_TRUE(control->HasObject());
  auto messagesSeen = [&](const char* message) {
    size_t count = 0;
    for (const std::string& line : Log()) count += line == std::string("OnWindowMessage ") + message ? 1 : 0;
    return count;
  };
  // The control spans 20..220 across; the object answers to 20..120.
  DeleteFileW((m_scratch / L"probe.log").c_str());
  window.driver().Key(VK_DOWN);
  EXPECT_EQ(messagesSeen("0x00000100"), 0u) << "a key before the control has the focus";
  window.driver().ClickAt(POINT{180, 90});
  EXPECT_EQ(messagesSeen("0x00000201"), 0u) << "a press outside the object's hit region";
  window.driver().ClickAt(POINT{60, 90});
  EXPECT_EQ(messagesSeen("0x00000201"), 1u);
  EXPECT_EQ(messagesSeen("0x00000202"), 1u);
  Trellis::CWindowManagerUI* manager = control->GetManager();
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(manager->GetFocusControl(), control);
  window.driver().Key(VK_DOWN);
  EXPECT_EQ(messagesSeen("0x00000100"), 1u);

  // The wheel over the object's half, posted as the system does: screen coordinates.
  POINT at = {100, 120};
  ClientToScreen(window.hwnd(), &at);
  PostMessageW(window.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(at.x, at.y));
  window.driver().Pump();
  EXPECT_FALSE(LineStarting("QueryHitPoint 100,120 hit").empty());
  EXPECT_EQ(messagesSeen("0x0000020A"), 1u);
}

// Without its host window (here after the object left in-place activation)
// the site draws nothing and hands out no DC: never the screen's.
TEST_F(ActiveXTest, WithoutAHostWindowTheSiteGivesNoDC) {
  ProbeWindow window(ProbeElement());
  ASSERT_TRUE(window.ok());
  window.Show();
  CActiveXUI* control = window.Find(L"probe");
  ASSERT_NE(control, nullptr);
  Trellis::CActiveXSite* site = control->GetSite();
  ASSERT_NE(site, nullptr);
  ComPtr<IOleInPlaceSiteWindowless> inPlace;
  ASSERT_EQ(site->QueryInterface(IID_IOleInPlaceSiteWindowless, inPlace.ReceiveVoid()), S_OK);
  ComPtr<IOleClientSite> client;
  ASSERT_EQ(site->QueryInterface(IID_IOleClientSite, client.ReceiveVoid()), S_OK);
  HDC dc = nullptr;
  ASSERT_EQ(inPlace->GetDC(nullptr, 0, &dc), S_OK) << "a windowed object in place draws into its window";
  EXPECT_EQ(inPlace->ReleaseDC(dc), S_OK);

  ASSERT_EQ(inPlace->OnInPlaceDeactivate(), S_OK);
  ASSERT_EQ(control->GetNativeWindow(), nullptr);
  DeleteFileW((m_scratch / L"probe.log").c_str());
  EXPECT_EQ(client->ShowObject(), E_FAIL);
  EXPECT_TRUE(LineStarting("Draw").empty());
  dc = reinterpret_cast<HDC>(1);
  EXPECT_EQ(inPlace->GetDC(nullptr, OLEDC_PAINTBKGND, &dc), E_FAIL);
  EXPECT_EQ(dc, nullptr);
}

}  // namespace
