#include "platform/LetGo.h"

#include <QObject>
#include <QVariant>

namespace {
constexpr const char* kLetGoProperty = "vtaLetGo";
}

void LetGoOfWindow(QObject* window)
{
    if (window)
        window->setProperty(kLetGoProperty, true);
}

bool LetGo(const QObject* object)
{
    // A control's owners lead to its window and on to the window that opened it.
    for (const QObject* o = object; o; o = o->parent())
        if (o->property(kLetGoProperty).toBool())
            return true;
    return false;
}
