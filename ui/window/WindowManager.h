#pragma once
// CWindowManagerUI: the per-window heart of the framework. One manager serves
// one native window: it owns the window's control tree (the root control),
// turns window messages into UIEvent records addressed to single controls,
// tracks the mouse (hover, capture, click control, tooltips), owns the
// keyboard focus among controls and Tab navigation, runs control timers,
// delivers UINotify records to the window's listeners (at once or through a
// queue flushed on message 0x8001), paints the tree double-buffered or as a
// per-pixel-alpha layered window, and holds the window's resources (fonts,
// images, default attribute lists, option groups).
//
// Threading: a manager, its controls and every resource it hands out belong to
// the UI thread that created the window; nothing here is locked. Other threads
// reach a window only by posting it messages.
//
// The class is one class split by topic:
//   WindowManager.cpp          lifetime and tree, process-wide settings
//   WindowManagerInput.cpp     ProcessMessage and the raw-message decoding (the
//                              only place that unpacks WPARAM/LPARAM), mouse,
//                              keys, tooltips, pre-translation, message loop
//   WindowManagerFocus.cpp     focus and tab order
//   WindowManagerTimers.cpp    control timers
//   WindowManagerNotify.cpp    notifications, asynchronous queue and flush
//   WindowManagerPaint.cpp     invalidation, layout pass, painting, layered mode
//   WindowManagerResources.cpp fonts, images, default lists, colours,
//                              multi-language texts, option groups, window
//                              attributes, skin source settings

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "core/base/ScopedHandle.h"
#include "ui/base/portable/UIGeometry.h"
#include "ui/base/portable/UIPtrArray.h"
#include "ui/base/portable/UIString.h"
#include "ui/base/portable/UIStringMap.h"
#include "ui/draw/portable/UIImageDrawInfo.h"
#include "ui/window/MessageFilter.h"
#include "ui/window/Shadow.h"
#include "ui/window/UIResourceSet.h"

namespace Trellis {

class CControlUI;
class INotifyUI;
struct UIEvent;
struct UIFontInfo;
struct UIImageInfo;
struct UINotify;
struct ZipHandle;

// Private window message that flushes the asynchronous notification queue.
constexpr UINT kFlushNotifyMessage = 0x8001;
// Native timer id of the layered repaint timer (10 ms while layered).
constexpr UINT kLayeredTimerId = 0x2000;
// Native timer ids of control timers: the first is 17, they stay below 255.
constexpr UINT kFirstControlTimerId = 17;
constexpr UINT kControlTimerIdLimit = 255;

// A function that makes a control for a skin element name, or returns null.
using UIPluginCreator = CControlUI* (*)(const UIChar* elementName);

class CWindowManagerUI {
 public:
  CWindowManagerUI();
  ~CWindowManagerUI();
  CWindowManagerUI(const CWindowManagerUI&) = delete;
  CWindowManagerUI& operator=(const CWindowManagerUI&) = delete;

  // --- Lifetime and tree (WindowManager.cpp) ---

