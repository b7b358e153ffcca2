#include "media/movie.h"

#include <QFile>
#include <algorithm>

#include "media/decoder.h"
#include "media/ffmpeg_util.h"
#include "media/movie_player.h"

namespace media {

namespace {

// Encoder delay and padding from the LAME tag of an MP3's first frame, which the decoder trims
// from the start and the end; the container's length counts them. False when there is no tag.
bool mp3Padding(const QString& path, int& startPad, int& endPad) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QByteArray head = f.read(10);
    qint64 pos = 0;
    if (head.size() == 10 && head.startsWith("ID3")) {
        const auto b = [&](int i) { return static_cast<qint64>(static_cast<uint8_t>(head[i])); };
        pos = 10 + ((b(6) & 0x7f) << 21 | (b(7) & 0x7f) << 14 | (b(8) & 0x7f) << 7 | (b(9) & 0x7f));
        if (b(5) & 0x10) pos += 10;
    }
    if (!f.seek(pos)) return false;
    const QByteArray buf = f.read(64 * 1024);
    const auto u8 = [&](qsizetype i) {
        return static_cast<uint32_t>(static_cast<uint8_t>(buf[i]));
    };
    for (qsizetype i = 0; i + 4 <= buf.size(); ++i) {
        if (u8(i) != 0xff || (u8(i + 1) & 0xe0) != 0xe0) continue;
        const uint32_t version = (u8(i + 1) >> 3) & 3, layer = (u8(i + 1) >> 1) & 3;
        const uint32_t bitrate = u8(i + 2) >> 4, srate = (u8(i + 2) >> 2) & 3;
        if (version == 1 || layer != 1 || bitrate == 15 || srate == 3) continue;
        const bool mono = (u8(i + 3) >> 6) == 3;
        const qsizetype side = version == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17);
        qsizetype x = i + 4 + side;
        if (x + 8 > buf.size()) return false;
        const QByteArray tag = buf.mid(x, 4);
        if (tag != "Xing" && tag != "Info") return false;
        const uint32_t flags = u8(x + 4) << 24 | u8(x + 5) << 16 | u8(x + 6) << 8 | u8(x + 7);
        if (!(flags & 1)) return false;  // without a frame count nothing is trimmed at the end
        qsizetype off = x + 8 + 4;
        if (flags & 2) off += 4;
        if (flags & 4) off += 100;
        if (flags & 8) off += 4;
        if (off + 24 > buf.size()) return false;
        const QByteArray enc = buf.mid(off, 4);
        if (enc != "LAME" && enc != "Lavf" && enc != "Lavc") return false;
        const uint32_t v = u8(off + 21) << 16 | u8(off + 22) << 8 | u8(off + 23);
        startPad = static_cast<int>(v >> 12);
        endPad = static_cast<int>(v & 4095);
        return true;
    }
    return false;
}

}  // namespace

bool mediaAvailable() {
    return avcodec_find_decoder(AV_CODEC_ID_MP3) && avcodec_find_decoder(AV_CODEC_ID_AAC) &&
           av_find_input_format("mp3") && av_find_input_format("mov");
}

