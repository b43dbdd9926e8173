// The resize layout of the rogue AP page: the frames follow the window, the two lists share
// the height below the detection settings, the buttons keep their places as fractions of
// their group's width and the check boxes stand in four even columns.
#include "pages/advanced/TFM_RogueForm.h"

#include "binding/QvStatusBar.h"
#include "binding/RadioGroup.h"
#include "ui_TFM_RogueForm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QTreeWidget>

#include <algorithm>

namespace {

// Widths the layout does not set keep their designed distance to the parent's right edge,
// as the designed form has them: frame 2 inside 1, the detection frame in 2, and so on.
constexpr int kDetectionFrameMargin = 4;  // GroupBox1 within Panel2
constexpr int kInnerPanelMargin = 16;     // Panel3 within GroupBox1
constexpr int kGroupMargin = 16;          // each group within Panel3
constexpr int kListMargin = 16;           // each list view within its group
constexpr int kListGap = 5;               // between and below the two list groups
constexpr int kColumnGap = 4;             // between a check box and the next column

void setHeight(QWidget* widget, int height) { widget->resize(widget->width(), std::max(0, height)); }
void setWidth(QWidget* widget, int width) { widget->resize(std::max(0, width), widget->height()); }
void setTop(QWidget* widget, int top) { widget->move(widget->x(), top); }
void setLeft(QWidget* widget, int left) { widget->move(left, widget->y()); }

} // namespace

void TFM_RogueForm::resizeEvent(QResizeEvent* event)
{
    QvPage::resizeEvent(event);
    Guard([this] { FormResize(); });
}

void TFM_RogueForm::FormResize()
{
    const int w = width();
    const int h = height();
    // The rules' distances are designed pixels, scaled as the form was; fractions stay.
    const FormScale& s = Scale();

    setHeight(ui->Panel1, h - s.Y(78));
    setWidth(ui->Panel1, w - s.X(8));
    ui->Panel2->resize(std::max(0, ui->Panel1->width() - s.X(23)), std::max(0, ui->Panel1->height() - s.Y(22)));
    ui->GroupBox1->resize(std::max(0, ui->Panel2->width() - s.X(kDetectionFrameMargin)),
                          std::max(0, ui->Panel2->height() - s.Y(5)));
    ui->Panel3->resize(std::max(0, ui->GroupBox1->width() - s.X(kInnerPanelMargin)),
                       std::max(0, ui->Panel2->height() - s.Y(24)));

    const int groupWidth = ui->Panel3->width() - s.X(kGroupMargin);
    for (QWidget* group : {static_cast<QWidget*>(ui->BSSTypRadGrp), static_cast<QWidget*>(ui->BandGroup),
                           static_cast<QWidget*>(ui->SecurityGroup), static_cast<QWidget*>(ui->RogueListGroup),
                           static_cast<QWidget*>(ui->APListGroup)})
        setWidth(group, groupWidth);

    // The lists share what the settings groups leave of Panel3 (C++ division rounds toward
    // zero, as the rule wants).
    const int below = ui->SecurityGroup->y() + ui->SecurityGroup->height();
    const int listHeight = (ui->Panel3->height() - below - s.Y(kListGap)) / 2;
    setTop(ui->RogueListGroup, below);
    setHeight(ui->RogueListGroup, listHeight);
    setTop(ui->APListGroup, below + std::max(0, listHeight) + s.Y(kListGap));
    setHeight(ui->APListGroup, listHeight);
    for (QTreeWidget* list : {ui->RogueListView, ui->AP_ListView}) {
        setHeight(list, listHeight - s.Y(43));
        setWidth(list, groupWidth - s.X(kListMargin));
    }
    for (QPushButton* button : {ui->DetectBtn, ui->AddBtn, ui->DelBtn, ui->ListDelBtn})
        setTop(button, listHeight - s.Y(24));
    const int listWidth = ui->RogueListGroup->width();
    setLeft(ui->DetectBtn, 201 * listWidth / 465);
    setLeft(ui->AddBtn, 289 * listWidth / 465);
    setLeft(ui->DelBtn, 377 * listWidth / 465);
    setLeft(ui->ListDelBtn, 377 * ui->APListGroup->width() / 465);

    ui->Apply_Btn->move(256 * w / 503, h - s.Y(74));
    ui->Cancel_Btn->move(381 * w / 503, h - s.Y(74));
    ui->StatusBar1->move(ui->StatusBar1->x(), h - s.Y(46));
    setWidth(ui->StatusBar1, w - s.X(8));

    // Four columns over the band group's width; the security boxes share them.
    const int g = ui->BandGroup->width();
    const int m = s.X(8);
    const int columns[] = {ui->CheckBox_11a->x(), (g - m) / 4 + m, (2 * g - 2 * m) / 4 + m, (g - m) * 3 / 4 + m};
    const struct {
        QCheckBox* box;
        int column;
    } boxes[] = {
        {ui->CheckBox_11b, 1},  {ui->CheckBox_11g, 2},   {ui->ChcBxo_wep, 1},    {ui->ChcBxo_eap, 2},
        {ui->ChcBxo_psk, 3},    {ui->WPA2PSKCkBox, 1},   {ui->WPA2AUTECkBox, 2}, {ui->WPA2AUTPCkBox, 3},
        {ui->CheckBox_11a, 0},  {ui->ChcBxo_off, 0},     {ui->WPA2EAPCkBox, 0},
    };
    const int columnWidth = columns[1] - columns[0] - s.X(kColumnGap);
    for (const auto& b : boxes) {
        setLeft(b.box, columns[b.column]);
        setWidth(b.box, columnWidth);
    }
}