  // Binds the manager to its window (in WM_CREATE): empties the name map,
  // removes this window's fonts, images, default lists, custom attributes,
  // option groups and timers, stores the name and, for a new window, takes its
  // DC and joins the process-wide list of managers. Does not attach a tree.
  void InitForWindow(HWND hWnd, const UIChar* name = nullptr);
  // Makes the control the root: the focus goes to nothing, an earlier root and
  // everything pending for it is dropped (the old tree is deleted at the next
  // flush), the shadow window is made, the tree is attached and its names
  // filed. The first paint then lays it out and sends "windowinit".
  bool AttachRootControl(CControlUI* control);
  // Attaches a control (and its subtree) to this manager under the parent
  // (null: its own parent) with initialisation, filing every name; false for
  // null. Does not add it to any container.
  bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
  // Forgets a control that goes away: clears it as key, hover, click, focus
  // and tooltip control, deletes its timers, removes its name entry and drops
  // queued notifications it sent. Does not delete it.
  void ReapObjects(CControlUI* control);
  // Detaches the control and deletes it at the next flush; false for null.
  bool AddDelayedCleanup(CControlUI* control);
  // Re-files the control under a new name (and sets it); false when the
  // control is not this manager's, the name is empty or taken by another.
  bool RenameControl(CControlUI* control, const UIChar* name);
  // Re-files a control whose name has just changed (CControlUI::SetName
  // calls it after storing the new name): drops the entry of oldName when it
  // points to the control and files it under its current name (replacing an
  // earlier entry). Does not call SetName.
  void UpdateControlName(CControlUI* control, const UIChar* oldName);
  // The control filed under exactly that name, or null.
  CControlUI* FindControlByName(const UIChar* name) const;
  // The topmost visible, mouse-enabled control under the client point, or null.
  CControlUI* FindControlAtPoint(CUIPoint point) const;
  // A control below parent (null: the root) whose name matches ignoring case,
  // hidden controls included, or null. Does not use the name map.
  CControlUI* FindSubControlByName(CControlUI* parent, const UIChar* name) const;
  CControlUI* GetRootControl() const { return m_pRoot; }
  // Marks that some control needs a layout: the next paint lays out first.
  // Does not invalidate.
  void NeedUpdate() { m_bUpdateNeeded = true; }
  bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
  const CUIString& GetName() const { return m_sName; }
  HWND GetPaintWindow() const { return m_hWndPaint; }
  HDC GetPaintDC() const { return m_hDcPaint.Get(); }
  // The drop shadow of this window (configured by the skin builder).
  CShadowUI* GetShadow() { return &m_Shadow; }
  // Makes this manager a child of another (pop-ups of a window); false when
  // the other's parent chain reaches this manager.
  bool SetParentManager(CWindowManagerUI* parent);
  CWindowManagerUI* GetParentManager() const { return m_pParentManager; }
  // Every bound manager of the process, in the order they were bound.
  static int GetManagerCount();
  static CWindowManagerUI* GetManagerAt(int index);

  // Listener and hook lists: each add refuses null (false) and a duplicate
  // (false); each remove returns false when absent. None of them owns.
  bool AddNotifier(INotifyUI* notifier);
  bool RemoveNotifier(INotifyUI* notifier);
  bool AddPreMessageFilter(IMessageFilterUI* filter);
  bool RemovePreMessageFilter(IMessageFilterUI* filter);
  bool AddMessageFilter(IMessageFilterUI* filter);
  bool RemoveMessageFilter(IMessageFilterUI* filter);
  bool AddTranslateAccelerator(ITranslateAccelerator* translator);
  bool RemoveTranslateAccelerator(ITranslateAccelerator* translator);
  // Controls whose PostPaint runs after the whole tree has painted.
  bool AddPostPaint(CControlUI* control);
  bool RemovePostPaint(CControlUI* control);
  // Controls that get a mouse-leave whenever the hover control changes.
  bool AddMouseLeaveListener(CControlUI* control);
  bool RemoveMouseLeaveListener(CControlUI* control);
  // A native child window hosted by a control (edit boxes, browsers); its
  // rectangle is invalidated. A window already registered is refused.
  bool AddNativeWindow(CControlUI* control, HWND hChildWnd);
  bool RemoveNativeWindow(HWND hChildWnd);

  // --- Messages and input (WindowManagerInput.cpp) ---

  // Handles one message of the bound window; false lets the caller's next
  // stage (the default procedure) have it. result is set when handled.
  bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Pre-translation of a queued message for this window: pre-message filters,
  // Tab navigation, shortcut letters, sys-key events. True when consumed.
  bool PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Asks each accelerator translator in order; true when one consumed it.
  bool TranslateAccelerator(MSG* message);
  // Pre-translation over every manager, run by every message loop before
  // TranslateMessage/DispatchMessageW; true when the message was consumed.
  static bool TranslateMessage(const MSG* message);
  // The process's message loop: runs until WM_QUIT and returns its exit code,
  // or -1 when GetMessageW fails (the loop then stops).
  static int RunMessageLoop();
  // The last mouse point in client coordinates (-1,-1 before the first).
  CUIPoint GetMousePos() const { return m_ptLastMousePos; }
  void SetMouseCapture();
  void ReleaseMouseCapture();
  bool IsCaptured() const { return m_bMouseCapture; }
  CControlUI* GetHoverControl() const { return m_pEventHover; }
  CControlUI* GetClickControl() const { return m_pEventClick; }
  void SetHoverTime(UINT milliseconds) { m_iHoverTime = milliseconds; }
  UINT GetHoverTime() const { return m_iHoverTime; }
  bool IsNoActivate() const { return m_bNoActivate; }
  void SetNoActivate(bool noActivate) { m_bNoActivate = noActivate; }

