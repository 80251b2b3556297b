#pragma once
// What the voice list items (the picker's cards, the example, the emotion
// tiles) share: building an item's content from its own skin file, and
// showing a voice's picture from the skin's images.
#include <string>

namespace Trellis {
class CContainerUI;
class CControlUI;
class CWindowManagerUI;
class INotifyUI;
}  // namespace Trellis

// Builds `skinFile` with the item's window manager and adds the built root as
// the item's only child; the item then listens to the window's
// notifications. A skin that does not build leaves the item empty (false).
// Building again replaces what an earlier build made.
bool BuildItemContent(Trellis::CContainerUI& item, Trellis::INotifyUI& listener, const wchar_t* skinFile);

// The control of that name inside the item's content, or null.
Trellis::CControlUI* FindItemControl(Trellis::CContainerUI& item, const wchar_t* name);

// The skin image that shows a voice's picture: the catalogue names a picture
// that the skin ships under "images/", either as a bare file name or as the
// last part of an address. Empty when the name is unusable (a path, no
// name) or the skin has no such image.
std::wstring VoiceAvatarImage(Trellis::CWindowManagerUI* manager, const std::wstring& avatar);

// Shows the voice's picture as `face`'s background; without a usable picture
// the face keeps the skin's stand-in picture.
void ShowVoiceAvatar(Trellis::CControlUI* face, const std::wstring& avatar);
