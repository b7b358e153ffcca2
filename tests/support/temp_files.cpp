#include "support/temp_files.h"

#include <unistd.h>

#include <QFile>
#include <cstdlib>

namespace testsupport {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

AsOrdinaryUser::AsOrdinaryUser() {
    if (geteuid() != 0) return;
    constexpr uid_t kNobody = 65534;
    switched_ = setegid(kNobody) == 0 && seteuid(kNobody) == 0;
}

bool AsOrdinaryUser::inEffect() const { return geteuid() != 0; }

AsOrdinaryUser::~AsOrdinaryUser() {
    if (!switched_) return;
    if (seteuid(0) != 0 || setegid(0) != 0) abort();
}

}  // namespace testsupport
