#include "ui/layout/TileLayoutUI.h"

#include "ui/control/portable/AttributeText.h"
#include "ui/layout/ContainerLayoutItems.h"
#include "ui/layout/portable/TileLayout.h"

namespace Trellis {

CTileLayoutUI::CTileLayoutUI() = default;

const UIChar* CTileLayoutUI::GetClassName() const { return UI_TEXT("TileLayout"); }

void* CTileLayoutUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("TileLayout")) == 0) return static_cast<CTileLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

void CTileLayoutUI::SetPos(CUIRect rc, bool invalidate) {
  CControlUI::SetPos(rc, invalidate);
  const CUIRect area = CContainerUI::GetClientPos();
  if (m_items.IsEmpty()) {
    ProcessScrollBar(area, 0, 0);
    return;
  }
  CContainerLayoutItems items(*this);
  UITileLayoutParams params;
  params.area = area;
  params.top = UICoordAdd(m_rcItem.top, m_rcInset.top);
  params.itemSize = m_szItem;
  params.columns = m_nConfiguredColumns;
  params.columnGap = m_iChildPadding;
  params.rowGap = m_iChildVPadding;
  params.align = m_iChildAlign;
  params.valign = m_iChildVAlign;
  params.scroll = ReadLayoutScroll(*this);
  const UITileLayoutResult result = LayOutTile(items, params);
  m_nColumns = result.columns;
  m_nRows = result.rows;
  ProcessScrollBar(CUIRect(area.left, params.top, area.right, area.bottom), result.needed.cx, result.needed.cy);
}

void CTileLayoutUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (name == nullptr) return;
  if (UITextCompare(name, UI_TEXT("itemsize")) == 0) {
    SetItemSize(ParseAttributeSize(value));
  } else if (UITextCompare(name, UI_TEXT("columns")) == 0) {
    SetColumns(ParseAttributeInt(value));
  } else if (UITextCompare(name, UI_TEXT("childvpadding")) == 0) {
    SetChildVPadding(ParseAttributeInt(value));
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

void CTileLayoutUI::SetItemSize(CUISize size) {
  if (m_szItem.cx == size.cx && m_szItem.cy == size.cy) return;
  m_szItem = size;
  RequestLayout();
}

void CTileLayoutUI::SetColumns(int columns) {
  if (columns < 0) return;
  m_nConfiguredColumns = columns;
  RequestLayout();
}

void CTileLayoutUI::SetChildVPadding(int padding) {
  m_iChildVPadding = padding < 0 ? 0 : padding;
  RequestLayout();
}

}  // namespace Trellis
