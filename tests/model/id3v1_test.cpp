#include "model/id3v1.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "model/regular_file.h"
#include "support/skips.h"
#include "support/temp_files.h"

namespace {

using model::readId3v1;

// A 128-byte tag block with the given raw title and artist fields (each padded or cut to 30).
QByteArray tagBlock(QByteArray title, QByteArray artist, const char* key = "TAG") {
    title = title.leftJustified(30, '\0', true);
    artist = artist.leftJustified(30, '\0', true);
    QByteArray block = QByteArray(key) + title + artist;
    return block.leftJustified(128, 'x', true);
}

class Id3v1File : public testing::Test {
  protected:
    QString write(const QByteArray& bytes) {
        const QString path = dir_.filePath(QStringLiteral("f%1.mp3").arg(count_++));
        EXPECT_TRUE(testsupport::writeFile(path, bytes));
        return path;
    }
    QTemporaryDir dir_;
    int count_ = 0;
};

TEST_F(Id3v1File, ReadsTitleAndArtistCutAtTheFirstNul) {
    const QString path =
        write(QByteArray(500, 'a') + tagBlock(QByteArray("Route 66\0junk", 13), "Band"));
    const auto tag = readId3v1(path);
    EXPECT_EQ(tag.title, "Route 66");
    EXPECT_EQ(tag.artist, "Band");
}

TEST_F(Id3v1File, FieldsWithoutNulTakeAllThirtyBytes) {
    const QByteArray title = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";  // exactly 30
    const auto tag = readId3v1(write(QByteArray(10, 'a') + tagBlock(title, title)));
    EXPECT_EQ(tag.title, QString::fromLatin1(title));
    EXPECT_EQ(tag.artist, QString::fromLatin1(title));
}

TEST_F(Id3v1File, NoTagShortFilesAndWrongKeyGiveNothing) {
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"no tag", QByteArray(4000, 'a')},
        {"empty file", QByteArray()},
        {"shorter than a tag", QByteArray("TAGTitle")},
        {"exactly one tag long", tagBlock("Title", "Artist")},
        {"lower-case key", QByteArray(10, 'a') + tagBlock("Title", "Artist", "tag")},
        {"tag not at the end", QByteArray(10, 'a') + tagBlock("Title", "Artist") + "x"},
    };
    for (const auto& c : cases) {
        const auto tag = readId3v1(write(c.bytes));
        EXPECT_TRUE(tag.title.isEmpty() && tag.artist.isEmpty()) << c.what;
    }
    // One byte more than the tag block is enough.
    EXPECT_EQ(readId3v1(write("a" + tagBlock("T", "A"))).title, "T");
}

TEST_F(Id3v1File, TextIsLatin1WithoutControlCharacters) {
    const auto tag =
        readId3v1(write(QByteArray(200, 0) + tagBlock("Caf\xE9\n\tBar\x85\x7F!", "\x1B[31mRed")));
    EXPECT_EQ(tag.title, QString::fromUtf8("CaféBar!"));
    EXPECT_EQ(tag.artist, "[31mRed");
}

TEST_F(Id3v1File, OnlyRegularFilesAreOpened) {
    EXPECT_TRUE(readId3v1(dir_.path()).title.isEmpty());
    EXPECT_TRUE(readId3v1(dir_.filePath("missing.mp3")).title.isEmpty());
    EXPECT_TRUE(readId3v1(QString()).title.isEmpty());
    // A FIFO would block a plain open until a writer appears; the reader must return at once.
    const QString fifo = dir_.filePath("pipe.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(readId3v1(fifo).title.isEmpty());
    EXPECT_FALSE(model::isRegularFile(fifo));
    EXPECT_TRUE(readId3v1("/dev/zero").title.isEmpty());
}

TEST_F(Id3v1File, ReadsTheTagOfAFileBeyondFourGigabytes) {
    // A sparse file whose tag position does not fit 32 bits.
    const QString path = dir_.filePath("big.mp3");
    const int64_t size = (int64_t(1) << 32) + 1000;
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        if (!file.resize(size - 128))
            VONTALIX_SKIP_BECAUSE(
                "the 4 GiB tag test (this file system makes no large sparse files)");
        ASSERT_TRUE(file.seek(size - 128));
        ASSERT_EQ(file.write(tagBlock("Far", "Away")), 128);
    }
    const auto tag = readId3v1(path);
    EXPECT_EQ(tag.title, "Far");
    EXPECT_EQ(tag.artist, "Away");
}

int openDescriptors() { return int(QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot).size()); }

TEST_F(Id3v1File, ClosesTheFileOnEveryPath) {
    const QString paths[] = {write(QByteArray(300, 'a') + tagBlock("T", "A")),
                             write(QByteArray(300, 'a')), write("short")};
    const int before = openDescriptors();
    for (int i = 0; i < 50; ++i)
        for (const QString& p : paths) readId3v1(p);
    EXPECT_EQ(openDescriptors(), before);
}

TEST(Id3v1Tail, UsesTheLastBlockOfALongerTail) {
    const QByteArray tail = tagBlock("Wrong", "") + tagBlock("Right", "Artist");
    EXPECT_EQ(model::id3v1FromTail(tail, 10000).title, "Right");
    EXPECT_TRUE(model::id3v1FromTail(tagBlock("T", "A"), 128).title.isEmpty());
    EXPECT_TRUE(model::id3v1FromTail("TAG", 1000).title.isEmpty());
}

}  // namespace