  // --- Focus and tab order (WindowManagerFocus.cpp) ---

  CControlUI* GetFocusControl() const { return m_pFocus; }
  // Moves the focus to the control (null: to nothing), sending kill-focus and
  // "killfocus" to the old one, set-focus and "setfocus" to the new one. A
  // control that is not this manager's, hidden or disabled is not focused.
  // With focusWindow the native focus comes to this window too. A control
  // that takes the focus cancels a pending tab step (see FocusNextTabStop).
  void SetFocusControl(CControlUI* control, bool focusWindow = true);
  // Arranges for the next paint's tab step to land on the control.
  void SetPendingFocus(CControlUI* control);
  // Moves the focus to the next (previous) tab stop, wrapping at the ends;
  // false when the tree has no tab stop. Deferred to the next paint while a
  // layout is pending (forward only).
  bool FocusNextTabStop(bool forward = true);

  // --- Control timers (WindowManagerTimers.cpp) ---

  // Starts the control's timer `timerId`: a stopped one restarts under its
  // native id; a new one takes the lowest free native id from 17. False when
  // that timer already runs, no id is free or SetTimer fails.
  bool SetControlTimer(CControlUI* control, UINT timerId, UINT elapseMs);
  // Stops a running timer and keeps it for a restart; false when none runs.
  bool KillControlTimer(CControlUI* control, UINT timerId);
  // Deletes every timer of the control (stopping running ones).
  void KillControlTimers(CControlUI* control);
  // Deletes every timer of this window.
  void KillAllTimers();
  // The native id of a control timer (running or stopped), 0 when none.
  UINT GetNativeTimerId(CControlUI* control, UINT timerId) const;

  // --- Notifications (WindowManagerNotify.cpp) ---

  // Builds a notification from the sender and delivers it (see SendNotifyRecord).
  void SendNotify(CControlUI* sender, const UIChar* type, WPARAM wParam = 0, LPARAM lParam = 0,
                  bool async = false, bool noMerge = false);
  // Stamps the record (time, mouse point, virtual-window name) and delivers it
  // at once to the sender's notify listeners and every notifier, or queues a
  // copy (merged with a queued one of the same sender and type unless
  // noMerge) for the flush. A record whose sender goes away is still
  // delivered, with a null sender.
  void SendNotifyRecord(UINotify& notify, bool async = false, bool noMerge = false);
  // From now on notifications carry the sender's virtual-window name.
  void SetUsesVirtualWindows(bool use) { m_bUsedVirtualWnd = use; }
  bool IsUsingVirtualWindows() const { return m_bUsedVirtualWnd; }
  // Number of notification records waiting for the flush.
  int GetQueuedNotifyCount() const { return m_aAsyncNotify.GetSize(); }

  // --- Painting and layered mode (WindowManagerPaint.cpp) ---

  // Marks a client rectangle for repainting (clamped to the origin).
  void InvalidateArea(const CUIRect& rect);
  // Marks the whole client area for repainting.
  void Invalidate();
  bool IsPainting() const { return m_bIsPainting; }
  HBITMAP GetOffscreenBitmap() const { return m_hbmpOffscreen.Get(); }
  // Lets the off-screen bitmap go between paints (the next paint makes it
  // again). Not while painting, nor for layered output, whose later paints
  // only redraw the dirty part of what the bitmap holds.
  void ReleasePaintBuffer();
  // A native window's rectangle in this window's client coordinates.
  CUIRect GetChildWindowRect(HWND hChildWnd) const;
  // Switches per-pixel-alpha layered painting on or off (top-level windows).
  void SetLayered(bool layered);
  bool IsLayered() const { return m_bLayered; }
  // The image drawn under the tree of a layered window (its alpha shapes it).
  void SetLayeredImage(const UIChar* description);
  const UIChar* GetLayeredImage() const;
  // The constant alpha of a layered window's output (0..255).
  void SetLayeredOpacity(int opacity);
  int GetLayeredOpacity() const { return m_nOpacity; }
  // Whole-window constant alpha through SetLayeredWindowAttributes; turns
  // per-pixel layered painting off.
  void SetOpacity(int opacity);
  int GetOpacity() const { return m_nOpacity; }
  void SetImageAlphaForced(bool forced) { m_bAlphaForced = forced; }
  bool IsImageAlphaForced() const { return m_bAlphaForced; }
  void SetAuxFlag(bool flag) { m_bAuxFlag = flag; }
  bool GetAuxFlag() const { return m_bAuxFlag; }
  void SetShowDirty(bool showDirty) { m_bShowUpdateRect = showDirty; }
  bool IsShowDirty() const { return m_bShowUpdateRect; }
  // Off-screen (double-buffered) painting; on by default.
  void SetOffscreenPaint(bool offscreen) { m_bOffscreenPaint = offscreen; }
  bool IsOffscreenPaint() const { return m_bOffscreenPaint; }

