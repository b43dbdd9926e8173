#include "shell/DevicePicture.h"
#include "support/DialogRecorder.h"
#include "shell/PageRegistry.h"
#include "shell/StatusLamps.h"
#include "shell/TMainForm.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

std::vector<QColor> colours(const DevicePicture& picture)
{
    return {picture.Sh_power->color(), picture.Sh_Lan->color(), picture.Sh_11g->color(), picture.Sh_11a->color()};
}

const QColor on = StatusLamp::kOn;
const QColor off = StatusLamp::kOff;

// Pairs of pixels side by side or one above the other within each two-by-two block that
// differ: none at all in a picture that was merely enlarged.
int detailWithinBlocks(const QImage& image, const QRect& area)
{
    int differing = 0;
    for (int y = area.top(); y + 1 <= area.bottom(); y += 2)
        for (int x = area.left(); x + 1 <= area.right(); x += 2)
            differing += (image.pixel(x, y) != image.pixel(x + 1, y)) + (image.pixel(x, y) != image.pixel(x, y + 1));
    return differing;
}

// On a screen of twice the density (QT_SCALE_FACTOR=2) the front panel and its lamps are
// drawn at the screen's resolution, edges and all, over the whole picture.
TEST(DevicePictureOnADenseScreen, IsDrawnAtTheScreensResolution)
{
    DevicePicture picture;
    picture.Sh_power->setColor(StatusLamp::kOn);
    QPixmap dense(picture.size() * 2);
    dense.setDevicePixelRatio(2);
    const QColor unpainted(255, 0, 255);
    dense.fill(unpainted);
    picture.render(&dense);
    const QImage image = dense.toImage();
    ASSERT_EQ(image.size(), QSize(2 * DevicePicture::kWidth, 2 * DevicePicture::kHeight));
    int leftUnpainted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            leftUnpainted += image.pixelColor(x, y) == unpainted;
    EXPECT_EQ(leftUnpainted, 0);
    EXPECT_GT(detailWithinBlocks(image, image.rect()), 200);
    const QRect lamp = picture.Sh_power->geometry();
    EXPECT_GT(detailWithinBlocks(image, QRect(lamp.topLeft() * 2, lamp.size() * 2)), 8);
}

TEST(StatusLampsFromFlags, OnAndBlinkBits)
{
    struct Case {
        int flags;
        std::vector<QColor> lit;  // power, LAN, 802.11g, 802.11a
        std::vector<bool> blinking;
    };
    const Case cases[] = {
        {5, {on, on, off, off}, {false, false, false, false}},
        {129, {on, off, off, off}, {false, false, false, true}},
        {0xFF, {on, on, on, on}, {true, true, true, true}},
        {0x50, {off, off, on, on}, {false, false, false, false}},
        {0, {off, off, off, off}, {false, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        DevicePicture picture;
        StatusLamps lamps(&picture);
        lamps.showFlags(c.flags);
        EXPECT_EQ(colours(picture), c.lit);
        const std::vector<bool> blinking = {picture.Sh_power->blink(), picture.Sh_Lan->blink(),
                                            picture.Sh_11g->blink(), picture.Sh_11a->blink()};
        EXPECT_EQ(blinking, c.blinking);
        EXPECT_TRUE(lamps.Timer2.isActive());
        EXPECT_TRUE(lamps.Timer3.isActive());
    }
}

TEST(StatusLampsFromFlags, ABlinkingLampAlternatesOnItsOwnTimer)
{
    DevicePicture picture;
    StatusLamps lamps(&picture);
    EXPECT_EQ(lamps.Timer2.interval(), 500);
    EXPECT_EQ(lamps.Timer3.interval(), 100);

    lamps.showFlags(129);  // power lit; 802.11a black but blinking
    lamps.Timer2Timer();
    EXPECT_EQ(picture.Sh_11a->color(), on);
    EXPECT_EQ(picture.Sh_power->color(), on);
    lamps.Timer3Timer();  // the LAN timer leaves the radios alone
    EXPECT_EQ(picture.Sh_11a->color(), on);
    lamps.Timer2Timer();
    EXPECT_EQ(picture.Sh_11a->color(), off);

    lamps.showFlags(12);  // LAN lit and blinking
    lamps.Timer3Timer();
    EXPECT_EQ(picture.Sh_Lan->color(), off);
    lamps.Timer2Timer();
    EXPECT_EQ(picture.Sh_Lan->color(), off);

    lamps.showNoAnswer();
    EXPECT_EQ(colours(picture), std::vector<QColor>(4, off));
    EXPECT_FALSE(lamps.Timer2.isActive());
    EXPECT_FALSE(lamps.Timer3.isActive());
}

// A main window built without a host: no arguments, so it stops after the first steps.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("VTA_HOST_REGISTRY", folder.filePath("registry.ini").toLocal8Bit());
        QDir::setCurrent(folder.path());
    }
    QTemporaryDir folder;
    DialogRecorder recorder;
};

TEST_F(MainWindowTest, StatusPollOutcomesShowInTheStatusBarAndTheLamps)
{
    TMainForm form({});
    form.StatusPolled(5);
    EXPECT_EQ(form.StatusText(), "Ready. ");
    EXPECT_EQ(form.picture()->Sh_power->color(), on);
    form.lamps()->Timer2Timer();
    EXPECT_EQ(form.LastStatus(), "Ready. ");

    form.StatusFailed("(SNMPClass) SNMP request timed out!");
    EXPECT_EQ(form.StatusText(), "(SNMPClass) SNMP request timed out!");
    EXPECT_EQ(form.LastStatus(), "(SNMPClass) SNMP request timed out!");
    EXPECT_EQ(colours(*form.picture()), std::vector<QColor>(4, off));
}

TEST_F(MainWindowTest, EveryMenuItemIsThereAndRogueApStaysHidden)
{
    TMainForm form({});
    for (const char* caption : {"Information", "Wireless", "LAN", "Performance", "Filters", "Grouping",
                                "DHCP Server", "Multi-SSID", "Rogue AP ", "System Log", "Admin", "System",
                                "Firmware", "Configuration File", "Miscellaneous", "Device Info", "Stats",
                                "Traffic Graph", "Indication", "Client Info", "About"})
        EXPECT_NE(form.menuItem(caption), nullptr) << caption;
    form.AdvancedMenuShow();
    EXPECT_FALSE(form.menuItem("Rogue AP ")->isVisible());
}

TEST_F(MainWindowTest, AnItemWithoutItsPageSaysSoAndOneWithAPageOpensIt)
{
    TMainForm form({});
    recorder.messages.clear();
    PageRegistry::clear();
    form.menuItem("Stats")->trigger();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "This page is not available yet.");

    bool opened = false;
    PageRegistry::add(MenuItem::About, [&](QWidget* owner) {
        opened = true;
        auto* page = new QDialog(owner);
        QTimer::singleShot(0, page, &QDialog::accept);
        return page;
    });
    form.menuItem("About")->trigger();
    EXPECT_TRUE(opened);
    PageRegistry::clear();
}

} // namespace
