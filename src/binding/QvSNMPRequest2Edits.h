#pragma once

#include "binding/ControlEvents.h"
#include "binding/QvEditConstraint.h"
#include "binding/QvSNMPRequest2Controls.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QTreeWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class RadioGroup;

// The binding of a variable list to the labels, check boxes, combo boxes, radio groups and
// edits of a form, and optionally to one list view that shows a table row by row. Each item
// may be shown in several controls; each control shows one item.
class QvSNMPRequest2Edits : public QvSNMPRequest2Controls {
public:
    explicit QvSNMPRequest2Edits(QWidget* form);
    ~QvSNMPRequest2Edits() override;

    std::function<void()> OnBeforeGet;
    std::function<void()> OnBeforeSet;
    std::function<void()> OnAfterGet;
    std::function<void()> OnAfterSet;
    // With a list view over a table: the bound controls stay disabled after a get until a
    // row is selected.
    bool DisableUntilSelected = true;

    // Associations (the item must exist: -12 "Out of range" otherwise).
    // A label or any control that shows the value as its text.
    void BindControl(int32_t item, QWidget* control);
    // With an option list: row 0 unchecked, row 1 checked; without: a boolean item. A value
    // that never arrived shows the box's third state (ShowNotRead in Controls.h).
    void BindCheckBox(int32_t item, QCheckBox* checkBox);
    // A drop-down list of the item's option list (-520 without one).
    void BindComboBox(int32_t item, QComboBox* comboBox, int unused = 0);
    void BindRadioGroup(int32_t item, RadioGroup* radioGroup, int unused = 0);
    // An edit with its input rules ("%s", "%h", "%u{n1x4094}"); a malformed format throws -2.
    void BindEdit(int32_t item, QLineEdit* edit, const std::string& format);
    // Shows each row a get delivers as a list row; selecting a row copies it back.
    void BindListView(QTreeWidget* listView, bool disableUntilSelected = true);

    // The item's value (all items for -1) into its controls.
    void ValuesToControls(int32_t item = -1);
    // The controls into the settable items' values (all for -1). A control that holds no value
    // (see UnreadSettingError) throws before anything of the list changes.
    void ControlsToValues(int32_t item = -1);
    // Throws UnreadSettingError for the first settable item whose control holds no value: what
    // a Set of the list as it stands would refuse. Pages that write in several steps ask every
    // binding first, so a refused step never follows steps already written.
    void RequireValues() const;

    void CutHandlers() override;

    // List-view steps.
    void EnsureColumns();
    void AddRow();
    void TakeSelectedRow();

    QTreeWidget* ListView() const { return m_listView; }
    QvEditConstraint& Constraints() { return m_constraint; }

protected:
    void BeforeGet() override;
    void BeforeSet() override;
    void GetEnded() override;
    void ValuesArrived() override;
    void CollectValues() override;
    void AfterGet() override;
    void AfterSet() override;
    virtual void ListViewSelectItem(QTreeWidget* sender, QTreeWidgetItem* listItem, bool selected);

    // The items in column order: hidden-column items first, then the shown ones.
    std::vector<int32_t> ColumnItems() const;
    // A list item with the values of the items in column order, caption first.
    void AddListItem(const std::string& caption);
    // Enables or disables every associated control.
    void EnableControls(bool enabled);

private:
    struct ControlAssociation {
        int32_t item;
        QPointer<QWidget> control;
    };

    void checkItem(int32_t item) const;
    // Rows of a walk under way reach the list view at screen rate, not one by one: each
    // insertion would lay out and paint the whole view again.
    void flushRows();
    void discardRows();
    void associate(int32_t item, QWidget* control);

    QPointer<QTreeWidget> m_listView;
    std::vector<ControlAssociation> m_associations;
    QvEditConstraint m_constraint;
    QList<QTreeWidgetItem*> m_pendingRows;
    QElapsedTimer m_sinceFlush;
};
