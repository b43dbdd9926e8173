#include "pages/advanced/TFM_MultiSSIDForm.h"

#include "binding/ControlEvents.h"
#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "binding/QvStatusBar.h"
#include "platform/Dialogs.h"
#include "shell/ModuleConstants.h"
#include "shell/RestartWait.h"
#include "shell/Validators.h"
#include "ui_TFM_MultiSSIDForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

const OptionRow kStateRows[] = {{0, "disabled"}, {1, "enabled"}, {0, nullptr}};
const OptionRow kMasterAuthRows[] = {
    {1, "Open System"}, {2, "Shared Key"}, {3, "Open System / Shared Key"}, {4, "802.1x"}, {5, "WPA-EAP"},
    {6, "WPA-PSK"}, {7, "WPA2-EAP"}, {8, "WPA2-PSK"}, {9, "WPA-Auto-EAP"}, {10, "WPA-Auto-PSK"}, {0, nullptr}};
const OptionRow kGuestAuthRows[] = {{1, "None"}, {2, "Open System"}, {3, "Shared Key"}, {0, nullptr}};
const OptionRow kKeyIndexRows[] = {{1, "First"}, {2, "Second"}, {3, "Third"}, {4, "Fourth"}, {0, nullptr}};
const QvOptionList kState(kStateRows);
const QvOptionList kMasterAuth(kMasterAuthRows);
const QvOptionList kGuestAuthOptions(kGuestAuthRows);
const QvOptionList kKeyIndex(kKeyIndexRows);

const VariableDescriptor kVlanState[] = {
    {VTA_OID(".2.9.3.1.1"), "adVlanState", kSyntaxInteger, kAccessReadWrite, &kState},
    DeviceVariables::EndOfTable,
};

#define MASTER_SSID(R)                                                                                     \
    {                                                                                                      \
        {VTA_OID(".2.9.1.1.1." R), "adMSSIDSSID", kSyntaxDisplayString, kAccessReadWrite},                 \
        {VTA_OID(".2.9.1.1.2." R), "adMSSIDAuth", kSyntaxInteger, kAccessReadWrite, &kMasterAuth},         \
        {VTA_OID(".2.5.1.1.2." R), "adMSSIDEncryption", kSyntaxInteger, kAccessReadWrite, &kState},        \
        {VTA_OID(".2.5.1.1.3." R), "adMSSIDKeyIndex", kSyntaxInteger, kAccessReadWrite, &kKeyIndex},       \
        {VTA_OID(".2.9.1.1.3." R), "adVlanTagID", kSyntaxInteger, kAccessReadWrite},                       \
        DeviceVariables::EndOfTable,                                                                       \
    }
const VariableDescriptor kMasterSsid[2][6] = {MASTER_SSID("1"), MASTER_SSID("2")};

// Columns of the guest table at .2.9.2.1.C.<radio>.<guest>.
#define GUEST_SSID(RG)                                                                                     \
    {                                                                                                      \
        {VTA_OID(".2.9.2.1.2." RG), "adMSSIDState", kSyntaxInteger, kAccessReadWrite, &kState},            \
        {VTA_OID(".2.9.2.1.3." RG), "adMSSIDSSID", kSyntaxDisplayString, kAccessReadWrite},                \
        {VTA_OID(".2.9.2.1.4." RG), "adMSSIDAuth", kSyntaxInteger, kAccessReadWrite, &kGuestAuthOptions},         \
        {VTA_OID(".2.9.2.1.6." RG), "adMSSIDKeyIndex", kSyntaxInteger, kAccessReadWrite, &kKeyIndex},      \
        {VTA_OID(".2.9.2.1.7." RG), "adMSSIDKey", kSyntaxDisplayString, kAccessReadWrite},                 \
        {VTA_OID(".2.9.2.1.9." RG), "adVlanTagID", kSyntaxInteger, kAccessReadWrite},                      \
        DeviceVariables::EndOfTable,                                                                       \
    }
const VariableDescriptor kGuestSsid[2][3][7] = {
    {GUEST_SSID("1.1"), GUEST_SSID("1.2"), GUEST_SSID("1.3")},
    {GUEST_SSID("2.1"), GUEST_SSID("2.2"), GUEST_SSID("2.3")},
};
enum GuestItem { kGuestState, kGuestSsidItem, kGuestAuth, kGuestKeyIndex, kGuestKey, kGuestVlanTag };
enum MasterItem { kMasterSsidItem, kMasterAuthItem, kMasterEncryption, kMasterKeyIndex, kMasterVlanTag };

