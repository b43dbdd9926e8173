#pragma once

#include "binding/QvSNMPRequest2Edits.h"

#include <cstdint>
#include <string>

// A binding for fixed-size tables whose unused entries hold a placeholder: rows whose key
// item holds EmptyRowValue are not shown, the others are numbered 1, 2, 3, ... in the first
// column. Numbering goes on across gets until a page sets RowNumber back to 1.
class New_req2Edit : public QvSNMPRequest2Edits {
public:
    explicit New_req2Edit(QWidget* form) : QvSNMPRequest2Edits(form) {}

    int32_t RowNumber = 1;            // the number of the next row shown
    std::string EmptyRowValue = "0";  // the key value of an unused entry
    int32_t KeyItem = 1;              // the item compared with EmptyRowValue

protected:
    void ValuesArrived() override;
    virtual void AddNumberedRow();
};
