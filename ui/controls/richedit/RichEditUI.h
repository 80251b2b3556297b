#pragma once

// CRichEditUI: the multi-line text editor ("RichEdit"). It has no native
// window: the platform's windowless rich-text engine stores, lays out, edits
// and draws the text, and CRichEditHost answers the engine from this
// control's window. The control feeds the engine the window's input through
// a message filter, gives it the control's scroll bars and turns its change
// notification into "textchanged" (for the user's edits and the program's
// own SetText/ReplaceSel/AppendText/InsertText alike, once the event mask
// holds ENM_CHANGE). A "textchanged" handler may delete the control: the
// engine is let go only once its own call has returned.
//
// Ownership: the control holds one reference on its host; the destructor
// detaches the host first (no callback reaches a dying control), shuts the
// engine down and releases that reference.
#include <windows.h>
#include <richedit.h>

#include "ui/control/ContainerUI.h"
#include "ui/window/MessageFilter.h"

namespace Trellis {

class CRichEditHost;

class CRichEditUI : public CContainerUI, public IMessageFilterUI {
 public:
  CRichEditUI();
  // Detaches and releases the host (the engine goes with it) and leaves the
  // window's message filters.
  ~CRichEditUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "RichEdit": the control; other names go to the container.
  void* GetInterface(const UIChar* name) override;
  // Tab stop and set-cursor while enabled, else none.
  UINT GetControlFlags() const override;
  // The engine's whole text; the stored text without an engine.
  CUIString GetText() const override;
  // Stores the text and puts it into the engine without undo ("textchanged"
  // follows as for any edit).
  void SetText(const UIChar* text) override;
  // Lays out the text area (less inset, visible bars and text padding) and the bars.
  void SetPos(CUIRect rc, bool invalidate = true) override;
  // Moves the control; the text area keeps its padding and the engine hears of it.
  void Move(CUISize offset, bool invalidate = true) override;
  // Creates the host and engine once, joins the window's message filters.
  void OnInit() override;
  void HandleEvent(UIEvent& event) override;
  // "wanttab", "wantreturn", "wantctrlreturn", "rich", "transparent": "true"/"false".
  CUIString GetAttribute(const UIChar* name) override;
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // Background, tip, border, then the engine's text, the caret of a layered
  // window and the bars.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;
  // The tip text while the content is empty or is the tip text (the engine
  // draws any other content); without an engine the stored text.
  void PaintText(HDC hDC) override;

  // CContainerUI: the engine scrolls its view and moves the bars back.
  void SetScrollPos(CUISize pos) override;
  void LineUp() override;
  void LineDown() override;
  void PageUp() override;
  void PageDown() override;
  void ScrollToTop() override;
  void ScrollToBottom() override;
  void LineLeft() override;
  void LineRight() override;
  void PageLeft() override;
  void PageRight() override;
  void ScrollToLeftEnd() override;
  void ScrollToRightEnd() override;

  // IMessageFilterUI: window messages for the engine (mouse inside the text
  // area, keys while focused); handled only where the engine took them.
  LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  // --- Engine operations (without an engine they do nothing and return 0) ---
  // Sends a message to the engine; Return may be turned into "return" instead.
  // S_FALSE without an engine.
  virtual HRESULT TxSendMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // The engine changed its view: repaint. Always true.
  virtual bool OnTxViewChanged();
  // An engine notification: EN_CHANGE becomes "textchanged"; the others go
  // to the window as WM_NOTIFY.
  virtual void OnTxNotify(DWORD code, void* data);

  // Text length with GTL_* flags.
  long GetTextLength(DWORD flags = GTL_DEFAULT) const;
  void GetSel(CHARRANGE& range) const;
  // Selects [start, end); -1, -1 puts the caret at the end. The engine's reply.
  int SetSel(long start, long end);
  // Replaces the selection (then "textchanged").
  void ReplaceSel(const UIChar* text, bool canUndo);
  // Appends at the end (then "textchanged"). The selection reply.
  int AppendText(const UIChar* text, bool canUndo = false);
  // Inserts at the position (then "textchanged"). The selection reply.
  int InsertText(long position, const UIChar* text, bool canUndo = false);
  // The engine's event mask; ENM_CHANGE is needed for "textchanged". The previous mask.
  DWORD SetEventMask(DWORD mask);
  DWORD GetEventMask() const;

