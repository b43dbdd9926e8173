#include "binding/AccessibilityCheck.h"

#include "binding/EveryTab.h"
#include "binding/AccessibleNames.h"
#include "binding/Contrast.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>

namespace {

QString nameOf(const QWidget* widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

// The text a widget shows, or empty when it shows none worth measuring.
QString ShownText(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->pixmap().isNull() ? label->text() : QString();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->echoMode() == QLineEdit::Normal ? edit->text() : QString("*");
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->currentText();
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(widget))
        return memo->toPlainText();
    if (const auto* text = qobject_cast<const QTextEdit*>(widget))
        return text->toPlainText();
    if (const auto* list = qobject_cast<const QTreeWidget*>(widget))
        return list->topLevelItemCount() > 0 ? list->topLevelItem(0)->text(0) : QString();
    return {};
}

// Widgets that paint their own background (edits, lists, buttons) are read against it;
// texts that stand on their parent (labels, check boxes, group titles) against the nearest
// one that fills its background.
QColor Background(const QWidget* widget)
{
    const bool ownBackground = qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget)
                               || qobject_cast<const QAbstractItemView*>(widget)
                               || qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QTextEdit*>(widget)
                               || widget->inherits("QPushButton");
    const QWidget* painter = widget;
    if (!ownBackground)
        while (painter->parentWidget() && !painter->autoFillBackground() && !painter->isWindow())
            painter = painter->parentWidget();
    if (!ownBackground && painter->autoFillBackground())
        return painter->palette().color(QPalette::Active, painter->backgroundRole());
    if (!ownBackground)
        return painter->palette().color(QPalette::Active, QPalette::Window);
    return widget->palette().color(QPalette::Active, widget->backgroundRole());
}

QColor Foreground(const QWidget* widget)
{
    if (qobject_cast<const QAbstractItemView*>(widget))
        return widget->palette().color(QPalette::Active, QPalette::Text);
    return widget->palette().color(QPalette::Active, widget->foregroundRole());
}

void CheckNames(QWidget* window, AccessibilityFindings& found)
{
    QMap<QString, QStringList> byName;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() != window || !widget->isVisible() || !IsControl(widget))
            continue;
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
        if (!control)
            continue;
        const QString name = control->text(QAccessible::Name).trimmed();
        const QString value = control->text(QAccessible::Value).trimmed();
        if (name.isEmpty())
            found.unnamed << QString("%1 (%2)").arg(nameOf(widget), widget->metaObject()->className());
        // A list has no one value; Qt gives its name there.
        else if (name == value && !qobject_cast<QAbstractButton*>(widget) && !qobject_cast<QAbstractItemView*>(widget))
            found.namedByValue << QString("%1 reads as its value \"%2\"").arg(nameOf(widget), value);
        else
            byName[name] << nameOf(widget);
    }
    for (auto it = byName.cbegin(); it != byName.cend(); ++it)
        if (it.value().size() > 1)
            found.sharedNames << QString("\"%1\": %2").arg(it.key(), it.value().join(", "));
}

void CheckContrast(QWidget* window, AccessibilityFindings& found)
{
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() != window || !widget->isVisible() || !widget->isEnabled())
            continue;
        if (ShownText(widget).trimmed().isEmpty())
            continue;
        const QColor text = Foreground(widget);
        const QColor background = Background(widget);
        const double ratio = ContrastRatio(text, background);
        if (ratio < kLeastTextContrast)
            found.lowContrast << QString("%1 \"%2\": %3 on %4, %5:1")
                                     .arg(nameOf(widget), ShownText(widget).left(30), text.name(), background.name())
                                     .arg(ratio, 0, 'f', 1);
    }
}

void AddNew(QStringList& to, const QStringList& from)
{
    for (const QString& finding : from)
        if (!to.contains(finding))
            to << finding;
}

} // namespace

bool AccessibilityFindings::empty() const
{
    return unnamed.isEmpty() && namedByValue.isEmpty() && sharedNames.isEmpty() && lowContrast.isEmpty();
}

void AccessibilityFindings::add(const AccessibilityFindings& other)
{
    AddNew(unnamed, other.unnamed);
    AddNew(namedByValue, other.namedByValue);
    AddNew(sharedNames, other.sharedNames);
    AddNew(lowContrast, other.lowContrast);
}

QString AccessibilityFindings::report() const
{
    QStringList lines;
    lines << QString("%1 unnamed, %2 named by value, %3 shared names, %4 low contrast")
                 .arg(unnamed.size())
                 .arg(namedByValue.size())
                 .arg(sharedNames.size())
                 .arg(lowContrast.size());
    for (const QString& line : unnamed)
        lines << "unnamed: " + line;
    for (const QString& line : namedByValue)
        lines << "named by value: " + line;
    for (const QString& line : sharedNames)
        lines << "shared name: " + line;
    for (const QString& line : lowContrast)
        lines << "low contrast: " + line;
    return lines.join('\n');
}

AccessibilityFindings CheckAccessibility(QWidget* window)
{
    AccessibilityFindings found;
    CheckNames(window, found);
    CheckContrast(window, found);
    return found;
}

AccessibilityFindings CheckAccessibilityOnEveryTab(QWidget* window)
{
    AccessibilityFindings found = CheckAccessibility(window);
    OnEveryOtherTab(window, [&] { found.add(CheckAccessibility(window)); });
    return found;
}
