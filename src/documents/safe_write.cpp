#include "documents/safe_write.h"

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

namespace documents {

namespace {

WriteCall& writeOverride() {
    static WriteCall call;
    return call;
}

ssize_t writeSome(int fd, const char* data, size_t size) {
    if (writeOverride()) return writeOverride()(fd, data, size);
    return ::write(fd, data, size);
}

// Closes the temporary file and removes it unless it was put in place.
struct TempFile {
    QByteArray path;
    int fd = -1;
    int lock = -1;  // holds the file's lock until the save is over, also after fd is closed
    bool placed = false;
    ~TempFile() {
        if (fd >= 0) ::close(fd);
        if (!placed && !path.isEmpty()) ::unlink(path.constData());
        if (lock >= 0) ::close(lock);
    }
};

// The temporary files of saves of `base` are "." + base + "." + hex digits + ".tmp".
bool isTempOf(const QByteArray& entry, const QByteArray& base) {
    const QByteArray prefix = '.' + base + '.', suffix = ".tmp";
    if (!entry.startsWith(prefix) || !entry.endsWith(suffix)) return false;
    const QByteArray digits = entry.mid(prefix.size(), entry.size() - prefix.size() - suffix.size());
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

QString writeFileSafely(const QString& path, const QByteArray& bytes) {
    // A link is followed: the file it names is replaced, the link stays.
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink() && info.exists()) target = info.canonicalFilePath();
    const QByteArray native = QFile::encodeName(target);

    struct stat old {};
    const bool existed = ::stat(native.constData(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) return QStringLiteral("It is not a file.");

    TempFile temp;
    const qsizetype slash = native.lastIndexOf('/');
    const QByteArray folder = slash >= 0 ? native.left(slash + 1) : QByteArray("./");
    const QByteArray base = native.mid(slash + 1);
    for (int attempt = 0; attempt < 100 && temp.fd < 0; ++attempt) {
        const QByteArray name = folder + '.' + base + '.' +
                                QByteArray::number(QRandomGenerator::global()->generate(), 16) +
                                ".tmp";
        temp.fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (temp.fd >= 0) {
            temp.path = name;
            // Ours while this save lasts (see removeLeftovers).
            if (::flock(temp.fd, LOCK_EX) == 0) temp.lock = ::dup(temp.fd);
        } else if (errno != EEXIST) {
            return writeProblem(errno);
        }
    }
    if (temp.fd < 0) return writeProblem(EEXIST);
    // The new file keeps the old one's permissions.
    if (existed) ::fchmod(temp.fd, old.st_mode & 07777);

    const char* data = bytes.constData();
    size_t left = static_cast<size_t>(bytes.size());
    while (left > 0) {
        const ssize_t n = writeSome(temp.fd, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return writeProblem(errno);
        if (n == 0) return writeProblem(ENOSPC);  // nothing more fits
        data += n;
        left -= static_cast<size_t>(n);
    }
    // Some file systems report a full disk only when the data reach it.
    if (::fsync(temp.fd) != 0) return writeProblem(errno);
    const int fd = temp.fd;
    temp.fd = -1;
    if (::close(fd) != 0) return writeProblem(errno);
    if (::rename(temp.path.constData(), native.constData()) != 0) return writeProblem(errno);
    temp.placed = true;
    removeLeftovers(folder, base);
    return QString();
}

}  // namespace documents
