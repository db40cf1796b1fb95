// Draws the pictures of the pause between two drill tasks: 22 frames of a child running to the
// right (frame 21 doubles as the figure standing at its goal), a green tick for a task solved
// without error and a red cross for a wrong one.
// Usage: radevir_make_figures FOLDER [CONTACT_SHEET.png]
//
// The run puts frame r at x = 72.6 · (r div 22): a whole cycle stands at one place, so the child
// moves inside the picture, 3.3 units per frame, and the next cycle starts exactly where the
// last frame left off. The pictures are loaded 55 units high with the width taken from their
// aspect, so a frame is 100 units wide and fits the 59-unit band below y 421; the marker is 30
// units wide, one per 32-unit step of the row.
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QString>
#include <QtMath>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

// --- sizes ----------------------------------------------------------------------------------

constexpr double kPixelsPerUnit = 4.0;  // pictures are drawn finer than the 640×480 screen
constexpr double kFrameWidthUnits = 100.0;
constexpr double kPictureHeightUnits = 55.0;
constexpr double kMarkerWidthUnits = 30.0;
constexpr int kRunFrames = 22;
constexpr double kCycleAdvanceUnits = 72.6;  // where the run puts the next cycle
constexpr double kFrameAdvanceUnits = kCycleAdvanceUnits / kRunFrames;  // 3.3

// The child, in 640×480 units.
constexpr double kGroundY = 53.4;
constexpr double kHipHeight = 21.2;      // above the ground at mid-stance
constexpr double kBobUnits = 1.0;        // lowest at mid-stance, highest in flight
constexpr double kThigh = 11.4, kShin = 11.4;
constexpr double kTorso = 14.5;
constexpr double kLeanDegrees = 12.0;
constexpr double kHeadRadius = 6.9;
constexpr double kUpperArm = 7.0, kForearm = 6.0;
constexpr double kArmSwingDegrees = 40.0;
constexpr double kElbowBendDegrees = 85.0;
constexpr double kStanceShare = 0.22;    // part of the cycle a foot is on the ground
constexpr double kFootLift = 8.0;        // highest point of the swinging foot (heel behind)
constexpr double kFirstHipX = 15.0;      // hip of frame 0 inside the picture
constexpr double kOutline = 0.8;         // dark edge around every part

const QColor kSkin(255, 206, 160), kSkinFar(222, 170, 128);
const QColor kShirt(255, 214, 30), kShirtFar(222, 170, 20);
const QColor kShorts(40, 190, 80), kShortsFar(30, 150, 60);
const QColor kShoe(250, 250, 250), kShoeFar(200, 200, 200);
const QColor kHair(214, 112, 36);
const QColor kEdge(40, 24, 20);

// Half the way a planted foot travels backwards under the moving hip.
constexpr double kStanceHalfUnits = kFrameAdvanceUnits * kStanceShare * kRunFrames / 2.0;

QPointF Polar(double length, double degreesFromDown) {
    const double a = qDegreesToRadians(degreesFromDown);
    return {length * std::sin(a), length * std::cos(a)};  // 0° straight down, 90° forward
}

// Where a leg's foot is, relative to the point on the ground below the hip, at its phase
// (0 = the foot right under the hip in mid-stance, the cycle once around in 1).
QPointF FootAt(double phase) {
    phase -= std::floor(phase + 0.5);  // -0.5 … 0.5
    const double halfStance = kStanceShare / 2.0;
    if (std::abs(phase) <= halfStance)  // planted: the hip passes over it
        return {-phase / halfStance * kStanceHalfUnits, 0.0};
    // swinging from behind (just lifted) to the front (about to land)
    double t = phase > 0 ? phase - halfStance : phase + 1.0 - halfStance;
    t /= 1.0 - kStanceShare;
    const double x = -kStanceHalfUnits * std::cos(M_PI * t);
    // the heel kicks up behind early in the swing and the foot comes forward low, so that in
    // mid-stance of the other leg it hangs just off the ground (frame 21 also stands)
    constexpr double kLiftPeak = 0.4;  // the largest value of sin(πt)·(1−t)²
    const double lift = kFootLift / kLiftPeak * std::sin(M_PI * t) * (1 - t) * (1 - t);
    return {x, -lift};
}

