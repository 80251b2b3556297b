#pragma once

// CListHBoxElementUI: a container item whose children sit in the list's
// columns, one child per column ("ListHBoxElement").
#include "ui/controls/list/ListContainerElementUI.h"

namespace Trellis {

class CListHBoxElementUI : public CListContainerElementUI {
 public:
  CListHBoxElementUI();

  // CControlUI:
  const UIChar* GetClassName() const override;
  void* GetInterface(const UIChar* name) override;
  // Places the visible children in the owner's columns.
  void SetPos(CUIRect rc, bool invalidate = true) override;
  // Background, column lines, then the children.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;
};

}  // namespace Trellis
