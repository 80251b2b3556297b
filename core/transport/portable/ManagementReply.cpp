#include "core/transport/portable/ManagementReply.h"

#include "core/base/portable/JsonReply.h"
#include "core/transport/portable/ManagementEnvelope.h"

bool ParseSuccessReply(const std::string& text, Json::Value& root) {
  // The envelope passes a text with the failure marker on unchecked, as the
  // service's failure reply: whatever else it holds, it is no success.
  if (text.find(kEnvelopeFailureMarker) != std::string::npos) return false;
  return ParseJsonReply(text, root) && JsonText(root, "status") == "SUCCESS";
}
