// Clip pictures are drawn in tiles for the parts that are shown; they must look exactly as the
// same picture drawn whole, wherever a lane shows them, and their memory must stay bounded.
#include "model/clip_picture.h"

#include <QImage>

#include "model/lane_logic.h"
#include "model/picture.h"
#include "shell/main_window.h"
#include "support/app_fixture.h"

namespace {

using model::ClipPictureSpec;
using model::Graphics;
using model::Picture;

QImage drawnWhole(const ClipPictureSpec& spec) {
    Picture whole(spec.width, model::kClipPictureHeight);
    {
        Graphics g(whole);
        model::drawClipPicture(g, spec);
    }
    return whole.image();
}

// What a lane buffer of this size shows of the picture placed with its left edge at left.
QImage shownOnLane(const Picture& picture, int left, int laneWidth) {
    Picture lane(laneWidth, 33);
    {
        Graphics g(lane);
        g.setColor(QColor(10, 20, 30));
        g.fillRect(0, 0, laneWidth, 33);
        g.drawPicture(picture, left, 1);
    }
    return lane.image();
}

// "" when the images are the same, else the size or the first pixel that differs.
std::string difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + ": " +
                       QColor::fromRgba(a.pixel(x, y)).name().toStdString() + " vs " +
                       QColor::fromRgba(b.pixel(x, y)).name().toStdString();
    return "";
}

ClipPictureSpec spec(int width, int start, int fadeInEnd, int fadeOutStart, int stop,
                     const char* name, QColor colour = Qt::black) {
    ClipPictureSpec s;
    s.width = width;
    s.start = start;
    s.fadeInEnd = fadeInEnd;
    s.fadeOutStart = fadeOutStart;
    s.stop = stop;
    s.name = name;
    s.nameColor = colour;
    return s;
}

TEST(ClipPicture, TilesLookExactlyLikeThePictureDrawnWhole) {
    const ClipPictureSpec cases[] = {
        spec(1, 0, 0, 1, 1, "x"),
        spec(99, 10, 20, 80, 90, "Band: Route 66"),
        spec(511, 0, 0, 511, 511, "just under a tile"),
        spec(512, 0, 100, 400, 512, "one tile"),
        spec(513, 3, 500, 510, 513, "ramp over the tile edge"),
        // Long ramps cross many tile edges at shallow slopes.
        spec(5000, 37, 4100, 4200, 4990, "a long name that has to wrap at the clip's width",
             QColor(220, 30, 30)),
        spec(3000, 700, 600, 2500, 2400, "points out of order", QColor(30, 90, 220)),
        spec(40, 0, 0, 40, 40, "a name far wider than the clip itself wraps"),
    };
    for (const ClipPictureSpec& s : cases) {
        SCOPED_TRACE(s.name.toStdString());
        const QImage whole = drawnWhole(s);
        const model::PictureRef tiled = model::makeClipPicture(s);
        ASSERT_EQ(tiled->width(), s.width);
        EXPECT_EQ(difference(tiled->part(0, 0, s.width, 30), whole), "");
        // On a lane: clipped at either side, at tile edges and wholly inside.
        const Picture plain(whole);
        for (int left : {0, 7, -1, -511, -513, -s.width + 5, 300, 795}) {
            SCOPED_TRACE(left);
            EXPECT_EQ(difference(shownOnLane(*tiled, left, 800), shownOnLane(plain, left, 800)),
                      "");
        }
    }
}

TEST(ClipPicture, MemoryStaysBoundedWhateverTheWidth) {
    // A day at 400 %: 345,600 pixels, about 40 MB each if held whole.
    std::vector<model::PictureRef> pictures;
    for (int i = 0; i < 3; ++i)
        pictures.push_back(model::makeClipPicture(spec(345600, 0, 1000, 344000, 345600, "day")));
    // Scrolled along from start to end, every tile of every picture is shown once.
    for (const auto& p : pictures) {
        for (int left = 0; left > -345600; left -= 1280) shownOnLane(*p, left, 1280);
    }
    EXPECT_LE(Picture::tileCacheBytes(), Picture::kTileCacheBytes);
    EXPECT_GT(Picture::tileCacheBytes(), Picture::kTileCacheBytes / 2);
    // A picture's tiles go with it.
    pictures.clear();
    EXPECT_EQ(Picture::tileCacheBytes(), 0);
}

}  // namespace

