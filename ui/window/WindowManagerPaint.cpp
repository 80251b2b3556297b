// CWindowManagerUI, painting: invalidation, the layout pass that runs before
// painting, double-buffered painting into one off-screen bitmap kept between
// paints, and the per-pixel-alpha layered mode (dirty rectangle repainted by a
// 10 ms timer, output through UpdateLayeredWindow).
//
// Sections: Invalidation; Layered mode; Layout pass; Painting; Layered output.
#include "core/base/DebugTrace.h"
#include "ui/base/UIGeometryWin.h"
#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowManagerProcess.h"

namespace Trellis {

namespace {

bool IsEmptyRect(const CUIRect& rect) { return rect.GetWidth() <= 0 || rect.GetHeight() <= 0; }

// Grows a dirty area by a rectangle; an empty area becomes the rectangle
// (a plain union with an empty rectangle would stretch to the origin).
void UniteDirty(CUIRect& dirty, const CUIRect& rect) {
  if (IsEmptyRect(rect)) return;
  if (IsEmptyRect(dirty)) {
    dirty = rect;
  } else {
    dirty.Union(rect);
  }
}

CUIRect ClientRectOf(HWND hWnd) {
  RECT client = {};
  ::GetClientRect(hWnd, &client);
  return ToUIRect(client);
}

using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Looked up once: systems without them keep windows opaque.
UpdateLayeredWindowFn GetUpdateLayeredWindow() {
  static const auto fn = reinterpret_cast<UpdateLayeredWindowFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"User32.dll"), "UpdateLayeredWindow")));
  return fn;
}

SetLayeredWindowAttributesFn GetSetLayeredWindowAttributes() {
  static const auto fn = reinterpret_cast<SetLayeredWindowAttributesFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"User32.dll"), "SetLayeredWindowAttributes")));
  return fn;
}

// The pixels of a 32-bit DIB section, whichever way its rows run.
struct DibView {
  BYTE* bits = nullptr;
  int width = 0;
  int height = 0;
  bool bottomUp = false;

  DibView(HBITMAP bitmap, BYTE* pixels) {
    ::GdiFlush();  // GDI may still be drawing into the pixels
    DIBSECTION dib = {};
    if (pixels == nullptr || ::GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib)) return;
    bits = pixels;
    width = dib.dsBm.bmWidth;
    height = dib.dsBm.bmHeight;
    bottomUp = dib.dsBmih.biHeight > 0;
  }
  // Null outside the bitmap.
  BYTE* At(int x, int y) const {
    if (bits == nullptr || x < 0 || y < 0 || x >= width || y >= height) return nullptr;
    const int row = bottomUp ? height - 1 - y : y;
    return bits + (static_cast<size_t>(row) * width + x) * 4;
  }
  // Calls fn(pixel, x, y) for each pixel of rect (clipped to the bitmap).
  template <typename Fn>
  void ForEach(const CUIRect& rect, Fn fn) const {
    if (bits == nullptr) return;
    const int left = rect.left < 0 ? 0 : rect.left;
    const int top = rect.top < 0 ? 0 : rect.top;
    const int right = rect.right > width ? width : rect.right;
    const int bottom = rect.bottom > height ? height : rect.bottom;
    for (int y = top; y < bottom; ++y) {
      BYTE* pixel = At(left, y);
      for (int x = left; x < right; ++x, pixel += 4) fn(pixel, x, y);
    }
  }
};

void ClearPixels(HBITMAP bitmap, BYTE* bits, const CUIRect& rect) {
  DibView(bitmap, bits).ForEach(rect, [](BYTE* pixel, int, int) { pixel[0] = pixel[1] = pixel[2] = pixel[3] = 0; });
}

// Plain GDI drawing (text, opaque fills, bitmaps) writes alpha 0 into a 32-bit
// bitmap, which a per-pixel-alpha window would show as holes. Before painting,
// the area gets alpha 1 over black: blending onto that is blending onto
// nothing. Afterwards a pixel with alpha 0 was drawn by GDI and is opaque, and
// one still at the mark was never drawn and becomes transparent.
void MarkUnpainted(HBITMAP bitmap, BYTE* bits, const CUIRect& rect) {
  DibView(bitmap, bits).ForEach(rect, [](BYTE* pixel, int, int) {
    pixel[0] = pixel[1] = pixel[2] = 0;
    pixel[3] = 1;
  });
}

