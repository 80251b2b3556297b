#pragma once

// CDateTimeUI: a label that shows a date as "YYYY-MM-DD" ("DateTime"). While
// it has the focus it lays the platform's date picker (CDateTimeWnd) over
// itself; when the picker closes, the chosen date is read back (focus loss),
// the text emptied (Backspace, Delete) or everything kept (Escape).
//
// Ownership: the control owns only values. The picker window deletes itself
// after its last message and tells the control first; a control that goes,
// hides or is disabled while its picker is open closes it (a dying control
// detaches the picker before destroying it, so it never reaches freed memory).
#include <windows.h>

#include "ui/controls/LabelUI.h"

namespace Trellis {

class CDateTimeWnd;

class CDateTimeUI : public CLabelUI {
 public:
  // What closing the picker does to the text.
  enum UpdateFlag : int { kUpdateNone = 0, kUpdateText = 1, kUpdateDelete = 2, kUpdateKeep = 3 };

  // The current local date, shown.
  CDateTimeUI();
  // Destroys an open picker (detached first).
  ~CDateTimeUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "DateTime": the control; other names go to the label.
  void* GetInterface(const UIChar* name) override;
  // Always a tab stop.
  UINT GetControlFlags() const override;
  // The open picker's window, else null.
  HWND GetNativeWindow() const override;
  // The label's placement, then the open picker follows (hidden when its
  // rectangle is empty).
  void SetPos(CUIRect rc, bool invalidate = true) override;
  void Move(CUISize offset, bool invalidate = true) override;
  // The label's handling; a hidden control closes its picker.
  void SetVisible(bool visible = true) override;
  void SetInheritedVisible(bool visible = true) override;
  // The label's handling; a disabled control closes its picker.
  void SetEnabled(bool enabled = true) override;
  // Focus and presses open the picker; the rest goes to the label.
  void HandleEvent(UIEvent& event) override;

  // --- Date ---
  const SYSTEMTIME& GetTime() const { return m_sysTime; }
  // Stores the date and shows it; an open picker is not changed.
  void SetTime(const SYSTEMTIME& time);
  // Applies the update flag to the text: delete empties it, update formats
  // the stored date; other flags change nothing.
  void UpdateText();
  int GetUpdateFlag() const { return m_nUpdateFlag; }
  void SetUpdateFlag(int flag) { m_nUpdateFlag = flag; }

 private:
  friend class CDateTimeWnd;

  // Opens the picker when none is open, else shows and focuses the open one
  // (keeping the date the user is choosing). False when it cannot be made.
  bool OpenPicker();
  // Closes an open picker; it reads its date back on the way (focus loss).
  void ClosePicker();
  // The picker follows the control, or hides when its rectangle is empty.
  void PlacePicker();
  // The picker is gone (called from its last message).
  void OnPickerClosed(CDateTimeWnd* window);

  SYSTEMTIME m_sysTime;                // the value; hour and minute are kept but not shown
  int m_nUpdateFlag = kUpdateNone;     // set by the picker's keys and focus loss
  CDateTimeWnd* m_pWindow = nullptr;   // the open picker; cleared by its last message or the destructor
};

}  // namespace Trellis
