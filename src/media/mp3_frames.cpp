#include "media/mp3_frames.h"

#include <QFile>
#include <algorithm>
#include <cstring>

namespace media {

namespace {

uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

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
    bool counts = false;  // the tag gives the frame count
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
        t.counts = (flags & 1) != 0;
        const uint8_t* p = x + 8;
        if (flags & 1) p += 4;
        if (flags & 2) p += 4;
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
    if (v + 6 <= end && std::memcmp(v, "VBRI", 4) == 0 && v[4] == 0 && v[5] == 1) t.isTag = true;
    return t;
}

// Decoder delay of layer III on top of the encoder's: the overlap of the transform and the
// filter bank.
constexpr int kDecoderDelay = 529;

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
    // The decoder's own delay moves the end the tag gives as far as the start.
    const int64_t end = tagCountsFrames ? std::min(all, all - endPadding + kDecoderDelay) : all;
    return std::max<int64_t>(end - skipSamples, 0);
}

int64_t Mp3FrameIndex::offsetBefore(int64_t frame, int64_t* keptFrame) const {
    const int64_t i =
        std::clamp<int64_t>(frame / kStride, 0, static_cast<int64_t>(offsets.size()) - 1);
    *keptFrame = i * kStride;
    return offsets[static_cast<size_t>(i)];
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
            if (tag.startPad >= 0) {
                index->encoderDelay = tag.startPad;
                index->skipSamples = tag.startPad + kDecoderDelay;
                index->endPadding = tag.endPad;
                index->tagCountsFrames = tag.counts;
            }
            if (tag.isTag) {
                index->hasTag = true;
                pos += h.bytes;
            }
        }
    }
    for (;;) {
        if (have - pos < 8192) refill();
        if (have - pos < 4) break;
        const Mp3Header h = parseMp3Header(buf.data() + pos);
        if (h.bytes && started && !sameStream(h, first)) return nullptr;  // not one stream
        // The first frame must be followed by another, as a sync found in junk is not.
        if (!started || !h.bytes || pos + h.bytes > have) {
            const int64_t skip =
                findMp3Sync(buf.data() + pos, have - pos, started ? &first : nullptr);
            if (skip < 0) {
                if (eof) break;
                pos = std::max(pos + 1, have - 4096);  // a frame may straddle the refill
                refill();
                continue;
            }
            if (skip > 0 || !started) {
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

}  // namespace media
