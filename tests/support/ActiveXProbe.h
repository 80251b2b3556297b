#pragma once
// The ActiveX test object (tests/support/activex-probe, built as
// ActiveXProbe.dll beside the test programs): an in-process OLE control that a
// host loads by absolute path ("modulename") and that writes every call a
// host makes on it, one line each, to the file named by the environment
// variable below, so a test can check the host's call order.
//
// Lines: "attach" / "detach" (the DLL loaded / unloaded), "create",
// "SetClientSite" / "SetClientSite none", "GetMiscStatus", "InitNew",
// "SetHostNames <app>", "DoVerb <verb>", "CanInPlaceActivate <hr>",
// "OnInPlaceActivate windowed|windowless <hr>", "GetWindow <hr> <hwnd>",
// "GetWindowContext <hr> pos l,t,r,b clip l,t,r,b frameinfo <cb> accel <n>",
// "SetObjectRects l,t,r,b", "SetSite" / "SetSite none", "SetExtent <cx>,<cy>",
// "Draw l,t,r,b", "QueryHitPoint x,y hit|outside" (it answers to the left
// half of its bounds), "OnWindowMessage <msg>", "InPlaceDeactivate", "Close",
// "release" (the last reference went).
//
// Options (comma-separated, read when the object is made):
//   nowithsite         the object has no IObjectWithSite
//   windowless         asks for windowless activation (IOleInPlaceSiteWindowless)
//   setclientsitefirst its misc status asks for the client site before InitNew
//   persist            it offers IPersistStreamInit (InitNew is logged)
//   failinitnew        ... whose InitNew fails with E_FAIL

#include <windows.h>

namespace activexprobe {

// {6A1E4C2B-7D3F-4E58-9B21-5C0D8A3F7E14}
constexpr wchar_t kClassText[] = L"{6A1E4C2B-7D3F-4E58-9B21-5C0D8A3F7E14}";
const CLSID kClass = {0x6A1E4C2B, 0x7D3F, 0x4E58, {0x9B, 0x21, 0x5C, 0x0D, 0x8A, 0x3F, 0x7E, 0x14}};
constexpr wchar_t kDllName[] = L"ActiveXProbe.dll";
constexpr wchar_t kLogVariable[] = L"QUILLORA_ACTIVEX_PROBE_LOG";
constexpr wchar_t kOptionsVariable[] = L"QUILLORA_ACTIVEX_PROBE_OPTIONS";
constexpr wchar_t kWindowClass[] = L"QuilloraActiveXProbe";  // its window when activated windowed

}  // namespace activexprobe
