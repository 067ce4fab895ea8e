#include "PortraitArt.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace kx3 {

namespace {

const QColor Skin(0xf0, 0xc2, 0x96);
const QColor SkinShade(0xd9, 0xa4, 0x78);
const QColor Hair(0x4a, 0x2c, 0x1a);
const QColor Shirt(0x00, 0x80, 0x80);
const QColor ShirtDark(0x00, 0x5c, 0x5c);
const QColor Ink(0x2b, 0x1b, 0x12);

const QPointF LeftEye(108, 171);
const QPointF RightEye(162, 171);

QPixmap cutEyes(const QPixmap &portrait)
{
    const qreal ratio = portrait.devicePixelRatio();
    const QRect eyes = PortraitArt::eyeArea();
    return portrait.copy(QRect(eyes.topLeft() * ratio, eyes.size() * ratio));
}

} // namespace

QPixmap PortraitArt::portrait()
{
    return render(Eyes::Open);
}

QPixmap PortraitArt::blinkOverlay()
{
    return cutEyes(render(Eyes::Closed));
}

QPixmap PortraitArt::winkOverlay()
{
    return cutEyes(render(Eyes::Wink));
}

QPixmap PortraitArt::render(Eyes eyes)
{
    // Drawn for the densest screen attached, so that it is sharp there too;
    // the painting itself stays in portrait coordinates.
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap pixmap(size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackground(p);
    paintFigure(p);
    paintEye(p, LeftEye, eyes == Eyes::Open);
    paintEye(p, RightEye, eyes != Eyes::Closed);
    return pixmap;
}

void PortraitArt::paintBackground(QPainter &p)
{
    const QSize s = size();
    QLinearGradient sky(0, 0, 0, s.height());
    sky.setColorAt(0.0, QColor(0x9f, 0xd8, 0xe6));
    sky.setColorAt(0.7, QColor(0xf4, 0xfb, 0xfc));
    p.fillRect(QRect(QPoint(0, 0), s), sky);

    // A mown pitch behind the shoulders.
    const int pitchTop = 286;
    for (int i = 0; i < 6; ++i) {
        const QColor stripe = (i % 2) ? QColor(0x4c, 0x9a, 0x3f) : QColor(0x5a, 0xab, 0x4a);
        p.fillRect(QRect(0, pitchTop + i * 16, s.width(), 16), stripe);
    }
}

void PortraitArt::paintFigure(QPainter &p)
{
    // Shirt with a white collar, the club's teal.
    QPainterPath shirt;
    shirt.moveTo(18, 372);
    shirt.cubicTo(22, 310, 70, 292, 112, 284);
    shirt.lineTo(158, 284);
    shirt.cubicTo(200, 292, 248, 310, 252, 372);
    shirt.closeSubpath();
    QLinearGradient cloth(0, 284, 0, 372);
    cloth.setColorAt(0, Shirt);
    cloth.setColorAt(1, ShirtDark);
    p.setPen(QPen(ShirtDark, 2));
    p.setBrush(cloth);
    p.drawPath(shirt);

    // Neck, then the collar's V over it.
    p.setPen(Qt::NoPen);
    p.setBrush(SkinShade);
    p.drawRect(QRectF(114, 246, 42, 46));
    QPainterPath collar;
    collar.moveTo(108, 284);
    collar.lineTo(135, 318);
    collar.lineTo(162, 284);
    collar.lineTo(152, 284);
    collar.lineTo(135, 304);
    collar.lineTo(118, 284);
    collar.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(collar);

    // Hair as a cap behind the face, ears at its sides.
    p.setBrush(Hair);
    p.drawEllipse(QPointF(135, 150), 86, 92);
    p.setBrush(SkinShade);
    p.drawEllipse(QPointF(57, 180), 11, 18);
    p.drawEllipse(QPointF(213, 180), 11, 18);

    QRadialGradient face(QPointF(122, 160), 110);
    face.setColorAt(0, Skin.lighter(106));
    face.setColorAt(1, Skin);
    p.setBrush(face);
    p.drawEllipse(QPointF(135, 178), 76, 90);

    // Fringe over the forehead.
    QPainterPath fringe;
    fringe.moveTo(62, 150);
    fringe.cubicTo(66, 50, 204, 50, 210, 150);
    fringe.cubicTo(196, 118, 176, 112, 160, 124);
    fringe.cubicTo(150, 108, 122, 106, 112, 126);
    fringe.cubicTo(96, 114, 74, 122, 62, 150);
    p.setBrush(Hair);
    p.drawPath(fringe);

    // Eyebrows.
    p.setPen(QPen(Hair, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(92, 146, 32, 14), 30 * 16, 120 * 16);
    p.drawArc(QRectF(146, 146, 32, 14), 30 * 16, 120 * 16);

    // Nose and a broad smile.
    p.setPen(QPen(SkinShade.darker(120), 2.5, Qt::SolidLine, Qt::RoundCap));
    QPainterPath nose;
    nose.moveTo(137, 190);
    nose.cubicTo(128, 208, 126, 214, 138, 216);
    p.drawPath(nose);
    p.setPen(QPen(QColor(0x9c, 0x3b, 0x32), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(106, 212, 58, 30), 200 * 16, 140 * 16);

    // Rosy cheeks.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0x7d, 0x72, 70));
    p.drawEllipse(QPointF(95, 210), 13, 8);
    p.drawEllipse(QPointF(175, 210), 13, 8);
}

void PortraitArt::paintEye(QPainter &p, QPointF centre, bool open)
{
    if (open) {
        p.setPen(QPen(Ink, 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(centre, 15, 9);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3a, 0x6e, 0xa5));
        p.drawEllipse(centre, 7, 7);
        p.setBrush(Ink);
        p.drawEllipse(centre, 3.5, 3.5);
        p.setBrush(Qt::white);
        p.drawEllipse(centre + QPointF(2.5, -2.5), 1.6, 1.6);
        return;
    }
    // A shut eye: the lid covers the eye, its edge curves down, with lashes.
    p.setPen(Qt::NoPen);
    p.setBrush(Skin);
    p.drawEllipse(centre, 17, 11);
    p.setPen(QPen(Ink, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centre.x() - 15, centre.y() - 8, 30, 14), 200 * 16, 140 * 16);
    p.setPen(QPen(Ink, 1.5, Qt::SolidLine, Qt::RoundCap));
    for (const double dx : {-9.0, 0.0, 9.0})
        p.drawLine(centre + QPointF(dx, 5.5), centre + QPointF(dx * 1.2, 9.5));
}

} // namespace kx3
