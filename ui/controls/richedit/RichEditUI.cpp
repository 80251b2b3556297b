// CRichEditUI: lifetime and the engine's creation, the text operations, the
// settings, layout, painting, input (message filter and events) and scrolling.
//
// Sections: Lifetime; Text operations; Settings; Layout; Painting; Input;
// Engine callbacks; Scrolling; Attributes.
#include "ui/controls/richedit/RichEditUI.h"

#include <imm.h>
#include <cstdlib>
#include <vector>

#include "ui/base/UIGeometryWin.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/control/portable/FloatPlacement.h"
#include "ui/control/UIEvent.h"
#include "ui/controls/richedit/RichEditHost.h"
#include "ui/draw/DrawEngine.h"
#include "ui/draw/UIFontInfo.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

// The caret timer of a layered window, where the system caret does not show.
constexpr UINT kCaretTimerId = 20;

bool IsName(const UIChar* name, const UIChar* expected) { return UITextCompare(name, expected) == 0; }

bool IsTrue(const UIChar* value) { return value != nullptr && UITextCompare(value, UI_TEXT("true")) == 0; }

COLORREF ToColorRef(DWORD argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

DWORD ParseColor(const UIChar* value) {
  if (value == nullptr) return 0;
  while (*value != 0 && *value <= L' ') ++value;
  if (*value == L'#') ++value;
  return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

bool Contains(const CUIRect& rc, POINT point) {
  return point.x >= rc.left && point.x < rc.right && point.y >= rc.top && point.y < rc.bottom;
}

}  // namespace

// Marks a change of the default format for the duration of one operation.
class CRichEditUI::FormatChangeScope {
 public:
  explicit FormatChangeScope(CRichEditUI* control) : m_pControl(control) { ++m_pControl->m_iFormatChanges; }
  ~FormatChangeScope() { --m_pControl->m_iFormatChanges; }
  FormatChangeScope(const FormatChangeScope&) = delete;
  FormatChangeScope& operator=(const FormatChangeScope&) = delete;

 private:
  CRichEditUI* m_pControl;
};

// --- Lifetime ---

CRichEditUI::CRichEditUI() = default;

CRichEditUI::~CRichEditUI() {
  m_bDestroying = true;
  if (m_pHost != nullptr) {
    // The engine may call back while it is deactivated and released: the
    // host forgets this control first, then lets the engine go.
    CRichEditHost* host = m_pHost;
    m_pHost = nullptr;
    host->Detach();
    host->Shutdown();
    host->Release();
  }
  if (m_pManager != nullptr) {
    if (m_bFilterAdded) m_pManager->RemoveMessageFilter(this);
    m_pManager->KillControlTimers(this);
  }
}

const UIChar* CRichEditUI::GetClassName() const { return UI_TEXT("RichEdit"); }

void* CRichEditUI::GetInterface(const UIChar* name) {
  if (name != nullptr && IsName(name, UI_TEXT("RichEdit"))) return this;
  return CContainerUI::GetInterface(name);
}

UINT CRichEditUI::GetControlFlags() const { return IsEnabled() ? (kUIFlagTabStop | kUIFlagSetCursor) : 0; }

bool CRichEditUI::HasEngine() const { return m_pHost != nullptr && m_pHost->GetServices() != nullptr; }

CUIRect CRichEditUI::GetTextRect() const { return m_pHost != nullptr ? m_pHost->GetClientRect() : CUIRect(); }

void CRichEditUI::OnInit() {
  if (m_bInited) return;
  m_bInited = true;
  m_pHost = CRichEditHost::Create(this, m_dwStyle, m_sText.GetText());
  if (m_pHost == nullptr) return;
  if (m_dwTextColor != 0) m_pHost->SetTextColor(ToColorRef(m_dwTextColor));
  m_pHost->Send(EM_SETLANGOPTIONS, 0, 0, nullptr);
  m_pHost->SetFlag(CRichEditHost::kFlagInPlaceActive, true);
  if (FAILED(m_pHost->GetServices()->OnTxInPlaceActivate(nullptr))) {
    m_pHost->SetFlag(CRichEditHost::kFlagInPlaceActive, false);
  }
  if (m_pManager != nullptr) {
    m_bFilterAdded = m_pManager->AddMessageFilter(this);
    if (m_pManager->IsLayered()) m_pManager->SetControlTimer(this, kCaretTimerId, ::GetCaretBlinkTime());
  }
}

// --- Text operations ---

CUIString CRichEditUI::GetText() const {
  if (m_pHost == nullptr) return m_sText;
  GETTEXTLENGTHEX lengthQuery = {GTL_DEFAULT, 1200};
  LRESULT length = 0;
  m_pHost->Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0, &length);
  if (length <= 0) return CUIString();
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  // The engine takes the buffer size in bytes, terminator included.
  GETTEXTEX textQuery = {};
  textQuery.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  textQuery.flags = GT_DEFAULT;
  textQuery.codepage = 1200;
  LRESULT copied = 0;
  m_pHost->Send(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&textQuery), reinterpret_cast<LPARAM>(buffer.data()),
                &copied);
  buffer.back() = L'\0';
  return CUIString(buffer.data());
}

