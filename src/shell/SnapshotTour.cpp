#include "shell/SnapshotTour.h"

#include "binding/LayoutCheck.h"
#include "platform/TimeScale.h"
#include "shell/PageRegistry.h"
#include "shell/TMainForm.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

QString snapshotFolder() { return qEnvironmentVariable("VTA_SNAPSHOT_DIR"); }

// Long enough for the first answers of the device to reach a window.
constexpr int kSettleMs = 2500;
// Long enough for a tab or another look of a page to be laid out.
constexpr int kViewSettleMs = 300;

void pause(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// What the layout check found on every picture of the tour.
LayoutFindings& tourFindings()
{
    static LayoutFindings findings;
    return findings;
}

// Saves a picture of the window as it stands and says what the layout check finds in it;
// findings count once per window (a page's tabs and looks share their window's name).
bool save(QWidget* window, const QString& name, const QString& windowName)
{
    const QString path = QDir(snapshotFolder()).absoluteFilePath(name + ".png");
    const bool saved = window->grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    LayoutFindings found = CheckLayout(window);
    if (!found.empty())
        std::printf("layout of %s: %s\n", qPrintable(name), qPrintable(found.report()));
    for (QString& finding : found.clippedTexts)
        finding.prepend(windowName + ": ");
    for (QString& finding : found.overlaps)
        finding.prepend(windowName + ": ");
    tourFindings().add(found);
    std::fflush(stdout);
    return saved;
}

// "Configuration File" -> "configuration-file"
QString fileName(const QString& item)
{
    return item.trimmed().toLower().replace(' ', '-').replace('/', '-');
}

// A page with tabs: one picture of each visible tab after the first ("dhcp-server-tab2").
bool saveOtherTabs(QWidget* page, const QString& name)
{
    bool allSaved = true;
    for (QTabWidget* tabs : page->findChildren<QTabWidget*>()) {
        for (int tab = 1; tab < tabs->count(); ++tab) {
            if (!tabs->isTabVisible(tab))
                continue;
            tabs->setCurrentIndex(tab);
            pause(kViewSettleMs);
            allSaved = save(page, QString("%1-tab%2").arg(name).arg(tab + 1), name) && allSaved;
        }
    }
    return allSaved;
}

void tour(TMainForm* mainWindow)
{
    QDir().mkpath(snapshotFolder());
    bool allSaved = save(mainWindow, "main-window", "main-window");
    for (const PageRegistry::Page& registered : PageRegistry::inMenuOrder()) {
        // Pages behind items this model hides are pictured too: the pictures show every page
        // there is.
        if (!mainWindow->menuItem(registered.caption))
            continue;
        const QString name = fileName(registered.caption);
        const double timeScale = TimeScale::factor();
        TimeScale::setFactor(timeScale * registered.pictureTimeScale);
        std::unique_ptr<QDialog> page(registered.factory(mainWindow));
        page->show();
        pause(kSettleMs);
        allSaved = save(page.get(), name, name) && allSaved;
        allSaved = saveOtherTabs(page.get(), name) && allSaved;
        for (const PageRegistry::View& view : registered.views) {
            view.show(page.get());
            pause(kViewSettleMs);
            allSaved = save(page.get(), name + "-" + view.name, name) && allSaved;
        }
        page->close();
        TimeScale::setFactor(timeScale);
    }
    const LayoutFindings& found = tourFindings();
    std::printf("layout check over every picture: %lld clipped text(s), %lld overlap(s)\n",
                static_cast<long long>(found.clippedTexts.size()), static_cast<long long>(found.overlaps.size()));
    std::fflush(stdout);
    QCoreApplication::exit(allSaved ? 0 : 1);
}

} // namespace

bool SnapshotTour::requested() { return !snapshotFolder().isEmpty(); }

void SnapshotTour::start(TMainForm* mainWindow)
{
    QTimer::singleShot(kSettleMs, mainWindow, [mainWindow] { tour(mainWindow); });
}
