#pragma once

#include <QRect>
#include <QSize>

class QFont;
class QWidget;

// The forms give their geometry in pixels for the small font they were designed with (an
// 8-point Windows font at 96 dots per inch: text 13 pixels high, letters 5.5 pixels wide on
// average). With another font a form is scaled once, when it is created, by how the font in
// use compares with that one: across by the letters' average width, down by the text's
// height. A font no larger than the designed one leaves the form at its designed size.
class FormScale {
public:
    FormScale() = default;
    // How a form shown with this font compares with its design.
    static FormScale ForFont(const QFont& font);

    double x() const { return m_x; }
    double y() const { return m_y; }
    bool IsIdentity() const { return m_x == 1 && m_y == 1; }

    // A designed distance across and down.
    int X(int designed) const;
    int Y(int designed) const;
    QSize Size(QSize designed) const;
    // Edges are scaled, not sizes, so controls that touch in the design still touch and
    // those apart stay apart.
    QRect Rect(const QRect& designed) const;

private:
    FormScale(double x, double y) : m_x(x), m_y(y) {}
    double m_x = 1;
    double m_y = 1;
};

// Scales what form's design placed by the scale of its font, once: the form's size and
// its size limits, every control the form places itself (position, size and limits; what
// a layout places follows by itself) and the widths of list columns. Returns the scale.
FormScale ScaleFormToFont(QWidget* form);

// Where the form's design puts the control, in designed pixels: where the form file put it,
// or the place PlaceAsDesigned gave it since.
QRect DesignedGeometry(const QWidget* control);
// Gives the control another designed place and puts it where the scale puts that place. A
// page that moves controls (rows that close up, a sheet laid out for a mode) works in
// designed pixels this way, so controls that line up in the design line up on the screen.
void PlaceAsDesigned(QWidget* control, const QRect& designed, const FormScale& scale);