void CRichEditUI::SetText(const UIChar* text) {
  if (text == nullptr) text = UI_TEXT("");
  m_sText.AssignText(text);
  if (m_pHost == nullptr) {
    Invalidate();
    return;
  }
  SetSel(0, -1);
  m_pHost->Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text), nullptr);
  Invalidate();
}

long CRichEditUI::GetTextLength(DWORD flags) const {
  if (m_pHost == nullptr) return 0;
  GETTEXTLENGTHEX query = {flags, 1200};
  LRESULT length = 0;
  m_pHost->Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0, &length);
  return static_cast<long>(length);
}

void CRichEditUI::GetSel(CHARRANGE& range) const {
  range = {0, 0};
  if (m_pHost != nullptr) m_pHost->Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range), nullptr);
}

int CRichEditUI::SetSel(long start, long end) {
  if (m_pHost == nullptr) return 0;
  CHARRANGE range = {start, end};
  LRESULT result = 0;
  m_pHost->Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range), &result);
  return static_cast<int>(result);
}

void CRichEditUI::ReplaceSel(const UIChar* text, bool canUndo) {
  if (m_pHost == nullptr) return;
  m_pHost->Send(EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text != nullptr ? text : L""),
                nullptr);
}

int CRichEditUI::AppendText(const UIChar* text, bool canUndo) {
  if (m_pHost == nullptr) return 0;
  const int result = SetSel(-1, -1);
  ReplaceSel(text, canUndo);
  return result;
}

int CRichEditUI::InsertText(long position, const UIChar* text, bool canUndo) {
  if (m_pHost == nullptr) return 0;
  const int result = SetSel(position, position);
  ReplaceSel(text, canUndo);
  return result;
}

DWORD CRichEditUI::SetEventMask(DWORD mask) {
  if (m_pHost == nullptr) return 0;
  LRESULT previous = 0;
  m_pHost->Send(EM_SETEVENTMASK, 0, static_cast<LPARAM>(mask), &previous);
  return static_cast<DWORD>(previous);
}

DWORD CRichEditUI::GetEventMask() const {
  if (m_pHost == nullptr) return 0;
  LRESULT mask = 0;
  m_pHost->Send(EM_GETEVENTMASK, 0, 0, &mask);
  return static_cast<DWORD>(mask);
}

// --- Settings ---

void CRichEditUI::SetLimitText(int limit) {
  m_iLimitText = limit > 0 ? limit : 32767;
  if (m_pHost != nullptr) m_pHost->SetMaxLength(m_iLimitText);
}

void CRichEditUI::SetFont(int fontId) {
  m_iFont = fontId;
  if (m_pHost == nullptr || m_pManager == nullptr) return;
  HFONT font = m_pManager->GetFontHandle(fontId);
  FormatChangeScope scope(this);
  if (font != nullptr) m_pHost->SetFont(font);
}

void CRichEditUI::SetTextColor(DWORD color) {
  m_dwTextColor = color;
  FormatChangeScope scope(this);
  if (m_pHost != nullptr) m_pHost->SetTextColor(ToColorRef(color));
}

void CRichEditUI::SetTextPadding(CUIRect padding) {
  m_rcTextPadding = padding;
  RequestLayout();
}

void CRichEditUI::SetTipValue(const UIChar* text) {
  m_sTipText.AssignText(text != nullptr ? text : UI_TEXT(""));
  Invalidate();
}

DWORD CRichEditUI::GetTipValueColor() const {
  if (m_bTipColorSet) return m_dwTipColor;
  // Without a colour of its own the tip looks like disabled text.
  return m_pManager != nullptr ? m_pManager->GetDefaultDisabledColor() : 0xFFA7A6AA;
}

