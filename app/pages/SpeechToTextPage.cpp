// SpeechToTextPage: the speech-to-text page.
//
// Sections:
//   --- Binding, notifications and reset ---
//   --- Adding rows ---       file picker, folder scan, AddRows
//   --- Rows ---              removal, starting, status
//   --- Results and folders ---
//   --- Workers ---
#include "app/pages/SpeechToTextPage.h"

#include "app/MessageWnd.h"
#include "app/stt/Voice2TextListItemUI.h"
#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "core/client/ClientState.h"
#include "core/client/UsageReport.h"
#include "ui/controls/OptionUI.h"
#include "core/stt/portable/SourceFileNames.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/controls/list/ListContainerElementUI.h"

#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

using namespace Trellis;

namespace {

constexpr int kRowHeight = 45;
// The picker's list of chosen files (paths NUL-separated).
constexpr DWORD kPickerBufferChars = 26000;
constexpr DWORD kPickerFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT;
// How long the UI thread waits for a worker it stops: a row's or the window's end.
constexpr DWORD kStopWaitMs = 3000;

const wchar_t kAudioFilter[] = L"Audio Files(*.mp3;*.wav;*.m4a)\0*.mp3;*.wav;*.m4a\0\0";
const wchar_t kMessageRemoveRunning[] = L"无法删除转换中的文件！";
const wchar_t kMessageTooManyFiles[] = L"选择的文件太多，请分批添加！";
const wchar_t kMessageOpenFailed[] = L"打开失败，文件不可用";

CContainerUI* ListOf(CControlUI* control) { return ControlAs<CContainerUI>(control, L"Container"); }

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

bool ShellExecuteOpen(HWND owner, const std::wstring& file, const std::wstring& parameters) {
  const HINSTANCE result = ShellExecuteW(owner, L"open", file.c_str(),
                                         parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWDEFAULT);
  if (reinterpret_cast<INT_PTR>(result) > 32) return true;
  DebugTrace(L"speech-to-text: the shell did not open %ls (%d)", file.c_str(),
             static_cast<int>(reinterpret_cast<INT_PTR>(result)));
  return false;
}

}  // namespace

// --- Binding, notifications and reset ---

SpeechToTextPage::SpeechToTextPage(PageHost& host) : Page(host), m_shellOpen(ShellExecuteOpen) {}

SpeechToTextPage::~SpeechToTextPage() { StopRecognitions(); }

const NotifyRoute<SpeechToTextPage> SpeechToTextPage::kNotifyRoutes[] = {
    {L"click", L"btnAddVoiceMid", false, &SpeechToTextPage::OnAddFiles},
    {L"click", L"btnAddFile", false, &SpeechToTextPage::OnAddFiles},
    {L"click", L"btnAddDir", false, &SpeechToTextPage::OnAddFolder},
    {L"click", L"btnMoveFile", false, &SpeechToTextPage::RemoveRow},
    {L"click", L"btnSingleVocie2Text", false, &SpeechToTextPage::StartRow},
    {L"click", L"btnVoice2Text", false, &SpeechToTextPage::OnStartAll},
    {L"click", L"btnOpenFile", false, &SpeechToTextPage::OpenResultFile},
    {L"click", L"btnOpenPath", false, &SpeechToTextPage::OpenResultFolder},
    {L"click", L"btnChangeVoicePath", false, &SpeechToTextPage::OnChangeVoicePath},
    {L"selectchanged", L"optionSaveOri", false, &SpeechToTextPage::OnSaveBesideSource},
    {L"selectchanged", L"optionSaveUser", false, &SpeechToTextPage::OnSaveToFolder},
    {L"selectchanged", L"chinese", false, &SpeechToTextPage::OnModelChanged},
    {L"selectchanged", L"english", false, &SpeechToTextPage::OnModelChanged},
    {L"selectchanged", L"optTxt", false, &SpeechToTextPage::OnOutputFormatChanged},
    {L"selectchanged", L"optDoc", false, &SpeechToTextPage::OnOutputFormatChanged},
    {L"selectchanged", L"optDocx", false, &SpeechToTextPage::OnOutputFormatChanged},
};

void SpeechToTextPage::Bind() {
  m_btnVoice2Text = Bound(L"btnVoice2Text");
  m_gifVoice2Text = Bound(L"gifVoice2Text");
  m_listVoice = Bound(L"listVoice");
  m_voiceListLayout = Bound(L"voiceListLayout");
  m_voiceLayout = Bound(L"voiceLayout");
  m_savePathEdit = Bound(L"savePathEdit");
  m_chinese = Bound(L"chinese");
  m_optionSaveOri = Bound(L"optionSaveOri");
  // The page starts with its empty drop area.
  ShowListOrDropArea(false);
}

