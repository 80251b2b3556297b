#include "core/client/portable/LoginPageFlow.h"

namespace {
constexpr wchar_t kBlankPage[] = L"about:blank";
constexpr wchar_t kCallbackMark[] = L"wxlogincb";
}  // namespace

LoginPageStep LoginPageFlow::OnNavigateComplete(bool topLevel, const std::wstring& url) {
  if (!topLevel || m_loginPageOpened || url != m_jumpPageUrl) return LoginPageStep::kNothing;
  m_loginPageOpened = true;
  return LoginPageStep::kShowLoginPage;
}

LoginPageStep LoginPageFlow::OnDocumentComplete(bool topLevel, const std::wstring& url) {
  if (!topLevel) return LoginPageStep::kNothing;
  if (url == kBlankPage) {
    // Only the first blank page starts the flow: a later one (the page
    // cleared, say) would otherwise send the user back to the start.
    if (m_jumpPageOpened) return LoginPageStep::kNothing;
    m_jumpPageOpened = true;
    return LoginPageStep::kOpenJumpPage;
  }
  if (url.find(kCallbackMark) != std::wstring::npos) return LoginPageStep::kReadResult;
  return LoginPageStep::kNothing;
}
