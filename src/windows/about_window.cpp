// The about window: the version text, whose click opens the program's README.
#include <QCoreApplication>

#include "platform/desktop.h"
#include "windows/aux_windows.h"
#include "windows/window_logic.h"
#include "windows/window_parts.h"

namespace {
QPointer<about> theAbout;
}

about* about::instance(QWidget* owner) { return windows::openOrBuild(theAbout, owner); }
about* about::existing() { return theAbout; }

QString about::address() { return windows::readmeAddress(QCoreApplication::applicationDirPath()); }

void about::Layout() {
    setFrame(7, owner_, true, true);
    setTitle(QStringLiteral("About Vontalix"));
    setContentLimits(windows::kMinSize, windows::kMinSize, windows::kMaxSize, windows::kMaxSize);
    setContentSize(240, 122);
}

void about::CreateControls() {
    StaticText1 =
        windows::label(this, "StaticText1", 20, 14, 220, 108, windows::aboutText(address()), 12);
    StaticText1->setMultiLine(true);
    StaticText1->setShrinkToFit(true);
    StaticText1->setCursor(Qt::PointingHandCursor);
    StaticText1->setOnMouseDown([this](int x, int y) { return StaticText1_MouseDown(x, y); });
}

// Every click opens the address again; the window stays as it is.
bool about::StaticText1_MouseDown(int, int) {
    platform::ShowURL(address());
    return false;
}
