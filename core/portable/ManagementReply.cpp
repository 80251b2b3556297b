#include "core/portable/ManagementReply.h"

#include "core/portable/JsonReply.h"

bool ParseSuccessReply(const std::string& text, Json::Value& root) {
  return ParseJsonReply(text, root) && JsonText(root, "status") == "SUCCESS";
}
