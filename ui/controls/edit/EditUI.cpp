// CEditUI: settings and attributes, the native edit's opening, placement and
// closing, event handling, size estimate and painting.
//
// Sections: Lifetime and identity; Settings; Native edit; Visibility and
// state; Events; Attributes; Size and painting.
#include "ui/controls/edit/EditUI.h"

#include "ui/base/UIGeometryWin.h"
#include "ui/control/UIEvent.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/controls/HotState.h"
#include "ui/controls/NativeChildPlacement.h"
#include "ui/controls/edit/EditWnd.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool IsName(const UIChar* name, const UIChar* expected) { return UITextCompare(name, expected) == 0; }

bool IsHighSurrogate(UIChar ch) { return ch >= 0xD800 && ch <= 0xDBFF; }
bool IsLowSurrogate(UIChar ch) { return ch >= 0xDC00 && ch <= 0xDFFF; }

}  // namespace

// --- Lifetime and identity ---

CEditUI::CEditUI() {
  m_rcTextPadding = CUIRect(4, 3, 4, 3);
  m_dwBackColor = 0xFFFFFFFF;
}

CEditUI::~CEditUI() {
  if (m_pWindow == nullptr) return;
  CEditWnd* window = m_pWindow;
  m_pWindow = nullptr;
  window->Abandon();  // never reaches this control again
}

const UIChar* CEditUI::GetClassName() const { return UI_TEXT("Edit"); }

void* CEditUI::GetInterface(const UIChar* name) {
  if (name != nullptr && IsName(name, UI_TEXT("Edit"))) return this;
  return CLabelUI::GetInterface(name);
}

UINT CEditUI::GetControlFlags() const { return IsEnabled() ? (kUIFlagTabStop | kUIFlagSetCursor) : 0; }

HWND CEditUI::GetNativeWindow() const { return m_pWindow != nullptr ? m_pWindow->GetHandle() : nullptr; }

// --- Settings ---

void CEditUI::SetText(const UIChar* text) {
  if (text == nullptr) text = UI_TEXT("");
  if (m_sText.EqualsText(text)) return;
  CLabelUI::SetText(text);
  // The native edit reports the change back through its change
  // notification, which only stores the text.
  if (m_pWindow != nullptr && m_pWindow->GetHandle() != nullptr) ::SetWindowTextW(m_pWindow->GetHandle(), m_sText.GetText());
  Invalidate();
}

