#include "binding/QvSNMPRequest2Edits.h"

#include "binding/ByteForm.h"
#include "binding/Controls.h"
#include "binding/ListColumns.h"
#include "snmp/ErrorCatalogue.h"
#include "binding/OptionControls.h"
#include "snmp/QvException.h"
#include "binding/RadioGroup.h"
#include "binding/UnreadSettingError.h"
#include "snmp/ValueText.h"
#include "snmp/VariableDescriptor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

constexpr int kOutOfRangeLine = 13;  // "common.err": "Out of range at index of array or list!"
constexpr int kOutOfRangeCode = -12;

bool isBoolean(int32_t syntax)
{
    return syntax == kSyntaxBoolean || syntax == kSyntaxBool8 || syntax == kSyntaxBool16;
}

QString qt(const std::string& text) { return QString::fromStdString(text); }

// What an edit or label shows for a value that never arrived.
const QString kNullText = QStringLiteral("(NULL)");

// A selector without a selection, a check box showing that its value never arrived, or a
// text still showing it.
bool holdsNoValue(const QWidget* control)
{
    if (const auto* checkBox = qobject_cast<const QCheckBox*>(control))
        return NotRead(checkBox);
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text() == kNullText;
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text() == kNullText;
    if (const auto* comboBox = qobject_cast<const QComboBox*>(control))
        return comboBox->currentIndex() < 0;
    if (const auto* radioGroup = qobject_cast<const RadioGroup*>(control))
        return radioGroup->ItemIndex() < 0;
    return false;
}

// One screen frame: how often the rows of a walk under way reach the list view, one frame
// more for every so many rows the list shows already.
constexpr qint64 kFrameMs = 16;
constexpr qint64 kRowsPerFrameStep = 2000;

} // namespace

QvSNMPRequest2Edits::QvSNMPRequest2Edits(QWidget* form) : QvSNMPRequest2Controls(form), m_constraint(form, true) {}

QvSNMPRequest2Edits::~QvSNMPRequest2Edits()
{
    discardRows();
    if (m_listView)
        ListViewEvents::Of(m_listView).BindingSelectItem = nullptr;
}

void QvSNMPRequest2Edits::checkItem(int32_t item) const
{
    if (item < 0 || item >= request.list.Count())
        throw QvException(Message(MessageTable::Common, kOutOfRangeLine), kOutOfRangeCode);
}

void QvSNMPRequest2Edits::associate(int32_t item, QWidget* control)
{
    m_associations.push_back({item, control});
}

void QvSNMPRequest2Edits::BindControl(int32_t item, QWidget* control)
{
    checkItem(item);
    associate(item, control);
}

void QvSNMPRequest2Edits::BindCheckBox(int32_t item, QCheckBox* checkBox)
{
    checkItem(item);
    associate(item, checkBox);
}

void QvSNMPRequest2Edits::BindComboBox(int32_t item, QComboBox* comboBox, int unused)
{
    checkItem(item);
    comboBox->setEditable(false);
    const QvOptionList* options = request.list.Item(item).options;
    if (!options)
        RaiseQvSnmp(-520);
    FillItems(*options, comboBox);
    associate(item, comboBox);
}

void QvSNMPRequest2Edits::BindRadioGroup(int32_t item, RadioGroup* radioGroup, int unused)
{
    checkItem(item);
    const QvOptionList* options = request.list.Item(item).options;
    if (!options)
        RaiseQvSnmp(-520);
    FillItems(*options, radioGroup);
    associate(item, radioGroup);
}

void QvSNMPRequest2Edits::BindEdit(int32_t item, QLineEdit* edit, const std::string& format)
{
    checkItem(item);
    m_constraint.AddConstraints(format, {edit});
    associate(item, edit);
}

void QvSNMPRequest2Edits::BindListView(QTreeWidget* listView, bool disableUntilSelected)
{
    SetReportStyle(listView);
    if (m_listView && m_listView != listView)
        ListViewEvents::Of(m_listView).BindingSelectItem = nullptr;
    ListViewEvents::Of(listView).BindingSelectItem = [this](QTreeWidget* sender, QTreeWidgetItem* listItem, bool selected) {
        ListViewSelectItem(sender, listItem, selected);
    };
    m_listView = listView;
    DisableUntilSelected = disableUntilSelected;
    EnsureColumns();
}

void QvSNMPRequest2Edits::CutHandlers()
{
    QvSNMPRequest2Controls::CutHandlers();
    OnBeforeGet = nullptr;
    OnBeforeSet = nullptr;
    OnAfterGet = nullptr;
    OnAfterSet = nullptr;
}

// ---- values and controls ----

