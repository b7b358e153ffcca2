#include "media/decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "media/frame_walks.h"

namespace media {

namespace {

// Decoding starts this far before a seek target so that codecs with overlapping transforms or
// a bit reservoir (MP3, AAC) have settled by the first sample that is kept.
int prerollSamples(int rate) { return std::max(8192, rate / 10); }

// The same for an MP3 started from its frame index: its bit reservoir reaches back at most a few
// frames, and the transform and filter bank settle within two.
constexpr int kIndexPrerollFrames = 10;

// Frames a resampler started afresh needs before its output equals that of one that ran all
// along (its filter reaches this far back).
constexpr int kResamplerSettleFrames = 256;

}  // namespace

bool AudioDecoder::open(const QString& path, int streamIndex, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        codec_.reset();
        fmt_.reset();
        return false;
    };
    fmt_ = ff::openInput(path, error);
    if (!fmt_) return false;
    if (streamIndex < 0 || streamIndex >= static_cast<int>(fmt_->nb_streams))
        return fail(QStringLiteral("no such track"));
    AVStream* st = fmt_->streams[streamIndex];
    if (st->codecpar->codec_type != AVMEDIA_TYPE_AUDIO)
        return fail(QStringLiteral("not a sound track"));
    for (unsigned i = 0; i < fmt_->nb_streams; ++i)
        if (static_cast<int>(i) != streamIndex) fmt_->streams[i]->discard = AVDISCARD_ALL;

    const AVCodec* dec = avcodec_find_decoder(st->codecpar->codec_id);
    if (!dec) return fail(QStringLiteral("no decoder for this sound"));
    codec_.reset(avcodec_alloc_context3(dec));
    if (!codec_) return fail(QStringLiteral("out of memory"));
    int rc = avcodec_parameters_to_context(codec_.get(), st->codecpar);
    if (rc < 0) return fail(ff::errorText(rc));
    // Needed for the decoder to shift timestamps by the samples it trims (encoder delay).
    codec_->pkt_timebase = st->time_base;
    codec_->thread_count = 1;
    rc = avcodec_open2(codec_.get(), dec, nullptr);
    if (rc < 0) return fail(ff::errorText(rc));
    if (codec_->sample_rate <= 0) return fail(QStringLiteral("no sample rate"));
    // A decoder of an MP3 is about to sound or export it: its seeks want the file's frame index,
    // shared with every movie and decoder of the file and walked once.
    if (codec_->codec_id == AV_CODEC_ID_MP3) {
        if (!indexSlot_) indexSlot_ = frameIndexSlotFor(path, codec_->sample_rate);
        walkFramesLater(indexSlot_);
    }

    path_ = path;
    stream_ = streamIndex;
    outPos_ = 0;
    ended_ = draining_ = false;
    byIndex_ = false;
    dropOut_ = 0;
    sourceEnd_ = INT64_MAX;
    swr_.reset();
    tb_ = st->time_base;
    pkt_ = ff::makePacket();
    frame_ = ff::makeFrame();
    if (!pkt_ || !frame_) return fail(QStringLiteral("out of memory"));

    // The media's time 0 is its first decoded sample; learn its timestamp from the first frame,
    // which then stays pending as the start of playback.
    originPts_ = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
    discardUntil_ = INT64_MIN;
    pending_.clear();
    pendingPos_ = 0;
    while (pendingFrames() == 0 && !ended_)
        if (!decodeMore()) break;
    discardUntil_ = 0;
    if (pendingFrames() == 0) return fail(QStringLiteral("no sound could be decoded"));
    return true;
}

int AudioDecoder::sourceRate() const { return codec_ ? codec_->sample_rate : kMixRate; }

int64_t AudioDecoder::frameStartSample(const AVFrame* f) {
    int64_t ts = f->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE) ts = f->pts;
    int64_t start = nextSample_;
    if (ts != AV_NOPTS_VALUE) {
        if (discardUntil_ == INT64_MIN) originPts_ = ts;  // the very first frame: the origin
        start = av_rescale_q_rnd(ts - originPts_, tb_, AVRational{1, codec_->sample_rate},
                                 AV_ROUND_NEAR_INF);
    }
    if (discardUntil_ == INT64_MIN) discardUntil_ = start;
    nextSample_ = start + f->nb_samples;
    return start;
}

