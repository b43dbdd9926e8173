#include "pages/advanced/MultiSsidTab.h"

#include "binding/Controls.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

#include <algorithm>

namespace {

// Key value characters by key size (rows) and key type (HEX, ASCII).
constexpr int kKeyLength[3][2] = {{10, 5}, {26, 13}, {32, 16}};
constexpr int kAccessPoint = 0;    // AP mode "Access Point"
constexpr int kSuperModeOff = 2;   // super mode "Disable"
constexpr int kEncryptionOn = 1;
constexpr int kSecurityNone = 0;

template <typename Widget>
Widget* find(QWidget* sheet, const QString& name)
{
    auto* widget = sheet->findChild<Widget*>(name);
    Q_ASSERT_X(widget, "MultiSsidTab", qPrintable(name));
    return widget;
}

QString number(int guest) { return QString::number(guest + 1); }

} // namespace

MultiSsidTab::MultiSsidTab(QTabWidget* pages, QWidget* sheet, const QString& suffix) : m_pages(pages), m_sheet(sheet)
{
    masterSsid = find<QLineEdit>(sheet, "MasterSSIDEdit" + suffix);
    securityBox = find<QComboBox>(sheet, "SecurityBox" + suffix);
    defaultKey = find<QComboBox>(sheet, "DefaultKey" + suffix);
    groupIdBox = find<QLineEdit>(sheet, "GroupIDBox" + suffix);
    vlanState = find<QCheckBox>(sheet, "VLan_State" + suffix);
    encryption = find<QComboBox>(sheet, "Encryption_ComboBox" + suffix);
    apMode = find<QComboBox>(sheet, "AP_ModeComboBox" + suffix);
    superMode = find<QComboBox>(sheet, "Supermode_ComboBox" + suffix);
    for (int g = 0; g < kGuests; ++g) {
        GuestControls& guest = guests[g];
        const QString n = number(g);
        guest.enable = find<QCheckBox>(sheet, "Guest" + n + "CheckBox" + suffix);
        guest.ssid = find<QLineEdit>(sheet, "GuestSSIDEdit" + n + suffix);
        guest.security = find<QComboBox>(sheet, "GuestSecurity" + n + suffix);
        guest.keyType = find<QComboBox>(sheet, "GuestKeyType" + n + suffix);
        guest.keySize = find<QComboBox>(sheet, "GuestKeySize" + n + suffix);
        guest.keyIndex = find<QComboBox>(sheet, "GuestKey" + n + suffix);
        guest.keyValue = find<QLineEdit>(sheet, "GuestKeyvalueEdit" + n + suffix);
        guest.groupId = find<QLineEdit>(sheet, "GuestGroupID" + n + suffix);
        SetPasswordChar(guest.keyValue, '*');
    }
}

bool MultiSsidTab::Visible() const { return TabSheetVisible(m_sheet); }

bool MultiSsidTab::GuestCapable() const
{
    return apMode->currentIndex() == kAccessPoint && superMode->currentIndex() == kSuperModeOff;
}

bool MultiSsidTab::MasterWep() const { return encryption->currentIndex() == kEncryptionOn; }

bool MultiSsidTab::WepCompatibleMaster() const
{
    const int security = securityBox->currentIndex();
    return security == 0 || security == 1;  // "Open System", "Shared Key"
}

void MultiSsidTab::EnableRule()
{
    if (!GuestCapable()) {
        vlanState->setEnabled(false);
        for (GuestControls& guest : guests) {
            guest.enable->setEnabled(false);
            guest.groupId->setEnabled(false);
        }
    } else {
        for (GuestControls& guest : guests)
            guest.enable->setEnabled(true);
        vlanState->setEnabled(true);
        VlanRule();
    }
    for (int g = 0; g < kGuests; ++g) {
        GuestControls& guest = guests[g];
        // A guest whose state was not read is not taken as enabled: its settings stay shut.
        if (ShowsChecked(guest.enable) && guest.enable->isEnabled()) {
            guest.ssid->setEnabled(true);
            if (!WepCompatibleMaster()) {
                guest.security->setCurrentIndex(kSecurityNone);
                guest.security->setEnabled(false);
            } else {
                guest.security->setEnabled(true);
            }
            GuestKeyRule(g);
        } else {
            for (QWidget* control : {static_cast<QWidget*>(guest.ssid), static_cast<QWidget*>(guest.security),
                                     static_cast<QWidget*>(guest.keyIndex), static_cast<QWidget*>(guest.keyType),
                                     static_cast<QWidget*>(guest.keySize), static_cast<QWidget*>(guest.keyValue)})
                control->setEnabled(false);
        }
    }
}

