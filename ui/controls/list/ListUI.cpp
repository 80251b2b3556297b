// CListUI: item numbering, selection and expansion; the routing of item,
// header and scrolling operations to the body and header; layout with
// columns; keys and wheel; attributes and appearance setters.
#include "ui/controls/list/ListUI.h"

#include "ui/control/ScrollBarUI.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/controls/list/ListBodyUI.h"
#include "ui/controls/list/ListHeaderUI.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Is(const UIChar* name, const UIChar* literal) { return UITextCompare(name, literal) == 0; }

bool Contains(const UIChar* text, const UIChar* word) { return CUIString(text).FindText(word) >= 0; }

bool IsHeader(CControlUI* control) { return control->GetInterface(UI_TEXT("ListHeader")) != nullptr; }

bool IsHeaderItem(CControlUI* control) {
  return CUIString(control->GetClassName()).FindText(UI_TEXT("ListHeaderItem")) >= 0;
}

IListItemUI* AsListItem(CControlUI* control) {
  return control != nullptr ? static_cast<IListItemUI*>(control->GetInterface(UI_TEXT("IListItem"))) : nullptr;
}

int ColumnLimit(int count) { return count < kListMaxColumns ? count : kListMaxColumns; }

}  // namespace

// --- Lifetime ---

CListUI::CListUI() {
  m_pList = new CListBodyUI(this);
  m_pHeader = new CListHeaderUI();
  AddItem(m_pHeader);
  COwnChildrenScope own(*this);
  CVerticalLayoutUI::AddItem(m_pList);
}

CListUI::~CListUI() = default;

// --- IListOwnerUI ---

UIListInfo* CListUI::GetListInfo() { return &m_ListInfo; }
int CListUI::GetCurSel() const { return m_iCurSel; }

bool CListUI::SelectItem(int index, bool takeFocus, bool sendNotify) {
  if (index == m_iCurSel) return true;
  const int oldSel = m_iCurSel;
  if (m_iCurSel >= 0) {
    IListItemUI* old = GetListItemAt(m_iCurSel);
    m_iCurSel = -1;
    if (old != nullptr) old->Select(false, sendNotify);
  }
  if (index < 0) return false;  // clears the selection; no notification
  // A refused target leaves nothing selected: the old item is already deselected.
  CControlUI* control = GetItemAt(index);
  IListItemUI* item = AsListItem(control);
  if (item == nullptr || !control->IsVisible() || !control->IsEnabled()) return false;
  m_iCurSel = index;
  if (!item->Select(true, takeFocus)) {
    m_iCurSel = -1;
    return false;
  }
  EnsureVisible(m_iCurSel);
  if (takeFocus) control->SetFocus();
  if (sendNotify && m_pManager != nullptr) {
    m_pManager->SendNotify(this, UI_TEXT("itemselect"), static_cast<WPARAM>(m_iCurSel), static_cast<LPARAM>(oldSel));
  }
  return true;
}

void CListUI::HandleItemEvent(UIEvent& event) { HandleEvent(event); }

bool CListUI::ExpandItem(int index, bool expand) {
  // The item's own Expand calls back here; its expansion is then already on record.
  if (expand && index == m_iExpandedItem && index >= 0) return true;
  if (m_iExpandedItem >= 0 && (!m_ListInfo.bMultiExpanding || (!expand && index == m_iExpandedItem))) {
    IListItemUI* previous = GetListItemAt(m_iExpandedItem);
    m_iExpandedItem = -1;
    if (previous != nullptr) previous->Expand(false);
  }
  if (expand) {
    CControlUI* control = GetItemAt(index);
    IListItemUI* item = AsListItem(control);
    if (item == nullptr || !control->IsVisible()) return false;
    m_iExpandedItem = index;
    if (!item->Expand(true)) {
      m_iExpandedItem = -1;
      return false;
    }
  }
  RequestLayout();
  return true;
}

int CListUI::GetExpandedItem() const { return m_iExpandedItem; }

// --- IListUI ---