void AudioDecoder::resampleFrame(const AVFrame* f, int skip, int n) {
    const uint64_t mask = f->ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? f->ch_layout.u.mask : 0;
    if (!swr_ || swrInRate_ != f->sample_rate || swrInFormat_ != f->format ||
        swrInChannels_ != f->ch_layout.nb_channels || swrInMask_ != mask) {
        AVChannelLayout out = AV_CHANNEL_LAYOUT_STEREO;
        AVChannelLayout in{};
        if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&in, f->ch_layout.nb_channels);
        else
            av_channel_layout_copy(&in, &f->ch_layout);
        SwrContext* raw = nullptr;
        int rc =
            swr_alloc_set_opts2(&raw, &out, AV_SAMPLE_FMT_FLT, outRate_, &in,
                                static_cast<AVSampleFormat>(f->format), f->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&in);
        swr_.reset(raw);
        if (rc < 0 || swr_init(swr_.get()) < 0) {
            swr_.reset();
            return;
        }
        swrInRate_ = f->sample_rate;
        swrInFormat_ = f->format;
        swrInChannels_ = f->ch_layout.nb_channels;
        swrInMask_ = mask;
    }
    const auto fmt = static_cast<AVSampleFormat>(f->format);
    const int bps = av_get_bytes_per_sample(fmt);
    const bool planar = av_sample_fmt_is_planar(fmt);
    const int planes = planar ? f->ch_layout.nb_channels : 1;
    if (!f->extended_data) return;
    std::vector<const uint8_t*> inPlanes(planes);
    for (int p = 0; p < planes; ++p)
        inPlanes[p] = f->extended_data[p] +
                      static_cast<size_t>(skip) * bps * (planar ? 1 : f->ch_layout.nb_channels);
    compactPending();
    const int room = swr_get_out_samples(swr_.get(), n);
    if (room <= 0) return;
    const size_t old = pending_.size();
    pending_.resize(old + static_cast<size_t>(room) * kMixChannels);
    uint8_t* out = reinterpret_cast<uint8_t*>(pending_.data() + old);
    const int got = swr_convert(swr_.get(), &out, room, inPlanes.data(), n);
    pending_.resize(old + static_cast<size_t>(std::max(got, 0)) * kMixChannels);
    dropEarlyFrames();
}

void AudioDecoder::dropEarlyFrames() {
    // After a seek the resampler starts a little early; what it made before the target goes.
    const int64_t drop = std::min<int64_t>(dropOut_, pendingFrames());
    pendingPos_ += static_cast<int>(drop);
    dropOut_ -= drop;
}

void AudioDecoder::compactPending() {
    if (pendingPos_ > 0) {
        pending_.erase(pending_.begin(), pending_.begin() + pendingPos_ * kMixChannels);
        pendingPos_ = 0;
    }
}

bool AudioDecoder::decodeMore() {
    if (!codec_ || ended_) return false;
    for (;;) {
        int rc = avcodec_receive_frame(codec_.get(), frame_.get());
        if (rc == 0) {
            const int64_t start = frameStartSample(frame_.get());
            const int nb = frame_->nb_samples;
            const int64_t skip = std::clamp<int64_t>(discardUntil_ - start, 0, nb);
            const int64_t keep = std::clamp<int64_t>(sourceEnd_ - start, 0, nb);
            if (skip < keep)
                resampleFrame(frame_.get(), static_cast<int>(skip), static_cast<int>(keep - skip));
            av_frame_unref(frame_.get());
            if (pendingFrames() > 0) return true;
            continue;
        }
        if (rc == AVERROR_EOF) {
            ended_ = true;
            if (swr_) {  // what the resampler still holds
                compactPending();
                const int room = swr_get_out_samples(swr_.get(), 0);
                if (room > 0) {
                    const size_t old = pending_.size();
                    pending_.resize(old + static_cast<size_t>(room) * kMixChannels);
                    uint8_t* out = reinterpret_cast<uint8_t*>(pending_.data() + old);
                    const int got = swr_convert(swr_.get(), &out, room, nullptr, 0);
                    pending_.resize(old + static_cast<size_t>(std::max(got, 0)) * kMixChannels);
                    dropEarlyFrames();
                }
            }
            return pendingFrames() > 0;
        }
        // EAGAIN wants input; another error is a broken frame, and decoding goes on with the
        // next packet. Either way, once the input is exhausted the stream has ended.
        if (draining_) {
            ended_ = true;
            return pendingFrames() > 0;
        }
        // Feed the next packet of our stream.
        if (byIndex_) {
            if (!sendIndexedFrame()) {
                avcodec_send_packet(codec_.get(), nullptr);
                draining_ = true;
            }
            continue;
        }
        for (;;) {
            rc = av_read_frame(fmt_.get(), pkt_.get());
            if (rc < 0) {
                avcodec_send_packet(codec_.get(), nullptr);
                draining_ = true;
                break;
            }
            if (pkt_->stream_index != stream_) {
                av_packet_unref(pkt_.get());
                continue;
            }
            rc = avcodec_send_packet(codec_.get(), pkt_.get());
            av_packet_unref(pkt_.get());
            if (rc == 0 || rc == AVERROR(EAGAIN)) break;
            // Corrupt packet: skip it.
        }
    }
}

