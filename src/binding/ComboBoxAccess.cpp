#include "binding/ComboBoxAccess.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace {

class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* comboBox) : QAccessibleWidget(comboBox, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return comboBox()->isEditable() && comboBox()->lineEdit() ? comboBox()->lineEdit()->text()
                                                                      : comboBox()->currentText();
        return QAccessibleWidget::text(kind);  // the name: accessible name, else the buddy label's text
    }
    // Its one child is the list it drops down, as with Qt's own.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(comboBox()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == comboBox()->view() ? 0 : -1;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = comboBox()->view()->isVisible();
        state.editable = comboBox()->isEditable();
        return state;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            comboBox()->showPopup();
    }

private:
    QComboBox* comboBox() const { return static_cast<QComboBox*>(widget()); }
};

} // namespace

void NameComboBoxByItsLabel(QComboBox* comboBox)
{
    // Qt made and keeps an interface for each object the first time it is asked for (a combo
    // box asks when its item changes); that one goes, and this one takes its place.
    QAccessibleInterface* current = QAccessible::queryAccessibleInterface(comboBox);
    if (dynamic_cast<NamedComboBox*>(current))
        return;
    if (current)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(current));
    QAccessible::registerAccessibleInterface(new NamedComboBox(comboBox));
}
