#pragma once
// The ID3v1 tag at the end of an MP3 file: only the title and the artist are read.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace model {

struct Id3v1Tag {
    QString title;   // "" when there is no tag
    QString artist;  // "" when there is no tag
};

// The tag block is the last 128 bytes, and only a file longer than that has one: a file of
// exactly 128 bytes has no tag read.
inline constexpr int64_t kId3v1BlockSize = 128;

// Reads the tag of the file at path. Only regular files are opened (never a FIFO or a device);
// a missing, unreadable, short or untagged file gives an empty tag. Positions are 64-bit, so
// files over 2 GB work; the file is always closed again.
Id3v1Tag readId3v1(const QString& path);

// The tag from the last bytes of a file of fileSize bytes (tail holds at least the last 128 of
// them, or the whole file when it is shorter). Shared by readId3v1 and the fuzz target.
Id3v1Tag id3v1FromTail(const QByteArray& tail, int64_t fileSize);

}  // namespace model
