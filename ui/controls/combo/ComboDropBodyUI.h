#pragma once

// CComboDropBodyUI: the root of a combo box's pop-up: a vertical layout
// showing the combo's items (lent, not owned), numbering the painted rows
// and drawing the row lines.
#include "ui/layout/VerticalLayoutUI.h"

namespace Trellis {

class CComboUI;

class CComboDropBodyUI : public CVerticalLayoutUI {
 public:
  explicit CComboDropBodyUI(CComboUI* owner);

  // CControlUI:
  // The container's painting plus draw indexes and row lines.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;

 private:
  CComboUI* m_pOwner;  // borrowed
};

}  // namespace Trellis
