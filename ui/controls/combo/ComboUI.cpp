// CComboUI: selection and item bookkeeping as a list owner, the pop-up's
// opening and closing, keys and wheel, attributes and painting of the closed
// control.
#include "ui/controls/combo/ComboUI.h"

#include "ui/control/portable/AttributeText.h"
#include "ui/controls/HotState.h"
#include "ui/controls/combo/ComboWnd.h"
#include "ui/draw/UIFontInfo.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Is(const UIChar* name, const UIChar* literal) { return UITextCompare(name, literal) == 0; }

bool Contains(const UIChar* text, const UIChar* word) { return CUIString(text).FindText(word) >= 0; }

IListItemUI* AsListItem(CControlUI* control) {
  return control != nullptr ? static_cast<IListItemUI*>(control->GetInterface(UI_TEXT("IListItem"))) : nullptr;
}

}  // namespace

// --- Lifetime ---

CComboUI::CComboUI() {
  // A combo's items have no columns; the rest of the record keeps the list defaults.
  m_ListInfo.iColumnCount = 0;
}

CComboUI::~CComboUI() { CloseDropDown(); }

void CComboUI::CloseDropDown() {
  if (m_pWindow == nullptr) return;
  CComboWnd* window = m_pWindow;
  m_pWindow = nullptr;
  window->ReturnItems();
  window->DetachOwner();
  if (window->GetHandle() != nullptr) ::DestroyWindow(window->GetHandle());
}

void CComboUI::ReclaimItems() {
  if (m_pWindow == nullptr) return;
  // The items come home now; the pop-up, empty, closes at its next message.
  m_pWindow->ReturnItems();
  m_pWindow->PostWindowMessage(WM_CLOSE);
}

// --- IListOwnerUI ---

UIListInfo* CComboUI::GetListInfo() { return &m_ListInfo; }
int CComboUI::GetCurSel() const { return m_iCurSel; }

bool CComboUI::SelectItem(int index, bool takeFocus, bool sendNotify) {
  if (m_bSelectCloseFlag && m_pWindow != nullptr) m_pWindow->PostWindowMessage(WM_CLOSE);
  if (index == m_iCurSel) return true;
  const int oldSel = m_iCurSel;
  if (m_iCurSel >= 0) {
    IListItemUI* old = AsListItem(GetItemAt(m_iCurSel));
    if (old == nullptr) return false;
    old->Select(false, sendNotify);
    m_iCurSel = -1;
  }
  if (index < 0 || m_items.IsEmpty()) return false;
  if (index >= m_items.GetSize()) index = m_items.GetSize() - 1;
  CControlUI* control = GetItemAt(index);
  IListItemUI* item = AsListItem(control);
  if (control == nullptr || !control->IsVisible() || !control->IsEnabled() || item == nullptr) return false;
  m_iCurSel = index;
  if (m_pWindow != nullptr || takeFocus) control->SetFocus();
  item->Select(true, sendNotify);
  if (sendNotify && m_pManager != nullptr) {
    m_pManager->SendNotify(this, UI_TEXT("itemselect"), static_cast<WPARAM>(m_iCurSel), static_cast<LPARAM>(oldSel));
  }
  Invalidate();
  return true;
}

void CComboUI::HandleItemEvent(UIEvent& event) { HandleEvent(event); }
bool CComboUI::ExpandItem(int, bool) { return false; }
int CComboUI::GetExpandedItem() const { return -1; }

// --- IContainerUI ---

void CComboUI::RenumberItems(int first, int last) {
  if (first < 0) first = 0;
  if (last > GetCount() - 1) last = GetCount() - 1;
  for (int i = first; i <= last; ++i) {
    if (IListItemUI* item = AsListItem(GetItemAt(i))) item->SetIndex(i);
  }
}

bool CComboUI::SetItemIndex(CControlUI* control, int index) {
  ReclaimItems();
  const int oldIndex = GetItemIndex(control);
  if (oldIndex < 0) return false;
  if (oldIndex == index) return true;
  CControlUI* selected = GetItemAt(m_iCurSel);
  if (!CContainerUI::SetItemIndex(control, index)) return false;
  RenumberItems(oldIndex < index ? oldIndex : index, oldIndex < index ? index : oldIndex);
  if (selected != nullptr) m_iCurSel = GetItemIndex(selected);
  return true;
}

bool CComboUI::MoveItems(CControlUI* control, int count, int newIndex) {
  ReclaimItems();
  const int current = GetItemIndex(control);
  if (current < 0) return false;
  CControlUI* selected = GetItemAt(m_iCurSel);
  if (!CContainerUI::MoveItems(control, count, newIndex)) return false;
  RenumberItems(current < newIndex ? current : newIndex, (current > newIndex ? current : newIndex) + count - 1);
  if (selected != nullptr) m_iCurSel = GetItemIndex(selected);
  return true;
}

