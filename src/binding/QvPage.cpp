#include "binding/QvPage.h"

#include "binding/ListColumns.h"
#include "binding/QvStatusBar.h"
#include "binding/WaitInputGate.h"
#include "binding/WindowAccess.h"
#include "binding/WindowWaits.h"
#include "platform/LetGo.h"
#include "platform/ExceptionGuard.h"
#include "platform/TimeScale.h"
#include "platform/ExchangeWait.h"
#include "snmp/ReadTogether.h"

#include <QCloseEvent>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>

#include <exception>

QvPage::QvPage(QWidget* parent) : QDialog(parent) { WaitInputGate::Install(); }

QvPage::~QvPage()
{
    // The derived page's members are gone already: from here on none of its handlers may
    // run, while the exchanges under way are waited for (events keep running meanwhile).
    m_ending = true;
    for (QTimer* timer : findChildren<QTimer*>())
        timer->stop();
    setEnabled(false);  // no input reaches the page's controls any more
    m_bindings.Release(true);
}

void QvPage::SetUpWindow(Placement placement, Sizing sizing)
{
    m_scale = ScaleFormToFont(this);
    if (sizing == Sizing::Fixed) {
        setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                       | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        setFixedSize(size());
    } else {
        setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        setMinimumSize(size() / 2);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    m_placement = placement;
}

void QvPage::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // Columns the page made after its creation, too, get room for their captions.
    for (QTreeWidget* list : findChildren<QTreeWidget*>())
        FitListColumns(list);
    place();
    PrepareWindowAccess(this);
    if (m_formCreate)
        QTimer::singleShot(0, this, [this] { runHeldFormCreate(); });
}

void QvPage::place()
{
    QWidget* owner = parentWidget();
    if (m_placement == Placement::OwnerCentre && owner) {
        move(owner->geometry().center() - rect().center());
    } else if (m_placement != Placement::AsDesigned) {
        if (const QScreen* desktop = screen())
            move(desktop->availableGeometry().center() - rect().center());
    }
}

bool QvPage::Guard(const std::function<void()>& handler)
{
    if (m_ending)
        return false;
    return RunGuarded(handler, this);
}

bool QvPage::RunFormCreate(const std::function<void()>& formCreate)
{
    if (s_openShown > 0 && !isVisible()) {
        m_formCreate = formCreate ? formCreate : [] {};
        return true;
    }
    const auto dropReadAhead = qScopeGuard([this] { m_bindings.DropReadAhead(); });
    return GuardToStatus(formCreate);
}

void QvPage::runHeldFormCreate()
{
    const std::function<void()> formCreate = std::move(m_formCreate);
    m_formCreate = nullptr;
    if (m_ending)
        return;
    const QSize shown = size();
    {
        const auto dropReadAhead = qScopeGuard([this] { m_bindings.DropReadAhead(); });
        GuardToStatus(formCreate);
    }
    for (QTreeWidget* list : findChildren<QTreeWidget*>())
        FitListColumns(list);
    // Rows and controls the opening made or moved get their names and their place in Tab's order.
    if (!m_ending)
        PrepareWindowAccess(this);
    // A page whose height follows what it read is placed again, as it would have been.
    if (size() != shown && !m_ending)
        place();
}

void QvPage::ReadTogether(const std::vector<QvSNMPRequest2Controls*>& bindings)
{
    // An exchange of each binding is under way, and one the page waits for, as far as its
    // window and its closing go: a close lets go of it (Abandon) and ends the wait at once.
    std::vector<QvSNMPRequest*> requests;
    std::vector<QvSNMPRequest2Controls*> marked;
    for (QvSNMPRequest2Controls* binding : bindings) {
        if (!binding)
            continue;
        requests.push_back(&binding->request);
        if (!binding->Busy) {
            binding->Busy = true;
            marked.push_back(binding);
        }
    }
    ExchangeWait wait;
    const auto over = qScopeGuard([&] {
        if (!wait.Ended())
            for (QvSNMPRequest2Controls* binding : marked)
                binding->Busy = false;
    });
    const WindowWaits::Scope waits(this);
    ::ReadTogether::Read(requests, &wait);
}

bool QvPage::GuardToStatus(const std::function<void()>& handler)
{
    if (!m_statusBar)
        return Guard(handler);
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        ShowSimpleStatus(QString::fromStdString(error.what()));
        return false;
    }
}

bool QvPage::RunWhenIdle(const std::function<void()>& handler)
{
    if (RefusedWhileBusy(AnyBindingBusy()))
        return false;
    return Guard(handler);
}

