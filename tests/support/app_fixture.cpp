#include "support/app_fixture.h"

#include <QApplication>

#include "platform/keyboard.h"
#include "shell/filetypes.h"
#include "windows/window_logic.h"

namespace testsupport {

void ensureApp() {
    static bool started = false;
    if (started) return;
    started = true;
    fileTypes::registerAll();
}

MainWindow* freshWindow() {
    ensureApp();
    if (MainWindow* old = MainWindow::existing()) {
        old->closeWithoutPrompt = true;
        delete old;
    }
    return MainWindow::instance();
}

void AppFixture::SetUp() {
    ensureApp();
    auto& hooks = platform::dialogHooks();
    hooks.message = [this](const platform::MessageSpec& spec) {
        shownDialogs.push_back(spec);
        if (answers.empty()) return platform::DialogAnswer::Cancel;
        auto a = answers.front();
        answers.pop_front();
        return a;
    };
    auto take = [](std::deque<QString>& q) {
        if (q.empty()) return QString();
        QString s = q.front();
        q.pop_front();
        return s;
    };
    hooks.openFile = [this, take](const QString&, const QStringList&) { return take(openFiles); };
    hooks.saveFile = [this, take](const QString&, const QString&) { return take(saveFiles); };
    hooks.selectFolder = [this, take](const QString&) { return take(folders); };
    // Every test starts as a first run: no preferences kept by an earlier test.
    windows::preferencesStore()->clear();
    w = MainWindow::instance();
}

void AppFixture::TearDown() {
    if (MainWindow* existing = MainWindow::existing()) {
        existing->closeWithoutPrompt = true;
        delete existing;
    }
    platform::Keyboard::resetForTesting();
    platform::dialogHooks() = {};
    QApplication::processEvents();
}

}  // namespace testsupport
