#include "configform/TEditsPanel.h"

#include "binding/Controls.h"
#include "platform/Dialogs.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "configform/TCtrlBtnPanel.h"
#include "snmp/VariableDescriptor.h"

#include <QStyle>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <exception>
#include <stdexcept>

namespace {

// Designed pixels, scaled by the panel's font as forms are (FormScale).
constexpr int kCheckBoxLeft = 20;
constexpr int kCheckBoxWidth = 20;
constexpr int kGap = 5;           // between check box, label and value control, and between rows
constexpr int kFirstRowTop = 20;
constexpr int kMinimumControlHeight = 20;  // a lower value control is made 21 high
constexpr int kRaisedControlHeight = 21;
constexpr int kContentMargin = 40;  // added to the rows' extent in each direction

void setColours(QWidget* control, const QColor& text, const QColor& background)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Base, background);
    control->setPalette(palette);
}

QString controlText(const QWidget* control)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText();
    return {};
}

} // namespace

TEditsPanel::TEditsPanel(QvSNMPRequest2Edits* binding, QWidget* parent) : QFrame(parent), m_binding(binding)
{
    setObjectName("EditsPanel");
    m_scale = FormScale::ForFont(font());
    m_editWidth = m_scale.X(kDefaultEditWidth);
    // The read-only rows' text is black whatever the desktop's scheme: their face is the light
    // button face black was chosen for, not a dark scheme's (1.8:1 there).
    ReadOnlyBackground = style()->standardPalette().color(QPalette::Button);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName("ScrollBox");
    m_scrollBox->setFrameShape(QFrame::NoFrame);
    m_scrollBox->setWidgetResizable(false);
    m_rowsArea = new QWidget;
    m_rowsArea->setObjectName("RowsArea");
    m_scrollBox->setWidget(m_rowsArea);
    layout->addWidget(m_scrollBox);

    if (m_binding)
        buildRows();
    arrangeRows();
}

bool TEditsPanel::isHidden(int item) const
{
    return m_binding && (m_binding->request.list.Item(item).access & kAccessHidden);
}

void TEditsPanel::buildRows()
{
    const QvSNMPVarList& list = m_binding->request.list;
    m_rows.reserve(static_cast<size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        const QvSNMPVarItem& item = list.Item(i);
        const bool writable = item.access & kAccessWriteOnly;
        Row row;
        row.kind = writable ? (item.options ? kWritableCombo : kWritableEdit)
                            : (item.options ? kReadOnlyOptionEdit : kReadOnlyEdit);

        row.checkBox = new QCheckBox(m_rowsArea);
        row.checkBox->setObjectName(QString("CB_Check%1").arg(i));
        row.checkBox->setFocusPolicy(Qt::ClickFocus);
        row.checkBox->resize(m_scale.X(kCheckBoxWidth), row.checkBox->sizeHint().height());
        connect(row.checkBox, &QCheckBox::toggled, this, [this] {
            updateSetButton();
            emit ChecksChanged();
        });

        row.label = new QLabel(QString::fromStdString(item.name), m_rowsArea);
        // The box has no text of its own: it reads as what ticking it does.
        row.checkBox->setAccessibleName("Set " + row.label->text());
        row.label->setObjectName(QString("La_Name%1").arg(i));
        row.label->adjustSize();

        if (row.kind == kWritableCombo) {
            auto* combo = new QComboBox(m_rowsArea);
            combo->setObjectName(QString("CB_Value%1").arg(i));
            SetTag(combo, i);
            row.valueControl = combo;
            m_rows.push_back(row);
            m_binding->BindComboBox(i, combo);
        } else {
            auto* edit = new QLineEdit(m_rowsArea);
            edit->setObjectName(QString("Ed_Value%1").arg(i));
            SetTag(edit, i);
            row.format = "%s";
            row.valueControl = edit;
            m_rows.push_back(row);
            // Every syntax is shown and typed as its value text.
            m_binding->BindEdit(i, edit, "%s");
        }
    }

    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        Row& row = m_rows[static_cast<size_t>(i)];
        const bool key = list.IsTable() && i < list.keyCount;
        if (row.kind == kWritableEdit || row.kind == kWritableCombo) {
            if (key)
                makeReadOnly(row);
            else
                makeWritable(row);
        } else {
            makeReadOnly(row);
        }
        if (isHidden(i)) {
            // A hidden item gets no place on the panel; what the user cannot see is never
            // picked for a set either.
            row.checkBox->setChecked(false);
            row.checkBox->setEnabled(false);
            row.checkBox->hide();
            row.label->hide();
            row.valueControl->hide();
        }
    }
}

