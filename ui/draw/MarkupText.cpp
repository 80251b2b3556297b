// DrawMarkupText: text with tags for fonts, colours, links, inline images,
// line and paragraph breaks, laid out line by line.
//
// Sections: --- Tags --- --- Layout state --- --- Lines --- --- Entry point ---
//
// Each line is run twice when drawing: once to measure its width and height
// (for alignment and the baseline), then, from the saved state, to draw it.
// Links are recorded by the final run of a line only, into slots bounded by
// the caller's capacity.
#include <algorithm>
#include <cwchar>
#include <utility>
#include <vector>

#include "ui/base/UIGeometryWin.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/draw/DrawEngine.h"
#include "ui/draw/UIFontInfo.h"
#include "ui/draw/portable/MarkupTags.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

// --- Tags --- (the grammar is in portable/MarkupTags)

bool IsAsciiLetter(UIChar ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }

int ParamInt(const CUIString& param) { return ParseAttributeInt(param.GetText()); }

// --- Layout state ---

// The values ParseMarkupVAlign gives.
enum VAlign { kAlignBottom = 0, kAlignCenter = 1, kAlignTop = 2 };

// Everything a line run changes; saved before the measuring run of a line and
// restored for the drawing run.
struct MarkupState {
  const UIChar* p = nullptr;
  std::vector<HFONT> fonts;
  std::vector<DWORD> colors;
  std::vector<int> paragraphs;
  std::vector<int> valigns;
  bool selected = false;
  bool raw = false;
  bool inLink = false;
  CUIString linkText;
  int linkIndex = 0;
  // An ellipsis ended what shows of the line: the rest of its text, up to the
  // next line break, is passed over (its tags still take effect, its text,
  // images and steps do not), so an elided line neither spills onto the next
  // nor leaves an empty line behind when a break follows it.
  bool elided = false;
};

// Font ids of fonts that markup adds to a manager: one counter for the process.
int NextMarkupFontId() {
  static int next = 30000;  // UI thread only
  return next++;
}

class MarkupRenderer {
 public:
  MarkupRenderer(HDC dc, CWindowManagerUI* manager, const CUIRect& rc, DWORD color, CUIRect* links,
                 CUIString* linkTexts, int capacity, int font, UINT style)
      : m_dc(dc),
        m_manager(manager),
        m_rc(rc),
        m_color(color),
        m_links(links),
        m_linkTexts(linkTexts),
        m_capacity(links != nullptr && linkTexts != nullptr ? std::max(capacity, 0) : 0),
        m_style(style),
        m_measureOnly((style & DT_CALCRECT) != 0),
        m_singleLine((style & DT_SINGLELINE) != 0) {
    m_initialFont = manager->GetFontHandle(font);
  }

  // Lays out (and draws) the text; returns the number of links found.
  int Run(const UIChar* text, const CUIString& hovered, CUIRect* extent);

 private:
  // --- Lines ---
  struct LineResult {
    int width = 0;   // x reached, relative to the rectangle's left
    int height = 0;
  };
  void RunLine(MarkupState& st, bool final, int lineTop, int lineHeight, int xShift, LineResult* out);
  bool RunText(MarkupState& st, bool final, int lineTop, int lineHeight, int& x, int lineStart, bool* lineEnded);
  void OpenTagEffect(MarkupState& st, const MarkupToken& token, bool final, int lineTop, int lineHeight, int& x,
                     int lineStart, int& height, bool* lineEnded, const UIChar* tagStart);
  void CloseTagEffect(MarkupState& st, UIChar letter, bool final, int lineTop, int& x, int lineStart, int& height,
                      bool* lineEnded);
  bool DrawInlineImage(MarkupState& st, const CUIString& param, bool final, int lineTop, int lineHeight, int& x,
                       int lineStart, int& height);

  // Fonts and colours.
  HFONT CurrentFont(const MarkupState& st) const { return st.fonts.empty() ? m_initialFont : st.fonts.back(); }
  DWORD CurrentColor(const MarkupState& st) const { return st.colors.empty() ? m_color : st.colors.back(); }
  int CurrentParagraph(const MarkupState& st) const { return st.paragraphs.empty() ? 0 : st.paragraphs.back(); }
  int CurrentVAlign(const MarkupState& st) const { return st.valigns.empty() ? kAlignBottom : st.valigns.back(); }
  void Select(const MarkupState& st);
  HFONT StyledCopy(HFONT font, int which);
  HFONT FontFromParam(const CUIString& param);
  int LineHeightFloor(const MarkupState& st) const {
    return CurrentParagraph(st) + m_tm.tmHeight + m_tm.tmExternalLeading;
  }
  int TextTop(const MarkupState& st, int lineTop, int lineHeight) const;
  void CloseLinkAtLineEnd(MarkupState& st, bool final, int lineTop, int x, int nextLineStart);

