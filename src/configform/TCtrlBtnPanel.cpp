#include "configform/TCtrlBtnPanel.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

TCtrlBtnPanel::TCtrlBtnPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName("CtrlBtnPanel");
    m_scale = FormScale::ForFont(font());

    ST_Counter = new QLabel("0", this);
    ST_Counter->setObjectName("ST_Counter");
    ST_Counter->setAlignment(Qt::AlignCenter);
    ST_Counter->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ST_Counter->setGeometry(m_scale.X(kMargin), m_scale.Y(kMargin), m_scale.X(kButtonWidth), m_scale.Y(21));
    La_Samples = new QLabel("Samples", this);
    La_Samples->setObjectName("La_Samples");
    La_Samples->setAlignment(Qt::AlignCenter);
    La_Samples->setGeometry(m_scale.X(kMargin), m_scale.Y(kMargin + 21 + kButtonGap), m_scale.X(kButtonWidth),
                            m_scale.Y(17));

    Bt_Refresh = addButton("Bt_Refresh", "Refresh", "Get.bmp");
    Bt_Edit = addButton("Bt_Edit", "Edit", "Set.bmp");
    Bt_SetChecked = addButton("Bt_SetChecked", "Set Checked", "SetCheck.bmp");
    Bt_Add = addButton("Bt_Add", "Add", "Add.bmp");
    Bt_Delete = addButton("Bt_Delete", "Delete", "Delete.bmp");
    Bt_CheckAll = addButton("Bt_CheckAll", "Check All", "SelectAll.bmp");
    Bt_ClearChecks = addButton("Bt_ClearChecks", "Clear Checks", "SelectNone.bmp");
    Bt_Close = addButton("Bt_Close", "Close", "Close.bmp");
    Bt_Add->hide();
    Bt_Delete->hide();
    // Nothing is ticked yet, so there is nothing to set.
    Bt_SetChecked->setEnabled(false);
    StackVisibleButtons();
}

QPushButton* TCtrlBtnPanel::addButton(const char* name, const char* caption, const char* glyphFile)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->resize(m_scale.X(kButtonWidth), m_scale.Y(kButtonHeight));
    // A bitmap of the command in the current folder replaces the caption. Only a bitmap
    // that actually loads does: a button must never end up with neither.
    const QString path = QDir::current().filePath(glyphFile);
    if (QFileInfo(path).isFile()) {
        QPixmap glyph;
        if (glyph.load(path)) {
            button->setText(QString());
            button->setIcon(glyph);
            button->setIconSize(glyph.size());
        }
    }
    return button;
}

QList<QPushButton*> TCtrlBtnPanel::Buttons() const
{
    return {Bt_Refresh, Bt_Edit, Bt_SetChecked, Bt_Add, Bt_Delete, Bt_CheckAll, Bt_ClearChecks, Bt_Close};
}

void TCtrlBtnPanel::StackVisibleButtons()
{
    // A table panel shows its sample counter above the buttons.
    int top = m_scale.Y(kMargin);
    for (QWidget* widget : {static_cast<QWidget*>(ST_Counter), static_cast<QWidget*>(La_Samples)})
        if (!widget->isHidden())
            top = widget->geometry().bottom() + 1 + m_scale.Y(kButtonGap);
    for (QPushButton* button : Buttons()) {
        if (button->isHidden())
            continue;
        button->setGeometry(m_scale.X(kMargin), top, m_scale.X(kButtonWidth), m_scale.Y(kButtonHeight));
        top += m_scale.Y(kButtonHeight) + m_scale.Y(kButtonGap);
    }
    setMinimumWidth(ColumnWidth());
}

int TCtrlBtnPanel::ColumnHeight() const
{
    int bottom = 0;
    for (QWidget* widget : {static_cast<QWidget*>(ST_Counter), static_cast<QWidget*>(La_Samples)})
        if (!widget->isHidden())
            bottom = std::max(bottom, widget->geometry().bottom() + 1);
    for (QPushButton* button : Buttons())
        if (!button->isHidden())
            bottom = std::max(bottom, button->geometry().bottom() + 1);
    return bottom + m_scale.Y(kMargin);
}

int TCtrlBtnPanel::ColumnWidth() const { return m_scale.X(kMargin) + m_scale.X(kButtonWidth) + m_scale.X(kMargin); }
