#pragma once

// CControlUI: the base of every element of a window's control tree, and the
// plain "Control" element itself (a rectangle that paints colours, an image
// and a border). It holds the element's name, text, rectangle and sizing
// rules, padding, floating placement, visibility and enabled state, colours,
// background image, border, tooltip, user data and custom skin attributes.
// Its virtual operations, in the order below, are the contract through which
// the window manager, the skin builder and the layouts drive any control.
//
// Ownership: a control owns its cover control and its custom-attribute
// values; it borrows its parent and its window manager. Controls belong to
// the UI thread of their window; nothing here locks.
#include <windows.h>

#include <cstdint>

#include "ui/base/portable/Delegate.h"
#include "ui/base/portable/UIGeometry.h"
#include "ui/base/portable/UIString.h"
#include "ui/base/portable/UIStringMap.h"
#include "ui/control/UIEvent.h"
#include "ui/control/portable/FloatPlacement.h"
#include "ui/draw/portable/UIImageDrawInfo.h"

namespace Trellis {

class CWindowManagerUI;
class CImageAttribute;
class CControlUI;

// The callback of CControlUI::FindControl: returns the control it accepts
// (usually the one offered) or null to go on searching.
using UIFindControlProc = CControlUI* (*)(CControlUI* control, void* data);

class CControlUI {
 public:
  CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  // --- Lifetime and identity ---
  // Leaves the manager's mouse-leave list, then destroys and frees the control.
  virtual void Delete();
  // Deletes the cover, fires destroyListeners and makes the manager forget the control.
  virtual ~CControlUI();
  virtual CUIString GetName() const;
  // Stores a different name and re-files the control in its manager's name index.
  virtual void SetName(const UIChar* name);
  // The skin class name: "Control".
  virtual const UIChar* GetClassName() const;
  // The control itself for "Control", else null; derived classes add their names.
  virtual void* GetInterface(const UIChar* name);
  // UIControlFlag bits; the base has none.
  virtual UINT GetControlFlags() const;
  // The native child window a control hosts; the base hosts none.
  virtual HWND GetNativeWindow() const;
  // True when visible and enabled; derived controls act on it (click, select).
  virtual bool Activate();

  // --- Tree ---
  virtual CWindowManagerUI* GetManager() const;
  // Attaches the cover first, then stores manager and parent; with init and a
  // parent, runs Init. Does not file names (the manager's InitControls does).
  virtual void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true);
  virtual CControlUI* GetParent() const;
  virtual CControlUI* GetCover() const;
  // Replaces (and deletes) the cover control; the new one is owned and, with a
  // manager, attached with this control as its parent.
  virtual void SetCover(CControlUI* cover);

  // --- Text ---
  virtual CUIString GetText() const;
  // Stores a different text and invalidates; no layout.
  virtual void SetText(const UIChar* text);

  // --- Position and size ---
  // The position in window client coordinates.
  virtual const CUIRect& GetPos() const;
  // The position relative to the parent's top left; all zero without a parent.
  virtual CUIRect GetRelativePos() const;
  // The area children are placed in: the position (containers remove inset and bars).
  virtual CUIRect GetClientPos() const;
  // Places the control (a floating one relative to its parent), fires
  // sizeListeners, places the cover, and invalidates the old and new area
  // when asked. Does not lay out children (containers do).
  virtual void SetPos(CUIRect rc, bool invalidate = true);
  // Moves the control and its cover by the offset.
  virtual void Move(CUISize offset, bool invalidate = true);
  virtual int GetWidth() const;
  virtual int GetHeight() const;
  virtual int GetX() const;
  virtual int GetY() const;
  // Margins left, top, right, bottom; setting asks the parent for a layout.
  virtual CUIRect GetPadding() const;
  virtual void SetPadding(CUIRect padding);
  // The fixed position (the floating offset); setting asks the parent for a layout.
  virtual CUISize GetFixedXY() const;
  virtual void SetFixedXY(CUISize xy);
  virtual UIFloatPercent GetFloatPercent() const;
  virtual void SetFloatPercent(UIFloatPercent percent);
  // 0 = automatic. Setting ignores negatives and always asks the parent for a layout.
  virtual int GetFixedWidth() const;
  virtual void SetFixedWidth(int cx);
  virtual int GetFixedHeight() const;
  virtual void SetFixedHeight(int cy);
  // Minimum and maximum setters ignore negative or unchanged values.
  virtual int GetMinWidth() const;
  virtual void SetMinWidth(int cx);
  // The larger of the maximum and the minimum width.
  virtual int GetMaxWidth() const;
  virtual void SetMaxWidth(int cx);
  virtual int GetMinHeight() const;
  virtual void SetMinHeight(int cy);
  // The larger of the maximum and the minimum height.
  virtual int GetMaxHeight() const;
  virtual void SetMaxHeight(int cy);