void CRichEditUI::SetTipValueColor(const UIChar* text) {
  m_dwTipColor = ParseColor(text);
  m_bTipColorSet = true;
  Invalidate();
}

void CRichEditUI::SetTransparent(bool transparent) {
  m_bTransparent = transparent;
  if (m_pHost != nullptr) m_pHost->SetTransparent(transparent);
}

void CRichEditUI::SetRich(bool rich) {
  m_bRich = rich;
  if (m_pHost != nullptr) m_pHost->SetRich(rich);
}

// --- Layout ---

CUIRect CRichEditUI::InnerRect() const {
  CUIRect inner = m_rcItem;
  inner.left += m_rcInset.left;
  inner.top += m_rcInset.top;
  inner.right -= m_rcInset.right;
  inner.bottom -= m_rcInset.bottom;
  if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible()) {
    inner.right -= m_pVerticalScrollBar->GetFixedWidth();
  }
  if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible()) {
    inner.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
  }
  return inner;
}

static CUIRect LessPadding(CUIRect rc, const CUIRect& padding) {
  rc.left += padding.left;
  rc.top += padding.top;
  rc.right -= padding.right;
  rc.bottom -= padding.bottom;
  return rc;
}

LONG CRichEditUI::NaturalHeight(int width) const {
  if (!HasEngine() || m_pManager == nullptr) return 0;
  const SIZEL extent = {-1, -1};
  LONG naturalWidth = width;
  LONG naturalHeight = 0;
  m_pHost->GetServices()->TxGetNaturalSize(DVASPECT_CONTENT, m_pManager->GetPaintDC(), nullptr, nullptr,
                                           kTxtNaturalFitToContent, &extent, &naturalWidth, &naturalHeight);
  return naturalHeight;
}

void CRichEditUI::SetPos(CUIRect rc, bool invalidate) {
  CControlUI::SetPos(rc, invalidate);
  CUIRect inner = m_rcItem;
  inner.left += m_rcInset.left;
  inner.top += m_rcInset.top;
  inner.right -= m_rcInset.right;
  inner.bottom -= m_rcInset.bottom;
  CUIRect view = inner;
  CScrollBarUI* vertical = m_pVerticalScrollBar;
  CScrollBarUI* horizontal = m_pHorizontalScrollBar;
  const bool verticalWasVisible = vertical != nullptr && vertical->IsVisible();
  if (verticalWasVisible) {
    view.top -= vertical->GetScrollPos();
    view.bottom += vertical->GetScrollRange() - vertical->GetScrollPos();
    view.right -= vertical->GetFixedWidth();
    inner.right -= vertical->GetFixedWidth();
  }
  if (horizontal != nullptr && horizontal->IsVisible()) {
    view.left -= horizontal->GetScrollPos();
    view.right += horizontal->GetScrollRange() - horizontal->GetScrollPos();
    view.bottom -= horizontal->GetFixedHeight();
    inner.bottom -= horizontal->GetFixedHeight();
  }
  if (m_pHost != nullptr) {
    m_pHost->SetClientRect(LessPadding(inner, m_rcTextPadding));
    // The engine may have hidden the bar just now although the content
    // still does not fit the narrower area: the layout keeps it shown.
    vertical = m_pVerticalScrollBar;
    if (vertical != nullptr && ((verticalWasVisible && !vertical->IsVisible()) || m_bVScrollForced)) {
      const CUIRect padded = LessPadding(view, m_rcTextPadding);
      const LONG height = NaturalHeight(padded.GetWidth() + vertical->GetFixedWidth());
      if (padded.GetHeight() < height) {
        vertical->SetVisible(true);
        vertical->SetScrollPos(0, true);
        m_bVScrollForced = true;
      } else if (m_bVScrollForced) {
        vertical->SetVisible(false);
        m_bVScrollForced = false;
      }
    }
  }
  vertical = m_pVerticalScrollBar;
  horizontal = m_pHorizontalScrollBar;
  if (vertical != nullptr && vertical->IsVisible()) {
    vertical->SetPos(CUIRect(inner.right, inner.top, inner.right + vertical->GetFixedWidth(), inner.bottom), false);
  }
  if (horizontal != nullptr && horizontal->IsVisible()) {
    horizontal->SetPos(
        CUIRect(inner.left, inner.bottom, inner.right, inner.bottom + horizontal->GetFixedHeight()), false);
  }
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    int width = view.GetWidth();
    int height = view.GetHeight();
    width = width < child->GetMinWidth() ? child->GetMinWidth() : width;
    width = width > child->GetMaxWidth() ? child->GetMaxWidth() : width;
    height = height < child->GetMinHeight() ? child->GetMinHeight() : height;
    height = height > child->GetMaxHeight() ? child->GetMaxHeight() : height;
    child->SetPos(CUIRect(view.left, view.top, view.left + width, view.top + height), false);
  }
}

