#include "configform/TMsgPanel.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

TMsgPanel::TMsgPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName("MsgPanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName("Memo");
    Memo->setReadOnly(true);
    Memo->setAccessibleName("Status messages");  // no label stands for it
    // Two lines are enough to see the last status; without this the memo would ask for more
    // than the strip's height.
    Memo->setMinimumHeight(20);
    layout->addWidget(Memo);
    resize(width(), kHeight);
}