void ResolvePaintedAlpha(HBITMAP bitmap, BYTE* bits, const CUIRect& rect) {
  DibView(bitmap, bits).ForEach(rect, [](BYTE* pixel, int, int) {
    if (pixel[3] == 0) {
      pixel[3] = 0xFF;
    } else if (pixel[3] == 1 && pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0) {
      pixel[3] = 0;
    }
  });
}

}  // namespace

// --- Invalidation ---

void CWindowManagerUI::InvalidateArea(const CUIRect& rect) {
  CUIRect area = rect;
  if (area.left < 0) area.left = 0;
  if (area.top < 0) area.top = 0;
  if (area.right < area.left) area.right = area.left;
  if (area.bottom < area.top) area.bottom = area.top;
  // An empty area invalidates nothing; asking the system anyway is a call
  // to the window server for every attribute a control gets while a skin is
  // built (the controls have no place yet).
  if (IsEmptyRect(area)) return;
  if (m_bLayered) {
    UniteDirty(m_rcLayeredUpdate, area);
  } else if (m_hWndPaint != nullptr) {
    ::InvalidateRect(m_hWndPaint, AsRECT(&area), FALSE);
  }
}

void CWindowManagerUI::Invalidate() {
  if (m_hWndPaint == nullptr) return;
  if (m_bLayered) {
    UniteDirty(m_rcLayeredUpdate, ClientRectOf(m_hWndPaint));
  } else {
    ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
  }
}

CUIRect CWindowManagerUI::GetChildWindowRect(HWND hChildWnd) const {
  RECT rect = {};
  ::GetWindowRect(hChildWnd, &rect);
  ::MapWindowPoints(HWND_DESKTOP, m_hWndPaint, reinterpret_cast<POINT*>(&rect), 2);
  return ToUIRect(rect);
}

