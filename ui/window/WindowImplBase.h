#pragma once

// WindowImplBase: the base of the skinned dialog windows. A borderless
// top-level window whose whole surface is drawn by its embedded window manager
// from a skin XML file loaded when the window is created (skin folder, skin
// archive file, archive resource or XML resource). It behaves like a framed
// window without a native frame (sizing margins, a caption band for dragging,
// maximising to the work area, rounded corners), answers the standard title
// buttons by their skin names ("closebtn", "minbtn", "maxbtn", "restorebtn")
// and turns Escape into "close with 1". Each deriving window supplies its
// class name, skin folder and skin file and handles its notifications.
//
// Owns its window manager (and with it the control tree); the object itself
// is deleted by the deriving class (commonly in OnLastMessage). UI thread only.
#include <windows.h>

#include "ui/base/portable/UIResourceRef.h"
#include "ui/base/portable/UIString.h"
#include "ui/control/UIEvent.h"
#include "ui/window/MessageFilter.h"
#include "ui/window/NotifyPump.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowWnd.h"

namespace Trellis {

class CControlUI;

// Where a window's skin comes from (WindowImplBase::GetSkinSourceKind).
enum UISkinSourceKind : int {
  kUISkinFolderOrArchive = 1,  // the skin folder, or the archive already configured
  kUISkinArchiveFile = 2,      // GetSkinZipName in the skin folder
  kUISkinXmlResource = 3,      // GetSkinFile is the number of an "xml" resource
  kUISkinArchiveResource = 4,  // the "ZIPRES" resource GetSkinZipResourceId
};

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
 public:
  // Called when a window's skin cannot be loaded or built. The default shows
  // "加载资源文件失败" and ends the process with exit code 1; a replacement
  // that returns makes the window's creation fail instead.
  using SkinLoadFailureHandler = void (*)(WindowImplBase* window);
  // Installs the handler (null: the default); returns the one it replaces.
  static SkinLoadFailureHandler SetSkinLoadFailureHandler(SkinLoadFailureHandler handler);

  WindowImplBase() = default;
  ~WindowImplBase() override = default;

  // CWindowWnd:
  const UIChar* GetSuperClassName() const override;
  UINT GetClassStyle() const override;
  // Routes a message to its handler, then HandleCustomMessage, then the
  // manager, then the default procedure, stopping at the first that handles it.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Unregisters the window from its manager and lets the tree go; does not delete the object.
  void OnLastMessage(HWND hWnd) override;

  // Hook run once the skin tree is attached and the window listens; default nothing.
  virtual void OnSkinLoaded();
  // The "click" handler of the map: the title buttons by their exact names.
  virtual void OnClick(UINotify& msg);
  // The skin folder below the program's folder (used when no skin folder is set yet).
  virtual CUIString GetSkinFolder() = 0;
  // The skin file name; for an XML resource its number as decimal text.
  virtual CUIString GetSkinFile() = 0;
  // Return gives 0; Escape posts WM_CLOSE with result 1 and gives 1; others 0.
  virtual LRESULT HandleDefaultKey(WPARAM virtualKey);
  // A UISkinSourceKind; any other value acts as kUISkinFolderOrArchive.
  virtual int GetSkinSourceKind();
  // The archive file for kUISkinArchiveFile (default empty).
  virtual CUIString GetSkinZipName();
  // The "ZIPRES" resource for kUISkinArchiveResource (default empty).
  virtual UIResourceRef GetSkinZipResourceId();

  // Message handlers: each takes the message and a handled flag (true on
  // entry); clearing the flag passes the message on to the next stage.
  virtual LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcActivate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseHover(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnChar(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnKillFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  // Messages without a handler above (and those whose handler passed); default passes.
  virtual LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  // The window's current style without WS_CAPTION.
  virtual LONG GetStyle();

  // INotifyUI: hands the notification to the notify maps.
  void Notify(UINotify& msg) override;
  // IMessageFilterUI: Return and Escape key-downs go to HandleDefaultKey.
  LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
  // IDialogBuilderCallback: the base makes no controls of its own.
  CControlUI* CreateControl(const UIChar* className) override;

  // The window's manager (its control tree, resources and settings).
  CWindowManagerUI& GetPaintManager() { return m_pm; }

  // True when a control under a point of the caption band takes the click
  // itself instead of letting the band drag the window: enabled interactive
  // controls (tab stops, controls that set the cursor, buttons, options,
  // check boxes, edits, combos, sliders, lists, scroll bars and the like).
  static bool IsInteractiveControl(CControlUI* control);

  TRELLIS_DECLARE_NOTIFY_MAP()

 protected:
  CWindowManagerUI m_pm;  // owned: the window's manager, its tree and resources
};

}  // namespace Trellis
