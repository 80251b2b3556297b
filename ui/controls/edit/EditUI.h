#pragma once

// CEditUI: the single-line text input ("Edit"). It is a label that paints its
// own text and state images; only while it has the keyboard focus it lays a
// native edit window (CEditWnd) over its text area, so that the platform does
// the caret, selection, clipboard and input-method work. Every change in the
// native edit is copied back into the control's text and reported as
// "textchanged"; Enter in it is reported as "return".
//
// Ownership: the control owns nothing but values; the native edit window
// deletes itself after its last message and tells the control first. A
// control that goes away while its native edit is open detaches the window
// before destroying it, so the window never reaches a freed control.
#include "ui/controls/LabelUI.h"
#include "ui/controls/StateImages.h"
#include "ui/draw/portable/UIImageDrawInfo.h"

namespace Trellis {

class CEditWnd;

class CEditUI : public CLabelUI {
 public:
  // Text padding 4,3,4,3 and an opaque white background.
  CEditUI();
  // Closes an open native edit (detached first).
  ~CEditUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "Edit": the control; other names go to the label.
  void* GetInterface(const UIChar* name) override;
  // Tab stop and set-cursor while enabled, else none.
  UINT GetControlFlags() const override;
  // The open native edit's window, else null.
  HWND GetNativeWindow() const override;
  // Stores a different text and, with an open native edit, puts it there too.
  void SetText(const UIChar* text) override;
  // The base's placement, then the open native edit follows (hidden when its
  // rectangle is empty).
  void SetPos(CUIRect rc, bool invalidate = true) override;
  void Move(CUISize offset, bool invalidate = true) override;
  // The base's handling; hiding takes the focus away, which closes the native edit.
  void SetVisible(bool visible = true) override;
  // Not stored: a hidden ancestor only takes the focus away from an open
  // native edit, which closes it.
  void SetInheritedVisible(bool visible = true) override;
  // The base's handling; disabling clears the hot state and takes the focus
  // away, which closes the native edit.
  void SetEnabled(bool enabled = true) override;
  // Focus opens the native edit, presses place its caret, hover sets the hot
  // state; the rest goes to the label.
  void HandleEvent(UIEvent& event) override;
  // The edit's attributes (see the setters below); others go to the label.
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // A fixed height: the base's answer; else (fixed width, font height + 8).
  CUISize EstimateSize(CUISize available) override;
  // The disabled, focused, hot or normal image (normal when the chosen one
  // cannot be drawn).
  void PaintStatusImage(HDC hDC) override;
  // The text on one line (masked in password mode), also under an open native edit.
  void PaintText(HDC hDC) override;

  // --- Edit settings ---
  bool IsReadOnly() const { return m_bReadOnly; }
  // Stores a change, passes it to an open native edit and repaints.
  void SetReadOnly(bool readOnly);
  bool IsNumberOnly() const { return (m_uEditStyle & ES_NUMBER) != 0; }
  // Digits only; takes effect when the next native edit opens (no repaint).
  void SetNumberOnly(bool numberOnly);
  bool IsPasswordMode() const { return m_bPasswordMode; }
  // Stores a change and repaints; the next native edit masks its text.
  void SetPasswordMode(bool password);
  UIChar GetPasswordChar() const { return m_cPasswordChar; }
  // The mask character (default '*'); repaints.
  void SetPasswordChar(UIChar ch);
  bool IsAutoSelAll() const { return m_bAutoSelAll; }
  // Select the whole text when the native edit opens; a press then keeps the selection.
  void SetAutoSelAll(bool autoSelAll);
  int GetMaxChar() const { return m_iMaxChar; }
  // Stores the character limit and applies it to an open native edit at once.
  void SetMaxChar(int maxChar);
  DWORD GetNativeEditBkColor() const { return m_dwNativeBkColor; }
  // ARGB background of the native edit; 0xFFFFFFFF lets it paint its own. No repaint.
  void SetNativeEditBkColor(DWORD color);
  // Extra native edit styles (ES_NUMBER only).
  UINT GetNativeEditStyle() const { return m_uEditStyle; }

  // --- State images (image descriptions; a new one repaints) ---
  const UIChar* GetNormalImage() const { return m_images.GetDescription(CStateImages::kNormal); }
  void SetNormalImage(const UIChar* description);
  const UIChar* GetHotImage() const { return m_images.GetDescription(CStateImages::kHot); }
  void SetHotImage(const UIChar* description);
  const UIChar* GetFocusedImage() const { return m_images.GetDescription(CStateImages::kFocused); }
  void SetFocusedImage(const UIChar* description);
  const UIChar* GetDisabledImage() const { return m_images.GetDescription(CStateImages::kDisabled); }
  void SetDisabledImage(const UIChar* description);

 private:
  friend class CEditWnd;

  // Opens the native edit when none is open; false (nothing kept) when it cannot be made.
  bool OpenNativeEdit();
  // Closes an open native edit (it tells this control when it is gone).
  void CloseNativeEdit();
  // The native edit follows the control's position, or hides when its
  // rectangle is empty (a hidden ancestor, clipped away).
  void PlaceNativeEdit();
  // Takes the focus away when the control cannot be used any more (hidden,
  // disabled) while its native edit is open, and makes sure the edit closes.
  void DropFocusForNativeEdit();
  // The native edit's text changed: stores it without going back through
  // SetText (which would write it into the native edit again).
  void StoreTextFromNativeEdit(const UIChar* text);
  // The native edit is gone (called by it from its last message).
  void OnNativeEditClosed(CEditWnd* window);
  // Stores a state image's description and repaints (unchanged and loaded: nothing).
  void SetStateImage(CStateImages::Slot slot, const UIChar* description);

  CEditWnd* m_pWindow = nullptr;           // the open native edit; cleared by the window's last message or by the destructor
  int m_iMaxChar = 255;                    // EM_LIMITTEXT of the native edit
  bool m_bReadOnly = false;
  bool m_bPasswordMode = false;
  bool m_bAutoSelAll = false;
  UIChar m_cPasswordChar = L'*';
  UINT m_uButtonState = 0;                 // kUIStateFocused | kUIStateDisabled | kUIStateHot
  DWORD m_dwNativeBkColor = 0xFFFFFFFF;    // 0xFFFFFFFF = the native edit paints its own background
  UINT m_uEditStyle = 0;                   // extra native styles: ES_NUMBER only
  CStateImages m_images;                   // normal, hot, focused, disabled
};

}  // namespace Trellis
