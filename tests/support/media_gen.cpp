#include "support/media_gen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>

#include "media/decoder.h"
#include "media/mp3_frames.h"
#include "support/child_process.h"

namespace testsupport {

bool runFfmpeg(const QStringList& args) {
    return ChildProcess::execute(
               "ffmpeg", QStringList{"-nostdin", "-loglevel", "error", "-y"} + args, 120000) == 0;
}

QString tempDir() {
    static QTemporaryDir dir;
    return dir.path();
}

QStringList encoderArguments(MediaKind kind, double seconds) {
    QStringList args;
    switch (kind) {
        case MediaKind::Mp3Cbr:
            args << "-c:a"
                 << "libmp3lame"
                 << "-b:a"
                 << "128k";
            break;
        case MediaKind::Mp3Vbr:
            args << "-c:a"
                 << "libmp3lame"
                 << "-q:a"
                 << "2";
            break;
        case MediaKind::Mp3VbrNoHeader:
            args << "-c:a"
                 << "libmp3lame"
                 << "-q:a"
                 << "2"
                 << "-write_xing"
                 << "0";
            break;
        case MediaKind::M4a:
            args << "-c:a"
                 << "aac"
                 << "-b:a"
                 << "128k";
            break;
        case MediaKind::Adts:
            args << "-c:a"
                 << "aac"
                 << "-b:a"
                 << "128k"
                 << "-f"
                 << "adts";
            break;
        case MediaKind::MovWithVideo:
            args << "-f"
                 << "lavfi"
                 << "-i" << QStringLiteral("testsrc=size=64x48:rate=10:d=%1").arg(seconds) << "-c:v"
                 << "mpeg4"
                 << "-c:a"
                 << "aac"
                 << "-shortest";
            break;
    }
    return args;
}

QString makeMedia(const MediaSpec& spec) {
    static std::map<QString, QString> cache;
    const char* ext[] = {"mp3", "mp3", "mp3", "m4a", "aac", "mov"};
    const QString key = QStringLiteral("%1-%2-%3-%4-%5")
                            .arg(int(spec.kind))
                            .arg(spec.seconds)
                            .arg(int(spec.signal))
                            .arg(spec.rate)
                            .arg(spec.seed);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    const QString out = tempDir() + "/media-" + key + "." + ext[int(spec.kind)];

    // Left and right differ, so a swap or a mono fold shows.
    QString expr;
    switch (spec.signal) {
        case Signal::Chirp:
            expr = "0.5*sin(2*PI*(200+400*t)*t)|0.3*sin(2*PI*(900-100*t)*t)";
            break;
        case Signal::Sine:
            expr = "0.5*sin(2*PI*440*t)|0.5*sin(2*PI*660*t)";
            break;
        case Signal::Silence:
            expr = "0|0";
            break;
        case Signal::ClicksLeft:
        case Signal::ClicksRight: {
            const QString click = "0.8*sin(2*PI*1000*t)*lt(mod(t+0.4\\,0.5)\\,0.004)";
            expr = spec.signal == Signal::ClicksLeft ? click + "|0" : "0|" + click;
            break;
        }
        case Signal::NoiseLeft:
        case Signal::NoiseRight:
            break;
    }
    QString source =
        QStringLiteral("aevalsrc=%1:s=%2:d=%3").arg(expr).arg(spec.rate).arg(spec.seconds);
    const bool noise = spec.signal == Signal::NoiseLeft || spec.signal == Signal::NoiseRight;
    if (noise)  // in one channel, the other silent
        source = QStringLiteral("anoisesrc=c=white:a=0.3:r=%1:d=%2:seed=%3,pan=stereo|%4=c0")
                     .arg(spec.rate)
                     .arg(spec.seconds)
                     .arg(spec.seed)
                     .arg(spec.signal == Signal::NoiseLeft ? "c0" : "c1");
    QStringList args = {"-f", "lavfi", "-i", source};
    args << encoderArguments(spec.kind, spec.seconds);
    // Coded as noise, noise would be decoded from the decoder's own random numbers: other
    // samples after each seek than a decode from the start gives.
    if (noise && args.contains("aac"))
        args << "-aac_pns"
             << "0";
    if (!runFfmpeg(args << out)) return QString();
    cache[key] = out;
    return out;
}

QString m4aWithCover(double seconds, qint64 coverBytes, bool moovFirst, const QString& dir) {
    const QString sound = makeMedia({MediaKind::M4a, seconds, Signal::Sine});
    if (sound.isEmpty()) return {};
    QStringList args = {"-i", sound};
    if (coverBytes > 0) {
        // A small picture padded with zeros to the size asked: sparse, and quick to make.
        const QString cover = dir + "/cover.jpg";
        if (!runFfmpeg({"-f", "lavfi", "-i", "color=s=16x16", "-frames:v", "1", cover}) ||
            !QFile(cover).resize(coverBytes))
            return {};
        args += {"-i", cover, "-map", "0", "-map", "1", "-disposition:v", "attached_pic"};
    }
    args += {"-c", "copy"};
    if (moovFirst) args += {"-movflags", "+faststart"};
    const QString out = dir + QStringLiteral("/cover-%1.m4a").arg(coverBytes);
    return runFfmpeg(args << out) ? out : QString();
}

QString withVbriTag(const QString& headerless) {
    QFile in(headerless);
    const media::Mp3FrameIndexRef frames = media::indexMp3Frames(headerless);
    if (!frames || frames->hasTag || !in.open(QIODevice::ReadOnly)) return {};
    QByteArray data = in.readAll();
    const qint64 first = frames->offsets.front();
    const auto* h = reinterpret_cast<const uint8_t*>(data.constData() + first);
    const int bytes = media::parseMp3Header(h).bytes;
    // The first frame's header over silence, with the tag 32 bytes after the header: version 1,
    // no delay, the stream's bytes (this frame included) and its sound frames, no seek table.
    QByteArray tag(bytes, '\0');
    tag.replace(0, 4, data.mid(first, 4));
    const auto be32 = [](qint64 v) {
        const char b[] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(b, 4);
    };
    const QByteArray vbri = "VBRI" + QByteArray("\0\1\0\0\0\0", 6) +
                            be32(frames->end - first + bytes) + be32(frames->frames);
    tag.replace(36, vbri.size(), vbri);
    data.insert(first, tag);
    const QString out = tempDir() + "/vbri-" + QFileInfo(headerless).fileName();
    QFile f(out);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
        return {};
    return out;
}

QString truncatedCopy(const QString& path, qint64 bytes, const QString& name) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) return {};
    const QByteArray head = in.read(bytes);
    const QString out = tempDir() + "/" + name;
    QFile f(out);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(head) != head.size())
        return {};
    return out;
}

