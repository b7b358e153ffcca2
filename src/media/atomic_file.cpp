#include "media/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cctype>
#include <cerrno>
#include <system_error>

#include "media/file_access.h"

namespace media {

namespace {

WriteCall& writeOverride() {
    static WriteCall call;
    return call;
}

SyncCall& syncOverride() {
    static SyncCall call;
    return call;
}

ssize_t writeSome(int fd, const char* data, size_t size) {
    if (writeOverride()) return writeOverride()(fd, data, size);
    return ::write(fd, data, size);
}

int syncFile(int fd) { return syncOverride() ? syncOverride()(fd) : ::fsync(fd); }

// What a failed system call's error number means for a file being saved.
QString writeProblem(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("The disk is full.");
        case EROFS:
            return QStringLiteral("The disk is read-only.");
        case EACCES:
        case EPERM:
            return QStringLiteral("You do not have permission to write there.");
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("The folder does not exist.");
        case EISDIR:
            return QStringLiteral("It is not a file.");
        case ENAMETOOLONG:
            return QStringLiteral("The file name is too long.");
        case EIO:
            return QStringLiteral("The disk reported an input/output error.");
        default:
            break;
    }
    QString text = QString::fromStdString(std::generic_category().message(error));
    if (!text.endsWith(u'.')) text += u'.';
    return text;
}

// The temporary files of saves of `base` are "." + base + "." + hex digits + ".tmp".
bool isTempOf(const QByteArray& entry, const QByteArray& base) {
    const QByteArray prefix = '.' + base + '.', suffix = ".tmp";
    if (!entry.startsWith(prefix) || !entry.endsWith(suffix)) return false;
    const QByteArray digits =
        entry.mid(prefix.size(), entry.size() - prefix.size() - suffix.size());
    if (digits.isEmpty() || digits.size() > 8) return false;
    for (char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// Removes what earlier saves of the file left beside it when they were killed. A save holds a
// lock on its temporary file while it lasts, so one still running (another copy of the program)
// keeps its file.
void removeLeftovers(const QByteArray& folder, const QByteArray& base) {
    DIR* d = ::opendir(folder.constData());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (!isTempOf(name, base)) continue;
        const QByteArray path = folder + name;
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(fd);
    }
    ::closedir(d);
}

}  // namespace

void setWriteCall(WriteCall call) { writeOverride() = std::move(call); }
void setSyncCall(SyncCall call) { syncOverride() = std::move(call); }

AtomicFile::AtomicFile(const QString& path) {
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink() && info.exists()) target = info.canonicalFilePath();
    target_ = QFile::encodeName(target);
    const qsizetype slash = target_.lastIndexOf('/');
    folder_ = slash >= 0 ? target_.left(slash + 1) : QByteArray("./");
    base_ = target_.mid(slash + 1);
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !tempPath_.isEmpty()) ::unlink(tempPath_.constData());
    if (lock_ >= 0) ::close(lock_);
}

bool AtomicFile::fail(int error) { return fail(writeProblem(error)); }

bool AtomicFile::fail(const QString& why) {
    if (problem_.isEmpty()) problem_ = why;
    return false;
}

bool AtomicFile::open() {
    struct stat old {};
    const bool existed = ::stat(target_.constData(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) return fail(QStringLiteral("It is not a file."));
    if (const QString refused = replaceRefusal(QFile::decodeName(target_)); !refused.isEmpty())
        return fail(refused);

    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        const QByteArray name = folder_ + '.' + base_ + '.' +
                                QByteArray::number(QRandomGenerator::global()->generate(), 16) +
                                ".tmp";
        fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            tempPath_ = name;
            // Ours while this save lasts (see removeLeftovers).
            if (::flock(fd_, LOCK_EX) == 0) lock_ = ::dup(fd_);
        } else if (errno != EEXIST) {
            return fail(errno);
        }
    }
    if (fd_ < 0) return fail(EEXIST);
    // The new file keeps the old one's permissions.
    if (existed) ::fchmod(fd_, old.st_mode & 07777);
    return true;
}

bool AtomicFile::write(const char* data, size_t size) {
    if (fd_ < 0) return fail(EBADF);
    while (size > 0) {
        const ssize_t n = writeSome(fd_, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(errno);
        if (n == 0) return fail(ENOSPC);  // nothing more fits
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

int64_t AtomicFile::seek(int64_t offset, int whence) {
    if (fd_ < 0) {
        fail(EBADF);
        return -1;
    }
    const off_t pos = ::lseek(fd_, offset, whence);
    if (pos < 0) fail(errno);
    return pos;
}

int64_t AtomicFile::size() {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
        fail(fd_ < 0 ? EBADF : errno);
        return -1;
    }
    return st.st_size;
}

bool AtomicFile::commit() {
    if (!problem_.isEmpty()) return false;
    if (fd_ < 0) return fail(EBADF);
    // Some file systems report a full disk only when the data reach it.
    if (syncFile(fd_) != 0) return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(errno);
    if (::rename(tempPath_.constData(), target_.constData()) != 0) return fail(errno);
    committed_ = true;
    // The rename lives in the folder. Once it is done the old file is gone, so a folder that
    // cannot be synced is no failure to report: the new file is there whole.
    const int folder = ::open(folder_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        syncFile(folder);
        ::close(folder);
    }
    removeLeftovers(folder_, base_);
    return true;
}

QString writeFileAtomically(const QString& path, const QByteArray& bytes) {
    AtomicFile file(path);
    if (file.open() && file.write(bytes.constData(), static_cast<size_t>(bytes.size())))
        file.commit();
    return file.problem();
}

}  // namespace media
