#include "media/movie_writer.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "media/atomic_file.h"
#include "media/decoder.h"
#include "media/ffmpeg_util.h"
#include "media/file_access.h"
#include "media/frame_walks.h"
#include "media/movie.h"

namespace media {

namespace {

constexpr int kFrame = 1024;  // samples per AAC-LC frame
constexpr int64_t kBitRate = 256000;
// How far an encoder may run ahead of what the file already holds of its track; bounds the
// packets waiting in memory (256 kb/s is 32 kB per second of sound).
constexpr int64_t kAheadSamples = int64_t{300} * kMovieRate;
constexpr int kIoBufferBytes = 256 * 1024;
// A run shorter than this costs more in starting its encoder and decoders than it saves.
constexpr int64_t kShortestRun = int64_t{4} * kMovieRate;

// Frames an encoder is fed before its run starts, their packets dropped. Each packet is a
// transform over two frames that decodes into the second half of the window before it and the
// first half of its own, so the run's first packet needs one frame of real sound before it to
// cancel the aliasing of the run before (without it a seam's frame errs 25-fold). The choice of
// long or short windows looks one frame ahead and at the energy of the one before, settled after
// three. Longest to settle is the rate control: it starts at a fixed quality and moves it by at
// most a tenth a frame once near its target, and on a tone it took some 24 frames to reach the
// noise of an encoder that ran through. 64 frames let it move 400-fold, for 1.5 s of extra encoding
// a run.
constexpr int kLeadInFrames = 64;

// One stretch of a track encoded on its own. Its encoder starts a little before it (the lead-in)
// and, for a run that another follows, looks one frame past it, so its packets are those one
// encoder running through the track would give there: the track decodes without a seam.
struct Run {
    int track = 0;
    int64_t from = 0, to = 0;  // samples; `from` is a whole number of frames
    bool last = false;
    std::vector<MovieSection> sections;
    // Filled by the encoding thread, emptied by the writing one.
    std::deque<ff::PacketPtr> packets;
    bool taken = false;
    bool finished = false;

    // The samples the encoder is fed.
    int64_t feedFrom() const { return std::max<int64_t>(0, from - kLeadInFrames * kFrame); }
    int64_t feedTo() const { return last ? to : to + kFrame; }
};

// Samples per run: about one run per core for a short mix; for a long one as many runs as keep
// every core busy within the stretch the encoders may run ahead of the file. Whole frames.
int64_t chooseRunLength(int64_t length, int64_t requested) {
    int64_t run = requested;
    if (run <= 0) {
        const int64_t cores = std::max(1u, std::thread::hardware_concurrency());
        run = std::clamp((length + cores - 1) / cores, kShortestRun,
                         std::max(kShortestRun, kAheadSamples / cores));
    }
    return std::max<int64_t>(4, (run + kFrame - 1) / kFrame) * kFrame;
}

// Cuts a track into runs at frame boundaries every `runLength` samples; the last run is at least
// half that long, so every run that another follows has a frame after it to look ahead at.
std::vector<std::unique_ptr<Run>> splitTrack(int track, const MovieTrackLayout& layout,
                                             int64_t length, int64_t runLength) {
    std::vector<std::unique_ptr<Run>> runs;
    if (length <= 0) return runs;
    for (int64_t from = 0; from < length; from += runLength) {
        auto run = std::make_unique<Run>();
        run->track = track;
        run->from = from;
        run->last = from + runLength + runLength / 2 > length;
        run->to = run->last ? length : from + runLength;
        for (const MovieSection& s : layout)
            if (s.trackFrom < run->feedTo() && s.trackTo > run->feedFrom() &&
                s.trackTo > s.trackFrom)
                run->sections.push_back(s);
        const bool last = run->last;
        runs.push_back(std::move(run));
        if (last) break;
    }
    return runs;
}

ff::CodecPtr openEncoder(QString* error) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!codec) {
        *error = QStringLiteral("No AAC encoder is available.");
        return nullptr;
    }
    ff::CodecPtr enc(avcodec_alloc_context3(codec));
    if (!enc) {
        *error = QStringLiteral("Out of memory.");
        return nullptr;
    }
    enc->sample_fmt = AV_SAMPLE_FMT_FLTP;
    enc->sample_rate = kMovieRate;
    enc->bit_rate = kBitRate;
    enc->profile = FF_PROFILE_AAC_LOW;
    enc->time_base = AVRational{1, kMovieRate};
    enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    enc->thread_count = 1;
    const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&enc->ch_layout, &stereo);
    const int rc = avcodec_open2(enc.get(), codec, nullptr);
    if (rc < 0) {
        *error =
            QStringLiteral("The sound encoder could not be started: %1.").arg(ff::errorText(rc));
        return nullptr;
    }
    return enc;
}

