// The speech-to-text page's operations on the main window: rows added from
// files, a folder or a drop; rows started one by one or all; results opened;
// the output folder chosen; and the rows' worker threads (RecognitionRunner),
// whose status posts find their row by its job.
//
// Sections:
//   --- Adding rows ---       file picker, folder scan, AddRows
//   --- Rows ---              removal, starting, status
//   --- Results and folders ---
//   --- Workers ---
#include "app/MainWnd.h"

#include "app/MessageWnd.h"
#include "app/stt/Voice2TextListItemUI.h"
#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "core/client/ClientState.h"
#include "core/client/UsageReport.h"
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
// File-system folders only. (Asking for computers as well would leave OK
// greyed for every folder.)
constexpr UINT kFolderDialogFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
// How long the UI thread waits for a worker it stops: a row's or the window's end.
constexpr DWORD kStopWaitMs = 3000;

const wchar_t kAudioFilter[] = L"Audio Files(*.mp3;*.wav;*.m4a)\0*.mp3;*.wav;*.m4a\0\0";
const wchar_t kFolderDialogTitle[] = L"选择文件路径";
const wchar_t kMessageRemoveRunning[] = L"无法删除转换中的文件！";
const wchar_t kMessageTooManyFiles[] = L"选择的文件太多，请分批添加！";
const wchar_t kMessageOpenFailed[] = L"打开失败，文件不可用";

CContainerUI* ListOf(CControlUI* control) {
  return control != nullptr ? static_cast<CContainerUI*>(control->GetInterface(L"Container")) : nullptr;
}

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

}  // namespace

// --- Adding rows ---