void CWindowManagerUI::SetInitialSize(int cx, int cy) {
  m_szInitWindowSize = CUISize(cx, cy);
  if (m_pRoot == nullptr && m_hWndPaint != nullptr) {
    ::SetWindowPos(m_hWndPaint, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  }
}

void CWindowManagerUI::SetMinInfo(int cx, int cy) { m_szMinWindow = CUISize(cx, cy); }

void CWindowManagerUI::SetMaxInfo(int cx, int cy) { m_szMaxWindow = CUISize(cx, cy); }

void CWindowManagerUI::ReleasePaintBuffer() {
  if (m_bIsPainting || m_bLayered) return;
  m_hDcOffscreen.Reset();
  m_hbmpOffscreen.Reset();
  m_pOffscreenBits = nullptr;
}

// --- Layered mode ---

void CWindowManagerUI::SetLayered(bool layered) {
  if (m_hWndPaint == nullptr || layered == m_bLayered) return;
  const LONG style = ::GetWindowLongW(m_hWndPaint, GWL_STYLE);
  if ((style & WS_CHILD) != 0) return;
  if (GetUpdateLayeredWindow() == nullptr) return;
  const LONG exStyle = ::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
  if (layered) {
    ::SetTimer(m_hWndPaint, kLayeredTimerId, 10, nullptr);
    ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  } else {
    ::KillTimer(m_hWndPaint, kLayeredTimerId);
    ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
  }
  m_bLayered = layered;
  // The off-screen bitmap changes kind (ARGB for layered output).
  m_hDcOffscreen.Reset();
  m_hbmpOffscreen.Reset();
  m_pOffscreenBits = nullptr;
  if (m_pRoot != nullptr) m_pRoot->RequestLayout();
  m_bUpdateNeeded = true;
  Invalidate();
}

void CWindowManagerUI::SetLayeredImage(const UIChar* description) {
  m_diLayered.Clear();
  m_diLayered.sDrawString.AssignText(description);
  const CUIRect none;
  CDrawEngine::DrawImageString(nullptr, this, none, none, m_diLayered);
  Invalidate();
}

const UIChar* CWindowManagerUI::GetLayeredImage() const { return m_diLayered.sDrawString.GetText(); }

void CWindowManagerUI::SetLayeredOpacity(int opacity) {
  m_nOpacity = static_cast<BYTE>(opacity < 0 ? 0 : (opacity > 255 ? 255 : opacity));
  m_bLayeredChanged = true;
  Invalidate();
}

void CWindowManagerUI::SetOpacity(int opacity) {
  m_nOpacity = static_cast<BYTE>(opacity < 0 ? 0 : (opacity > 255 ? 255 : opacity));
  if (m_hWndPaint == nullptr) return;
  const SetLayeredWindowAttributesFn setAttributes = GetSetLayeredWindowAttributes();
  if (setAttributes == nullptr) return;
  SetLayered(false);  // a constant-alpha window is painted normally
  const LONG exStyle = ::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
  ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  setAttributes(m_hWndPaint, 0, m_nOpacity, LWA_ALPHA);
  Invalidate();
}

// --- Layout pass ---

void CWindowManagerUI::LayoutPass(const CUIRect& client) {
  if (m_pRoot->IsLayoutNeeded()) {
    // A new size for the whole tree: the buffers are made again at that size.
    m_hDcOffscreen.Reset();
    m_hbmpOffscreen.Reset();
    m_pOffscreenBits = nullptr;
    m_hDcBackground.Reset();
    m_hbmpBackground.Reset();
    m_pBackgroundBits = nullptr;
    m_pRoot->SetPos(client, true);
    return;
  }
  struct Collect {
    static CControlUI* Visit(CControlUI* control, void* data) {
      if (!control->IsLayoutNeeded()) return nullptr;
      static_cast<CUIPtrArray*>(data)->Add(control);
      return control;  // with the update test this skips its subtree: it lays that out itself
    }
  };
  m_aFoundControls.Clear();
  m_pRoot->FindControl(&Collect::Visit, &m_aFoundControls, kUIFindVisible | kUIFindMeFirst | kUIFindUpdateTest);
  for (int i = 0; i < m_aFoundControls.GetSize(); ++i) {
    auto* control = static_cast<CControlUI*>(m_aFoundControls.GetAt(i));
    control->SetPos(control->IsFloat() ? control->GetRelativePos() : control->GetPos(), true);
  }
  m_aFoundControls.Clear();
}

// --- Painting ---

void CWindowManagerUI::HandlePaint() {
  if (m_pRoot == nullptr) {
    PaintScope paint(m_hWndPaint);
    CDrawEngine::FillColor(paint.dc(), ToUIRect(paint.paint().rcPaint), 0xFF000000);
    return;
  }
  const CUIRect client = ClientRectOf(m_hWndPaint);
  CUIRect paintRect;
  if (m_bLayered) {
    m_bOffscreenPaint = true;
    paintRect = m_rcLayeredUpdate;
    if (paintRect.right > client.right) paintRect.right = client.right;
    if (paintRect.bottom > client.bottom) paintRect.bottom = client.bottom;
    m_rcLayeredUpdate = CUIRect();
    if (IsEmptyRect(paintRect)) {
      PaintScope validate(m_hWndPaint);
      return;
    }
  } else {
    RECT update = {};
    if (!::GetUpdateRect(m_hWndPaint, &update, FALSE)) return;
    paintRect = ToUIRect(update);
  }

  if (m_bFocusNeeded) FocusNextTabStop(true);
  m_bIsPainting = true;
  if (m_bUpdateNeeded) {
    m_bUpdateNeeded = false;
    if (!IsEmptyRect(client)) {
      LayoutPass(client);
      if (m_bFirstLayout) {
        m_bFirstLayout = false;
        SendNotify(m_pRoot, UI_TEXT("windowinit"), 0, 0, false, true);
        if (m_bLayered && m_bLayeredChanged) {
          Invalidate();
          m_bIsPainting = false;
          PaintScope validate(m_hWndPaint);
          return;
        }
      }
    }
  } else if (m_bLayered && m_bLayeredChanged) {
    ClearPixels(m_hbmpOffscreen.Get(), m_pOffscreenBits, client);
    m_pRoot->SetPos(client, true);
  }
  // The root may have gone during "windowinit" (a listener rebuilt the window).
  if (m_pRoot == nullptr) {
    m_bIsPainting = false;
    PaintScope validate(m_hWndPaint);
    return;
  }

  if (m_bOffscreenPaint && !m_hbmpOffscreen) {
    m_hDcOffscreen.Reset(::CreateCompatibleDC(m_hDcPaint.Get()));
    if (m_bLayered) {
      m_hbmpOffscreen = CDrawEngine::CreateARGB32Bitmap(m_hDcPaint.Get(), client.GetWidth(), client.GetHeight(),
                                                        &m_pOffscreenBits);
    } else {
      m_hbmpOffscreen.Reset(::CreateCompatibleBitmap(m_hDcPaint.Get(), client.GetWidth(), client.GetHeight()));
      m_pOffscreenBits = nullptr;
    }
    if (!m_hDcOffscreen || !m_hbmpOffscreen) {
      DebugTrace(L"Trellis: off-screen bitmap could not be made; painting directly");
      m_hDcOffscreen.Reset();
      m_hbmpOffscreen.Reset();
      m_pOffscreenBits = nullptr;
    }
  }

  {
    PaintScope paint(m_hWndPaint);
    // The layout above may have invalidated more than the first update
    // rectangle; BeginPaint validates all of it, so all of it is painted.
    if (!m_bLayered) paintRect = ToUIRect(paint.paint().rcPaint);
    if (m_bOffscreenPaint && m_hbmpOffscreen) {
      SelectObjectScope select(m_hDcOffscreen.Get(), m_hbmpOffscreen.Get());
      const HDC offscreen = m_hDcOffscreen.Get();
      const int saved = ::SaveDC(offscreen);
      const bool ownAlpha = m_bLayered && m_diLayered.sDrawString.IsEmpty();
      if (ownAlpha) MarkUnpainted(m_hbmpOffscreen.Get(), m_pOffscreenBits, paintRect);
      m_pRoot->Paint(offscreen, paintRect, nullptr);
      if (m_bLayered) PaintNativeChildren(offscreen, paintRect);
      for (int i = 0; i < m_aPostPaintControls.GetSize(); ++i) {
        static_cast<CControlUI*>(m_aPostPaintControls.GetAt(i))->PostPaint(offscreen, paintRect);
      }
      ::RestoreDC(offscreen, saved);
      if (ownAlpha) {
        ResolvePaintedAlpha(m_hbmpOffscreen.Get(), m_pOffscreenBits, paintRect);
      }

      if (m_bLayered) {
        ApplyLayeredBackground(paintRect, client);
        RECT window = {};
        ::GetWindowRect(m_hWndPaint, &window);
        POINT position = {window.left, window.top};
        SIZE size = {window.right - window.left, window.bottom - window.top};
        POINT source = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_nOpacity, AC_SRC_ALPHA};
        const UpdateLayeredWindowFn update = GetUpdateLayeredWindow();
        if (update != nullptr) {
          update(m_hWndPaint, m_hDcPaint.Get(), &position, &size, offscreen, &source, 0, &blend, ULW_ALPHA);
        }
      } else {
        ::BitBlt(paint.dc(), paintRect.left, paintRect.top, paintRect.GetWidth(), paintRect.GetHeight(), offscreen,
                 paintRect.left, paintRect.top, SRCCOPY);
      }
    } else {
      const int saved = ::SaveDC(paint.dc());
      m_pRoot->Paint(paint.dc(), paintRect, nullptr);
      for (int i = 0; i < m_aPostPaintControls.GetSize(); ++i) {
        static_cast<CControlUI*>(m_aPostPaintControls.GetAt(i))->PostPaint(paint.dc(), paintRect);
      }
      ::RestoreDC(paint.dc(), saved);
    }
    if (m_bShowUpdateRect && !m_bLayered) {
      SelectObjectScope pen(paint.dc(), GetProcessState().showDirtyPen.Get());
      SelectObjectScope brush(paint.dc(), ::GetStockObject(HOLLOW_BRUSH));
      ::Rectangle(paint.dc(), paintRect.left, paintRect.top, paintRect.right, paintRect.bottom);
    }
  }
  m_bIsPainting = false;
  m_bLayeredChanged = false;
  if (m_bUpdateNeeded) Invalidate();
}

