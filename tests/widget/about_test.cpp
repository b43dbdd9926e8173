#include "shell/TAboutForm.h"

#include "binding/FormScale.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(AboutBox, NamesTheModelAndRelease)
{
    TAboutForm about;
    EXPECT_EQ(about.windowTitle(), "About");
    // The documented size, scaled by the font.
    EXPECT_EQ(about.size(), FormScale::ForFont(about.font()).Size(QSize(364, 100)));
    EXPECT_EQ(about.findChild<QLabel*>("Label1")->text(), "VTA-3100QX Management Module");
    EXPECT_TRUE(about.findChild<QLabel*>("Label1")->font().bold());
    EXPECT_EQ(about.findChild<QLabel*>("La_FwVer")->text(), "v2.10");
    EXPECT_EQ(about.findChild<QLabel*>("Label4")->text(), "R01(2006/11/10)");
    EXPECT_FALSE(about.findChild<QLabel*>("Image1")->pixmap().isNull());
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool shows;
};

TEST(AboutBox, OnlyShiftAltF3OnTheOkButtonShowsTheBuildLabel)
{
    const KeyCase cases[] = {
        {"Shift+Alt+F3", Qt::Key_F3, Qt::ShiftModifier | Qt::AltModifier, true},
        {"Shift+Alt+Ctrl+F3", Qt::Key_F3, Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier, true},
        {"F3", Qt::Key_F3, Qt::NoModifier, false},
        {"Shift+F3", Qt::Key_F3, Qt::ShiftModifier, false},
        {"Alt+F3", Qt::Key_F3, Qt::AltModifier, false},
        {"Shift+Alt+F4", Qt::Key_F4, Qt::ShiftModifier | Qt::AltModifier, false},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        TAboutForm about;
        about.show();
        auto* ok = about.findChild<QPushButton*>("BT_Ok");
        ok->setFocus();
        QTest::keyClick(ok, c.key, c.modifiers);
        EXPECT_EQ(about.findChild<QLabel*>("Label4")->isVisible(), c.shows);
    }
}

TEST(AboutBox, OkCloses)
{
    TAboutForm about;
    about.show();
    QTest::mouseClick(about.findChild<QPushButton*>("BT_Ok"), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}

} // namespace