void CEditUI::SetReadOnly(bool readOnly) {
  if (m_bReadOnly == readOnly) return;
  m_bReadOnly = readOnly;
  if (GetNativeWindow() != nullptr) ::SendMessageW(GetNativeWindow(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
  Invalidate();
}

void CEditUI::SetNumberOnly(bool numberOnly) {
  if (numberOnly) {
    m_uEditStyle |= ES_NUMBER;
  } else {
    m_uEditStyle &= ~static_cast<UINT>(ES_NUMBER);
  }
}

void CEditUI::SetPasswordMode(bool password) {
  if (m_bPasswordMode == password) return;
  m_bPasswordMode = password;
  Invalidate();
}

void CEditUI::SetPasswordChar(UIChar ch) {
  m_cPasswordChar = ch;
  if (GetNativeWindow() != nullptr && m_bPasswordMode) ::SendMessageW(GetNativeWindow(), EM_SETPASSWORDCHAR, ch, 0);
  Invalidate();
}

void CEditUI::SetAutoSelAll(bool autoSelAll) { m_bAutoSelAll = autoSelAll; }

void CEditUI::SetMaxChar(int maxChar) {
  m_iMaxChar = maxChar;
  if (GetNativeWindow() != nullptr) {
    ::SendMessageW(GetNativeWindow(), EM_LIMITTEXT, static_cast<WPARAM>(maxChar > 0 ? maxChar : 0), 0);
  }
}

void CEditUI::SetNativeEditBkColor(DWORD color) { m_dwNativeBkColor = color; }

void CEditUI::SetNormalImage(const UIChar* description) { SetStateImage(CStateImages::kNormal, description); }
void CEditUI::SetHotImage(const UIChar* description) { SetStateImage(CStateImages::kHot, description); }
void CEditUI::SetFocusedImage(const UIChar* description) { SetStateImage(CStateImages::kFocused, description); }
void CEditUI::SetDisabledImage(const UIChar* description) { SetStateImage(CStateImages::kDisabled, description); }

void CEditUI::SetStateImage(CStateImages::Slot slot, const UIChar* description) {
  if (m_images.Set(slot, description)) Invalidate();
}

// --- Native edit ---

bool CEditUI::OpenNativeEdit() {
  if (m_pWindow != nullptr) return true;
  // A failed attempt leaves nothing behind, so the next focus tries again.
  m_pWindow = CEditWnd::Open(this);
  Invalidate();
  return m_pWindow != nullptr;
}

void CEditUI::CloseNativeEdit() {
  if (m_pWindow == nullptr) return;
  const HWND edit = m_pWindow->GetHandle();
  if (edit == nullptr) return;
  // Keys must not go nowhere: the framework window takes the native focus
  // back, and the edit closes itself on losing it.
  const HWND paint = m_pManager != nullptr ? m_pManager->GetPaintWindow() : nullptr;
  if (::GetFocus() == edit && paint != nullptr && !m_pManager->IsNoActivate()) ::SetFocus(paint);
  if (m_pWindow != nullptr && ::IsWindow(edit)) ::SendMessageW(edit, WM_CLOSE, 0, 0);
}

void CEditUI::PlaceNativeEdit() {
  const HWND edit = GetNativeWindow();
  if (edit == nullptr) return;
  PlaceNativeChild(edit, m_pWindow->ComputeEditRect());
}

void CEditUI::DropFocusForNativeEdit() {
  if (m_pWindow == nullptr) return;
  if (m_pManager != nullptr && m_pManager->GetFocusControl() == this) m_pManager->SetFocusControl(nullptr, true);
  // The focus may have been elsewhere already (then nothing above closed it).
  CloseNativeEdit();
}

void CEditUI::StoreTextFromNativeEdit(const UIChar* text) {
  m_sText.AssignText(text);
  m_bNeedEstimateSize = true;
}

void CEditUI::OnNativeEditClosed(CEditWnd* window) {
  if (m_pWindow == window) m_pWindow = nullptr;
  Invalidate();
}

// --- Visibility and state ---

void CEditUI::SetPos(CUIRect rc, bool invalidate) {
  CLabelUI::SetPos(rc, invalidate);
  PlaceNativeEdit();
}

void CEditUI::Move(CUISize offset, bool invalidate) {
  CLabelUI::Move(offset, invalidate);
  PlaceNativeEdit();
}

void CEditUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  if (!IsVisible()) DropFocusForNativeEdit();
}

void CEditUI::SetInheritedVisible(bool visible) {
  // The flag is not kept: a hidden ancestor already keeps the control from
  // painting and from the hit and Tab searches. Only the open native edit,
  // a window of its own, must go with the focus.
  if (!visible) DropFocusForNativeEdit();
}

void CEditUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  if (!IsEnabled()) {
    m_uButtonState = 0;
    DropFocusForNativeEdit();
  }
}

// --- Events ---

