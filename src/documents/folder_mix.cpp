// File > Open Folder and the layout routine it shares with the folder drop target: the folder's
// media files measured on worker threads and laid out in listing order, alternately on the two
// lanes.
#include "documents/folder_mix.h"

#include <dirent.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "documents/document.h"
#include "documents/parallel_measure.h"
#include "documents/playlist_io.h"
#include "media/clip_movie.h"
#include "media/file_access.h"
#include "model/clip_bounds.h"
#include "model/drop_logic.h"
#include "model/file_label.h"
#include "model/regular_file.h"
#include "platform/dialogs.h"
#include "platform/media_measure.h"
#include "platform/progress.h"

namespace documents {

namespace {

// The one measurement of a folder's file: what it is, its length and its label.
MeasuredFile measureFolderFile(const QString& path) {
    if (!model::isRegularFile(path)) return {MeasuredFile::Kind::NotAFile, 0, 0, nullptr};
    media::MovieRef movie;
    const std::optional<double> seconds = platform::measureMovie(path, &movie);
    // Longer media could not be saved and read back as a clip.
    if (!seconds || !std::isfinite(*seconds) || *seconds > model::kMaxClipSeconds)
        return {MeasuredFile::Kind::Failed, 0, 0, nullptr};
    return {MeasuredFile::Kind::Measured, *seconds, model::fileLabel(path), std::move(movie)};
}

// The one place a folder's clip is made.
void addFolderClip(model::Mix& mix, const ClipPlace& place, const FolderEntry& entry,
                   int32_t label) {
    const double width = place.width;
    model::PictureRef picture =
        clipPictureOrSay(entry.name, width, place.fadeInEnd, place.fadeOutStart, 0, width, label);
    mix.addNewClip(place.lane, place.left,
                   {.image = std::move(picture),
                    .name = entry.name,
                    .path = entry.path,
                    .lengthPx = width,
                    .fadeInEnd = place.fadeInEnd,
                    .fadeOutStart = place.fadeOutStart,
                    .label = label,
                    .lane = place.lane});
}

// The watch cursor over the window while a run lasts; the arrow afterwards, however the run
// ends.
class WatchCursor {
  public:
    explicit WatchCursor(QWidget* w) : w_(w) {
        if (w) w->setCursor(Qt::WaitCursor);
    }
    ~WatchCursor() {
        if (w_) w_->unsetCursor();
    }
    WatchCursor(const WatchCursor&) = delete;
    WatchCursor& operator=(const WatchCursor&) = delete;

