// CMainWnd: the window itself.
//
// Sections:
//   --- Creation and lifetime ---   class values, WM_CREATE, the last message, CreateMainWindow
//   --- Messages ---                the window procedure and the application messages (1124-1145)
//   --- Controls and reset ---      FindControls, ResetPages, Logout
//   --- Notifications ---           the dispatch table and its handlers
//   --- Helpers ---
#include "app/MainWnd.h"

#include "app/MessageWnd.h"
#include "app/ProductInfo.h"
#include "app/voice/VoiceTypeWnd.h"
#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "core/base/UserMessage.h"
#include "core/catalog/VoiceCatalog.h"
#include "core/client/AccountMessages.h"
#include "core/client/ClientState.h"
#include "core/client/UsageReport.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/SliderUI.h"
#include "ui/controls/TabLayoutUI.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/combo/ComboUI.h"
#include "ui/controls/menu/MenuWnd.h"
#include "ui/controls/richedit/RichEditUI.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>

using namespace Trellis;

namespace {

CMainWnd* g_mainWnd = nullptr;  // set by CreateMainWindow, cleared at the window's last message

constexpr DWORD kMainWindowStyle = 0x10CF0000;  // WS_VISIBLE | WS_OVERLAPPEDWINDOW; WM_CREATE drops the caption
constexpr UINT kMainClassStyle = CS_DROPSHADOW | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;  // 0x2000B
constexpr DWORD kQuitReportWaitMs = 500;
constexpr int kEditorLimit = 5000;
constexpr int kMaxPauseMarks = 10;
constexpr int kDefaultVoiceType = 100510000;
constexpr int kEmotionStep = 40;
constexpr int kEmotionScrollMin = -160;
constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA: part of a drop from a lower-integrity process

const wchar_t kMessageBusy[] = L"转换中，请稍后再试！";
const wchar_t kMessageNoMusic[] = L"请先设置背景音乐！";
const wchar_t kMessageTooManyPauses[] = L"插入间隔最大为10个";
const wchar_t kMessageEmotionVoiceTooLong[] =
    L"抱歉，多情绪主播只支持150字内文本转换！请点击“更换主播”按钮选择“非多情绪”主播";
const wchar_t kPauseMark[] = L"break time=";
const wchar_t kShownVersionText[] = L"1.0.0.8";  // the version shown under the home page

// Outside pages of the support site, opened in the user's browser.
const wchar_t kCustomerServiceUrl[] = L"https://support.tavrin.example/chat";
const wchar_t kHelpUrl[] = L"https://support.tavrin.example/help";
const wchar_t kFeedbackUrl[] = L"https://support.tavrin.example/feedback";
const wchar_t kQuestionUrl[] = L"https://support.tavrin.example/faq";

template <typename T>
T* As(CControlUI* control, const wchar_t* interfaceName) {
  return control != nullptr ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
}

void OpenInBrowser(const wchar_t* url) {
  ShellExecuteW(nullptr, L"open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

int CountOccurrences(const std::wstring& text, const wchar_t* needle) {
  const size_t length = wcslen(needle);
  int count = 0;
  for (size_t at = text.find(needle); at != std::wstring::npos; at = text.find(needle, at + length)) ++count;
  return count;
}

std::wstring DesktopFolder() {
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE)) return std::wstring();
  return path;
}

std::wstring LongTempFolder() {
  wchar_t shortPath[MAX_PATH + 1] = {};
  wchar_t longPath[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, shortPath);
  if (n == 0 || n > MAX_PATH) return std::wstring();
  const DWORD m = GetLongPathNameW(shortPath, longPath, MAX_PATH + 1);
  return (m == 0 || m > MAX_PATH) ? std::wstring(shortPath) : std::wstring(longPath);
}

}  // namespace

bool CutTextToLimit(std::wstring& text, size_t limit) {
  if (text.size() <= limit) return false;
  text.resize(limit);
  return true;
}

int VoiceTypeForComboItem(const std::wstring& text, int index) {
  static const struct {
    const wchar_t* text;
    int voiceType;
  } kNamed[] = {
      {L"智逍遥，阅读男声", 100510000},
      {L"智川，四川女声", 101040},
      {L"WeJack，英文男声", 101050},
      {L"WeRose，英文女声", 101051},
  };
  for (const auto& item : kNamed)
    if (text == item.text) return item.voiceType;
  return 101000 + index;
}

// --- Creation and lifetime ---

CMainWnd::CMainWnd(ClientState& state) : m_state(state) {
  m_reporter = [this](int detail, HANDLE* thread) { return StartUsageReport(m_state, detail, thread); };
}

