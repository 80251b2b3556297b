// CControlUI: identity, tree, geometry, visibility, search, events and
// attributes. Painting is in ControlPaint.cpp.
#include "ui/control/ControlUI.h"

#include "core/base/DebugTrace.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/draw/DrawEngine.h"
#include "ui/draw/ImageAttribute.h"
#include "ui/draw/UIImageInfo.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Is(const UIChar* name, const UIChar* literal) { return UITextCompare(name, literal) == 0; }

int ClampInt(int value, int low, int high) {
  if (value < low) value = low;
  if (value > high) value = high;
  return value;
}

}  // namespace

CControlUI::CControlUI() = default;

// --- Lifetime and identity ---

void CControlUI::Delete() {
  if (m_pManager != nullptr) m_pManager->RemoveMouseLeaveListener(this);
  delete this;
}

CControlUI::~CControlUI() {
  if (m_pCover != nullptr) {
    CControlUI* cover = m_pCover;
    m_pCover = nullptr;
    cover->Delete();
  }
  for (int i = 0; i < m_mCustomAttrHash.GetCount(); ++i) {
    const UIChar* key = m_mCustomAttrHash.GetKeyAt(i);
    delete static_cast<CUIString*>(m_mCustomAttrHash.Find(key, false));
  }
  m_mCustomAttrHash.RemoveAll();
  if (destroyListeners.HasDelegates()) destroyListeners.Invoke(this);
  if (m_pManager != nullptr) {
    // The after-paint and mouse-leave lists hold plain pointers: a control
    // that goes away must leave them, or the next paint calls into freed memory.
    m_pManager->RemovePostPaint(this);
    m_pManager->RemoveMouseLeaveListener(this);
    m_pManager->ReapObjects(this);
  }
}

CUIString CControlUI::GetName() const { return m_sName; }

void CControlUI::SetName(const UIChar* name) {
  if (m_sName.EqualsText(name)) return;
  const CUIString oldName = m_sName;
  m_sName.AssignText(name);
  if (m_pManager != nullptr) m_pManager->UpdateControlName(this, oldName.GetText());
}

const UIChar* CControlUI::GetClassName() const { return UI_TEXT("Control"); }

void* CControlUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("Control"))) return this;
  return nullptr;
}

UINT CControlUI::GetControlFlags() const { return 0; }

HWND CControlUI::GetNativeWindow() const { return nullptr; }

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

// --- Tree ---

CWindowManagerUI* CControlUI::GetManager() const { return m_pManager; }

void CControlUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
  if (m_pCover != nullptr) m_pCover->SetManager(manager, this, init);
  m_pManager = manager;
  m_pParent = parent;
  if (init && m_pParent != nullptr) Init();
}

CControlUI* CControlUI::GetParent() const { return m_pParent; }

CControlUI* CControlUI::GetCover() const { return m_pCover; }

void CControlUI::SetCover(CControlUI* cover) {
  if (cover == m_pCover) return;
  if (m_pCover != nullptr) {
    CControlUI* old = m_pCover;
    m_pCover = nullptr;
    old->Delete();
  }
  m_pCover = cover;
  if (cover == nullptr) return;
  // Without a manager the cover only learns its parent; attaching this
  // control later passes the manager on to it (SetManager).
  if (m_pManager != nullptr) {
    m_pManager->InitControls(cover, this);
  } else {
    cover->SetManager(nullptr, this, false);
  }
  if (IsVisible()) {
    RequestLayout();
  } else {
    cover->SetInheritedVisible(false);
  }
}

// --- Text ---

CUIString CControlUI::GetText() const { return m_sText; }

void CControlUI::SetText(const UIChar* text) {
  if (m_sText.EqualsText(text)) return;
  m_sText.AssignText(text);
  Invalidate();
}

// --- Position and size ---

const CUIRect& CControlUI::GetPos() const { return m_rcItem; }

CUIRect CControlUI::GetRelativePos() const {
  if (m_pParent == nullptr) return CUIRect();
  CUIRect rc = m_rcItem;
  const CUIRect& parent = m_pParent->GetPos();
  rc.Offset(UICoordSubtract(0, parent.left), UICoordSubtract(0, parent.top));
  return rc;
}

