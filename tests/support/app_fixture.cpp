#include "support/app_fixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QUrl>

#include "platform/filetypes.h"
#include "platform/keyboard.h"
#include "windows/window_logic.h"

namespace testsupport {

void ensureApp() {
    static bool started = false;
    if (started) return;
    started = true;
    platform::registerFileTypes();
}

void discardWindow(MainWindow* w) {
    if (!w) return;
    partOf<DocumentCommands>(*w).closeWithoutPrompt();
    delete w;
}

MainWindow* freshWindow() {
    ensureApp();
    discardWindow(MainWindow::existing());
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
    discardWindow(MainWindow::existing());
    platform::Keyboard::resetForTesting();
    platform::dialogHooks() = {};
    QApplication::processEvents();
}

model::ClipRef AppFixture::add(LaneView* lane, double left, double length, const QString& name) {
    lane->addNewClip(left,
                     {.image = documents::clipPictureOrSay(name, length, 0, length, 0, length, 0),
                      .name = name,
                      .path = "/m/" + name + ".mp3",
                      .lengthPx = length,
                      .lane = lane->lane()});
    return lane->clips.back();
}

std::unique_ptr<QMimeData> AppFixture::files(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

void AppFixture::clickBackground(int x, int y) const {
    // The content takes no press itself: it goes on to the window, as a real click does.
    const QPointF at(x, y);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->centralWidget()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w->centralWidget(), &press);
}

}  // namespace testsupport
