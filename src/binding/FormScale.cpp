#include "binding/FormScale.h"

#include "binding/Controls.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QTreeView>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace {

// The font the forms were designed with: its text height and the average width of its
// letters, both in pixels.
constexpr double kDesignedTextHeight = 13;
constexpr double kDesignedLetterWidth = 5.5;
constexpr const char* kDesignedGeometry = "designedGeometry";
const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

int scaled(int designed, double factor) { return qRound(designed * factor); }

// A size limit that is set (not Qt's "none") is scaled like a size.
void scaleLimits(QWidget* widget, const FormScale& scale)
{
    const QSize least = widget->minimumSize();
    const QSize most = widget->maximumSize();
    const QSize newMost(most.width() >= QWIDGETSIZE_MAX ? QWIDGETSIZE_MAX : scale.X(most.width()),
                        most.height() >= QWIDGETSIZE_MAX ? QWIDGETSIZE_MAX : scale.Y(most.height()));
    // The scale only grows, so the upper limit moves first.
    if (newMost != most)
        widget->setMaximumSize(newMost);
    if (!least.isNull())
        widget->setMinimumSize(scale.Size(least));
}

void scaleColumns(QTreeView* list, const FormScale& scale)
{
    QHeaderView* header = list->header();
    for (int column = 0; column < header->count(); ++column)
        if (!header->isSectionHidden(column) && header->sectionSize(column) > 0)
            header->resizeSection(column, scale.X(header->sectionSize(column)));
}

} // namespace

FormScale FormScale::ForFont(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const double letterWidth = metrics.horizontalAdvance(kLetters) / kLetters.size();
    return FormScale(std::max(1.0, letterWidth / kDesignedLetterWidth),
                     std::max(1.0, metrics.height() / kDesignedTextHeight));
}

int FormScale::X(int designed) const { return scaled(designed, m_x); }

int FormScale::Y(int designed) const { return scaled(designed, m_y); }

QSize FormScale::Size(QSize designed) const { return {X(designed.width()), Y(designed.height())}; }

QRect FormScale::Rect(const QRect& designed) const
{
    const int left = X(designed.x());
    const int top = Y(designed.y());
    return {left, top, X(designed.x() + designed.width()) - left, Y(designed.y() + designed.height()) - top};
}

FormScale ScaleFormToFont(QWidget* form)
{
    const FormScale scale = FormScale::ForFont(form->font());
    if (scale.IsIdentity())
        return scale;
    for (QWidget* control : form->findChildren<QWidget*>()) {
        if (!PlacedByForm(control))
            continue;
        control->setProperty(kDesignedGeometry, control->geometry());
        scaleLimits(control, scale);
        control->setGeometry(scale.Rect(control->geometry()));
    }
    for (QTreeView* list : form->findChildren<QTreeView*>())
        scaleColumns(list, scale);
    scaleLimits(form, scale);
    form->resize(scale.Size(form->size()));
    return scale;
}

QRect DesignedGeometry(const QWidget* control)
{
    const QVariant designed = control->property(kDesignedGeometry);
    return designed.isValid() ? designed.toRect() : control->geometry();
}

void PlaceAsDesigned(QWidget* control, const QRect& designed, const FormScale& scale)
{
    control->setProperty(kDesignedGeometry, designed);
    control->setGeometry(scale.Rect(designed));
}