CUIRect CControlUI::GetClientPos() const { return m_rcItem; }

void CControlUI::InvalidateThroughAncestors(CUIRect dirty) {
  for (CControlUI* ancestor = m_pParent; ancestor != nullptr; ancestor = ancestor->GetParent()) {
    if (!ancestor->IsVisible()) return;
    if (!IntersectRects(&dirty, dirty, ancestor->GetPos())) return;
  }
  if (m_pManager != nullptr) m_pManager->InvalidateArea(dirty);
}

void CControlUI::SetPos(CUIRect rc, bool invalidate) {
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;

  CUIRect dirty = m_rcItem;
  if (RectIsEmpty(dirty)) dirty = rc;

  if (m_bFloat) {
    // rc is relative to the parent; the placement values follow it, so the
    // next layout of the parent reproduces this place.
    if (m_pParent != nullptr) {
      const CUIRect& parent = m_pParent->GetPos();
      m_rcItem = rc;
      m_rcItem.Offset(parent.left, parent.top);
      const UIFloatFixed fixed = ComputeFloatFixed(rc, parent.GetWidth(), parent.GetHeight(), m_piFloatPercent);
      m_cXY = CUISize(fixed.x, fixed.y);
      m_cxyFixed = CUISize(fixed.width, fixed.height);
    }
  } else {
    m_rcItem = rc;
  }
  if (m_pManager == nullptr) return;

  if (!m_bSetPos) {
    m_bSetPos = true;
    if (sizeListeners.HasDelegates()) sizeListeners.Invoke(this);
    m_bSetPos = false;
  }
  m_bUpdateNeeded = false;

  // A control out of view or under a hidden ancestor skips only the
  // invalidation: its cover must still follow it.
  if (invalidate && IsVisible()) InvalidateThroughAncestors(UnionRects(dirty, m_rcItem));

  if (m_pCover != nullptr && m_pCover->IsVisible()) {
    if (m_pCover->IsFloat()) {
      UIFloatFixed fixed;
      const CUISize xy = m_pCover->GetFixedXY();
      fixed.x = xy.cx;
      fixed.y = xy.cy;
      fixed.width = m_pCover->GetFixedWidth();
      fixed.height = m_pCover->GetFixedHeight();
      m_pCover->SetPos(ComputeFloatRect(GetWidth(), GetHeight(), m_pCover->GetFloatPercent(), fixed), false);
    } else {
      const int width = ClampInt(rc.GetWidth(), m_pCover->GetMinWidth(), m_pCover->GetMaxWidth());
      const int height = ClampInt(rc.GetHeight(), m_pCover->GetMinHeight(), m_pCover->GetMaxHeight());
      m_pCover->SetPos(CUIRect(rc.left, rc.top, UICoordAdd(rc.left, width), UICoordAdd(rc.top, height)), false);
    }
  }
}

void CControlUI::Move(CUISize offset, bool invalidate) {
  const CUIRect old = m_rcItem;
  m_rcItem.Offset(offset.cx, offset.cy);
  if (invalidate && m_pManager != nullptr && IsVisible()) InvalidateThroughAncestors(UnionRects(old, m_rcItem));
  if (m_pCover != nullptr && m_pCover->IsVisible()) m_pCover->Move(offset, false);
}

int CControlUI::GetWidth() const { return m_rcItem.GetWidth(); }
int CControlUI::GetHeight() const { return m_rcItem.GetHeight(); }
int CControlUI::GetX() const { return m_rcItem.left; }
int CControlUI::GetY() const { return m_rcItem.top; }

CUIRect CControlUI::GetPadding() const { return m_rcPadding; }

void CControlUI::SetPadding(CUIRect padding) {
  m_rcPadding = padding;
  RequestParentLayout();
}

CUISize CControlUI::GetFixedXY() const { return m_cXY; }

void CControlUI::SetFixedXY(CUISize xy) {
  m_cXY = xy;
  RequestParentLayout();
}

UIFloatPercent CControlUI::GetFloatPercent() const { return m_piFloatPercent; }

void CControlUI::SetFloatPercent(UIFloatPercent percent) {
  m_piFloatPercent = percent;
  RequestParentLayout();
}

