#pragma once
// What stands in the way of reading or replacing a file, found before trying, in the user's
// words.

#include <QString>
#include <cstdint>

namespace media {

// Why the file at path may not be replaced: a disk mounted read-only, or a file or folder made
// write-protected (set on purpose: renaming over it, or writing as root, would get past it).
// "" when nothing stands in the way.
QString replaceRefusal(const QString& path);

// The file is there but this user may not read it: a different matter from a file that is no
// media.
bool readRefused(const QString& path);

// A file's size and modification time (nanoseconds): whether it is still the file it was.
// -1 and -1 when it cannot be read. Any thread.
struct FileStamp {
    int64_t size = -1;
    int64_t modified = -1;
    bool operator==(const FileStamp&) const = default;
};
FileStamp fileStamp(const QString& path);

}  // namespace media
