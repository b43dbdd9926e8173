#pragma once

#include "binding/QvPage.h"
#include "pages/advanced/PerformanceRadio.h"

#include <memory>
#include <vector>

namespace Ui {
class TFM_Performace;
}

// "Advanced \ Performance": the radio's tuning (data rate, beacon interval, DTIM, fragment
// and RTS lengths, transmit power, radio on/off, channel) and its optional features (XR,
// short preamble, WMM, antenna diversity). A feature is shown, and written, only when the
// device answered its first read. Each radio has a sheet; the second one stays hidden.
class TFM_Performace : public QvPage {
    Q_OBJECT
public:
    explicit TFM_Performace(QWidget* owner = nullptr);
    ~TFM_Performace() override;

    void FormCreate();
    void Bt_Apply_aClick() { Apply(RadioA); }
    void Bt_Apply_gClick() { Apply(RadioG); }
    void Bt_Refresh_aClick() { Refresh(RadioA); }
    void Bt_Refresh_gClick() { Refresh(RadioG); }
    void PC_PerformaceChange();
    void CB_SupModeaChange() { SuperModeChange(RadioA); }
    void CB_SupModegChange() { SuperModeChange(RadioG); }
    void CB_ChanaChange() { CopyChannel(RadioA); }
    void CB_ChangChange() { CopyChannel(RadioG); }
    void CB_AuScaChange() { Performance::FollowAutoScan(RadioA); }
    void CB_AuScgChange() { Performance::FollowAutoScan(RadioG); }

    std::unique_ptr<Ui::TFM_Performace> ui;
    PerformanceRadio RadioA;  // radio 1, the one this device's users configure
    PerformanceRadio RadioG;  // radio 2, its sheet hidden

private:
    // The radio's bindings, made and configured; Create then reads them in their order.
    std::vector<QvSNMPRequest2Controls*> MakeBindings(PerformanceRadio& radio);
    void Create(PerformanceRadio& radio);
    void Apply(PerformanceRadio& radio);
    void Refresh(PerformanceRadio& radio);
    void SuperModeChange(PerformanceRadio& radio);
    void CopyChannel(PerformanceRadio& radio);
    void ConnectRadio(PerformanceRadio& radio);
    // An edit's range check as the focus leaves it.
    void ExitCheck(QLineEdit* edit, int low, int high, bool clear);
    // A binding of one optional feature: its read tells whether the device has it.
    QvSNMPRequest2Edits* Probe(PerformanceRadio& radio, const VariableDescriptor* table, QComboBox* combo);
    // The page control and the window lose (or gain) designed height; the status bar stays at
    // the bottom.
    void Shrink(int designedDy);
};
