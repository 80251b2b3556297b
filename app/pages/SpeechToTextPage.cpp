// The speech-to-text page's operations on the main window: rows added from
// files, a folder or a drop; rows started one by one or all; results opened;
// the output folder chosen.
//
// NOT BUILT YET: these are placeholders; the speech-to-text page work
// replaces each body. A row's list item keeps its job's address as its tag
// (OnRowStatus finds the row by it), and m_v2tRunning counts running threads.
#include "app/MainWnd.h"

#include "core/base/DebugTrace.h"

using namespace Trellis;

void CMainWnd::AddRows(const std::vector<std::wstring>& paths) {
  DebugTrace(L"speech-to-text page: %u dropped files not added (rows not built yet)\r\n",
             static_cast<unsigned>(paths.size()));
}

void CMainWnd::AddAudioFiles() {}  // placeholder: file dialog, then AddRows

void CMainWnd::AddAudioFolder() {}  // placeholder: folder dialog, then AddRows

void CMainWnd::RemoveRow(UINotify&) {}  // placeholder: the row of the sender's button

void CMainWnd::StartAllRows() {}  // placeholder: report 5, every waiting row

void CMainWnd::StartRow(UINotify&) {}  // placeholder: the row of the sender's button

void CMainWnd::OpenResultFile(UINotify&) {}  // placeholder

void CMainWnd::OpenResultFolder(UINotify&) {}  // placeholder

void CMainWnd::ChooseRecognitionFolder() {}  // placeholder: "savePathEdit" and DriveUrlV2W

std::wstring CMainWnd::ChooseFolder() { return std::wstring(); }  // placeholder: folder dialog

void CMainWnd::ShowRowStatus(CControlUI*, Voice2TextJob&, int) {}  // placeholder: the row's status display
