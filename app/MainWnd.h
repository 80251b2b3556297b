#pragma once
// CMainWnd: the program's one top-level window, built from "MainWnd.xml": the
// title band with the account controls, the home page with its two entry
// buttons, and the conversion area with the speech-to-text and text-to-speech
// pages. This file holds the window itself (messages, control lookup, page
// reset, the notification table); the pages' operations live in
// app/pages/TextToSpeechPage.cpp, app/pages/SpeechToTextPage.cpp and
// app/pages/UserPanel.cpp.
//
// Owns its window manager (and through it the control tree), the one
// text-to-speech job and the speech-to-text rows' jobs. A heap object: its
// last message clears the program's main-window handle, ends the message loop
// and deletes it. UI thread only.
#include "app/stt/RecognitionRunner.h"
#include "core/catalog/portable/VoiceCatalogRecords.h"
#include "core/stt/Voice2TextJob.h"
#include "core/tts/ConvertJob.h"
#include "ui/control/UIEvent.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowWnd.h"

#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class ClientState;
struct TtsPageState;
namespace Trellis {
class CControlUI;
class CMenuWnd;
}  // namespace Trellis

// Starts one usage report with its own detail value (type 6). The thread
// handle goes to `thread` when given (the caller closes it). The main window
// sends every report through one of these; tests replace it.
using UsageReporter = std::function<bool(int detail, HANDLE* thread)>;

// Cuts `text` to its first `limit` characters when it is longer; true when it
// cut. The editor's limit of 5000 characters is kept with it.
bool CutTextToLimit(std::wstring& text, size_t limit);

// The voice type of the editor's voice-type combo item: the four named items
// have their own ids, every other item is 101000 + its index.
int VoiceTypeForComboItem(const std::wstring& text, int index);

class CMainWnd : public Trellis::CWindowWnd, public Trellis::INotifyUI, public Trellis::IDialogBuilderCallback {
 public:
  explicit CMainWnd(ClientState& state);
  ~CMainWnd() override;

  // CWindowWnd:
  const Trellis::UIChar* GetWindowClassName() const override;
  const Trellis::UIChar* GetSuperClassName() const override;
  UINT GetClassStyle() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnLastMessage(HWND hWnd) override;
  // INotifyUI:
  void Notify(Trellis::UINotify& msg) override;
  // IDialogBuilderCallback: every element of the skin is a framework control.
  Trellis::CControlUI* CreateControl(const Trellis::UIChar* className) override;

  Trellis::CWindowManagerUI& GetPaintManager() { return m_pm; }
  // The one text-to-speech job; null before WM_CREATE.
  ConvertJob* GetJob() const { return m_job.get(); }
  const VoiceInfo& GetCurrentVoice() const { return m_currentVoice; }
  // Replaces how usage reports are started (tests record them instead).
  void SetReporter(UsageReporter reporter) { m_reporter = std::move(reporter); }

  // Finds the controls by their skin names and resets the pages; false when
  // the tree has no root. Run by WM_CREATE.
  bool FindControls();
  // Back to the home page with every page setting at its default.
  void ResetPages();
  // Signs the user out and refreshes the user panel.
  void Logout();

  // --- Speech-to-text page (app/pages/SpeechToTextPage.cpp) ---
  // Adds one row per audio file of `paths` (virtual so tests can watch drops).
  virtual void AddRows(const std::vector<std::wstring>& paths);
  void AddAudioFiles();
  void AddAudioFolder();
  void RemoveRow(Trellis::UINotify& msg);
  void StartAllRows();
  void StartRow(Trellis::UINotify& msg);
  void OpenResultFile(Trellis::UINotify& msg);
  void OpenResultFolder(Trellis::UINotify& msg);
  void ChooseRecognitionFolder();
  // A folder chosen by the user; empty when the dialog was cancelled.
  std::wstring ChooseFolder();
  // Shows a row's state (1 converting, 2 done, 3 failed) in its list item;
  // an end state also settles the row's worker and shows what it had to say.
  virtual void ShowRowStatus(Trellis::CControlUI* row, Voice2TextJob& job, int status);
  // Hands a file to the shell: opens it, or runs it with `parameters`
  // (tests watch this instead of starting programs).
  virtual void ShellOpen(const std::wstring& file, const std::wstring& parameters);
  // Replaces the work of rows started from now on (tests give a stand-in).
  void SetRecognitionWork(RecognitionWork work) { m_v2tWorkers.SetWork(std::move(work)); }

