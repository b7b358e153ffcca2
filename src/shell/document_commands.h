#pragma once
// The document commands of the window: the File menu (new, open, save, save as, open folder),
// the movie export, a folder dropped on the folder target, and the close guard. Keeps the path
// the window's title shows.

#include <QObject>
#include <QString>
#include <functional>

#include "documents/document_host.h"
#include "model/mix.h"
#include "model/status_line.h"

class QMainWindow;

class DocumentCommands : public QObject, public documents::DocumentHost {
    Q_OBJECT
  public:
    // `reset` puts the window back as a new document has it.
    DocumentCommands(QMainWindow& window, model::Mix& mix, model::StatusLine& statusLine,
                     std::function<void()> reset);

    void newDocument();
    // Opens the playlist at path; "" asks for a file.
    void open(const QString& path);
    // False when no file was written.
    bool save();
    void saveAs();
    void openFolder();
    void exportMovie();
    // A folder dropped on the folder target: its MP3 files join the clips already there, laid
    // out as Open Folder lays a folder out but with short fixed fades.
    void folderDropped(const QString& folder);

    // The close guard: true keeps the window open (the user cancelled the save prompt).
    bool keepOpen();
    // From now on the window closes without the save prompt.
    void closeWithoutPrompt() { closeWithoutPrompt_ = true; }
    bool closesWithoutPrompt() const { return closeWithoutPrompt_; }

    // documents::DocumentHost
    model::Mix& documentMix() override;
    QWidget* documentWindow() override;
    void resetDocument() override;
    QString titledPath() const override;

  private:
    QMainWindow& window_;
    model::Mix& mix_;
    std::function<void()> reset_;
    QString titlePath_;  // the path the title shows; Save as falls back to it on failure
    bool closeWithoutPrompt_ = false;
};