  // Window geometry from the skin's window attributes.
  // Stores the initial size; resizes the window while no root is attached.
  void SetInitialSize(int cx, int cy);
  CUISize GetInitialSize() const { return m_szInitWindowSize; }
  void SetSizeBox(const CUIRect& sizeBox) { m_rcSizeBox = sizeBox; }
  CUIRect GetSizeBox() const { return m_rcSizeBox; }
  // Left and right are margins from the client edges; top and bottom client y.
  void SetCaptionRect(const CUIRect& caption) { m_rcCaption = caption; }
  CUIRect GetCaptionRect() const { return m_rcCaption; }
  void SetRoundCorner(int cx, int cy) { m_szRoundCorner = CUISize(cx, cy); }
  CUISize GetRoundCorner() const { return m_szRoundCorner; }
  void SetMinInfo(int cx, int cy);
  CUISize GetMinInfo() const { return m_szMinWindow; }
  void SetMaxInfo(int cx, int cy);
  CUISize GetMaxInfo() const { return m_szMaxWindow; }

  // --- Resources (WindowManagerResources.cpp) ---
  // "shared" (or the use-shared-resources flag) selects the process-wide set.

  // Creates a font and stores it under the id (replacing and deleting an
  // earlier one); bold means weight 700. Null when it cannot be created.
  HFONT AddFont(int id, const UIChar* face, int size, bool bold, bool underline, bool italic, bool shared = false);
  // Stores a font's description under the id like AddFont; the font itself is
  // made at its first lookup, so a skin's fonts that no control draws with
  // cost nothing.
  void DeclareFont(int id, const UIChar* face, int size, bool bold, bool underline, bool italic, bool shared = false);
  // The font of that id (window's, shared), else the default font.
  HFONT GetFontHandle(int id);
  UIFontInfo* GetFontInfo(int id);
  UIFontInfo* GetFontInfoByHandle(HFONT font);
  // The first font made with exactly these settings, or null.
  HFONT FindFontHandle(const UIChar* face, int size, bool bold, bool underline, bool italic);
  // Replaces the default font of the chosen set (the old handle is deleted).
  void SetDefaultFont(const UIChar* face, int size, bool bold, bool underline, bool italic, bool shared = false);
  UIFontInfo* GetDefaultFontInfo();
  void RemoveAllFonts(bool shared = false);

  // Loads an image and stores it under its name. A name already registered in
  // the chosen set keeps its record, which is returned (cached pointers stay
  // valid). Null for an empty name or an image that cannot be loaded.
  UIImageInfo* AddImage(const UIChar* name, const UIChar* type = nullptr, DWORD mask = 0,
                        bool keepSourcePixels = false, bool shared = false);
  // The window's image of that name, else the shared one, else null.
  UIImageInfo* GetImage(const UIChar* name) const;
  // GetImage, loading and adding the image when it is missing.
  UIImageInfo* GetOrAddImage(const UIChar* name, const UIChar* type = nullptr, DWORD mask = 0,
                             bool keepSourcePixels = false);
  void RemoveAllImages(bool shared = false);
  void SetShareLoadedImages(bool share) { m_bForceUseSharedRes = share; }
  bool IsShareLoadedImages() const { return m_bForceUseSharedRes; }

  // Stores a copy of the attribute list for the element name (replacing one).
  void AddDefaultAttributeList(const UIChar* elementName, const UIChar* list, bool shared = false);
  // The window's list, else the shared one, else null.
  const UIChar* GetDefaultAttributeList(const UIChar* elementName) const;
  void RemoveAllDefaultAttributeLists(bool shared = false);

