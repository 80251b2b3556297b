// RenderToBitmap: a copy of a window's painted content.
#include "ui/control/ControlUI.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

OwnedBitmap CDrawEngine::RenderToBitmap(CWindowManagerUI* manager, const CUIRect& rc, CControlUI* stop,
                                        DWORD color) {
  if (manager == nullptr) return OwnedBitmap();
  HDC paintDc = manager->GetPaintDC();
  CControlUI* root = manager->GetRootControl();
  const int cx = rc.GetWidth();
  const int cy = rc.GetHeight();
  if (paintDc == nullptr || cx < 1 || cy < 1) return OwnedBitmap();

  OwnedMemoryDC sourceDc(::CreateCompatibleDC(paintDc));
  if (!sourceDc) return OwnedBitmap();
  OwnedBitmap painted;  // a bitmap painted afresh; otherwise the manager's off-screen one is borrowed
  HBITMAP source = manager->GetOffscreenBitmap();
  if (stop != nullptr || manager->IsLayered() || source == nullptr) {
    if (root == nullptr || rc.right < 1 || rc.bottom < 1) return OwnedBitmap();
    painted.Reset(::CreateCompatibleBitmap(paintDc, rc.right, rc.bottom));
    if (!painted) return OwnedBitmap();
    SelectObjectScope select(sourceDc.Get(), painted.Get());
    root->Paint(sourceDc.Get(), rc, stop);
    source = painted.Get();
  }

  OwnedMemoryDC targetDc(::CreateCompatibleDC(paintDc));
  BYTE* bits = nullptr;
  OwnedBitmap result = CreateARGB32Bitmap(paintDc, cx, cy, &bits);
  if (!targetDc || !result) return OwnedBitmap();
  {
    SelectObjectScope selectSource(sourceDc.Get(), source);
    SelectObjectScope selectTarget(targetDc.Get(), result.Get());
    ::BitBlt(targetDc.Get(), 0, 0, cx, cy, sourceDc.Get(), rc.left, rc.top, SRCCOPY);
    if ((color >> 24) != 0) FillColor(targetDc.Get(), CUIRect(0, 0, cx, cy), color);
  }
  ::GdiFlush();
  return result;
}

}  // namespace Trellis
