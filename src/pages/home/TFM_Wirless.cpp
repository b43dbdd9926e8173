#include "pages/home/TFM_Wirless.h"

#include "binding/ControlEvents.h"
#include "binding/Controls.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "pages/home/WirlessVariables.h"
#include "shell/ModuleConstants.h"
#include "shell/RestartWait.h"
#include "ui_TFM_Wirless.h"

#include <QComboBox>
#include <QTimer>

#include <exception>

using namespace WirlessVariables;

namespace {

// The settings take effect when the device restarts; a WDS link takes longer to come up.
constexpr int kRestartSeconds = 40;
constexpr int kWdsRestartSeconds = 50;
constexpr int kSurveyTickMs = 1000;

} // namespace

TFM_Wirless::TFM_Wirless(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_Wirless>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar);
    m_radio = {RadioOnForm(*ui, 0), RadioOnForm(*ui, 1)};
    // The second radio's sheet exists for devices with two radios; this one has a single radio.
    SetTabSheetVisible(ui->TS_11g, false);
    ui->PC_Wirless->setCurrentWidget(ui->TS_11a);

    Handle(ui->Bt_Apply, &QPushButton::clicked, [this] { Bt_ApplyClick(); });
    Handle(ui->Bt_Refresh, &QPushButton::clicked, [this] { Bt_RefreshClick(); });
    Handle(ui->Bt_Close, &QPushButton::clicked, [this] { Bt_CloseClick(); });
    Handle(ui->PC_Wirless, &QTabWidget::currentChanged, [this] { PC_WirlessChange(); });
    // Combo handlers follow the user's choices only (QComboBox::activated): the page's own
    // selections never re-enter the rules that make them.
    const auto onChoice = [this](QComboBox* combo, void (TFM_Wirless::*handler)()) {
        Handle(combo, &QComboBox::activated, [this, handler] { (this->*handler)(); });
    };
    onChoice(ui->CB_AuSc, &TFM_Wirless::CB_AuScChange);
    onChoice(ui->CB_AuScg, &TFM_Wirless::CB_AuScgChange);
    onChoice(ui->ED_APModeTempComboBox, &TFM_Wirless::ED_APModeTempComboBoxtestChange);
    onChoice(ui->ED_APModeTempComboBoxg, &TFM_Wirless::ED_APModeTempComboBoxgChange);
    onChoice(ui->ED_APModeComboBox, &TFM_Wirless::ED_APModeComboBoxChange);
    onChoice(ui->Ed_SecAuthaTemp, &TFM_Wirless::Ed_SecAuthaTempChange);
    onChoice(ui->Ed_SecAutha, &TFM_Wirless::Ed_SecAuthaChange);
    onChoice(ui->Ed_SecEncypa, &TFM_Wirless::Ed_SecEncypaChange);
    onChoice(ui->Ed_KeyType, &TFM_Wirless::Ed_KeyTypeChange);
    onChoice(ui->Ed_KeySize, &TFM_Wirless::Ed_KeySizeChange);
    onChoice(ui->Ed_SecValKeya, &TFM_Wirless::Ed_SecValKeyaChange);
    onChoice(ui->CiphertypeComBx, &TFM_Wirless::CiphertypeComBxChange);
    onChoice(ui->CipherforPSKBx, &TFM_Wirless::CipherforPSKBxChange);
    onChoice(ui->Ed_SecAuthgTemp, &TFM_Wirless::Ed_SecAuthgTempChange);
    onChoice(ui->Ed_SecAuthg, &TFM_Wirless::Ed_SecAuthgChange);
    onChoice(ui->Ed_SecEncypg, &TFM_Wirless::Ed_SecEncypgChange);
    onChoice(ui->Ed_KeyType_g, &TFM_Wirless::Ed_KeyType_gChange);
    onChoice(ui->Ed_KeySize_g, &TFM_Wirless::Ed_KeySize_gChange);
    onChoice(ui->Ed_SecValKeyg, &TFM_Wirless::Ed_SecValKeygChange);
    onChoice(ui->CiphertypeComboBx_g, &TFM_Wirless::CiphertypeComboBx_gChange);
    onChoice(ui->CipherforPSKBx_g, &TFM_Wirless::CipherforPSKBx_gChange);
    Handle(ui->SiteScan, &QPushButton::clicked, [this] { SiteScanClick(); });
    Handle(ui->SiteScang, &QPushButton::clicked, [this] { SiteScangClick(); });
    ListViewEvents::Of(ui->SiteServeyListView).OnSelectItem = [this](QTreeWidget*, QTreeWidgetItem*, bool selected) {
        if (selected)
            Guard([this] { SiteServeyListViewClick(); });
    };
    ListViewEvents::Of(ui->SiteServeyListViewg).OnSelectItem = [this](QTreeWidget*, QTreeWidgetItem*, bool selected) {
        if (selected)
            Guard([this] { SiteServeyListViewgClick(); });
    };

    Timer1 = NewTimer(kSurveyTickMs, [this] { Timer1Timer(); });
    Timer1->setObjectName("Timer1");
    RunFormCreate([this] { FormCreate(); });
}