CMainWnd::~CMainWnd() {
  StopRecognitions();
  StopTtsWork();
  // The other pages' worker threads end on their own; we only drop our handles.
  for (HANDLE* thread : {&m_conversionThread, &m_taskThread, &m_playbackThread, &m_lastV2tThread}) {
    OwnedHandle owned(*thread);
    *thread = nullptr;
  }
}

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

  m_pm.InitForWindow(window);
  CSkinBuilder builder;
  CControlUI* root = builder.CreateFromSource(UIResourceRef(L"MainWnd.xml"), nullptr, this, &m_pm);
  if (root == nullptr) {
    DebugTrace(L"main window: cannot build MainWnd.xml");
    return -1;
  }
  m_pm.AttachRootControl(root);
  m_pm.AddNotifier(this);
  if (!FindControls()) return -1;

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
  if (window->CreateWithSize(nullptr, kProductTitle, kMainWindowStyle, 0) == nullptr) {
    // A window that got as far as its last message has deleted itself (and
    // cleared the pointer); otherwise the object is still ours to delete.
    if (g_mainWnd == window) delete window;
    g_mainWnd = nullptr;
    return false;
  }
  window->CenterOnOwner();
  return true;
}

// --- Messages ---

LRESULT CMainWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
      UpdateHoverMenus(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
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
  auto* tabMain = As<CTabLayoutUI>(m_tabMain, L"TabLayout");
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
  if (!paths.empty()) AddRows(paths);
}

bool CMainWnd::OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_APP_ACTIVATE_INSTANCE: BringToFront(); return true;
    case WM_APP_QUIT_CONFIRMED: QuitAfterReport(); return true;
    case WM_APP_LOGIN_CHANGED: RefreshUserPanel(); return true;
    case WM_APP_START_LISTEN_TEST: ListenTest(); return true;
    case WM_APP_PLAYBACK_DONE:
      if (!OnPlaybackDone(wParam)) return true;
      ShowControl(m_btnPlayVoice, true);
      ShowControl(m_playVoiceGif, false);
      if (auto* button = As<CButtonUI>(m_btnPlayVoice, L"Button")) {
        button->SetNormalImage(L"file='img/ListenTestBtn.png' source='0,0,152,50'");
        button->SetHotImage(L"file='img/ListenTestBtn.png' source='0,50,152,100'");
        button->SetPushedImage(L"file='img/ListenTestBtn.png' source='0,100,152,150'");
      }
      return true;
    case WM_APP_VOICE_CHOSEN:
      OnVoiceChosen(reinterpret_cast<const VoiceInfo*>(wParam), lParam == 1);
      return true;
    case WM_APP_CATALOG_LOADED: RefreshCatalog(static_cast<int>(wParam)); return true;
    case WM_APP_V2T_STATUS:
      OnRowStatus(reinterpret_cast<Voice2TextJob*>(wParam), static_cast<int>(lParam));
      return true;
    case WM_APP_LOGOUT: Logout(); return true;
    case WM_APP_INIT_PARAMS_LOADED: RefreshUserPanel(); return true;
    case WM_APP_SHOW_LOGIN: ShowLogin(); return true;
    case WM_APP_MENU_CLICK: OnMenuClick(); return true;
    default: return OnTtsMessage(message, wParam, lParam);
  }
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

void CMainWnd::OnVoiceChosen(const VoiceInfo* voice, bool takeExampleText) {
  if (voice == nullptr) return;
  m_currentVoice = *voice;
  ApplyVoice(m_currentVoice);
  if (takeExampleText && m_editor != nullptr) {
    m_editor->SetText(L"");
    if (auto* editor = As<CRichEditUI>(m_editor, L"RichEdit")) editor->AppendText(m_currentVoice.text.c_str());
  }
}

