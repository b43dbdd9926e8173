#include "pages/advanced/TFM_RogueForm.h"

#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "binding/QvStatusBar.h"
#include "binding/RadioGroup.h"
#include "shell/RestartWait.h"
#include "ui_TFM_RogueForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTreeWidget>

namespace {

const OptionRow kBssTypeRows[] = {{1, "AP BSS"}, {2, "Ad Hoc"}, {3, "Both"}, {0, nullptr}};
const OptionRow kDetectRows[] = {{0, "nothing"}, {1, "detect"}, {0, nullptr}};
const OptionRow kResultSecurityRows[] = {{0, "OFF"},      {1, "WEP"},      {2, "WPA-EAP"},      {3, "WPA-PSK"},
                                         {4, "WPA2-EAP"}, {5, "WPA2-PSK"}, {6, "WPA-Auto-EAP"}, {7, "WPA-Auto-PSK"},
                                         {0, nullptr}};
const OptionRow kListSecurityRows[] = {{0, "OFF"},
                                       {1, "WEP"},
                                       {2, "WPA-Enterprise"},
                                       {3, "WPA-Personal"},
                                       {4, "WPA2-Enterprise"},
                                       {5, "WPA2-Personal"},
                                       {6, "WPA-Auto-Enterprise"},
                                       {7, "WPA-Auto-Personal"},
                                       {0, nullptr}};
// The values are the bit numbers of the band mask.
const OptionRow kModeRows[] = {{0, "a"}, {2, "b"}, {3, "g"}, {0, nullptr}};
const QvOptionList kBssType(kBssTypeRows);
const QvOptionList kDetect(kDetectRows);
const QvOptionList kResultSecurity(kResultSecurityRows);
const QvOptionList kListSecurity(kListSecurityRows);
const QvOptionList kMode(kModeRows);

const VariableDescriptor kDetectSettings[] = {
    {VTA_OID(".2.10.1.0"), "bssTypeDetected", kSyntaxInteger, kAccessReadWrite, &kBssType},
    {VTA_OID(".2.10.2.0"), "bandTypeDetected", kSyntaxInteger, kAccessReadWrite},
    {VTA_OID(".2.10.3.0"), "securityTypeDetected", kSyntaxInteger, kAccessReadWrite},
    DeviceVariables::EndOfTable,
};
constexpr int kBssTypeItem = 0, kBandItem = 1, kSecurityItem = 2;

const VariableDescriptor kDetectCmd[] = {
    {VTA_OID(".2.10.4.1.1"), "rogueAPDetect", kSyntaxInteger, kAccessReadWrite, &kDetect},
    DeviceVariables::EndOfTable,
};
const VariableDescriptor kAddToList[] = {
    {VTA_OID(".2.10.4.1.2"), "addRogueAPtoAPList", kSyntaxInteger, kAccessReadWrite},
    DeviceVariables::EndOfTable,
};
const VariableDescriptor kDeleteResult[] = {
    {VTA_OID(".2.10.4.1.3"), "deleteRogueAPFromResult", kSyntaxInteger, kAccessReadWrite},
    DeviceVariables::EndOfTable,
};
const VariableDescriptor kDeleteList[] = {
    {VTA_OID(".2.10.4.2.1"), "deleteRogueAPfromAPList", kSyntaxInteger, kAccessReadWrite},
    DeviceVariables::EndOfTable,
};

// Security is read from sub-identifier 9 and the mode from 7, though they are shown after
// the BSSID (5); sub-identifier 6 is not read.
const VariableDescriptor kResult[] = {
    {" ", "ifIndex", kSyntaxInteger, kAccessNotAccessible},
    {VTA_OID(".2.10.4.1.4.1.2"), "Type", kSyntaxDisplayString, kAccessReadOnly},
    {VTA_OID(".2.10.4.1.4.1.3"), "CH", kSyntaxInteger, kAccessReadOnly},
    {VTA_OID(".2.10.4.1.4.1.4"), "RSSI", kSyntaxInteger, kAccessReadOnly},
    {VTA_OID(".2.10.4.1.4.1.5"), "BSSID", kSyntaxMacAddress, kAccessReadOnly},
    {VTA_OID(".2.10.4.1.4.1.9"), "Security", kSyntaxInteger, kAccessReadOnly, &kResultSecurity},
    {VTA_OID(".2.10.4.1.4.1.7"), "Mode", kSyntaxInteger, kAccessReadOnly, &kMode},
    {VTA_OID(".2.10.4.1.4.1.8"), "SSID", kSyntaxDisplayString, kAccessReadOnly},
    DeviceVariables::EndOfTable,
};
const VariableDescriptor kApList[] = {
    {VTA_OID(".2.10.4.2.2.1.1"), "Index", kSyntaxInteger, kAccessNotAccessible},
    {VTA_OID(".2.10.4.2.2.1.2"), "Type", kSyntaxDisplayString, kAccessReadOnly},
    {VTA_OID(".2.10.4.2.2.1.3"), "CH", kSyntaxInteger, kAccessReadOnly},
    {VTA_OID(".2.10.4.2.2.1.4"), "RSSI", kSyntaxInteger, kAccessReadOnly},
    {VTA_OID(".2.10.4.2.2.1.5"), "BSSID", kSyntaxMacAddress, kAccessReadOnly},
    {VTA_OID(".2.10.4.2.2.1.9"), "Security", kSyntaxInteger, kAccessReadOnly, &kListSecurity},
    {VTA_OID(".2.10.4.2.2.1.7"), "Mode", kSyntaxInteger, kAccessReadOnly, &kMode},
    {VTA_OID(".2.10.4.2.2.1.8"), "SSID", kSyntaxDisplayString, kAccessReadOnly},
    DeviceVariables::EndOfTable,
};

constexpr uint32_t kSettingsTimeout = 500;
// The device answers the detection command only when its scan is over.
constexpr uint32_t kDetectTimeout = 50000;
constexpr uint32_t kTableTimeout = 1000;
constexpr int kAdHocItem = 1;   // "Ad Hoc" in the BSS type group
constexpr int kDetectRow = 1;   // "detect" in the command list
constexpr int kFirstWpaBit = 2; // security bits 2 to 7 are the WPA kinds
constexpr int kBandBits[] = {1, 4, 8};

// The decimal text of a mask; 0 when it is no number.
int MaskValue(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

} // namespace

TFM_RogueForm::TFM_RogueForm(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_RogueForm>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre, Sizing::Resizable);
    // Below this the check boxes and the lists have no room left.
    setMinimumSize(Scale().Size(QSize(520, 470)));
    UseStatusBar(ui->StatusBar1);
    // One row of items in a group as low as the band group.
    ui->BSSTypRadGrp->layout()->setContentsMargins(Scale().X(8), 0, Scale().X(8), 0);
    Handle(ui->DetectBtn, &QPushButton::clicked, [this] { DetectBtnClick(); });
    Handle(ui->AddBtn, &QPushButton::clicked, [this] { AddBtnClick(); });
    Handle(ui->DelBtn, &QPushButton::clicked, [this] { DelBtnClick(); });
    Handle(ui->ListDelBtn, &QPushButton::clicked, [this] { ListDelBtnClick(); });
    Handle(ui->Apply_Btn, &QPushButton::clicked, [this] { Apply_BtnClick(); });
    Handle(ui->Cancel_Btn, &QPushButton::clicked, [this] { Cancel_BtnClick(); });
    Handle(ui->BSSTypRadGrp, &RadioGroup::Click, [this] { BSSTypRadGrpClick(); });
    for (QCheckBox* box : BandBoxes())
        Handle(box, &QCheckBox::clicked, [this] { CheckBox_11aClick(); });
    for (QCheckBox* box : SecurityBoxes())
        Handle(box, &QCheckBox::clicked, [this] { ChcBxo_offClick(); });
    connect(this, &QDialog::finished, this, [this] { Guard([this] { FormClose(); }); });
    RunFormCreate([this] { FormCreate(); });
}

