#include "console/vga_geometry.h"

#include <algorithm>

#include "support/rounding.h"

namespace radevir {

QRect VgaGeometry::FittedArea(QSize client) {
    int left = 0, top = 0;
    int width = client.width(), height = client.height();
    if (height > 0 && static_cast<double>(width) / height > 640.0 / 480.0) {
        const int reduce = width - static_cast<int>(640.0 / 480.0 * height);
        left += reduce / 2;
        width -= reduce;
    } else {
        const int reduce = height - static_cast<int>(static_cast<double>(width) * 480.0 / 640.0);
        top += reduce / 2;
        height -= reduce;
    }
    return QRect(left, top, width, height);
}

void VgaGeometry::Fit(QSize client) {
    clientSize = client;
    const QRect area = FittedArea(client);
    virtualOrigin = area.topLeft();
    virtualSize = area.size();
}

QPoint VgaGeometry::VgaToPixel(QPoint p) {
    if (keepAspect) {
        Fit(clientSize);
        return QPoint(Round(p.x() * static_cast<double>(virtualSize.width()) / 640.0) +
                          virtualOrigin.x(),
                      Round(p.y() * static_cast<double>(virtualSize.height()) / 480.0) +
                          virtualOrigin.y());
    }
    const int x = std::clamp(p.x(), 0, 640);
    const int y = std::min(p.y(), 480);
    return QPoint(Round(x * static_cast<double>(clientSize.width()) / 640.0),
                  Round(y * static_cast<double>(clientSize.height()) / 480.0));
}

QPoint VgaGeometry::PixelToVga(QPoint p) {
    if (keepAspect) {
        Fit(clientSize);
        if (virtualSize.width() <= 0 || virtualSize.height() <= 0) return {};
        return QPoint(Round((p.x() - virtualOrigin.x()) * 640.0 / virtualSize.width()),
                      Round((p.y() - virtualOrigin.y()) * 480.0 / virtualSize.height()));
    }
    if (clientSize.width() <= 0 || clientSize.height() <= 0) return {};
    return QPoint(Round(p.x() * 640.0 / clientSize.width()),
                  Round(p.y() * 480.0 / clientSize.height()));
}

QSize VgaGeometry::VgaSizeToPixel(QSize s) {
    if (keepAspect) {
        Fit(clientSize);
        return QSize(Round(s.width() * static_cast<double>(virtualSize.width()) / 640.0),
                     Round(s.height() * static_cast<double>(virtualSize.height()) / 480.0));
    }
    return QSize(Round(s.width() * static_cast<double>(clientSize.width()) / 640.0),
                 Round(s.height() * static_cast<double>(clientSize.height()) / 480.0));
}

QSize VgaGeometry::PixelSizeToVga(QSize s) {
    const QSize ref = keepAspect ? (Fit(clientSize), virtualSize) : clientSize;
    if (ref.width() <= 0 || ref.height() <= 0) return {};
    return QSize(Round(s.width() * 640.0 / ref.width()), Round(s.height() * 480.0 / ref.height()));
}

QRect VgaGeometry::VgaRectToPixel(QRect r) {
    return QRect(VgaToPixel(r.topLeft()), VgaToPixel(r.bottomRight()));
}

}  // namespace radevir
