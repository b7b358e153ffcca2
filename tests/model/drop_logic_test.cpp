#include "model/drop_logic.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(TextDropPath, FileUrlsAndAbsolutePathsOnTheFirstLine) {
    const struct {
        QString text, path;
    } cases[] = {
        {"file:///music/a.mp3", "/music/a.mp3"},
        {"  file:///music/a.mp3  \n", "/music/a.mp3"},
        {"file:///music/a.mp3\r\nfile:///music/b.mp3", "/music/a.mp3"},
        {"FILE://localhost/music/a%20b.mp3", "/music/a b.mp3"},
        {"/music/a.mp3", "/music/a.mp3"},
        {"\t/music//x/../a.mp3 \n/other", "/music/a.mp3"},
        {"", ""},
        {"a.mp3", ""},
        {"music/a.mp3", ""},
        {"http://example.org/a.mp3", ""},
        {"file://otherhost/a.mp3", ""},
        {"\n/music/a.mp3", ""},  // the path is not on the first line
        {"file:///music/a%00.mp3", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(model::textDropPath(c.text), c.path) << c.text.toStdString();
}

TEST(NamesOneOf, TheTextRepeatsOneOfTheDragsFiles) {
    const QStringList files = {"/music/a.mp3", "/music//b.wav"};
    const struct {
        QString path;
        bool named;
    } cases[] = {{"/music/a.mp3", true},
                 {"/music/b.wav", true},
                 {"/music/c.mp3", false},
                 {"/music/A.mp3", false},
                 {"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(model::namesOneOf(c.path, files), c.named) << c.path.toStdString();
    EXPECT_FALSE(model::namesOneOf("/music/a.mp3", {}));
}

TEST(StatusLineText, OneShortPlainLine) {
    EXPECT_EQ(model::statusLineText("  hello world \nsecond line"), "hello world");
    EXPECT_EQ(model::statusLineText(QString("a\x01"
                                            "b\x1b[31mc")),
              "ab[31mc");
    EXPECT_EQ(model::statusLineText(QString(80, 'x')), QString(80, 'x'));
    const QString cut = model::statusLineText(QString(5000, 'y'));
    EXPECT_EQ(cut.size(), model::kStatusTextChars);
    EXPECT_TRUE(cut.endsWith("..."));
}

TEST(ClipWidth, WholePixelsAtTheZoom) {
    EXPECT_EQ(model::clipWidth(120.9, 1), 120);
    EXPECT_EQ(model::clipWidth(120.9, 0.25), 30);
    EXPECT_EQ(model::clipWidth(0.3, 4), 1);
    EXPECT_EQ(model::clipWidth(0.3, 1), 0);
    EXPECT_EQ(model::clipWidth(std::nan(""), 1), 0);
    EXPECT_EQ(model::clipWidth(1e300, 4), INT32_MAX);
}

}  // namespace
