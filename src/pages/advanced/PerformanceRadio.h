#pragma once

#include <QString>

#include <string>

class FormScale;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;
class QvSNMPRequest2Edits;
struct VariableDescriptor;

// One radio's sheet of the performance page: its controls, its six bindings and what the
// probing reads found out. Radio 1 uses the controls ending in "a", radio 2 those ending
// in "g".
struct PerformanceRadio {
    int instance = 1;  // the radio's instance in the device's tables
    QWidget* sheet = nullptr;

    QComboBox* CB_SupMode = nullptr;
    QLineEdit* Ed_Freq = nullptr;
    QComboBox* CB_Chan = nullptr;
    QComboBox* CB_DtRt = nullptr;
    QLineEdit* Ed_BeInt = nullptr;
    QLineEdit* Ed_DTIM = nullptr;
    QLineEdit* Ed_FragLen = nullptr;
    QLineEdit* Ed_RTS = nullptr;
    QComboBox* CB_TranP = nullptr;
    QComboBox* CB_RadWav = nullptr;
    QLabel* La_XR = nullptr;
    QComboBox* CB_XR = nullptr;
    QLabel* La_AuSc = nullptr;
    QComboBox* CB_AuSc = nullptr;
    QLabel* LabelShortPre = nullptr;
    QComboBox* CboxShortPre = nullptr;
    QLabel* LA_WMM = nullptr;
    QComboBox* CB_WMM = nullptr;
    QLabel* LA_Antenna = nullptr;
    QComboBox* CB_Antenna = nullptr;
    QPushButton* Bt_Apply = nullptr;
    QPushButton* Bt_Refresh = nullptr;
    // Hidden value holders.
    QLineEdit* Ed_Chan = nullptr;
    QLineEdit* Ed_ChList = nullptr;
    QLineEdit* Ed_DtRt = nullptr;
    QLineEdit* Ed_DtList = nullptr;
    QLineEdit* DynamicEdit = nullptr;

    QvSNMPRequest2Edits* PerfEdits = nullptr;
    QvSNMPRequest2Edits* XREdits = nullptr;
    QvSNMPRequest2Edits* PerfAutoScanEdits = nullptr;
    QvSNMPRequest2Edits* ShortPreambleEdits = nullptr;
    QvSNMPRequest2Edits* WMMEdits = nullptr;
    QvSNMPRequest2Edits* AntennaEdits = nullptr;
    bool xrSupported = false;
    bool autoScanSupported = false;
    bool wmmSupported = false;
    bool antennaSupported = false;
};

namespace Performance {

// The radio's descriptor tables (instances are added by the list's instance suffix).
extern const VariableDescriptor kPerformance[];
extern const VariableDescriptor kXR[];
extern const VariableDescriptor kAutoChannelScan[];
extern const VariableDescriptor kShortPreamble[];
extern const VariableDescriptor kWMM[];
extern const VariableDescriptor kAntennaDiversity[];

// Refills the combo from the blank-separated list and selects the item whose token is the
// current value; false when none is. Data rates other than "Auto" show as "<rate> Mb".
bool FillChannelList(QComboBox* combo, const QString& list, const QString& current);
bool FillDataRateList(QComboBox* combo, const QString& list, const QString& current);

// The value a combo item stands for: "54 Mb" is 54, "Auto" stays "Auto".
QString ItemValue(const QString& itemText);

// Data rate list usable only with super mode "Disable"; the channel list follows the super
// mode (only channel 6 with dynamic turbo); the edits' input lengths.
void LayOutRatesAndChannels(PerformanceRadio& radio);
// The channel and data rate combos into the hidden value edits, before writing.
void CopyValues(PerformanceRadio& radio);
// The channel is chosen by the device while its auto channel scan is on.
void FollowAutoScan(PerformanceRadio& radio);

// A row of the sheet: its label and combo. Rows move by designed pixels, scaled as the form.
void ShowRow(QWidget* label, QWidget* control, bool visible);
void MoveRow(QWidget* label, QWidget* control, int designedDy, const FormScale& scale);

} // namespace Performance
