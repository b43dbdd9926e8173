#include "binding/Controls.h"

#include "binding/ListColumns.h"
#include "binding/ListExport.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QValidator>
#include <QVariant>

namespace {

constexpr const char* kTagProperty = "Tag";
// Qt's own default maximum length: what "no limit" means for a line edit.
constexpr int kUnlimited = 32767;

std::function<void()>& beepHandler()
{
    static std::function<void()> handler;
    return handler;
}

// The QTabWidget whose page the sheet is (the sheet's parent is the tab widget's stack).
QTabWidget* tabWidgetOf(const QWidget* sheet)
{
    if (!sheet || !sheet->parentWidget())
        return nullptr;
    return qobject_cast<QTabWidget*>(sheet->parentWidget()->parentWidget());
}

} // namespace

void ShowNotRead(QCheckBox* box)
{
    // Once per box: whatever leaves the third state (the user's click, a value that arrives)
    // takes it away from the clicks that follow.
    constexpr const char* kLeavesThirdState = "vtaLeavesThirdState";
    if (!box->property(kLeavesThirdState).toBool()) {
        box->setProperty(kLeavesThirdState, true);
        QObject::connect(box, &QCheckBox::stateChanged, box, [box](int state) {
            if (state != Qt::PartiallyChecked)
                box->setTristate(false);
        });
    }
    box->setCheckState(Qt::PartiallyChecked);
}

bool NotRead(const QCheckBox* box) { return box->checkState() == Qt::PartiallyChecked; }

bool ShowsChecked(const QCheckBox* box) { return box->checkState() == Qt::Checked; }

void ShowChecked(QCheckBox* box, bool checked)
{
    box->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    box->setTristate(false);
}

int Tag(const QWidget* control) { return control->property(kTagProperty).toInt(); }

void SetTag(QWidget* control, int tag) { control->setProperty(kTagProperty, tag); }

// Limits what the user types or pastes to a number of characters; text set by the program
// is taken whole, so a value such as "(NULL)" shows even in a three-character field.
class TypingLimit : public QValidator {
public:
    TypingLimit(int length, QObject* parent) : QValidator(parent), length(length) {}
    State validate(QString& input, int&) const override
    {
        return input.size() <= length ? Acceptable : Invalid;
    }
    int length;
};

int MaxLength(const QLineEdit* edit)
{
    const auto* limit = dynamic_cast<const TypingLimit*>(edit->validator());
    return limit ? limit->length : 0;
}

void SetMaxLength(QLineEdit* edit, int length)
{
    edit->setMaxLength(kUnlimited);
    auto* limit = const_cast<TypingLimit*>(dynamic_cast<const TypingLimit*>(edit->validator()));
    if (length <= 0) {
        if (limit) {
            edit->setValidator(nullptr);
            delete limit;
        }
        return;
    }
    if (limit)
        limit->length = length;
    else
        edit->setValidator(new TypingLimit(length, edit));
}

void SetReadOnlyLook(QLineEdit* edit, bool readOnly)
{
    QPalette palette = edit->palette();
    const QPalette standard = QApplication::palette(edit);
    palette.setColor(QPalette::Base, standard.color(readOnly ? QPalette::Button : QPalette::Base));
    palette.setColor(QPalette::Text, standard.color(readOnly ? QPalette::ButtonText : QPalette::Text));
    edit->setPalette(palette);
    edit->setReadOnly(readOnly);
}

void SetPasswordChar(QLineEdit* edit, QChar character)
{
    if (character.isNull()) {
        edit->setEchoMode(QLineEdit::Normal);
        return;
    }
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QString("lineedit-password-character: %1").arg(character.unicode()));
}

void SelectListRow(QTreeWidget* listView, QTreeWidgetItem* row)
{
    listView->clearSelection();
    listView->setCurrentItem(nullptr);
    listView->setCurrentItem(row);
}