// Knee of a two-part leg from hip to foot, bending forward.
QPointF KneeFor(QPointF hip, QPointF foot) {
    QLineF reach(hip, foot);
    const double maxReach = kThigh + kShin - 0.05;
    if (reach.length() > maxReach) reach.setLength(maxReach);
    const double d = reach.length();
    const double cosHip = (kThigh * kThigh + d * d - kShin * kShin) / (2 * kThigh * d);
    const double bend = qRadiansToDegrees(std::acos(std::clamp(cosHip, -1.0, 1.0)));
    QLineF thigh = reach;
    thigh.setLength(kThigh);
    QLineF a = thigh, b = thigh;
    a.setAngle(thigh.angle() + bend);
    b.setAngle(thigh.angle() - bend);
    return a.p2().x() > b.p2().x() ? a.p2() : b.p2();
}

struct Limb {
    std::array<QPointF, 3> joints;  // hip/shoulder, knee/elbow, foot/hand
};

struct Pose {
    QPointF hip, shoulder, head;
    Limb nearLeg, farLeg, nearArm, farArm;
};

Pose PoseOfFrame(int frame) {
    // frame 21 is mid-stance of the near leg: both legs under the body, arms beside it, the
    // lowest point of the bob — the pose that also reads as standing
    const double phase = (frame + 1) / static_cast<double>(kRunFrames);
    Pose pose;
    const double hipX = kFirstHipX + frame * kFrameAdvanceUnits;
    const double bob = kBobUnits * std::cos(4 * M_PI * phase);
    pose.hip = {hipX, kGroundY - kHipHeight + bob};
    pose.shoulder = pose.hip + Polar(kTorso, 180.0 - kLeanDegrees);
    pose.head = pose.shoulder + Polar(1.2 + kHeadRadius, 180.0 - kLeanDegrees - 4.0);

    auto leg = [&](double legPhase) {
        const QPointF foot = QPointF(hipX, kGroundY) + FootAt(legPhase);
        return Limb{{pose.hip, KneeFor(pose.hip, foot), foot}};
    };
    pose.nearLeg = leg(phase);
    pose.farLeg = leg(phase + 0.5);

    // each arm swings against the leg of its side
    auto arm = [&](double legPhase) {
        const double legForward = FootAt(legPhase).x() / kStanceHalfUnits;
        const double upper = -kArmSwingDegrees * legForward;
        const QPointF elbow = pose.shoulder + Polar(kUpperArm, upper);
        return Limb{{pose.shoulder, elbow, elbow + Polar(kForearm, upper + kElbowBendDegrees)}};
    };
    pose.nearArm = arm(phase);
    pose.farArm = arm(phase + 0.5);
    return pose;
}

// --- drawing --------------------------------------------------------------------------------