TFM_Wirless::~TFM_Wirless() = default;

bool TFM_Wirless::SheetVisible(const WirlessRadio& r) const
{
    return TabSheetVisible(r.sheet);
}

bool TFM_Wirless::SheetActive(const WirlessRadio& r) const
{
    return ui->PC_Wirless->currentWidget() == r.sheet;
}

void TFM_Wirless::SetActiveSheet(WirlessRadio& r)
{
    {
        const QSignalBlocker quiet(ui->PC_Wirless);
        ui->PC_Wirless->setCurrentWidget(r.sheet);
    }
    PC_WirlessChange();
}

// ---- creation ----

void TFM_Wirless::FormCreate()
{
    // A radio whose bindings fail stops there; the page opens with what was filled.
    for (WirlessRadio& r : m_radio) {
        if (!SheetVisible(r))
            continue;
        try {
            CreateRadioBindings(r);
        } catch (const std::exception&) {
        }
    }
    CreateBasicEdits();
    // No opening read depends on another's answer.
    ReadTogether(OpeningReads());
    for (WirlessRadio& r : m_radio) {
        if (!SheetVisible(r))
            continue;
        try {
            ReadRadioBindings(r);
        } catch (const std::exception&) {
        }
    }
    PrepareControls();
    ReadBasicEdits();
    for (WirlessRadio& r : m_radio)
        SetMaxLength(r.ssid, 32);
}

void TFM_Wirless::CreateRadioBindings(WirlessRadio& r)
{
    NewAutoScanEdits(r);
    NewApModeEdits(r);
    NewWepEdits(r);
    NewRadiusEdits(r);
    NewPskEdits(r);
    NewIntervalSupportEdits(r);
    NewScanCmdEdits(r);
    NewSurveyEdits(r);
    if (r.index == 0) {
        NewGuestStateEdits();
        NewGuestKeyIndexEdits();
    }
}

std::vector<QvSNMPRequest2Controls*> TFM_Wirless::OpeningReads()
{
    // The survey is read only when a scan asks for it.
    std::vector<QvSNMPRequest2Controls*> reads;
    for (WirlessRadio& r : m_radio)
        if (SheetVisible(r))
            reads.insert(reads.end(), {r.autoScanEdits, r.apModeEdits, r.wepEdits, r.radiusEdits, r.pskEdits,
                                       r.intervalSupportEdits, r.scanCmdEdits});
    reads.insert(reads.end(), {GuestStateEdits, GuestKeyIndexEdits, SuperModeEdits, BasicEdits});
    return reads;
}

void TFM_Wirless::ReadRadioBindings(WirlessRadio& r)
{
    std::vector<QvSNMPRequest2Edits**> order = {&r.autoScanEdits, &r.apModeEdits, &r.wepEdits,
                                                 &r.radiusEdits,   &r.pskEdits,    &r.intervalSupportEdits,
                                                 &r.scanCmdEdits};
    if (r.index == 0)
        order.insert(order.end(), {&GuestStateEdits, &GuestKeyIndexEdits});
    for (size_t i = 0; i < order.size() && *order[i]; ++i) {
        try {
            (*order[i])->Get();
        } catch (...) {
            // As if the radio's later bindings had never been made: the read stops here.
            for (size_t later = i + 1; later < order.size(); ++later)
                *order[later] = nullptr;
            if (order[i] != &GuestStateEdits && order[i] != &GuestKeyIndexEdits)
                r.surveyEdits = nullptr;  // made after the scan command
            throw;
        }
    }
}

void TFM_Wirless::PrepareControls()
{
    for (WirlessRadio& r : m_radio) {
        if (!SheetVisible(r))
            continue;
        KeyLists(r);
        KeyLengthRule(r);
        ModeCombosAndLayout(r);
        MacFieldStates(r);
        MaxInputLengths(r);
        SecurityLayout(r);
    }
}

