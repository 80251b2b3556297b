// The progress bar: attributes, bounds and the fore image cut to the value.
#include "ui/controls/ProgressUI.h"

#include "ui/base/portable/UIChar.h"
#include "ui/control/portable/AttributeText.h"

namespace Trellis {

CProgressUI::CProgressUI() {
  m_uTextStyle = DT_SINGLELINE | DT_CENTER;
  SetFixedHeight(12);
}

CProgressUI::~CProgressUI() = default;

const UIChar* CProgressUI::GetClassName() const { return UI_TEXT("Progress"); }

void* CProgressUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("Progress")) == 0) return this;
  return CLabelUI::GetInterface(name);
}

void CProgressUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (UITextCompare(name, UI_TEXT("foreimage")) == 0) SetForeImage(value);
  else if (UITextCompare(name, UI_TEXT("hor")) == 0) SetHorizontal(ParseAttributeBool(value));
  else if (UITextCompare(name, UI_TEXT("min")) == 0) SetMinValue(ParseAttributeInt(value));
  else if (UITextCompare(name, UI_TEXT("max")) == 0) SetMaxValue(ParseAttributeInt(value));
  // Clamped to the bounds set so far: "min" and "max" come first in a skin.
  else if (UITextCompare(name, UI_TEXT("value")) == 0) CProgressUI::SetValue(ParseAttributeInt(value));
  else CLabelUI::SetAttribute(name, value);
}

void CProgressUI::SetHorizontal(bool horizontal) {
  if (m_bHorizontal == horizontal) return;
  m_bHorizontal = horizontal;
  Invalidate();
}

void CProgressUI::SetMinValue(int value) {
  m_nMin = value;
  Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
  m_nMax = value;
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  if (value > m_nMax) value = m_nMax;
  if (value < m_nMin) value = m_nMin;
  m_nValue = value;
  Invalidate();
}

void CProgressUI::SetForeImage(const UIChar* description) {
  if (ReplaceImage(m_diFore, description)) Invalidate();
}

bool CProgressUI::ReplaceImage(UIImageDrawInfo& image, const UIChar* description) {
  if (description == nullptr) description = UI_TEXT("");
  if (image.bLoaded && image.sDrawString.EqualsText(description)) return false;
  image.Clear();
  image.sDrawString = description;
  return true;
}

void CProgressUI::RepairBounds() {
  if (m_nMax <= m_nMin) {
    // min + 1 would overflow at the top of the range: lower min instead.
    if (m_nMin == INT32_MAX) m_nMin = INT32_MAX - 1;
    m_nMax = m_nMin + 1;
  }
  if (m_nValue > m_nMax) m_nValue = m_nMax;
  if (m_nValue < m_nMin) m_nValue = m_nMin;
}

int64_t CProgressUI::ShareOf(int length, int value) const {
  const int64_t range = static_cast<int64_t>(m_nMax) - m_nMin;
  if (range <= 0) return 0;
  return static_cast<int64_t>(length) * (static_cast<int64_t>(value) - m_nMin) / range;
}

void CProgressUI::PaintStatusImage(HDC hDC) {
  RepairBounds();
  if (m_diFore.sDrawString.IsEmpty()) return;
  // Load (and parse) the description first, so its own "dest" can be replaced.
  if (!DrawImage(nullptr, m_diFore)) return;
  const int width = m_rcItem.right - m_rcItem.left;
  const int height = m_rcItem.bottom - m_rcItem.top;
  if (m_bHorizontal) {
    m_diFore.rcDest = CUIRect(0, 0, static_cast<int>(ShareOf(width, m_nValue)), height);
  } else {
    // Grows upwards: the top edge is the share of the way from the maximum.
    const int64_t range = static_cast<int64_t>(m_nMax) - m_nMin;
    const int64_t top = static_cast<int64_t>(height) * (static_cast<int64_t>(m_nMax) - m_nValue) / range;
    m_diFore.rcDest = CUIRect(0, static_cast<int>(top), width, height);
  }
  // An empty share draws nothing: an all-zero destination would mean "whole".
  if (m_diFore.rcDest.right <= m_diFore.rcDest.left || m_diFore.rcDest.bottom <= m_diFore.rcDest.top) return;
  DrawImage(hDC, m_diFore);
}

}  // namespace Trellis
