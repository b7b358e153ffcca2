#include "media/movie.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <vector>

#include "media/decoder.h"
#include "media/ffmpeg_util.h"
#include "media/frame_walks.h"
#include "media/movie_player.h"

namespace media {

bool mediaAvailable() {
    return avcodec_find_decoder(AV_CODEC_ID_MP3) && avcodec_find_decoder(AV_CODEC_ID_AAC) &&
           av_find_input_format("mp3") && av_find_input_format("mov");
}

namespace {

// A file whose first this many bytes (after its leading tags) hold no decodable sound is no
// media; reading stops there, which also bounds what the demuxer buffers while it searches.
constexpr int64_t kSearchBytes = 8 << 20;

// Decoding a file whose length nothing else tells stops after this long: the file is refused.
constexpr int64_t kDecodeMeasureMs = 20000;

// The length of the file's sound as a decode from the start gives it (what playback gets), in
// mixer frames; for an MP3 whose frames cannot be walked (damage, files joined, a change of rate),
// where neither its header nor a count of its packets can be trusted. The decode streams through
// a small buffer; -1 when it does not open or takes too long.
int64_t decodeLength(const QString& path, int stream) {
    AudioDecoder decoder;
    if (!decoder.open(path, stream)) return -1;
    QElapsedTimer clock;
    clock.start();
    constexpr int kBlock = 8192;
    std::vector<float> block(kBlock * kMixChannels);
    int64_t frames = 0;
    while (const int n = decoder.read(block.data(), kBlock)) {
        frames += n;
        if (clock.hasExpired(kDecodeMeasureMs)) return -1;
    }
    return frames;
}

// The exact length of an MP3 from its tag, or, when the tag does not fit the file or there is
// none, from walking its frames (which gives the frame index too). nullptr when neither works.
Mp3FrameIndexRef measureMp3(const QString& path, int rate, bool* walked) {
    Mp3FrameIndexRef index = measureMp3ByTag(path);
    *walked = !index;
    if (!index) index = indexMp3Frames(path);
    if (index && index->rate != rate) return nullptr;
    return index;
}

}  // namespace

void indexFramesLater(const MovieRef& movie) {
    if (movie) walkFramesLater(movie->frameIndex_);
}

MovieRef openMovie(const QString& path, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return MovieRef();
    };
    // Damaged files are reported through the result; FFmpeg's own chatter would only be noise.
    ff::quietLogs();
    // What a container declares before its sound (boxes holding cover art) is no search for it.
    ff::ReadLimit limit(leadingTagBytes(path) + ff::containerBoxBytes(path) + kSearchBytes);
    ff::FormatPtr fmt = ff::openInput(path, error, &limit);
    if (!fmt) {
        if (error && limit.reached()) *error = QStringLiteral("no sound could be decoded");
        return nullptr;
    }

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

    // The container's length is exact unless it was estimated from the bit rate (raw AAC): then
    // the packets are counted. An MP3 is measured from its tag or its frames (below).
    const bool mp3 = st->codecpar->codec_id == AV_CODEC_ID_MP3;
    const bool estimated = fmt->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE ||
                           st->duration == AV_NOPTS_VALUE;
    const bool count = estimated && !mp3;
    for (unsigned i = 0; i < fmt->nb_streams; ++i)
        if (static_cast<int>(i) != audio) fmt->streams[i]->discard = AVDISCARD_ALL;

    ff::PacketPtr pkt = ff::makePacket();
    ff::FramePtr frame = ff::makeFrame();
    if (!pkt || !frame) return fail(QStringLiteral("out of memory"));
    bool decoded = false;
    int packetsTried = 0;
    int64_t counted = 0;  // in the stream's time base
    // Reads packets, adding up their lengths, until one decodes, or on to the end.
    const auto readPackets = [&](bool toEnd) {
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
                        avcodec_receive_frame(codec.get(), frame.get()) >= 0 &&
                        frame->nb_samples > 0)
                        decoded = true;
                    av_frame_unref(frame.get());
                }
            }
            av_packet_unref(pkt.get());
            if (decoded) limit.lift();  // sound is there: counting may read on to the end
            if (decoded && !toEnd) break;
            if (!decoded && packetsTried >= 64) break;
        }
    };
    readPackets(count);
    if (!decoded) return fail(QStringLiteral("no sound could be decoded"));

    // An MP3's length comes from its tag when that fits the file, else from its frames, walked
    // here unless another movie of the file has its index already; a walk gives the frame index
    // at once, else a worker makes it once a decoder of the file needs it.
    Mp3FrameIndexRef frames;
    if (mp3) {
        movie->frameIndex_ = frameIndexSlotFor(path, rate);
        if (!movie->frameIndex_) movie->frameIndex_ = std::make_shared<Mp3FrameIndexSlot>();
        frames = movie->frameIndex_->get();
        if (!frames) {
            bool walked = false;
            frames = measureMp3(path, rate, &walked);
            if (walked && frames) movie->frameIndex_->set(frames);
        }
        if (!frames || frames->damaged) {
            // Frames that cannot be walked (free format, a change of rate) or that are damaged:
            // neither the header's claim nor a count of frames or packets tells what a decode
            // gives, so a decode measures it.
            int64_t mixFrames = movie->frameIndex_->decodedFrames();
            if (mixFrames < 0) {
                mixFrames = decodeLength(path, audio);
                if (mixFrames > 0) movie->frameIndex_->setDecodedFrames(mixFrames);
            }
            if (mixFrames < 0)
                return fail(QStringLiteral("damaged: its length could not be measured"));
            if (mixFrames == 0) return fail(QStringLiteral("no sound could be decoded"));
            movie->durationFrames_ = mixFrames;
            movie->duration_ = static_cast<double>(mixFrames) / kMixRate;
            return movie;
        }
    }

    int64_t samples = 0;
    if (count) {
        samples = av_rescale_q(counted, st->time_base, AVRational{1, rate});
    } else if (frames) {
        samples = frames->decodedSamples();
    } else {
        samples = av_rescale_q(ff::durationHeld(fmt.get(), st), st->time_base, AVRational{1, rate});
    }
    if (samples <= 0) return fail(QStringLiteral("no sound could be decoded"));
    movie->duration_ = static_cast<double>(samples) / rate;
    movie->durationFrames_ = av_rescale(samples, kMixRate, rate);
    return movie;
}

QString Movie::trackMediaType(int index) const {
    if (index < 1 || index > trackCount()) return QString();
    return tracks_[index - 1].mediaType;
}

int32_t Movie::trackSoundOutput(int index) const {
    if (index < 1 || index > trackCount()) return 0;
    return tracks_[index - 1].soundOutput;
}

void Movie::setTrackSoundOutput(int index, int32_t deviceId) {
    if (index < 1 || index > trackCount()) return;
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