void CMainWnd::AddAudioFiles() {
  std::vector<wchar_t> buffer(kPickerBufferChars, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = GetHandle();
  dialog.lpstrFilter = kAudioFilter;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = kPickerBufferChars;
  dialog.Flags = kPickerFlags;
  if (!GetOpenFileNameW(&dialog)) {
    const DWORD error = CommDlgExtendedError();
    if (error == FNERR_BUFFERTOOSMALL) ShowMessageModal(kMessageTooManyFiles, false, GetHandle());
    else if (error != 0) DebugTrace(L"speech-to-text: file picker failed (%lu)", error);
    return;  // cancelled: nothing added
  }
  AddRows(PickedFilePaths(buffer.data(), buffer.size(), dialog.nFileOffset));
}

void CMainWnd::AddAudioFolder() {
  const std::wstring folder = ChooseFolder();
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

void CMainWnd::AddRows(const std::vector<std::wstring>& paths) {
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
    if (!m_listVoice->IsVisible()) {
      ShowControl(m_voiceLayout, false);
      ShowControl(m_listVoice, true);
      ShowControl(m_voiceListLayout, true);
    }
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

Voice2TextJob* CMainWnd::FindRowBySource(const std::wstring& path) const {
  for (const auto& job : m_v2tRows) {
    if (SamePath(job->sourcePath, path)) return job.get();
  }
  return nullptr;
}

// --- Rows ---

Voice2TextJob* CMainWnd::RowJobOf(UINotify& msg) const {
  CVoice2TextListItemUI* item = FindVoice2TextItem(msg.pSender);
  if (item == nullptr) return nullptr;
  Voice2TextJob* job = item->GetJob();
  for (const auto& row : m_v2tRows) {
    if (row.get() == job) return job;
  }
  return nullptr;
}

void CMainWnd::RemoveRow(UINotify& msg) {
  Voice2TextJob* job = RowJobOf(msg);
  if (job == nullptr) return;
  if (job->status == kV2tConverting) {
    ShowMessageModal(kMessageRemoveRunning, false, GetHandle());
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
  if (m_v2tRows.empty()) {
    ShowControl(m_voiceLayout, true);
    ShowControl(m_listVoice, false);
    ShowControl(m_voiceListLayout, false);
  }
  if (m_v2tRunning <= 0) {
    ShowControl(m_btnVoice2Text, true);
    ShowControl(m_gifVoice2Text, false);
  }
}

void CMainWnd::RenumberRows() {
  CContainerUI* list = ListOf(m_listVoice);
  if (list == nullptr) return;
  for (int i = 0; i < list->GetCount(); ++i) {
    CVoice2TextListItemUI* item = FindVoice2TextItem(list->GetItemAt(i));
    if (item == nullptr) continue;
    item->SetRowIndex(i + 1);
    if (item->GetJob() != nullptr) item->GetJob()->rowNumber = i + 1;
  }
}

void CMainWnd::StartAllRows() {
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

void CMainWnd::StartRow(UINotify& msg) {
  Voice2TextJob* job = RowJobOf(msg);
  if (job == nullptr || job->status != kV2tWaiting) return;  // failed rows start again with "start all"
  StartRowJob(*job);
}

void CMainWnd::StartRowJob(Voice2TextJob& job) {
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
  if (!m_v2tWorkers.Start(job, GetHandle(), CurrentRecognitionSettings())) job.status = kV2tFailed;
  m_v2tRunning = m_v2tWorkers.Count();
  PostMessageW(GetHandle(), WM_APP_V2T_STATUS, reinterpret_cast<WPARAM>(&job), job.status);
}

RecognitionSettings CMainWnd::CurrentRecognitionSettings() const {
  RecognitionSettings settings;
  settings.outputFolder = WithTrailingSeparator(m_v2tOutputFolder);
  settings.model = m_v2tModel;
  settings.format = m_v2tFormat.empty() ? L"txt" : m_v2tFormat;
  return settings;
}

void CMainWnd::ShowRowStatus(CControlUI* row, Voice2TextJob& job, int status) {
  if (status > kV2tConverting) {
    std::wstring message;
    if (m_v2tWorkers.Finish(job, &message)) {
      m_v2tRunning = m_v2tWorkers.Count();
      if (job.status == kV2tDone) m_state.lastV2tOutputPath = job.outputPath;
      if (!message.empty()) ShowRecognitionNotice(message);
    }
  }
  if (CVoice2TextListItemUI* item = FindVoice2TextItem(row)) item->ShowStatus(job);
}

void CMainWnd::ShowRecognitionNotice(const std::wstring& text) {
  // Several rows failing at once for one cause say it once.
  if (m_v2tNotice != nullptr && IsWindow(m_v2tNotice) && IsWindowVisible(m_v2tNotice)) {
    DebugTrace(L"speech-to-text: notice not repeated: %ls", text.c_str());
    return;
  }
  CMessageWnd* notice = ShowMessageModeless(text, false, GetHandle());
  m_v2tNotice = notice != nullptr ? notice->GetHandle() : nullptr;
}

// --- Results and folders ---

void CMainWnd::OpenResultFile(UINotify& msg) {
  Voice2TextJob* job = RowJobOf(msg);
  if (job == nullptr || job->status != kV2tDone) return;
  if (!IsFile(job->outputPath)) {
    ShowMessageModal(kMessageOpenFailed, false, GetHandle());
    return;
  }
  ShellOpen(job->outputPath, std::wstring());
}

void CMainWnd::OpenResultFolder(UINotify& msg) {
  Voice2TextJob* job = RowJobOf(msg);
  if (job == nullptr || job->status != kV2tDone) return;
  ShellOpen(L"explorer.exe", ExplorerSelectParameters(job->outputPath));
}

void CMainWnd::ShellOpen(const std::wstring& file, const std::wstring& parameters) {
  const HINSTANCE result = ShellExecuteW(GetHandle(), L"open", file.c_str(),
                                         parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWDEFAULT);
  if (reinterpret_cast<INT_PTR>(result) <= 32) {
    DebugTrace(L"speech-to-text: the shell did not open %ls (%d)", file.c_str(),
               static_cast<int>(reinterpret_cast<INT_PTR>(result)));
    ShowMessageModal(kMessageOpenFailed, false, GetHandle());
  }
}

std::wstring CMainWnd::ChooseFolder() {
  // The dialog needs COM on this thread; a thread that has it already keeps it.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  BROWSEINFOW info = {};
  info.hwndOwner = GetHandle();
  info.lpszTitle = kFolderDialogTitle;
  info.ulFlags = kFolderDialogFlags;
  std::wstring chosen;
  {
    OwnedCoTaskMemory<ITEMIDLIST> list(SHBrowseForFolderW(&info));
    wchar_t path[MAX_PATH + 2] = {};
    if (list && SHGetPathFromIDListW(list.Get(), path)) chosen = path;
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return chosen;
}

void CMainWnd::ChooseRecognitionFolder() {
  const std::wstring folder = ChooseFolder();
  if (folder.empty()) return;
  SetText(m_savePathEdit, folder.c_str());
  const std::wstring shown = m_savePathEdit != nullptr ? m_savePathEdit->GetText().GetText() : folder;
  WritePrivateProfileStringW(L"soft", L"DriveUrlV2W", WithTrailingSeparator(shown).c_str(), m_state.iniPath.c_str());
  m_state.driveUrlV2W = folder;
  m_v2tOutputFolder = WithTrailingSeparator(folder);
  if (m_savePathEdit != nullptr) m_savePathEdit->SetToolTip(folder.c_str());
}

// --- Workers ---

void CMainWnd::StopRecognitions() {
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
