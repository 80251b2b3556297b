#pragma once

// The process-wide GDI+ session and scoped owners of GDI+ flat-interface
// objects. GDI+ is started the first time a control needs it (a label with
// effects, a circle progress, a GIF animation) and shut down once, when the
// process exits, so no control has to exist for another to draw with it.
// UI thread only, as the rest of the framework.
#include <windows.h>

#include <objidl.h>  // PROPID and IStream, which the lean windows.h leaves out

#include <gdiplus.h>

namespace Trellis {

class CGdiplusSession {
 public:
  // Starts GDI+ on the first call; true while GDI+ runs. A failed start is
  // reported on the debugger output and tried again at the next call.
  static bool Ensure();
  // True when GDI+ has been started (does not start it).
  static bool IsStarted();
};

// Owns one GDI+ flat object and deletes it with its own deleter; copying is
// deleted, moving allowed. Out() hands the slot to a Gdip...Create call.
template <class T, class Deleter>
class CGdipObject {
 public:
  CGdipObject() = default;
  ~CGdipObject() { Reset(); }
  CGdipObject(const CGdipObject&) = delete;
  CGdipObject& operator=(const CGdipObject&) = delete;
  CGdipObject(CGdipObject&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
  CGdipObject& operator=(CGdipObject&& other) noexcept {
    if (this != &other) {
      Reset();
      m_p = other.m_p;
      other.m_p = nullptr;
    }
    return *this;
  }
  T* Get() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }
  // Deletes the object held (if any) and returns the empty slot.
  T** Out() {
    Reset();
    return &m_p;
  }
  void Reset() {
    if (m_p != nullptr) Deleter()(m_p);
    m_p = nullptr;
  }

 private:
  T* m_p = nullptr;  // owned
};

struct GdipGraphicsDeleter {
  void operator()(Gdiplus::GpGraphics* p) const { Gdiplus::DllExports::GdipDeleteGraphics(p); }
};
struct GdipFontDeleter {
  void operator()(Gdiplus::GpFont* p) const { Gdiplus::DllExports::GdipDeleteFont(p); }
};
struct GdipBrushDeleter {
  void operator()(Gdiplus::GpBrush* p) const { Gdiplus::DllExports::GdipDeleteBrush(p); }
};
struct GdipStringFormatDeleter {
  void operator()(Gdiplus::GpStringFormat* p) const { Gdiplus::DllExports::GdipDeleteStringFormat(p); }
};
struct GdipImageDeleter {
  void operator()(Gdiplus::GpImage* p) const { Gdiplus::DllExports::GdipDisposeImage(p); }
};
struct GdipPenDeleter {
  void operator()(Gdiplus::GpPen* p) const { Gdiplus::DllExports::GdipDeletePen(p); }
};
struct GdipPathDeleter {
  void operator()(Gdiplus::GpPath* p) const { Gdiplus::DllExports::GdipDeletePath(p); }
};

using GdipGraphicsPtr = CGdipObject<Gdiplus::GpGraphics, GdipGraphicsDeleter>;
using GdipFontPtr = CGdipObject<Gdiplus::GpFont, GdipFontDeleter>;
using GdipLineBrushPtr = CGdipObject<Gdiplus::GpLineGradient, GdipBrushDeleter>;
using GdipSolidBrushPtr = CGdipObject<Gdiplus::GpSolidFill, GdipBrushDeleter>;
using GdipStringFormatPtr = CGdipObject<Gdiplus::GpStringFormat, GdipStringFormatDeleter>;
using GdipBitmapPtr = CGdipObject<Gdiplus::GpBitmap, GdipImageDeleter>;
using GdipImagePtr = CGdipObject<Gdiplus::GpImage, GdipImageDeleter>;
using GdipPenPtr = CGdipObject<Gdiplus::GpPen, GdipPenDeleter>;
using GdipPathPtr = CGdipObject<Gdiplus::GpPath, GdipPathDeleter>;

}  // namespace Trellis
