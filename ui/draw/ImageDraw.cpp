// Drawing described images: DrawImageString (image description records) and
// DrawImageAttribute (CImageAttribute objects).
#include <algorithm>

#include "ui/base/UIGeometryWin.h"
#include "ui/draw/DrawEngine.h"
#include "ui/draw/ImageAttribute.h"
#include "ui/draw/portable/ImageDescription.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Meets(const CUIRect& a, const CUIRect& b) {
  RECT out;
  return ::IntersectRect(&out, AsRECT(&a), AsRECT(&b)) != FALSE;
}

bool IsZero(const CUIRect& rc) { return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0; }

// The destination of an image in rc: rc itself, or dest relative to rc and
// cut at rc's right and bottom.
CUIRect PlaceDest(const CUIRect& rc, const CUIRect& dest) {
  if (IsZero(dest)) return rc;
  return CUIRect(rc.left + dest.left, rc.top + dest.top, std::min(rc.right, rc.left + dest.right),
                 std::min(rc.bottom, rc.top + dest.bottom));
}

void ClampSource(CUIRect* source, const UIImageInfo* image) {
  if (IsZero(*source)) *source = CUIRect(0, 0, image->nX, image->nY);
  if (source->right > image->nX) source->right = image->nX;
  if (source->bottom > image->nY) source->bottom = image->nY;
}

}  // namespace

bool CDrawEngine::DrawImageString(HDC dc, CWindowManagerUI* manager, const CUIRect& rc, const CUIRect& rcPaint,
                                  UIImageDrawInfo& info) {
  if (manager == nullptr) return true;
  if (info.pImageInfo == nullptr) {
    if (info.bLoaded) return false;  // failed before: not asked for again until the text changes
    info.bLoaded = true;
    if (info.sDrawString.IsEmpty()) return false;
    UIImageDescription description;
    ParseImageDescription(info.sDrawString.GetText(), &description);
    info.sImageName = description.name;
    info.rcDest = description.dest;
    info.rcSource = description.sourceRect;
    info.rcCorner = description.corner;
    info.uFade = description.fade;
    info.bHole = description.hole;
    info.bTiledX = description.xtiled;
    info.bTiledY = description.ytiled;
    info.pImageInfo = manager->GetOrAddImage(info.sImageName.GetText(), description.LoadType(), description.mask,
                                             description.hsl);
    if (info.pImageInfo == nullptr) return false;
    if (IsZero(info.rcSource)) info.rcSource = CUIRect(0, 0, info.pImageInfo->nX, info.pImageInfo->nY);
  }
  ClampSource(&info.rcSource, info.pImageInfo);
  if (dc == nullptr) return true;
  const CUIRect dest = PlaceDest(rc, info.rcDest);
  if (Meets(dest, rc) && Meets(dest, rcPaint)) {
    DrawImage(dc, info.pImageInfo->hBitmap.Get(), dest, rcPaint, info.rcSource, info.rcCorner,
              info.pImageInfo->bAlpha != 0, info.uFade, info.bHole, info.bTiledX, info.bTiledY);
  }
  return true;
}

bool CDrawEngine::DrawImageAttribute(HDC dc, CWindowManagerUI* manager, const CUIRect& rc, const CUIRect& rcPaint,
                                     CImageAttribute& image) {
  if (manager == nullptr || dc == nullptr || image.GetDescription().IsEmpty()) return false;
  UIImageInfo* info = image.GetLoadedImage();
  if (info == nullptr) return false;
  const CUIRect dest = PlaceDest(rc, image.GetDest());
  if (!Meets(dest, rc)) return true;
  if (Meets(dest, rcPaint)) {
    CUIRect source = image.GetSource();
    ClampSource(&source, info);
    const bool alpha = manager->IsImageAlphaForced() || info->bAlpha != 0;
    DrawImage(dc, info->hBitmap.Get(), dest, rcPaint, source, image.GetCorner(), alpha, image.GetFade(),
              image.IsHole(), image.IsTiledX(), image.IsTiledY());
  }
  return true;
}

}  // namespace Trellis
