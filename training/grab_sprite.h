// One moving picture of the grab game: its picture and AND mask, where it is and where it may
// go, its tint and its part in the game. Data and arithmetic only; the game's shell draws it.
#pragma once

#include <QImage>
#include <QRgb>
#include <array>

namespace radevir {

struct Sprite {
    QImage image;   // the picture on black
    QImage mask;    // black where the picture shows, white elsewhere
    QImage tinted;  // the picture combined (AND) with the tint colour, once a colour flag changed
    bool tintApplied = false;

    // Position and previous position, 640×480 units; velocity in units per frame.
    int x = 0, y = 0, prevX = 0, prevY = 0;
    int dx = 1, dy = 1;
    // Where the top-left corner may go (maxX/maxY already less the sprite's size).
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    int width = 0, height = 0;

    std::array<bool, 4> colourFlags{};  // 0 dims, 1–3 are the colour components
    bool placed = false;                // sits in its place in the task row
    bool grabbed = false;               // follows the mouse
    bool fixed = false;                 // does not drift (placed, or a palette digit at home)
    bool shown = true;

    const QImage& Picture() const { return tintApplied ? tinted : image; }
    // The top-left corner may go from (left, top) to (right, bottom) less the sprite's size.
    void SetArea(int left, int right, int top, int bottom);
    // Limits collapsed to one point: the sprite stands there.
    void StandAt(int atX, int atY);
    bool StandsStill() const { return minX == maxX && minY == maxY; }
    // One frame's move: a step of (dx, dy), turning back at the limits. Outside its limits a
    // sprite heads back into them (a tile above the drift area drifts down into it).
    void Step();
};

// The flags of a bit mask: bit n sets flag n.
std::array<bool, 4> ColourFlagsFromMask(int mask);
// The colour a sprite's picture is combined with for its flags: each of the flags 1–3 gives 255
// when set, 128 when set with the dim flag, else 0; the three values make up the colour as the
// screen's background colour and the colour difference option want it.
QRgb TintColour(const std::array<bool, 4>& flags, int backgroundColour, bool colourDifference);
// Sets the flags; when they changed, the picture is tinted anew.
void SetColourFlags(Sprite& sprite, const std::array<bool, 4>& flags, int backgroundColour,
                    bool colourDifference);

}  // namespace radevir
