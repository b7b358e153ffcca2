// A file replaced in one step reaches the disk before it takes the old one's name, and its folder
// reaches the disk after, so neither the new bytes nor the rename is lost in a crash; a sync that
// fails keeps the old file.
#include "media/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "support/temp_files.h"

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(AtomicFile, SyncsTheFileBeforeTheRenameAndTheFolderAfterIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString target = dir.filePath("mix.txt");
    ASSERT_TRUE(testsupport::writeFile(target, "old"));
    struct stat folder {};
    ASSERT_EQ(::stat(QFile::encodeName(dir.path()).constData(), &folder), 0);

    struct Sync {
        bool isFolder;
        QByteArray targetHolds;  // at the moment of the sync
    };
    std::vector<Sync> syncs;
    bool failIt = true;
    media::setSyncCall([&](int fd) {
        struct stat st {};
        ::fstat(fd, &st);
        syncs.push_back(
            {S_ISDIR(st.st_mode) && st.st_ino == folder.st_ino && st.st_dev == folder.st_dev,
             contents(target)});
        if (failIt) {
            errno = EIO;
            return -1;
        }
        return ::fsync(fd);
    });

    EXPECT_EQ(media::writeFileAtomically(target, "new"),
              "The disk reported an input/output error.");
    EXPECT_EQ(contents(target), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"mix.txt"});

    syncs.clear();
    failIt = false;
    EXPECT_EQ(media::writeFileAtomically(target, "new"), "");
    media::setSyncCall({});
    ASSERT_EQ(syncs.size(), 2u);
    EXPECT_FALSE(syncs[0].isFolder);
    EXPECT_EQ(syncs[0].targetHolds, "old");
    EXPECT_TRUE(syncs[1].isFolder);
    EXPECT_EQ(syncs[1].targetHolds, "new");
}

}  // namespace
