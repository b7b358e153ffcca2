#pragma once
// Message and file dialogs. Tests replace them through the hooks so nothing modal appears.

#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

enum class DialogAnswer { Action, Alternate, Cancel };

struct MessageSpec {
    int icon = 0;  // 0 note, 1 caution, 2 stop
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
};

DialogHooks& dialogHooks();

DialogAnswer MessageDialog(const MessageSpec& spec);
// A simple alert with one OK button.
void MsgBox(const QString& text);
// Name filters like "Playlists (*.txt *.text)"; "" when cancelled.
QString GetOpenFile(const QString& caption, const QStringList& filters);
QString GetSaveFile(const QString& caption, const QString& defaultName);
QString SelectFolder(const QString& caption);

}  // namespace platform
