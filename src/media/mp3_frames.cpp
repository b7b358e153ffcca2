#include "media/mp3_frames.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace media {

namespace {

uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Decoder delay of layer III on top of the encoder's: the overlap of the transform and the
// filter bank.
constexpr int kDecoderDelay = 529;

bool sameStream(const Mp3Header& a, const Mp3Header& b) {
    return a.rate == b.rate && a.samples == b.samples;
}

// Size of the ID3v2 tags at the start of the file (several may follow each other).
int64_t id3v2Size(QFile& f) {
    int64_t at = 0;
    for (;;) {
        if (!f.seek(at)) return at;
        const QByteArray h = f.read(10);
        if (h.size() < 10 || !h.startsWith("ID3")) return at;
        const auto b = [&](int i) { return int64_t(uint8_t(h[i])); };
        if ((b(6) | b(7) | b(8) | b(9)) & 0x80) return at;  // not a tag after all
        at += 10 + ((b(6) << 21) | (b(7) << 14) | (b(8) << 7) | b(9));
        if (b(5) & 0x10) at += 10;  // footer
    }
}

struct TagInfo {
    bool isTag = false;  // the frame carries an information tag instead of sound
    int startPad = -1;   // encoder delay and padding, when the tag has them
    int endPad = 0;
    int64_t frames = -1;  // sound frames, when the tag gives them
    int64_t bytes = -1;   // bytes of the stream, when the tag gives them
};

// The information tag a file's first frame may carry ("Xing", "Info" or "VBRI"), read the way
// the demuxer does, so positions agree with a decode from the start.
TagInfo readTag(const uint8_t* frame, const Mp3Header& h) {
    TagInfo t;
    const int side = h.mpeg1 ? (h.mono ? 17 : 32) : (h.mono ? 9 : 17);
    const uint8_t* x = frame + 4 + side;
    const uint8_t* end = frame + h.bytes;
    if (x + 8 <= end && (std::memcmp(x, "Xing", 4) == 0 || std::memcmp(x, "Info", 4) == 0)) {
        const uint32_t flags = be32(x + 4);
        t.isTag = (flags & 3) != 0;  // without a frame or byte count the demuxer keeps it
        const uint8_t* p = x + 8;
        if (flags & 1) {
            if (p + 4 <= end) t.frames = be32(p);
            p += 4;
        }
        if (flags & 2) {
            if (p + 4 <= end) t.bytes = be32(p);
            p += 4;
        }
        if (flags & 4) p += 100;
        if (flags & 8) p += 4;
        if (p + 24 <= end && (std::memcmp(p, "LAME", 4) == 0 || std::memcmp(p, "Lavf", 4) == 0 ||
                              std::memcmp(p, "Lavc", 4) == 0)) {
            const uint32_t v = uint32_t(p[21]) << 16 | uint32_t(p[22]) << 8 | p[23];
            t.startPad = int(v >> 12);
            t.endPad = int(v & 4095);
        }
        return t;
    }
    const uint8_t* v = frame + 4 + 32;
    if (v + 18 <= end && std::memcmp(v, "VBRI", 4) == 0 && v[4] == 0 && v[5] == 1) {
        t.isTag = true;
        t.bytes = be32(v + 10);
        t.frames = be32(v + 14);
    }
    return t;
}

// What a tag read at the start of the file means for the index: the encoder's delay, which the
// demuxer skips, and the padding it trims where the tag's frame count ends. Like the demuxer, a
// file much longer than the tag's byte count is taken for several files joined, and its count
// ignored.
void applyTag(const TagInfo& tag, int64_t fileSize, Mp3FrameIndex& index) {
    index.hasTag = tag.isTag;
    if (tag.startPad < 0) return;
    index.encoderDelay = tag.startPad;
    index.skipSamples = tag.startPad + kDecoderDelay;
    index.endPadding = tag.endPad;
    const bool joined =
        tag.bytes > 0 && fileSize > tag.bytes && fileSize - tag.bytes > tag.bytes >> 4;
    index.tagFrames = tag.frames > 0 && !joined ? tag.frames : 0;
}

}  // namespace

