#pragma once
// One client-management call in its envelope (see RequestEnveloped), and the
// nonce that ties a reply to its request.

// One client-management call in its envelope, over the client state's
// transport (borrowed), and the nonce that each call carries.

#include <cstdint>
#include <string>

class ClientState;
class StopToken;

// A fresh nonce: the tick count followed by a random number below 100000, the
// generator reseeded with the current time.
std::string MakeEnvelopeNonce();

// One client-management call: wraps `request` ("path" or "path?query") in the
// envelope with `flags`, GETs it from the state's HttpClient (base URL: the
// management service) and, when `text` is given, decodes the reply into it,
// requiring the integrity check the flags asked for. Without `text` only the
// request is sent; true when the GET succeeded. False on any failure.
// `stop`, the calling worker's token, aborts the GET.
bool RequestEnveloped(const ClientState& state, uint32_t flags, const std::string& request, std::string* text,
                      const StopToken* stop = nullptr);