void CMainWnd::OnRowStatus(Voice2TextJob* job, int status) {
  // The job names the row: rows may have been removed since the thread
  // started, so a row number would point at the wrong row or past the list.
  bool known = false;
  for (const auto& row : m_v2tRows) known = known || row.get() == job;
  if (!known) return;  // a job whose row is gone: nothing to show
  if (auto* list = As<CContainerUI>(m_listVoice, L"Container")) {
    for (int i = 0; i < list->GetCount(); ++i) {
      CControlUI* item = list->GetItemAt(i);
      if (item != nullptr && item->GetTag() == reinterpret_cast<uintptr_t>(job)) {
        ShowRowStatus(item, *job, status);
        break;
      }
    }
  }
  if (status > kV2tConverting && m_v2tRunning <= 0) {
    ShowControl(m_btnVoice2Text, true);
    ShowControl(m_gifVoice2Text, false);
  }
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

  m_job = std::make_unique<ConvertJob>();
  m_job->volume = 0;
  m_job->bgmVolumeDb = 0;
  m_job->speed = 0;
  m_job->bgmTailSeconds = 0;
  m_job->bgmLeadSeconds = 0;
  m_job->taskDone = false;
  m_job->resultValid = false;
  m_job->messageOwner = GetHandle();

  const struct {
    CControlUI** control;
    const wchar_t* name;
  } kControls[] = {
      {&m_optionEmotion1, L"OptionEmotion1"}, {&m_btnPolyphone, L"btnPolyphone"},
      {&m_btnInterval, L"btnInterval"}, {&m_versionNumber, L"versionNumber"},
      {&m_btnLogin, L"btnLogin"}, {&m_btnLogout, L"btnLogout"},
      {&m_showInfoBtn, L"showInfoBtn"}, {&m_closeBtn, L"closeBtn"},
      {&m_loginSucessLayout, L"loginSucessLayout"}, {&m_tabMain, L"tabMain"},
      {&m_tabConvert, L"tabConvert"}, {&m_btnText2AudioShow, L"btnText2AudioShow"},
      {&m_btnVoice2TextShow, L"btnVoice2TextShow"}, {&m_btnVoice2Text, L"btnVoice2Text"},
      {&m_gifVoice2Text, L"gifVoice2Text"}, {&m_listVoice, L"listVoice"},
      {&m_voiceListLayout, L"voiceListLayout"}, {&m_voiceLayout, L"voiceLayout"},
      {&m_savePathEdit, L"savePathEdit"}, {&m_chinese, L"chinese"},
      {&m_optionSaveOri, L"optionSaveOri"}, {&m_lblAnchorFace, L"lblAnchorFace"},
      {&m_lblAnchorName, L"lblAnchorName"}, {&m_lblAnchorDes, L"lblAnchorDes"},
      {&m_hLayoutEmotion, L"hLayoutEmotion"}, {&m_tileEmotion, L"tileEmotion"},
      {&m_editor, L"editText2Vioce"}, {&m_hLayoutMainEmotion, L"hLayoutMainEmotion"},
      {&m_sliderVolume, L"sliderVolume"}, {&m_sliderSpeed, L"sliderSpeed"},
      {&m_volumeLabel, L"volumeLabel"}, {&m_lblBgmName, L"lblBgmName"},
      {&m_sliderBgmVolume, L"sliderBgmVolume"}, {&m_volumeBgmLabel, L"volumeBgmLabel"},
      {&m_delBgmBtn, L"delBgmBtn"}, {&m_speedLabel, L"speedLabel"},
      {&m_textCount, L"textCount"}, {&m_btnCleanText, L"btnCleanText"},
      {&m_btnPlayVoice, L"btnPlayVoice"}, {&m_playVoiceGif, L"playVoiceGif"},
      {&m_btnConvertText2Voice, L"btnConvertText2Voice"}, {&m_gifConvert, L"gifConvert"},
      {&m_savePathVoice, L"savePathVoice"}, {&m_lblBgm, L"lblBgm"},
      {&m_lblBgm1, L"lblBgm1"}, {&m_lblText, L"lblText"},
      {&m_lblText1, L"lblText1"}, {&m_anchorTypeCombo, L"anchorTypeCombo"},
  };
  for (const auto& entry : kControls) {
    *entry.control = Find(entry.name);
    if (*entry.control == nullptr) DebugTrace(L"main window: the skin has no control \"%ls\"", entry.name);
  }

  ShowControl(m_voiceLayout, true);
  ShowControl(m_listVoice, false);
  ShowControl(m_voiceListLayout, false);
  ResetPages();
  return true;
}

