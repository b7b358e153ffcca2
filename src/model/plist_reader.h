#pragma once
// Track drags from a music library arrive as the private MIME type of the "itun" flavour: an XML
// property list whose "Tracks" dictionary holds one dictionary per track, each with the track's
// file URL under "Location". This is a small bounded reader of that data and nothing else.

#include <QByteArray>
#include <QString>

namespace model {

// Bounds on what the reader accepts; larger or deeper data gives no file.
inline constexpr int kMaxPlistBytes = 8 * 1024 * 1024;
inline constexpr int kMaxPlistDepth = 32;

// The local path of the first track in data whose "Location" is a local file URL; "" when there is
// none. The root must be a dictionary, its "Tracks" a dictionary; its values are taken in document
// order, and a value that is no dictionary, has no "Location" string (the first "Location" key
// counts), or whose location is not a local file URL is skipped. Whether the file exists is not
// checked here: opening it reports that. Data that is oversized, nested deeper than
// kMaxPlistDepth, malformed, a binary property list, or that declares a DTD internal subset or
// uses any entity but the five predefined ones gives "" (no entity is ever expanded, no DTD ever
// fetched). Runs in time linear in the size of data and never throws.
QString trackPathInLibraryData(const QByteArray& data);

// The local path named by a file URL, "file:///path", "file://localhost/path" or "file:/path"
// (the scheme and host in any letter case), percent-decoded as UTF-8, without query or fragment.
// "" for any other text, a malformed escape or an encoded NUL.
QString fileUrlToLocalPath(const QString& url);

}  // namespace model