void TEditsPanel::makeReadOnly(Row& row)
{
    row.readOnly = true;
    row.checkBox->setEnabled(false);
    row.checkBox->hide();
    row.checkBox->setChecked(false);
    if (auto* edit = qobject_cast<QLineEdit*>(row.valueControl)) {
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::ClickFocus);  // out of the tab order
        setColours(edit, ReadOnlyFontColor, ReadOnlyBackground);
    } else {
        row.valueControl->setEnabled(false);
    }
}

void TEditsPanel::makeWritable(Row& row)
{
    row.readOnly = false;
    row.checkBox->setEnabled(true);
    row.checkBox->show();
    row.checkBox->setChecked(false);
    if (auto* edit = qobject_cast<QLineEdit*>(row.valueControl)) {
        edit->setReadOnly(false);
        edit->setFocusPolicy(Qt::StrongFocus);
        setColours(edit, Qt::black, Qt::white);
        SetMaxLength(edit, kWritableMaxLength);
    } else {
        row.valueControl->setEnabled(true);
    }
}

void TEditsPanel::SetEditWidth(int width)
{
    m_editWidth = m_scale.X(width);
    for (Row& row : m_rows)
        row.valueControl->resize(m_editWidth, row.valueControl->height());
    arrangeRows();
}

void TEditsPanel::arrangeRows()
{
    int widestLabel = 0;
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i)
        if (!isHidden(i))
            widestLabel = std::max(widestLabel, m_rows[static_cast<size_t>(i)].label->width());

    const FormScale& s = m_scale;
    const int labelLeft = s.X(kCheckBoxLeft) + s.X(kCheckBoxWidth) + s.X(kGap);
    const int valueLeft = labelLeft + widestLabel + s.X(kGap);
    int top = s.Y(kFirstRowTop);
    int right = 0;
    int bottom = 0;
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        if (isHidden(i))
            continue;
        Row& row = m_rows[static_cast<size_t>(i)];
        int height = row.valueControl->sizeHint().height();
        if (height < s.Y(kMinimumControlHeight))
            height = s.Y(kRaisedControlHeight);
        row.valueControl->setGeometry(valueLeft, top, m_editWidth, height);
        // Check box and name sit centred on the value control.
        row.checkBox->move(s.X(kCheckBoxLeft), top + (height - row.checkBox->height()) / 2);
        row.label->move(labelLeft, top + (height - row.label->height()) / 2);
        right = std::max(right, valueLeft + m_editWidth);
        bottom = top + height;
        top = bottom + s.Y(kGap);
    }
    m_contentSize = QSize(right + s.X(kContentMargin), bottom + s.Y(kContentMargin));
    m_rowsArea->resize(m_contentSize);
}

