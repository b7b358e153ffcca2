#pragma once
// Widget-free rules of a drop on a lane: which file a dropped text names, how a failed text reads
// in the status line, where a clip may go, and how wide a file's clip is.

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "model/clip.h"

namespace media {
class Movie;
}

namespace model {

// The local file a dropped text names: its first line, trimmed, taken as a file URL or as an
// absolute path. "" when the line is neither (a relative path, a web address, prose).
QString textDropPath(const QString& text);

// Whether path, as textDropPath gives it, names one of a drag's files.
bool namesOneOf(const QString& path, const QStringList& files);

// A dropped text as it may stand in the one-line status line: first line, trimmed, control
// characters removed, cut to kStatusTextChars characters with "..." when longer.
inline constexpr int kStatusTextChars = 80;
QString statusLineText(const QString& text);

// What keeps a playlist from holding a media file's path: a record is one line of UTF-8 text, so
// a line break would cut it, and a name that is not UTF-8 reaches the program with U+FFFD in its
// place and no longer finds the file. Such a file never enters the mix: a save must never fail
// because of one clip.
enum class PathProblem { None, LineBreak, NotUtf8 };
PathProblem playlistPathProblem(const QString& path);
// The status line's word on one file refused for that reason, naming it.
QString refusedPathText(const QString& path, PathProblem problem);
// The same for the files of a folder: how many, each named with its reason.
QString refusedPathsText(const QStringList& paths);

// Whether a clip of width length may take its place at left on a lane: nothing of the lane lies
// strictly around its left edge, its right edge or its centre (places on a lane scrolled by
// scrollX).
bool placeIsFree(const std::vector<ClipRef>& pics, double left, double length, double scrollX);

// A media length in seconds as whole timeline pixels at the zoom.
int32_t clipWidth(double seconds, double pixelsPerSecond);

// The file types a lane takes as file drops, in the order it declares them.
const QStringList& laneFileTypes();

}  // namespace model