  // Process-wide texts for "%{id}" tokens; a copy replaces an earlier text.
  static void AddMultiLanguageString(int id, const UIChar* text);
  static const UIChar* GetMultiLanguageString(int id);
  // Replaces every "%{id}" token that has a text, in one pass (text brought
  // in by a replacement is not scanned again).
  static void ProcessMultiLanguageTokens(CUIString& text);

  void SetDefaultDisabledColor(uint32_t color, bool shared = false);
  uint32_t GetDefaultDisabledColor() const { return m_ResInfo.dwDefaultDisabledColor; }
  void SetDefaultFontColor(uint32_t color, bool shared = false);
  uint32_t GetDefaultFontColor() const { return m_ResInfo.dwDefaultFontColor; }
  void SetDefaultLinkFontColor(uint32_t color, bool shared = false);
  uint32_t GetDefaultLinkFontColor() const { return m_ResInfo.dwDefaultLinkFontColor; }
  void SetDefaultLinkHoverFontColor(uint32_t color, bool shared = false);
  uint32_t GetDefaultLinkHoverFontColor() const { return m_ResInfo.dwDefaultLinkHoverFontColor; }
  void SetDefaultSelectedBkColor(uint32_t color, bool shared = false);
  uint32_t GetDefaultSelectedBkColor() const { return m_ResInfo.dwDefaultSelectedBkColor; }

  // Option groups: lists of option controls by group name (not owning them).
  bool AddOptionToGroup(const UIChar* group, CControlUI* option);
  CUIPtrArray* GetOptionGroup(const UIChar* group) const;
  void RemoveOptionFromGroup(const UIChar* group, CControlUI* option);
  void RemoveAllOptionGroups();

  // Applies one attribute of the skin's root "Window" element.
  void SetWindowAttribute(const UIChar* name, const UIChar* value);
  // Stores a custom attribute unless the name or value is empty or the name
  // is present (the first value stays).
  void AddWindowCustomAttribute(const UIChar* name, const UIChar* value);
  const UIChar* GetWindowCustomAttribute(const UIChar* name) const;
  void RemoveAllWindowCustomAttributes();

  // Process-wide settings: program instance and skin source.
  // Stores the program instance and registers the shadow's window class.
  static void SetInstance(HINSTANCE instance);
  static HINSTANCE GetInstance();
  // The resource module (the program instance unless one was set).
  static HINSTANCE GetResourceInstance();
  // The program file's folder with a trailing backslash.
  static CUIString GetInstancePath();
  // The skin folder; a trailing backslash is added when missing.
  static void SetResourcePath(const UIChar* path);
  static const CUIString& GetResourcePath();
  // Skins are read from this archive in the skin folder; with keepOpen it is
  // opened now and held open.
  static void SetResourceZipFile(const UIChar* name, bool keepOpen = true);
  // Skins are read from an archive in memory (the bytes are not copied and
  // must stay alive); a later buffer replaces an earlier one.
  static void SetResourceZipMemory(const void* bytes, unsigned length);
  static const CUIString& GetResourceZipName();
  static ZipHandle* GetResourceZipHandle();
  static bool IsResourceZipCached();
  static const CUIPtrArray& GetPlugins();

 private:
  // One control timer. Owned by m_aTimers.
  struct TimerInfo {
    CControlUI* pSender;  // the control the timer events go to
    UINT nLocalID;        // the control's own timer id
    HWND hWnd;            // the window that runs it
    UINT uWinTimer;       // native timer id, reserved while the record lives
    bool bKilled;         // stopped, kept for a restart
  };

