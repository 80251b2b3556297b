#pragma once
// SpeechToTextPage: page 0 of "tabConvert". Rows added from files, a folder
// or a drop; rows started one by one or all; results opened; the output
// folder, language and format chosen; and the rows' worker threads
// (RecognitionRunner), whose status posts find their row by its job.
//
// Owns the rows' jobs (a row's list item keeps its job's address as its tag),
// the jobs of removed rows a worker ran, the page's settings for new rows and
// the workers; borrows its controls from the window's tree. UI thread only.
#include "app/pages/Page.h"
#include "app/stt/RecognitionRunner.h"
#include "core/stt/Voice2TextJob.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Hands a file to the shell: opens it, or runs it with `parameters`; false
// when the shell could not.
using ShellOpener = std::function<bool(HWND owner, const std::wstring& file, const std::wstring& parameters)>;

class SpeechToTextPage : public Page {
 public:
  explicit SpeechToTextPage(PageHost& host);
  // Stops every worker (bounded wait); jobs still in use by a thread that did
  // not end are left to it.
  ~SpeechToTextPage() override;

  // Page:
  void Bind() override;
  bool Notify(Trellis::UINotify& msg) override;
  // WM_APP_V2T_STATUS: the row of the job shows its state.
  bool OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Recognitions still run.
  bool IsBusy() const override { return m_v2tRunning > 0; }
  // No rows, output beside the sources, Chinese, text. Refused while busy by the window.
  void Reset() override;

  // Adds one row per audio file of `paths`.
  void AddRows(const std::vector<std::wstring>& paths);
  void AddAudioFiles();
  void AddAudioFolder();
  void RemoveRow(Trellis::UINotify& msg);
  void StartAllRows();
  void StartRow(Trellis::UINotify& msg);
  void OpenResultFile(Trellis::UINotify& msg);
  void OpenResultFolder(Trellis::UINotify& msg);
  void ChooseRecognitionFolder();
  // Shows a row's state in its list item; an end state also settles the
  // row's worker and shows what it had to say.
  void ShowRowStatus(Trellis::CControlUI* row, Voice2TextJob& job, int status);

  // Replaces the work of rows started from now on (tests give a stand-in).
  void SetRecognitionWork(RecognitionWork work) { m_v2tWorkers.SetWork(std::move(work)); }
  // Replaces how results are handed to the shell (tests watch instead).
  void SetShellOpener(ShellOpener opener) { m_shellOpen = std::move(opener); }

  // The rows' jobs in row order.
  std::vector<Voice2TextJob*> Rows() const;
  // Workers started and not yet settled.
  int RunningCount() const { return m_v2tRunning; }

 private:
  // --- Notification handlers ---
  void OnAddFiles(Trellis::UINotify&) { AddAudioFiles(); }
  void OnAddFolder(Trellis::UINotify&) { AddAudioFolder(); }
  void OnStartAll(Trellis::UINotify&) { StartAllRows(); }
  void OnChangeVoicePath(Trellis::UINotify&);
  void OnSaveBesideSource(Trellis::UINotify&);
  void OnSaveToFolder(Trellis::UINotify&);
  void OnModelChanged(Trellis::UINotify&);
  void OnOutputFormatChanged(Trellis::UINotify&);
  static const NotifyRoute<SpeechToTextPage> kNotifyRoutes[];

  void OnRowStatus(Voice2TextJob* job, int status);
  // The job of the row that holds a row button; null when it is no row's.
  Voice2TextJob* RowJobOf(Trellis::UINotify& msg) const;
  Voice2TextJob* FindRowBySource(const std::wstring& path) const;
  // Marks the row converting and starts its worker.
  void StartRowJob(Voice2TextJob& job);
  RecognitionSettings CurrentRecognitionSettings() const;
  // A worker's message, shown on the UI thread; one notice at a time.
  void ShowRecognitionNotice(const std::wstring& text);
  // Renumbers the rows after a removal (items, jobs, row buttons).
  void RenumberRows();
  // Shows the empty drop area, or the list, as the rows are.
  void ShowListOrDropArea(bool list);
  void ShellOpen(const std::wstring& file, const std::wstring& parameters);
  void StopRecognitions();

  // Borrowed from the window's tree; null when the skin lacks the name.
  Trellis::CControlUI* m_btnVoice2Text = nullptr;
  Trellis::CControlUI* m_gifVoice2Text = nullptr;
  Trellis::CControlUI* m_listVoice = nullptr;
  Trellis::CControlUI* m_voiceListLayout = nullptr;
  Trellis::CControlUI* m_voiceLayout = nullptr;
  Trellis::CControlUI* m_savePathEdit = nullptr;
  Trellis::CControlUI* m_chinese = nullptr;
  Trellis::CControlUI* m_optionSaveOri = nullptr;

  std::vector<std::wstring> m_audioExtensions;  // extensions accepted for rows
  std::vector<std::unique_ptr<Voice2TextJob>> m_v2tRows;  // owned, in row order
  int m_v2tRunning = 0;            // workers still working
  std::wstring m_v2tOutputFolder;  // empty: next to each source file
  std::wstring m_v2tModel = L"16k_zh";
  std::wstring m_v2tFormat;  // empty: text
  // Jobs of removed rows that a worker ran: a status post naming them may
  // still wait in the queue, so their addresses stay taken until the page ends.
  std::vector<std::unique_ptr<Voice2TextJob>> m_v2tRetired;
  HWND m_v2tNotice = nullptr;  // the last notice window (checked with IsWindow)
  ShellOpener m_shellOpen;
  RecognitionRunner m_v2tWorkers;  // after the jobs: stops its workers before they are freed
};
