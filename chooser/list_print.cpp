#include "chooser/list_print.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>

namespace radevir {
namespace {

// The screen font at the device's resolution.
QFont DeviceFont(const QFont& screen, bool bold) {
    QFont f = screen;
    if (screen.pixelSize() > 0) f.setPointSizeF(screen.pixelSize() * 72.0 / 96.0);
    f.setBold(bold);
    return f;
}

}  // namespace

int PrintListEntries(QPagedPaintDevice& device, const QFont& font, const Bytes& title,
                     const std::vector<Bytes>& entries) {
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    const int pageWidth = device.width();
    const int pageHeight = device.height();
    const int left = pageWidth / 12;
    const int top = pageHeight / 18;
    const int bottom = pageHeight - 2 * (pageHeight / 18);
    const QFont normal = DeviceFont(font, false);
    const QFont bold = DeviceFont(font, true);
    painter.setFont(normal);
    const int textHeight = QFontMetrics(normal, &device).height();
    const int rowAdvance = textHeight * 4 / 3;
    const int tabStops[4] = {0, 4 * left, 6 * left, 8 * left};
    const QString titleText = FromCp1252(title);

    int pages = 1;
    int y = top;
    auto printTitle = [&](const QString& text) {
        painter.setFont(bold);
        painter.drawText(left, y + painter.fontMetrics().ascent(), text);
        painter.setFont(normal);
        y += 2 * textHeight;
    };
    printTitle(titleText);
    for (size_t row = 0; row < entries.size(); row += 4) {
        if (y + textHeight > bottom) {
            device.newPage();
            ++pages;
            y = top;
            printTitle(QStringLiteral("Fortsetzung ") + titleText);
        }
        for (size_t col = 0; col < 4 && row + col < entries.size(); ++col)
            painter.drawText(left + tabStops[col], y + painter.fontMetrics().ascent(),
                             FromCp1252(entries[row + col]));
        y += rowAdvance;
    }
    painter.end();
    return pages;
}

}  // namespace radevir
