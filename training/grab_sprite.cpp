#include "training/grab_sprite.h"

#include <algorithm>
#include <cstdlib>

#include "exercises/program_options.h"

namespace radevir {

void Sprite::SetArea(int left, int right, int top, int bottom) {
    minX = left;
    maxX = std::max(left, right - width);
    minY = top;
    maxY = std::max(top, bottom - height);
}

void Sprite::StandAt(int atX, int atY) {
    x = prevX = minX = maxX = atX;
    y = prevY = minY = maxY = atY;
}

void Sprite::Step() {
    prevX = x;
    prevY = y;
    if (StandsStill()) {
        x = minX;
        y = minY;
        return;
    }
    x += dx;
    y += dy;
    if (x >= maxX) dx = -std::abs(dx);
    if (x <= minX) dx = std::abs(dx);
    if (y >= maxY) dy = -std::abs(dy);
    if (y <= minY) dy = std::abs(dy);
}

std::array<bool, 4> ColourFlagsFromMask(int mask) {
    std::array<bool, 4> flags{};
    for (size_t i = 0; i < flags.size(); ++i) flags[i] = (mask >> i) & 1;
    return flags;
}

QRgb TintColour(const std::array<bool, 4>& flags, int backgroundColour, bool colourDifference) {
    constexpr int kFull = 255, kDim = 128;
    const auto part = [&](size_t flag) { return flags[flag] ? (flags[0] ? kDim : kFull) : 0; };
    const int a = part(1), b = part(2), c = part(3);
    using option::BackgroundColour;
    switch (backgroundColour) {
        case BackgroundColour::kBlack:
        case BackgroundColour::kNavy:
        case BackgroundColour::kMaroon:
            return qRgb(a, a, a);
        default:
            break;
    }
    if (colourDifference) return qRgb(a, b, c);
    if (backgroundColour == BackgroundColour::kGrey) return qRgb(c, a, a);
    return qRgb(b, c, a);
}

void SetColourFlags(Sprite& s, const std::array<bool, 4>& flags, int backgroundColour,
                    bool colourDifference) {
    if (flags == s.colourFlags) return;
    s.colourFlags = flags;
    s.tintApplied = true;
    if (s.image.isNull()) {
        s.tinted = QImage();
        return;
    }
    const QRgb tint = TintColour(flags, backgroundColour, colourDifference) | 0xFF000000u;
    s.tinted = s.image.convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < s.tinted.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(s.tinted.scanLine(row));
        for (int col = 0; col < s.tinted.width(); ++col) line[col] &= tint;
    }
}

}  // namespace radevir