int CControlUI::GetFixedWidth() const { return m_cxyFixed.cx; }

void CControlUI::SetFixedWidth(int cx) {
  if (cx < 0) return;
  m_cxyFixed.cx = cx;
  RequestParentLayout();
}

int CControlUI::GetFixedHeight() const { return m_cxyFixed.cy; }

void CControlUI::SetFixedHeight(int cy) {
  if (cy < 0) return;
  m_cxyFixed.cy = cy;
  RequestParentLayout();
}

int CControlUI::GetMinWidth() const { return m_cxyMin.cx; }

void CControlUI::SetMinWidth(int cx) {
  if (cx < 0 || cx == m_cxyMin.cx) return;
  m_cxyMin.cx = cx;
  RequestParentLayout();
}

int CControlUI::GetMaxWidth() const { return m_cxyMax.cx > m_cxyMin.cx ? m_cxyMax.cx : m_cxyMin.cx; }

void CControlUI::SetMaxWidth(int cx) {
  if (cx < 0 || cx == m_cxyMax.cx) return;
  m_cxyMax.cx = cx;
  RequestParentLayout();
}

int CControlUI::GetMinHeight() const { return m_cxyMin.cy; }

void CControlUI::SetMinHeight(int cy) {
  if (cy < 0 || cy == m_cxyMin.cy) return;
  m_cxyMin.cy = cy;
  RequestParentLayout();
}

int CControlUI::GetMaxHeight() const { return m_cxyMax.cy > m_cxyMin.cy ? m_cxyMax.cy : m_cxyMin.cy; }

void CControlUI::SetMaxHeight(int cy) {
  if (cy < 0 || cy == m_cxyMax.cy) return;
  m_cxyMax.cy = cy;
  RequestParentLayout();
}

// --- Tooltip, shortcut, menu, user data ---

CUIString CControlUI::GetToolTip() const { return m_sToolTip; }

void CControlUI::SetToolTip(const UIChar* text) {
  CUIString tip(text);
  tip.Replace(UI_TEXT("<n>"), UI_TEXT("\r\n"));
  m_sToolTip = tip;
}

void CControlUI::SetToolTipWidth(int width) { m_nTooltipWidth = width; }
int CControlUI::GetToolTipWidth() const { return m_nTooltipWidth; }
UIChar CControlUI::GetShortcut() const { return m_chShortcut; }
void CControlUI::SetShortcut(UIChar ch) { m_chShortcut = ch; }
bool CControlUI::IsContextMenuUsed() const { return m_bMenuUsed; }
void CControlUI::SetContextMenuUsed(bool used) { m_bMenuUsed = used; }
const CUIString& CControlUI::GetUserData() const { return m_sUserData; }
void CControlUI::SetUserData(const UIChar* text) { m_sUserData.AssignText(text); }
uintptr_t CControlUI::GetTag() const { return m_pTag; }
void CControlUI::SetTag(uintptr_t tag) { m_pTag = tag; }

// --- Visibility and state ---

bool CControlUI::IsVisible() const { return m_bVisible && m_bInternVisible; }

void CControlUI::SetVisible(bool visible) {
  if (m_bVisible == visible) return;
  const bool wasVisible = IsVisible();
  m_bVisible = visible;
  m_bFocused = false;
  if (!visible && m_pManager != nullptr && m_pManager->GetFocusControl() == this) {
    m_pManager->SetFocusControl(nullptr, true);
  }
  if (IsVisible() != wasVisible) RequestParentLayout();
  if (m_pCover != nullptr) m_pCover->SetInheritedVisible(IsVisible());
}

void CControlUI::SetInheritedVisible(bool visible) {
  m_bInternVisible = visible;
  if (!visible && m_pManager != nullptr && m_pManager->GetFocusControl() == this) {
    m_pManager->SetFocusControl(nullptr, true);
  }
  if (m_pCover != nullptr) m_pCover->SetInheritedVisible(IsVisible());
}

bool CControlUI::IsEnabled() const { return m_bEnabled; }

void CControlUI::SetEnabled(bool enabled) {
  if (m_bEnabled == enabled) return;
  m_bEnabled = enabled;
  Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return m_bMouseEnabled; }