  // --- Tooltip, shortcut, menu, user data ---
  virtual CUIString GetToolTip() const;
  // Stores the text with every "<n>" replaced by a line break ("\r\n").
  virtual void SetToolTip(const UIChar* text);
  // The tooltip window's maximum width in pixels.
  virtual void SetToolTipWidth(int width);
  virtual int GetToolTipWidth() const;
  virtual UIChar GetShortcut() const;
  virtual void SetShortcut(UIChar ch);
  virtual bool IsContextMenuUsed() const;
  virtual void SetContextMenuUsed(bool used);
  virtual const CUIString& GetUserData() const;
  virtual void SetUserData(const UIChar* text);
  virtual uintptr_t GetTag() const;
  virtual void SetTag(uintptr_t tag);

  // --- Visibility and state ---
  // Visible and inherited-visible.
  virtual bool IsVisible() const;
  // The control's own flag, whether or not its ancestors are shown (a control
  // on a tab page that is not selected keeps it).
  bool IsSetVisible() const { return m_bVisible; }
  // Stores the flag, drops the focus when hiding, asks the parent for a layout
  // when the effective visibility changed, passes it on to the cover.
  virtual void SetVisible(bool visible = true);
  // Stores the flag inherited from the ancestors; no layout, no repaint (the
  // calling container does that).
  virtual void SetInheritedVisible(bool visible = true);
  virtual bool IsEnabled() const;
  // Stores a changed flag and invalidates.
  virtual void SetEnabled(bool enabled = true);
  virtual bool IsMouseEnabled() const;
  // Stores the flag; no repaint.
  virtual void SetMouseEnabled(bool enabled = true);
  virtual bool IsKeyboardEnabled() const;
  virtual void SetKeyboardEnabled(bool enabled = true);
  virtual bool IsFocused() const;
  // Asks the manager to focus this control (not the native window).
  virtual void SetFocus();
  virtual bool IsFloat() const;
  // Stores a changed flag and asks the parent for a layout.
  virtual void SetFloat(bool floating = true);

  // --- Search ---
  // Offers this control (and its cover) to the callback under the UIFindFlag
  // rules; returns the first control the callback accepts, or null.
  virtual CControlUI* FindControl(UIFindControlProc proc, void* data, UINT flags);

  // --- Initialisation and events ---
  // Runs OnInit, then fires initListeners.
  virtual void Init();
  // Builds a derived control's parts; the base does nothing.
  virtual void OnInit();
  // Fires eventListeners and, unless one returned false, HandleEvent.
  virtual void SendEvent(UIEvent& event);
  // The base's handling: cursor, focus flag, "timer" and "menu"
  // notifications; other events go to the parent.
  virtual void HandleEvent(UIEvent& event);

  // --- Attributes ---
  // The base answers the empty text for every name.
  virtual CUIString GetAttribute(const UIChar* name);
  // Applies one skin attribute; unknown names become custom attributes.
  virtual void SetAttribute(const UIChar* name, const UIChar* value);
  // The base answers the empty text.
  virtual CUIString GetAttributeList();
  // Applies name="value" pairs separated by one blank, stopping at the first
  // malformed pair.
  virtual void ApplyAttributeList(const UIChar* list);

