#pragma once

// Reading the services' JSON replies without letting the library throw into a
// worker thread: parsing reports success as a boolean, and the typed accessors
// give an empty or zero value for a member that is missing or of another type.

#include <json/json.h>

#include <string>
#include <string_view>

// Parses a whole reply; true only when it is one JSON value, followed by
// nothing but white space, without any reader error. `root` is left as it was
// otherwise.
bool ParseJsonReply(std::string_view text, Json::Value& root);

// Member `name` of an object (null for a missing member or a non-object).
const Json::Value& JsonMember(const Json::Value& object, const char* name);

// Numbers (integral or not, in range) and booleans as an int; anything else 0.
int JsonInt(const Json::Value& object, const char* name);
// Booleans, and numbers as non-zero; anything else false.
bool JsonBool(const Json::Value& object, const char* name);
// Strings only; anything else "".
std::string JsonText(const Json::Value& object, const char* name);
