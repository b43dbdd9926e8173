#include "binding/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QGridLayout>

#include <algorithm>

RadioGroup::RadioGroup(QWidget* parent, int columns)
    : QGroupBox(parent), m_buttons(new QButtonGroup(this)), m_layout(new QGridLayout(this)),
      m_columns(std::max(1, columns))
{
    connect(m_buttons, &QButtonGroup::idClicked, this, [this] { emit Click(); });
}

QStringList RadioGroup::Items() const
{
    QStringList items;
    for (QAbstractButton* button : m_buttons->buttons())
        items << button->text();
    return items;
}

void RadioGroup::SetItems(const QStringList& items)
{
    ClearItems();
    for (const QString& text : items)
        AddItem(text);
}

void RadioGroup::ClearItems()
{
    for (QAbstractButton* button : m_buttons->buttons()) {
        m_buttons->removeButton(button);
        delete button;
    }
}

void RadioGroup::AddItem(const QString& text)
{
    auto* button = new QRadioButton(text, this);
    m_buttons->addButton(button, Count());
    arrange();
}

void RadioGroup::SetColumns(int columns)
{
    m_columns = std::max(1, columns);
    arrange();
}

void RadioGroup::arrange()
{
    const QList<QAbstractButton*> buttons = m_buttons->buttons();
    const int rows = std::max(1, (static_cast<int>(buttons.size()) + m_columns - 1) / m_columns);
    for (QAbstractButton* button : buttons) {
        const int index = m_buttons->id(button);
        m_layout->removeWidget(button);
        m_layout->addWidget(button, index % rows, index / rows);
    }
}

int RadioGroup::Count() const { return static_cast<int>(m_buttons->buttons().size()); }

QString RadioGroup::ItemText(int index) const
{
    QAbstractButton* button = m_buttons->button(index);
    return button ? button->text() : QString();
}

int RadioGroup::ItemIndex() const { return m_buttons->checkedId(); }

void RadioGroup::SetItemIndex(int index)
{
    if (QAbstractButton* button = m_buttons->button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; let go of it to leave none chosen.
    if (QAbstractButton* checked = m_buttons->checkedButton()) {
        m_buttons->setExclusive(false);
        checked->setChecked(false);
        m_buttons->setExclusive(true);
    }
}
