#include "ui/controls/combo/ComboDropBodyUI.h"

#include "ui/controls/combo/ComboUI.h"
#include "ui/controls/list/ListItemDrawing.h"

namespace Trellis {

CComboDropBodyUI::CComboDropBodyUI(CComboUI* owner) : m_pOwner(owner) {}

bool CComboDropBodyUI::PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) {
  NumberListRows(*this);
  const bool finished = CVerticalLayoutUI::PaintContent(hDC, rcPaint, pStopControl);
  if (finished && m_pOwner != nullptr) DrawListRowLines(*this, hDC, rcPaint, *m_pOwner->GetListInfo());
  return finished;
}

}  // namespace Trellis
