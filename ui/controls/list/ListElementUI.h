#pragma once

// CListElementUI: the base of the plain list items ("ListElement"): a control
// that an owner (list or combo box) numbers, selects and paints with its
// shared appearance. It draws no text of its own; the label and text elements
// do.
#include "ui/control/ControlUI.h"
#include "ui/controls/list/ListItemBase.h"

namespace Trellis {

class CListElementUI : public CListItemBase<CControlUI> {
 public:
  CListElementUI();
  ~CListElementUI() override;

  // IListItemUI:
  // Always false: plain items do not expand.
  bool IsExpanded() const override;
  bool Expand(bool expand = true) override;
  // The base draws no text.
  void DrawItemText(HDC hDC, const CUIRect& rcItem) override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "ListElement": the item; "IListItem": its item part; else the control's.
  void* GetInterface(const UIChar* name) override;
  // Double click and Return activate; the rest goes to the owner.
  void HandleEvent(UIEvent& event) override;
  // "selected" selects (whatever the value); the rest to the control base.
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // The item background, then the text.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;
};

}  // namespace Trellis
