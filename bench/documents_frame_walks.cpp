// Frame walks from Open Playlist to idle: an MP3 file is walked for its seek index at most once,
// whatever number of records and paths name it, and only once a clip of it is about to sound.
// Two playlists: 1000 records of one day-long MP3 (budget: under 2 s of CPU, under 3 GB read)
// and 2000 hard links of one one-hour MP3 (under 1 GB read, under 100 MB resident). In each, the
// decks then reach clips of the file: their decoders open at the first clips of each lane and
// one seeks to the middle of a clip, as the decode pool's do. The figures count from the command
// until nothing is left to open or walk. Peer in the same run: one plain walk of the file, whose
// figures each one is also given as a ratio of (the program used to walk once per record).
#include <QProcess>

#include "bench_main.h"
#include "hour_playlist.h"
#include "media/decoder.h"
#include "media/frame_walks.h"
#include "media/media.h"
#include "platform/dialogs.h"
#include "process_figures.h"
#include "support/app_fixture.h"

namespace {

constexpr double kGB = 1e9;

// A day of sound in one MP3 with an information tag: the one-hour CBR file 24 times over.
QString dayLongFile() {
    const QString path = benchMediaCache() + "/day.mp3";
    if (QFileInfo(path).size() > 0) return path;
    const QString hour = oneHourFile(testsupport::MediaKind::Mp3Cbr);
    if (hour.isEmpty()) return {};
    const QString part = path + ".part.mp3";
    QProcess p;
    p.start("ffmpeg", {"-nostdin", "-loglevel", "error", "-y", "-stream_loop", "23", "-i", hour,
                       "-c", "copy", part});
    if (!p.waitForFinished(-1) || p.exitCode() != 0 || !QFile::rename(part, path)) return {};
    return path;
}

QString dayPlaylist(const QString& day) {
    QByteArray text = model::playlistHeaderLine();
    // Places beyond about 115 days are refused, so the days overlap, a tenth of a day apart.
    for (int i = 0; i < 1000; ++i)
        text += playlistRecord(1 + i % 2, 86400, 8640.0 * (i / 2) + 43200, "a day", day);
    return writeBenchPlaylist(benchMediaCache() + "/1000 days.txt", text);
}

struct Figures {
    double cpuSeconds = 0;
    double readGB = 0;
    double residentMB = 0;  // the process's peak while measured
};

// Figures of what runs between construction and done().
class Measure {
  public:
    Figures done() {
        Figures f;
        f.cpuSeconds = cpuSecondsSoFar() - cpu_;
        f.readGB = (bytesReadSoFar() - read_) / kGB;
        f.residentMB = base_ + peak_.stopped();
        return f;
    }

  private:
    const double base_ = residentMb();
    const double cpu_ = cpuSecondsSoFar();
    const double read_ = bytesReadSoFar();
    PeakMemory peak_;
};

// A deck reaching a clip: its decoder opens the movie and reads its first block there.
void reachClip(const model::Clip& clip, double seconds) {
    const media::MovieRef movie = clip.movie ? clip.movie->movie() : nullptr;
    if (!movie) return;
    media::AudioDecoder decoder;
    decoder.setFrameIndex(movie->frameIndexSlot());
    if (!decoder.open(movie->path(), movie->tracks()[0].stream)) return;
    if (seconds > 0 && !decoder.seek(seconds)) return;
    float block[480 * media::kMixChannels];
    decoder.read(block, 480);
}

// Opens the playlist and waits until every movie is open; the decks then reach the first clips
// of each lane and seek once into the middle of one; then waits until nothing is walked.
Figures openToIdle(benchmark::State& state, const QString& list, int64_t* walks) {
    testsupport::ensureApp();
    MainWindow* w = MainWindow::instance();
    DocumentCommands& documents = testsupport::partOf<DocumentCommands>(*w);
    const model::Mix& mix = documents.documentMix();
    platform::dialogHooks().message = [](const platform::MessageSpec&) {
        return platform::DialogAnswer::Alternate;  // "Don't save" at the prompt
    };
    platform::dialogHooks().progress = [](const QString&, int, int) { return false; };
    const int64_t walksBefore = media::testing::frameWalks();
    Measure measure;
    documents.open(list);
    if (!media::testing::waitForClipMovies()) state.SkipWithError("the movies did not open");
    for (const auto* lane : {&mix.lane(1), &mix.lane(2)})
        for (size_t i = 0; i < std::min<size_t>(lane->size(), 8); ++i) reachClip(*(*lane)[i], 0);
    if (!mix.lane(1).empty()) {
        const model::Clip& clip = *mix.lane(1).back();
        reachClip(clip,
                  clip.movie && clip.movie->movie() ? clip.movie->movie()->duration() / 2 : 0);
    }
    if (!media::testing::waitForFrameWalks()) state.SkipWithError("the walks did not end");
    const Figures f = measure.done();
    *walks = media::testing::frameWalks() - walksBefore;
    platform::dialogHooks() = {};
    return f;
}

// One plain walk of the file, for the figures to be compared with.
Figures oneWalk(const QString& path) {
    Measure measure;
    benchmark::DoNotOptimize(media::indexMp3Frames(path));
    return measure.done();
}

void report(benchmark::State& state, const Figures& ours, const Figures& peer, int64_t walks) {
    state.counters["cpu_s"] = ours.cpuSeconds;
    state.counters["read_GB"] = ours.readGB;
    state.counters["resident_MB"] = ours.residentMB;
    state.counters["walks"] = static_cast<double>(walks);
    state.counters["walk_cpu_s"] = peer.cpuSeconds;
    state.counters["walk_read_GB"] = peer.readGB;
    state.counters["cpu_x_walk"] = peer.cpuSeconds > 0 ? ours.cpuSeconds / peer.cpuSeconds : 0;
    state.counters["read_x_walk"] = peer.readGB > 0 ? ours.readGB / peer.readGB : 0;
}

// Runs the playlist from open to idle, and one walk of the file it names as its peer.
void measurePlaylist(benchmark::State& state, const QString& list, const QString& file) {
    if (list.isEmpty() || file.isEmpty()) {
        state.SkipWithError("the files could not be made");
        return;
    }
    Figures ours, peer;
    int64_t walks = 0;
    for (auto _ : state) {
        ours = openToIdle(state, list, &walks);
        peer = oneWalk(file);
    }
    report(state, ours, peer, walks);
}

void BM_ThousandRecordsOfADayLongMp3(benchmark::State& state) {
    const QString day = dayLongFile();
    measurePlaylist(state, day.isEmpty() ? QString() : dayPlaylist(day), day);
}
BENCHMARK(BM_ThousandRecordsOfADayLongMp3)->Unit(benchmark::kSecond)->Iterations(1);

void BM_TwoThousandHardLinksOfAnHourLongMp3(benchmark::State& state) {
    measurePlaylist(state, playlist2000(), oneHourFile(testsupport::MediaKind::Mp3Vbr));
}
BENCHMARK(BM_TwoThousandHardLinksOfAnHourLongMp3)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Widgets, {"BM_ThousandRecordsOfADayLongMp3", "cpu_s", 2},
                    {"BM_ThousandRecordsOfADayLongMp3", "read_GB", 3},
                    {"BM_ThousandRecordsOfADayLongMp3", "walks", 1},
                    {"BM_TwoThousandHardLinksOfAnHourLongMp3", "read_GB", 1},
                    {"BM_TwoThousandHardLinksOfAnHourLongMp3", "resident_MB", 100},
                    {"BM_TwoThousandHardLinksOfAnHourLongMp3", "walks", 1})
