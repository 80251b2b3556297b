// Temporary bodies until the window manager's header lands.
#include "ui/draw/DrawEngine.h"
#include "ui/draw/ImageAttribute.h"
#include "ui/window/Shadow.h"

namespace Trellis {

void CDrawEngine::RgbToHsl(DWORD, float* h, float* s, float* l) { *h = *s = *l = 0; }
void CDrawEngine::HslToRgb(DWORD*, float, float, float) {}
DWORD CDrawEngine::AdjustColor(DWORD argb, short, short, short) { return argb; }
void CDrawEngine::AdjustImage(bool, UIImageInfo*, short, short, short) {}
void CDrawEngine::SetHsl(bool, short, short, short) {}
bool CDrawEngine::IsHslEnabled() { return false; }
void CDrawEngine::GetHsl(short* h, short* s, short* l) { *h = 180; *s = *l = 100; }
OwnedBitmap CDrawEngine::CreateARGB32Bitmap(HDC, int, int, BYTE**) { return OwnedBitmap(); }
void CDrawEngine::FillColor(HDC, const CUIRect&, DWORD) {}
void CDrawEngine::DrawGradient(HDC, const CUIRect&, DWORD, DWORD, bool, int) {}
void CDrawEngine::DrawLine(HDC, const CUIRect&, int, DWORD, int) {}
void CDrawEngine::DrawRect(HDC, const CUIRect&, int, DWORD, int) {}
void CDrawEngine::DrawRoundRect(HDC, const CUIRect&, int, int, int, DWORD, int) {}
void CDrawEngine::DrawPlainText(HDC, CWindowManagerUI*, CUIRect&, const UIChar*, DWORD, int, UINT) {}
void CDrawEngine::DrawMarkupText(HDC, CWindowManagerUI*, CUIRect&, const UIChar*, DWORD, CUIRect*, CUIString*, int& n,
                                 int, UINT) { n = 0; }
void CDrawEngine::DrawImage(HDC, HBITMAP, const CUIRect&, const CUIRect&, const CUIRect&, const CUIRect&, bool, BYTE,
                            bool, bool, bool) {}
bool CDrawEngine::DrawImageString(HDC, CWindowManagerUI*, const CUIRect&, const CUIRect&, UIImageDrawInfo&) {
  return false;
}
bool CDrawEngine::DrawImageAttribute(HDC, CWindowManagerUI*, const CUIRect&, const CUIRect&, CImageAttribute&) {
  return false;
}
bool CDrawEngine::AlphaBlendFallback(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION) { return false; }
DWORD CDrawEngine::MixColors(DWORD, double, DWORD, double) { return 0; }
UIImageInfo* CDrawEngine::LoadImage(UIResourceRef, const UIChar*, DWORD) { return nullptr; }
void CDrawEngine::FreeImage(UIImageInfo* image, bool deleteRecord) {
  if (deleteRecord) delete image;
}
OwnedBitmap CDrawEngine::RenderToBitmap(CWindowManagerUI*, const CUIRect&, CControlUI*, DWORD) {
  return OwnedBitmap();
}
bool UIImageInfo::SaveSourceBits() { return false; }

CDrawClip::~CDrawClip() {}
void CDrawClip::CreateRectClip(HDC, const CUIRect&, CDrawClip&) {}
void CDrawClip::CreateRoundRectClip(HDC, const CUIRect&, const CUIRect&, int, int, CDrawClip&) {}
void CDrawClip::SelectOuterClip(HDC, CDrawClip&) {}
void CDrawClip::SelectInnerClip(HDC, CDrawClip&) {}

CImageAttribute::CImageAttribute() {}
CImageAttribute::CImageAttribute(const CImageAttribute&) {}
CImageAttribute& CImageAttribute::operator=(const CImageAttribute&) { return *this; }
CImageAttribute::~CImageAttribute() {}
void CImageAttribute::Reset() {}
void CImageAttribute::SetDescription(const UIChar*) {}
void CImageAttribute::Parse(const UIChar*) {}
void CImageAttribute::SetDest(const CUIRect& rc) { m_rcDest = rc; }
bool CImageAttribute::IsUsable() const { return false; }
bool CImageAttribute::EnsureLoaded(CWindowManagerUI*) { return false; }

CShadowUI::CShadowUI() {}
CShadowUI::~CShadowUI() {}
bool CShadowUI::SetSize(int) { return false; }
bool CShadowUI::SetSharpness(unsigned) { return false; }
bool CShadowUI::SetDarkness(unsigned) { return false; }
bool CShadowUI::SetPosition(int, int) { return false; }
bool CShadowUI::SetColor(DWORD) { return false; }
bool CShadowUI::SetImage(const UIChar*) { return false; }
bool CShadowUI::SetShadowCorner(const CUIRect&) { return false; }
void CShadowUI::SetShadowEnabled(bool enabled) { m_bIsShowShadow = enabled; }
void CShadowUI::CopySettingsTo(CShadowUI*) const {}
bool CShadowUI::RegisterWindowClass(HINSTANCE) { return false; }
bool CShadowUI::CreateShadowWindow(CWindowManagerUI*) { return false; }
void CShadowUI::Update(HWND) {}
OwnedBitmap CShadowUI::MakePicture(const CUIRect&, HRGN, CUISize*, CUIPoint*, BYTE**) { return OwnedBitmap(); }

}  // namespace Trellis
