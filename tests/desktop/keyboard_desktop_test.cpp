#include "support/DesktopSession.h"

#include <gtest/gtest.h>

// The menu and the pages worked from the keyboard alone, with real key strokes on a real X
// server: F10 or Alt opens the menu bar, the underlined letters choose, Escape closes.
namespace {

const QString kWireless = "Home \\ Wireless";
const QString kInformation = "Home \\ Information";

class KeyboardOnTheDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(desktop.start()) << desktop.error();
        ASSERT_TRUE(desktop.startModule()) << desktop.error();
    }

    // The page opens from the keys; Escape closes it again within a second.
    void opensAndEscapeCloses(const QStringList& chords, const QString& title)
    {
        ASSERT_TRUE(desktop.keys(desktop.mainWindow(), chords));
        const QString page = desktop.waitForWindow(title, 10000);
        ASSERT_FALSE(page.isEmpty()) << chords.join(' ').toStdString() << " opened no page titled "
                                     << title.toStdString();
        ASSERT_TRUE(desktop.keys(page, {"Escape"}));
        const qint64 gone = desktop.waitUntilGone(page, 5000);
        EXPECT_GE(gone, 0) << "Escape left " << title.toStdString() << " open";
        EXPECT_LT(gone, 1000);
    }

    DesktopSession desktop;
};

TEST_F(KeyboardOnTheDesktop, AltAndAMenusUnderlinedLetterThenTheItemsOpenAPage)
{
    opensAndEscapeCloses({"alt+h", "w"}, kWireless);
}

TEST_F(KeyboardOnTheDesktop, F10OpensTheFirstMenu)
{
    opensAndEscapeCloses({"F10", "w"}, kWireless);
}

TEST_F(KeyboardOnTheDesktop, AltAloneTakesTheMenuBarAndTheArrowsChoose)
{
    opensAndEscapeCloses({"alt", "Down", "Return"}, kInformation);
}

} // namespace
