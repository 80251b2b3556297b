#pragma once

// CSliderUI: a progress bar ("Slider") with a thumb the user drags, clicks
// to or moves with the mouse wheel. It sends "valuechanged" when a drag ends
// and after every wheel step, and "movevaluechanged" on every move of a drag
// when "sendmove" is on; receivers read the value with GetValue. While a drag
// holds the thumb, SetValue from the program is ignored so that it does not
// fight the user's hand. A drag ends with the button-up, and also when the
// button-up is lost (the control loses the focus or is disabled), so the
// slider never stays captured.
//
// Ownership: values only; thumb images are borrowed from the window manager.
#include "ui/controls/ProgressUI.h"

namespace Trellis {

class CSliderUI : public CProgressUI {
 public:
  // Thumb 10 x 10, step 1, no move notifications.
  CSliderUI();
  ~CSliderUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "Slider": the slider; other names go to the progress bar.
  void* GetInterface(const UIChar* name) override;
  // Tab stop and set-cursor while enabled, else none.
  UINT GetControlFlags() const override;
  // The control base; disabling also ends a drag and the hot state.
  void SetEnabled(bool enabled = true) override;
  // Press, drag, release, wheel, hover and cursor (see the class comment).
  void HandleEvent(UIEvent& event) override;
  // The thumb attributes, "step", "sendmove", "imm"; others to the progress bar.
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // The fore image, then the pushed, hot or normal thumb image.
  void PaintStatusImage(HDC hDC) override;

  // CProgressUI:
  // Ignored while a drag holds the thumb; else the progress bar's SetValue.
  void SetValue(int value) override;

  // CSliderUI:
  // Stores the thumb size; does not repaint.
  void SetThumbSize(int width, int height);
  CUISize GetThumbSize() const { return CUISize(m_cxyThumb.cx, m_cxyThumb.cy); }
  int GetStep() const { return m_nStep; }
  // Stores the wheel step; does not repaint.
  void SetStep(int step);
  bool IsSendMove() const { return m_bSendMove; }
  // Stores whether drags send "movevaluechanged"; does not repaint.
  void SetSendMove(bool sendMove);
  bool IsImmediate() const { return m_bImmediate; }
  // Stores the "imm" flag, which changes no behaviour.
  void SetImmediate(bool immediate);
  // Thumb image setters: a new description resets the record and repaints.
  void SetThumbImage(const UIChar* description);
  void SetThumbHotImage(const UIChar* description);
  void SetThumbPushedImage(const UIChar* description);
  // True while a drag holds the thumb.
  bool IsCaptured() const { return (m_uButtonState & kUIStateCaptured) != 0; }
  bool IsHot() const { return (m_uButtonState & kUIStateHot) != 0; }
  // The thumb rectangle in window client coordinates for the current value.
  CUIRect ComputeThumbRect() const;
  // The value a mouse point (client coordinates) stands for; the minimum for
  // an empty range. Does not store it.
  int ValueAtPoint(CUIPoint point) const;

 protected:
  // Ends a drag without a notification (lost button-up); repaints when one ran.
  void EndCapture();
  // Sets or clears the hot bit, repainting when it changes.
  void SetHot(bool hot);

  CUISize m_cxyThumb{10, 10};
  UINT m_uButtonState = 0;                 // kUIStateHot, kUIStateCaptured; press/enter set, release/leave/disable clear
  int m_nStep = 1;
  bool m_bImmediate = false;               // "imm": stored only
  UIImageDrawInfo m_diThumb;
  UIImageDrawInfo m_diThumbHot;
  UIImageDrawInfo m_diThumbPushed;
  bool m_bSendMove = false;
};

}  // namespace Trellis