// The samples of one run, section by section, with silence between them.
class RunSource {
  public:
    explicit RunSource(const std::vector<MovieSection>& sections) : sections_(sections) {}

    // Fills n samples from track position pos on; positions only ever move forward.
    void fill(float* left, float* right, int64_t pos, int n) {
        std::fill(left, left + n, 0.0f);
        std::fill(right, right + n, 0.0f);
        const int64_t end = pos + n;
        while (next_ < sections_.size() && sections_[next_].trackTo <= pos) advance();
        for (size_t i = next_; i < sections_.size() && sections_[i].trackFrom < end; ++i) {
            const MovieSection& s = sections_[i];
            const int64_t a = std::max(pos, s.trackFrom), b = std::min(end, s.trackTo);
            if (b <= a) continue;
            if (i != next_) {
                while (next_ < i) advance();
            }
            if (!opened_) openCurrent(a);
            if (!decoder_.isOpen()) continue;
            const int want = static_cast<int>(b - a);
            scratch_.resize(static_cast<size_t>(want) * kMixChannels);
            const int got = decoder_.read(scratch_.data(), want);
            const int off = static_cast<int>(a - pos);
            for (int k = 0; k < got; ++k) {
                left[off + k] = scratch_[static_cast<size_t>(k) * 2];
                right[off + k] = scratch_[static_cast<size_t>(k) * 2 + 1];
            }
        }
    }

    const std::vector<int>& unreadable() const { return unreadable_; }

  private:
    void advance() {
        ++next_;
        opened_ = false;
        decoder_ = AudioDecoder();
    }
    // Opens the current section to sound from track position `at` on.
    void openCurrent(int64_t at) {
        opened_ = true;
        const MovieSection& s = sections_[next_];
        const int64_t media = s.mediaFrom + (at - s.trackFrom);
        decoder_ = AudioDecoder();
        decoder_.setOutputRate(kMovieRate);
        bool ok = decoder_.open(s.path, s.stream);
        if (ok && media > 0) {
            // The file's frames are walked once for players and export alike: here, unless the
            // walk is under way on another thread, which is waited for. A file that cannot be
            // walked seeks slower.
            frameIndexNow(s.frameIndex);
            if (s.frameIndex) decoder_.setFrameIndex(s.frameIndex);
            ok = decoder_.seek(static_cast<double>(media) / kMovieRate);
        }
        if (!ok) {
            decoder_ = AudioDecoder();
            if (std::find(unreadable_.begin(), unreadable_.end(), s.source) == unreadable_.end())
                unreadable_.push_back(s.source);
        }
    }

    const std::vector<MovieSection>& sections_;
    size_t next_ = 0;
    bool opened_ = false;
    AudioDecoder decoder_;
    std::vector<float> scratch_;
    std::vector<int> unreadable_;
};

// State shared by the encoding threads and the writing thread.
struct Shared {
    std::mutex m;
    std::condition_variable work;            // a run may have become startable, or stop was set
    std::condition_variable packets;         // a packet or the end of a run is there
    std::vector<std::unique_ptr<Run>> runs;  // by start time, then track
    std::vector<int64_t> written;            // per track: the file holds its samples up to here
    bool stop = false;
    bool writerWaits = false;  // for packets: only then is it woken for each one
    QString failure;
    std::vector<int> unreadable;
    MovieWriteControl* control = nullptr;

    // Under the lock. The earliest run not yet taken that may start now.
    Run* startable() {
        for (auto& r : runs)
            if (!r->taken && r->from <= written[r->track] + kAheadSamples) return r.get();
        return nullptr;
    }
    bool allTaken() const {
        return std::all_of(runs.begin(), runs.end(), [](const auto& r) { return r->taken; });
    }
    void fail(const QString& why) {
        std::lock_guard lock(m);
        if (failure.isEmpty()) failure = why;
        stop = true;
        work.notify_all();
        packets.notify_all();
    }
};