// Read only for the visible radio (the page raises its two items).
const VariableDescriptor kRadioMode[] = {
    DeviceVariables::WithAccess(DeviceVariables::AdApMode1, kAccessInvalid),
    DeviceVariables::WithAccess(DeviceVariables::AdSuperMode1, kAccessInvalid),
    DeviceVariables::WithAccess(DeviceVariables::AdApMode2, kAccessInvalid),
    DeviceVariables::WithAccess(DeviceVariables::AdSuperMode2, kAccessInvalid),
    DeviceVariables::EndOfTable,
};

constexpr int kSsidLength = 32;
constexpr int kGroupIdLength = 4;
constexpr const char* kGroupIdFormat = "%u{n1x4094}";
const char* const kSuffix[2] = {"", "_g"};

void SetAccess(QvSNMPRequest2Edits& binding, int32_t access)
{
    for (int32_t i = 0; i < binding.request.list.Count(); ++i)
        binding.request.list.Item(i).access = access;
}

bool AnySettable(const QvSNMPRequest2Edits& binding)
{
    for (int32_t i = 0; i < binding.request.list.Count(); ++i)
        if (binding.request.list.Item(i).access == kAccessReadWrite)
            return true;
    return false;
}

} // namespace

TFM_MultiSSIDForm::TFM_MultiSSIDForm(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_MultiSSIDForm>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar1, {300});
    Handle(ui->Bt_Refresh, &QPushButton::clicked, [this] { Bt_RefreshClick(); });
    Handle(ui->Bt_Apply, &QPushButton::clicked, [this] { Bt_ApplyClick(); });
    Handle(ui->Bt_Close, &QPushButton::clicked, [this] { Bt_CloseClick(); });
    connect(this, &QDialog::finished, this, [this] { Guard([this] { FormClose(); }); });
    // The second radio's tab is never shown.
    SetTabSheetVisible(ui->TabSheet11g, false);
    QWidget* sheets[2] = {ui->TabSheet11a, ui->TabSheet11g};
    for (int t = 0; t < 2; ++t) {
        m_tabs[t] = std::make_unique<MultiSsidTab>(ui->PageControl1, sheets[t], kSuffix[t]);
        MultiSsidTab& tab = *m_tabs[t];
        Handle(tab.vlanState, &QCheckBox::clicked, [this, t] { VLan_StateClick(t); });
        for (int g = 0; g < MultiSsidTab::kGuests; ++g) {
            const GuestControls& guest = tab.guests[g];
            Handle(guest.enable, &QCheckBox::clicked, [this, g, t] { GuestCheckBoxClick(g, t); });
            Handle(guest.security, &QComboBox::activated, [this, g, t] { GuestSecurityChange(g, t); });
            Handle(guest.keyType, &QComboBox::currentIndexChanged, [this, t] { GuestKeyTypeChange(t); });
            Handle(guest.keySize, &QComboBox::currentIndexChanged, [this, t] { GuestKeyTypeChange(t); });
            Handle(guest.keyIndex, &QComboBox::activated, [this, g, t] { GuestKeyChange(g, t); });
        }
    }
    RunFormCreate([this] { FormCreate(); });
}

TFM_MultiSSIDForm::~TFM_MultiSSIDForm() = default;

std::vector<int> TFM_MultiSSIDForm::VisibleTabs() const
{
    std::vector<int> visible;
    for (int t = 0; t < 2; ++t)
        if (m_tabs[t]->Visible())
            visible.push_back(t);
    return visible;
}

