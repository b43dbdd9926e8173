#include "shell/DevicePicture.h"

#include "shell/ModuleConstants.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

const QColor StatusLamp::kOn(0, 255, 0);
const QColor StatusLamp::kOff(0, 0, 0);

namespace {

constexpr int kLampSize = 11;

struct LampPlace {
    const char* name;
    const char* caption;
    int left;
    int top;
};

const LampPlace kLamps[] = {
    {"Sh_11g", "11g", 183, 53},
    {"Sh_11a", "11a", 209, 53},
    {"Sh_Lan", "LAN", 236, 53},
    {"Sh_power", "PWR", 262, 53},
};

} // namespace

StatusLamp::StatusLamp(const QString& name, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(name);
    setFixedSize(kLampSize, kLampSize);
}

void StatusLamp::setColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void StatusLamp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(70, 70, 70), 1));
    painter.setBrush(m_color);
    painter.drawEllipse(QRectF(0.5, 0.5, kLampSize - 1, kLampSize - 1));
    if (m_color != kOff) {  // a little shine on a lit lamp
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 120));
        painter.drawEllipse(QRectF(2.5, 2, 4, 3));
    }
}

DevicePicture::DevicePicture(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("DevicePicture");
    setFixedSize(kWidth, kHeight);
    StatusLamp** lamps[] = {&Sh_11g, &Sh_11a, &Sh_Lan, &Sh_power};
    for (size_t i = 0; i < 4; ++i) {
        *lamps[i] = new StatusLamp(kLamps[i].name, this);
        (*lamps[i])->move(kLamps[i].left, kLamps[i].top);
    }
}

void DevicePicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(236, 238, 241));

    // The housing: a brushed light-grey front with a darker lower lip.
    const QRectF body(8, 14, kWidth - 16, 68);
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    shade.setColorAt(0, QColor(250, 250, 252));
    shade.setColorAt(0.75, QColor(214, 218, 224));
    shade.setColorAt(1, QColor(168, 174, 184));
    p.setPen(QPen(QColor(120, 126, 136), 1));
    p.setBrush(shade);
    p.drawRoundedRect(body, 10, 10);

    // Antenna stubs on the top edge.
    p.setBrush(QColor(60, 64, 72));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(28, 4, 10, 12), 2, 2);
    p.drawRoundedRect(QRectF(kWidth - 38, 4, 10, 12), 2, 2);

    // Ventilation slots on the left.
    p.setBrush(QColor(150, 156, 166));
    for (int i = 0; i < 7; ++i)
        p.drawRoundedRect(QRectF(24 + i * 9, 30, 4, 34), 2, 2);

    // Model name and the lamp captions.
    QFont brand = font();
    brand.setBold(true);
    brand.setPointSizeF(10);
    p.setFont(brand);
    p.setPen(QColor(40, 52, 80));
    p.drawText(QRectF(96, 24, 150, 18), Qt::AlignLeft | Qt::AlignVCenter, ModelName);
    QFont small = font();
    small.setPointSizeF(6.5);
    p.setFont(small);
    p.setPen(QColor(70, 76, 88));
    for (const LampPlace& lamp : kLamps)
        p.drawText(QRectF(lamp.left - 8, lamp.top + kLampSize + 2, kLampSize + 16, 10), Qt::AlignCenter,
                   lamp.caption);
    p.drawText(QRectF(96, 42, 76, 12), Qt::AlignLeft | Qt::AlignVCenter, "Access Point");

    // The status window the lamps sit in.
    p.setPen(QPen(QColor(150, 156, 166), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(174, 46, 108, 36), 5, 5);
}

QPixmap ModuleIcon()
{
    // Drawn at the screen's own density, so it stays sharp where a pixel is smaller.
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap icon(QSize(32, 32) * ratio);
    icon.setDevicePixelRatio(ratio);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 64, 72), 2));
    p.drawLine(QPointF(8, 14), QPointF(6, 3));
    p.drawLine(QPointF(24, 14), QPointF(26, 3));
    p.setPen(QPen(QColor(90, 96, 108), 1));
    p.setBrush(QColor(220, 224, 230));
    p.drawRoundedRect(QRectF(2, 14, 28, 13), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(StatusLamp::kOn);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QRectF(8 + i * 5, 19, 3, 3));
    return icon;
}
