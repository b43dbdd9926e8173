#pragma once

#include "binding/QvPage.h"
#include "pages/home/WirlessRadio.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace Ui {
class TFM_Wirless;
}
class QTimer;
class QvSNMPRequest2Edits;

// "Home \ Wireless": every per-radio setting of the access point. The basic radio settings
// (this file and WirlessBasic.cpp), the security (WirlessSecurity*.cpp), the AP modes with
// their WDS partners (WirlessApMode.cpp) and the site survey (WirlessSurvey.cpp). The page
// configures radio 1; radio 2's twin sheet is built but its tab stays hidden, and each rule
// runs for a radio only while its sheet is visible.
class TFM_Wirless : public QvPage {
    Q_OBJECT
public:
    explicit TFM_Wirless(QWidget* owner = nullptr);
    ~TFM_Wirless() override;

    // ---- page ----
    void FormCreate();
    void FormShow();
    void Bt_ApplyClick();
    void Bt_RefreshClick();
    void Bt_CloseClick();
    bool FormCloseQuery() const;
    void FormClose();
    void PC_WirlessChange();
    void CB_AuScChange();
    void CB_AuScgChange();
    void Timer1Timer();

    // ---- AP mode and site survey ----
    void ED_APModeTempComboBoxtestChange();
    void ED_APModeTempComboBoxgChange();
    void ED_APModeComboBoxChange() {}
    // As the user's choice of an offered mode ("WDS with AP"): the sheet takes its layout;
    // nothing reaches the device before Apply.
    void ChooseApMode(const QString& mode);
    void SiteScanClick();
    void SiteScangClick();
    void SiteServeyListViewClick();
    void SiteServeyListViewgClick();

    // ---- security ----
    void Ed_SecAuthaTempChange();
    void Ed_SecAuthaChange();
    void Ed_SecEncypaChange();
    void Ed_KeyTypeChange();
    void Ed_KeySizeChange();
    void Ed_SecValKeyaChange();
    void CiphertypeComBxChange();
    void CipherforPSKBxChange();
    void Ed_SecAuthgTempChange();
    void Ed_SecAuthgChange();
    void Ed_SecEncypgChange();
    void Ed_KeyType_gChange();
    void Ed_KeySize_gChange();
    void Ed_SecValKeygChange();
    void CiphertypeComboBx_gChange();
    void CipherforPSKBx_gChange();

    std::unique_ptr<Ui::TFM_Wirless> ui;
    QvSNMPRequest2Edits* BasicEdits = nullptr;
    QvSNMPRequest2Edits* SuperModeEdits = nullptr;
    QvSNMPRequest2Edits* GuestStateEdits = nullptr;
    QvSNMPRequest2Edits* GuestKeyIndexEdits = nullptr;
    WirlessRadio& Radio(int index) { return m_radio[static_cast<size_t>(index)]; }
    QTimer* Timer1 = nullptr;

    // Site survey: 1 = no scan in progress; timer ticks before the table is read (-1 idle);
    // the radio that scans (0 or 1).
    uint8_t scanIdle = 1;
    int32_t surveyCountdown = -1;
    uint8_t surveyRadio = 0;

protected:
    void showEvent(QShowEvent* event) override;
    bool CloseAllowed() override { return FormCloseQuery(); }
    void done(int result) override;

private:
    // ---- page (TFM_Wirless.cpp) ----
    bool SheetVisible(const WirlessRadio& r) const;
    bool SheetActive(const WirlessRadio& r) const;
    // Brings the radio's sheet to the front and runs the sheet-change handling.
    void SetActiveSheet(WirlessRadio& r);
    // The opening: every binding is made and configured first, their reads asked of the device
    // together, then each Get runs in the order the page has always read them.
    void CreateRadioBindings(WirlessRadio& r);
    void ReadRadioBindings(WirlessRadio& r);
    void CreateBasicEdits();
    void ReadBasicEdits();
    std::vector<QvSNMPRequest2Controls*> OpeningReads();
    void PrepareControls();
    bool Validate();
    bool WriteAll();

    // ---- basic settings (WirlessBasic.cpp) ----
    void NewAutoScanEdits(WirlessRadio& r);
    void FillChannelCombo(WirlessRadio& r);
    void ChannelEnablingRule(WirlessRadio& r);
    bool SsidChecks(WirlessRadio& r);
    void MaxInputLengths(WirlessRadio& r);

    // ---- AP mode (WirlessApMode.cpp) ----
    void NewApModeEdits(WirlessRadio& r);
    void ModeCombosAndLayout(WirlessRadio& r);
    void ModeLayout(WirlessRadio& r);
    void MacFieldStates(WirlessRadio& r);
    bool DuplicateWdsCheck(WirlessRadio& r);
    bool ApModeValidation(WirlessRadio& r);
    // The bound mode is one of the two WDS modes.
    static bool BoundWdsMode(const WirlessRadio& r);
    static bool ShownWdsMode(const WirlessRadio& r);

    // ---- security (WirlessSecurity.cpp, WirlessSecurityApply.cpp) ----
    void NewWepEdits(WirlessRadio& r);
    void NewRadiusEdits(WirlessRadio& r);
    void NewPskEdits(WirlessRadio& r);
    void NewIntervalSupportEdits(WirlessRadio& r);
    void NewGuestStateEdits();
    void NewGuestKeyIndexEdits();
    void KeyLists(WirlessRadio& r);
    void KeyLengthRule(WirlessRadio& r);
    void KeyFieldStates(WirlessRadio& r);
    void SecurityLayout(WirlessRadio& r);
    void AuthProxyChange(WirlessRadio& r);
    void CipherProxyChange(WirlessRadio& r, QComboBox* proxy);
    void ValidKeyChange(WirlessRadio& r);
    void ProxySync(WirlessRadio& r);
    bool WepKeyLengthCheck(WirlessRadio& r);
    bool SecurityValidation(WirlessRadio& r);
    bool GuestKeyIndexCheck(WirlessRadio& r);
    void GuestAdjustment();
    // The bindings the radio's security writes, in order, for its bound authentication.
    std::vector<QvSNMPRequest2Edits*> SecurityBindings(WirlessRadio& r);
    bool SecurityWrites(WirlessRadio& r);
    // A message box; the security checks first bring the radio's sheet to the front.
    void Message(const QString& text, const QString& caption);

    // ---- site survey (WirlessSurvey.cpp) ----
    void NewScanCmdEdits(WirlessRadio& r);
    void NewSurveyEdits(WirlessRadio& r);
    void StartScan(WirlessRadio& r);
    void ChooseSurveyRow(WirlessRadio& r);
    void ReadSurvey(WirlessRadio& r);
    void EndScan(WirlessRadio& r);

    std::array<WirlessRadio, 2> m_radio;
};
