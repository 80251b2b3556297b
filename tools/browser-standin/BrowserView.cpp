// The browser's windows: the message-only window that brings downloads back
// to the browser's thread, and the in-place view that shows the page's text
// and links (a click on a link navigates, a right click asks the host's UI
// handler for its context menu).

#include "tools/browser-standin/Browser.h"

namespace browserstandin {
namespace {

const wchar_t kViewClass[] = L"QuilloraBrowserStandinView";
const int kMargin = 12;
const int kFrameInset = 8;
const COLORREF kTextColor = RGB(0x20, 0x20, 0x20);
const COLORREF kLinkColor = RGB(0x00, 0x00, 0xEE);
const COLORREF kErrorColor = RGB(0xA0, 0x10, 0x10);
const COLORREF kFrameColor = RGB(0xA0, 0xA0, 0xA0);

// Draws wrapped text from (left, y) within right; returns its rectangle.
RECT DrawWrapped(HDC dc, const std::wstring& text, int left, int right, int y, COLORREF color) {
  RECT area = {left, y, right, y};
  const UINT format = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format | DT_CALCRECT);
  if (area.right > right) area.right = right;
  SetTextColor(dc, color);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
  return area;
}

}  // namespace

bool Browser::RegisterViewClass() {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(g_module, kViewClass, &existing)) return true;
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = ViewProcedure;
  windowClass.hInstance = g_module;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kViewClass;
  if (RegisterClassExW(&windowClass) == 0) {
    Log(L"view: RegisterClassEx failed, error " + std::to_wstring(GetLastError()));
    return false;
  }
  return true;
}

LRESULT CALLBACK Browser::ViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  Browser* browser = reinterpret_cast<Browser*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (browser == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return browser->HandleMessage(window, message, wParam, lParam);
}

LRESULT Browser::HandleViewMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window != m_view.Get()) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the page paints its whole background
    case WM_PAINT: {
      PaintScope paint(window);
      RECT client;
      GetClientRect(window, &client);
      PaintPage(paint.dc(), client, &m_links);
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(window, &client);
      PaintPage(reinterpret_cast<HDC>(wParam), client, nullptr);
      return 0;
    }
    case WM_SIZE:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_SETCURSOR: {
      POINT point;
      GetCursorPos(&point);
      ScreenToClient(window, &point);
      if (LOWORD(lParam) == HTCLIENT && LinkAt(point) != nullptr) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    }
    case WM_MOUSEACTIVATE:
      SetFocus(window);
      return MA_ACTIVATE;
    case WM_LBUTTONUP: {
      const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      const LinkArea* link = LinkAt(point);
      if (link != nullptr) {
        const std::wstring url = link->url;  // the areas are rebuilt by the navigation
        Log(L"link clicked " + url);
        StartNavigation(url, nullptr, nullptr, true);
      }
      return 0;
    }
    case WM_RBUTTONUP:
      if (m_document && m_document->uiHandler() != nullptr) {
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(window, &point);
        IDocHostUIHandler* handler = m_document->uiHandler();
        handler->AddRef();
        const HRESULT hr = handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &point, nullptr, nullptr);
        handler->Release();
        // S_OK: the host showed (or suppressed) the menu; this engine has no menu of its own to show otherwise.
        Log(L"ShowContextMenu " + HexHresult(hr));
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void Browser::CreateFonts() {
  LOGFONTW font = {};
  font.lfHeight = -14;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  wcscpy_s(font.lfFaceName, L"微软雅黑");
  m_textFont.Reset(CreateFontIndirectW(&font));
  font.lfUnderline = TRUE;
  m_linkFont.Reset(CreateFontIndirectW(&font));
  font.lfUnderline = FALSE;
  font.lfHeight = -20;
  font.lfWeight = FW_BOLD;
  m_headingFont.Reset(CreateFontIndirectW(&font));
}

int Browser::PaintItems(HDC dc, const Page& page, const std::wstring& baseUrl, int left, int right, int y,
                        bool inFrame, std::vector<LinkArea>* links) {
  for (const PageItem& item : page.items) {
    switch (item.kind) {
      case PageItem::kText: {
        SelectObjectScope font(dc, m_textFont.Get());
        y = DrawWrapped(dc, item.text, left, right, y, kTextColor).bottom + 4;
        break;
      }
      case PageItem::kHeading: {
        SelectObjectScope font(dc, m_headingFont.Get());
        y = DrawWrapped(dc, item.text, left, right, y, kTextColor).bottom + 8;
        break;
      }
      case PageItem::kLink: {
        SelectObjectScope font(dc, m_linkFont.Get());
        const RECT area = DrawWrapped(dc, item.text, left, right, y, kLinkColor);
        if (links != nullptr) links->push_back(LinkArea{area, ResolveUrl(baseUrl, item.href)});
        y = area.bottom + 4;
        break;
      }
      case PageItem::kBreak:
        y += 6;
        break;
      case PageItem::kFrame: {
        const int top = y;
        int inner = y + kFrameInset;
        SelectObjectScope font(dc, m_textFont.Get());
        const Frame* frame = !inFrame && item.frame >= 0 && static_cast<size_t>(item.frame) < m_frames.size()
                                 ? &m_frames[static_cast<size_t>(item.frame)]
                                 : nullptr;
        if (frame != nullptr && !frame->errorText.empty()) {
          inner = DrawWrapped(dc, frame->errorText, left + kFrameInset, right - kFrameInset, inner, kErrorColor).bottom;
        } else if (frame != nullptr && frame->browser->document() != nullptr) {
          // The frame's page, drawn inside the box; its links navigate the whole browser.
          inner = PaintItems(dc, frame->browser->document()->page(), frame->browser->url(), left + kFrameInset,
                             right - kFrameInset, inner, true, links);
        } else {
          inner = DrawWrapped(dc, inFrame ? L"[框架]" : L"正在加载…", left + kFrameInset, right - kFrameInset, inner,
                              kFrameColor).bottom;
        }
        y = inner + kFrameInset;
        OwnedPen pen(CreatePen(PS_SOLID, 1, kFrameColor));
        SelectObjectScope selectedPen(dc, pen.Get());
        SelectObjectScope selectedBrush(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, left, top, right, y);
        y += 6;
        break;
      }
    }
  }
  return y;
}

void Browser::PaintPage(HDC dc, const RECT& bounds, std::vector<LinkArea>* links) {
  if (!m_textFont) CreateFonts();
  if (links != nullptr) links->clear();
  OwnedBrush background(CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF)));
  FillRect(dc, &bounds, background.Get());
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  SetBkMode(dc, TRANSPARENT);
  const int left = bounds.left + kMargin;
  const int right = bounds.right - kMargin;
  if (!m_errorText.empty()) {
    SelectObjectScope font(dc, m_textFont.Get());
    DrawWrapped(dc, m_errorText, left, right, bounds.top + kMargin, kErrorColor);
  } else if (m_document) {
    PaintItems(dc, m_document->page(), m_url, left, right, bounds.top + kMargin, false, links);
  }
  RestoreDC(dc, saved);
}

const Browser::LinkArea* Browser::LinkAt(POINT point) const {
  for (const LinkArea& link : m_links) {
    if (PtInRect(&link.area, point)) return &link;
  }
  return nullptr;
}

void Browser::Invalidate() {
  if (m_view) InvalidateRect(m_view.Get(), nullptr, FALSE);
}

}  // namespace browserstandin