void CWindowManagerUI::PaintNativeChildren(HDC dc, const CUIRect& paintRect) {
  for (int i = m_aNativeWindow.GetSize() - 1; i >= 0; --i) {
    const HWND child = static_cast<HWND>(m_aNativeWindow.GetAt(i));
    if (!::IsWindow(child)) {
      m_aNativeWindow.Remove(i);
      m_aNativeWindowControl.Remove(i);
      continue;
    }
    if (!::IsWindowVisible(child)) continue;
    const CUIRect rect = GetChildWindowRect(child);
    RECT meet = {};
    if (!::IntersectRect(&meet, AsRECT(&rect), AsRECT(&paintRect))) continue;
    const int width = rect.GetWidth();
    const int height = rect.GetHeight();
    OwnedMemoryDC childDc(::CreateCompatibleDC(m_hDcPaint.Get()));
    BYTE* bits = nullptr;
    OwnedBitmap bitmap = CDrawEngine::CreateARGB32Bitmap(m_hDcPaint.Get(), width, height, &bits);
    if (!childDc || !bitmap || bits == nullptr) continue;
    SelectObjectScope select(childDc.Get(), bitmap.Get());
    ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(childDc.Get()),
                   PRF_CHECKVISIBLE | PRF_CLIENT | PRF_CHILDREN | PRF_OWNED);
    // GDI leaves alpha 0 everywhere it draws: the child is opaque as a whole
    // rectangle (black text must not become a hole in the window).
    DibView(bitmap.Get(), bits).ForEach(CUIRect(0, 0, width, height), [](BYTE* pixel, int, int) { pixel[3] = 0xFF; });
    ::BitBlt(dc, rect.left, rect.top, width, height, childDc.Get(), 0, 0, SRCCOPY);
  }
}

