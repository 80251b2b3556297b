#include "core/transport/EnvelopedRequest.h"

#include "core/base/DebugTrace.h"
#include "core/client/ClientState.h"
#include "core/transport/portable/ManagementEnvelope.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

std::string MakeEnvelopeNonce() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  char nonce[32];
  std::snprintf(nonce, sizeof nonce, "%d%d", static_cast<int>(GetTickCount()), std::rand() % 100000);
  return nonce;
}

bool RequestEnveloped(const ClientState& state, uint32_t flags, const std::string& request, std::string* text,
                      const StopToken* stop) {
  const std::string nonce = MakeEnvelopeNonce();
  std::string url;
  if (!BuildEnvelopeUrl(flags, nonce, request, state.httpClient.baseUrl(), state.rsaKeyText, url)) return false;
  HttpResponseBuffer reply;
  if (!state.httpClient.Get(url, reply, stop)) return false;
  DebugTrace(L"服务器返回的Base64数据:: %hs", std::string(reply.view()).c_str());
  if (text == nullptr) return true;
  return DecodeResponseEnvelope(nonce, std::string(reply.view()), flags, state.rsaKeyText, *text);
}
