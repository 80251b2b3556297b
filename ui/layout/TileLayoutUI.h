#pragma once

// CTileLayoutUI: places its children in a grid of equal cells ("itemsize"),
// as many columns as fit or "columns"; each child keeps the cell of its index
// among all children, so hidden children leave empty cells.
#include "ui/control/ContainerUI.h"

namespace Trellis {

class CTileLayoutUI : public CContainerUI {
 public:
  CTileLayoutUI();

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "TileLayout": the layout; else the container's answer.
  void* GetInterface(const UIChar* name) override;
  // Places the children in the grid, then the scroll bars.
  void SetPos(CUIRect rc, bool invalidate = true) override;
  void SetAttribute(const UIChar* name, const UIChar* value) override;

  CUISize GetItemSize() const { return m_szItem; }
  // Stores the cell size and asks for a layout when it changed.
  void SetItemSize(CUISize size);
  // The columns of the last layout pass.
  int GetColumns() const { return m_nColumns; }
  // The rows of the last layout pass.
  int GetRows() const { return m_nRows; }
  int GetConfiguredColumns() const { return m_nConfiguredColumns; }
  // Fixed columns (0 = as many as fit); a negative value is ignored.
  void SetColumns(int columns);
  int GetChildVPadding() const { return m_iChildVPadding; }
  // Space between rows; negative is stored as 0.
  void SetChildVPadding(int padding);

 private:
  CUISize m_szItem{80, 80};        // cell width and height ("itemsize")
  int m_nColumns = 1;              // computed by each layout pass
  int m_nRows = 0;                 // computed by each layout pass
  int m_nConfiguredColumns = 0;    // "columns"; 0 = as many as fit
  int m_iChildVPadding = 0;        // "childvpadding", never negative
};

}  // namespace Trellis
