#pragma once

// The order of the login window's pages: a blank page, the management
// service's jump page, the login page, and finally the callback page whose
// result value is read. The browser reports its events here; the answer says
// what the window does next. Only events of the top-level page count: a frame
// inside a page (the login page has one) that loads "about:blank" or any
// other address must not move the window to another page.

#include <string>

enum class LoginPageStep {
  kNothing,
  kOpenJumpPage,   // the blank page has loaded: open the jump page
  kShowLoginPage,  // the jump page has arrived: show the browser and open the login page
  kReadResult,     // the callback page has loaded: read its result value
};

class LoginPageFlow {
 public:
  explicit LoginPageFlow(std::wstring jumpPageUrl) : m_jumpPageUrl(std::move(jumpPageUrl)) {}

  const std::wstring& JumpPageUrl() const { return m_jumpPageUrl; }

  // A navigation arrived at `url`; `topLevel` is false for a frame's.
  LoginPageStep OnNavigateComplete(bool topLevel, const std::wstring& url);
  // A document finished loading at `url`; `topLevel` is false for a frame's.
  LoginPageStep OnDocumentComplete(bool topLevel, const std::wstring& url);

 private:
  std::wstring m_jumpPageUrl;
  bool m_jumpPageOpened = false;   // the blank page leads to the jump page once only
  bool m_loginPageOpened = false;  // the jump page leads to the login page once only
};
