#include "binding/New_req2Edit.h"

#include <QCoreApplication>

void New_req2Edit::ValuesArrived()
{
    if (!ListView()) {
        ValuesToControls(-1);
        return;
    }
    const QvSNMPVarList& list = request.list;
    const bool keyExists = KeyItem >= 0 && KeyItem < list.Count();
    if (keyExists && list.Item(KeyItem).value == EmptyRowValue)
        return;
    AddNumberedRow();
    ++RowNumber;
    QCoreApplication::processEvents();
}

void New_req2Edit::AddNumberedRow() { AddListItem(std::to_string(RowNumber)); }
