// The ID3v1 reader over arbitrary file contents: through a real file (so the open, size and
// close paths run too) and through the byte entry point with odd file sizes.
#include <unistd.h>

#include <QFile>
#include <cstdint>
#include <cstdlib>

#include "model/id3v1.h"

namespace {

QString scratchFile;

void check(const model::Id3v1Tag& tag) {
    for (const QString& text : {tag.title, tag.artist}) {
        if (text.size() > 30) __builtin_trap();
        for (QChar c : text)
            if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
                __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char name[] = "/tmp/vontalix-fuzz-id3v1-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) std::abort();
    close(fd);
    scratchFile = QString::fromLocal8Bit(name);
    std::atexit([] { QFile::remove(scratchFile); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    check(model::id3v1FromTail(bytes, static_cast<int64_t>(size)));
    check(model::id3v1FromTail(bytes, INT64_MAX));
    check(model::id3v1FromTail(bytes, -1));

    QFile file(scratchFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    file.close();
    check(model::readId3v1(scratchFile));
    return 0;
}