CListHeaderUI* CListUI::GetHeader() const { return m_pHeader; }
CListBodyUI* CListUI::GetListBody() const { return m_pList; }
IListTextProviderUI* CListUI::GetTextProvider() const { return m_pTextProvider; }
void CListUI::SetTextProvider(IListTextProviderUI* provider) { m_pTextProvider = provider; }

// --- IContainerUI ---

CControlUI* CListUI::GetItemAt(int index) const {
  if (m_iOwnChildren > 0) return CVerticalLayoutUI::GetItemAt(index);
  return m_pList->GetItemAt(index);
}

int CListUI::GetItemIndex(CControlUI* control) const {
  if (m_iOwnChildren > 0) return CVerticalLayoutUI::GetItemIndex(control);
  if (control == nullptr) return -1;
  if (IsHeader(control)) {
    COwnChildrenScope own(*const_cast<CListUI*>(this));
    return CVerticalLayoutUI::GetItemIndex(control);
  }
  if (IsHeaderItem(control)) return m_pHeader->GetItemIndex(control);
  return m_pList->GetItemIndex(control);
}

bool CListUI::SetItemIndex(CControlUI* control, int index) {
  if (m_iOwnChildren > 0) return CVerticalLayoutUI::SetItemIndex(control, index);
  if (control == nullptr) return false;
  if (IsHeader(control)) {
    COwnChildrenScope own(*this);
    return CVerticalLayoutUI::SetItemIndex(control, index);
  }
  if (IsHeaderItem(control)) return m_pHeader->SetItemIndex(control, index);
  const int oldIndex = m_pList->GetItemIndex(control);
  if (oldIndex < 0) return false;
  if (oldIndex == index) return true;
  IListItemUI* selected = m_iCurSel >= 0 ? GetListItemAt(m_iCurSel) : nullptr;
  IListItemUI* expanded = m_iExpandedItem >= 0 ? GetListItemAt(m_iExpandedItem) : nullptr;
  if (!m_pList->SetItemIndex(control, index)) return false;
  RenumberItems(oldIndex < index ? oldIndex : index, oldIndex < index ? index : oldIndex);
  if (selected != nullptr) m_iCurSel = selected->GetIndex();
  if (expanded != nullptr) m_iExpandedItem = expanded->GetIndex();
  return true;
}

bool CListUI::MoveItems(CControlUI* control, int count, int newIndex) {
  if (m_iOwnChildren > 0) return CVerticalLayoutUI::MoveItems(control, count, newIndex);
  if (control == nullptr || count < 0 || newIndex < 0) return false;
  if (IsHeader(control)) {
    COwnChildrenScope own(*this);
    return CVerticalLayoutUI::MoveItems(control, count, newIndex);
  }
  if (IsHeaderItem(control)) return m_pHeader->MoveItems(control, count, newIndex);
  const int current = GetItemIndex(control);
  if (current < 0) return false;
  if (current == newIndex) return true;
  if (current + count > GetCount() || newIndex + count > GetCount()) return false;
  IListItemUI* selected = m_iCurSel >= 0 ? GetListItemAt(m_iCurSel) : nullptr;
  IListItemUI* expanded = m_iExpandedItem >= 0 ? GetListItemAt(m_iExpandedItem) : nullptr;
  if (!m_pList->MoveItems(control, count, newIndex)) return false;
  RenumberItems(current < newIndex ? current : newIndex, (current > newIndex ? current : newIndex) + count - 1);
  if (selected != nullptr) m_iCurSel = selected->GetIndex();
  if (expanded != nullptr) m_iExpandedItem = expanded->GetIndex();
  return true;
}

int CListUI::GetCount() const {
  if (m_iOwnChildren > 0) return CVerticalLayoutUI::GetCount();
  return m_pList->GetCount();
}