bool CComboUI::AddItem(CControlUI* control) {
  if (control == nullptr) return false;
  ReclaimItems();
  if (IListItemUI* item = AsListItem(control)) {
    item->SetOwner(this);
    item->SetIndex(m_items.GetSize());
  }
  return CContainerUI::AddItem(control);
}

bool CComboUI::AddItemAt(CControlUI* control, int index) {
  if (control == nullptr) return false;
  ReclaimItems();
  if (!CContainerUI::AddItemAt(control, index)) return false;
  if (IListItemUI* item = AsListItem(control)) {
    item->SetOwner(this);
    item->SetIndex(index);
  }
  RenumberItems(index + 1, GetCount() - 1);
  if (m_iCurSel >= index) ++m_iCurSel;
  return true;
}

bool CComboUI::RemoveItem(CControlUI* control, bool keep) {
  ReclaimItems();
  const int index = GetItemIndex(control);
  if (index < 0) return false;
  return RemoveItemAt(index, keep);
}

bool CComboUI::RemoveItemAt(int index, bool keep) {
  ReclaimItems();
  if (!CContainerUI::RemoveItemAt(index, keep)) return false;
  RenumberItems(index, GetCount() - 1);
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

void CComboUI::RemoveAllItems() {
  ReclaimItems();
  m_iCurSel = -1;
  CContainerUI::RemoveAllItems();
}

// --- CControlUI ---

const UIChar* CComboUI::GetClassName() const { return UI_TEXT("Combo"); }

void* CComboUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("IListOwner"))) return static_cast<IListOwnerUI*>(this);
  if (name != nullptr && Is(name, UI_TEXT("Combo"))) return static_cast<CComboUI*>(this);
  return CContainerUI::GetInterface(name);
}

UINT CComboUI::GetControlFlags() const { return kUIFlagTabStop; }

bool CComboUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (m_pWindow != nullptr) return true;
  m_pWindow = new CComboWnd();
  if (!m_pWindow->Init(this)) {
    // No window was made, so no last message will delete the object.
    delete m_pWindow;
    m_pWindow = nullptr;
    return true;
  }
  if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("dropdown"));
  Invalidate();
  return true;
}

CUIString CComboUI::GetText() const {
  if (m_iCurSel < 0) return CUIString();
  CControlUI* item = GetItemAt(m_iCurSel);
  return item != nullptr ? item->GetText() : CUIString();
}

void CComboUI::SetPos(CUIRect rc, bool invalidate) {
  // The items are never laid out inside the closed combo; lent items belong
  // to the pop-up's layout meanwhile and are left alone.
  for (int i = 0; i < m_items.GetSize(); ++i) {
    auto* item = static_cast<CControlUI*>(m_items.GetAt(i));
    if (item->GetParent() == this) item->SetPos(CUIRect(), false);
  }
  CControlUI::SetPos(rc, invalidate);
}

void CComboUI::Move(CUISize offset, bool invalidate) { CControlUI::Move(offset, invalidate); }

void CComboUI::SetEnabled(bool enabled) {
  CContainerUI::SetEnabled(enabled);
  if (!IsEnabled()) m_uButtonState = 0;
}

void CComboUI::SelectStep(int index) {
  // Nothing selectable in that direction: the selection stays.
  if (index < 0) return;
  m_bSelectCloseFlag = false;
  SelectItem(index, false, true);
  m_bSelectCloseFlag = true;
}

void CComboUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEventKind(event.Type)) {
    if (m_pParent != nullptr) {
      m_pParent->HandleEvent(event);
    } else {
      CContainerUI::HandleEvent(event);
    }
    return;
  }
  switch (event.Type) {
    case kUIEventSetFocus:
    case kUIEventKillFocus:
      Invalidate();
      break;
    case kUIEventButtonDown:
      if (IsEnabled()) {
        Activate();
        // Pushed means "the pop-up is open": its last message clears the bit,
        // so without a pop-up nothing would.
        m_uButtonState |= kUIStateCaptured;
        if (m_pWindow != nullptr) m_uButtonState |= kUIStatePushed;
      }
      return;
    case kUIEventButtonUp:
      if ((m_uButtonState & kUIStateCaptured) != 0) {
        m_uButtonState &= ~static_cast<UINT>(kUIStateCaptured);
        Invalidate();
      }
      return;
    case kUIEventMouseMove:
      return;
    case kUIEventKeyDown:
      if (!IsKeyboardEnabled() || !IsEnabled()) break;
      switch (event.chKey) {
        case VK_F4:
          Activate();
          return;
        case VK_UP:
        case VK_PRIOR:
          SelectStep(FindSelectable(m_iCurSel - 1, false));
          return;
        case VK_DOWN:
        case VK_NEXT:
          SelectStep(FindSelectable(m_iCurSel + 1, true));
          return;
        case VK_HOME:
          SelectStep(FindSelectable(0, false));
          return;
        case VK_END:
          // The last selectable item, also when hidden or disabled ones end the list.
          SelectStep(FindSelectable(GetCount() - 1, false));
          return;
        default:
          return;
      }
    case kUIEventScrollWheel:
      if (IsEnabled()) {
        if (LOWORD(event.wParam) == SB_LINEDOWN) {
          SelectStep(FindSelectable(m_iCurSel + 1, true));
        } else {
          SelectStep(FindSelectable(m_iCurSel - 1, false));
        }
        return;
      }
      break;
    case kUIEventContextMenu:
      return;
    case kUIEventMouseEnter:
    case kUIEventMouseLeave:
      TrackHotState(*this, event, m_uButtonState);
      return;
    default:
      break;
  }
  CControlUI::HandleEvent(event);
}

