#include "platform/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

DialogHooks& dialogHooks() {
    static DialogHooks hooks;
    return hooks;
}

DialogAnswer askWithMessage(const MessageSpec& spec) {
    if (dialogHooks().message) return dialogHooks().message(spec);
    QMessageBox box(QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setIcon(spec.icon);
    box.setText(spec.message);
    box.setInformativeText(spec.explanation);
    QPushButton* action = box.addButton(spec.actionCaption, QMessageBox::AcceptRole);
    QPushButton* alternate = nullptr;
    QPushButton* cancel = nullptr;
    if (!spec.alternateCaption.isEmpty())
        alternate = box.addButton(spec.alternateCaption, QMessageBox::DestructiveRole);
    if (!spec.cancelCaption.isEmpty())
        cancel = box.addButton(spec.cancelCaption, QMessageBox::RejectRole);
    box.setDefaultButton(action);
    if (cancel) box.setEscapeButton(cancel);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == action) return DialogAnswer::Action;
    if (alternate && clicked == alternate) return DialogAnswer::Alternate;
    return DialogAnswer::Cancel;
}

void showMessage(const QString& text) {
    MessageSpec spec;
    spec.message = text;
    askWithMessage(spec);
}

QString chooseFileToOpen(const QString& caption, const QStringList& filters) {
    if (dialogHooks().openFile) return dialogHooks().openFile(caption, filters);
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, QString(),
                                        filters.join(QStringLiteral(";;")));
}

QString chooseFileToSave(const QString& caption, const QString& defaultName) {
    if (dialogHooks().saveFile) return dialogHooks().saveFile(caption, defaultName);
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, defaultName);
}

QString chooseFolder(const QString& caption) {
    if (dialogHooks().selectFolder) return dialogHooks().selectFolder(caption);
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption);
}

}  // namespace platform
