#pragma once
// Message and file dialogs. Tests replace them through the hooks so nothing modal appears.

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QProgressDialog;

namespace platform {

enum class DialogAnswer { Action, Alternate, Cancel };

struct MessageSpec {
    QMessageBox::Icon icon = QMessageBox::Information;
    QString message;
    QString explanation;
    QString actionCaption = QStringLiteral("OK");
    QString alternateCaption;  // empty: no such button
    QString cancelCaption;     // empty: no such button
};

struct DialogHooks {
    std::function<DialogAnswer(const MessageSpec&)> message;
    // Return the chosen path, or "" for Cancel.
    std::function<QString(const QString& caption, const QStringList& filters)> openFile;
    std::function<QString(const QString& caption, const QString& defaultName)> saveFile;
    std::function<QString(const QString& caption)> selectFolder;
    // Stands in for the progress dialog: called when it would appear and at each step after;
    // true answers Cancel.
    std::function<bool(const QString& text, int value, int maximum)> progress;
};

DialogHooks& dialogHooks();

DialogAnswer askWithMessage(const MessageSpec& spec);
// A simple alert with one OK button.
void showMessage(const QString& text);
// Name filters like "Playlists (*.txt *.text)"; "" when cancelled.
QString chooseFileToOpen(const QString& caption, const QStringList& filters);
QString chooseFileToSave(const QString& caption, const QString& defaultName);
QString chooseFolder(const QString& caption);

// The progress of a long file loop: a modal dialog with a bar and a Cancel button. Nothing shows
// until the first setValue, so a loop that ends quickly never flashes it.

}  // namespace platform