bool SpeechToTextPage::Notify(UINotify& msg) { return DispatchNotify(this, kNotifyRoutes, msg); }

bool SpeechToTextPage::OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_APP_V2T_STATUS) return false;
  OnRowStatus(reinterpret_cast<Voice2TextJob*>(wParam), static_cast<int>(lParam));
  return true;
}

void SpeechToTextPage::Reset() {
  ShowControl(m_btnVoice2Text, true);
  ShowControl(m_gifVoice2Text, false);
  const std::wstring desktop = DesktopFolder();
  SetControlText(m_savePathEdit, (State().driveUrlV2W.empty() ? desktop : State().driveUrlV2W).c_str());
  if (auto* option = ControlAs<COptionUI>(m_chinese, L"Option")) option->SetSelected(true);
  if (auto* option = ControlAs<COptionUI>(m_optionSaveOri, L"Option")) option->SetSelected(true);
  m_v2tOutputFolder.clear();
  m_v2tModel = L"16k_zh";
  m_v2tFormat.clear();

  // Reset is refused while rows run (the window asks IsBusy first), so no
  // thread still uses these jobs.
  if (auto* list = ListOf(m_listVoice)) list->RemoveAllItems();
  m_v2tRows.clear();
  ShowListOrDropArea(false);
  m_audioExtensions = {L".mp3", L".wav", L".m4a"};
}

void SpeechToTextPage::ShowListOrDropArea(bool list) {
  ShowControl(m_voiceLayout, !list);
  ShowControl(m_listVoice, list);
  ShowControl(m_voiceListLayout, list);
}

std::vector<Voice2TextJob*> SpeechToTextPage::Rows() const {
  std::vector<Voice2TextJob*> jobs;
  for (const auto& job : m_v2tRows) jobs.push_back(job.get());
  return jobs;
}

void SpeechToTextPage::OnChangeVoicePath(UINotify&) {
  auto* option = ControlAs<COptionUI>(Manager().FindControlByName(L"optionSaveUser"), L"Option");
  if (option == nullptr) return;
  option->SetSelected(true);
  if (option->IsSelected()) ChooseRecognitionFolder();
}

void SpeechToTextPage::OnSaveBesideSource(UINotify&) { m_v2tOutputFolder.clear(); }

void SpeechToTextPage::OnSaveToFolder(UINotify&) {
  m_v2tOutputFolder = m_savePathEdit != nullptr ? m_savePathEdit->GetText().GetText() : L"";
}

void SpeechToTextPage::OnModelChanged(UINotify& msg) {
  m_v2tModel = msg.pSender->GetName().EqualsText(L"english") ? L"16k_en" : L"16k_zh";
}

void SpeechToTextPage::OnOutputFormatChanged(UINotify& msg) {
  const CUIString name = msg.pSender->GetName();
  if (name.EqualsText(L"optDoc")) m_v2tFormat = L"doc";
  else if (name.EqualsText(L"optDocx")) m_v2tFormat = L"docx";
  else m_v2tFormat.clear();
}

