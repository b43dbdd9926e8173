#include "StatusBar.h"

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent) { setSizeGripEnabled(false); }

StatusPanel* StatusBar::AddPanel(int width)
{
    auto* panel = new StatusPanel(this);
    panel->setFixedWidth(width);
    addWidget(panel);
    m_panels.push_back(panel);
    m_simple = false;
    showMode();
    return panel;
}

StatusPanel* StatusBar::Panel(int index) const
{
    return index >= 0 && index < PanelCount() ? m_panels[static_cast<size_t>(index)] : nullptr;
}

void StatusBar::SetSimplePanel(bool simple)
{
    m_simple = simple;
    showMode();
}

void StatusBar::SetSimpleText(const QString& text)
{
    m_simpleText = text;
    showMode();
}

void StatusBar::showMode()
{
    // The bar's message covers its panels while it is shown.
    if (m_simple)
        showMessage(m_simpleText);
    else
        clearMessage();
}
