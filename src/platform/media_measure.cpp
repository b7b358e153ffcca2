#include "platform/media_measure.h"

#include "media/clip_movie.h"
#include "media/movie.h"
#include "model/drop_logic.h"
#include "model/regular_file.h"
#include "platform/filetypes.h"

namespace platform {

namespace {

MovieMeasure& measureOverride() {
    static MovieMeasure measure;
    return measure;
}

}  // namespace

bool laneTakesFileType(const QString& path) {
    return FileTypeRegistry::instance().matchesAny(path, model::laneFileTypes());
}

std::optional<double> measureMovie(const QString& path, media::MovieRef* opened) {
    // A FIFO or a device would block the program; only regular files are opened.
    if (!model::isRegularFile(path)) return std::nullopt;
    if (measureOverride()) return measureOverride()(path);
    const media::MovieRef movie = media::openMovie(path);
    if (!movie) return std::nullopt;
    if (opened)
        *opened = movie;
    else
        media::keepOpened(movie);  // the clip made of it plays it without opening the file again
    return movie->duration();
}

void setMovieMeasure(MovieMeasure measure) { measureOverride() = std::move(measure); }

}  // namespace platform
