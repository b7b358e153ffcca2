#include "media/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace media {

QString replaceRefusal(const QString& path) {
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    // Asked first: on a read-only disk every file also looks write-protected.
    struct statvfs disk {};
    if (::statvfs(QFile::encodeName(folder.absoluteFilePath()).constData(), &disk) == 0 &&
        (disk.f_flag & ST_RDONLY))
        return QStringLiteral("The disk is read-only.");
    if (info.exists() && info.isFile() &&
        (!info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner)))
        return QStringLiteral("The file is write-protected.");
    if (folder.isDir() && !(folder.permissions() & QFileDevice::WriteOwner))
        return QStringLiteral("The folder is write-protected.");
    return QString();
}

bool readRefused(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return false;
    }
    return errno == EACCES || errno == EPERM;
}

FileStamp fileStamp(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return {static_cast<int64_t>(st.st_size),
            static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

}  // namespace media