bool QvPage::RefusedWhileBusy(bool busy)
{
    if (!busy)
        return false;
    QvPage* page = this;
    while (page && !page->m_statusBar)
        page = qobject_cast<QvPage*>(page->parentWidget());
    if (!page)
        return true;
    // A bar with panels shows its first; the exchange's own result replaces the text there.
    if (page->m_statusBar->PanelCount() > 0 && !page->m_statusBar->SimplePanel())
        page->ShowStatus(kBusyText);
    else
        page->ShowSimpleStatus(kBusyText);
    return true;
}

QTimer* QvPage::NewTimer(int intervalMs, const std::function<void()>& handler)
{
    auto* timer = new QTimer(this);
    timer->setInterval(TimeScale::scaled(intervalMs));
    connect(timer, &QTimer::timeout, this, [this, timer, handler] {
        if (!WindowWaits::Waiting(this)) {
            Guard(handler);
            return;
        }
        if (m_heldTicks.contains(timer))
            return;
        m_heldTicks.insert(timer);
        WindowWaits::WhenNotWaiting(this, [this, timer, handler] {
            m_heldTicks.remove(timer);
            if (timer->isActive())
                Guard(handler);
        });
    });
    return timer;
}

void QvPage::UseStatusBar(QvStatusBar* statusBar, std::initializer_list<int> panelWidths)
{
    m_statusBar = statusBar;
    int left = static_cast<int>(panelWidths.size());
    for (int width : panelWidths)
        statusBar->AddPanel(m_scale.X(width), --left == 0);
}

void QvPage::ShowStatus(const QString& text, int panel)
{
    if (!m_statusBar)
        return;
    if (QvStatusPanel* target = m_statusBar->Panel(panel))
        target->SetText(text);
}

void QvPage::ShowSimpleStatus(const QString& text)
{
    if (!m_statusBar)
        return;
    m_statusBar->SetSimpleText(text);
    m_statusBar->SetSimplePanel(true);
}

bool QvPage::OwnsWait(const QObject* owner) const
{
    // The page's own waits and those of the dialogs it opened (the wait dialog, an entry dialog).
    for (const QObject* o = owner; o; o = o->parent())
        if (o == this)
            return true;
    return false;
}

bool QvPage::WaitWhile(const std::function<bool()>& busy, int lookMs)
{
    ExchangeWait wait;
    const WindowWaits::Scope waits(this);
    while (busy() && !m_ending)
        if (!wait.Wait(-1, lookMs))
            return false;
    return !m_ending;
}

void QvPage::done(int result)
{
    if (m_bindings.AnyWaiting() || ExchangeWait::AnyWaitOf([this](const QObject* o) { return OwnsWait(o); })) {
        // A waiting exchange of the page is below us on the stack: it ends now.
        closeForGood(result, true);
        return;
    }
    const bool refused = !CloseAllowed() || (m_busyClose == BusyClose::Refuse && AnyBindingBusy());
    if (refused || AnyBindingBusy()) {
        // An exchange is under way; a waiting table walk that lets messages run may even be
        // below us on the stack. Close once every exchange has ended, never under one. A
        // refused close says why, so the close box never seems to do nothing.
        if (refused)
            RefusedWhileBusy(true);
        holdClose(result, refused);
        return;
    }
    closeForGood(result, false);
}

void QvPage::closeForGood(int result, bool letGo)
{
    m_closeAsked.invalidate();
    // A closed page runs no timer of its own: its handlers may refer to the bindings.
    for (QTimer* timer : findChildren<QTimer*>())
        timer->stop();
    if (letGo) {
        // The bindings stay until the page is destroyed, as one may be below us on the stack.
        m_ending = true;
        LetGoOfWindow(this);
        ExchangeWait::EndWaitsOf([this](const QObject* o) { return OwnsWait(o); });
        m_bindings.Abandon();
    } else {
        ReleaseBindings();
    }
    QDialog::done(result);
}

void QvPage::holdClose(int result, bool refused)
{
    if (m_closeAsked.isValid())
        return;  // held already
    m_closeAsked.start();
    m_heldResult = result;
    m_closeRefused = refused;
    QTimer::singleShot(20, this, [this] { checkHeldClose(); });
}

void QvPage::checkHeldClose()
{
    if (!m_closeAsked.isValid() || m_ending)
        return;
    if (CloseAllowed() && !AnyBindingBusy()) {
        m_closeAsked.invalidate();
        if (!m_closeRefused)
            done(m_heldResult);
        return;
    }
    if (m_closeAsked.elapsed() < (m_closeRefused ? kCloseGraceMs : kBusyCloseGraceMs)) {
        QTimer::singleShot(20, this, [this] { checkHeldClose(); });
        return;
    }
    // Still busy after the grace: the page goes without what is outstanding.
    closeForGood(m_heldResult, true);
}
