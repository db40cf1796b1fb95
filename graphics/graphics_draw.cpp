// Drawing primitives in 640×480 units: lines, rectangles, bars (with the margin rule), the
// bevelled bar, ellipses and arcs, and bitmap transfers.
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "graphics/graphics.h"
#include "support/rounding.h"

namespace radevir {

QPen Graphics::CurrentPen() const {
    const CanvasState& c = console_.Canvas();
    QPen pen(c.penColour, c.penWidth, c.penStyle, Qt::RoundCap, Qt::RoundJoin);
    if (c.penWidth <= 1) pen.setCapStyle(Qt::SquareCap);
    return pen;
}

QBrush Graphics::CurrentBrush() const {
    const CanvasState& c = console_.Canvas();
    return QBrush(c.brushColour, c.brushStyle);
}

void Graphics::ApplyPenMode(QPainter& painter) const {
    painter.setCompositionMode(console_.Canvas().penXor ? QPainter::RasterOp_SourceXorDestination
                                                        : QPainter::CompositionMode_SourceOver);
}

void Graphics::Line(int x1, int y1, int x2, int y2) {
    const QPoint a = VgaToPixel({x1, y1});
    const QPoint b = VgaToPixel({x2, y2});
    QPainter p(&DrawTarget());
    ApplyPenMode(p);
    p.setPen(CurrentPen());
    p.drawLine(a, b);
    Repaint();
}

void Graphics::ThickLine(int x1, int y1, int x2, int y2, bool thick) {
    CanvasState& c = console_.Canvas();
    if (!thick) {
        Line(x1, y1, x2, y2);
        return;
    }
    const int kept = c.penWidth;
    c.penWidth = std::max(1, Round(VirtualSize().width() / 600.0));
    const QPoint a = VgaToPixel({x1, y1});
    const QPoint b = VgaToPixel({x2, y2});
    {
        QPainter p(&DrawTarget());
        ApplyPenMode(p);
        p.setPen(CurrentPen());
        p.drawLine(a, b);
        if (c.penWidth > 1) p.drawLine(a - QPoint(1, 1), b - QPoint(1, 1));
    }
    c.penWidth = kept;
    Repaint();
}

void Graphics::HorizontalLine(int y, bool thick) {
    CanvasState& c = console_.Canvas();
    const int row = VgaToPixel({0, y}).y();
    const int width = console_.Host().ClientSize().width();
    const int kept = c.penWidth;
    if (thick) c.penWidth = std::max(1, Round(VirtualSize().width() / 600.0));
    {
        QPainter p(&DrawTarget());
        ApplyPenMode(p);
        p.setPen(CurrentPen());
        p.drawLine(0, row, width, row);
        if (thick && c.penWidth > 1) p.drawLine(0, row - 1, width, row - 1);
    }
    c.penWidth = kept;
    Repaint();
}

void Graphics::Rectangle(int x1, int y1, int x2, int y2) {
    const QPoint a = VgaToPixel({std::min(x1, x2), std::min(y1, y2)});
    const QPoint b = VgaToPixel({std::max(x1, x2), std::max(y1, y2)});
    QPainter p(&DrawTarget());
    ApplyPenMode(p);
    p.setPen(CurrentPen());
    p.setBrush(Qt::NoBrush);
    p.drawRect(a.x(), a.y(), b.x() - a.x(), b.y() - a.y());  // outline on a..b inclusive
    Repaint();
}

QRect Graphics::BarPixelRect(int x1, int y1, int x2, int y2) {
    x2 += 1;
    y2 += 1;
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    const QPoint a = VgaToPixel({x1, y1});
    const QPoint b = VgaToPixel({x2, y2});
    int left = a.x(), top = a.y(), right = b.x(), bottom = b.y();  // right/bottom exclusive
    // bars across the whole width or height also cover the margins beside the 640×480 area
    const QSize client = console_.Host().ClientSize();
    const bool wide = x2 - x1 > 600;
    const bool wideOrTall = y2 - y1 > 400 || wide;
    if (y1 <= 1 && wide) top = 0;
    if (y2 >= 479 && wide) bottom = client.height();
    if (x1 <= 1 && wideOrTall) left = 0;
    if (x2 >= 639 && wideOrTall) right = client.width();
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void Graphics::Bar(int x1, int y1, int x2, int y2) {
    const QRect r = BarPixelRect(x1, y1, x2, y2);
    if (console_.Canvas().brushStyle == Qt::NoBrush || r.isEmpty()) return;
    QPainter p(&DrawTarget());
    p.fillRect(r, CurrentBrush());
    Repaint();
}

void Graphics::Bar3D(int x1, int y1, int x2, int y2, int depth, bool /*top*/) {
    QPoint a = VgaToPixel({std::min(x1, x2), std::min(y1, y2)});
    QPoint b = VgaToPixel({std::max(x1, x2), std::max(y1, y2)});
    const int d = std::clamp(depth, 0, 4096);
    const int w = b.x() - a.x();
    const int h = b.y() - a.y();
    const bool xorMode = console_.Graphics().xorWriteMode;
    QImage& window = Window();
    // The bevelled bar is drawn in a work bitmap laid over the target area: the front face sits
    // on (X1, Y1)-(X2, Y2), the top and side faces reach `d` pixels up and right.
    const QRect area(a.x(), a.y() - d, w + d + 1, h + d + 1);
    QImage work(area.size(), QImage::Format_RGB32);
    if (xorMode) {
        work.fill(Qt::black);
    } else {
        work.fill(Qt::black);
        QPainter copy(&work);
        copy.setCompositionMode(QPainter::CompositionMode_Source);
        copy.drawImage(QPoint(0, 0), window, area);
    }
    {
        QPainter p(&work);
        QPen pen = CurrentPen();
        pen.setWidth(1);
        pen.setCapStyle(Qt::SquareCap);
        p.setPen(pen);
        p.setBrush(CurrentBrush());
        const QPoint top[4] = {{0, d}, {d, 0}, {w + d, 0}, {w, d}};
        const QPoint side[4] = {{w, h + d}, {w, d}, {w + d, 0}, {w + d, h}};
        const QPoint front[4] = {{w, h + d}, {0, h + d}, {0, d}, {w, d}};
        p.drawPolygon(top, 4);
        p.drawPolygon(side, 4);
        p.drawPolygon(front, 4);
        if (console_.Canvas().brushStyle != Qt::NoBrush && w > 1 && h > 1)
            p.fillRect(QRect(QPoint(1, d + 1), QPoint(w - 1, h + d - 1)), CurrentBrush());
    }
    {
        QPainter p(&window);
        p.setCompositionMode(xorMode ? QPainter::RasterOp_SourceXorDestination
                                     : QPainter::CompositionMode_Source);
        p.drawImage(area.topLeft(), work);
    }
    Repaint();
}

void Graphics::FillEllipse(int x, int y, int xRadius, int yRadius) {
    const QPoint a = VgaToPixel({x - xRadius, y - yRadius});
    const QPoint b = VgaToPixel({x + xRadius, y + yRadius});
    QPainter p(&DrawTarget());
    ApplyPenMode(p);
    p.setPen(CurrentPen());
    p.setBrush(CurrentBrush());
    p.drawEllipse(QRect(a, b - QPoint(1, 1)));
    Repaint();
}

void Graphics::DrawPolyline(QImage& target, const std::vector<QPointF>& points) {
    QPainter p(&target);
    ApplyPenMode(p);
    p.setPen(CurrentPen());
    p.drawPolyline(points.data(), static_cast<int>(points.size()));
}

void Graphics::EllipseArc(int x, int y, int startAngle, int endAngle, int xRadius, int yRadius) {
    if (startAngle == endAngle) return;
    if (startAngle < 0) startAngle += 360;
    if (endAngle < 0) endAngle += 360;
    const QPoint a = VgaToPixel({x - xRadius, y - yRadius});
    const QPoint b = VgaToPixel({x + xRadius, y + yRadius});
    const QRectF box = QRectF(QPointF(a), QPointF(b)).normalized();
    const QPointF centre = box.center();
    const double rx = box.width() / 2.0;
    const double ry = box.height() / 2.0;
    // The arc runs counter-clockwise from the start ray to the end ray; a ray's angle is the
    // direction from the centre (screen y grows downwards), turned into the ellipse parameter.
    auto parameter = [&](double degrees) {
        const double r = degrees * std::numbers::pi / 180.0;
        return std::atan2(rx * std::sin(r), ry * std::cos(r));
    };
    double t0 = parameter(startAngle);
    double t1 = parameter(endAngle);
    while (t1 <= t0) t1 += 2 * std::numbers::pi;
    const int steps = std::clamp(static_cast<int>((t1 - t0) * std::max(rx, ry) / 2.0), 8, 4000);
    std::vector<QPointF> points;
    points.reserve(static_cast<size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i) {
        const double t = t0 + (t1 - t0) * i / steps;
        points.emplace_back(centre.x() + rx * std::cos(t), centre.y() - ry * std::sin(t));
    }
    DrawPolyline(DrawTarget(), points);
    Repaint();
}

void Graphics::Arc(int x, int y, int startAngle, int endAngle, int radius) {
    EllipseArc(x, y, startAngle, endAngle, radius, radius);
}

void Graphics::PutImage(int x, int y, const QImage& bitmap, int /*operation*/) {
    if (bitmap.isNull()) return;
    const QPoint at = VgaToPixel({x, y});
    QRect source(QPoint(0, 0), bitmap.size());
    if (KeepAspect()) {
        // cut at the right and bottom edge of the 640×480 area
        const QPoint origin = VirtualOrigin();
        const QSize size = VirtualSize();
        const int right = origin.x() + size.width();
        const int bottom = origin.y() + size.height();
        if (at.x() + source.width() > right) source.setWidth(std::max(0, right - at.x()));
        if (at.y() + source.height() > bottom) source.setHeight(std::max(0, bottom - at.y()));
        if (source.isEmpty()) return;
    }
    QPainter p(&Window());
    p.setCompositionMode(console_.Canvas().copyXor ? QPainter::RasterOp_SourceXorDestination
                                                   : QPainter::CompositionMode_Source);
    p.drawImage(at, bitmap, source);
    Repaint();
}

void Graphics::GetImage(int x1, int y1, int x2, int y2, QImage& bitmap) {
    const QPoint a = VgaToPixel({std::min(x1, x2), std::min(y1, y2)});
    const QPoint b = VgaToPixel({std::max(x1, x2), std::max(y1, y2)});
    const QRect area(a, b);
    bitmap = QImage(area.size(), QImage::Format_RGB32);
    bitmap.fill(Qt::black);
    QPainter p(&bitmap);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), Window(), area);
}

void Graphics::PutMaskedImage(int x, int y, const QImage& image, const QImage& mask) {
    if (image.isNull()) return;
    const QPoint at = VgaToPixel({x, y});
    QPainter p(&DrawTarget());
    if (!mask.isNull()) {
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(at, mask);
    }
    p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    p.drawImage(at, image);
}

}  // namespace radevir
