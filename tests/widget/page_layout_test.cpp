// Every page the menu opens, on every tab and in every look it registered, read from a
// device, and the dialogs the pages and the main window open: no text that does not fit and
// no controls that overlap, at the desktop's default font and at 12 points.
#include "support/PageTestKit.h"
#include "binding/LayoutCheck.h"
#include "binding/QvPage.h"
#include "pages/advanced/AdvancedPages.h"
#include "pages/advanced/TFM_FilterMAC.h"
#include "pages/advanced/TFM_MACAddr.h"
#include "pages/advanced/TFM_StaticIP.h"
#include "pages/advanced/TLogSetForm.h"
#include "pages/home/HomePages.h"
#include "pages/status/StatusPages.h"
#include "pages/tools/ToolsPages.h"
#include "shell/PageRegistry.h"
#include "shell/TAboutForm.h"
#include "shell/TFM_Waiting.h"

#include <QApplication>
#include <QDialog>
#include <QFont>
#include <gtest/gtest.h>

#include <memory>

namespace {

// 0: the font the platform gives; otherwise this many points.
class PageLayout : public ModuleAgainstDevice, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        m_font = QApplication::font();
        if (GetParam() > 0) {
            QFont font = m_font;
            font.setPointSize(GetParam());
            QApplication::setFont(font);
        }
        ModuleAgainstDevice::SetUp();
        RegisterMenuPages();
    }
    void TearDown() override
    {
        PageRegistry::clear();
        ModuleAgainstDevice::TearDown();
        QApplication::setFont(m_font);
    }

    // Until the page's first reads are in and it has laid itself out for them.
    static void settle(QDialog* page)
    {
        runFor(100);
        if (auto* qvPage = qobject_cast<QvPage*>(page))
            waitFor([qvPage] { return !qvPage->AnyBindingBusy(); });
        runFor(100);
    }

    static void note(LayoutFindings& all, const QString& window, LayoutFindings found)
    {
        for (QString& finding : found.clippedTexts)
            finding.prepend(window + ": ");
        for (QString& finding : found.overlaps)
            finding.prepend(window + ": ");
        all.add(found);
    }

private:
    QFont m_font;
};

TEST_P(PageLayout, EveryPageTabAndLookShowsItsTextsWholeAndNoControlsOverlap)
{
    LayoutFindings found;
    note(found, "main window", CheckLayout(main.get()));
    int pages = 0;
    for (const PageRegistry::Page& registered : PageRegistry::inMenuOrder()) {
        SCOPED_TRACE(registered.caption.toStdString());
        std::unique_ptr<QDialog> page(registered.factory(main.get()));
        page->show();
        settle(page.get());
        note(found, registered.caption, CheckLayoutOnEveryTab(page.get()));
        for (const PageRegistry::View& view : registered.views) {
            view.show(page.get());
            settle(page.get());
            note(found, registered.caption + " (" + view.name + ")", CheckLayoutOnEveryTab(page.get()));
        }
        page->close();
        ++pages;
    }
    EXPECT_GT(pages, 15) << "the pages were not registered";

    // The dialogs that pages and the main window open.
    const auto dialog = [&found](const QString& name, QDialog* opened) {
        std::unique_ptr<QDialog> owned(opened);
        owned->show();
        settle(owned.get());
        note(found, name, CheckLayoutOnEveryTab(owned.get()));
        owned->close();
    };
    dialog("About", new TAboutForm(main.get()));
    auto* wait = new TFM_Waiting(main.get());
    wait->SendReboot = false;  // the picture only: the device keeps running
    dialog("Please wait", wait);
    dialog("Log Settings", new TLogSetForm(main.get()));
    dialog("Static lease", new TFM_StaticIP({}, main.get()));
    auto* filter = new TFM_FilterMAC(1, main.get());
    dialog("MAC Address", new TFM_MACAddr(filter));
    dialog("MAC filter table", filter);
    EXPECT_TRUE(found.empty()) << "font " << QApplication::font().toString().toStdString() << ": "
                               << found.report().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Fonts, PageLayout, ::testing::Values(0, 12),
                         [](const ::testing::TestParamInfo<int>& font) {
                             return font.param == 0 ? std::string("DefaultFont") : std::to_string(font.param) + "pt";
                         });

} // namespace
