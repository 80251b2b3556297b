#pragma once
// CWindowWnd: the framework's thin object wrapper around one native window. It
// registers the window class (an own class, or a super-class of a native one),
// creates the window with the object as its creation parameter, routes every
// message of that window to HandleMessage, and offers the few window
// operations the framework needs (show, centre, close with a result, modal
// loop, post, send).
//
// Threading: a wrapper and its window belong to the UI thread that created
// the window; only PostWindowMessage and PostClose may be called from other
// threads (they only post).
//
// Lifetime: the window does not own the object. After the window's last
// message (WM_NCDESTROY) the handle is null and OnLastMessage runs once;
// deriving windows that live on the heap delete themselves there and nowhere
// else.

#include <windows.h>

#include "ui/base/portable/UIChar.h"
#include "ui/base/portable/UIGeometry.h"

namespace Trellis {

class CWindowWnd {
 public:
  CWindowWnd();
  virtual ~CWindowWnd() = default;
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  // The window-class name to register; every window class supplies it.
  virtual const UIChar* GetWindowClassName() const = 0;
  // The native class to super-class, or null (default) for an own class.
  virtual const UIChar* GetSuperClassName() const;
  // Class style bits of an own class (default 0).
  virtual UINT GetClassStyle() const;
  // Handles one message; the default passes it to the saved procedure. Never
  // receives WM_NCDESTROY.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Runs once after WM_NCDESTROY has been processed, with the wrapper's handle
  // already cleared; the default does nothing.
  virtual void OnLastMessage(HWND hWnd);

  HWND GetHandle() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // Registers the class and creates the window; the handle is set during
  // WM_NCCREATE. Null (and no window) when registration or creation fails.
  HWND CreateWithSize(HWND parent, const UIChar* title, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                      int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU menu = nullptr);
  // CreateWithSize with the rectangle's left, top, width and height.
  HWND CreateWithRect(HWND parent, const UIChar* title, DWORD style, DWORD exStyle, const CUIRect& rect,
                      HMENU menu = nullptr);
  // Shows (activating when takeFocus) or hides the window; nothing without one.
  void ShowOrHide(bool show = true, bool takeFocus = true);
  // Shows the window modal to its owner (the owner is disabled meanwhile) and
  // runs messages until the window is gone or WM_QUIT arrives (which is posted
  // again for the outer loop). Returns the wParam of the last WM_CLOSE sent to
  // this window, 0 when it closed otherwise.
  UINT RunModalLoop();
  // Posts WM_CLOSE with the result code; nothing without a window.
  void PostClose(UINT result = IDOK);
  // Centres the window on its owner (or the work area), kept inside the work area.
  void CenterOnOwner();
  bool PostWindowMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT SendWindowMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Puts the saved procedure back when this object subclassed the window.
  void Unsubclass();
  // Registers the own class; "already exists" counts as success.
  bool RegisterWindowClass();
  // Registers the super-class of GetSuperClassName; false when no module knows it.
  bool RegisterSuperclass();

 protected:
  static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SuperclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_hWnd;             // set at WM_NCCREATE, cleared after WM_NCDESTROY
  WNDPROC m_OldWndProc;    // where unhandled messages go: DefWindowProcW, or the native class's procedure
  bool m_bSubclassed;      // cleared by Unsubclass and the last message

 private:
  // What both procedures do after finding the object.
  static LRESULT RouteMessage(CWindowWnd* window, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                              bool superclass);
};

}  // namespace Trellis
