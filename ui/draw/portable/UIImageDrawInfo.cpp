#include "ui/draw/portable/UIImageDrawInfo.h"

namespace Trellis {

void UIImageDrawInfo::Clear() {
  sDrawString.Clear();
  sImageName.Clear();
  pImageInfo = nullptr;
  bLoaded = false;
  rcDest = CUIRect();
  rcSource = CUIRect();
  rcCorner = CUIRect();
  uFade = 255;
  bHole = false;
  bTiledX = false;
  bTiledY = false;
}

}  // namespace Trellis
