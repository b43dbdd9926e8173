#pragma once

#include <QString>

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QWidget;
class QvSNMPRequest2Edits;
namespace Ui {
class TFM_Wirless;
}

// One radio's sheet of the wireless page: its controls, its bindings and the few ways the
// second radio's twin differs. The page's rules are written once over this and run for
// radio 1 and, while its sheet is visible, for radio 2.
struct WirlessRadio {
    int index = 0;   // 0 = radio 1 (instance 1), 1 = radio 2
    QWidget* sheet = nullptr;

    // Basic settings.
    QLabel* ssidLabel = nullptr;
    QLineEdit* frequency = nullptr;
    QLineEdit* ssid = nullptr;
    QComboBox* ssidBroadcast = nullptr;
    QComboBox* channel = nullptr;
    QComboBox* autoScan = nullptr;
    QLineEdit* channelEdit = nullptr;       // the channel number the device holds
    QLineEdit* channelList = nullptr;       // the device's channel list
    QLineEdit* dynamicChannelList = nullptr;
    QComboBox* superMode = nullptr;

    // AP mode, WDS partners, repeater and client, site survey.
    QLabel* apModeLabel = nullptr;
    QComboBox* apModeProxy = nullptr;
    QComboBox* apMode = nullptr;            // bound, all five modes
    QGroupBox* wdsGroup = nullptr;
    std::array<QLineEdit*, 8> wds{};
    QGroupBox* repeaterGroup = nullptr;
    QLineEdit* rootMac = nullptr;
    QLineEdit* clientSsid = nullptr;
    QLineEdit* clientRootMac = nullptr;
    QGroupBox* surveyGroup = nullptr;
    QPushButton* scan = nullptr;
    QTreeWidget* survey = nullptr;
    QComboBox* scanCommand = nullptr;

    // Security.
    QLabel* authLabel = nullptr;
    QComboBox* authProxy = nullptr;
    QComboBox* auth = nullptr;              // bound, all ten authentications
    QGroupBox* keyGroup = nullptr;
    QComboBox* encryption = nullptr;
    QComboBox* keyType = nullptr;
    QComboBox* keySize = nullptr;
    QComboBox* validKey = nullptr;
    std::array<QLineEdit*, 4> keys{};
    QGroupBox* radiusGroup = nullptr;
    QComboBox* radiusCipherProxy = nullptr;
    QComboBox* radiusCipher = nullptr;
    QLabel* groupKeyLabel = nullptr;
    QLabel* groupKeyRange = nullptr;
    QLineEdit* groupKey = nullptr;
    QLineEdit* radiusServer = nullptr;
    QLineEdit* radiusSecret = nullptr;
    QLineEdit* radiusPort = nullptr;
    QGroupBox* pskGroup = nullptr;
    QComboBox* pskCipherProxy = nullptr;
    QComboBox* pskCipher = nullptr;
    QLineEdit* passPhrase = nullptr;
    QLabel* pskIntervalLabel = nullptr;
    QLineEdit* pskGroupKey = nullptr;
    QLabel* pskIntervalRange = nullptr;
    QLineEdit* supportFlag = nullptr;       // "1": the WDS modes restrict the pass-phrase group
    std::array<QComboBox*, 3> guestState{};
    std::array<QComboBox*, 3> guestAuth{};
    std::array<QComboBox*, 3> guestKeyIndex{};

    // The radio's bindings; null until created (a hidden radio's stay null).
    QvSNMPRequest2Edits* autoScanEdits = nullptr;
    QvSNMPRequest2Edits* apModeEdits = nullptr;
    QvSNMPRequest2Edits* wepEdits = nullptr;
    QvSNMPRequest2Edits* radiusEdits = nullptr;
    QvSNMPRequest2Edits* pskEdits = nullptr;
    QvSNMPRequest2Edits* intervalSupportEdits = nullptr;
    QvSNMPRequest2Edits* scanCmdEdits = nullptr;
    QvSNMPRequest2Edits* surveyEdits = nullptr;

    // Where the twins differ.
    QString band;                    // "11a" / "11g" in the guest key index warning
    bool wdsIgnoresCase = true;      // radio 1 compares WDS partners in upper case
    QString emptyRadiusIntervalText; // an empty RADIUS group key interval

    void ForgetBindings();
};

// The controls of radio 1 (index 0) or radio 2 (index 1) on the page's form.
WirlessRadio RadioOnForm(Ui::TFM_Wirless& ui, int index);

// Small control steps the wireless rules repeat.
namespace WirlessControls {
// Selects the item whose text equals text, ignoring letter case; none when there is none.
void SelectText(QComboBox* comboBox, const QString& text);
// Replaces the items by the blank-separated words of text.
void FillWords(QComboBox* comboBox, const QString& words);
// An editable edit has the window colour, a read-only one the button face.
void SetEditable(QLineEdit* edit, bool editable);
} // namespace WirlessControls

namespace WirlessControls {
// Fills the channel combo with the blank-separated channels of list and selects channel
// when it is among them (nothing otherwise). Runs of blanks add no empty channel.
void FillChannelList(QComboBox* comboBox, const QString& list, const QString& channel);
} // namespace WirlessControls
