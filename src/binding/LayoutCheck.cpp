#include "binding/LayoutCheck.h"

#include "binding/EveryTab.h"
#include "binding/Controls.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>
#include <vector>

namespace {

// Rows of a list looked at; a longer list shows nothing new.
constexpr int kRowsChecked = 200;

QString nameOf(const QWidget* widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

QString quoted(const QString& text) { return '"' + text + '"'; }

QString wanting(QSize needed, QSize has)
{
    return QString("needs %1 x %2 px, has %3 x %4")
        .arg(needed.width())
        .arg(needed.height())
        .arg(has.width())
        .arg(has.height());
}

bool fits(QSize needed, QSize has) { return needed.width() <= has.width() && needed.height() <= has.height(); }

// ---- texts ----

void checkLabel(const QLabel* label, QStringList& found)
{
    QString text = label->text();
    if (text.isEmpty())
        return;
    if (label->textFormat() == Qt::RichText || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text)))
        text = QTextDocumentFragment::fromHtml(text).toPlainText();
    const QFontMetrics metrics = label->fontMetrics();
    QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
    int indent = label->indent();
    if (indent < 0 && label->frameWidth() > 0)
        indent = metrics.horizontalAdvance(QLatin1Char('x')) / 2;
    if (indent > 0)
        room.setWidth(room.width() - indent);
    const int flags = Qt::AlignLeft | Qt::AlignTop | (label->wordWrap() ? Qt::TextWordWrap : 0)
                      | (label->buddy() ? Qt::TextShowMnemonic : 0);
    const QRect unbounded(0, 0, label->wordWrap() ? room.width() : 1 << 20, 1 << 20);
    const QSize needed = metrics.boundingRect(unbounded, flags, text).size();
    if (!fits(needed, room.size()))
        found << QString("%1 %2: %3").arg(nameOf(label), quoted(label->text()), wanting(needed, room.size()));
}

void checkButton(const QAbstractButton* button, QStringList& found)
{
    if (button->text().isEmpty())
        return;
    QSize needed;
    QSize has;
    if (const auto* push = qobject_cast<const QPushButton*>(button)) {
        QStyleOptionButton option;
        option.initFrom(push);
        option.text = push->text();
        if (push->autoDefault() || push->isDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        has = push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push).size();
        needed = push->fontMetrics().size(Qt::TextShowMnemonic, push->text());
    } else if (qobject_cast<const QCheckBox*>(button) || qobject_cast<const QRadioButton*>(button)) {
        // The box or dot, the gap and the text, as the style lays them out.
        needed = QSize(button->sizeHint().width(), button->fontMetrics().height());
        has = button->size();
    } else {
        return;
    }
    if (!fits(needed, has))
        found << QString("%1 %2: %3").arg(nameOf(button), quoted(button->text()), wanting(needed, has));
}

QStyleOptionGroupBox groupOption(const QGroupBox* group)
{
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.lineWidth = 1;
    option.midLineWidth = 0;
    option.textAlignment = group->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame;
    if (!group->title().isEmpty())
        option.subControls |= QStyle::SC_GroupBoxLabel;
    if (group->isCheckable())
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
    option.features = group->isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
    return option;
}

// Where the group's title (and its check box) is drawn; empty without a title.
QRect titleArea(const QGroupBox* group)
{
    if (group->title().isEmpty() && !group->isCheckable())
        return {};
    const QStyleOptionGroupBox option = groupOption(group);
    QRect area = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
    if (group->isCheckable())
        area |= group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxCheckBox, group);
    return area;
}

void checkGroupTitle(const QGroupBox* group, QStringList& found)
{
    if (group->title().isEmpty())
        return;
    // The style sizes the title's place from the text; blanks at its ends may fall outside.
    const QRect title = titleArea(group);
    const QSize needed = group->fontMetrics().size(Qt::TextShowMnemonic, group->title().trimmed());
    if (!group->rect().contains(title) || !fits(needed, title.size()))
        found << QString("%1 title %2: %3")
                     .arg(nameOf(group), quoted(group->title()),
                          wanting(needed, title.intersected(group->rect()).size()));
}