bool CListUI::AddItem(CControlUI* control) {
  if (m_iOwnChildren > 0) return CVerticalLayoutUI::AddItem(control);
  if (control == nullptr) return false;
  if (IsHeader(control)) {
    COwnChildrenScope own(*this);
    if (control != m_pHeader && m_pHeader->GetCount() == 0) {
      CVerticalLayoutUI::RemoveItem(m_pHeader, false);
      m_pHeader = static_cast<CListHeaderUI*>(control->GetInterface(UI_TEXT("ListHeader")));
    }
    m_ListInfo.iColumnCount = ColumnLimit(m_pHeader->GetCount());
    return CVerticalLayoutUI::AddItemAt(control, 0);
  }
  if (IsHeaderItem(control)) {
    const bool added = m_pHeader->AddItem(control);
    m_ListInfo.iColumnCount = ColumnLimit(m_pHeader->GetCount());
    return added;
  }
  if (IListItemUI* item = AsListItem(control)) {
    item->SetOwner(this);
    item->SetIndex(GetCount());
  }
  return m_pList->AddItem(control);
}

bool CListUI::AddItemAt(CControlUI* control, int index) {
  if (m_iOwnChildren > 0) return CVerticalLayoutUI::AddItemAt(control, index);
  if (control == nullptr) return false;
  if (IsHeader(control)) {
    COwnChildrenScope own(*this);
    if (control != m_pHeader && m_pHeader->GetCount() == 0) {
      CVerticalLayoutUI::RemoveItem(m_pHeader, false);
      m_pHeader = static_cast<CListHeaderUI*>(control->GetInterface(UI_TEXT("ListHeader")));
    }
    m_ListInfo.iColumnCount = ColumnLimit(m_pHeader->GetCount());
    return CVerticalLayoutUI::AddItemAt(control, 0);
  }
  if (IsHeaderItem(control)) {
    const bool added = m_pHeader->AddItemAt(control, index);
    m_ListInfo.iColumnCount = ColumnLimit(m_pHeader->GetCount());
    return added;
  }
  if (!m_pList->AddItemAt(control, index)) return false;
  if (IListItemUI* item = AsListItem(control)) {
    item->SetOwner(this);
    item->SetIndex(index);
  }
  RenumberItems(index + 1, GetCount() - 1);
  // Selection and expansion stay on their items.
  if (m_iCurSel >= index) ++m_iCurSel;
  if (m_iExpandedItem >= index) ++m_iExpandedItem;
  return true;
}

bool CListUI::RemoveItem(CControlUI* control, bool keep) {
  if (m_iOwnChildren > 0) return CVerticalLayoutUI::RemoveItem(control, keep);
  if (control == nullptr) return false;
  if (IsHeader(control)) {
    COwnChildrenScope own(*this);
    return CVerticalLayoutUI::RemoveItem(control, keep);
  }
  if (IsHeaderItem(control)) return m_pHeader->RemoveItem(control, keep);
  const int index = m_pList->GetItemIndex(control);
  if (index < 0) return false;
  return RemoveItemAt(index, keep);
}

bool CListUI::RemoveItemAt(int index, bool keep) {
  if (m_iOwnChildren > 0) return CVerticalLayoutUI::RemoveItemAt(index, keep);
  CControlUI* control = GetItemAt(index);
  if (control == nullptr) return false;
  // A kept item leaves without its selected flag, so it cannot come back
  // as a second selected row.
  IListItemUI* item = AsListItem(control);
  if (keep && item != nullptr && index == m_iCurSel) item->Select(false, false);
  if (!m_pList->RemoveItemAt(index, keep)) return false;
  RenumberItems(index, GetCount() - 1);
  if (index == m_iExpandedItem) {
    m_iExpandedItem = -1;
  } else if (index < m_iExpandedItem) {
    --m_iExpandedItem;
  }
  if (index == m_iCurSel && m_iCurSel >= 0) {
    // The nearest selectable item at the old position (the one that moved up
    // into it) or before it takes the selection.
    m_iCurSel = -1;
    SelectItem(FindSelectable(index, false), false, true);
  } else if (index < m_iCurSel) {
    --m_iCurSel;
  }
  return true;
}

void CListUI::RemoveAllItems() {
  if (m_iOwnChildren > 0) {
    CVerticalLayoutUI::RemoveAllItems();
    return;
  }
  m_iCurSel = -1;
  m_iExpandedItem = -1;
  m_pList->RemoveAllItems();
}

// --- CControlUI ---

const UIChar* CListUI::GetClassName() const { return UI_TEXT("List"); }

void* CListUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("List"))) return static_cast<CListUI*>(this);
  if (name != nullptr && Is(name, UI_TEXT("IList"))) return static_cast<IListUI*>(this);
  if (name != nullptr && Is(name, UI_TEXT("IListOwner"))) return static_cast<IListOwnerUI*>(this);
  return CVerticalLayoutUI::GetInterface(name);
}

UINT CListUI::GetControlFlags() const { return kUIFlagTabStop; }

void CListUI::UpdateColumns(const CUIRect& rc, bool layoutHeader) {
  if (m_pHeader == nullptr) return;
  const int count = ColumnLimit(m_pHeader->GetCount());
  m_ListInfo.iColumnCount = count;
  const bool hidden = !m_pHeader->IsVisible();
  if (hidden) {
    for (int i = m_pHeader->GetCount() - 1; i >= 0; --i) m_pHeader->GetItemAt(i)->SetInheritedVisible(true);
  }
  if (layoutHeader) m_pHeader->SetPos(CUIRect(rc.left + m_rcInset.left, 0, rc.right - m_rcInset.right, 0), false);
  const int offset = m_pList->GetScrollPos().cx;
  for (int i = 0; i < count; ++i) {
    CControlUI* item = m_pHeader->GetItemAt(i);
    if (!item->IsVisible() || item->IsFloat()) continue;
    if (offset > 0) {
      CUIRect moved = item->GetPos();
      moved.Offset(-offset, 0);
      item->SetPos(moved, false);
    }
    m_ListInfo.rcColumns[i] = item->GetPos();
  }
  if (hidden) {
    // Only the items: a header marked inherited-invisible here would stay
    // hidden after its own SetVisible(true), which leaves that mark alone.
    for (int i = m_pHeader->GetCount() - 1; i >= 0; --i) m_pHeader->GetItemAt(i)->SetInheritedVisible(false);
  }
}

void CListUI::SetPos(CUIRect rc, bool invalidate) {
  // Columns before the layout, so that the body's items see current ones,
  // and after it, from where the header really went.
  UpdateColumns(rc, true);
  {
    COwnChildrenScope own(*this);
    CVerticalLayoutUI::SetPos(rc, invalidate);
  }
  UpdateColumns(m_rcItem, m_pHeader != nullptr && !m_pHeader->IsVisible());
}

void CListUI::Move(CUISize offset, bool invalidate) {
  {
    COwnChildrenScope own(*this);
    CVerticalLayoutUI::Move(offset, invalidate);
  }
  // The container skips hidden children; the hidden header still holds the columns.
  if (m_pHeader != nullptr && !m_pHeader->IsVisible()) m_pHeader->Move(offset, false);
}

void CListUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEventKind(event.Type)) {
    if (m_pParent != nullptr) {
      m_pParent->HandleEvent(event);
    } else {
      CVerticalLayoutUI::HandleEvent(event);
    }
    return;
  }
  if (event.Type == kUIEventSetFocus) {
    m_bFocused = true;
    return;
  }
  if (event.Type == kUIEventKillFocus) {
    m_bFocused = false;
    return;
  }
  if (event.Type == kUIEventKeyDown && IsKeyboardEnabled() && IsEnabled()) {
    switch (event.chKey) {
      case VK_UP:
        SelectItem(FindSelectable(m_iCurSel - 1, false), true, true);
        break;
      case VK_DOWN: {
        // Nothing selectable after the selection: it stays.
        const int next = FindSelectable(m_iCurSel + 1, true);
        if (next >= 0) SelectItem(next, true, true);
        break;
      }
      case VK_PRIOR:
        PageUp();
        break;
      case VK_NEXT:
        PageDown();
        break;
      case VK_HOME:
        SelectItem(FindSelectable(0, false), true, true);
        break;
      case VK_END: {
        // The last selectable item, also when hidden or disabled items end the list.
        const int last = FindSelectable(GetCount() - 1, false);
        if (last >= 0) SelectItem(last, true, true);
        break;
      }
      case VK_RETURN:
        if (m_iCurSel != -1) {
          CControlUI* item = GetItemAt(m_iCurSel);
          if (item != nullptr) item->Activate();
        }
        break;
      default:
        break;
    }
    return;
  }
  if (event.Type == kUIEventScrollWheel && IsEnabled()) {
    const WORD direction = LOWORD(event.wParam);
    if (direction == SB_LINEUP) {
      if (m_bScrollSelect) {
        SelectItem(FindSelectable(m_iCurSel - 1, false), true, true);
      } else {
        LineUp();
      }
      return;
    }
    if (direction == SB_LINEDOWN) {
      if (m_bScrollSelect) {
        const int next = FindSelectable(m_iCurSel + 1, true);
        if (next >= 0) SelectItem(next, true, true);
      } else {
        LineDown();
      }
      return;
    }
  }
  CVerticalLayoutUI::HandleEvent(event);
}