  // --- Text-to-speech page (app/pages/TextToSpeechPage.cpp) ---
  void ListenTest();
  void StartConversion();
  // 1 categories, 2 voices, 3 emotions: rebuilds that part of the page.
  void RefreshCatalog(int part);
  void ApplyVoice(VoiceInfo voice);
  void ImportText();
  void ChooseBackgroundMusic();
  void SetTailDelay(int seconds);
  void SetLeadDelay(int seconds);
  void ShowPopupMenu(const wchar_t* skinFile, POINT at);
  void UpdateHoverMenus(int x, int y);
  // Reads a text file into the editor (the import after its file dialog);
  // false, with the editor unchanged, when the file cannot be read.
  bool ImportTextFile(const std::wstring& path);
  // Takes a background music file (what the music file dialog does on OK).
  void SetBackgroundMusic(const std::wstring& path);

  // --- User panel and login (app/pages/UserPanel.cpp) ---
  void ShowLogin();
  void RefreshUserPanel();
  void ShowPersonalCenter();

 protected:
  // A notification handler of the dispatch table.
  using Handler = void (CMainWnd::*)(Trellis::UINotify& msg);
  struct NotifyRoute {
    const wchar_t* type;    // notification type, exact
    const wchar_t* sender;  // the sender's skin name: exact, or contained when `contains`
    bool contains;
    Handler handler;
  };
  static const NotifyRoute kNotifyRoutes[];

 private:
  // --- Messages ---
  LRESULT OnCreate();
  LRESULT OnNcHitTest(LPARAM lParam);
  void OnDropFiles(HDROP drop);
  // Handles the application messages (1124-1145); false for any other message.
  bool OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void BringToFront();
  void QuitAfterReport();
  void OnVoiceChosen(const VoiceInfo* voice, bool takeExampleText);
  void OnRowStatus(Voice2TextJob* job, int status);
  void OnMenuClick();
  void Report(int detail);

  // --- Notification handlers (the table in MainWnd.cpp) ---
  void OnCustomerService(Trellis::UINotify&);
  void OnCloseButton(Trellis::UINotify&);
  void OnMinimize(Trellis::UINotify&);
  void OnMainMenu(Trellis::UINotify&);
  void OnLoginButton(Trellis::UINotify&);
  void OnLogoutButton(Trellis::UINotify&);
  void OnShowInfo(Trellis::UINotify&);
  void OnReturnHome(Trellis::UINotify&);
  void OnShowSpeechToText(Trellis::UINotify&);
  void OnShowTextToSpeech(Trellis::UINotify&);
  void OnEmotionLeft(Trellis::UINotify&);
  void OnEmotionRight(Trellis::UINotify&);
  void OnPlayVoice(Trellis::UINotify&);
  void OnVolumeReset(Trellis::UINotify&);
  void OnSpeedReset(Trellis::UINotify&);
  void OnBgmVolumeReset(Trellis::UINotify&);
  void OnChangeBgm(Trellis::UINotify&);
  void OnDeleteBgm(Trellis::UINotify&);
  void OnBgmMinus(Trellis::UINotify&);
  void OnBgmPlus(Trellis::UINotify&);
  void OnTextMinus(Trellis::UINotify&);
  void OnTextPlus(Trellis::UINotify&);
  void OnChangeAnchor(Trellis::UINotify&);
  void OnImport(Trellis::UINotify&);
  void OnPolyphone(Trellis::UINotify&);
  void OnInterval(Trellis::UINotify&);
  void OnCleanText(Trellis::UINotify&);
  void OnChangePath(Trellis::UINotify&);
  void OnConvert(Trellis::UINotify&);
  void OnAddFiles(Trellis::UINotify&);
  void OnAddFolder(Trellis::UINotify&);
  void OnStartAll(Trellis::UINotify&);
  void OnChangeVoicePath(Trellis::UINotify&);
  void OnSliderChanged(Trellis::UINotify&);
  void OnTextChanged(Trellis::UINotify&);
  void OnFormatChanged(Trellis::UINotify&);
  void OnEmotionChanged(Trellis::UINotify&);
  void OnSaveBesideSource(Trellis::UINotify&);
  void OnSaveToFolder(Trellis::UINotify&);
  void OnModelChanged(Trellis::UINotify&);
  void OnOutputFormatChanged(Trellis::UINotify&);
  void OnVoiceTypeSelected(Trellis::UINotify&);

