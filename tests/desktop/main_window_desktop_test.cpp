#include "support/DesktopSession.h"

#include <gtest/gtest.h>

// The module on a real X server with a window manager: what the offscreen platform cannot show.
namespace {

TEST(MainWindowOnTheDesktop, OpensAndItsCloseBoxEndsTheModule)
{
    DesktopSession desktop;
    ASSERT_TRUE(desktop.start()) << desktop.error();
    ASSERT_TRUE(desktop.startModule()) << desktop.error();
    ASSERT_TRUE(desktop.requestClose(desktop.mainWindow()));
    const qint64 gone = desktop.waitUntilGone(desktop.mainWindow(), 5000);
    EXPECT_GE(gone, 0) << "the main window is still open 5 s after its close box";
    EXPECT_LT(gone, 1000);
    EXPECT_EQ(desktop.module().waitForExit(5000), 0) << desktop.module().output().toStdString();
}

} // namespace
