#pragma once
// Writing a file in one step: the new bytes go to a temporary file beside it, which replaces the
// old file only once it is whole on the disk; the folder is synced afterwards, so the replacement
// itself survives a crash. A failure leaves the old file as it was, removes the temporary file
// and says what went wrong in words a user understands (a full disk says the disk is full).

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace media {

// A new version of one file, written by one writer. Nothing of it shows at the target until
// commit() succeeds; dropping it uncommitted (a failure, a cancel) leaves the target untouched.
class AtomicFile {
  public:
    // A link is followed: the file it names is replaced, the link stays.
    explicit AtomicFile(const QString& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Checks that the target may be replaced and creates the temporary file beside it.
    bool open();
    // Writes all of data at the current position; unbuffered, so a full disk shows here.
    bool write(const char* data, size_t size);
    // As lseek(2); -1 on failure.
    int64_t seek(int64_t offset, int whence);
    // The bytes written so far; -1 on failure.
    int64_t size();
    // Syncs the new file, renames it over the target and syncs the folder.
    bool commit();

    // Why the first failure happened, one sentence; "" while nothing failed.
    const QString& problem() const { return problem_; }

  private:
    bool fail(int error);
    bool fail(const QString& why);

    QByteArray target_, folder_, base_, tempPath_;
    int fd_ = -1;
    int lock_ = -1;  // holds the temporary file's lock until the save is over
    bool committed_ = false;
    QString problem_;
};

// Replaces the file at path with bytes. "" on success, else why not (one sentence).
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

// Tests put failing system calls in the place of write(2) and fsync(2); an empty function
// restores the real one.
using WriteCall = std::function<ssize_t(int fd, const void* data, size_t size)>;
void setWriteCall(WriteCall call);
using SyncCall = std::function<int(int fd)>;
void setSyncCall(SyncCall call);

}  // namespace media
