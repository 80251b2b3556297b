#pragma once
// CShadowUI: the soft drop shadow of a frameless window, one per window
// manager. When enabled, CreateShadowWindow makes a layered, click-through
// popup ("VarnoShadowWnd") owned by the window, a little larger and behind it,
// and subclasses the window so the shadow moves, hides, shows and repaints
// with it. The picture is a nine-grid image around the window (image mode) or
// the blurred outline of the window's region (region mode). UI thread only:
// the shadow belongs to the thread of its window; the window finds its shadow
// through a window property, so windows of several threads never share state.

#include <windows.h>

#include "core/base/ScopedHandle.h"
#include "ui/base/portable/UIGeometry.h"
#include "ui/base/portable/UIString.h"
#include "ui/window/portable/ShadowPicture.h"

namespace Trellis {

class CWindowManagerUI;

class CShadowUI {
 public:
  CShadowUI();
  virtual ~CShadowUI();
  CShadowUI(const CShadowUI&) = delete;
  CShadowUI& operator=(const CShadowUI&) = delete;

  // --- Settings: false and no change for a value out of range; when the
  // shadow is shown the picture is rebuilt at once. ---
  bool SetSize(int size);                 // "shadowsize" -20..20
  bool SetSharpness(unsigned sharpness);  // "shadowsharpness" 0..20
  bool SetDarkness(unsigned darkness);    // "shadowdarkness" 0..255
  bool SetPosition(int x, int y);         // "shadowpositon" each -20..20
  bool SetColor(DWORD color);             // "shadowcolor" RGB (red in bits 16-23)
  bool SetImage(const UIChar* image);     // "shadowimage": image mode on; false for null
  bool SetShadowCorner(const CUIRect& corner);  // "shadowcorner": each 0 or more
  // "showshadow": stores the flag only (the shadow is made when the root is attached).
  void SetShadowEnabled(bool enabled);
  bool IsShadowEnabled() const { return m_bIsShowShadow; }
  // Gives other the image and corners (image mode) or size, sharpness,
  // darkness, colour and offset, then the enabled flag.
  void CopySettingsTo(CShadowUI* other) const;

  // Registers "VarnoShadowWnd" once per process; false when already done or
  // on failure.
  static bool RegisterWindowClass(HINSTANCE instance);
  // Makes the shadow window of the manager's window and subclasses it. Does
  // nothing when not enabled; false when already created (a second subclass
  // would call itself) or the window cannot be made.
  bool CreateShadowWindow(CWindowManagerUI* manager);
  // Rebuilds the picture for the parent's current rectangle and shows it.
  // Leaves the window as it was when there is no picture to make.
  void Update(HWND parent);

  // The picture for a window of rcWindow's size as the shadow would show it:
  // a 32-bit top-down DIB section (pixels premultiplied) and where it goes
  // relative to the window's top-left. Needs no window (region mode reads
  // the region, or rcWindow when region is null). Empty when there is
  // nothing to draw (sizes below 1, size 0 in region mode, no image, failed
  // DIB). Image mode loads the image through the manager.
  OwnedBitmap MakePicture(const CUIRect& rcWindow, HRGN region, CUISize* pictureSize, CUIPoint* offset,
                          BYTE** bits = nullptr);

  HWND GetShadowWindow() const { return m_hWnd; }
  const ShadowSettings& GetSettings() const { return m_settings; }
  bool IsImageMode() const { return m_bIsImageMode; }
  const CUIString& GetImage() const { return m_sShadowImage; }
  const CUIRect& GetShadowCorner() const { return m_rcShadowCorner; }

 private:
  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void OnParentMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // After the parent's own handling of a paint: the rebuild that waited for it.
  void OnParentPainted(HWND hwnd);
  void UpdateIfShown();
  void DestroyShadowWindow();

  enum Status : BYTE { kCreated = 0x01, kShown = 0x02, kParentVisible = 0x04 };

  CWindowManagerUI* m_pManager = nullptr;  // borrowed: set by CreateShadowWindow
  HWND m_hWnd = nullptr;                   // the shadow window; destroyed with the parent
  HWND m_hParent = nullptr;                // the subclassed window
  WNDPROC m_OriWndProc = nullptr;          // the parent's procedure before subclassing
  BYTE m_Status = 0;                       // Status bits
  bool m_bIsImageMode = false;             // set by SetImage
  bool m_bIsShowShadow = false;            // "showshadow"
  ShadowSettings m_settings;               // darkness, sharpness, size, offset, colour
  WORD m_WndSizeCx = 0;                    // parent size at the last size message
  WORD m_WndSizeCy = 0;
  bool m_bUpdate = false;                  // a rebuild waits for the next paint
  bool m_bUpdateAfterPaint = false;        // the rebuild runs once the window has painted itself
  bool m_bHasPicture = false;              // the shadow window has been given a picture
  CUIString m_sShadowImage;                // image name (image mode)
  CUIRect m_rcShadowCorner;                // nine-grid border widths of the image
};

}  // namespace Trellis
