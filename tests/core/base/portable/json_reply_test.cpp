#include "core/base/portable/JsonReply.h"

#include <gtest/gtest.h>

#include <string>

TEST(JsonReply, OnlyOneWholeValueIsAReply) {
  struct Case {
    std::string text;
    bool ok;
  } cases[] = {
      {R"({"code":200})", true},
      {"{\"code\":200}\r\n", true},  // a line end after the value is no extra text
      {" \t{\"code\":200} \n", true},
      {R"([1,2])", true},
      {R"({"code":200} x)", false},
      {R"({"code":200}{"code":500})", false},
      {R"({"code":200},)", false},
      {"{\"code\":200}<br />Warning", false},
      {R"({"code":200)", false},
      {"", false},
      {"<html>502</html>", false},
  };
  for (const Case& c : cases) {
    Json::Value root(Json::stringValue);
    EXPECT_EQ(ParseJsonReply(c.text, root), c.ok) << c.text;
    if (c.ok) {
      EXPECT_FALSE(root.isString()) << c.text;
    } else {
      EXPECT_TRUE(root.isString()) << "a refused reply leaves the value as it was: " << c.text;
    }
  }
}
