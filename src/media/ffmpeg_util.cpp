#include "media/ffmpeg_util.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>

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

int64_t containerBoxBytes(const QString& path) {
    if (!QFileInfo(path).isFile()) return 0;  // a FIFO would block
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return 0;
    const int64_t fileSize = f.size();
    // A walk of the box headers only; a file of many fragments stops being counted somewhere.
    constexpr int kMostBoxes = 256;
    int64_t at = 0, bytes = 0;
    for (int box = 0; box < kMostBoxes && at + 8 <= fileSize; ++box) {
        uchar head[16];
        const qint64 got = f.seek(at) ? f.read(reinterpret_cast<char*>(head), 16) : -1;
        if (got < 8) break;
        const QByteArray type(reinterpret_cast<const char*>(head + 4), 4);
        if (box == 0) {
            // What such files start with; anything else (zeros, junk) has no boxes to count.
            static const QByteArrayList kFirst = {"ftyp", "moov", "mdat", "wide", "free", "skip"};
            if (!kFirst.contains(type)) return 0;
        } else if (!std::all_of(type.begin(), type.end(),
                                [](char c) { return c >= 0x20 && c < 0x7f; })) {
            break;
        }
        int64_t size = qFromBigEndian<quint32>(head);
        if (size == 1)
            size = got == 16 ? qFromBigEndian<qint64>(head + 8) : 0;  // 64-bit size
        else if (size == 0)
            size = fileSize - at;  // the last box, to the end of the file
        if (size < 8) break;
        size = std::min(size, fileSize - at);  // a file cut short holds only this much
        if (type != "mdat") bytes += size;
        at += size;
    }
    return bytes;
}

int64_t durationHeld(AVFormatContext* fmt, AVStream* st) {
    const int64_t fileSize = fmt->pb ? avio_size(fmt->pb) : -1;
    if (fileSize <= 0 || st->duration == AV_NOPTS_VALUE) return st->duration;
    int64_t cut = INT64_MAX;
    const int entries = avformat_index_get_entries_count(st);
    for (int i = 0; i < entries; ++i) {
        const AVIndexEntry* e = avformat_index_get_entry(st, i);
        if (e->size > 0 && e->pos + e->size > fileSize) cut = std::min(cut, e->timestamp);
    }
    if (cut == INT64_MAX) return st->duration;
    const int64_t start = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
    return std::clamp<int64_t>(cut - start, 0, st->duration);
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
