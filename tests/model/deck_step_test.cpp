// The deck step on fake players and a virtual clock.
#include <gtest/gtest.h>

#include <tuple>

#include "fake_deck.h"

namespace {

using enginetest::FakeDeck;

using Log = std::vector<std::string>;

TEST(DeckStep, StartsTheClipUnderTheHeadOnceFromItsOffset) {
    FakeDeck d(model::kPlayDeck);
    auto a = d.add(1, "/a.mp3", 0, 100);
    a->playStart = d.head = 20;
    for (int i = 0; i < 50; ++i) d.tick();
    EXPECT_EQ(d.count("1.Movie"), 1);
    EXPECT_EQ(d.count("1.Play"), 1);
    EXPECT_EQ(d.current[0], a);
    EXPECT_EQ(d.last[0], a);
    // The head follows the media: 20 s offset plus half a second played.
    EXPECT_NEAR(d.head, 20.49, 1e-9);
}

TEST(DeckStep, StartOffsetIsDividedByTheZoom) {
    FakeDeck d(model::kPreviewDeck);
    d.zoom = 2;
    auto a = d.add(2, "/a.mp3", 0, 200);
    a->previewStart = d.head = 30;
    a->playStart = 99;  // the other deck's offset plays no part
    auto r = d.tick(0);
    EXPECT_TRUE(r.sounding[1]);
    EXPECT_DOUBLE_EQ(r.seconds[1], 15);
    EXPECT_DOUBLE_EQ(r.head, 30);
}

TEST(DeckStep, AClipThatPlayedOutIsNotRestartedWhileTheHeadIsOverIt) {
    FakeDeck d(model::kPlayDeck);
    auto a = d.add(1, "/short.mp3", 0, 100, 10.05);  // the file ends well inside its clip
    a->playStart = d.head = 10;
    for (int i = 0; i < 20; ++i) d.tick();
    EXPECT_EQ(d.count("1.Movie"), 1);
    EXPECT_EQ(d.current[0], nullptr);
    EXPECT_EQ(d.last[0], a);
    // With nothing sounding the head makes gap steps of zoom / 35 over the clip.
    const double before = d.head;
    auto r = d.tick();
    EXPECT_FALSE(r.sounding[0]);
    EXPECT_DOUBLE_EQ(d.head, before + 1 / 35.0);
    EXPECT_GT(before, 10.05);
    EXPECT_EQ(d.count("1.Movie"), 1);
}

TEST(DeckStep, RestartsAfterTheDeckForgetsItsClips) {
    FakeDeck d(model::kPlayDeck);
    auto a = d.add(1, "/a.mp3", 0, 100);
    a->playStart = d.head = 40;
    for (int i = 0; i < 10; ++i) d.tick();
    // Stop and start, as the transport does: players stopped, clips forgotten, new offsets.
    d.p1.stop();
    d.current[0] = d.last[0] = nullptr;
    a->playStart = d.head;
    d.tick(0);
    EXPECT_EQ(d.count("1.Movie"), 2);
    EXPECT_DOUBLE_EQ(d.p1.position(), a->playStart);
}

// What a step that starts clips asks of the players, in order: the preview deck stops only the
// lane that starts one and routes it to its device before it plays (not when its file fails); the
// play deck stops lane 2 first but not lane 1, and routes nothing.
TEST(DeckStep, StartsAskThePlayersInOrder) {
    const struct {
        const model::DeckTraits& traits;
        std::vector<std::pair<int, double>> clips;  // lane and file length (0: a file that fails)
        Log want;
    } cases[] = {
        {model::kPreviewDeck, {{1, 100}}, {"1.Stop", "1.Movie", "1.Position", "1.route", "1.Play"}},
        {model::kPlayDeck,
         {{1, 100}, {2, 100}},
         {"1.Movie", "1.Position", "1.Play", "2.Stop", "2.Movie", "2.Position", "2.Play"}},
        {model::kPreviewDeck, {{2, 0}}, {"2.Stop", "2.Movie"}},
    };
    for (const auto& c : cases) {
        FakeDeck d(c.traits);
        d.device = 4242;
        for (const auto& [lane, seconds] : c.clips)
            d.add(lane, QStringLiteral("/%1.mp3").arg(lane), 0, 100, seconds);
        d.head = 10;
        d.tick();
        EXPECT_EQ(d.log, c.want);
        EXPECT_EQ(d.p1.routedTo, d.count("1.route") ? 4242 : -1);
    }
}

TEST(DeckStep, NextClipOnLaneOneReplacesTheSoundingOneWithoutAStop) {
    FakeDeck d(model::kPlayDeck);
    d.add(1, "/a.mp3", 0, 100);
    auto b = d.add(1, "/b.mp3", 100, 50);
    d.head = 99.9;
    d.tick(0.2);  // a starts; the head follows its media to 99.9 + 0.2 on the next tick
    d.log.clear();
    d.head = 100.5;
    d.tick();
    EXPECT_EQ(d.current[0], b);
    EXPECT_EQ(d.p1.moviePath, "/b.mp3");
    EXPECT_EQ(d.count("1.Stop"), 0);
}

// The head follows lane 1's clip while it sounds (here at 10 s, lane 2's at 60 s), lane 2's once
// lane 1's file runs out (during the first second).
TEST(DeckStep, HeadFollowsLaneOneThenLaneTwo) {
    const struct {
        double left1, file1, start1, start2, head;
    } cases[] = {{50, 100, 10, 60, 50 + 11}, {0, 30.5, 30, 30, 31}};
    for (const auto& c : cases) {
        FakeDeck d(model::kPlayDeck);
        d.add(1, "/a.mp3", c.left1, 100, c.file1)->playStart = c.start1;
        d.add(2, "/b.mp3", 0, 200)->playStart = d.head = c.start2;
        d.tick(1);  // both start
        d.tick(0);
        EXPECT_NEAR(d.head, c.head, 1e-9);
        EXPECT_EQ(d.current[0] != nullptr, c.file1 > 31);
    }
}

TEST(DeckStep, GapStepsDifferBetweenTheDecks) {
    for (const auto* traits : {&model::kPlayDeck, &model::kPreviewDeck}) {
        FakeDeck d(*traits);
        d.zoom = 2;
        d.head = 5;
        auto r = d.tick();
        EXPECT_DOUBLE_EQ(r.head, 5 + 2 / traits->gapDivisor);
        EXPECT_FALSE(r.sounding[0]);
        EXPECT_FALSE(r.sounding[1]);
    }
}

TEST(DeckStep, HeadOnAClipsLeftEdgeStartsNothing) {
    FakeDeck d(model::kPlayDeck);
    d.add(1, "/a.mp3", 10, 100);
    d.head = 10;
    d.tick();
    EXPECT_EQ(d.count("1.Movie"), 0);
    d.tick();  // the gap step has taken the head inside
    EXPECT_EQ(d.count("1.Movie"), 1);
}

TEST(DeckStep, UnplayableFileLeavesTheLaneSilentAndTheHeadMovingOn) {
    FakeDeck d(model::kPlayDeck);
    auto gone = d.add(1, "/gone.mp3", 0, 100, 0);
    d.head = 50;
    auto r = d.tick();
    EXPECT_EQ(d.current[0], nullptr);
    EXPECT_EQ(d.last[0], gone);
    EXPECT_FALSE(r.sounding[0]);
    // No jump back to the clip's left edge: a gap step from where the head was.
    EXPECT_DOUBLE_EQ(r.head, 50 + 1 / 35.0);
    EXPECT_EQ(d.count("1.Play"), 0);
    d.tick();
    EXPECT_EQ(d.count("1.Movie"), 1);  // not tried again while the head is over it
}

TEST(DeckStep, EachLanesVolumeFollowsItsOwnPlayer) {
    FakeDeck d(model::kPlayDeck);
    // Lane 1 fades out over 80..100, lane 2 (entered 8 pixels in) fades in over 0..20.
    d.add(1, "/a.mp3", 0, 100, 100, {0, 0, 80, 100})->playStart = d.head = 93;
    d.add(2, "/b.mp3", 85, 100, 100, {0, 20, 100, 100})->playStart = 8;
    d.tick(0);
    EXPECT_EQ(d.p1.volume, 89);   // 256 x 7/20 = 89.6
    EXPECT_EQ(d.p2.volume, 102);  // 256 x 8/20 = 102.4
    d.tick(5);
    d.tick(0);
    EXPECT_EQ(d.p1.volume, 25);   // 256 x 2/20 = 25.6
    EXPECT_EQ(d.p2.volume, 166);  // 256 x 13/20 = 166.4
}

// A deck stepped only when it is not quiet does all that a deck stepped every 10 ms does, at the
// same ticks: every start, load and volume change, for both decks through a mix with in points,
// fades, an overlap, a gap and a clip whose movie opens late.
TEST(DeckStep, SteppingOnlyWhenNotQuietChangesNothing) {
    for (const model::DeckTraits* traits : {&model::kPlayDeck, &model::kPreviewDeck}) {
        auto mix = [](FakeDeck& d) {
            const model::ClipRef a = d.add(1, "/a.mp3", 0, 100, 1000, {0, 3, 97, 100});
            d.add(1, "/c.mp3", 115, 45, 1000, {0, 4, 40, 45});
            d.add(1, "/d.mp3", 170, 20, 1000, {0, 2, 18, 20});
            d.add(2, "/b.mp3", 50, 70, 1000, {2, 6, 64, 70});
            a->playStart = a->previewStart = 0.5;
            d.p2.pending.insert("/b.mp3");
            d.head = 0.5;
        };
        FakeDeck every(*traits), quiet(*traits);
        mix(every);
        mix(quiet);
        int nextQuietStep = 0, quietSteps = 0;
        for (int tick = 0; tick < 20000; ++tick) {
            every.clock.now = quiet.clock.now = tick * 0.01;
            if (tick == 7000) every.p2.pending.clear(), quiet.p2.pending.clear();
            const auto before = std::make_tuple(every.log.size(), every.p1.volume, every.p2.volume);
            every.tick(0);
            const bool changed =
                before != std::make_tuple(every.log.size(), every.p1.volume, every.p2.volume);
            if (tick < nextQuietStep) {
                ASSERT_FALSE(changed) << "tick " << tick;
                continue;
            }
            ++quietSteps;
            const auto r = quiet.tick(0);
            nextQuietStep = tick + std::max(1, static_cast<int>(r.quietSeconds * 100));
            ASSERT_EQ(quiet.log, every.log) << "tick " << tick;
            ASSERT_EQ(quiet.p1.volume, every.p1.volume) << "tick " << tick;
            ASSERT_EQ(quiet.p2.volume, every.p2.volume) << "tick " << tick;
        }
        EXPECT_EQ(every.count("1.Play"), 3);
        EXPECT_EQ(every.count("2.Play"), 1);
        // Quiet most of the mix: far fewer steps than ticks.
        EXPECT_LT(quietSteps, 20000 / 2);
    }
}

TEST(DeckStep, AStartedClipSoundsAtItsVolumeFromItsFirstBlock) {
    FakeDeck d(model::kPlayDeck);
    d.add(1, "/a.mp3", 0, 100, 100, {0, 20, 100, 100})->playStart = d.head = 5;
    d.p1.setVolume(256);  // what the player sounded before
    d.tick(0);
    EXPECT_EQ(d.p1.volumeAtPlay, 63);  // 5 pixels into a 20-pixel fade-in, not the 256 before
}

TEST(DeckStep, SilentBeforeTheInPointAndAfterTheOutPoint) {
    FakeDeck d(model::kPlayDeck);
    d.add(1, "/a.mp3", 0, 100, 100, {20, 20, 60, 60})->playStart = d.head = 1;
    d.tick(0);
    EXPECT_EQ(d.p1.volume, 0);
    d.tick(30);
    d.tick(0);
    EXPECT_EQ(d.p1.volume, 256);
    d.tick(40);
    d.tick(0);
    EXPECT_EQ(d.p1.volume, 0);
}

TEST(DeckStep, NoClipUnderTheHeadLeavesTheVolumeAlone) {
    FakeDeck d(model::kPlayDeck);
    d.add(1, "/a.mp3", 0, 10);
    d.head = 5;
    d.tick(0);
    d.p1.volume = 77;
    d.head = 50;  // moved away by a click while the clip still sounds
    d.tick(0);
    EXPECT_EQ(d.p1.volume, 77);
}

// A clip whose movie is still being opened on the worker: the lane waits (tick after tick, never
// marking it tried), then starts it from its offset once it is open; a file that fails to open is
// not tried again while the head is over it.
TEST(DeckStep, WaitsForAMovieStillBeingOpenedAndReportsOneThatFails) {
    struct Case {
        const char* name;
        bool opens;
        int pendingTicks;
    };
    for (const Case& c : {Case{"opens late", true, 5}, Case{"opens at once", true, 0},
                          Case{"fails late", false, 3}}) {
        SCOPED_TRACE(c.name);
        FakeDeck d(model::kPlayDeck);
        d.add(1, "/a.mp3", 0, 100, 0)->playStart = d.head = 20;
        d.p1.pending.insert("/a.mp3");
        for (int i = 0; i < c.pendingTicks; ++i) {
            const auto r = d.tick();
            EXPECT_FALSE(r.sounding[0]);
            EXPECT_EQ(d.last[0], nullptr) << "tried again on the next tick";
        }
        EXPECT_EQ(d.count("1.Pending"), c.pendingTicks);
        d.p1.pending.clear();
        if (c.opens) d.files["/a.mp3"] = 100;
        const auto r = d.tick();
        EXPECT_EQ(r.sounding[0], c.opens);
        for (int i = 0; i < 5; ++i) d.tick();
        EXPECT_EQ(d.count("1.Movie"), 1) << "a failed file is tried once";
        EXPECT_EQ(d.count("1.Play"), c.opens ? 1 : 0);
        if (c.opens) {
            EXPECT_NEAR(d.p1.position(), 20.06, 1e-9);  // from its offset, six ticks on
        }
    }
}

// A clip the head meets (from a gap, at a butt splice, laid over another on its lane) is prepared
// ahead, and its start takes the prepared one over: the prepared start is never let go while the
// head approaches or covers the clip, and the clip is never started afresh beside it (its first
// milliseconds would sound twice).
TEST(DeckStep, AMetClipStartsFromWhatWasPreparedAhead) {
    // The gap steps carry the head over the edges (9.005 keeps them off them); a head that
    // follows a clip in 10 ms steps lands on the next one's edge. Clips: lane, left, length.
    const std::tuple<const char*, double, std::vector<std::array<int, 3>>> cases[] = {
        {"met from a gap", 9.005, {{1, 10, 100}, {2, 10, 100}}},
        {"butt splice", 9, {{2, 0, 10}, {1, 10, 100}}},
        {"over a clip", 9, {{1, 0, 100}, {1, 10, 50}}},
    };
    const auto file = [](int lane, int left) {
        return QStringLiteral("/%1at%2.mp3").arg(lane).arg(left);
    };
    for (const auto& [name, head, clips] : cases) {
        SCOPED_TRACE(name);
        FakeDeck d(model::kPlayDeck);
        d.lookAhead = true;
        d.head = head;
        int startedAfresh[2] = {};  // the clips under the head at first
        for (const auto& [lane, left, length] : clips) {
            d.add(lane, file(lane, left), left, length, length)->playStart =
                std::max(0.0, head - left);  // as Play gives it
            startedAfresh[lane - 1] += left < head;
        }
        for (int i = 0; i < 1000 && d.head < 12; ++i) d.tick();
        for (const auto& [lane, left, length] : clips) {
            if (left < head) continue;
            const std::string on = std::to_string(lane), path = file(lane, left).toStdString();
            EXPECT_EQ(d.count(on + ".Cue " + path), 1) << "prepared ahead once";
            EXPECT_EQ(d.count(on + ".CancelCue " + path), 0);
            EXPECT_EQ(d.count(on + ".PlayCue"), 1) << "started from what was prepared";
            EXPECT_EQ((lane == 1 ? d.p1 : d.p2).moviePath.toStdString(), path);
        }
        for (int lane : {1, 2})
            EXPECT_EQ(d.count(std::to_string(lane) + ".Play"), startedAfresh[lane - 1]) << lane;
    }
}

}  // namespace
