#include "pages/status/TIndicationForm.h"

#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "snmp/ValueText.h"
#include "ui_TIndicationForm.h"

#include <QScopeGuard>
#include <QTimer>

#include <algorithm>

namespace {

const OptionRow kApModeRows[] = {{1, "Access Point"}, {2, "WDS with AP"}, {3, "WDS"}, {4, "AP Repeater"},
                                 {5, "AP Client"},    {0, nullptr}};
const QvOptionList kApModes(kApModeRows);

const VariableDescriptor kTemperature[] = {
    {VTA_OID(".4.6.1"), "statusIndicationTemperature", kSyntaxInteger, kAccessReadOnly},
    DeviceVariables::EndOfTable,
};

// Outside the private subtree; a device without it fails the read.
const VariableDescriptor kSignalStrength[] = {
    {"1.3.6.1.4.1.32473.10.37.14.4.6.2.1.1.1", "rssiInfo", kSyntaxInteger, kAccessReadOnly},
    DeviceVariables::EndOfTable,
};

#define REMOTE_AP(slot) {VTA_OID(".2.2.1.2.1." #slot), "adPtPRemoteAPMACAddress", kSyntaxMacAddress, kAccessReadWrite}
// Radio 1's mode and its eight point-to-point partners.
const VariableDescriptor kMode[] = {
    {VTA_OID(".2.1.1.1.1"), "adAPMode", kSyntaxInteger, kAccessReadWrite, &kApModes},
    REMOTE_AP(1), REMOTE_AP(2), REMOTE_AP(3), REMOTE_AP(4), REMOTE_AP(5), REMOTE_AP(6), REMOTE_AP(7), REMOTE_AP(8),
    DeviceVariables::EndOfTable,
};
#undef REMOTE_AP

constexpr int kAccessPointRow = 0;
// The device reports an unused partner slot as twelve zeros.
const QString kNoPartner = "000000000000";
// Shown when the device reports no temperature.
constexpr int kNoTemperature = 50;
constexpr int kRefreshMs = 10000;

struct LayoutSizes {
    int panelHeight;
    int closeTop;
    int statusTop;
    int clientHeight;  // the form's height without caption and borders
};
constexpr LayoutSizes kCollapsed{129, 136, 164, 184};
constexpr LayoutSizes kExpanded{193, 200, 230, 250};

} // namespace

TIndicationForm::TIndicationForm(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TIndicationForm>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar1, {50});
    // A refresh that cannot be sent says why in the status bar, as the opening does.
    Timer1 = NewTimer(kRefreshMs, [this] { GuardToStatus([this] { Timer1Timer(); }); });
    Handle(ui->CloseButton, &QPushButton::clicked, [this] { CloseButtonClick(); });
    RunFormCreate([this] { FormCreate(); });
}

TIndicationForm::~TIndicationForm() = default;

void TIndicationForm::FormCreate()
{
    auto& temperature = NewBinding<QvSNMPRequest2Edits>();
    temperature.request.list.Assign(QvSNMPVarList(kTemperature, kListScalars, 0));
    temperature.BindControl(0, ui->Lab_Tempreture);
    temperature.OnGetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError& record) {
        Guard([this, &record] { TemperatureGetDone(record); });
    };
    temperature.SetStatusSink(ui->StatusBar1->Panel(0));
    TemperatureEdits = &temperature;
    ReadTemperature();

    auto& signal = NewBinding<QvSNMPRequest2Edits>();
    signal.RequestMode = QvSNMPRequest2Controls::kWaiting;
    signal.request.list.Assign(QvSNMPVarList(kSignalStrength, kListSingleInstances, 0));
    signal.BindControl(0, ui->LA_RSSI_a);
    SignalEdits = &signal;

    auto& mode = NewBinding<QvSNMPRequest2Edits>();
    mode.RequestMode = QvSNMPRequest2Controls::kWaiting;
    mode.request.list.Assign(QvSNMPVarList(kMode, kListSingleInstances, 0));
    mode.BindComboBox(0, ui->ED_APModeComboBox);
    QLineEdit* const partners[] = {ui->Ed_ReMAddra0, ui->Ed_ReMAddra1, ui->Ed_ReMAddra2, ui->Ed_ReMAddra3,
                                   ui->Ed_ReMAddra4, ui->Ed_ReMAddra5, ui->Ed_ReMAddra6, ui->Ed_ReMAddra7};
    for (int slot = 0; slot < 8; ++slot)
        mode.BindEdit(slot + 1, partners[slot], "%h");
    ModeEdits = &mode;

    // Neither read depends on the other: both go to the device at once.
    ReadTogether({&signal, &mode});
    // An SNMPv2 agent without the object answers with no value rather than an error.
    SignalStrengthAvailable = signal.Get() && signal.request.list.Item(0).value != ValueText::kNull;
    mode.Get();

    if (SignalStrengthAvailable)
        ChooseLayout();
    else
        ApplyLayout(Layout::Collapsed);
}