void TFM_MultiSSIDForm::FormCreate()
{
    auto& vlan = NewBinding<QvSNMPRequest2Edits>();
    vlan.RequestMode = QvSNMPRequest2Controls::kWaiting;
    vlan.request.list.Assign(QvSNMPVarList(kVlanState, kListScalars, 0));
    vlan.BindCheckBox(0, m_tabs[0]->vlanState);
    vlan.SetStatusSink(ui->StatusBar1->Panel(0));
    VlanStateEdits = &vlan;

    for (int t : VisibleTabs()) {
        ui->PageControl1->setTabText(ui->PageControl1->indexOf(m_tabs[t]->Sheet()),
                                     t == 0 ? kFirstBandTitle : kSecondBandTitle);
        CreateTabBindings(t);
    }

    auto& modes = NewBinding<QvSNMPRequest2Edits>();
    modes.RequestMode = QvSNMPRequest2Controls::kWaiting;
    modes.request.list.Assign(QvSNMPVarList(kRadioMode, kListSingleInstances, 0));
    for (int t : VisibleTabs()) {
        modes.BindComboBox(2 * t, m_tabs[t]->apMode);
        modes.BindComboBox(2 * t + 1, m_tabs[t]->superMode);
        modes.request.list.Item(2 * t).access = kAccessReadWrite;
        modes.request.list.Item(2 * t + 1).access = kAccessReadWrite;
    }
    RadioModeEdits = &modes;

    // No read depends on another's answer: they are asked together, then shown in order.
    std::vector<QvSNMPRequest2Controls*> opening = {&vlan};
    for (int t : VisibleTabs()) {
        opening.push_back(Bindings[t].MasterSSIDEdits);
        for (QvSNMPRequest2Edits* guest : Bindings[t].GuestSSIDEdits)
            opening.push_back(guest);
    }
    opening.push_back(&modes);
    ReadTogether(opening);

    vlan.Get();
    for (int t : VisibleTabs()) {
        Bindings[t].MasterSSIDEdits->Get();
        for (QvSNMPRequest2Edits* guest : Bindings[t].GuestSSIDEdits)
            guest->Get();
    }
    if (modes.Get() && m_tabs[0]->apMode->currentIndex() != 0)
        Dialogs::message(this, "Please modify IEEE802.11g AP Mode to \"Access point\" !", "Warning", DialogButtons::Ok,
                         DialogIcon::Warning);
    AfterReading(true);
}

void TFM_MultiSSIDForm::CreateTabBindings(int t)
{
    MultiSsidTab& tab = *m_tabs[t];
    // Waiting, like the others: the guest rules need the master's security before they run,
    // and Apply must know whether the master's write was taken before it restarts the device.
    auto& master = NewBinding<QvSNMPRequest2Edits>();
    master.RequestMode = QvSNMPRequest2Controls::kWaiting;
    master.request.list.Assign(QvSNMPVarList(kMasterSsid[t], kListSingleInstances, 0));
    master.BindEdit(kMasterSsidItem, tab.masterSsid, "%s");
    master.BindComboBox(kMasterAuthItem, tab.securityBox);
    master.BindComboBox(kMasterEncryption, tab.encryption);
    master.BindComboBox(kMasterKeyIndex, tab.defaultKey);
    master.BindEdit(kMasterVlanTag, tab.groupIdBox, kGroupIdFormat);
    master.SetStatusSink(ui->StatusBar1->Panel(0));
    Bindings[t].MasterSSIDEdits = &master;

    for (int g = 0; g < MultiSsidTab::kGuests; ++g) {
        const GuestControls& guest = tab.guests[g];
        auto& edits = NewBinding<QvSNMPRequest2Edits>();
        edits.RequestMode = QvSNMPRequest2Controls::kWaiting;
        edits.request.list.Assign(QvSNMPVarList(kGuestSsid[t][g], kListSingleInstances, 0));
        edits.BindCheckBox(kGuestState, guest.enable);
        edits.BindEdit(kGuestSsidItem, guest.ssid, "%s");
        edits.BindComboBox(kGuestAuth, guest.security);
        edits.BindComboBox(kGuestKeyIndex, guest.keyIndex);
        edits.BindEdit(kGuestKey, guest.keyValue, "%s");
        edits.BindEdit(kGuestVlanTag, guest.groupId, kGroupIdFormat);
        edits.SetStatusSink(ui->StatusBar1->Panel(0));
        Bindings[t].GuestSSIDEdits[g] = &edits;
        // Leaving the SSID or the VLAN group ID checks the SSID, after the edit's own rules.
        for (QLineEdit* edit : {guest.ssid, guest.groupId}) {
            EditHandler previous = EditEvents::Of(edit).OnExit;
            EditEvents::Of(edit).OnExit = [this, previous, g, t](QLineEdit* sender) {
                if (previous)
                    previous(sender);
                Guard([this, g, t] { GuestSSIDEditExit(g, t); });
            };
        }
    }
}

