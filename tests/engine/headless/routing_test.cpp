// The engine's own tests, in a program that links only the engine (and no Qt Widgets).
#include "engine/routing.h"

#include <gtest/gtest.h>

#include <QString>
#include <vector>

#include "media/movie_player.h"

namespace {

// A movie's tracks as the routing sees them, numbered from 1.
struct FakeMovie {
    struct Track {
        QString type;
        int32_t out = 0;
    };
    std::vector<Track> tracks;
    int trackCount() const { return static_cast<int>(tracks.size()); }
    QString trackMediaType(int i) const { return tracks.at(i - 1).type; }
    int32_t trackSoundOutput(int i) const { return tracks.at(i - 1).out; }
    void setTrackSoundOutput(int i, int32_t id) { tracks.at(i - 1).out = id; }
};

TEST(Routing, EverySoundTrackAndNothingElse) {
    FakeMovie m{{{"soun"}, {"vide", 5}, {"soun"}}};
    engine::routeSoundTracks(m, 99);
    EXPECT_EQ(m.tracks[0].out, 99);
    EXPECT_EQ(m.tracks[1].out, 5);
    EXPECT_EQ(m.tracks[2].out, 99);
    engine::routeSoundTracks(m, 0);  // the default device passes through
    EXPECT_EQ(m.tracks[2].out, 0);
}

TEST(Routing, QueryFindsTheFirstRoutedSoundTrack) {
    EXPECT_EQ(engine::firstSoundOutput(FakeMovie{{{"vide", 3}}}), 0);
    EXPECT_EQ(engine::firstSoundOutput(FakeMovie{}), 0);
    EXPECT_EQ(
        engine::firstSoundOutput(FakeMovie{{{"vide", 3}, {"soun", 0}, {"soun", 8}, {"soun", 9}}}),
        8);
}

// Without a movie there is nothing to route (and the engine has no dialog to ask for one).
TEST(Routing, APlayerWithoutAMovieRoutesNothing) {
    media::MoviePlayer player;
    engine::routePlayer(player, 1234);
    EXPECT_EQ(engine::playerOutput(player), 0);
}

}  // namespace
