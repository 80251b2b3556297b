// CDateTimeUI: identity, the date and its text, the picker's opening,
// placement and closing, visibility and state, events.
//
// Sections: Lifetime and identity; Date; Picker; Visibility and state; Events.
#include "ui/controls/datetime/DateTimeUI.h"

#include "ui/control/UIEvent.h"
#include "ui/controls/NativeChildPlacement.h"
#include "ui/controls/datetime/DateTimeWnd.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool IsName(const UIChar* name, const UIChar* expected) { return UITextCompare(name, expected) == 0; }

}  // namespace

// --- Lifetime and identity ---

CDateTimeUI::CDateTimeUI() {
  ::GetLocalTime(&m_sysTime);
  m_nUpdateFlag = kUpdateText;
  UpdateText();
  m_nUpdateFlag = kUpdateNone;
}

CDateTimeUI::~CDateTimeUI() {
  if (m_pWindow == nullptr) return;
  CDateTimeWnd* window = m_pWindow;
  m_pWindow = nullptr;
  window->Abandon();  // never reaches this control again
}

const UIChar* CDateTimeUI::GetClassName() const { return UI_TEXT("DateTime"); }

void* CDateTimeUI::GetInterface(const UIChar* name) {
  if (name != nullptr && IsName(name, UI_TEXT("DateTime"))) return this;
  return CLabelUI::GetInterface(name);
}

UINT CDateTimeUI::GetControlFlags() const { return kUIFlagTabStop; }

HWND CDateTimeUI::GetNativeWindow() const { return m_pWindow != nullptr ? m_pWindow->GetHandle() : nullptr; }

// --- Date ---

void CDateTimeUI::SetTime(const SYSTEMTIME& time) {
  m_sysTime = time;
  const int flag = m_nUpdateFlag;
  m_nUpdateFlag = kUpdateText;
  UpdateText();
  m_nUpdateFlag = flag;
}

void CDateTimeUI::UpdateText() {
  if (m_nUpdateFlag == kUpdateDelete) {
    SetText(UI_TEXT(""));
  } else if (m_nUpdateFlag == kUpdateText) {
    CUIString text;
    text.Format(UI_TEXT("%4d-%02d-%02d"), m_sysTime.wYear, m_sysTime.wMonth, m_sysTime.wDay);
    SetText(text.GetText());
  }
}

// --- Picker ---

bool CDateTimeUI::OpenPicker() {
  if (m_pWindow != nullptr) {
    // A press on the open picker's control must not throw away the date the
    // user is choosing: it only brings the picker back to the front.
    m_pWindow->Reactivate();
    return true;
  }
  m_pWindow = CDateTimeWnd::Open(this);
  Invalidate();
  return m_pWindow != nullptr;
}

void CDateTimeUI::ClosePicker() {
  if (m_pWindow == nullptr) return;
  const HWND picker = m_pWindow->GetHandle();
  if (picker != nullptr && ::IsWindow(picker)) ::SendMessageW(picker, WM_CLOSE, 0, 0);
}

void CDateTimeUI::PlacePicker() {
  const HWND picker = GetNativeWindow();
  if (picker == nullptr) return;
  PlaceNativeChild(picker, m_pWindow->ComputeRect());
}

void CDateTimeUI::OnPickerClosed(CDateTimeWnd* window) {
  if (m_pWindow == window) m_pWindow = nullptr;
  Invalidate();
}

// --- Visibility and state ---

void CDateTimeUI::SetPos(CUIRect rc, bool invalidate) {
  CLabelUI::SetPos(rc, invalidate);
  PlacePicker();
}

void CDateTimeUI::Move(CUISize offset, bool invalidate) {
  CLabelUI::Move(offset, invalidate);
  PlacePicker();
}

void CDateTimeUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  if (!IsVisible()) ClosePicker();
}

void CDateTimeUI::SetInheritedVisible(bool visible) {
  CLabelUI::SetInheritedVisible(visible);
  if (!IsVisible()) ClosePicker();
}

void CDateTimeUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  if (!IsEnabled()) ClosePicker();
}

// --- Events ---

void CDateTimeUI::HandleEvent(UIEvent& event) {
  if (ForwardMouseEventWhileDisabled(event)) return;
  switch (event.Type) {
    case kUIEventSetCursor:
      if (!IsEnabled()) break;
      ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
      return;
    case kUIEventWindowSize:
      return;
    case kUIEventScrollWheel:
      if (m_pWindow != nullptr) return;
      break;
    case kUIEventSetFocus:
      if (!IsEnabled()) break;
      m_bFocused = true;
      OpenPicker();
      Invalidate();
      return;
    case kUIEventKillFocus:
      m_bFocused = false;
      ClosePicker();
      Invalidate();
      return;
    case kUIEventButtonDown:
    case kUIEventDoubleClick:
    case kUIEventRightButtonDown:
      if (!IsEnabled()) return;
      if (m_pManager != nullptr) m_pManager->ReleaseMouseCapture();
      if (IsFocused() || m_pWindow != nullptr) OpenPicker();
      return;
    case kUIEventMouseMove:
    case kUIEventButtonUp:
    case kUIEventContextMenu:
    case kUIEventMouseEnter:
    case kUIEventMouseLeave:
      return;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

}  // namespace Trellis