void encodeRun(Run& run, Shared& sh) {
    QString error;
    ff::CodecPtr enc = openEncoder(&error);
    ff::FramePtr frame = ff::makeFrame();
    ff::PacketPtr pkt = ff::makePacket();
    if (!enc || !frame || !pkt)
        return sh.fail(error.isEmpty() ? QStringLiteral("Out of memory.") : error);
    frame->format = AV_SAMPLE_FMT_FLTP;
    frame->sample_rate = kMovieRate;
    av_channel_layout_copy(&frame->ch_layout, &enc->ch_layout);
    frame->nb_samples = kFrame;
    if (av_frame_get_buffer(frame.get(), 0) < 0) return sh.fail(QStringLiteral("Out of memory."));

    // The packets of the run: each decodes into the frame at its timestamp, from the second half
    // of the window before and the first half of its own. The one before `from` is the run's, so
    // that the run before keeps only windows that lie wholly in it.
    const int64_t start = run.feedFrom(), end = run.feedTo();
    const int64_t keepFrom = run.from - kFrame;
    const int64_t keepBelow = run.last ? INT64_MAX : run.to - kFrame;
    std::vector<ff::PacketPtr> ready;
    auto drain = [&]() -> bool {
        for (;;) {
            const int rc = avcodec_receive_packet(enc.get(), pkt.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
            if (rc < 0) {
                sh.fail(
                    QStringLiteral("The sound could not be encoded: %1.").arg(ff::errorText(rc)));
                return false;
            }
            pkt->pts += start;
            pkt->dts += start;
            if (pkt->pts < keepFrom || pkt->pts >= keepBelow) {
                av_packet_unref(pkt.get());
                continue;
            }
            ff::PacketPtr out = ff::makePacket();
            if (!out) {
                sh.fail(QStringLiteral("Out of memory."));
                return false;
            }
            av_packet_move_ref(out.get(), pkt.get());
            out->stream_index = run.track;
            ready.push_back(std::move(out));
        }
    };
    // Hands the packets made over to the writer; false once the export stops.
    auto handOver = [&]() -> bool {
        bool stopped = false, wake = false;
        {
            std::lock_guard lock(sh.m);
            stopped = sh.stop;
            for (ff::PacketPtr& p : ready) run.packets.push_back(std::move(p));
            wake = sh.writerWaits && !ready.empty();
        }
        ready.clear();
        if (wake) sh.packets.notify_all();
        return !stopped;
    };

    RunSource source(run.sections);
    for (int64_t pos = start; pos < end; pos += kFrame) {
        if (sh.control->cancel.load(std::memory_order_relaxed)) return;
        const int n = static_cast<int>(std::min<int64_t>(kFrame, end - pos));
        if (av_frame_make_writable(frame.get()) < 0)
            return sh.fail(QStringLiteral("Out of memory."));
        frame->nb_samples = n;
        source.fill(reinterpret_cast<float*>(frame->data[0]),
                    reinterpret_cast<float*>(frame->data[1]), pos, n);
        frame->pts = pos - start;
        const int rc = avcodec_send_frame(enc.get(), frame.get());
        if (rc < 0)
            return sh.fail(
                QStringLiteral("The sound could not be encoded: %1.").arg(ff::errorText(rc)));
        if (!drain() || !handOver()) return;
        // Progress counts the run's own samples, not its lead-in nor the frame looked ahead at.
        const int64_t own = std::min(pos + n, run.to) - std::max(pos, run.from);
        if (own > 0) sh.control->samplesDone.fetch_add(own, std::memory_order_relaxed);
    }
    if (run.last) {
        avcodec_send_frame(enc.get(), nullptr);
        if (!drain() || !handOver()) return;
    }
    std::lock_guard lock(sh.m);
    run.finished = true;
    for (int id : source.unreadable())
        if (std::find(sh.unreadable.begin(), sh.unreadable.end(), id) == sh.unreadable.end())
            sh.unreadable.push_back(id);
    sh.packets.notify_all();
}

void encodingThread(Shared& sh) {
    // Encoding is background work: the sound threads of a playing mix come first.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
    for (;;) {
        Run* run = nullptr;
        {
            std::unique_lock lock(sh.m);
            sh.work.wait(lock, [&] { return sh.stop || (run = sh.startable()) || sh.allTaken(); });
            if (sh.stop || !run) return;
            run->taken = true;
        }
        encodeRun(*run, sh);
        sh.packets.notify_all();
    }
}

// Joins the encoding threads on every way out, after telling them to stop.
class ThreadGroup {
  public:
    explicit ThreadGroup(Shared& sh) : sh_(sh) {}
    ~ThreadGroup() { stopAndJoin(); }
    void start(int n) {
        for (int i = 0; i < n; ++i) threads_.emplace_back(encodingThread, std::ref(sh_));
    }
    void stopAndJoin() {
        {
            std::lock_guard lock(sh_.m);
            sh_.stop = true;
        }
        sh_.work.notify_all();
        for (auto& t : threads_) t.join();
        threads_.clear();
    }

  private:
    Shared& sh_;
    std::vector<std::thread> threads_;
};

// FFmpeg's output goes to the new version of the file, which only replaces the target on commit.
int writeToFile(void* opaque, uint8_t* buf, int size) {
    auto* out = static_cast<AtomicFile*>(opaque);
    return out->write(reinterpret_cast<const char*>(buf), static_cast<size_t>(size)) ? size
                                                                                     : AVERROR(EIO);
}

int64_t seekInFile(void* opaque, int64_t offset, int whence) {
    auto* out = static_cast<AtomicFile*>(opaque);
    whence &= ~AVSEEK_FORCE;
    const int64_t pos = whence == AVSEEK_SIZE ? out->size() : out->seek(offset, whence);
    return pos < 0 ? AVERROR(EIO) : pos;
}

}  // namespace

