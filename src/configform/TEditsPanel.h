#pragma once

#include "binding/FormScale.h"

#include <QColor>
#include <QFrame>
#include <QString>

#include <vector>

class QCheckBox;
class QLabel;
class QScrollArea;
class QvSNMPRequest2Edits;
class TCtrlBtnPanel;

// The rows of an editor panel, one per item of the binding's variable list, in a scroll
// box: a check box that picks the item for "Set Checked", the item's name and a control
// that shows its value. Items that cannot be written are shown greyed and cannot be picked.
class TEditsPanel : public QFrame {
    Q_OBJECT
public:
    // How a row shows its item.
    enum RowKind {
        kReadOnlyEdit = 1,      // not writable, no option list
        kWritableEdit = 2,      // writable, no option list
        kWritableCombo = 3,     // writable, with an option list
        kReadOnlyOptionEdit = 4 // not writable, shows the option list's display text
    };
    struct Row {
        int kind = kReadOnlyEdit;
        QString format;               // the edit's format ("%s"); empty for a combo box
        QWidget* valueControl = nullptr;  // a QLineEdit or a QComboBox
        QCheckBox* checkBox = nullptr;
        QLabel* label = nullptr;
        bool readOnly = true;
    };

    static constexpr int kDefaultEditWidth = 121;  // designed, scaled by the font as forms are
    static constexpr int kWritableMaxLength = 39;

    // Builds and binds one row per item of binding (none without a binding).
    TEditsPanel(QvSNMPRequest2Edits* binding, QWidget* parent = nullptr);

    QvSNMPRequest2Edits* Binding() const { return m_binding; }
    // The binding is going away: the panel stops using it.
    void ForgetBinding() { m_binding = nullptr; }

    const std::vector<Row>& Rows() const { return m_rows; }
    int EditWidth() const { return m_editWidth; }
    // Sets the designed width of every value control (scaled by the font) and lays the rows
    // out again.
    void SetEditWidth(int width);
    // Size of the rows with their margins: what the panel needs to show them unscrolled.
    QSize ContentSize() const { return m_contentSize; }

    QColor ReadOnlyFontColor = Qt::black;
    QColor ReadOnlyBackground;  // the light scheme's button face colour, which black text reads on

    // Fits the button column to this panel: which buttons show, and the single "Set" of a
    // list with one writable item.
    void ArrangeCtrlBtn(TCtrlBtnPanel& buttons);

    // The button handlers.
    void SetCheckedClick();
    void CheckAllClick();
    void ClearChecksClick();
    int TickedCount() const;

signals:
    // A check box was ticked or cleared, by the user or by the program.
    void ChecksChanged();

private:
    void buildRows();
    void makeReadOnly(Row& row);
    void makeWritable(Row& row);
    void arrangeRows();
    bool isHidden(int item) const;
    void updateSetButton();

    QvSNMPRequest2Edits* m_binding = nullptr;
    QScrollArea* m_scrollBox = nullptr;
    QWidget* m_rowsArea = nullptr;
    std::vector<Row> m_rows;
    FormScale m_scale;
    int m_editWidth = kDefaultEditWidth;
    QSize m_contentSize;
    TCtrlBtnPanel* m_buttons = nullptr;
};
