#pragma once
// Expansion of "%{n}" tokens (a per-cent sign, an opening brace, decimal
// digits, a closing brace) in user-visible texts such as tooltips: a token
// whose id has a text is replaced by it, others stay as written.

#include "ui/base/portable/UIString.h"

namespace Trellis {

// The text for an id, or null when there is none.
using UIMultiLanguageLookup = const UIChar* (*)(int id);

// Copies the text with every token replaced, in one pass: text brought in by
// a replacement is not scanned again, so a text that holds its own token
// cannot loop. "%{}" is the token of id 0.
CUIString ExpandMultiLanguageTokens(const UIChar* text, UIMultiLanguageLookup lookup);

}  // namespace Trellis