void QvSNMPRequest2Edits::ValuesToControls(int32_t index)
{
    QvSNMPVarList& list = request.list;
    for (const ControlAssociation& association : m_associations) {
        if ((index >= 0 && association.item != index) || association.item >= list.Count())
            continue;
        const QvSNMPVarItem& item = list.Item(association.item);
        if (item.access & kAccessInvalid)
            continue;
        QWidget* control = association.control;
        if (!control)
            continue;

        std::string v = item.value;
        if (item.options)
            v = item.options->TextToValue(v);
        // Only a check that the syntax has a byte form; the value is shown as it is.
        ByteForm::FromText(item.syntax, v);
        if (item.options)
            v = item.options->ValueToText(v);

        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->setText(qt(v));  // the edit's change handler runs on it
            edit->setCursorPosition(0);  // a value longer than the edit shows its beginning
        } else if (auto* label = qobject_cast<QLabel*>(control)) {
            label->setText(qt(v));
        } else if (auto* checkBox = qobject_cast<QCheckBox*>(control)) {
            if (!item.options && !isBoolean(item.syntax))
                RaiseQvSnmp(-517);
            if (item.value == ValueText::kNull) {
                // Unchecked would read as "off", and be written so.
                ShowNotRead(checkBox);
            } else if (item.options) {
                int row = item.options->IndexOfText(v);
                if (row < 0)
                    row = item.options->IndexOfValue(v);
                ShowChecked(checkBox, row > 0);
            } else {
                ShowChecked(checkBox, v == "true");
            }
        } else if (auto* comboBox = qobject_cast<QComboBox*>(control)) {
            if (item.options)
                SelectItem(*item.options, comboBox, v);
            else
                RaiseQvSnmp(-520);
        } else if (auto* radioGroup = qobject_cast<RadioGroup*>(control)) {
            if (item.options)
                SelectItem(*item.options, radioGroup, v);
            else
                RaiseQvSnmp(-520);
        } else {
            RaiseQvSnmp(-521);
        }
    }
}

void QvSNMPRequest2Edits::RequireValues() const
{
    const QvSNMPVarList& list = request.list;
    for (const ControlAssociation& association : m_associations)
        if (association.control && list.IsSettable(association.item) && holdsNoValue(association.control))
            throw UnreadSettingError(list.Item(association.item).name);
}

void QvSNMPRequest2Edits::ControlsToValues(int32_t index)
{
    QvSNMPVarList& list = request.list;
    for (const ControlAssociation& association : m_associations)
        if (association.control && (index < 0 || association.item == index) && list.IsSettable(association.item)
            && holdsNoValue(association.control))
            throw UnreadSettingError(list.Item(association.item).name);
    for (int32_t i = 0; i < list.Count(); ++i) {
        if ((index >= 0 && i != index) || !list.IsSettable(i))
            continue;
        QvSNMPVarItem& item = list.Item(i);
        const QvOptionList* options = item.options;

        ByteForm::Value value = ByteForm::FromText(item.syntax, options ? options->TextToValue(item.value) : item.value);
        bool associated = false;
        for (const ControlAssociation& association : m_associations) {
            if (association.item != i || !association.control)
                continue;
            if (!associated && item.syntax == kSyntaxDisplayString)
                value = {};  // a text replaces the whole old one
            associated = true;

            QWidget* control = association.control;
            QString text;
            if (auto* edit = qobject_cast<QLineEdit*>(control)) {
                text = edit->text();
            } else if (auto* label = qobject_cast<QLabel*>(control)) {
                text = label->text();
            } else if (auto* checkBox = qobject_cast<QCheckBox*>(control)) {
                if (options) {
                    const int row = checkBox->isChecked() ? 1 : 0;
                    text = row < options->RowCount() ? qt(options->RowAt(row).text) : QString();
                } else if (isBoolean(item.syntax)) {
                    text = checkBox->isChecked() ? "true" : "false";
                } else {
                    RaiseQvSnmp(-517);
                }
            } else if (auto* comboBox = qobject_cast<QComboBox*>(control)) {
                text = comboBox->itemText(comboBox->currentIndex());
            } else if (auto* radioGroup = qobject_cast<RadioGroup*>(control)) {
                text = radioGroup->ItemText(radioGroup->ItemIndex());
            } else {
                RaiseQvSnmp(-521);
            }
            std::string raw = text.toStdString();
            if (options)
                raw = options->TextToValue(raw);
            ByteForm::Overlay(value, ByteForm::FromText(item.syntax, raw));
        }
        if (associated) {
            std::string result = ByteForm::ToText(item.syntax, value);
            if (options)
                result = options->ValueToText(result);
            item.value = std::move(result);
        }
    }
}

void QvSNMPRequest2Edits::EnableControls(bool enabled)
{
    for (const ControlAssociation& association : m_associations)
        if (association.control)
            association.control->setEnabled(enabled);
}

// ---- list view ----

std::vector<int32_t> QvSNMPRequest2Edits::ColumnItems() const
{
    const QvSNMPVarList& list = request.list;
    std::vector<int32_t> order;
    for (int32_t i = 0; i < list.Count(); ++i)
        if (list.IsUnlisted(i))
            order.push_back(i);
    for (int32_t i = 0; i < list.Count(); ++i)
        if (list.IsListed(i))
            order.push_back(i);
    return order;
}