void checkTabCaptions(const QTabWidget* tabs, QStringList& found)
{
    const QTabBar* bar = tabs->tabBar();
    QRect shown = bar->rect();
    for (const QToolButton* arrow : bar->findChildren<QToolButton*>())
        if (arrow->isVisible())  // scroll arrows: the captions do not fit side by side
            shown.setRight(std::min(shown.right(), arrow->geometry().left() - 1));
    const int padding = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
    for (int i = 0; i < bar->count(); ++i) {
        if (!bar->isTabVisible(i))
            continue;
        const QRect tab = bar->tabRect(i);
        const QSize needed(bar->fontMetrics().size(Qt::TextShowMnemonic, bar->tabText(i)).width() + padding,
                           tab.height());
        if (!shown.contains(tab) || tab.width() < needed.width()) {
            const QRect seen = tab.intersected(shown);
            found << QString("%1 tab %2: %3")
                         .arg(nameOf(tabs), quoted(bar->tabText(i)), wanting(needed, seen.size()));
        }
    }
}

// The captions and then the rows: a column narrower than its widest value cuts it.
void checkList(const QTreeView* list, QStringList& found)
{
    const QHeaderView* header = list->header();
    const QAbstractItemModel* model = list->model();
    if (!model)
        return;
    const int headerMargin = 2 * list->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    // The text of a cell sits inside the focus frame's margin on either side, and the grid
    // line takes one more pixel.
    const int cellMargin = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1) + 1;
    for (int column = 0; column < header->count(); ++column) {
        const int width = header->sectionSize(column);
        if (header->isSectionHidden(column) || width == 0)
            continue;
        const QString caption = model->headerData(column, Qt::Horizontal).toString();
        if (!header->isHidden()) {
            // Columns beyond the list's right edge are a scroll away, as in any list.
            const int needed = header->fontMetrics().horizontalAdvance(caption) + headerMargin;
            if (width < needed)
                found << QString("%1 column %2: needs %3 px, has %4")
                             .arg(nameOf(list), quoted(caption))
                             .arg(needed)
                             .arg(width);
        }
        QString widest;
        int widestWidth = 0;
        int cut = 0;
        const QFontMetrics metrics = list->fontMetrics();
        for (int row = 0; row < std::min(model->rowCount(), kRowsChecked); ++row) {
            const QString value = model->index(row, column).data().toString();
            const int needed = metrics.horizontalAdvance(value) + cellMargin;
            if (needed <= width)
                continue;
            ++cut;
            if (needed > widestWidth) {
                widestWidth = needed;
                widest = value;
            }
        }
        if (cut > 0)
            found << QString("%1 column %2, %3 row(s) such as %4: needs %5 px, has %6")
                         .arg(nameOf(list), quoted(caption))
                         .arg(cut)
                         .arg(quoted(widest))
                         .arg(widestWidth)
                         .arg(width);
    }
}

void checkTexts(const QWidget* widget, QStringList& found)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        checkLabel(label, found);
    else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        checkButton(button, found);
    else if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        checkGroupTitle(group, found);
    else if (const auto* tabs = qobject_cast<const QTabWidget*>(widget))
        checkTabCaptions(tabs, found);
    else if (const auto* list = qobject_cast<const QTreeView*>(widget))
        checkList(list, found);
}

// ---- overlaps ----

std::vector<const QWidget*> placedChildren(const QWidget* parent, const QWidget* window)
{
    std::vector<const QWidget*> placed;
    for (const QObject* object : parent->children()) {
        const auto* child = qobject_cast<const QWidget*>(object);
        if (child && PlacedByForm(child) && child->isVisibleTo(window))
            placed.push_back(child);
    }
    return placed;
}

// A group box or a plain frame: what other controls may be laid upon.
bool isBackdrop(const QWidget* widget)
{
    return qobject_cast<const QGroupBox*>(widget) || widget->metaObject() == &QFrame::staticMetaObject;
}

// A plain frame without a border: nothing of it shows but what stands on it.
bool isBorderless(const QWidget* widget)
{
    const auto* frame = qobject_cast<const QFrame*>(widget);
    return frame && frame->frameShape() == QFrame::NoFrame && !frame->autoFillBackground();
}

