// The document commands: New, Open Playlist, Save Playlist (and Save as), the close guard and the
// "Save Playlist?" prompt that guards unsaved work.
#include "documents/document.h"

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>
#include <algorithm>

#include "documents/parallel_measure.h"
#include "documents/playlist_io.h"
#include "media/atomic_file.h"
#include "media/clip_movie.h"
#include "model/drop_logic.h"
#include "model/playlist_format.h"
#include "model/regular_file.h"
#include "platform/dialogs.h"
#include "platform/filetypes.h"
#include "platform/progress.h"

using platform::DialogAnswer;
using platform::MessageSpec;

namespace {

// Reading gives the event loop a turn this often, so the decks keep ticking; a turn per line made
// big files take minutes.
constexpr qint64 kYieldMs = 20;

void showFailure(const QString& message, const QString& explanation) {
    MessageSpec spec;
    spec.icon = QMessageBox::Critical;
    spec.message = message;
    spec.explanation = explanation;
    platform::askWithMessage(spec);
}

QString quoted(const QString& path) { return u'"' + path + u'"'; }

// Reads the whole file, or says why not. Only regular files are read: a FIFO would block.
bool readWholeFile(const QString& path, QByteArray& bytes, QString& problem) {
    const QFileInfo info(path);
    if (!info.exists()) {
        problem = QStringLiteral("The file does not exist.");
        return false;
    }
    if (!model::isRegularFile(path)) {
        problem = QStringLiteral("It is not a file.");
        return false;
    }
    if (info.size() > model::kMaxPlaylistBytes) {
        problem = QStringLiteral("It is far too large to be a playlist.");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
        return false;
    }
    // The size is checked again on what is read: the file may have grown since.
    bytes = file.read(model::kMaxPlaylistBytes + 1);
    if (bytes.size() > model::kMaxPlaylistBytes) {
        bytes.clear();
        problem = QStringLiteral("It is far too large to be a playlist.");
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        problem = file.errorString();
        return false;
    }
    return true;
}

QStringList openDialogFilters() {
    const QStringList text =
        platform::FileTypeRegistry::instance().nameFilters(QStringLiteral("text/plain"));
    QStringList filters;
    if (!text.isEmpty()) filters << QStringLiteral("Text (%1)").arg(text.join(u' '));
    filters << QStringLiteral("All files (*)");
    return filters;
}

}  // namespace

