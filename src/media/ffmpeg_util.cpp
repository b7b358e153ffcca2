#include "media/ffmpeg_util.h"

#include <QFile>
#include <QFileInfo>

namespace media::ff {

QString errorText(int code) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return QString::fromUtf8(buf);
}

int ReadLimit::interrupt(void* self) {
    auto* limit = static_cast<ReadLimit*>(self);
    const AVFormatContext* in = limit->input_;
    if (in && in->pb && in->pb->bytes_read > limit->bytes_) limit->reached_ = true;
    return limit->reached_;
}

FormatPtr openInput(const QString& path, QString* error, ReadLimit* limit) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return FormatPtr();
    };
    const QFileInfo info(path);
    if (!info.exists()) return fail(QStringLiteral("file not found"));
    if (!info.isFile()) return fail(QStringLiteral("not a regular file"));
    if (info.size() == 0) return fail(QStringLiteral("empty file"));

    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) return fail(QStringLiteral("out of memory"));
    if (limit) {
        // Every read of the input asks first; a refused one ends the probe or the read.
        raw->interrupt_callback = {&ReadLimit::interrupt, limit};
        limit->input_ = raw;
    }
    const QByteArray name = QFile::encodeName(path);
    int rc = avformat_open_input(&raw, name.constData(), nullptr, nullptr);
    if (rc < 0) return fail(errorText(rc));
    FormatPtr fmt(raw);
    rc = avformat_find_stream_info(fmt.get(), nullptr);
    if (rc < 0) return fail(errorText(rc));
    return fmt;
}

}  // namespace media::ff
