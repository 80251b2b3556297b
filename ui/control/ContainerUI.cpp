// CContainerUI: the child list, the plain placement, search, events and
// attributes. Scrolling and the scroll bars are in ContainerScroll.cpp,
// painting in ContainerPaint.cpp.
#include "ui/control/ContainerUI.h"

#include "core/base/DebugTrace.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Is(const UIChar* name, const UIChar* literal) { return UITextCompare(name, literal) == 0; }

int ClampInt(int value, int low, int high) {
  if (value < low) value = low;
  if (value > high) value = high;
  return value;
}

CControlUI* MatchNameNoCase(CControlUI* control, void* data) {
  const UIChar* name = static_cast<const UIChar*>(data);
  return control->GetName().CompareNoCase(name) == 0 ? control : nullptr;
}

}  // namespace

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
  // Children go at once: the manager may be going away with this container.
  m_bDelayedDestroy = false;
  RemoveAllItems();
  if (m_pVerticalScrollBar != nullptr) {
    CScrollBarUI* bar = m_pVerticalScrollBar;
    m_pVerticalScrollBar = nullptr;
    bar->Delete();
  }
  if (m_pHorizontalScrollBar != nullptr) {
    CScrollBarUI* bar = m_pHorizontalScrollBar;
    m_pHorizontalScrollBar = nullptr;
    bar->Delete();
  }
}

// --- IContainerUI ---

CControlUI* CContainerUI::GetItemAt(int index) const { return static_cast<CControlUI*>(m_items.GetAt(index)); }

int CContainerUI::GetItemIndex(CControlUI* control) const {
  return control != nullptr ? m_items.Find(control) : -1;
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
  const int oldIndex = GetItemIndex(control);
  if (oldIndex < 0 || index < 0 || index >= GetCount()) return false;
  RequestLayout();
  if (oldIndex == index) return true;
  // The array keeps its capacity on removal, so putting the child back
  // cannot fail.
  m_items.Remove(oldIndex);
  m_items.InsertAt(index, control);
  return true;
}

bool CContainerUI::MoveItems(CControlUI* control, int count, int newIndex) {
  if (control == nullptr || count < 0 || newIndex < 0) return false;
  const int oldIndex = GetItemIndex(control);
  if (oldIndex < 0) return false;
  if (oldIndex == newIndex) return true;
  const int64_t size = GetCount();
  if (static_cast<int64_t>(oldIndex) + count > size || static_cast<int64_t>(newIndex) + count > size) return false;
  if (count > 0) {
    // Copy the run first: a copy that cannot be made leaves the list as it was.
    CUIPtrArray run(count);
    for (int i = 0; i < count; ++i) {
      if (!run.Add(m_items.GetAt(oldIndex + i))) return false;
    }
    m_items.Remove(oldIndex, count);
    for (int i = 0; i < count; ++i) m_items.InsertAt(newIndex + i, run.GetAt(i));
  }
  RequestLayout();
  return true;
}

int CContainerUI::GetCount() const { return m_items.GetSize(); }

bool CContainerUI::AddItem(CControlUI* control) { return AddItemAt(control, GetCount()); }

bool CContainerUI::AddItemAt(CControlUI* control, int index) {
  // Store first, attach after: a child that cannot be stored is never
  // attached to the manager or initialised.
  if (control == nullptr || index < 0 || index > GetCount()) return false;
  if (!m_items.InsertAt(index, control)) return false;
  if (m_pManager != nullptr) {
    m_pManager->InitControls(control, this);
  } else {
    control->SetManager(nullptr, this, false);
  }
  if (IsVisible()) {
    RequestLayout();
  } else {
    control->SetInheritedVisible(false);
  }
  return true;
}

bool CContainerUI::RemoveItem(CControlUI* control, bool keep) {
  const int index = GetItemIndex(control);
  if (index < 0) return false;
  return RemoveItemAt(index, keep);
}

bool CContainerUI::RemoveItemAt(int index, bool keep) {
  CControlUI* child = GetItemAt(index);
  if (child == nullptr) return false;
  RequestLayout();
  // Out of the list before it is deleted, so nothing reaches it through the list.
  m_items.Remove(index);
  if (!keep && m_bAutoDestroy) {
    DestroyChild(child);
  } else if (child->GetParent() == this) {
    child->SetManager(child->GetManager(), nullptr, false);
  }
  return true;
}

