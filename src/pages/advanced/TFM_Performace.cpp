#include "pages/advanced/TFM_Performace.h"

#include "binding/Controls.h"
#include "binding/ControlEvents.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "platform/Conversion.h"
#include "platform/Dialogs.h"
#include "shell/ModuleConstants.h"
#include "shell/RestartWait.h"
#include "ui_TFM_Performace.h"

#include <string>

using namespace Performance;

namespace {

// One row of the sheet is 32 pixels high.
constexpr int kRowHeight = 32;

struct RangeCheck {
    QLineEdit* PerformanceRadio::*edit;
    int low;
    int high;
    const char* message;
};

const RangeCheck kRangeChecks[] = {
    {&PerformanceRadio::Ed_BeInt, 20, 1000, "Please input a number between 20 and 1000."},
    {&PerformanceRadio::Ed_DTIM, 1, 255, "Please input a number between 1 and 255."},
    {&PerformanceRadio::Ed_FragLen, 256, 2346, "Please input a number between 256 and 2346."},
    {&PerformanceRadio::Ed_RTS, 256, 2346, "Please input a number between 256 and 2346."},
};

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

// The controls of one sheet; the names of two of them do not follow the suffix rule.
#define RADIO_CONTROLS(s, shortPre, dynamic)                                                   \
    r.CB_SupMode = ui.CB_SupMode##s;                                                                  \
    r.Ed_Freq = ui.Ed_Freq##s;                                                                        \
    r.CB_Chan = ui.CB_Chan##s;                                                                        \
    r.CB_DtRt = ui.CB_DtRt##s;                                                                        \
    r.Ed_BeInt = ui.Ed_BeInt##s;                                                                      \
    r.Ed_DTIM = ui.Ed_DTIM##s;                                                                        \
    r.Ed_FragLen = ui.Ed_FragLen##s;                                                                  \
    r.Ed_RTS = ui.Ed_RTS##s;                                                                          \
    r.CB_TranP = ui.CB_TranP##s;                                                                      \
    r.CB_RadWav = ui.CB_RadWav##s;                                                                    \
    r.La_XR = ui.La_XR##s;                                                                            \
    r.CB_XR = ui.CB_XR##s;                                                                            \
    r.La_AuSc = ui.La_AuSc##s;                                                                        \
    r.CB_AuSc = ui.CB_AuSc##s;                                                                        \
    r.LabelShortPre = ui.shortPre;                                                                    \
    r.CboxShortPre = ui.CboxShortPre##s;                                                              \
    r.LA_WMM = ui.LA_WMM##s;                                                                          \
    r.CB_WMM = ui.CB_WMM##s;                                                                          \
    r.LA_Antenna = ui.LA_Antenna_##s;                                                                 \
    r.CB_Antenna = ui.CB_Antenna_##s;                                                                 \
    r.Bt_Apply = ui.Bt_Apply_##s;                                                                     \
    r.Bt_Refresh = ui.Bt_Refresh_##s;                                                                 \
    r.Ed_Chan = ui.Ed_Chan##s;                                                                        \
    r.Ed_ChList = ui.Ed_ChList##s;                                                                    \
    r.Ed_DtRt = ui.Ed_DtRt##s;                                                                        \
    r.Ed_DtList = ui.Ed_DtList##s;                                                                    \
    r.DynamicEdit = ui.dynamic

void TakeControlsA(PerformanceRadio& r, Ui::TFM_Performace& ui)
{
    RADIO_CONTROLS(a, LabelShortPre, DynamicEdit);
    r.instance = 1;
    r.sheet = ui.TabSheetA;
}

void TakeControlsG(PerformanceRadio& r, Ui::TFM_Performace& ui)
{
    RADIO_CONTROLS(g, LabelShortPreg, DynamicEdit_g);
    r.instance = 2;
    r.sheet = ui.TabSheetG;
}

} // namespace

TFM_Performace::TFM_Performace(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_Performace>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar);
    TakeControlsA(RadioA, *ui);
    TakeControlsG(RadioG, *ui);
    SetTabSheetVisible(ui->TabSheetG, false);
    for (PerformanceRadio* radio : {&RadioA, &RadioG}) {
        SetReadOnlyLook(radio->Ed_Freq, true);
        ConnectRadio(*radio);
    }
    Handle(ui->PC_Performace, &QTabWidget::currentChanged, [this] { PC_PerformaceChange(); });
    Handle(ui->CB_SupModeusa, &QComboBox::activated, [this] { CB_SupModeaChange(); });
    Handle(ui->CboxShortPrea, &QComboBox::activated, [this] { CB_AuScaChange(); });
    Handle(ui->CboxShortPreg, &QComboBox::activated, [this] { CB_AuScaChange(); });
    RunFormCreate([this] { FormCreate(); });
}

TFM_Performace::~TFM_Performace() = default;

