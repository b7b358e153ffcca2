#include "model/regular_file.h"

#include <sys/stat.h>

#include <QFile>

namespace model {

bool isRegularFile(const QString& path) {
    if (!path.startsWith(u'/') || path.contains(QChar(0))) return false;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return S_ISREG(st.st_mode);
}

}  // namespace model
