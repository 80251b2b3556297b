// CEditWnd: creation and set-up of the native edit, its placement over the
// owner, its messages (Enter, text changes, the layered caret and the
// coloured background) and its end.
//
// Sections: Creation; Placement; Messages; Last message.
#include "ui/controls/edit/EditWnd.h"

#include <new>
#include <vector>

#include "ui/base/UIGeometryWin.h"
#include "ui/control/ControlUI.h"
#include "ui/controls/NativeChildPlacement.h"
#include "ui/controls/edit/EditUI.h"
#include "ui/draw/DrawEngine.h"
#include "ui/draw/UIFontInfo.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

// The caret timer of a layered window (the system caret does not show there).
constexpr UINT_PTR kCaretTimerId = 20;
// Messages the window manager reflects back to the child that sent them.
constexpr UINT kReflectedCommand = 0x2111;       // WM_COMMAND + 0x2000
constexpr UINT kReflectedCtlColorEdit = 0x2133;  // WM_CTLCOLOREDIT + 0x2000
constexpr UINT kReflectedCtlColorStatic = 0x2138;  // WM_CTLCOLORSTATIC + 0x2000

COLORREF ToColorRef(DWORD argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

}  // namespace

// --- Creation ---

CEditWnd* CEditWnd::Open(CEditUI* owner) {
  if (owner == nullptr) return nullptr;
  auto* window = new (std::nothrow) CEditWnd;
  if (window == nullptr) return nullptr;
  if (!window->Init(owner)) {
    Discard(window);
    return nullptr;
  }
  return window;
}

bool CEditWnd::Init(CEditUI* owner) {
  if (!BeginSetUp(owner)) return false;
  const CUIRect rc = ComputeEditRect();
  DWORD style = owner->GetNativeEditStyle() | WS_CHILD | ES_AUTOHSCROLL;
  const UINT textStyle = owner->GetTextStyle();
  if ((textStyle & DT_CENTER) != 0) {
    style |= ES_CENTER;
  } else if ((textStyle & DT_RIGHT) != 0) {
    style |= ES_RIGHT;
  }
  if (owner->IsPasswordMode()) style |= ES_PASSWORD;
  if (!CreateOver(rc, style, L"CEditWnd: the native edit window")) return false;
  const HWND self = m_hWnd;
  ::SendMessageW(self, WM_SETFONT, reinterpret_cast<WPARAM>(m_pManager->GetFontHandle(owner->GetFont())), TRUE);
  ::SendMessageW(self, EM_LIMITTEXT, static_cast<WPARAM>(owner->GetMaxChar()), 0);
  if (owner->IsPasswordMode()) ::SendMessageW(self, EM_SETPASSWORDCHAR, owner->GetPasswordChar(), 0);
  const CUIString text = owner->GetText();
  ::SetWindowTextW(self, text.GetText());
  ::SendMessageW(self, EM_SETMODIFY, FALSE, 0);
  ::SendMessageW(self, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  ::EnableWindow(self, owner->IsEnabled() ? TRUE : FALSE);
  ::SendMessageW(self, EM_SETREADONLY, owner->IsReadOnly() ? TRUE : FALSE, 0);
  if (!ShowFocused(rc)) return false;
  const int length = ::GetWindowTextLengthW(self);
  if (owner->IsAutoSelAll()) {
    ::SendMessageW(self, EM_SETSEL, 0, length > 0 ? length : 1);
  } else {
    ::SendMessageW(self, EM_SETSEL, static_cast<WPARAM>(length), length);
  }
  EndSetUp();
  return true;
}

bool CEditWnd::IsLayered() const { return m_pManager != nullptr && m_pManager->IsLayered(); }

// The owner is always the edit that opened the window (or none).
CEditUI* CEditWnd::Owner() const { return static_cast<CEditUI*>(m_pOwner); }

// --- Placement ---

CUIRect CEditWnd::ComputeEditRect() const {
  if (m_pOwner == nullptr || m_pManager == nullptr) return CUIRect();
  const CUIRect padding = Owner()->GetTextPadding();
  CUIRect rc = m_pOwner->GetPos();
  rc.left += padding.left;
  rc.top += padding.top;
  rc.right -= padding.right;
  rc.bottom -= padding.bottom;
  const UIFontInfo* font = m_pManager->GetFontInfo(Owner()->GetFont());
  const int fontHeight = font != nullptr ? font->tm.tmHeight : 0;
  if (fontHeight > 0 && fontHeight < rc.GetHeight()) {
    rc.top += (rc.GetHeight() - fontHeight) / 2;
    rc.bottom = rc.top + fontHeight;
  }
  return ClipToAncestors(*m_pOwner, rc);
}

// --- Messages ---

const UIChar* CEditWnd::GetWindowClassName() const { return L"EditWnd"; }

const UIChar* CEditWnd::GetSuperClassName() const { return L"Edit"; }

LRESULT CEditWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (IsLayered()) ::SetTimer(m_hWnd, kCaretTimerId, ::GetCaretBlinkTime(), nullptr);
      break;
    case WM_PAINT: {
      if (IsLayered()) {
        // What the edit paints never reaches a layered window's picture: the
        // manager must print it again.
        if (m_pOwner != nullptr && !RegisterWithManager()) {
          m_pManager->InvalidateArea(m_pManager->GetChildWindowRect(m_hWnd));
        }
      }
      m_bInPaint = true;
      const LRESULT result = CNativeChildWnd::HandleMessage(message, wParam, lParam);
      m_bInPaint = false;
      return result;
    }
    case WM_KEYDOWN:
      if (LOWORD(wParam) == VK_RETURN) {
        // The listener may delete the owner (and with it this window):
        // nothing of either is touched after the notification.
        if (m_pOwner != nullptr && m_pManager != nullptr) m_pManager->SendNotify(m_pOwner, L"return");
        return 0;
      }
      break;
    case WM_CHAR:
      // Enter has been reported on its key-down; a single-line edit would only beep.
      if (wParam == VK_RETURN) return 0;
      break;
    case WM_TIMER:
      if (wParam == kCaretTimerId) {
        m_bDrawCaret = !m_bDrawCaret;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
      }
      break;
    case WM_PRINT:
      if (IsLayered()) {
        m_bInPaint = true;
        const LRESULT result = CNativeChildWnd::HandleMessage(message, wParam, lParam);
        m_bInPaint = false;
        if (m_pOwner != nullptr && m_pOwner->IsEnabled() && m_bDrawCaret) PaintCaret(reinterpret_cast<HDC>(wParam));
        return result;
      }
      break;
    case kReflectedCommand:
      if (HIWORD(wParam) == EN_CHANGE) {
        OnTextChange();
      } else if (HIWORD(wParam) == EN_UPDATE) {
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
      }
      return 0;
    case kReflectedCtlColorEdit:
    case kReflectedCtlColorStatic:
      if (IsLayered() && !m_bInPaint && m_pOwner != nullptr && !RegisterWithManager()) {
        m_pManager->InvalidateArea(m_pManager->GetChildWindowRect(m_hWnd));
      }
      return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam)));
    default:
      break;
  }
  return CNativeChildWnd::HandleMessage(message, wParam, lParam);
}