void CComboUI::SetAttribute(const UIChar* name, const UIChar* value) {
  UIListInfo& info = m_ListInfo;
  if (Is(name, UI_TEXT("textpadding"))) {
    SetTextPadding(ParseAttributeRect(value));
  } else if (Is(name, UI_TEXT("showtext"))) {
    SetShowText(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("normalimage"))) {
    SetNormalImage(value);
  } else if (Is(name, UI_TEXT("hotimage"))) {
    SetHotImage(value);
  } else if (Is(name, UI_TEXT("pushedimage"))) {
    SetPushedImage(value);
  } else if (Is(name, UI_TEXT("focusedimage"))) {
    SetFocusedImage(value);
  } else if (Is(name, UI_TEXT("disabledimage"))) {
    SetDisabledImage(value);
  } else if (Is(name, UI_TEXT("dropbox"))) {
    SetDropBoxAttributeList(value);
  } else if (Is(name, UI_TEXT("dropboxsize"))) {
    SetDropBoxSize(ParseAttributeSize(value));
  } else if (Is(name, UI_TEXT("itemheight"))) {
    info.iItemHeight = ParseAttributeInt(value);
  } else if (Is(name, UI_TEXT("itemfont"))) {
    info.iFont = ParseAttributeInt(value);
  } else if (Is(name, UI_TEXT("itemalign"))) {
    if (Contains(value, UI_TEXT("left"))) info.uTextStyle &= ~static_cast<UINT>(DT_CENTER | DT_RIGHT);
    if (Contains(value, UI_TEXT("center"))) info.uTextStyle = (info.uTextStyle & ~static_cast<UINT>(DT_RIGHT)) | DT_CENTER;
    if (Contains(value, UI_TEXT("right"))) info.uTextStyle = (info.uTextStyle & ~static_cast<UINT>(DT_CENTER)) | DT_RIGHT;
  } else if (Is(name, UI_TEXT("itemtextpadding"))) {
    info.rcTextPadding = ParseAttributeRect(value);
    Invalidate();
  } else if (Is(name, UI_TEXT("itemtextcolor"))) {
    info.dwTextColor = ParseAttributeColor(value);
    Invalidate();
  } else if (Is(name, UI_TEXT("itembkcolor"))) {
    info.dwBkColor = ParseAttributeColor(value);
  } else if (Is(name, UI_TEXT("itemselectedtextcolor"))) {
    info.dwSelectedTextColor = ParseAttributeColor(value);
  } else if (Is(name, UI_TEXT("itemselectedbkcolor"))) {
    info.dwSelectedBkColor = ParseAttributeColor(value);
  } else if (Is(name, UI_TEXT("itemhottextcolor"))) {
    info.dwHotTextColor = ParseAttributeColor(value);
  } else if (Is(name, UI_TEXT("itemhotbkcolor"))) {
    info.dwHotBkColor = ParseAttributeColor(value);
  } else if (Is(name, UI_TEXT("itemdisabledtextcolor"))) {
    info.dwDisabledTextColor = ParseAttributeColor(value);
  } else if (Is(name, UI_TEXT("itemdisabledbkcolor"))) {
    info.dwDisabledBkColor = ParseAttributeColor(value);
  } else if (Is(name, UI_TEXT("itemvlinecolor"))) {
    info.dwVLineColor = ParseAttributeColor(value);
  } else if (Is(name, UI_TEXT("itemhlinecolor"))) {
    info.dwHLineColor = ParseAttributeColor(value);
  } else if (Is(name, UI_TEXT("itembkimage"))) {
    info.diBk.Clear();
    info.diBk.sDrawString.AssignText(value);
  } else if (Is(name, UI_TEXT("itemselectedimage"))) {
    info.diSelected.Clear();
    info.diSelected.sDrawString.AssignText(value);
  } else if (Is(name, UI_TEXT("itemhotimage"))) {
    info.diHot.Clear();
    info.diHot.sDrawString.AssignText(value);
  } else if (Is(name, UI_TEXT("itemdisabledimage"))) {
    info.diDisabled.Clear();
    info.diDisabled.sDrawString.AssignText(value);
  } else if (Is(name, UI_TEXT("itemaltbk"))) {
    info.bAlternateBk = ParseAttributeBool(value);
  } else if (Is(name, UI_TEXT("itemvlinesize"))) {
    info.iVLineSize = ParseAttributeInt(value);
  } else if (Is(name, UI_TEXT("itemhlinesize"))) {
    info.iHLineSize = ParseAttributeInt(value);
  } else if (Is(name, UI_TEXT("itemshowhtml"))) {
    const bool showHtml = ParseAttributeBool(value);
    if (info.bShowHtml != showHtml) {
      info.bShowHtml = showHtml;
      Invalidate();
    }
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

CUISize CComboUI::EstimateSize(CUISize available) {
  if (m_cxyFixed.cy != 0) return CControlUI::EstimateSize(available);
  const UIFontInfo* font = m_pManager != nullptr ? m_pManager->GetDefaultFontInfo() : nullptr;
  return CUISize(m_cxyFixed.cx, (font != nullptr ? font->tm.tmHeight : 0) + 8);
}

bool CComboUI::PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) {
  return CControlUI::PaintContent(hDC, rcPaint, pStopControl);
}

void CComboUI::PaintStatusImage(HDC hDC) {
  if (IsFocused()) {
    m_uButtonState |= kUIStateFocused;
  } else {
    m_uButtonState &= ~static_cast<UINT>(kUIStateFocused);
  }
  if (!IsEnabled()) {
    m_uButtonState |= kUIStateDisabled;
  } else {
    m_uButtonState &= ~static_cast<UINT>(kUIStateDisabled);
  }
  static const CStateImages::Slot kOrder[] = {CStateImages::kDisabled, CStateImages::kPushed, CStateImages::kHot,
                                              CStateImages::kFocused};
  m_images.Draw(*this, hDC, CStateImages::Choose(m_uButtonState, kOrder, 4));
}

void CComboUI::PaintText(HDC hDC) {
  if (!m_bShowText || m_iCurSel < 0) return;
  CControlUI* control = GetItemAt(m_iCurSel);
  if (control == nullptr) return;
  CUIRect rc = m_rcItem;
  rc.left += m_rcTextPadding.left;
  rc.top += m_rcTextPadding.top;
  rc.right -= m_rcTextPadding.right;
  rc.bottom -= m_rcTextPadding.bottom;
  if (IListItemUI* item = AsListItem(control)) {
    item->DrawItemText(hDC, rc);
    return;
  }
  const CUIRect old = control->GetPos();
  control->SetPos(rc, false);
  control->Paint(hDC, rc, nullptr);
  control->SetPos(old, false);
}

// --- Setters ---

void CComboUI::SetShowText(bool show) {
  m_bShowText = show;
  Invalidate();
}

void CComboUI::SetTextPadding(CUIRect padding) {
  m_rcTextPadding = padding;
  Invalidate();
}

void CComboUI::SetDropBoxAttributeList(const UIChar* list) { m_sDropBoxAttributes.AssignText(list); }
void CComboUI::SetDropBoxSize(CUISize size) { m_szDropBox = size; }

void CComboUI::SetNormalImage(const UIChar* description) {
  if (m_images.Set(CStateImages::kNormal, description)) Invalidate();
}
void CComboUI::SetHotImage(const UIChar* description) {
  if (m_images.Set(CStateImages::kHot, description)) Invalidate();
}
void CComboUI::SetPushedImage(const UIChar* description) {
  if (m_images.Set(CStateImages::kPushed, description)) Invalidate();
}
void CComboUI::SetFocusedImage(const UIChar* description) {
  if (m_images.Set(CStateImages::kFocused, description)) Invalidate();
}
void CComboUI::SetDisabledImage(const UIChar* description) {
  if (m_images.Set(CStateImages::kDisabled, description)) Invalidate();
}

}  // namespace Trellis
