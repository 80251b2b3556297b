#pragma once

// The skin element names of the concrete controls ("Button", "List", ...):
// the factory the skin builder asks for names the framework itself does not
// know. A program (or test) that builds skins with these controls installs it
// once at start, before its first window: the framework cannot name the
// controls, which live in the library above it.
#include "ui/base/portable/UIChar.h"

namespace Trellis {

class CControlUI;

// Makes the concrete control of an element name ("TreeNode" included), or
// null for names that are not one of the built-in controls.
CControlUI* CreateBuiltInControl(const UIChar* elementName);

// Installs CreateBuiltInControl as the skin builder's control factory.
// Calling it again changes nothing.
void RegisterBuiltInControls();

}  // namespace Trellis