// Where a control shows, in its parent's coordinates: a borderless frame shows only what
// stands on it.
QRect shownPlace(const QWidget* control, const QWidget* window)
{
    if (!isBackdrop(control) || !isBorderless(control))
        return control->geometry();
    QRect extent;
    for (const QWidget* child : placedChildren(control, window))
        extent |= shownPlace(child, window);
    return extent.translated(control->pos());
}

QString area(const QRect& rect) { return QString("%1 x %2 px").arg(rect.width()).arg(rect.height()); }

void checkPlacement(const QWidget* parent, const QWidget* window, QStringList& found)
{
    const std::vector<const QWidget*> children = placedChildren(parent, window);
    const auto* group = qobject_cast<const QGroupBox*>(parent);
    const QRect title = group ? titleArea(group) : QRect();
    for (size_t i = 0; i < children.size(); ++i) {
        const QRect place = children[i]->geometry();
        const QRect shown = shownPlace(children[i], window);
        if (!parent->rect().contains(shown) && !shown.isEmpty()) {
            const QRect inside = parent->rect();
            const int beyond = std::max({inside.left() - shown.left(), inside.top() - shown.top(),
                                         shown.right() - inside.right(), shown.bottom() - inside.bottom()});
            found << QString("%1 runs past the edge of %2 by %3 px")
                         .arg(nameOf(children[i]), nameOf(parent))
                         .arg(beyond);
        }
        if (title.intersects(place))
            found << QString("%1 covers the title of %2 (%3)")
                         .arg(nameOf(children[i]), nameOf(parent), area(title.intersected(place)));
        for (size_t j = i + 1; j < children.size(); ++j) {
            // Later children stand above earlier ones: a control wholly on a frame before it
            // stands on it as on a panel, as long as it leaves the frame's title free.
            const QWidget* below = children[i];
            const QWidget* above = children[j];
            if (isBackdrop(below) && place.contains(above->geometry())) {
                const auto* frame = qobject_cast<const QGroupBox*>(below);
                const QRect frameTitle = frame ? titleArea(frame).translated(frame->pos()) : QRect();
                if (frameTitle.intersects(above->geometry()))
                    found << QString("%1 covers the title of %2 (%3)")
                                 .arg(nameOf(above), nameOf(below), area(frameTitle.intersected(above->geometry())));
                continue;
            }
            const QRect shared = place.intersected(above->geometry());
            if (!shared.isEmpty())
                found << QString("%1 overlaps %2 (%3)").arg(nameOf(below), nameOf(above), area(shared));
        }
    }
}

// Lets pending layout work reach the window, so geometry is what the user would see.
void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest); }

} // namespace

void LayoutFindings::add(const LayoutFindings& other)
{
    for (const QString& finding : other.clippedTexts)
        if (!clippedTexts.contains(finding))
            clippedTexts << finding;
    for (const QString& finding : other.overlaps)
        if (!overlaps.contains(finding))
            overlaps << finding;
}

QString LayoutFindings::report() const
{
    QString text = QString("%1 clipped text%2, %3 overlap%4")
                       .arg(clippedTexts.size())
                       .arg(clippedTexts.size() == 1 ? "" : "s")
                       .arg(overlaps.size())
                       .arg(overlaps.size() == 1 ? "" : "s");
    for (const QString& finding : clippedTexts)
        text += "\n  clipped: " + finding;
    for (const QString& finding : overlaps)
        text += "\n  overlap: " + finding;
    return text;
}

LayoutFindings CheckLayout(QWidget* window)
{
    settle();
    LayoutFindings findings;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (const QWidget* widget : widgets) {
        if (widget != window && (widget->isWindow() || !widget->isVisibleTo(window)))
            continue;
        checkTexts(widget, findings.clippedTexts);
        checkPlacement(widget, window, findings.overlaps);
    }
    return findings;
}

LayoutFindings CheckLayoutOnEveryTab(QWidget* window)
{
    LayoutFindings findings = CheckLayout(window);
    OnEveryOtherTab(window, [&] { findings.add(CheckLayout(window)); });
    return findings;
}