void CRichEditUI::Move(CUISize offset, bool invalidate) {
  CContainerUI::Move(offset, invalidate);
  // The text area moves with the control and keeps its padding; the engine
  // must hear of it or it draws and hit-tests at the old place.
  if (m_pHost != nullptr) m_pHost->SetClientRect(LessPadding(InnerRect(), m_rcTextPadding));
}

// --- Painting ---

bool CRichEditUI::PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) {
  CUIRect rc;
  if (!IntersectRects(&rc, rcPaint, m_rcItem)) return true;
  CDrawClip clip;
  CDrawClip::CreateRectClip(hDC, rc, clip);
  CControlUI::PaintContent(hDC, rcPaint, pStopControl);
  // Content that is the tip's own text looks like the tip: the engine would
  // draw the same words over it in the text colour.
  if (HasEngine() && !ShowsTip()) {
    const CUIRect& client = m_pHost->GetClientRect();
    RECTL bounds = {client.left, client.top, client.right, client.bottom};
    // The engine draws every line it is asked for: the update area is kept
    // inside the text area so that scrolled-away lines stay out of the border.
    CUIRect area;
    IntersectRects(&area, rcPaint, client);
    RECT update = {area.left, area.top, area.right, area.bottom};
    m_pHost->GetServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, hDC, nullptr, &bounds, nullptr, &update,
                                   nullptr, 0, kTxtViewActive);
    if (m_bVScrollForced && m_pVerticalScrollBar != nullptr) {
      const LONG height = NaturalHeight(client.GetWidth() + m_pVerticalScrollBar->GetFixedWidth());
      if (height <= client.GetHeight()) RequestLayout();
    }
  }
  if (!m_items.IsEmpty()) {
    CUIRect inner;
    if (IntersectRects(&inner, rcPaint, InnerRect())) {
      CDrawClip childClip;
      CDrawClip::CreateRectClip(hDC, inner, childClip);
      for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (child == pStopControl) return false;
        if (!child->IsVisible()) continue;
        if (!child->Paint(hDC, rcPaint, pStopControl)) return false;
      }
    }
  }
  if (m_pHost != nullptr && m_pHost->HasFlag(CRichEditHost::kFlagCaretShown) && m_pManager != nullptr &&
      m_pManager->IsLayered() && IsFocused() && m_bCaretOn) {
    POINT caret = {};
    if (::GetCaretPos(&caret) && Contains(m_rcItem, caret)) {
      CDrawEngine::DrawLine(hDC, CUIRect(caret.x, caret.y, caret.x, caret.y + m_pHost->GetCaretHeight()),
                            m_pHost->GetCaretWidth(), 0);
    }
  }
  for (CScrollBarUI* bar : {m_pVerticalScrollBar, m_pHorizontalScrollBar}) {
    if (bar == nullptr) continue;
    if (bar == pStopControl) return false;
    CUIRect unused;
    if (bar->IsVisible() && IntersectRects(&unused, rcPaint, bar->GetPos()) && !bar->Paint(hDC, rcPaint, pStopControl)) {
      return false;
    }
  }
  return true;
}

bool CRichEditUI::ShowsTip() const {
  if (m_pHost == nullptr) {
    return m_sText.IsEmpty() || (!m_sTipText.IsEmpty() && m_sText.EqualsText(m_sTipText.GetText()));
  }
  if (GetTextLength(GTL_DEFAULT) == 0) return true;
  return !m_sTipText.IsEmpty() && GetText().EqualsText(m_sTipText.GetText());
}

