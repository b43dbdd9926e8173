#pragma once

#include <QString>

class QWidget;

// Every message box and file dialog of the module goes through this seam, so tests can
// answer them with a recorder instead of a person.
enum class DialogButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class DialogIcon { None, Information, Warning, Error, Question };
enum class DialogResult { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString text;
    QString caption;
    DialogButtons buttons = DialogButtons::Ok;
    DialogIcon icon = DialogIcon::None;
};

struct FileRequest {
    enum Kind { Open, Save, Folder } kind = Open;
    QString caption;
    QString folder;    // where the dialog starts
    QString fileName;  // proposed name (save)
    QString filter;    // Qt filter text, e.g. "Firmware (*.bin);;All files (*)"
};

class DialogProvider {
public:
    virtual ~DialogProvider() = default;
    virtual DialogResult message(QWidget* parent, const MessageRequest& request) = 0;
    // The chosen path, or an empty text when the user cancelled.
    virtual QString file(QWidget* parent, const FileRequest& request) = 0;
};

namespace Dialogs {

// Replaces the provider (tests install a recorder); nullptr restores the real dialogs.
void install(DialogProvider* provider);
DialogProvider& provider();

DialogResult message(QWidget* parent, const QString& text, const QString& caption,
                     DialogButtons buttons = DialogButtons::Ok, DialogIcon icon = DialogIcon::None);
QString openFile(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);
QString saveFile(QWidget* parent, const QString& caption, const QString& folder,
                 const QString& fileName, const QString& filter);
QString chooseFolder(QWidget* parent, const QString& caption, const QString& folder);

} // namespace Dialogs
