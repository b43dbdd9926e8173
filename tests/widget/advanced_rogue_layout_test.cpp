// The rogue AP page's resize layout: at its design size the rules leave every control where
// the form puts it; at other sizes the frames, the two lists, the buttons and the check box
// columns land where the rules say (integer divisions, truncated). With a font no larger than
// the designed one the rules' pixels are the documented ones; with a larger font they are
// scaled as the form is.
#include "support/DevsimAgent.h"
#include "support/PageTestKit.h"
#include "binding/FormScale.h"
#include "binding/QvStatusBar.h"
#include "binding/RadioGroup.h"
#include "pages/advanced/TFM_RogueForm.h"
#include "snmp/SnmpSettings.h"
#include "ui_TFM_RogueForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFrame>
#include <QGroupBox>
#include <QLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class RogueLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(device.start()) << device.error();
        AimAt(device.port());
        m_font = QApplication::font();
        open(8);  // small enough for the designed pixels
    }
    void TearDown() override
    {
        page.reset();
        QApplication::setFont(m_font);
        SetDefaultSnmpSettings();
    }

    // Opens the page anew with the application's font at this many pixels.
    void open(int fontPixels)
    {
        page.reset();
        QFont font = m_font;
        font.setPixelSize(fontPixels);
        QApplication::setFont(font);
        page = std::make_unique<TFM_RogueForm>();
        page->show();
    }

    // Resizes the window and lets the resize reach it.
    void resize(int width, int height)
    {
        page->resize(width, height);
        QElapsedTimer clock;
        clock.start();
        while (page->size() != QSize(width, height) && clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_EQ(page->size(), QSize(width, height));
    }

    DevsimAgent device;
    std::unique_ptr<TFM_RogueForm> page;

private:
    QFont m_font;
};

TEST_F(RogueLayout, AtTheDesignSizeEveryControlStaysWhereTheFormPutsIt)
{
    ASSERT_TRUE(page->Scale().IsIdentity());
    resize(576, 546);
    QDialog designed;
    Ui::TFM_RogueForm form;
    form.setupUi(&designed);
    int compared = 0;
    for (QWidget* control : designed.findChildren<QWidget*>()) {
        if (control->objectName().isEmpty() || control->objectName().startsWith("qt_"))
            continue;
        QWidget* laidOut = page->findChild<QWidget*>(control->objectName());
        ASSERT_NE(laidOut, nullptr) << control->objectName().toStdString();
        EXPECT_EQ(laidOut->geometry(), control->geometry()) << control->objectName().toStdString();
        ++compared;
    }
    EXPECT_GT(compared, 30) << "the form's controls were not found";
}

TEST_F(RogueLayout, TheControlsFollowTheWindow)
{
    ASSERT_TRUE(page->Scale().IsIdentity());
    const struct {
        int w, h;
        QSize panel1, panel2, panel3;
        int groupWidth, listGroupHeight, apListTop, listViewHeight, buttonTop;
        int detect, add, del, apply, cancel, barTop;
        int column2, column3, column4;
    } cases[] = {
        {800, 700, {792, 622}, {769, 600}, {749, 576}, 733, 202, 373, 159, 178, 316, 455, 594, 407, 605, 654, 189, 370, 551},
        // Odd sizes: every division truncates.
        {613, 600, {605, 522}, {582, 500}, {562, 476}, 546, 152, 323, 109, 128, 236, 339, 442, 311, 464, 554, 142, 277, 411},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString("%1 x %2").arg(c.w).arg(c.h).toStdString());
        resize(c.w, c.h);
        const auto& ui = *page->ui;
        EXPECT_EQ(ui.Panel1->size(), c.panel1);
        EXPECT_EQ(ui.Panel2->size(), c.panel2);
        EXPECT_EQ(ui.GroupBox1->height(), c.panel2.height() - 5);
        EXPECT_EQ(ui.Panel3->size(), c.panel3);
        for (QWidget* group : {static_cast<QWidget*>(ui.BSSTypRadGrp), static_cast<QWidget*>(ui.BandGroup),
                               static_cast<QWidget*>(ui.SecurityGroup), static_cast<QWidget*>(ui.RogueListGroup),
                               static_cast<QWidget*>(ui.APListGroup)})
            EXPECT_EQ(group->width(), c.groupWidth) << group->objectName().toStdString();
        EXPECT_EQ(ui.RogueListGroup->height(), c.listGroupHeight);
        EXPECT_EQ(ui.APListGroup->height(), c.listGroupHeight);
        EXPECT_EQ(ui.APListGroup->y(), c.apListTop);
        EXPECT_EQ(ui.RogueListView->height(), c.listViewHeight);
        EXPECT_EQ(ui.AP_ListView->height(), c.listViewHeight);
        for (QPushButton* button : {ui.DetectBtn, ui.AddBtn, ui.DelBtn, ui.ListDelBtn})
            EXPECT_EQ(button->y(), c.buttonTop) << button->objectName().toStdString();
        EXPECT_EQ(ui.DetectBtn->x(), c.detect);
        EXPECT_EQ(ui.AddBtn->x(), c.add);
        EXPECT_EQ(ui.DelBtn->x(), c.del);
        EXPECT_EQ(ui.ListDelBtn->x(), c.del);
        EXPECT_EQ(ui.Apply_Btn->pos(), QPoint(c.apply, c.h - 74));
        EXPECT_EQ(ui.Cancel_Btn->pos(), QPoint(c.cancel, c.h - 74));
        EXPECT_EQ(ui.StatusBar1->y(), c.barTop);
        EXPECT_EQ(ui.StatusBar1->width(), c.w - 8);
        const struct {
            QCheckBox* box;
            int x;
        } boxes[] = {
            {ui.CheckBox_11a, 8},         {ui.ChcBxo_off, 8},           {ui.WPA2EAPCkBox, 8},
            {ui.CheckBox_11b, c.column2}, {ui.ChcBxo_wep, c.column2},   {ui.WPA2PSKCkBox, c.column2},
            {ui.CheckBox_11g, c.column3}, {ui.ChcBxo_eap, c.column3},   {ui.WPA2AUTECkBox, c.column3},
            {ui.ChcBxo_psk, c.column4},   {ui.WPA2AUTPCkBox, c.column4},
        };
        for (const auto& b : boxes)
            EXPECT_EQ(b.box->x(), b.x) << b.box->objectName().toStdString();
    }
}

