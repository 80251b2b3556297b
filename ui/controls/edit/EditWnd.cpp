// CEditWnd: creation and set-up of the native edit, its placement over the
// owner, its messages (focus loss, Enter, text changes, the layered caret and
// the coloured background) and its end.
//
// Sections: Creation; Placement; Messages; Last message.
#include "ui/controls/edit/EditWnd.h"

#include <new>
#include <vector>

#include "core/base/DebugTrace.h"
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
    // Nothing of a failed attempt stays: a window that outlived a failed
    // set-up goes (its last message leaves the object to us), then the object.
    if (window->m_hWnd != nullptr) ::DestroyWindow(window->m_hWnd);
    delete window;
    return nullptr;
  }
  return window;
}

bool CEditWnd::Init(CEditUI* owner) {
  m_pOwner = owner;
  m_pManager = owner->GetManager();
  if (m_pManager == nullptr || m_pManager->GetPaintWindow() == nullptr) return false;
  // While set-up runs the last message must not delete the object: Open
  // still holds it and cleans up after a failure.
  m_bCreating = true;
  const CUIRect rc = ComputeEditRect();
  DWORD style = owner->GetNativeEditStyle() | WS_CHILD | ES_AUTOHSCROLL;
  const UINT textStyle = owner->GetTextStyle();
  if ((textStyle & DT_CENTER) != 0) {
    style |= ES_CENTER;
  } else if ((textStyle & DT_RIGHT) != 0) {
    style |= ES_RIGHT;
  }
  if (owner->IsPasswordMode()) style |= ES_PASSWORD;
  if (CreateWithRect(m_pManager->GetPaintWindow(), L"", style, 0, rc) == nullptr) {
    DebugTrace(L"CEditWnd: the native edit window could not be created (error %lu)", ::GetLastError());
    return false;
  }
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
  ::ShowWindow(self, NativeChildShowCommand(rc));
  ::SetFocus(self);
  // Taking the focus runs other windows' handlers; one of them may have
  // closed this window already.
  if (m_hWnd == nullptr || m_pOwner == nullptr) return false;
  const int length = ::GetWindowTextLengthW(self);
  if (owner->IsAutoSelAll()) {
    ::SendMessageW(self, EM_SETSEL, 0, length > 0 ? length : 1);
  } else {
    ::SendMessageW(self, EM_SETSEL, static_cast<WPARAM>(length), length);
  }
  m_bInit = true;
  m_bCreating = false;
  return true;
}

void CEditWnd::DetachOwner() { m_pOwner = nullptr; }

bool CEditWnd::IsLayered() const { return m_pManager != nullptr && m_pManager->IsLayered(); }

// --- Placement ---

CUIRect CEditWnd::ComputeEditRect() const {
  if (m_pOwner == nullptr || m_pManager == nullptr) return CUIRect();
  const CUIRect padding = m_pOwner->GetTextPadding();
  CUIRect rc = m_pOwner->GetPos();
  rc.left += padding.left;
  rc.top += padding.top;
  rc.right -= padding.right;
  rc.bottom -= padding.bottom;
  const UIFontInfo* font = m_pManager->GetFontInfo(m_pOwner->GetFont());
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
      if (m_pManager != nullptr && m_pOwner != nullptr) m_pManager->AddNativeWindow(m_pOwner, m_hWnd);
      if (IsLayered()) ::SetTimer(m_hWnd, kCaretTimerId, ::GetCaretBlinkTime(), nullptr);
      break;
    case WM_CLOSE:
    case WM_DESTROY:
      m_bClosing = true;
      break;
    case WM_KILLFOCUS:
      return OnKillFocus(wParam, lParam);
    case WM_PAINT: {
      if (IsLayered()) {
        // What the edit paints never reaches a layered window's picture: the
        // manager must print it again.
        if (m_pOwner != nullptr && !m_pManager->AddNativeWindow(m_pOwner, m_hWnd)) {
          m_pManager->InvalidateArea(m_pManager->GetChildWindowRect(m_hWnd));
        }
      }
      m_bInPaint = true;
      const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
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
        const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
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
      if (IsLayered() && !m_bInPaint && m_pOwner != nullptr && !m_pManager->AddNativeWindow(m_pOwner, m_hWnd)) {
        m_pManager->InvalidateArea(m_pManager->GetChildWindowRect(m_hWnd));
      }
      return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam)));
    default:
      break;
  }
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

LRESULT CEditWnd::OnKillFocus(WPARAM wParam, LPARAM lParam) {
  const HWND self = m_hWnd;
  const LRESULT result = CWindowWnd::HandleMessage(WM_KILLFOCUS, wParam, lParam);
  // Detached (the owner is going) or already closing: the window is on its
  // way out and must not close itself a second time.
  if (m_pOwner == nullptr || m_bClosing || m_pManager == nullptr) return result;
  const HWND paint = m_pManager->GetPaintWindow();
  // The focus leaves the framework window altogether: its focus control
  // must hear of it too.
  if (reinterpret_cast<HWND>(wParam) != paint) ::SendMessageW(paint, WM_KILLFOCUS, wParam, lParam);
  // That handler may have closed this window (and deleted the object).
  if (!::IsWindow(self) || m_bClosing) return result;
  ::SendMessageW(self, WM_CLOSE, 0, 0);
  return result;
}

void CEditWnd::OnTextChange() {
  if (!m_bInit || m_pOwner == nullptr || m_pManager == nullptr) return;
  const int length = ::GetWindowTextLengthW(m_hWnd);
  std::vector<wchar_t> text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  ::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()));
  CEditUI* owner = m_pOwner;
  CWindowManagerUI* manager = m_pManager;
  owner->StoreTextFromNativeEdit(text.data());
  // The control's own text shows through a layered window: repaint it now,
  // before the listeners run (they may delete the control).
  if (IsLayered()) owner->Invalidate();
  manager->SendNotify(owner, L"textchanged");
}

HBRUSH CEditWnd::OnCtlColor(HDC dc) {
  if (m_pOwner == nullptr || m_pManager == nullptr) return nullptr;
  const DWORD background = m_pOwner->GetNativeEditBkColor();
  if (background == 0xFFFFFFFF) return nullptr;
  ::SetBkMode(dc, TRANSPARENT);
  DWORD textColor = m_pOwner->GetTextColor();
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

void CEditWnd::OnLastMessage(HWND hWnd) {
  m_hBkBrush.Reset();
  if (m_pManager != nullptr) m_pManager->RemoveNativeWindow(hWnd);
  if (m_pOwner != nullptr) {
    CEditUI* owner = m_pOwner;
    m_pOwner = nullptr;
    owner->OnNativeEditClosed(this);
  }
  if (!m_bCreating) delete this;
}

}  // namespace Trellis