  HDC m_dc;
  CWindowManagerUI* m_manager;
  CUIRect m_rc;
  DWORD m_color;
  CUIRect* m_links;
  CUIString* m_linkTexts;
  int m_capacity;
  UINT m_style;
  bool m_measureOnly;
  bool m_singleLine;
  HFONT m_initialFont = nullptr;
  TEXTMETRICW m_tm = {};                                  // of the selected font
  HFONT m_selectedFont = nullptr;                         // the font now selected by Select
  std::vector<std::pair<HFONT, TEXTMETRICW>> m_metrics;   // fonts measured during this call
  CUIString m_hovered;
  int m_linkStartX = 0;
  int m_lowestImage = 0;
};

void MarkupRenderer::Select(const MarkupState& st) {
  HFONT font = CurrentFont(st);
  if (font != m_selectedFont || m_selectedFont == nullptr) {
    if (font != nullptr) ::SelectObject(m_dc, font);
    m_selectedFont = font;
    // Metrics of each font once per call: tags switch fonts back and forth.
    auto known = std::find_if(m_metrics.begin(), m_metrics.end(),
                              [font](const std::pair<HFONT, TEXTMETRICW>& entry) { return entry.first == font; });
    if (known != m_metrics.end()) {
      m_tm = known->second;
    } else {
      ::GetTextMetricsW(m_dc, &m_tm);
      m_metrics.emplace_back(font, m_tm);
    }
  }
  const DWORD c = CurrentColor(st);
  ::SetTextColor(m_dc, RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
  ::SetBkMode(m_dc, st.selected ? OPAQUE : TRANSPARENT);
}

// A copy of the font with one more style (0 bold, 1 italic, 2 underline),
// found in the manager or added to it; the font itself when it has the style.
HFONT MarkupRenderer::StyledCopy(HFONT font, int which) {
  UIFontInfo* info = m_manager->GetFontInfoByHandle(font);
  if (info == nullptr) return nullptr;
  bool bold = info->bBold != 0, italic = info->bItalic != 0, underline = info->bUnderline != 0;
  bool* flag = which == 0 ? &bold : (which == 1 ? &italic : &underline);
  if (*flag) return nullptr;  // already in force: nothing pushed
  *flag = true;
  HFONT found = m_manager->FindFontHandle(info->sFontName.GetText(), info->iSize, bold, underline, italic);
  if (found != nullptr) return found;
  const CUIString face = info->sFontName;  // AddFont may reorganise the table
  const int size = info->iSize;
  return m_manager->AddFont(NextMarkupFontId(), face.GetText(), size, bold, underline, italic);
}

// "f" parameter: a font id, or a font found or added for face, size, styles.
HFONT MarkupRenderer::FontFromParam(const CUIString& param) {
  const MarkupFontParam font = ParseMarkupFontParam(param.GetText());
  if (font.byId) return m_manager->GetFontHandle(font.id);
  if (font.face.IsEmpty()) return nullptr;
  HFONT found = m_manager->FindFontHandle(font.face.GetText(), font.size, font.bold, font.underline, font.italic);
  if (found != nullptr) return found;
  return m_manager->AddFont(NextMarkupFontId(), font.face.GetText(), font.size, font.bold, font.underline,
                            font.italic);
}

int MarkupRenderer::TextTop(const MarkupState& st, int lineTop, int lineHeight) const {
  const int spare = lineHeight - m_tm.tmHeight - m_tm.tmExternalLeading;
  switch (CurrentVAlign(st)) {
    case kAlignTop:
      return lineTop;
    case kAlignCenter:
      return lineTop + spare / 2;
    default:
      return lineTop + spare;
  }
}

// --- Lines ---

// A link still open at the end of a line: its rectangle ends here and a new
// slot with the same text continues it on the next line.
void MarkupRenderer::CloseLinkAtLineEnd(MarkupState& st, bool final, int lineTop, int x, int nextLineStart) {
  if (!st.inLink) return;
  // A link whose text all went to the next line leaves no empty piece here.
  if (x > m_linkStartX) {
    if (final && st.linkIndex < m_capacity) m_links[st.linkIndex] = CUIRect(m_linkStartX, lineTop, x, lineTop);
    ++st.linkIndex;
    if (final && st.linkIndex < m_capacity) m_linkTexts[st.linkIndex] = st.linkText;
  }
  m_linkStartX = nextLineStart;
}

bool MarkupRenderer::DrawInlineImage(MarkupState& st, const CUIString& param, bool final, int lineTop,
                                     int lineHeight, int& x, int lineStart, int& height) {
  const MarkupImageParam described = ParseMarkupImageParam(param.GetText());
  const CUIString& name = described.name;
  const UIChar* type = described.resType.IsEmpty() ? nullptr : described.resType.GetText();
  const int frames = described.frames;
  const int frame = described.frame;
  UIImageInfo* image = name.IsEmpty() ? nullptr : m_manager->GetOrAddImage(name.GetText(), type);
  if (image == nullptr) return true;  // skipped
  const int frameWidth = image->nX / frames;
  if (frameWidth < 1) return true;
  if (x + frameWidth > m_rc.right && x > lineStart && !m_singleLine) return false;  // goes to the next line
  height = std::max(height, image->nY);
  if (final && !m_measureOnly) {
    int top = lineTop + lineHeight - image->nY;
    if (CurrentVAlign(st) == kAlignCenter) top = lineTop + (lineHeight - image->nY) / 2;
    if (CurrentVAlign(st) == kAlignTop) top = lineTop;
    const CUIRect dest(x, top, x + frameWidth, top + image->nY);
    CDrawEngine::DrawImage(m_dc, image->hBitmap.Get(), dest, m_rc,
                           CUIRect(frameWidth * frame, 0, frameWidth * (frame + 1), image->nY), CUIRect(),
                           image->bAlpha != 0, 255);
  }
  m_lowestImage = std::max(m_lowestImage, lineTop + image->nY);
  x += frameWidth;
  return true;
}

void MarkupRenderer::OpenTagEffect(MarkupState& st, const MarkupToken& token, bool final, int lineTop, int lineHeight,
                                   int& x, int lineStart, int& height, bool* lineEnded, const UIChar* tagStart) {
  const CUIString param(token.param, token.paramLength);
  switch (token.letter) {
    case 'a': {
      st.inLink = true;
      st.linkText = param;
      m_linkStartX = x;
      if (final && st.linkIndex < m_capacity) m_linkTexts[st.linkIndex] = param;
      const bool hot = !m_hovered.IsEmpty() && m_hovered.EqualsText(param.GetText());
      st.colors.push_back(hot ? m_manager->GetDefaultLinkHoverFontColor() : m_manager->GetDefaultLinkFontColor());
      HFONT underlined = StyledCopy(CurrentFont(st), 2);
      if (underlined != nullptr) st.fonts.push_back(underlined);
      break;
    }
    case 'b':
    case 'u': {
      HFONT styled = StyledCopy(CurrentFont(st), token.letter == 'b' ? 0 : 2);
      if (styled != nullptr) st.fonts.push_back(styled);
      break;
    }
    case 'i':
      if (!param.IsEmpty()) {
        if (!DrawInlineImage(st, param, final, lineTop, lineHeight, x, lineStart, height)) {
          st.p = tagStart;  // the image starts the next line
          *lineEnded = true;
          return;
        }
      } else {
        HFONT styled = StyledCopy(CurrentFont(st), 1);
        if (styled != nullptr) st.fonts.push_back(styled);
      }
      break;
    case 'c':
      st.colors.push_back(ParseMarkupColor(param.GetText()));
      break;
    case 'f': {
      HFONT font = FontFromParam(param);
      if (font != nullptr) st.fonts.push_back(font);
      break;
    }
    case 'n':
      if (!m_singleLine) *lineEnded = true;
      break;
    case 'p':
      st.paragraphs.push_back(ParamInt(param));
      if (x > lineStart && !m_singleLine) *lineEnded = true;
      break;
    case 'r':
      st.raw = true;
      break;
    case 's':
      st.selected = !st.selected;
      break;
    case 'v':
      st.valigns.push_back(ParseMarkupVAlign(param.GetText()));
      break;
    case 'x':
      x += ParamInt(param);
      break;
    case 'y':
      height = ParamInt(param);
      break;
    default:
      break;  // unknown letters are skipped up to their bracket
  }
  Select(st);
  // Fonts and paragraphs raise the line to their height; "y" sets it as given.
  if (token.letter != 'y' && token.letter != 'x') height = std::max(height, LineHeightFloor(st));
}

void MarkupRenderer::CloseTagEffect(MarkupState& st, UIChar letter, bool final, int lineTop, int& x, int lineStart,
                                    int& height, bool* lineEnded) {
  const bool wasItalic = m_tm.tmItalic != 0;
  switch (letter) {
    case 'a':
    case 'b':
    case 'f':
    case 'i':
    case 'u': {
      // Every closing font tag removes the top font (when there is one),
      // whichever tag pushed it, also when its own opening pushed nothing
      // because the style was already in force.
      if (!st.fonts.empty()) st.fonts.pop_back();
      if (letter != 'a') break;
      if (!st.colors.empty()) st.colors.pop_back();
      if (st.inLink) {
        if (final && st.linkIndex < m_capacity) m_links[st.linkIndex] = CUIRect(m_linkStartX, lineTop, x, lineTop);
        ++st.linkIndex;
        st.inLink = false;
      }
      break;
    }
    case 'c':
      if (!st.colors.empty()) st.colors.pop_back();
      break;
    case 'p':
      if (!st.paragraphs.empty()) st.paragraphs.pop_back();
      if (x > lineStart && !m_singleLine) *lineEnded = true;
      break;
    case 'r':
      st.raw = false;
      break;
    case 's':
      st.selected = !st.selected;
      break;
    case 'v':
      if (!st.valigns.empty()) st.valigns.pop_back();
      break;
    default:
      break;
  }
  if (wasItalic) {
    ABC abc = {};
    const bool measured = ::GetCharABCWidthsW(m_dc, ' ', ' ', &abc) != FALSE;
    Select(st);
    if (measured && m_tm.tmItalic == 0) x += abc.abcC / 2;
  } else {
    Select(st);
  }
  height = std::max(height, LineHeightFloor(st));
}

// One run of text at st.p; false when the line must end before it (nothing of
// it fits on a line that already holds something).
bool MarkupRenderer::RunText(MarkupState& st, bool final, int lineTop, int lineHeight, int& x, int lineStart,
                             bool* lineEnded) {
  const UIChar* start = st.p;
  const UIChar* end = start;
  if (*start == ' ') {
    end = start + 1;  // a space is measured and drawn on its own
  } else {
    while (*end != 0 && *end != '\n' && *end != ' ') {
      if (st.raw ? IsMarkupRawEnd(end) : IsMarkupOpenBracket(*end)) break;
      ++end;
    }
    if (end == start) end = start + 1;  // a lone bracket that is no tag
  }
  if (st.elided) {
    st.p = end;
    return true;
  }
  const int length = static_cast<int>(end - start);
  const int room = m_rc.right - x;
  int fits = 0;
  SIZE extent = {};
  ::GetTextExtentExPointW(m_dc, start, length, std::max(room, 0), &fits, nullptr, &extent);
  if (fits >= length && extent.cx <= room) {
    if (final && !m_measureOnly) ::TextOutW(m_dc, x, TextTop(st, lineTop, lineHeight), start, length);
    x += extent.cx;
    st.p = end;
    return true;
  }
  // It overflows.
  const bool ellipsis = (m_style & DT_END_ELLIPSIS) != 0;
  if (*start == ' ' && x > lineStart && !ellipsis) {
    st.p = end;  // the space that would start the next line is dropped
    *lineEnded = true;
    return true;
  }
  int cut = fits;
  if ((m_style & DT_WORDBREAK) != 0 && !ellipsis) {
    int k = cut - 1;
    while (k >= 0 && IsAsciiLetter(start[k])) --k;
    if (k >= 0) {
      cut = k + 1;
    } else if (x > lineStart) {
      cut = 0;  // the word goes to the next line whole
    }
  }
  if (cut < 1 && x > lineStart && !ellipsis) {
    *lineEnded = true;
    return false;
  }
  if (!ellipsis && cut < 1) cut = 1;  // never fewer than one character on an empty line
  SIZE dots = {};
  if (ellipsis) {
    // Two characters fewer make room for the "..."; fewer still when the
    // dots are wider than that, so the ellipsis stays inside the rectangle.
    cut = cut > 2 ? cut - 2 : (cut > 1 ? 1 : cut);
    ::GetTextExtentPoint32W(m_dc, L"...", 3, &dots);
  }
  SIZE part = {};
  ::GetTextExtentPoint32W(m_dc, start, cut, &part);
  while (ellipsis && cut > 0 && part.cx + dots.cx > room) {
    --cut;
    ::GetTextExtentPoint32W(m_dc, start, cut, &part);
  }
  if (final && !m_measureOnly) {
    const int top = TextTop(st, lineTop, lineHeight);
    if (cut > 0) ::TextOutW(m_dc, x, top, start, cut);
    if (ellipsis) ::TextOutW(m_dc, x + part.cx, top, L"...", 3);
  }
  x += part.cx;
  if (ellipsis) {
    x += dots.cx;
    st.elided = true;  // the line goes on, unseen, to its break
    st.p = end;
    return true;
  }
  st.p = start + cut;
  *lineEnded = true;
  return true;
}

void MarkupRenderer::RunLine(MarkupState& st, bool final, int lineTop, int lineHeight, int xShift,
                             LineResult* out) {
  const int lineStart = m_rc.left + xShift;  // an aligned line starts shifted
  int x = lineStart;
  int height = LineHeightFloor(st);
  const int firstLink = st.linkIndex;
  if (st.inLink) m_linkStartX = x;
  bool lineEnded = false;
  while (!lineEnded && *st.p != 0) {
    const UIChar ch = *st.p;
    if (ch == '\n') {
      ++st.p;
      if (!m_singleLine) break;
      continue;
    }
    if (st.raw) {
      if (IsMarkupRawEnd(st.p)) {
        st.p += 4;
        st.raw = false;
        continue;
      }
    } else if (IsMarkupOpenBracket(ch)) {
      const UIChar* tagStart = st.p;
      const MarkupToken token = ReadMarkupToken(st.p);
      // Text, images and steps of an elided line do not show.
      const bool shows = token.kind == MarkupToken::kEscape ||
                         (token.kind == MarkupToken::kOpen &&
                          (token.letter == 'x' || (token.letter == 'i' && token.paramLength > 0)));
      if (st.elided && shows) {
        st.p = token.next;
        continue;
      }
      if (token.kind == MarkupToken::kEscape) {
        if (final && !m_measureOnly) ::TextOutW(m_dc, x, TextTop(st, lineTop, lineHeight), &token.letter, 1);
        SIZE size = {};
        ::GetTextExtentPoint32W(m_dc, &token.letter, 1, &size);
        x += size.cx;
        st.p = token.next;
        continue;
      }
      const int keptX = x, keptHeight = height;
      if (token.kind == MarkupToken::kOpen) {
        st.p = token.next;
        OpenTagEffect(st, token, final, lineTop, lineHeight, x, lineStart, height, &lineEnded, tagStart);
      } else if (token.kind == MarkupToken::kClose) {
        st.p = token.next;
        CloseTagEffect(st, token.letter, final, lineTop, x, lineStart, height, &lineEnded);
      }
      if (token.kind == MarkupToken::kOpen || token.kind == MarkupToken::kClose) {
        if (st.elided) {
          x = keptX;  // what an elided line shows is already laid out
          height = keptHeight;
        }
        continue;
      }
    }
    if (!RunText(st, final, lineTop, lineHeight, x, lineStart, &lineEnded)) break;
    if (x >= m_rc.right && !st.elided) lineEnded = true;
  }
  st.elided = false;
  const int lineBottom = lineTop + std::max(height, lineHeight);
  if (*st.p != 0) CloseLinkAtLineEnd(st, final, lineTop, x, lineStart);
  if (final) {
    // Every link rectangle of this line reaches the line's bottom.
    for (int i = firstLink; i < std::min(st.linkIndex + (st.inLink ? 1 : 0), m_capacity); ++i) {
      if (m_links[i].top == lineTop) m_links[i].bottom = lineBottom;
    }
  }
  out->width = x - m_rc.left;
  out->height = height;
}

int MarkupRenderer::Run(const UIChar* text, const CUIString& hovered, CUIRect* extent) {
  m_hovered = hovered;
  MarkupState st;
  st.p = text;
  ::SetBkColor(m_dc, RGB((m_manager->GetDefaultSelectedBkColor() >> 16) & 0xFF,
                         (m_manager->GetDefaultSelectedBkColor() >> 8) & 0xFF,
                         m_manager->GetDefaultSelectedBkColor() & 0xFF));
  Select(st);
  int lineTop = m_rc.top;
  int widest = 0;
  int lastBottom = m_rc.top;
  const bool multiLineAlign = !m_singleLine && (m_style & (DT_CENTER | DT_RIGHT)) != 0 && !m_measureOnly;
  for (;;) {
    if (lineTop >= m_rc.bottom && lineTop > m_rc.top) break;  // the next line would start below
    const MarkupState saved = st;
    const int savedLinkStart = m_linkStartX;
    LineResult measured;
    RunLine(st, m_measureOnly, lineTop, 0, 0, &measured);
    if (!m_measureOnly) {
      st = saved;
      m_linkStartX = savedLinkStart;
      Select(st);
      int shift = 0;
      if (multiLineAlign) {
        const int spare = m_rc.GetWidth() - measured.width;
        shift = (m_style & DT_CENTER) != 0 ? spare / 2 : spare;
        if (shift < 0) shift = 0;
      }
      LineResult drawn;
      RunLine(st, true, lineTop, measured.height, shift, &drawn);
    }
    widest = std::max(widest, measured.width);
    lastBottom = lineTop + measured.height;
    lineTop += measured.height;
    if (m_singleLine || *st.p == 0) break;
    if (st.p == saved.p) break;  // no progress: stop rather than loop
  }
  extent->left = m_rc.left;
  extent->top = m_rc.top;
  extent->right = std::min(m_rc.right, m_rc.left + widest);
  extent->bottom = std::max(lastBottom, m_lowestImage);
  return std::min(st.linkIndex, m_capacity);
}

}  // namespace