void CControlUI::SetMouseEnabled(bool enabled) { m_bMouseEnabled = enabled; }
bool CControlUI::IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool enabled) { m_bKeyboardEnabled = enabled; }
bool CControlUI::IsFocused() const { return m_bFocused; }

void CControlUI::SetFocus() {
  if (m_pManager != nullptr) m_pManager->SetFocusControl(this, false);
}

bool CControlUI::IsFloat() const { return m_bFloat; }

void CControlUI::SetFloat(bool floating) {
  if (m_bFloat == floating) return;
  m_bFloat = floating;
  RequestParentLayout();
}

// --- Search ---

bool CControlUI::PassesFindFilters(UIFindControlProc proc, void* data, UINT flags) {
  if (proc == nullptr) return false;
  if ((flags & kUIFindVisible) != 0 && !IsVisible()) return false;
  if ((flags & kUIFindEnabled) != 0 && !IsEnabled()) return false;
  if ((flags & kUIFindHitTest) != 0 &&
      (data == nullptr || !RectContainsPoint(m_rcItem, *static_cast<const CUIPoint*>(data)))) {
    return false;
  }
  return (flags & kUIFindUpdateTest) == 0 || proc(this, data) == nullptr;
}

CControlUI* CControlUI::FindControl(UIFindControlProc proc, void* data, UINT flags) {
  if (!PassesFindFilters(proc, data, flags)) return nullptr;

  // A control that is not mouse-enabled is never itself a hit, though its
  // cover can be.
  const bool offerSelf = (flags & kUIFindHitTest) == 0 || IsMouseEnabled();
  if ((flags & kUIFindMeFirst) != 0 && offerSelf) {
    if (CControlUI* found = proc(this, data)) return found;
  }
  if (m_pCover != nullptr) {
    if (CControlUI* found = m_pCover->FindControl(proc, data, flags)) return found;
  }
  if ((flags & kUIFindMeFirst) == 0 && offerSelf) return proc(this, data);
  return nullptr;
}

// --- Initialisation and events ---

void CControlUI::Init() {
  OnInit();
  if (initListeners.HasDelegates()) initListeners.Invoke(this);
}

void CControlUI::OnInit() {}

void CControlUI::SendEvent(UIEvent& event) {
  if (eventListeners.HasDelegates() && !eventListeners.Invoke(&event)) return;
  HandleEvent(event);
}

bool CControlUI::ForwardMouseEventWhileDisabled(UIEvent& event) {
  if (IsMouseEnabled() || !IsMouseEventKind(event.Type)) return false;
  if (m_pParent != nullptr) {
    m_pParent->HandleEvent(event);
  } else {
    CControlUI::HandleEvent(event);
  }
  return true;
}

void CControlUI::HandleEvent(UIEvent& event) {
  switch (event.Type) {
    case kUIEventSetCursor:
      ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
      return;
    case kUIEventSetFocus:
      m_bFocused = true;
      Invalidate();
      return;
    case kUIEventKillFocus:
      m_bFocused = false;
      Invalidate();
      return;
    case kUIEventTimer:
      if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("timer"), event.wParam, event.lParam);
      return;
    case kUIEventContextMenu:
      if (IsContextMenuUsed()) {
        if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("menu"), event.wParam, event.lParam);
        return;
      }
      break;
    default:
      break;
  }
  if (m_pParent != nullptr) m_pParent->HandleEvent(event);
}

// --- Attributes ---

CUIString CControlUI::GetAttribute(const UIChar*) { return CUIString(); }

void CControlUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = UI_TEXT("");
  if (Is(name, UI_TEXT("pos"))) {
    const CUIRect rc = ParseAttributeRect(value);
    SetFixedXY(CUISize(rc.left, rc.top));
    SetFixedWidth(rc.GetWidth());
    SetFixedHeight(rc.GetHeight());
  } else if (Is(name, UI_TEXT("padding"))) {
    SetPadding(ParseAttributeRect(value));
  } else if (Is(name, UI_TEXT("bkcolor")) || Is(name, UI_TEXT("bkcolor1"))) {
    SetBkColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("bkcolor2"))) {
    SetBkColor2(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("bkcolor3"))) {
    SetBkColor3(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("bordercolor"))) {
    SetBorderColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("focusbordercolor"))) {
    SetFocusBorderColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("colorhsl"))) {
    SetColorHsl(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("bordersize"))) {
    if (AttributeHasChar(value, ',')) {
      SetBorderSize(ParseAttributeRect(value));
    } else {
      SetBorderSize(ParseAttributeInt(value));
    }
  } else if (Is(name, UI_TEXT("topbordersize"))) {
    SetBorderSize(CUIRect(0, ParseAttributeInt(value), 0, 0));
  } else if (Is(name, UI_TEXT("bottombordersize"))) {
    SetBorderSize(CUIRect(0, 0, 0, ParseAttributeInt(value)));
  } else if (Is(name, UI_TEXT("leftbordersize"))) {
    SetBorderSize(CUIRect(ParseAttributeInt(value), 0, 0, 0));
  } else if (Is(name, UI_TEXT("rightbordersize"))) {
    SetBorderSize(CUIRect(0, 0, ParseAttributeInt(value), 0));
  } else if (Is(name, UI_TEXT("borderstyle"))) {
    SetBorderStyle(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("borderround"))) {
    SetBorderRound(ParseAttributeSize(value));
  } else if (Is(name, UI_TEXT("bkimage"))) {
    SetBkImage(value);
  } else if (Is(name, UI_TEXT("width"))) {
    SetFixedWidth(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("height"))) {
    SetFixedHeight(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("minwidth"))) {
    SetMinWidth(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("minheight"))) {
    SetMinHeight(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("maxwidth"))) {
    SetMaxWidth(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("maxheight"))) {
    SetMaxHeight(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("name"))) {
    SetName(value);
  } else if (Is(name, UI_TEXT("text"))) {
    SetText(value);
  } else if (Is(name, UI_TEXT("tooltip"))) {
    SetToolTip(value);
  } else if (Is(name, UI_TEXT("userdata"))) {
    SetUserData(value);
  } else if (Is(name, UI_TEXT("tag"))) {
    SetTag(static_cast<uintptr_t>(static_cast<intptr_t>(ParseAttributeInt(value))));
  } else if (Is(name, UI_TEXT("enabled"))) {
    SetEnabled(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("mouse"))) {
    SetMouseEnabled(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("keyboard"))) {
    SetKeyboardEnabled(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("visible"))) {
    SetVisible(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("float"))) {
    if (AttributeHasChar(value, ',')) {
      double fractions[4];
      ParseAttributeDoubleList(value, fractions, 4);
      UIFloatPercent percent;
      percent.left = fractions[0];
      percent.top = fractions[1];
      percent.right = fractions[2];
      percent.bottom = fractions[3];
      SetFloatPercent(percent);
      SetFloat(true);
    } else {
      SetFloat(ParseAttributeBool(value));
    }
  } else if (Is(name, UI_TEXT("shortcut"))) {
    SetShortcut(value[0]);
  } else if (Is(name, UI_TEXT("menu"))) {
    SetContextMenuUsed(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("virtualwnd"))) {
    SetVirtualWindowName(value);
  } else {
    AddCustomAttribute(name, value);
  }
}

CUIString CControlUI::GetAttributeList() { return CUIString(); }

void CControlUI::ApplyAttributeList(const UIChar* list) { ApplyAttributeString(list); }

CControlUI* CControlUI::ApplyAttributeString(const UIChar* list) {
  CAttributeListReader reader(list);
  CUIString name;
  CUIString value;
  while (reader.Next(name, value)) SetAttribute(name.GetText(), value.GetText());
  if (const UIChar* rest = reader.GetMalformedRest()) {
    // The pairs before it stay applied; the skin's author needs to know where it broke.
    DebugTrace(L"Trellis: attribute list of control \"%ls\" stops at a malformed pair: %.60ls", m_sName.GetText(),
               rest);
  }
  return this;
}

