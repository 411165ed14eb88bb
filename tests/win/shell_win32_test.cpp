// The shell adapter's route for what is opened as the signed-in user: the
// desktop's own shell when it takes the request, else ShellExecute from this
// process, each handed the same request.
#include "platform/win32/shell_win32.h"

#include <gtest/gtest.h>

#include <vector>

namespace hv::platform::win32 {
namespace {

TEST(Win32Shell, OpensAsTheUserThroughTheDesktopShellElseDirectly) {
  for (const bool desktopTakes : {true, false}) {
    std::vector<ShellRequest> toDesktop, toDirect;
    Win32Shell shell({[&](const ShellRequest& r) {
                        toDesktop.push_back(r);
                        return desktopTakes;
                      },
                      [&](const ShellRequest& r) { toDirect.push_back(r); }});
    shell.openAsUser(L"C:\\windows\\system32\\notepad.exe", L"\"C:\\a b\\license.txt\"",
                     ShowCommand::Normal);
    shell.openAsUser(L"https://example.org/", L"", ShowCommand::Hide);
    ASSERT_EQ(toDesktop.size(), 2u);
    EXPECT_EQ(toDesktop[0].file, L"C:\\windows\\system32\\notepad.exe");
    EXPECT_EQ(toDesktop[0].parameters, L"\"C:\\a b\\license.txt\"");
    EXPECT_EQ(toDesktop[0].show, ShowCommand::Normal);
    EXPECT_EQ(toDesktop[1].file, L"https://example.org/");
    EXPECT_EQ(toDesktop[1].show, ShowCommand::Hide);
    if (desktopTakes) {
      EXPECT_TRUE(toDirect.empty());
      continue;
    }
    ASSERT_EQ(toDirect.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
      EXPECT_EQ(toDirect[i].file, toDesktop[i].file);
      EXPECT_EQ(toDirect[i].parameters, toDesktop[i].parameters);
      EXPECT_EQ(toDirect[i].show, toDesktop[i].show);
    }
  }
}

}  // namespace
}  // namespace hv::platform::win32