  private:
    QPointer<QWidget> w_;
};

}  // namespace

bool readFolder(const QString& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable()) return false;
    const QDir dir(info.absoluteFilePath());
    // The system's own listing: Qt's leaves out names that are not UTF-8, and such a file must be
    // named to the user, not lost without a word. Its bytes that are not UTF-8 read as U+FFFD.
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(
        opendir(QFile::encodeName(dir.path()).constData()), closedir);
    if (!listing) return false;
    QStringList names;
    while (const dirent* e = readdir(listing.get())) {
        const QByteArray name(e->d_name);
        if (!name.startsWith('.')) names << QString::fromUtf8(name);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    entries.reserve(names.size());
    for (const QString& n : names) entries.push_back({n, dir.absoluteFilePath(n)});
    return true;
}

FolderLayoutRules openFolderRules(double transition) {
    const double t = std::isfinite(transition) ? std::max(transition, 0.0) : 0.0;
    return {{QStringLiteral(".mp3"), QStringLiteral(".m4a")}, t, t, 10};
}

FolderLayoutRules folderDropRules() { return {{QStringLiteral(".mp3")}, 7, 10, 10}; }

bool nameTaken(const QString& name, const QStringList& parts) {
    return std::any_of(parts.begin(), parts.end(), [&](const QString& part) {
        return name.contains(part, Qt::CaseInsensitive);
    });
}

FolderLayout::FolderLayout(const FolderLayoutRules& rules)
    : fade_(rules.fade), overlap_(rules.overlap), left_(rules.firstLeft) {}

std::optional<ClipPlace> FolderLayout::next(int32_t width) {
    ClipPlace place;
    place.width = width;
    place.lane = lane_;
    // A ramp with no neighbour on its side reaches at most to the clip's middle.
    const double ownRamp = std::min(fade_, width / 2.0);
    place.fadeInEnd = ownRamp;
    place.fadeOutStart = width - ownRamp;
    std::optional<ClipPlace> before = std::move(pending_);
    if (before) {
        const double overlap = std::min({overlap_, before->width / 2.0, width / 2.0});
        const double ramp = std::min(fade_, overlap);
        before->fadeOutStart = before->width - ramp;
        place.fadeInEnd = ramp;
        left_ = before->left + before->width - overlap;
    }
    place.left = left_;
    lane_ = lane_ == 1 ? 2 : 1;
    pending_ = place;
    return before;
}

std::optional<ClipPlace> FolderLayout::finish() { return std::exchange(pending_, std::nullopt); }

QString leftOutText(const LeftOutFiles& files) {
    QStringList parts;
    const auto say = [&parts](const QStringList& names, const char* what) {
        if (names.isEmpty()) return;
        parts << (names.size() == 1 ? QStringLiteral("1 file")
                                    : QString::number(names.size()) + QStringLiteral(" files")) +
                     u' ' + QLatin1String(what) + QStringLiteral(": ") +
                     names.join(QStringLiteral(", "));
    };
    say(files.unopenable, "could not be opened");
    say(files.unreadable, "not readable (no permission)");
    say(files.tooShort, "too short for a clip at this zoom");
    return parts.join(QStringLiteral("; "));
}

void layoutFolder(DocumentHost& host, const std::vector<FolderEntry>& entries,
                  const FolderLayoutRules& rules) {
    if (host.documentBusy) return;
    model::Mix& mix = host.documentMix();
    std::vector<const FolderEntry*> taken;
    std::vector<QString> paths;
    QStringList refused;  // files a playlist could not hold: named, never laid
    for (const FolderEntry& e : entries) {
        if (!nameTaken(e.name, rules.nameParts)) continue;
        if (model::playlistPathProblem(e.path) != model::PathProblem::None) {
            refused << e.path;
            continue;
        }
        taken.push_back(&e);
        paths.push_back(e.path);
    }

    const QPointer<QWidget> alive(host.documentWindow());
    const WatchCursor watch(host.documentWindow());
    host.documentBusy = true;
    LeftOutFiles leftOut;
    {
        QAbstractEventDispatcher* ui = QAbstractEventDispatcher::instance();
        const int threads = measureThreads(paths.size());
        ParallelMeasure measure(std::move(paths), measureFolderFile, threads, [ui] {
            if (ui) ui->wakeUp();
        });
        MeasureProgress progress(QStringLiteral("Laying out the folder's files..."),
                                 static_cast<int>(taken.size()));
        FolderLayout layout(rules);
        // The file measured last waits for its place until the next one is measured.
        struct Waiting {
            const FolderEntry* entry;
            int32_t label;
            media::MovieRef movie;
        };
        std::optional<Waiting> waiting;
        const auto lay = [&](const std::optional<ClipPlace>& place) {
            if (!place || !waiting) return;
            media::keepOpened(waiting->movie);  // the clip plays it without opening it again
            addFolderClip(mix, *place, *waiting->entry, waiting->label);
        };
        for (size_t k = 0; k < taken.size() && !progress.canceled(); ++k) {
            while (alive && !measure.ready(k) && !progress.canceled()) progress.wait(int(k));
            if (!alive) return;
            if (!measure.ready(k)) break;
            const MeasuredFile& r = measure.result(k);
            if (r.kind != MeasuredFile::Kind::NotAFile) {
                const int32_t width = r.kind == MeasuredFile::Kind::Measured
                                          ? model::clipWidth(r.seconds, mix.pixelsPerSecond())
                                          : 0;
                // A clip narrower than a pixel could be neither seen nor picked.
                if (width >= 1) {
                    lay(layout.next(width));
                    waiting = Waiting{taken[k], r.label, r.movie};
                } else if (r.kind == MeasuredFile::Kind::Measured) {
                    leftOut.tooShort << taken[k]->name;
                } else if (media::readRefused(taken[k]->path)) {
                    leftOut.unreadable << taken[k]->name;
                } else {
                    leftOut.unopenable << taken[k]->name;
                }
            }
            progress.step(int(k) + 1);
            if (!alive) return;
        }
        measure.stop();
        lay(layout.finish());  // also after Cancel: every file measured is laid
    }
    host.documentBusy = false;
    mix.clearSelection();
    QStringList said;
    if (const QString text = leftOutText(leftOut); !text.isEmpty()) said << text;
    if (!refused.isEmpty()) said << model::refusedPathsText(refused);
    if (!said.isEmpty()) host.statusLine().showMessage(said.join(QStringLiteral("; ")));
}

void openFolder(DocumentHost& host) {
    if (host.documentBusy) return;
    // The save prompt looks at the lanes, not at the saved flag, as Open Playlist does.
    if (!lanesEmpty(host.documentMix()) && !passSavePrompt(host)) return;
    // The mix is replaced only once there is a folder to replace it with: a cancelled dialog or
    // an unreadable folder leaves it as it was.
    const QString folder = platform::chooseFolder(QStringLiteral("Open Folder"));
    if (folder.isEmpty()) return;
    std::vector<FolderEntry> entries;
    if (!readFolder(folder, entries)) {
        host.statusLine().showMessage(QStringLiteral("The folder could not be read: ") + folder);
        return;
    }
    host.resetDocument();
    layoutFolder(host, entries, openFolderRules(host.documentMix().defaultTransition()));
}

}  // namespace documents
