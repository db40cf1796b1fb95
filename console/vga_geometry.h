// Placement of the 640×480 drawing area inside the client area: with KeepAspect a centred 4:3
// rectangle (VirtualOrigin, VirtualSize), without it the whole client area stretched.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace radevir {

struct VgaGeometry {
    bool keepAspect = true;
    QSize virtualSize{1280, 960};
    QPoint virtualOrigin{0, 0};
    QSize clientSize{1280, 960};

    // The centred 4:3 part of a client area (the rounding of the classic fitting).
    static QRect FittedArea(QSize client);
    // Recomputes VirtualOrigin and VirtualSize for the client size.
    void Fit(QSize client);

    QPoint VgaToPixel(QPoint vga);
    QPoint PixelToVga(QPoint pixel);
    QSize VgaSizeToPixel(QSize vga);
    QSize PixelSizeToVga(QSize pixel);
    QRect VgaRectToPixel(QRect vga);  // corner by corner
};

}  // namespace radevir
