#pragma once
// What stands in the way of reading or replacing a file, found before trying, in the user's
// words.

#include <QString>

namespace media {

// Why the file at path may not be replaced: a disk mounted read-only, or a file or folder made
// write-protected (set on purpose: renaming over it, or writing as root, would get past it).
// "" when nothing stands in the way.
QString replaceRefusal(const QString& path);

// The file is there but this user may not read it: a different matter from a file that is no
// media.
bool readRefused(const QString& path);

}  // namespace media