void CControlUI::AddCustomAttribute(const UIChar* name, const UIChar* value) {
  if (name == nullptr || name[0] == 0 || value == nullptr || value[0] == 0) return;
  if (m_mCustomAttrHash.Find(name, false) != nullptr) return;
  CUIString* copy = new CUIString(value);
  if (!m_mCustomAttrHash.Insert(name, copy)) delete copy;
}

const UIChar* CControlUI::GetCustomAttribute(const UIChar* name) const {
  if (name == nullptr) return nullptr;
  const CUIString* value = static_cast<const CUIString*>(m_mCustomAttrHash.Find(name, false));
  return value != nullptr ? value->GetText() : nullptr;
}

// --- Size estimate ---

CUISize CControlUI::EstimateSize(CUISize) { return m_cxyFixed; }

// --- Non-virtual helpers ---

void CControlUI::Invalidate() {
  if (!IsVisible()) return;
  CUIRect rc = m_rcItem;
  for (CControlUI* ancestor = m_pParent; ancestor != nullptr; ancestor = ancestor->GetParent()) {
    if (!IntersectRects(&rc, rc, ancestor->GetPos())) return;
  }
  if (m_pManager != nullptr) m_pManager->InvalidateArea(rc);
}

void CControlUI::RequestLayout() {
  if (!IsVisible()) return;
  m_bUpdateNeeded = true;
  Invalidate();
  if (m_pManager != nullptr) m_pManager->NeedUpdate();
}

void CControlUI::RequestParentLayout() {
  if (m_pParent != nullptr) {
    m_pParent->RequestLayout();
    m_pParent->Invalidate();
  } else {
    RequestLayout();
  }
  if (m_pManager != nullptr) m_pManager->NeedUpdate();
}

CUIString CControlUI::GetVirtualWindowName() const {
  for (const CControlUI* control = this; control != nullptr; control = control->GetParent()) {
    if (!control->m_sVirtualWnd.IsEmpty()) return control->m_sVirtualWnd;
  }
  return CUIString();
}

void CControlUI::SetVirtualWindowName(const UIChar* name) {
  m_sVirtualWnd.AssignText(name);
  if (m_pManager != nullptr) m_pManager->SetUsesVirtualWindows(true);
}

// --- Appearance setters ---

void CControlUI::SetBkColor(DWORD color) {
  if (m_dwBackColor == color) return;
  m_dwBackColor = color;
  Invalidate();
}

void CControlUI::SetBkColor2(DWORD color) {
  if (m_dwBackColor2 == color) return;
  m_dwBackColor2 = color;
  Invalidate();
}

void CControlUI::SetBkColor3(DWORD color) {
  if (m_dwBackColor3 == color) return;
  m_dwBackColor3 = color;
  Invalidate();
}

void CControlUI::SetBkImage(const UIChar* description) {
  if (m_diBk.sDrawString.EqualsText(description) && m_diBk.pImageInfo != nullptr) return;
  m_diBk.Clear();
  m_diBk.sDrawString.AssignText(description);
  DrawImage(nullptr, m_diBk);
  if (m_bFloat && m_cxyFixed.cx == 0 && m_cxyFixed.cy == 0 && m_diBk.pImageInfo != nullptr) {
    m_cxyFixed = CUISize(m_diBk.pImageInfo->nX, m_diBk.pImageInfo->nY);
  }
  Invalidate();
}

void CControlUI::SetBorderColor(DWORD color) {
  if (m_dwBorderColor == color) return;
  m_dwBorderColor = color;
  Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color) {
  if (m_dwFocusBorderColor == color) return;
  m_dwFocusBorderColor = color;
  Invalidate();
}

void CControlUI::SetColorHsl(bool hsl) {
  if (m_bColorHSL == hsl) return;
  m_bColorHSL = hsl;
  Invalidate();
}

void CControlUI::SetBorderSize(int size) {
  m_rcBorderSize = CUIRect(size, size, size, size);
  Invalidate();
}

void CControlUI::SetBorderSize(CUIRect sizes) {
  m_rcBorderSize = sizes;
  Invalidate();
}

void CControlUI::SetBorderRound(CUISize round) {
  m_cxyBorderRound = round;
  Invalidate();
}

void CControlUI::SetBorderStyle(int style) {
  m_nBorderStyle = style;
  Invalidate();
}

}  // namespace Trellis
