#include "pages/status/TFM_Static.h"

#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "shell/ModuleConstants.h"
#include "ui_TFM_Static.h"

#include <exception>

namespace {

#define STAT(suffix, name, syntax) {VTA_OID(".4.3.1.1." suffix ".1"), "statusTrafficStatistics" name, syntax, kAccessReadOnly}

// Radio 1's counters; rates are percentages, counters wrap at 2^32.
const VariableDescriptor kStatistics[] = {
    STAT("1", "ThroughPutTransmitSuccessRate", kSyntaxInteger),
    STAT("2", "ThroughPutTransmitRetryRate", kSyntaxInteger),
    STAT("3", "ThroughPutReceiveSuccessRate", kSyntaxInteger),
    STAT("4", "ThroughPutReceiveDuplicateRate", kSyntaxInteger),
    STAT("5", "ThroughPutRTSSuccessCount", kSyntaxCounter),
    STAT("6", "ThroughPutRTSFailureCount", kSyntaxCounter),
    DeviceVariables::TransmittedFrameCount1,
    STAT("8", "MulticastTransmittedFrameCount", kSyntaxCounter),
    DeviceVariables::TransmittedErrorCount1,
    DeviceVariables::TransmittedTotalRetryCount1,
    STAT("11", "TransmittedMultipleRetryCount", kSyntaxCounter),
    DeviceVariables::ReceivedFrameCount1,
    STAT("13", "MulticastReceivedFrameCount", kSyntaxCounter),
    DeviceVariables::ReceivedFrameFCSErrorCount1,
    STAT("15", "ReceivedFrameDuplicateCount", kSyntaxCounter),
    STAT("16", "AckRcvFailureCount", kSyntaxCounter),
    STAT("17", "WEPExcludedFrameCount", kSyntaxCounter),
    STAT("18", "WEPICVErrorCount", kSyntaxCounter),
    DeviceVariables::EndOfTable,
};

#undef STAT

} // namespace

TFM_Static::TFM_Static(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_Static>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    Handle(ui->Bt_RfrshA, &QPushButton::clicked, [this] { Bt_RfrshAClick(); });
    RunFormCreate([this] { FormCreate(); });
}

TFM_Static::~TFM_Static() = default;

void TFM_Static::FormCreate()
{
    // A page that could not read shows what it has; it has no place to say more.
    try {
        ui->PC_Static->setTabText(0, kFirstBandTitle);
        SetTabSheetVisible(ui->TabSheetG, false);
        auto& counters = NewBinding<QvSNMPRequest2Edits>();
        counters.RequestMode = QvSNMPRequest2Controls::kWaiting;
        counters.request.list.Assign(QvSNMPVarList(kStatistics, kListSingleInstances, 0));
        QLineEdit* const edits[] = {
            ui->Ed_TranSuRata,  ui->Ed_TranReRata,     ui->Ed_RcvSuRata,     ui->Ed_RcvDuRata,
            ui->Ed_RTSSuCnta,   ui->Ed_RTSFaCnta,      ui->Ed_TranFrCnta,    ui->Ed_McastTranFrCnta,
            ui->Ed_TranErrCnta, ui->Ed_TranTtlRtyCnta, ui->Ed_TranMulRtyCnta, ui->Ed_RcvFrmCnta,
            ui->Ed_MRcvFrmCnta, ui->Ed_RcvFrmErrCnta,  ui->Ed_RcvFrmDupCnta, ui->Ed_AckRcvfCnta,
            ui->Ed_WEPEFrmCnta, ui->Ed_WEPIErrCnta,
        };
        for (int item = 0; item < static_cast<int>(std::size(edits)); ++item)
            counters.BindEdit(item, edits[item], "%s");
        CounterEdits = &counters;
        counters.Get();
    } catch (const std::exception&) {
    }
}

void TFM_Static::Bt_RfrshAClick()
{
    if (CounterEdits)
        CounterEdits->Get();
}
