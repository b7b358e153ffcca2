#pragma once
// Widget-free arithmetic of the lanes: hit tests, handle places, drag repaint regions, the
// release's overlap probes, the ruler, the head search and the time text.

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "model/clip.h"

namespace model {

// The hit tests and marks below take places on a lane scrolled by scrollX.

// Topmost clip whose time span holds x strictly (an edge is outside).
ClipRef lineHit(const std::vector<ClipRef>& pics, double x, double scrollX);
// The clip a head moving right from x reaches next: the nearest left edge at or beyond x (the
// head is inside a clip only past its edge), if the clip
// there is the one lineHit() finds just past that edge; nullptr while that edge lies under a
// clip above it.
ClipRef nextHit(const std::vector<ClipRef>& pics, double x, double scrollX);
// The nearest place beyond x where a head moving right meets something of a clip: an edge, the
// in or out point, or the end or start of a fade; infinity when there is none.
double nextMark(const std::vector<ClipRef>& pics, double x, double scrollX);
// Topmost clip whose picture holds the point strictly.
ClipRef picHit(const std::vector<ClipRef>& pics, double x, double y, double scrollX);

// A picture where a lane draws it, in lane pixels.
struct PicturePlace {
    const model::Picture* picture;
    int left, top, width, height;
};
// The places, bottom first, that are not wholly hidden in the columns from..to by opaque
// pictures above them in the same rows: drawing only these gives the same pixels.
std::vector<const PicturePlace*> uncoveredPlaces(const std::vector<PicturePlace>& places, int from,
                                                 int to);

// Picture size of a clip; a clip without a picture counts as its whole length by 30.
int pictureWidth(const Clip& clip);
int pictureHeight(const Clip& clip);

struct HandlePlaces {
    int inPointLeft, outPointLeft, fadeInLeft, fadeOutLeft;
    int topRow;     // Top of the in and out point handles
    int bottomRow;  // Top of the fade handles
};
// Where the four handles stand for a clip on a lane whose top is laneTop.
HandlePlaces handlePlaces(const Clip& clip, double scrollX, int laneTop, int inPointHeight);

struct Rect {
    int left, top, width, height;
    bool operator==(const Rect&) const = default;
};
// The region a drag step repaints: the clip's old and new places together.
Rect dragRepaintRect(int oldX, int newX, int picWidth, int picHeight, int y);

// Whether a clip released at its current place overlaps another clip of the lane: probes at
// each edge and at the centre, where the clip itself does not count. Touching is not
// overlapping, as for drops, pastes and nudges.
bool releaseCollides(const std::vector<ClipRef>& pics, const Clip& clip, double scrollX);

// A step of `step` pixels along the lane as far as the clip may go: its left edge stops at the
// start of the timeline (a clip already left of it goes no further left).
double stepClampedAtStart(const Clip& clip, double step);

struct RulerLabel {
    QString text;
    int left;
    bool operator==(const RulerLabel&) const = default;
};
// The five ruler labels on the 300-pixel grid for a scroll offset and zoom.
std::array<RulerLabel, 5> rulerLabels(double scrollX, double pixelsPerSecond);

// The 400-pixel page that holds a head (its visible position plus the scroll offset).
int headPage(double visible, double scrollX);

// Scroll bar maximum for a zoom, or nothing when the zoom leaves it alone.
std::optional<int> scrollMaximum(double pixelsPerSecond);

// Seconds as "H.MM:SS"; the fraction of a second is dropped; negative or NaN shows 0.00:00.
QString timeText(double seconds);
// The same text written into a buffer of the caller's, without allocating (for the 10 ms tick);
// returns its length.
inline constexpr int kTimeTextCapacity = 16;
int writeTimeText(double seconds, char (&out)[kTimeTextCapacity]);

// The program's own clip drag: which clip, from which lane, in this very process.
struct ClipDrag {
    quintptr clip = 0;
    int lane = 0;
    qint64 pid = 0;
};
QByteArray encodeClipDrag(const Clip* clip, int lane);
// Only a drag made by this process decodes; anything else gives nothing.
std::optional<ClipDrag> decodeClipDrag(const QByteArray& data);

}  // namespace model
