// The AP mode of the wireless page: the three offered modes and the sheet layout each brings,
// the WDS partner addresses and their checks.
#include "pages/home/TFM_Wirless.h"

#include "binding/QvSNMPRequest2Edits.h"
#include "pages/home/WirlessVariables.h"
#include "ui_TFM_Wirless.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using namespace WirlessControls;

namespace {

// The device reports an empty WDS slot as twelve zeros.
const QString kEmptyMac = "000000000000";
constexpr int kMacDigits = 12;

// Rows of the mode option list (the bound combo lists all five).
enum Mode { kAccessPoint = 0, kWdsWithAp = 1, kWds = 2, kRepeater = 3, kClient = 4 };

// The modes the page offers; the device may report the other two by itself.
const QStringList kOfferedModes = {"Access Point", "WDS with AP", "WDS"};
const QStringList kAllAuthentications = {"Open System", "Shared Key", "Open System / Shared Key", "802.1x",
                                         "WPA-EAP", "WPA-PSK", "WPA2-EAP", "WPA2-PSK", "WPA-Auto-EAP",
                                         "WPA-Auto-PSK"};
const QStringList kWdsAuthentications = {"Open System", "Shared Key", "Open System / Shared Key", "WPA-PSK"};

// The authentication label's top in the access-point layout and in the WDS layouts; the rest
// of the sheet, the buttons and the window follow it.
constexpr int kAccessPointTop = 132;
constexpr int kWdsTop = 272;

void ClearEmptySlots(WirlessRadio& r)
{
    for (QLineEdit* edit : r.wds)
        if (edit->text() == kEmptyMac)
            edit->clear();
    for (QLineEdit* edit : {r.rootMac, r.clientRootMac})
        if (edit->text() == kEmptyMac)
            edit->clear();
}

} // namespace

bool TFM_Wirless::BoundWdsMode(const WirlessRadio& r)
{
    const int mode = r.apMode->currentIndex();
    return mode == kWdsWithAp || mode == kWds;
}

bool TFM_Wirless::ShownWdsMode(const WirlessRadio& r)
{
    const int mode = r.apModeProxy->currentIndex();
    return mode == kWdsWithAp || mode == kWds;
}

void TFM_Wirless::NewApModeEdits(WirlessRadio& r)
{
    auto& apMode = NewBinding<QvSNMPRequest2Edits>();
    r.apModeEdits = &apMode;
    apMode.RequestMode = QvSNMPRequest2Controls::kWaiting;
    apMode.request.list.Assign(QvSNMPVarList(WirlessVariables::ApMode[r.index], kListSingleInstances, 0));
    apMode.BindComboBox(0, r.apMode);
    for (int i = 0; i < 8; ++i)
        apMode.BindEdit(1 + i, r.wds[static_cast<size_t>(i)], "%h");
    // Also after a failed write: the slots filled with zeros for the device show empty again.
    apMode.OnAfterSet = [&r] { ClearEmptySlots(r); };
}

void TFM_Wirless::ED_APModeTempComboBoxtestChange()
{
    WirlessRadio& r = Radio(0);
    SelectText(r.apMode, r.apModeProxy->currentText());
    ModeLayout(r);
    MacFieldStates(r);
    SecurityLayout(r);
}

void TFM_Wirless::ChooseApMode(const QString& mode)
{
    SelectText(Radio(0).apModeProxy, mode);
    ED_APModeTempComboBoxtestChange();
}

void TFM_Wirless::ED_APModeTempComboBoxgChange()
{
    WirlessRadio& r = Radio(1);
    if (!SheetVisible(r))
        return;
    SelectText(r.apMode, r.apModeProxy->currentText());
    ModeLayout(r);
    MacFieldStates(r);
    SecurityLayout(r);
}

void TFM_Wirless::ModeCombosAndLayout(WirlessRadio& r)
{
    r.apModeProxy->clear();
    r.apModeProxy->addItems(kOfferedModes);
    // Nothing is selected when the device runs a mode the page does not offer.
    SelectText(r.apModeProxy, r.apMode->currentText());
    if (SheetActive(r))
        ModeLayout(r);
}

