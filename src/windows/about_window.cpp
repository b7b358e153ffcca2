// The about window: the version text, whose click opens the program's README.
#include <QCoreApplication>

#include "platform/desktop.h"
#include "windows/aux_windows.h"
#include "windows/window_logic.h"

namespace {
QPointer<AboutWindow> theAbout;
}

AboutWindow* AboutWindow::instance(QWidget* owner) { return windows::openOrBuild(theAbout, owner); }
AboutWindow* AboutWindow::existing() { return theAbout; }

QString AboutWindow::address() {
    return windows::readmeAddress(QCoreApplication::applicationDirPath());
}

AboutWindow::AboutWindow(QWidget* owner)
    : SmallWindow(owner, Kind::Floating, QStringLiteral("About Vontalix"),
                  Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint) {
    setMinimumSize(windows::kMinSize, windows::kMinSize);
    setMaximumSize(windows::kMaxSize, windows::kMaxSize);
    resize(240, 122);
    versionText = new platform::StaticText(this, {20, 14, 220, 108}, windows::aboutText(address()),
                                           Qt::black, 12);
    versionText->setMultiLine(true);
    versionText->setShrinkToFit(true);
    versionText->setCursor(Qt::PointingHandCursor);
    // Every click opens the address again; the window stays as it is.
    versionText->setClickable(true);
    connect(versionText, &platform::StaticText::clicked, this,
            [] { platform::openAddress(address()); });
}
