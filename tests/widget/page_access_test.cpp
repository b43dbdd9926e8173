// Every page the menu opens, on every tab and in every look it registered, read from a device,
// and the dialogs the pages and the main window open: each control has a name of its own that
// is not its value, every text stands out from its background under the desktop's colours and
// under a dark scheme, Tab goes through the controls as the eye reads them, Escape closes.
#include "support/PageTestKit.h"
#include "binding/AccessibilityCheck.h"
#include "binding/Contrast.h"
#include "binding/AccessibleNames.h"
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
#include "shell/TConnectForm.h"
#include "shell/TFM_Waiting.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

enum class Look { Default, Dark };

// The module against a device with its pages registered, under the desktop's colours or a dark scheme.
class PagesAndDialogs : public ModuleAgainstDevice {
protected:
    virtual Look look() const { return Look::Default; }

    void SetUp() override
    {
        m_palette = QApplication::palette();
        m_style = QApplication::style()->name();
        if (look() == Look::Dark) {
            QApplication::setStyle(QStyleFactory::create("Fusion"));
            QApplication::setPalette(DarkPalette());
        }
        ModuleAgainstDevice::SetUp();
        RegisterMenuPages();
    }
    void TearDown() override
    {
        PageRegistry::clear();
        ModuleAgainstDevice::TearDown();
        QApplication::setStyle(QStyleFactory::create(m_style));
        QApplication::setPalette(m_palette);
    }

    static void settle(QDialog* page)
    {
        runFor(100);
        if (auto* qvPage = qobject_cast<QvPage*>(page))
            waitFor([qvPage] { return !qvPage->AnyBindingBusy(); });
        runFor(100);
    }

    // Each page the menu opens, then each dialog, shown and settled, handed to `look` with
    // the name it goes by; closed afterwards unless `look` closed it.
    void everyWindow(const std::function<void(const QString&, QDialog*)>& look)
    {
        int pages = 0;
        for (const PageRegistry::Page& registered : PageRegistry::inMenuOrder()) {
            SCOPED_TRACE(registered.caption.toStdString());
            std::unique_ptr<QDialog> page(registered.factory(main.get()));
            page->show();
            settle(page.get());
            look(registered.caption.trimmed(), page.get());
            for (const PageRegistry::View& view : registered.views) {
                if (!page->isVisible())
                    break;
                view.show(page.get());
                settle(page.get());
                look(registered.caption.trimmed() + " (" + view.name + ")", page.get());
            }
            page->close();
            ++pages;
        }
        EXPECT_GT(pages, 15) << "the pages were not registered";
        const auto dialog = [&look](const QString& name, QDialog* opened) {
            std::unique_ptr<QDialog> owned(opened);
            owned->show();
            settle(owned.get());
            look(name, owned.get());
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
        dialog("Connect", new TConnectForm(main.get()));
    }

private:
    QPalette m_palette;
    QString m_style;
};

class PageAccess : public PagesAndDialogs, public ::testing::WithParamInterface<Look> {
protected:
    Look look() const override { return GetParam(); }
};

TEST_P(PageAccess, EveryControlHasANameOfItsOwnAndEveryTextStandsOut)
{
    AccessibilityFindings found;
    const auto note = [&found](const QString& window, AccessibilityFindings findings) {
        for (QStringList* list : {&findings.unnamed, &findings.namedByValue, &findings.sharedNames, &findings.lowContrast})
            for (QString& finding : *list)
                finding.prepend(window + ": ");
        found.add(findings);
    };
    main->show();
    runFor(100);
    note("main window", CheckAccessibility(main.get()));
    everyWindow([&note](const QString& name, QDialog* window) { note(name, CheckAccessibilityOnEveryTab(window)); });
    EXPECT_TRUE(found.empty()) << found.report().toStdString();
}

// The controls Tab reaches, in its order: visible, enabled, taking focus by Tab.
QList<QWidget*> TabChain(QWidget* window)
{
    QList<QWidget*> chain;
    QWidget* widget = window;
    for (int steps = 0; steps < 2000; ++steps) {
        widget = widget->nextInFocusChain();
        if (widget == window)
            break;
        if (widget->window() == window && widget->isVisible() && widget->isEnabled()
            && (widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy())
            chain << widget;
    }
    return chain;
}

// Where Tab goes back against reading order between two controls side by side in one group:
// up to an earlier row, or left on the same row.
QStringList AgainstReadingOrder(QWidget* window)
{
    QStringList backwards;
    const QList<QWidget*> chain = TabChain(window);
    for (qsizetype i = 1; i < chain.size(); ++i) {
        const QWidget* from = chain[i - 1];
        const QWidget* to = chain[i];
        if (from->parentWidget() != to->parentWidget())
            continue;
        const QRect a = from->geometry();
        const QRect b = to->geometry();
        const bool sameRow = b.center().y() >= a.top() && b.center().y() <= a.bottom() && a.center().y() >= b.top()
                             && a.center().y() <= b.bottom();
        if ((sameRow && b.left() < a.left()) || (!sameRow && b.bottom() < a.top()))
            backwards << from->objectName() + " -> " + to->objectName();
    }
    return backwards;
}

using PageKeyboard = PagesAndDialogs;

TEST_F(PageKeyboard, TabFollowsReadingOrderAndEscapeCloses)
{
    QStringList backwards, open;
    everyWindow([&](const QString& name, QDialog* window) {
        for (const QString& step : AgainstReadingOrder(window))
            backwards << name + ": " + step;
        if (!window->isVisible())
            return;
        QWidget* focus = window->focusWidget() ? window->focusWidget() : window;
        QTest::keyClick(focus, Qt::Key_Escape);
        if (!waitFor([window] { return !window->isVisible(); }, 3000))
            open << name;
    });
    EXPECT_TRUE(backwards.isEmpty()) << "Tab goes against reading order: " << backwards.join("; ").toStdString();
    EXPECT_TRUE(open.isEmpty()) << "Escape did not close: " << open.join(", ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Looks, PageAccess, ::testing::Values(Look::Default, Look::Dark),
                         [](const ::testing::TestParamInfo<Look>& look) {
                             return std::string(look.param == Look::Default ? "DefaultColours" : "DarkColours");
                         });

} // namespace