TFM_RogueForm::~TFM_RogueForm() = default;

std::array<QCheckBox*, 3> TFM_RogueForm::BandBoxes() const
{
    return {ui->CheckBox_11a, ui->CheckBox_11b, ui->CheckBox_11g};
}

std::array<QCheckBox*, 8> TFM_RogueForm::SecurityBoxes() const
{
    return {ui->ChcBxo_off,   ui->ChcBxo_wep,   ui->ChcBxo_eap,    ui->ChcBxo_psk,
            ui->WPA2EAPCkBox, ui->WPA2PSKCkBox, ui->WPA2AUTECkBox, ui->WPA2AUTPCkBox};
}

std::array<QPushButton*, 6> TFM_RogueForm::SixButtons() const
{
    return {ui->DetectBtn, ui->AddBtn, ui->DelBtn, ui->ListDelBtn, ui->Apply_Btn, ui->Cancel_Btn};
}

void TFM_RogueForm::EnableButtons(bool enabled)
{
    for (QPushButton* button : SixButtons())
        button->setEnabled(enabled);
}

// ---- creation and closing ----

void TFM_RogueForm::FormCreate()
{
    auto& settings = NewBinding<QvSNMPRequest2Edits>();
    settings.request.list.Assign(QvSNMPVarList(kDetectSettings, kListSingleInstances, 0));
    settings.RequestMode = QvSNMPRequest2Controls::kWaiting;
    settings.request.timeout = kSettingsTimeout;
    settings.BindRadioGroup(kBssTypeItem, ui->BSSTypRadGrp);
    settings.BindEdit(kBandItem, ui->BandEdit, "%u");
    settings.BindEdit(kSecurityItem, ui->SecEdit, "%u");
    settings.SetStatusSink(ui->StatusBar1);
    DetectSettingsEdits = &settings;

    auto& detect = NewBinding<QvSNMPRequest2Edits>();
    detect.request.list.Assign(QvSNMPVarList(kDetectCmd, kListScalars, 0));
    detect.RequestMode = QvSNMPRequest2Controls::kWaiting;
    detect.request.timeout = kDetectTimeout;
    detect.BindComboBox(0, ui->DetectRogueCoBox);
    detect.SetStatusSink(ui->StatusBar1);
    // Also after a failed command: the result read ends the detection either way.
    detect.OnAfterSet = [this] { ReadTables(false); };
    DetectCmdEdits = &detect;

    AddToListEdits = &NewRowCommand(kAddToList, ui->AddCoBox, true);
    DeleteResultEdits = &NewRowCommand(kDeleteResult, ui->DelDetcetEdit, false);
    ResultEdits = &NewTable(kResult, ui->RogueListView);
    ResultEdits->OnAfterGet = [this] { ResultAfterGet(); };
    DeleteListEdits = &NewRowCommand(kDeleteList, ui->DelCoBox, true);
    APListEdits = &NewTable(kApList, ui->AP_ListView);
    APListEdits->OnAfterGet = [this] { ApListAfterGet(); };

    // No opening read depends on another's answer (the detection result is read only after
    // a detection): they are asked together, then shown in their order.
    ReadTogether({&settings, &detect, AddToListEdits, DeleteResultEdits, DeleteListEdits, APListEdits});
    settings.Get();
    DecodeMasks();
    detect.Get();
    for (QvSNMPRequest2Edits* command : {AddToListEdits, DeleteResultEdits, DeleteListEdits})
        command->Get();
    APListEdits->Get();

    if (ui->BSSTypRadGrp->ItemIndex() < 0)
        ui->BSSTypRadGrp->SetItemIndex(0);
}

