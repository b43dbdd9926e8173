// What Apply does with the security group of the wireless page: the choices it takes from the
// proxies, its checks, the guest SSIDs it adjusts and the bindings it writes.
#include "pages/home/TFM_Wirless.h"

#include "binding/QvSNMPRequest2Edits.h"
#include "pages/home/WirlessSecurityRules.h"
#include "pages/home/WirlessVariables.h"
#include "shell/Validators.h"
#include "ui_TFM_Wirless.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>

using namespace WirlessControls;
using namespace WirlessVariables;
using SecurityRules::Kind;

namespace {

constexpr int kWpaPskRow = 5;

Kind BoundKind(const WirlessRadio& r)
{
    return SecurityRules::KindOf(r.auth->currentIndex());
}

void SetAccess(QvSNMPRequest2Edits* binding, std::initializer_list<int> items, int32_t access)
{
    if (binding)
        for (int item : items)
            binding->request.list.Item(item).access = access;
}

bool InRange(const QString& text, int low, int high)
{
    bool number = false;
    const int value = text.toInt(&number);
    return number && value >= low && value <= high;
}

} // namespace

void TFM_Wirless::ProxySync(WirlessRadio& r)
{
    // The WDS modes carry no EAP and no WPA2.
    if (BoundWdsMode(r) && BoundKind(r) != Kind::Wep && r.auth->currentIndex() != kWpaPskRow)
        r.auth->setCurrentIndex(0);
    if (!r.pskGroup->isHidden())
        SelectText(r.pskCipher, r.pskCipherProxy->currentText());
    if (!r.radiusGroup->isHidden())
        SelectText(r.radiusCipher, r.radiusCipherProxy->currentText());
}

bool TFM_Wirless::WepKeyLengthCheck(WirlessRadio& r)
{
    const int valid = r.validKey->currentIndex();
    // A key that is not written is not checked: with encryption off the key edits are
    // read-only and nothing but the authentication and the encryption is written.
    if (BoundKind(r) != Kind::Wep || valid < 0 || r.encryption->currentIndex() != SecurityRules::kEnableIndex)
        return true;
    const int type = r.keyType->currentIndex();
    const int size = r.keySize->currentIndex();
    if (r.keys[static_cast<size_t>(valid)]->text().size() == SecurityRules::KeyLength(type, size))
        return true;
    SetActiveSheet(r);
    Message(SecurityRules::KeyLengthMessage(valid, type, size), "Warning");
    return false;
}

bool TFM_Wirless::SecurityValidation(WirlessRadio& r)
{
    const auto fail = [&](QLineEdit* edit, const QString& text, const QString& caption, bool clear = false) {
        SetActiveSheet(r);
        if (!text.isEmpty())
            Message(text, caption);
        if (clear)
            edit->clear();
        edit->setFocus();
        return false;
    };
    const auto passPhraseChecks = [&]() {
        const int length = r.passPhrase->text().size();
        if (length < 8 || length > 63)
            return fail(r.passPhrase, "The length of 802.11g PassPhrase is between 8 and 63.", "Error");
        if (!CheckText(r.passPhrase->text().toStdString(), false, this))
            return fail(r.passPhrase, {}, {});
        return true;
    };

    if (!WepKeyLengthCheck(r))
        return false;
    const int idx = r.index;
    SetAccess(r.wepEdits, {WepEncryptionRow(idx), WepValidKeyRow(idx), WepKeyRow(idx, 0), WepKeyRow(idx, 1),
                           WepKeyRow(idx, 2), WepKeyRow(idx, 3)},
              kAccessInvalid);
    SetAccess(r.pskEdits, {kPskCipher, kPskInterval, kPskPassPhrase}, kAccessInvalid);
    SetAccess(r.radiusEdits, {kRadiusCipher, kRadiusPort, kRadiusInterval, kRadiusServer, kRadiusSecret},
              kAccessInvalid);

    const Kind kind = BoundKind(r);
    if (kind == Kind::Wep) {
        SetAccess(r.wepEdits, {WepEncryptionRow(idx)}, kAccessReadWrite);
        if (r.encryption->currentIndex() != SecurityRules::kEnableIndex)
            return true;
        SetAccess(r.wepEdits, {WepValidKeyRow(idx)}, kAccessReadWrite);
        const int valid = r.validKey->currentIndex();
        if (valid < 0)
            return true;
        QLineEdit* key = r.keys[static_cast<size_t>(valid)];
        if (r.keyType->currentIndex() == 1 && !SecurityRules::IsMasked(key->text())) {
            // A character beyond ASCII has no one-byte code the device could take.
            if (HasNonAsciiCharacter(key->text().toStdString()))
                return fail(key, "Don't support chinese characters !", "Error", false);
            key->setText(SecurityRules::AsciiToHex(key->text()));
        }
        if (SecurityRules::IsMasked(key->text()))
            return true;  // the device keeps its key
        if (!SecurityRules::IsHex(key->text()))
            return fail(key, "Please input  Hexadecimal digits!", "Warning", true);
        SetAccess(r.wepEdits, {WepKeyRow(idx, valid)}, kAccessReadWrite);
        return true;
    }
    if (kind == Kind::Psk) {
        // With the support flag a WDS link keeps the device's group key interval.
        const bool fixedInterval = r.supportFlag->text() == "1" && ShownWdsMode(r);
        if (!fixedInterval && !InRange(r.pskGroupKey->text(), 300, 18000))
            return fail(r.pskGroupKey, "Please input a number between 300 and 18000.", "Error", true);
        if (!passPhraseChecks())
            return false;
        SetAccess(r.pskEdits, {kPskCipher, kPskPassPhrase}, kAccessReadWrite);
        if (!fixedInterval)
            SetAccess(r.pskEdits, {kPskInterval}, kAccessReadWrite);
        return true;
    }
    if (kind == Kind::Eap || kind == Kind::Dot1x) {
        if (r.groupKey->text().isEmpty())
            return fail(r.groupKey, r.emptyRadiusIntervalText, "Error", true);
        if (kind == Kind::Eap && !InRange(r.groupKey->text(), 300, 18000))
            return fail(r.groupKey, "Please input a number between 300 and 18000.", "Error", true);
        if (!IsValidIpAddress(r.radiusServer->text().toStdString()))
            return fail(r.radiusServer, "The Radius server's IP is illegal.", "Error");
        if (r.radiusPort->text().isEmpty())
            return fail(r.radiusPort, "Please input a number between 1 and 65535.", "Error");
        if (!CheckText(r.radiusSecret->text().toStdString(), true, this))
            return fail(r.radiusSecret, {}, {});
        SetAccess(r.radiusEdits, {kRadiusCipher, kRadiusPort, kRadiusServer, kRadiusSecret}, kAccessReadWrite);
        if (kind == Kind::Eap)
            SetAccess(r.radiusEdits, {kRadiusInterval}, kAccessReadWrite);
    }
    return true;
}

