// CImageAttribute: one image description parsed into an object.
#include "ui/draw/ImageAttribute.h"

#include "ui/draw/UIImageInfo.h"
#include "ui/draw/portable/ImageDescription.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

CImageAttribute::CImageAttribute() { Reset(); }

CImageAttribute::CImageAttribute(const CImageAttribute& other) { *this = other; }

CImageAttribute& CImageAttribute::operator=(const CImageAttribute& other) {
  if (this == &other) return *this;
  m_sDescription = other.m_sDescription;
  m_sImageName = other.m_sImageName;
  m_sResType = other.m_sResType;
  m_pImageInfo = other.m_pImageInfo;
  m_bUsable = other.m_bUsable;
  m_rcDest = other.m_rcDest;
  m_rcSource = other.m_rcSource;
  m_rcCorner = other.m_rcCorner;
  m_uFade = other.m_uFade;
  m_dwMask = other.m_dwMask;
  m_bHole = other.m_bHole;
  m_bTiledX = other.m_bTiledX;
  m_bTiledY = other.m_bTiledY;
  return *this;
}

CImageAttribute::~CImageAttribute() = default;

void CImageAttribute::Reset() {
  m_sDescription.Clear();
  m_sImageName.Clear();
  m_sResType.Clear();
  m_pImageInfo = nullptr;
  m_bUsable = true;
  m_rcDest = CUIRect();
  m_rcSource = CUIRect();
  m_rcCorner = CUIRect();
  m_uFade = 255;
  m_dwMask = 0;
  m_bHole = false;
  m_bTiledX = false;
  m_bTiledY = false;
}

void CImageAttribute::SetDescription(const UIChar* text) {
  if (m_sDescription.EqualsText(text)) return;
  Reset();
  m_sDescription.Assign(text);
  m_sImageName = m_sDescription;
  Parse(text);
}

void CImageAttribute::Parse(const UIChar* text) {
  UIImageDescription description;
  description.dest = m_rcDest;
  description.sourceRect = m_rcSource;
  description.corner = m_rcCorner;
  description.mask = m_dwMask;
  description.fade = m_uFade;
  description.hole = m_bHole;
  description.xtiled = m_bTiledX;
  description.ytiled = m_bTiledY;
  description.resType = m_sResType;
  ParseImageDescription(text, &description, ImageKeySet::kAttribute);
  // Only "file" and "res" name the image; a bare text keeps the current name.
  if (description.source != UIImageDescription::Source::kName) m_sImageName = description.name;
  m_sResType = description.resType;
  m_rcDest = description.dest;
  m_rcSource = description.sourceRect;
  m_rcCorner = description.corner;
  m_dwMask = description.mask;
  m_uFade = description.fade;
  m_bHole = description.hole;
  m_bTiledX = description.xtiled;
  m_bTiledY = description.ytiled;
}

void CImageAttribute::SetDest(const CUIRect& rc) { m_rcDest = rc; }

bool CImageAttribute::IsUsable() const { return !m_sDescription.IsEmpty() && m_bUsable; }

bool CImageAttribute::EnsureLoaded(CWindowManagerUI* manager) {
  if (m_pImageInfo != nullptr) return true;
  if (!m_bUsable || manager == nullptr || m_sImageName.IsEmpty()) return false;
  m_pImageInfo = manager->GetOrAddImage(m_sImageName.GetText(), m_sResType.IsEmpty() ? nullptr : m_sResType.GetText(),
                                        m_dwMask, false);
  if (m_pImageInfo == nullptr) {
    m_bUsable = false;
    return false;
  }
  if (m_rcSource.left == 0 && m_rcSource.top == 0 && m_rcSource.right == 0 && m_rcSource.bottom == 0) {
    m_rcSource = CUIRect(0, 0, m_pImageInfo->nX, m_pImageInfo->nY);
  }
  if (m_rcSource.right > m_pImageInfo->nX) m_rcSource.right = m_pImageInfo->nX;
  if (m_rcSource.bottom > m_pImageInfo->nY) m_rcSource.bottom = m_pImageInfo->nY;
  return true;
}

}  // namespace Trellis
