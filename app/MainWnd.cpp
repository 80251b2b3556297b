// CMainWnd: the frame of the main window and its routing to the pages.
//
// Sections:
//   --- Creation and lifetime ---   class values, WM_CREATE, the last message, CreateMainWindow
//   --- Messages ---                the window procedure and the application messages (1124-1145)
//   --- Controls and reset ---      FindControls, ResetPages
//   --- Notifications ---           the frame's dispatch table and its handlers, then the pages'
//   --- Helpers ---
#include "app/MainWnd.h"

#include "app/FirstPaintGate.h"
#include "app/MessageWnd.h"
#include "app/ProductInfo.h"
#include "app/StartupBench.h"
#include "core/base/BenchReport.h"
#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "core/catalog/VoiceCatalog.h"
#include "core/client/ClientState.h"
#include "core/client/UsageReport.h"
#include "ui/control/ControlUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/TabLayoutUI.h"
#include "ui/controls/menu/MenuWnd.h"

#include <shellapi.h>

#include <cwchar>

using namespace Trellis;

namespace {

CMainWnd* g_mainWnd = nullptr;  // set by CreateMainWindow, cleared at the window's last message

constexpr DWORD kMainWindowStyle = 0x10CF0000;  // WS_VISIBLE | WS_OVERLAPPEDWINDOW; WM_CREATE drops the caption
constexpr UINT kMainClassStyle = CS_DROPSHADOW | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;  // 0x2000B
constexpr DWORD kQuitReportWaitMs = 500;
constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA: part of a drop from a lower-integrity process

const wchar_t kShownVersionText[] = L"1.0.0.8";  // the version shown under the home page

// Outside pages of the support site, opened in the user's browser.
const wchar_t kCustomerServiceUrl[] = L"https://support.tavrin.example/chat";
const wchar_t kHelpUrl[] = L"https://support.tavrin.example/help";
const wchar_t kFeedbackUrl[] = L"https://support.tavrin.example/feedback";
const wchar_t kQuestionUrl[] = L"https://support.tavrin.example/faq";

void OpenInBrowser(const wchar_t* url) {
  ShellExecuteW(nullptr, L"open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

// --- Creation and lifetime ---

CMainWnd::CMainWnd(ClientState& state) : m_state(state) {
  m_reporter = [this](int detail, HANDLE* thread) { return StartUsageReport(m_state, detail, thread); };
}

// The pages stop their own workers as they go.
CMainWnd::~CMainWnd() = default;

const UIChar* CMainWnd::GetWindowClassName() const { return kMainWindowClass; }
const UIChar* CMainWnd::GetSuperClassName() const { return nullptr; }
UINT CMainWnd::GetClassStyle() const { return kMainClassStyle; }
CControlUI* CMainWnd::CreateControl(const UIChar*) { return nullptr; }

LRESULT CMainWnd::OnCreate() {
  HWND window = GetHandle();
  // The skin draws its own caption; the system drop-shadow setting is left
  // as the user has it (the class style asks for this window's shadow).
  LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  style = (style & ~static_cast<LONG_PTR>(WS_CAPTION)) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  SetWindowLongPtrW(window, GWL_STYLE, style);

  BenchMark("wm_create");
  m_pm.InitForWindow(window);
  BenchMark("manager_ready");
  CSkinBuilder builder;
  CControlUI* root = builder.CreateFromSource(UIResourceRef(L"MainWnd.xml"), nullptr, this, &m_pm);
  BenchMark("skin_built");
  if (root == nullptr) {
    DebugTrace(L"main window: cannot build MainWnd.xml");
    return -1;
  }
  m_pm.AttachRootControl(root);
  m_pm.AddNotifier(this);
  if (!FindControls()) return -1;
  BenchMark("pages_bound");

  DragAcceptFiles(window, TRUE);
  // Files dragged from a process of lower integrity arrive only with these two let through.
  ChangeWindowMessageFilter(WM_DROPFILES, MSGFLT_ADD);
  ChangeWindowMessageFilter(kCopyGlobalData, MSGFLT_ADD);
  return 0;
}

void CMainWnd::OnLastMessage(HWND hWnd) {
  CWindowWnd::OnLastMessage(hWnd);
  if (m_state.mainWindow == hWnd) m_state.mainWindow = nullptr;
  if (g_mainWnd == this) g_mainWnd = nullptr;
  PostQuitMessage(0);
  delete this;
}

CMainWnd* GetMainWindow() { return g_mainWnd; }

void DestroyMainWindow() {
  if (g_mainWnd == nullptr) return;
  HWND window = g_mainWnd->GetHandle();
  if (IsWindow(window)) DestroyWindow(window);  // its last message deletes the object
}

bool CreateMainWindow(ClientState& state) {
  CMainWnd* window = new CMainWnd(state);
  g_mainWnd = window;
  StartUsageReport(state, kReportStartup);
  BenchMark("report_started");
  if (window->CreateWithSize(nullptr, kProductTitle, kMainWindowStyle, 0) == nullptr) {
    // A window that got as far as its last message has deleted itself (and
    // cleared the pointer); otherwise the object is still ours to delete.
    if (g_mainWnd == window) delete window;
    g_mainWnd = nullptr;
    return false;
  }
  window->CenterOnOwner();
  BenchMark("window_created");
  return true;
}

// --- Messages ---

LRESULT CMainWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && !m_firstPaintDone) return OnFirstPaint(wParam, lParam);
  switch (message) {
    case WM_CREATE:
      return OnCreate();
    case WM_CLOSE:
      ConfirmQuit(GetHandle());
      return 0;
    case WM_NCHITTEST:
      return OnNcHitTest(lParam);
    case WM_NCACTIVATE:
      if (IsIconic(GetHandle())) break;
      return wParam == FALSE ? TRUE : FALSE;
    case WM_MOUSEMOVE:
      m_textToSpeech.UpdateHoverMenus(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      break;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_KILLFOCUS:
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
    case WM_NCLBUTTONDBLCLK:
      return 0;  // no frame to draw, and a double click on the caption does not maximise
    default:
      if (OnAppMessage(message, wParam, lParam)) return 0;
      break;
  }
  LRESULT result = 0;
  if (m_pm.ProcessMessage(message, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

// The first paint as any other, with its moments for a start-up benchmark;
// after it the start-up fetches go.
LRESULT CMainWnd::OnFirstPaint(WPARAM wParam, LPARAM lParam) {
  m_firstPaintDone = true;
  BenchMark("paint_begin");
  const LRESULT result = HandleMessage(WM_PAINT, wParam, lParam);
  BenchMark("paint_end");
  MainWindowFirstPaint().Open();
  FinishStartupBenchProbe();
  return result;
}

LRESULT CMainWnd::OnNcHitTest(LPARAM lParam) {
  POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ScreenToClient(GetHandle(), &point);
  RECT client;
  GetClientRect(GetHandle(), &client);
  const CUIRect caption = m_pm.GetCaptionRect();
  const bool inCaption = point.x >= client.left + caption.left && point.x < client.right - caption.right &&
                         point.y >= caption.top && point.y < caption.bottom;
  if (!inCaption) return HTCLIENT;
  CControlUI* control = m_pm.FindControlAtPoint(CUIPoint(point.x, point.y));
  if (control == nullptr) return HTCLIENT;
  const UIChar* className = control->GetClassName();
  for (const wchar_t* active : {L"Button", L"Option", L"Text"})
    if (wcscmp(className, active) == 0) return HTCLIENT;
  return HTCAPTION;
}

void CMainWnd::OnDropFiles(HDROP drop) {
  auto* tabMain = ControlAs<CTabLayoutUI>(m_tabMain, L"TabLayout");
  if (tabMain == nullptr || tabMain->GetCurSel() == 0) {
    DragFinish(drop);  // the home page takes no files
    return;
  }
  std::vector<std::wstring> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  // One slot of MAX_PATH characters per file, plus the final empty string.
  std::vector<wchar_t> buffer(static_cast<size_t>(count) * MAX_PATH + 1, L'\0');
  for (UINT i = 0; i < count; ++i) {
    wchar_t* slot = buffer.data() + static_cast<size_t>(i) * MAX_PATH;
    if (DragQueryFileW(drop, i, slot, MAX_PATH) == 0) continue;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(slot, &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    FindClose(search);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    paths.emplace_back(slot);
  }
  DragFinish(drop);
  if (!paths.empty()) m_speechToText.AddRows(paths);
}

bool CMainWnd::OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_APP_ACTIVATE_INSTANCE: BringToFront(); return true;
    case WM_APP_QUIT_CONFIRMED: QuitAfterReport(); return true;
    case WM_APP_MENU_CLICK: OnMenuClick(); return true;
    default: break;
  }
  if (!m_bound) return false;
  for (Page* page : Pages()) {
    if (page->OnAppMessage(message, wParam, lParam)) return true;
  }
  return false;
}

void CMainWnd::BringToFront() {
  HWND window = GetHandle();
  ShowWindow(window, SW_RESTORE);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW);
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW);
  SetForegroundWindow(window);
}

void CMainWnd::QuitAfterReport() {
  ShowWindow(GetHandle(), SW_SHOW);
  ShowWindow(GetHandle(), SW_HIDE);
  HANDLE thread = nullptr;
  if (m_reporter && m_reporter(kReportQuitConfirmed, &thread) && thread != nullptr) {
    OwnedHandle report(thread);
    WaitForSingleObject(report.Get(), kQuitReportWaitMs);
  }
  // Only the message loops end here. The quit question's modal loop runs
  // inside this window's click handling, so the window and its manager must
  // outlive it: the quit leaves that loop (which posts the quit again) and
  // the main loop, and the program destroys the window after both.
  PostQuitMessage(0);
}

void CMainWnd::OnMenuClick() {
  const CUIString name = CMenuWnd::GetClickedItemName();
  const wchar_t* text = name.GetText();
  if (wcscmp(text, L"menuHelp") == 0) OpenInBrowser(kHelpUrl);
  else if (wcscmp(text, L"menuFeedback") == 0) OpenInBrowser(kFeedbackUrl);
  else if (wcscmp(text, L"menuQuestion") == 0) OpenInBrowser(kQuestionUrl);
}

void CMainWnd::Report(int detail) {
  if (m_reporter) m_reporter(detail, nullptr);
}

// --- Controls and reset ---

bool CMainWnd::FindControls() {
  if (m_pm.GetRootControl() == nullptr) return false;
  m_state.mainWindow = GetHandle();
  // Lists delivered before this window could be told are published now;
  // later ones come with their message.
  for (int part = 1; part <= 3; ++part) GetVoiceCatalog().TakeDelivered(part);

  const struct {
    CControlUI** control;
    const wchar_t* name;
  } kControls[] = {
      {&m_versionNumber, L"versionNumber"}, {&m_tabMain, L"tabMain"},
      {&m_tabConvert, L"tabConvert"}, {&m_btnText2AudioShow, L"btnText2AudioShow"},
      {&m_btnVoice2TextShow, L"btnVoice2TextShow"},
  };
  for (const auto& entry : kControls) {
    *entry.control = m_pm.FindControlByName(entry.name);
    if (*entry.control == nullptr) DebugTrace(L"main window: the skin has no control \"%ls\"", entry.name);
  }
  for (Page* page : Pages()) page->Bind();
  m_bound = true;
  ResetPages();
  return true;
}

void CMainWnd::ResetPages() {
  SelectPages(0, 0);
  m_speechToText.Reset();
  m_textToSpeech.Reset();
  SetControlText(m_versionNumber, (std::wstring(L" V ") + kShownVersionText).c_str());
  m_userPanel.Reset();
}

// --- Notifications ---

// Type "click" and the sender's skin name; the first matching row runs.
const NotifyRoute<CMainWnd> CMainWnd::kNotifyRoutes[] = {
    {L"click", L"kefuBtn", false, &CMainWnd::OnCustomerService},
    {L"click", L"closeBtn", false, &CMainWnd::OnCloseButton},
    {L"click", L"minBtn", false, &CMainWnd::OnMinimize},
    {L"click", L"btnMenu", false, &CMainWnd::OnMainMenu},
    {L"click", L"btnReturn", false, &CMainWnd::OnReturnHome},
    {L"click", L"btnShowVoice2Text", false, &CMainWnd::OnShowSpeechToText},
    {L"click", L"btnVoice2TextShow", false, &CMainWnd::OnShowSpeechToText},
    {L"click", L"btnShowText2Voice", false, &CMainWnd::OnShowTextToSpeech},
    {L"click", L"btnText2AudioShow", false, &CMainWnd::OnShowTextToSpeech},
};

void CMainWnd::Notify(UINotify& msg) {
  if (msg.sType.EqualsText(L"windowinit")) BenchMark("laid_out");
  if (msg.pSender == nullptr || !m_bound) return;
  if (DispatchNotify(this, kNotifyRoutes, msg)) return;
  for (Page* page : Pages()) {
    if (page->Notify(msg)) return;
  }
}

void CMainWnd::OnCustomerService(UINotify&) {
  Report(kReportCustomerService);
  OpenInBrowser(kCustomerServiceUrl);
}

void CMainWnd::OnCloseButton(UINotify&) { ConfirmQuit(GetHandle()); }
void CMainWnd::OnMinimize(UINotify&) { ShowWindow(GetHandle(), SW_SHOWMINIMIZED); }

void CMainWnd::OnMainMenu(UINotify& msg) {
  const CUIRect pos = msg.pSender->GetPos();
  POINT at = {pos.left - 35, pos.bottom + 10};
  m_textToSpeech.ShowPopupMenu(L"Menu.xml", at);
}


void CMainWnd::OnReturnHome(UINotify&) {
  // The reset would drop the job of a running conversion or the rows of
  // running recognitions; the user waits for them instead.
  if (IsBusy()) {
    ShowBusyMessage(GetHandle());
    return;
  }
  Report(kReportReturnHome);
  ResetPages();
}

void CMainWnd::OnShowSpeechToText(UINotify&) {
  Report(kReportOpenSpeechToText);
  if (auto* option = ControlAs<COptionUI>(m_btnVoice2TextShow, L"Option")) option->SetSelected(true);
  SelectPages(1, 0);
}

void CMainWnd::OnShowTextToSpeech(UINotify&) {
  Report(kReportOpenTextToSpeech);
  if (auto* option = ControlAs<COptionUI>(m_btnText2AudioShow, L"Option")) option->SetSelected(true);
  SelectPages(1, 1);
  m_textToSpeech.Open();
}

// --- Helpers ---

std::array<Page*, 3> CMainWnd::Pages() { return {&m_userPanel, &m_textToSpeech, &m_speechToText}; }

bool CMainWnd::IsBusy() const { return m_textToSpeech.IsBusy() || m_speechToText.IsBusy() || m_userPanel.IsBusy(); }

void CMainWnd::SelectPages(int mainPage, int convertPage) {
  if (auto* tab = ControlAs<CTabLayoutUI>(m_tabMain, L"TabLayout")) tab->SelectItem(mainPage);
  if (auto* tab = ControlAs<CTabLayoutUI>(m_tabConvert, L"TabLayout")) tab->SelectItem(convertPage);
}