  // Lifetime helpers (WindowManager.cpp).
  void DropDelayedCleanups();
  void DropQueuedNotifications();
  static void EnsureProcessDefaults();
  // Input helpers (WindowManagerInput.cpp).
  bool HandleMouseMove(CUIPoint point, WPARAM wParam, LPARAM lParam);
  void HandleMouseLeave();
  bool HandleMouseHover(CUIPoint point, WPARAM wParam, LPARAM lParam);
  void HandleClose();
  void HandleKillFocus(HWND hWndGettingFocus);
  void HandlePrintClient(HDC dc, LPARAM flags);
  void HideToolTip();
  // Sends an event to the control; its sender is `sender`, or the control
  // itself when that is null.
  void SendEventTo(CControlUI* control, int kind, CUIPoint point, WPARAM wParam, LPARAM lParam, UINT key,
                   WORD keyState, CControlUI* sender = nullptr);
  // The kill-focus event of the old focus control, whose sender is the
  // control that takes the focus: null when the focus moves to nothing.
  void SendKillFocusEvent(CControlUI* oldFocus, CControlUI* newFocus);
  CControlUI* FindOwnControlAt(CUIPoint point) const;
  // Timers (WindowManagerTimers.cpp).
  void HandleTimer(UINT nativeId, LPARAM lParam);
  // Notifications (WindowManagerNotify.cpp).
  void DeliverNotify(UINotify& notify);
  void FlushNotifications();
  // Painting (WindowManagerPaint.cpp).
  void HandlePaint();
  void LayoutPass(const CUIRect& client);
  void PaintNativeChildren(HDC dc, const CUIRect& paintRect);
  void ApplyLayeredBackground(const CUIRect& paintRect, const CUIRect& client);
  // Resources (WindowManagerResources.cpp).
  UIResourceSet& ChosenSet(bool shared);
  void MeasureFont(UIFontInfo* font);
  // Stores a font record (handle may be empty) under the id, replacing an
  // earlier one; null when it cannot be stored.
  UIFontInfo* StoreFont(int id, const UIChar* face, int size, bool bold, bool underline, bool italic, bool shared,
                        OwnedFont font);
  // Makes a declared font's handle if it has none yet; false when it cannot.
  static bool RealizeFont(UIFontInfo* font);

