#pragma once

// What both list-item families (plain elements and container elements) do
// the same way: repainting only the visible part of an item, painting the
// item background from the owner's appearance record, hot tracking, and
// (through the controls' life guard) noticing that a notification handler
// took the item away.
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlLifeGuard.h"
#include "ui/controls/list/ListInterfaces.h"

namespace Trellis {

// Invalidates the part of the item visible inside its parent's client area
// and every further ancestor; nothing while hidden or fully scrolled away.
void InvalidateListItem(CControlUI* item);

// Fills the item background: colour by state, then the state image, the
// item's own background image or the owner's item image.
void DrawListItemBk(CControlUI* item, HDC hDC, UIListInfo& info, UIImageDrawInfo& ownBk, UINT buttonState,
                    bool selected, int drawIndex);

// Enter and leave: sets or clears the hot bit (repainting the item) and keeps
// the item a mouse-leave listener while the point is still inside. True when
// the event was one of the two.
bool HandleListItemHot(CControlUI* item, UIEvent& event, UINT& buttonState);

// Before a body paints its rows: gives each visible, non-floating list item
// its row number among the painted rows (alternate backgrounds use it).
void NumberListRows(CContainerUI& body);

// After a body painted its rows: the row line in the middle of the band of
// info.iHLineSize pixels under each visible, non-floating child, clipped to
// the body's client area and the paint rectangle.
void DrawListRowLines(CContainerUI& body, HDC hDC, const CUIRect& rcPaint, const UIListInfo& info);

// Notices that the item went away (deleted, or taken out of its parent)
// while a synchronous notification ran: the controls' one guard.
using CListItemLifeGuard = CControlLifeGuard;

}  // namespace Trellis
