#include "core/transport/portable/ManagementReply.h"

#include <gtest/gtest.h>

#include <string>

TEST(ManagementReply, OnlyACheckedSuccessCounts) {
  struct Case {
    const char* what;
    std::string text;
    bool success;
  } cases[] = {
      {"success", R"({"status":"SUCCESS","version":105})", true},
      {"the failure text escaped inside a string", R"({"status":"SUCCESS","nickname":"\"status\":\"FAILED\""})", true},
      {"failure", R"({"status":"FAILED","msg":"x"})", false},
      {"other case", R"({"status":"success"})", false},
      {"no status", R"({"version":105})", false},
      {"status not a string", R"({"status":1})", false},
      // The envelope passes texts with the failure marker on without their
      // checks; a success beside the marker must not slip through with them.
      {"failure marker in a member", R"({"status":"SUCCESS","last":{"status":"FAILED"}})", false},
      {"failure marker before a repeated status", R"({"status":"FAILED","status":"SUCCESS"})", false},
      {"text after the reply", R"({"status":"SUCCESS"} x)", false},
      {"not JSON", "SUCCESS", false},
  };
  for (const Case& c : cases) {
    Json::Value root;
    EXPECT_EQ(ParseSuccessReply(c.text, root), c.success) << c.what;
  }
}
