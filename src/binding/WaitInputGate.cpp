#include "binding/WaitInputGate.h"

#include "binding/QvPage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// Between two waits close together (the steps of a walk) the busy cursor stays.
constexpr int kRestoreCursorMs = 100;

bool isEscape(const QEvent* event)
{
    return static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

// Input that would act on a window: clicks, keys, the wheel, shortcuts, touches. Hovering
// and the window system's own requests (close, activation, exposure) are not among them.
bool actsOnWindow(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        return !isEscape(event);
    case QEvent::MouseMove:
        return static_cast<const QMouseEvent*>(event)->buttons() != Qt::NoButton;
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::DragEnter:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool isPress(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

// The top-level window an event is aimed at, or none (a shortcut's action).
QWidget* windowOf(QObject* receiver)
{
    if (auto* widget = qobject_cast<QWidget*>(receiver))
        return widget->window();
    if (auto* window = qobject_cast<QWindow*>(receiver)) {
        for (QWidget* topLevel : QApplication::topLevelWidgets())
            if (topLevel->windowHandle() == window)
                return topLevel;
    }
    return nullptr;
}

} // namespace

void WaitInputGate::Install()
{
    static QPointer<WaitInputGate> installed;
    if (installed || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    installed = new WaitInputGate(QCoreApplication::instance());
    ExchangeWait::SetInputGate(installed);
}

WaitInputGate::WaitInputGate(QObject* parent) : QObject(parent)
{
    m_busyCursorDelay.setSingleShot(true);
    m_busyCursorDelay.setInterval(kBusyCursorMs);
    connect(&m_busyCursorDelay, &QTimer::timeout, this, [this] { showBusyCursor(); });
    m_restoreDelay.setSingleShot(true);
    m_restoreDelay.setInterval(kRestoreCursorMs);
    connect(&m_restoreDelay, &QTimer::timeout, this, [this] { restoreCursor(); });
}

// Goes with the application, whose cursor goes with it.
WaitInputGate::~WaitInputGate() { ExchangeWait::SetInputGate(nullptr); }

void WaitInputGate::WaitBegins(int depth)
{
    std::vector<QPointer<QWidget>> windows;
    for (QWidget* topLevel : QApplication::topLevelWidgets())
        if (topLevel->isVisible())
            windows.emplace_back(topLevel);
    m_windowsAtStart.resize(static_cast<size_t>(std::max(depth - 1, 0)));
    m_windowsAtStart.push_back(std::move(windows));
    if (depth == 1) {
        QCoreApplication::instance()->installEventFilter(this);
        m_restoreDelay.stop();
        if (!m_busyCursor)
            m_busyCursorDelay.start();
    }
}

void WaitInputGate::WaitEnds(int depth)
{
    m_windowsAtStart.resize(static_cast<size_t>(std::max(depth, 0)));
    if (depth > 0)
        return;
    QCoreApplication::instance()->removeEventFilter(this);
    m_busyCursorDelay.stop();
    if (m_busyCursor)
        m_restoreDelay.start();
}

bool WaitInputGate::heldWindow(QObject* receiver) const
{
    if (m_windowsAtStart.empty())
        return false;
    QWidget* window = windowOf(receiver);
    if (!window)
        return true;
    const auto& before = m_windowsAtStart.back();
    return std::any_of(before.begin(), before.end(), [window](const QPointer<QWidget>& w) { return w == window; });
}

bool WaitInputGate::eventFilter(QObject* receiver, QEvent* event)
{
    if (ExchangeWait::Depth() == 0 || !actsOnWindow(event) || !heldWindow(receiver))
        return false;
    refuse(receiver, isPress(event));
    return true;
}

void WaitInputGate::refuse(QObject* receiver, bool pressed)
{
    showBusyCursor();
    if (!pressed)
        return;
    // The page says why nothing happened; its own answer replaces the text when it comes.
    if (auto* page = qobject_cast<QvPage*>(windowOf(receiver)))
        page->RefusedWhileBusy(true);
}

void WaitInputGate::showBusyCursor()
{
    m_busyCursorDelay.stop();
    m_restoreDelay.stop();
    if (m_busyCursor)
        return;
    m_busyCursor = true;
    QApplication::setOverrideCursor(Qt::BusyCursor);
}

void WaitInputGate::restoreCursor()
{
    if (!m_busyCursor)
        return;
    m_busyCursor = false;
    QApplication::restoreOverrideCursor();
}
