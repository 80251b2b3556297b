#pragma once
// The check that an archive entry's path stays inside the folder it is
// extracted into.

#include "ui/base/portable/UIChar.h"

namespace Trellis {

// True for a non-empty relative path that stays inside the folder it is
// resolved against: it does not start with '/' or '\', holds no ':' (drive
// letters, streams) and no ".." component. Extraction writes only such paths.
bool IsContainedRelativePath(const UIChar* path);

}  // namespace Trellis
