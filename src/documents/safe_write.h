#pragma once
// Writing a file in one step: the new bytes go to a temporary file beside it, which replaces the
// old file only once it is whole on the disk. A failure leaves the old file as it was and says
// what went wrong in words a user understands (a full disk says the disk is full).

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <functional>

namespace documents {

// Replaces the file at path with bytes. "" on success, else why not (one sentence).
QString writeFileSafely(const QString& path, const QByteArray& bytes);

// What a failed system call's error number means for a file being saved.
QString writeProblem(int error);

// Tests put a failing write in the place of write(2); an empty function restores it.
using WriteCall = std::function<ssize_t(int fd, const void* data, size_t size)>;
void setWriteCall(WriteCall call);

}  // namespace documents
