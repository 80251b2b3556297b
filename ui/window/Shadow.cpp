// CShadowUI: the drop shadow window, its settings, the subclass procedure of
// the parent window and the picture.
//
// Sections: --- Settings --- --- Window class and creation ---
// --- Parent messages --- --- Picture ---
#include "ui/window/Shadow.h"

#include <mutex>
#include <vector>

#include "core/base/DebugTrace.h"
#include "ui/base/UIGeometryWin.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

const wchar_t kShadowClass[] = L"VarnoShadowWnd";
// The parent window finds its shadow through this property, so windows made
// on several threads share no table.
const wchar_t kShadowProperty[] = L"Trellis.CShadowUI";
// The parent's procedure before the subclass, kept on the window too, so the
// subclass procedure still forwards every message when the shadow object has
// gone before its window and a later subclass kept it from unhooking.
const wchar_t kPreviousProcProperty[] = L"Trellis.CShadowUI.Proc";

// Takes the subclass off the window: the previous procedure is put back when
// ours is still the current one; otherwise ours stays in the chain and
// forwards through the window's property.
void Unhook(HWND hwnd, WNDPROC ours, WNDPROC previous) {
  ::RemovePropW(hwnd, kShadowProperty);
  if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == ours) {
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    ::RemovePropW(hwnd, kPreviousProcProperty);
  }
}

}  // namespace

CShadowUI::CShadowUI() = default;

CShadowUI::~CShadowUI() {
  // A manager that goes before its window takes the subclass with it.
  if (m_hParent != nullptr && ::IsWindow(m_hParent) && ::GetPropW(m_hParent, kShadowProperty) == this) {
    Unhook(m_hParent, &CShadowUI::ParentProc, m_OriWndProc);
  }
  DestroyShadowWindow();
}

// --- Settings ---

bool CShadowUI::SetSize(int size) {
  if (size < -20 || size > 20) return false;
  m_settings.size = size;
  UpdateIfShown();
  return true;
}

bool CShadowUI::SetSharpness(unsigned sharpness) {
  if (sharpness > 20) return false;
  m_settings.sharpness = static_cast<int>(sharpness);
  UpdateIfShown();
  return true;
}

bool CShadowUI::SetDarkness(unsigned darkness) {
  if (darkness > 255) return false;
  m_settings.darkness = static_cast<int>(darkness);
  UpdateIfShown();
  return true;
}

bool CShadowUI::SetPosition(int x, int y) {
  if (x < -20 || x > 20 || y < -20 || y > 20) return false;
  m_settings.offsetX = x;
  m_settings.offsetY = y;
  UpdateIfShown();
  return true;
}

bool CShadowUI::SetColor(DWORD color) {
  m_settings.color = color;
  UpdateIfShown();
  return true;
}

bool CShadowUI::SetImage(const UIChar* image) {
  if (image == nullptr) return false;
  m_bIsImageMode = true;
  m_sShadowImage.Assign(image);
  UpdateIfShown();
  return true;
}

bool CShadowUI::SetShadowCorner(const CUIRect& corner) {
  if (corner.left < 0 || corner.top < 0 || corner.right < 0 || corner.bottom < 0) return false;
  m_rcShadowCorner = corner;
  UpdateIfShown();
  return true;
}

void CShadowUI::SetShadowEnabled(bool enabled) { m_bIsShowShadow = enabled; }

void CShadowUI::CopySettingsTo(CShadowUI* other) const {
  if (other == nullptr) return;
  if (m_bIsImageMode) {
    other->SetImage(m_sShadowImage.GetText());
    other->SetShadowCorner(m_rcShadowCorner);
  } else {
    other->SetSize(m_settings.size);
    other->SetSharpness(static_cast<unsigned>(m_settings.sharpness));
    other->SetDarkness(static_cast<unsigned>(m_settings.darkness));
    other->SetColor(m_settings.color);
    other->SetPosition(m_settings.offsetX, m_settings.offsetY);
  }
  other->SetShadowEnabled(m_bIsShowShadow);
}