void CEditUI::HandleEvent(UIEvent& event) {
  if (ForwardMouseEventWhileDisabled(event)) return;
  switch (event.Type) {
    case kUIEventSetCursor:
      if (!IsEnabled()) break;
      ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
      return;
    case kUIEventWindowSize:
      // The focus comes back to this control after the layout the new size
      // brings, so the native edit opens again over the control's new place.
      if (m_pWindow != nullptr && m_pManager != nullptr) m_pManager->SetPendingFocus(this);
      return;
    case kUIEventScrollWheel:
      if (m_pWindow != nullptr) return;
      break;
    case kUIEventSetFocus:
      if (!IsEnabled()) break;
      m_bFocused = true;
      if (m_pWindow == nullptr) OpenNativeEdit();
      Invalidate();
      return;
    case kUIEventKillFocus:
      m_bFocused = false;
      // Losing the framework focus ends the native edit, also when its own
      // focus loss did not (the focus was moved without the window).
      CloseNativeEdit();
      Invalidate();
      return;
    case kUIEventButtonDown:
    case kUIEventDoubleClick:
    case kUIEventRightButtonDown: {
      if (!IsEnabled()) return;
      if (m_pManager != nullptr) m_pManager->ReleaseMouseCapture();
      // A focused control whose native edit has closed (the focus went to
      // another window and came back) makes it again at once; the caret
      // then goes where the user pressed, as in an open one.
      if (IsFocused() && m_pWindow == nullptr && !OpenNativeEdit()) return;
      const HWND edit = GetNativeWindow();
      if (edit != nullptr && !m_bAutoSelAll && m_pManager != nullptr) {
        // The caret lands where the user pressed.
        const CUIRect at = m_pManager->GetChildWindowRect(edit);
        const int x = event.ptMouse.x - at.left;
        const int y = event.ptMouse.y - at.top;
        ::SendMessageW(edit, EM_SETSEL, 0, 0);
        ::SendMessageW(edit, WM_LBUTTONDOWN, event.wParam, MAKELPARAM(x, y));
      }
      return;
    }
    case kUIEventMouseMove:
    case kUIEventButtonUp:
    case kUIEventContextMenu:
      return;
    case kUIEventMouseEnter:
    case kUIEventMouseLeave:
      // Moving onto the native edit leaves the control for the framework but
      // not for the user: the helper waits for the real leave.
      TrackHotState(*this, event, m_uButtonState);
      return;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

// --- Attributes ---

void CEditUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (IsName(name, UI_TEXT("readonly"))) {
    SetReadOnly(ParseAttributeBool(value));
  } else if (IsName(name, UI_TEXT("numberonly"))) {
    SetNumberOnly(ParseAttributeBool(value));
  } else if (IsName(name, UI_TEXT("password"))) {
    SetPasswordMode(ParseAttributeBool(value));
  } else if (IsName(name, UI_TEXT("autoselall"))) {
    SetAutoSelAll(ParseAttributeBool(value));
  } else if (IsName(name, UI_TEXT("maxchar"))) {
    SetMaxChar(ParseAttributeInt(value));
  } else if (IsName(name, UI_TEXT("normalimage"))) {
    SetNormalImage(value);
  } else if (IsName(name, UI_TEXT("hotimage"))) {
    SetHotImage(value);
  } else if (IsName(name, UI_TEXT("focusedimage"))) {
    SetFocusedImage(value);
  } else if (IsName(name, UI_TEXT("disabledimage"))) {
    SetDisabledImage(value);
  } else if (IsName(name, UI_TEXT("nativebkcolor"))) {
    SetNativeEditBkColor(ParseAttributeColor(value));
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

// --- Size and painting ---

CUISize CEditUI::EstimateSize(CUISize available) {
  if (m_cxyFixed.cy != 0) return CControlUI::EstimateSize(available);
  return CUISize(m_cxyFixed.cx, GetFontHeight() + 8);
}

void CEditUI::PaintStatusImage(HDC hDC) {
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
  static const CStateImages::Slot kOrder[] = {CStateImages::kDisabled, CStateImages::kFocused, CStateImages::kHot};
  m_images.Draw(*this, hDC, CStateImages::Choose(m_uButtonState, kOrder, 3));
}

void CEditUI::PaintText(HDC hDC) {
  ApplyDefaultColors();
  if (m_sText.IsEmpty()) return;
  CUIString shown;
  if (m_bPasswordMode) {
    // One mask character per character the user sees: a surrogate pair is one.
    for (const UIChar* p = m_sText.GetText(); *p != 0;) {
      const UIChar* next = ::CharNextW(p);
      if (next == p) break;
      if (IsHighSurrogate(*p) && next == p + 1 && IsLowSurrogate(*next)) ++next;
      shown.AppendChar(m_cPasswordChar);
      p = next;
    }
  } else {
    shown.AssignString(m_sText);
  }
  CUIRect rc = GetTextRect();
  CDrawEngine::DrawPlainText(hDC, m_pManager, rc, shown.GetText(), IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor,
                             m_iFont, m_uTextStyle | DT_SINGLELINE);
}

}  // namespace Trellis
