#include "printing/picture_print.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>

#include "graphics/picture_loader.h"
#include "printing/page_layout.h"
#include "support/native_files.h"

namespace radevir {
namespace {

constexpr QSize kClipboardPictureSize(640, 480);
constexpr qint64 kMaxPictureFileBytes = 128 * 1024 * 1024;

}  // namespace

bool IsPicturePrintName(const QString& name) { return name.contains(QLatin1String(".bmp"), Qt::CaseInsensitive); }

bool IsClipboardPrintName(const QString& name) {
    return name.contains(QLatin1String("Clipboard.bmp"), Qt::CaseInsensitive);
}

int PictureCopies(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < 1) return 1;
    return std::min(n, kMaxPictureCopies);
}

QImage ClipboardPictureForPrinting() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return {};
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull()) return {};
    return image.scaled(kClipboardPictureSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage PictureFileForPrinting(const QString& nativePath) {
    QFile file;
    if (!OpenNativeFile(file, nativePath) || file.size() > kMaxPictureFileBytes) return {};
    const Picture picture = Picture::FromBytes(file.readAll());
    if (!picture.IsValid()) return {};
    const QSizeF natural = picture.NaturalSize();
    const QSize size(std::max(1, qRound(natural.width())), std::max(1, qRound(natural.height())));
    return picture.Render(size, true);
}

std::vector<QRect> PictureCopyRects(QSize page, QSize picture, int copies) {
    std::vector<QRect> rects;
    if (page.isEmpty() || picture.isEmpty() || copies < 1) return rects;
    const int margin = page.width() / 8;
    const int top = page.height() / 16;
    int width = (page.width() - 2 * margin) / copies;
    int height = static_cast<int>(static_cast<qint64>(width) * picture.height() / picture.width());
    const int room = page.height() - 2 * top;
    if (height > room) {  // a tall picture is made smaller, not cut at the page's foot
        width = static_cast<int>(static_cast<qint64>(width) * room / height);
        height = room;
    }
    if (width < 1 || height < 1) return rects;
    for (int i = 0; i < copies; ++i) rects.emplace_back(margin + i * width, top, width, height);
    return rects;
}

int PrintPictureCopies(QPagedPaintDevice& device, const QImage& picture, int copies,
                       PrintProgress* progress) {
    if (picture.isNull()) return 0;
    const std::vector<QRect> rects = PictureCopyRects(QSize(device.width(), device.height()),
                                                      picture.size(), copies);
    if (rects.empty()) return 0;
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const QRect& rect : rects) {
        if (progress && progress->Cancelled()) break;
        painter.drawImage(rect, picture);
    }
    painter.end();
    return 1;
}

}  // namespace radevir
