#include "binding/WindowAccess.h"

#include "binding/AccessibleNames.h"
#include "binding/KeyboardAccess.h"

#include <QDialog>
#include <QEvent>

namespace {

class FirstShow : public QObject {
public:
    explicit FirstShow(QWidget* window) : QObject(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched == parent()) {
            PrepareWindowAccess(static_cast<QWidget*>(watched));
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

} // namespace

void PrepareWindowAccess(QWidget* window)
{
    NameControls(window);
    SetReadingTabOrder(window);
    if (auto* dialog = qobject_cast<QDialog*>(window))
        SetDefaultButton(dialog);
}

void PrepareWindowAccessWhenShown(QWidget* window) { new FirstShow(window); }
