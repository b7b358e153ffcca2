// The parts of the drop rules that ask the program's file types and the media layer; the rest
// of drop_logic.h needs neither and builds with the rules that need no widget.
#include "model/drop_logic.h"
#include "model/regular_file.h"
#include "media/clip_movie.h"
#include "media/movie.h"
#include "platform/filetypes.h"

namespace editing {

namespace {

MovieMeasure& measureOverride() {
    static MovieMeasure measure;
    return measure;
}

}  // namespace

bool laneTakesFileType(const QString& path) {
    return platform::FileTypeRegistry::instance().matchesAny(path, laneFileTypes());
}

std::optional<double> measureMovie(const QString& path, media::MovieRef* opened) {
    // A FIFO or a device would block the program; only regular files are opened.
    if (!isRegularFile(path)) return std::nullopt;
    if (measureOverride()) return measureOverride()(path);
    const media::MovieRef movie = media::openMovie(path);
    if (!movie) return std::nullopt;
    if (opened)
        *opened = movie;
    else
        media::keepOpened(movie);  // the clip made of it plays it without opening the file again
    return movie->Duration();
}

void setMovieMeasure(MovieMeasure measure) { measureOverride() = std::move(measure); }

}  // namespace editing
