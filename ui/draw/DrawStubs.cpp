// Temporary body until the markup text lands.
#include "ui/draw/DrawEngine.h"

namespace Trellis {

void CDrawEngine::DrawMarkupText(HDC, CWindowManagerUI*, CUIRect&, const UIChar*, DWORD, CUIRect*, CUIString*, int& n,
                                 int, UINT) {
  n = 0;
}

}  // namespace Trellis
