#include "core/base/portable/JsonReply.h"

#include <memory>

bool ParseJsonReply(std::string_view text, Json::Value& root) {
  Json::CharReaderBuilder builder;
  // Text after the value (a second object, a server warning) makes the reply
  // malformed; only white space and line ends may follow it.
  builder["failIfExtra"] = true;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  Json::Value parsed;
  try {
    if (!reader->parse(text.data(), text.data() + text.size(), &parsed, &errors) || !errors.empty()) return false;
  } catch (const std::exception&) {  // the reader throws on nesting beyond its limit
    return false;
  }
  root.swap(parsed);
  return true;
}

const Json::Value& JsonMember(const Json::Value& object, const char* name) {
  static const Json::Value null;
  if (!object.isObject()) return null;
  const Json::Value* member = object.find(name, name + std::char_traits<char>::length(name));
  return member ? *member : null;
}

int JsonInt(const Json::Value& object, const char* name) {
  const Json::Value& value = JsonMember(object, name);
  if (value.isBool()) return value.asBool() ? 1 : 0;
  if (value.isNumeric() && value.isConvertibleTo(Json::intValue)) return value.asInt();
  return 0;
}

bool JsonBool(const Json::Value& object, const char* name) {
  const Json::Value& value = JsonMember(object, name);
  if (value.isBool()) return value.asBool();
  if (value.isNumeric()) return value.asDouble() != 0.0;
  return false;
}

std::string JsonText(const Json::Value& object, const char* name) {
  const Json::Value& value = JsonMember(object, name);
  return value.isString() ? value.asString() : std::string();
}
