#pragma once

#include "binding/QvPage.h"

#include <memory>

namespace Ui {
class TFM_DHCP;
}
class New_req2Edit;
class QTreeWidget;
class QvSNMPRequest2Edits;
class QvStatusBar;
class TFM_StaticIP;
struct QvSNMPError;

// "Advanced \ DHCP Server": the device's DHCP server. The first tab switches it on and off and
// sets its dynamic pool, the second edits its static leases (a fixed table of rows, a free
// row has the address 0.0.0.0) through the entry dialog, the third shows what the server has
// handed out. The function switch and the pool end in a restart; lease changes do not.
class TFM_DHCP : public QvPage {
    Q_OBJECT
public:
    explicit TFM_DHCP(QWidget* owner = nullptr);
    ~TFM_DHCP() override;

    // The dynamic pool and the current mappings.
    void FormCreate();
    void CB_Fuction1Change();
    void CB_Fuction2Change();
    void Bt_ApplyClick();
    void Bt_CancelClick();
    void StaticApplyClick();
    void PageControl1Change();
    void Bt_RefreshDynamicPoolClick();
    void Bt_RefreshStaticPoolClick();

    // The static leases.
    void Bt_AddClick();
    void Bt_SetClick();
    void Bt_DelClick();
    void User_ListViewSelectItem();
    // The entry dialog's Apply once its checks have passed: writes the entry.
    void WriteStaticEntry();

    std::unique_ptr<Ui::TFM_DHCP> ui;
    std::unique_ptr<TFM_StaticIP> StaticIP;
    QvSNMPRequest2Edits* PoolSettings = nullptr;
    QvSNMPRequest2Edits* Function = nullptr;
    QvSNMPRequest2Edits* MappingRefresh = nullptr;
    QvSNMPRequest2Edits* LeaseTable = nullptr;     // the full table, bound to the entry dialog
    New_req2Edit* LeaseList = nullptr;             // the used rows
    New_req2Edit* DynamicMappings = nullptr;
    New_req2Edit* StaticMappings = nullptr;
    QvSNMPRequest2Edits* DeviceAddress = nullptr;

    bool PageBusy() const { return m_busy; }

protected:
    // Refused while the page is busy (its first read of the leases, a lease change).
    bool CloseAllowed() override { return !m_busy; }

private:
    void EnableRule();
    void ApplyAddRule();
    bool PoolChecksPass();
    // A waiting set whose failure both Apply tabs show (the switch is written from either).
    bool Write(QvSNMPRequest2Edits& binding);
    void RefreshMapping(New_req2Edit* list);
    // Tells the device to rebuild its lists of current assignments. The lists' status bars (and
    // alsoWaiting) say what the page waits for meanwhile; the lists' bars then say why the
    // lists could not be refreshed, when the command fails.
    void RunMappingRefresh(QvStatusBar* alsoWaiting = nullptr);

    // The static lease part (TFM_DHCPStaticPool.cpp).
    // Makes the static pool's bindings; FormCreate reads them with the page's other reads.
    void CreateStaticPool();
    void LeaseGetDone(const QvSNMPError& record);
    void LeaseSetDone(const QvSNMPError& record);
    void SetLeaseListsEnabled(bool enabled);
    void SelectTableRowOfListed();
    // The empty entry into the dialog's controls.
    void EmptyEntry();
    // The row of the full table whose MAC the typed one matches; -1 for none.
    int RowOfMac(const QString& typed) const;

    bool m_busy = true;
    bool m_refreshAfterSet = false;
    // The first failure among the static-pool sets of one change, told once they have all ended.
    QString m_leaseSetFailure;
    // Whether Ed_ext holds the device's address as read (any address, .0 and .255 included).
    bool m_deviceAddressRead = false;
};

QDialog* NewDhcpPage(QWidget* owner);