void QvSNMPRequest2Edits::EnsureColumns()
{
    if (!m_listView)
        return;
    const QvSNMPVarList& list = request.list;
    const int needed = list.UnlistedCount() + list.ListedCount();
    const std::vector<int32_t> columns = ColumnItems();
    // A form may design its own captions and widths.
    if (m_listView->columnCount() < needed) {
        m_listView->clear();
        m_listView->setColumnCount(0);
        for (int32_t i : columns)
            AddListColumn(m_listView, qt(list.Item(i).name), list.IsUnlisted(i) ? 0 : kFitHeaderWidth);
    }
    // Addresses and times show whole; the first column holds the row's caption.
    for (size_t k = 1; k < columns.size(); ++k) {
        const QString widest = WidestValueText(list.Item(columns[k]).syntax, m_listView->fontMetrics());
        if (!widest.isEmpty())
            SetColumnSample(m_listView, static_cast<int>(k), widest);
    }
    FitListColumns(m_listView);
}

void QvSNMPRequest2Edits::AddListItem(const std::string& caption)
{
    if (!m_listView)
        return;
    auto* row = new QTreeWidgetItem;
    const std::vector<int32_t> columns = ColumnItems();
    for (size_t k = 0; k < columns.size(); ++k)
        row->setText(static_cast<int>(k), qt(k == 0 ? caption : request.list.Item(columns[k]).value));
    if (!Busy) {
        m_listView->addTopLevelItem(row);
        return;
    }
    // The first row shows at once, the others with the next frame.
    m_pendingRows.push_back(row);
    // Each insertion lays the whole list out again, so a long list is refreshed less often.
    const qint64 shown = m_listView->topLevelItemCount();
    if (!m_sinceFlush.isValid() || (m_pendingRows.size() == 1 && shown == 0)
        || m_sinceFlush.elapsed() >= kFrameMs * (1 + shown / kRowsPerFrameStep))
        flushRows();
}

void QvSNMPRequest2Edits::flushRows()
{
    if (m_listView && !m_pendingRows.isEmpty())
        m_listView->addTopLevelItems(m_pendingRows);
    else
        qDeleteAll(m_pendingRows);
    m_pendingRows.clear();
    m_sinceFlush.start();
}

void QvSNMPRequest2Edits::discardRows()
{
    qDeleteAll(m_pendingRows);
    m_pendingRows.clear();
    m_sinceFlush.invalidate();
}

void QvSNMPRequest2Edits::GetEnded() { flushRows(); }

void QvSNMPRequest2Edits::AddRow()
{
    const std::vector<int32_t> columns = ColumnItems();
    AddListItem(columns.empty() ? std::string() : request.list.Item(columns.front()).value);
}

void QvSNMPRequest2Edits::TakeSelectedRow()
{
    if (!m_listView)
        return;
    const QList<QTreeWidgetItem*> selected = m_listView->selectedItems();
    if (selected.isEmpty())
        return;
    const QTreeWidgetItem* row = selected.front();
    const std::vector<int32_t> columns = ColumnItems();
    for (size_t k = 0; k < columns.size(); ++k)
        request.list.Item(columns[k]).value = row->text(static_cast<int>(k)).toStdString();
}

void QvSNMPRequest2Edits::ListViewSelectItem(QTreeWidget* sender, QTreeWidgetItem* listItem, bool selected)
{
    // The page's own handler has run already (the list view's events call it first).
    if (!selected)
        return;
    if (DisableUntilSelected)
        EnableControls(true);
    TakeSelectedRow();
    ValuesToControls(-1);
}

// ---- the steps of an exchange ----

void QvSNMPRequest2Edits::BeforeGet()
{
    discardRows();
    if (m_listView) {
        EnsureColumns();
        m_listView->clear();
    }
    if (OnBeforeGet)
        OnBeforeGet();
}

void QvSNMPRequest2Edits::BeforeSet()
{
    if (OnBeforeSet)
        OnBeforeSet();
}

void QvSNMPRequest2Edits::ValuesArrived()
{
    if (m_listView) {
        AddRow();
        // The list fills visibly and the form stays responsive during a long walk.
        QCoreApplication::processEvents();
        return;
    }
    ValuesToControls(-1);
}

void QvSNMPRequest2Edits::CollectValues()
{
    QvSNMPVarList& list = request.list;
    for (int32_t i = 0; i < list.Count(); ++i)
        list.Item(i).value.clear();
    if (m_listView)
        TakeSelectedRow();
    ControlsToValues(-1);
}

void QvSNMPRequest2Edits::AfterGet()
{
    if (m_listView && DisableUntilSelected && request.list.kind == kListTable)
        EnableControls(false);
    if (OnAfterGet)
        OnAfterGet();
}

void QvSNMPRequest2Edits::AfterSet()
{
    if (OnAfterSet)
        OnAfterSet();
}