void CListUI::SetAttribute(const UIChar* name, const UIChar* value) {
  UIListInfo& info = m_ListInfo;
  if (Is(name, UI_TEXT("header"))) {
    m_pHeader->SetVisible(!Is(value, UI_TEXT("hidden")));
  } else if (Is(name, UI_TEXT("headerbkimage"))) {
    m_pHeader->SetBkImage(value);
  } else if (Is(name, UI_TEXT("scrollselect"))) {
    SetScrollSelect(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("multiexpanding"))) {
    SetMultiExpanding(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("itemheight"))) {
    info.iItemHeight = ParseAttributeInt(value);
  } else if (Is(name, UI_TEXT("itemfont"))) {
    info.iFont = ParseAttributeInt(value);
  } else if (Is(name, UI_TEXT("itemalign"))) {
    if (Contains(value, UI_TEXT("left"))) info.uTextStyle &= ~static_cast<UINT>(DT_CENTER | DT_RIGHT);
    if (Contains(value, UI_TEXT("center"))) info.uTextStyle = (info.uTextStyle & ~static_cast<UINT>(DT_RIGHT)) | DT_CENTER;
    if (Contains(value, UI_TEXT("right"))) info.uTextStyle = (info.uTextStyle & ~static_cast<UINT>(DT_CENTER)) | DT_RIGHT;
  } else if (Is(name, UI_TEXT("itemvalign"))) {
    if (Contains(value, UI_TEXT("top"))) info.uTextStyle &= ~static_cast<UINT>(DT_VCENTER | DT_BOTTOM);
    if (Contains(value, UI_TEXT("vcenter"))) info.uTextStyle = (info.uTextStyle & ~static_cast<UINT>(DT_BOTTOM)) | DT_VCENTER;
    if (Contains(value, UI_TEXT("bottom"))) info.uTextStyle = (info.uTextStyle & ~static_cast<UINT>(DT_VCENTER)) | DT_BOTTOM;
  } else if (Is(name, UI_TEXT("itemendellipsis"))) {
    if (ParseAttributeBool(value)) {
      info.uTextStyle |= DT_END_ELLIPSIS;
    } else {
      info.uTextStyle &= ~static_cast<UINT>(DT_END_ELLIPSIS);
    }
  } else if (Is(name, UI_TEXT("itemmultiline"))) {
    if (ParseAttributeBool(value)) {
      info.uTextStyle = (info.uTextStyle & ~static_cast<UINT>(DT_SINGLELINE)) | DT_WORDBREAK;
    } else {
      info.uTextStyle |= DT_SINGLELINE;
    }
  } else if (Is(name, UI_TEXT("itemtextpadding"))) {
    SetItemTextPadding(ParseAttributeRect(value));
  } else if (Is(name, UI_TEXT("itemtextcolor"))) {
    SetItemTextColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("itembkcolor"))) {
    SetItemBkColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("itembkimage"))) {
    SetItemBkImage(value);
  } else if (Is(name, UI_TEXT("itemaltbk"))) {
    SetAlternateBk(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("itemselectedtextcolor"))) {
    SetSelectedItemTextColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("itemselectedbkcolor"))) {
    SetSelectedItemBkColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("itemselectedimage"))) {
    SetSelectedItemImage(value);
  } else if (Is(name, UI_TEXT("itemhottextcolor"))) {
    SetHotItemTextColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("itemhotbkcolor"))) {
    SetHotItemBkColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("itemhotimage"))) {
    SetHotItemImage(value);
  } else if (Is(name, UI_TEXT("itemdisabledtextcolor"))) {
    SetDisabledItemTextColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("itemdisabledbkcolor"))) {
    SetDisabledItemBkColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("itemdisabledimage"))) {
    SetDisabledItemImage(value);
  } else if (Is(name, UI_TEXT("itemvlinesize"))) {
    SetItemVLineSize(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("itemvlinecolor"))) {
    SetItemVLineColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("itemhlinesize"))) {
    SetItemHLineSize(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("itemhlinecolor"))) {
    SetItemHLineColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("itemshowhtml"))) {
    SetItemShowHtml(ParseAttributeBool(value));
  } else {
    CVerticalLayoutUI::SetAttribute(name, value);
  }
}