void CRichEditUI::PaintText(HDC hDC) {
  if (m_dwTextColor == 0 && m_pManager != nullptr) {
    // The window's default colour becomes this control's colour for good,
    // and the engine draws the text in it too.
    SetTextColor(m_pManager->GetDefaultFontColor());
  }
  const UIChar* text = nullptr;
  DWORD color = 0;
  if (ShowsTip()) {
    text = m_sTipText.GetText();
    color = GetTipValueColor();
  } else if (m_pHost == nullptr) {
    // Without an engine the stored text is all there is to show. With one it
    // is not drawn: it is only the text the program last gave, and under the
    // engine's content it would show a stale copy of what the user changed.
    text = m_sText.GetText();
    color = m_dwTextColor;
  }
  if (text == nullptr || text[0] == 0) return;
  CUIRect rc = m_rcItem;
  rc.left += m_rcTextPadding.left;
  rc.top += m_rcTextPadding.top + 3;
  rc.right -= m_rcTextPadding.right;
  rc.bottom -= m_rcTextPadding.bottom;
  CDrawEngine::DrawPlainText(hDC, m_pManager, rc, text, color, m_iFont, DT_SINGLELINE);
}

// --- Input ---

LRESULT CRichEditUI::FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (!IsVisible() || !IsEnabled() || m_pHost == nullptr || m_pManager == nullptr) return 0;
  const bool mouse = message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
  if (mouse && !IsMouseEnabled()) return 0;
  if (message == WM_MOUSEWHEEL && (LOWORD(wParam) & MK_CONTROL) == 0) return 0;
  bool handledIfSent = true;
  const HWND paint = m_pManager->GetPaintWindow();
  if (mouse || message == WM_SETCURSOR) {
    if (!m_pHost->HasFlag(CRichEditHost::kFlagCaptured)) {
      POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (message == WM_SETCURSOR) {
        ::GetCursorPos(&point);
        ::ScreenToClient(paint, &point);
      } else if (message == WM_MOUSEWHEEL) {
        ::ScreenToClient(paint, &point);
      }
      switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
          if (m_pManager->FindControlAtPoint(CUIPoint(point.x, point.y)) != this) return 0;
          break;
        default:
          break;
      }
      if (!Contains(m_pHost->GetClientRect(), point) || m_pManager->IsCaptured()) return 0;
      if (message == WM_SETCURSOR) {
        handledIfSent = false;
      } else if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
        if (!m_pManager->IsNoActivate()) ::SetFocus(paint);
        SetFocus();
        if (m_pHost == nullptr) return 0;
      }
    }
  } else if (message >= WM_KEYFIRST && message <= WM_SYSDEADCHAR) {
    if (!IsFocused()) return 0;
  } else if (message == WM_IME_STARTCOMPOSITION) {
    if (IsFocused()) {
      POINT caret = {};
      ::GetCaretPos(&caret);
      HIMC context = ::ImmGetContext(paint);
      if (context != nullptr) {
        COMPOSITIONFORM form = {};
        form.dwStyle = CFS_FORCE_POSITION;
        form.ptCurrentPos.x = caret.x + m_pHost->GetCaretWidth();
        form.ptCurrentPos.y = caret.y;
        ::ImmSetCompositionWindow(context, &form);
        HFONT font = m_pManager->GetFontHandle(m_iFont);
        LOGFONTW logFont = {};
        if (font != nullptr && ::GetObjectW(font, sizeof(logFont), &logFont) != 0) {
          ::ImmSetCompositionFontW(context, &logFont);
        }
        ::ImmReleaseContext(paint, context);
      }
    }
    return 0;
  } else if (message == WM_CONTEXTMENU) {
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ScreenToClient(paint, &point);
    if (m_pManager->FindControlAtPoint(CUIPoint(point.x, point.y)) != this) return 0;
  } else if (message == WM_HELP) {
    handledIfSent = false;
  } else if (message == WM_IME_CHAR) {
    // An input-method character is typed text: only the focused editor takes it.
    if (!IsFocused()) return 0;
  } else {
    return 0;
  }
  const bool systemKey = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP || message == WM_SYSCHAR ||
                         message == WM_SYSDEADCHAR;
  const bool keyboard = message >= WM_KEYFIRST && message <= WM_SYSDEADCHAR;
  const bool capturedMouse = mouse && m_pHost->HasFlag(CRichEditHost::kFlagCaptured);
  LRESULT result = 0;
  const HRESULT hr = TxSendMessage(message, wParam, lParam, &result);
  // Alt+F4, Alt+Space and F10 belong to the window unless the engine used them.
  if (hr == S_OK || (keyboard && !systemKey) || message == WM_IME_CHAR || capturedMouse) handled = handledIfSent;
  return result;
}