void SpeechToTextPage::OnRowStatus(Voice2TextJob* job, int status) {
  // The job names the row: rows may have been removed since the thread
  // started, so a row number would point at the wrong row or past the list.
  bool known = false;
  for (const auto& row : m_v2tRows) known = known || row.get() == job;
  if (!known) return;  // a job whose row is gone: nothing to show
  if (CContainerUI* list = ListOf(m_listVoice)) {
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

// --- Adding rows ---

void SpeechToTextPage::AddAudioFiles() {
  std::vector<wchar_t> buffer(kPickerBufferChars, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = Window();
  dialog.lpstrFilter = kAudioFilter;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = kPickerBufferChars;
  dialog.Flags = kPickerFlags;
  DWORD error = 0;
  if (!PickOpenFile(&dialog, &error)) {
    if (error == FNERR_BUFFERTOOSMALL) ShowMessageModal(kMessageTooManyFiles, false, Window());
    else if (error != 0) DebugTrace(L"speech-to-text: file picker failed (%lu)", error);
    return;  // cancelled: nothing added
  }
  AddRows(PickedFilePaths(buffer.data(), buffer.size(), dialog.nFileOffset));
}

void SpeechToTextPage::AddAudioFolder() {
  const std::wstring folder = ChooseFolder(Window());
  if (folder.empty()) return;
  const std::wstring prefix = WithTrailingSeparator(folder);
  WIN32_FIND_DATAW found;
  OwnedFindHandle search(FindFirstFileW((prefix + L"*.*").c_str(), &found));
  if (!search) return;
  std::vector<std::wstring> paths;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;  // also "." and ".."; no recursion
    paths.push_back(prefix + found.cFileName);
  } while (FindNextFileW(search.Get(), &found));
  AddRows(paths);
}

void SpeechToTextPage::AddRows(const std::vector<std::wstring>& paths) {
  CContainerUI* list = ListOf(m_listVoice);
  if (list == nullptr) return;
  for (const std::wstring& path : paths) {
    // Neither a duplicate nor a file of another kind makes a row (or a job).
    if (!HasAudioExtension(path, m_audioExtensions) || FindRowBySource(path) != nullptr || IsDirectory(path)) continue;
    auto job = std::make_unique<Voice2TextJob>();
    const SourcePathParts parts = SplitSourcePath(path);
    job->fileName = parts.fileName;
    job->folder = parts.folder;
    job->sourcePath = path;

    auto* element = new CListContainerElementUI;
    element->SetFixedHeight(kRowHeight);
    element->SetTag(reinterpret_cast<uintptr_t>(job.get()));  // status posts find the row by its job
    if (!m_listVoice->IsVisible()) ShowListOrDropArea(true);
    job->rowNumber = list->GetCount() + 1;
    auto* item = new CVoice2TextListItemUI(job.get());
    item->SetRowIndex(job->rowNumber);
    element->AddItem(item);
    m_v2tRows.push_back(std::move(job));
    if (!list->AddItem(element)) {
      delete element;
      m_v2tRows.pop_back();
    }
  }
}

Voice2TextJob* SpeechToTextPage::FindRowBySource(const std::wstring& path) const {
  for (const auto& job : m_v2tRows) {
    if (SamePath(job->sourcePath, path)) return job.get();
  }
  return nullptr;
}

// --- Rows ---

Voice2TextJob* SpeechToTextPage::RowJobOf(UINotify& msg) const {
  CVoice2TextListItemUI* item = FindVoice2TextItem(msg.pSender);
  if (item == nullptr) return nullptr;
  Voice2TextJob* job = item->GetJob();
  for (const auto& row : m_v2tRows) {
    if (row.get() == job) return job;
  }
  return nullptr;
}

void SpeechToTextPage::RemoveRow(UINotify& msg) {
  Voice2TextJob* job = RowJobOf(msg);
  if (job == nullptr) return;
  if (job->status == kV2tConverting) {
    ShowMessageModal(kMessageRemoveRunning, false, Window());
    return;
  }
  const auto found = std::find_if(m_v2tRows.begin(), m_v2tRows.end(),
                                  [job](const std::unique_ptr<Voice2TextJob>& row) { return row.get() == job; });
  std::unique_ptr<Voice2TextJob> owned = std::move(*found);
  m_v2tRows.erase(found);

  // A row that ran may still have its worker's last post on the way; its
  // worker is at its very end (the status is set last) and is settled here.
  bool ran = job->status != kV2tWaiting;
  if (m_v2tWorkers.Has(*job)) {
    ran = true;
    if (!m_v2tWorkers.Stop(*job, kStopWaitMs)) DebugTrace(L"speech-to-text: a removed row's worker did not end");
    std::wstring message;
    if (!m_v2tWorkers.Finish(*job, &message)) m_v2tWorkers.Forget(*job);
    m_v2tRunning = m_v2tWorkers.Count();
  }

  if (CContainerUI* list = ListOf(m_listVoice)) {
    for (int i = 0; i < list->GetCount(); ++i) {
      if (list->GetItemAt(i)->GetTag() == reinterpret_cast<uintptr_t>(job)) {
        list->RemoveItemAt(i);
        break;
      }
    }
  }
  if (ran) m_v2tRetired.push_back(std::move(owned));
  RenumberRows();
  if (m_v2tRows.empty()) ShowListOrDropArea(false);
  if (m_v2tRunning <= 0) {
    ShowControl(m_btnVoice2Text, true);
    ShowControl(m_gifVoice2Text, false);
  }
}

void SpeechToTextPage::RenumberRows() {
  CContainerUI* list = ListOf(m_listVoice);
  if (list == nullptr) return;
  for (int i = 0; i < list->GetCount(); ++i) {
    CVoice2TextListItemUI* item = FindVoice2TextItem(list->GetItemAt(i));
    if (item == nullptr) continue;
    item->SetRowIndex(i + 1);
    if (item->GetJob() != nullptr) item->GetJob()->rowNumber = i + 1;
  }
}

void SpeechToTextPage::StartAllRows() {
  if (m_v2tRows.empty()) return;
  Report(kReportSpeechToTextStart);
  // Rows already running keep running; the workers' own semaphore admits
  // three at a time, so no count is reset here.
  for (const auto& job : m_v2tRows) {
    const int32_t status = job->status;
    if (status == kV2tConverting || status == kV2tDone) continue;
    ShowControl(m_btnVoice2Text, false);
    ShowControl(m_gifVoice2Text, true);
    StartRowJob(*job);
  }
}

void SpeechToTextPage::StartRow(UINotify& msg) {
  Voice2TextJob* job = RowJobOf(msg);
  if (job == nullptr || job->status != kV2tWaiting) return;  // failed rows start again with "start all"
  StartRowJob(*job);
}

void SpeechToTextPage::StartRowJob(Voice2TextJob& job) {
  // The last worker of an earlier run of this row has set its end status and
  // is done with the job; its post may still be queued.
  if (m_v2tWorkers.Has(job)) {
    std::wstring message;
    if (!m_v2tWorkers.Finish(job, &message)) {
      DebugTrace(L"speech-to-text: row %d still has a worker", job.rowNumber);
      return;
    }
  }
  job.progress = 0;
  job.status = kV2tConverting;
  if (!m_v2tWorkers.Start(job, Window(), CurrentRecognitionSettings())) job.status = kV2tFailed;
  m_v2tRunning = m_v2tWorkers.Count();
  PostMessageW(Window(), WM_APP_V2T_STATUS, reinterpret_cast<WPARAM>(&job), job.status);
}

RecognitionSettings SpeechToTextPage::CurrentRecognitionSettings() const {
  RecognitionSettings settings;
  settings.outputFolder = WithTrailingSeparator(m_v2tOutputFolder);
  settings.model = m_v2tModel;
  settings.format = m_v2tFormat.empty() ? L"txt" : m_v2tFormat;
  return settings;
}

void SpeechToTextPage::ShowRowStatus(CControlUI* row, Voice2TextJob& job, int status) {
  if (status > kV2tConverting) {
    std::wstring message;
    if (m_v2tWorkers.Finish(job, &message)) {
      m_v2tRunning = m_v2tWorkers.Count();
      if (job.status == kV2tDone) State().lastV2tOutputPath = job.outputPath;
      if (!message.empty()) ShowRecognitionNotice(message);
    }
  }
  if (CVoice2TextListItemUI* item = FindVoice2TextItem(row)) item->ShowStatus(job);
}

void SpeechToTextPage::ShowRecognitionNotice(const std::wstring& text) {
  // Several rows failing at once for one cause say it once.
  if (m_v2tNotice != nullptr && IsWindow(m_v2tNotice) && IsWindowVisible(m_v2tNotice)) {
    DebugTrace(L"speech-to-text: notice not repeated: %ls", text.c_str());
    return;
  }
  CMessageWnd* notice = ShowMessageModeless(text, false, Window());
  m_v2tNotice = notice != nullptr ? notice->GetHandle() : nullptr;
}

// --- Results and folders ---

void SpeechToTextPage::OpenResultFile(UINotify& msg) {
  Voice2TextJob* job = RowJobOf(msg);
  if (job == nullptr || job->status != kV2tDone) return;
  if (!IsFile(job->outputPath)) {
    ShowMessageModal(kMessageOpenFailed, false, Window());
    return;
  }
  ShellOpen(job->outputPath, std::wstring());
}

void SpeechToTextPage::OpenResultFolder(UINotify& msg) {
  Voice2TextJob* job = RowJobOf(msg);
  if (job == nullptr || job->status != kV2tDone) return;
  ShellOpen(L"explorer.exe", ExplorerSelectParameters(job->outputPath));
}

void SpeechToTextPage::ShellOpen(const std::wstring& file, const std::wstring& parameters) {
  if (m_shellOpen && !m_shellOpen(Window(), file, parameters)) ShowMessageModal(kMessageOpenFailed, false, Window());
}

void SpeechToTextPage::ChooseRecognitionFolder() {
  const std::wstring folder = ChooseFolder(Window());
  if (folder.empty()) return;
  SetControlText(m_savePathEdit, folder.c_str());
  const std::wstring shown = m_savePathEdit != nullptr ? m_savePathEdit->GetText().GetText() : folder;
  WritePrivateProfileStringW(L"soft", L"DriveUrlV2W", WithTrailingSeparator(shown).c_str(), State().iniPath.c_str());
  State().driveUrlV2W = folder;
  m_v2tOutputFolder = WithTrailingSeparator(folder);
  if (m_savePathEdit != nullptr) m_savePathEdit->SetToolTip(folder.c_str());
}

// --- Workers ---

void SpeechToTextPage::StopRecognitions() {
  // A thread that did not end in time still uses its job: the job is left
  // to it rather than freed under it.
  for (Voice2TextJob* job : m_v2tWorkers.StopAll(kStopWaitMs)) {
    for (auto* rows : {&m_v2tRows, &m_v2tRetired}) {
      for (auto& row : *rows) {
        if (row.get() == job) row.release();
      }
    }
  }
  m_v2tRunning = 0;
}