void CEditWnd::OnTextChange() {
  if (!m_bInit || m_pOwner == nullptr || m_pManager == nullptr) return;
  const int length = ::GetWindowTextLengthW(m_hWnd);
  std::vector<wchar_t> text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  ::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()));
  CEditUI* owner = Owner();
  CWindowManagerUI* manager = m_pManager;
  owner->StoreTextFromNativeEdit(text.data());
  // The control's own text shows through a layered window: repaint it now,
  // before the listeners run (they may delete the control).
  if (IsLayered()) owner->Invalidate();
  manager->SendNotify(owner, L"textchanged");
}

HBRUSH CEditWnd::OnCtlColor(HDC dc) {
  if (m_pOwner == nullptr || m_pManager == nullptr) return nullptr;
  const DWORD background = Owner()->GetNativeEditBkColor();
  if (background == 0xFFFFFFFF) return nullptr;
  ::SetBkMode(dc, TRANSPARENT);
  DWORD textColor = Owner()->GetTextColor();
  if (textColor == 0) textColor = m_pManager->GetDefaultFontColor();
  ::SetTextColor(dc, ToColorRef(textColor));
  if ((background >> 24) < 0xFF) {
    // A half-transparent background shows what lies behind the edit: it is
    // rendered afresh on every request, so the brush follows the window.
    m_hBkBrush.Reset();
    const CUIRect rc = m_pManager->GetChildWindowRect(m_hWnd);
    OwnedBitmap behind = CDrawEngine::RenderToBitmap(m_pManager, rc, m_pOwner, background);
    if (behind) m_hBkBrush.Reset(::CreatePatternBrush(behind.Get()));
  } else if (!m_hBkBrush) {
    m_hBkBrush.Reset(::CreateSolidBrush(ToColorRef(background)));
  }
  return m_hBkBrush.Get();
}

void CEditWnd::PaintCaret(HDC dc) {
  POINT caret = {};
  if (dc == nullptr || !::GetCaretPos(&caret)) return;
  RECT client = {};
  ::GetClientRect(m_hWnd, &client);
  CDrawEngine::DrawLine(dc, CUIRect(caret.x, caret.y, caret.x, client.bottom), 1, 0xFF000000);
}

// --- Last message ---

void CEditWnd::TellOwnerClosed(CControlUI* owner) { static_cast<CEditUI*>(owner)->OnNativeEditClosed(this); }

}  // namespace Trellis
