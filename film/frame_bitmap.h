// Frame bitmaps of an animation: a picture fitted into the frame size on the background colour,
// and the frames of a strip file (records of four bit planes, 80 × 56 pixels each).
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRect>
#include <QSizeF>
#include <optional>

namespace radevir {

class Picture;

constexpr int kStripFrameWidth_px = 80;
constexpr int kStripFrameHeight_px = 56;
constexpr int kStripFramesPerFile = 12;
constexpr int kStripRecordBytes = kStripFrameWidth_px * kStripFrameHeight_px / 2 + 5;  // 2245

// The rectangle of aspect picture width : picture height that a frame of `width` × `height`
// pixels keeps for the picture, centred, its edges on even pixels. A height of 0 is taken from
// the picture's aspect at `width`.
QRect FrameRectangle(int width, int height, QSizeF pictureSize);

// The frame bitmap of a picture: the fitted rectangle's size plus `border` pixels each way,
// filled with `background`, the picture stretched over it from the top left (one pixel beyond
// the border). A null image for a picture without size.
QImage MakeFrameBitmap(const Picture& picture, int width, int height, QColor background, int border);

// Frame `index` of a strip file: every pixel set in the first bit plane dark grey on black.
// Nothing when the file is not a whole number of records or has no such frame.
std::optional<QImage> DecodeStripFrame(const QByteArray& file, int index);

}  // namespace radevir
