#include "platform/ExceptionGuard.h"

#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <exception>

void ShowExceptionBox(const char* message, QWidget* parent)
{
    Dialogs::message(parent, QString::fromLocal8Bit(message), QCoreApplication::applicationName(),
                     DialogButtons::Ok, DialogIcon::Error);
}

bool RunGuarded(const std::function<void()>& handler, QWidget* parent)
{
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        ShowExceptionBox(error.what(), parent);
    } catch (...) {
        ShowExceptionBox("Unknown error", parent);
    }
    return false;
}
