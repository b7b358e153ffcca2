#include "support/lane_clicks.h"

#include <cmath>
#include <limits>

#include "documents/movie_export.h"
#include "media/decoder.h"
#include "media/media.h"
#include "support/app_fixture.h"
#include "support/media_gen.h"
#include "support/null_output.h"

namespace testsupport {

namespace {

constexpr int kBlock = 480;

std::vector<float> decodeTrack(const QString& path, int stream) {
    media::AudioDecoder track;
    std::vector<float> all, buf(4096 * 2);
    if (!track.open(path, stream)) return all;
    while (int n = track.read(buf.data(), 4096))
        all.insert(all.end(), buf.begin(), buf.begin() + n * 2);
    return all;
}

}  // namespace

PlayedAndExported playAndExportClickMix(MainWindow& w) {
    PlayedAndExported r;
    DeckCommands& decks = partOf<DeckCommands>(w);
    const QString left = makeMedia({MediaKind::Mp3Cbr, 4.0, Signal::ClicksLeft});
    const QString right = makeMedia({MediaKind::Mp3Cbr, 4.0, Signal::ClicksRight});
    for (double at : {10.0, 14.0, 18.0})
        laneOf(w, 1)->addNewClip(at, {.name = "left", .path = left, .lengthPx = 4, .lane = 1});
    for (double at : {12.0, 16.0})
        laneOf(w, 2)->addNewClip(at, {.name = "right", .path = right, .lengthPx = 4, .lane = 2});
    if (!media::testing::waitForClipMovies()) {
        r.problem = "the clips' movies were not opened";
        return r;
    }
    media::testing::clearCaptured();
    decks.moveHeadTo(decks.playDeck(), 9.9);
    decks.play();
    for (int tick = 0; tick < 1250; ++tick) {
        decks.transport().tick();
        media::testing::advance(kBlock);
    }
    decks.play();
    const std::vector<float> played = media::testing::captured(0);

    documents::MixSnapshot mix;
    mix.zoom = 1;
    for (int lane : {1, 2})
        for (const model::ClipRef& c : laneOf(w, lane)->clips)
            mix.clips.push_back(
                {c->path, c->name, c->inPoint, c->outPoint, c->lengthPx, c->centre, lane});
    media::MovieWriteControl control;
    const QString movie = tempDir() + "/played-vs-exported.mov";
    if (documents::exportMix(mix, movie, control).outcome !=
        media::MovieWriteResult::Outcome::Written) {
        r.problem = "the export failed";
        return r;
    }
    for (int lane = 0; lane < 2; ++lane) {
        r.played[lane] = clickOnsets(played, lane);
        r.exported[lane] = clickOnsets(decodeTrack(movie, lane), lane);
    }
    if (r.played[0].empty() || r.exported[0].empty()) {
        r.problem = "no click of lane 1";
        return r;
    }
    // Playback began when the head reached the first clip; the export at 0:00.
    const double shift = r.played[0][0] - r.exported[0][0];
    for (auto& lane : r.played)
        for (double& t : lane) t -= shift;
    return r;
}

double worstPlayedVersusExported(const PlayedAndExported& mix) {
    double worst = 0;
    for (int lane = 0; lane < 2; ++lane) {
        if (mix.played[lane].size() != mix.exported[lane].size())
            return std::numeric_limits<double>::infinity();
        for (size_t i = 0; i < mix.played[lane].size(); ++i)
            worst = std::max(worst, std::fabs(mix.played[lane][i] - mix.exported[lane][i]));
    }
    return worst;
}

}  // namespace testsupport