bool AudioDecoder::seekByIndex(int64_t sample) {
    index_ = indexSlot_ ? indexSlot_->get() : nullptr;
    if (!index_ || index_->offsets.empty() || codec_->codec_id != AV_CODEC_ID_MP3 ||
        index_->rate != codec_->sample_rate || !fmt_->pb || avio_size(fmt_->pb) != index_->fileSize)
        return false;
    const int64_t frame =
        (sample + index_->skipSamples) / index_->samplesPerFrame - kIndexPrerollFrames;
    int64_t kept = 0;
    const int64_t offset = index_->offsetBefore(std::max<int64_t>(frame, 0), &kept);
    if (avio_seek(fmt_->pb, offset, SEEK_SET) < 0) return false;
    avcodec_flush_buffers(codec_.get());
    byIndex_ = true;
    indexFrame_ = kept;
    indexOffset_ = offset;
    sourceEnd_ = index_->decodedSamples();  // the demuxer has the end trimmed the same way
    return true;
}

bool AudioDecoder::sendIndexedFrame() {
    AVIOContext* io = fmt_->pb;
    Mp3Header like;
    like.rate = index_->rate;
    like.samples = index_->samplesPerFrame;
    uint8_t head[4];
    Mp3Header h;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (indexFrame_ >= index_->frames || indexOffset_ >= index_->end) return false;
        if (avio_seek(io, indexOffset_, SEEK_SET) < 0 || avio_read(io, head, 4) != 4) return false;
        h = parseMp3Header(head);
        if (h.bytes && h.rate == like.rate && h.samples == like.samples) break;
        h = Mp3Header();
        // A damaged stretch: go on at the next frame that another follows, as measuring did.
        sync_.resize(64 * 1024);
        if (avio_seek(io, indexOffset_ + 1, SEEK_SET) < 0) return false;
        const int got = avio_read(io, sync_.data(), static_cast<int>(sync_.size()));
        const int64_t at = got > 0 ? findMp3Sync(sync_.data(), got, &like) : -1;
        if (at < 0) return false;
        indexOffset_ += 1 + at;
    }
    if (!h.bytes || av_new_packet(pkt_.get(), h.bytes) < 0) return false;
    std::memcpy(pkt_->data, head, 4);
    if (avio_read(io, pkt_->data + 4, h.bytes - 4) != h.bytes - 4) {
        av_packet_unref(pkt_.get());
        return false;
    }
    // Timestamps count the frames from the first, as the demuxer's do from the start.
    const int rate = index_->rate;
    pkt_->pts =
        originPts_ + av_rescale_q(indexFrame_ * index_->samplesPerFrame - index_->skipSamples,
                                  AVRational{1, rate}, tb_);
    avcodec_send_packet(codec_.get(), pkt_.get());  // a corrupt frame is skipped
    av_packet_unref(pkt_.get());
    indexOffset_ += h.bytes;
    ++indexFrame_;
    return true;
}

