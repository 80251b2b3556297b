#pragma once

// CListContainerElementUI: a list item made of child controls
// ("ListContainerElement"), optionally expandable. Tree nodes and menu
// elements derive from it.
#include "ui/control/ContainerUI.h"
#include "ui/controls/list/ListItemBase.h"

namespace Trellis {

class CListContainerElementUI : public CListItemBase<CContainerUI> {
 public:
  CListContainerElementUI();
  ~CListContainerElementUI() override;

  // IListItemUI:
  bool IsExpanded() const override;
  // Stores the flag and, when expandable, asks the owner; a refusal restores
  // the flag. Sends "itemexpand"/"itemcollapse".
  bool Expand(bool expand = true) override;
  // Does nothing: the children draw the row.
  void DrawItemText(HDC hDC, const CUIRect& rcItem) override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "ListContainerElement": the item; "IListItem": its item part; else the container's.
  void* GetInterface(const UIChar* name) override;
  // Press sends "itemclick" then selects; double click and Return activate;
  // the rest to the owner.
  void HandleEvent(UIEvent& event) override;
  // "selected", "expandable"; the rest to the container.
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // (fixed width, fixed height or the owner's item height).
  CUISize EstimateSize(CUISize available) override;
  // The item background, then the children.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;

  bool IsExpandable() const { return m_bExpandable; }
  void SetExpandable(bool expandable) { m_bExpandable = expandable; }

 protected:
  bool m_bExpandable = false;
  bool m_bExpanded = false;
};

}  // namespace Trellis