bool TFM_Wirless::GuestKeyIndexCheck(WirlessRadio& r)
{
    // Only a WEP main SSID shares its key slots with the guests.
    const int shown = r.authProxy->currentIndex();
    if (!r.validKey->isEnabled() || shown < 0 || shown > 2)
        return true;
    const int valid = r.validKey->currentIndex();
    for (size_t guest = 0; guest < 3; ++guest) {
        if (valid >= 0 && r.guestKeyIndex[guest]->currentIndex() == valid &&
            r.guestState[guest]->currentText() == "enabled" && r.guestAuth[guest]->currentIndex() > 0) {
            Message(QString("The %1 master SSID's key index is same as Guest SSID%2").arg(r.band).arg(guest + 1),
                    "Warning");
            return false;
        }
    }
    return true;
}

void TFM_Wirless::GuestAdjustment()
{
    if (!GuestStateEdits)
        return;
    QvSNMPVarList& list = GuestStateEdits->request.list;
    for (int item = 0; item < kGuestStateCount; ++item)
        list.Item(item).access = kAccessInvalid;
    for (WirlessRadio& r : m_radio) {
        if (!SheetVisible(r))
            continue;
        list.Item(0).access = kAccessReadWrite;
        for (int guest = 0; guest < 3; ++guest) {
            list.Item(GuestStateItem(r.index, guest)).access = kAccessReadWrite;
            list.Item(GuestAuthItem(r.index, guest)).access = kAccessReadWrite;
        }
        // A WDS link runs without VLANs and guest SSIDs; guests with WPA cannot share the radio's keys.
        if (r.apModeProxy->currentText() != "Access Point") {
            ui->CB_VLANState->setCurrentIndex(0);
            for (QComboBox* state : r.guestState)
                state->setCurrentIndex(0);
        } else if (r.authProxy->currentText() != "Open System" && r.authProxy->currentText() != "Shared Key") {
            for (QComboBox* auth : r.guestAuth)
                auth->setCurrentIndex(0);
        }
    }
}

std::vector<QvSNMPRequest2Edits*> TFM_Wirless::SecurityBindings(WirlessRadio& r)
{
    switch (BoundKind(r)) {
    case Kind::Wep:
        return {r.wepEdits};
    case Kind::Psk:
        return {r.wepEdits, r.pskEdits};
    case Kind::Eap:
    case Kind::Dot1x:
        return {r.wepEdits, r.radiusEdits};
    default:
        return {};
    }
}

bool TFM_Wirless::SecurityWrites(WirlessRadio& r)
{
    const std::vector<QvSNMPRequest2Edits*> bindings = SecurityBindings(r);
    if (bindings.empty())
        return false;
    for (QvSNMPRequest2Edits* binding : bindings)
        if (!binding || !binding->Set())
            return false;
    return true;
}