void TEditsPanel::ArrangeCtrlBtn(TCtrlBtnPanel& buttons)
{
    if (!m_binding)
        throw std::runtime_error("TEditsPanel:ArrangeCtrlBtn - EditCtrl is NULL!");
    m_buttons = &buttons;

    buttons.ST_Counter->hide();
    buttons.La_Samples->hide();
    for (QPushButton* shown : {buttons.Bt_Refresh, buttons.Bt_SetChecked, buttons.Bt_CheckAll, buttons.Bt_ClearChecks,
                               buttons.Bt_Close})
        shown->show();
    for (QPushButton* hidden : {buttons.Bt_Edit, buttons.Bt_Add, buttons.Bt_Delete})
        hidden->hide();

    int enabledBoxes = 0;
    for (const Row& row : m_rows)
        enabledBoxes += row.checkBox->isEnabled();

    if (enabledBoxes == 0) {
        buttons.Bt_SetChecked->hide();
        buttons.Bt_CheckAll->hide();
        buttons.Bt_ClearChecks->hide();
    } else if (enabledBoxes == 1) {
        // One writable item needs no choosing: its box is ticked for good and "Set" writes it.
        buttons.Bt_CheckAll->hide();
        buttons.Bt_ClearChecks->hide();
        buttons.Bt_SetChecked->setText("Set");
        buttons.Bt_SetChecked->setEnabled(true);
        for (Row& row : m_rows)
            if (row.checkBox->isEnabled())
                row.checkBox->setChecked(true);
        if (TickedCount() <= 1)
            for (Row& row : m_rows)
                row.checkBox->hide();
    }
    buttons.StackVisibleButtons();
}

int TEditsPanel::TickedCount() const
{
    int ticked = 0;
    for (const Row& row : m_rows)
        ticked += row.checkBox->isChecked();
    return ticked;
}

void TEditsPanel::updateSetButton()
{
    if (m_buttons)
        m_buttons->Bt_SetChecked->setEnabled(TickedCount() > 0);
}

void TEditsPanel::CheckAllClick()
{
    for (Row& row : m_rows)
        if (row.checkBox->isEnabled())
            row.checkBox->setChecked(true);
    updateSetButton();
}

void TEditsPanel::ClearChecksClick()
{
    for (Row& row : m_rows)
        if (row.checkBox->isEnabled())
            row.checkBox->setChecked(false);
    updateSetButton();
}

namespace {

// Puts a binding's request mode and the access codes a "Set Checked" changed back as they
// were, whichever way the set ends.
class SetCheckedScope {
public:
    explicit SetCheckedScope(QvSNMPRequest2Edits& binding) : m_binding(binding), m_mode(binding.RequestMode)
    {
        binding.RequestMode = QvSNMPRequest2Controls::kWaiting;
    }
    ~SetCheckedScope()
    {
        for (int32_t item : m_invalidated)
            m_binding.request.list.Item(item).access &= ~kAccessInvalid;
        m_binding.RequestMode = m_mode;
    }
    // Leaves the item out of the set; an item the page had already left out stays so.
    void Invalidate(int32_t item)
    {
        int32_t& access = m_binding.request.list.Item(item).access;
        if (access & kAccessInvalid)
            return;
        access |= kAccessInvalid;
        m_invalidated.push_back(item);
    }

private:
    QvSNMPRequest2Edits& m_binding;
    uint8_t m_mode;
    std::vector<int32_t> m_invalidated;
};

} // namespace

void TEditsPanel::SetCheckedClick()
{
    if (!m_binding)
        return;
    QvSNMPRequest2Edits& binding = *m_binding;
    SetCheckedScope scope(binding);

    // Every writable item takes its control's text, as the binding collects before a set.
    QvSNMPVarList& list = binding.request.list;
    for (int32_t i = 0; i < list.Count(); ++i)
        list.Item(i).value.clear();
    if (binding.ListView())
        binding.TakeSelectedRow();
    binding.ControlsToValues(-1);

    bool tickedEmpty = false;
    for (int32_t i = 0; i < static_cast<int32_t>(m_rows.size()) && i < list.Count(); ++i) {
        const Row& row = m_rows[static_cast<size_t>(i)];
        if (!row.checkBox->isChecked())
            scope.Invalidate(i);
        else if (controlText(row.valueControl).isEmpty())
            tickedEmpty = true;
    }

    if (tickedEmpty) {
        Dialogs::message(window(), "Some items are empty!", "Warning", DialogButtons::Ok, DialogIcon::Warning);
        return;
    }
    try {
        binding.Set(false, false);
    } catch (const std::exception& error) {
        binding.ShowStatus(error.what());
    }
}
