#pragma once

#include <QPixmap>
#include <QRect>
#include <QSize>

class QPainter;

namespace kx3 {

/// The splash portrait, drawn in code so that the program ships no image files.
///
/// The overlays are cut from the same drawing with other eyes, so that laid
/// over eyeArea() of the portrait they match it pixel for pixel.
class PortraitArt
{
public:
    enum class Eyes { Open, Closed, Wink };

    static QSize size() { return {270, 372}; }
    /// Where the overlays go, in portrait coordinates.
    static QRect eyeArea() { return {84, 156, 102, 30}; }

    static QPixmap portrait();
    /// Both eyes shut: a blink.
    static QPixmap blinkOverlay();
    /// One eye shut: a wink.
    static QPixmap winkOverlay();

private:
    static QPixmap render(Eyes eyes);
    static void paintBackground(QPainter &p);
    static void paintFigure(QPainter &p);
    static void paintEye(QPainter &p, QPointF centre, bool open);
};

} // namespace kx3