namespace {

TEST(ClipPicture, OnlyPicturesNotHiddenUnderOpaqueOnesAreDrawn) {
    Picture opaque(10, 30), clear(10, 30);
    opaque.setOpaque(true);
    using model::PicturePlace;
    struct Case {
        const char* name;
        std::vector<PicturePlace> places;  // bottom first
        std::vector<int> shown;            // indexes into places
    };
    const Case cases[] = {
        {"one", {{&opaque, 0, 1, 100, 30}}, {0}},
        {"same place twice", {{&opaque, 0, 1, 100, 30}, {&opaque, 0, 1, 100, 30}}, {1}},
        {"under two that meet",
         {{&opaque, 10, 1, 50, 30}, {&opaque, 0, 1, 30, 30}, {&opaque, 30, 1, 40, 30}},
         {1, 2}},
        {"a gap between them",
         {{&opaque, 10, 1, 50, 30}, {&opaque, 0, 1, 29, 30}, {&opaque, 30, 1, 40, 30}},
         {0, 1, 2}},
        {"under a see-through one", {{&opaque, 0, 1, 100, 30}, {&clear, 0, 1, 100, 30}}, {0, 1}},
        {"other rows", {{&opaque, 0, 1, 100, 30}, {&opaque, 0, 2, 100, 30}}, {0, 1}},
        {"hidden only where shown", {{&opaque, -50, 1, 900, 30}, {&opaque, 0, 1, 800, 30}}, {1}},
        {"outside the columns", {{&opaque, 900, 1, 50, 30}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> shown;
        for (const PicturePlace* p : model::uncoveredPlaces(c.places, 0, 800))
            shown.push_back(static_cast<int>(p - c.places.data()));
        EXPECT_EQ(shown, c.shown);
    }
}

class LanePictures : public testsupport::AppFixture {};

TEST_F(LanePictures, ALaneOfPilesOfClipsLooksAsWhenEveryClipIsDrawn) {
    LaneView* lane = this->lane(1);
    lane->setBackdrop(nullptr);
    // Piles of clips at the same places, clips sticking out of them, and long ones underneath.
    const struct {
        double left, length;
        const char* name;
    } clips[] = {{-300, 5000, "long"}, {20, 100, "a"},  {20, 100, "b"}, {60, 30, "c"},
                 {100, 250, "d"},      {100, 250, "e"}, {340, 20, "f"}, {500, 400, "g"}};
    for (const auto& c : clips) {
        lane->addNewClip(c.left, {.image = documents::clipPictureOrSay(
                                      c.name, c.length, c.length / 4, c.length / 2, c.length / 8,
                                      c.length * 3 / 4, 3),
                                  .name = c.name,
                                  .path = "/m/x.mp3",
                                  .lengthPx = c.length,
                                  .inPoint = c.length / 8,
                                  .outPoint = c.length * 3 / 4,
                                  .fadeInEnd = c.length / 4,
                                  .fadeOutStart = c.length / 2,
                                  .label = 3,
                                  .lane = 1});
    }
    Picture shown(lane->width(), 33), every(lane->width(), 33);
    {
        Graphics g(shown);
        lane->drawClips(g, 0, 0, lane->width(), 33);
    }
    {
        Graphics g(every);
        for (const model::ClipRef& c : lane->clips)
            g.drawPicture(*c->image, onLane(*c) - c->image->width() / 2, model::kClipCentreY - 15);
    }
    EXPECT_EQ(difference(shown.image(), every.image()), "");
}

}  // namespace
