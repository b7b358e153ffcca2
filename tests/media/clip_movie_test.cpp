// Clip movies: opened once on the worker, shared by every clip of a file, handed to players as
// shares with routing of their own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QThread>

#include "media/decoder.h"
#include "media/frame_walks.h"
#include "media/media.h"
#include "support/media_gen.h"
#include "support/null_output.h"

using namespace testsupport;
namespace mt = media::testing;

namespace {

TEST(ClipMovie, OpensOnTheWorkerOnceForEveryClipOfAFile) {
    struct Case {
        const char* name;
        QString path;
        media::ClipMovie::State want;
        double seconds;
    };
    const Case cases[] = {
        {"VBR MP3 without header", makeMedia({MediaKind::Mp3VbrNoHeader, 3.0}),
         media::ClipMovie::Ready, 3.0},
        {"M4A", makeMedia({MediaKind::M4a, 2.0}), media::ClipMovie::Ready, 2.0},
        {"missing file", "/nowhere/gone.mp3", media::ClipMovie::Failed, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const media::ClipMovieRef a = media::clipMovie(c.path), b = media::clipMovie(c.path);
        EXPECT_EQ(a, b) << "one movie for the file";
        ASSERT_TRUE(mt::waitForClipMovies());
        EXPECT_EQ(a->state(), c.want);
        if (c.want != media::ClipMovie::Ready) {
            EXPECT_EQ(a->movie(), nullptr);
            continue;
        }
        EXPECT_NEAR(a->movie()->duration(), c.seconds, 0.03);
        EXPECT_EQ(media::clipMovie(c.path)->movie(), a->movie()) << "never opened again";
    }
}

TEST(ClipMovie, AMovieOpenedForADropIsTheClipsMovie) {
    const QString path = makeMedia({MediaKind::Mp3Cbr, 1.0});
    const media::MovieRef measured = media::openMovie(path);
    ASSERT_TRUE(measured);
    media::keepOpened(measured);
    const media::ClipMovieRef m = media::clipMovie(path);
    EXPECT_EQ(m->state(), media::ClipMovie::Ready) << "ready at once, nothing queued";
    EXPECT_EQ(m->movie(), measured);
}

// Laying clips of an MP3 measured from its tag walks nothing; the first decoder of the file has
// it walked once for every clip and path of it (a hard link is the same file).
TEST(ClipMovie, AFileIsWalkedOnceAndOnlyWhenADecoderNeedsIt) {
    const QString path = makeMedia({MediaKind::Mp3Vbr, 3.25});  // a file no other test uses
    const QString link = path + ".link.mp3";
    QFile::remove(link);
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()) != 0)
        GTEST_SKIP() << "this file system refuses hard links";
    ASSERT_TRUE(mt::waitForFrameWalks());
    const int64_t before = mt::frameWalks();
    std::vector<media::MovieRef> movies;
    for (const QString& p : {path, link, path}) {
        movies.push_back(media::openMovie(p));
        ASSERT_TRUE(movies.back());
        media::keepOpened(movies.back());  // as a playlist's records are laid
    }
    const media::ClipMovieRef clips[] = {media::clipMovie(path), media::clipMovie(link)};
    ASSERT_TRUE(mt::waitForClipMovies());
    ASSERT_TRUE(mt::waitForFrameWalks());
    EXPECT_EQ(mt::frameWalks(), before) << "laid clips walk nothing";
    EXPECT_EQ(movies[0]->frameIndex(), nullptr);
    for (const media::MovieRef& m : movies) {
        media::AudioDecoder d;
        d.setFrameIndex(m->frameIndexSlot());
        ASSERT_TRUE(d.open(m->path(), m->tracks()[0].stream));
    }
    ASSERT_TRUE(mt::waitForFrameWalks());
    EXPECT_EQ(mt::frameWalks(), before + 1);
    ASSERT_TRUE(movies[0]->frameIndex());
    for (const media::MovieRef& m : movies) EXPECT_EQ(m->frameIndex(), movies[0]->frameIndex());
    for (const media::ClipMovieRef& c : clips)
        EXPECT_EQ(c->movie()->frameIndex(), movies[0]->frameIndex());
    QFile::remove(link);
}

TEST(ClipMovie, SharesRouteOnTheirOwn) {
    mt::useNullOutput({"main", "preview"});
    const media::ClipMovieRef m = media::clipMovie(makeMedia({MediaKind::Mp3Cbr, 1.0}));
    ASSERT_TRUE(mt::waitForClipMovies());
    ASSERT_TRUE(m->movie());
    const media::MovieRef play = m->movie()->share(), preview = m->movie()->share();
    preview->setTrackSoundOutput(1, media::deviceIdFor("preview"));
    EXPECT_EQ(play->trackSoundOutput(1), 0) << "the other deck's routing stays";
    EXPECT_EQ(m->movie()->trackSoundOutput(1), 0);
    EXPECT_EQ(play->durationFrames(), m->movie()->durationFrames());
    EXPECT_EQ(play->path(), m->movie()->path());
}

}  // namespace
