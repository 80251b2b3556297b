#pragma once

// The interfaces every list-like control shares, and the item-appearance
// record an owner hands to its items:
// - IListOwnerUI: what an item sees of its owner (a list, a combo box);
// - IListUI: a list with header, body and text provider;
// - IListItemUI: what an owner sees of an item;
// - IListTextProviderUI: where text items take their column texts from;
// - UIListInfo: colours, fonts, images, lines and columns read by every item
//   on every paint and size estimate (owned by the owner, borrowed by items).
#include <windows.h>

#include "ui/base/portable/UIGeometry.h"
#include "ui/base/portable/UIString.h"
#include "ui/control/UIEvent.h"
#include "ui/draw/portable/UIImageDrawInfo.h"

namespace Trellis {

class CControlUI;
class CListHeaderUI;
class CListBodyUI;

// At most this many header items become columns.
constexpr int kListMaxColumns = 64;

// The shared item appearance of one owner.
struct UIListInfo {
  int iColumnCount = 0;                         // valid entries of rcColumns: min(header items, 64)
  CUIRect rcColumns[kListMaxColumns];       // window coordinates of each header item
  int iItemHeight = 0;                    // "itemheight": height of items without one (0 = measure)
  int iFont = -1;                          // "itemfont": -1 = the window's default font
  UINT uTextStyle = DT_VCENTER | DT_SINGLELINE;
  CUIRect rcTextPadding;                     // "itemtextpadding"
  DWORD dwTextColor = 0xFF000000;
  DWORD dwBkColor = 0;                       // 0 = no fill
  UIImageDrawInfo diBk;
  bool bAlternateBk = false;
  DWORD dwSelectedTextColor = 0xFF000000;
  DWORD dwSelectedBkColor = 0xFFC1E3FF;
  UIImageDrawInfo diSelected;
  DWORD dwHotTextColor = 0xFF000000;
  DWORD dwHotBkColor = 0xFFE9F5FF;
  UIImageDrawInfo diHot;
  DWORD dwDisabledTextColor = 0xFFCCCCCC;
  DWORD dwDisabledBkColor = 0xFFFFFFFF;
  UIImageDrawInfo diDisabled;
  int iHLineSize = 0;                        // line between rows (0 = none)
  DWORD dwHLineColor = 0xFF3C3C3C;
  int iVLineSize = 0;                        // line between columns (0 = none)
  DWORD dwVLineColor = 0xFF3C3C3C;
  bool bShowHtml = false;                    // item texts are markup
  bool bMultiExpanding = false;           // several items may stay expanded
};

// What an item sees of its owner; reached through GetInterface("IListOwner").
class IListOwnerUI {
 public:
  // The owner's shared item appearance (never null for a list).
  virtual UIListInfo* GetListInfo() = 0;
  // The selected item's index, -1 when none.
  virtual int GetCurSel() const = 0;
  // Selects the item (deselecting the previous one); false, with nothing
  // selected, for a missing, hidden, disabled or non-item target.
  virtual bool SelectItem(int index, bool takeFocus = false, bool sendNotify = true) = 0;
  // An event the item does not use; the owner handles it as its own.
  virtual void HandleItemEvent(UIEvent& event) = 0;
  // Expands or collapses the item; does not change the selection.
  virtual bool ExpandItem(int index, bool expand = true) = 0;
  // The last expanded item's index, -1 when none.
  virtual int GetExpandedItem() const = 0;

 protected:
  ~IListOwnerUI() = default;
};

// Where text items take their column texts from; never owned by the list.
class IListTextProviderUI {
 public:
  // The text of the cell; null counts as empty.
  virtual const UIChar* GetItemText(CControlUI* control, int row, int column) = 0;

 protected:
  ~IListTextProviderUI() = default;
};

// A list with header, body and text provider; reached through GetInterface("IList").
class IListUI : public IListOwnerUI {
 public:
  virtual CListHeaderUI* GetHeader() const = 0;
  virtual CListBodyUI* GetListBody() const = 0;
  virtual IListTextProviderUI* GetTextProvider() const = 0;
  // Stores the provider (not owned); no repaint.
  virtual void SetTextProvider(IListTextProviderUI* provider) = 0;

 protected:
  ~IListUI() = default;
};

// What an owner sees of an item; reached through GetInterface("IListItem").
class IListItemUI {
 public:
  // The index among the owner's items (kept by the owner on every change).
  virtual int GetIndex() const = 0;
  virtual void SetIndex(int index) = 0;
  // The position among the items painted last (decides alternate rows).
  virtual int GetDrawIndex() const = 0;
  virtual void SetDrawIndex(int index) = 0;
  virtual IListOwnerUI* GetOwner() = 0;
  // Stores the control's "IListOwner" part; a null control changes nothing.
  virtual void SetOwner(CControlUI* owner) = 0;
  virtual bool IsSelected() const = 0;
  // Selects (telling the owner) or deselects (not telling it); false when refused.
  virtual bool Select(bool select = true, bool takeFocus = false) = 0;
  virtual bool IsExpanded() const = 0;
  // Expands or collapses; false when refused (the flag is then unchanged).
  virtual bool Expand(bool expand = true) = 0;
  // Paints the item's text into the rectangle; nothing else.
  virtual void DrawItemText(HDC hDC, const CUIRect& rcItem) = 0;

 protected:
  ~IListItemUI() = default;
};

}  // namespace Trellis
