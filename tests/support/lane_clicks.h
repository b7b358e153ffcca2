#pragma once
// Mixes of clicks on the two lanes (lane 1 clicks in the left channel, lane 2 in the right),
// played by a window's play deck and compared with the exported movie or measured on the sink.
// Shared by the tests and the benchmarks.

#include <QString>
#include <array>
#include <vector>

class MainWindow;

namespace testsupport {

// Lane 1 plays three 4 s clips back to back from 10 s, lane 2 two clips from 12 s and 16 s, so
// each lane-2 clip begins while lane 1 sounds and their clicks fall together. Played tick by tick
// over the null output, then exported: the clicks' onsets of each lane, playback's shifted so
// that its first click lies where the export's does. Sizes differ when a click went missing.
struct PlayedAndExported {
    std::array<std::vector<double>, 2> played, exported;
    QString problem;  // empty when both renderings were made
};
PlayedAndExported playAndExportClickMix(MainWindow& w);

// Largest distance between a played click and the exported one of the same lane, in seconds
// (infinity when the clicks do not pair up).
double worstPlayedVersusExported(const PlayedAndExported& mix);

}  // namespace testsupport