// --- Layered output ---

void CWindowManagerUI::ApplyLayeredBackground(const CUIRect& paintRect, const CUIRect& client) {
  if (m_diLayered.sDrawString.IsEmpty()) return;
  RECT window = {};
  ::GetWindowRect(m_hWndPaint, &window);
  const CUIRect whole(0, 0, window.right - window.left, window.bottom - window.top);
  if (!m_hbmpBackground || m_bLayeredChanged) {
    if (!m_hbmpBackground) {
      m_hDcBackground.Reset(::CreateCompatibleDC(m_hDcPaint.Get()));
      m_hbmpBackground =
          CDrawEngine::CreateARGB32Bitmap(m_hDcPaint.Get(), whole.GetWidth(), whole.GetHeight(), &m_pBackgroundBits);
    } else {
      ClearPixels(m_hbmpBackground.Get(), m_pBackgroundBits, whole);
    }
    if (!m_hDcBackground || !m_hbmpBackground) return;
    SelectObjectScope select(m_hDcBackground.Get(), m_hbmpBackground.Get());
    CDrawClip clip;
    CDrawClip::CreateRectClip(m_hDcBackground.Get(), whole, clip);
    CDrawEngine::DrawImageString(m_hDcBackground.Get(), this, whole, whole, m_diLayered);
  }
  const UIImageInfo* image = m_diLayered.pImageInfo;
  if (image == nullptr || !image->bAlpha) return;
  // The background's alpha shapes the window: each painted pixel takes it.
  const DibView background(m_hbmpBackground.Get(), m_pBackgroundBits);
  CUIRect area = paintRect;
  if (area.right > client.right) area.right = client.right;
  if (area.bottom > client.bottom) area.bottom = client.bottom;
  DibView(m_hbmpOffscreen.Get(), m_pOffscreenBits).ForEach(area, [&](BYTE* pixel, int x, int y) {
    const BYTE* under = background.At(x, y);
    const BYTE alpha = under != nullptr ? under[3] : 0;
    pixel[0] = static_cast<BYTE>(pixel[0] * alpha / 255);
    pixel[1] = static_cast<BYTE>(pixel[1] * alpha / 255);
    pixel[2] = static_cast<BYTE>(pixel[2] * alpha / 255);
    pixel[3] = alpha;
  });
}

}  // namespace Trellis