void CShadowUI::UpdateIfShown() {
  if (m_hWnd != nullptr && (m_Status & kShown) != 0 && m_hParent != nullptr) Update(m_hParent);
}

// --- Window class and creation ---

bool CShadowUI::RegisterWindowClass(HINSTANCE instance) {
  // Windows of several threads may ask at once; a thread that finds the class
  // being registered waits until it exists rather than creating a window of a
  // class not yet there.
  static std::mutex guard;
  static bool registered = false;
  std::lock_guard<std::mutex> lock(guard);
  if (registered) return false;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = kShadowClass;
  if (::RegisterClassExW(&wc) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    DebugTrace(L"CShadowUI::RegisterWindowClass: RegisterClassExW failed");
    return false;  // a later call may try again
  }
  registered = true;
  return true;
}

bool CShadowUI::CreateShadowWindow(CWindowManagerUI* manager) {
  if (!m_bIsShowShadow || manager == nullptr) return false;
  HWND parent = manager->GetPaintWindow();
  // Once per parent: a second subclass would save our own procedure as the
  // previous one and call itself for ever.
  if (parent == nullptr || m_hWnd != nullptr || (m_Status & kCreated) != 0 ||
      ::GetPropW(parent, kShadowProperty) != nullptr) {
    return false;
  }
  HINSTANCE instance = CWindowManagerUI::GetInstance();
  if (instance == nullptr) instance = ::GetModuleHandleW(nullptr);
  RegisterWindowClass(instance);  // normally done by SetInstance; harmless when done

  m_pManager = manager;
  const LONG parentStyle = ::GetWindowLongW(parent, GWL_STYLE);
  m_hWnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClass, nullptr,
                             static_cast<DWORD>(0x80880000u) | (static_cast<DWORD>(parentStyle) & WS_DLGFRAME),
                             CW_USEDEFAULT, 0, 0, 0, parent, nullptr, instance, nullptr);
  if (m_hWnd == nullptr) {
    DebugTrace(L"CShadowUI::CreateShadowWindow: CreateWindowExW failed");
    return false;
  }
  if (!::SetPropW(parent, kShadowProperty, this)) {
    DestroyShadowWindow();
    return false;
  }
  m_hParent = parent;
  if ((parentStyle & WS_VISIBLE) == 0) {
    m_Status = kCreated;
  } else if ((parentStyle & (WS_MAXIMIZE | WS_MINIMIZE)) != 0) {
    m_Status = kCreated | kParentVisible;
  } else {
    m_Status = kCreated | kShown | kParentVisible;
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    Update(parent);
  }
  m_OriWndProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CShadowUI::ParentProc)));
  ::SetPropW(parent, kPreviousProcProperty, reinterpret_cast<HANDLE>(m_OriWndProc));
  return true;
}

void CShadowUI::DestroyShadowWindow() {
  if (m_hWnd != nullptr) {
    HWND window = m_hWnd;
    m_hWnd = nullptr;
    ::DestroyWindow(window);
  }
}

// --- Parent messages ---

LRESULT CALLBACK CShadowUI::ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CShadowUI*>(::GetPropW(hwnd, kShadowProperty));
  WNDPROC previous = self != nullptr ? self->m_OriWndProc
                                     : reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kPreviousProcProperty));
  if (self != nullptr) self->OnParentMessage(hwnd, msg, wParam, lParam);  // may unhook
  if (msg == WM_NCDESTROY) ::RemovePropW(hwnd, kPreviousProcProperty);
  if (previous == nullptr) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  const LRESULT result = ::CallWindowProcW(previous, hwnd, msg, wParam, lParam);
  if (msg == WM_PAINT) {
    // Looked up again: the window's own paint may have ended the shadow.
    self = static_cast<CShadowUI*>(::GetPropW(hwnd, kShadowProperty));
    if (self != nullptr) self->OnParentPainted(hwnd);
  }
  return result;
}

