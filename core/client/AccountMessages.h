#pragma once

// The texts shown (through ShowUserMessage, with the product title) when the
// account record cannot be saved after a login or a logout. The record then
// stays as the file holds it, and the user panel shows that.
inline constexpr wchar_t kAccountMessageLoginNotSaved[] = L"登录信息保存失败，请重试！";  // still signed out
inline constexpr wchar_t kAccountMessageLogoutNotSaved[] = L"退出登录失败，请重试！";     // still signed in