Mp3Header parseMp3Header(const uint8_t* p) {
    static const int kRates[] = {44100, 48000, 32000};
    static const int kKbps[2][15] = {
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};
    Mp3Header h;
    if (p[0] != 0xff || (p[1] & 0xe0) != 0xe0) return h;
    const int version = (p[1] >> 3) & 3;  // 0: 2.5, 2: 2, 3: 1
    const int layer = (p[1] >> 1) & 3;    // 1: layer III
    const int bitrate = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    if (version == 1 || layer != 1 || bitrate == 0 || bitrate == 15 || rateIndex == 3) return h;
    const bool mpeg1 = version == 3;
    const int rate = kRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    const int kbps = kKbps[mpeg1 ? 0 : 1][bitrate];
    const int padding = (p[2] >> 1) & 1;
    h.rate = rate;
    h.mpeg1 = mpeg1;
    h.samples = mpeg1 ? 1152 : 576;
    h.bytes = (mpeg1 ? 144000 : 72000) * kbps / rate + padding;
    h.mono = (p[3] >> 6) == 3;
    return h;
}

int64_t findMp3Sync(const uint8_t* buf, int64_t size, const Mp3Header* like) {
    for (int64_t i = 0; i + 4 <= size; ++i) {
        if (buf[i] != 0xff) continue;
        const Mp3Header h = parseMp3Header(buf + i);
        if (h.bytes == 0 || (like && !sameStream(h, *like))) continue;
        if (i + h.bytes + 4 > size) {
            if (i + h.bytes == size) return i;  // the last frame of the data
            continue;
        }
        const Mp3Header next = parseMp3Header(buf + i + h.bytes);
        if (next.bytes && sameStream(h, next)) return i;
    }
    return -1;
}

int64_t Mp3FrameIndex::decodedSamples() const {
    const int64_t all = frames * samplesPerFrame;
    int64_t end = all;
    if (tagFrames > 0) {
        // The demuxer drops the padding where the tag says the sound ends (moved on by the
        // decoder's own delay); a file cut short before there keeps all it has.
        const int64_t tagEnd = tagFrames * samplesPerFrame;
        const int64_t padFrom = std::max<int64_t>(tagEnd - endPadding + kDecoderDelay, 0);
        end -= std::max<int64_t>(std::min(all, tagEnd) - padFrom, 0);
    }
    return std::max<int64_t>(end - skipSamples, 0);
}

int64_t Mp3FrameIndex::offsetBefore(int64_t frame, int64_t* keptFrame) const {
    const int64_t i =
        std::clamp<int64_t>(frame / kStride, 0, static_cast<int64_t>(offsets.size()) - 1);
    *keptFrame = i * kStride;
    return offsets[static_cast<size_t>(i)];
}

int64_t leadingTagBytes(const QString& path) {
    if (!QFileInfo(path).isFile()) return 0;  // a FIFO would block
    QFile f(path);
    return f.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ? id3v2Size(f) : 0;
}

Mp3FrameIndexRef indexMp3Frames(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return nullptr;
    auto index = std::make_shared<Mp3FrameIndex>();
    index->fileSize = f.size();
    int64_t at = id3v2Size(f);  // file offset of buf[0]
    if (!f.seek(at)) return nullptr;

    // Big sequential reads; a frame that straddles the end of the buffer moves to its front.
    constexpr int64_t kChunk = 1 << 20;
    std::vector<uint8_t> buf(kChunk + 8192);
    int64_t have = 0, pos = 0;  // bytes in buf, parse position in buf
    bool eof = false;
    const auto refill = [&] {
        if (eof) return;
        std::memmove(buf.data(), buf.data() + pos, static_cast<size_t>(have - pos));
        have -= pos;
        at += pos;
        pos = 0;
        const qint64 got =
            f.read(reinterpret_cast<char*>(buf.data() + have), int64_t(buf.size()) - have);
        if (got <= 0)
            eof = true;
        else
            have += got;
    };

    Mp3Header first;
    bool started = false;
    // The demuxer looks for an information tag only in a frame right at the start of the data.
    if (have - pos < 8192) refill();
    if (have - pos >= 4) {
        const Mp3Header h = parseMp3Header(buf.data() + pos);
        if (h.bytes && pos + h.bytes <= have) {
            const TagInfo tag = readTag(buf.data() + pos, h);
            applyTag(tag, index->fileSize, *index);
            if (tag.isTag) pos += h.bytes;
        }
    }
    for (;;) {
        if (have - pos < 8192) refill();
        if (have - pos < 4) break;
        const Mp3Header h = parseMp3Header(buf.data() + pos);
        if (h.bytes && started && !sameStream(h, first)) return nullptr;  // not one stream
        // The first frame must be followed by another, as a sync found in junk is not.
        if (!started || !h.bytes || pos + h.bytes > have) {
            // Frames of another kind further on (a file joined to one of another rate) are
            // sound this walk cannot count, not junk to skip: the file cannot be walked.
            const int64_t skip = findMp3Sync(buf.data() + pos, have - pos);
            if (started && skip >= 0 && !sameStream(parseMp3Header(buf.data() + pos + skip), first))
                return nullptr;
            if (skip < 0) {
                if (eof) break;
                index->damaged = index->damaged || started;
                pos = std::max(pos + 1, have - 4096);  // a frame may straddle the refill
                refill();
                continue;
            }
            if (skip > 0 || !started) {
                index->damaged = index->damaged || started;
                pos += skip;
                if (!started) {
                    started = true;
                    first = parseMp3Header(buf.data() + pos);
                    index->rate = first.rate;
                    index->samplesPerFrame = first.samples;
                }
                continue;
            }
        }
        if (index->frames % Mp3FrameIndex::kStride == 0) index->offsets.push_back(at + pos);
        ++index->frames;
        pos += h.bytes;
        index->end = at + pos;
    }
    if (index->frames == 0) return nullptr;
    return index;
}

