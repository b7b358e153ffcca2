#pragma once
// Writes a QuickTime movie that holds sound tracks only. Each track is laid out as sections of
// media files on a timeline, with real silence wherever no section sounds, and is encoded as
// AAC-LC, 44.1 kHz stereo at 256 kb/s. The file appears whole or not at all: it is written to a
// temporary file beside the target and renamed over it only once it is complete.

#include <QString>
#include <atomic>
#include <cstdint>
#include <vector>

#include "media/mp3_frames.h"

namespace media {

constexpr int kMovieRate = 44100;

// A stretch of one media file placed on a track. Positions are samples at kMovieRate.
struct MovieSection {
    QString path;
    int stream = 0;         // the file's sound stream
    int64_t mediaFrom = 0;  // first sample of the media that sounds
    int64_t trackFrom = 0;  // where it starts sounding on the track
    int64_t trackTo = 0;    // where it stops (exclusive)
    int source = -1;        // the caller's id, named back if the file cannot be decoded
    // For an MP3, where its frames lie, shared by every movie and decoder of the file: a section
    // that starts inside the file seeks by it, walked once when still empty; nullptr for other
    // files.
    Mp3FrameIndexSlotRef frameIndex;
};

// A track: sections in time order that do not overlap.
using MovieTrackLayout = std::vector<MovieSection>;

// Shared between the writing thread and whoever watches it.
struct MovieWriteControl {
    std::atomic<bool> cancel{false};
    std::atomic<int64_t> samplesDone{0};  // encoded so far, over all tracks
    std::atomic<int64_t> samplesTotal{0};

    double fraction() const {
        const int64_t total = samplesTotal.load();
        return total > 0 ? static_cast<double>(samplesDone.load()) / static_cast<double>(total)
                         : 0.0;
    }
};

struct MovieWriteResult {
    enum class Outcome { Written, Cancelled, Failed };
    Outcome outcome = Outcome::Failed;
    QString problem;              // why it failed, for the user
    std::vector<int> unreadable;  // sources whose file could not be decoded (left silent)
};

// Writes the tracks, in the given order, each `length` samples long, to `path`. Each track is
// cut into runs of `runLength` samples (0: chosen for the mix and the machine's cores), encoded
// on every core and joined without a seam; the call returns when the file is complete, or when
// it was cancelled or failed, in which case no part of it is left and an older file is untouched.
MovieWriteResult writeSoundMovie(const QString& path, const std::vector<MovieTrackLayout>& tracks,
                                 int64_t length, MovieWriteControl& control, int64_t runLength = 0);

// What a media file offers as a sound source.
struct SoundSourceProbe {
    enum class Status { Usable, Missing, Unreadable, Unopenable, NoSound };
    Status status = Status::Unopenable;
    int stream = -1;                  // the first sound stream, when usable
    Mp3FrameIndexSlotRef frameIndex;  // an MP3's frame index, as MovieSection::frameIndex
};
SoundSourceProbe probeSoundSource(const QString& path);

}  // namespace media
