// The security group of the wireless page: its bindings, the key controls and which of the
// three settings groups (keys, RADIUS server, pass phrase) the authentication shows.
#include "pages/home/TFM_Wirless.h"

#include "binding/Controls.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "pages/home/WirlessSecurityRules.h"
#include "pages/home/WirlessVariables.h"
#include "ui_TFM_Wirless.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using namespace WirlessControls;
using namespace WirlessVariables;

namespace {

// The pass-phrase binding may wait long: the device derives its keys before it answers.
constexpr uint32_t kPskTimeout = 5000;

QvSNMPRequest2Edits& Waiting(QvSNMPRequest2Edits& binding, const VariableDescriptor* table)
{
    binding.RequestMode = QvSNMPRequest2Controls::kWaiting;
    binding.request.list.Assign(QvSNMPVarList(table, kListSingleInstances, 0));
    return binding;
}

} // namespace

// ---- bindings ----

void TFM_Wirless::NewWepEdits(WirlessRadio& r)
{
    auto& wep = Waiting(NewBinding<QvSNMPRequest2Edits>(), Wep);
    r.wepEdits = &wep;
    wep.BindComboBox(WepAuthRow(r.index), r.auth);
    wep.BindComboBox(WepEncryptionRow(r.index), r.encryption);
    wep.BindComboBox(WepValidKeyRow(r.index), r.validKey);
    for (int key = 0; key < 4; ++key)
        wep.BindEdit(WepKeyRow(r.index, key), r.keys[static_cast<size_t>(key)], "%s");
    for (int row : {WepAuthRow(r.index), WepEncryptionRow(r.index), WepValidKeyRow(r.index), WepKeyRow(r.index, 0),
                    WepKeyRow(r.index, 1), WepKeyRow(r.index, 2), WepKeyRow(r.index, 3)})
        wep.request.list.Item(row).access = kAccessReadWrite;
    for (QLineEdit* key : r.keys)
        SetPasswordChar(key, '*');
}

void TFM_Wirless::NewRadiusEdits(WirlessRadio& r)
{
    auto& radius = Waiting(NewBinding<QvSNMPRequest2Edits>(), Radius[r.index]);
    r.radiusEdits = &radius;
    radius.BindComboBox(kRadiusCipher, r.radiusCipher);
    radius.BindEdit(kRadiusPort, r.radiusPort, "%u{n1x65535}");
    radius.BindEdit(kRadiusInterval, r.groupKey, "%u{n300x18000}");
    radius.BindEdit(kRadiusServer, r.radiusServer, "%s");
    radius.BindEdit(kRadiusSecret, r.radiusSecret, "%s");
    SetPasswordChar(r.radiusSecret, '*');
}

void TFM_Wirless::NewPskEdits(WirlessRadio& r)
{
    auto& psk = Waiting(NewBinding<QvSNMPRequest2Edits>(), Psk[r.index]);
    r.pskEdits = &psk;
    psk.request.timeout = kPskTimeout;
    psk.BindComboBox(kPskCipher, r.pskCipher);
    psk.BindEdit(kPskInterval, r.pskGroupKey, "%u{n300x18000}");
    psk.BindEdit(kPskPassPhrase, r.passPhrase, "%s");
    SetPasswordChar(r.passPhrase, '*');
}

void TFM_Wirless::NewIntervalSupportEdits(WirlessRadio& r)
{
    auto& support = Waiting(NewBinding<QvSNMPRequest2Edits>(), IntervalSupport[r.index]);
    r.intervalSupportEdits = &support;
    support.BindEdit(0, r.supportFlag, "%s");
}

void TFM_Wirless::NewGuestStateEdits()
{
    auto& guests = Waiting(NewBinding<QvSNMPRequest2Edits>(), GuestState);
    GuestStateEdits = &guests;
    guests.BindComboBox(0, ui->CB_VLANState);
    guests.request.list.Item(0).access = kAccessReadWrite;
    for (const WirlessRadio& r : m_radio) {
        if (!SheetVisible(r))
            continue;
        for (int guest = 0; guest < 3; ++guest) {
            guests.BindComboBox(GuestStateItem(r.index, guest), r.guestState[static_cast<size_t>(guest)]);
            guests.BindComboBox(GuestAuthItem(r.index, guest), r.guestAuth[static_cast<size_t>(guest)]);
            guests.request.list.Item(GuestStateItem(r.index, guest)).access = kAccessReadWrite;
            guests.request.list.Item(GuestAuthItem(r.index, guest)).access = kAccessReadWrite;
        }
    }
}

void TFM_Wirless::NewGuestKeyIndexEdits()
{
    auto& keyIndexes = Waiting(NewBinding<QvSNMPRequest2Edits>(), GuestKeyIndex);
    GuestKeyIndexEdits = &keyIndexes;
    for (const WirlessRadio& r : m_radio) {
        if (!SheetVisible(r))
            continue;
        for (int guest = 0; guest < 3; ++guest) {
            keyIndexes.BindComboBox(3 * r.index + guest, r.guestKeyIndex[static_cast<size_t>(guest)]);
            keyIndexes.request.list.Item(3 * r.index + guest).access = kAccessReadWrite;
        }
    }
}

// ---- key controls ----

void TFM_Wirless::KeyLists(WirlessRadio& r)
{
    r.keySize->clear();
    r.keySize->addItems(SecurityRules::kKeySizes);
    r.keySize->setCurrentIndex(0);
    r.keyType->clear();
    r.keyType->addItems(SecurityRules::kKeyTypes);
    r.keyType->setCurrentIndex(0);
    KeyFieldStates(r);
}

void TFM_Wirless::KeyLengthRule(WirlessRadio& r)
{
    const int length = SecurityRules::KeyLength(r.keyType->currentIndex(), r.keySize->currentIndex());
    for (QLineEdit* key : r.keys)
        SetMaxLength(key, length);
}