void TFM_Wirless::CreateBasicEdits()
{
    auto& basic = NewBinding<QvSNMPRequest2Edits>();
    basic.RequestMode = QvSNMPRequest2Controls::kWaiting;
    basic.request.list.Assign(QvSNMPVarList(Basic, kListSingleInstances, 0));
    BasicEdits = &basic;
    for (WirlessRadio& r : m_radio) {
        if (!SheetVisible(r))
            continue;
        ui->PC_Wirless->setTabText(ui->PC_Wirless->indexOf(r.sheet),
                                    r.index == 0 ? kFirstBandTitle : kSecondBandTitle);
        const int first = kBasicItemsPerRadio * r.index;
        basic.BindEdit(first + kSsid, r.ssid, "%s");
        basic.BindComboBox(first + kBroadcast, r.ssidBroadcast);
        basic.BindEdit(first + kChannel, r.channelEdit, "%s");
        basic.BindEdit(first + kChannelList, r.channelList, "%s");
        basic.BindEdit(first + kFrequency, r.frequency, "%s");
        for (int item : {kSsid, kBroadcast, kChannel})
            basic.request.list.Item(first + item).access = kAccessReadWrite;
        for (int item : {kChannelList, kFrequency})
            basic.request.list.Item(first + item).access = kAccessReadOnly;
    }

    auto& super = NewBinding<QvSNMPRequest2Edits>();
    super.RequestMode = QvSNMPRequest2Controls::kWaiting;
    super.request.list.Assign(QvSNMPVarList(SuperMode, kListSingleInstances, 0));
    SuperModeEdits = &super;
    for (WirlessRadio& r : m_radio) {
        if (!SheetVisible(r))
            continue;
        super.BindComboBox(r.index, r.superMode);
        super.request.list.Item(r.index).access = kAccessReadWrite;
    }
}

void TFM_Wirless::ReadBasicEdits()
{
    if (!SuperModeEdits || !BasicEdits)
        return;  // the page has closed meanwhile
    SuperModeEdits->Get();

    // With dynamic turbo the radio works on channel 6 only.
    for (WirlessRadio& r : m_radio)
        r.dynamicChannelList->setText("6");

    BasicEdits->SetStatusSink(ui->StatusBar);
    if (SuperModeEdits && BasicEdits)
        BasicEdits->Get();
    for (WirlessRadio& r : m_radio)
        if (SheetVisible(r))
            FillChannelCombo(r);
}

// ---- showing and closing ----

void TFM_Wirless::showEvent(QShowEvent* event)
{
    QvPage::showEvent(event);
    Guard([this] { FormShow(); });
}

void TFM_Wirless::FormShow()
{
    Timer1->start();
}

void TFM_Wirless::Bt_CloseClick()
{
    close();
}

// A scan ends only when its table has been read; until then the page stays. The base stops
// Timer1 when the page closes.
bool TFM_Wirless::FormCloseQuery() const { return scanIdle != 0; }

void TFM_Wirless::FormClose()
{
    ReleaseBindings();
    BasicEdits = SuperModeEdits = GuestStateEdits = GuestKeyIndexEdits = nullptr;
    for (WirlessRadio& r : m_radio)
        r.ForgetBindings();
}

void TFM_Wirless::done(int result)
{
    // While a scan or an exchange runs the base closes the page later, or refuses.
    if (CloseAllowed() && !AnyBindingBusy())
        FormClose();
    QvPage::done(result);
}

void TFM_Wirless::PC_WirlessChange()
{
    for (WirlessRadio& r : m_radio) {
        if (!SheetActive(r))
            continue;
        MacFieldStates(r);
        ModeCombosAndLayout(r);
        KeyFieldStates(r);
        SecurityLayout(r);
    }
}

// ---- Refresh ----

