// The basic radio settings of the wireless page: auto channel scan, the channel list, the
// SSID checks and the edits' input lengths.
#include "pages/home/TFM_Wirless.h"

#include "binding/Controls.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "pages/home/WirlessVariables.h"
#include "platform/Dialogs.h"
#include "shell/Validators.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

constexpr int kMaxSsidLength = 32;
constexpr int kMacDigits = 12;
constexpr int kEnableIndex = 1;          // "Enable" in an enable list
constexpr int kDynamicTurboIndex = 1;    // "Super Mode with Dynamic Turbo"

} // namespace

void WirlessControls::FillChannelList(QComboBox* comboBox, const QString& list, const QString& channel)
{
    comboBox->clear();
    int found = -1;
    QString token;
    // One position past the end closes the last channel.
    for (int i = 0; i <= list.size(); ++i) {
        if (i < list.size() && list[i] != ' ') {
            token += list[i];
            continue;
        }
        if (token.isEmpty())
            continue;
        comboBox->addItem(token);
        if (token == channel)
            found = comboBox->count() - 1;
        token.clear();
    }
    comboBox->setCurrentIndex(found);
}

void TFM_Wirless::NewAutoScanEdits(WirlessRadio& r)
{
    auto& autoScan = NewBinding<QvSNMPRequest2Edits>();
    r.autoScanEdits = &autoScan;
    autoScan.request.list.Assign(QvSNMPVarList(WirlessVariables::AutoScan[r.index], kListSingleInstances, 0));
    autoScan.RequestMode = QvSNMPRequest2Controls::kNotifying;
    autoScan.BindComboBox(0, r.autoScan);
}

void TFM_Wirless::FillChannelCombo(WirlessRadio& r)
{
    const QLineEdit* list = r.superMode->currentIndex() == kDynamicTurboIndex ? r.dynamicChannelList : r.channelList;
    WirlessControls::FillChannelList(r.channel, list->text(), r.channelEdit->text());
    // A channel the list does not hold shows as the list's first.
    if (r.channel->currentIndex() < 0 && r.channel->count() > 0)
        r.channel->setCurrentIndex(0);
}

void TFM_Wirless::ChannelEnablingRule(WirlessRadio& r)
{
    r.channel->setEnabled(r.autoScan->currentIndex() != kEnableIndex);
}

void TFM_Wirless::CB_AuScChange()
{
    ChannelEnablingRule(Radio(0));
}

void TFM_Wirless::CB_AuScgChange()
{
    if (SheetVisible(Radio(1)))
        ChannelEnablingRule(Radio(1));
}

bool TFM_Wirless::SsidChecks(WirlessRadio& r)
{
    const QString text = r.ssid->text();
    const QByteArray bytes = text.toUtf8();
    const auto fail = [&](const QString& message, const QString& caption) {
        SetActiveSheet(r);
        if (!message.isEmpty())
            Dialogs::message(this, message, caption);
        r.ssid->setFocus();
        return false;
    };
    // Counted in characters: a character beyond ASCII is refused below with its own text,
    // not reported as a length.
    if (text.size() > kMaxSsidLength)
        return fail("The Max Length of SSID is 32 in 11g!", "Error");
    if (text.startsWith(' '))
        return fail("The first character can't be blank.", "Error");
    if (text.isEmpty())
        return fail("Please Input SSID in 11g", "Warning");
    if (!CheckText(bytes.toStdString(), false, this))
        return fail({}, {});
    if (HasNonAsciiCharacter(bytes.toStdString()))
        return fail("Don't support chinese characters !", "Error");
    return true;
}

void TFM_Wirless::MaxInputLengths(WirlessRadio& r)
{
    SetMaxLength(r.ssid, kMaxSsidLength);
    for (QLineEdit* edit : r.wds)
        SetMaxLength(edit, kMacDigits);
    SetMaxLength(r.rootMac, kMacDigits);
    SetMaxLength(r.clientSsid, kMaxSsidLength);
    SetMaxLength(r.groupKey, 5);
    SetMaxLength(r.radiusServer, 15);
    SetMaxLength(r.radiusSecret, 64);
    SetMaxLength(r.pskGroupKey, 5);
    SetMaxLength(r.passPhrase, 63);
    SetMaxLength(r.radiusPort, 5);
}

void TFM_Wirless::Message(const QString& text, const QString& caption)
{
    Dialogs::message(this, text, caption);
}
