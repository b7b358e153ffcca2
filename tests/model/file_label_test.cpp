#include "model/file_label.h"

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/skips.h"
#include "support/temp_files.h"

namespace {

TEST(FileLabel, ParsesOneDigitFromZeroToSeven) {
    const struct {
        QByteArray value;
        int32_t label;
    } cases[] = {
        {"0", 0},
        {"3", 3},
        {"7", 7},
        {"5\n", 5},
        {"8", 0},
        {"-1", 0},
        {"12", 0},
        {"", 0},
        {"a", 0},
        {" 3", 0},
        {"3 ", 0},
        {"\n", 0},
        {QByteArray("3\0", 2), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(model::parseFileLabel(c.value), c.label) << c.value.toHex().constData();
}

TEST(FileLabel, InjectedSourceIsUsedAndCanBeRemoved) {
    QString asked;
    model::setFileLabelSource([&asked](const QString& path) -> std::optional<QByteArray> {
        asked = path;
        return QByteArray("6");
    });
    EXPECT_EQ(model::fileLabel("/some/file.mp3"), 6);
    EXPECT_EQ(asked, "/some/file.mp3");
    model::setFileLabelSource([](const QString&) { return std::nullopt; });
    EXPECT_EQ(model::fileLabel("/some/file.mp3"), 0);
    model::setFileLabelSource({});
    EXPECT_EQ(model::fileLabel("/no/such/file.mp3"), 0);
}

TEST(FileLabel, ReadsTheExtendedAttributeOfARealFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("labelled.mp3");
    ASSERT_TRUE(testsupport::writeFile(path, "x"));
    EXPECT_EQ(model::fileLabel(path), 0);
    const QByteArray name = QFile::encodeName(path);
    if (::setxattr(name.constData(), model::kFileLabelAttribute, "4", 1, 0) != 0)
        VONTALIX_SKIP_BECAUSE("the file label test (this file system keeps no user attributes)");
    EXPECT_EQ(model::fileLabel(path), 4);
    ::setxattr(name.constData(), model::kFileLabelAttribute, "not a label", 11, 0);
    EXPECT_EQ(model::fileLabel(path), 0);
}

}  // namespace