  // --- Helpers ---
  Trellis::CControlUI* Find(const wchar_t* name) const;
  void SetText(Trellis::CControlUI* control, const wchar_t* text);
  void ShowControl(Trellis::CControlUI* control, bool visible);
  void SetSlider(Trellis::CControlUI* slider, Trellis::CControlUI* label, int value);
  // Clears the job's task-done and result-valid flags: the next conversion
  // sends a new request.
  void ClearCache();
  // A text-to-speech conversion runs ("gifConvert" shown, whichever page is selected).
  bool IsConverting() const;
  // A conversion or a recognition runs: the pages must not be reset.
  bool IsBusy() const;
  // Keeps the editor within its 5000 characters (cutting the rest, the caret
  // at the end) and shows the count in "textCount". Run for the user's edits
  // ("textchanged") and after the program's own edits of the editor, which
  // send no "textchanged".
  void ApplyTextLimit();
  // Inserts a mark at the editor's caret (replacing the selection), keeps
  // the text within its limit and gives the keyboard back to the editor with
  // the caret `caretBack` characters before the mark's end.
  void InsertMark(const wchar_t* mark, long caretBack);
  // The toolbar buttons that edit the text take the keyboard focus with
  // their click; the editor gets it back, so the user types on at once.
  void FocusEditor();
  std::wstring EditorText() const;
  int CountPauseMarks() const;
  // No background music chosen: says so and returns true.
  bool RefuseWithoutMusic();
  void ShowBusyMessage();
  void SelectPages(int mainPage, int convertPage);

  // --- Speech-to-text page helpers (app/pages/SpeechToTextPage.cpp) ---
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
  // Stops every worker (bounded wait) as the window ends; jobs still in use
  // by a thread that did not end are left to it.
  void StopRecognitions();
  // --- Text-to-speech page helpers (app/pages/TextToSpeech*.cpp) ---
  TtsPageState& TtsState();
  void SetPreviewBusy(bool busy);
  void SetConversionBusy(bool busy);
  // Starts a worker of a TtsWorkKind on a copy of the job.
  void StartTtsWork(int kind);
  void OnTtsWorkDone(UINT id);
  // The page's worker messages; false for any other message.
  bool OnTtsMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The end of preview playback `id` (0: only the idle look); false when that
  // playback was already dropped, so the buttons stay as they are.
  bool OnPlaybackDone(WPARAM id);
  // Stops the page's workers and preview, each with a bounded wait.
  void StopTtsWork();
  void EnforceTextLimit();
  Trellis::CMenuWnd* OpenMenu(const wchar_t* skinFile, POINT at, HWND* window);
  bool HoverMenuAlive(Trellis::CMenuWnd* menu, HWND window) const;
  void CloseHoverMenu(Trellis::CMenuWnd*& menu, HWND& window);

 protected:
  ClientState& m_state;          // borrowed: the program's client state
  Trellis::CWindowManagerUI m_pm;  // owns the control tree
  std::unique_ptr<ConvertJob> m_job;  // the one text-to-speech job, made by FindControls
  UsageReporter m_reporter;

  // Worker threads of the pages; null until first used.
  HANDLE m_conversionThread = nullptr;
  HANDLE m_taskThread = nullptr;
  HANDLE m_playbackThread = nullptr;
  HANDLE m_lastV2tThread = nullptr;