SoundSourceProbe probeSoundSource(const QString& path) {
    SoundSourceProbe probe;
    using Status = SoundSourceProbe::Status;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        probe.status = Status::Missing;
        return probe;
    }
    if (readRefused(path)) {
        probe.status = Status::Unreadable;
        return probe;
    }
    if (MovieRef movie = openMovie(path)) {
        for (const Movie::Track& t : movie->tracks())
            if (t.mediaType == QLatin1String("soun")) {
                probe.status = Status::Usable;
                probe.stream = t.stream;
                probe.frameIndex = movie->frameIndexSlot();
                return probe;
            }
    }
    // Opens as media but holds nothing to hear (a silent video, a picture).
    QString error;
    if (ff::FormatPtr fmt = ff::openInput(path, &error)) {
        bool audio = false;
        for (unsigned i = 0; i < fmt->nb_streams; ++i)
            audio = audio || fmt->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
        probe.status = audio ? Status::Unopenable : Status::NoSound;
        return probe;
    }
    probe.status = Status::Unopenable;
    return probe;
}

MovieWriteResult writeSoundMovie(const QString& path, const std::vector<MovieTrackLayout>& tracks,
                                 int64_t length, MovieWriteControl& control, int64_t runLength) {
    using Outcome = MovieWriteResult::Outcome;
    ff::quietLogs();
    MovieWriteResult result;
    auto fail = [&](const QString& why) {
        result.outcome = Outcome::Failed;
        result.problem = why;
        return result;
    };
    length = std::max<int64_t>(length, 0);
    control.samplesDone = 0;
    control.samplesTotal = length * static_cast<int64_t>(tracks.size());

    AtomicFile out(path);
    if (!out.open()) return fail(out.problem());
    // The first failure of the file is kept in words: FFmpeg would only say that it is in error.
    auto problemOr = [&out](const QString& fallback) {
        return out.problem().isEmpty() ? fallback : out.problem();
    };

    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    if (!buffer) return fail(QStringLiteral("Out of memory."));
    ff::IoPtr io(
        avio_alloc_context(buffer, kIoBufferBytes, 1, &out, nullptr, writeToFile, seekInFile));
    if (!io) {
        av_free(buffer);
        return fail(QStringLiteral("Out of memory."));
    }
    AVFormatContext* rawFmt = nullptr;
    if (avformat_alloc_output_context2(&rawFmt, nullptr, "mov", nullptr) < 0 || !rawFmt)
        return fail(QStringLiteral("QuickTime movies cannot be written here."));
    ff::OutputFormatPtr fmt(rawFmt);
    fmt->pb = io.get();

    for (size_t t = 0; t < tracks.size(); ++t) {
        AVStream* st = avformat_new_stream(fmt.get(), nullptr);
        if (!st) return fail(QStringLiteral("Out of memory."));
        QString error;
        ff::CodecPtr enc = openEncoder(&error);
        if (!enc) return fail(error);
        if (avcodec_parameters_from_context(st->codecpar, enc.get()) < 0)
            return fail(QStringLiteral("Out of memory."));
        st->time_base = AVRational{1, kMovieRate};
        // Every track plays: players offer all of them at once, not as alternatives.
        st->disposition = AV_DISPOSITION_DEFAULT;
    }
    // The muxer leaves out tracks that hold no sample, unless their header is written up front;
    // lanes without a clip still give their tracks.
    AVDictionary* options = nullptr;
    if (length == 0) av_dict_set(&options, "movflags", "empty_moov", 0);
    int rc = avformat_write_header(fmt.get(), &options);
    av_dict_free(&options);
    if (rc < 0) return fail(problemOr(ff::errorText(rc) + u'.'));

    Shared sh;
    sh.control = &control;
    sh.written.assign(tracks.size(), 0);
    runLength = chooseRunLength(length, runLength);
    for (size_t t = 0; t < tracks.size(); ++t)
        for (auto& run : splitTrack(static_cast<int>(t), tracks[t], length, runLength))
            sh.runs.push_back(std::move(run));
    std::stable_sort(sh.runs.begin(), sh.runs.end(),
                     [](const auto& a, const auto& b) { return a->from < b->from; });
    // Each track's runs in time order, for the writer.
    std::vector<std::vector<Run*>> order(tracks.size());
    for (auto& run : sh.runs) order[run->track].push_back(run.get());
    std::vector<size_t> head(tracks.size(), 0);

    ThreadGroup threads(sh);
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    threads.start(std::min(cores, static_cast<int>(sh.runs.size())));

    // Writes packets as they come, the earliest of those ready first; each track stays in order.
    for (;;) {
        ff::PacketPtr pkt;
        bool runDone = false;  // so the window for runs to start has moved on
        {
            std::unique_lock lock(sh.m);
            for (;;) {
                if (sh.stop || control.cancel.load()) break;
                bool pending = false;
                Run* best = nullptr;
                for (size_t t = 0; t < order.size(); ++t) {
                    while (head[t] < order[t].size() && order[t][head[t]]->finished &&
                           order[t][head[t]]->packets.empty()) {
                        ++head[t];
                        runDone = true;
                    }
                    if (head[t] >= order[t].size()) continue;
                    pending = true;
                    Run* r = order[t][head[t]];
                    if (!r->packets.empty() &&
                        (!best || r->packets.front()->dts < best->packets.front()->dts))
                        best = r;
                }
                if (!pending) break;
                if (best) {
                    pkt = std::move(best->packets.front());
                    best->packets.pop_front();
                    sh.written[best->track] = pkt->dts;
                    break;
                }
                sh.writerWaits = true;
                sh.packets.wait_for(lock, std::chrono::milliseconds(50));
                sh.writerWaits = false;
            }
        }
        if (runDone) sh.work.notify_all();
        if (!pkt) break;
        AVStream* st = fmt->streams[pkt->stream_index];
        av_packet_rescale_ts(pkt.get(), AVRational{1, kMovieRate}, st->time_base);
        rc = av_write_frame(fmt.get(), pkt.get());
        if (rc < 0 || io->error < 0) {
            sh.fail(problemOr(ff::errorText(rc < 0 ? rc : io->error) + u'.'));
            break;
        }
    }
    const bool cancelled = control.cancel.load();
    threads.stopAndJoin();
    {
        std::lock_guard lock(sh.m);
        if (!sh.failure.isEmpty()) return fail(sh.failure);
        result.unreadable = sh.unreadable;
    }
    if (cancelled) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    rc = av_write_trailer(fmt.get());
    avio_flush(io.get());
    if (rc < 0 || io->error < 0)
        return fail(problemOr(ff::errorText(rc < 0 ? rc : io->error) + u'.'));
    fmt.reset();
    if (!out.commit()) return fail(out.problem());
    result.outcome = Outcome::Written;
    return result;
}

}  // namespace media
