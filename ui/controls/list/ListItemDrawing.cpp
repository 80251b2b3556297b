#include "ui/controls/list/ListItemDrawing.h"

#include "ui/base/UIGeometryWin.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/control/portable/FloatPlacement.h"
#include "ui/controls/HotState.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

void InvalidateListItem(CControlUI* item) {
  if (!item->IsVisible()) return;
  CControlUI* parent = item->GetParent();
  CWindowManagerUI* manager = item->GetManager();
  auto* container = parent != nullptr ? static_cast<CContainerUI*>(parent->GetInterface(UI_TEXT("Container"))) : nullptr;
  if (container == nullptr || manager == nullptr) {
    item->Invalidate();
    return;
  }
  CUIRect area = container->GetPos();
  const CUIRect inset = container->GetInset();
  area.left += inset.left;
  area.top += inset.top;
  area.right -= inset.right;
  area.bottom -= inset.bottom;
  CScrollBarUI* vbar = container->GetVerticalScrollBar();
  if (vbar != nullptr && vbar->IsVisible()) area.right -= vbar->GetFixedWidth();
  CScrollBarUI* hbar = container->GetHorizontalScrollBar();
  if (hbar != nullptr && hbar->IsVisible()) area.bottom -= hbar->GetFixedHeight();
  CUIRect clipped;
  if (!::IntersectRect(AsRECT(&clipped), AsRECT(&area), AsRECT(&item->GetPos()))) return;
  for (CControlUI* above = parent->GetParent(); above != nullptr; above = above->GetParent()) {
    CUIRect next;
    if (!::IntersectRect(AsRECT(&next), AsRECT(&clipped), AsRECT(&above->GetPos()))) return;
    clipped = next;
  }
  manager->InvalidateArea(clipped);
}

void DrawListItemBk(CControlUI* item, HDC hDC, UIListInfo& info, UIImageDrawInfo& ownBk, UINT buttonState,
                    bool selected, int drawIndex) {
  const bool hot = (buttonState & kUIStateHot) != 0;
  const bool disabled = !item->IsEnabled();
  const bool oddRow = (drawIndex % 2) != 0;
  DWORD color = info.dwBkColor;
  if (info.bAlternateBk && oddRow) color = 0;
  if (hot) color = info.dwHotBkColor;
  if (selected) color = info.dwSelectedBkColor;
  if (disabled) color = info.dwDisabledBkColor;
  if (color != 0) CDrawEngine::FillColor(hDC, item->GetPos(), item->ApplyHslToColor(color));
  if (disabled && item->DrawImage(hDC, info.diDisabled)) return;
  if (selected && item->DrawImage(hDC, info.diSelected)) return;
  if (hot && item->DrawImage(hDC, info.diHot)) return;
  if (item->DrawImage(hDC, ownBk)) return;
  if (!info.bAlternateBk || !oddRow) item->DrawImage(hDC, info.diBk);
}

bool HandleListItemHot(CControlUI* item, UIEvent& event, UINT& buttonState) {
  return TrackHotState(*item, event, buttonState, InvalidateListItem);
}

void NumberListRows(CContainerUI& body) {
  int row = 0;
  for (int i = 0; i < body.GetCount(); ++i) {
    CControlUI* child = body.GetItemAt(i);
    if (!child->IsVisible() || child->IsFloat()) continue;
    auto* item = static_cast<IListItemUI*>(child->GetInterface(UI_TEXT("IListItem")));
    if (item != nullptr) item->SetDrawIndex(row++);
  }
}

void DrawListRowLines(CContainerUI& body, HDC hDC, const CUIRect& rcPaint, const UIListInfo& info) {
  if (info.iHLineSize <= 0) return;
  CUIRect area;
  if (!IntersectRects(&area, rcPaint, body.GetClientPos())) return;
  CDrawClip clip;
  CDrawClip::CreateRectClip(hDC, area, clip);
  for (int i = 0; i < body.GetCount(); ++i) {
    CControlUI* child = body.GetItemAt(i);
    if (!child->IsVisible() || child->IsFloat()) continue;
    const CUIRect& rc = child->GetPos();
    const int top = rc.bottom + child->GetPadding().bottom;
    const CUIRect band(rc.left, top, rc.right, top + info.iHLineSize);
    CUIRect unused;
    if (!IntersectRects(&unused, band, rcPaint)) continue;
    const int y = band.top + info.iHLineSize / 2;
    CDrawEngine::DrawLine(hDC, CUIRect(band.left, y, band.right, y), info.iHLineSize,
                          child->ApplyHslToColor(info.dwHLineColor));
  }
}

}  // namespace Trellis
