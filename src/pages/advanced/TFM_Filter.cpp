#include "pages/advanced/TFM_Filter.h"

#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "pages/advanced/TFM_FilterMAC.h"
#include "shell/ModuleConstants.h"
#include "shell/RestartWait.h"
#include "ui_TFM_Filter.h"

namespace {

const OptionRow kAccessControlRows[] = {{1, "Disable"}, {2, "Accept"}, {3, "Reject"}, {0, nullptr}};
// "Enable" comes first: index 0 of these combo boxes is the value 1.
const OptionRow kEnableRows[] = {{1, "Enable"}, {0, "Disable"}, {0, nullptr}};
const QvOptionList kAccessControl(kAccessControlRows);
const QvOptionList kEnable(kEnableRows);

// Every item starts invalid; the page raises those of the visible radio, so only they travel.
const VariableDescriptor kFilter[] = {
    {VTA_OID(".2.4.1.1.1.1"), "adAccSettingWirelessAccessControl", kSyntaxInteger, kAccessInvalid, &kAccessControl},
    {VTA_OID(".2.4.3.1.1.1"), "adInternalStationConnection", kSyntaxInteger, kAccessInvalid, &kEnable},
    {VTA_OID(".2.4.3.1.2.1"), "adEthernet2WLANAccess", kSyntaxInteger, kAccessInvalid, &kEnable},
    {VTA_OID(".2.4.3.1.3.1"), "adInternaStationConnectionBetweenag", kSyntaxInteger, kAccessInvalid, &kEnable},
    {VTA_OID(".2.4.1.1.1.2"), "adAccSettingWirelessAccessControl", kSyntaxInteger, kAccessInvalid, &kAccessControl},
    {VTA_OID(".2.4.3.1.1.2"), "adInternalStationConnection", kSyntaxInteger, kAccessInvalid, &kEnable},
    {VTA_OID(".2.4.3.1.2.2"), "adEthernet2WLANAccess", kSyntaxInteger, kAccessInvalid, &kEnable},
    {VTA_OID(".2.4.3.1.3.2"), "adInternaStationConnectionBetweenag", kSyntaxInteger, kAccessInvalid, &kEnable},
    DeviceVariables::EndOfTable,
};
constexpr int kItemsPerRadio = 4;

} // namespace

TFM_Filter::TFM_Filter(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_Filter>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar);
    Handle(ui->Bt_Apply, &QPushButton::clicked, [this] { Bt_ApplyClick(); });
    Handle(ui->Bt_Refresh, &QPushButton::clicked, [this] { Bt_RefreshClick(); });
    Handle(ui->Bt_Close, &QPushButton::clicked, [this] { Bt_CloseClick(); });
    Handle(ui->Bt_MacTaba, &QPushButton::clicked, [this] { Bt_MacTabaClick(); });
    Handle(ui->Bt_MacTabg, &QPushButton::clicked, [this] { Bt_MacTabgClick(); });
    Handle(ui->CB_ACa, &QComboBox::activated, [this] { CB_ACaChange(); });
    Handle(ui->CB_ACg, &QComboBox::activated, [this] { CB_ACgChange(); });
    Handle(ui->CB_InSCBa, &QComboBox::activated, [this] { CB_InSCBaChange(); });
    Handle(ui->CB_InSCBg, &QComboBox::activated, [this] { CB_InSCBgChange(); });
    connect(this, &QDialog::finished, this, [this] { Guard([this] { FormClose(); }); });
    // The second radio's tab is never shown.
    SetTabSheetVisible(ui->TS_80211g, false);
    RunFormCreate([this] { FormCreate(); });
}

TFM_Filter::~TFM_Filter() = default;

void TFM_Filter::FormCreate()
{
    auto& filter = NewBinding<QvSNMPRequest2Edits>();
    filter.RequestMode = QvSNMPRequest2Controls::kWaiting;
    filter.request.list.Assign(QvSNMPVarList(kFilter, kListSingleInstances, 0));
    struct RadioTab {
        QWidget* sheet;
        QComboBox* accessControl;
        QComboBox* internalStation;
        QComboBox* ethernetToWlan;
        const char* caption;
    };
    const RadioTab tabs[] = {
        {ui->TS_80211a, ui->CB_ACa, ui->CB_InSCa, ui->CB_E2WAa, kFirstBandTitle},
        {ui->TS_80211g, ui->CB_ACg, ui->CB_InSCg, ui->CB_E2WAg, kSecondBandTitle},
    };
    for (int radio = 0; radio < 2; ++radio) {
        const RadioTab& tab = tabs[radio];
        if (!TabSheetVisible(tab.sheet))
            continue;
        ui->Bt_MacTableg->setTabText(ui->Bt_MacTableg->indexOf(tab.sheet), tab.caption);
        const int first = radio * kItemsPerRadio;
        filter.BindComboBox(first, tab.accessControl);
        filter.BindComboBox(first + 1, tab.internalStation);
        filter.BindComboBox(first + 2, tab.ethernetToWlan);
        for (int item = first; item < first + 3; ++item)
            filter.request.list.Item(item).access = kAccessReadWrite;
    }
    // The row between the two radios makes sense only while both tabs show.
    const bool bothVisible = TabSheetVisible(ui->TS_80211a) && TabSheetVisible(ui->TS_80211g);
    for (QWidget* control : {static_cast<QWidget*>(ui->La_InSCBa), static_cast<QWidget*>(ui->La_InSCBa2),
                             static_cast<QWidget*>(ui->CB_InSCBa), static_cast<QWidget*>(ui->La_InSCBg),
                             static_cast<QWidget*>(ui->La_InSCBg2), static_cast<QWidget*>(ui->CB_InSCBg)})
        control->setVisible(bothVisible);
    filter.SetStatusSink(ui->StatusBar);
    FilterEdits = &filter;
    if (filter.Get())
        ListButtonRule();
}

void TFM_Filter::FormClose()
{
    ReleaseBindings();
    FilterEdits = nullptr;
}

void TFM_Filter::ListButtonRule()
{
    ui->Bt_MacTaba->setEnabled(ui->CB_ACa->currentIndex() != 0);
    ui->Bt_MacTabg->setEnabled(ui->CB_ACg->currentIndex() != 0);
}

void TFM_Filter::Bt_ApplyClick()
{
    if (!FilterEdits)
        return;
    if (FilterEdits->Set())
        RunRestartWait({}, this);
    else
        ShowSimpleStatus("Setting Error!");
}

void TFM_Filter::Bt_RefreshClick()
{
    if (FilterEdits && FilterEdits->Get())
        ListButtonRule();
}

void TFM_Filter::Bt_CloseClick() { close(); }

void TFM_Filter::Bt_MacTabaClick() { OpenMacTable(1); }

void TFM_Filter::Bt_MacTabgClick() { OpenMacTable(2); }

void TFM_Filter::OpenMacTable(int radio)
{
    m_macTableOpen[radio - 1] = true;
    {
        TFM_FilterMAC table(radio, this);
        table.setWindowTitle("IEEE802.11g MAC Address Table");
        table.exec();
    }
    m_macTableOpen[radio - 1] = false;
}

void TFM_Filter::CB_ACaChange() { ListButtonRule(); }

void TFM_Filter::CB_ACgChange() { ListButtonRule(); }

void TFM_Filter::CB_InSCBaChange() { ui->CB_InSCBg->setCurrentIndex(ui->CB_InSCBa->currentIndex()); }

void TFM_Filter::CB_InSCBgChange() { ui->CB_InSCBa->setCurrentIndex(ui->CB_InSCBg->currentIndex()); }
