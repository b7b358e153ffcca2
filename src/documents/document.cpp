// The document commands of the main window: New, Open Playlist, Save Playlist (and Save as), the
// window title, the close guard and the "Save Playlist?" prompt that guards unsaved work.
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include "documents/playlist_format.h"
#include "documents/playlist_io.h"
#include "documents/safe_write.h"
#include "editing/drop_logic.h"
#include "editing/regular_file.h"
#include "media/file_access.h"
#include "platform/dialogs.h"
#include "platform/filetypes.h"
#include "platform/progress.h"
#include "shell/window1.h"

using platform::DialogAnswer;
using platform::MessageSpec;

namespace {

// Reading gives the event loop a turn this often, so the decks keep ticking; a turn per line made
// big files take minutes.
constexpr qint64 kYieldMs = 20;

void showFailure(const QString& message, const QString& explanation) {
    MessageSpec spec;
    spec.icon = 2;
    spec.message = message;
    spec.explanation = explanation;
    platform::MessageDialog(spec);
}

QString quoted(const QString& path) { return u'"' + path + u'"'; }

// Reads the whole file, or says why not. Only regular files are read: a FIFO would block.
bool readWholeFile(const QString& path, QByteArray& bytes, QString& problem) {
    const QFileInfo info(path);
    if (!info.exists()) {
        problem = QStringLiteral("The file does not exist.");
        return false;
    }
    if (!editing::isRegularFile(path)) {
        problem = QStringLiteral("It is not a file.");
        return false;
    }
    if (info.size() > documents::kMaxPlaylistBytes) {
        problem = QStringLiteral("It is far too large to be a playlist.");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
        return false;
    }
    // The size is checked again on what is read: the file may have grown since.
    bytes = file.read(documents::kMaxPlaylistBytes + 1);
    if (bytes.size() > documents::kMaxPlaylistBytes) {
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

// Replaces the file in one step: either the new text is there whole, or the old file is
// untouched.
bool writeAtomically(const QString& path, const QByteArray& bytes, QString& problem) {
    problem = media::replaceRefusal(path);
    if (!problem.isEmpty()) return false;
    problem = documents::writeFileSafely(path, bytes);
    return problem.isEmpty();
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

bool Window1::lanesEmpty() const { return Canvas1->mPics.empty() && Canvas2->mPics.empty(); }

bool Window1::passSavePrompt() {
    MessageSpec spec;
    spec.icon = 1;
    spec.message = QStringLiteral("Save Playlist?");
    spec.explanation = QStringLiteral("If you don't save, changes will be lost. ");
    spec.actionCaption = QStringLiteral("Save");
    spec.alternateCaption = QStringLiteral("Don't save");
    spec.cancelCaption = QStringLiteral("Cancel");
    switch (platform::MessageDialog(spec)) {
        case DialogAnswer::Action:
            return save() == 1;
        case DialogAnswer::Alternate:
            return true;
        case DialogAnswer::Cancel:
            break;
    }
    return false;
}

void Window1::fenstername() {
    titlePath = gespeichert;
    setTitle(gespeichert.isEmpty() ? QStringLiteral("Vontalix")
                                   : QStringLiteral("Vontalix  -  ") + gespeichert);
    suddensaveflag = 1;
}

void Window1::neu() {
    if (documentBusy) return;
    if (lanesEmpty() || suddensaveflag == 1 || passSavePrompt()) init();
}

bool Window1::CancelClose(bool) {
    if (documentBusy) return true;
    if (lanesEmpty() || suddensaveflag == 1 || xquit == 1) return false;
    return !passSavePrompt();
}

int32_t Window1::save() {
    if (documentBusy) return 0;
    // Save as empties the path before it asks; whenever no new file gets written the document
    // keeps the path its title shows.
    const auto keepPath = [this] {
        if (gespeichert.isEmpty()) gespeichert = titlePath;
        return 0;
    };
    QString target = gespeichert;
    if (target.isEmpty()) {
        target = platform::GetSaveFile(QStringLiteral("Save Playlist"),
                                       QStringLiteral("NerovaUNTITLED.txt"));
        if (target.isEmpty()) return keepPath();
        target = QFileInfo(target).absoluteFilePath();
    }

    QString problem;
    const QByteArray lane1 = documents::laneRecords(*this, Canvas1->mPics, &problem);
    QByteArray lane2;
    if (problem.isEmpty()) lane2 = documents::laneRecords(*this, Canvas2->mPics, &problem);
    // The records that could not be loaded go back into the file after the loaded ones.
    if (problem.isEmpty())
        writeAtomically(target, documents::playlistText(lane1, lane2, keptRecords), problem);
    if (!problem.isEmpty()) {
        showFailure(QStringLiteral("The playlist could not be saved."),
                    quoted(target) + QStringLiteral(": ") + problem +
                        QStringLiteral(" Any earlier version of the file is unchanged."));
        return keepPath();
    }
    gespeichert = target;
    fenstername();
    return 1;
}

void Window1::open(const QString& path) {
    if (documentBusy) return;
    if (!lanesEmpty() && !passSavePrompt()) return;
    QString file = path;
    if (file.isEmpty()) {
        file = platform::GetOpenFile(QStringLiteral("Open Playlist"), openDialogFilters());
        if (file.isEmpty()) return;
    }
    file = QFileInfo(file).absoluteFilePath();

    // The file is read and recognised before anything of the current document is given up.
    QByteArray bytes;
    QString problem;
    if (!readWholeFile(file, bytes, problem)) {
        showFailure(QStringLiteral("The playlist could not be opened."),
                    quoted(file) + QStringLiteral(": ") + problem);
        return;
    }
    if (!documents::isPlaylist(bytes)) {
        // Adopting its path would let the next Save overwrite it with a playlist.
        showFailure(QStringLiteral("This file is not a playlist."),
                    quoted(file) + QStringLiteral(" was not opened."));
        return;
    }

    init();
    gespeichert = file;
    fenstername();
    documentBusy = true;
    const QPointer<Window1> alive(this);
    documents::LoadTally tally;
    documents::MediaCheck media;
    platform::ProgressDialog progress(
        QStringLiteral("Opening \"%1\"...").arg(QFileInfo(file).fileName()), bytes.size());
    QElapsedTimer sinceYield;
    sinceYield.start();
    documents::PlaylistLineReader reader(bytes);
    for (QByteArrayView line; reader.next(line);) {
        QString path;
        switch (documents::loadRecord(*this, line, media, &path)) {
            case documents::RecordLoad::NotARecord:
            case documents::RecordLoad::Loaded:
                break;
            case documents::RecordLoad::NotPlayable:
                tally.unplayable << QFileInfo(path).fileName();
                break;
            case documents::RecordLoad::Unreadable:
                tally.unreadable << QFileInfo(path).fileName();
                break;
            case documents::RecordLoad::NotUtf8:
                keptRecords.add(line);
                ++tally.notUtf8;
                break;
            case documents::RecordLoad::MissingFile:
                keptRecords.add(line);
                ++tally.missing;
                break;
            case documents::RecordLoad::Damaged:
            case documents::RecordLoad::NoPicture:
                keptRecords.add(line);
                ++tally.damaged;
                break;
        }
        // Asked after every line: a line whose media is measured may take milliseconds.
        if (sinceYield.elapsed() < kYieldMs) continue;
        // Keeps the decks ticking through a long playlist; input waits until it is read, unless
        // the progress dialog is up to take a Cancel.
        const bool goOn = progress.step(reader.position());
        if (!alive) return;
        sinceYield.restart();
        if (!goOn) {
            documentBusy = false;
            init();
            msg->setText(QStringLiteral("Opening \"") + QFileInfo(file).fileName() +
                         QStringLiteral("\" was cancelled; the file is unchanged."));
            return;
        }
    }
    documentBusy = false;
    Canvas1->aktualisiere();
    Canvas2->aktualisiere();
    // Said before anything is saved over the playlist: the user learns which tracks are not on
    // the lanes, and that they stay in the file.
    msg->setText(documents::loadStatus(tally));
}
