#include "binding/QvStatusBar.h"

#include <QAccessible>

namespace {

// A screen reader speaks a status line when its name changes.
void Announce(QObject* changed)
{
    QAccessibleEvent event(changed, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace

QvStatusPanel::QvStatusPanel(QWidget* parent) : QLabel(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void QvStatusPanel::SetText(const QString& text)
{
    if (text == this->text())
        return;
    setText(text);
    Announce(this);
}

QvStatusBar::QvStatusBar(QWidget* parent) : QStatusBar(parent) { setSizeGripEnabled(false); }

QvStatusPanel* QvStatusBar::AddPanel(int width, bool fill)
{
    auto* panel = new QvStatusPanel(this);
    if (fill) {
        panel->setMinimumWidth(width);
        addWidget(panel, 1);
    } else {
        panel->setFixedWidth(width);
        addWidget(panel);
    }
    m_panels.push_back(panel);
    m_simple = false;
    showMode();
    return panel;
}

QvStatusPanel* QvStatusBar::Panel(int index) const
{
    return index >= 0 && index < PanelCount() ? m_panels[static_cast<size_t>(index)] : nullptr;
}

void QvStatusBar::SetSimplePanel(bool simple)
{
    m_simple = simple;
    showMode();
}

void QvStatusBar::SetSimpleText(const QString& text)
{
    m_simpleText = text;
    showMode();
}

void QvStatusBar::showMode()
{
    // The bar's message covers its panels while it is shown.
    const QString before = currentMessage();
    if (m_simple)
        showMessage(m_simpleText);
    else
        clearMessage();
    if (currentMessage() != before)
        Announce(this);
}