void TFM_MultiSSIDForm::AfterReading(bool refillKeyLists)
{
    for (int t : VisibleTabs()) {
        MultiSsidTab& tab = *m_tabs[t];
        tab.EnableRule();
        for (int g = 0; g < MultiSsidTab::kGuests; ++g) {
            SetMaxLength(tab.guests[g].ssid, kSsidLength);
            SetMaxLength(tab.guests[g].groupId, kGroupIdLength);
        }
        SetMaxLength(tab.groupIdBox, kGroupIdLength);
        if (refillKeyLists)
            tab.FillKeyLists();
        else
            tab.KeySizesFromKeys();
        tab.KeyLengthRule();
    }
}

void TFM_MultiSSIDForm::FormClose()
{
    ReleaseBindings();
    VlanStateEdits = nullptr;
    RadioModeEdits = nullptr;
    Bindings = {};
}

void TFM_MultiSSIDForm::Bt_RefreshClick()
{
    if (!VlanStateEdits || !RadioModeEdits)
        return;
    VlanStateEdits->Get();
    for (int t : VisibleTabs()) {
        TabBindings& bindings = Bindings[t];
        // A previous Apply left only its own items switched on: read them all again.
        SetAccess(*bindings.MasterSSIDEdits, kAccessReadWrite);
        bindings.MasterSSIDEdits->Get();
        for (QvSNMPRequest2Edits* guest : bindings.GuestSSIDEdits) {
            SetAccess(*guest, kAccessReadWrite);
            guest->Get();
        }
    }
    if (RadioModeEdits->Get() && !m_tabs[0]->GuestCapable())
        Dialogs::message(this, "Please modify IEEE802.11g AP Mode to \"Access point\" and Super Mode to \"Disabled\"!",
                         "Warning", DialogButtons::Ok, DialogIcon::Warning);
    AfterReading(false);
}

void TFM_MultiSSIDForm::Bt_CloseClick() { close(); }

void TFM_MultiSSIDForm::VLan_StateClick(int t) { m_tabs[t]->VlanRule(); }

void TFM_MultiSSIDForm::GuestCheckBoxClick(int, int t) { m_tabs[t]->EnableRule(); }

void TFM_MultiSSIDForm::GuestSecurityChange(int guest, int t) { m_tabs[t]->GuestKeyRule(guest); }

void TFM_MultiSSIDForm::GuestKeyTypeChange(int t) { m_tabs[t]->KeyLengthRule(); }

void TFM_MultiSSIDForm::GuestKeyChange(int guest, int t) { m_tabs[t]->KeyIndexCheck(guest); }

void TFM_MultiSSIDForm::GuestSSIDEditExit(int guest, int t) { m_tabs[t]->SsidCheck(guest); }

bool TFM_MultiSSIDForm::CheckGuests(MultiSsidTab& tab)
{
    for (int g = 0; g < MultiSsidTab::kGuests; ++g) {
        QLineEdit* edit = tab.guests[g].ssid;
        if (!edit->isEnabled())
            continue;
        const QString ssid = edit->text();
        const QString name = "SSID" + QString::number(g + 1);
        if (ssid.size() > kSsidLength) {
            tab.Warn("The Max Length of Guest " + name + "'s SSID is 32.!", edit);
            return false;
        }
        if (ssid.isEmpty()) {
            tab.Warn("Please Input SSID in Guest " + name + ".", edit);
            return false;
        }
        if (ssid.front() == ' ') {
            tab.Warn("The first character can't be blank in Guest " + name + ".", edit, "Error");
            return false;
        }
        if (!CheckText(ssid.toStdString(), false, this)) {
            edit->setFocus();
            return false;
        }
    }
    if (tab.groupIdBox->isEnabled() && tab.groupIdBox->text().isEmpty()) {
        tab.Warn("The 11g master SSID's ID is invalid.The range of ID is 1 to 4094.", tab.groupIdBox);
        return false;
    }
    for (int g = 0; g < MultiSsidTab::kGuests; ++g) {
        QLineEdit* edit = tab.guests[g].groupId;
        if (edit->isEnabled() && edit->text().isEmpty()) {
            tab.Warn("The 11g guest SSID" + QString::number(g + 1) + "'s ID is invalid.The range of ID is 1 to 4094.",
                     edit);
            return false;
        }
    }
    for (int g = 0; g < MultiSsidTab::kGuests; ++g)
        if (!tab.KeyIndexCheck(g))
            return false;
    for (int g = 0; g < MultiSsidTab::kGuests; ++g)
        if (!tab.SsidCheck(g))
            return false;
    for (int g = 0; g < MultiSsidTab::kGuests; ++g)
        if (!tab.KeyLengthCheck(g))
            return false;
    return true;
}