void CRichEditUI::HandleEvent(UIEvent& event) {
  if (ForwardMouseEventWhileDisabled(event)) return;
  switch (event.Type) {
    case kUIEventSetCursor:
      if (IsEnabled() && HasEngine() && Contains(m_pHost->GetClientRect(), {event.ptMouse.x, event.ptMouse.y})) {
        const CUIRect& client = m_pHost->GetClientRect();
        RECT rc = {client.left, client.top, client.right, client.bottom};
        const bool active = m_pHost->HasFlag(CRichEditHost::kFlagInPlaceActive);
        m_pHost->GetServices()->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr,
                                              m_pManager != nullptr ? m_pManager->GetPaintDC() : nullptr, nullptr,
                                              active ? nullptr : &rc, event.ptMouse.x, event.ptMouse.y);
        return;
      }
      break;
    case kUIEventWindowSize:
      if (m_pHost != nullptr) m_pHost->SetFlag(CRichEditHost::kFlagCaretDirty, true);
      break;
    case kUIEventSetFocus:
    case kUIEventKillFocus: {
      const bool focus = event.Type == kUIEventSetFocus;
      if (HasEngine()) {
        m_pHost->GetServices()->OnTxInPlaceActivate(nullptr);
        m_pHost->Send(focus ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0, nullptr);
      }
      m_bFocused = focus;
      Invalidate();
      return;
    }
    case kUIEventTimer:
      if (event.wParam == kCaretTimerId) {
        if (m_pHost != nullptr && m_pManager != nullptr && m_pManager->IsLayered() && IsFocused() &&
            ::GetFocus() == m_pManager->GetPaintWindow()) {
          m_bCaretOn = !m_bCaretOn;
          POINT caret = {};
          ::GetCaretPos(&caret);
          CUIRect area(caret.x, caret.y, caret.x + m_pHost->GetCaretWidth(), caret.y + m_pHost->GetCaretHeight());
          for (CControlUI* control = this; control != nullptr; control = control->GetParent()) {
            CUIRect clipped;
            if (!IntersectRects(&clipped, area, control->GetPos())) return;
            area = clipped;
          }
          m_pManager->InvalidateArea(area);
        }
        return;
      }
      if (m_pHost != nullptr) m_pHost->Send(WM_TIMER, event.wParam, event.lParam, nullptr);
      return;
    case kUIEventScrollWheel:
      if ((event.wKeyState & kUIKeyStateControl) != 0) return;
      break;
    case kUIEventButtonDown:
    case kUIEventDoubleClick:
    case kUIEventMouseMove:
    case kUIEventButtonUp:
    case kUIEventKeyDown:
    case kUIEventKeyUp:
    case kUIEventChar:
    case kUIEventSysKey:
      // The message filter has given these to the engine already.
      return;
    default:
      break;
  }
  CContainerUI::HandleEvent(event);
}

// --- Engine callbacks ---

HRESULT CRichEditUI::TxSendMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (result != nullptr) *result = 0;
  if (m_pHost == nullptr) return S_FALSE;
  if (message == WM_KEYDOWN) {
    m_bSwallowReturnChar = false;
    if (wParam == VK_RETURN) {
      const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
      if (!m_bWantReturn || (ctrl && !m_bWantCtrlReturn)) {
        // The character that TranslateMessage makes of this key must not
        // reach the engine either, or it would insert the break after all.
        m_bSwallowReturnChar = true;
        // The listener may delete this control: nothing of it is touched after.
        if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("return"));
        return S_OK;
      }
    }
  } else if (message == WM_CHAR && m_bSwallowReturnChar) {
    if (wParam == L'\r' || wParam == L'\n') {
      m_bSwallowReturnChar = false;
      return S_OK;
    }
  }
  return m_pHost->Send(message, wParam, lParam, result);
}

bool CRichEditUI::OnTxViewChanged() { return true; }

