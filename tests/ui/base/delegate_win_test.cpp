// The delegate header after <windows.h>, whose GetObject macro renames the
// delegate's accessor in such files: it must still build and agree.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/base/portable/Delegate.h"

namespace {

struct Target {
  bool Handle(void* argument) {
    seen = argument;
    return true;
  }
  void* seen = nullptr;
};

TEST(DelegateWin, WorksBesideTheWindowsHeaders) {
  Target target;
  Trellis::CDelegate<Target, Target> delegate(&target, &Target::Handle);
  EXPECT_EQ(delegate.GetObject(), &target);
  Trellis::CUIEventSource source;
  source.AddDelegate(delegate);
  int argument = 0;
  EXPECT_TRUE(source.Invoke(&argument));
  EXPECT_EQ(target.seen, &argument);
  // GDI's own GetObject still works in the same file.
  HGDIOBJ pen = GetStockObject(BLACK_PEN);
  LOGPEN info;
  EXPECT_EQ(GetObject(pen, sizeof(info), &info), static_cast<int>(sizeof(info)));
}

}  // namespace
