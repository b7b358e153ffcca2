#pragma once
// Measuring a dropped or listed file: its type as the lanes take it, and its length as a movie.

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace media {
class Movie;
}

namespace platform {

// Whether a lane takes the file at path by its type.
bool laneTakesFileType(const QString& path);

// The length in seconds of the media file at path, or nothing when it does not open as a movie.
// Only regular files are opened. The movie opened is kept for the clips of the file, or, when
// `opened` is given, handed back there for the caller to keep when it lays the clip. Tests
// replace the measurement of regular files; an empty function restores the media layer's.
using MovieMeasure = std::function<std::optional<double>(const QString& path)>;
std::optional<double> measureMovie(const QString& path,
                                   std::shared_ptr<media::Movie>* opened = nullptr);
void setMovieMeasure(MovieMeasure measure);

}  // namespace platform