void TFM_Wirless::Bt_RefreshClick()
{
    // An Apply's checks left out what its write did not need (partners, keys, RADIUS items):
    // the device's values of every item are shown again.
    if (BasicEdits)
        BasicEdits->RestoreOpeningAccess();
    for (WirlessRadio& r : m_radio)
        for (QvSNMPRequest2Edits* binding : {r.apModeEdits, r.wepEdits, r.radiusEdits, r.pskEdits})
            if (binding)
                binding->RestoreOpeningAccess();
    if (BasicEdits)
        BasicEdits->Get();
    if (SuperModeEdits)
        SuperModeEdits->Get();
    for (WirlessRadio& r : m_radio)
        if (SheetVisible(r))
            FillChannelCombo(r);

    for (WirlessRadio& r : m_radio) {
        if (!SheetVisible(r))
            continue;
        if (r.autoScanEdits && !r.autoScanEdits->Busy)
            r.autoScanEdits->Get();
        for (QvSNMPRequest2Edits* binding : {r.apModeEdits, r.wepEdits, r.radiusEdits, r.pskEdits})
            if (binding)
                binding->Get();
        if (r.index == 0) {
            for (QvSNMPRequest2Edits* binding : {GuestStateEdits, GuestKeyIndexEdits})
                if (binding)
                    binding->Get();
        }
        // The survey matters only to the repeater and client modes.
        const int mode = r.apMode->currentIndex();
        if (mode == 3 || mode == 4)
            ReadSurvey(r);
    }

    for (WirlessRadio& r : m_radio) {
        if (!SheetVisible(r))
            continue;
        MacFieldStates(r);
        KeyFieldStates(r);
        // Keys are always written as hexadecimal text.
        r.keyType->setCurrentIndex(0);
        KeyLengthRule(r);
        ModeCombosAndLayout(r);
        MaxInputLengths(r);
        SecurityLayout(r);
    }
}

// ---- Apply ----

void TFM_Wirless::Bt_ApplyClick()
{
    for (WirlessRadio& r : m_radio)
        if (SheetVisible(r))
            ProxySync(r);
    for (WirlessRadio& r : m_radio)
        if (SheetVisible(r) && !SsidChecks(r))
            return;
    for (WirlessRadio& r : m_radio)
        if (SheetVisible(r) && !DuplicateWdsCheck(r))
            return;
    if (!Validate()) {
        for (WirlessRadio& r : m_radio)
            MacFieldStates(r);
        return;
    }
    GuestAdjustment();
    // The channel written is the one shown (a device list without channels keeps the device's).
    for (WirlessRadio& r : m_radio)
        if (SheetVisible(r) && r.channel->currentIndex() >= 0)
            r.channelEdit->setText(r.channel->currentText());

    if (WriteAll()) {
        bool wds = false;
        for (WirlessRadio& r : m_radio)
            wds = wds || (SheetVisible(r) && ShownWdsMode(r));
        RestartWait wait;
        wait.countdown = wds ? kWdsRestartSeconds : kRestartSeconds;
        RunRestartWait(wait, this);
        ShowSimpleStatus("Setting Success!");
    } else {
        ShowSimpleStatus("Setting error!");
    }
    Bt_RefreshClick();
}

bool TFM_Wirless::Validate()
{
    for (WirlessRadio& r : m_radio)
        if (SheetVisible(r) && !ApModeValidation(r))
            return false;
    for (WirlessRadio& r : m_radio)
        if (SheetVisible(r) && !SecurityValidation(r))
            return false;
    for (WirlessRadio& r : m_radio)
        if (SheetVisible(r) && !GuestKeyIndexCheck(r))
            return false;
    return true;
}

bool TFM_Wirless::WriteAll()
{
    // Each write must succeed before the next is made; a binding that could not be created
    // at opening counts as a failed write. A setting that was never read stops the whole
    // Apply before its first write, not halfway.
    std::vector<QvSNMPRequest2Edits*> writes = {BasicEdits, GuestStateEdits};
    for (WirlessRadio& r : m_radio) {
        if (!SheetVisible(r))
            continue;
        writes.push_back(r.apModeEdits);
        writes.push_back(r.autoScanEdits);
        for (QvSNMPRequest2Edits* binding : SecurityBindings(r))
            writes.push_back(binding);
    }
    for (QvSNMPRequest2Edits* binding : writes)
        if (binding)
            binding->RequireValues();
    if (!BasicEdits || !BasicEdits->Set())
        return false;
    for (WirlessRadio& r : m_radio) {
        if (!SheetVisible(r))
            continue;
        if (!r.apModeEdits || !r.apModeEdits->Set())
            return false;
        // Notifying: started and counted as written; the device reports nothing back to us.
        if (!r.autoScanEdits)
            return false;
        r.autoScanEdits->Set();
        if (!SecurityWrites(r))
            return false;
    }
    return GuestStateEdits && GuestStateEdits->Set();
}