// The signal strength means something only for a bridge towards exactly one remote AP.
void TIndicationForm::ChooseLayout()
{
    if (ui->ED_APModeComboBox->currentIndex() == kAccessPointRow) {
        ApplyLayout(Layout::Collapsed);
        return;
    }
    QLineEdit* const others[] = {ui->Ed_ReMAddra1, ui->Ed_ReMAddra2, ui->Ed_ReMAddra3, ui->Ed_ReMAddra4,
                                 ui->Ed_ReMAddra5, ui->Ed_ReMAddra6, ui->Ed_ReMAddra7};
    bool onePartner = ui->Ed_ReMAddra0->text() != kNoPartner;
    for (QLineEdit* other : others)
        onePartner = onePartner && other->text() == kNoPartner;
    if (!onePartner) {
        ui->GroupBox2->setVisible(false);
        ApplyLayout(Layout::Collapsed);
        return;
    }
    for (QWidget* part : {static_cast<QWidget*>(ui->GroupBox2), static_cast<QWidget*>(ui->Label3),
                          static_cast<QWidget*>(ui->Label4), static_cast<QWidget*>(ui->Label5),
                          static_cast<QWidget*>(ui->LA_RSSI_a), static_cast<QWidget*>(ui->ProgressBar2)})
        part->setVisible(true);
    // The bar follows the figure it stands beside.
    ui->ProgressBar2->setValue(ui->LA_RSSI_a->text().toInt());
    ApplyLayout(Layout::Expanded);
}

void TIndicationForm::ApplyLayout(Layout layout)
{
    m_layout = layout;
    const LayoutSizes& sizes = layout == Layout::Expanded ? kExpanded : kCollapsed;
    // Designed places, scaled as the form was; the status bar reaches the bottom edge.
    const FormScale& scale = Scale();
    ui->Panel1->resize(ui->Panel1->width(), scale.Y(sizes.panelHeight));
    ui->CloseButton->move(ui->CloseButton->x(), scale.Y(sizes.closeTop));
    ui->StatusBar1->setGeometry(ui->StatusBar1->x(), scale.Y(sizes.statusTop), ui->StatusBar1->width(),
                                scale.Y(sizes.clientHeight) - scale.Y(sizes.statusTop));
    setFixedSize(width(), scale.Y(sizes.clientHeight));
}

void TIndicationForm::showEvent(QShowEvent* event)
{
    QvPage::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        Guard([this] { FormShow(); });
    }
}

void TIndicationForm::FormShow()
{
    Timer1->start();
}

void TIndicationForm::Timer1Timer()
{
    if (!TemperatureEdits || !RefreshDone)
        return;  // the last read is still outstanding
    ShowStatus("Refresh...");
    ui->ProgressBar1->setValue(ui->ProgressBar1->minimum());
    ReadTemperature();
}

void TIndicationForm::ReadTemperature()
{
    // Cleared before the read starts: a read that cannot even leave ends inside Get. One that
    // throws leaves nothing to wait for either, or the page could never close again.
    RefreshDone = false;
    const auto settle = qScopeGuard([this] {
        if (!TemperatureEdits->Busy)
            RefreshDone = true;
    });
    TemperatureEdits->Get();
}

void TIndicationForm::TemperatureGetDone(const QvSNMPError& record)
{
    RefreshDone = true;
    ShowStatus(QString::fromStdString(record.message));
    if (record.code != 0)
        return;
    const std::string& value = TemperatureEdits->request.list.Item(0).value;
    bool number = false;
    int celsius = QString::fromStdString(value).toInt(&number);
    if (!number)
        celsius = kNoTemperature;
    // A figure beyond the bar's ends shows as a full or an empty bar, never as none.
    ui->ProgressBar1->setValue(std::clamp(celsius, ui->ProgressBar1->minimum(), ui->ProgressBar1->maximum()));
    // Whole degrees; the division truncates toward zero as the device's figures do. Any 32-bit
    // reading fits in 64 bits once multiplied.
    ui->LAB_Tempretureh->setText(QString::number(qint64{celsius} * 9 / 5 + 32));
    if (value == ValueText::kNull)
        ui->Lab_Tempreture->setText(QString::number(kNoTemperature));
}

void TIndicationForm::CloseButtonClick()
{
    close();
}

// The base stops Timer1 when the page closes.
bool TIndicationForm::FormCloseQuery() const { return RefreshDone; }
