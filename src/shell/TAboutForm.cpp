#include "shell/TAboutForm.h"

#include "binding/Contrast.h"
#include "binding/FormScale.h"
#include "binding/WindowAccess.h"
#include "shell/DevicePicture.h"
#include "shell/ModuleConstants.h"
#include "ui_TAboutForm.h"

#include <QKeyEvent>

TAboutForm::TAboutForm(QWidget* owner)
    : QDialog(owner), ui(std::make_unique<Ui::TAboutForm>())
{
    ui->setupUi(this);
    ScaleFormToFont(this);
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowMaximizeButtonHint
                   & ~Qt::WindowContextHelpButtonHint);
    ui->Label1->setText(QString(ModelName) + " Management Module");
    ui->Image1->setPixmap(ModuleIcon());
    // The release line is red, in a red that reads on the desktop's window colour, light or dark.
    QPalette release = ui->Label4->palette();
    release.setColor(QPalette::WindowText, ReadableOn(Qt::red, release.color(QPalette::Window)));
    ui->Label4->setPalette(release);
    connect(ui->BT_Ok, &QPushButton::clicked, this, &TAboutForm::BT_OkClick);
    ui->BT_Ok->installEventFilter(this);
    PrepareWindowAccessWhenShown(this);
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::BT_OkClick() { close(); }

void TAboutForm::BT_OkKeyDown(QKeyEvent* event)
{
    const Qt::KeyboardModifiers both = Qt::ShiftModifier | Qt::AltModifier;
    if (event->key() == Qt::Key_F3 && (event->modifiers() & both) == both)
        ui->Label4->setVisible(true);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->BT_Ok && event->type() == QEvent::KeyPress)
        BT_OkKeyDown(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}