void CMainWnd::ResetPages() {
  SelectPages(0, 0);
  ShowControl(m_btnVoice2Text, true);
  ShowControl(m_gifVoice2Text, false);

  m_job->bgmWorkName = L"8653098e927d70120c140047a120439aBgm.mp3";
  m_job->codec = L"mp3";
  m_job->lastResultPath.clear();
  m_job->bgmSourcePath.clear();

  auto* editor = As<CRichEditUI>(m_editor, L"RichEdit");
  if (m_editor != nullptr) m_editor->SetText(L"");
  if (editor != nullptr) editor->SetEventMask(ENM_CHANGE);  // every edit sends "textchanged"

  SetSlider(m_sliderVolume, m_volumeLabel, 4);
  SetSlider(m_sliderSpeed, m_speedLabel, 4);
  SetSlider(m_sliderBgmVolume, m_volumeBgmLabel, 10);
  SetText(m_textCount, L"0/5000");
  SetText(m_lblBgm, L"0秒");
  SetText(m_lblBgm1, L"文本播报结束后， <c #5b7af2>0<c> <c #999999>秒后背景音乐停止<c>");
  SetText(m_lblText, L"0秒");
  SetText(m_lblText1, L"背景音乐播报  <c #5b7af2>0<c> <c #999999>秒后，开始播报文本<c>");

  if (m_editor != nullptr) m_editor->SetShortcut(L'K');
  ShowControl(m_btnPlayVoice, true);
  if (auto* combo = As<CComboUI>(m_anchorTypeCombo, L"Combo")) combo->SelectItem(0, false, true);

  m_job->voiceType = kDefaultVoiceType;
  m_job->volume = 4;
  m_job->speed = 4;
  m_job->bgmVolumeDb = 0;
  m_job->bgmTailSeconds = 0;
  m_job->bgmLeadSeconds = 0;
  OnAppMessage(WM_APP_PLAYBACK_DONE, 0, 0);  // the listen button's images and state
  ShowControl(m_btnConvertText2Voice, true);
  ShowControl(m_gifConvert, false);

  const std::wstring desktop = DesktopFolder();
  SetText(m_savePathEdit, (m_state.driveUrlV2W.empty() ? desktop : m_state.driveUrlV2W).c_str());
  const std::wstring ttsFolder = m_state.driveUrlW2V.empty() ? desktop : m_state.driveUrlW2V;
  SetText(m_savePathVoice, ttsFolder.c_str());
  m_job->outputFolder = ttsFolder;

  m_job->text.clear();
  m_job->tempFolder = LongTempFolder();

  if (auto* option = As<COptionUI>(m_chinese, L"Option")) option->SetSelected(true);
  if (auto* option = As<COptionUI>(m_optionSaveOri, L"Option")) option->SetSelected(true);
  m_v2tOutputFolder.clear();
  m_v2tModel = L"16k_zh";
  m_v2tFormat.clear();

  // Reset is refused while rows run (see OnReturnHome), so no thread still uses these jobs.
  if (auto* list = As<CContainerUI>(m_listVoice, L"Container")) list->RemoveAllItems();
  m_v2tRows.clear();
  ShowControl(m_voiceLayout, true);
  ShowControl(m_listVoice, false);
  ShowControl(m_voiceListLayout, false);

  m_audioExtensions = {L".mp3", L".wav", L".m4a"};

  ShowControl(m_hLayoutEmotion, false);
  RefreshCatalog(2);
  RefreshCatalog(3);
  m_polyphoneMenu = nullptr;
  m_intervalMenu = nullptr;
  m_polyphoneMenuWindow = nullptr;
  m_intervalMenuWindow = nullptr;

  SetText(m_versionNumber, (std::wstring(L" V ") + kShownVersionText).c_str());
  RefreshUserPanel();
}

void CMainWnd::Logout() {
  const bool saved = m_state.UpdateAccountRecord([](AccountRecord& record) { record.loggedIn = 0; });
  // Unsaved, the record is still signed in, as the file is: the panel shows that.
  RefreshUserPanel();
  if (!saved) {
    ShowUserMessage(GetHandle(), kAccountMessageLogoutNotSaved);
    return;
  }
  ShowControl(m_loginSucessLayout, false);
}

// --- Notifications ---