void TFM_Wirless::ModeLayout(WirlessRadio& r)
{
    const int mode = r.apModeProxy->currentIndex();
    if (mode < 0)
        return;  // the design layout stays
    const bool wds = mode != kAccessPoint;

    r.ssidLabel->show();
    r.ssid->show();
    r.wdsGroup->setVisible(wds);
    r.wdsGroup->setTitle(mode == kWds ? " WDS without AP " : " WDS with AP ");
    r.repeaterGroup->hide();
    r.surveyGroup->hide();

    // Designed places, scaled as the form was.
    const FormScale& scale = Scale();
    const int top = wds ? kWdsTop : kAccessPointTop;
    const auto placeAt = [&scale](QWidget* control, int designedTop) {
        QRect designed = DesignedGeometry(control);
        designed.moveTop(designedTop);
        PlaceAsDesigned(control, designed, scale);
    };
    placeAt(r.authLabel, top);
    placeAt(r.authProxy, top - 4);
    placeAt(r.auth, top - 4);
    for (QGroupBox* group : {r.keyGroup, r.radiusGroup, r.pskGroup})
        placeAt(group, top + 17);
    for (QWidget* button : {static_cast<QWidget*>(ui->Bt_Apply), static_cast<QWidget*>(ui->Bt_Refresh),
                            static_cast<QWidget*>(ui->Bt_Close)})
        placeAt(button, top + 168);
    QRect pageControl = DesignedGeometry(ui->PC_Wirless);
    pageControl.setHeight(top + 165);
    PlaceAsDesigned(ui->PC_Wirless, pageControl, scale);
    setFixedSize(width(), scale.Y(top + 244));
    ui->StatusBar->setGeometry(0, height() - ui->StatusBar->height(), width(), ui->StatusBar->height());
    QRect modeLabel = DesignedGeometry(r.apModeLabel);
    modeLabel.moveLeft(159);
    PlaceAsDesigned(r.apModeLabel, modeLabel, scale);
    for (QComboBox* combo : {r.apModeProxy, r.apMode}) {
        QRect designed = DesignedGeometry(combo);
        designed.setRect(215, designed.y(), 125, designed.height());
        PlaceAsDesigned(combo, designed, scale);
    }

    // With the support flag the WDS modes fix the group key interval of the pass phrase.
    if (r.supportFlag->text() == "1")
        for (QWidget* control : {static_cast<QWidget*>(r.pskIntervalLabel), static_cast<QWidget*>(r.pskGroupKey),
                                 static_cast<QWidget*>(r.pskIntervalRange)})
            control->setVisible(!wds);

    r.authProxy->clear();
    r.authProxy->addItems(wds ? kWdsAuthentications : kAllAuthentications);
    SelectText(r.authProxy, r.auth->currentText());
    if (wds && r.authProxy->currentIndex() < 0)
        r.authProxy->setCurrentIndex(0);
    r.ssidBroadcast->setEnabled(true);

    // A WDS link needs a fixed channel.
    if (wds)
        r.autoScan->setCurrentIndex(0);
    r.autoScan->setEnabled(!wds);
    ChannelEnablingRule(r);
}

void TFM_Wirless::MacFieldStates(WirlessRadio& r)
{
    if (!SheetActive(r))
        return;
    ClearEmptySlots(r);
    const int mode = r.apMode->currentIndex();
    if (mode < 0)
        return;
    for (QLineEdit* edit : r.wds)
        SetEditable(edit, mode == kWdsWithAp || mode == kWds);
    SetEditable(r.rootMac, mode == kRepeater);
    SetEditable(r.clientRootMac, mode == kClient);
    SetEditable(r.clientSsid, mode == kClient);
}

bool TFM_Wirless::DuplicateWdsCheck(WirlessRadio& r)
{
    QStringList texts;
    for (const QLineEdit* edit : r.wds)
        texts << (r.wdsIgnoresCase ? edit->text().toUpper() : edit->text());
    for (int i = 0; i < texts.size(); ++i) {
        if (texts[i].isEmpty() || texts[i] == kEmptyMac)
            continue;
        if (texts.indexOf(texts[i], i + 1) > i) {
            Message("Exist same MAC address in 802.11g.", "Warning");
            return false;
        }
    }
    return true;
}

bool TFM_Wirless::ApModeValidation(WirlessRadio& r)
{
    QvSNMPVarList* partners = r.apModeEdits ? &r.apModeEdits->request.list : nullptr;
    QvSNMPVarItem* ssid = BasicEdits ? &BasicEdits->request.list.Item(WirlessVariables::kBasicItemsPerRadio * r.index)
                                     : nullptr;
    const auto setPartners = [&](int32_t access) {
        if (partners)
            for (int i = 1; i <= 8; ++i)
                partners->Item(i).access = access;
    };
    const auto setSsid = [&](int32_t access) {
        if (ssid)
            ssid->access = access;
    };
    const auto fail = [&](QLineEdit* edit, const QString& text, const QString& caption) {
        SetActiveSheet(r);
        Message(text, caption);
        edit->setFocus();
        return false;
    };
    setPartners(kAccessInvalid);
    setSsid(kAccessInvalid);

    switch (r.apMode->currentIndex()) {
    case kAccessPoint:
        setSsid(kAccessReadWrite);
        return true;
    case kWdsWithAp:
    case kWds:
        if (r.wds[0]->text().isEmpty())
            return fail(r.wds[0], "Please input MAC address in first blank space!", "Warning");
        for (size_t i = 1; i < r.wds.size(); ++i)
            if (r.wds[i]->text().isEmpty())
                r.wds[i]->setText(kEmptyMac);
        for (QLineEdit* edit : r.wds) {
            if (edit->text().size() != kMacDigits) {
                fail(edit, "The length is 12 in IEEE802.11g MAC address.", "Error");
                MacFieldStates(r);
                return false;
            }
        }
        setPartners(kAccessReadWrite);
        setSsid(kAccessReadWrite);
        return true;
    case kRepeater:
        if (r.rootMac->text().isEmpty())
            return fail(r.rootMac, "Please input MAC address in blank space!", "Error");
        if (r.rootMac->text().size() != kMacDigits)
            return fail(r.rootMac, "The length is 12 in IEEE802.11g Root AP MAC Address.", "Error");
        return true;
    case kClient:
        if (r.clientSsid->text().isEmpty())
            return fail(r.clientSsid, "Please input the SSID.", "Warning");
        if (r.clientSsid->text().startsWith(' '))
            return fail(r.clientSsid, "The first character can't be blank.", "Error");
        return true;
    default:
        return true;
    }
}
