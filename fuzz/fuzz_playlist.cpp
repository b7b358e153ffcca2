// The playlist reader over arbitrary file bytes: every record it accepts must hold a lane, a
// sane length and ordered edit points, whatever the file says.
#include <cmath>
#include <cstdint>

#include "documents/playlist_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto lines = documents::playlistLines(bytes);
    documents::isPlaylist(lines);
    for (const QByteArray& line : lines) {
        if (line.contains('\r') || line.contains('\n')) __builtin_trap();
        documents::PlaylistRecord r;
        if (documents::parseRecord(line, r) != documents::RecordParse::Read) continue;
        const bool ordered = 0 <= r.inpoint && r.inpoint <= r.fadein && r.fadein <= r.fadeout &&
                             r.fadeout <= r.outpoint && r.outpoint <= r.trackdauer;
        if ((r.lane != 1 && r.lane != 2) || !(r.trackdauer > 0) ||
            r.trackdauer > documents::kMaxTrackSeconds || !std::isfinite(r.xpos) || !ordered ||
            r.label < 0 || r.label > 7 || !r.path.startsWith(u'/'))
            __builtin_trap();
        for (double zoom : {0.25, 4.0}) {
            const auto p = documents::clipPlacement(r, zoom, 120);
            if (!std::isfinite(p.left) || !std::isfinite(p.duration)) __builtin_trap();
        }
    }
    return 0;
}
