#pragma once
// Media files are only ever regular files: opening a FIFO or a device would block the program or
// read endless data.

#include <QString>

namespace model {

// True when path names a regular file (symbolic links are followed). A relative or empty path,
// a directory, a FIFO, a device or a missing file gives false.
bool isRegularFile(const QString& path);

}  // namespace model