void CRichEditUI::OnTxNotify(DWORD code, void* data) {
  switch (code) {
    case EN_CHANGE:
      // Every change of the text is reported, the program's own edits too. A
      // change of the default font or colour is not one, although an engine
      // may report it so: the colour is latched while the control paints,
      // and a handler must not run from inside a paint.
      if (m_iFormatChanges > 0 || m_bDestroying || m_pManager == nullptr) return;
      m_pManager->SendNotify(this, UI_TEXT("textchanged"));
      return;
    case EN_MSGFILTER:
    case EN_SELCHANGE:
    case EN_DROPFILES:
    case EN_PROTECTED:
    case EN_STOPNOUNDO:
    case EN_SAVECLIPBOARD:
    case EN_OLEOPFAILED:
    case EN_OBJECTPOSITIONS:
    case EN_LINK:
    case EN_DRAGDROPDONE: {
      if (data == nullptr || m_pManager == nullptr) return;
      const HWND paint = m_pManager->GetPaintWindow();
      NMHDR* header = static_cast<NMHDR*>(data);
      header->hwndFrom = paint;
      header->idFrom = static_cast<UINT_PTR>(::GetWindowLongPtrW(paint, GWLP_ID));
      header->code = code;
      ::SendMessageW(paint, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
      return;
    }
    default:
      return;
  }
}

// --- Scrolling ---

void CRichEditUI::SendScroll(UINT message, WPARAM code) {
  if (m_pHost != nullptr) m_pHost->Send(message, code, 0, nullptr);
}

void CRichEditUI::SetScrollPos(CUISize pos) {
  int dx = 0;
  int dy = 0;
  CScrollBarUI* vertical = m_pVerticalScrollBar;
  CScrollBarUI* horizontal = m_pHorizontalScrollBar;
  if (vertical != nullptr && vertical->IsVisible()) {
    const int old = vertical->GetScrollPos();
    vertical->SetScrollPos(pos.cy, true);
    dy = vertical->GetScrollPos() - old;
  }
  if (horizontal != nullptr && horizontal->IsVisible()) {
    const int old = horizontal->GetScrollPos();
    horizontal->SetScrollPos(pos.cx, true);
    dx = horizontal->GetScrollPos() - old;
  }
  if (dy != 0 && m_pVerticalScrollBar != nullptr) {
    SendScroll(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, m_pVerticalScrollBar->GetScrollPos()));
    vertical = m_pVerticalScrollBar;
    if (!m_bRich && vertical != nullptr && vertical->IsVisible() && dy > 0 && vertical->GetScrollPos() <= pos.cy) {
      vertical->SetScrollPos(pos.cy, true);
    }
  }
  if (dx != 0 && m_pHorizontalScrollBar != nullptr) {
    SendScroll(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, m_pHorizontalScrollBar->GetScrollPos()));
  }
}

void CRichEditUI::LineUp() { SendScroll(WM_VSCROLL, SB_LINEUP); }

void CRichEditUI::LineDown() {
  const int before = m_pVerticalScrollBar != nullptr ? m_pVerticalScrollBar->GetScrollPos() : 0;
  SendScroll(WM_VSCROLL, SB_LINEDOWN);
  CScrollBarUI* vertical = m_pVerticalScrollBar;
  if (!m_bRich && vertical != nullptr && vertical->IsVisible() && vertical->GetScrollPos() <= before) {
    vertical->SetScrollPos(vertical->GetScrollRange(), true);
  }
}

void CRichEditUI::PageUp() { SendScroll(WM_VSCROLL, SB_PAGEUP); }
void CRichEditUI::PageDown() { SendScroll(WM_VSCROLL, SB_PAGEDOWN); }
void CRichEditUI::ScrollToTop() { SendScroll(WM_VSCROLL, SB_TOP); }
void CRichEditUI::ScrollToBottom() { SendScroll(WM_VSCROLL, SB_BOTTOM); }
void CRichEditUI::LineLeft() { SendScroll(WM_HSCROLL, SB_LINELEFT); }
void CRichEditUI::LineRight() { SendScroll(WM_HSCROLL, SB_LINERIGHT); }
void CRichEditUI::PageLeft() { SendScroll(WM_HSCROLL, SB_PAGELEFT); }
void CRichEditUI::PageRight() { SendScroll(WM_HSCROLL, SB_PAGERIGHT); }
void CRichEditUI::ScrollToLeftEnd() { SendScroll(WM_HSCROLL, SB_LEFT); }
void CRichEditUI::ScrollToRightEnd() { SendScroll(WM_HSCROLL, SB_RIGHT); }

// --- Attributes ---

