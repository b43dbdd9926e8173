#include "pages/advanced/PerformanceRadio.h"

#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "binding/FormScale.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStringList>

#include <functional>

namespace {

const OptionRow kTransmitPowerRows[] = {{1, "Full"},         {2, "Half(-3dB)"}, {3, "Quarter(-6dB)"},
                                        {4, "Eighth(-9dB)"}, {5, "Min"},        {0, nullptr}};
const OptionRow kRadioWaveRows[] = {{0, "Off"}, {1, "On"}, {0, nullptr}};
const OptionRow kAntennaRows[] = {{0, "Diversity"}, {1, "Left Antenna"}, {2, "Right Antenna"}, {0, nullptr}};
const QvOptionList kTransmitPowerOptions(kTransmitPowerRows);
const QvOptionList kRadioWaveOptions(kRadioWaveRows);
const QvOptionList kAntennaOptions(kAntennaRows);
const QvOptionList& kDisableEnable = DeviceVariables::DisableEnableOptions;

constexpr int kSuperModeDynamicTurbo = 1;  // combo index of "Super Mode with Dynamic Turbo"
constexpr int kSuperModeDisable = 2;       // combo index of "Disable"
const QString kRateSuffix = " Mb";

// Splits at blanks, adds each token (decorated) and selects the one equal to current.
bool FillList(QComboBox* combo, const QString& list, const QString& current,
              const std::function<QString(const QString&)>& itemText)
{
    combo->clear();
    bool found = false;
    for (const QString& token : list.split(' ', Qt::SkipEmptyParts)) {
        combo->addItem(itemText(token));
        if (token == current) {
            combo->setCurrentIndex(combo->count() - 1);
            found = true;
        }
    }
    if (!found)
        combo->setCurrentIndex(-1);
    return found;
}

} // namespace

namespace Performance {

const VariableDescriptor kPerformance[] = {
    {VTA_OID(".2.3.1.11"), "adSuperMode", kSyntaxInteger, kAccessReadWrite, &DeviceVariables::SuperModeOptions},
    {VTA_OID(".2.3.1.1"), "adFrequency", kSyntaxDisplayString, kAccessReadOnly},
    {VTA_OID(".2.3.1.2"), "adChannel", kSyntaxInteger, kAccessReadWrite},
    {VTA_OID(".2.3.1.3"), "adChannelList", kSyntaxDisplayString, kAccessReadOnly},
    {VTA_OID(".2.3.1.4"), "adDataRate", kSyntaxDisplayString, kAccessReadWrite},
    {VTA_OID(".2.3.1.5"), "adDataRateList", kSyntaxDisplayString, kAccessReadOnly},
    {VTA_OID(".2.3.1.6"), "adBeaconInterval", kSyntaxInteger, kAccessReadWrite},
    {VTA_OID(".2.3.1.7"), "adDTIM", kSyntaxInteger, kAccessReadWrite},
    {VTA_OID(".2.3.1.8"), "adFragmentLength", kSyntaxInteger, kAccessReadWrite},
    {VTA_OID(".2.3.1.9"), "adRTSLength", kSyntaxInteger, kAccessReadWrite},
    {VTA_OID(".2.3.1.10"), "adTransmitPower", kSyntaxInteger, kAccessReadWrite, &kTransmitPowerOptions},
    {VTA_OID(".2.3.1.12"), "adRadioWave", kSyntaxInteger, kAccessReadWrite, &kRadioWaveOptions},
    DeviceVariables::EndOfTable,
};
const VariableDescriptor kXR[] = {
    {VTA_OID(".2.3.1.99"), "adXR", kSyntaxInteger, kAccessReadWrite, &kDisableEnable},
    DeviceVariables::EndOfTable,
};
const VariableDescriptor kAutoChannelScan[] = {
    {VTA_OID(".2.3.1.14"), "adAutoChannelScan", kSyntaxInteger, kAccessReadWrite, &kDisableEnable},
    DeviceVariables::EndOfTable,
};
const VariableDescriptor kShortPreamble[] = {
    {VTA_OID(".2.3.1.17"), "advancedPerformanceShortPreamble", kSyntaxInteger, kAccessReadWrite, &kDisableEnable},
    DeviceVariables::EndOfTable,
};
const VariableDescriptor kWMM[] = {
    {VTA_OID(".2.3.1.18"), "advancedPerformanceWMM", kSyntaxInteger, kAccessReadWrite, &kDisableEnable},
    DeviceVariables::EndOfTable,
};
const VariableDescriptor kAntennaDiversity[] = {
    {VTA_OID(".2.3.1.19"), "advancedPerformanceAntennaDiversity", kSyntaxInteger, kAccessReadWrite,
     &kAntennaOptions},
    DeviceVariables::EndOfTable,
};

bool FillChannelList(QComboBox* combo, const QString& list, const QString& current)
{
    return FillList(combo, list, current, [](const QString& token) { return token; });
}

bool FillDataRateList(QComboBox* combo, const QString& list, const QString& current)
{
    return FillList(combo, list, current,
                    [](const QString& token) { return token == "Auto" ? token : token + kRateSuffix; });
}

QString ItemValue(const QString& itemText)
{
    if (itemText.size() > 3 && itemText.endsWith("Mb"))
        return itemText.left(itemText.size() - 3);
    return itemText;
}

void LayOutRatesAndChannels(PerformanceRadio& radio)
{
    if (!TabSheetVisible(radio.sheet))
        return;
    const int superMode = radio.CB_SupMode->currentIndex();
    if (superMode == kSuperModeDisable) {
        radio.CB_DtRt->setEnabled(true);
        FillDataRateList(radio.CB_DtRt, radio.Ed_DtList->text(), radio.Ed_DtRt->text());
    } else {
        radio.CB_DtRt->setCurrentIndex(radio.CB_DtRt->count() > 0 ? 0 : -1);
        radio.CB_DtRt->setEnabled(false);
    }
    const QString& channels =
        superMode == kSuperModeDynamicTurbo ? radio.DynamicEdit->text() : radio.Ed_ChList->text();
    if (!FillChannelList(radio.CB_Chan, channels, radio.Ed_Chan->text()) && radio.CB_Chan->count() > 0)
        radio.CB_Chan->setCurrentIndex(0);
    SetMaxLength(radio.Ed_BeInt, 4);
    SetMaxLength(radio.Ed_DTIM, 3);
    SetMaxLength(radio.Ed_FragLen, 4);
    SetMaxLength(radio.Ed_RTS, 4);
}

void CopyValues(PerformanceRadio& radio)
{
    // A list the device gave no entries keeps the device's channel or rate: an empty selection
    // would go out as channel 0 and an empty rate.
    if (radio.CB_Chan->currentIndex() >= 0)
        radio.Ed_Chan->setText(ItemValue(radio.CB_Chan->currentText()));
    if (radio.CB_DtRt->currentIndex() >= 0)
        radio.Ed_DtRt->setText(ItemValue(radio.CB_DtRt->currentText()));
}

void FollowAutoScan(PerformanceRadio& radio)
{
    radio.CB_Chan->setEnabled(radio.CB_AuSc->currentText() != "Enable");
}

void ShowRow(QWidget* label, QWidget* control, bool visible)
{
    label->setVisible(visible);
    control->setVisible(visible);
}

void MoveRow(QWidget* label, QWidget* control, int designedDy, const FormScale& scale)
{
    for (QWidget* widget : {label, control})
        PlaceAsDesigned(widget, DesignedGeometry(widget).translated(0, designedDy), scale);
}

} // namespace Performance