void Stroke(QPainter& p, const QPainterPath& path, double width, const QColor& colour) {
    p.strokePath(path, QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

QPainterPath LimbPath(const Limb& limb) {
    QPainterPath path(limb.joints[0]);
    path.lineTo(limb.joints[1]);
    path.lineTo(limb.joints[2]);
    return path;
}

// A part drawn as its dark edge first, then its colour inside.
void Part(QPainter& p, const QPainterPath& path, double width, const QColor& colour) {
    Stroke(p, path, width + 2 * kOutline, kEdge);
    Stroke(p, path, width, colour);
}

void Blob(QPainter& p, const QPainterPath& shape, const QColor& colour) {
    p.setPen(QPen(kEdge, kOutline * 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPath(shape);
}

void DrawLeg(QPainter& p, const Limb& leg, bool near) {
    // shorts over the thigh, skin below, a shoe pointing forward
    QPainterPath thigh(leg.joints[0]);
    thigh.lineTo(QLineF(leg.joints[0], leg.joints[1]).pointAt(0.55));
    Part(p, LimbPath(leg), 3.0, near ? kSkin : kSkinFar);
    Part(p, thigh, 4.4, near ? kShorts : kShortsFar);
    const QPointF ankle = leg.joints[2];
    QPainterPath shoe;
    shoe.addRoundedRect(QRectF(ankle.x() - 1.8, ankle.y() - 1.9, 5.4, 3.2), 1.4, 1.4);
    Blob(p, shoe, near ? kShoe : kShoeFar);
}

void DrawArm(QPainter& p, const Limb& arm, bool near) {
    QPainterPath sleeve(arm.joints[0]);
    sleeve.lineTo(QLineF(arm.joints[0], arm.joints[1]).pointAt(0.5));
    Part(p, LimbPath(arm), 2.5, near ? kSkin : kSkinFar);
    Part(p, sleeve, 3.6, near ? kShirt : kShirtFar);
    QPainterPath hand;
    hand.addEllipse(arm.joints[2], 1.35, 1.35);
    Blob(p, hand, near ? kSkin : kSkinFar);
}

void DrawChild(QPainter& p, const Pose& pose) {
    DrawArm(p, pose.farArm, false);
    DrawLeg(p, pose.farLeg, false);
    // body: a rounded shirt from hip to shoulder
    QPainterPath body(pose.hip);
    body.lineTo(pose.shoulder);
    Part(p, body, 7.6, kShirt);
    DrawLeg(p, pose.nearLeg, true);

    // head in profile, looking the way it runs
    const QPointF c = pose.head;
    QPainterPath head;
    head.addEllipse(c, kHeadRadius, kHeadRadius);
    Blob(p, head, kSkin);
    QPainterPath hair;
    hair.moveTo(c + QPointF(kHeadRadius * 0.55, -kHeadRadius * 0.75));
    hair.arcTo(QRectF(c.x() - kHeadRadius - 0.4, c.y() - kHeadRadius - 0.6, 2 * kHeadRadius + 0.8,
                      2 * kHeadRadius + 0.8),
               55, 150);
    hair.quadTo(c + QPointF(-1.5, -2.0), c + QPointF(kHeadRadius * 0.55, -kHeadRadius * 0.75));
    Blob(p, hair, kHair);
    p.setPen(Qt::NoPen);
    p.setBrush(kEdge);
    p.drawEllipse(c + QPointF(3.0, -1.2), 0.9, 1.1);  // eye
    QPainterPath mouth(c + QPointF(2.4, 2.6));
    mouth.quadTo(c + QPointF(4.2, 3.6), c + QPointF(5.6, 2.0));
    Stroke(p, mouth, 0.7, kEdge);
    QPainterPath cheek;
    cheek.addEllipse(c + QPointF(1.4, 1.6), 1.3, 0.9);
    p.setBrush(QColor(250, 150, 130));
    p.drawPath(cheek);

    DrawArm(p, pose.nearArm, true);
}

QImage Canvas(double widthUnits) {
    QImage image(qRound(widthUnits * kPixelsPerUnit), qRound(kPictureHeightUnits * kPixelsPerUnit),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void Begin(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(kPixelsPerUnit, kPixelsPerUnit);
}

QImage RunFrame(int frame) {
    QImage image = Canvas(kFrameWidthUnits);
    QPainter p(&image);
    Begin(p);
    DrawChild(p, PoseOfFrame(frame));
    return image;
}

enum class Mark { Correct, Wrong };

QImage Marker(Mark mark) {
    QImage image = Canvas(kMarkerWidthUnits);
    QPainter p(&image);
    Begin(p);
    // a disc in the middle of the band with a white tick or cross: told apart by shape, too
    const QPointF c(kMarkerWidthUnits / 2, kPictureHeightUnits / 2 + 2);
    const double r = 12.0;
    QPainterPath disc;
    disc.addEllipse(c, r, r);
    Blob(p, disc, mark == Mark::Correct ? QColor(20, 185, 60) : QColor(225, 30, 30));
    QPainterPath sign;
    if (mark == Mark::Correct) {
        sign.moveTo(c + QPointF(-6.0, 0.5));
        sign.lineTo(c + QPointF(-1.8, 4.8));
        sign.lineTo(c + QPointF(6.2, -5.0));
    } else {
        sign.moveTo(c + QPointF(-5.0, -5.0));
        sign.lineTo(c + QPointF(5.0, 5.0));
        sign.moveTo(c + QPointF(5.0, -5.0));
        sign.lineTo(c + QPointF(-5.0, 5.0));
    }
    Stroke(p, sign, 3.6, Qt::white);
    return image;
}

// --- checks ---------------------------------------------------------------------------------

// Left and right ends of a picture's visible pixels, in units.
std::pair<double, double> InkSpan(const QImage& image) {
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) < 16) continue;
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    return {left / kPixelsPerUnit, (right + 1) / kPixelsPerUnit};
}

// The frames must leave nothing behind: the next cycle's picture starts 72.6 units further on,
// so the strip before it keeps what the last frame had there, and the loader crops a little of
// every edge.
bool FramesStayInside(const std::array<QImage, kRunFrames>& frames) {
    constexpr double kEdgeMargin = 1.2;
    bool ok = true;
    for (int f = 0; f < kRunFrames; ++f) {
        const auto [left, right] = InkSpan(frames[f]);
        if (left < kEdgeMargin || right > kFrameWidthUnits - kEdgeMargin) {
            std::fprintf(stderr, "make_figures: frame %d reaches the edge (%.1f … %.1f)\n", f, left, right);
            ok = false;
        }
    }
    const double lastLeft = InkSpan(frames[kRunFrames - 1]).first;
    if (lastLeft < kCycleAdvanceUnits) {
        std::fprintf(stderr, "make_figures: frame %d starts at %.1f, before the next cycle's %.1f\n",
                     kRunFrames - 1, lastLeft, kCycleAdvanceUnits);
        ok = false;
    }
    return ok;
}

// For people: every picture on the three band colours at 2 pixels per unit, and one cycle as
// the screen shows it, frame after frame, with the next cycle's first frame beside it.
QImage ContactSheet(const std::array<QImage, kRunFrames + 2>& pictures) {
    constexpr int kScale = 2;
    const QColor bands[] = {QColor(0, 0, 255), QColor(128, 0, 240), QColor(0, 0, 0)};
    const int cellW = static_cast<int>(kFrameWidthUnits) * kScale + 8;
    const int cellH = static_cast<int>(kPictureHeightUnits) * kScale + 8;
    constexpr int kColumns = 8;
    const int rowsPerBand = (kRunFrames + 2 + kColumns - 1) / kColumns;
    const int trailH = cellH * 2;
    QImage sheet(cellW * kColumns, cellH * rowsPerBand * 3 + trailH, QImage::Format_RGB32);
    sheet.fill(QColor(90, 90, 90));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int b = 0; b < 3; ++b) {
        for (int i = 0; i < kRunFrames + 2; ++i) {
            const QImage scaled =
                pictures[i].scaledToHeight(static_cast<int>(kPictureHeightUnits) * kScale, Qt::SmoothTransformation);
            const QPoint at((i % kColumns) * cellW + 4, (b * rowsPerBand + i / kColumns) * cellH + 4);
            p.fillRect(QRect(at, scaled.size()), bands[b]);
            p.drawImage(at, scaled);
        }
    }
    // the run on the blue band: every frame of a cycle drawn over the last (as opaque bitmaps,
    // like the screen), the figure's every position kept as a faint trace below
    const int y0 = cellH * rowsPerBand * 3 + 4;
    const int w = static_cast<int>(kFrameWidthUnits) * kScale;
    const int h = static_cast<int>(kPictureHeightUnits) * kScale;
    p.fillRect(QRect(0, y0, sheet.width(), trailH - 8), bands[0]);
    for (int r = 0; r < 3 * kRunFrames; ++r) {
        const int x = qRound(kCycleAdvanceUnits * (r / kRunFrames) * kScale);
        QImage opaque(w, h, QImage::Format_RGB32);
        opaque.fill(bands[0]);
        QPainter q(&opaque);
        q.drawImage(0, 0, pictures[r % kRunFrames].scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        q.end();
        p.drawImage(x, y0, opaque);
        p.setOpacity(0.35);
        p.drawImage(x, y0 + h, pictures[r % kRunFrames].scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        p.setOpacity(1.0);
    }
    return sheet;
}

bool Save(const QImage& image, const QString& path) {
    if (image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) return true;
    std::fprintf(stderr, "make_figures: cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER [CONTACT_SHEET.png]\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    std::array<QImage, kRunFrames> frames;
    for (int f = 0; f < kRunFrames; ++f) frames[f] = RunFrame(f);
    if (!FramesStayInside(frames)) return 1;

    std::array<QImage, kRunFrames + 2> pictures;
    std::copy(frames.begin(), frames.end(), pictures.begin());
    pictures[kRunFrames] = Marker(Mark::Correct);
    pictures[kRunFrames + 1] = Marker(Mark::Wrong);
    for (int i = 0; i < kRunFrames + 2; ++i)
        if (!Save(pictures[i], QStringLiteral("%1/brot%2.png").arg(folder).arg(i))) return 1;
    if (argc == 3 && !Save(ContactSheet(pictures), QString::fromLocal8Bit(argv[2]))) return 1;
    return 0;
}
