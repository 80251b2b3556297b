#include "ui/window/portable/MultiLanguageTokens.h"

#include <cstdint>

namespace Trellis {

namespace {

void AppendRun(CUIString& result, const UIChar* start, const UIChar* end) {
  if (end > start) result.AppendString(CUIString(start, static_cast<int>(end - start)));
}

}  // namespace

CUIString ExpandMultiLanguageTokens(const UIChar* text, UIMultiLanguageLookup lookup) {
  CUIString result;
  if (text == nullptr) return result;
  const UIChar* run = text;  // start of the text not yet copied
  const UIChar* cursor = text;
  while (*cursor != 0) {
    if (cursor[0] != '%' || cursor[1] != '{') {
      ++cursor;
      continue;
    }
    const UIChar* end = cursor + 2;
    int64_t id = 0;
    while (*end >= '0' && *end <= '9') {
      // Saturates like the platform's number reading instead of overflowing.
      if (id < INT32_MAX) id = id * 10 + (*end - '0');
      ++end;
    }
    if (*end != '}') {
      ++cursor;
      continue;
    }
    const UIChar* replacement = lookup != nullptr ? lookup(id > INT32_MAX ? INT32_MAX : static_cast<int>(id)) : nullptr;
    if (replacement != nullptr) {
      AppendRun(result, run, cursor);
      result.Append(replacement);
      run = end + 1;
    }
    cursor = end + 1;
  }
  AppendRun(result, run, cursor);
  return result;
}

}  // namespace Trellis
