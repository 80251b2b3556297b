#pragma once

// CListHeaderUI: the list's column header ("ListHeader"), a horizontal layout
// of header items whose rectangles are the list's columns.
#include "ui/layout/HorizontalLayoutUI.h"

namespace Trellis {

class CListHeaderUI : public CHorizontalLayoutUI {
 public:
  CListHeaderUI();
  ~CListHeaderUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "ListHeader": the header; else the layout's answer.
  void* GetInterface(const UIChar* name) override;
  // Fixed height, else the tallest item (at least the default font + 8);
  // width = the sum of the items' widths (hidden items included).
  CUISize EstimateSize(CUISize available) override;
};

}  // namespace Trellis