QvSNMPRequest2Edits& TFM_RogueForm::NewRowCommand(const VariableDescriptor* table, QLineEdit* key, bool readsApList)
{
    auto& command = NewBinding<QvSNMPRequest2Edits>();
    command.request.list.Assign(QvSNMPVarList(table, kListScalars, 0));
    command.BindEdit(0, key, "%u");
    command.SetStatusSink(ui->StatusBar1);
    command.OnAfterSet = [this, readsApList] { ReadTables(readsApList); };
    // A refused command reads nothing, so the buttons stay disabled; the status bar says why
    // (the window still closes).
    command.OnSetDone = [this](QvSNMPRequest2Controls& binding, const QvSNMPError& record) {
        if (record.code != 0)
            Guard([&] { binding.ShowStatus(record.message); });
    };
    return command;
}

QvSNMPRequest2Edits& TFM_RogueForm::NewTable(const VariableDescriptor* table, QTreeWidget* listView)
{
    auto& rows = NewBinding<QvSNMPRequest2Edits>();
    rows.request.list.Assign(QvSNMPVarList(table, kListTableUnlisted, 1));
    rows.request.timeout = kTableTimeout;
    rows.BindListView(listView);
    // The list shows the table's own columns, the key (the row's caption) at width 0.
    listView->setColumnHidden(0, true);
    rows.SetStatusSink(ui->StatusBar1);
    rows.OnGetDone = [this](QvSNMPRequest2Controls& binding, const QvSNMPError& record) {
        if (record.code != 0)
            Guard([&] { ReadFailed(binding, record); });
    };
    return rows;
}

void TFM_RogueForm::FormClose()
{
    ReleaseBindings();
    DetectSettingsEdits = DetectCmdEdits = AddToListEdits = DeleteResultEdits = nullptr;
    ResultEdits = DeleteListEdits = APListEdits = nullptr;
}

void TFM_RogueForm::Cancel_BtnClick() { close(); }

// ---- the tables ----

void TFM_RogueForm::ReadTables(bool apListToo)
{
    if (ResultEdits)
        ResultEdits->Get();
    if (apListToo && APListEdits)
        APListEdits->Get();
}

void TFM_RogueForm::ResultAfterGet()
{
    EnableButtons(true);
    detectIdle = 1;
}

