#pragma once

#include "binding/QvPage.h"

#include <QString>
#include <memory>

namespace Ui {
class TFM_MACAddr;
}
class TFM_FilterMAC;

// Whether a typed MAC address names the stored one: the same text, where a lower-case letter
// typed stands for the stored upper-case one (the device shows addresses in upper case).
bool MacMatches(const QString& typed, const QString& stored);

// The entry dialog of the MAC address table: one address for the row the table page has
// selected. Its edit and the hidden row index are bound to the table page's table binding.
class TFM_MACAddr : public QvPage {
    Q_OBJECT
public:
    explicit TFM_MACAddr(TFM_FilterMAC* table);
    ~TFM_MACAddr() override;

    void Bt_ApplyClick();

    std::unique_ptr<Ui::TFM_MACAddr> ui;

private:
    TFM_FilterMAC* m_table;
};