  // --- Size estimate and painting ---
  // (fixed width, fixed height); the available size is not used by the base.
  virtual CUISize EstimateSize(CUISize available);
  // Paints the control and its cover over rcPaint; false when stop was
  // reached (the caller stops painting).
  virtual bool Paint(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl);
  // Runs the painting stages in order, inside a rounded clip when the border
  // has corners; false when stop was reached.
  virtual bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl);
  // Background colour, or a two- or three-colour vertical gradient.
  virtual void PaintBkColor(HDC hDC);
  // The background image over the position, clipped to the paint rectangle.
  virtual void PaintBkImage(HDC hDC);
  // Nothing in the base (derived controls draw their state images).
  virtual void PaintStatusImage(HDC hDC);
  // Nothing in the base (derived controls draw their text).
  virtual void PaintText(HDC hDC);
  // The border: rounded, uniform or per side; nothing without a colour.
  virtual void PaintBorder(HDC hDC);
  // Fires postPaintListeners (controls registered for after-paint with the manager).
  virtual void PostPaint(HDC hDC, const CUIRect& rcPaint);

  // --- Non-virtual helpers ---
  // Hands the visible part of the position to the manager's invalidation.
  void Invalidate();
  // Marks this control for layout, invalidates it and tells the manager.
  void RequestLayout();
  // Asks the parent (or, without one, this control) for a new layout.
  void RequestParentLayout();
  bool IsLayoutNeeded() const { return m_bUpdateNeeded; }
  // The own virtual-window name, else the nearest ancestor's, else empty.
  CUIString GetVirtualWindowName() const;
  // Stores the name and tells the manager that virtual windows are in use.
  void SetVirtualWindowName(const UIChar* name);
  // The attribute-list parser without the virtual call; returns this control.
  CControlUI* ApplyAttributeString(const UIChar* list);
  // Stores a copy under the name; empty names or values and names already
  // present are ignored (the first value stays).
  void AddCustomAttribute(const UIChar* name, const UIChar* value);
  // The custom attribute's value, or null.
  const UIChar* GetCustomAttribute(const UIChar* name) const;
  // The colour shifted by the framework-wide HSL setting when this control's
  // colour-HSL flag is set; else unchanged.
  DWORD ApplyHslToColor(DWORD color) const;
  // Draws the image record over the position, clipped to the paint
  // rectangle; without a DC only loads it. False when it is not loaded.
  bool DrawImage(HDC hDC, UIImageDrawInfo& image);
  // Loads the attribute through the manager when needed and draws it into rc
  // (rc non-empty replaces the destination on a copy); false when it cannot
  // be loaded.
  bool DrawImageAttribute(HDC hDC, CImageAttribute& image, const CUIRect& rc);

  // Appearance setters: colours and the HSL flag invalidate only when they
  // change; border size, round and style always invalidate.
  DWORD GetBkColor() const { return m_dwBackColor; }
  void SetBkColor(DWORD color);
  DWORD GetBkColor2() const { return m_dwBackColor2; }
  void SetBkColor2(DWORD color);
  DWORD GetBkColor3() const { return m_dwBackColor3; }
  void SetBkColor3(DWORD color);
  const UIImageDrawInfo& GetBkImage() const { return m_diBk; }
  // A new description resets the record and loads it at once; a floating
  // control without fixed size takes the image's size.
  void SetBkImage(const UIChar* description);
  DWORD GetBorderColor() const { return m_dwBorderColor; }
  void SetBorderColor(DWORD color);
  DWORD GetFocusBorderColor() const { return m_dwFocusBorderColor; }
  void SetFocusBorderColor(DWORD color);
  bool IsColorHsl() const { return m_bColorHSL; }
  void SetColorHsl(bool hsl);
  CUIRect GetBorderSize() const { return m_rcBorderSize; }
  // One width for all four sides.
  void SetBorderSize(int size);
  // Left, top, right, bottom widths.
  void SetBorderSize(CUIRect sizes);
  CUISize GetBorderRound() const { return m_cxyBorderRound; }
  void SetBorderRound(CUISize round);
  int GetBorderStyle() const { return m_nBorderStyle; }
  void SetBorderStyle(int style);
  const CUIRect& GetPaintRect() const { return m_rcPaint; }

  // Event sources, fired in the situations their names give (see the
  // operations above); all hold delegates taking the control or the record.
  CUIEventSource initListeners;       // Init, with the control
  CUIEventSource destroyListeners;    // destruction, with the control
  CUIEventSource sizeListeners;       // SetPos, with the control
  CUIEventSource eventListeners;      // SendEvent, with the UIEvent; false stops the event
  CUIEventSource notifyListeners;     // the manager, with each UINotify this control sends
  CUIEventSource paintListeners;      // Paint, with the control; false skips painting
  CUIEventSource postPaintListeners;  // PostPaint, with the control

 protected:
  // While the mouse input is disabled a mouse event goes to the parent's
  // handler (to the base handling without a parent): true when it did, and
  // the caller handles nothing more. Other events and an enabled mouse: false.
  bool ForwardMouseEventWhileDisabled(UIEvent& event);
  // The refusals every search applies first: visible only, enabled only,
  // point outside the position, update test. True when the control passes.
  bool PassesFindFilters(UIFindControlProc proc, void* data, UINT flags);
  // Runs the five painting stages in their fixed order.
  void PaintStages(HDC hDC);
  // Invalidates the dirty area unless a hidden ancestor or an ancestor that
  // it does not meet hides it (SetPos and Move).
  void InvalidateThroughAncestors(CUIRect dirty);

  CWindowManagerUI* m_pManager = nullptr;  // borrowed; null until attached
  CControlUI* m_pParent = nullptr;         // borrowed
  CControlUI* m_pCover = nullptr;          // owned: deleted with this control
  CUIString m_sVirtualWnd;
  CUIString m_sName;
  bool m_bUpdateNeeded = true;             // needs a layout pass
  bool m_bMenuUsed = false;                // sends "menu" on context-menu events
  CUIRect m_rcItem;                        // position, window client coordinates
  CUIRect m_rcPadding;                     // margins left, top, right, bottom
  CUISize m_cXY;                           // fixed position (floating offset)
  CUISize m_cxyFixed;                      // fixed width, height; 0 = automatic
  CUISize m_cxyMin;
  CUISize m_cxyMax{9999, 9999};
  bool m_bVisible = true;
  bool m_bInternVisible = true;            // visibility inherited from the ancestors
  bool m_bEnabled = true;
  bool m_bMouseEnabled = true;
  bool m_bKeyboardEnabled = true;
  bool m_bFocused = false;
  bool m_bFloat = false;
  UIFloatPercent m_piFloatPercent;
  bool m_bSetPos = false;                  // guards sizeListeners against re-entry from SetPos
  CUIString m_sText;
  CUIString m_sToolTip;
  UIChar m_chShortcut = 0;
  CUIString m_sUserData;
  uintptr_t m_pTag = 0;
  DWORD m_dwBackColor = 0;
  DWORD m_dwBackColor2 = 0;
  DWORD m_dwBackColor3 = 0;
  UIImageDrawInfo m_diBk;                  // background image
  UIImageDrawInfo m_diFore;                // fore image (derived controls set it)
  DWORD m_dwBorderColor = 0;
  DWORD m_dwFocusBorderColor = 0;
  bool m_bColorHSL = false;
  int m_nBorderStyle = 0;                  // pen style; 0 = solid
  int m_nTooltipWidth = 300;
  CUISize m_cxyBorderRound;                // corner width, height
  CUIRect m_rcPaint;                       // the part of the position the current paint pass covers
  CUIRect m_rcBorderSize;                  // left, top, right, bottom widths
  CUIStringMap m_mCustomAttrHash{83};      // name -> owned CUIString*
};

}  // namespace Trellis
