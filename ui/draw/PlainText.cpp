// DrawPlainText: one DrawTextW call in the manager's font.
#include "ui/base/UIGeometryWin.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

void CDrawEngine::DrawPlainText(HDC dc, CWindowManagerUI* manager, CUIRect& rc, const UIChar* text, DWORD color,
                                int font, UINT style) {
  if (dc == nullptr || manager == nullptr || text == nullptr) return;
  CUIString expanded(text);
  CWindowManagerUI::ProcessMultiLanguageTokens(expanded);
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = ::SetTextColor(dc, RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF));
  {
    SelectObjectScope selectFont(dc, manager->GetFontHandle(font));
    ::DrawTextW(dc, expanded.GetText(), -1, AsRECT(&rc), style | DT_NOPREFIX);
  }
  ::SetTextColor(dc, oldColor);
  ::SetBkMode(dc, oldMode);
}

}  // namespace Trellis