void CContainerUI::RemoveAllItems() {
  CUIPtrArray children(m_items);
  m_items.Clear();
  for (int i = 0; i < children.GetSize(); ++i) {
    CControlUI* child = static_cast<CControlUI*>(children.GetAt(i));
    if (m_bAutoDestroy) {
      DestroyChild(child);
    } else if (child->GetParent() == this) {
      child->SetManager(child->GetManager(), nullptr, false);
    }
  }
  RequestLayout();
}

void CContainerUI::DestroyChild(CControlUI* child) {
  if (m_bDelayedDestroy && m_pManager != nullptr) {
    m_pManager->AddDelayedCleanup(child);
  } else {
    child->Delete();
  }
}

// --- CControlUI ---

const UIChar* CContainerUI::GetClassName() const { return UI_TEXT("Container"); }

void* CContainerUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("IContainer"))) return static_cast<IContainerUI*>(this);
  if (name != nullptr && Is(name, UI_TEXT("Container"))) return static_cast<CContainerUI*>(this);
  return CControlUI::GetInterface(name);
}

void CContainerUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetManager(manager, this, init);
  if (m_pVerticalScrollBar != nullptr) m_pVerticalScrollBar->SetManager(manager, this, init);
  if (m_pHorizontalScrollBar != nullptr) m_pHorizontalScrollBar->SetManager(manager, this, init);
  CControlUI::SetManager(manager, parent, init);
}

CUIRect CContainerUI::GetClientPos() const {
  CUIRect rc = m_rcItem;
  rc.left = UICoordAdd(rc.left, m_rcInset.left);
  rc.top = UICoordAdd(rc.top, m_rcInset.top);
  rc.right = UICoordSubtract(rc.right, m_rcInset.right);
  rc.bottom = UICoordSubtract(rc.bottom, m_rcInset.bottom);
  if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible()) {
    rc.right = UICoordSubtract(rc.right, m_pVerticalScrollBar->GetFixedWidth());
  }
  if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible()) {
    rc.bottom = UICoordSubtract(rc.bottom, m_pHorizontalScrollBar->GetFixedHeight());
  }
  return rc;
}

void CContainerUI::SetPos(CUIRect rc, bool invalidate) {
  CControlUI::SetPos(rc, invalidate);
  if (m_items.IsEmpty()) return;

  // The area covers the whole scrollable extent, shifted by the scroll position.
  CUIRect area = m_rcItem;
  area.left = UICoordAdd(area.left, m_rcInset.left);
  area.top = UICoordAdd(area.top, m_rcInset.top);
  area.right = UICoordSubtract(area.right, m_rcInset.right);
  area.bottom = UICoordSubtract(area.bottom, m_rcInset.bottom);
  if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible()) {
    const int range = m_pVerticalScrollBar->GetScrollRange();
    const int pos = m_pVerticalScrollBar->GetScrollPos();
    area.right = UICoordSubtract(area.right, m_pVerticalScrollBar->GetFixedWidth());
    area.top = UICoordSubtract(area.top, pos);
    area.bottom = UICoordAdd(area.bottom, UICoordSubtract(range, pos));
  }
  if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible()) {
    const int range = m_pHorizontalScrollBar->GetScrollRange();
    const int pos = m_pHorizontalScrollBar->GetScrollPos();
    area.bottom = UICoordSubtract(area.bottom, m_pHorizontalScrollBar->GetFixedHeight());
    area.left = UICoordSubtract(area.left, pos);
    area.right = UICoordAdd(area.right, UICoordSubtract(range, pos));
  }
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    const int width = ClampInt(area.GetWidth(), child->GetMinWidth(), child->GetMaxWidth());
    const int height = ClampInt(area.GetHeight(), child->GetMinHeight(), child->GetMaxHeight());
    child->SetPos(CUIRect(area.left, area.top, UICoordAdd(area.left, width), UICoordAdd(area.top, height)), false);
  }
}

void CContainerUI::Move(CUISize offset, bool invalidate) {
  CControlUI::Move(offset, invalidate);
  if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible()) m_pVerticalScrollBar->Move(offset, false);
  if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible()) {
    m_pHorizontalScrollBar->Move(offset, false);
  }
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (child->IsVisible()) child->Move(offset, false);
  }
}

void CContainerUI::SetVisible(bool visible) {
  if (m_bVisible == visible) return;
  CControlUI::SetVisible(visible);
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetInheritedVisible(IsVisible());
}

