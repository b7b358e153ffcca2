// The playlist reader over arbitrary file bytes: every record it accepts must hold a lane, a
// sane length and ordered edit points, whatever the file says; and an open followed by a save
// must give back every record line, the loaded ones as records that read again and the others
// byte for byte, after them and in the order they were read.
#include <cmath>
#include <cstdint>

#include "model/clip.h"
#include "model/playlist_format.h"

namespace {

// A clip made of a record as the lanes make it at zoom 1 and scroll 0.
model::ClipRef clipOf(const model::PlaylistRecord& r) {
    const model::ClipPlacement p = model::clipPlacement(r, 1, 0);
    auto c = std::make_shared<model::Clip>();
    c->centre = p.left + p.duration / 2;
    c->name = p.name;
    c->path = p.path;
    c->lengthPx = p.duration;
    c->fadeInEnd = p.fadeInEnd;
    c->fadeOutStart = p.fadeOutStart;
    c->inPoint = p.inpoint;
    c->outPoint = p.outpoint;
    c->lane = p.lane;
    c->label = p.label;
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    model::isPlaylist(bytes);
    model::KeptRecords kept;
    std::vector<model::ClipRef> lanes[2];
    int records = 0;
    model::PlaylistLineReader reader(bytes);
    for (QByteArrayView line; reader.next(line);) {
        if (line.contains('\r') || line.contains('\n')) __builtin_trap();
        records += model::isRecordLine(line);
        model::PlaylistRecord r;
        if (model::parseRecord(line, r) != model::RecordParse::Read) {
            if (model::isRecordLine(line)) kept.add(line);
            continue;
        }
        const bool ordered = 0 <= r.inpoint && r.inpoint <= r.fadeInEnd &&
                             r.fadeInEnd <= r.fadeOutStart && r.fadeOutStart <= r.outpoint &&
                             r.outpoint <= r.lengthSeconds;
        if ((r.lane != 1 && r.lane != 2) || !model::clipSecondsAccepted(r.lengthSeconds) ||
            !std::isfinite(r.xpos) || !ordered || r.label < 0 || r.label > 7 ||
            !r.path.startsWith(u'/'))
            __builtin_trap();
        for (double zoom : {0.25, 4.0}) {
            const auto p = model::clipPlacement(r, zoom, 120);
            if (!std::isfinite(p.left) || !std::isfinite(p.duration)) __builtin_trap();
        }
        lanes[r.lane - 1].push_back(clipOf(r));
    }

    // The save: every record line comes back out.
    QString error;
    const QByteArray lane1 = model::formatLaneRecords(lanes[0], 1, &error);
    const QByteArray lane2 = model::formatLaneRecords(lanes[1], 1, &error);
    if (!error.isEmpty()) __builtin_trap();  // nothing read can hold a line break
    const QByteArray saved = model::playlistText(lane1, lane2, kept);
    if (!saved.startsWith(model::playlistHeaderLine()) || !saved.endsWith(kept.text()))
        __builtin_trap();
    int out = 0, rereadable = 0;
    model::PlaylistLineReader again(saved);
    for (QByteArrayView line; again.next(line);) {
        if (!model::isRecordLine(line)) continue;
        ++out;
        model::PlaylistRecord r;
        rereadable += model::parseRecord(line, r) == model::RecordParse::Read;
    }
    const int loaded = static_cast<int>(lanes[0].size() + lanes[1].size());
    if (out != records || rereadable != loaded) __builtin_trap();
    return 0;
}
