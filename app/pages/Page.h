#pragma once
// Page and PageHost: what the main window and each of its pages (the
// text-to-speech page, the speech-to-text page, the user panel) ask of each
// other. A page binds its own controls from the window's manager, owns its
// state and its workers, answers its own notifications and application
// messages, says whether it is busy and resets itself; the window keeps the
// frame and routes to the pages. Also the small helpers the pages share
// (control casts and setters, the notification table walk, the file and
// folder dialogs). Holds nothing itself: a page borrows its host and its controls.
// UI thread only.
#include <windows.h>

#include <commdlg.h>
#include <cderr.h>

#include <cwchar>
#include <string>

#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"
#include "ui/window/WindowManager.h"

class ClientState;

// What a page borrows from the window that holds it.
class PageHost {
 public:
  virtual ~PageHost() = default;
  // The window: the owner of the pages' dialogs and the target of their workers' posts.
  virtual HWND PageWindow() const = 0;
  // The window's manager, which owns the control tree the pages bind to.
  virtual Trellis::CWindowManagerUI& PageManager() = 0;
  virtual ClientState& PageState() = 0;
  // Starts one usage report with `detail`, not waiting for it.
  virtual void Report(int detail) = 0;
};

class Page {
 public:
  explicit Page(PageHost& host) : m_host(host) {}
  virtual ~Page() = default;
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  // Finds the page's controls by their skin names (each null when the skin
  // lacks it) and sets what the page starts with. Run once the tree is built.
  virtual void Bind() = 0;
  // Runs the page's handler of the notification; false when it has none.
  virtual bool Notify(Trellis::UINotify& msg) = 0;
  // Handles one of the page's application messages; false for any other.
  virtual bool OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // Work runs that a reset would drop.
  virtual bool IsBusy() const = 0;
  // Every setting of the page back at its default.
  virtual void Reset() = 0;

 protected:
  HWND Window() const { return m_host.PageWindow(); }
  Trellis::CWindowManagerUI& Manager() { return m_host.PageManager(); }
  ClientState& State() { return m_host.PageState(); }
  void Report(int detail) { m_host.Report(detail); }
  // The named control of the window's tree (a note in the debugger output when it is missing).
  Trellis::CControlUI* Bound(const wchar_t* name);

 private:
  PageHost& m_host;
};

// One row of a notification table: the type ("click", "selectchanged", ...)
// and the sender's skin name, exact or contained; the first matching row runs.
template <typename T>
struct NotifyRoute {
  const wchar_t* type;
  const wchar_t* sender;
  bool contains;
  void (T::*handler)(Trellis::UINotify& msg);
};

// Runs the first row of `routes` that matches the notification on `self`;
// false when none does.
template <typename T, size_t N>
bool DispatchNotify(T* self, const NotifyRoute<T> (&routes)[N], Trellis::UINotify& msg) {
  if (msg.pSender == nullptr) return false;
  const Trellis::CUIString name = msg.pSender->GetName();
  const wchar_t* sender = name.GetText();
  const wchar_t* type = msg.sType.GetText();
  for (const NotifyRoute<T>& route : routes) {
    if (wcscmp(type, route.type) != 0) continue;
    const bool matches = route.contains ? wcsstr(sender, route.sender) != nullptr : wcscmp(sender, route.sender) == 0;
    if (!matches) continue;
    (self->*route.handler)(msg);
    return true;
  }
  return false;
}

// The control as one of its interfaces ("Button", "RichEdit", ...); null for a null control.
template <typename T>
T* ControlAs(Trellis::CControlUI* control, const wchar_t* interfaceName) {
  return control != nullptr ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
}

// Setters that let a control the skin lacks be.
void SetControlText(Trellis::CControlUI* control, const wchar_t* text);
void ShowControl(Trellis::CControlUI* control, bool visible);
// The slider's value and its label's "%d".
void SetSliderValue(Trellis::CControlUI* slider, Trellis::CControlUI* label, int value);

// The system's open-file dialog (GetOpenFileNameW). Its library is loaded at
// the first call, not with the program: under Wine it brings the print
// spooler and its host libraries along, which no start-up needs. False when
// cancelled or failed; `error` (when given) gets CommDlgExtendedError's code,
// or CDERR_INITIALIZATION when the library cannot be loaded.
bool PickOpenFile(OPENFILENAMEW* dialog, DWORD* error = nullptr);

// "转换中，请稍后再试！", modal on `owner`.
void ShowBusyMessage(HWND owner);
// A file-system folder chosen by the user in the folder dialog owned by
// `owner`; empty when the dialog was cancelled.
std::wstring ChooseFolder(HWND owner);
// The user's desktop folder; empty when it cannot be had.
std::wstring DesktopFolder();
