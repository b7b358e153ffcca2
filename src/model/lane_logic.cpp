#include "model/lane_logic.h"

#include <QCoreApplication>
#include <QList>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "model/numtext.h"

namespace model {

std::vector<const PicturePlace*> uncoveredPlaces(const std::vector<PicturePlace>& places, int from,
                                                 int to) {
    // Covered columns per band of rows, as disjoint half-open intervals (start -> end); clips
    // all stand in one band, so this stays as small as the lane is wide.
    std::map<std::pair<int, int>, std::map<int64_t, int64_t>> covered;
    const auto isCovered = [](const std::map<int64_t, int64_t>& set, int64_t a, int64_t b) {
        auto it = set.upper_bound(a);
        if (it == set.begin()) return false;
        --it;
        return it->first <= a && it->second >= b;
    };
    const auto cover = [](std::map<int64_t, int64_t>& set, int64_t a, int64_t b) {
        auto it = set.upper_bound(a);
        if (it != set.begin() && std::prev(it)->second >= a) {
            --it;
            a = it->first;
            b = std::max(b, it->second);
            it = set.erase(it);
        }
        while (it != set.end() && it->first <= b) {
            b = std::max(b, it->second);
            it = set.erase(it);
        }
        set.emplace(a, b);
    };
    std::vector<const PicturePlace*> shown;
    for (auto p = places.rbegin(); p != places.rend(); ++p) {
        const int64_t a = std::max<int64_t>(p->left, from);
        const int64_t b = std::min<int64_t>(int64_t{p->left} + p->width, to);
        if (a >= b) continue;
        auto& band = covered[{p->top, p->height}];
        if (isCovered(band, a, b)) continue;
        shown.push_back(&*p);
        if (p->picture && p->picture->opaque()) cover(band, a, b);
    }
    std::reverse(shown.begin(), shown.end());
    return shown;
}

ClipRef lineHit(const std::vector<ClipRef>& pics, double x, double scrollX) {
    for (auto it = pics.rbegin(); it != pics.rend(); ++it) {
        const Clip& c = **it;
        const double centre = c.visibleCentre(scrollX);
        if (centre - c.lengthPx / 2 < x && x < centre + c.lengthPx / 2) return *it;
    }
    return nullptr;
}

ClipRef nextHit(const std::vector<ClipRef>& pics, double x, double scrollX) {
    ClipRef best;
    double bestLeft = 0;
    for (auto it = pics.rbegin(); it != pics.rend(); ++it) {
        const double left = (*it)->visibleLeft(scrollX);
        // An edge right at the head is still to come: the head is inside a clip only past it.
        if (left >= x && (!best || left < bestLeft)) best = *it, bestLeft = left;
    }
    if (!best) return nullptr;
    const double justPast = bestLeft + std::min(best->lengthPx / 2, 1e-3);
    return lineHit(pics, justPast, scrollX) == best ? best : nullptr;
}

double nextMark(const std::vector<ClipRef>& pics, double x, double scrollX) {
    double nearest = std::numeric_limits<double>::infinity();
    for (const ClipRef& pic : pics) {
        const Clip& c = *pic;
        const double left = c.visibleLeft(scrollX);
        for (const double offset : c.marks()) {
            const double mark = left + offset;
            if (mark > x && mark < nearest) nearest = mark;
        }
    }
    return nearest;
}

int pictureWidth(const Clip& clip) {
    return clip.image && !clip.image->isNull() ? clip.image->width()
                                               : std::max(1, whole(clip.lengthPx));
}

int pictureHeight(const Clip& clip) {
    return clip.image && !clip.image->isNull() ? clip.image->height() : 30;
}

ClipRef picHit(const std::vector<ClipRef>& pics, double x, double y, double scrollX) {
    for (auto it = pics.rbegin(); it != pics.rend(); ++it) {
        const Clip& c = **it;
        if (std::abs(x - c.visibleCentre(scrollX)) < pictureWidth(c) / 2.0 &&
            std::abs(y - kClipCentreY) < pictureHeight(c) / 2.0)
            return *it;
    }
    return nullptr;
}

HandlePlaces handlePlaces(const Clip& p, double scrollX, int laneTop, int inPointHeight) {
    const double centre = p.visibleCentre(scrollX);
    const double left = centre - p.lengthPx / 2;
    return {whole((centre + p.inPoint - p.lengthPx / 2) - 6),
            whole(left + p.outPoint),
            whole((centre + p.fadeInEnd - p.lengthPx / 2) - 4),
            whole((left + p.fadeOutStart) - 4),
            laneTop - inPointHeight,
            laneTop + 33};
}

Rect dragRepaintRect(int oldX, int newX, int w, int h, int y) {
    const int left = whole(std::min(oldX, newX) - w / 2);
    const int width = whole(std::max(oldX, newX) - w / 2 + w - left);
    return {left, y - h / 2, width, h};
}

bool releaseCollides(const std::vector<ClipRef>& pics, const Clip& clip, double scrollX) {
    const double centre = clip.visibleCentre(scrollX);
    const ClipRef a = lineHit(pics, centre - clip.lengthPx / 2, scrollX);
    const ClipRef b = lineHit(pics, centre + clip.lengthPx / 2, scrollX);
    const ClipRef c = lineHit(pics, centre, scrollX);
    return a || b || (c && c.get() != &clip);
}

double stepClampedAtStart(const Clip& clip, double step) {
    const double left = clip.timelineLeft();
    if (step >= 0 || left + step >= 0) return step;
    return std::min(0.0, -left);
}

std::array<RulerLabel, 5> rulerLabels(double scrollX, double pixelsPerSecond) {
    const int base = scrollX > 1 ? 300 * (whole(scrollX) / 300) : 0;
    std::array<RulerLabel, 5> out;
    for (int i = 0; i < 5; ++i) {
        const double p = base + 300.0 * i;
        out[i] = {timeText(pixelsPerSecond > 0 ? p / pixelsPerSecond : 0), whole(p - scrollX)};
    }
    return out;
}

int headPage(double visible, double scrollX) { return whole((visible + scrollX) / 400); }

std::optional<int> scrollMaximum(double pixelsPerSecond) {
    if (pixelsPerSecond == 1) return 900;
    if (pixelsPerSecond == 2) return 1800;
    if (pixelsPerSecond == 4) return 3600;
    return std::nullopt;
}

int writeTimeText(double seconds, char (&out)[kTimeTextCapacity]) {
    if (!(seconds > 0)) seconds = 0;  // negative and NaN read as the start
    // The text depends on the whole seconds only: H.MM:SS with as many hour digits as needed.
    const int32_t n = whole(seconds);
    const int32_t h = n / 3600, m = n % 3600 / 60, s = n % 60;
    char hours[12];
    int digits = 0;
    for (int32_t v = h; digits == 0 || v > 0; v /= 10)
        hours[digits++] = static_cast<char>('0' + v % 10);
    int size = 0;
    while (digits > 0) out[size++] = hours[--digits];
    for (char c :
         {'.', char('0' + m / 10), char('0' + m % 10), ':', char('0' + s / 10), char('0' + s % 10)})
        out[size++] = c;
    return size;
}

QString timeText(double seconds) {
    char text[kTimeTextCapacity];
    return QString::fromLatin1(text, writeTimeText(seconds, text));
}

QByteArray encodeClipDrag(const Clip* clip, int lane) {
    return QByteArray::number(static_cast<qulonglong>(reinterpret_cast<quintptr>(clip)), 16) + ' ' +
           QByteArray::number(lane) + ' ' + QByteArray::number(QCoreApplication::applicationPid());
}

std::optional<ClipDrag> decodeClipDrag(const QByteArray& data) {
    if (data.size() > 64) return std::nullopt;
    const QList<QByteArray> parts = data.split(' ');
    if (parts.size() != 3) return std::nullopt;
    bool ok1 = false, ok2 = false, ok3 = false;
    ClipDrag d;
    d.clip = static_cast<quintptr>(parts[0].toULongLong(&ok1, 16));
    d.lane = parts[1].toInt(&ok2);
    d.pid = parts[2].toLongLong(&ok3);
    if (!ok1 || !ok2 || !ok3 || d.clip == 0 || (d.lane != 1 && d.lane != 2) ||
        d.pid != QCoreApplication::applicationPid()) {
        return std::nullopt;
    }
    return d;
}

}  // namespace model
