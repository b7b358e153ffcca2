#include "model/playlist_format.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <clocale>

#include "model/clip.h"
#include "model/regular_file.h"
#include "support/temp_files.h"

namespace {

using model::formatLaneRecords;
using model::parseRecord;
using model::PlaylistRecord;
using model::RecordParse;

// A clip whose centre on the timeline is `centre`.
model::ClipRef clip(int32_t lane, double centre, double length, double fadeInEnd,
                    double fadeOutStart, double start, double stop, QString name, QString path,
                    int32_t label) {
    auto c = std::make_shared<model::Clip>();
    c->lane = lane;
    c->lengthPx = length;
    c->fadeInEnd = fadeInEnd;
    c->fadeOutStart = fadeOutStart;
    c->inPoint = start;
    c->outPoint = stop;
    c->name = std::move(name);
    c->path = std::move(path);
    c->label = label;
    c->centre = centre;
    return c;
}

QByteArray write(const std::vector<model::ClipRef>& lane, double zoom) {
    QString error;
    const QByteArray bytes = formatLaneRecords(lane, zoom, &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return bytes;
}

TEST(PlaylistWriter, EmptyDocumentIsTheHeaderLine) {
    const QByteArray header = model::playlistHeaderLine();
    EXPECT_EQ(header,
              "identifier%spur%trackdauer%fadein%fadeout%name%pfad%inpoint%outpoint%xpos%ypos%"
              "finderlabel%\r");
    EXPECT_EQ(header.size(), 92);
    EXPECT_EQ(write({}, 1), QByteArray());
}

TEST(PlaylistWriter, WritesSecondsAtZoomTwo) {
    const auto c = clip(1, 420, 200, 40, 160, 20, 180, "Band: Song", "/music/song.mp3", 3);
    EXPECT_EQ(write({c}, 2), "vtlx%1%100%20%80%Band: Song%/music/song.mp3%10%90%210%8%3%\r");
}

TEST(PlaylistWriter, ListsALaneFromItsLastClipDown) {
    const auto a = clip(1, 50, 10, 0, 10, 0, 10, "A", "/a", 0);
    const auto b = clip(1, 100, 10, 0, 10, 0, 10, "B", "/b", 0);
    const auto c = clip(1, 150, 10, 0, 10, 0, 10, "C", "/c", 0);
    const auto lines = model::playlistLines(write({a, b, nullptr, c}, 1));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].contains("%C%/c%"));
    EXPECT_TRUE(lines[1].contains("%B%/b%"));
    EXPECT_TRUE(lines[2].contains("%A%/a%"));
}

TEST(PlaylistWriter, NameCharactersThatWouldBreakTheRecordBecomeBlanks) {
    const auto c = clip(2, 100, 10, 0, 10, 0, 10, "50%\rmix\nA", "/m/100% pure.mp3", 0);
    EXPECT_EQ(write({c}, 1), "vtlx%2%10%0%10%50  mix A%/m/100% pure.mp3%0%10%100%16%0%\r");
}