void TFM_Performace::ConnectRadio(PerformanceRadio& radio)
{
    PerformanceRadio* r = &radio;
    Handle(r->Bt_Apply, &QPushButton::clicked, [this, r] { Apply(*r); });
    Handle(r->Bt_Refresh, &QPushButton::clicked, [this, r] { Refresh(*r); });
    Handle(r->CB_SupMode, &QComboBox::activated, [this, r] { SuperModeChange(*r); });
    Handle(r->CB_Chan, &QComboBox::activated, [this, r] { CopyChannel(*r); });
    Handle(r->CB_AuSc, &QComboBox::activated, [r] { FollowAutoScan(*r); });
    for (const RangeCheck& check : kRangeChecks) {
        // The RTS length is also cleared when it is out of range.
        const bool clear = check.edit == &PerformanceRadio::Ed_RTS;
        EditEvents::Of(r->*check.edit).OnExit = [this, check, clear](QLineEdit* edit) {
            ExitCheck(edit, check.low, check.high, clear);
        };
    }
}

void TFM_Performace::FormCreate()
{
    ui->PC_Performace->setTabText(ui->PC_Performace->indexOf(ui->TabSheetA), kFirstBandTitle);
    ui->PC_Performace->setTabText(ui->PC_Performace->indexOf(ui->TabSheetG), kSecondBandTitle);
    // No read depends on another's answer: they are asked together, then shown in order.
    std::vector<QvSNMPRequest2Controls*> opening;
    for (PerformanceRadio* radio : {&RadioA, &RadioG})
        if (TabSheetVisible(radio->sheet))
            for (QvSNMPRequest2Controls* binding : MakeBindings(*radio))
                opening.push_back(binding);
    ReadTogether(opening);
    for (PerformanceRadio* radio : {&RadioA, &RadioG})
        if (TabSheetVisible(radio->sheet))
            Create(*radio);
}

QvSNMPRequest2Edits* TFM_Performace::Probe(PerformanceRadio& radio, const VariableDescriptor* table, QComboBox* combo)
{
    auto& edits = NewBinding<QvSNMPRequest2Edits>();
    edits.RequestMode = QvSNMPRequest2Controls::kWaiting;
    edits.request.list.Assign(QvSNMPVarList(table, kListSingleInstances, 0));
    edits.request.list.instanceSuffix = std::to_string(radio.instance);
    edits.BindComboBox(0, combo);
    // No status sink: a feature the device lacks goes without a message.
    return &edits;
}

std::vector<QvSNMPRequest2Controls*> TFM_Performace::MakeBindings(PerformanceRadio& radio)
{
    radio.XREdits = Probe(radio, kXR, radio.CB_XR);
    radio.PerfAutoScanEdits = Probe(radio, kAutoChannelScan, radio.CB_AuSc);
    radio.ShortPreambleEdits = Probe(radio, kShortPreamble, radio.CboxShortPre);
    radio.WMMEdits = Probe(radio, kWMM, radio.CB_WMM);
    radio.AntennaEdits = Probe(radio, kAntennaDiversity, radio.CB_Antenna);

    auto& perf = NewBinding<QvSNMPRequest2Edits>();
    perf.RequestMode = QvSNMPRequest2Controls::kWaiting;
    perf.request.list.Assign(QvSNMPVarList(kPerformance, kListSingleInstances, 0));
    perf.request.list.instanceSuffix = std::to_string(radio.instance);
    perf.BindComboBox(0, radio.CB_SupMode);
    perf.BindEdit(1, radio.Ed_Freq, "%s");
    perf.BindEdit(2, radio.Ed_Chan, "%s");
    perf.BindEdit(3, radio.Ed_ChList, "%s");
    perf.BindEdit(4, radio.Ed_DtRt, "%s");
    perf.BindEdit(5, radio.Ed_DtList, "%s");
    perf.BindEdit(6, radio.Ed_BeInt, "%u");
    perf.BindEdit(7, radio.Ed_DTIM, "%u");
    perf.BindEdit(8, radio.Ed_FragLen, "%u");
    perf.BindEdit(9, radio.Ed_RTS, "%u");
    perf.BindComboBox(10, radio.CB_TranP);
    perf.BindComboBox(11, radio.CB_RadWav);
    perf.SetStatusSink(ui->StatusBar);
    radio.PerfEdits = &perf;
    return {radio.XREdits, radio.PerfAutoScanEdits, radio.ShortPreambleEdits, radio.WMMEdits, radio.AntennaEdits,
            radio.PerfEdits};
}

