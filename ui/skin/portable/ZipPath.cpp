#include "ui/skin/portable/ZipPath.h"

namespace Trellis {

bool IsContainedRelativePath(const UIChar* path) {
  if (path == nullptr || path[0] == 0 || path[0] == '/' || path[0] == '\\') return false;
  const UIChar* component = path;
  for (const UIChar* p = path;; ++p) {
    if (*p == ':') return false;
    if (*p == '/' || *p == '\\' || *p == 0) {
      if (p - component == 2 && component[0] == '.' && component[1] == '.') return false;
      if (*p == 0) return true;
      component = p + 1;
    }
  }
}

}  // namespace Trellis