void CContainerUI::SetInheritedVisible(bool visible) {
  CControlUI::SetInheritedVisible(visible);
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetInheritedVisible(IsVisible());
}

void CContainerUI::SetMouseEnabled(bool enabled) {
  if (m_pVerticalScrollBar != nullptr) m_pVerticalScrollBar->SetMouseEnabled(enabled);
  if (m_pHorizontalScrollBar != nullptr) m_pHorizontalScrollBar->SetMouseEnabled(enabled);
  CControlUI::SetMouseEnabled(enabled);
}

CControlUI* CContainerUI::FindControl(UIFindControlProc proc, void* data, UINT flags) {
  if (!PassesFindFilters(proc, data, flags)) return nullptr;
  const bool hitTest = (flags & kUIFindHitTest) != 0;
  const bool meFirst = (flags & kUIFindMeFirst) != 0;
  const bool offerSelf = !hitTest || IsMouseEnabled();
  const bool descend = !hitTest || m_bMouseChildEnabled;

  if (meFirst && offerSelf) {
    if (CControlUI* found = proc(this, data)) return found;
  }
  if (m_pCover != nullptr && descend) {
    if (CControlUI* found = m_pCover->FindControl(proc, data, flags)) return found;
  }
  if (offerSelf) {
    if (m_pVerticalScrollBar != nullptr) {
      if (CControlUI* found = m_pVerticalScrollBar->FindControl(proc, data, flags)) return found;
    }
    if (m_pHorizontalScrollBar != nullptr) {
      if (CControlUI* found = m_pHorizontalScrollBar->FindControl(proc, data, flags)) return found;
    }
  }
  if (descend) {
    // Children scrolled out of the client area are not hit; floating ones are.
    const CUIRect client = GetClientPos();
    const int count = GetCount();
    const bool lastFirst = (flags & kUIFindTopFirst) != 0;
    for (int n = 0; n < count; ++n) {
      CControlUI* child = GetItemAt(lastFirst ? count - 1 - n : n);
      CControlUI* found = child->FindControl(proc, data, flags);
      if (found == nullptr) continue;
      if (!hitTest) return found;
      if (found->IsFloat() || RectContainsPoint(client, *static_cast<const CUIPoint*>(data))) return found;
    }
  }
  if (meFirst || !offerSelf) return nullptr;
  return proc(this, data);
}

void CContainerUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEventKind(event.Type)) {
    if (m_pParent != nullptr) {
      m_pParent->HandleEvent(event);
    } else {
      CControlUI::HandleEvent(event);
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
  const bool vActive = m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible() &&
                       m_pVerticalScrollBar->IsEnabled();
  const bool hActive = m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible() &&
                       m_pHorizontalScrollBar->IsEnabled();
  if (event.Type == kUIEventKeyDown && IsKeyboardEnabled() && IsEnabled()) {
    if (vActive) {
      switch (event.chKey) {
        case VK_PRIOR: PageUp(); return;
        case VK_NEXT: PageDown(); return;
        case VK_END: ScrollToBottom(); return;
        case VK_HOME: ScrollToTop(); return;
        case VK_UP: LineUp(); return;
        case VK_DOWN: LineDown(); return;
        default: break;
      }
    } else if (hActive) {
      switch (event.chKey) {
        case VK_PRIOR: PageLeft(); return;
        case VK_NEXT: PageRight(); return;
        case VK_END: ScrollToRightEnd(); return;
        case VK_HOME: ScrollToLeftEnd(); return;
        case VK_UP: LineLeft(); return;
        case VK_DOWN: LineRight(); return;
        default: break;
      }
    }
  }
  if (event.Type == kUIEventScrollWheel) {
    const int direction = LOWORD(event.wParam);  // 0 away from the user, 1 towards
    if (direction == 0 || direction == 1) {
      if (hActive && RectContainsPoint(m_pHorizontalScrollBar->GetPos(), event.ptMouse)) {
        direction == 0 ? LineLeft() : LineRight();
        return;
      }
      if (vActive) {
        direction == 0 ? LineUp() : LineDown();
        return;
      }
      // Only a horizontal bar: the wheel over the content scrolls sideways.
      if (hActive) {
        direction == 0 ? LineLeft() : LineRight();
        return;
      }
    }
  }
  CControlUI::HandleEvent(event);
}

void CContainerUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = UI_TEXT("");
  if (Is(name, UI_TEXT("inset"))) {
    SetInset(ParseAttributeRect(value));
  } else if (Is(name, UI_TEXT("mousechild"))) {
    SetMouseChildEnabled(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("vscrollbar"))) {
    EnableScrollBar(ParseAttributeBool(value), m_pHorizontalScrollBar != nullptr);
  } else if (Is(name, UI_TEXT("vscrollbarstyle"))) {
    EnableScrollBar(true, m_pHorizontalScrollBar != nullptr);
    if (m_pVerticalScrollBar != nullptr) m_pVerticalScrollBar->ApplyAttributeList(value);
  } else if (Is(name, UI_TEXT("hscrollbar"))) {
    EnableScrollBar(m_pVerticalScrollBar != nullptr, ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("hscrollbarstyle"))) {
    EnableScrollBar(m_pVerticalScrollBar != nullptr, true);
    if (m_pHorizontalScrollBar != nullptr) m_pHorizontalScrollBar->ApplyAttributeList(value);
  } else if (Is(name, UI_TEXT("childpadding"))) {
    SetChildPadding(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("childalign"))) {
    if (Is(value, UI_TEXT("left"))) m_iChildAlign = 0;
    else if (Is(value, UI_TEXT("center"))) m_iChildAlign = 1;
    else if (Is(value, UI_TEXT("right"))) m_iChildAlign = 2;
    else DebugTrace(L"Trellis: container attribute \"%ls\" ignores the unknown value \"%.40ls\"", name, value);
  } else if (Is(name, UI_TEXT("childvalign"))) {
    if (Is(value, UI_TEXT("top"))) m_iChildVAlign = 0;
    else if (Is(value, UI_TEXT("vcenter"))) m_iChildVAlign = 4;
    else if (Is(value, UI_TEXT("bottom"))) m_iChildVAlign = 8;
    else DebugTrace(L"Trellis: container attribute \"%ls\" ignores the unknown value \"%.40ls\"", name, value);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

// --- Container settings ---

CUIRect CContainerUI::GetInset() const { return m_rcInset; }

void CContainerUI::SetInset(CUIRect inset) {
  m_rcInset = inset;
  RequestLayout();
}

int CContainerUI::GetChildPadding() const { return m_iChildPadding; }

void CContainerUI::SetChildPadding(int padding) {
  m_iChildPadding = padding < 0 ? 0 : padding;
  RequestLayout();
}

UINT CContainerUI::GetChildAlign() const { return m_iChildAlign; }

void CContainerUI::SetChildAlign(UINT align) {
  m_iChildAlign = align;
  RequestLayout();
}

UINT CContainerUI::GetChildVAlign() const { return m_iChildVAlign; }

void CContainerUI::SetChildVAlign(UINT align) {
  m_iChildVAlign = align;
  RequestLayout();
}

bool CContainerUI::IsAutoDestroy() const { return m_bAutoDestroy; }
void CContainerUI::SetAutoDestroy(bool autoDestroy) { m_bAutoDestroy = autoDestroy; }
bool CContainerUI::IsDelayedDestroy() const { return m_bDelayedDestroy; }
void CContainerUI::SetDelayedDestroy(bool delayed) { m_bDelayedDestroy = delayed; }
bool CContainerUI::IsMouseChildEnabled() const { return m_bMouseChildEnabled; }
void CContainerUI::SetMouseChildEnabled(bool enabled) { m_bMouseChildEnabled = enabled; }

int CContainerUI::FindSelectable(int index, bool forward) const {
  const int count = GetCount();
  if (count == 0) return -1;
  index = ClampInt(index, 0, count - 1);
  auto selectable = [this](int i) {
    CControlUI* child = GetItemAt(i);
    return child->GetInterface(UI_TEXT("IListItem")) != nullptr && child->IsVisible() && child->IsEnabled();
  };
  if (forward) {
    for (int i = index; i < count; ++i) {
      if (selectable(i)) return i;
    }
    return -1;
  }
  for (int i = index; i >= 0; --i) {
    if (selectable(i)) return i;
  }
  return FindSelectable(0, true);
}

CControlUI* CContainerUI::FindChildByName(const UIChar* name) const {
  if (name == nullptr || name[0] == 0) return nullptr;
  // The same search as the manager's search by name below a control, so it
  // also works before the container is attached.
  CContainerUI* self = const_cast<CContainerUI*>(this);
  return self->FindControl(MatchNameNoCase, const_cast<UIChar*>(name), 0);
}

}  // namespace Trellis
