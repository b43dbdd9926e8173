// The site survey of the wireless page: the scan command, the table read two timer ticks
// later, and a row chosen as the root access point of a repeater or client.
#include "pages/home/TFM_Wirless.h"

#include "binding/QvSNMPRequest2Edits.h"
#include "pages/home/WirlessVariables.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

// The device needs its time to listen on every channel; the table is read meanwhile late enough.
constexpr uint32_t kSurveyTimeout = 10000;
constexpr int kRefreshRow = 1;  // "refresh" in the scan command list

int ColumnOf(const QTreeWidget* view, const QString& caption)
{
    for (int column = 0; column < view->columnCount(); ++column)
        if (view->headerItem()->text(column) == caption)
            return column;
    return -1;
}

void HideIndexColumn(QTreeWidget* view)
{
    if (view->columnCount() > 0) {
        view->setColumnWidth(0, 0);
        view->setColumnHidden(0, true);
    }
}

} // namespace

void TFM_Wirless::NewScanCmdEdits(WirlessRadio& r)
{
    auto& command = NewBinding<QvSNMPRequest2Edits>();
    r.scanCmdEdits = &command;
    // The device takes the scan command as a scalar of the radio: ".R.0".
    command.request.list.Assign(QvSNMPVarList(WirlessVariables::ScanCommand[r.index], kListScalars, 0));
    command.RequestMode = QvSNMPRequest2Controls::kNotifying;
    command.BindComboBox(0, r.scanCommand);
}

void TFM_Wirless::NewSurveyEdits(WirlessRadio& r)
{
    auto& survey = NewBinding<QvSNMPRequest2Edits>();
    r.surveyEdits = &survey;
    survey.RequestMode = QvSNMPRequest2Controls::kWaiting;
    survey.request.list.Assign(QvSNMPVarList(WirlessVariables::Survey[r.index], kListTableUnlisted, 1));
    survey.request.timeout = kSurveyTimeout;
    survey.BindListView(r.survey);
    HideIndexColumn(r.survey);
    // Also after a failed read: the scan is over either way.
    survey.OnAfterGet = [this, &r] { EndScan(r); };
}

void TFM_Wirless::StartScan(WirlessRadio& r)
{
    r.scanCommand->setCurrentIndex(kRefreshRow);
    if (r.scanCmdEdits)
        r.scanCmdEdits->Set();
    scanIdle = 0;
    surveyCountdown = 1;
    surveyRadio = static_cast<uint8_t>(r.index);
    r.scan->setEnabled(false);
}

void TFM_Wirless::SiteScanClick()
{
    StartScan(Radio(0));
}

void TFM_Wirless::SiteScangClick()
{
    StartScan(Radio(1));
}

void TFM_Wirless::Timer1Timer()
{
    if (surveyCountdown < 0)
        return;
    // The table is read at the second tick after the scan command.
    if (surveyCountdown-- == 0)
        ReadSurvey(Radio(surveyRadio));
}

void TFM_Wirless::ReadSurvey(WirlessRadio& r)
{
    // Without its binding the scan still ends, so the page can close.
    if (!r.surveyEdits) {
        EndScan(r);
        return;
    }
    r.surveyEdits->Get();
    HideIndexColumn(r.survey);
}

void TFM_Wirless::EndScan(WirlessRadio& r)
{
    scanIdle = 1;
    r.scan->setEnabled(true);
}

void TFM_Wirless::ChooseSurveyRow(WirlessRadio& r)
{
    const QTreeWidgetItem* row = r.survey->currentItem();
    if (!row || !row->isSelected())
        return;
    const int bssid = ColumnOf(r.survey, " BSSID");
    const int ssid = ColumnOf(r.survey, " SSID");
    if (bssid >= 0)
        r.rootMac->setText(row->text(bssid));
    if (ssid >= 0)
        r.clientSsid->setText(row->text(ssid));
}

void TFM_Wirless::SiteServeyListViewClick()
{
    ChooseSurveyRow(Radio(0));
}

void TFM_Wirless::SiteServeyListViewgClick()
{
    ChooseSurveyRow(Radio(1));
}