Mp3FrameIndexRef measureMp3ByTag(const QString& path) {
    QFile f(path);
    // Only the few bytes asked for are read, not a buffer's worth around each.
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return nullptr;
    const int64_t size = f.size();
    const int64_t first = id3v2Size(f);  // the tag frame
    if (!f.seek(first)) return nullptr;
    const QByteArray head = f.read(4096);  // more than the largest frame
    const auto* h0 = reinterpret_cast<const uint8_t*>(head.constData());
    if (head.size() < 4) return nullptr;
    const Mp3Header h = parseMp3Header(h0);
    if (!h.bytes || h.bytes > head.size()) return nullptr;
    const TagInfo tag = readTag(h0, h);
    if (!tag.isTag || tag.frames <= 0 || tag.bytes <= 0) return nullptr;

    // Where the stream really ends: the end of the last whole frame in the file's last few KB
    // (tags after the sound are no frames).
    constexpr int64_t kTail = 16 * 1024;
    const int64_t from = std::max(first + h.bytes, size - kTail);
    if (!f.seek(from)) return nullptr;
    const QByteArray tail = f.read(size - from);
    const auto* t = reinterpret_cast<const uint8_t*>(tail.constData());
    const int64_t n = tail.size();
    int64_t p = findMp3Sync(t, n, &h), last = -1;
    while (p >= 0 && p + 4 <= n) {
        const Mp3Header fh = parseMp3Header(t + p);
        if (fh.bytes && sameStream(fh, h) && p + fh.bytes <= n) {
            p += fh.bytes;
            last = p;
            continue;
        }
        // Damage, or the sound's end: frames further on, if any, go on the stream.
        const int64_t next = findMp3Sync(t + p + 1, n - p - 1, &h);
        p = next < 0 ? -1 : p + 1 + next;
    }
    if (last < 0) return nullptr;
    const int64_t end = from + last;
    // Encoders count the stream with or without the tag frame, or the whole file.
    if (end != first + tag.bytes && end != first + h.bytes + tag.bytes && end != tag.bytes)
        return nullptr;
    // The frame count must fit the bytes: every frame lies between the smallest and the largest
    // a layer III frame of this rate can be.
    const int64_t sound = end - first - h.bytes;
    const int64_t perKbps = (h.mpeg1 ? 144000 : 72000);
    const int64_t smallest = perKbps * (h.mpeg1 ? 32 : 8) / h.rate;
    const int64_t largest = perKbps * (h.mpeg1 ? 320 : 160) / h.rate + 1;
    if (sound < tag.frames * smallest || sound > tag.frames * largest) return nullptr;

    auto index = std::make_shared<Mp3FrameIndex>();
    index->rate = h.rate;
    index->samplesPerFrame = h.samples;
    index->frames = tag.frames;
    index->end = end;
    index->fileSize = size;
    applyTag(tag, size, *index);
    return index;
}

}  // namespace media
