#pragma once
// The export of the mix as one movie with a sound track per lane, as plain logic over a copy of
// the lanes: where each clip sounds, which clip wins where clips of a lane overlap, which clips
// cannot be used, and the text that reports them. No widgets: it runs off the UI thread.

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "media/movie_writer.h"

namespace documents {

// What the export needs of one clip, copied from the lane when the export starts. Lengths and
// positions are timeline pixels, as the clip holds them.
struct ExportClip {
    QString path;
    QString name;
    double inPoint = 0;   // in point, from the clip's left edge
    double outPoint = 0;  // out point, from the clip's left edge
    double lengthPx = 0;  // the clip's width
    double centre = 0;    // absolute centre on the time axis
    int lane = 1;         // 1 or 2
};

// Both lanes; each lane's clips in their stacking order (the last one lies on top).
struct MixSnapshot {
    double zoom = 1;  // timeline pixels per second
    std::vector<ExportClip> clips;
};

// Where a clip sounds: seconds [from, to) of its lane's track, from `media` seconds of its file.
struct SoundingSection {
    double trackFrom = 0, trackTo = 0, media = 0;
};
// The section of the clip's media that the mix plays, at the second it plays it; before second
// 0 it is cut off. trackTo <= trackFrom means the clip contributes nothing.
SoundingSection placeClip(const ExportClip& clip, double zoom);

// The two tracks' sections in samples: clips of a lane that overlap give way to the one above.
// `stream[i]` is clip i's sound stream, or -1 for a clip that is left out.
struct TrackPlan {
    std::array<media::MovieTrackLayout, 2> tracks;
    int64_t length = 0;  // both tracks run to the end of the last section of either
};
TrackPlan planTracks(const MixSnapshot& mix, const std::vector<int>& stream);

struct ExportResult {
    media::MovieWriteResult::Outcome outcome = media::MovieWriteResult::Outcome::Failed;
    QString problem;  // why it failed
    int skipped = 0;  // clips left out
    struct LeftOut {
        QString name;
        media::SoundSourceProbe::Status reason;
    };
    std::vector<LeftOut> leftOut;  // each of them, in mix order
};

// Writes the movie: opens each clip's media, plans the tracks and writes them. Call it off the
// UI thread; `control` reports progress and takes a cancel.
ExportResult exportMix(const MixSnapshot& mix, const QString& target,
                       media::MovieWriteControl& control);

// The status line after a written movie; names every clip that was left out, and why.
QString exportedText(const QString& fileName, const ExportResult& result);

}  // namespace documents