// --- Entry point ---

void CDrawEngine::DrawMarkupText(HDC dc, CWindowManagerUI* manager, CUIRect& rc, const UIChar* text, DWORD color,
                                 CUIRect* links, CUIString* linkTexts, int& linkCount, int font, UINT style) {
  const int capacity = linkCount;
  linkCount = 0;
  if (text == nullptr || manager == nullptr || rc.GetWidth() <= 0 || rc.GetHeight() <= 0) return;
  const bool measureOnly = (style & DT_CALCRECT) != 0;
  OwnedMemoryDC measuringDc;
  if (dc == nullptr) {
    if (!measureOnly) return;
    measuringDc.Reset(::CreateCompatibleDC(nullptr));
    if (!measuringDc) return;
    dc = measuringDc.Get();
  }
  CUIString expanded(text);
  CWindowManagerUI::ProcessMultiLanguageTokens(expanded);

  // Hover: the link of the previous paint under the mouse (slots past the
  // count of that paint are empty, see the clearing below).
  CUIString hovered;
  if (links != nullptr && linkTexts != nullptr) {
    const CUIPoint mouse = manager->GetMousePos();
    for (int i = 0; i < capacity; ++i) {
      const POINT pt = {mouse.x, mouse.y};
      if (::PtInRect(AsRECT(&links[i]), pt)) {
        hovered = linkTexts[i];
        break;
      }
    }
  }

  CUIRect area = rc;
  if ((style & 0xF) != 0 && !measureOnly) {
    CUIRect measure = (style & DT_SINGLELINE) != 0 ? CUIRect(0, 0, 9999, 100)
                                                   : CUIRect(0, 0, rc.GetWidth(), rc.GetHeight());
    int none = 0;
    DrawMarkupText(dc, manager, measure, text, color, nullptr, nullptr, none, font,
                   (style & ~0xFu) | DT_CALCRECT);
    const int width = measure.GetWidth();
    const int height = measure.GetHeight();
    if ((style & DT_SINGLELINE) != 0) {
      if ((style & DT_CENTER) != 0) {
        area.left += (rc.GetWidth() - width) / 2;
        area.right = area.left + width;
      } else if ((style & DT_RIGHT) != 0) {
        area.left = area.right - width;
      }
    }
    if ((style & DT_VCENTER) != 0) {
      area.top += (rc.GetHeight() - height) / 2;
      area.bottom = area.top + height;
    } else if ((style & DT_BOTTOM) != 0) {
      area.top = area.bottom - height;
    }
  }

  // The saved state brings the clip back too, so the clip is narrowed in place.
  const int savedDc = ::SaveDC(dc);
  {
    if (!measureOnly) ::IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    MarkupRenderer renderer(dc, manager, area, color, links, linkTexts, capacity, font, style);
    CUIRect extent;
    linkCount = renderer.Run(expanded.GetText(), hovered, &extent);
    if (measureOnly) {
      rc.bottom = extent.bottom;
      rc.right = std::min(rc.right, extent.right);
    }
  }
  ::RestoreDC(dc, savedDc);
  // Slots past the count hold no link any more, so the next hover test
  // cannot match a rectangle of an older paint.
  if (links != nullptr) {
    for (int i = linkCount; i < capacity; ++i) links[i] = CUIRect();
  }
}

}  // namespace Trellis
