#include "model/plist_reader.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "support/temp_files.h"

namespace {

using model::trackPathInLibraryData;

const QByteArray kProlog =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";

// A drag as a music library writes it, with the given track dictionaries under "Tracks".
QByteArray drag(const QByteArray& tracks) {
    return kProlog +
           "<plist version=\"1.0\">\n<dict>\n"
           "\t<key>Major Version</key><integer>1</integer>\n"
           "\t<key>Application Version</key><string>12.1</string>\n"
           "\t<key>Tracks</key>\n\t<dict>\n" +
           tracks +
           "\t</dict>\n"
           "\t<key>Playlists</key><array><dict><key>Name</key><string>x</string></dict></array>\n"
           "</dict>\n</plist>\n";
}

QByteArray track(int id, const QByteArray& location) {
    QByteArray t = "\t\t<key>" + QByteArray::number(id) + "</key>\n\t\t<dict>\n" +
                   "\t\t\t<key>Track ID</key><integer>" + QByteArray::number(id) +
                   "</integer>\n\t\t\t<key>Name</key><string>Song &amp; Dance</string>\n"
                   "\t\t\t<key>Compilation</key><true/>\n";
    if (!location.isNull()) t += "\t\t\t<key>Location</key><string>" + location + "</string>\n";
    return t + "\t\t</dict>\n";
}

TEST(TrackPathInLibraryData, GoodDataGivesTheFirstTrackWithALocation) {
    const struct {
        const char* what;
        QByteArray data;
        QString path;
    } cases[] = {
        {"one track", drag(track(1, "file:///home/u/Music/a.mp3")), "/home/u/Music/a.mp3"},
        {"first has no location", drag(track(1, QByteArray()) + track(2, "file:///m/b.mp3")),
         "/m/b.mp3"},
        {"several tracks: only the first",
         drag(track(1, "file:///m/first.mp3") + track(2, "file:///m/second.mp3")), "/m/first.mp3"},
        {"location that is no file URL is skipped",
         drag(track(1, "http://example.com/a.mp3") + track(2, "file:///m/c.mp3")), "/m/c.mp3"},
        {"location that is no string is skipped",
         drag("<key>1</key><dict><key>Location</key><integer>5</integer></dict>" +
              track(2, "file:///m/d.mp3")),
         "/m/d.mp3"},
        {"track value that is no dictionary is skipped",
         drag("<key>1</key><string>file:///m/no.mp3</string>" + track(2, "file:///m/e.mp3")),
         "/m/e.mp3"},
        {"percent escapes and localhost",
         drag(track(1, "file://localhost/m/My%20Song%20%C3%A9%25.mp3")),
         QString::fromUtf8("/m/My Song é%.mp3")},
        {"character references", drag(track(1, "file:///m/R&#38;B &amp; &#x4A;azz.mp3")),
         "/m/R&B & Jazz.mp3"},
        {"CDATA and comments",
         drag("<key>1</key><dict><!-- c --><key>Location</key><string><![CDATA[file:///m/"
              "<x>.mp3]]></string></dict>"),
         "/m/<x>.mp3"},
        {"no prolog, no plist element",
         "<dict><key>Tracks</key><dict><key>1</key><dict><key>Location</key>"
         "<string>file:///a.mp3</string></dict></dict></dict>",
         "/a.mp3"},
        {"byte-order mark", "\xEF\xBB\xBF" + drag(track(1, "file:///bom.mp3")), "/bom.mp3"},
    };
    for (const auto& c : cases) EXPECT_EQ(trackPathInLibraryData(c.data), c.path) << c.what;
}

TEST(TrackPathInLibraryData, ForeignAndHostileDataGiveNoFile) {
    const QByteArray good = drag(track(1, "file:///m/a.mp3"));
    ASSERT_FALSE(trackPathInLibraryData(good).isEmpty());
    QByteArray cut = good;
    cut.chop(20);
    QByteArray deep = "<plist><dict><key>Tracks</key>";
    for (int i = 0; i < model::kMaxPlistDepth; ++i) deep += "<array>";
    const struct {
        const char* what;
        QByteArray data;
    } cases[] = {
        {"empty", ""},
        {"text", "file:///m/a.mp3"},
        {"root is an array", "<plist><array>" + track(1, "file:///a.mp3") + "</array></plist>"},
        {"Tracks is an array",
         "<plist><dict><key>Tracks</key><array><dict><key>Location</key>"
         "<string>file:///a.mp3</string></dict></array></dict></plist>"},
        {"no Tracks",
         "<plist><dict><key>Location</key><string>file:///a.mp3</string></dict>"
         "</plist>"},
        {"no track yields a file", drag(track(1, "file://server/share/a.mp3") + track(2, ""))},
        {"truncated", cut},
        {"binary property list", "bplist00\xD1\x01\x02TrackX"},
        {"unclosed element", "<plist><dict><key>Tracks</key><dict></plist>"},
        {"mismatched end tag", "<plist><dict></array></plist>"},
        {"key without value", "<plist><dict><key>Tracks</key></dict></plist>"},
        {"text inside a dictionary", "<plist><dict>oops<key>Tracks</key><dict/></dict></plist>"},
        {"unknown element", "<plist><dict><key>Tracks</key><foo/></dict></plist>"},
        {"two roots", good + "<plist><dict/></plist>"},
        {"trailing text", good + "junk"},
        {"internal DTD subset (entity definitions)",
         "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"file:///etc/passwd\">]>"
         "<plist><dict><key>Tracks</key><dict><key>1</key><dict><key>Location</key>"
         "<string>&a;</string></dict></dict></dict></plist>"},
        {"undeclared entity", drag(track(1, "file:///m/&lol;.mp3"))},
        {"external entity reference", drag(track(1, "&xxe;"))},
        {"entity declaration after the prolog",
         kProlog + "<!ENTITY a \"x\"><plist><dict/></plist>"},
        {"nested too deep", deep},
        {"NUL character reference", drag(track(1, "file:///m/a&#0;.mp3"))},
        {"surrogate character reference", drag(track(1, "file:///m/a&#xD800;.mp3"))},
        {"huge character reference", drag(track(1, "file:///m/a&#99999999999;.mp3"))},
        {"unterminated comment", "<plist><!-- <dict/></plist>"},
        {"UTF-16", QByteArray("\xFF\xFE<\0p\0", 6)},
    };
    for (const auto& c : cases) EXPECT_EQ(trackPathInLibraryData(c.data), QString()) << c.what;
}

TEST(TrackPathInLibraryData, DepthUpToTheLimitIsAccepted) {
    // Root dictionary, Tracks and the track are levels 1-3; arrays fill 4..limit-1, the string
    // inside them is at the limit itself.
    QByteArray inner = "<string>x</string>";
    for (int depth = 4; depth < model::kMaxPlistDepth; ++depth)
        inner = "<array>" + inner + "</array>";
    const QByteArray data =
        "<plist><dict><key>Tracks</key><dict><key>1</key><dict><key>Deep</key>" + inner +
        "<key>Location</key><string>file:///ok.mp3</string></dict></dict></dict></plist>";
    EXPECT_EQ(trackPathInLibraryData(data), "/ok.mp3");
    EXPECT_EQ(trackPathInLibraryData(QByteArray(data).replace("<string>x</string>",
                                                              "<array><string>x</string></array>")),
              QString());
}

TEST(TrackPathInLibraryData, OversizedOrPathologicalDataIsRefusedWithoutCrashing) {
    QByteArray big = drag(track(1, "file:///m/a.mp3"));
    big.insert(big.indexOf("<plist"), QByteArray(model::kMaxPlistBytes, ' '));
    EXPECT_EQ(trackPathInLibraryData(big), QString());
    // Far deeper than any stack could recurse: refused at the depth limit.
    QByteArray nested;
    for (int i = 0; i < 1000000; ++i) nested += "<array>";
    EXPECT_EQ(trackPathInLibraryData("<plist>" + nested), QString());
    EXPECT_EQ(trackPathInLibraryData(QByteArray(1000000, '<')), QString());
    EXPECT_EQ(trackPathInLibraryData("<plist><!--" + QByteArray(1000000, '-')), QString());
}

TEST(FileUrlToLocalPath, AcceptsOnlyLocalFileUrls) {
    const struct {
        const char* url;
        QString path;
    } cases[] = {
        {"file:///a/b.mp3", "/a/b.mp3"},
        {"FILE://LocalHost/a/b.mp3", "/a/b.mp3"},
        {"file:/a/b.mp3", "/a/b.mp3"},
        {"file:///a/b%20c.mp3?x=1#frag", "/a/b c.mp3"},
        {"file:///a/%E2%99%AB.mp3", QString::fromUtf8("/a/♫.mp3")},
        {"file://host/a/b.mp3", ""},
        {"file://", ""},
        {"file:a/b.mp3", ""},
        {"http:///a/b.mp3", ""},
        {"/a/b.mp3", ""},
        {"file:///a/%2", ""},
        {"file:///a/%zz.mp3", ""},
        {"file:///a/%00.mp3", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(model::fileUrlToLocalPath(c.url), c.path) << c.url;
}

}  // namespace
