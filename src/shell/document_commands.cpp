// The window's document commands: the File menu and the close guard run the document operations
// on the open mix, with the window as their host.
#include <QCloseEvent>

#include "documents/document.h"
#include "documents/folder_mix.h"
#include "documents/movie_export_window.h"
#include "shell/main_window.h"

void MainWindow::newDocument() { documents::newDocument(*this); }

bool MainWindow::keepOpen(bool) { return documents::cancelClose(*this, closeWithoutPrompt); }

bool MainWindow::closeGuarded(bool appQuitting) {
    quitting_ = appQuitting;
    const bool closed = close();
    quitting_ = false;
    return closed;
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (keepOpen(quitting_)) {
        e->ignore();
    } else {
        e->accept();
    }
}

int32_t MainWindow::save() { return documents::save(*this) ? 1 : 0; }

void MainWindow::open(const QString& path) { documents::open(*this, path); }

void MainWindow::openFolderChosen() { documents::openFolder(*this); }

void MainWindow::exportMovie() { documents::exportMovie(*this); }

model::Mix& MainWindow::documentMix() { return mix; }

QWidget* MainWindow::documentWindow() { return this; }

void MainWindow::resetDocument() { init(); }

QString MainWindow::titledPath() const { return titlePath; }
