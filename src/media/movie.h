#pragma once
// A media file opened as a movie: its exact length and its tracks with their sound routing.

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "media/mp3_frames.h"

namespace media {

class MoviePlayer;

// True when FFmpeg can decode the formats the program plays (MP3 and AAC). Needs no sound device.
bool mediaAvailable();

class Movie;
using MovieRef = std::shared_ptr<Movie>;

// Opens a regular file as a movie; nullptr (with *error set) for anything that holds no
// playable sound: a text file, a directory, a FIFO, an empty, truncated or corrupt file, and a
// file with no decodable sound in its first few megabytes past the boxes an MP4 declares before
// it (zeros or junk), which is not read further. A file cut short is as long as the sound it
// holds. An MP3 whose information tag fits it is measured from the tag, reading a few KB; its
// frame index comes later (indexFramesLater).
MovieRef openMovie(const QString& path, QString* error = nullptr);

// Any thread but the mixer's and the tick: the frames of the movie's MP3 file are walked on a
// worker, unless its index is there or asked for already (by any movie or decoder of the file),
// and seeks use the index once it is ready (exact before that too, if slower).
void indexFramesLater(const MovieRef& movie);

// Thread-compatible; used from the UI thread.
class Movie {
  public:
    struct Track {
        QString mediaType;  // "soun", "vide" or ""
        int stream = -1;    // the file's stream index
        int32_t soundOutput = 0;
    };

    QString path() const { return path_; }
    double duration() const { return duration_; }
    // Exact length in mixer frames (48 kHz); playback ends there.
    int64_t durationFrames() const { return durationFrames_; }

    // Tracks are numbered from 1.
    int trackCount() const { return static_cast<int>(tracks_.size()); }
    QString trackMediaType(int index) const;
    int32_t trackSoundOutput(int index) const;
    // Routes a track; a player sounding this movie moves the track to the new device at once.
    void setTrackSoundOutput(int index, int32_t deviceId);
    const std::vector<Track>& tracks() const { return tracks_; }
    // Where an MP3's frames lie: nullptr for other files, and until the frames are walked.
    Mp3FrameIndexRef frameIndex() const { return frameIndex_ ? frameIndex_->get() : nullptr; }
    // The same as it comes, for decoders of the file (nullptr for other files).
    const Mp3FrameIndexSlotRef& frameIndexSlot() const { return frameIndex_; }

    // Another movie of the same opened file with routing of its own, for one more player:
    // nothing is opened or measured again.
    MovieRef share() const;

    ~Movie();

  private:
    friend MovieRef openMovie(const QString&, QString*);
    friend void indexFramesLater(const MovieRef&);
    friend class MoviePlayer;
    Movie() = default;

    QString path_;
    double duration_ = 0;
    int64_t durationFrames_ = 0;
    std::vector<Track> tracks_;
    Mp3FrameIndexSlotRef frameIndex_;
    std::vector<MoviePlayer*> players_;  // players that hold this movie, told about re-routing
};

}  // namespace media