  // --- State. Weak control pointers are cleared by ReapObjects. ---
  CShadowUI m_Shadow;                    // embedded; configured by the skin builder, its window made by AttachRootControl
  CUIString m_sName;                     // set by InitForWindow
  HWND m_hWndPaint;                      // the window; set by InitForWindow, never cleared
  WindowDC m_hDcPaint;                   // GetDC of the window; taken by InitForWindow, released by the destructor
  OwnedMemoryDC m_hDcOffscreen;          // made by the paint when missing; dropped on a root layout and by the destructor
  OwnedMemoryDC m_hDcBackground;         // layered-image background; made by the paint, dropped like the off-screen DC
  OwnedBitmap m_hbmpOffscreen;           // off-screen bitmap, lifetime as m_hDcOffscreen
  BYTE* m_pOffscreenBits;                // its pixels (ARGB bitmaps only), borrowed from m_hbmpOffscreen
  OwnedBitmap m_hbmpBackground;          // layered-image background bitmap, lifetime as m_hDcBackground
  BYTE* m_pBackgroundBits;               // its pixels, borrowed from m_hbmpBackground
  int m_iLastTooltipWidth;               // width last sent to the tooltip; set by the hover handling
  HWND m_hwndTooltip;                    // tooltip window; made by the first hover with a tooltip, destroyed by WM_CLOSE and the destructor
  TOOLINFOW m_ToolTip;                   // the tool record; filled by the hover handling
  UINT m_iHoverTime;                     // hover delay in ms; 1000 unless set
  bool m_bNoActivate;                    // "noactivate"; set by SetWindowAttribute
  bool m_bShowUpdateRect;                // "showdirty"; set by SetWindowAttribute
  CControlUI* m_pRoot;                   // owned tree; set by AttachRootControl, deleted by the destructor (an old root by the flush)
  CControlUI* m_pFocus;                  // set by SetFocusControl/SetPendingFocus, cleared by them and ReapObjects
  CControlUI* m_pEventHover;             // set by mouse-move, cleared on leave and by ReapObjects/AttachRootControl
  CControlUI* m_pEventClick;             // set by button-down/double-click/right-down, cleared by button-up, context menu, ReapObjects
  CControlUI* m_pEventKey;               // set by key-down, cleared by key-up and ReapObjects
  CControlUI* m_pLastToolTip;            // set by the hover handling, cleared by ReapObjects/AttachRootControl
  CUIPoint m_ptLastMousePos;             // client point; set by every mouse message, -1,-1 at start
  CUISize m_szMinWindow;                 // "mininfo"; set by SetMinInfo (0 = none)
  CUISize m_szMaxWindow;                 // "maxinfo"; set by SetMaxInfo (0 = none)
  CUISize m_szInitWindowSize;            // "size"; set by SetInitialSize
  CUIRect m_rcSizeBox;                   // "sizebox"; set by SetWindowAttribute
  CUISize m_szRoundCorner;               // "roundcorner"; set by SetRoundCorner
  CUIRect m_rcCaption;                   // "caption"; set by SetCaptionRect
  bool m_bFirstLayout;                   // true until the first layout pass (which sends "windowinit")
  bool m_bUpdateNeeded;                  // set by NeedUpdate/WM_SIZE/AttachRootControl, cleared by the layout pass
  bool m_bFocusNeeded;                   // set by AttachRootControl/SetPendingFocus/FocusNextTabStop, cleared by FocusNextTabStop/SetFocusControl
  bool m_bOffscreenPaint;                // true unless set off
  BYTE m_nOpacity;                       // constant alpha of layered output; set by SetOpacity/SetLayeredOpacity
  bool m_bLayered;                       // per-pixel layered mode; set by SetLayered/SetOpacity
  CUIRect m_rcLayeredUpdate;             // layered dirty area; grown by invalidation, taken by the paint
  UIImageDrawInfo m_diLayered;           // layered-image description; set by SetLayeredImage
  bool m_bLayeredChanged;                // set by SetLayeredOpacity, cleared by the paint
  bool m_bMouseTracking;                 // TrackMouseEvent requested; set by mouse-move, cleared by leave/hover
  bool m_bMouseCapture;                  // set by SetMouseCapture, cleared by ReleaseMouseCapture
  bool m_bIsPainting;                    // set while HandlePaint runs
  bool m_bUsedVirtualWnd;                // set by SetUsesVirtualWindows
  bool m_bAsyncNotifyPosted;             // flush message posted; cleared by the flush
  bool m_bAlphaForced;                   // set by SetImageAlphaForced
  bool m_bAuxFlag;                       // stored only
  bool m_bForceUseSharedRes;             // resources added go to the shared set; set by SetShareLoadedImages
  CWindowManagerUI* m_pParentManager;    // not owned; set by SetParentManager
  CUIPtrArray m_aNotifiers;              // INotifyUI*, not owned; AddNotifier/RemoveNotifier
  CUIPtrArray m_aTimers;                 // owned TimerInfo*; SetControlTimer adds, KillControlTimers/KillAllTimers delete
  CUIPtrArray m_aPreMessageFilters;      // IMessageFilterUI*, not owned
  CUIPtrArray m_aMessageFilters;         // IMessageFilterUI*, not owned
  CUIPtrArray m_aPostPaintControls;      // CControlUI*, not owned; AddPostPaint/RemovePostPaint/ReapObjects
  CUIPtrArray m_aNativeWindow;           // HWND of hosted native children; AddNativeWindow/RemoveNativeWindow, dead ones dropped by the paint
  CUIPtrArray m_aNativeWindowControl;    // their hosting controls, parallel to m_aNativeWindow
  CUIPtrArray m_aDelayedCleanup;         // owned CControlUI*; AddDelayedCleanup adds, the flush/AttachRootControl/destructor delete
  CUIPtrArray m_aAsyncNotify;            // owned UINotify*; queued by SendNotifyRecord, taken by the flush, its sender cleared by ReapObjects
  CUIPtrArray m_aInFlightNotify;         // UINotify* being delivered now (not owned); ReapObjects clears their sender
  CUIPtrArray m_aFoundControls;          // scratch list of the layout pass
  CUIPtrArray m_aMouseLeaveListeners;   // CControlUI*, not owned; AddMouseLeaveListener/RemoveMouseLeaveListener/ReapObjects
  CUIStringMap m_mNameHash;              // name -> CControlUI*; filled by InitControls, emptied by InitForWindow/AttachRootControl
  CUIStringMap m_mWindowCustomAttrHash;  // name -> owned CUIString*; AddWindowCustomAttribute/RemoveAllWindowCustomAttributes
  CUIStringMap m_mOptionGroup;           // group -> owned CUIPtrArray* of options; AddOptionToGroup/RemoveOptionFromGroup
  UIResourceSet m_ResInfo;               // the window's resources; freed by the destructor
  CUIPtrArray m_aTranslateAccelerator;   // ITranslateAccelerator*, not owned
};

}  // namespace Trellis
