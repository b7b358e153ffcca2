#include "documents/movie_export.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <map>

#include "model/numtext.h"

namespace documents {

namespace {

using Status = media::SoundSourceProbe::Status;

// Seconds to samples of the movie, to the nearest one.
int64_t samples(double seconds) {
    return model::whole(std::floor(seconds * media::kMovieRate + 0.5));
}

// Paints a clip's section over the lane's track: what lay under it gives way, an earlier
// section it cuts through goes on after it from the matching place in its media.
void paintOver(media::MovieTrackLayout& track, const media::MovieSection& s) {
    media::MovieTrackLayout out;
    out.reserve(track.size() + 2);
    for (const media::MovieSection& old : track) {
        if (old.trackTo <= s.trackFrom || old.trackFrom >= s.trackTo) {
            out.push_back(old);
            continue;
        }
        if (old.trackFrom < s.trackFrom) {
            media::MovieSection left = old;
            left.trackTo = s.trackFrom;
            out.push_back(left);
        }
        if (old.trackTo > s.trackTo) {
            media::MovieSection right = old;
            right.mediaFrom += s.trackTo - old.trackFrom;
            right.trackFrom = s.trackTo;
            out.push_back(right);
        }
    }
    out.push_back(s);
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.trackFrom < b.trackFrom; });
    track = std::move(out);
}

QString reasonText(Status status) {
    switch (status) {
        case Status::Missing:
            return QStringLiteral("its media file is missing");
        case Status::NoSound:
            return QStringLiteral("its media has no sound");
        case Status::Unreadable:
            return QStringLiteral("its media file is not readable (no permission)");
        case Status::Unopenable:
        case Status::Usable:
            break;
    }
    return QStringLiteral("its media file cannot be opened");
}

}  // namespace

SoundingSection placeClip(const ExportClip& clip, double zoom) {
    SoundingSection p;
    if (!(zoom > 0) || !std::isfinite(zoom)) return p;
    // The clip's absolute left edge; the view's scroll has no part in it.
    const double left = clip.centre - clip.lengthPx / 2;
    p.trackFrom = (left + clip.inPoint) / zoom;
    p.trackTo = (left + clip.outPoint) / zoom;
    p.media = clip.inPoint / zoom;
    if (p.trackFrom < 0) {
        p.media -= p.trackFrom;
        p.trackFrom = 0;
    }
    if (!std::isfinite(p.trackFrom) || !std::isfinite(p.trackTo) || !std::isfinite(p.media))
        return SoundingSection();
    return p;
}

TrackPlan planTracks(const MixSnapshot& mix, const std::vector<int>& stream) {
    TrackPlan plan;
    for (size_t i = 0; i < mix.clips.size(); ++i) {
        const ExportClip& clip = mix.clips[i];
        if (i >= stream.size() || stream[i] < 0 || (clip.lane != 1 && clip.lane != 2)) continue;
        const SoundingSection p = placeClip(clip, mix.zoom);
        media::MovieSection s;
        s.path = clip.path;
        s.stream = stream[i];
        s.trackFrom = samples(p.trackFrom);
        s.trackTo = samples(p.trackTo);
        s.mediaFrom = samples(p.media);
        s.source = static_cast<int>(i);
        if (s.trackTo <= s.trackFrom) continue;
        paintOver(plan.tracks[clip.lane - 1], s);
        plan.length = std::max(plan.length, s.trackTo);
    }
    return plan;
}

ExportResult exportMix(const MixSnapshot& mix, const QString& target,
                       media::MovieWriteControl& control) {
    ExportResult result;
    auto skip = [&](const ExportClip& clip, Status why) {
        ++result.skipped;
        result.leftOut.push_back(
            {clip.name.isEmpty() ? QFileInfo(clip.path).fileName() : clip.name, why});
    };
    // Each file is looked at once, however many clips use it.
    std::map<QString, media::SoundSourceProbe> probes;
    std::vector<int> stream(mix.clips.size(), -1);
    for (size_t i = 0; i < mix.clips.size() && !control.cancel.load(); ++i) {
        const ExportClip& clip = mix.clips[i];
        auto it = probes.find(clip.path);
        if (it == probes.end())
            it = probes.emplace(clip.path, media::probeSoundSource(clip.path)).first;
        if (it->second.status == Status::Usable)
            stream[i] = it->second.stream;
        else
            skip(clip, it->second.status);
    }
    if (control.cancel.load()) {
        result.outcome = media::MovieWriteResult::Outcome::Cancelled;
        return result;
    }
    TrackPlan plan = planTracks(mix, stream);
    // Sections of one MP3 share where its frames lie, found once.
    for (media::MovieTrackLayout& track : plan.tracks)
        for (media::MovieSection& s : track) s.frameIndex = probes[s.path].frameIndex;
    const media::MovieWriteResult written =
        media::writeSoundMovie(target, {plan.tracks[0], plan.tracks[1]}, plan.length, control);
    result.outcome = written.outcome;
    result.problem = written.problem;
    // A file that went away or broke after it was looked at sounds as silence; say so.
    for (int id : written.unreadable)
        if (id >= 0 && id < static_cast<int>(mix.clips.size()))
            skip(mix.clips[static_cast<size_t>(id)], Status::Unopenable);
    return result;
}

QString exportedText(const QString& fileName, const ExportResult& result) {
    const QString written = QStringLiteral("The movie \"%1\" was written").arg(fileName);
    if (result.leftOut.empty()) return written + u'.';
    QStringList named;
    for (const ExportResult::LeftOut& clip : result.leftOut)
        named << QStringLiteral("\"%1\" (%2)").arg(clip.name, reasonText(clip.reason));
    const qsizetype n = result.leftOut.size();
    return written +
           (n == 1 ? QStringLiteral(" without 1 track: ")
                   : QStringLiteral(" without %1 tracks: ").arg(n)) +
           named.join(QStringLiteral(", ")) + u'.';
}

}  // namespace documents