// --- CControlUI over the own children ---

void CListUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
  COwnChildrenScope own(*this);
  CVerticalLayoutUI::SetManager(manager, parent, init);
}

void CListUI::SetVisible(bool visible) {
  COwnChildrenScope own(*this);
  CVerticalLayoutUI::SetVisible(visible);
}

void CListUI::SetInheritedVisible(bool visible) {
  COwnChildrenScope own(*this);
  CVerticalLayoutUI::SetInheritedVisible(visible);
}

CControlUI* CListUI::FindControl(UIFindControlProc proc, void* data, UINT flags) {
  COwnChildrenScope own(*this);
  return CVerticalLayoutUI::FindControl(proc, data, flags);
}

bool CListUI::PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) {
  COwnChildrenScope own(*this);
  return CVerticalLayoutUI::PaintContent(hDC, rcPaint, pStopControl);
}

// --- CContainerUI: the body's ---

int CListUI::GetChildPadding() const { return m_pList->GetChildPadding(); }
void CListUI::SetChildPadding(int padding) { m_pList->SetChildPadding(padding); }
CUISize CListUI::GetScrollPos() const { return m_pList->GetScrollPos(); }
CUISize CListUI::GetScrollRange() const { return m_pList->GetScrollRange(); }
void CListUI::SetScrollPos(CUISize pos) { m_pList->SetScrollPos(pos); }
void CListUI::LineUp() { m_pList->LineUp(); }
void CListUI::LineDown() { m_pList->LineDown(); }
void CListUI::PageUp() { m_pList->PageUp(); }
void CListUI::PageDown() { m_pList->PageDown(); }
void CListUI::ScrollToTop() { m_pList->ScrollToTop(); }
void CListUI::ScrollToBottom() { m_pList->ScrollToBottom(); }
void CListUI::LineLeft() { m_pList->LineLeft(); }
void CListUI::LineRight() { m_pList->LineRight(); }
void CListUI::PageLeft() { m_pList->PageLeft(); }
void CListUI::PageRight() { m_pList->PageRight(); }
void CListUI::ScrollToLeftEnd() { m_pList->ScrollToLeftEnd(); }
void CListUI::ScrollToRightEnd() { m_pList->ScrollToRightEnd(); }
void CListUI::EnableScrollBar(bool enableVertical, bool enableHorizontal) {
  m_pList->EnableScrollBar(enableVertical, enableHorizontal);
}
CScrollBarUI* CListUI::GetVerticalScrollBar() const { return m_pList->GetVerticalScrollBar(); }
CScrollBarUI* CListUI::GetHorizontalScrollBar() const { return m_pList->GetHorizontalScrollBar(); }

// --- List operations ---

void CListUI::EnsureVisible(int index) {
  if (m_iCurSel < 0) return;
  CControlUI* item = GetItemAt(index);
  if (item == nullptr) return;  // an index outside the items asks for nothing
  const CUIRect rcItem = item->GetPos();
  CUIRect area = m_pList->GetPos();
  const CUIRect inset = m_pList->GetInset();
  area.left += inset.left;
  area.top += inset.top;
  area.right -= inset.right;
  area.bottom -= inset.bottom;
  CScrollBarUI* hbar = m_pList->GetHorizontalScrollBar();
  if (hbar != nullptr && hbar->IsVisible()) area.bottom -= hbar->GetFixedHeight();
  if (rcItem.top >= area.top && rcItem.bottom < area.bottom) return;
  int dy = 0;
  if (rcItem.top < area.top) dy = rcItem.top - area.top;
  if (rcItem.bottom > area.bottom) dy = rcItem.bottom - area.bottom;
  Scroll(0, dy);
}