namespace documents {

bool lanesEmpty(const model::Mix& mix) { return mix.lane(1).empty() && mix.lane(2).empty(); }

namespace {

// The playlist to open, made absolute: `path`, or the file the user picks ("" when none).
QString playlistToOpen(const QString& path) {
    QString file = path;
    if (file.isEmpty()) {
        file = platform::chooseFileToOpen(QStringLiteral("Open Playlist"), openDialogFilters());
        if (file.isEmpty()) return {};
    }
    return QFileInfo(file).absoluteFilePath();
}

// Reads the file whole and checks that it is a playlist; a dialog says why when it is not.
bool readPlaylist(const QString& file, QByteArray& bytes) {
    QString problem;
    if (!readWholeFile(file, bytes, problem)) {
        showFailure(QStringLiteral("The playlist could not be opened."),
                    quoted(file) + QStringLiteral(": ") + problem);
        return false;
    }
    if (!model::isPlaylist(bytes)) {
        // Adopting its path would let the next Save overwrite it with a playlist.
        showFailure(QStringLiteral("This file is not a playlist."),
                    quoted(file) + QStringLiteral(" was not opened."));
        return false;
    }
    return true;
}

// The lines are read first; the files their records name are measured on workers, several at a
// time and each once, while the clips are laid in file order as the results come.
struct PlaylistLine {
    QByteArrayView text;
    model::PlaylistRecord record;
    int file = -1;  // into PlaylistLines::files; -1 for a record that is kept, not laid
    RecordLoad kept = RecordLoad::Damaged;  // why, when file is -1
};
struct PlaylistLines {
    std::vector<PlaylistLine> lines;
    std::vector<QString> files;
};

PlaylistLines readLines(const QByteArray& bytes, model::LoadTally& tally) {
    PlaylistLines read;
    QHash<QString, int> fileIndex;
    model::PlaylistLineReader reader(bytes);
    for (QByteArrayView text; reader.next(text);) {
        PlaylistLine line{text, {}, -1};
        const model::RecordParse parsed = model::parseRecord(text, line.record);
        if (parsed == model::RecordParse::NotARecord) {
            if (model::isStrayLine(text)) ++tally.strayLines;
            continue;
        }
        if (parsed != model::RecordParse::Read) {
            line.kept = keptRecordLoad(parsed, line.record);
        } else {
            const auto known = fileIndex.constFind(line.record.path);
            line.file =
                known != fileIndex.constEnd() ? *known : static_cast<int>(read.files.size());
            if (known == fileIndex.constEnd()) {
                fileIndex.insert(line.record.path, line.file);
                read.files.push_back(line.record.path);
            }
        }
        read.lines.push_back(std::move(line));
    }
    return read;
}

// A record the lanes do not take goes back into the file, counted under why.
void keepRecord(model::Mix& mix, QByteArrayView text, int& count) {
    mix.keepRecord(text);
    ++count;
}

int& keptCount(model::LoadTally& tally, RecordLoad why) {
    switch (why) {
        case RecordLoad::BeyondEnd:
            return tally.beyondEnd;
        case RecordLoad::NotUtf8:
            return tally.notUtf8;
        case RecordLoad::MissingFile:
            return tally.missing;
        default:
            return tally.damaged;
    }
}

// Lays a record whose file has been measured, or keeps it when the lanes cannot take it.
void layMeasured(model::Mix& mix, const PlaylistLine& line, MeasuredFile& measured,
                 model::LoadTally& tally) {
    if (measured.kind == MeasuredFile::Kind::Missing)
        return keepRecord(mix, line.text, tally.missing);
    media::keepOpened(measured.movie);  // the clips play it without opening it again
    if (layRecord(mix, line.record) != RecordLoad::Loaded)
        return keepRecord(mix, line.text, tally.damaged);
    if (measured.kind == MeasuredFile::Kind::Measured) return;
    if (notPlayableLoad(line.record.path) == RecordLoad::Unreadable)
        tally.unreadable << QFileInfo(line.record.path).fileName();
    else
        tally.unplayable << QFileInfo(line.record.path).fileName();
}

// The user cancelled: the document is new again. False, for the open that did not finish.
bool cancelOpen(DocumentHost& host, const QString& file) {
    host.documentBusy = false;
    host.resetDocument();
    host.statusLine().showMessage(QStringLiteral("Opening \"") + QFileInfo(file).fileName() +
                                  QStringLiteral("\" was cancelled; the file is unchanged."));
    return false;
}

// Lays the lines in file order while their files are measured; false when the user cancelled or
// the window went away.
bool layLines(DocumentHost& host, const QString& file, PlaylistLines& read,
              model::LoadTally& tally) {
    model::Mix& mix = host.documentMix();
    const QPointer<QWidget> alive(host.documentWindow());
    const std::vector<PlaylistLine>& lines = read.lines;
    QAbstractEventDispatcher* ui = QAbstractEventDispatcher::instance();
    const int threads = measureThreads(read.files.size());
    ParallelMeasure measure(std::move(read.files), measureRecordFile, threads, [ui] {
        if (ui) ui->wakeUp();
    });
    MeasureProgress progress(QStringLiteral("Opening \"%1\"...").arg(QFileInfo(file).fileName()),
                             static_cast<int>(lines.size()));
    QElapsedTimer sinceYield;
    sinceYield.start();
    for (size_t i = 0; i < lines.size(); ++i) {
        const PlaylistLine& line = lines[i];
        if (line.file < 0) {
            keepRecord(mix, line.text, keptCount(tally, line.kept));
        } else {
            while (alive && !measure.ready(line.file) && !progress.canceled())
                progress.wait(static_cast<int>(i));
            if (!alive) return false;
            if (progress.canceled()) return cancelOpen(host, file);
            layMeasured(mix, line, measure.result(line.file), tally);
        }
        // Keeps the decks ticking through a long playlist; input waits until it is read, unless
        // the progress dialog is up to take a Cancel.
        if (sinceYield.elapsed() < kYieldMs) continue;
        progress.step(static_cast<int>(i) + 1);
        if (!alive) return false;
        sinceYield.restart();
        if (progress.canceled()) return cancelOpen(host, file);
    }
    measure.stop();
    return true;
}

}  // namespace

bool passSavePrompt(DocumentHost& host) {
    MessageSpec spec;
    spec.icon = QMessageBox::Warning;
    spec.message = QStringLiteral("Save Playlist?");
    spec.explanation = QStringLiteral("If you don't save, changes will be lost. ");
    spec.actionCaption = QStringLiteral("Save");
    spec.alternateCaption = QStringLiteral("Don't save");
    spec.cancelCaption = QStringLiteral("Cancel");
    switch (platform::askWithMessage(spec)) {
        case DialogAnswer::Action:
            return save(host);
        case DialogAnswer::Alternate:
            return true;
        case DialogAnswer::Cancel:
            break;
    }
    return false;
}

void newDocument(DocumentHost& host) {
    if (host.documentBusy) return;
    const model::Mix& mix = host.documentMix();
    if (lanesEmpty(mix) || mix.document().saved || passSavePrompt(host)) host.resetDocument();
}

bool cancelClose(DocumentHost& host, bool withoutPrompt) {
    if (host.documentBusy) return true;
    const model::Mix& mix = host.documentMix();
    if (lanesEmpty(mix) || mix.document().saved || withoutPrompt) return false;
    return !passSavePrompt(host);
}

bool save(DocumentHost& host) {
    if (host.documentBusy) return false;
    model::Mix& mix = host.documentMix();
    // Save as empties the path before it asks; whenever no new file gets written the document
    // keeps the path its title shows.
    const auto keepPath = [&] {
        if (mix.document().path.isEmpty()) mix.setPath(host.titledPath());
        return false;
    };
    QString target = mix.document().path;
    if (target.isEmpty()) {
        target = platform::chooseFileToSave(QStringLiteral("Save Playlist"),
                                            QStringLiteral("NerovaUNTITLED.txt"));
        if (target.isEmpty()) return keepPath();
        target = QFileInfo(target).absoluteFilePath();
    }

    QString problem;
    const QByteArray lane1 = laneRecords(mix, mix.lane(1), &problem);
    QByteArray lane2;
    if (problem.isEmpty()) lane2 = laneRecords(mix, mix.lane(2), &problem);
    // The records that could not be loaded go back into the file after the loaded ones. The file
    // is replaced in one step: the new text is there whole, or the old file is untouched.
    if (problem.isEmpty())
        problem = media::writeFileAtomically(
            target, model::playlistText(lane1, lane2, mix.document().keptRecords));
    if (!problem.isEmpty()) {
        showFailure(QStringLiteral("The playlist could not be saved."),
                    quoted(target) + QStringLiteral(": ") + problem +
                        QStringLiteral(" Any earlier version of the file is unchanged."));
        return keepPath();
    }
    mix.setPath(target);
    mix.markSaved();
    return true;
}

void open(DocumentHost& host, const QString& path) {
    if (host.documentBusy) return;
    model::Mix& mix = host.documentMix();
    if (!lanesEmpty(mix) && !passSavePrompt(host)) return;
    const QString file = playlistToOpen(path);
    if (file.isEmpty()) return;
    // The file is read and recognised before anything of the current document is given up.
    QByteArray bytes;
    if (!readPlaylist(file, bytes)) return;

    host.resetDocument();
    mix.setPath(file);
    mix.markSaved();
    host.documentBusy = true;
    model::LoadTally tally;
    PlaylistLines read = readLines(bytes, tally);
    if (!layLines(host, file, read, tally)) return;
    host.documentBusy = false;
    // A save lists each lane from its top clip down; reading appended them bottom first, so the
    // lanes are turned round to stack as they were saved: where clips overlap, the same one stays
    // on top and sounds.
    mix.reverseStacking();
    // Said before anything is saved over the playlist: the user learns which tracks are not on
    // the lanes, and that they stay in the file.
    host.statusLine().showMessage(model::loadStatus(tally));
}

}  // namespace documents