std::vector<double> clickOnsets(const std::vector<float>& stereo, int channel, int rate) {
    constexpr float kThreshold = 0.3f;
    const size_t quiet = static_cast<size_t>(rate / 10);  // clicks lie half a second apart
    std::vector<double> onsets;
    size_t lastLoud = 0;
    bool any = false;
    for (size_t i = 0; i * 2 + 1 < stereo.size(); ++i) {
        if (std::fabs(stereo[i * 2 + channel]) < kThreshold) continue;
        if (!any || i - lastLoud > quiet) onsets.push_back(static_cast<double>(i) / rate);
        any = true;
        lastLoud = i;
    }
    return onsets;
}

std::vector<float> decodeAll(const QString& path) {
    media::AudioDecoder d;
    std::vector<float> all;
    if (!d.open(path, 0)) return all;
    std::vector<float> buf(4096 * 2);
    while (int n = d.read(buf.data(), 4096))
        all.insert(all.end(), buf.begin(), buf.begin() + n * 2);
    return all;
}

double maxAbs(const std::vector<float>& v, size_t from, size_t frames) {
    double m = 0;
    for (size_t i = from * 2; i < v.size() && i / 2 - from < frames; ++i)
        m = std::max(m, double(std::fabs(v[i])));
    return m;
}

double maxDiff(const std::vector<float>& out, size_t outFrom, const std::vector<float>& ref,
               size_t refFrom, size_t frames) {
    if ((outFrom + frames) * 2 > out.size() || (refFrom + frames) * 2 > ref.size())
        return std::numeric_limits<double>::infinity();
    double d = 0;
    for (size_t i = 0; i < frames * 2; ++i)
        d = std::max(d, double(std::fabs(out[outFrom * 2 + i] - ref[refFrom * 2 + i])));
    return d;
}

}  // namespace testsupport
