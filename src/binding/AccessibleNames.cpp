#include "binding/AccessibleNames.h"

#include "binding/ComboBoxAccess.h"
#include "binding/KeyboardAccess.h"
#include "binding/Mnemonics.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSet>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

QRect PlaceIn(const QWidget* widget, const QWidget* window)
{
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

bool Overlaps(int low, int high, int otherLow, int otherHigh) { return low <= otherHigh && otherLow <= high; }

// A label that can stand for a control: some letter or digit in it (not a lone "." between the
// parts of an address), no picture.
bool IsNamingLabel(const QLabel* label)
{
    if (label->isHidden() || !label->pixmap().isNull())
        return false;
    const QString text = label->text();
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

QList<QLabel*> SiblingLabels(const QWidget* control)
{
    QList<QLabel*> labels;
    if (!control->parentWidget())
        return labels;
    for (QObject* object : control->parentWidget()->children())
        if (auto* label = qobject_cast<QLabel*>(object); label && IsNamingLabel(label))
            labels << label;
    return labels;
}

// The nearest label before the control on its row.
QLabel* RowLabel(const QWidget* control)
{
    const QRect place = control->geometry();
    QLabel* best = nullptr;
    for (QLabel* label : SiblingLabels(control)) {
        const QRect at = label->geometry();
        const bool sameRow = (at.center().y() >= place.top() && at.center().y() <= place.bottom())
                             || (place.center().y() >= at.top() && place.center().y() <= at.bottom());
        if (sameRow && at.right() <= place.left() + 2 && (!best || at.right() > best->geometry().right()))
            best = label;
    }
    return best;
}

// The nearest label just above the control, reaching over part of it.
QLabel* LabelAbove(const QWidget* control)
{
    const QRect place = control->geometry();
    QLabel* best = nullptr;
    for (QLabel* label : SiblingLabels(control)) {
        const QRect at = label->geometry();
        const bool above = at.bottom() <= place.top() + 2 && place.top() - at.bottom() <= 2 * at.height();
        if (above && Overlaps(at.left(), at.right(), place.left(), place.right())
            && (!best || at.bottom() > best->geometry().bottom()))
            best = label;
    }
    return best;
}

QString ContainerCaption(const QWidget* control)
{
    const QWidget* parent = control->parentWidget();
    if (const auto* group = qobject_cast<const QGroupBox*>(parent))
        return NameFromText(group->title());
    // A tab's page sits in the tab control's stack.
    if (parent && qobject_cast<const QStackedWidget*>(parent->parentWidget()))
        if (const auto* tabs = qobject_cast<const QTabWidget*>(parent->parentWidget()->parentWidget()))
            return NameFromText(tabs->tabText(tabs->indexOf(const_cast<QWidget*>(parent))));
    return {};
}

QString GroupTitle(const QWidget* control)
{
    for (const QWidget* up = control->parentWidget(); up && !up->isWindow(); up = up->parentWidget())
        if (const auto* group = qobject_cast<const QGroupBox*>(up))
            if (const QString title = NameFromText(group->title()); !title.isEmpty())
                return title;
    return {};
}

// The tab pages that hold the widget, each as its tab control and tab.
std::vector<std::pair<const QTabWidget*, int>> TabsOf(const QWidget* widget)
{
    std::vector<std::pair<const QTabWidget*, int>> tabs;
    for (const QWidget* up = widget; up && !up->isWindow(); up = up->parentWidget())
        if (const auto* stack = qobject_cast<const QStackedWidget*>(up->parentWidget()))
            if (const auto* tabWidget = qobject_cast<const QTabWidget*>(stack->parentWidget()))
                tabs.emplace_back(tabWidget, tabWidget->indexOf(const_cast<QWidget*>(up)));
    return tabs;
}

// Two controls a user can see at the same time: not on different tabs of one tab control.
bool SeenTogether(const QWidget* a, const QWidget* b)
{
    for (const auto& [tabs, tab] : TabsOf(a))
        for (const auto& [otherTabs, otherTab] : TabsOf(b))
            if (tabs == otherTabs && tab != otherTab)
                return false;
    return true;
}

QList<QWidget*> Controls(QWidget* window)
{
    QList<QWidget*> controls;
    for (QWidget* widget : window->findChildren<QWidget*>())
        if (widget->window() == window && IsControl(widget))
            controls << widget;
    return controls;
}

// The name a control reads as: its own, or a button's text.
QString ReadName(const QWidget* control)
{
    if (!control->accessibleName().isEmpty())
        return control->accessibleName();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return NameFromText(button->text());
    return {};
}

// Controls sharing a name with another they are seen with: told apart by group box title,
// then by their place in reading order.
void TellApart(QWidget* window, const QList<QWidget*>& controls)
{
    for (int pass = 0; pass < 2; ++pass) {
        QMap<QString, QList<QWidget*>> byName;
        for (QWidget* control : controls)
            if (const QString name = ReadName(control); !name.isEmpty() && !control->isHidden())
                byName[name] << control;
        for (const QList<QWidget*>& same : byName) {
            QList<QWidget*> clashing;
            for (QWidget* control : same)
                for (QWidget* other : same)
                    if (other != control && SeenTogether(control, other)) {
                        clashing << control;
                        break;
                    }
            if (clashing.size() < 2)
                continue;
            if (pass == 0) {
                QSet<QString> titles;
                for (const QWidget* control : clashing)
                    titles.insert(GroupTitle(control));
                if (titles.size() < 2)
                    continue;  // one group: their places tell them apart
                for (QWidget* control : clashing)
                    if (const QString title = GroupTitle(control); !title.isEmpty())
                        control->setAccessibleName(ReadName(control) + " (" + title + ")");
            } else {
                int number = 0;
                for (QWidget* control : InReadingOrder(clashing, window))
                    control->setAccessibleName(ReadName(control) + ' ' + QString::number(++number));
            }
        }
    }
}

} // namespace

QString NameFromText(const QString& text)
{
    QString name = WithoutMnemonic(text).simplified();
    while (name.endsWith(':'))
        name.chop(1);
    return name.trimmed();
}

bool IsControl(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget();
    if (qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent)
        || qobject_cast<const QTabBar*>(parent) || qobject_cast<const QAbstractScrollArea*>(parent))
        return false;
    if (qobject_cast<const QScrollBar*>(widget) || qobject_cast<const QHeaderView*>(widget))
        return false;
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget)
           || qobject_cast<const QAbstractSpinBox*>(widget) || qobject_cast<const QPlainTextEdit*>(widget)
           || qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QAbstractItemView*>(widget)
           || qobject_cast<const QAbstractSlider*>(widget) || qobject_cast<const QAbstractButton*>(widget);
}