// At 16 pixels the form and the rules grow alike: at the scaled design size every control
// stays where the scaled form puts it (to the two pixels that rounding the chained margins
// may add up to), the smallest window grows, and the distances the rules keep from the
// window's edges grow with it.
TEST_F(RogueLayout, WithALargerFontTheRulesScaleWithTheForm)
{
    open(16);
    const FormScale scale = page->Scale();
    ASSERT_GT(scale.x(), 1.2);
    ASSERT_GT(scale.y(), 1.2);
    EXPECT_EQ(page->minimumSize(), scale.Size(QSize(520, 470)));

    const QSize designSize = scale.Size(QSize(576, 546));
    resize(designSize.width(), designSize.height());
    QDialog designed;
    Ui::TFM_RogueForm form;
    form.setupUi(&designed);
    int compared = 0;
    for (QWidget* control : designed.findChildren<QWidget*>()) {
        if (control->objectName().isEmpty() || control->objectName().startsWith("qt_")
            || control->parentWidget()->layout())
            continue;
        const QRect laidOut = page->findChild<QWidget*>(control->objectName())->geometry();
        const QRect expected = scale.Rect(control->geometry());
        SCOPED_TRACE(control->objectName().toStdString());
        EXPECT_LE(std::abs(laidOut.left() - expected.left()), 2);
        EXPECT_LE(std::abs(laidOut.top() - expected.top()), 2);
        EXPECT_LE(std::abs(laidOut.right() - expected.right()), 2);
        EXPECT_LE(std::abs(laidOut.bottom() - expected.bottom()), 2);
        ++compared;
    }
    EXPECT_GT(compared, 30) << "the form's controls were not found";

    resize(designSize.width() + 200, designSize.height() + 150);
    const auto& ui = *page->ui;
    const int w = page->width();
    const int h = page->height();
    EXPECT_EQ(ui.Panel1->size(), QSize(w - scale.X(8), h - scale.Y(78)));
    EXPECT_EQ(ui.Apply_Btn->pos(), QPoint(256 * w / 503, h - scale.Y(74)));
    EXPECT_EQ(ui.Cancel_Btn->pos(), QPoint(381 * w / 503, h - scale.Y(74)));
    EXPECT_EQ(ui.StatusBar1->y(), h - scale.Y(46));
    EXPECT_EQ(ui.RogueListGroup->height(), ui.APListGroup->height());
    EXPECT_EQ(ui.RogueListView->height(), ui.RogueListGroup->height() - scale.Y(43));
    const int g = ui.BandGroup->width();
    const int m = scale.X(8);
    EXPECT_EQ(ui.CheckBox_11b->x(), (g - m) / 4 + m);
    EXPECT_EQ(ui.ChcBxo_psk->x(), (g - m) * 3 / 4 + m);
}

} // namespace