TEST(PlaylistWriter, APathWithALineBreakIsNotSavedAndTheClipIsNamed) {
    const auto good = clip(1, 100, 10, 0, 10, 0, 10, "Good", "/m/good.mp3", 0);
    for (const char* path : {"/m/bad\r.mp3", "/m/bad\n.mp3"}) {
        const auto bad = clip(2, 300, 10, 0, 10, 0, 10, "Bad Clip", path, 0);
        QString error;
        EXPECT_TRUE(formatLaneRecords({good, bad}, 1, &error).isEmpty());
        EXPECT_TRUE(error.contains("\"Bad Clip\"")) << error.toStdString();
        EXPECT_TRUE(error.contains("lane 2")) << error.toStdString();
    }
    QString error;
    EXPECT_TRUE(formatLaneRecords({good}, 0, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(formatLaneRecords({good}, 1, &error).isEmpty());
    EXPECT_TRUE(error.isEmpty());
}

TEST(PlaylistWriter, SameBytesUnderAGermanLocale) {
    const std::vector<model::ClipRef> lane = {
        clip(1, 350.5, 1234.5, 10.25, 1200.75, 3.5, 1230.125, "Ä Song", "/m/ä.mp3", 5)};
    const QByteArray plain = write(lane, 0.5);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QByteArray german = write(lane, 0.5);
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(german, plain);
    EXPECT_EQ(plain,
              QString::fromUtf8("vtlx%1%2469%20.5%2401.5%Ä Song%/m/ä.mp3%7%2460.25%701%32%5%\r")
                  .toUtf8());
}

// Writes a lane at zoom/scroll, reads it back and places the clips at the same zoom and scroll.
std::vector<model::ClipPlacement> roundTrip(const std::vector<model::ClipRef>& lane, double zoom,
                                            double scroll) {
    std::vector<model::ClipPlacement> placed;
    for (const QByteArray& line : model::playlistLines(write(lane, zoom))) {
        PlaylistRecord r;
        EXPECT_EQ(parseRecord(line, r), RecordParse::Read) << line.constData();
        placed.push_back(model::clipPlacement(r, zoom, scroll));
    }
    return placed;
}

TEST(PlaylistRoundTrip, ClipsComeBackAtEveryZoom) {
    for (double zoom : {0.25, 0.5, 1.0, 2.0, 4.0}) {
        for (double scroll : {0.0, 120.0, 333.5}) {
            const std::vector<model::ClipRef> lane = {
                clip(1, 400, 301, 12.5, 280.25, 3, 299, "One", "/m/one%two.mp3", 7),
                clip(2, -40, 77, 0, 77, 0, 77, "Two", "/m/two.mp3", 0),
            };
            const auto placed = roundTrip(lane, zoom, scroll);
            ASSERT_EQ(placed.size(), 2u);
            for (size_t i = 0; i < 2; ++i) {
                const model::Clip& c = *lane[1 - i];  // read back in reverse order
                const auto& p = placed[i];
                SCOPED_TRACE(testing::Message() << "zoom " << zoom << " scroll " << scroll);
                EXPECT_EQ(p.lane, c.lane);
                EXPECT_EQ(p.duration, c.lengthPx);
                EXPECT_EQ(p.fadeInEnd, c.fadeInEnd);
                EXPECT_EQ(p.fadeOutStart, c.fadeOutStart);
                EXPECT_EQ(p.inpoint, c.inPoint);
                EXPECT_EQ(p.outpoint, c.outPoint);
                EXPECT_DOUBLE_EQ(p.left + p.duration / 2 + scroll, c.centre);
                EXPECT_EQ(p.name, c.name);
                EXPECT_EQ(p.path, c.path);
                EXPECT_EQ(p.label, c.label);
            }
        }
    }
}

TEST(PlaylistRoundTrip, ZoomTwoRecordReadsBackInSecondsAtZoomOne) {
    PlaylistRecord r;
    ASSERT_EQ(parseRecord("vtlx%1%100%20%80%Band: Song%/music/song.mp3%10%90%210%8%3%", r),
              RecordParse::Read);
    const auto p = model::clipPlacement(r, 1, 0);
    EXPECT_EQ(p.lane, 1);
    EXPECT_EQ(p.duration, 100);
    EXPECT_EQ(p.fadeInEnd, 20);
    EXPECT_EQ(p.fadeOutStart, 80);
    EXPECT_EQ(p.inpoint, 10);
    EXPECT_EQ(p.outpoint, 90);
    EXPECT_EQ(p.left, 160);
    EXPECT_EQ(p.label, 3);
    EXPECT_EQ(p.name, "Band: Song");
    EXPECT_EQ(p.path, "/music/song.mp3");
}

TEST(PlaylistLines, AcceptsEveryLineEndAndAByteOrderMark) {
    using Lines = std::vector<QByteArray>;
    const struct {
        QByteArray bytes;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\rb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"\xEF\xBB\xBF"
         "a\rb",
         {"a", "b"}},
        {"\xEF\xBB\xBF", {}},
        {"x\xEF\xBB\xBF", {"x\xEF\xBB\xBF"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(model::playlistLines(c.bytes), c.lines) << c.bytes.toHex().constData();
}

TEST(PlaylistLines, RecognisesAPlaylist) {
    const QByteArray header = model::playlistHeaderLine();
    const struct {
        QByteArray bytes;
        bool playlist;
    } cases[] = {
        {"", true},
        {header, true},
        {"\xEF\xBB\xBF" + header.chopped(1) + "\r\n", true},
        {"vtlx%1%10%0%10%A%/a%0%10%5%16%0%\n", true},
        {"notes\nvtlx%1%10%0%10%A%/a%0%10%5%16%0%\n", true},
        {"ID3\x03\x00\x00\x00\x00\x00\x00\xFF\xFB", false},
        {"Dear diary,\ntoday I saved a playlist.\n", false},
        {"\r\n", false},
        {header.chopped(2) + "\r", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(model::isPlaylist(c.bytes), c.playlist) << c.bytes.toHex().constData();
    }
}

// A record with a real media file, a missing one and a directory, for the hostile-line table.
class PlaylistRecords : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(testsupport::writeFile(media(), "audio")); }
    QString media() const { return dir_.filePath("song 100%.mp3"); }

    // Whether the line becomes a clip: parsed, and its media is a regular file.
    bool loads(QByteArray line) const {
        line.replace("{media}", media().toUtf8())
            .replace("{missing}", dir_.filePath("gone.mp3").toUtf8())
            .replace("{dir}", dir_.path().toUtf8());
        PlaylistRecord r;
        return parseRecord(line, r) == RecordParse::Read && model::isRegularFile(r.path);
    }
    QTemporaryDir dir_;
};

TEST_F(PlaylistRecords, HostileAndMalformedLinesAreSkipped) {
    const struct {
        const char* line;
        bool loads;
    } cases[] = {
        {"vtlx%1%10%0%10%Name%{media}%0%10%50%16%0%", true},
        {"vtlx%2%10%0%10%Name%{media}%0%10%50%16%7%", true},
        {"vtlx%1%86400%0%10%Name%{media}%0%10%50%16%0%", true},
        {"vtlx%1%10%0%10%Name%{media}%0%10%-50%16%0%", true},
        {"vtlx%1%10%0%10%%{media}%0%10%50%16%0%", true},
        // Wrong field counts and a missing or extra last "%".
        {"vtlx%1%10%0%10%Name%{media}%0%10%50%16%0", false},
        {"vtlx%1%10%0%10%Name%{media}%0%10%50%16%", false},
        {"vtlx%1%10%0%10%Name%{media}%0%10%50%16%0%x", false},
        {"vtlx%1%10%0%10%Name%{media}%0%10%50%16%0%%", false},
        {"vtlx%", false},
        {"vtlx%%%%%%%%%%%%", false},
        // Lanes other than 1 and 2.
        {"vtlx%0%10%0%10%Name%{media}%0%10%50%16%0%", false},
        {"vtlx%3%10%0%10%Name%{media}%0%10%50%16%0%", false},
        {"vtlx%-1%10%0%10%Name%{media}%0%10%50%16%0%", false},
        // Numbers that are not complete or not finite.
        {"vtlx%1%nan%0%10%Name%{media}%0%10%50%16%0%", false},
        {"vtlx%1%10%NaN%10%Name%{media}%0%10%50%16%0%", false},
        {"vtlx%1%inf%0%10%Name%{media}%0%10%50%16%0%", false},
        {"vtlx%1%1e400%0%10%Name%{media}%0%10%50%16%0%", false},
        {"vtlx%1%10%0%10%Name%{media}%0%10%50%16%1x%", false},
        {"vtlx%1%10%0%10%Name%{media}%0%10%%16%0%", false},
        {"vtlx%1%10,5%0%10%Name%{media}%0%10%50%16%0%", false},
        {"vtlx%1%10%0%10%Name%{media}%0%10%50%abc%0%", false},
        // Lengths and places out of range.
        {"vtlx%1%1e300%0%10%Name%{media}%0%10%50%16%0%", false},
        {"vtlx%1%10%0%10%Name%{media}%0%10%1e300%16%0%", false},
        {"vtlx%1%0%0%0%Name%{media}%0%0%50%16%0%", false},
        {"vtlx%1%-10%0%10%Name%{media}%0%10%50%16%0%", false},
        {"vtlx%1%86400.5%0%10%Name%{media}%0%10%50%16%0%", false},
        // Media that is gone, a folder, or a path that is not absolute.
        {"vtlx%1%10%0%10%Name%{missing}%0%10%50%16%0%", false},
        {"vtlx%1%10%0%10%Name%{dir}%0%10%50%16%0%", false},
        {"vtlx%1%10%0%10%Name%song.mp3%0%10%50%16%0%", false},
        {"vtlx%1%10%0%10%Name%%0%10%50%16%0%", false},
        {"vtlx%1%10%0%10%Name%/dev/null%0%10%50%16%0%", false},
        // Not records at all.
        {"identifier%spur%trackdauer%fadein%fadeout%name%pfad%inpoint%outpoint%xpos%ypos%"
         "finderlabel%",
         false},
        {"VTLX%1%10%0%10%Name%{media}%0%10%50%16%0%", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(loads(c.line), c.loads) << c.line;
}

TEST_F(PlaylistRecords, NotARecordIsToldApartFromABadRecord) {
    PlaylistRecord r;
    EXPECT_EQ(parseRecord(model::playlistHeaderLine().chopped(1), r), RecordParse::NotARecord);
    EXPECT_EQ(parseRecord("", r), RecordParse::NotARecord);
    EXPECT_EQ(parseRecord("vtlx", r), RecordParse::NotARecord);
    EXPECT_EQ(parseRecord("vtlx%1%", r), RecordParse::Skipped);
}

TEST_F(PlaylistRecords, EditPointsAreClampedIntoTheClip) {
    const struct {
        const char* points;  // fadeInEnd%fadeOutStart, then in%out
        double in, fadeInEnd, fadeOutStart, out;
    } cases[] = {
        {"20%80%10%90", 10, 20, 80, 90},   // already in order
        {"0%100%-5%150", 0, 0, 100, 100},  // in below 0, out beyond the length
        {"5%95%10%90", 10, 10, 90, 90},    // fades outside in and out
        {"60%40%10%90", 10, 60, 60, 90},   // fade-out before fade-in
        {"20%80%95%50", 95, 95, 95, 95},   // out before in
        {"200%-3%0%100", 0, 100, 100, 100},
    };
    for (const auto& c : cases) {
        const QByteArray points = c.points;
        const auto f = points.split('%');
        const QByteArray line =
            "vtlx%1%100%" + f[0] + '%' + f[1] + "%N%/m/a.mp3%" + f[2] + '%' + f[3] + "%50%16%2%";
        PlaylistRecord r;
        ASSERT_EQ(parseRecord(line, r), RecordParse::Read) << c.points;
        EXPECT_EQ(r.inpoint, c.in) << c.points;
        EXPECT_EQ(r.fadeInEnd, c.fadeInEnd) << c.points;
        EXPECT_EQ(r.fadeOutStart, c.fadeOutStart) << c.points;
        EXPECT_EQ(r.outpoint, c.out) << c.points;
    }
}

TEST_F(PlaylistRecords, PathWithPercentAndLabelOutOfRange) {
    PlaylistRecord r;
    ASSERT_EQ(parseRecord("vtlx%2%10%0%10%A  B%/m/50% off%%x.mp3%0%10%50%16%9%", r),
              RecordParse::Read);
    EXPECT_EQ(r.path, "/m/50% off%%x.mp3");
    EXPECT_EQ(r.name, "A  B");
    EXPECT_EQ(r.lane, 2);
    EXPECT_EQ(r.label, 0);
}

}  // namespace