  // Controls found by FindControls; borrowed from the tree, null when the skin lacks the name.
  Trellis::CControlUI* m_optionEmotion1 = nullptr;
  Trellis::CControlUI* m_btnPolyphone = nullptr;
  Trellis::CControlUI* m_btnInterval = nullptr;
  Trellis::CControlUI* m_versionNumber = nullptr;
  Trellis::CControlUI* m_btnLogin = nullptr;
  Trellis::CControlUI* m_btnLogout = nullptr;
  Trellis::CControlUI* m_showInfoBtn = nullptr;
  Trellis::CControlUI* m_closeBtn = nullptr;
  Trellis::CControlUI* m_loginSucessLayout = nullptr;
  Trellis::CControlUI* m_tabMain = nullptr;
  Trellis::CControlUI* m_tabConvert = nullptr;
  Trellis::CControlUI* m_btnText2AudioShow = nullptr;
  Trellis::CControlUI* m_btnVoice2TextShow = nullptr;
  Trellis::CControlUI* m_btnVoice2Text = nullptr;
  Trellis::CControlUI* m_gifVoice2Text = nullptr;
  Trellis::CControlUI* m_listVoice = nullptr;
  Trellis::CControlUI* m_voiceListLayout = nullptr;
  Trellis::CControlUI* m_voiceLayout = nullptr;
  Trellis::CControlUI* m_savePathEdit = nullptr;
  Trellis::CControlUI* m_chinese = nullptr;
  Trellis::CControlUI* m_optionSaveOri = nullptr;
  Trellis::CControlUI* m_lblAnchorFace = nullptr;
  Trellis::CControlUI* m_lblAnchorName = nullptr;
  Trellis::CControlUI* m_lblAnchorDes = nullptr;
  Trellis::CControlUI* m_hLayoutEmotion = nullptr;
  Trellis::CControlUI* m_tileEmotion = nullptr;
  Trellis::CControlUI* m_editor = nullptr;  // "editText2Vioce", a rich edit
  Trellis::CControlUI* m_hLayoutMainEmotion = nullptr;
  Trellis::CControlUI* m_sliderVolume = nullptr;
  Trellis::CControlUI* m_sliderSpeed = nullptr;
  Trellis::CControlUI* m_volumeLabel = nullptr;
  Trellis::CControlUI* m_lblBgmName = nullptr;
  Trellis::CControlUI* m_sliderBgmVolume = nullptr;
  Trellis::CControlUI* m_volumeBgmLabel = nullptr;
  Trellis::CControlUI* m_delBgmBtn = nullptr;
  Trellis::CControlUI* m_speedLabel = nullptr;
  Trellis::CControlUI* m_textCount = nullptr;
  Trellis::CControlUI* m_btnCleanText = nullptr;
  Trellis::CControlUI* m_btnPlayVoice = nullptr;
  Trellis::CControlUI* m_playVoiceGif = nullptr;
  Trellis::CControlUI* m_btnConvertText2Voice = nullptr;
  Trellis::CControlUI* m_gifConvert = nullptr;
  Trellis::CControlUI* m_savePathVoice = nullptr;
  Trellis::CControlUI* m_lblBgm = nullptr;
  Trellis::CControlUI* m_lblBgm1 = nullptr;
  Trellis::CControlUI* m_lblText = nullptr;
  Trellis::CControlUI* m_lblText1 = nullptr;
  Trellis::CControlUI* m_anchorTypeCombo = nullptr;

  Trellis::CMenuWnd* m_polyphoneMenu = nullptr;  // the hover menus; null when closed (they delete themselves)
  Trellis::CMenuWnd* m_intervalMenu = nullptr;
  HWND m_polyphoneMenuWindow = nullptr;  // the hover menus' windows: their objects are used only while these live
  HWND m_intervalMenuWindow = nullptr;
  std::vector<std::wstring> m_audioExtensions;  // extensions accepted for speech-to-text rows
  VoiceInfo m_currentVoice;                     // the voice chosen for text-to-speech

  // Speech-to-text page: the rows' jobs (owned; a row's list item keeps its
  // job's address as its tag) and the settings of new rows.
  std::vector<std::unique_ptr<Voice2TextJob>> m_v2tRows;
  int m_v2tRunning = 0;          // speech-to-text threads still working
  std::wstring m_v2tOutputFolder;  // empty: next to each source file
  std::wstring m_v2tModel = L"16k_zh";
  std::wstring m_v2tFormat;        // empty: text
  // Jobs of removed rows that a worker ran: a status post naming them may
  // still wait in the queue, so their addresses stay taken until the window ends.
  std::vector<std::unique_ptr<Voice2TextJob>> m_v2tRetired;
  HWND m_v2tNotice = nullptr;  // the last speech-to-text notice window (checked with IsWindow)
  RecognitionRunner m_v2tWorkers;  // after the jobs: stops its workers before they are freed

  bool m_inTextLimit = false;  // set while the editor's text is cut back to the limit

  // Text-to-speech page: its workers and preview (made on first use), and the
  // count of ClearCache calls, by which a finished preview knows whether the
  // text or the settings changed while it was made.
  std::shared_ptr<TtsPageState> m_tts;
  unsigned m_settingsGeneration = 0;
};

// The program's main window object; null before it is created and after its
// last message.
CMainWnd* GetMainWindow();

// Makes the main window object, starts the start-up usage report, creates the
// window (visible, overlapped style, default place) and centres it. False
// when the window could not be created.
bool CreateMainWindow(ClientState& state);
