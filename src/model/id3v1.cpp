#include "model/id3v1.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "model/regular_file.h"

namespace model {

namespace {

// Closes the descriptor on every path out of readId3v1.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// A tag field: the bytes up to the first NUL (all of them when there is none), as Latin-1, with
// control characters dropped so that a tag cannot put line breaks or escapes into the status line
// or a saved playlist.
QString tagText(const char* bytes, int size) {
    int length = 0;
    while (length < size && bytes[length] != '\0') ++length;
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) continue;
        text.append(QChar(c));  // Latin-1 code points are the byte values
    }
    return text;
}

}  // namespace

Id3v1Tag id3v1FromTail(const QByteArray& tail, int64_t fileSize) {
    if (fileSize <= kId3v1BlockSize || tail.size() < kId3v1BlockSize) return {};
    const char* block = tail.constData() + (tail.size() - kId3v1BlockSize);
    if (block[0] != 'T' || block[1] != 'A' || block[2] != 'G') return {};
    return {tagText(block + 3, 30), tagText(block + 33, 30)};
}

Id3v1Tag readId3v1(const QString& path) {
    // Checked before opening too: opening some devices has effects of its own.
    if (!isRegularFile(path)) return {};
    // O_NONBLOCK keeps a FIFO from blocking the open; the type check below then refuses it.
    FileDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return {};
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    const int64_t size = st.st_size;
    if (size <= kId3v1BlockSize) return {};

    QByteArray block(kId3v1BlockSize, '\0');
    int64_t done = 0;
    while (done < kId3v1BlockSize) {
        const ssize_t n = ::pread(fd.get(), block.data() + done, kId3v1BlockSize - done,
                                  static_cast<off_t>(size - kId3v1BlockSize + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return {};  // read error, or the file shrank meanwhile
        done += n;
    }
    return id3v1FromTail(block, size);
}

}  // namespace model
