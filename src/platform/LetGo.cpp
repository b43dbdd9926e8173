#include "platform/LetGo.h"

#include <QWidget>

namespace {
constexpr const char* kLetGoProperty = "vtaLetGo";
}

void LetGoOfWindow(QWidget* window)
{
    if (window)
        window->window()->setProperty(kLetGoProperty, true);
}

bool LetGo(const QWidget* widget)
{
    for (const QWidget* w = widget ? widget->window() : nullptr; w;
         w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        if (w->property(kLetGoProperty).toBool())
            return true;
    return false;
}
