// Printing a picture: a picture file or the clipboard's picture, n copies side by side across
// the top of one page.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

class QPagedPaintDevice;

namespace radevir {

class PrintProgress;

// Where a job asks for a picture instead of a text: a name containing ".bmp"; with
// "Clipboard.bmp" the picture is the clipboard's.
bool IsPicturePrintName(const QString& name);
bool IsClipboardPrintName(const QString& name);

constexpr int kMaxPictureCopies = 20;
// The number of copies from its command-line text: 1 when absent, not a number or below 1,
// at most kMaxPictureCopies.
int PictureCopies(const QString& text);

// The clipboard's picture at 640 × 480, or the picture file (any format the program reads);
// a null image when there is none.
QImage ClipboardPictureForPrinting();
QImage PictureFileForPrinting(const QString& nativePath);

// The places of the copies on a page of `page` pixels: margins of a page width ÷ 8 at the left
// and right and a page height ÷ 16 at the top, each copy (page width − 2 × margin) ÷ n wide and
// as high as the picture's aspect asks (smaller when that would not fit the page).
std::vector<QRect> PictureCopyRects(QSize page, QSize picture, int copies);

// Prints the copies as one job (one page); the number of pages, 0 when nothing was printed.
int PrintPictureCopies(QPagedPaintDevice& device, const QImage& picture, int copies,
                       PrintProgress* progress = nullptr);

}  // namespace radevir