void MultiSsidTab::VlanRule()
{
    const bool enabled = ShowsChecked(vlanState) && GuestCapable();
    groupIdBox->setEnabled(enabled);
    for (GuestControls& guest : guests)
        guest.groupId->setEnabled(enabled);
}

void MultiSsidTab::GuestKeyRule(int g)
{
    GuestControls& guest = guests[g];
    const bool withKey = guest.security->currentIndex() != kSecurityNone;
    for (QWidget* control : {static_cast<QWidget*>(guest.keyIndex), static_cast<QWidget*>(guest.keyType),
                             static_cast<QWidget*>(guest.keySize), static_cast<QWidget*>(guest.keyValue)})
        control->setEnabled(withKey);
}

void MultiSsidTab::FillKeyLists()
{
    for (GuestControls& guest : guests) {
        guest.keySize->clear();
        guest.keySize->addItems({"64 Bits", "128 Bits", "152 Bits"});
        guest.keySize->setCurrentIndex(0);
        guest.keyType->clear();
        guest.keyType->addItems({"HEX", "ASCII"});
        guest.keyType->setCurrentIndex(0);
    }
    KeySizesFromKeys();
}

void MultiSsidTab::KeySizesFromKeys()
{
    for (GuestControls& guest : guests) {
        const qsizetype length = guest.keyValue->text().size();
        guest.keySize->setCurrentIndex(length == 26 ? 1 : length == 32 ? 2 : 0);
    }
}

int MultiSsidTab::RequiredKeyLength(int g) const
{
    const int size = std::max(0, guests[g].keySize->currentIndex());
    const int type = std::max(0, guests[g].keyType->currentIndex());
    return kKeyLength[std::min(size, 2)][std::min(type, 1)];
}

void MultiSsidTab::KeyLengthRule()
{
    for (int g = 0; g < kGuests; ++g)
        SetMaxLength(guests[g].keyValue, RequiredKeyLength(g));
}

void MultiSsidTab::Warn(const QString& text, QWidget* control, const QString& caption)
{
    m_pages->setCurrentWidget(m_sheet);
    Dialogs::message(m_sheet->window(), text, caption, DialogButtons::Ok,
                     caption == "Error" ? DialogIcon::Error : DialogIcon::Warning);
    if (control)
        control->setFocus();
}

bool MultiSsidTab::KeyIndexCheck(int g)
{
    const GuestControls& guest = guests[g];
    if (!guest.keyIndex->isEnabled())
        return true;
    const QString start = "The 11g Guest SSID" + number(g) + "'s key index is same as ";
    const int index = guest.keyIndex->currentIndex();
    if (MasterWep() && index == defaultKey->currentIndex()) {
        Warn(start + "master SSID", guest.keyIndex);
        return false;
    }
    for (int other = 0; other < kGuests; ++other) {
        if (other != g && guests[other].keyIndex->isEnabled() && guests[other].keyIndex->currentIndex() == index) {
            Warn(start + "Guest SSID" + number(other), guest.keyIndex);
            return false;
        }
    }
    return true;
}

bool MultiSsidTab::SsidCheck(int g)
{
    const GuestControls& guest = guests[g];
    if (!guest.ssid->isEnabled())
        return true;
    const QString start = "The 11g Guest SSID" + number(g) + "'s SSID is same as ";
    const QString ssid = guest.ssid->text();
    if (MasterWep() && ssid == masterSsid->text()) {
        Warn(start + "master SSID", guest.ssid);
        return false;
    }
    for (int other = 0; other < kGuests; ++other) {
        if (other != g && guests[other].ssid->isEnabled() && guests[other].ssid->text() == ssid) {
            Warn(start + "SSID" + number(other) + "'s SSID", guest.ssid);
            return false;
        }
    }
    return true;
}

bool MultiSsidTab::KeyLengthCheck(int g)
{
    const GuestControls& guest = guests[g];
    if (!guest.keyValue->isEnabled())
        return true;
    const int required = RequiredKeyLength(g);
    if (guest.keyValue->text().size() == required)
        return true;
    // The device's own wording, its typo included, for the longest ASCII key.
    const QString length = required == 16 ? "Lengh" : "Length";
    Warn("The " + length + " of Guest SSID" + number(g) + "'s key in IEEE802.11g must be " + QString::number(required) + "!",
         guest.keyValue);
    return false;
}

bool IsMaskedKey(const QString& key)
{
    return !key.isEmpty() && std::all_of(key.begin(), key.end(), [](QChar c) { return c == '*'; });
}

QString AsciiKeyToHex(const QString& key)
{
    QString hex;
    for (QChar c : key)
        hex += c.unicode() < 256 ? QString("%1").arg(c.unicode(), 2, 16, QChar('0')) : QString("??");
    return hex.left(2 * key.size());
}

bool IsHexKey(const QString& key)
{
    return std::all_of(key.begin(), key.end(), [](QChar c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}