MovieRef openMovie(const QString& path, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return MovieRef();
    };
    // Damaged files are reported through the result; FFmpeg's own chatter would only be noise.
    static const bool quiet = (av_log_set_level(AV_LOG_ERROR), true);
    (void)quiet;
    ff::FormatPtr fmt = ff::openInput(path, error);
    if (!fmt) return nullptr;

    MovieRef movie(new Movie());
    movie->path_ = path;
    int audio = -1;
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        const AVStream* st = fmt->streams[i];
        if (st->disposition & AV_DISPOSITION_ATTACHED_PIC) continue;  // cover art is no track
        Movie::Track t;
        t.stream = static_cast<int>(i);
        if (st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            t.mediaType = QStringLiteral("soun");
            if (audio < 0 && st->codecpar->sample_rate > 0) audio = t.stream;
        } else if (st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            t.mediaType = QStringLiteral("vide");
        }
        movie->tracks_.push_back(t);
    }
    if (audio < 0) return fail(QStringLiteral("no sound track"));
    AVStream* st = fmt->streams[audio];
    const int rate = st->codecpar->sample_rate;

    const AVCodec* dec = avcodec_find_decoder(st->codecpar->codec_id);
    if (!dec) return fail(QStringLiteral("no decoder for this sound"));
    ff::CodecPtr codec(avcodec_alloc_context3(dec));
    if (codec) codec->pkt_timebase = st->time_base;
    if (!codec || avcodec_parameters_to_context(codec.get(), st->codecpar) < 0 ||
        avcodec_open2(codec.get(), dec, nullptr) < 0)
        return fail(QStringLiteral("cannot decode this sound"));

    // The container's length is exact unless it was estimated from the bit rate (an MP3 without
    // a header, raw AAC): then the frames are counted.
    const bool count = fmt->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE ||
                       st->duration == AV_NOPTS_VALUE;
    for (unsigned i = 0; i < fmt->nb_streams; ++i)
        if (static_cast<int>(i) != audio) fmt->streams[i]->discard = AVDISCARD_ALL;

    ff::PacketPtr pkt = ff::makePacket();
    ff::FramePtr frame = ff::makeFrame();
    if (!pkt || !frame) return fail(QStringLiteral("out of memory"));
    bool decoded = false;
    int packetsTried = 0;
    int64_t counted = 0;  // in the stream's time base
    while (av_read_frame(fmt.get(), pkt.get()) >= 0) {
        if (pkt->stream_index == audio) {
            counted += pkt->duration > 0 ? pkt->duration
                                         : av_rescale_q(std::max(codec->frame_size, 0),
                                                        AVRational{1, rate}, st->time_base);
            // One decoded frame shows the sound is really there (not a text file that the
            // probe took for MPEG audio, nor a file cut off after its header).
            if (!decoded && packetsTried < 64) {
                ++packetsTried;
                if (avcodec_send_packet(codec.get(), pkt.get()) >= 0 &&
                    avcodec_receive_frame(codec.get(), frame.get()) >= 0 && frame->nb_samples > 0)
                    decoded = true;
                av_frame_unref(frame.get());
            }
        }
        av_packet_unref(pkt.get());
        if (decoded && !count) break;
        if (!decoded && packetsTried >= 64) break;
    }
    if (!decoded) return fail(QStringLiteral("no sound could be decoded"));

    int64_t samples = 0;
    if (count) {
        samples = av_rescale_q(counted, st->time_base, AVRational{1, rate});
    } else {
        samples = av_rescale_q(st->duration, st->time_base, AVRational{1, rate});
        int startPad = 0, endPad = 0;
        if (st->codecpar->codec_id == AV_CODEC_ID_MP3 && mp3Padding(path, startPad, endPad))
            samples -= startPad + endPad;
    }
    if (samples <= 0) return fail(QStringLiteral("no sound could be decoded"));
    movie->duration_ = static_cast<double>(samples) / rate;
    movie->durationFrames_ = av_rescale(samples, kMixRate, rate);
    return movie;
}

QString Movie::trackMediaType(int index) const {
    if (index < 1 || index > TrackCount()) return QString();
    return tracks_[index - 1].mediaType;
}

int32_t Movie::trackSoundOutput(int index) const {
    if (index < 1 || index > TrackCount()) return 0;
    return tracks_[index - 1].soundOutput;
}

void Movie::setTrackSoundOutput(int index, int32_t deviceId) {
    if (index < 1 || index > TrackCount()) return;
    Track& t = tracks_[index - 1];
    if (t.soundOutput == deviceId) return;
    t.soundOutput = deviceId;
    const auto players = players_;  // a player may detach while being told
    for (MoviePlayer* p : players) p->trackRerouted(index);
}

MovieRef Movie::share() const {
    MovieRef m(new Movie(*this));
    m->players_.clear();
    return m;
}

Movie::~Movie() = default;

}  // namespace media
