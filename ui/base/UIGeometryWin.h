#pragma once

// The framework's geometry is laid out as the platform's RECT, SIZE and POINT,
// so it is handed to Win32 calls through these views instead of being copied.
#include <windows.h>

#include <cstddef>

#include "ui/base/portable/UIGeometry.h"

namespace Trellis {

static_assert(sizeof(CUIRect) == sizeof(RECT) && offsetof(CUIRect, left) == offsetof(RECT, left) &&
                  offsetof(CUIRect, top) == offsetof(RECT, top) && offsetof(CUIRect, right) == offsetof(RECT, right) &&
                  offsetof(CUIRect, bottom) == offsetof(RECT, bottom),
              "CUIRect has the layout of RECT");
static_assert(sizeof(CUISize) == sizeof(SIZE) && offsetof(CUISize, cy) == offsetof(SIZE, cy), "CUISize is a SIZE");
static_assert(sizeof(CUIPoint) == sizeof(POINT) && offsetof(CUIPoint, y) == offsetof(POINT, y), "CUIPoint is a POINT");

inline RECT* AsRECT(CUIRect* rect) { return reinterpret_cast<RECT*>(rect); }
inline const RECT* AsRECT(const CUIRect* rect) { return reinterpret_cast<const RECT*>(rect); }
inline SIZE* AsSIZE(CUISize* size) { return reinterpret_cast<SIZE*>(size); }
inline POINT* AsPOINT(CUIPoint* point) { return reinterpret_cast<POINT*>(point); }
inline const POINT* AsPOINT(const CUIPoint* point) { return reinterpret_cast<const POINT*>(point); }
inline CUIRect ToUIRect(const RECT& rect) { return CUIRect(rect.left, rect.top, rect.right, rect.bottom); }
inline CUIPoint ToUIPoint(const POINT& point) { return CUIPoint(point.x, point.y); }

}  // namespace Trellis
