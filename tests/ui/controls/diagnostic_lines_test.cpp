// Test cases run alone: they open windows on the one test desktop.
// The framework's diagnostics reach the debugger output as the program's do:
// each write one whole line ended by "\r\n", never a line in pieces.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/DebugOutputRecorder.h"
#include "tests/ui/controls/ControlTestWindow.h"
#include "ui/control/ContainerUI.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/SkinBuilder.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;

namespace {

TEST(FrameworkDiagnostics, EachFaultWritesOneWholeLine) {
  struct Case {
    const char* line;  // the line the fault writes, "\r\n" and all
    std::function<void()> fault;
  } cases[] = {
      {"Trellis: GIF animation cannot read its picture: ",
       [] {
         SkinnedTestWindow window(L"<Window><Container><GifAnim name=\"gif\" float=\"true\" pos=\"0,0,20,20\" "
                                  L"bkimage=\"no-such-picture.gif\" /></Container></Window>",
                                  40, 40);
       }},
      {"Trellis: container attribute \"childalign\" ignores the unknown value \"sideways\"\r\n",
       [] {
         CContainerUI container;
         container.SetAttribute(L"childalign", L"sideways");
       }},
      {"Trellis: attribute list of control \"box\" stops at a malformed pair: ",
       [] {
         CContainerUI container;
         container.SetName(L"box");
         container.ApplyAttributeList(L"width=\"10\" height");
       }},
      {"CDrawEngine::LoadImage: cannot read: no-such-picture.png\r\n",
       [] { CDrawEngine::FreeImage(CDrawEngine::LoadImage(L"no-such-picture.png"), true); }},
      {"CSkinBuilder: cannot load the skin: ",
       [] {
         CSkinBuilder builder;
         // No check inside: a failed check writes to the debugger output too.
         builder.CreateFromSource(L"no-such-skin.xml", nullptr, nullptr, nullptr);
       }},
  };
  for (const Case& c : cases) {
    DebugOutputRecorder debug;
    c.fault();
    const std::vector<std::string> calls = debug.calls();
    bool written = false;
    for (const std::string& call : calls) {
      EXPECT_EQ(call.find_first_of("\r\n"), call.size() - 2) << "not one \"\\r\\n\"-ended line: " << call;
      EXPECT_EQ(call.compare(call.size() < 2 ? 0 : call.size() - 2, 2, "\r\n"), 0) << call;
      written = written || call.compare(0, std::string(c.line).size(), c.line) == 0;
    }
    EXPECT_TRUE(written) << "no write begins \"" << c.line << "\"";
  }
}

}  // namespace
