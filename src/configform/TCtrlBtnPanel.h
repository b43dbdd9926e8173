#pragma once

#include "binding/FormScale.h"

#include <QFrame>

class QLabel;
class QPushButton;

// The column of command buttons on the right of a configuration panel. Every button shows
// its caption, or the bitmap of the same command when one lies in the current folder.
class TCtrlBtnPanel : public QFrame {
    Q_OBJECT
public:
    explicit TCtrlBtnPanel(QWidget* parent = nullptr);

    // Designed pixels, scaled by the panel's font as forms are (FormScale).
    static constexpr int kMargin = 10;       // left and top margin of the column
    static constexpr int kButtonWidth = 96;
    static constexpr int kButtonHeight = 25;
    static constexpr int kButtonGap = 5;

    // Puts the shown buttons one below the other in their fixed order and sizes the
    // column to them.
    void StackVisibleButtons();
    // Width and height the shown buttons need, margins included.
    int ColumnWidth() const;
    int ColumnHeight() const;

    QLabel* ST_Counter = nullptr;  // number of samples of a table panel
    QLabel* La_Samples = nullptr;
    QPushButton* Bt_Refresh = nullptr;
    QPushButton* Bt_Edit = nullptr;
    QPushButton* Bt_SetChecked = nullptr;
    QPushButton* Bt_Add = nullptr;
    QPushButton* Bt_Delete = nullptr;
    QPushButton* Bt_CheckAll = nullptr;
    QPushButton* Bt_ClearChecks = nullptr;
    QPushButton* Bt_Close = nullptr;

    // The buttons top to bottom.
    QList<QPushButton*> Buttons() const;

private:
    QPushButton* addButton(const char* name, const char* caption, const char* glyphFile);

    FormScale m_scale;
};
