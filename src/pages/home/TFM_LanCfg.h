#pragma once

#include "binding/QvPage.h"

#include <QString>

#include <memory>

namespace Ui {
class TFM_LanCfg;
}
class QvSNMPRequest2Edits;

// "Home \ LAN": how the device gets its own address, static (with mask and gateway) or from a
// DHCP server. Before a new static address goes out it must stay clear of the device's own
// DHCP server: outside its dynamic pool, not answering an echo, not one of its static leases.
// Every applied change restarts the device.
class TFM_LanCfg : public QvPage {
    Q_OBJECT
public:
    explicit TFM_LanCfg(QWidget* owner = nullptr);
    ~TFM_LanCfg() override;

    void FormCreate();
    void CB_IPFromChange();
    void BT_LanCfgOkClick();
    void BT_LanCfgCancelClick();

    std::unique_ptr<Ui::TFM_LanCfg> ui;
    // hGetIPFrom, the three addresses and sysRestart (waiting).
    QvSNMPRequest2Edits* Settings = nullptr;
    // The DHCP server's dynamic pool, of which start and size are shown (notifying).
    QvSNMPRequest2Edits* DynamicPool = nullptr;
    // The DHCP server's static leases into the hidden list view (notifying, read on demand).
    QvSNMPRequest2Edits* StaticLeases = nullptr;

private:
    void ApplyStatic();
    void ApplyDynamic();
    // The settings as the device has them again, after a rejected address.
    void Reread();
    // Whether the address is one of the static leases; false with a message when the leases
    // could not be read.
    bool LeasesAllow(const QString& address);

    QString m_openingAddress;
    int m_openingMode = 0;
    bool m_poolRead = false;
    bool m_leasesRead = false;
};

QDialog* NewLanPage(QWidget* owner);
