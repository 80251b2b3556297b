#pragma once

// CProgressUI: a label ("Progress") that shows an integer value between a
// minimum and a maximum as its fore image cut to the value's share of the
// control: from the left for a horizontal bar, from the bottom for a
// vertical one. The label's text is drawn over it as usual.
//
// Ownership: values only; the fore image is borrowed from the window
// manager's image table.
#include <cstdint>

#include "ui/controls/LabelUI.h"

namespace Trellis {

class CProgressUI : public CLabelUI {
 public:
  // Horizontal, 0..100 at 0, centred single-line text, fixed height 12.
  CProgressUI();
  ~CProgressUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "Progress": the progress bar; other names go to the label.
  void* GetInterface(const UIChar* name) override;
  // "foreimage", "hor", "min", "max", "value"; others to the label.
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // The fore image over the value's share (after repairing the bounds).
  void PaintStatusImage(HDC hDC) override;

  // CProgressUI:
  bool IsHorizontal() const { return m_bHorizontal; }
  // Repaints only when the direction changes.
  void SetHorizontal(bool horizontal = true);
  int GetMinValue() const { return m_nMin; }
  // Stores the bound and repaints; does not check it against the other bound or the value.
  void SetMinValue(int value);
  int GetMaxValue() const { return m_nMax; }
  // Stores the bound and repaints; does not check it against the other bound or the value.
  void SetMaxValue(int value);
  int GetValue() const { return m_nValue; }
  // Stores the value lowered to the maximum, then raised to the minimum; repaints.
  virtual void SetValue(int value);
  const UIImageDrawInfo& GetForeImage() const { return m_diFore; }
  // A new description resets the image record and repaints; the same one does nothing.
  void SetForeImage(const UIChar* description);

 protected:
  // Makes the bounds usable for division (max <= min -> max = min + 1) and
  // the value lie between them; the repaired values are kept.
  void RepairBounds();
  // The value's share of `length` from the minimum: length * (value - min) /
  // (max - min) in 64 bits, 0 for an empty range.
  int64_t ShareOf(int length, int value) const;
  // Replaces a draw record with a new description; false when it is the same.
  bool ReplaceImage(UIImageDrawInfo& image, const UIChar* description);

  bool m_bHorizontal = true;
  int m_nMax = 100;
  int m_nMin = 0;
  int m_nValue = 0;
  // The fore image lives in the control base's m_diFore.
};

}  // namespace Trellis