void TFM_RogueForm::ApListAfterGet()
{
    ui->ListDelBtn->setEnabled(true);
    ui->Cancel_Btn->setEnabled(true);
    ui->Apply_Btn->setEnabled(true);
}

void TFM_RogueForm::ReadFailed(QvSNMPRequest2Controls& binding, const QvSNMPError& record)
{
    binding.ShowStatus(record.message);
    // A result read that failed ends the detection or row command as its rows would have:
    // otherwise nothing could ever be done on the page again, nor could it close.
    if (&binding == ResultEdits)
        ResultAfterGet();
}

// ---- commands ----

void TFM_RogueForm::DetectBtnClick()
{
    if (!DetectSettingsEdits || !DetectCmdEdits || !ResultEdits)
        return;
    EnableButtons(false);
    ui->DetectRogueCoBox->setCurrentIndex(kDetectRow);
    // Closed off before the writes, not after: a result read that ends at once (nothing could
    // be sent) must still find the page waiting for it.
    detectIdle = 0;
    // Whatever happens below, the page is never left waiting for a read that is not under way.
    const auto settle = qScopeGuard([this] {
        if (!ResultEdits || !ResultEdits->Busy)
            ResultAfterGet();
    });
    DetectSettingsEdits->Set();
    DetectCmdEdits->Set();
}

void TFM_RogueForm::AddBtnClick() { RowCommand(ui->RogueListView, ui->AddCoBox, AddToListEdits); }

void TFM_RogueForm::DelBtnClick() { RowCommand(ui->RogueListView, ui->DelDetcetEdit, DeleteResultEdits); }

void TFM_RogueForm::ListDelBtnClick() { RowCommand(ui->AP_ListView, ui->DelCoBox, DeleteListEdits); }

void TFM_RogueForm::RowCommand(QTreeWidget* listView, QLineEdit* key, QvSNMPRequest2Edits* command)
{
    const QList<QTreeWidgetItem*> selected = listView->selectedItems();
    if (selected.isEmpty() || !command)
        return;
    EnableButtons(false);
    key->setText(selected.front()->text(0));
    command->Set();
}

void TFM_RogueForm::Apply_BtnClick()
{
    if (!DetectSettingsEdits)
        return;
    if (!DetectSettingsEdits->Set()) {
        ShowSimpleStatus("Set Error!");
        return;
    }
    ShowSimpleStatus("Set Success!");
    RunRestartWait({}, this);
}

// ---- masks ----

void TFM_RogueForm::CheckBox_11aClick()
{
    int mask = 0;
    for (size_t i = 0; i < BandBoxes().size(); ++i)
        if (BandBoxes()[i]->isChecked())
            mask += kBandBits[i];
    ui->BandEdit->setText(QString::number(mask));
}

void TFM_RogueForm::ChcBxo_offClick()
{
    // In an ad hoc network the WPA kinds do not count, checked or not.
    const int bits = ui->BSSTypRadGrp->ItemIndex() == kAdHocItem ? kFirstWpaBit : 8;
    int mask = 0;
    for (int bit = 0; bit < bits; ++bit)
        if (SecurityBoxes()[static_cast<size_t>(bit)]->isChecked())
            mask += 1 << bit;
    ui->SecEdit->setText(QString::number(mask));
}

void TFM_RogueForm::WpaBoxesFollowBssType()
{
    const bool adHoc = ui->BSSTypRadGrp->ItemIndex() == kAdHocItem;
    for (size_t bit = kFirstWpaBit; bit < SecurityBoxes().size(); ++bit)
        SecurityBoxes()[bit]->setEnabled(!adHoc);
}

void TFM_RogueForm::BSSTypRadGrpClick()
{
    WpaBoxesFollowBssType();
    ChcBxo_offClick();
}

void TFM_RogueForm::DecodeMasks()
{
    if (ui->BandEdit->text().isEmpty())
        return;
    // Only the bits of the boxes count (bits 0-7 of the security mask).
    const int band = MaskValue(ui->BandEdit->text());
    for (size_t i = 0; i < BandBoxes().size(); ++i)
        BandBoxes()[i]->setChecked((band & kBandBits[i]) != 0);
    const int security = MaskValue(ui->SecEdit->text());
    for (size_t bit = 0; bit < SecurityBoxes().size(); ++bit)
        SecurityBoxes()[bit]->setChecked((security >> bit & 1) != 0);
    // The boxes as the BSS type allows. The hidden edits keep the device's masks (bits the
    // boxes do not show among them) until the user changes a box or the BSS type.
    WpaBoxesFollowBssType();
}