void CShadowUI::OnParentPainted(HWND hwnd) {
  if (!m_bUpdateAfterPaint) return;
  m_bUpdateAfterPaint = false;
  // The first picture needs a bitmap as large as the window, besides the
  // shadow window's own surface: the window's paint buffer, which a plain
  // window only uses during a paint, goes first so that the two are not
  // held at once (the next paint makes it again).
  if (!m_bHasPicture && m_pManager != nullptr && m_pManager->GetPaintWindow() == hwnd) {
    m_pManager->ReleasePaintBuffer();
  }
  Update(hwnd);
}

void CShadowUI::OnParentMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_DESTROY:
      DestroyShadowWindow();
      break;
    case WM_MOVE:
      if ((m_Status & kShown) != 0 && m_hWnd != nullptr) {
        RECT rc;
        ::GetWindowRect(hwnd, &rc);
        const int x = m_bIsImageMode ? rc.left - m_rcShadowCorner.left
                                     : rc.left + m_settings.offsetX - m_settings.size;
        const int y = m_bIsImageMode ? rc.top - m_rcShadowCorner.top : rc.top + m_settings.offsetY - m_settings.size;
        ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
      }
      break;
    case WM_SIZE:
      if ((m_Status & kCreated) != 0) {
        const WORD cx = LOWORD(lParam);
        const WORD cy = HIWORD(lParam);
        if (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED) {
          if (m_hWnd != nullptr) ::ShowWindow(m_hWnd, SW_HIDE);
          m_Status &= static_cast<BYTE>(~kShown);
        } else if ((m_Status & kParentVisible) != 0) {
          if (cx > m_WndSizeCx || cy > m_WndSizeCy) {
            m_bUpdate = true;  // a growing window rebuilds once, at its next paint
          } else {
            Update(hwnd);
          }
          if ((m_Status & kShown) == 0 && m_hWnd != nullptr) {
            ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
            m_Status |= kShown;
          }
        }
        m_WndSizeCx = cx;
        m_WndSizeCy = cy;
      }
      break;
    case WM_PAINT:
      // The window paints itself first: its own picture is what the user
      // waits for, and the shadow's (a bitmap as large as the window) can
      // follow within the same message.
      if (m_bUpdate) {
        m_bUpdateAfterPaint = true;
        m_bUpdate = false;
      }
      break;
    case WM_SHOWWINDOW:
      if ((m_Status & kCreated) != 0 && m_hWnd != nullptr) {
        if (wParam != 0) {
          if ((m_Status & kParentVisible) == 0) {
            m_bUpdate = true;
            // Without a picture yet the window is shown once it has one
            // (Update): showing an empty window costs as much again.
            if (m_bHasPicture) ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
            m_Status |= kShown | kParentVisible;
          }
        } else {
          ::ShowWindow(m_hWnd, SW_HIDE);
          m_Status &= static_cast<BYTE>(~(kShown | kParentVisible));
        }
      }
      break;
    case WM_NCDESTROY:
      // Last message of the parent: unhook and forget it (CallWindowProc
      // above still uses the saved procedure for this message).
      Unhook(hwnd, &CShadowUI::ParentProc, m_OriWndProc);
      DestroyShadowWindow();
      m_hParent = nullptr;
      m_Status = 0;
      break;
    case WM_EXITSIZEMOVE:
      if ((m_Status & kShown) != 0) Update(hwnd);
      break;
    default:
      break;
  }
}

// --- Picture ---