  // --- Settings ---
  int GetLimitText() const { return m_iLimitText; }
  // Stores the limit (0 or less means 32767) and passes it to the engine.
  void SetLimitText(int limit);
  int GetFont() const { return m_iFont; }
  // The window font id (-1 default); the engine takes its face and size.
  void SetFont(int fontId);
  DWORD GetTextColor() const { return m_dwTextColor; }
  // ARGB; 0 means the window's default colour at the first paint.
  void SetTextColor(DWORD color);
  CUIRect GetTextPadding() const { return m_rcTextPadding; }
  // Stores the padding and lays the control out again.
  void SetTextPadding(CUIRect padding);
  CUIString GetTipValue() const { return m_sTipText; }
  void SetTipValue(const UIChar* text);
  DWORD GetTipValueColor() const;
  // Hexadecimal ARGB, optional '#'.
  void SetTipValueColor(const UIChar* text);
  bool IsTransparent() const { return m_bTransparent; }
  void SetTransparent(bool transparent);
  bool IsRich() const { return m_bRich; }
  void SetRich(bool rich);
  bool IsWantTab() const { return m_bWantTab; }
  void SetWantTab(bool want) { m_bWantTab = want; }
  bool IsWantReturn() const { return m_bWantReturn; }
  void SetWantReturn(bool want) { m_bWantReturn = want; }
  bool IsWantCtrlReturn() const { return m_bWantCtrlReturn; }
  void SetWantCtrlReturn(bool want) { m_bWantCtrlReturn = want; }
  DWORD GetStyle() const { return m_dwStyle; }
  // True when an engine is bound (false when the platform's engine is missing).
  bool HasEngine() const;
  // The engine's text area in window client coordinates; empty without an engine.
  CUIRect GetTextRect() const;

 private:
  friend class CRichEditHost;
  // Runs a change of the default font or colour: the engine's change
  // notifications during it are not "textchanged" (the text did not change).
  class FormatChangeScope;
  // Empty content, or content equal to the tip text: the tip is drawn and
  // the engine's drawing is left out.
  bool ShowsTip() const;
  // The control rectangle less the inset and the visible bars.
  CUIRect InnerRect() const;
  // The engine's content height for a width (0 without an engine).
  LONG NaturalHeight(int width) const;
  void SendScroll(UINT message, WPARAM code);

  CRichEditHost* m_pHost = nullptr;     // one reference held; released by the destructor
  bool m_bVScrollForced = false;        // the vertical bar shown by the layout because the content does not fit
  bool m_bWantTab = true;
  bool m_bWantReturn = true;
  bool m_bWantCtrlReturn = true;
  bool m_bTransparent = true;
  bool m_bRich = true;
  DWORD m_dwTextColor = 0;              // ARGB; 0 = the default, latched at the first paint
  int m_iFont = -1;
  int m_iLimitText = 32767;
  DWORD m_dwStyle = ES_MULTILINE;
  bool m_bCaretOn = true;               // blink phase of the self-drawn caret (layered windows)
  bool m_bInited = false;
  bool m_bFilterAdded = false;          // joined the manager's message filters
  CUIRect m_rcTextPadding;
  CUIString m_sTipText;
  DWORD m_dwTipColor = 0;
  bool m_bTipColorSet = false;
  int m_iFormatChanges = 0;             // depth of FormatChangeScope: change notifications are not text changes
  bool m_bSwallowReturnChar = false;    // Return was diverted to "return": its WM_CHAR goes nowhere either
  bool m_bDestroying = false;
};

}  // namespace Trellis
