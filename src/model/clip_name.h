#pragma once
// The name a dropped file's clip gets: from its ID3v1 title and artist, or its display name.

#include <QString>

namespace model {

// Clip name for a file: each pair of consecutive blanks in the title and the artist is deleted
// first (left to right, without overlap: three blanks leave one, four leave none); then
// "artist: title" when both remain, the title alone without an artist, "artist: displayName"
// without a title, and the display name when both are empty.
QString clipName(const QString& displayName, const QString& title, const QString& artist);

}  // namespace model