AudioDecoder::SeekPlan AudioDecoder::planSeek(double seconds) const {
    if (!(seconds > 0)) seconds = 0;  // also NaN
    const int rate = codec_->sample_rate;
    SeekPlan plan;
    plan.target = std::llround(std::min(seconds * outRate_, 9.0e15));
    // The resampler turns every inStep source samples into exactly outStep frames; started on
    // that grid a little before the target, it makes the very frames of a decode from the start.
    const int64_t common = std::gcd(rate, outRate_);
    const int64_t inStep = rate / common, outStep = outRate_ / common;
    const int64_t settle = rate == outRate_ ? 0 : kResamplerSettleFrames;
    const int64_t steps = std::max<int64_t>(plan.target - settle, 0) / outStep;
    plan.sample = steps * inStep;
    plan.from = plan.sample - prerollSamples(rate);
    plan.dropOut = plan.target - steps * outStep;
    return plan;
}

bool AudioDecoder::wantsFrameIndexAt(int64_t sample) const {
    // Without an index the demuxer finds a place in an MP3 by reading every packet before it;
    // walking the frame headers of the whole file costs about what reading a sixteenth of it so
    // does, so a place further in has the index made (or waited for) first.
    const int rate = codec_->sample_rate;
    const int64_t length = fmt_->duration > 0 ? av_rescale(fmt_->duration, rate, AV_TIME_BASE) : 0;
    return indexSlot_ && !indexSlot_->get() && sample > length / 16;
}

bool AudioDecoder::seekWaitsForFrameWalk(double seconds) {
    if (!codec_ || !indexSlot_ || indexSlot_->path().isEmpty() ||
        indexSlot_->walk() == Mp3FrameIndexSlot::Walk::Done)
        return false;
    const SeekPlan plan = planSeek(seconds);
    if (plan.from <= 0 || !wantsFrameIndexAt(plan.sample)) return false;
    walkFramesFirst(indexSlot_);
    return true;
}

bool AudioDecoder::seek(double seconds) {
    if (!codec_) return false;
    const int rate = codec_->sample_rate;
    const SeekPlan plan = planSeek(seconds);
    if (plan.from <= 0) {
        // Near the start, decoding afresh from the first packet gives exactly the samples of a
        // decode from the start (encoder delay trimmed the same way); then drop up to target.
        const QString path = path_;
        const int stream = stream_;
        const int64_t end = endFrame_;
        if (!open(path, stream)) return false;
        endFrame_ = end;
        std::vector<float> scratch(4096 * kMixChannels);
        for (int64_t left = plan.target; left > 0;) {
            const int n = read(scratch.data(), static_cast<int>(std::min<int64_t>(left, 4096)));
            if (n == 0) break;
            left -= n;
        }
        return true;
    }
    byIndex_ = false;
    sourceEnd_ = INT64_MAX;
    if (wantsFrameIndexAt(plan.sample)) frameIndexNow(indexSlot_);
    if (!seekByIndex(plan.sample)) {
        const int64_t ts = originPts_ + av_rescale_q(plan.from, AVRational{1, rate}, tb_);
        int rc = avformat_seek_file(fmt_.get(), stream_, INT64_MIN, ts, ts, 0);
        if (rc < 0) rc = av_seek_frame(fmt_.get(), stream_, ts, AVSEEK_FLAG_BACKWARD);
        if (rc < 0) return false;
        avcodec_flush_buffers(codec_.get());
    }
    swr_.reset();
    pending_.clear();
    pendingPos_ = 0;
    ended_ = false;
    draining_ = false;
    discardUntil_ = plan.sample;
    nextSample_ = plan.from;
    dropOut_ = plan.dropOut;
    outPos_ = plan.target;
    return true;
}

int AudioDecoder::read(float* dst, int maxFrames) {
    if (endFrame_ >= 0)
        maxFrames = static_cast<int>(std::clamp<int64_t>(endFrame_ - outPos_, 0, maxFrames));
    int done = 0;
    while (done < maxFrames) {
        if (pendingFrames() == 0) {
            pending_.clear();
            pendingPos_ = 0;
            if (!decodeMore()) break;
        }
        const int n = std::min(maxFrames - done, pendingFrames());
        std::memcpy(dst + static_cast<size_t>(done) * kMixChannels,
                    pending_.data() + static_cast<size_t>(pendingPos_) * kMixChannels,
                    sizeof(float) * n * kMixChannels);
        pendingPos_ += n;
        done += n;
    }
    outPos_ += done;
    return done;
}

}  // namespace media