void NameControls(QWidget* window)
{
    const QList<QWidget*> controls = Controls(window);
    QMap<const QWidget*, QLabel*> buddies;
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy())
            buddies.insert(label->buddy(), label);
    const auto name = [&](QWidget* control, const QLabel* label) {
        control->setAccessibleName(NameFromText(label->text()));
        if (!label->buddy())
            const_cast<QLabel*>(label)->setBuddy(control);
    };

    // A button or check box names itself by its text; the others by their label on the row.
    QList<QWidget*> unnamed;
    for (QWidget* control : controls) {
        if (!control->accessibleName().isEmpty())
            continue;
        if (const auto* button = qobject_cast<const QAbstractButton*>(control); button && !button->text().isEmpty())
            continue;
        if (QLabel* label = buddies.value(control) ? buddies.value(control) : RowLabel(control))
            name(control, label);
        else
            unnamed << control;
    }
    // Then by a label just above that stands for no other control (a list's caption); a
    // shown control before a hidden stand-in at its place.
    std::stable_partition(unnamed.begin(), unnamed.end(), [](const QWidget* control) { return !control->isHidden(); });
    for (QWidget* control : QList<QWidget*>(unnamed))
        if (const QLabel* label = LabelAbove(control);
            label && (!label->buddy() || label->buddy()->geometry() == control->geometry())) {
            name(control, label);
            unnamed.removeOne(control);
        }
    // An entry below a named one of its kind, in one column, continues its list ("Remote AP MAC
    // Address" for each of eight addresses); told apart by number below.
    for (QWidget* control : InReadingOrder(unnamed, window)) {
        for (const QWidget* above : controls) {
            const QRect a = above->geometry();
            const QRect b = control->geometry();
            if (above != control && above->parentWidget() == control->parentWidget()
                && above->metaObject() == control->metaObject() && !above->accessibleName().isEmpty()
                && std::abs(a.left() - b.left()) <= 2 && a.bottom() < b.top() && b.top() - a.bottom() <= a.height()) {
                control->setAccessibleName(above->accessibleName());
                unnamed.removeOne(control);
                break;
            }
        }
    }
    // The one control of a group or tab that no label names takes its caption. Controls the
    // form keeps hidden (stand-ins, values kept for later) do not count.
    for (QWidget* control : unnamed) {
        const auto alike = std::count_if(unnamed.begin(), unnamed.end(), [control](const QWidget* other) {
            return other->parentWidget() == control->parentWidget() && !other->isHidden();
        });
        if (alike <= 1)
            if (const QString caption = ContainerCaption(control); !caption.isEmpty())
                control->setAccessibleName(caption);
    }
    TellApart(window, controls);
    for (QWidget* control : controls)
        if (auto* comboBox = qobject_cast<QComboBox*>(control))
            NameComboBoxByItsLabel(comboBox);
}
