#include "model/file_label.h"

#include <sys/xattr.h>

#include <QFile>

namespace model {

namespace {

FileLabelSource& labelSource() {
    static FileLabelSource source;
    return source;
}

std::optional<QByteArray> readAttribute(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(0))) return std::nullopt;
    char value[16];
    const ssize_t n =
        ::getxattr(QFile::encodeName(path).constData(), kFileLabelAttribute, value, sizeof value);
    if (n < 0) return std::nullopt;  // no attribute, too long, or not supported here
    return QByteArray(value, static_cast<int>(n));
}

}  // namespace

int32_t parseFileLabel(const QByteArray& value) {
    QByteArray v = value;
    if (v.endsWith('\n')) v.chop(1);
    if (v.size() != 1 || v[0] < '0' || v[0] > '7') return 0;
    return v[0] - '0';
}

int32_t fileLabel(const QString& path) {
    const std::optional<QByteArray> value =
        labelSource() ? labelSource()(path) : readAttribute(path);
    return value ? parseFileLabel(*value) : 0;
}

void setFileLabelSource(FileLabelSource source) { labelSource() = std::move(source); }

}  // namespace model
