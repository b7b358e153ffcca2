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

// The file's tracks, and in `audio` the first sound stream with a rate (-1 when there is none).
std::vector<Movie::Track> listTracks(const AVFormatContext& fmt, int& audio) {
    std::vector<Movie::Track> tracks;
    for (unsigned i = 0; i < fmt.nb_streams; ++i) {
        const AVStream* st = fmt.streams[i];
        if (st->disposition & AV_DISPOSITION_ATTACHED_PIC) continue;  // cover art is no track
        Movie::Track t;
        t.stream = static_cast<int>(i);
        if (st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            t.mediaType = QStringLiteral("soun");
            if (audio < 0 && st->codecpar->sample_rate > 0) audio = t.stream;
        } else if (st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            t.mediaType = QStringLiteral("vide");
        }
        tracks.push_back(t);
    }
    return tracks;
}

// A decoder opened on the stream, or nullptr with the reason in `problem`.
ff::CodecPtr openSoundDecoder(const AVStream& st, QString& problem) {
    const AVCodec* dec = avcodec_find_decoder(st.codecpar->codec_id);
    if (!dec) {
        problem = QStringLiteral("no decoder for this sound");
        return nullptr;
    }
    ff::CodecPtr codec(avcodec_alloc_context3(dec));
    if (codec) codec->pkt_timebase = st.time_base;
    if (!codec || avcodec_parameters_to_context(codec.get(), st.codecpar) < 0 ||
        avcodec_open2(codec.get(), dec, nullptr) < 0) {
        problem = QStringLiteral("cannot decode this sound");
        return nullptr;
    }
    return codec;
}

struct SoundCheck {
    bool outOfMemory = false;
    bool decoded = false;  // a packet of the stream decoded to sound
    int64_t counted = 0;   // the packets' lengths added up, in the stream's time base
};

// Reads packets of the sound stream (the others are passed over), adding up their lengths, until
// one decodes, or on to the end when `toEnd`.
SoundCheck checkSound(AVFormatContext& fmt, AVCodecContext& codec, int audio, ff::ReadLimit& limit,
                      bool toEnd) {
    for (unsigned i = 0; i < fmt.nb_streams; ++i)
        if (static_cast<int>(i) != audio) fmt.streams[i]->discard = AVDISCARD_ALL;
    SoundCheck sound;
    ff::PacketPtr pkt = ff::makePacket();
    ff::FramePtr frame = ff::makeFrame();
    if (!pkt || !frame) {
        sound.outOfMemory = true;
        return sound;
    }
    const AVStream* st = fmt.streams[audio];
    const int rate = st->codecpar->sample_rate;
    int packetsTried = 0;
    while (av_read_frame(&fmt, pkt.get()) >= 0) {
        if (pkt->stream_index == audio) {
            sound.counted += pkt->duration > 0 ? pkt->duration
                                               : av_rescale_q(std::max(codec.frame_size, 0),
                                                              AVRational{1, rate}, st->time_base);
            // One decoded frame shows the sound is really there (not a text file that the
            // probe took for MPEG audio, nor a file cut off after its header).
            if (!sound.decoded && packetsTried < 64) {
                ++packetsTried;
                if (avcodec_send_packet(&codec, pkt.get()) >= 0 &&
                    avcodec_receive_frame(&codec, frame.get()) >= 0 && frame->nb_samples > 0)
                    sound.decoded = true;
                av_frame_unref(frame.get());
            }
        }
        av_packet_unref(pkt.get());
        if (sound.decoded) limit.lift();  // sound is there: counting may read on to the end
        if (sound.decoded && !toEnd) break;
        if (!sound.decoded && packetsTried >= 64) break;
    }
    return sound;
}

// The slot shared with the file's other movies, or one of this movie's own when the file cannot
// be looked at.
Mp3FrameIndexSlotRef mp3FrameIndexSlot(const QString& path, int rate) {
    Mp3FrameIndexSlotRef slot = frameIndexSlotFor(path, rate);
    return slot ? slot : std::make_shared<Mp3FrameIndexSlot>();
}

// An MP3's length comes from its tag when that fits the file, else from its frames, walked here
// unless another movie of the file has its index already; a walk gives the frame index at once,
// else a worker makes it once a decoder of the file needs it.
Mp3FrameIndexRef mp3Frames(Mp3FrameIndexSlot& slot, const QString& path, int rate) {
    Mp3FrameIndexRef frames = slot.get();
    if (!frames) {
        bool walked = false;
        frames = measureMp3(path, rate, &walked);
        if (walked && frames) slot.set(frames);
    }
    return frames;
}

// The length a decode gives, in mixer frames, measured once per file; -1 when it cannot be.
int64_t mp3DecodedLength(Mp3FrameIndexSlot& slot, const QString& path, int audio) {
    int64_t mixFrames = slot.decodedFrames();
    if (mixFrames < 0) {
        mixFrames = decodeLength(path, audio);
        if (mixFrames > 0) slot.setDecodedFrames(mixFrames);
    }
    return mixFrames;
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
    movie->tracks_ = listTracks(*fmt, audio);
    if (audio < 0) return fail(QStringLiteral("no sound track"));
    AVStream* st = fmt->streams[audio];
    const int rate = st->codecpar->sample_rate;
    QString problem;
    ff::CodecPtr codec = openSoundDecoder(*st, problem);
    if (!codec) return fail(problem);

    // The container's length is exact unless it was estimated from the bit rate (raw AAC): then
    // the packets are counted. An MP3 is measured from its tag or its frames (below).
    const bool mp3 = st->codecpar->codec_id == AV_CODEC_ID_MP3;
    const bool estimated = fmt->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE ||
                           st->duration == AV_NOPTS_VALUE;
    const bool count = estimated && !mp3;
    const SoundCheck sound = checkSound(*fmt, *codec, audio, limit, count);
    if (sound.outOfMemory) return fail(QStringLiteral("out of memory"));
    if (!sound.decoded) return fail(QStringLiteral("no sound could be decoded"));

    // The length in samples at samplesRate.
    int64_t samples = 0;
    int samplesRate = rate;
    Mp3FrameIndexRef frames;
    if (mp3) {
        movie->frameIndex_ = mp3FrameIndexSlot(path, rate);
        frames = mp3Frames(*movie->frameIndex_, path, rate);
    }
    if (mp3 && (!frames || frames->damaged)) {
        // Frames that cannot be walked (free format, a change of rate) or that are damaged:
        // neither the header's claim nor a count of frames or packets tells what a decode
        // gives, so a decode measures it.
        samples = mp3DecodedLength(*movie->frameIndex_, path, audio);
        samplesRate = kMixRate;
        if (samples < 0) return fail(QStringLiteral("damaged: its length could not be measured"));
    } else if (count) {
        samples = av_rescale_q(sound.counted, st->time_base, AVRational{1, rate});
    } else if (frames) {
        samples = frames->decodedSamples();
    } else {
        samples = av_rescale_q(ff::durationHeld(fmt.get(), st), st->time_base, AVRational{1, rate});
    }
    if (samples <= 0) return fail(QStringLiteral("no sound could be decoded"));
    movie->duration_ = static_cast<double>(samples) / samplesRate;
    movie->durationFrames_ = av_rescale(samples, kMixRate, samplesRate);
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