void TFM_Performace::Create(PerformanceRadio& radio)
{
    radio.xrSupported = radio.XREdits->Get();
    ShowRow(radio.La_XR, radio.CB_XR, radio.xrSupported);
    if (radio.xrSupported) {
        MoveRow(radio.Bt_Apply, radio.Bt_Refresh, kRowHeight / 2, Scale());
    } else {
        MoveRow(radio.La_AuSc, radio.CB_AuSc, -kRowHeight, Scale());
        MoveRow(radio.LabelShortPre, radio.CboxShortPre, -kRowHeight, Scale());
        Shrink(kRowHeight);
    }

    // The auto channel scan is switched on the wireless page; here it only governs the
    // channel combo, so its row is never shown.
    radio.autoScanSupported = radio.PerfAutoScanEdits->Get();
    ShowRow(radio.La_AuSc, radio.CB_AuSc, false);
    MoveRow(radio.LabelShortPre, radio.CboxShortPre, -kRowHeight, Scale());
    Shrink(kRowHeight);
    if (radio.autoScanSupported)
        FollowAutoScan(radio);

    const bool shortPreambleAnswered = radio.ShortPreambleEdits->Get();
    ShowRow(radio.LabelShortPre, radio.CboxShortPre, shortPreambleAnswered);

    radio.wmmSupported = radio.WMMEdits->Get();
    ShowRow(radio.LA_WMM, radio.CB_WMM, radio.wmmSupported);
    if (radio.wmmSupported) {
        MoveRow(radio.LA_WMM, radio.CB_WMM, -2 * kRowHeight, Scale());
        MoveRow(radio.Bt_Apply, radio.Bt_Refresh, kRowHeight / 4, Scale());
    }

    radio.antennaSupported = radio.AntennaEdits->Get();
    ShowRow(radio.LA_Antenna, radio.CB_Antenna, radio.antennaSupported);
    if (radio.antennaSupported) {
        MoveRow(radio.LA_Antenna, radio.CB_Antenna, -2 * kRowHeight, Scale());
        MoveRow(radio.Bt_Apply, radio.Bt_Refresh, kRowHeight / 4, Scale());
    }

    radio.PerfEdits->Get();

    FillDataRateList(radio.CB_DtRt, radio.Ed_DtList->text(), radio.Ed_DtRt->text());
    radio.DynamicEdit->setText("6");
    LayOutRatesAndChannels(radio);
}

void TFM_Performace::Shrink(int designedDy)
{
    QRect pageControl = DesignedGeometry(ui->PC_Performace);
    pageControl.setHeight(pageControl.height() - designedDy);
    PlaceAsDesigned(ui->PC_Performace, pageControl, Scale());
    PlaceAsDesigned(ui->StatusBar, DesignedGeometry(ui->StatusBar).translated(0, -designedDy), Scale());
    setFixedSize(width(), ui->StatusBar->geometry().bottom() + 1);
}

void TFM_Performace::PC_PerformaceChange()
{
    LayOutRatesAndChannels(RadioA);
    LayOutRatesAndChannels(RadioG);
}

void TFM_Performace::SuperModeChange(PerformanceRadio& radio)
{
    CopyChannel(radio);
    LayOutRatesAndChannels(radio);
}

void TFM_Performace::CopyChannel(PerformanceRadio& radio) { radio.Ed_Chan->setText(radio.CB_Chan->currentText()); }

void TFM_Performace::ExitCheck(QLineEdit* edit, int low, int high, bool clear)
{
    // An empty edit is left to Apply, which refuses it with its own message.
    if (edit->text().isEmpty())
        return;
    if (InRange(StrToInt(edit->text().toStdString()), low, high))
        return;
    Dialogs::message(this, QString("Please input a number between %1 and %2.").arg(low).arg(high), "Warning");
    if (clear)
        edit->clear();
    edit->setFocus();
}

void TFM_Performace::Apply(PerformanceRadio& radio)
{
    if (!TabSheetVisible(radio.sheet) || !radio.PerfEdits)
        return;
    for (const RangeCheck& check : kRangeChecks) {
        QLineEdit* edit = radio.*check.edit;
        const std::string text = edit->text().toStdString();
        if (text.empty() || !InRange(StrToInt(text), check.low, check.high)) {
            Dialogs::message(this, check.message, "Error");
            edit->clear();
            edit->setFocus();
            return;
        }
    }
    CopyValues(radio);
    // Each write must succeed before the next; what was written before a failure stays.
    // The short preamble is written whatever its first read gave.
    const std::pair<QvSNMPRequest2Edits*, bool> writes[] = {
        {radio.PerfEdits, true},
        {radio.ShortPreambleEdits, true},
        {radio.XREdits, radio.xrSupported},
        {radio.PerfAutoScanEdits, radio.autoScanSupported},
        {radio.WMMEdits, radio.wmmSupported},
        {radio.AntennaEdits, radio.antennaSupported},
    };
    for (const auto& [edits, wanted] : writes)
        if (wanted)
            edits->RequireValues();
    for (const auto& [edits, wanted] : writes) {
        if (wanted && !edits->Set()) {
            ShowSimpleStatus(radio.instance == 1 ? kRadio1SettingError : kRadio2SettingError);
            return;
        }
    }
    RunRestartWait();
}

void TFM_Performace::Refresh(PerformanceRadio& radio)
{
    if (!TabSheetVisible(radio.sheet) || !radio.PerfEdits)
        return;
    GuardToStatus([this, &radio] {
        radio.PerfEdits->Get();
        radio.ShortPreambleEdits->Get();
        if (radio.wmmSupported)
            radio.WMMEdits->Get();
        if (radio.antennaSupported)
            radio.AntennaEdits->Get();
        FillDataRateList(radio.CB_DtRt, radio.Ed_DtList->text(), radio.Ed_DtRt->text());
        LayOutRatesAndChannels(radio);
        radio.PerfAutoScanEdits->Get();
        FollowAutoScan(radio);
    });
}