void CListUI::Scroll(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  const CUISize pos = m_pList->GetScrollPos();
  m_pList->SetScrollPos(CUISize(pos.cx + dx, pos.cy + dy));
}

void CListUI::SetScrollSelect(bool scrollSelect) { m_bScrollSelect = scrollSelect; }
void CListUI::SetMultiExpanding(bool multiExpanding) { m_ListInfo.bMultiExpanding = multiExpanding; }

void CListUI::SetItemTextPadding(CUIRect padding) {
  m_ListInfo.rcTextPadding = padding;
  RequestLayout();
}

void CListUI::SetItemShowHtml(bool showHtml) {
  if (m_ListInfo.bShowHtml == showHtml) return;
  m_ListInfo.bShowHtml = showHtml;
  RequestLayout();
}

#define TRELLIS_LIST_REPAINT_SETTER(Name, Type, field) \
  void CListUI::Name(Type value) {                     \
    m_ListInfo.field = value;                          \
    Invalidate();                                      \
  }
TRELLIS_LIST_REPAINT_SETTER(SetItemTextColor, DWORD, dwTextColor)
TRELLIS_LIST_REPAINT_SETTER(SetItemBkColor, DWORD, dwBkColor)
TRELLIS_LIST_REPAINT_SETTER(SetSelectedItemTextColor, DWORD, dwSelectedTextColor)
TRELLIS_LIST_REPAINT_SETTER(SetSelectedItemBkColor, DWORD, dwSelectedBkColor)
TRELLIS_LIST_REPAINT_SETTER(SetHotItemTextColor, DWORD, dwHotTextColor)
TRELLIS_LIST_REPAINT_SETTER(SetHotItemBkColor, DWORD, dwHotBkColor)
TRELLIS_LIST_REPAINT_SETTER(SetDisabledItemTextColor, DWORD, dwDisabledTextColor)
TRELLIS_LIST_REPAINT_SETTER(SetDisabledItemBkColor, DWORD, dwDisabledBkColor)
TRELLIS_LIST_REPAINT_SETTER(SetItemHLineColor, DWORD, dwHLineColor)
TRELLIS_LIST_REPAINT_SETTER(SetItemVLineColor, DWORD, dwVLineColor)
TRELLIS_LIST_REPAINT_SETTER(SetItemHLineSize, int, iHLineSize)
TRELLIS_LIST_REPAINT_SETTER(SetItemVLineSize, int, iVLineSize)
TRELLIS_LIST_REPAINT_SETTER(SetAlternateBk, bool, bAlternateBk)
#undef TRELLIS_LIST_REPAINT_SETTER

void CListUI::SetItemImage(UIImageDrawInfo& image, const UIChar* description) {
  if (image.sDrawString.EqualsText(description != nullptr ? description : UI_TEXT("")) && image.bLoaded) return;
  image.Clear();
  image.sDrawString.AssignText(description);
  Invalidate();
}

void CListUI::SetItemBkImage(const UIChar* description) { SetItemImage(m_ListInfo.diBk, description); }
void CListUI::SetSelectedItemImage(const UIChar* description) { SetItemImage(m_ListInfo.diSelected, description); }
void CListUI::SetHotItemImage(const UIChar* description) { SetItemImage(m_ListInfo.diHot, description); }
void CListUI::SetDisabledItemImage(const UIChar* description) { SetItemImage(m_ListInfo.diDisabled, description); }

// --- Helpers ---

void CListUI::RenumberItems(int first, int last) {
  if (first < 0) first = 0;
  if (last > GetCount() - 1) last = GetCount() - 1;
  for (int i = first; i <= last; ++i) {
    if (IListItemUI* item = AsListItem(GetItemAt(i))) item->SetIndex(i);
  }
}

IListItemUI* CListUI::GetListItemAt(int index) const { return AsListItem(GetItemAt(index)); }

}  // namespace Trellis
