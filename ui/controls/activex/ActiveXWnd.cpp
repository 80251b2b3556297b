#include "ui/controls/activex/ActiveXWnd.h"

#include "core/base/DebugTrace.h"
#include "ui/controls/activex/ActiveXSite.h"
#include "ui/controls/activex/ActiveXUI.h"
#include "ui/draw/DrawEngine.h"
#include "ui/base/UIGeometryWin.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {
constexpr UINT_PTR kLayeredTimer = 20;   // re-registers the child for a layered window's paint
constexpr UINT kLayeredTimerMs = 50;
constexpr int kCaretFlipTicks = 10;      // the printed caret blinks every 500 ms
}  // namespace

CActiveXWnd* CActiveXWnd::Create(CActiveXSite* site, HWND parent) {
  auto* window = new CActiveXWnd(site);
  if (window->CreateWithSize(parent, UI_TEXT("ActiveXHost"), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                             0, 0, 0, 0, 0) == nullptr) {
    DebugTrace(L"CActiveXWnd: cannot create the host window");
    delete window;
    return nullptr;
  }
  return window;
}

const UIChar* CActiveXWnd::GetWindowClassName() const { return UI_TEXT("ActiveXWnd"); }

void CActiveXWnd::OnLastMessage(HWND) {
  if (m_pSite != nullptr) m_pSite->OnWindowDestroyed();
  delete this;
}

void CActiveXWnd::OnPrint(HDC dc) {
  if (m_pSite == nullptr) return;
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  m_pSite->DrawView(dc, client);
  CActiveXUI* owner = m_pSite->GetOwner();
  if (!m_bCaretVisible || owner == nullptr) return;
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(0, &info) || info.hwndCaret == nullptr) return;
  RECT caret = info.rcCaret;
  ::MapWindowPoints(info.hwndCaret, m_hWnd, reinterpret_cast<POINT*>(&caret), 2);
  RECT control = *AsRECT(&owner->GetPos());
  ::OffsetRect(&control, -control.left, -control.top);
  POINT top = {caret.left, caret.top};
  if (!::PtInRect(&control, top)) return;
  CDrawEngine::DrawLine(dc, CUIRect(caret.left, caret.top, caret.left, caret.bottom), 1, 0);
}

LRESULT CActiveXWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  CActiveXUI* owner = m_pSite != nullptr ? m_pSite->GetOwner() : nullptr;
  CWindowManagerUI* manager = owner != nullptr ? owner->GetManager() : nullptr;
  switch (message) {
    case WM_CREATE:
      if (manager != nullptr) {
        manager->AddNativeWindow(owner, m_hWnd);
        if (manager->IsLayered()) ::SetTimer(m_hWnd, kLayeredTimer, kLayeredTimerMs, nullptr);
      }
      return 0;
    case WM_TIMER:
      if (wParam != kLayeredTimer) break;
      if (manager != nullptr && manager->IsLayered()) {
        // Registering again invalidates the child's area for the layered paint.
        manager->RemoveNativeWindow(m_hWnd);
        manager->AddNativeWindow(owner, m_hWnd);
      }
      if (++m_iCaretTicks >= kCaretFlipTicks) {
        m_iCaretTicks = 0;
        m_bCaretVisible = !m_bCaretVisible;
      }
      return 0;
    case WM_PRINT:
      OnPrint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      ::BeginPaint(m_hWnd, &paint);
      ::EndPaint(m_hWnd, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      if (m_pSite != nullptr && m_pSite->GetViewObject() != nullptr) return 1;
      break;
    case WM_SETFOCUS:
      if (m_pSite != nullptr) {
        m_pSite->SetFocused(true);
        IOleObject* object = owner != nullptr ? owner->GetOleObject() : nullptr;
        if (object != nullptr && !m_pSite->IsUIActive()) {
          RECT area = *AsRECT(&owner->GetPos());
          object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, static_cast<IOleClientSite*>(m_pSite), -4, owner->GetFrameWindow(),
                         &area);
        }
      }
      break;
    case WM_KILLFOCUS:
      if (m_pSite != nullptr) m_pSite->SetFocused(false);
      break;
    case WM_MOUSEACTIVATE: {
      IOleObject* object = owner != nullptr ? owner->GetOleObject() : nullptr;
      DWORD status = 0;
      if (object != nullptr) object->GetMiscStatus(DVASPECT_CONTENT, &status);
      if (object != nullptr && !(status & OLEMISC_NOUIACTIVATE) && !m_pSite->IsInPlaceActive()) {
        RECT area = *AsRECT(&owner->GetPos());
        object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(m_pSite), -5,
                       owner->GetFrameWindow(), &area);
      }
      break;
    }
    case WM_MOUSEWHEEL:
      return 0;
    case WM_DESTROY:
      ::KillTimer(m_hWnd, kLayeredTimer);
      if (manager != nullptr) manager->RemoveNativeWindow(m_hWnd);
      break;
    default:
      break;
  }
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

}  // namespace Trellis
