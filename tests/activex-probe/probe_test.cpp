// The ActiveX test object that host tests load by absolute path: driven here
// by hand the way a host creates a control from a named DLL, it must record
// the host's calls in order, honour its options, and show when its module
// was freed.

#include <windows.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/base/ScopedHandle.h"
#include "tests/browser-standin/BrowserHost.h"
#include "tests/support/ActiveXProbe.h"
#include "tests/support/ScratchFolder.h"

namespace {

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

std::wstring ProbePath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + activexprobe::kDllName;
}

class ProbeTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    SetEnvironmentVariableW(activexprobe::kLogVariable, (m_scratch / L"probe.log").c_str());
    m_window = CreateWindowExW(0, L"STATIC", L"probe host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(m_window, nullptr);
    m_site.window = m_window;
    m_site.position = {10, 10, 110, 60};
  }
  void TearDown() override {
    DestroyWindow(m_window);
    SetEnvironmentVariableW(activexprobe::kLogVariable, nullptr);
    SetEnvironmentVariableW(activexprobe::kOptionsVariable, nullptr);
    OleUninitialize();
  }

  // Creates, embeds and lets go of the object as a host with a module name does.
  void RunHost() {
    OwnedModule module(LoadLibraryW(ProbePath().c_str()));
    ASSERT_TRUE(module) << "cannot load " << std::string(ProbePath().begin(), ProbePath().end());
    auto getClassObject =
        reinterpret_cast<GetClassObjectFunction>(reinterpret_cast<void*>(GetProcAddress(module.Get(), "DllGetClassObject")));
    ASSERT_NE(getClassObject, nullptr);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(activexprobe::kClass, IID_IClassFactory, factory.ReceiveVoid()), S_OK);
    ComPtr<IClassFactory> other;
    EXPECT_EQ(getClassObject(CLSID_NULL, IID_IClassFactory, other.ReceiveVoid()), CLASS_E_CLASSNOTAVAILABLE);
    ComPtr<IOleObject> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IOleObject, object.ReceiveVoid()), S_OK);
    factory.Reset();
    DWORD status = 0;
    object->GetMiscStatus(DVASPECT_CONTENT, &status);
    if (status & OLEMISC_SETCLIENTSITEFIRST) object->SetClientSite(&m_site);
    ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(object->QueryInterface(IID_IPersistStreamInit, persist.ReceiveVoid()))) persist->InitNew();
    if (!(status & OLEMISC_SETCLIENTSITEFIRST)) object->SetClientSite(&m_site);
    object->SetHostNames(L"ActiveXHost", nullptr);
    EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &m_site, -5, m_window, &m_site.position), S_OK);
    ComPtr<IObjectWithSite> withSite;
    m_hadWithSite = SUCCEEDED(object->QueryInterface(IID_IObjectWithSite, withSite.ReceiveVoid()));
    if (withSite) withSite->SetSite(static_cast<IOleClientSite*>(&m_site));
    ComPtr<IOleWindow> window;
    if (SUCCEEDED(object->QueryInterface(IID_IOleWindow, window.ReceiveVoid()))) window->GetWindow(&m_probeWindow);
    m_probeWindowVisible = m_probeWindow != nullptr && IsWindowVisible(m_probeWindow);
    if (withSite) withSite->SetSite(nullptr);
    withSite.Reset();
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    persist.Reset();
    window.Reset();
    object.Reset();
  }

  std::vector<std::string> LogLines() const {
    std::istringstream text(ScratchFolder::ReadFileBytes(m_scratch / L"probe.log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
      // Only the call names, without their details (rectangles, results, handles).
      const std::string first = line.substr(0, line.find(' '));
      if (first == "GetWindowContext" || first == "GetWindow" || first == "CanInPlaceActivate") line = first;
      if (first == "OnInPlaceActivate") line = line.substr(0, line.find(' ', first.size() + 1));
      if (first == "DoVerb") line = line.substr(0, line.find(" at "));
      lines.push_back(line);
    }
    return lines;
  }

  ScratchFolder m_scratch{L"probe"};
  HWND m_window = nullptr;
  browsertest::Site m_site;
  bool m_hadWithSite = false;
  HWND m_probeWindow = nullptr;
  bool m_probeWindowVisible = false;
};

TEST_F(ProbeTest, RecordsTheHostsCallsInOrderAndItsUnload) {
  RunHost();
  const std::vector<std::string> expected = {
      "attach", "create", "GetMiscStatus", "SetClientSite", "SetHostNames ActiveXHost", "DoVerb -5",
      "CanInPlaceActivate", "OnInPlaceActivate windowed", "GetWindow", "GetWindowContext", "SetSite", "SetSite none",
      "Close", "InPlaceDeactivate", "SetClientSite none", "release", "detach",
  };
  EXPECT_EQ(LogLines(), expected);
  EXPECT_TRUE(m_hadWithSite);
  EXPECT_TRUE(m_probeWindowVisible);
  EXPECT_EQ(m_site.references(), 0);
}

TEST_F(ProbeTest, OptionsChangeWhatTheObjectOffers) {
  struct Case {
    const wchar_t* options;
    bool withSite;
    std::vector<std::string> expectedStart;  // the log up to DoVerb
  };
  const Case cases[] = {
      {L"nowithsite", false, {"attach", "create", "GetMiscStatus", "SetClientSite"}},
      {L"setclientsitefirst,persist", true, {"attach", "create", "GetMiscStatus", "SetClientSite", "InitNew"}},
      {L"persist", true, {"attach", "create", "GetMiscStatus", "InitNew", "SetClientSite"}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(std::string(test.options, test.options + wcslen(test.options)));
    DeleteFileW((m_scratch / L"probe.log").c_str());
    SetEnvironmentVariableW(activexprobe::kOptionsVariable, test.options);
    RunHost();
    EXPECT_EQ(m_hadWithSite, test.withSite);
    const std::vector<std::string> lines = LogLines();
    ASSERT_GE(lines.size(), test.expectedStart.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + test.expectedStart.size()), test.expectedStart);
    EXPECT_EQ(lines.back(), "detach");
  }
}

}  // namespace
