#include "model/clip_name.h"

#include <gtest/gtest.h>

namespace {

TEST(ClipName, NamesAClipFromTitleArtistOrFileName) {
    const struct {
        const char* title;
        const char* artist;
        const char* name;
    } cases[] = {
        {"Route 66", "Band", "Band: Route 66"},
        {"Title", "", "Title"},
        {"", "Artist", "Artist: file.mp3"},
        {"", "", "file.mp3"},
        // Only pairs of blanks go, left to right: an odd run leaves one blank.
        {"Title  ", "", "Title"},
        {"Title   ", "", "Title "},
        {"Title    ", "", "Title"},
        {"A   B", "", "A B"},
        {"A    B", "", "AB"},
        {"A B", "C D", "C D: A B"},
        // A title of an even number of blanks counts as empty; an odd number does not.
        {"    ", "Artist", "Artist: file.mp3"},
        {"   ", "", " "},
        {"", "  ", "file.mp3"},
        {"\tTab", "", "\tTab"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(model::clipName("file.mp3", c.title, c.artist), QString(c.name))
            << '"' << c.title << "\" / \"" << c.artist << '"';
    }
}

TEST(ClipName, KeepsTheFileNameAsGiven) {
    EXPECT_EQ(model::clipName("  two  blanks.mp3", "", ""), "  two  blanks.mp3");
    EXPECT_EQ(model::clipName("x  y.mp3", "", "A"), "A: x  y.mp3");
}

}  // namespace
