#include "platform/Dialogs.h"

#include "platform/LetGo.h"

#include <QFileDialog>
#include <QMessageBox>
#include <cstdio>

namespace {

class WidgetDialogs : public DialogProvider {
public:
    DialogResult message(QWidget* parent, const MessageRequest& request) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(request.caption);
        box.setText(request.text);
        switch (request.icon) {
        case DialogIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case DialogIcon::Information: box.setIcon(QMessageBox::Information); break;
        case DialogIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case DialogIcon::Error: box.setIcon(QMessageBox::Critical); break;
        case DialogIcon::Question: box.setIcon(QMessageBox::Question); break;
        }
        switch (request.buttons) {
        case DialogButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case DialogButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case DialogButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case DialogButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Ok: return DialogResult::Ok;
        case QMessageBox::Yes: return DialogResult::Yes;
        case QMessageBox::No: return DialogResult::No;
        default: return DialogResult::Cancel;
        }
    }

    QString file(QWidget* parent, const FileRequest& request) override
    {
        switch (request.kind) {
        case FileRequest::Open:
            return QFileDialog::getOpenFileName(parent, request.caption, request.folder, request.filter);
        case FileRequest::Save: {
            const QString start = request.fileName.isEmpty() ? request.folder
                                                             : request.folder + "/" + request.fileName;
            return QFileDialog::getSaveFileName(parent, request.caption, start, request.filter);
        }
        case FileRequest::Folder:
            return QFileDialog::getExistingDirectory(parent, request.caption, request.folder);
        }
        return {};
    }
};

// Without a person at the screen (scripts, headless runs): every message is written to
// standard error as "[caption] text" and answered with its first button; file dialogs are
// cancelled. Chosen by the environment variable VTA_UNATTENDED_DIALOGS.
class UnattendedDialogs : public DialogProvider {
public:
    DialogResult message(QWidget*, const MessageRequest& request) override
    {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(request.caption), qPrintable(request.text));
        std::fflush(stderr);
        switch (request.buttons) {
        case DialogButtons::YesNo:
        case DialogButtons::YesNoCancel: return DialogResult::Yes;
        default: return DialogResult::Ok;
        }
    }
    QString file(QWidget*, const FileRequest&) override { return {}; }
};

DialogProvider*& installed()
{
    static DialogProvider* provider = nullptr;
    return provider;
}

} // namespace

namespace Dialogs {

void install(DialogProvider* provider) { installed() = provider; }

DialogProvider& provider()
{
    static WidgetDialogs real;
    static UnattendedDialogs unattended;
    if (installed())
        return *installed();
    return qEnvironmentVariableIsSet("VTA_UNATTENDED_DIALOGS") ? static_cast<DialogProvider&>(unattended)
                                                               : static_cast<DialogProvider&>(real);
}

DialogResult message(QWidget* parent, const QString& text, const QString& caption,
                     DialogButtons buttons, DialogIcon icon)
{
    if (LetGo(parent)) {
        // The window has gone: a question gets the answer that does nothing.
        switch (buttons) {
        case DialogButtons::Ok: return DialogResult::Ok;
        case DialogButtons::YesNo: return DialogResult::No;
        default: return DialogResult::Cancel;
        }
    }
    return provider().message(parent, {text, caption, buttons, icon});
}

QString openFile(QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
{
    if (LetGo(parent))
        return {};
    return provider().file(parent, {FileRequest::Open, caption, folder, {}, filter});
}

QString saveFile(QWidget* parent, const QString& caption, const QString& folder,
                 const QString& fileName, const QString& filter)
{
    if (LetGo(parent))
        return {};
    return provider().file(parent, {FileRequest::Save, caption, folder, fileName, filter});
}

QString chooseFolder(QWidget* parent, const QString& caption, const QString& folder)
{
    if (LetGo(parent))
        return {};
    return provider().file(parent, {FileRequest::Folder, caption, folder, {}, {}});
}

} // namespace Dialogs
