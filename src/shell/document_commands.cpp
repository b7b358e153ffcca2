#include "shell/document_commands.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QMetaObject>

#include "documents/document.h"
#include "documents/folder_mix.h"
#include "documents/movie_export_window.h"
#include "platform/dialogs.h"

DocumentCommands::DocumentCommands(QMainWindow& window, model::Mix& mix,
                                   model::StatusLine& statusLine, std::function<void()> reset)
    : QObject(&window),
      DocumentHost(statusLine),
      window_(window),
      mix_(mix),
      reset_(std::move(reset)) {
    // The title names the file the document was last opened or saved as; Save as empties the
    // path while it asks, and the title keeps the old one until a file is written.
    connect(&mix_, &model::Mix::documentChanged, this, [this] {
        if (!mix_.document().saved) return;
        titlePath_ = mix_.document().path;
        window_.setWindowTitle(titlePath_.isEmpty() ? QStringLiteral("Vontalix")
                                                    : QStringLiteral("Vontalix  -  ") + titlePath_);
    });
}

void DocumentCommands::newDocument() { documents::newDocument(*this); }

void DocumentCommands::open(const QString& path) { documents::open(*this, path); }

bool DocumentCommands::save() { return documents::save(*this); }

void DocumentCommands::saveAs() {
    mix_.setPath(QString());
    save();
}

void DocumentCommands::openFolder() { documents::openFolder(*this); }

void DocumentCommands::exportMovie() { documents::exportMovie(*this); }

void DocumentCommands::folderDropped(const QString& folder) {
    // A media file dropped here, or an empty folder, names no first item: nothing happens.
    if (!QFileInfo(folder).isDir()) return;
    std::vector<documents::FolderEntry> entries;
    if (!documents::readFolder(folder, entries)) {
        statusLine().showMessage(QStringLiteral("The folder could not be read: ") + folder);
        return;
    }
    if (entries.empty()) return;
    // The box and the layout come after the drop has returned, so the program the folder was
    // dragged from is not kept waiting.
    QMetaObject::invokeMethod(
        this,
        [this, entries = std::move(entries)] {
            if (documentBusy) return;
            platform::showMessage(entries.front().name);
            documents::layoutFolder(*this, entries, documents::folderDropRules());
        },
        Qt::QueuedConnection);
}

bool DocumentCommands::keepOpen() { return documents::cancelClose(*this, closeWithoutPrompt_); }

model::Mix& DocumentCommands::documentMix() { return mix_; }

QWidget* DocumentCommands::documentWindow() { return &window_; }

void DocumentCommands::resetDocument() { reset_(); }

QString DocumentCommands::titledPath() const { return titlePath_; }