// Type "click", "selectchanged", ... and the sender's skin name; the first matching row runs.
const CMainWnd::NotifyRoute CMainWnd::kNotifyRoutes[] = {
    // Window frame and home page
    {L"click", L"kefuBtn", false, &CMainWnd::OnCustomerService},
    {L"click", L"closeBtn", false, &CMainWnd::OnCloseButton},
    {L"click", L"minBtn", false, &CMainWnd::OnMinimize},
    {L"click", L"btnMenu", false, &CMainWnd::OnMainMenu},
    {L"click", L"btnLogin", false, &CMainWnd::OnLoginButton},
    {L"click", L"btnLogout", false, &CMainWnd::OnLogoutButton},
    {L"click", L"btnUserLogout", false, &CMainWnd::OnLogoutButton},
    {L"click", L"showInfoBtn", false, &CMainWnd::OnShowInfo},
    {L"click", L"btnReturn", false, &CMainWnd::OnReturnHome},
    {L"click", L"btnShowVoice2Text", false, &CMainWnd::OnShowSpeechToText},
    {L"click", L"btnVoice2TextShow", false, &CMainWnd::OnShowSpeechToText},
    {L"click", L"btnShowText2Voice", false, &CMainWnd::OnShowTextToSpeech},
    {L"click", L"btnText2AudioShow", false, &CMainWnd::OnShowTextToSpeech},
    // Text-to-speech page
    {L"click", L"btnLeftEmotion", false, &CMainWnd::OnEmotionLeft},
    {L"click", L"btnRightEmotion", false, &CMainWnd::OnEmotionRight},
    {L"click", L"btnPlayVoice", false, &CMainWnd::OnPlayVoice},
    {L"click", L"btnSliderVolumeReset", false, &CMainWnd::OnVolumeReset},
    {L"click", L"btnSliderSpeedReset", false, &CMainWnd::OnSpeedReset},
    {L"click", L"btnSliderBgmVolumeReset", false, &CMainWnd::OnBgmVolumeReset},
    {L"click", L"btnChangeBgm", false, &CMainWnd::OnChangeBgm},
    {L"click", L"delBgmBtn", false, &CMainWnd::OnDeleteBgm},
    {L"click", L"btnBgmMinus", false, &CMainWnd::OnBgmMinus},
    {L"click", L"btnBgmPlus", false, &CMainWnd::OnBgmPlus},
    {L"click", L"btnTextMinus", false, &CMainWnd::OnTextMinus},
    {L"click", L"btnTextPlus", false, &CMainWnd::OnTextPlus},
    {L"click", L"btnChangeAnchor", false, &CMainWnd::OnChangeAnchor},
    {L"click", L"btnImport", false, &CMainWnd::OnImport},
    {L"click", L"btnPolyphone", false, &CMainWnd::OnPolyphone},
    {L"click", L"btnInterval", true, &CMainWnd::OnInterval},
    {L"click", L"btnCleanText", false, &CMainWnd::OnCleanText},
    {L"click", L"btnChangePath", false, &CMainWnd::OnChangePath},
    {L"click", L"btnConvertText2Voice", false, &CMainWnd::OnConvert},
    // Speech-to-text page
    {L"click", L"btnAddVoiceMid", false, &CMainWnd::OnAddFiles},
    {L"click", L"btnAddFile", false, &CMainWnd::OnAddFiles},
    {L"click", L"btnAddDir", false, &CMainWnd::OnAddFolder},
    {L"click", L"btnMoveFile", false, &CMainWnd::RemoveRow},
    {L"click", L"btnSingleVocie2Text", false, &CMainWnd::StartRow},
    {L"click", L"btnVoice2Text", false, &CMainWnd::OnStartAll},
    {L"click", L"btnOpenFile", false, &CMainWnd::OpenResultFile},
    {L"click", L"btnOpenPath", false, &CMainWnd::OpenResultFolder},
    {L"click", L"btnChangeVoicePath", false, &CMainWnd::OnChangeVoicePath},
    // Sliders (both while dragging and at the end) and the editor
    {L"valuechanged", L"sliderVolume", false, &CMainWnd::OnSliderChanged},
    {L"valuechanged", L"sliderSpeed", false, &CMainWnd::OnSliderChanged},
    {L"valuechanged", L"sliderBgmVolume", false, &CMainWnd::OnSliderChanged},
    {L"movevaluechanged", L"sliderVolume", false, &CMainWnd::OnSliderChanged},
    {L"movevaluechanged", L"sliderSpeed", false, &CMainWnd::OnSliderChanged},
    {L"movevaluechanged", L"sliderBgmVolume", false, &CMainWnd::OnSliderChanged},
    {L"textchanged", L"editText2Vioce", false, &CMainWnd::OnTextChanged},
    // Options
    {L"selectchanged", L"optMp3", false, &CMainWnd::OnFormatChanged},
    {L"selectchanged", L"optWav", false, &CMainWnd::OnFormatChanged},
    {L"selectchanged", L"optPcm", false, &CMainWnd::OnFormatChanged},
    {L"selectchanged", L"OptionEmotion", true, &CMainWnd::OnEmotionChanged},
    {L"selectchanged", L"optionSaveOri", false, &CMainWnd::OnSaveBesideSource},
    {L"selectchanged", L"optionSaveUser", false, &CMainWnd::OnSaveToFolder},
    {L"selectchanged", L"chinese", false, &CMainWnd::OnModelChanged},
    {L"selectchanged", L"english", false, &CMainWnd::OnModelChanged},
    {L"selectchanged", L"optTxt", false, &CMainWnd::OnOutputFormatChanged},
    {L"selectchanged", L"optDoc", false, &CMainWnd::OnOutputFormatChanged},
    {L"selectchanged", L"optDocx", false, &CMainWnd::OnOutputFormatChanged},
    {L"itemselect", L"anchorTypeCombo", false, &CMainWnd::OnVoiceTypeSelected},
};