void TFM_Wirless::KeyFieldStates(WirlessRadio& r)
{
    if (!SheetActive(r))
        return;
    const int valid = r.validKey->currentIndex();
    if (valid < 0)
        return;
    // A key of a known length tells its size.
    const int size = SecurityRules::KeySizeOfHexLength(r.keys[static_cast<size_t>(valid)]->text().size());
    if (size >= 0) {
        r.keySize->setCurrentIndex(size);
        KeyLengthRule(r);
    }
    if (r.encryption->currentIndex() == SecurityRules::kEnableIndex)
        for (int key = 0; key < 4; ++key)
            SetEditable(r.keys[static_cast<size_t>(key)], key == valid);
}

// ---- layout ----

void TFM_Wirless::SecurityLayout(WirlessRadio& r)
{
    if (!SheetVisible(r))
        return;
    using namespace SecurityRules;
    const Kind kind = KindOf(AuthOptions.IndexOfText(r.authProxy->currentText().toStdString()));
    if (kind == Kind::Wep) {
        r.keyGroup->show();
        r.radiusGroup->hide();
        r.pskGroup->hide();
        // A shared key needs encryption.
        const int shown = r.authProxy->currentIndex();
        if (shown == 1 || shown == 2) {
            r.encryption->setCurrentIndex(kEnableIndex);
            r.encryption->setEnabled(false);
        } else {
            r.encryption->setEnabled(true);
        }
    } else if (kind == Kind::Psk) {
        r.keyGroup->hide();
        r.radiusGroup->hide();
        r.pskGroup->show();
        r.encryption->setEnabled(true);
        FillWords(r.pskCipherProxy, PskCiphers(r.supportFlag->text() == "1", r.apModeProxy->currentText()));
        SelectText(r.pskCipherProxy, r.pskCipher->currentText());
        if (r.pskCipherProxy->currentIndex() < 0)
            r.pskCipherProxy->setCurrentIndex(0);
    } else if (kind == Kind::Eap || kind == Kind::Dot1x) {
        r.keyGroup->hide();
        r.radiusGroup->show();
        r.pskGroup->hide();
        r.encryption->setEnabled(true);
        const bool dot1x = kind == Kind::Dot1x;
        for (QWidget* control : {static_cast<QWidget*>(r.groupKeyLabel), static_cast<QWidget*>(r.groupKeyRange),
                                 static_cast<QWidget*>(r.groupKey)})
            control->setVisible(!dot1x);
        // 802.1x keys are WEP keys handed out by the server.
        FillWords(r.radiusCipherProxy, dot1x ? "WEP" : "Auto AES TKIP");
        SelectText(r.radiusCipherProxy, dot1x ? QString("WEP") : r.radiusCipher->currentText());
        if (r.radiusCipherProxy->currentIndex() < 0)
            r.radiusCipherProxy->setCurrentIndex(0);
    }

    const bool encrypted = r.encryption->currentIndex() == kEnableIndex;
    if (encrypted)
        KeyFieldStates(r);
    else
        for (QLineEdit* key : r.keys)
            SetEditable(key, false);
    for (QComboBox* combo : {r.keyType, r.keySize, r.validKey})
        combo->setEnabled(encrypted);
}

// ---- handlers ----

void TFM_Wirless::AuthProxyChange(WirlessRadio& r)
{
    SelectText(r.auth, r.authProxy->currentText());
    SecurityLayout(r);
}

void TFM_Wirless::CipherProxyChange(WirlessRadio& r, QComboBox* proxy)
{
    SelectText(r.pskCipher, proxy->currentText());
    SelectText(r.radiusCipher, proxy->currentText());
}

void TFM_Wirless::ValidKeyChange(WirlessRadio& r)
{
    KeyFieldStates(r);
    KeyLengthRule(r);
    GuestKeyIndexCheck(r);
}

void TFM_Wirless::Ed_SecAuthaTempChange() { AuthProxyChange(Radio(0)); }
void TFM_Wirless::Ed_SecAuthaChange() { SecurityLayout(Radio(0)); }
void TFM_Wirless::Ed_SecEncypaChange() { SecurityLayout(Radio(0)); }
void TFM_Wirless::Ed_KeyTypeChange() { KeyLengthRule(Radio(0)); }
void TFM_Wirless::Ed_KeySizeChange() { KeyLengthRule(Radio(0)); }
void TFM_Wirless::Ed_SecValKeyaChange() { ValidKeyChange(Radio(0)); }
void TFM_Wirless::CiphertypeComBxChange() { CipherProxyChange(Radio(0), Radio(0).radiusCipherProxy); }
void TFM_Wirless::CipherforPSKBxChange() { CipherProxyChange(Radio(0), Radio(0).pskCipherProxy); }
void TFM_Wirless::Ed_SecAuthgTempChange() { AuthProxyChange(Radio(1)); }
void TFM_Wirless::Ed_SecAuthgChange() { SecurityLayout(Radio(1)); }
void TFM_Wirless::Ed_SecEncypgChange() { SecurityLayout(Radio(1)); }
void TFM_Wirless::Ed_KeyType_gChange() { KeyLengthRule(Radio(1)); }
void TFM_Wirless::Ed_KeySize_gChange() { KeyLengthRule(Radio(1)); }
void TFM_Wirless::Ed_SecValKeygChange() { ValidKeyChange(Radio(1)); }
void TFM_Wirless::CiphertypeComboBx_gChange() { CipherProxyChange(Radio(1), Radio(1).radiusCipherProxy); }
void TFM_Wirless::CipherforPSKBx_gChange() { CipherProxyChange(Radio(1), Radio(1).pskCipherProxy); }
