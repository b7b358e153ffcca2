// The about window: the version text, whose click opens the program's README.
#include <QCoreApplication>

#include "platform/desktop.h"
#include "windows/aux_windows.h"
#include "windows/window_logic.h"
#include "windows/window_parts.h"

namespace {
QPointer<AboutWindow> theAbout;
}

AboutWindow* AboutWindow::instance(QWidget* owner) { return windows::openOrBuild(theAbout, owner); }
AboutWindow* AboutWindow::existing() { return theAbout; }

QString AboutWindow::address() {
    return windows::readmeAddress(QCoreApplication::applicationDirPath());
}

void AboutWindow::Layout() {
    setFrame(7, owner_, true, true);
    setTitle(QStringLiteral("About Vontalix"));
    setContentLimits(windows::kMinSize, windows::kMinSize, windows::kMaxSize, windows::kMaxSize);
    setContentSize(240, 122);
}

void AboutWindow::CreateControls() {
    versionText =
        windows::label(this, "versionText", 20, 14, 220, 108, windows::aboutText(address()), 12);
    versionText->setMultiLine(true);
    versionText->setShrinkToFit(true);
    versionText->setCursor(Qt::PointingHandCursor);
    versionText->setOnMouseDown([this](int x, int y) { return versionTextClicked(x, y); });
}

// Every click opens the address again; the window stays as it is.
bool AboutWindow::versionTextClicked(int, int) {
    platform::ShowURL(address());
    return false;
}