void CMainWnd::Notify(UINotify& msg) {
  if (msg.pSender == nullptr || m_job == nullptr) return;
  const CUIString name = msg.pSender->GetName();
  const wchar_t* sender = name.GetText();
  const wchar_t* type = msg.sType.GetText();
  for (const NotifyRoute& route : kNotifyRoutes) {
    if (wcscmp(type, route.type) != 0) continue;
    const bool matches = route.contains ? wcsstr(sender, route.sender) != nullptr : wcscmp(sender, route.sender) == 0;
    if (!matches) continue;
    (this->*route.handler)(msg);
    return;
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
  ShowPopupMenu(L"Menu.xml", at);
}

void CMainWnd::OnLoginButton(UINotify&) { ShowLogin(); }
void CMainWnd::OnLogoutButton(UINotify&) { Logout(); }
void CMainWnd::OnShowInfo(UINotify&) { ShowPersonalCenter(); }

void CMainWnd::OnReturnHome(UINotify&) {
  // The reset would drop the job of a running conversion or the rows of
  // running recognitions; the user waits for them instead.
  if (IsBusy()) {
    ShowBusyMessage();
    return;
  }
  Report(kReportReturnHome);
  ResetPages();
}

void CMainWnd::OnShowSpeechToText(UINotify&) {
  Report(kReportOpenSpeechToText);
  if (auto* option = As<COptionUI>(m_btnVoice2TextShow, L"Option")) option->SetSelected(true);
  SelectPages(1, 0);
}

void CMainWnd::OnShowTextToSpeech(UINotify&) {
  Report(kReportOpenTextToSpeech);
  if (auto* option = As<COptionUI>(m_btnText2AudioShow, L"Option")) option->SetSelected(true);
  SelectPages(1, 1);
  const VoiceCatalog& catalog = GetVoiceCatalog();
  if (!catalog.voices.empty()) {
    Report(kReportVoiceTaken);
    m_currentVoice = catalog.voices.front();
    ApplyVoice(m_currentVoice);
  }
  // The page opens with the caret in the editor.
  if (m_editor != nullptr) m_pm.SetFocusControl(m_editor);
}

void CMainWnd::OnEmotionLeft(UINotify&) {
  if (m_hLayoutMainEmotion == nullptr) return;
  CUIRect padding = m_hLayoutMainEmotion->GetPadding();
  if (padding.left < 0) {
    padding.left += kEmotionStep;
    m_hLayoutMainEmotion->SetPadding(padding);
  }
}

void CMainWnd::OnEmotionRight(UINotify&) {
  if (m_hLayoutMainEmotion == nullptr || m_tileEmotion == nullptr || !m_tileEmotion->IsVisible()) return;
  CUIRect padding = m_hLayoutMainEmotion->GetPadding();
  if (padding.left > kEmotionScrollMin) {
    padding.left -= kEmotionStep;
    m_hLayoutMainEmotion->SetPadding(padding);
  }
}

void CMainWnd::OnPlayVoice(UINotify&) {
  Report(kReportListenTest);
  if (IsConverting()) {
    ShowBusyMessage();
    return;
  }
  ListenTest();
}

// The reset buttons show the middle of the slider but send 0: the service's
// own default, until the slider is moved again.
void CMainWnd::OnVolumeReset(UINotify&) {
  SetSlider(m_sliderVolume, m_volumeLabel, 4);
  m_job->volume = 0;
  ClearCache();
}

void CMainWnd::OnSpeedReset(UINotify&) {
  SetSlider(m_sliderSpeed, m_speedLabel, 4);
  m_job->speed = 0;
  ClearCache();
}

void CMainWnd::OnBgmVolumeReset(UINotify&) {
  SetSlider(m_sliderBgmVolume, m_volumeBgmLabel, 10);
  m_job->bgmVolumeDb = 0;
  ClearCache();
}

void CMainWnd::OnChangeBgm(UINotify&) {
  Report(kReportBackgroundMusic);
  ChooseBackgroundMusic();
  ClearCache();
}

void CMainWnd::OnDeleteBgm(UINotify&) {
  m_job->bgmDisplayName.clear();
  m_job->bgmSourcePath.clear();
  if (m_lblBgmName != nullptr) {
    m_lblBgmName->SetToolTip(L"背景音乐");
    m_lblBgmName->SetText(L"背景音乐");
  }
  ShowControl(m_delBgmBtn, false);
  ClearCache();
}

void CMainWnd::OnBgmMinus(UINotify&) {
  if (RefuseWithoutMusic()) return;
  SetTailDelay(m_job->bgmTailSeconds - 1);
  ClearCache();
}

void CMainWnd::OnBgmPlus(UINotify&) {
  if (RefuseWithoutMusic()) return;
  SetTailDelay(m_job->bgmTailSeconds + 1);
  ClearCache();
}

void CMainWnd::OnTextMinus(UINotify&) {
  if (RefuseWithoutMusic()) return;
  SetLeadDelay(m_job->bgmLeadSeconds - 1);
  ClearCache();
}

void CMainWnd::OnTextPlus(UINotify&) {
  if (RefuseWithoutMusic()) return;
  SetLeadDelay(m_job->bgmLeadSeconds + 1);
  ClearCache();
}

void CMainWnd::OnChangeAnchor(UINotify&) {
  Report(kReportVoiceChange);
  VoicePickerSetup setup;
  setup.catalog = &GetVoiceCatalog();
  setup.client = &m_state.httpClient;
  setup.currentVoiceType = m_job != nullptr ? m_job->voiceType : 0;
  setup.sampleFolder = m_job != nullptr ? m_job->tempFolder : std::wstring();
  setup.report = [this](int detail) { Report(detail); };
  // Modal; a voice used in it arrives afterwards as WM_APP_VOICE_CHOSEN.
  m_pickerHoldsCatalog = true;
  ShowVoicePicker(GetHandle(), std::move(setup));
  m_pickerHoldsCatalog = false;
  // Parts loaded while it was open are announced again, after the voice it
  // may have posted, whose record still lies in the list it was taken from.
  for (int part = 1; part <= 3; ++part) {
    if (m_heldCatalogParts & (1u << part)) PostMessageW(GetHandle(), WM_APP_CATALOG_LOADED, part, 0);
  }
  m_heldCatalogParts = 0;
  ClearCache();
}

void CMainWnd::OnImport(UINotify&) {
  ImportText();
  FocusEditor();
  ClearCache();
}

void CMainWnd::OnPolyphone(UINotify&) {
  CloseHoverMenu(m_polyphoneMenu, m_polyphoneMenuWindow);
  // The reading is typed between "[=" and "]".
  InsertMark(L"[=]", 1);
  ClearCache();
}

void CMainWnd::OnInterval(UINotify& msg) {
  if (CountPauseMarks() >= kMaxPauseMarks) {
    ShowMessageModeless(kMessageTooManyPauses, false, GetHandle());
    return;
  }
  CloseHoverMenu(m_intervalMenu, m_intervalMenuWindow);
  const CUIString& pause = msg.pSender->GetUserData();
  if (pause.IsEmpty() || wcscmp(pause.GetText(), L"0") == 0) return;  // the menu's opener, not an item
  const std::wstring tag = std::wstring(L"<break time=\"") + pause.GetText() + L"\"/>";
  InsertMark(tag.c_str(), 0);
  ClearCache();
}

void CMainWnd::OnCleanText(UINotify&) {
  if (m_editor != nullptr) m_editor->SetText(L"");
  FocusEditor();
  ClearCache();
}

void CMainWnd::InsertMark(const wchar_t* mark, long caretBack) {
  auto* editor = As<CRichEditUI>(m_editor, L"RichEdit");
  if (editor == nullptr) return;
  CHARRANGE before = {};
  editor->GetSel(before);
  editor->ReplaceSel(mark, false);  // its "textchanged" applies the limit
  FocusEditor();
  CHARRANGE after = {};
  editor->GetSel(after);
  // Only where the whole mark went in (the limit may have refused part of it
  // and put the caret at the end).
  const long end = before.cpMin + static_cast<long>(wcslen(mark));
  if (caretBack > 0 && after.cpMin == end && after.cpMax == end) editor->SetSel(end - caretBack, end - caretBack);
}

void CMainWnd::FocusEditor() {
  if (m_editor != nullptr && m_editor->IsVisible()) m_pm.SetFocusControl(m_editor, true);
}

void CMainWnd::OnChangePath(UINotify&) {
  const std::wstring folder = ChooseFolder();
  if (folder.empty()) return;
  SetText(m_savePathVoice, folder.c_str());
  const CUIString shown = m_savePathVoice != nullptr ? m_savePathVoice->GetText() : CUIString(folder.c_str());
  WritePrivateProfileStringW(L"soft", L"DriveUrlW2V", shown.GetText(), m_state.iniPath.c_str());
  m_state.driveUrlW2V = folder;
  m_job->outputFolder = folder;
}

void CMainWnd::OnConvert(UINotify&) {
  m_job->resultValid = false;
  if (CountPauseMarks() > kMaxPauseMarks) {
    ShowMessageModeless(kMessageTooManyPauses, false, GetHandle());
    return;
  }
  if (m_currentVoice.isEmotion && EditorText().size() > 150) {
    ShowMessageModal(kMessageEmotionVoiceTooLong, false, GetHandle());
    return;
  }
  if (IsConverting()) {
    ShowBusyMessage();
    return;
  }
  Report(kReportTextToSpeechStart);
  StartConversion();
}

void CMainWnd::OnAddFiles(UINotify&) { AddAudioFiles(); }
void CMainWnd::OnAddFolder(UINotify&) { AddAudioFolder(); }
void CMainWnd::OnStartAll(UINotify&) { StartAllRows(); }

void CMainWnd::OnChangeVoicePath(UINotify&) {
  auto* option = As<COptionUI>(Find(L"optionSaveUser"), L"Option");
  if (option == nullptr) return;
  option->SetSelected(true);
  if (option->IsSelected()) ChooseRecognitionFolder();
}

void CMainWnd::OnSliderChanged(UINotify& msg) {
  auto* slider = As<CSliderUI>(msg.pSender, L"Slider");
  if (slider == nullptr) return;
  const int value = slider->GetValue();
  wchar_t text[16];
  swprintf(text, 16, L"%d", value);
  if (msg.pSender == m_sliderVolume) {
    SetText(m_volumeLabel, text);
    m_job->volume = value;
  } else if (msg.pSender == m_sliderSpeed) {
    SetText(m_speedLabel, text);
    m_job->speed = value;
  } else if (msg.pSender == m_sliderBgmVolume) {
    SetText(m_volumeBgmLabel, text);
    m_job->bgmVolumeDb = value - 20;  // slider 1..20 is a gain of -19..0 dB
  }
  ClearCache();
}

void CMainWnd::OnTextChanged(UINotify&) {
  ApplyTextLimit();
  ClearCache();
}

void CMainWnd::ApplyTextLimit() {
  auto* editor = As<CRichEditUI>(m_editor, L"RichEdit");
  if (editor == nullptr) return;
  editor->SetLimitText(kEditorLimit);
  long length = editor->GetTextLength();
  if (length > kEditorLimit) {
    std::wstring text = editor->GetText().GetText();
    if (CutTextToLimit(text, kEditorLimit)) {
      // Writing the cut text back is an edit too: the window does not hear
      // of its own cut, so it is not cut (and counted) again from inside.
      const DWORD mask = editor->GetEventMask();
      editor->SetEventMask(mask & ~static_cast<DWORD>(ENM_CHANGE));
      editor->SetText(text.c_str());
      editor->SetEventMask(mask);
      length = editor->GetTextLength();
      editor->SetSel(length, length);
    }
  }
  wchar_t count[32];
  swprintf(count, 32, L"%ld/5000", length);
  SetText(m_textCount, count);
}

void CMainWnd::OnFormatChanged(UINotify& msg) {
  const CUIString name = msg.pSender->GetName();
  if (name.EqualsText(L"optMp3")) m_job->codec = L"mp3";
  else if (name.EqualsText(L"optWav")) m_job->codec = L"wav";
  else m_job->codec = L"pcm";
  ClearCache();
}

void CMainWnd::OnEmotionChanged(UINotify& msg) {
  ClearCache();
  Report(kReportEmotionChosen);
  m_job->emotion = msg.pSender->GetUserData().GetText();
  if (msg.pSender != m_optionEmotion1 && m_optionEmotion1 != nullptr)
    m_optionEmotion1->SetAttribute(L"normalimage", L"file='img/neutral.png' dest='8,0,34,26'");
}

void CMainWnd::OnSaveBesideSource(UINotify&) { m_v2tOutputFolder.clear(); }

void CMainWnd::OnSaveToFolder(UINotify&) {
  m_v2tOutputFolder = m_savePathEdit != nullptr ? m_savePathEdit->GetText().GetText() : L"";
}

void CMainWnd::OnModelChanged(UINotify& msg) {
  m_v2tModel = msg.pSender->GetName().EqualsText(L"english") ? L"16k_en" : L"16k_zh";
}

void CMainWnd::OnOutputFormatChanged(UINotify& msg) {
  const CUIString name = msg.pSender->GetName();
  if (name.EqualsText(L"optDoc")) m_v2tFormat = L"doc";
  else if (name.EqualsText(L"optDocx")) m_v2tFormat = L"docx";
  else m_v2tFormat.clear();
}

void CMainWnd::OnVoiceTypeSelected(UINotify& msg) {
  auto* combo = As<CComboUI>(msg.pSender, L"Combo");
  if (combo == nullptr) return;
  const int index = combo->GetCurSel();
  const CUIString text = combo->GetText();
  m_job->voiceType = VoiceTypeForComboItem(text.GetText(), index < 0 ? 0 : index);
  ClearCache();
}

// --- Helpers ---

CControlUI* CMainWnd::Find(const wchar_t* name) const { return m_pm.FindControlByName(name); }

void CMainWnd::SetText(CControlUI* control, const wchar_t* text) {
  if (control != nullptr) control->SetText(text);
}

void CMainWnd::ShowControl(CControlUI* control, bool visible) {
  if (control != nullptr) control->SetVisible(visible);
}

void CMainWnd::SetSlider(CControlUI* slider, CControlUI* label, int value) {
  if (auto* control = As<CSliderUI>(slider, L"Slider")) control->SetValue(value);
  wchar_t text[16];
  swprintf(text, 16, L"%d", value);
  SetText(label, text);
}

void CMainWnd::ClearCache() {
  ++m_settingsGeneration;
  m_job->taskDone = false;
  m_job->resultValid = false;
}

// The animation's own flag: it lies on the text-to-speech page, and a
// conversion goes on running while another page is shown.
bool CMainWnd::IsConverting() const { return m_gifConvert != nullptr && m_gifConvert->IsSetVisible(); }

bool CMainWnd::IsBusy() const { return IsConverting() || m_v2tRunning > 0; }

std::wstring CMainWnd::EditorText() const {
  return m_editor != nullptr ? std::wstring(m_editor->GetText().GetText()) : std::wstring();
}

int CMainWnd::CountPauseMarks() const { return CountOccurrences(EditorText(), kPauseMark); }

bool CMainWnd::RefuseWithoutMusic() {
  if (!m_job->bgmSourcePath.empty()) return false;
  ShowMessageModal(kMessageNoMusic, false, GetHandle());
  return true;
}

void CMainWnd::ShowBusyMessage() { ShowMessageModal(kMessageBusy, false, GetHandle()); }

void CMainWnd::SelectPages(int mainPage, int convertPage) {
  if (auto* tab = As<CTabLayoutUI>(m_tabMain, L"TabLayout")) tab->SelectItem(mainPage);
  if (auto* tab = As<CTabLayoutUI>(m_tabConvert, L"TabLayout")) tab->SelectItem(convertPage);
}