bool TFM_MultiSSIDForm::BuildWriteMask(int t)
{
    MultiSsidTab& tab = *m_tabs[t];
    TabBindings& bindings = Bindings[t];
    SetAccess(*bindings.MasterSSIDEdits, kAccessInvalid);
    for (QvSNMPRequest2Edits* guest : bindings.GuestSSIDEdits)
        SetAccess(*guest, kAccessInvalid);
    for (int g = 0; g < MultiSsidTab::kGuests; ++g) {
        QLineEdit* key = tab.guests[g].keyValue;
        if (!key->isEnabled())
            continue;
        bindings.GuestSSIDEdits[g]->request.list.Item(kGuestKey).access = kAccessReadWrite;
        if (tab.guests[g].keyType->currentText() == "ASCII") {
            // A stored key cannot be shown in ASCII: nothing to send, and nothing to say.
            if (IsMaskedKey(key->text()))
                return false;
            // A character beyond ASCII has no one-byte code the device could take.
            if (HasNonAsciiCharacter(key->text().toStdString())) {
                Dialogs::message(this, "Don't support chinese characters !", "Error");
                key->setFocus();
                return false;
            }
            key->setText(AsciiKeyToHex(key->text()));
        }
        if (!IsMaskedKey(key->text()) && !IsHexKey(key->text())) {
            Dialogs::message(this, "Please input  Hexadecimal digits!", ExecutableName(), DialogButtons::Ok,
                             DialogIcon::Information);
            key->clear();
            return false;
        }
    }
    for (int g = 0; g < MultiSsidTab::kGuests; ++g) {
        QvSNMPVarList& items = bindings.GuestSSIDEdits[g]->request.list;
        items.Item(kGuestState).access = kAccessReadWrite;
        if (ShowsChecked(tab.vlanState))
            items.Item(kGuestVlanTag).access = kAccessReadWrite;
        if (!ShowsChecked(tab.guests[g].enable))
            continue;
        items.Item(kGuestSsidItem).access = kAccessReadWrite;
        items.Item(kGuestAuth).access = kAccessReadWrite;
        if (tab.guests[g].security->currentIndex() != 0) {
            items.Item(kGuestKeyIndex).access = kAccessReadWrite;
            items.Item(kGuestKey).access = kAccessReadWrite;
        }
    }
    if (ShowsChecked(tab.vlanState))
        bindings.MasterSSIDEdits->request.list.Item(kMasterVlanTag).access = kAccessReadWrite;
    return true;
}

bool TFM_MultiSSIDForm::SetAll(int t)
{
    TabBindings& bindings = Bindings[t];
    std::vector<QvSNMPRequest2Edits*> order = {VlanStateEdits, bindings.MasterSSIDEdits};
    order.insert(order.end(), bindings.GuestSSIDEdits.begin(), bindings.GuestSSIDEdits.end());
    for (QvSNMPRequest2Edits* binding : order)
        if (AnySettable(*binding))
            binding->RequireValues();
    for (QvSNMPRequest2Edits* binding : order)
        if (AnySettable(*binding) && !binding->Set())
            return false;
    return true;
}

void TFM_MultiSSIDForm::Bt_ApplyClick()
{
    if (!VlanStateEdits || !RadioModeEdits)
        return;
    // Without the radio's mode the guests would all be switched off below.
    RadioModeEdits->RequireValues();
    for (int t : VisibleTabs()) {
        MultiSsidTab& tab = *m_tabs[t];
        if (!tab.GuestCapable()) {
            for (GuestControls& guest : tab.guests)
                guest.enable->setChecked(false);
            tab.EnableRule();
        }
        if (!CheckGuests(tab) || !BuildWriteMask(t))
            return;
        if (!SetAll(t)) {
            ShowStatus("Set Error.");
            return;
        }
        RunRestartWait({}, this);
        ShowStatus("Set Success!");
        tab.FillKeyLists();
        tab.KeyLengthRule();
    }
}