CUIString CRichEditUI::GetAttribute(const UIChar* name) {
  if (name == nullptr) return CUIString();
  auto answer = [](bool value) { return CUIString(value ? UI_TEXT("true") : UI_TEXT("false")); };
  if (IsName(name, UI_TEXT("wanttab"))) return answer(m_bWantTab);
  if (IsName(name, UI_TEXT("wantreturn"))) return answer(m_bWantReturn);
  if (IsName(name, UI_TEXT("wantctrlreturn"))) return answer(m_bWantCtrlReturn);
  if (IsName(name, UI_TEXT("rich"))) return answer(m_bRich);
  if (IsName(name, UI_TEXT("transparent"))) return answer(m_bTransparent);
  return CContainerUI::GetAttribute(name);
}

void CRichEditUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (name == nullptr || value == nullptr) return;
  if (IsName(name, UI_TEXT("vscrollbar"))) {
    if (IsTrue(value)) m_dwStyle |= WS_VSCROLL | ES_DISABLENOSCROLL;
    CContainerUI::SetAttribute(name, value);
  } else if (IsName(name, UI_TEXT("hscrollbar"))) {
    if (IsTrue(value)) m_dwStyle |= WS_HSCROLL | ES_DISABLENOSCROLL;
    CContainerUI::SetAttribute(name, value);
  } else if (IsName(name, UI_TEXT("autovscroll"))) {
    if (IsTrue(value)) m_dwStyle |= ES_AUTOVSCROLL;
    CContainerUI::SetAttribute(name, value);
  } else if (IsName(name, UI_TEXT("autohscroll"))) {
    if (IsTrue(value)) m_dwStyle |= ES_AUTOHSCROLL;
  } else if (IsName(name, UI_TEXT("wanttab"))) {
    SetWantTab(IsTrue(value));
  } else if (IsName(name, UI_TEXT("wantreturn"))) {
    SetWantReturn(IsTrue(value));
  } else if (IsName(name, UI_TEXT("wantctrlreturn"))) {
    SetWantCtrlReturn(IsTrue(value));
  } else if (IsName(name, UI_TEXT("transparent"))) {
    SetTransparent(IsTrue(value));
  } else if (IsName(name, UI_TEXT("rich"))) {
    SetRich(IsTrue(value));
  } else if (IsName(name, UI_TEXT("multiline"))) {
    if (UITextCompare(value, UI_TEXT("false")) == 0) m_dwStyle &= ~static_cast<DWORD>(ES_MULTILINE);
  } else if (IsName(name, UI_TEXT("readonly"))) {
    if (IsTrue(value)) m_dwStyle |= ES_READONLY;
  } else if (IsName(name, UI_TEXT("password"))) {
    if (IsTrue(value)) m_dwStyle |= ES_PASSWORD;
  } else if (IsName(name, UI_TEXT("tipvalue"))) {
    SetTipValue(value);
  } else if (IsName(name, UI_TEXT("tipvaluecolor"))) {
    SetTipValueColor(value);
  } else if (IsName(name, UI_TEXT("align"))) {
    const CUIString text(value);
    if (text.FindText(UI_TEXT("left")) >= 0) m_dwStyle &= ~static_cast<DWORD>(ES_CENTER | ES_RIGHT);
    if (text.FindText(UI_TEXT("center")) >= 0) {
      m_dwStyle |= ES_CENTER;
      m_dwStyle &= ~static_cast<DWORD>(ES_RIGHT);
    }
    if (text.FindText(UI_TEXT("right")) >= 0) {
      m_dwStyle |= ES_RIGHT;
      m_dwStyle &= ~static_cast<DWORD>(ES_CENTER);
    }
  } else if (IsName(name, UI_TEXT("font"))) {
    SetFont(static_cast<int>(wcstol(value, nullptr, 10)));
  } else if (IsName(name, UI_TEXT("textcolor"))) {
    SetTextColor(ParseColor(value));
  } else if (IsName(name, UI_TEXT("textpadding"))) {
    CUIRect padding;
    UIChar* end = nullptr;
    padding.left = static_cast<int>(wcstol(value, &end, 10));
    if (*end != 0) padding.top = static_cast<int>(wcstol(end + 1, &end, 10));
    if (*end != 0) padding.right = static_cast<int>(wcstol(end + 1, &end, 10));
    if (*end != 0) padding.bottom = static_cast<int>(wcstol(end + 1, &end, 10));
    SetTextPadding(padding);
  } else if (IsName(name, UI_TEXT("maxchar")) || IsName(name, UI_TEXT("limittext"))) {
    SetLimitText(static_cast<int>(wcstol(value, nullptr, 10)));
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

}  // namespace Trellis
