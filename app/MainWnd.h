#pragma once
// CMainWnd: the program's one top-level window, built from "MainWnd.xml": the
// frame (its window messages, the caption band's buttons, the main menu, the
// home page with its two entry buttons and the page switches) and the three
// page objects it routes to: the text-to-speech page, the speech-to-text page
// (app/pages/TextToSpeechPage.h, SpeechToTextPage.h) and the user panel of
// the title band (app/pages/UserPanel.h). Notifications and application
// messages the frame does not handle go to the pages in turn.
//
// Owns its window manager (and through it the control tree) and the pages,
// which own their jobs, rows and workers. A heap object: its last message
// clears the program's main-window handle, ends the message loop and deletes
// it. Quitting only ends the message loops; the window is destroyed after
// the main loop (DestroyMainWindow), never from inside one of its own
// handlers, whose frames would go on using the freed manager and controls.
// UI thread only.
#include "app/pages/Page.h"
#include "app/pages/SpeechToTextPage.h"
#include "app/pages/TextToSpeechPage.h"
#include "app/pages/UserPanel.h"
#include "ui/control/UIEvent.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowWnd.h"

#include <shellapi.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

class ClientState;

// Starts one usage report with its own detail value (type 6). The thread
// handle goes to `thread` when given (the caller closes it). The main window
// sends every report through one of these; tests replace it.
using UsageReporter = std::function<bool(int detail, HANDLE* thread)>;

class CMainWnd : public Trellis::CWindowWnd,
                 public Trellis::INotifyUI,
                 public Trellis::IDialogBuilderCallback,
                 private PageHost {
 public:
  explicit CMainWnd(ClientState& state);
  ~CMainWnd() override;

  // CWindowWnd:
  const Trellis::UIChar* GetWindowClassName() const override;
  const Trellis::UIChar* GetSuperClassName() const override;
  UINT GetClassStyle() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnLastMessage(HWND hWnd) override;
  // INotifyUI: the frame's table first, then the pages'.
  void Notify(Trellis::UINotify& msg) override;
  // IDialogBuilderCallback: every element of the skin is a framework control.
  Trellis::CControlUI* CreateControl(const Trellis::UIChar* className) override;

  Trellis::CWindowManagerUI& GetPaintManager() { return m_pm; }
  // Replaces how usage reports are started (tests record them instead).
  void SetReporter(UsageReporter reporter) { m_reporter = std::move(reporter); }

  // The pages, bound by FindControls.
  TextToSpeechPage& TextToSpeech() { return m_textToSpeech; }
  SpeechToTextPage& SpeechToText() { return m_speechToText; }
  UserPanel& Users() { return m_userPanel; }

  // Finds the frame's controls, binds the pages and resets them; false when
  // the tree has no root. Run by WM_CREATE.
  bool FindControls();
  // Back to the home page with every page setting at its default.
  void ResetPages();
  // Signs the user out (the user panel's logout).
  void Logout() { m_userPanel.Logout(); }

 private:
  // PageHost:
  HWND PageWindow() const override { return GetHandle(); }
  Trellis::CWindowManagerUI& PageManager() override { return m_pm; }
  ClientState& PageState() override { return m_state; }
  void Report(int detail) override;

  // --- Messages ---
  LRESULT OnCreate();
  LRESULT OnFirstPaint(WPARAM wParam, LPARAM lParam);
  LRESULT OnNcHitTest(LPARAM lParam);
  void OnDropFiles(HDROP drop);
  // Handles the application messages (1124-1145): the frame's, then the
  // pages'; false for any other message.
  bool OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void BringToFront();
  void QuitAfterReport();
  void OnMenuClick();

  // --- Notification handlers of the frame (the table in MainWnd.cpp) ---
  void OnCustomerService(Trellis::UINotify&);
  void OnCloseButton(Trellis::UINotify&);
  void OnMinimize(Trellis::UINotify&);
  void OnMainMenu(Trellis::UINotify&);
  void OnReturnHome(Trellis::UINotify&);
  void OnShowSpeechToText(Trellis::UINotify&);
  void OnShowTextToSpeech(Trellis::UINotify&);
  static const NotifyRoute<CMainWnd> kNotifyRoutes[];

  // The pages in the order they are asked: the user panel, the text-to-speech page, the speech-to-text page.
  std::array<Page*, 3> Pages();
  // Some page's work runs: the pages must not be reset.
  bool IsBusy() const;
  void SelectPages(int mainPage, int convertPage);

  ClientState& m_state;            // borrowed: the program's client state
  Trellis::CWindowManagerUI m_pm;  // owns the control tree
  UsageReporter m_reporter;
  bool m_bound = false;  // set by FindControls: notifications reach the pages only then
  bool m_firstPaintDone = false;

  // The frame's controls found by FindControls; borrowed from the tree, null when the skin lacks the name.
  Trellis::CControlUI* m_versionNumber = nullptr;
  Trellis::CControlUI* m_tabMain = nullptr;
  Trellis::CControlUI* m_tabConvert = nullptr;
  Trellis::CControlUI* m_btnText2AudioShow = nullptr;
  Trellis::CControlUI* m_btnVoice2TextShow = nullptr;

  // After the manager, so they go first: each stops its workers as it goes
  // (the speech-to-text page before the text-to-speech page).
  UserPanel m_userPanel{*this};
  TextToSpeechPage m_textToSpeech{*this};
  SpeechToTextPage m_speechToText{*this};
};

// The program's main window object; null before it is created and after its
// last message.
CMainWnd* GetMainWindow();

// Makes the main window object, starts the start-up usage report, creates the
// window (visible, overlapped style, default place) and centres it. False
// when the window could not be created.
bool CreateMainWindow(ClientState& state);
// Destroys the main window, when it still exists, once the message loop has
// ended; its last message deletes the object. Never call it from a handler of
// the window's own messages.
void DestroyMainWindow();
