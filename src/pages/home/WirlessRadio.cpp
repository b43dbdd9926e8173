#include "pages/home/WirlessRadio.h"

#include "binding/Controls.h"
#include "ui_TFM_Wirless.h"

void WirlessRadio::ForgetBindings()
{
    autoScanEdits = apModeEdits = wepEdits = radiusEdits = pskEdits = nullptr;
    intervalSupportEdits = scanCmdEdits = surveyEdits = nullptr;
}

namespace {

WirlessRadio RadioOne(Ui::TFM_Wirless& ui)
{
    WirlessRadio r;
    r.index = 0;
    r.sheet = ui.TS_11a;
    r.ssidLabel = ui.La_SSIDa;
    r.frequency = ui.Ed_RaFreqa;
    r.ssid = ui.Ed_SSIDa;
    r.ssidBroadcast = ui.CB_SSIDBcasta;
    r.channel = ui.CB_Chana;
    r.autoScan = ui.CB_AuSc;
    r.channelEdit = ui.Ed_Chana;
    r.channelList = ui.Ed_ChanLista;
    r.dynamicChannelList = ui.Ed_DynChLista;
    r.superMode = ui.AD_SuperMode;

    r.apModeLabel = ui.ED_ApMode;
    r.apModeProxy = ui.ED_APModeTempComboBox;
    r.apMode = ui.ED_APModeComboBox;
    r.wdsGroup = ui.GroupBox1;
    r.wds = {ui.Ed_ReMAddra0, ui.Ed_ReMAddra1, ui.Ed_ReMAddra2, ui.Ed_ReMAddra3,
             ui.Ed_ReMAddra4, ui.Ed_ReMAddra5, ui.Ed_ReMAddra6, ui.Ed_ReMAddra7};
    r.repeaterGroup = ui.GroupBox2;
    r.rootMac = ui.Ed_RoMAddra0;
    r.clientSsid = ui.Ed_SSID;
    r.clientRootMac = ui.Ed_CRoMAddra0;
    r.surveyGroup = ui.GroupBox3;
    r.scan = ui.SiteScan;
    r.survey = ui.SiteServeyListView;
    r.scanCommand = ui.SiteScanComboBox;

    r.authLabel = ui.La_Autha;
    r.authProxy = ui.Ed_SecAuthaTemp;
    r.auth = ui.Ed_SecAutha;
    r.keyGroup = ui.GroupBox4;
    r.encryption = ui.Ed_SecEncypa;
    r.keyType = ui.Ed_KeyType;
    r.keySize = ui.Ed_KeySize;
    r.validKey = ui.Ed_SecValKeya;
    r.keys = {ui.Ed_Key1a, ui.Ed_Key2a, ui.Ed_Key3a, ui.Ed_Key4a};
    r.radiusGroup = ui.GroupBox5;
    r.radiusCipherProxy = ui.CiphertypeComBx;
    r.radiusCipher = ui.CiphertypeComboBox;
    r.groupKeyLabel = ui.GroupKey;
    r.groupKeyRange = ui.Label14;
    r.groupKey = ui.GroupKeyEdit;
    r.radiusServer = ui.RadiusServerEdit;
    r.radiusSecret = ui.RadiusSecretEdit;
    r.radiusPort = ui.RadiusportEdit;
    r.pskGroup = ui.GroupBox6;
    r.pskCipherProxy = ui.CipherforPSKBx;
    r.pskCipher = ui.CipherforPSKBox;
    r.passPhrase = ui.PassPhrasePSKEdit;
    r.pskIntervalLabel = ui.GroupKeyUpdate;
    r.pskGroupKey = ui.GroupKeyPSKEdit;
    r.pskIntervalRange = ui.Label23;
    r.supportFlag = ui.Ed_SupportUpdateInterval;
    r.guestState = {ui.Guest1_ComboBox, ui.Guest2_ComboBox, ui.Guest3_ComboBox};
    r.guestAuth = {ui.GuestEncry1_ComboBox, ui.GuestEncry2_ComboBox, ui.GuestEncry3_ComboBox};
    r.guestKeyIndex = {ui.GuestKeyIndex1_ComboBox, ui.GuestKeyIndex2_ComboBox, ui.GuestKeyIndex3_ComboBox};

    r.band = "11a";
    r.wdsIgnoresCase = true;
    r.emptyRadiusIntervalText = "Please input a number between 300 and 18000.";
    return r;
}

WirlessRadio RadioTwo(Ui::TFM_Wirless& ui)
{
    WirlessRadio r;
    r.index = 1;
    r.sheet = ui.TS_11g;
    r.ssidLabel = ui.La_SSIDg;
    r.frequency = ui.Ed_RaFreqg;
    r.ssid = ui.Ed_SSIDg;
    r.ssidBroadcast = ui.CB_SSIDBcastg;
    r.channel = ui.CB_Chang;
    r.autoScan = ui.CB_AuScg;
    r.channelEdit = ui.Ed_Chang;
    r.channelList = ui.Ed_ChanListg;
    r.dynamicChannelList = ui.Ed_DynChListg;
    r.superMode = ui.AD_SuperModeg;

    r.apModeLabel = ui.ED_ApModeg;
    r.apModeProxy = ui.ED_APModeTempComboBoxg;
    r.apMode = ui.ED_APModeComboBoxg;
    r.wdsGroup = ui.MACGroup_g;
    r.wds = {ui.Ed_ReMAddrg0, ui.Ed_ReMAddrg1, ui.Ed_ReMAddrg2, ui.Ed_ReMAddrg3,
             ui.Ed_ReMAddrg4, ui.Ed_ReMAddrg5, ui.Ed_ReMAddrg6, ui.Ed_ReMAddrg7};
    r.repeaterGroup = ui.Repea_Client_Group_g;
    r.rootMac = ui.Ed_RoMAddrg0;
    r.clientSsid = ui.Ed_SSID_11g;
    r.clientRootMac = ui.Ed_CRoMAddrg0;
    r.surveyGroup = ui.SiteGroupBoxg;
    r.scan = ui.SiteScang;
    r.survey = ui.SiteServeyListViewg;
    r.scanCommand = ui.SiteScanComboBoxg;

    r.authLabel = ui.La_Authg;
    r.authProxy = ui.Ed_SecAuthgTemp;
    r.auth = ui.Ed_SecAuthg;
    r.keyGroup = ui.GroupBox4_g;
    r.encryption = ui.Ed_SecEncypg;
    r.keyType = ui.Ed_KeyType_g;
    r.keySize = ui.Ed_KeySize_g;
    r.validKey = ui.Ed_SecValKeyg;
    r.keys = {ui.Ed_Key1g, ui.Ed_Key2g, ui.Ed_Key3g, ui.Ed_Key4g};
    r.radiusGroup = ui.GroupBox5_g;
    r.radiusCipherProxy = ui.CiphertypeComboBx_g;
    r.radiusCipher = ui.CiphertypeComboBox_g;
    r.groupKeyLabel = ui.GroupKey_g;
    r.groupKeyRange = ui.Label14_g;
    r.groupKey = ui.GroupKeyEdit_g;
    r.radiusServer = ui.RadiusServerEdit_g;
    r.radiusSecret = ui.RadiusSecretEdit_g;
    r.radiusPort = ui.RadiusportEdit_g;
    r.pskGroup = ui.GroupBox6_g;
    r.pskCipherProxy = ui.CipherforPSKBx_g;
    r.pskCipher = ui.CipherforPSKBox_g;
    r.passPhrase = ui.PassPhrasePSKEdit_g;
    r.pskIntervalLabel = ui.GroupKeyUpdate_g;
    r.pskGroupKey = ui.GroupKeyPSKEdit_g;
    r.pskIntervalRange = ui.Label23_g;
    r.supportFlag = ui.Ed_SupportUpdateInterval_g;
    r.guestState = {ui.Guest1_ComboBoxg, ui.Guest2_ComboBoxg, ui.Guest3_ComboBoxg};
    r.guestAuth = {ui.GuestEncry1_ComboBox_g, ui.GuestEncry2_ComboBox_g, ui.GuestEncry3_ComboBox_g};
    r.guestKeyIndex = {ui.GuestKeyIndex1_ComboBoxg, ui.GuestKeyIndex2_ComboBoxg, ui.GuestKeyIndex3_ComboBoxg};

    r.band = "11g";
    r.wdsIgnoresCase = false;  // the second radio compares its partners as typed
    r.emptyRadiusIntervalText = "Please input a number between 30 and 18000.";
    return r;
}

} // namespace

WirlessRadio RadioOnForm(Ui::TFM_Wirless& ui, int index)
{
    return index == 0 ? RadioOne(ui) : RadioTwo(ui);
}

namespace WirlessControls {

void SelectText(QComboBox* comboBox, const QString& text)
{
    comboBox->setCurrentIndex(comboBox->findText(text, Qt::MatchFixedString));
}

void FillWords(QComboBox* comboBox, const QString& words)
{
    comboBox->clear();
    comboBox->addItems(words.split(' ', Qt::SkipEmptyParts));
}

void SetEditable(QLineEdit* edit, bool editable) { SetReadOnlyLook(edit, !editable); }

} // namespace WirlessControls