void SetReportStyle(QTreeWidget* listView)
{
    // A style sheet polishes the list and its parts anew, which costs a page's opening
    // milliseconds; a list bound again (a page and its binding both set it) keeps its style.
    constexpr const char* kStyled = "vtaReportStyle";
    if (listView->property(kStyled).toBool())
        return;
    listView->setProperty(kStyled, true);
    listView->setRootIsDecorated(false);
    listView->setItemsExpandable(false);
    listView->setUniformRowHeights(true);
    listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    listView->setSelectionMode(QAbstractItemView::SingleSelection);
    listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listView->setAllColumnsShowFocus(true);
    listView->setHeaderHidden(false);
    OfferListExport(listView);
    // Selected rows keep their highlight when the list loses the focus; grid lines.
    listView->setStyleSheet("QTreeView::item { border-right: 1px solid palette(mid); "
                            "border-bottom: 1px solid palette(mid); }");
    QPalette palette = listView->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    listView->setPalette(palette);
}

void AddListColumn(QTreeWidget* listView, const QString& caption, int width)
{
    const int column = listView->columnCount();
    listView->setColumnCount(column + 1);
    QTreeWidgetItem* header = listView->headerItem();
    header->setText(column, caption);
    listView->header()->setSectionResizeMode(column, QHeaderView::Interactive);
    listView->header()->setStretchLastSection(false);
    if (width == 0) {
        listView->setColumnHidden(column, true);
        return;
    }
    listView->setColumnHidden(column, false);
    if (width == kFitHeaderWidth)
        width = ColumnWidthFor(listView->header()->fontMetrics(), caption);
    listView->setColumnWidth(column, width);
}

void SetTabSheetVisible(QWidget* sheet, bool visible)
{
    if (QTabWidget* tabs = tabWidgetOf(sheet))
        tabs->setTabVisible(tabs->indexOf(sheet), visible);
}

bool TabSheetVisible(const QWidget* sheet)
{
    QTabWidget* tabs = tabWidgetOf(sheet);
    if (!tabs)
        return false;
    const int index = tabs->indexOf(const_cast<QWidget*>(sheet));
    return index >= 0 && tabs->isTabVisible(index);
}

bool PlacedByForm(const QWidget* control)
{
    const QWidget* parent = control->parentWidget();
    if (!parent || control->isWindow() || control->objectName().startsWith("qt_"))
        return false;
    // What scrolls inside a scroll area is the area's to place.
    const auto* scrollArea = qobject_cast<const QAbstractScrollArea*>(parent->parentWidget());
    if (scrollArea && scrollArea->viewport() == parent)
        return false;
    if (qobject_cast<const QAbstractScrollArea*>(parent) || qobject_cast<const QTabWidget*>(parent)
        || qobject_cast<const QTabBar*>(parent) || qobject_cast<const QComboBox*>(parent)
        || qobject_cast<const QAbstractSpinBox*>(parent) || qobject_cast<const QStatusBar*>(parent))
        return false;
    return !parent->layout() || parent->layout()->indexOf(const_cast<QWidget*>(control)) < 0;
}

void FocusNextControl(QWidget* form)
{
    if (!form)
        return;
    QWidget* window = form->window();
    QWidget* current = window->focusWidget();
    if (!current)
        current = QApplication::focusWidget();
    if (!current || current->window() != window)
        return;
    for (QWidget* next = current->nextInFocusChain(); next && next != current; next = next->nextInFocusChain()) {
        if (next->window() != window || next->focusProxy())
            continue;
        if ((next->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && next->isEnabled() && next->isVisibleTo(window)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void PostFocusNextControl(QWidget* form)
{
    if (!form)
        return;
    QPointer<QWidget> target(form);
    QMetaObject::invokeMethod(
        form, [target] { FocusNextControl(target); }, Qt::QueuedConnection);
}

void Beep()
{
    if (beepHandler())
        beepHandler()();
    else
        QApplication::beep();
}

void SetBeepHandler(std::function<void()> handler) { beepHandler() = std::move(handler); }

QString ExecutableName() { return QFileInfo(QCoreApplication::applicationFilePath()).fileName(); }
