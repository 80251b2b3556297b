// CDrawClip: a rectangular or rounded clip selected for the life of the record.
#include "ui/base/UIGeometryWin.h"
#include "ui/draw/DrawEngine.h"

namespace Trellis {

namespace {

// The region to AND the new clip with: the DC's clip region when it has one,
// else its clip box. outer receives what to select again at the end (null: no
// clip region was set, so none is set back).
OwnedRegion SaveOuterClip(HDC dc, OwnedRegion* outer) {
  OwnedRegion current(::CreateRectRgn(0, 0, 0, 0));
  if (current && ::GetClipRgn(dc, current.Get()) == 1) {
    OwnedRegion copy(::CreateRectRgn(0, 0, 0, 0));
    if (copy) ::CombineRgn(copy.Get(), current.Get(), nullptr, RGN_COPY);
    *outer = std::move(copy);
    return current;
  }
  outer->Reset();
  RECT box = {};
  ::GetClipBox(dc, &box);
  return OwnedRegion(::CreateRectRgnIndirect(&box));
}

}  // namespace

CDrawClip::~CDrawClip() {
  if (m_hDC == nullptr) return;
  ::SelectClipRgn(m_hDC, m_hOldRgn.Get());  // null selects no clip, as before
}

void CDrawClip::CreateRectClip(HDC dc, const CUIRect& rc, CDrawClip& clip) {
  if (dc == nullptr) return;
  OwnedRegion bound = SaveOuterClip(dc, &clip.m_hOldRgn);
  clip.m_hRgn.Reset(::CreateRectRgnIndirect(AsRECT(&rc)));
  if (clip.m_hRgn && bound) ::CombineRgn(clip.m_hRgn.Get(), clip.m_hRgn.Get(), bound.Get(), RGN_AND);
  ::SelectClipRgn(dc, clip.m_hRgn.Get());
  clip.m_hDC = dc;
  clip.m_rcItem = rc;
}

void CDrawClip::CreateRoundRectClip(HDC dc, const CUIRect& rc, const CUIRect& rcItem, int width, int height,
                                    CDrawClip& clip) {
  if (dc == nullptr) return;
  OwnedRegion bound = SaveOuterClip(dc, &clip.m_hOldRgn);
  clip.m_hRgn.Reset(::CreateRectRgnIndirect(AsRECT(&rc)));
  OwnedRegion round(::CreateRoundRectRgn(rcItem.left, rcItem.top, rcItem.right + 1, rcItem.bottom + 1, width, height));
  if (clip.m_hRgn && round) ::CombineRgn(clip.m_hRgn.Get(), clip.m_hRgn.Get(), round.Get(), RGN_AND);
  if (clip.m_hRgn && bound) ::CombineRgn(clip.m_hRgn.Get(), clip.m_hRgn.Get(), bound.Get(), RGN_AND);
  ::SelectClipRgn(dc, clip.m_hRgn.Get());
  clip.m_hDC = dc;
  clip.m_rcItem = rc;
}

void CDrawClip::SelectOuterClip(HDC dc, CDrawClip& clip) {
  if (dc != nullptr) ::SelectClipRgn(dc, clip.m_hOldRgn.Get());
}

void CDrawClip::SelectInnerClip(HDC dc, CDrawClip& clip) {
  if (dc != nullptr && clip.m_hRgn) ::SelectClipRgn(dc, clip.m_hRgn.Get());
}

}  // namespace Trellis
