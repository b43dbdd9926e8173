#pragma once

#include <QString>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;
class QWidget;

// The controls of one guest SSID on a radio tab of the multi-SSID page.
struct GuestControls {
    QCheckBox* enable = nullptr;
    QLineEdit* ssid = nullptr;
    QComboBox* security = nullptr;  // 0 "None", 1 "Open System", 2 "Shared Key"
    QComboBox* keyType = nullptr;   // 0 "HEX", 1 "ASCII"
    QComboBox* keySize = nullptr;   // 0 "64 Bits", 1 "128 Bits", 2 "152 Bits"
    QComboBox* keyIndex = nullptr;
    QLineEdit* keyValue = nullptr;
    QLineEdit* groupId = nullptr;
};

// One radio tab of the multi-SSID page (its controls carry the tab's name suffix) and the
// rules that keep its guests consistent with the master SSID and the radio's mode: guests
// only on a plain access point without super mode, guest WEP only beside an open-system or
// shared-key master, no two SSIDs or WEP key indexes alike.
class MultiSsidTab {
public:
    static constexpr int kGuests = 3;

    MultiSsidTab(QTabWidget* pages, QWidget* sheet, const QString& suffix);

    QWidget* Sheet() const { return m_sheet; }
    bool Visible() const;

    // The radio works as a plain access point without super mode.
    bool GuestCapable() const;
    bool MasterWep() const;
    bool WepCompatibleMaster() const;

    void EnableRule();
    void VlanRule();
    // guest: 0, 1, 2.
    void GuestKeyRule(int guest);
    // Fills the key type and size lists (all at their first item), then the key size rule.
    void FillKeyLists();
    // Each key size from the length of the guest's key text (10, 26, 32 hex digits).
    void KeySizesFromKeys();
    // Each key edit takes as many characters as its type and size allow.
    void KeyLengthRule();

    // The checks that show their warning, activate the tab and focus the control; false
    // when the guest's input is refused.
    bool KeyIndexCheck(int guest);
    bool SsidCheck(int guest);
    bool KeyLengthCheck(int guest);

    // Characters the guest's key value must have for its type and size.
    int RequiredKeyLength(int guest) const;

    QLineEdit* masterSsid = nullptr;
    QComboBox* securityBox = nullptr;
    QComboBox* defaultKey = nullptr;
    QLineEdit* groupIdBox = nullptr;
    QCheckBox* vlanState = nullptr;
    std::array<GuestControls, kGuests> guests;
    QComboBox* encryption = nullptr;
    QComboBox* apMode = nullptr;
    QComboBox* superMode = nullptr;

    // A warning for this tab: the tab comes to the front first, then the focus goes to control.
    void Warn(const QString& text, QWidget* control, const QString& caption = "Warning");

private:
    QTabWidget* m_pages;
    QWidget* m_sheet;
};

// A key text made only of "*": the form in which the device shows a stored key.
bool IsMaskedKey(const QString& key);
// An ASCII key as hexadecimal digits, two lower-case digits per character. A character
// that does not fit one byte becomes "??", so the key fails the hexadecimal check.
QString AsciiKeyToHex(const QString& key);
bool IsHexKey(const QString& key);
