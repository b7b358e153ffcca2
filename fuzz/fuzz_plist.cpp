// The library drag-data reader over arbitrary bytes: it must never crash, hang or take a path
// that is not absolute.
#include <cstdint>

#include "model/plist_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = model::trackPathInLibraryData(bytes);
    if (!path.isEmpty() && !path.startsWith(u'/')) __builtin_trap();
    const QString fromUrl = model::fileUrlToLocalPath(QString::fromUtf8(bytes));
    if (!fromUrl.isEmpty() && (!fromUrl.startsWith(u'/') || fromUrl.contains(QChar(0))))
        __builtin_trap();
    return 0;
}
