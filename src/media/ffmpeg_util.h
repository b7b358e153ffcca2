#pragma once
// Move-only owners for the FFmpeg objects the media layer uses, so no path can leak or
// double-free them.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <QString>
#include <memory>

namespace media::ff {

struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct SwrFreer {
    void operator()(SwrContext* s) const { swr_free(&s); }
};

// A muxer's context: freed, never closed as an input.
struct OutputFormatFreer {
    void operator()(AVFormatContext* c) const { avformat_free_context(c); }
};
// An I/O context made with avio_alloc_context: its buffer goes with it.
struct IoFreer {
    void operator()(AVIOContext* c) const {
        av_freep(&c->buffer);
        avio_context_free(&c);
    }
};

using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using OutputFormatPtr = std::unique_ptr<AVFormatContext, OutputFormatFreer>;
using IoPtr = std::unique_ptr<AVIOContext, IoFreer>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFreer>;

inline PacketPtr makePacket() { return PacketPtr(av_packet_alloc()); }
inline FramePtr makeFrame() { return FramePtr(av_frame_alloc()); }

// Keeps FFmpeg's own notes off the terminal: problems reach the user through results. Only
// lowers the level, so a caller that asked for less (the tests: nothing) keeps that.
inline void quietLogs() {
    static const bool once =
        (av_log_get_level() > AV_LOG_ERROR ? av_log_set_level(AV_LOG_ERROR) : void(), true);
    (void)once;
}

// FFmpeg's text for an error code.
QString errorText(int code);

// A bound on the bytes an input reads until it is lifted: a file with nothing decodable near its
// start (zeros, junk) is refused without being read to its end, and the demuxer's buffers stay
// small. Must outlive the input it is given to.
class ReadLimit {
  public:
    explicit ReadLimit(int64_t bytes) : bytes_(bytes) {}
    void lift() { bytes_ = INT64_MAX; }
    // Whether a read was refused (also once the input is gone).
    bool reached() const { return reached_; }

  private:
    friend FormatPtr openInput(const QString&, QString*, ReadLimit*);
    static int interrupt(void* self);
    int64_t bytes_;
    const AVFormatContext* input_ = nullptr;
    bool reached_ = false;
};

// The bytes of an MP4-family file (MP4, M4A, MOV) held in its top-level boxes other than the
// sound's own (`mdat`): the demuxer reads them whole before any sound, and a cover picture in
// `moov` may take tens of megabytes. 0 for a file that does not start with such a box.
int64_t containerBoxBytes(const QString& path);

// The length of a stream's sound that the file really holds, in the stream's time base: its
// declared length, or, when its sample table places samples past the end of the file (a file cut
// short), up to the first of those.
int64_t durationHeld(AVFormatContext* fmt, AVStream* st);

// Opens a regular file for demuxing with stream information read. Refuses anything that is not
// a regular file (a FIFO would block, a directory cannot be read). nullptr with *error set.
FormatPtr openInput(const QString& path, QString* error, ReadLimit* limit = nullptr);

}  // namespace media::ff
