#pragma once

#include "binding/QvPage.h"
#include "pages/advanced/MultiSsidTab.h"

#include <array>
#include <memory>
#include <vector>

namespace Ui {
class TFM_MultiSSIDForm;
}
class QvSNMPRequest2Edits;

// "Advanced \ Multi-SSID": the master SSID of the radio (read-only here), up to three guest
// SSIDs with their WEP keys and VLAN group IDs, and the VLAN switch. Apply checks every
// guest, writes only what the guests in use need, and restarts the device.
class TFM_MultiSSIDForm : public QvPage {
    Q_OBJECT
public:
    explicit TFM_MultiSSIDForm(QWidget* owner = nullptr);
    ~TFM_MultiSSIDForm() override;

    void FormCreate();
    void FormClose();
    void Bt_RefreshClick();
    void Bt_ApplyClick();
    void Bt_CloseClick();
    // tab: 0 the first radio's tab, 1 the hidden second one.
    void VLan_StateClick(int tab = 0);
    void GuestCheckBoxClick(int guest, int tab = 0);
    void GuestSecurityChange(int guest, int tab = 0);
    void GuestKeyTypeChange(int tab = 0);
    void GuestKeyChange(int guest, int tab = 0);
    void GuestSSIDEditExit(int guest, int tab = 0);

    std::unique_ptr<Ui::TFM_MultiSSIDForm> ui;
    QvSNMPRequest2Edits* VlanStateEdits = nullptr;
    QvSNMPRequest2Edits* RadioModeEdits = nullptr;
    // Per radio tab (only the visible one gets bindings).
    struct TabBindings {
        QvSNMPRequest2Edits* MasterSSIDEdits = nullptr;
        std::array<QvSNMPRequest2Edits*, MultiSsidTab::kGuests> GuestSSIDEdits{};
    };
    std::array<TabBindings, 2> Bindings;
    MultiSsidTab& Tab(int tab) { return *m_tabs[tab]; }

private:
    void CreateTabBindings(int tab);
    // Reads the radio modes; true when they arrived.
    bool ReadRadioModes();
    void AfterReading(bool refillKeyLists);
    bool CheckGuests(MultiSsidTab& tab);
    // false: Apply ends (a message has been shown, or a masked ASCII key ends it silently).
    bool BuildWriteMask(int tab);
    bool SetAll(int tab);
    std::vector<int> VisibleTabs() const;

    std::array<std::unique_ptr<MultiSsidTab>, 2> m_tabs;
};