void CShadowUI::Update(HWND parent) {
  if (parent == nullptr || m_hWnd == nullptr) return;
  RECT window;
  if (!::GetWindowRect(parent, &window)) return;
  // Region mode follows the window's region, or its rectangle without one:
  // taking an empty region for a window without one would leave the picture
  // empty, and the common rectangular window would have no shadow at all.
  OwnedRegion region(::CreateRectRgn(0, 0, 0, 0));
  const bool hasRegion = region && ::GetWindowRgn(parent, region.Get()) != ERROR;
  CUISize size;
  CUIPoint offset;
  OwnedBitmap picture = MakePicture(ToUIRect(window), hasRegion ? region.Get() : nullptr, &size, &offset);
  if (!picture) return;
  OwnedMemoryDC memory(::CreateCompatibleDC(nullptr));
  if (!memory) return;
  SelectObjectScope select(memory.Get(), picture.Get());
  POINT position = {window.left + offset.x, window.top + offset.y};
  SIZE pictureSize = {size.cx, size.cy};
  POINT origin = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  // The call moves and sizes the shadow window to the picture as well.
  if (::UpdateLayeredWindow(m_hWnd, nullptr, &position, &pictureSize, memory.Get(), &origin, 0, &blend, ULW_ALPHA)) {
    m_bHasPicture = true;
    if ((m_Status & kShown) != 0 && !::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
  }
}

OwnedBitmap CShadowUI::MakePicture(const CUIRect& rcWindow, HRGN region, CUISize* pictureSize, CUIPoint* offset,
                                   BYTE** bits) {
  *pictureSize = CUISize();
  *offset = CUIPoint();
  if (bits != nullptr) *bits = nullptr;
  const int width = rcWindow.GetWidth();
  const int height = rcWindow.GetHeight();
  if (width < 1 || height < 1 || width > 0x7FFF || height > 0x7FFF) return OwnedBitmap();

  int cx = 0, cy = 0;
  UIImageInfo* image = nullptr;
  if (m_bIsImageMode) {
    if (m_sShadowImage.IsEmpty() || m_pManager == nullptr) return OwnedBitmap();
    image = m_pManager->GetOrAddImage(m_sShadowImage.GetText());
    if (image == nullptr) return OwnedBitmap();
    cx = width + m_rcShadowCorner.left + m_rcShadowCorner.right;
    cy = height + m_rcShadowCorner.top + m_rcShadowCorner.bottom;
  } else if (!ShadowRegionPictureSize(width, height, m_settings, &cx, &cy)) {
    return OwnedBitmap();
  }
  if (cx < 1 || cy < 1) return OwnedBitmap();

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = cx;
  info.bmiHeader.biHeight = -cy;  // rows from the top, as the generator writes them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  OwnedBitmap picture(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!picture || pixels == nullptr) {
    DebugTrace(L"CShadowUI::MakePicture: CreateDIBSection failed");
    return OwnedBitmap();
  }

  if (m_bIsImageMode) {
    OwnedMemoryDC memory(::CreateCompatibleDC(nullptr));
    if (!memory) return OwnedBitmap();
    SelectObjectScope select(memory.Get(), picture.Get());
    const CUIRect all(0, 0, cx, cy);
    CDrawEngine::DrawImage(memory.Get(), image->hBitmap.Get(), all, all, CUIRect(0, 0, image->nX, image->nY),
                           m_rcShadowCorner, image->bAlpha != 0, 255, true, false, false);
    ::GdiFlush();
    *offset = CUIPoint(-m_rcShadowCorner.left, -m_rcShadowCorner.top);
  } else {
    // Row extents of the window: only the outermost region points of each
    // row count (the window is taken as one piece without holes).
    std::vector<ShadowAnchor> anchors(static_cast<size_t>(height), ShadowAnchor{width, 0});
    for (int y = 0; y < height; ++y) {
      if (region == nullptr) {
        anchors[static_cast<size_t>(y)] = {0, width};
        continue;
      }
      int left = 0;
      while (left < width && !::PtInRegion(region, left, y)) ++left;
      if (left >= width) continue;
      int right = width - 1;
      while (right > left && !::PtInRegion(region, right, y)) --right;
      anchors[static_cast<size_t>(y)] = {left, right + 1};
    }
    if (!MakeShadowRegionPicture(anchors, width, m_settings, static_cast<uint32_t*>(pixels), cx, cy)) {
      return OwnedBitmap();
    }
    *offset = CUIPoint(m_settings.offsetX - m_settings.size, m_settings.offsetY - m_settings.size);
  }
  *pictureSize = CUISize(cx, cy);
  if (bits != nullptr) *bits = static_cast<BYTE*>(pixels);
  return picture;
}

}  // namespace Trellis
